#pragma once
// Helpers shared by the curve computations: the arbitrary-axis frame of a normal, circular arcs
// as centre/frame/angles, and polyline segments. Private to the geom module.
#include "zhost/core/status.h"
#include "zhost/geom/curve.h"

#include <cstddef>

namespace zhost::geom::detail {

inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kPi = 3.141592653589793;

struct Frame {
    Vector3d x, y, n;
};
Frame frameOf(const Vector3d& normal);
double normAngle(double a); // into [0, 2pi)

// A circle or arc as c + r (cos a X + sin a Y) for a in [a0, a1], a1 > a0.
struct ArcData {
    Point3d c;
    double r = 0;
    Frame f;
    double a0 = 0, a1 = 0;
    Point3d at(double a) const;
    Vector3d d1(double a) const; // d/da
    Vector3d d2(double a) const;
    double angleOf(const Point3d& p) const; // in the frame, [0, 2pi)
};
ArcData arcData(const CircArc& a);
ArcData arcData(const Circle& c);

// An ellipse as c + u cos t + v sin t for t in [t0, t1], t1 > t0.
struct EllipseData {
    Point3d c;
    Vector3d u, v;
    double t0 = 0, t1 = 0;
    Point3d at(double t) const;
    Vector3d d1(double t) const;
    Vector3d d2(double t) const;
};
EllipseData ellipseData(const EllipseArc& e);

// Polyline segments: the number of segments and segment i as a LineSeg or a CircArc running
// from vertex i to vertex i+1 (a clockwise segment gets the opposite normal).
std::size_t segmentCount(const Polyline& pl);
Curve segment(const Polyline& pl, std::size_t i);
bool isArcSegment(const Polyline& pl, std::size_t i);
// The arc from p0 to p1 with the given bulge (non-zero) about normal n.
CircArc arcFromBulge(const Point3d& p0, const Point3d& p1, double bulge, const Vector3d& n);
// The bulge of an arc travelled from its start to its end, seen about normal n.
double bulgeOf(const CircArc& a, const Vector3d& n);

// The part of a non-polyline curve between parameters p0 < p1 (curves.cpp).
Status subCurve(const Curve& c, double p0, double p1, Curve& out);

} // namespace zhost::geom::detail

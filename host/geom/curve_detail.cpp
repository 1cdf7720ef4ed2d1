#include "curve_detail.h"

#include "zhost/geom/plane.h"

#include <cmath>

namespace zhost::geom::detail {

Frame frameOf(const Vector3d& normal) {
    Vector3d n = normal.normal();
    if (n.isZeroLength())
        n = Vector3d::zAxis();
    const Vector3d x = arbitraryXAxis(n);
    return {x, n.cross(x).normal(), n};
}

double normAngle(double a) {
    double r = std::fmod(a, kTwoPi);
    if (r < 0)
        r += kTwoPi;
    if (r >= kTwoPi)
        r = 0;
    return r;
}

Point3d ArcData::at(double a) const {
    return c + (f.x * std::cos(a) + f.y * std::sin(a)) * r;
}
Vector3d ArcData::d1(double a) const {
    return (f.y * std::cos(a) - f.x * std::sin(a)) * r;
}
Vector3d ArcData::d2(double a) const {
    return (f.x * std::cos(a) + f.y * std::sin(a)) * -r;
}
double ArcData::angleOf(const Point3d& p) const {
    const Vector3d d = p - c;
    return normAngle(std::atan2(d.dot(f.y), d.dot(f.x)));
}

ArcData arcData(const CircArc& a) {
    ArcData d;
    d.c = a.center;
    d.r = a.radius;
    d.f = frameOf(a.normal);
    d.a0 = normAngle(a.startAngle);
    double sweep = normAngle(a.endAngle - a.startAngle);
    if (sweep <= 1e-14)
        sweep = kTwoPi;
    d.a1 = d.a0 + sweep;
    return d;
}

ArcData arcData(const Circle& c) {
    ArcData d;
    d.c = c.center;
    d.r = c.radius;
    d.f = frameOf(c.normal);
    d.a0 = 0;
    d.a1 = kTwoPi;
    return d;
}

Point3d EllipseData::at(double t) const {
    return c + u * std::cos(t) + v * std::sin(t);
}
Vector3d EllipseData::d1(double t) const {
    return v * std::cos(t) - u * std::sin(t);
}
Vector3d EllipseData::d2(double t) const {
    return (u * std::cos(t) + v * std::sin(t)) * -1.0;
}

EllipseData ellipseData(const EllipseArc& e) {
    EllipseData d;
    d.c = e.center;
    d.u = e.majorAxis;
    d.v = e.normal.normal().cross(e.majorAxis) * e.radiusRatio;
    d.t0 = e.startParam;
    double sweep = e.endParam - e.startParam;
    if (sweep <= 0 || sweep > kTwoPi + 1e-12) {
        sweep = normAngle(sweep);
        if (sweep <= 1e-14)
            sweep = kTwoPi;
    }
    d.t1 = d.t0 + sweep;
    return d;
}

std::size_t segmentCount(const Polyline& pl) {
    const std::size_t n = pl.points.size();
    if (n < 2)
        return 0;
    return pl.closed ? n : n - 1;
}

static double bulgeAt(const Polyline& pl, std::size_t i) {
    return i < pl.bulges.size() ? pl.bulges[i] : 0.0;
}

bool isArcSegment(const Polyline& pl, std::size_t i) {
    const Point3d& p0 = pl.points[i];
    const Point3d& p1 = pl.points[(i + 1) % pl.points.size()];
    return std::abs(bulgeAt(pl, i)) > 1e-12 && p0.distanceTo(p1) > 1e-12;
}

CircArc arcFromBulge(const Point3d& p0, const Point3d& p1, double bulge, const Vector3d& n) {
    const Vector3d nn = (bulge > 0 ? n : -n).normal();
    const double b = std::abs(bulge);
    const double theta = 4 * std::atan(b); // included angle
    const Vector3d chord = p1 - p0;
    const double c = chord.length();
    const double r = c / (2 * std::sin(theta / 2));
    // The centre lies left of the chord (about nn) at distance r cos(theta/2), signed.
    const double h = r * std::cos(theta / 2);
    const Vector3d left = nn.cross(chord).normal();
    CircArc a;
    a.center = Point3d::midPoint(p0, p1) + left * h;
    a.radius = r;
    a.normal = nn;
    const ArcData fr{a.center, r, frameOf(nn), 0, 0};
    a.startAngle = fr.angleOf(p0);
    a.endAngle = a.startAngle + theta;
    return a;
}

double bulgeOf(const CircArc& a, const Vector3d& n) {
    const ArcData d = arcData(a);
    const double b = std::tan((d.a1 - d.a0) / 4);
    return a.normal.dot(n) >= 0 ? b : -b;
}

Curve segment(const Polyline& pl, std::size_t i) {
    const Point3d& p0 = pl.points[i];
    const Point3d& p1 = pl.points[(i + 1) % pl.points.size()];
    if (!isArcSegment(pl, i))
        return LineSeg{p0, p1};
    return arcFromBulge(p0, p1, bulgeAt(pl, i), pl.normal);
}

} // namespace zhost::geom::detail

#pragma once
// Curves as plain values. The drawing database converts its curve entities to and from these;
// the kernel (zhost/geom/curves.h, regions.h) computes with them. Angles are radians; arcs run
// counter-clockwise about their normal from the start angle to the end angle, measured in the
// plane's arbitrary-axis coordinate system (for the normal +Z that is the world X axis).
#include "zhost/geom/point3d.h"

#include <variant>
#include <vector>

namespace zhost::geom {

struct LineSeg {
    Point3d start, end;
};

struct CircArc {
    Point3d center;
    double radius = 0;
    double startAngle = 0, endAngle = 0; // end may be less than start: the arc wraps through 0
    Vector3d normal{0, 0, 1};
};

struct Circle {
    Point3d center;
    double radius = 0;
    Vector3d normal{0, 0, 1};
};

// An ellipse or elliptical arc in the DXF convention: the major axis vector gives direction and
// semi-major length, the ratio gives minor/major, parameters run from start to end (0 and 2*pi
// for a full ellipse).
struct EllipseArc {
    Point3d center;
    Vector3d majorAxis{1, 0, 0};
    double radiusRatio = 1;
    double startParam = 0, endParam = 6.283185307179586;
    Vector3d normal{0, 0, 1};
};

// A lightweight polyline: vertices in world coordinates (all in one plane with the normal), a
// bulge per vertex for the segment that starts there (tan of a quarter of the included angle,
// positive counter-clockwise about the normal).
struct Polyline {
    std::vector<Point3d> points;
    std::vector<double> bulges; // same size as points
    bool closed = false;
    Vector3d normal{0, 0, 1};
};

// A NURBS curve; rational when weights are given (same count as control points).
struct Spline {
    int degree = 3;
    std::vector<double> knots;
    std::vector<Point3d> controlPoints;
    std::vector<double> weights;
    std::vector<Point3d> fitPoints; // kept for round trips; the shape comes from the control points
    bool closed = false;
    bool periodic = false;
};

using Curve = std::variant<LineSeg, CircArc, Circle, EllipseArc, Polyline, Spline>;

} // namespace zhost::geom

#pragma once
// Shapes shared by the geometry tests.
#include "zhost/geom/region.h"

#include <numbers>

namespace geomtest {

using namespace zhost::geom;

inline Loop rectLoop(double x0, double y0, double w, double h) {
    const Point3d a{x0, y0}, b{x0 + w, y0}, c{x0 + w, y0 + h}, d{x0, y0 + h};
    return Loop{{LineSeg{a, b}, LineSeg{b, c}, LineSeg{c, d}, LineSeg{d, a}}};
}

inline Region rectRegion(double x0, double y0, double w, double h) {
    Region r;
    r.faces.push_back(Face{rectLoop(x0, y0, w, h), {}});
    return r;
}

inline Loop circleLoop(double cx, double cy, double r) {
    return Loop{{Circle{{cx, cy}, r}}};
}

// A rectangle with all four corners rounded by radius f.
inline Region filletedRect(double x0, double y0, double w, double h, double f) {
    constexpr double pi = std::numbers::pi;
    Loop l;
    l.edges = {LineSeg{{x0 + f, y0}, {x0 + w - f, y0}},
               CircArc{{x0 + w - f, y0 + f}, f, -pi / 2, 0},
               LineSeg{{x0 + w, y0 + f}, {x0 + w, y0 + h - f}},
               CircArc{{x0 + w - f, y0 + h - f}, f, 0, pi / 2},
               LineSeg{{x0 + w - f, y0 + h}, {x0 + f, y0 + h}},
               CircArc{{x0 + f, y0 + h - f}, f, pi / 2, pi},
               LineSeg{{x0, y0 + h - f}, {x0, y0 + f}},
               CircArc{{x0 + f, y0 + f}, f, pi, 3 * pi / 2}};
    Region r;
    r.faces.push_back(Face{l, {}});
    return r;
}

} // namespace geomtest

#pragma once
// Boundary-integral terms of single edges (see moments.cpp), for the hot loops that integrate
// whole regions edge by edge without building atoms. Private to the geom module.
#include "plane2d.h"

namespace zhost::geom::detail {

// The term of the straight edge p -> q (relative to the reference point): the moments of the
// triangle (0, p, q), signed.
inline Moments2 lineMoments(P2 p, P2 q) {
    const double cr = p.cross(q);
    Moments2 m;
    m.a = cr / 2;
    m.sx = cr * (p.x + q.x) / 6;
    m.sy = cr * (p.y + q.y) / 6;
    m.ixx = cr * (p.x * p.x + p.x * q.x + q.x * q.x) / 12;
    m.iyy = cr * (p.y * p.y + p.y * q.y + q.y * q.y) / 12;
    m.ixy = cr * (2 * p.x * p.y + p.x * q.y + q.x * p.y + 2 * q.x * q.y) / 24;
    return m;
}

// The term of a circular arc with centre c (relative to the reference point) and radius r,
// sweeping the signed angle dt from the unit direction e0 (centre to start) to e1 (centre to end).
Moments2 arcMoments(P2 c, double r, double dt, P2 e0, P2 e1);

} // namespace zhost::geom::detail

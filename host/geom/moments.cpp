// Exact boundary integrals (Green's theorem) over lines and circular arcs.
//
// For an integrand F(x, y) homogeneous of degree k, d[F (x dy - y dx) / (k + 2)] = F dx dy, so
// each moment of the enclosed area is the boundary integral of F (x dy - y dx) / (k + 2). The form
// vanishes along rays from the reference point, which is why the per-edge terms of a line are the
// familiar triangle-fan (polygon) formulas. Coordinates are taken relative to a reference point
// near the region so that nothing large is squared or cubed.
#include "moments.h"

#include <cmath>

namespace zhost::geom::detail {

// The closed path P0 -(arc)-> P1 -> C -> P0 bounds the sector, whose moments about its centre C
// are simple closed forms (polar coordinates). The form is additive along a path, so the arc's
// term is the sector's moments moved to the reference point plus the terms of the two radii
// P0 -> C and C -> P1, which are line terms. This costs a handful of multiplications and no
// trigonometry beyond the end directions, which the caller usually has already.
Moments2 arcMoments(P2 c, double r, double dt, P2 e0, P2 e1) {
    const double r2 = r * r, r3 = r2 * r, r4 = r2 * r2;
    const double area = r2 / 2 * dt;
    const double sx = r3 / 3 * (e1.y - e0.y), sy = r3 / 3 * (e0.x - e1.x);
    const double sc = e1.x * e1.y - e0.x * e0.y;
    const double ixx = r4 / 8 * (dt + sc), iyy = r4 / 8 * (dt - sc);
    const double ixy = r4 / 8 * (e1.y - e0.y) * (e1.y + e0.y);
    Moments2 m;
    m.a = area;
    m.sx = sx + c.x * area;
    m.sy = sy + c.y * area;
    m.ixx = ixx + c.x * (2 * sx + c.x * area);
    m.iyy = iyy + c.y * (2 * sy + c.y * area);
    m.ixy = ixy + c.x * sy + c.y * sx + c.x * c.y * area;
    m += lineMoments(c + e0 * r, c);
    m += lineMoments(c, c + e1 * r);
    return m;
}

namespace {

// Gauss-Legendre quadrature for free-form pieces (used for orientation and tracing only).
Moments2 numericMoments(const Atom& a, double s0, double s1, P2 ref) {
    static constexpr double xg[] = {-0.9602898564975363, -0.7966664774136267, -0.5255324099163290,
                                    -0.1834346424956498, 0.1834346424956498,  0.5255324099163290,
                                    0.7966664774136267,  0.9602898564975363};
    static constexpr double wg[] = {0.1012285362903763, 0.2223810344533745, 0.3137066458778873,
                                    0.3626837833783620, 0.3626837833783620, 0.3137066458778873,
                                    0.2223810344533745, 0.1012285362903763};
    Moments2 m;
    constexpr int kSpans = 16;
    for (int k = 0; k < kSpans; ++k) {
        const double lo = s0 + (s1 - s0) * k / kSpans, hi = s0 + (s1 - s0) * (k + 1) / kSpans;
        for (int i = 0; i < 8; ++i) {
            const double s = (lo + hi) / 2 + (hi - lo) / 2 * xg[i];
            const P2 p = a.at(s) - ref, d = a.d1(s);
            const double w = wg[i] * (hi - lo) / 2 * (p.x * d.y - p.y * d.x);
            m.a += w / 2;
            m.sx += p.x * w / 3;
            m.sy += p.y * w / 3;
            m.ixx += p.x * p.x * w / 4;
            m.iyy += p.y * p.y * w / 4;
            m.ixy += p.x * p.y * w / 4;
        }
    }
    return m;
}

} // namespace

Moments2 atomMoments(const Atom& a, double s0, double s1, P2 ref) {
    switch (a.kind) {
    case Atom::Line:
        return lineMoments(a.at(s0) - ref, a.at(s1) - ref);
    case Atom::Arc: {
        const double t0 = a.a0 + a.sw * s0, t1 = a.a0 + a.sw * s1;
        return arcMoments(a.c - ref, a.r, t1 - t0, {std::cos(t0), std::sin(t0)},
                          {std::cos(t1), std::sin(t1)});
    }
    default:
        return numericMoments(a, s0, s1, ref);
    }
}

} // namespace zhost::geom::detail

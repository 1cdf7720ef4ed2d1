// Exact boundary integrals (Green's theorem) over lines and circular arcs.
//
// For an integrand F(x, y) homogeneous of degree k, d[F (x dy - y dx) / (k + 2)] = F dx dy, so
// each moment of the enclosed area is the boundary integral of F (x dy - y dx) / (k + 2). The form
// vanishes along rays from the reference point, which is why the per-edge terms of a line are the
// familiar triangle-fan (polygon) formulas. Coordinates are taken relative to a reference point
// near the region so that nothing large is squared or cubed.
#include "plane2d.h"

#include <array>
#include <cmath>

namespace zhost::geom::detail {

namespace {

Moments2 lineMoments(P2 p, P2 q) {
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

// A polynomial in c = cos t and s = sin t of total degree <= 3: coef[i][j] * c^i s^j.
struct TrigPoly {
    std::array<std::array<double, 4>, 4> coef{};
    int deg = 0;
    TrigPoly operator*(const TrigPoly& o) const {
        TrigPoly r;
        r.deg = deg + o.deg;
        for (int i = 0; i <= deg; ++i)
            for (int j = 0; i + j <= deg; ++j)
                for (int k = 0; k <= o.deg; ++k)
                    for (int l = 0; k + l <= o.deg; ++l)
                        r.coef[i + k][j + l] += coef[i][j] * o.coef[k][l];
        return r;
    }
};

TrigPoly affine(double k, double cc, double ss) { // k + cc c + ss s
    TrigPoly p;
    p.coef[0][0] = k, p.coef[1][0] = cc, p.coef[0][1] = ss;
    p.deg = 1;
    return p;
}

// Integrals of c^i s^j over [t0, t1] for i + j <= 3.
struct TrigIntegrals {
    std::array<std::array<double, 4>, 4> v{};
    TrigIntegrals(double t0, double t1) {
        const double c0 = std::cos(t0), s0 = std::sin(t0), c1 = std::cos(t1), s1 = std::sin(t1);
        const double dt = t1 - t0;
        v[0][0] = dt;
        v[1][0] = s1 - s0;
        v[0][1] = c0 - c1;
        const double scDiff = s1 * c1 - s0 * c0;
        v[2][0] = (dt + scDiff) / 2;
        v[0][2] = (dt - scDiff) / 2;
        v[1][1] = (s1 * s1 - s0 * s0) / 2;
        v[3][0] = (s1 - s1 * s1 * s1 / 3) - (s0 - s0 * s0 * s0 / 3);
        v[0][3] = (-c1 + c1 * c1 * c1 / 3) - (-c0 + c0 * c0 * c0 / 3);
        v[2][1] = -(c1 * c1 * c1 - c0 * c0 * c0) / 3;
        v[1][2] = (s1 * s1 * s1 - s0 * s0 * s0) / 3;
    }
    double of(const TrigPoly& p) const {
        double sum = 0;
        for (int i = 0; i <= p.deg; ++i)
            for (int j = 0; i + j <= p.deg; ++j)
                sum += p.coef[i][j] * v[i][j];
        return sum;
    }
};

Moments2 arcMoments(P2 c, double r, double t0, double t1) {
    const TrigPoly x = affine(c.x, r, 0), y = affine(c.y, 0, r);
    // x y' - y x' for x = cx + r cos t, y = cy + r sin t.
    const TrigPoly w = affine(r * r, r * c.x, r * c.y);
    const TrigIntegrals in(t0, t1);
    Moments2 m;
    m.a = in.of(w) / 2;
    const TrigPoly xw = x * w, yw = y * w;
    m.sx = in.of(xw) / 3;
    m.sy = in.of(yw) / 3;
    m.ixx = in.of(x * xw) / 4;
    m.iyy = in.of(y * yw) / 4;
    m.ixy = in.of(x * yw) / 4;
    return m;
}

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
    case Atom::Arc:
        return arcMoments(a.c - ref, a.r, a.a0 + a.sw * s0, a.a0 + a.sw * s1);
    default:
        return numericMoments(a, s0, s1, ref);
    }
}

} // namespace zhost::geom::detail

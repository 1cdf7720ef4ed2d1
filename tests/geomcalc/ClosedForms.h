#pragma once
// Exact area integrals of simple shapes, combined by adding and taking away, to check measured
// regions against: area, first moments and second moments about the world origin.
#include <cmath>

struct ShapeMoments {
    double a = 0;   // area
    double sx = 0;  // ∫x dA
    double sy = 0;  // ∫y dA
    double ixx = 0; // ∫y² dA
    double iyy = 0; // ∫x² dA
    double ixy = 0; // ∫xy dA

    ShapeMoments operator+(const ShapeMoments& o) const {
        return {a + o.a, sx + o.sx, sy + o.sy, ixx + o.ixx, iyy + o.iyy, ixy + o.ixy};
    }
    ShapeMoments operator-(const ShapeMoments& o) const {
        return {a - o.a, sx - o.sx, sy - o.sy, ixx - o.ixx, iyy - o.iyy, ixy - o.ixy};
    }
    double cx() const { return sx / a; }
    double cy() const { return sy / a; }
    // About axes through (px, py).
    double IxAbout(double py) const { return ixx - 2 * py * sy + py * py * a; }
    double IyAbout(double px) const { return iyy - 2 * px * sx + px * px * a; }
    double IxCentroid() const { return IxAbout(cy()); }
    double IyCentroid() const { return IyAbout(cx()); }
    double IxyCentroid() const { return ixy - cx() * sy - cy() * sx + cx() * cy() * a; }
};

inline constexpr double kPi = 3.141592653589793;

inline ShapeMoments RectMoments(double x0, double y0, double x1, double y1) {
    const double w = x1 - x0, h = y1 - y0;
    ShapeMoments m;
    m.a = w * h;
    m.sx = (x1 * x1 - x0 * x0) / 2 * h;
    m.sy = (y1 * y1 - y0 * y0) / 2 * w;
    m.iyy = (x1 * x1 * x1 - x0 * x0 * x0) / 3 * h;
    m.ixx = (y1 * y1 * y1 - y0 * y0 * y0) / 3 * w;
    m.ixy = (x1 * x1 - x0 * x0) / 2 * (y1 * y1 - y0 * y0) / 2;
    return m;
}

inline ShapeMoments DiscMoments(double cx, double cy, double r) {
    ShapeMoments m;
    m.a = kPi * r * r;
    m.sx = m.a * cx;
    m.sy = m.a * cy;
    m.ixx = kPi * r * r * r * r / 4 + cy * cy * m.a;
    m.iyy = kPi * r * r * r * r / 4 + cx * cx * m.a;
    m.ixy = cx * cy * m.a;
    return m;
}

// A quarter disc of centre (cx, cy) in the quadrant (qx, qy), each ±1.
inline ShapeMoments QuarterDiscMoments(double cx, double cy, double r, int qx, int qy) {
    ShapeMoments m;
    m.a = kPi * r * r / 4;
    const double off = 4 * r / (3 * kPi);
    // Moments about the centre, then moved to the origin exactly.
    const double jx = m.a * qx * off, jy = m.a * qy * off; // ∫(x-cx), ∫(y-cy)
    const double kxx = kPi * r * r * r * r / 16;           // ∫(y-cy)², ∫(x-cx)²
    const double kxy = qx * qy * r * r * r * r / 8;        // ∫(x-cx)(y-cy)
    m.sx = jx + cx * m.a;
    m.sy = jy + cy * m.a;
    m.ixx = kxx + 2 * cy * jy + cy * cy * m.a;
    m.iyy = kxx + 2 * cx * jx + cx * cx * m.a;
    m.ixy = kxy + cx * jy + cy * jx + cx * cy * m.a;
    return m;
}

// A rectangle [x0,x1]x[y0,y1] with its four corners rounded to radius r.
inline ShapeMoments RoundedRectMoments(double x0, double y0, double x1, double y1, double r) {
    return RectMoments(x0, y0 + r, x1, y1 - r) + RectMoments(x0 + r, y0, x1 - r, y0 + r) +
           RectMoments(x0 + r, y1 - r, x1 - r, y1) + QuarterDiscMoments(x0 + r, y0 + r, r, -1, -1) +
           QuarterDiscMoments(x1 - r, y0 + r, r, 1, -1) +
           QuarterDiscMoments(x1 - r, y1 - r, r, 1, 1) +
           QuarterDiscMoments(x0 + r, y1 - r, r, -1, 1);
}

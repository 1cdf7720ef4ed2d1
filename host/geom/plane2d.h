#pragma once
// Curves flattened into the 2D coordinate system of a plane, as "atoms": straight segments,
// circular arcs and free-form pieces (ellipses, splines), each parameterised by s in [0, 1].
// Region building, boundary tracing, intersections and area integrals work on atoms. Private to
// the geom module.
#include "curve_detail.h"
#include "zhost/core/status.h"
#include "zhost/geom/curve.h"

#include <cmath>
#include <memory>
#include <vector>

namespace zhost::geom::detail {

struct P2 {
    double x = 0, y = 0;
    P2 operator+(P2 o) const { return {x + o.x, y + o.y}; }
    P2 operator-(P2 o) const { return {x - o.x, y - o.y}; }
    P2 operator*(double s) const { return {x * s, y * s}; }
    double dot(P2 o) const { return x * o.x + y * o.y; }
    double cross(P2 o) const { return x * o.y - y * o.x; }
    double norm() const { return std::hypot(x, y); }
};

struct Box2 {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    void add(P2 p) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    bool overlaps(const Box2& o, double tol) const {
        return x0 <= o.x1 + tol && o.x0 <= x1 + tol && y0 <= o.y1 + tol && o.y0 <= y1 + tol;
    }
};

// A plane's frame: world <-> 2D.
struct PlaneFrame {
    Point3d origin;
    Frame f;
    P2 toLocal(const Point3d& p) const {
        const Vector3d d = p - origin;
        return {d.dot(f.x), d.dot(f.y)};
    }
    Point3d toWorld(P2 p) const { return origin + f.x * p.x + f.y * p.y; }
    double heightOf(const Point3d& p) const { return (p - origin).dot(f.n); }
};
PlaneFrame planeFrame(const Vector3d& normal, const Point3d& pointOnPlane);

struct FreeCurve2d; // an ellipse or spline in 2D (defined in the kernel)

struct Atom {
    enum Kind { Line, Arc, Free } kind = Line;
    P2 a, b; // Line: a + s (b - a)
    P2 c;    // Arc: c + r (cos t, sin t), t = a0 + s * sw (sw signed)
    double r = 0, a0 = 0, sw = 0;
    std::shared_ptr<const FreeCurve2d> free; // Free: its parameter t0 + s (t1 - t0)
    double t0 = 0, t1 = 0;
    // Where the atom came from: source curve (never a polyline) and its parameter at s = 0, 1.
    int source = -1;
    const Curve* src = nullptr;
    double u0 = 0, u1 = 0;
    Box2 box;

    P2 at(double s) const;
    P2 d1(double s) const; // d/ds
    P2 d2(double s) const;
    P2 start() const { return at(0); }
    P2 end() const { return at(1); }
    double srcParam(double s) const { return u0 + s * (u1 - u0); }
    double length() const;
};

// Flattens a curve into atoms in the frame; polylines give one atom per non-empty segment.
// `pieces` receives the non-polyline curves the atoms refer to (kept alive by the caller).
// notApplicable when the curve is not in the plane (within tol).
Status toAtoms(const Curve& c, const PlaneFrame& pf, int source, std::vector<Curve>& pieces,
               std::vector<Atom>& atoms, double tol = 1e-6);
// One atom for a non-polyline curve, without its box (fast) or with it.
Status edgeAtom(const Curve& c, const PlaneFrame& pf, double tol, Atom& at);
Status boxedEdgeAtom(const Curve& c, const PlaneFrame& pf, Atom& at, double tol);
// Rebinds Atom::src after the pieces vector has stopped growing.
void bindSources(std::vector<Atom>& atoms, const std::vector<Curve>& pieces,
                 const std::vector<int>& pieceOfAtom);

// The world curve of atom a between s0 and s1 (s1 < s0 runs backwards).
Status atomPiece(const Atom& a, double s0, double s1, Curve& out);

// Intersections of two atoms: pairs (s on a, s on b). Touching end points within tol count.
struct AtomHit {
    double sa, sb;
    P2 p;
};
void intersectAtoms(const Atom& a, const Atom& b, double tol, std::vector<AtomHit>& out);
// The parameter of the point of atom a nearest p, and its distance.
double closestOnAtom(const Atom& a, P2 p, double& s);

// Signed area and first/second moments of a closed chain of atoms about the local origin,
// exact for lines and arcs. `free` is set when a free-form atom was met (its terms are zero).
struct Moments2 {
    double a = 0, sx = 0, sy = 0, ixx = 0, iyy = 0, ixy = 0; // ∫1, ∫x, ∫y, ∫x², ∫y², ∫xy
    Moments2& operator+=(const Moments2& o) {
        a += o.a, sx += o.sx, sy += o.sy, ixx += o.ixx, iyy += o.iyy, ixy += o.ixy;
        return *this;
    }
};
Moments2 atomMoments(const Atom& a, double s0, double s1, P2 ref);

} // namespace zhost::geom::detail

// Area properties from exact boundary integrals (see moments.cpp); the kernel integrates regions
// with ellipse or spline edges.
#include "zhost/geom/area_properties.h"

#include "kernel/kernel.h"
#include "plane2d.h"
#include "zhost/geom/curves.h"

#include <cmath>

namespace zhost::geom {

using namespace detail;

namespace {

// Atoms of one loop; false when an edge is not in the plane or degenerate.
Status loopAtoms(const Loop& loop, const PlaneFrame& pf, std::vector<Atom>& atoms,
                 std::vector<Curve>& keep) {
    atoms.clear();
    for (const Curve& c : loop.edges) {
        if (std::holds_alternative<Polyline>(c)) {
            const Status st = toAtoms(c, pf, 0, keep, atoms, 1e-6);
            if (!ok(st))
                return st;
            continue;
        }
        Atom at;
        const Status st = edgeAtom(c, pf, 1e-6, at);
        if (!ok(st))
            return st;
        atoms.push_back(std::move(at));
    }
    return atoms.empty() ? Status::noRegion : Status::ok;
}

// The extreme values of k + (p - ref) . (ax, ay) over an atom, folded into lo/hi.
void atomRange(const Atom& a, double ax, double ay, double base, double& lo, double& hi) {
    auto take = [&](P2 p) {
        const double v = p.x * ax + p.y * ay;
        lo = std::min(lo, v), hi = std::max(hi, v);
    };
    take(a.start());
    take(a.end());
    if (a.kind == Atom::Arc) {
        const double tlo = std::min(a.a0, a.a0 + a.sw), thi = std::max(a.a0, a.a0 + a.sw);
        for (int k = -4; k <= 4; ++k) {
            const double t = base + k * kPi;
            if (t > tlo && t < thi)
                take({a.c.x + a.r * std::cos(t), a.c.y + a.r * std::sin(t)});
        }
    } else if (a.kind == Atom::Free) {
        for (int i = 1; i < 256; ++i)
            take(a.at(i / 256.0));
    }
}

AreaProperties compute(const Region& r, const Point3d& origin, const Vector3d& xAxis,
                       const Vector3d& yAxis, bool useKernel) {
    AreaProperties out;
    if (r.faces.empty() || r.normal.isZeroLength() || xAxis.isZeroLength() ||
        yAxis.isZeroLength() || xAxis.isParallelTo(yAxis)) {
        out.status = r.faces.empty() ? Status::noRegion : Status::invalidInput;
        return out;
    }
    Point3d first;
    if (r.faces.front().outer.edges.empty() ||
        !ok(startPoint(r.faces.front().outer.edges.front(), first))) {
        out.status = Status::degenerateGeometry;
        return out;
    }
    const PlaneFrame pf = planeFrame(r.normal, first);
    const P2 ref = pf.toLocal(first);
    const Vector3d X = xAxis.normal(), Y = yAxis.normal();
    const double a11 = pf.f.x.dot(X), a12 = pf.f.y.dot(X), a21 = pf.f.x.dot(Y),
                 a22 = pf.f.y.dot(Y);
    const double baseX = std::atan2(a12, a11), baseY = std::atan2(a22, a21);
    Moments2 m;
    double perimeter = 0;
    bool free = false;
    double xlo = 1e300, xhi = -1e300, ylo = 1e300, yhi = -1e300;
    std::vector<Atom> atoms;
    std::vector<Curve> keep;
    for (const Face& f : r.faces) {
        for (std::size_t li = 0; li <= f.holes.size(); ++li) {
            const Loop& loop = li == 0 ? f.outer : f.holes[li - 1];
            const Status st = loopAtoms(loop, pf, atoms, keep);
            if (!ok(st)) {
                out.status = st;
                return out;
            }
            for (const Curve& c : loop.edges) {
                double len = 0;
                if ((std::holds_alternative<EllipseArc>(c) || std::holds_alternative<Spline>(c)) &&
                    ok(length(c, len)))
                    perimeter += len; // adaptive: the kernel's fixed-point sum is rough here
            }
            Moments2 lm;
            for (const Atom& a : atoms) {
                lm += atomMoments(a, 0, 1, ref);
                perimeter += a.kind == Atom::Free ? 0 : a.length();
                free = free || a.kind == Atom::Free;
                if (li == 0) {
                    atomRange(a, a11, a12, baseX, xlo, xhi);
                    atomRange(a, a21, a22, baseY, ylo, yhi);
                }
            }
            // Outer loops add, holes take away, whatever way they were drawn.
            const double sign = ((lm.a >= 0) == (li == 0)) ? 1.0 : -1.0;
            m.a += sign * lm.a, m.sx += sign * lm.sx, m.sy += sign * lm.sy;
            m.ixx += sign * lm.ixx, m.iyy += sign * lm.iyy, m.ixy += sign * lm.ixy;
        }
    }
    if (free || useKernel) {
        double kernelPerimeter = 0;
        const Status st = kernel::surfaceMoments(r, pf, pf.toWorld(ref), m, kernelPerimeter);
        if (!ok(st)) {
            out.status = st;
            return out;
        }
    }
    if (!(m.a > 0)) {
        out.status = Status::degenerateGeometry;
        return out;
    }
    const double A = m.a, ub = m.sx / A, vb = m.sy / A;
    const double cuu = m.ixx - A * ub * ub, cvv = m.iyy - A * vb * vb, cuv = m.ixy - A * ub * vb;
    const Point3d cw = pf.toWorld(ref + P2{ub, vb});
    const double xc = (cw - origin).dot(X), yc = (cw - origin).dot(Y);
    const double cxx = a11 * a11 * cuu + 2 * a11 * a12 * cuv + a12 * a12 * cvv;
    const double cyy = a21 * a21 * cuu + 2 * a21 * a22 * cuv + a22 * a22 * cvv;
    const double cxy = a11 * a21 * cuu + (a11 * a22 + a12 * a21) * cuv + a12 * a22 * cvv;
    out.perimeter = perimeter;
    out.area = A;
    out.centroid = {xc, yc, 0};
    out.centroidWorld = cw + pf.f.n * pf.heightOf(first);
    out.momInertia[0] = cyy + A * yc * yc;
    out.momInertia[1] = cxx + A * xc * xc;
    out.prodInertia = cxy + A * xc * yc;
    const double mean = (cxx + cyy) / 2, half = std::hypot((cxx - cyy) / 2, cxy);
    const double theta = 0.5 * std::atan2(2 * cxy, cxx - cyy); // direction of most spread
    const Vector3d eMax{std::cos(theta), std::sin(theta), 0}, eMin{-std::sin(theta),
                                                                   std::cos(theta), 0};
    // The moment about an axis is the spread across it.
    if (std::abs(eMax.x) >= std::abs(eMin.x)) {
        out.prinAxes[0] = eMax, out.prinMoments[0] = mean - half;
        out.prinAxes[1] = eMin, out.prinMoments[1] = mean + half;
    } else {
        out.prinAxes[0] = eMin, out.prinMoments[0] = mean + half;
        out.prinAxes[1] = eMax, out.prinMoments[1] = mean - half;
    }
    if (out.prinAxes[0].x < 0)
        out.prinAxes[0] = -out.prinAxes[0];
    if (out.prinAxes[1].y < 0)
        out.prinAxes[1] = -out.prinAxes[1];
    out.radiiGyration[0] = std::sqrt(std::max(0.0, out.momInertia[0]) / A);
    out.radiiGyration[1] = std::sqrt(std::max(0.0, out.momInertia[1]) / A);
    // Extents: the atoms were measured relative to the frame origin; shift to the user origin.
    const P2 o = pf.toLocal(origin);
    const double ox = o.x * a11 + o.y * a12, oy = o.x * a21 + o.y * a22;
    out.extentsLow = {xlo - ox, ylo - oy, 0};
    out.extentsHigh = {xhi - ox, yhi - oy, 0};
    out.status = Status::ok;
    return out;
}

} // namespace

AreaProperties areaProperties(const Region& r, const Point3d& origin, const Vector3d& xAxis,
                              const Vector3d& yAxis) {
    return compute(r, origin, xAxis, yAxis, false);
}

AreaProperties referenceAreaProperties(const Region& r, const Point3d& origin,
                                       const Vector3d& xAxis, const Vector3d& yAxis) {
    return compute(r, origin, xAxis, yAxis, true);
}

AreaProperties areaPropertiesAboutCentroid(const Region& r) {
    const Frame f = frameOf(r.normal);
    AreaProperties first = areaProperties(r, Point3d{}, f.x, f.y);
    if (!ok(first.status))
        return first;
    return areaProperties(r, first.centroidWorld, f.x, f.y);
}

} // namespace zhost::geom

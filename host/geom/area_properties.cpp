// Area properties from exact boundary integrals (area_integrals.cpp, moments.cpp); the kernel
// integrates regions with ellipse or spline edges.
#include "zhost/geom/area_properties.h"

#include "area_integrals.h"
#include "kernel/kernel.h"
#include "zhost/geom/curves.h"

#include <cmath>

namespace zhost::geom {

using namespace detail;

namespace {

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
    const double a11 = pf.f.x.dot(X), a12 = pf.f.y.dot(X), a21 = pf.f.x.dot(Y), a22 = pf.f.y.dot(Y);
    // Extents are measured along the given axes as seen in the plane's coordinates.
    const P2 dirs[2] = {{a11, a12}, {a21, a22}};
    RegionIntegrals in;
    if (const Status st = integrateRegion(r, pf, ref, dirs, in); !ok(st)) {
        out.status = st;
        return out;
    }
    Moments2 m = in.m;
    const double perimeter = in.perimeter;
    const double xlo = in.lo[0], xhi = in.hi[0], ylo = in.lo[1], yhi = in.hi[1];
    if (in.free || useKernel) {
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
    const Vector3d eMax{std::cos(theta), std::sin(theta), 0},
        eMin{-std::sin(theta), std::cos(theta), 0};
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

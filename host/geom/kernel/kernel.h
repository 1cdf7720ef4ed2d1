#pragma once
// The services the geom module takes from Open CASCADE, declared without any Open CASCADE type so
// that only the kernel's .cpp files include its headers.
#include "../plane2d.h"
#include "zhost/core/status.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/region.h"

#include <memory>
#include <vector>

namespace zhost::geom::kernel {

// Ellipses and splines in 3D (the other kinds are computed directly).
Status freeRange(const Curve& c, double& t0, double& t1);
Status freeEval(const Curve& c, double t, Point3d* p, Vector3d* d1, Vector3d* d2);
Status freeLength(const Curve& c, double t0, double t1, double& len);
Status freeParamAtLength(const Curve& c, double t0, double len, double& t);
// Nearest parameter, end points included.
Status freeClosestParam(const Curve& c, const Point3d& p, double& t);
Status freeExtents(const Curve& c, Extents3d& ext);
// The part of a spline between two parameters (t0 < t1), as a spline.
Status splineSegment(const Spline& s, double t0, double t1, Spline& out);
Status splineTransformedCheck(const Spline& s);

// Free-form curves flattened into a plane.
std::shared_ptr<const detail::FreeCurve2d> makeFree2d(const Curve& c, const detail::PlaneFrame& pf,
                                                      double& t0, double& t1, Status& st);
void free2dEval(const detail::FreeCurve2d& f, double t, detail::P2* p, detail::P2* d1,
                detail::P2* d2);
detail::Box2 free2dBox(const detail::FreeCurve2d& f, double t0, double t1);
// Intersections of two atoms of which at least one is free-form.
void intersectFreeAtoms(const detail::Atom& a, const detail::Atom& b, double tol,
                        std::vector<detail::AtomHit>& out);
double closestOnFreeAtom(const detail::Atom& a, detail::P2 p, double& s);

} // namespace zhost::geom::kernel

namespace zhost::geom::kernel {
// Surface integration of a region by the kernel: moments about `ref` in the plane frame's axes
// and the perimeter.
Status surfaceMoments(const Region& r, const detail::PlaneFrame& pf, const Point3d& ref,
                      detail::Moments2& m, double& perimeter);
} // namespace zhost::geom::kernel

namespace zhost::geom::kernel {
// The general Booleans, always through the kernel's fuse (unite and subtract in regions.h first
// try the kernel-free routes of region_holes.h).
Status fuse(const Region& a, const Region& b, Region& out, double fuzzy);
Status cut(const Region& a, const std::vector<const Region*>& tools, Region& out, double fuzzy);
} // namespace zhost::geom::kernel

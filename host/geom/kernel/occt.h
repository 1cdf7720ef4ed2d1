#pragma once
// Conversions between our value types and Open CASCADE, shared by the kernel's .cpp files only.
// This header includes Open CASCADE: never include it outside host/geom/kernel.
#include "zhost/core/status.h"
#include "zhost/geom/region.h"

#include <Geom2d_Curve.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_Curve.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>

#include <vector>

namespace zhost::geom::kernel {

inline gp_Pnt toPnt(const Point3d& p) {
    return {p.x, p.y, p.z};
}
inline Point3d fromPnt(const gp_Pnt& p) {
    return {p.X(), p.Y(), p.Z()};
}

// A B-spline from our spline (fit points only: interpolated). Null with a status on failure.
Handle(Geom_BSplineCurve) toBSpline(const Spline& s, Status& st);
Spline fromBSpline(const Handle(Geom_BSplineCurve) & b);
// The untrimmed carrier and the parameter range of a non-polyline curve whose parameters equal
// ours (lines start at the start point with a unit direction).
Handle(Geom_Curve) toGeomCurve(const Curve& c, double& t0, double& t1, Status& st);

// Faces of a region; the loops must be oriented (outer counter-clockwise about the normal).
Status toFaces(const Region& r, std::vector<TopoDS_Face>& faces);
// A region from the faces of a shape, loops oriented, about the given normal.
Status fromShape(const TopoDS_Shape& s, const Vector3d& normal, Region& out);

} // namespace zhost::geom::kernel

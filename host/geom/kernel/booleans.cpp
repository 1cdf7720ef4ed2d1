// Region Booleans, point classification and surface integration through Open CASCADE.
#include "../region_holes.h"
#include "guard.h"
#include "kernel.h"
#include "occt.h"
#include "zhost/geom/area_properties.h"
#include "zhost/geom/regions.h"

#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepGProp.hxx>
#include <BRep_Builder.hxx>
#include <GProp_GProps.hxx>
#include <ShapeUpgrade_UnifySameDomain.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS_Compound.hxx>

#include <algorithm>

namespace zhost::geom {

using namespace detail;

namespace {

Status shapeOf(const Region& r, TopoDS_Shape& s) {
    Region oriented = r;
    Status st = orientRegion(oriented);
    if (!ok(st))
        return st;
    std::vector<TopoDS_Face> faces;
    st = kernel::toFaces(oriented, faces);
    if (!ok(st))
        return st;
    if (faces.size() == 1) {
        s = faces.front();
        return Status::ok;
    }
    TopoDS_Compound comp;
    BRep_Builder bb;
    bb.MakeCompound(comp);
    for (const auto& f : faces)
        bb.Add(comp, f);
    s = comp;
    return Status::ok;
}

// How far apart boundaries must stay for the kernel-free routes: beyond the fuzzy value, within
// which the kernel would merge them, and beyond its own tolerance.
double clearance(double fuzzy) {
    return std::max(fuzzy, 0.0) + 1e-6;
}

bool sameNormal(const Region& a, const Region& b) {
    return a.normal.normal().isEqualTo(b.normal.normal(), Tol{1e-9, 1e-9});
}

template <class Op>
Status boolean(const char* operation, const Region& a, const std::vector<const Region*>& tools,
               Region& out, double fuzzy) {
    if (a.empty())
        return Status::noRegion;
    return kernel::guarded(operation, [&]() -> Status {
        TopoDS_Shape sa;
        Status st = shapeOf(a, sa);
        if (!ok(st))
            return st;
        TopTools_ListOfShape args, toolList;
        args.Append(sa);
        for (const Region* t : tools) {
            if (t->empty())
                continue;
            if (!sameNormal(a, *t))
                return Status::notApplicable;
            TopoDS_Shape ts;
            st = shapeOf(*t, ts);
            if (!ok(st))
                return st;
            toolList.Append(ts);
        }
        if (toolList.IsEmpty()) {
            out = a;
            return orientRegion(out);
        }
        Op op;
        op.SetArguments(args);
        op.SetTools(toolList);
        if (fuzzy > 0)
            op.SetFuzzyValue(fuzzy);
        op.SetRunParallel(false);
        op.Build();
        if (!op.IsDone() || op.HasErrors())
            return kernel::algorithmFailed(operation, op);
        TopoDS_Shape res = op.Shape();
        ShapeUpgrade_UnifySameDomain unify(res, Standard_True, Standard_True, Standard_False);
        unify.Build();
        res = unify.Shape();
        st = kernel::fromShape(res, a.normal, out);
        if (!ok(st))
            return st;
        return out.empty() ? Status::ok : orientRegion(out);
    });
}

} // namespace

namespace kernel {

Status fuse(const Region& a, const Region& b, Region& out, double fuzzy) {
    if (a.empty()) {
        out = b;
        return b.empty() ? Status::noRegion : orientRegion(out);
    }
    return boolean<BRepAlgoAPI_Fuse>("unite", a, {&b}, out, fuzzy);
}

Status cut(const Region& a, const std::vector<const Region*>& tools, Region& out, double fuzzy) {
    return boolean<BRepAlgoAPI_Cut>("subtract", a, tools, out, fuzzy);
}

} // namespace kernel

Status unite(const Region& a, const Region& b, Region& out, double fuzzy) {
    if (!a.empty() && detail::uniteApart(a, b, clearance(fuzzy), out))
        return Status::ok;
    return kernel::fuse(a, b, out, fuzzy);
}

namespace {

Status subtractTools(const Region& a, const std::vector<const Region*>& tools, Region& out,
                     double fuzzy) {
    if (!a.empty() && detail::subtractClearTools(a, tools, clearance(fuzzy), out))
        return Status::ok;
    return kernel::cut(a, tools, out, fuzzy);
}

} // namespace

Status subtract(const Region& a, const Region& b, Region& out, double fuzzy) {
    return subtractTools(a, {&b}, out, fuzzy);
}

Status subtract(const Region& a, const std::vector<Region>& tools, Region& out, double fuzzy) {
    std::vector<const Region*> ptrs;
    for (const Region& t : tools)
        ptrs.push_back(&t);
    return subtractTools(a, ptrs, out, fuzzy);
}

Status classifyPoint(const Region& r, const Point3d& p, PointClass& where, double tol) {
    where = PointClass::outside;
    return kernel::guarded("classify point", [&]() -> Status {
        Region oriented = r;
        Status st = orientRegion(oriented);
        if (!ok(st))
            return st;
        std::vector<TopoDS_Face> faces;
        st = kernel::toFaces(oriented, faces);
        if (!ok(st))
            return st;
        const Vector3d n = r.normal.normal();
        Point3d onPlane = p;
        Point3d first;
        startPoint(r.faces.front().outer.edges.front(), first);
        onPlane = p - n * (p - first).dot(n);
        for (const auto& f : faces) {
            BRepClass_FaceClassifier fc(f, kernel::toPnt(onPlane), tol);
            if (fc.State() == TopAbs_ON) {
                where = PointClass::on;
                return Status::ok;
            }
            if (fc.State() == TopAbs_IN)
                where = PointClass::inside;
        }
        return Status::ok;
    });
}

namespace kernel {

Status surfaceMoments(const Region& r, const PlaneFrame& pf, const Point3d& ref, Moments2& m,
                      double& perimeter) {
    return guarded("surface properties", [&]() -> Status {
        // Integrate in the frame with the reference point at the origin: far from the world
        // origin the kernel's integration loses digits otherwise.
        const Matrix3d toLocal = Matrix3d::worldToCoordSys(ref, pf.f.x, pf.f.y, pf.f.n);
        Region local;
        Status st = transformRegion(r, toLocal, local);
        if (!ok(st))
            return st;
        local.normal = Vector3d::zAxis();
        TopoDS_Shape s;
        st = shapeOf(local, s);
        if (!ok(st))
            return st;
        GProp_GProps g, gl;
        BRepGProp::SurfaceProperties(s, g);
        BRepGProp::LinearProperties(s, gl);
        const double A = g.Mass();
        const gp_Pnt c = g.CentreOfMass();
        const gp_Mat mi = g.MatrixOfInertia();
        m.a = A;
        m.sx = A * c.X();
        m.sy = A * c.Y();
        // About the centroid: M(1,1) = ∫(y-yG)², M(2,2) = ∫(x-xG)², M(1,2) = -∫(x-xG)(y-yG).
        m.ixx = mi(2, 2) + A * c.X() * c.X();
        m.iyy = mi(1, 1) + A * c.Y() * c.Y();
        m.ixy = -mi(1, 2) + A * c.X() * c.Y();
        perimeter = gl.Mass();
        return Status::ok;
    });
}

} // namespace kernel

} // namespace zhost::geom

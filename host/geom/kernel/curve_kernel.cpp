// Ellipses and splines: lengths, projections, extents and intersections through Open CASCADE.
#include "guard.h"
#include "kernel.h"
#include "occt.h"

#include <BndLib_Add2dCurve.hxx>
#include <BndLib_Add3dCurve.hxx>
#include <Bnd_Box.hxx>
#include <Bnd_Box2d.hxx>
#include <GCPnts_AbscissaPoint.hxx>
#include <Geom2dAPI_InterCurveCurve.hxx>
#include <Geom2dAPI_ProjectPointOnCurve.hxx>
#include <Geom2dAdaptor_Curve.hxx>
#include <Geom2d_BSplineCurve.hxx>
#include <Geom2d_Circle.hxx>
#include <Geom2d_Ellipse.hxx>
#include <Geom2d_Line.hxx>
#include <Geom2d_TrimmedCurve.hxx>
#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <Geom_BSplineCurve.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt2d.hxx>
#include <gp_Ax22d.hxx>
#include <gp_Elips2d.hxx>

#include <algorithm>
#include <cmath>

namespace zhost::geom::detail {
struct FreeCurve2d {
    Handle(Geom2d_Curve) curve;
};
} // namespace zhost::geom::detail

namespace zhost::geom::kernel {

using namespace detail;

namespace {

Handle(Geom_Curve) freeCurve(const Curve& c, double& t0, double& t1, Status& st) {
    if (const auto* s = std::get_if<Spline>(&c)) {
        Handle(Geom_BSplineCurve) b = toBSpline(*s, st);
        if (!b.IsNull())
            t0 = b->FirstParameter(), t1 = b->LastParameter();
        return b;
    }
    return toGeomCurve(c, t0, t1, st);
}

} // namespace

Status freeRange(const Curve& c, double& t0, double& t1) {
    const auto* s = std::get_if<Spline>(&c);
    if (!s)
        return Status::notApplicable;
    Status st = Status::ok;
    Handle(Geom_BSplineCurve) b = toBSpline(*s, st);
    if (!ok(st))
        return st;
    t0 = b->FirstParameter();
    t1 = b->LastParameter();
    return t1 > t0 ? Status::ok : Status::degenerateGeometry;
}

Status freeEval(const Curve& c, double t, Point3d* p, Vector3d* d1, Vector3d* d2) {
    return guarded("curve evaluation", [&]() -> Status {
        double t0 = 0, t1 = 0;
        Status st = Status::ok;
        Handle(Geom_Curve) g = freeCurve(c, t0, t1, st);
        if (!ok(st))
            return st;
        gp_Pnt pt;
        gp_Vec v1, v2;
        g->D2(t, pt, v1, v2);
        if (p)
            *p = fromPnt(pt);
        if (d1)
            *d1 = {v1.X(), v1.Y(), v1.Z()};
        if (d2)
            *d2 = {v2.X(), v2.Y(), v2.Z()};
        return Status::ok;
    });
}

Status freeLength(const Curve& c, double a, double b, double& len) {
    return guarded("curve length", [&]() -> Status {
        double t0 = 0, t1 = 0;
        Status st = Status::ok;
        Handle(Geom_Curve) g = freeCurve(c, t0, t1, st);
        if (!ok(st))
            return st;
        GeomAdaptor_Curve ad(g);
        len = GCPnts_AbscissaPoint::Length(ad, a, b, 1e-10);
        return Status::ok;
    });
}

Status freeParamAtLength(const Curve& c, double from, double len, double& t) {
    return guarded("parameter at length", [&]() -> Status {
        double t0 = 0, t1 = 0;
        Status st = Status::ok;
        Handle(Geom_Curve) g = freeCurve(c, t0, t1, st);
        if (!ok(st))
            return st;
        GeomAdaptor_Curve ad(g);
        GCPnts_AbscissaPoint ap(1e-10, ad, len, from);
        if (!ap.IsDone())
            return kernelFailed("parameter at length", "no point at that length");
        t = std::clamp(ap.Parameter(), t0, t1);
        return Status::ok;
    });
}

Status freeClosestParam(const Curve& c, const Point3d& p, double& t) {
    return guarded("closest point", [&]() -> Status {
        double t0 = 0, t1 = 0;
        Status st = Status::ok;
        Handle(Geom_Curve) g = freeCurve(c, t0, t1, st);
        if (!ok(st))
            return st;
        // The projection finds perpendicular feet only: the ends compete as well.
        const gp_Pnt q = toPnt(p);
        double best = g->Value(t0).Distance(q);
        t = t0;
        if (g->Value(t1).Distance(q) < best)
            best = g->Value(t1).Distance(q), t = t1;
        GeomAPI_ProjectPointOnCurve proj(q, g, t0, t1);
        for (int i = 1; i <= proj.NbPoints(); ++i)
            if (proj.Distance(i) < best)
                best = proj.Distance(i), t = proj.Parameter(i);
        return Status::ok;
    });
}

Status freeExtents(const Curve& c, Extents3d& ext) {
    return guarded("curve extents", [&]() -> Status {
        double t0 = 0, t1 = 0;
        Status st = Status::ok;
        Handle(Geom_Curve) g = freeCurve(c, t0, t1, st);
        if (!ok(st))
            return st;
        Bnd_Box box;
        BndLib_Add3dCurve::AddOptimal(GeomAdaptor_Curve(g), t0, t1, 0.0, box);
        double x0, y0, z0, x1, y1, z1;
        box.Get(x0, y0, z0, x1, y1, z1);
        ext = {};
        ext.addPoint({x0, y0, z0});
        ext.addPoint({x1, y1, z1});
        return Status::ok;
    });
}

Status splineSegment(const Spline& s, double t0, double t1, Spline& out) {
    return guarded("spline segment", [&]() -> Status {
        Status st = Status::ok;
        Handle(Geom_BSplineCurve) b = toBSpline(s, st);
        if (!ok(st))
            return st;
        Handle(Geom_BSplineCurve) copy = Handle(Geom_BSplineCurve)::DownCast(b->Copy());
        copy->Segment(t0, t1);
        out = fromBSpline(copy);
        return Status::ok;
    });
}

std::shared_ptr<const FreeCurve2d> makeFree2d(const Curve& c, const PlaneFrame& pf, double& t0,
                                              double& t1, Status& st) {
    std::shared_ptr<FreeCurve2d> result;
    st = guarded("planar curve", [&]() -> Status {
        auto fc = std::make_shared<FreeCurve2d>();
        if (const auto* e = std::get_if<EllipseArc>(&c)) {
            if (const Status valid = validate(c); !ok(valid))
                return valid;
            if (std::abs(pf.heightOf(e->center)) > 1e-6 ||
                e->normal.normal().cross(pf.f.n).length() > 1e-9)
                return Status::notApplicable;
            const EllipseData d = ellipseData(*e);
            const P2 c2 = pf.toLocal(d.c), u = pf.toLocal(d.c + d.u) - c2,
                     v = pf.toLocal(d.c + d.v) - c2;
            const double a = u.norm(), b = v.norm();
            gp_Ax22d ax(gp_Pnt2d(c2.x, c2.y), gp_Dir2d(u.x, u.y), gp_Dir2d(v.x, v.y));
            fc->curve = new Geom2d_Ellipse(gp_Elips2d(ax, a, b));
            t0 = d.t0, t1 = d.t1;
            result = fc;
            return Status::ok;
        }
        const auto* s = std::get_if<Spline>(&c);
        if (!s)
            return Status::notApplicable;
        Status converted = Status::ok;
        Handle(Geom_BSplineCurve) b = toBSpline(*s, converted);
        if (!ok(converted))
            return converted;
        TColgp_Array1OfPnt2d poles(1, b->NbPoles());
        for (int i = 1; i <= b->NbPoles(); ++i) {
            const Point3d p = fromPnt(b->Pole(i));
            if (std::abs(pf.heightOf(p)) > 1e-6)
                return Status::notApplicable;
            const P2 q = pf.toLocal(p);
            poles.SetValue(i, gp_Pnt2d(q.x, q.y));
        }
        TColStd_Array1OfReal weights(1, b->NbPoles());
        b->Weights(weights);
        TColStd_Array1OfReal knots(1, b->NbKnots());
        b->Knots(knots);
        TColStd_Array1OfInteger mults(1, b->NbKnots());
        b->Multiplicities(mults);
        fc->curve =
            new Geom2d_BSplineCurve(poles, weights, knots, mults, b->Degree(), b->IsPeriodic());
        t0 = b->FirstParameter(), t1 = b->LastParameter();
        result = fc;
        return Status::ok;
    });
    return ok(st) ? result : nullptr;
}

void free2dEval(const FreeCurve2d& f, double t, P2* p, P2* d1, P2* d2) {
    gp_Pnt2d pt;
    gp_Vec2d v1, v2;
    // Callers sample many parameters: a failure leaves zeros here and its message in the
    // diagnostics.
    guarded("planar curve evaluation", [&] { f.curve->D2(t, pt, v1, v2); });
    if (p)
        *p = {pt.X(), pt.Y()};
    if (d1)
        *d1 = {v1.X(), v1.Y()};
    if (d2)
        *d2 = {v2.X(), v2.Y()};
}

Box2 free2dBox(const FreeCurve2d& f, double t0, double t1) {
    Box2 out;
    guarded("planar curve extents", [&] {
        Bnd_Box2d box;
        BndLib_Add2dCurve::AddOptimal(f.curve, t0, t1, 0.0, box);
        double x0, y0, x1, y1;
        box.Get(x0, y0, x1, y1);
        out.add({x0, y0});
        out.add({x1, y1});
    });
    return out;
}

namespace {

// A 2D curve of an atom whose parameter u relates to s by s = (u - base) / scale.
Handle(Geom2d_Curve) atomCurve(const Atom& a, double& base, double& scale) {
    if (a.kind == Atom::Line) {
        const P2 d = a.b - a.a;
        base = 0, scale = d.norm();
        return new Geom2d_TrimmedCurve(new Geom2d_Line(gp_Pnt2d(a.a.x, a.a.y), gp_Dir2d(d.x, d.y)),
                                       0, scale);
    }
    if (a.kind == Atom::Arc) {
        const gp_Ax22d ax(gp_Pnt2d(a.c.x, a.c.y), gp_Dir2d(std::cos(a.a0), std::sin(a.a0)),
                          a.sw > 0);
        base = 0, scale = std::abs(a.sw);
        return new Geom2d_TrimmedCurve(new Geom2d_Circle(ax, a.r), 0, scale);
    }
    base = a.t0, scale = a.t1 - a.t0;
    return new Geom2d_TrimmedCurve(a.free->curve, a.t0, a.t1);
}

} // namespace

void intersectFreeAtoms(const Atom& a, const Atom& b, double tol, std::vector<AtomHit>& out) {
    guarded("curve intersection", [&] {
        double ba = 0, sa = 1, bb = 0, sb = 1;
        Handle(Geom2d_Curve) ca = atomCurve(a, ba, sa), cb = atomCurve(b, bb, sb);
        Geom2dAPI_InterCurveCurve inter(ca, cb, std::max(tol, 1e-9));
        for (int i = 1; i <= inter.NbPoints(); ++i) {
            const IntRes2d_IntersectionPoint& ip = inter.Intersector().Point(i);
            const double ua = (ip.ParamOnFirst() - ba) / sa, ub = (ip.ParamOnSecond() - bb) / sb;
            const gp_Pnt2d p = ip.Value();
            out.push_back({std::clamp(ua, 0.0, 1.0), std::clamp(ub, 0.0, 1.0), {p.X(), p.Y()}});
        }
    });
}

double closestOnFreeAtom(const Atom& a, P2 p, double& s) {
    const P2 p0 = a.start(), p1 = a.end();
    double best = (p0 - p).norm();
    s = 0;
    if ((p1 - p).norm() < best)
        best = (p1 - p).norm(), s = 1;
    // The end points stand when the projection fails.
    guarded("closest point", [&] {
        Geom2dAPI_ProjectPointOnCurve proj(gp_Pnt2d(p.x, p.y), a.free->curve, a.t0, a.t1);
        for (int i = 1; i <= proj.NbPoints(); ++i)
            if (proj.Distance(i) < best)
                best = proj.Distance(i), s = (proj.Parameter(i) - a.t0) / (a.t1 - a.t0);
    });
    return best;
}

} // namespace zhost::geom::kernel

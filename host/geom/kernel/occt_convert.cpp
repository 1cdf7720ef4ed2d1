// Our curves and regions to and from Open CASCADE curves, edges and faces.
#include "guard.h"
#include "occt.h"

#include "../curve_detail.h"
#include "zhost/geom/curves.h"

#include <BRepTools.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <GeomAPI_Interpolate.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <GeomConvert.hxx>
#include <Geom_Circle.hxx>
#include <Geom_Ellipse.hxx>
#include <Geom_Line.hxx>
#include <Geom_Plane.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <Precision.hxx>
#include <TColStd_HArray1OfReal.hxx>
#include <TColgp_HArray1OfPnt.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Vertex.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>
#include <gp_Elips.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <cmath>

namespace zhost::geom::kernel {

using namespace detail;

namespace {
gp_Dir toDir(const Vector3d& v) {
    return {v.x, v.y, v.z};
}

// The distinct knots and their multiplicities of a spline with control points (a clamped,
// uniform vector when it has no knots); the status says why the data makes no spline.
Status knotsOf(const Spline& s, std::vector<double>& kv, std::vector<int>& mult) {
    const int n = int(s.controlPoints.size());
    const int deg = s.degree;
    if (deg < 1 || n < deg + 1 || (!s.weights.empty() && int(s.weights.size()) != n))
        return Status::invalidInput;
    std::vector<double> knots = s.knots;
    if (knots.empty()) { // clamped and uniform
        for (int i = 0; i <= deg; ++i)
            knots.push_back(0);
        for (int i = 1; i < n - deg; ++i)
            knots.push_back(i);
        for (int i = 0; i <= deg; ++i)
            knots.push_back(n - deg);
    }
    if (int(knots.size()) != n + deg + 1)
        return Status::invalidInput;
    for (double k : knots) {
        if (!kv.empty() && std::abs(k - kv.back()) <= 1e-12 * std::max(1.0, std::abs(k))) {
            ++mult.back();
        } else if (!kv.empty() && k < kv.back()) {
            return Status::invalidInput;
        } else {
            kv.push_back(k);
            mult.push_back(1);
        }
    }
    if (kv.size() < 2)
        return Status::degenerateGeometry;
    mult.front() = std::min(mult.front(), deg + 1);
    mult.back() = std::min(mult.back(), deg + 1);
    int sum = 0;
    for (int m : mult)
        sum += m;
    return sum == n + deg + 1 ? Status::ok : Status::invalidInput;
}

} // namespace

Handle(Geom_BSplineCurve) toBSpline(const Spline& s, Status& st) {
    Handle(Geom_BSplineCurve) result;
    if (s.controlPoints.empty()) {
        if (s.fitPoints.size() < 2) {
            st = Status::degenerateGeometry;
            return {};
        }
        st = guarded("spline interpolation", [&]() -> Status {
            Handle(TColgp_HArray1OfPnt) pts = new TColgp_HArray1OfPnt(1, int(s.fitPoints.size()));
            for (std::size_t i = 0; i < s.fitPoints.size(); ++i)
                pts->SetValue(int(i) + 1, toPnt(s.fitPoints[i]));
            GeomAPI_Interpolate interp(pts, Standard_False, 1e-9);
            interp.Perform();
            if (!interp.IsDone())
                return kernelFailed("spline interpolation",
                                    "the fit points cannot be interpolated");
            result = interp.Curve();
            return Status::ok;
        });
        return ok(st) ? result : Handle(Geom_BSplineCurve)();
    }
    std::vector<double> kv;
    std::vector<int> mult;
    st = knotsOf(s, kv, mult);
    if (!ok(st))
        return {};
    // Data the kernel still refuses (a zero weight, knots it finds too close) is bad input.
    st = guarded(
        "spline",
        [&] {
            const int n = int(s.controlPoints.size());
            TColgp_Array1OfPnt poles(1, n);
            TColStd_Array1OfReal weights(1, n);
            for (int i = 0; i < n; ++i) {
                poles.SetValue(i + 1, toPnt(s.controlPoints[i]));
                weights.SetValue(i + 1, s.weights.empty() ? 1.0 : s.weights[i]);
            }
            TColStd_Array1OfReal k(1, int(kv.size()));
            TColStd_Array1OfInteger m(1, int(kv.size()));
            for (std::size_t i = 0; i < kv.size(); ++i) {
                k.SetValue(int(i) + 1, kv[i]);
                m.SetValue(int(i) + 1, mult[i]);
            }
            if (s.weights.empty())
                result = new Geom_BSplineCurve(poles, k, m, s.degree);
            else
                result = new Geom_BSplineCurve(poles, weights, k, m, s.degree);
        },
        Status::invalidInput);
    return ok(st) ? result : Handle(Geom_BSplineCurve)();
}

Spline fromBSpline(const Handle(Geom_BSplineCurve) & b) {
    Spline s;
    s.degree = b->Degree();
    for (int i = 1; i <= b->NbPoles(); ++i) {
        s.controlPoints.push_back(fromPnt(b->Pole(i)));
        if (b->IsRational())
            s.weights.push_back(b->Weight(i));
    }
    for (int i = 1; i <= b->NbKnots(); ++i)
        for (int j = 0; j < b->Multiplicity(i); ++j)
            s.knots.push_back(b->Knot(i));
    s.closed = b->IsClosed();
    return s;
}

Handle(Geom_Curve) toGeomCurve(const Curve& c, double& t0, double& t1, Status& st) {
    st = paramRange(c, t0, t1);
    if (!ok(st))
        return {};
    Handle(Geom_Curve) result;
    st = guarded("curve", [&]() -> Status {
        if (const auto* l = std::get_if<LineSeg>(&c)) {
            result = new Geom_Line(toPnt(l->start), toDir(l->end - l->start));
        } else if (std::get_if<CircArc>(&c) || std::get_if<Circle>(&c)) {
            const ArcData d = std::get_if<CircArc>(&c) ? arcData(std::get<CircArc>(c))
                                                       : arcData(std::get<Circle>(c));
            result = new Geom_Circle(gp_Ax2(toPnt(d.c), toDir(d.f.n), toDir(d.f.x)), d.r);
        } else if (const auto* e = std::get_if<EllipseArc>(&c)) {
            const double a = e->majorAxis.length();
            result =
                new Geom_Ellipse(gp_Ax2(toPnt(e->center), toDir(e->normal), toDir(e->majorAxis)), a,
                                 a * e->radiusRatio);
        } else if (const auto* sp = std::get_if<Spline>(&c)) {
            Status converted = Status::ok;
            result = toBSpline(*sp, converted);
            return converted;
        } else {
            return Status::notApplicable;
        }
        return Status::ok;
    });
    return ok(st) ? result : Handle(Geom_Curve)();
}

namespace {

TopoDS_Vertex makeVertex(const Point3d& p, double tol) {
    TopoDS_Vertex v;
    BRep_Builder().MakeVertex(v, toPnt(p), tol);
    return v;
}

Status loopToWire(const Loop& loop, TopoDS_Wire& wire) {
    BRep_Builder bb;
    bb.MakeWire(wire);
    const std::size_t n = loop.edges.size();
    if (n == 0)
        return Status::noRegion;
    std::vector<Point3d> starts(n), ends(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!ok(startPoint(loop.edges[i], starts[i])) || !ok(endPoint(loop.edges[i], ends[i])))
            return Status::degenerateGeometry;
    }
    std::vector<TopoDS_Vertex> verts(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double gap = starts[i].distanceTo(ends[(i + n - 1) % n]);
        verts[i] = makeVertex(starts[i], std::max(1e-7, gap * 1.01));
    }
    for (std::size_t i = 0; i < n; ++i) {
        double t0 = 0, t1 = 0;
        Status st = Status::ok;
        const Handle(Geom_Curve) gc = toGeomCurve(loop.edges[i], t0, t1, st);
        if (!ok(st))
            return st;
        TopoDS_Edge e;
        bb.MakeEdge(e, gc, 1e-7);
        TopoDS_Vertex v0 = verts[i], v1 = verts[(i + 1) % n];
        v0.Orientation(TopAbs_FORWARD);
        v1.Orientation(TopAbs_REVERSED);
        bb.Add(e, v0);
        bb.Add(e, v1);
        bb.Range(e, t0, t1);
        bb.Add(wire, e);
    }
    wire.Closed(Standard_True);
    return Status::ok;
}

// Edge of a face (as oriented in its wire) to our curve, in travel order.
Status edgeToCurve(const TopoDS_Edge& e, Curve& out) {
    double f = 0, l = 0;
    Handle(Geom_Curve) c = BRep_Tool::Curve(e, f, l);
    if (c.IsNull())
        return Status::kernelFailure;
    while (c->IsKind(STANDARD_TYPE(Geom_TrimmedCurve)))
        c = Handle(Geom_TrimmedCurve)::DownCast(c)->BasisCurve();
    Curve fwd;
    if (auto ln = Handle(Geom_Line)::DownCast(c); !ln.IsNull()) {
        fwd = LineSeg{fromPnt(ln->Value(f)), fromPnt(ln->Value(l))};
    } else if (auto ci = Handle(Geom_Circle)::DownCast(c); !ci.IsNull()) {
        const gp_Circ g = ci->Circ();
        const gp_Dir nd = g.Axis().Direction();
        const Vector3d n{nd.X(), nd.Y(), nd.Z()};
        const Point3d ctr = fromPnt(g.Location());
        if (l - f >= kTwoPi - 1e-12) {
            fwd = Circle{ctr, g.Radius(), n};
            if (e.Orientation() == TopAbs_REVERSED)
                fwd = Circle{ctr, g.Radius(), n * -1.0};
            out = fwd;
            return Status::ok;
        }
        const ArcData fr{ctr, g.Radius(), frameOf(n), 0, 0};
        const double a0 = fr.angleOf(fromPnt(ci->Value(f)));
        fwd = CircArc{ctr, g.Radius(), a0, a0 + (l - f), n};
    } else if (auto el = Handle(Geom_Ellipse)::DownCast(c); !el.IsNull()) {
        const gp_Elips g = el->Elips();
        const gp_Dir nd = g.Axis().Direction(), xd = g.XAxis().Direction();
        EllipseArc ea;
        ea.center = fromPnt(g.Location());
        ea.majorAxis = Vector3d{xd.X(), xd.Y(), xd.Z()} * g.MajorRadius();
        ea.radiusRatio = g.MinorRadius() / g.MajorRadius();
        ea.normal = {nd.X(), nd.Y(), nd.Z()};
        ea.startParam = f;
        ea.endParam = l;
        fwd = ea;
    } else {
        Handle(Geom_BSplineCurve) b =
            GeomConvert::CurveToBSplineCurve(new Geom_TrimmedCurve(c, f, l));
        fwd = fromBSpline(b);
    }
    if (e.Orientation() == TopAbs_REVERSED)
        return reversed(fwd, out);
    out = std::move(fwd);
    return Status::ok;
}

} // namespace

Status toFaces(const Region& r, std::vector<TopoDS_Face>& faces) {
    faces.clear();
    return guarded("region to faces", [&]() -> Status {
        const Vector3d n = r.normal.normal();
        for (const Face& f : r.faces) {
            Point3d p0;
            if (f.outer.edges.empty() || !ok(startPoint(f.outer.edges.front(), p0)))
                return Status::noRegion;
            Handle(Geom_Plane) plane = new Geom_Plane(gp_Pln(toPnt(p0), toDir(n)));
            TopoDS_Face face;
            BRep_Builder bb;
            bb.MakeFace(face, plane, 1e-7);
            TopoDS_Wire w;
            Status st = loopToWire(f.outer, w);
            if (!ok(st))
                return st;
            bb.Add(face, w);
            for (const Loop& h : f.holes) {
                st = loopToWire(h, w);
                if (!ok(st))
                    return st;
                bb.Add(face, w);
            }
            faces.push_back(face);
        }
        return Status::ok;
    });
}

Status fromShape(const TopoDS_Shape& s, const Vector3d& normal, Region& out) {
    out = Region{};
    out.normal = normal;
    return guarded("faces to region", [&]() -> Status {
        for (TopExp_Explorer fx(s, TopAbs_FACE); fx.More(); fx.Next()) {
            const TopoDS_Face face = TopoDS::Face(fx.Current());
            const TopoDS_Wire outerW = BRepTools::OuterWire(face);
            Face f;
            for (TopExp_Explorer wx(face, TopAbs_WIRE); wx.More(); wx.Next()) {
                const TopoDS_Wire w = TopoDS::Wire(wx.Current());
                Loop loop;
                for (BRepTools_WireExplorer ex(w, face); ex.More(); ex.Next()) {
                    Curve c;
                    const Status st = edgeToCurve(ex.Current(), c);
                    if (!ok(st))
                        return st;
                    if (!ok(validate(c)))
                        continue; // sliver edges left by the Boolean
                    loop.edges.push_back(std::move(c));
                }
                if (loop.edges.empty())
                    continue;
                if (w.IsSame(outerW))
                    f.outer = std::move(loop);
                else
                    f.holes.push_back(std::move(loop));
            }
            if (!f.outer.edges.empty())
                out.faces.push_back(std::move(f));
        }
        return Status::ok;
    });
}

} // namespace zhost::geom::kernel

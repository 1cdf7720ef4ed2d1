#include "plane2d.h"

#include "kernel/kernel.h"

#include <algorithm>
#include <cmath>

namespace zhost::geom::detail {

PlaneFrame planeFrame(const Vector3d& normal, const Point3d& pointOnPlane) {
    PlaneFrame pf;
    pf.f = frameOf(normal);
    pf.origin = Point3d{} + pf.f.n * pointOnPlane.asVector().dot(pf.f.n);
    return pf;
}

P2 Atom::at(double s) const {
    switch (kind) {
    case Line:
        return a + (b - a) * s;
    case Arc: {
        const double t = a0 + sw * s;
        return {c.x + r * std::cos(t), c.y + r * std::sin(t)};
    }
    default: {
        P2 p;
        kernel::free2dEval(*free, t0 + s * (t1 - t0), &p, nullptr, nullptr);
        return p;
    }
    }
}

P2 Atom::d1(double s) const {
    switch (kind) {
    case Line:
        return b - a;
    case Arc: {
        const double t = a0 + sw * s;
        return P2{-std::sin(t), std::cos(t)} * (r * sw);
    }
    default: {
        P2 d;
        kernel::free2dEval(*free, t0 + s * (t1 - t0), nullptr, &d, nullptr);
        return d * (t1 - t0);
    }
    }
}

P2 Atom::d2(double s) const {
    switch (kind) {
    case Line:
        return {};
    case Arc: {
        const double t = a0 + sw * s;
        return P2{std::cos(t), std::sin(t)} * (-r * sw * sw);
    }
    default: {
        P2 d;
        kernel::free2dEval(*free, t0 + s * (t1 - t0), nullptr, nullptr, &d);
        return d * ((t1 - t0) * (t1 - t0));
    }
    }
}

double Atom::length() const {
    switch (kind) {
    case Line:
        return (b - a).norm();
    case Arc:
        return std::abs(sw) * r;
    default: {
        double len = 0;
        constexpr int n = 64;
        P2 prev = at(0);
        for (int i = 1; i <= n; ++i) {
            const P2 p = at(double(i) / n);
            len += (p - prev).norm();
            prev = p;
        }
        return len;
    }
    }
}

static void finishBox(Atom& at) {
    Box2 bx;
    if (at.kind == Atom::Line) {
        bx.add(at.a);
        bx.add(at.b);
    } else if (at.kind == Atom::Arc) {
        bx.add(at.start());
        bx.add(at.end());
        const double lo = std::min(at.a0, at.a0 + at.sw), hi = std::max(at.a0, at.a0 + at.sw);
        for (int k = -4; k <= 8; ++k) {
            const double t = k * kPi / 2;
            if (t > lo && t < hi)
                bx.add({at.c.x + at.r * std::cos(t), at.c.y + at.r * std::sin(t)});
        }
    } else {
        bx = kernel::free2dBox(*at.free, at.t0, at.t1);
    }
    at.box = bx;
}

static bool inPlane(const PlaneFrame& pf, const Point3d& p, double tol) {
    return std::abs(pf.heightOf(p)) <= tol;
}

static Status arcAtom(const ArcData& d, const PlaneFrame& pf, double tol, Atom& at) {
    if (!inPlane(pf, d.c, tol) || d.f.n.cross(pf.f.n).length() > 1e-9)
        return Status::notApplicable;
    const double sign = d.f.n.dot(pf.f.n) > 0 ? 1.0 : -1.0;
    at.kind = Atom::Arc;
    at.c = pf.toLocal(d.c);
    at.r = d.r;
    const P2 s = pf.toLocal(d.at(d.a0)) - at.c;
    at.a0 = std::atan2(s.y, s.x);
    at.sw = sign * (d.a1 - d.a0);
    return Status::ok;
}

Status edgeAtom(const Curve& c, const PlaneFrame& pf, double tol, Atom& at) {
    if (const auto* l = std::get_if<LineSeg>(&c)) {
        if (!inPlane(pf, l->start, tol) || !inPlane(pf, l->end, tol))
            return Status::notApplicable;
        at.kind = Atom::Line;
        at.a = pf.toLocal(l->start);
        at.b = pf.toLocal(l->end);
        at.u0 = 0;
        at.u1 = l->start.distanceTo(l->end);
        return Status::ok;
    }
    if (const auto* a = std::get_if<CircArc>(&c)) {
        if (a->normal == pf.f.n) {
            // Same frame as the plane (the common case): no trigonometry needed.
            const double a0 = normAngle(a->startAngle);
            double sweep = normAngle(a->endAngle - a->startAngle);
            if (sweep <= 1e-14)
                sweep = kTwoPi;
            const Vector3d dc = a->center - pf.origin;
            if (std::abs(dc.dot(pf.f.n)) > tol)
                return Status::notApplicable;
            at.kind = Atom::Arc;
            at.c = {dc.dot(pf.f.x), dc.dot(pf.f.y)};
            at.r = a->radius;
            at.a0 = a0;
            at.sw = sweep;
            at.u0 = a0, at.u1 = a0 + sweep;
            return Status::ok;
        }
        const ArcData d = arcData(*a);
        at.u0 = d.a0, at.u1 = d.a1;
        return arcAtom(d, pf, tol, at);
    }
    if (const auto* ci = std::get_if<Circle>(&c)) {
        const ArcData d = arcData(*ci);
        at.u0 = d.a0, at.u1 = d.a1;
        return arcAtom(d, pf, tol, at);
    }
    Status st = Status::ok;
    at.kind = Atom::Free;
    at.free = kernel::makeFree2d(c, pf, at.t0, at.t1, st);
    at.u0 = at.t0, at.u1 = at.t1;
    return st;
}

Status boxedEdgeAtom(const Curve& c, const PlaneFrame& pf, Atom& at, double tol) {
    const Status st = edgeAtom(c, pf, tol, at);
    if (ok(st))
        finishBox(at);
    return st;
}

Status toAtoms(const Curve& c, const PlaneFrame& pf, int source, std::vector<Curve>& pieces,
               std::vector<Atom>& atoms, double tol) {
    auto addOne = [&](const Curve& piece) {
        Atom at;
        at.source = source;
        const Status st = edgeAtom(piece, pf, tol, at);
        if (!ok(st))
            return st;
        pieces.push_back(piece);
        finishBox(at);
        atoms.push_back(std::move(at));
        return Status::ok;
    };
    if (const auto* pl = std::get_if<Polyline>(&c)) {
        const std::size_t n = segmentCount(*pl);
        for (std::size_t i = 0; i < n; ++i) {
            const Point3d& p0 = pl->points[i];
            const Point3d& p1 = pl->points[(i + 1) % pl->points.size()];
            if (p0.distanceTo(p1) <= 1e-12)
                continue;
            const Status st = addOne(segment(*pl, i));
            if (!ok(st))
                return st;
        }
        return Status::ok;
    }
    return addOne(c);
}

void bindSources(std::vector<Atom>& atoms, const std::vector<Curve>& pieces,
                 const std::vector<int>& pieceOfAtom) {
    for (std::size_t i = 0; i < atoms.size(); ++i)
        atoms[i].src = &pieces[pieceOfAtom[i]];
}

Status atomPiece(const Atom& a, double s0, double s1, Curve& out) {
    if (!a.src)
        return Status::invalidInput;
    const bool back = s1 < s0;
    const double u0 = a.srcParam(std::min(s0, s1)), u1 = a.srcParam(std::max(s0, s1));
    Curve piece;
    const Status st = subCurve(*a.src, std::min(u0, u1), std::max(u0, u1), piece);
    if (!ok(st))
        return st;
    // Atom parameters may run against the source's (never for the current sources, but keep
    // the direction right if that changes).
    const bool flip = back != (a.u1 < a.u0);
    if (!flip) {
        out = std::move(piece);
        return Status::ok;
    }
    return reversed(piece, out);
}

// ---------------------------------------------------------------- intersections

static void addHit(std::vector<AtomHit>& out, const Atom& a, const Atom& b, double sa, double sb,
                   double tol) {
    const double ea = tol / std::max(a.length(), 1e-300), eb = tol / std::max(b.length(), 1e-300);
    if (sa < -ea || sa > 1 + ea || sb < -eb || sb > 1 + eb)
        return;
    sa = std::clamp(sa, 0.0, 1.0);
    sb = std::clamp(sb, 0.0, 1.0);
    const P2 p = a.at(sa);
    for (const AtomHit& h : out)
        if ((h.p - p).norm() <= tol)
            return;
    out.push_back({sa, sb, p});
}

// Arc parameter of the angle t, or a value outside [0, 1] when t is not on the arc (within eps).
static double arcParamOf(const Atom& a, double t, double eps) {
    double d = (t - a.a0) / a.sw;
    const double period = kTwoPi / std::abs(a.sw);
    d = d - std::floor(d / period) * period; // into [0, period)
    if (d > 1 + eps && d > period - eps)
        d -= period;
    return d;
}

static void lineLine(const Atom& a, const Atom& b, double tol, std::vector<AtomHit>& out) {
    const P2 da = a.b - a.a, db = b.b - b.a;
    const double den = da.cross(db);
    const double la = da.norm(), lb = db.norm();
    if (std::abs(den) > 1e-12 * la * lb) {
        const P2 w = b.a - a.a;
        addHit(out, a, b, w.cross(db) / den, w.cross(da) / den, tol);
    }
}

static void lineArc(const Atom& l, const Atom& c, bool swap, double tol,
                    std::vector<AtomHit>& out) {
    const P2 d = l.b - l.a;
    const double len2 = d.dot(d);
    if (len2 <= 0)
        return;
    const double sFoot = (c.c - l.a).dot(d) / len2;
    const P2 foot = l.a + d * sFoot;
    const double h = (c.c - foot).norm();
    if (h > c.r + tol)
        return;
    const double half = h >= c.r ? 0.0 : std::sqrt(c.r * c.r - h * h);
    const double ds = half / std::sqrt(len2);
    const double eps = tol / std::max(c.r * std::abs(c.sw), 1e-300);
    for (double s : {sFoot - ds, sFoot + ds}) {
        const P2 p = l.a + d * s;
        const double u = arcParamOf(c, std::atan2(p.y - c.c.y, p.x - c.c.x), eps);
        if (swap)
            addHit(out, c, l, u, s, tol);
        else
            addHit(out, l, c, s, u, tol);
        if (half == 0)
            break;
    }
}

static void arcArc(const Atom& a, const Atom& b, double tol, std::vector<AtomHit>& out) {
    const P2 d = b.c - a.c;
    const double dist = d.norm();
    if (dist <= tol && std::abs(a.r - b.r) <= tol)
        return; // concentric and equal: the end-point pass finds the overlap ends
    if (dist > a.r + b.r + tol || dist < std::abs(a.r - b.r) - tol || dist <= 0)
        return;
    const double x = (dist * dist + a.r * a.r - b.r * b.r) / (2 * dist);
    const double h2 = a.r * a.r - x * x;
    const double h = h2 > 0 ? std::sqrt(h2) : 0.0;
    const P2 ex = d * (1 / dist), ey{-ex.y, ex.x};
    const double epsA = tol / std::max(a.r * std::abs(a.sw), 1e-300);
    const double epsB = tol / std::max(b.r * std::abs(b.sw), 1e-300);
    for (double sgn : {1.0, -1.0}) {
        const P2 p = a.c + ex * x + ey * (sgn * h);
        const double ua = arcParamOf(a, std::atan2(p.y - a.c.y, p.x - a.c.x), epsA);
        const double ub = arcParamOf(b, std::atan2(p.y - b.c.y, p.x - b.c.x), epsB);
        addHit(out, a, b, ua, ub, tol);
        if (h == 0)
            break;
    }
}

// End points of one atom lying on the other: catches touching ends, T-junctions and the ends of
// overlaps that the analytic solutions miss or place inaccurately.
static void endPointHits(const Atom& a, const Atom& b, double tol, std::vector<AtomHit>& out) {
    for (double sa : {0.0, 1.0}) {
        double sb = 0;
        if (closestOnAtom(b, a.at(sa), sb) <= tol) {
            // Prefer the exact end point over a computed crossing near it.
            const P2 p = a.at(sa);
            std::erase_if(out, [&](const AtomHit& h) { return (h.p - p).norm() <= tol; });
            out.push_back({sa, sb, p});
        }
    }
    for (double sb : {0.0, 1.0}) {
        double sa = 0;
        if (closestOnAtom(a, b.at(sb), sa) <= tol) {
            const P2 p = b.at(sb);
            bool dup = false;
            for (const AtomHit& h : out)
                dup = dup || (h.p - p).norm() <= tol;
            if (!dup)
                out.push_back({sa, sb, p});
        }
    }
}

void intersectAtoms(const Atom& a, const Atom& b, double tol, std::vector<AtomHit>& out) {
    out.clear();
    if (!a.box.overlaps(b.box, tol))
        return;
    if (a.kind == Atom::Free || b.kind == Atom::Free) {
        kernel::intersectFreeAtoms(a, b, tol, out);
    } else if (a.kind == Atom::Line && b.kind == Atom::Line) {
        lineLine(a, b, tol, out);
    } else if (a.kind == Atom::Line) {
        lineArc(a, b, false, tol, out);
    } else if (b.kind == Atom::Line) {
        lineArc(b, a, true, tol, out);
    } else {
        arcArc(a, b, tol, out);
    }
    endPointHits(a, b, tol, out);
}

double closestOnAtom(const Atom& a, P2 p, double& s) {
    switch (a.kind) {
    case Atom::Line: {
        const P2 d = a.b - a.a;
        const double l2 = d.dot(d);
        s = l2 > 0 ? std::clamp((p - a.a).dot(d) / l2, 0.0, 1.0) : 0.0;
        return (a.at(s) - p).norm();
    }
    case Atom::Arc: {
        const P2 v = p - a.c;
        if (v.norm() > 0) {
            const double u = arcParamOf(a, std::atan2(v.y, v.x), 0);
            if (u >= 0 && u <= 1) {
                s = u;
                return std::abs(v.norm() - a.r);
            }
        }
        const double d0 = (a.start() - p).norm(), d1v = (a.end() - p).norm();
        s = d0 <= d1v ? 0.0 : 1.0;
        return std::min(d0, d1v);
    }
    default:
        return kernel::closestOnFreeAtom(a, p, s);
    }
}

} // namespace zhost::geom::detail

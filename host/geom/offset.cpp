// Analytic offsets of lines, arcs, circles and polylines. A positive distance moves the curve to
// the right of its direction of travel seen from the tip of its normal.
#include "curve_detail.h"
#include "plane2d.h"
#include "zhost/geom/coordinate_range.h"
#include "zhost/geom/curves.h"

#include <cmath>
#include <optional>

namespace zhost::geom {

using namespace detail;

namespace {

// One offset segment of a polyline in its plane: a line or an arc with a travel direction.
struct OffSeg {
    bool arc = false;
    P2 s, e; // trimmed ends
    P2 c;    // arc centre
    double r = 0;
    bool ccw = true;
};

P2 rightOf(P2 d) {
    return P2{d.y, -d.x} * (1 / d.norm());
}

// Intersections of the unbounded carriers (line or full circle) of two segments.
std::vector<P2> carrierHits(const OffSeg& a, const OffSeg& b) {
    std::vector<P2> out;
    if (!a.arc && !b.arc) {
        const P2 da = a.e - a.s, db = b.e - b.s;
        const double den = da.cross(db);
        if (std::abs(den) > 1e-14 * da.norm() * db.norm())
            out.push_back(a.s + da * ((b.s - a.s).cross(db) / den));
        return out;
    }
    if (a.arc != b.arc) {
        const OffSeg& l = a.arc ? b : a;
        const OffSeg& c = a.arc ? a : b;
        const P2 d = l.e - l.s;
        const double t = (c.c - l.s).dot(d) / d.dot(d);
        const P2 foot = l.s + d * t;
        const double h = (c.c - foot).norm();
        if (h > c.r * (1 + 1e-12))
            return out;
        const double half = h >= c.r ? 0 : std::sqrt(c.r * c.r - h * h);
        const P2 u = d * (1 / d.norm());
        out.push_back(foot - u * half);
        out.push_back(foot + u * half);
        return out;
    }
    const P2 d = b.c - a.c;
    const double dist = d.norm();
    if (dist <= 0 || dist > a.r + b.r || dist < std::abs(a.r - b.r))
        return out;
    const double x = (dist * dist + a.r * a.r - b.r * b.r) / (2 * dist);
    const double h = std::sqrt(std::max(0.0, a.r * a.r - x * x));
    const P2 ex = d * (1 / dist), ey{-ex.y, ex.x};
    out.push_back(a.c + ex * x + ey * h);
    out.push_back(a.c + ex * x - ey * h);
    return out;
}

double arcSweep(const OffSeg& g) {
    const double ts = std::atan2(g.s.y - g.c.y, g.s.x - g.c.x);
    const double te = std::atan2(g.e.y - g.c.y, g.e.x - g.c.x);
    return g.ccw ? normAngle(te - ts) : -normAngle(ts - te);
}

Status offsetPolyline(const Polyline& pl, double d, Curve& out) {
    const PlaneFrame pf = planeFrame(pl.normal, pl.points.front());
    const double height = pf.heightOf(pl.points.front());
    std::vector<OffSeg> segs;
    for (std::size_t i = 0; i < segmentCount(pl); ++i) {
        const Point3d& p0 = pl.points[i];
        const Point3d& p1 = pl.points[(i + 1) % pl.points.size()];
        if (p0.distanceTo(p1) <= 1e-12)
            continue;
        OffSeg g;
        const P2 a = pf.toLocal(p0), b = pf.toLocal(p1);
        if (!isArcSegment(pl, i)) {
            const P2 sh = rightOf(b - a) * d;
            g.s = a + sh, g.e = b + sh;
        } else {
            const CircArc arc = arcFromBulge(p0, p1, pl.bulges[i], pl.normal);
            g.arc = true;
            g.ccw = arc.normal.dot(pl.normal) > 0;
            g.c = pf.toLocal(arc.center);
            g.r = arc.radius + (g.ccw ? d : -d);
            if (g.r <= 1e-12)
                return Status::degenerateGeometry;
            g.s = g.c + (a - g.c) * (g.r / arc.radius);
            g.e = g.c + (b - g.c) * (g.r / arc.radius);
        }
        segs.push_back(g);
    }
    if (segs.empty())
        return Status::degenerateGeometry;
    // Joins: meet at the carriers' intersection nearest the old corner, else bridge with a line.
    std::vector<bool> bridge(segs.size(), false);
    const std::size_t joins = pl.closed ? segs.size() : segs.size() - 1;
    for (std::size_t k = 0; k < joins; ++k) {
        OffSeg& a = segs[k];
        OffSeg& b = segs[(k + 1) % segs.size()];
        if ((a.e - b.s).norm() <= 1e-9)
            continue;
        const P2 corner = (a.e + b.s) * 0.5;
        std::optional<P2> best;
        for (P2 h : carrierHits(a, b))
            if (!best || (h - corner).norm() < (*best - corner).norm())
                best = h;
        if (best) {
            a.e = *best;
            b.s = *best;
        } else {
            bridge[k] = true;
        }
    }
    Polyline r;
    r.normal = pl.normal;
    r.closed = pl.closed;
    for (std::size_t k = 0; k < segs.size(); ++k) {
        const OffSeg& g = segs[k];
        r.points.push_back(pf.toWorld(g.s) + pf.f.n * height);
        r.bulges.push_back(g.arc ? std::tan(arcSweep(g) / 4) : 0.0);
        if (bridge[k] || (!pl.closed && k + 1 == segs.size())) {
            if (k + 1 == segs.size() && pl.closed && !bridge[k])
                break;
            r.points.push_back(pf.toWorld(g.e) + pf.f.n * height);
            r.bulges.push_back(0.0);
        }
    }
    out = std::move(r);
    return Status::ok;
}

} // namespace

namespace {

Status offsetUnchecked(const Curve& c, double d, Curve& out) {
    const Status st = validate(c);
    if (!ok(st))
        return st;
    if (!std::isfinite(d))
        return Status::invalidInput;
    if (const auto* l = std::get_if<LineSeg>(&c)) {
        const Vector3d dir = (l->end - l->start).normal();
        const Vector3d right = dir.cross(curveNormal(c)).normal();
        out = LineSeg{l->start + right * d, l->end + right * d};
        return Status::ok;
    }
    if (const auto* a = std::get_if<CircArc>(&c)) {
        if (a->radius + d <= 1e-12)
            return Status::degenerateGeometry;
        CircArc r = *a;
        r.radius += d;
        out = r;
        return Status::ok;
    }
    if (const auto* ci = std::get_if<Circle>(&c)) {
        if (ci->radius + d <= 1e-12)
            return Status::degenerateGeometry;
        Circle r = *ci;
        r.radius += d;
        out = r;
        return Status::ok;
    }
    if (const auto* pl = std::get_if<Polyline>(&c))
        return offsetPolyline(*pl, d, out);
    return Status::notApplicable;
}

} // namespace

Status offset(const Curve& c, double d, Curve& out) {
    Curve made;
    Status st = offsetUnchecked(c, d, made);
    // A huge distance makes coordinates no drawing can hold (or no finite number at all).
    if (ok(st))
        st = checkCoordinateRange(made);
    if (ok(st))
        out = std::move(made);
    return st;
}

Status offsetBothSides(const Curve& c, double d, std::vector<Curve>& out) {
    out.clear();
    Curve plus, minus;
    Status st = offset(c, d, plus);
    if (ok(st))
        st = offset(c, -d, minus);
    if (!ok(st))
        return st;
    out.push_back(std::move(plus));
    out.push_back(std::move(minus));
    return Status::ok;
}

} // namespace zhost::geom

// Curve operations that make new curves: transform, reverse, split, offset, explode, and the
// intersections of two curves.
#include "curve_detail.h"
#include "kernel/kernel.h"
#include "plane2d.h"
#include "zhost/geom/curves.h"

#include <algorithm>
#include <cmath>

namespace zhost::geom {

using namespace detail;

namespace {

template <class T> const T* as(const Curve& c) {
    return std::get_if<T>(&c);
}

// The ellipse through c + u cos t + v sin t, t in [t0, t0 + sweep], with its axes found from the
// conjugate semi-diameters u and v. `keep` is the normal whose side the result should face.
Curve ellipseFromConjugate(const Point3d& c, const Vector3d& u, const Vector3d& v, double t0,
                           double sweep, const Vector3d& keep) {
    const double uu = u.dot(u), vv = v.dot(v), uv = u.dot(v);
    const double shift = 0.5 * std::atan2(2 * uv, uu - vv);
    Vector3d a = u * std::cos(shift) + v * std::sin(shift);
    Vector3d b = v * std::cos(shift) - u * std::sin(shift);
    double tStart = t0 - shift;
    if (b.length() > a.length()) { // make a the major axis: t' = t - pi/2
        const Vector3d na = b, nb = a * -1.0;
        a = na, b = nb;
        tStart -= kPi / 2;
    }
    Vector3d n = a.cross(b).normal();
    double dir = 1;
    if (n.dot(keep) < 0) { // travel the other way about the kept normal
        n = n * -1.0;
        dir = -1;
    }
    EllipseArc e;
    e.center = c;
    e.majorAxis = a;
    e.radiusRatio = std::min(1.0, b.length() / a.length());
    e.normal = n;
    // With the normal flipped the parameter runs backwards: t' = -t.
    const double s0 = dir * tStart, s1 = dir * (tStart + sweep);
    e.startParam = normAngle(std::min(s0, s1));
    e.endParam = e.startParam + std::abs(sweep);
    if (std::abs(sweep) >= kTwoPi - 1e-12)
        e.startParam = 0, e.endParam = kTwoPi;
    return e;
}

Status transformArc(const ArcData& d, bool full, const Matrix3d& m, Curve& out) {
    const Point3d c = m * d.c;
    const Vector3d u = m * (d.f.x * d.r), v = m * (d.f.y * d.r);
    Vector3d keep = m * d.f.n;
    if (keep.isZeroLength(Tol{1e-300, 1e-300}))
        return Status::degenerateGeometry;
    keep = keep.normal();
    const double lu = u.length(), lv = v.length();
    if (lu <= 1e-300 || lv <= 1e-300)
        return Status::degenerateGeometry;
    const bool circular = std::abs(lu - lv) <= 1e-12 * lu && std::abs(u.dot(v)) <= 1e-12 * lu * lv;
    if (!circular) {
        out = ellipseFromConjugate(c, u, v, d.a0, d.a1 - d.a0, keep);
        return Status::ok;
    }
    // The image plane's normal, on the side of the mapped original normal (a mirror reverses
    // the arc instead of turning it upside down).
    Vector3d n = u.cross(v).normal();
    const bool flip = n.dot(keep) < 0;
    if (flip)
        n = n * -1.0;
    if (full) {
        out = Circle{c, lu, n};
        return Status::ok;
    }
    const ArcData img{c, lu, frameOf(n), 0, 0};
    const Point3d ps = m * d.at(d.a0), pe = m * d.at(d.a1);
    const double sweep = d.a1 - d.a0;
    const double a0 = img.angleOf(flip ? pe : ps);
    out = CircArc{c, lu, a0, a0 + sweep, n};
    return Status::ok;
}

Status transformPolyline(const Polyline& pl, const Matrix3d& m, Curve& out) {
    Polyline r = pl;
    for (auto& p : r.points)
        p = m * p;
    Vector3d keep = m * pl.normal.normal();
    const Frame f = frameOf(pl.normal);
    const Vector3d ix = m * f.x, iy = m * f.y;
    const Vector3d img = ix.cross(iy);
    if (img.length() <= 1e-300)
        return Status::degenerateGeometry;
    const bool hasArcs = std::any_of(pl.bulges.begin(), pl.bulges.end(),
                                     [](double b) { return std::abs(b) > 1e-12; });
    const double lx = ix.length(), ly = iy.length();
    if (hasArcs && (std::abs(lx - ly) > 1e-12 * lx || std::abs(ix.dot(iy)) > 1e-12 * lx * ly))
        return Status::notApplicable;
    Vector3d n = img.normal();
    if (n.dot(keep) < 0) {
        n = n * -1.0;
        for (auto& b : r.bulges)
            b = -b;
    }
    r.normal = n;
    out = std::move(r);
    return Status::ok;
}

} // namespace

Status transformed(const Curve& c, const Matrix3d& m, Curve& out) {
    const Status st = validate(c);
    if (!ok(st))
        return st;
    if (std::abs(m.determinant()) <= 1e-300)
        return Status::degenerateGeometry;
    if (const auto* l = as<LineSeg>(c)) {
        out = LineSeg{m * l->start, m * l->end};
        return Status::ok;
    }
    if (const auto* a = as<CircArc>(c))
        return transformArc(arcData(*a), false, m, out);
    if (const auto* ci = as<Circle>(c))
        return transformArc(arcData(*ci), true, m, out);
    if (const auto* e = as<EllipseArc>(c)) {
        const EllipseData d = ellipseData(*e);
        Vector3d keep = (m * e->normal.normal()).normal();
        out = ellipseFromConjugate(m * d.c, m * d.u, m * d.v, d.t0, d.t1 - d.t0, keep);
        return Status::ok;
    }
    if (const auto* pl = as<Polyline>(c))
        return transformPolyline(*pl, m, out);
    Spline s = std::get<Spline>(c);
    for (auto& p : s.controlPoints)
        p = m * p;
    for (auto& p : s.fitPoints)
        p = m * p;
    out = std::move(s);
    return Status::ok;
}

Status reversed(const Curve& c, Curve& out) {
    const Status st = validate(c);
    if (!ok(st))
        return st;
    if (const auto* l = as<LineSeg>(c)) {
        out = LineSeg{l->end, l->start};
    } else if (const auto* a = as<CircArc>(c)) {
        // The same arc about the opposite normal, starting at the old end.
        const ArcData d = arcData(*a);
        const ArcData img{d.c, d.r, frameOf(d.f.n * -1.0), 0, 0};
        const double a0 = img.angleOf(d.at(d.a1));
        out = CircArc{a->center, a->radius, a0, a0 + (d.a1 - d.a0), d.f.n * -1.0};
    } else if (const auto* ci = as<Circle>(c)) {
        out = Circle{ci->center, ci->radius, ci->normal * -1.0};
    } else if (const auto* e = as<EllipseArc>(c)) {
        EllipseArc r = *e;
        // About the opposite normal the minor axis flips: t' = -t.
        r.normal = e->normal * -1.0;
        const EllipseData d = ellipseData(*e);
        r.startParam = normAngle(-d.t1);
        r.endParam = r.startParam + (d.t1 - d.t0);
        out = r;
    } else if (const auto* pl = as<Polyline>(c)) {
        Polyline r = *pl;
        std::reverse(r.points.begin(), r.points.end());
        const std::size_t n = pl->points.size();
        r.bulges.assign(n, 0.0);
        auto bulge = [&](std::size_t i) { return i < pl->bulges.size() ? pl->bulges[i] : 0.0; };
        if (pl->closed) {
            // New vertex k is old vertex n-1-k; the segment from it runs back along old segment
            // n-2-k (mod n).
            for (std::size_t k = 0; k < n; ++k)
                r.bulges[k] = -bulge((2 * n - 2 - k) % n);
        } else {
            for (std::size_t k = 0; k + 1 < n; ++k)
                r.bulges[k] = -bulge(n - 2 - k);
        }
        out = std::move(r);
    } else {
        const auto& s = std::get<Spline>(c);
        Spline r = s;
        std::reverse(r.controlPoints.begin(), r.controlPoints.end());
        std::reverse(r.weights.begin(), r.weights.end());
        std::reverse(r.fitPoints.begin(), r.fitPoints.end());
        if (!s.knots.empty()) {
            const double k0 = s.knots.front(), k1 = s.knots.back();
            for (std::size_t i = 0; i < s.knots.size(); ++i)
                r.knots[i] = k0 + k1 - s.knots[s.knots.size() - 1 - i];
        }
        out = std::move(r);
    }
    return Status::ok;
}

Status splitAtParams(const Curve& c, std::vector<double> params, std::vector<Curve>& pieces) {
    pieces.clear();
    double t0 = 0, t1 = 0;
    const Status st = paramRange(c, t0, t1);
    if (!ok(st))
        return st;
    const double eps = 1e-10 * std::max(1.0, t1 - t0);
    std::sort(params.begin(), params.end());
    std::vector<double> cuts;
    for (double p : params) {
        if (!std::isfinite(p) || p <= t0 + eps || p >= t1 - eps)
            continue;
        if (cuts.empty() || p - cuts.back() > eps)
            cuts.push_back(p);
    }
    const bool closed = isClosed(c);
    std::vector<std::pair<double, double>> spans;
    if (closed && !cuts.empty()) {
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i)
            spans.push_back({cuts[i], cuts[i + 1]});
        spans.push_back({cuts.back(), cuts.front() + (t1 - t0)}); // across the seam
    } else {
        double prev = t0;
        for (double p : cuts) {
            spans.push_back({prev, p});
            prev = p;
        }
        spans.push_back({prev, t1});
    }
    for (auto [a, b] : spans) {
        Curve piece;
        Status s2 = Status::ok;
        if (const auto* pl = as<Polyline>(c)) {
            // A sub-polyline: the partial first and last segments keep their arcs' share.
            Polyline r;
            r.normal = pl->normal;
            const std::size_t nseg = segmentCount(*pl);
            auto ptAt = [&](double t) {
                Point3d p;
                pointAtParam(c, t >= t1 + eps ? t - (t1 - t0) : std::min(t, t1), p);
                return p;
            };
            auto bulgeOfSpan = [&](std::size_t i, double from, double to) {
                const double bv = i < pl->bulges.size() ? pl->bulges[i] : 0.0;
                return std::tan(std::atan(bv) * (to - from));
            };
            double t = a;
            while (t < b - eps) {
                const double next = std::min(b, std::floor(t + eps) + 1);
                const std::size_t seg = std::size_t(std::floor(t + eps)) % nseg;
                const double base = std::floor(t + eps);
                r.points.push_back(ptAt(t));
                r.bulges.push_back(bulgeOfSpan(seg, t - base, next - base));
                t = next;
            }
            r.points.push_back(ptAt(b));
            r.bulges.push_back(0);
            piece = std::move(r);
        } else if (b > t1 + eps) {
            // A closed curve piece across the seam.
            if (as<Circle>(c)) {
                const auto& ci = std::get<Circle>(c);
                piece = CircArc{ci.center, ci.radius, a, b, ci.normal};
            } else if (as<CircArc>(c) || as<EllipseArc>(c)) {
                s2 = subCurve(c, a, b, piece);
            } else {
                return Status::notImplemented; // closed splines are split at the seam first
            }
        } else {
            s2 = subCurve(c, a, b, piece);
        }
        if (!ok(s2))
            return s2;
        pieces.push_back(std::move(piece));
    }
    return Status::ok;
}

Status explode(const Polyline& pl, std::vector<Curve>& pieces) {
    pieces.clear();
    const Status st = validate(pl);
    if (!ok(st))
        return st;
    for (std::size_t i = 0; i < segmentCount(pl); ++i) {
        const Point3d& p0 = pl.points[i];
        const Point3d& p1 = pl.points[(i + 1) % pl.points.size()];
        if (p0.distanceTo(p1) <= 1e-12)
            continue;
        Curve seg = segment(pl, i);
        if (const auto* a = as<CircArc>(seg); a && a->normal.dot(pl.normal) < 0) {
            Curve back;
            reversed(seg, back);
            seg = back;
        }
        pieces.push_back(std::move(seg));
    }
    return Status::ok;
}

Status intersectWith(const Curve& a, const Curve& b, std::vector<IntersectionPoint>& points,
                     double tol) {
    points.clear();
    Status st = validate(a);
    if (ok(st))
        st = validate(b);
    if (!ok(st))
        return st;
    Point3d onA;
    startPoint(a, onA);
    Vector3d n = curveNormal(a);
    if (as<LineSeg>(a) && !as<LineSeg>(b))
        n = curveNormal(b);
    PlaneFrame pf = planeFrame(n, onA);
    std::vector<Curve> piecesA, piecesB;
    std::vector<Atom> atomsA, atomsB;
    const double planeTol = std::max(tol, 1e-9);
    st = toAtoms(a, pf, 0, piecesA, atomsA, planeTol);
    if (ok(st))
        st = toAtoms(b, pf, 1, piecesB, atomsB, planeTol);
    if (st == Status::notApplicable && as<LineSeg>(a) && as<LineSeg>(b)) {
        // Two lines in space: the plane through one line and the other's start.
        const auto& la = std::get<LineSeg>(a);
        const auto& lb = std::get<LineSeg>(b);
        const Vector3d cn = (la.end - la.start).cross(lb.start - la.start);
        const Vector3d cn2 = (la.end - la.start).cross(lb.end - la.start);
        const Vector3d nn = cn.length() > cn2.length() ? cn : cn2;
        if (nn.isZeroLength(Tol{1e-300, 1e-300}))
            return Status::ok;
        pf = planeFrame(nn, la.start);
        piecesA.clear(), piecesB.clear(), atomsA.clear(), atomsB.clear();
        st = toAtoms(a, pf, 0, piecesA, atomsA, planeTol);
        if (ok(st))
            st = toAtoms(b, pf, 1, piecesB, atomsB, planeTol);
        if (st == Status::notApplicable)
            return Status::ok; // skew lines do not meet
    }
    if (!ok(st))
        return st;
    for (std::size_t i = 0; i < atomsA.size(); ++i)
        atomsA[i].src = &piecesA[i];
    for (std::size_t i = 0; i < atomsB.size(); ++i)
        atomsB[i].src = &piecesB[i];
    std::vector<AtomHit> hits;
    for (const Atom& x : atomsA)
        for (const Atom& y : atomsB) {
            intersectAtoms(x, y, tol, hits);
            for (const AtomHit& h : hits) {
                const Point3d p = pf.toWorld(h.p);
                bool dup = false;
                for (const auto& q : points)
                    dup = dup || q.point.distanceTo(p) <= std::max(tol, 1e-12);
                if (dup)
                    continue;
                IntersectionPoint ip;
                ip.point = p;
                if (!ok(paramAtPoint(a, p, ip.paramOnFirst, std::max(tol, 1e-7) * 10)) ||
                    !ok(paramAtPoint(b, p, ip.paramOnSecond, std::max(tol, 1e-7) * 10)))
                    continue;
                points.push_back(ip);
            }
        }
    return Status::ok;
}

} // namespace zhost::geom

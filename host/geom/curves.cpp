// Evaluation of curves: lines, arcs, circles and polylines directly, ellipses partly directly,
// splines through the kernel.
#include "zhost/geom/curves.h"

#include "zhost/geom/coordinate_range.h"

#include "curve_detail.h"
#include "kernel/kernel.h"

#include <algorithm>
#include <cmath>

namespace zhost::geom {

using namespace detail;

namespace {

template <class T> const T* as(const Curve& c) {
    return std::get_if<T>(&c);
}

bool finite(const Point3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Polyline parameter -> segment index and fraction.
void splitParam(const Polyline& pl, double t, std::size_t& i, double& f) {
    const std::size_t n = segmentCount(pl);
    double fl = std::floor(t);
    if (fl < 0)
        fl = 0;
    if (fl > double(n - 1))
        fl = double(n - 1);
    i = std::size_t(fl);
    f = t - fl;
}

// Segment curve parameter for a fraction f of segment seg.
double segParam(const Curve& seg, double f) {
    if (const auto* l = as<LineSeg>(seg))
        return f * l->start.distanceTo(l->end);
    const ArcData d = arcData(std::get<CircArc>(seg));
    return d.a0 + f * (d.a1 - d.a0);
}

double segFraction(const Curve& seg, double u) {
    if (const auto* l = as<LineSeg>(seg)) {
        const double len = l->start.distanceTo(l->end);
        return len > 0 ? u / len : 0;
    }
    const ArcData d = arcData(std::get<CircArc>(seg));
    return (u - d.a0) / (d.a1 - d.a0);
}

double segScale(const Curve& seg) { // d(segment parameter) / d(fraction)
    if (const auto* l = as<LineSeg>(seg))
        return l->start.distanceTo(l->end);
    const ArcData d = arcData(std::get<CircArc>(seg));
    return d.a1 - d.a0;
}

} // namespace

Status validate(const Curve& c) {
    if (const auto* l = as<LineSeg>(c)) {
        if (!finite(l->start) || !finite(l->end))
            return Status::invalidInput;
        return l->start.distanceTo(l->end) > 1e-12 ? Status::ok : Status::degenerateGeometry;
    }
    if (const auto* a = as<CircArc>(c)) {
        if (!finite(a->center) || !std::isfinite(a->radius) || !std::isfinite(a->startAngle) ||
            !std::isfinite(a->endAngle))
            return Status::invalidInput;
        return a->radius > 1e-12 && !a->normal.isZeroLength() ? Status::ok
                                                              : Status::degenerateGeometry;
    }
    if (const auto* ci = as<Circle>(c)) {
        if (!finite(ci->center) || !std::isfinite(ci->radius))
            return Status::invalidInput;
        return ci->radius > 1e-12 && !ci->normal.isZeroLength() ? Status::ok
                                                                : Status::degenerateGeometry;
    }
    if (const auto* e = as<EllipseArc>(c)) {
        if (!finite(e->center) || !std::isfinite(e->radiusRatio))
            return Status::invalidInput;
        if (e->radiusRatio <= 0 || e->radiusRatio > 1 + 1e-12)
            return Status::invalidInput;
        if (e->majorAxis.length() <= 1e-12 || e->normal.isZeroLength() ||
            std::abs(e->majorAxis.normal().dot(e->normal.normal())) > 1e-9)
            return Status::degenerateGeometry;
        return Status::ok;
    }
    if (const auto* pl = as<Polyline>(c)) {
        if (pl->points.size() < 2)
            return Status::degenerateGeometry;
        for (const auto& p : pl->points)
            if (!finite(p))
                return Status::invalidInput;
        for (std::size_t i = 0; i < segmentCount(*pl); ++i)
            if (pl->points[i].distanceTo(pl->points[(i + 1) % pl->points.size()]) > 1e-12)
                return Status::ok;
        return Status::degenerateGeometry;
    }
    double t0 = 0, t1 = 0;
    return kernel::freeRange(c, t0, t1);
}

bool isClosed(const Curve& c) {
    if (as<Circle>(c))
        return true;
    if (const auto* pl = as<Polyline>(c))
        return pl->closed ||
               (pl->points.size() > 2 &&
                pl->points.front().isEqualTo(pl->points.back(), Tol::withPoint(1e-10)));
    if (as<LineSeg>(c))
        return false;
    Point3d s, e;
    if (!ok(startPoint(c, s)) || !ok(endPoint(c, e)))
        return false;
    return s.isEqualTo(e, Tol::withPoint(1e-10));
}

Vector3d curveNormal(const Curve& c) {
    if (const auto* a = as<CircArc>(c))
        return a->normal.normal();
    if (const auto* ci = as<Circle>(c))
        return ci->normal.normal();
    if (const auto* e = as<EllipseArc>(c))
        return e->normal.normal();
    if (const auto* pl = as<Polyline>(c))
        return pl->normal.normal();
    if (const auto* l = as<LineSeg>(c)) {
        const Vector3d d = l->end - l->start;
        if (std::abs(d.normal().z) < 1e-12)
            return Vector3d::zAxis();
        return d.cross(d.perpVector()).normal().cross(d).normal();
    }
    return Vector3d::zAxis();
}

Status paramRange(const Curve& c, double& t0, double& t1) {
    const Status st = validate(c);
    if (!ok(st))
        return st;
    if (const auto* l = as<LineSeg>(c)) {
        t0 = 0, t1 = l->start.distanceTo(l->end);
    } else if (const auto* a = as<CircArc>(c)) {
        const ArcData d = arcData(*a);
        t0 = d.a0, t1 = d.a1;
    } else if (as<Circle>(c)) {
        t0 = 0, t1 = kTwoPi;
    } else if (const auto* e = as<EllipseArc>(c)) {
        const EllipseData d = ellipseData(*e);
        t0 = d.t0, t1 = d.t1;
    } else if (const auto* pl = as<Polyline>(c)) {
        t0 = 0, t1 = double(segmentCount(*pl));
    } else {
        return kernel::freeRange(c, t0, t1);
    }
    return Status::ok;
}

// Point and derivatives at a parameter, for every kind.
static Status evaluate(const Curve& c, double t, Point3d* p, Vector3d* d1, Vector3d* d2) {
    double t0 = 0, t1 = 0;
    const Status st = paramRange(c, t0, t1);
    if (!ok(st))
        return st;
    const double eps = 1e-9 * std::max(1.0, std::abs(t1 - t0));
    if (!std::isfinite(t) || t < t0 - eps || t > t1 + eps)
        return Status::outOfRange;
    t = std::clamp(t, t0, t1);
    if (const auto* l = as<LineSeg>(c)) {
        const Vector3d dir = (l->end - l->start).normal();
        if (p)
            *p = l->start + dir * t;
        if (d1)
            *d1 = dir;
        if (d2)
            *d2 = {};
    } else if (as<CircArc>(c) || as<Circle>(c)) {
        const ArcData d =
            as<CircArc>(c) ? arcData(std::get<CircArc>(c)) : arcData(std::get<Circle>(c));
        if (p)
            *p = d.at(t);
        if (d1)
            *d1 = d.d1(t);
        if (d2)
            *d2 = d.d2(t);
    } else if (const auto* e = as<EllipseArc>(c)) {
        const EllipseData d = ellipseData(*e);
        if (p)
            *p = d.at(t);
        if (d1)
            *d1 = d.d1(t);
        if (d2)
            *d2 = d.d2(t);
    } else if (const auto* pl = as<Polyline>(c)) {
        std::size_t i = 0;
        double f = 0;
        splitParam(*pl, t, i, f);
        const Curve seg = segment(*pl, i);
        const double sc = segScale(seg);
        if (sc == 0) { // coincident vertices
            if (p)
                *p = pl->points[i];
            if (d1)
                *d1 = {};
            if (d2)
                *d2 = {};
            return Status::ok;
        }
        const Status s2 = evaluate(seg, segParam(seg, f), p, d1, d2);
        if (d1)
            *d1 = *d1 * sc;
        if (d2)
            *d2 = *d2 * (sc * sc);
        return s2;
    } else {
        return kernel::freeEval(c, t, p, d1, d2);
    }
    return Status::ok;
}

Status pointAtParam(const Curve& c, double t, Point3d& p) {
    return evaluate(c, t, &p, nullptr, nullptr);
}
Status firstDeriv(const Curve& c, double t, Vector3d& d) {
    return evaluate(c, t, nullptr, &d, nullptr);
}
Status secondDeriv(const Curve& c, double t, Vector3d& d) {
    return evaluate(c, t, nullptr, nullptr, &d);
}

Status startPoint(const Curve& c, Point3d& p) {
    double t0 = 0, t1 = 0;
    const Status st = paramRange(c, t0, t1);
    return ok(st) ? pointAtParam(c, t0, p) : st;
}

Status endPoint(const Curve& c, Point3d& p) {
    double t0 = 0, t1 = 0;
    const Status st = paramRange(c, t0, t1);
    if (!ok(st))
        return st;
    return pointAtParam(c, t1, p);
}

Status lengthBetween(const Curve& c, double p0, double p1, double& len) {
    double t0 = 0, t1 = 0;
    Status st = paramRange(c, t0, t1);
    if (!ok(st))
        return st;
    const double eps = 1e-9 * std::max(1.0, std::abs(t1 - t0));
    if (p0 < t0 - eps || p1 > t1 + eps || p0 > t1 + eps || p1 < t0 - eps)
        return Status::outOfRange;
    const double sign = p1 >= p0 ? 1 : -1;
    const double a = std::clamp(std::min(p0, p1), t0, t1), b = std::clamp(std::max(p0, p1), t0, t1);
    if (as<LineSeg>(c)) {
        len = b - a;
    } else if (const auto* ar = as<CircArc>(c)) {
        len = (b - a) * ar->radius;
    } else if (const auto* ci = as<Circle>(c)) {
        len = (b - a) * ci->radius;
    } else if (const auto* pl = as<Polyline>(c)) {
        len = 0;
        std::size_t ia = 0, ib = 0;
        double fa = 0, fb = 0;
        splitParam(*pl, a, ia, fa);
        splitParam(*pl, b, ib, fb);
        for (std::size_t i = ia; i <= ib; ++i) {
            const Curve seg = segment(*pl, i);
            const double from = i == ia ? fa : 0, to = i == ib ? fb : 1;
            double full = 0;
            if (const auto* l = as<LineSeg>(seg))
                full = l->start.distanceTo(l->end);
            else
                full = std::get<CircArc>(seg).radius * segScale(seg);
            len += full * (to - from);
        }
    } else {
        st = kernel::freeLength(c, a, b, len);
        if (!ok(st))
            return st;
    }
    len *= sign;
    return Status::ok;
}

Status length(const Curve& c, double& len) {
    double t0 = 0, t1 = 0;
    const Status st = paramRange(c, t0, t1);
    return ok(st) ? lengthBetween(c, t0, t1, len) : st;
}

Status distAtParam(const Curve& c, double t, double& dist) {
    double t0 = 0, t1 = 0;
    const Status st = paramRange(c, t0, t1);
    return ok(st) ? lengthBetween(c, t0, t, dist) : st;
}

Status paramAtDist(const Curve& c, double dist, double& t) {
    double t0 = 0, t1 = 0, total = 0;
    Status st = paramRange(c, t0, t1);
    if (ok(st))
        st = length(c, total);
    if (!ok(st))
        return st;
    if (dist < -1e-9 * std::max(1.0, total) || dist > total * (1 + 1e-12) + 1e-12)
        return Status::outOfRange;
    dist = std::clamp(dist, 0.0, total);
    if (as<LineSeg>(c)) {
        t = dist;
    } else if (const auto* ar = as<CircArc>(c)) {
        t = t0 + dist / ar->radius;
    } else if (const auto* ci = as<Circle>(c)) {
        t = dist / ci->radius;
    } else if (const auto* pl = as<Polyline>(c)) {
        double acc = 0;
        const std::size_t n = segmentCount(*pl);
        t = double(n);
        for (std::size_t i = 0; i < n; ++i) {
            double segLen = 0;
            const double ip = double(i);
            lengthBetween(c, ip, ip + 1, segLen);
            if (acc + segLen >= dist) {
                t = ip + (segLen > 0 ? (dist - acc) / segLen : 0);
                break;
            }
            acc += segLen;
        }
    } else {
        return kernel::freeParamAtLength(c, t0, dist, t);
    }
    return Status::ok;
}

Status pointAtDist(const Curve& c, double dist, Point3d& p) {
    double t = 0;
    const Status st = paramAtDist(c, dist, t);
    return ok(st) ? pointAtParam(c, t, p) : st;
}

// Nearest parameter on a line, arc or circle; end points included.
static double closestSimpleParam(const Curve& c, const Point3d& p) {
    if (const auto* l = as<LineSeg>(c)) {
        const Vector3d d = l->end - l->start;
        const double len = d.length();
        return std::clamp((p - l->start).dot(d) / len, 0.0, len);
    }
    const ArcData d = as<CircArc>(c) ? arcData(std::get<CircArc>(c)) : arcData(std::get<Circle>(c));
    const Vector3d v = p - d.c;
    const Vector3d inPlane = v - d.f.n * v.dot(d.f.n);
    if (inPlane.length() <= 1e-300)
        return d.a0;
    double a = d.angleOf(d.c + inPlane);
    if (a < d.a0)
        a += kTwoPi;
    if (a <= d.a1)
        return a;
    return p.distanceTo(d.at(d.a0)) <= p.distanceTo(d.at(d.a1)) ? d.a0 : d.a1;
}

Status closestPointTo(const Curve& c, const Point3d& p, Point3d& nearest, double* param) {
    const Status st = validate(c);
    if (!ok(st))
        return st;
    double t = 0;
    if (as<LineSeg>(c) || as<CircArc>(c) || as<Circle>(c)) {
        t = closestSimpleParam(c, p);
    } else if (const auto* pl = as<Polyline>(c)) {
        double best = 1e300;
        for (std::size_t i = 0; i < segmentCount(*pl); ++i) {
            const Curve seg = segment(*pl, i);
            if (segScale(seg) == 0)
                continue;
            const double u = closestSimpleParam(seg, p);
            Point3d q;
            pointAtParam(seg, u, q);
            if (q.distanceTo(p) < best) {
                best = q.distanceTo(p);
                t = double(i) + segFraction(seg, u);
            }
        }
    } else {
        const Status s2 = kernel::freeClosestParam(c, p, t);
        if (!ok(s2))
            return s2;
    }
    if (param)
        *param = t;
    return pointAtParam(c, t, nearest);
}

Status paramAtPoint(const Curve& c, const Point3d& p, double& param, double tol) {
    Point3d q;
    double t = 0;
    const Status st = closestPointTo(c, p, q, &t);
    if (!ok(st))
        return st;
    if (q.distanceTo(p) > tol)
        return Status::outOfRange;
    param = t;
    return Status::ok;
}

// Adds the extremes of c + u cos t + v sin t over [t0, t1] to e.
static void addTrigExtents(Extents3d& e, const Point3d& c, const Vector3d& u, const Vector3d& v,
                           double t0, double t1) {
    auto at = [&](double t) { return c + u * std::cos(t) + v * std::sin(t); };
    e.addPoint(at(t0));
    e.addPoint(at(t1));
    const double uc[3] = {u.x, u.y, u.z}, vc[3] = {v.x, v.y, v.z};
    for (int k = 0; k < 3; ++k) {
        if (uc[k] == 0 && vc[k] == 0)
            continue;
        const double base = std::atan2(vc[k], uc[k]);
        for (int m = -3; m <= 5; ++m) {
            const double t = base + m * kPi;
            if (t > t0 && t < t1)
                e.addPoint(at(t));
        }
    }
}

Status extents(const Curve& c, Extents3d& ext) {
    const Status st = validate(c);
    if (!ok(st))
        return st;
    ext = {};
    if (const auto* l = as<LineSeg>(c)) {
        ext.addPoint(l->start);
        ext.addPoint(l->end);
    } else if (as<CircArc>(c) || as<Circle>(c)) {
        const ArcData d =
            as<CircArc>(c) ? arcData(std::get<CircArc>(c)) : arcData(std::get<Circle>(c));
        addTrigExtents(ext, d.c, d.f.x * d.r, d.f.y * d.r, d.a0, d.a1);
    } else if (const auto* e = as<EllipseArc>(c)) {
        const EllipseData d = ellipseData(*e);
        addTrigExtents(ext, d.c, d.u, d.v, d.t0, d.t1);
    } else if (const auto* pl = as<Polyline>(c)) {
        for (std::size_t i = 0; i < segmentCount(*pl); ++i) {
            const Curve seg = segment(*pl, i);
            Extents3d se;
            if (segScale(seg) == 0 || !ok(extents(seg, se)))
                ext.addPoint(pl->points[i]);
            ext.addExtents(se);
        }
    } else {
        return kernel::freeExtents(c, ext);
    }
    return Status::ok;
}

Status checkCoordinateRange(const Curve& c) {
    Extents3d ext;
    const Status st = extents(c, ext);
    if (!ok(st))
        return st;
    return withinCoordinateRange(ext) ? Status::ok : Status::outOfRange;
}

namespace detail {

Status subCurve(const Curve& c, double p0, double p1, Curve& out) {
    if (const auto* l = as<LineSeg>(c)) {
        const Vector3d dir = (l->end - l->start).normal();
        out = LineSeg{l->start + dir * p0, l->start + dir * p1};
    } else if (const auto* a = as<CircArc>(c)) {
        out = CircArc{a->center, a->radius, p0, p1, a->normal};
    } else if (const auto* ci = as<Circle>(c)) {
        if (p1 - p0 >= kTwoPi - 1e-14)
            out = *ci;
        else
            out = CircArc{ci->center, ci->radius, p0, p1, ci->normal};
    } else if (const auto* e = as<EllipseArc>(c)) {
        EllipseArc r = *e;
        r.startParam = p0;
        r.endParam = p1;
        out = r;
    } else if (const auto* s = as<Spline>(c)) {
        Spline r;
        const Status st = kernel::splineSegment(*s, p0, p1, r);
        if (!ok(st))
            return st;
        out = std::move(r);
    } else {
        return Status::notApplicable;
    }
    return Status::ok;
}

} // namespace detail

} // namespace zhost::geom

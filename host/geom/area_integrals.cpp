// One pass over a region's edges for its area properties. Lines and circular arcs in the
// region's plane (nearly every edge of a drafted region) are integrated straight from the curve
// values: one sine/cosine pair per arc end, no atoms, no allocation, a switch on the curve kind.
// Everything else (polylines, arcs tilted out of the plane's frame, ellipses, splines) goes
// through atoms like the rest of the module.
#include "area_integrals.h"

#include "moments.h"
#include "zhost/geom/curves.h"

#include <cmath>
#include <utility>
#include <vector>

namespace zhost::geom::detail {

namespace {

constexpr double kPlaneTol = 1e-6;

// The arbitrary-axis frame of an arc whose normal is n, in the plane's 2D coordinates: the arc's
// point at angle t is c + r (cos t x + sin t y), and its sweep runs the way of `sign`.
struct ArcAxes {
    Vector3d n;
    P2 x, y;
    double sign = 1;
};

ArcAxes arcAxes(const Vector3d& n, const PlaneFrame& pf) {
    const Frame f = frameOf(n);
    return {n,
            {f.x.dot(pf.f.x), f.x.dot(pf.f.y)},
            {f.y.dot(pf.f.x), f.y.dot(pf.f.y)},
            f.n.dot(pf.f.n) > 0 ? 1.0 : -1.0};
}

class Integrator {
public:
    Integrator(const PlaneFrame& pf, P2 ref, const P2 dirs[2], RegionIntegrals& out)
        : pf_(pf), ref_(ref), out_(out), same_(arcAxes(pf.f.n, pf)),
          opposite_(arcAxes(-pf.f.n, pf)) {
        for (int i = 0; i < 2; ++i) {
            dir_[i] = dirs[i];
            dirLen_[i] = dirs[i].norm();
            base_[i] = std::atan2(dirs[i].y, dirs[i].x);
        }
    }

    Status loop(const Loop& l, bool outer) {
        outer_ = outer;
        lm_ = {};
        edges_ = 0;
        for (const Curve& c : l.edges) {
            const Status st = edge(c);
            if (!ok(st))
                return st;
        }
        if (edges_ == 0)
            return Status::noRegion;
        // Outer loops add, holes take away, whatever way they were drawn.
        const double sign = ((lm_.a >= 0) == outer) ? 1.0 : -1.0;
        Moments2& m = out_.m;
        m.a += sign * lm_.a, m.sx += sign * lm_.sx, m.sy += sign * lm_.sy;
        m.ixx += sign * lm_.ixx, m.iyy += sign * lm_.iyy, m.ixy += sign * lm_.ixy;
        return Status::ok;
    }

private:
    Status edge(const Curve& c) {
        switch (c.index()) {
        case 0:
            return line(*std::get_if<LineSeg>(&c));
        case 1: {
            const CircArc& a = *std::get_if<CircArc>(&c);
            const ArcAxes* ax = axesFor(a.normal);
            if (!ax)
                return other(c);
            double sweep = a.endAngle - a.startAngle;
            if (!(sweep > 1e-14 && sweep < kTwoPi)) {
                sweep = normAngle(sweep);
                if (sweep <= 1e-14)
                    sweep = kTwoPi;
            }
            return arc(a.center, a.radius, a.startAngle, sweep, *ax);
        }
        case 2: {
            const Circle& ci = *std::get_if<Circle>(&c);
            const ArcAxes* ax = axesFor(ci.normal);
            return ax ? arc(ci.center, ci.radius, 0, kTwoPi, *ax) : other(c);
        }
        default:
            return other(c);
        }
    }

    const ArcAxes* axesFor(const Vector3d& n) const {
        return n == same_.n ? &same_ : n == opposite_.n ? &opposite_ : nullptr;
    }

    Status line(const LineSeg& l) {
        if (std::abs(pf_.heightOf(l.start)) > kPlaneTol ||
            std::abs(pf_.heightOf(l.end)) > kPlaneTol)
            return Status::notApplicable;
        const P2 p = pf_.toLocal(l.start), q = pf_.toLocal(l.end);
        lm_ += lineMoments(p - ref_, q - ref_);
        const P2 d = q - p;
        out_.perimeter += std::sqrt(d.x * d.x + d.y * d.y);
        if (outer_) {
            take(p);
            take(q);
        }
        ++edges_;
        return Status::ok;
    }

    Status arc(const Point3d& centre, double r, double start, double sweep, const ArcAxes& ax) {
        if (std::abs(pf_.heightOf(centre)) > kPlaneTol)
            return Status::notApplicable;
        const P2 c = pf_.toLocal(centre);
        const double end = start + sweep;
        const P2 e0 = ax.x * std::cos(start) + ax.y * std::sin(start);
        const P2 e1 = ax.x * std::cos(end) + ax.y * std::sin(end);
        const double dt = ax.sign * sweep;
        lm_ += arcMoments(c - ref_, r, dt, e0, e1);
        out_.perimeter += r * sweep;
        if (outer_)
            takeArc(c, r, dt, e0, e1);
        ++edges_;
        return Status::ok;
    }

    void take(P2 p) {
        for (int i = 0; i < 2; ++i) {
            const double v = p.dot(dir_[i]);
            out_.lo[i] = std::min(out_.lo[i], v), out_.hi[i] = std::max(out_.hi[i], v);
        }
    }

    // An arc reaches beyond its end points along a direction only where the direction (or its
    // opposite) falls inside its sweep; when its whole circle lies within the extents found so
    // far there is nothing to do, which is the usual case for the many small arcs of a region.
    void takeArc(P2 c, double r, double dt, P2 e0, P2 e1) {
        for (int i = 0; i < 2; ++i) {
            const double cv = c.dot(dir_[i]), rad = r * dirLen_[i];
            double& lo = out_.lo[i];
            double& hi = out_.hi[i];
            if (cv - rad >= lo && cv + rad <= hi)
                continue;
            for (const P2 e : {e0, e1}) {
                const double v = cv + r * e.dot(dir_[i]);
                lo = std::min(lo, v), hi = std::max(hi, v);
            }
            for (const double side : {1.0, -1.0}) {
                if (withinSweep(dir_[i] * side, dt, e0, e1)) {
                    const double v = cv + side * rad;
                    lo = std::min(lo, v), hi = std::max(hi, v);
                }
            }
        }
    }

    // Whether the direction u points into the sweep dt from e0 to e1, by signs of cross
    // products alone (no angles).
    static bool withinSweep(P2 u, double dt, P2 e0, P2 e1) {
        if (dt < 0)
            std::swap(e0, e1); // the same arc counter-clockwise
        if (std::abs(dt) <= kPi)
            return e0.cross(u) >= 0 && u.cross(e1) >= 0;
        return !(e1.cross(u) > 0 && u.cross(e0) > 0); // not in the short way back
    }

    // Polylines, tilted arcs, ellipses and splines, as atoms.
    Status other(const Curve& c) {
        atoms_.clear();
        pieces_.clear();
        if (std::holds_alternative<Polyline>(c)) {
            const Status st = toAtoms(c, pf_, 0, pieces_, atoms_, kPlaneTol);
            if (!ok(st))
                return st;
        } else {
            Atom at;
            const Status st = edgeAtom(c, pf_, kPlaneTol, at);
            if (!ok(st))
                return st;
            atoms_.push_back(std::move(at));
        }
        double len = 0;
        if ((std::holds_alternative<EllipseArc>(c) || std::holds_alternative<Spline>(c)) &&
            ok(length(c, len)))
            out_.perimeter += len; // adaptive: the kernel's fixed-point sum is rough here
        for (const Atom& a : atoms_) {
            lm_ += atomMoments(a, 0, 1, ref_);
            if (a.kind == Atom::Free)
                out_.free = true;
            else
                out_.perimeter += a.length();
            if (outer_)
                for (int i = 0; i < 2; ++i)
                    atomRange(a, i);
            ++edges_;
        }
        return Status::ok;
    }

    // The extreme values of p . dir over an atom.
    void atomRange(const Atom& a, int i) {
        double& lo = out_.lo[i];
        double& hi = out_.hi[i];
        auto take = [&](P2 p) {
            const double v = p.dot(dir_[i]);
            lo = std::min(lo, v), hi = std::max(hi, v);
        };
        take(a.start());
        take(a.end());
        if (a.kind == Atom::Arc) {
            const double tlo = std::min(a.a0, a.a0 + a.sw), thi = std::max(a.a0, a.a0 + a.sw);
            const double k0 = std::ceil((tlo - base_[i]) / kPi),
                         k1 = std::floor((thi - base_[i]) / kPi);
            for (double k = k0; k <= k1; ++k) {
                const double t = base_[i] + k * kPi;
                if (t > tlo && t < thi)
                    take({a.c.x + a.r * std::cos(t), a.c.y + a.r * std::sin(t)});
            }
        } else if (a.kind == Atom::Free) {
            for (int s = 1; s < 256; ++s)
                take(a.at(s / 256.0));
        }
    }

    const PlaneFrame& pf_;
    const P2 ref_;
    RegionIntegrals& out_;
    const ArcAxes same_, opposite_;
    P2 dir_[2];
    double dirLen_[2] = {0, 0}, base_[2] = {0, 0};
    bool outer_ = true;
    Moments2 lm_;
    int edges_ = 0;
    std::vector<Atom> atoms_;
    std::vector<Curve> pieces_;
};

} // namespace

Status integrateRegion(const Region& r, const PlaneFrame& pf, P2 ref, const P2 dirs[2],
                       RegionIntegrals& out) {
    out = RegionIntegrals{};
    Integrator in(pf, ref, dirs, out);
    for (const Face& f : r.faces) {
        Status st = in.loop(f.outer, true);
        for (std::size_t i = 0; ok(st) && i < f.holes.size(); ++i)
            st = in.loop(f.holes[i], false);
        if (!ok(st))
            return st;
    }
    return Status::ok;
}

} // namespace zhost::geom::detail

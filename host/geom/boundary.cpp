// The region around a point bounded by curves. The curves are split lazily: only the atoms the
// trace walks along are intersected with the others, so a small area among many curves is cheap.
//
// A ray from the point finds the nearest curve; the boundary is then walked with the area on the
// left, taking at every junction the sharpest left turn. A walk that comes out clockwise went
// round an island from outside: it becomes a hole and the ray goes on. Out-and-back pairs of
// the walk are dangling curves or bridges and are dropped. Islands that touch nothing are found
// afterwards by walking round each from its leftmost point.
#include "plane2d.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <algorithm>
#include <cmath>

namespace zhost::geom {

using namespace detail;

namespace {

struct Junction {
    double s;  // on this atom
    int other; // atom
    double so; // on the other atom
    P2 p;
};

struct HalfEdge {
    int atom;
    double s0, s1;
    bool operator==(const HalfEdge& o) const { return atom == o.atom && s0 == o.s0 && s1 == o.s1; }
};

using Cycle = std::vector<HalfEdge>;

class Tracer {
public:
    Tracer(std::vector<Atom> atoms, double tol)
        : atoms_(std::move(atoms)), tol_(tol), junctions_(atoms_.size()), splits_(atoms_.size()),
          done_(atoms_.size(), false), visited_(atoms_.size(), false) {}

    std::vector<Atom> atoms_;
    double tol_;
    std::vector<std::vector<Junction>> junctions_;
    std::vector<std::vector<double>> splits_;
    std::vector<bool> done_;
    std::vector<bool> visited_;

    void ensure(int i) {
        if (done_[i])
            return;
        std::vector<AtomHit> hits;
        for (int j = 0; j < int(atoms_.size()); ++j) {
            if (j == i || done_[j] || !atoms_[i].box.overlaps(atoms_[j].box, tol_))
                continue;
            intersectAtoms(atoms_[i], atoms_[j], tol_, hits);
            for (const AtomHit& h : hits) {
                junctions_[i].push_back({h.sa, j, h.sb, h.p});
                junctions_[j].push_back({h.sb, i, h.sa, h.p});
            }
        }
        done_[i] = true;
        std::vector<double>& sp = splits_[i];
        sp = {0.0, 1.0};
        for (const Junction& jn : junctions_[i])
            sp.push_back(jn.s);
        std::sort(sp.begin(), sp.end());
        const double eps = tol_ / std::max(atoms_[i].length(), 1e-300);
        std::vector<double> uniq;
        for (double s : sp)
            if (uniq.empty() || s - uniq.back() > eps)
                uniq.push_back(s);
        uniq.back() = 1.0;
        uniq.front() = 0.0;
        sp = std::move(uniq);
    }

    bool isClosedAtom(int i) const { return (atoms_[i].start() - atoms_[i].end()).norm() <= tol_; }

    // The half-edge of atom i leaving parameter s in direction dir, if any.
    bool leaving(int i, double s, int dir, HalfEdge& he) {
        ensure(i);
        const auto& sp = splits_[i];
        const double eps = tol_ / std::max(atoms_[i].length(), 1e-300);
        if (dir > 0) {
            if (s >= 1 - eps) {
                if (!isClosedAtom(i))
                    return false;
                s = 0;
            }
            auto it = std::upper_bound(sp.begin(), sp.end(), s + eps);
            if (it == sp.end())
                return false;
            he = {i, s <= eps ? 0.0 : snap(sp, s, eps), *it};
        } else {
            if (s <= eps) {
                if (!isClosedAtom(i))
                    return false;
                s = 1;
            }
            auto it = std::lower_bound(sp.begin(), sp.end(), s - eps);
            if (it == sp.begin())
                return false;
            he = {i, s >= 1 - eps ? 1.0 : snap(sp, s, eps), *(it - 1)};
        }
        return true;
    }

    static double snap(const std::vector<double>& sp, double s, double eps) {
        for (double v : sp)
            if (std::abs(v - s) <= eps)
                return v;
        return s;
    }

    P2 tangent(const HalfEdge& h, double s) const {
        const P2 d = atoms_[h.atom].d1(s);
        return h.s1 > h.s0 ? d : d * -1.0;
    }
    double curvature(const HalfEdge& h, double s) const {
        const Atom& a = atoms_[h.atom];
        const P2 d1 = a.d1(s), d2 = a.d2(s);
        const double n = d1.norm();
        const double k = n > 0 ? d1.cross(d2) / (n * n * n) : 0;
        return h.s1 > h.s0 ? k : -k;
    }

    // The next half-edge after h: the sharpest left turn at its end.
    bool next(const HalfEdge& h, HalfEdge& out) {
        const P2 x = atoms_[h.atom].at(h.s1);
        const P2 vin = tangent(h, h.s1);
        const double rev = std::atan2(-vin.y, -vin.x);
        std::vector<HalfEdge> cands;
        HalfEdge he{};
        const int dir = h.s1 > h.s0 ? 1 : -1;
        if (leaving(h.atom, h.s1, dir, he))
            cands.push_back(he);
        cands.push_back({h.atom, h.s1, h.s0});
        for (const Junction& jn : junctions_[h.atom]) {
            if ((jn.p - x).norm() > tol_ * 4)
                continue;
            for (int d : {1, -1})
                if (leaving(jn.other, jn.so, d, he))
                    cands.push_back(he);
        }
        double best = 1e300, bestK = 0;
        bool found = false;
        for (const HalfEdge& c : cands) {
            const P2 t = tangent(c, c.s0);
            double cw = normAngle(rev - std::atan2(t.y, t.x));
            if (cw < 1e-9 || cw > kTwoPi - 1e-9)
                cw = c.atom == h.atom && c.s0 == h.s1 && c.s1 == h.s0 ? kTwoPi : 1e-10;
            const double k = curvature(c, c.s0);
            if (!found || cw < best - 1e-9 || (std::abs(cw - best) <= 1e-9 && k > bestK)) {
                best = cw, bestK = k, out = c, found = true;
            }
        }
        return found;
    }

    bool walk(const HalfEdge& start, Cycle& loop) {
        loop.clear();
        HalfEdge h = start;
        const std::size_t limit = 8 * atoms_.size() + 64;
        for (std::size_t n = 0; n < limit * 8; ++n) {
            loop.push_back(h);
            visited_[h.atom] = true;
            HalfEdge nx{};
            if (!next(h, nx))
                return false;
            if (nx == start)
                return true;
            h = nx;
        }
        return false;
    }

    double area(const Cycle& c, P2 ref) const {
        double a = 0;
        for (const HalfEdge& h : c)
            a += atomMoments(atoms_[h.atom], h.s0, h.s1, ref).a;
        return a;
    }

    // Drops out-and-back pairs and splits what is left into cycles.
    std::vector<Cycle> cycles(const Cycle& walk) const {
        std::vector<bool> keep(walk.size(), true);
        for (std::size_t i = 0; i < walk.size(); ++i)
            for (std::size_t j = i + 1; j < walk.size() && keep[i]; ++j)
                if (keep[j] && walk[j].atom == walk[i].atom && walk[j].s0 == walk[i].s1 &&
                    walk[j].s1 == walk[i].s0)
                    keep[i] = keep[j] = false;
        std::vector<Cycle> out;
        Cycle stack;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (!keep[i])
                continue;
            stack.push_back(walk[i]);
            const P2 end = atoms_[walk[i].atom].at(walk[i].s1);
            for (std::size_t k = stack.size(); k-- > 0;) {
                const HalfEdge& s = stack[k];
                if ((atoms_[s.atom].at(s.s0) - end).norm() <= tol_ * 4) {
                    out.emplace_back(stack.begin() + long(k), stack.end());
                    stack.resize(k);
                    break;
                }
            }
        }
        return out;
    }

    std::vector<P2> polygon(const Cycle& c) const {
        std::vector<P2> poly;
        for (const HalfEdge& h : c) {
            const int n = atoms_[h.atom].kind == Atom::Line ? 1 : 16;
            for (int k = 0; k < n; ++k)
                poly.push_back(atoms_[h.atom].at(h.s0 + (h.s1 - h.s0) * k / n));
        }
        return poly;
    }

    static bool inside(const std::vector<P2>& poly, P2 p) {
        bool in = false;
        for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
            const P2 a = poly[i], b = poly[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                in = !in;
        }
        return in;
    }

    // Ray hits from p in a fixed, slightly tilted direction, nearest first.
    std::vector<std::pair<double, std::pair<int, double>>> rayHits(P2 p, double reach) const {
        Atom ray;
        ray.kind = Atom::Line;
        ray.a = p;
        const double ang = 0.0123456789;
        ray.b = p + P2{std::cos(ang), std::sin(ang)} * reach;
        ray.box.add(ray.a);
        ray.box.add(ray.b);
        std::vector<std::pair<double, std::pair<int, double>>> hits;
        std::vector<AtomHit> h;
        for (int i = 0; i < int(atoms_.size()); ++i) {
            intersectAtoms(ray, atoms_[i], tol_, h);
            for (const AtomHit& x : h)
                hits.push_back({x.sa, {i, x.sb}});
        }
        std::sort(hits.begin(), hits.end());
        return hits;
    }

    // The walk starting from a ray hit, with the side of p on the left.
    bool walkFromHit(int i, double s, P2 p, Cycle& loop) {
        ensure(i);
        const auto& sp = splits_[i];
        auto it = std::upper_bound(sp.begin(), sp.end(), s);
        if (it == sp.end())
            --it;
        if (it == sp.begin())
            ++it;
        const double lo = *(it - 1), hi = *it;
        const P2 t = atoms_[i].d1(s), h = atoms_[i].at(s);
        const HalfEdge start = t.cross(p - h) > 0 ? HalfEdge{i, lo, hi} : HalfEdge{i, hi, lo};
        return walk(start, loop);
    }
};

Status cycleCurves(const Tracer& t, const Cycle& c, Loop& loop) {
    loop.edges.clear();
    for (const HalfEdge& h : c) {
        Curve piece;
        const Status st = atomPiece(t.atoms_[h.atom], h.s0, h.s1, piece);
        if (!ok(st))
            return st;
        if (ok(validate(piece)))
            loop.edges.push_back(std::move(piece));
    }
    return loop.edges.empty() ? Status::noRegion : Status::ok;
}

struct Found {
    Cycle outer;
    std::vector<Cycle> holes;
};

Status trace(const std::vector<Curve>& curves, const Point3d& point, const Vector3d& normal,
             double tol, std::vector<Curve>& pieces, Tracer*& tracerOut, Found& found,
             std::unique_ptr<Tracer>& holder) {
    const PlaneFrame pf = planeFrame(normal, point);
    std::vector<Atom> atoms;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (!ok(validate(curves[i])))
            continue;
        std::vector<Atom> more;
        std::vector<Curve> morePieces;
        if (!ok(toAtoms(curves[i], pf, int(i), morePieces, more, 1e-6)))
            continue; // not in this plane
        for (auto& a : more)
            atoms.push_back(std::move(a));
        for (auto& c : morePieces)
            pieces.push_back(std::move(c));
    }
    for (std::size_t i = 0; i < atoms.size(); ++i)
        atoms[i].src = &pieces[i];
    const P2 p = pf.toLocal(point);
    Box2 all;
    for (const Atom& a : atoms) {
        double s = 0;
        if (closestOnAtom(a, p, s) <= tol)
            return Status::noRegion; // on a curve
        all.add({a.box.x0, a.box.y0});
        all.add({a.box.x1, a.box.y1});
    }
    if (atoms.empty())
        return Status::noRegion;
    holder = std::make_unique<Tracer>(std::move(atoms), tol);
    Tracer& t = *holder;
    tracerOut = holder.get();
    const double reach =
        2 * (std::hypot(all.x1 - all.x0, all.y1 - all.y0) + (p - P2{all.x0, all.y0}).norm());
    std::vector<std::vector<P2>> holePolys;
    bool haveOuter = false;
    for (const auto& hit : t.rayHits(p, reach)) {
        const int i = hit.second.first;
        const P2 hp = t.atoms_[i].at(hit.second.second);
        if (t.visited_[i])
            continue;
        bool inHole = false;
        for (const auto& hpoly : holePolys)
            inHole = inHole || Tracer::inside(hpoly, hp);
        if (inHole)
            continue;
        Cycle w;
        if (!t.walkFromHit(i, hit.second.second, p, w))
            continue;
        for (const Cycle& c : t.cycles(w)) {
            const double a = t.area(c, p);
            if (a > 0 && !haveOuter && Tracer::inside(t.polygon(c), p)) {
                found.outer = c;
                haveOuter = true;
            } else if (a < 0) {
                holePolys.push_back(t.polygon(c));
                found.holes.push_back(c);
            }
        }
        if (haveOuter)
            break;
    }
    if (!haveOuter)
        return Status::noRegion;
    // Islands that touch nothing: walk round each from just left of its leftmost point.
    const std::vector<P2> outerPoly = t.polygon(found.outer);
    for (int guard = 0; guard < int(t.atoms_.size()); ++guard) {
        int pick = -1;
        for (int i = 0; i < int(t.atoms_.size()); ++i) {
            if (t.visited_[i])
                continue;
            const P2 mid = t.atoms_[i].at(0.5);
            bool skip = !Tracer::inside(outerPoly, mid);
            for (const auto& hpoly : holePolys)
                skip = skip || Tracer::inside(hpoly, mid);
            if (skip) {
                t.visited_[i] = true;
                continue;
            }
            if (pick < 0 || t.atoms_[i].box.x0 < t.atoms_[pick].box.x0)
                pick = i;
        }
        if (pick < 0)
            break;
        const Atom& a = t.atoms_[pick];
        double sMin = 0, xMin = 1e300;
        for (int k = 0; k <= 64; ++k)
            if (a.at(k / 64.0).x < xMin)
                xMin = a.at(k / 64.0).x, sMin = k / 64.0;
        const P2 q = a.at(sMin) - P2{std::max(tol * 10, 1e-9 * reach), 0};
        bool walked = false;
        for (const auto& hit : t.rayHits(q, reach)) {
            Cycle w;
            if (!t.walkFromHit(hit.second.first, hit.second.second, q, w))
                break;
            for (const Cycle& c : t.cycles(w))
                if (t.area(c, q) < 0) {
                    holePolys.push_back(t.polygon(c));
                    found.holes.push_back(c);
                }
            walked = true;
            break;
        }
        if (!walked)
            t.visited_[pick] = true;
    }
    return Status::ok;
}

} // namespace

Status regionAtPoint(const std::vector<Curve>& curves, const Point3d& p, Region& out,
                     const Vector3d& normal, double tol) {
    out = Region{};
    if (normal.isZeroLength() || !(tol > 0))
        return Status::invalidInput;
    std::vector<Curve> pieces;
    pieces.reserve(curves.size() * 4);
    std::unique_ptr<Tracer> holder;
    Tracer* t = nullptr;
    Found found;
    // Pieces must not move while atoms point at them: count them first.
    std::size_t n = 0;
    for (const Curve& c : curves)
        n += std::holds_alternative<Polyline>(c) ? std::get<Polyline>(c).points.size() : 1;
    pieces.reserve(n + 1);
    Status st = trace(curves, p, normal, tol, pieces, t, found, holder);
    if (!ok(st))
        return st;
    Face f;
    st = cycleCurves(*t, found.outer, f.outer);
    if (!ok(st))
        return st;
    for (const Cycle& h : found.holes) {
        Loop l;
        if (ok(cycleCurves(*t, h, l)))
            f.holes.push_back(std::move(l));
    }
    out.normal = normal.normal();
    out.faces.push_back(std::move(f));
    return orientRegion(out);
}

Status boundaryRegionsAtPoint(const std::vector<Curve>& curves, const Point3d& p,
                              std::vector<Region>& out, const Vector3d& normal, double tol) {
    out.clear();
    Region whole;
    const Status st = regionAtPoint(curves, p, whole, normal, tol);
    if (!ok(st))
        return st;
    Face& f = whole.faces.front();
    Region outer;
    outer.normal = whole.normal;
    outer.faces.push_back(Face{f.outer, {}});
    out.push_back(std::move(outer));
    for (Loop& h : f.holes) {
        Region island;
        island.normal = whole.normal;
        island.faces.push_back(Face{std::move(h), {}});
        orientRegion(island);
        out.push_back(std::move(island));
    }
    return Status::ok;
}

} // namespace zhost::geom

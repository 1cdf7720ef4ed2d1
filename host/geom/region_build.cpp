// Regions from closed curves and closed chains of curves; orientation, transform, explode.
#include "curve_detail.h"
#include "plane2d.h"
#include "point_cluster.h"
#include "region_faces.h"
#include "zhost/geom/coordinate_range.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <cmath>

namespace zhost::geom {

using namespace detail;

namespace {

// The signed area of a loop about the normal (counter-clockwise positive).
Status loopArea(const Loop& loop, const PlaneFrame& pf, double& area) {
    area = 0;
    std::vector<Curve> keep;
    std::vector<Atom> atoms;
    for (const Curve& c : loop.edges) {
        Status st;
        if (std::holds_alternative<Polyline>(c)) {
            st = toAtoms(c, pf, 0, keep, atoms, 1e-6);
        } else {
            Atom a;
            st = edgeAtom(c, pf, 1e-6, a);
            atoms.push_back(std::move(a));
        }
        if (!ok(st))
            return st;
    }
    P2 ref = atoms.empty() ? P2{} : atoms.front().start();
    for (const Atom& a : atoms)
        area += atomMoments(a, 0, 1, ref).a;
    return Status::ok;
}

Status reverseLoop(Loop& loop) {
    std::vector<Curve> rev;
    rev.reserve(loop.edges.size());
    for (auto it = loop.edges.rbegin(); it != loop.edges.rend(); ++it) {
        Curve r;
        const Status st = reversed(*it, r);
        if (!ok(st))
            return st;
        rev.push_back(std::move(r));
    }
    loop.edges = std::move(rev);
    return Status::ok;
}

// A closed curve as loop edges.
void closedCurveEdges(const Curve& c, std::vector<Curve>& edges) {
    if (const auto* pl = std::get_if<Polyline>(&c)) {
        for (std::size_t i = 0; i < segmentCount(*pl); ++i)
            if (pl->points[i].distanceTo(pl->points[(i + 1) % pl->points.size()]) > 1e-12)
                edges.push_back(segment(*pl, i));
        return;
    }
    edges.push_back(c);
}

} // namespace

Status orientRegion(Region& r) {
    if (r.normal.isZeroLength())
        return Status::invalidInput;
    for (Face& f : r.faces) {
        Point3d p0;
        if (f.outer.edges.empty() || !ok(startPoint(f.outer.edges.front(), p0)))
            return Status::degenerateGeometry;
        const PlaneFrame pf = planeFrame(r.normal, p0);
        for (std::size_t li = 0; li <= f.holes.size(); ++li) {
            Loop& loop = li == 0 ? f.outer : f.holes[li - 1];
            double a = 0;
            Status st = loopArea(loop, pf, a);
            if (!ok(st))
                return st;
            if ((a < 0) == (li == 0)) {
                st = reverseLoop(loop);
                if (!ok(st))
                    return st;
            }
        }
    }
    return Status::ok;
}

Status regionArea(const Region& r, double& area) {
    area = 0;
    for (const Face& f : r.faces) {
        Point3d p0;
        if (f.outer.edges.empty() || !ok(startPoint(f.outer.edges.front(), p0)))
            return Status::degenerateGeometry;
        const PlaneFrame pf = planeFrame(r.normal, p0);
        for (std::size_t li = 0; li <= f.holes.size(); ++li) {
            double a = 0;
            const Status st = loopArea(li == 0 ? f.outer : f.holes[li - 1], pf, a);
            if (!ok(st))
                return st;
            area += li == 0 ? std::abs(a) : -std::abs(a);
        }
    }
    return Status::ok;
}

Status transformRegion(const Region& r, const Matrix3d& m, Region& out) {
    Region res;
    res.normal = (m * r.normal).normal();
    for (const Face& f : r.faces) {
        Face nf;
        for (std::size_t li = 0; li <= f.holes.size(); ++li) {
            const Loop& loop = li == 0 ? f.outer : f.holes[li - 1];
            Loop nl;
            for (const Curve& c : loop.edges) {
                Curve t;
                const Status st = transformed(c, m, t);
                if (!ok(st))
                    return st;
                nl.edges.push_back(std::move(t));
            }
            if (li == 0)
                nf.outer = std::move(nl);
            else
                nf.holes.push_back(std::move(nl));
        }
        res.faces.push_back(std::move(nf));
    }
    out = std::move(res);
    return orientRegion(out);
}

Status explodeRegion(const Region& r, std::vector<Curve>& curves) {
    curves.clear();
    if (r.empty())
        return Status::noRegion;
    for (const Face& f : r.faces) {
        for (std::size_t li = 0; li <= f.holes.size(); ++li)
            for (const Curve& c : (li == 0 ? f.outer : f.holes[li - 1]).edges) {
                if (const auto* pl = std::get_if<Polyline>(&c)) {
                    std::vector<Curve> parts;
                    explode(*pl, parts);
                    curves.insert(curves.end(), parts.begin(), parts.end());
                } else {
                    curves.push_back(c);
                }
            }
    }
    return Status::ok;
}

Status regionsFromCurves(const std::vector<Curve>& curves, std::vector<Region>& regions,
                         std::vector<std::vector<std::size_t>>* used, double tol) {
    regions.clear();
    if (used)
        used->clear();
    auto emit = [&](Loop loop, Vector3d normal, std::vector<std::size_t> from) {
        Region r;
        r.normal = normal;
        r.faces.push_back(Face{std::move(loop), {}});
        if (!ok(orientRegion(r)))
            return;
        double a = 0;
        if (!ok(regionArea(r, a)) || a <= 0)
            return;
        regions.push_back(std::move(r));
        if (used)
            used->push_back(std::move(from));
    };
    // Closed curves stand alone; open ones go into the end-point graph.
    std::vector<std::size_t> open;
    std::vector<Point3d> ends;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (!ok(validate(curves[i])))
            continue;
        if (checkCoordinateRange(curves[i]) == Status::outOfRange) {
            regions.clear();
            if (used)
                used->clear();
            return Status::outOfRange;
        }
        if (isClosed(curves[i])) {
            Loop loop;
            closedCurveEdges(curves[i], loop.edges);
            emit(std::move(loop), curveNormal(curves[i]), {i});
            continue;
        }
        Point3d s, e;
        startPoint(curves[i], s);
        endPoint(curves[i], e);
        open.push_back(i);
        ends.push_back(s);
        ends.push_back(e);
    }
    int nv = 0;
    const std::vector<int> vid = PointClusters::cluster(ends, tol, nv);
    std::vector<std::vector<int>> at(nv); // vertex -> end indices (2k start, 2k+1 end)
    for (int k = 0; k < int(ends.size()); ++k)
        at[vid[k]].push_back(k);
    // A closed walk over open curves as a loop of edges (polylines in segments).
    auto emitChain = [&](const CurveCycle& chain, const Vector3d& normal) {
        Loop loop;
        std::vector<std::size_t> from;
        for (auto [ci, r] : chain) {
            const Curve& c = curves[open[ci]];
            from.push_back(open[ci]);
            Curve piece = c;
            if (r)
                reversed(c, piece);
            if (const auto* pl = std::get_if<Polyline>(&piece)) {
                for (std::size_t i = 0; i < segmentCount(*pl); ++i)
                    if (pl->points[i].distanceTo(pl->points[i + 1]) > 1e-12)
                        loop.edges.push_back(segment(*pl, i));
            } else {
                loop.edges.push_back(std::move(piece));
            }
        }
        emit(std::move(loop), normal, std::move(from));
    };
    std::vector<const Curve*> openCurves;
    for (std::size_t i : open)
        openCurves.push_back(&curves[i]);
    // Groups with branch points: their smallest faces.
    std::vector<bool> done;
    std::vector<BranchFace> faces;
    branchFaces(openCurves, vid, nv, done, faces);
    for (const BranchFace& f : faces)
        emitChain(f.cycle, f.normal);
    // The rest: chains through vertices with exactly two ends.
    for (std::size_t k0 = 0; k0 < open.size(); ++k0) {
        if (done[k0])
            continue;
        // Walk from the start of curve k0 along its end.
        CurveCycle chain;
        std::size_t k = k0;
        bool rev = false, closed = false, broken = false;
        while (true) {
            chain.push_back({k, rev});
            done[k] = true;
            const int exitEnd = int(2 * k + (rev ? 0 : 1));
            const auto& here = at[vid[exitEnd]];
            if (here.size() != 2) {
                broken = true;
                break;
            }
            const int other = here[0] == exitEnd ? here[1] : here[0];
            const std::size_t nk = std::size_t(other / 2);
            if (nk == k0 && other == int(2 * k0)) {
                closed = true;
                break;
            }
            if (done[nk]) {
                broken = true;
                break;
            }
            k = nk;
            rev = other % 2 == 1; // entering at its end: travel it backwards
        }
        if (!closed || broken)
            continue;
        std::vector<const Curve*> members;
        for (auto [ci, r] : chain)
            members.push_back(openCurves[ci]);
        emitChain(chain, curvesNormal(members));
    }
    return regions.empty() ? Status::noRegion : Status::ok;
}

} // namespace zhost::geom

// Faces of the plane graph of curves meeting at branch points (see region_faces.h). Half-edge k
// runs along curve k / 2, forwards when k is even; it leaves the vertex of end k, so the ends at
// a vertex are also its outgoing half-edges.
#include "region_faces.h"

#include "plane2d.h"
#include "zhost/geom/curves.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace zhost::geom::detail {

namespace {

// The direction a half-edge leaves its vertex in, as an angle in the plane, and the curvature
// of its path there (positive turning left), to order half-edges that leave tangentially.
struct Leaving {
    int half = 0;
    double angle = 0, curvature = 0;
};

Leaving leaving(const Curve& c, int half, const PlaneFrame& pf) {
    double p0 = 0, p1 = 0;
    paramRange(c, p0, p1);
    const bool back = half % 2 == 1;
    const double at = back ? p1 : p0;
    Vector3d d1, d2;
    firstDeriv(c, at, d1);
    secondDeriv(c, at, d2);
    P2 t{d1.dot(pf.f.x), d1.dot(pf.f.y)};
    const P2 k{d2.dot(pf.f.x), d2.dot(pf.f.y)};
    if (back)
        t = t * -1.0;
    Leaving out;
    out.half = half;
    const double len = t.norm();
    if (len <= 1e-12) { // a degenerate end (e.g. repeated poles): aim at a point a little along
        Point3d a, b;
        pointAtParam(c, at, a);
        pointAtParam(c, back ? p1 - (p1 - p0) * 1e-6 : p0 + (p1 - p0) * 1e-6, b);
        const P2 d = pf.toLocal(b) - pf.toLocal(a);
        out.angle = std::atan2(d.y, d.x);
        return out;
    }
    out.angle = std::atan2(t.y, t.x);
    out.curvature = t.cross(k) / (len * len * len);
    return out;
}

struct UnionFind {
    std::vector<int> parent;
    explicit UnionFind(int n) : parent(std::size_t(n)) {
        std::iota(parent.begin(), parent.end(), 0);
    }
    int find(int i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    }
};

// Splits a closed walk at curves it runs along both ways (bridges to islands, left after
// dangling curves are gone) into the loops on either side.
void splitAtBridges(const std::vector<int>& walk, std::vector<std::vector<int>>& out) {
    std::unordered_map<int, std::size_t> firstAt; // curve -> position of its first half-edge
    for (std::size_t j = 0; j < walk.size(); ++j) {
        const auto [it, fresh] = firstAt.emplace(walk[j] / 2, j);
        if (fresh)
            continue;
        const std::size_t i = it->second;
        std::vector<int> inner(walk.begin() + long(i) + 1, walk.begin() + long(j));
        std::vector<int> outer(walk.begin(), walk.begin() + long(i));
        outer.insert(outer.end(), walk.begin() + long(j) + 1, walk.end());
        if (!inner.empty())
            splitAtBridges(inner, out);
        if (!outer.empty())
            splitAtBridges(outer, out);
        return;
    }
    out.push_back(walk);
}

class Group {
public:
    // area, prev and walked are indexed by curve / half-edge over all curves and shared by the
    // groups (each group touches only its own entries).
    Group(const std::vector<const Curve*>& curves, const std::vector<int>& vid,
          std::vector<int> members, std::vector<double>& area, std::vector<int>& prev,
          std::vector<bool>& walked)
        : curves_(curves), vid_(vid), members_(std::move(members)), area_(area), prev_(prev),
          walked_(walked) {}

    // The faces of the group's curves that remain after dangling ones are dropped (alive).
    void faces(const std::vector<bool>& alive, std::vector<BranchFace>& out) {
        std::vector<const Curve*> live;
        for (int k : members_)
            if (alive[k])
                live.push_back(curves_[k]);
        if (live.empty())
            return;
        const Vector3d normal = curvesNormal(live);
        Point3d first;
        startPoint(*live.front(), first);
        pf_ = planeFrame(normal, first);
        const P2 ref = pf_.toLocal(first);
        std::vector<Atom> atoms;
        std::vector<Curve> pieces;
        for (int k : members_) {
            if (!alive[k])
                continue;
            atoms.clear();
            if (!ok(toAtoms(*curves_[k], pf_, k, pieces, atoms, 1e-6)))
                return; // not planar: the group gives nothing
            for (const Atom& a : atoms)
                area_[k] += atomMoments(a, 0, 1, ref).a;
        }
        orderAround(alive);
        for (int k : members_)
            for (int h = 2 * k; alive[k] && h <= 2 * k + 1; ++h)
                if (!walked_[h])
                    walkFrom(h, normal, out);
    }

private:
    // Outgoing half-edges of each vertex, counter-clockwise; next_[h] is the half-edge after h
    // in that order at h's vertex.
    void orderAround(const std::vector<bool>& alive) {
        std::vector<std::vector<Leaving>> around;
        std::unordered_map<int, std::size_t> slot; // vertex -> its list in around
        for (int k : members_)
            for (int h = 2 * k; alive[k] && h <= 2 * k + 1; ++h) {
                const auto [it, fresh] = slot.emplace(vid_[h], around.size());
                if (fresh)
                    around.emplace_back();
                around[it->second].push_back(leaving(*curves_[k], h, pf_));
            }
        for (auto& ls : around) {
            std::sort(ls.begin(), ls.end(), [](const Leaving& a, const Leaving& b) {
                if (std::abs(a.angle - b.angle) > 1e-9)
                    return a.angle < b.angle;
                return a.curvature < b.curvature;
            });
            for (std::size_t i = 0; i < ls.size(); ++i)
                prev_[ls[i].half] = ls[(i + ls.size() - 1) % ls.size()].half;
        }
    }

    // The face on the left of half-edge h: arriving at a vertex, leave by the half-edge just
    // clockwise of the way back (the sharpest left turn).
    void walkFrom(int h, const Vector3d& normal, std::vector<BranchFace>& out) {
        std::vector<int> walk;
        int cur = h;
        while (!walked_[cur]) {
            walked_[cur] = true;
            walk.push_back(cur);
            cur = prev_[cur ^ 1];
            if (cur < 0)
                return;
        }
        if (cur != h)
            return; // did not close on itself: inconsistent ordering, give nothing
        std::vector<std::vector<int>> loops;
        splitAtBridges(walk, loops);
        for (const auto& loop : loops) {
            double a = 0, size = 0;
            for (int e : loop) {
                a += e % 2 == 0 ? area_[e / 2] : -area_[e / 2];
                size += std::abs(area_[e / 2]);
            }
            if (!(a > 1e-12 * size))
                continue; // the outside of a group, or a hole's outline
            BranchFace f;
            f.normal = normal;
            for (int e : loop)
                f.cycle.push_back({std::size_t(e / 2), e % 2 == 1});
            out.push_back(std::move(f));
        }
    }

    const std::vector<const Curve*>& curves_;
    const std::vector<int>& vid_;
    std::vector<int> members_;
    PlaneFrame pf_;
    std::vector<double>& area_; // signed area term of each curve, travelled forwards
    std::vector<int>& prev_;
    std::vector<bool>& walked_;
};

} // namespace

Vector3d curvesNormal(const std::vector<const Curve*>& curves) {
    for (const Curve* c : curves)
        if (!std::holds_alternative<LineSeg>(*c))
            return curveNormal(*c);
    std::vector<Point3d> pts;
    for (const Curve* c : curves) {
        const auto& l = std::get<LineSeg>(*c);
        pts.push_back(l.start);
        pts.push_back(l.end);
    }
    Vector3d normal = Vector3d::zAxis();
    for (std::size_t i = 2; pts.size() >= 2 && i < pts.size(); ++i) {
        const Vector3d u = pts[1] - pts[0], v = pts[i] - pts[0];
        const Vector3d n = u.cross(v);
        if (n.length() > 1e-9 * u.length() * v.length()) {
            normal = n.normal();
            break;
        }
    }
    if (normal.z < 0 || (normal.z == 0 && normal.y < 0))
        normal = -normal;
    return normal;
}

void branchFaces(const std::vector<const Curve*>& curves, const std::vector<int>& vid, int nv,
                 std::vector<bool>& inBranchGroup, std::vector<BranchFace>& faces) {
    const int n = int(curves.size());
    inBranchGroup.assign(std::size_t(n), false);
    std::vector<int> degree(static_cast<std::size_t>(nv), 0);
    std::vector<std::vector<int>> at(static_cast<std::size_t>(nv)); // vertex -> ends
    UnionFind groups(nv);
    for (int h = 0; h < 2 * n; ++h) {
        ++degree[vid[h]];
        at[vid[h]].push_back(h);
    }
    for (int k = 0; k < n; ++k)
        groups.parent[groups.find(vid[2 * k])] = groups.find(vid[2 * k + 1]);
    std::vector<bool> branched(std::size_t(nv), false);
    for (int v = 0; v < nv; ++v)
        if (degree[v] >= 3)
            branched[groups.find(v)] = true;
    // Drop dangling curves, repeatedly: a curve with an end that nothing else meets.
    std::vector<bool> alive(std::size_t(n), true);
    std::vector<int> loose;
    for (int v = 0; v < nv; ++v)
        if (degree[v] == 1)
            loose.push_back(v);
    while (!loose.empty()) {
        const int v = loose.back();
        loose.pop_back();
        for (int h : at[v]) {
            if (!alive[h / 2] || degree[v] != 1)
                continue;
            alive[h / 2] = false;
            --degree[v];
            const int w = vid[h ^ 1];
            if (--degree[w] == 1)
                loose.push_back(w);
        }
    }
    std::vector<std::vector<int>> members(static_cast<std::size_t>(nv));
    for (int k = 0; k < n; ++k) {
        const int g = groups.find(vid[2 * k]);
        if (branched[g]) {
            inBranchGroup[k] = true;
            members[g].push_back(k);
        }
    }
    std::vector<double> area(std::size_t(n), 0.0);
    std::vector<int> prev(std::size_t(2 * n), -1);
    std::vector<bool> walked(std::size_t(2 * n), false);
    for (int g = 0; g < nv; ++g)
        if (!members[g].empty())
            Group(curves, vid, std::move(members[g]), area, prev, walked).faces(alive, faces);
}

} // namespace zhost::geom::detail

// Kernel-free Booleans for the cases the kernel would only copy: faces that lie apart, and tool
// faces that sit clear of every boundary (the holes of a part's outline). Building Open CASCADE
// faces of a few hundred edges and running its general fuse costs tens of milliseconds; these
// tests cost a few distance computations per nearby edge. Whatever they cannot prove (a tool
// touching or crossing a boundary, ellipses and splines, a ray that grazes a corner) goes to
// the kernel, so the result never depends on which route was taken.
#include "region_holes.h"

#include "curve_detail.h"
#include "plane2d.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <cmath>

namespace zhost::geom::detail {

namespace {

constexpr double kPlaneTol = 1e-6;
// Ray directions for the inside test, far from the round angles along which drawn geometry
// lines up, so that a ray rarely runs through a corner.
constexpr double kRayAngles[] = {0.7137, 2.2219, 4.0521, 5.3311};
constexpr double kRayTol = 1e-9;

// One loop flattened into the region's plane. A loop that is one whole circle keeps its centre
// and radius: its clearance is then measured exactly.
struct FlatLoop {
    std::vector<Curve> pieces; // polyline segments the atoms were made from
    std::vector<Atom> atoms;
    Box2 box;
    bool circle = false;
    P2 centre;
    double radius = 0;

    // A point of the loop's inside (circles) or of the loop itself (others).
    P2 probe() const { return circle ? centre : atoms.front().start(); }
};

void addBox(Box2& to, const Box2& b) {
    to.add({b.x0, b.y0});
    to.add({b.x1, b.y1});
}

// False when the loop leaves the plane or holds an ellipse or spline piece (whose distances and
// crossings the kernel computes and may fail to, silently).
bool flatten(const Loop& loop, const PlaneFrame& pf, FlatLoop& out) {
    for (const Curve& c : loop.edges) {
        if (std::holds_alternative<Polyline>(c)) {
            if (!ok(toAtoms(c, pf, 0, out.pieces, out.atoms, kPlaneTol)))
                return false;
            continue;
        }
        Atom a;
        if (!ok(boxedEdgeAtom(c, pf, a, kPlaneTol)))
            return false;
        out.atoms.push_back(std::move(a));
    }
    if (out.atoms.empty())
        return false;
    for (const Atom& a : out.atoms) {
        if (a.kind == Atom::Free)
            return false;
        addBox(out.box, a.box);
    }
    const Atom& first = out.atoms.front();
    if (out.atoms.size() == 1 && first.kind == Atom::Arc && std::abs(first.sw) >= kTwoPi - 1e-12) {
        out.circle = true;
        out.centre = first.c;
        out.radius = first.r;
    }
    return true;
}

// 1 when p lies inside the loop, 0 outside, -1 when no ray gave a clean count. p must lie off
// the loop.
int inside(const FlatLoop& loop, P2 p) {
    if (p.x < loop.box.x0 || p.x > loop.box.x1 || p.y < loop.box.y0 || p.y > loop.box.y1)
        return 0;
    const double reach = P2{loop.box.x1 - loop.box.x0, loop.box.y1 - loop.box.y0}.norm() + 1;
    std::vector<AtomHit> hits;
    for (double angle : kRayAngles) {
        const P2 dir{std::cos(angle), std::sin(angle)};
        Atom ray;
        ray.kind = Atom::Line;
        ray.a = p;
        ray.b = p + dir * reach;
        ray.box.add(ray.a);
        ray.box.add(ray.b);
        std::size_t count = 0;
        bool clean = true;
        for (const Atom& a : loop.atoms) {
            intersectAtoms(ray, a, kRayTol, hits);
            for (const AtomHit& h : hits) {
                const P2 t = a.d1(h.sb);
                const double len = t.norm();
                // Through a corner or along a tangent the count says nothing.
                if (h.sb <= 1e-9 || h.sb >= 1 - 1e-9 || len == 0 ||
                    std::abs(dir.cross(t)) <= 1e-9 * len) {
                    clean = false;
                    break;
                }
            }
            if (!clean)
                break;
            count += hits.size();
        }
        if (clean)
            return int(count % 2);
    }
    return -1;
}

// Whether the tool loop stays farther than gap from every piece of `other`. A circle is measured
// exactly; other loops only by the boxes of their pieces.
bool clearOf(const FlatLoop& tool, const FlatLoop& other, double gap) {
    if (!tool.box.overlaps(other.box, gap))
        return true;
    for (const Atom& e : other.atoms) {
        if (!e.box.overlaps(tool.box, gap))
            continue;
        if (tool.circle) {
            double s = 0;
            if (closestOnAtom(e, tool.centre, s) <= tool.radius + gap)
                return false;
            continue;
        }
        for (const Atom& t : tool.atoms)
            if (t.box.overlaps(e.box, gap))
                return false;
    }
    return true;
}

// Two loops with neither crossing, touching nor enclosing the other.
bool disjoint(const FlatLoop& x, const FlatLoop& y, double gap) {
    if (!x.box.overlaps(y.box, gap))
        return true;
    if (x.circle && y.circle)
        return (x.centre - y.centre).norm() > x.radius + y.radius + gap;
    if (!(y.circle ? clearOf(y, x, gap) : clearOf(x, y, gap)))
        return false;
    return inside(x, y.probe()) == 0 && inside(y, x.probe()) == 0;
}

bool sameNormal(const Region& a, const Region& b) {
    return a.normal.normal().isEqualTo(b.normal.normal(), Tol{1e-9, 1e-9});
}

bool frameOf(const Region& r, PlaneFrame& pf) {
    Point3d p0;
    if (r.empty() || r.faces.front().outer.edges.empty() ||
        !ok(startPoint(r.faces.front().outer.edges.front(), p0)))
        return false;
    pf = planeFrame(r.normal, p0);
    return true;
}

} // namespace

bool uniteApart(const Region& a, const Region& b, double gap, Region& out) {
    PlaneFrame pf;
    if (b.empty() || !sameNormal(a, b) || !frameOf(a, pf))
        return false;
    std::vector<FlatLoop> mine(a.faces.size()), theirs(b.faces.size());
    for (std::size_t i = 0; i < a.faces.size(); ++i)
        if (!flatten(a.faces[i].outer, pf, mine[i]))
            return false;
    for (std::size_t j = 0; j < b.faces.size(); ++j) {
        if (!flatten(b.faces[j].outer, pf, theirs[j]))
            return false;
        for (const FlatLoop& m : mine)
            if (m.box.overlaps(theirs[j].box, gap))
                return false;
        for (std::size_t k = 0; k < j; ++k)
            if (theirs[k].box.overlaps(theirs[j].box, gap))
                return false;
    }
    Region united = a;
    united.faces.insert(united.faces.end(), b.faces.begin(), b.faces.end());
    if (!ok(orientRegion(united)))
        return false;
    out = std::move(united);
    return true;
}

bool subtractClearTools(const Region& a, const std::vector<const Region*>& tools, double gap,
                        Region& out) {
    PlaneFrame pf;
    if (!frameOf(a, pf))
        return false;
    // Every loop of a: [face][0] the outer loop, then the holes.
    std::vector<std::vector<FlatLoop>> faces(a.faces.size());
    for (std::size_t f = 0; f < a.faces.size(); ++f) {
        const Face& face = a.faces[f];
        faces[f].resize(face.holes.size() + 1);
        for (std::size_t l = 0; l <= face.holes.size(); ++l)
            if (!flatten(l == 0 ? face.outer : face.holes[l - 1], pf, faces[f][l]))
                return false;
    }
    struct ToolLoop {
        const Loop* loop;
        FlatLoop flat;
    };
    std::vector<ToolLoop> loops;
    for (const Region* t : tools) {
        if (t->empty())
            continue;
        if (!sameNormal(a, *t))
            return false;
        for (const Face& face : t->faces) {
            if (!face.holes.empty())
                return false;
            ToolLoop tl{&face.outer, {}};
            if (!flatten(face.outer, pf, tl.flat))
                return false;
            loops.push_back(std::move(tl));
        }
    }
    for (std::size_t i = 0; i < loops.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (!disjoint(loops[i].flat, loops[j].flat, gap))
                return false;

    Region cut = a;
    for (const ToolLoop& tl : loops) {
        for (const std::vector<FlatLoop>& face : faces)
            for (const FlatLoop& boundary : face)
                if (!clearOf(tl.flat, boundary, gap))
                    return false;
        // Clear of every boundary, the tool lies wholly in one face's material or in none.
        const P2 p = tl.flat.probe();
        for (std::size_t f = 0; f < faces.size(); ++f) {
            const int in = inside(faces[f][0], p);
            if (in < 0)
                return false;
            bool material = in == 1;
            for (std::size_t h = 1; material && h < faces[f].size(); ++h) {
                const int inHole = inside(faces[f][h], p);
                if (inHole < 0)
                    return false;
                material = inHole == 0;
            }
            if (material) {
                cut.faces[f].holes.push_back(*tl.loop);
                break;
            }
        }
    }
    if (!ok(orientRegion(cut)))
        return false;
    out = std::move(cut);
    return true;
}

} // namespace zhost::geom::detail

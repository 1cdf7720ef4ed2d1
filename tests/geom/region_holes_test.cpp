// The kernel-free Booleans against the kernel's own: for every layout of tools around an outline
// the public unite/subtract must give what the kernel gives (same faces, holes and area),
// whichever route they took, and the kernel-free route must be taken exactly where it is safe.
#include "../../host/geom/kernel/kernel.h"
#include "../../host/geom/region_holes.h"
#include "geom_test_util.h"
#include "zhost/geom/regions.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

using namespace zhost;
using namespace zhost::geom;
using namespace geomtest;

namespace {

Region circleRegion(double cx, double cy, double r) {
    Region c;
    c.faces.push_back(Face{circleLoop(cx, cy, r), {}});
    return c;
}

// Area of every face and its number of holes, sorted by area: what must agree between routes.
std::vector<std::pair<double, std::size_t>> facesOf(const Region& r) {
    std::vector<std::pair<double, std::size_t>> out;
    for (const Face& f : r.faces) {
        Region one;
        one.normal = r.normal;
        one.faces.push_back(f);
        double a = 0;
        EXPECT_OK(regionArea(one, a));
        out.emplace_back(a, f.holes.size());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void expectSameShape(const Region& got, const Region& want) {
    const auto g = facesOf(got), w = facesOf(want);
    ASSERT_EQ(g.size(), w.size());
    for (std::size_t i = 0; i < g.size(); ++i) {
        EXPECT_NEAR(g[i].first, w[i].first, 1e-6 * std::max(1.0, w[i].first)) << "face " << i;
        EXPECT_EQ(g[i].second, w[i].second) << "face " << i;
    }
}

// An outline of lines and arcs (a filleted 200 x 100 plate) with one hole already in it, and a
// second face standing apart to its right.
Region plate() {
    Region r = filletedRect(0, 0, 200, 100, 10);
    r.faces[0].holes.push_back(circleLoop(170, 50, 12));
    r.faces.push_back(rectRegion(300, 0, 50, 50).faces[0]);
    EXPECT_OK(orientRegion(r));
    return r;
}

struct Layout {
    const char* what;
    std::vector<Region> tools;
    bool kernelFree; // whether the kernel-free route may answer
};

} // namespace

TEST(RegionClearTools, SubtractionAgreesWithTheKernelForEveryLayout) {
    const Region a = plate();
    const std::vector<Layout> layouts = {
        {"holes well inside", {circleRegion(30, 30, 5), circleRegion(60, 60, 8)}, true},
        {"a square hole", {rectRegion(80, 20, 20, 10)}, true},
        {"a hole in the second face", {circleRegion(325, 25, 10)}, true},
        {"a hole outside everything", {circleRegion(250, 50, 10)}, true},
        {"a tool inside the existing hole", {circleRegion(170, 50, 4)}, true},
        {"a hole touching the straight edge", {circleRegion(50, 5, 5)}, false},
        // Outside the rounded corner, touching the fillet from without.
        {"a hole touching a fillet",
         {circleRegion(10 - 13 / std::numbers::sqrt2, 10 - 13 / std::numbers::sqrt2, 3)},
         false},
        {"a hole across the edge", {circleRegion(100, 0, 6)}, false},
        {"overlapping holes", {circleRegion(40, 50, 6), circleRegion(48, 50, 6)}, false},
        {"a hole touching another", {circleRegion(40, 50, 5), circleRegion(50, 50, 5)}, false},
        {"a hole around the existing hole", {circleRegion(170, 50, 20)}, false},
        {"a hole in a hole", {circleRegion(60, 50, 20), circleRegion(60, 50, 5)}, false},
        {"a square across a corner", {rectRegion(-5, -5, 20, 20)}, false},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.what);
        std::vector<const Region*> tools;
        for (const Region& t : l.tools)
            tools.push_back(&t);
        Region fast, viaKernel, viaPublic;
        EXPECT_EQ(detail::subtractClearTools(a, tools, 1e-6, fast), l.kernelFree);
        ASSERT_OK(kernel::cut(a, tools, viaKernel, 0));
        ASSERT_OK(subtract(a, l.tools, viaPublic));
        expectSameShape(viaPublic, viaKernel);
        if (l.kernelFree)
            expectSameShape(fast, viaKernel);
    }
}

TEST(RegionClearTools, ManyHolesInAManySidedOutlineBecomeHolesOfIt) {
    // The layout of a covering part: a 500-sided polygon with a grid of 20 round holes.
    Region a;
    Loop outer;
    constexpr int kSides = 500;
    for (int i = 0; i < kSides; ++i) {
        const double a0 = 2 * std::numbers::pi * i / kSides;
        const double a1 = 2 * std::numbers::pi * (i + 1) / kSides;
        outer.edges.push_back(LineSeg{{100 * std::cos(a0), 100 * std::sin(a0)},
                                      {100 * std::cos(a1), 100 * std::sin(a1)}});
    }
    a.faces.push_back(Face{outer, {}});
    Region holes;
    for (int i = 0; i < 20; ++i) {
        Region united;
        ASSERT_OK(unite(holes, circleRegion(-60 + (i % 5) * 30, -45 + (i / 5) * 30, 5), united));
        holes = united;
    }
    ASSERT_EQ(holes.faces.size(), 20u);
    Region fast, viaKernel;
    ASSERT_TRUE(detail::subtractClearTools(a, {&holes}, 1e-6, fast));
    ASSERT_OK(kernel::cut(a, {&holes}, viaKernel, 0));
    ASSERT_EQ(fast.faces.size(), 1u);
    EXPECT_EQ(fast.faces[0].holes.size(), 20u);
    expectSameShape(fast, viaKernel);
    // A hole moved onto a corner of the polygon leaves the work to the kernel.
    const Region onCorner = circleRegion(95, 0, 5);
    EXPECT_FALSE(detail::subtractClearTools(a, {&onCorner}, 1e-6, fast));
}

TEST(RegionClearTools, UnionOfFacesApartKeepsThemAndNearOnesGoToTheKernel) {
    const Region a = plate();
    struct Case {
        const char* what;
        Region b;
        double fuzzy;
        bool kernelFree;
    };
    const std::vector<Case> cases = {
        {"a circle far away", circleRegion(500, 500, 10), 0, true},
        {"a square beside the plate", rectRegion(210, 0, 20, 20), 0, true},
        {"a square within the fuzz of the plate", rectRegion(200.0005, 40, 20, 20), 1e-3, false},
        {"a square touching the plate", rectRegion(200, 40, 20, 20), 0, false},
        {"a circle overlapping the plate", circleRegion(200, 50, 10), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Region fast, viaKernel, viaPublic;
        EXPECT_EQ(detail::uniteApart(a, c.b, 1e-6 + c.fuzzy, fast), c.kernelFree);
        ASSERT_OK(kernel::fuse(a, c.b, viaKernel, c.fuzzy));
        ASSERT_OK(unite(a, c.b, viaPublic, c.fuzzy));
        expectSameShape(viaPublic, viaKernel);
        if (c.kernelFree)
            expectSameShape(fast, viaKernel);
    }
}

TEST(RegionClearTools, HolesWithinTheFuzzOfAnEdgeAreLeftToTheKernel) {
    const Region a = rectRegion(0, 0, 10, 10);
    const Region nearEdge = rectRegion(4, 1e-4, 2, 3);
    Region exact, fuzzy, viaKernel;
    EXPECT_TRUE(detail::subtractClearTools(a, {&nearEdge}, 1e-6, exact));
    ASSERT_EQ(exact.faces.size(), 1u);
    EXPECT_EQ(exact.faces[0].holes.size(), 1u);
    EXPECT_FALSE(detail::subtractClearTools(a, {&nearEdge}, 1e-3 + 1e-6, fuzzy));
    ASSERT_OK(subtract(a, nearEdge, fuzzy, 1e-3));
    ASSERT_OK(kernel::cut(a, {&nearEdge}, viaKernel, 1e-3));
    expectSameShape(fuzzy, viaKernel);
}

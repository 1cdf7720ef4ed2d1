// Regions from curves that meet at branch points: the smallest areas they enclose.
#include "zhost/geom/regions.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace zhost;
using namespace zhost::geom;

namespace {

constexpr double pi = std::numbers::pi;

struct Built {
    std::vector<double> areas; // ascending
    std::vector<std::vector<std::size_t>> used;
};

Built build(const std::vector<Curve>& curves) {
    Built b;
    std::vector<Region> regions;
    EXPECT_OK(regionsFromCurves(curves, regions, &b.used));
    for (const Region& r : regions) {
        double a = 0;
        EXPECT_OK(regionArea(r, a));
        EXPECT_EQ(r.faces.size(), 1u);
        b.areas.push_back(a);
    }
    std::sort(b.areas.begin(), b.areas.end());
    return b;
}

void expectAreas(const Built& b, std::vector<double> want) {
    ASSERT_EQ(b.areas.size(), want.size());
    std::sort(want.begin(), want.end());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(b.areas[i], want[i], 1e-9) << "region " << i;
}

bool usedAnywhere(const Built& b, std::size_t curve) {
    return std::any_of(b.used.begin(), b.used.end(), [&](const auto& u) {
        return std::find(u.begin(), u.end(), curve) != u.end();
    });
}

} // namespace

TEST(RegionBuildBranches, DiagonalSplitsSquareIntoTwoTriangles) {
    const std::vector<Curve> curves = {LineSeg{{0, 0}, {10, 0}}, LineSeg{{10, 0}, {10, 10}},
                                       LineSeg{{10, 10}, {0, 10}}, LineSeg{{0, 10}, {0, 0}},
                                       LineSeg{{0, 0}, {10, 10}}};
    const Built b = build(curves);
    expectAreas(b, {50, 50});
    // The diagonal bounds both triangles.
    ASSERT_EQ(b.used.size(), 2u);
    for (const auto& u : b.used) {
        EXPECT_EQ(u.size(), 3u);
        EXPECT_NE(std::find(u.begin(), u.end(), 4u), u.end());
    }
}

TEST(RegionBuildBranches, SharedWallGivesTwoRoomsAndDanglingCurvesAreLeftOut) {
    // A 20 x 10 outline split by a wall at x = 10 (T-junctions), with a stub hanging off a corner
    // and a two-piece spur off the wall's top end.
    const std::vector<Curve> curves = {LineSeg{{0, 0}, {10, 0}},   LineSeg{{10, 0}, {20, 0}},
                                       LineSeg{{20, 0}, {20, 10}}, LineSeg{{20, 10}, {10, 10}},
                                       LineSeg{{10, 10}, {0, 10}}, LineSeg{{0, 10}, {0, 0}},
                                       LineSeg{{10, 0}, {10, 10}}, LineSeg{{0, 0}, {-5, -5}},
                                       LineSeg{{10, 10}, {13, 7}}, LineSeg{{13, 7}, {16, 9}}};
    const Built b = build(curves);
    expectAreas(b, {100, 100});
    for (std::size_t dangling : {7u, 8u, 9u})
        EXPECT_FALSE(usedAnywhere(b, dangling));
}

TEST(RegionBuildBranches, SquaresTouchingAtACornerStaySeparate) {
    const std::vector<Curve> curves = {LineSeg{{0, 0}, {5, 0}}, LineSeg{{5, 0}, {5, 5}},
                                       LineSeg{{5, 5}, {0, 5}}, LineSeg{{0, 5}, {0, 0}},
                                       LineSeg{{5, 5}, {8, 5}}, LineSeg{{8, 5}, {8, 8}},
                                       LineSeg{{8, 8}, {5, 8}}, LineSeg{{5, 8}, {5, 5}}};
    expectAreas(build(curves), {25, 9});
}

TEST(RegionBuildBranches, IslandOnABridgeIsItsOwnRegion) {
    // Outer square, inner square, and a line joining their lower-left corners.
    const std::vector<Curve> curves = {
        LineSeg{{0, 0}, {20, 0}},   LineSeg{{20, 0}, {20, 20}}, LineSeg{{20, 20}, {0, 20}},
        LineSeg{{0, 20}, {0, 0}},   LineSeg{{8, 8}, {12, 8}},   LineSeg{{12, 8}, {12, 12}},
        LineSeg{{12, 12}, {8, 12}}, LineSeg{{8, 12}, {8, 8}},   LineSeg{{0, 0}, {8, 8}}};
    const Built b = build(curves);
    expectAreas(b, {400, 16});
    EXPECT_FALSE(usedAnywhere(b, 8));
}

TEST(RegionBuildBranches, ChordThroughCircleOfArcsGivesTwoHalves) {
    // Upper and lower half circles and the diameter, meeting at (-10, 0) and (10, 0).
    const std::vector<Curve> curves = {CircArc{{0, 0}, 10, 0, pi}, CircArc{{0, 0}, 10, pi, 2 * pi},
                                       LineSeg{{10, 0}, {-10, 0}}};
    expectAreas(build(curves), {50 * pi, 50 * pi});
}

TEST(RegionBuildBranches, TangentCurvesAtAJunctionAreOrderedByCurvature) {
    // At the origin a line and a quarter arc both leave along +X; the arc bends up. The arc
    // separates a quarter disc (centre (0, 5)) from the rest of a 10 x 5 rectangle.
    const std::vector<Curve> curves = {LineSeg{{0, 0}, {10, 0}}, LineSeg{{10, 0}, {10, 5}},
                                       LineSeg{{10, 5}, {5, 5}}, CircArc{{0, 5}, 5, -pi / 2, 0},
                                       LineSeg{{5, 5}, {0, 5}},  LineSeg{{0, 5}, {0, 0}}};
    expectAreas(build(curves), {25 * pi / 4, 50 - 25 * pi / 4});
}

TEST(RegionBuildBranches, BranchesOnlyWithoutLoopsGiveNoRegion) {
    // A "Y" of three lines.
    std::vector<Region> regions;
    EXPECT_EQ(
        regionsFromCurves(
            {LineSeg{{0, 0}, {1, 1}}, LineSeg{{0, 0}, {-1, 1}}, LineSeg{{0, 0}, {0, -1}}}, regions),
        Status::noRegion);
}

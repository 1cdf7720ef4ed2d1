#include "geom_test_util.h"
#include "zhost/geom/area_properties.h"
#include "zhost/geom/join.h"
#include "zhost/geom/regions.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace zhost;
using namespace zhost::geom;
using namespace geomtest;

namespace {
constexpr double pi = std::numbers::pi;

double areaOf(const Region& r) {
    double a = 0;
    EXPECT_OK(regionArea(r, a));
    return a;
}

std::vector<Curve> squareLines(double x0, double y0, double s) {
    std::vector<Curve> out;
    for (const Curve& c : rectLoop(x0, y0, s, s).edges)
        out.push_back(c);
    return out;
}
} // namespace

TEST(RegionBuild, ClosedCurvesAndClosedChainsBecomeRegions) {
    std::vector<Curve> curves = squareLines(0, 0, 10);
    curves.push_back(Circle{{50, 50}, 5});
    curves.push_back(LineSeg{{100, 0}, {110, 0}}); // dangling
    std::vector<Region> regions;
    std::vector<std::vector<std::size_t>> used;
    ASSERT_OK(regionsFromCurves(curves, regions, &used));
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_NEAR(areaOf(regions[0]), 25 * pi, 1e-9);
    EXPECT_NEAR(areaOf(regions[1]), 100, 1e-9);
    EXPECT_EQ(used[1].size(), 4u);
}

TEST(RegionBuild, ClockwiseChainIsOrientedCounterClockwise) {
    std::vector<Curve> curves = {LineSeg{{0, 0}, {0, 5}}, LineSeg{{5, 5}, {0, 5}},
                                 LineSeg{{5, 5}, {5, 0}}, LineSeg{{0, 0}, {5, 0}}};
    std::vector<Region> regions;
    ASSERT_OK(regionsFromCurves(curves, regions));
    ASSERT_EQ(regions.size(), 1u);
    const AreaProperties ap = areaProperties(regions[0], {}, Vector3d::xAxis(), Vector3d::yAxis());
    EXPECT_NEAR(ap.area, 25, 1e-12);
    EXPECT_NEAR(ap.centroid.x, 2.5, 1e-12);
}

TEST(RegionBuild, OpenCurvesGiveNoRegion) {
    std::vector<Region> regions;
    EXPECT_EQ(regionsFromCurves({LineSeg{{0, 0}, {1, 0}}, LineSeg{{1, 0}, {1, 1}}}, regions),
              Status::noRegion);
    EXPECT_EQ(regionsFromCurves({LineSeg{{0, 0}, {0, 0}}}, regions), Status::noRegion);
}

TEST(RegionBoolean, SubtractHolesFromPlate) {
    const Region plate = rectRegion(0, 0, 100, 50);
    std::vector<Region> holes;
    for (int i = 0; i < 4; ++i) {
        Region h;
        h.faces.push_back(Face{circleLoop(15 + 20 * i, 25, 5), {}});
        holes.push_back(h);
    }
    Region out;
    ASSERT_OK(subtract(plate, holes, out));
    EXPECT_NEAR(areaOf(out), 5000 - 4 * 25 * pi, 1e-6);
    ASSERT_EQ(out.faces.size(), 1u);
    EXPECT_EQ(out.faces[0].holes.size(), 4u);
}

TEST(RegionBoolean, UniteOverlappingSquaresMergesIntoOneFace) {
    Region out;
    ASSERT_OK(unite(rectRegion(0, 0, 10, 10), rectRegion(5, 5, 10, 10), out));
    EXPECT_NEAR(areaOf(out), 175, 1e-9);
    EXPECT_EQ(out.faces.size(), 1u);
}

TEST(RegionBoolean, SubtractIslandInsideHoleKeepsIsland) {
    Region hole = rectRegion(10, 10, 30, 30);
    Region island = rectRegion(20, 20, 10, 10);
    Region holeMinusIsland, out;
    ASSERT_OK(subtract(hole, island, holeMinusIsland));
    ASSERT_OK(subtract(rectRegion(0, 0, 50, 50), holeMinusIsland, out));
    EXPECT_NEAR(areaOf(out), 2500 - 900 + 100, 1e-9);
}

TEST(RegionClassify, InsideOnAndOutside) {
    Region r = rectRegion(0, 0, 10, 10);
    r.faces[0].holes.push_back(circleLoop(5, 5, 2));
    PointClass where;
    ASSERT_OK(classifyPoint(r, {1, 1}, where));
    EXPECT_EQ(where, PointClass::inside);
    classifyPoint(r, {5, 5}, where);
    EXPECT_EQ(where, PointClass::outside);
    classifyPoint(r, {10, 5}, where);
    EXPECT_EQ(where, PointClass::on);
    classifyPoint(r, {7, 5}, where, 1e-6);
    EXPECT_EQ(where, PointClass::on);
    classifyPoint(r, {20, 5}, where);
    EXPECT_EQ(where, PointClass::outside);
}

TEST(RegionAtPoint, SquareWithIslandCircleGivesHole) {
    std::vector<Curve> curves = squareLines(0, 0, 10);
    curves.push_back(Circle{{5, 5}, 2});
    Region r;
    ASSERT_OK(regionAtPoint(curves, {1, 1, 0}, r));
    EXPECT_NEAR(areaOf(r), 100 - 4 * pi, 1e-9);
    ASSERT_EQ(r.faces[0].holes.size(), 1u);
    // Inside the island the circle alone bounds the area.
    ASSERT_OK(regionAtPoint(curves, {5, 5, 0}, r));
    EXPECT_NEAR(areaOf(r), 4 * pi, 1e-9);
}

TEST(RegionAtPoint, CrossingAndOverhangingLinesSplitTheArea) {
    // Lines that run past the corners and a diagonal: the triangle around the point is found.
    std::vector<Curve> curves = {LineSeg{{-5, 0}, {15, 0}}, LineSeg{{10, -5}, {10, 15}},
                                 LineSeg{{15, 10}, {-5, 10}}, LineSeg{{0, 15}, {0, -5}},
                                 LineSeg{{-2, -2}, {12, 12}}};
    Region r;
    ASSERT_OK(regionAtPoint(curves, {7, 2, 0}, r));
    EXPECT_NEAR(areaOf(r), 50, 1e-9);
    ASSERT_OK(regionAtPoint(curves, {2, 7, 0}, r));
    EXPECT_NEAR(areaOf(r), 50, 1e-9);
}

TEST(RegionAtPoint, TJunctionAndDanglingLineAreHandled) {
    std::vector<Curve> curves = squareLines(0, 0, 10);
    curves.push_back(LineSeg{{5, 0}, {5, 10}}); // T at both ends: splits the square
    curves.push_back(LineSeg{{1, 5}, {3, 5}});  // floating inside the left half
    curves.push_back(LineSeg{{10, 5}, {8, 5}}); // dangling from the right side
    Region r;
    ASSERT_OK(regionAtPoint(curves, {2, 2, 0}, r));
    EXPECT_NEAR(areaOf(r), 50, 1e-9);
    EXPECT_TRUE(r.faces[0].holes.empty());
    ASSERT_OK(regionAtPoint(curves, {7, 2, 0}, r));
    EXPECT_NEAR(areaOf(r), 50, 1e-9);
}

TEST(RegionAtPoint, ArcsAndIslandTouchingByBridge) {
    // A circle of radius 10 cut by a chord; a square island connected to the chord by a line.
    std::vector<Curve> curves = {Circle{{0, 0}, 10}, LineSeg{{-10, 0}, {10, 0}}};
    for (const Curve& c : squareLines(-1, 4, 2))
        curves.push_back(c);
    curves.push_back(LineSeg{{0, 0}, {0, 4}});
    Region r;
    ASSERT_OK(regionAtPoint(curves, {5, 3, 0}, r));
    EXPECT_NEAR(areaOf(r), 50 * pi - 4, 1e-9);
    std::vector<Region> separate;
    ASSERT_OK(boundaryRegionsAtPoint(curves, {5, 3, 0}, separate));
    ASSERT_EQ(separate.size(), 2u);
    EXPECT_NEAR(areaOf(separate[0]), 50 * pi, 1e-9);
    EXPECT_NEAR(areaOf(separate[1]), 4, 1e-9);
}

TEST(RegionAtPoint, PointOnCurveOrOutsideGivesNoRegion) {
    const std::vector<Curve> curves = squareLines(0, 0, 10);
    Region r;
    EXPECT_EQ(regionAtPoint(curves, {10, 5, 0}, r), Status::noRegion);
    EXPECT_EQ(regionAtPoint(curves, {20, 5, 0}, r), Status::noRegion);
    EXPECT_EQ(regionAtPoint({}, {0, 0, 0}, r), Status::noRegion);
}

TEST(JoinCurves, GapWithinFuzzJoinsAndWiderGapDoesNot) {
    auto square = [](double gap) {
        return std::vector<Curve>{LineSeg{{0, 0}, {10, 0}}, LineSeg{{10, gap}, {10, 10}},
                                  LineSeg{{10, 10}, {0, 10}}, LineSeg{{0, 10}, {0, 0}}};
    };
    EXPECT_TRUE(joinCurves(square(0.0019), 0.002).singleClosedLoop);
    EXPECT_FALSE(joinCurves(square(0.003), 0.002).singleClosedLoop);
    const JoinResult open = joinCurves(square(0.003), 0.002);
    ASSERT_EQ(open.chains.size(), 1u);
    EXPECT_FALSE(open.chains[0].closed);
    EXPECT_EQ(open.chains[0].curves.size(), 4u);
}

TEST(JoinCurves, TwoLoopsAreNotOneAndReversedPiecesAreFlipped) {
    std::vector<Curve> two = squareLines(0, 0, 1);
    for (const Curve& c : squareLines(5, 5, 1))
        two.push_back(c);
    const JoinResult r = joinCurves(two, 0.002);
    EXPECT_FALSE(r.singleClosedLoop);
    EXPECT_EQ(r.chains.size(), 2u);
    const JoinResult flipped = joinCurves(
        {LineSeg{{0, 0}, {1, 0}}, LineSeg{{0, 1}, {1, 0}}, LineSeg{{0, 1}, {0, 0}}}, 1e-9);
    ASSERT_TRUE(flipped.singleClosedLoop);
    EXPECT_TRUE(flipped.chains[0].reversedSources[1]);
}

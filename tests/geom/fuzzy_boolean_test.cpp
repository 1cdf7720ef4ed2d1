// Booleans with a fuzzy value: boundaries closer than the fuzz count as one, farther ones stay
// apart.
#include "geom_test_util.h"
#include "zhost/geom/area_properties.h"
#include "zhost/geom/regions.h"

#include "support/status.h"

#include <gtest/gtest.h>

using namespace zhost;
using namespace zhost::geom;
using namespace geomtest;

namespace {

AreaProperties props(const Region& r) {
    return areaProperties(r, {}, Vector3d::xAxis(), Vector3d::yAxis());
}

} // namespace

TEST(RegionFuzzyBoolean, SquaresAGapApartUniteOnlyWithinTheFuzz) {
    // Two 10 x 10 squares whose facing edges are 1e-4 apart.
    const Region left = rectRegion(0, 0, 10, 10), right = rectRegion(10 + 1e-4, 0, 10, 10);
    Region apart;
    ASSERT_OK(unite(left, right, apart));
    EXPECT_EQ(apart.faces.size(), 2u);
    EXPECT_NEAR(props(apart).perimeter, 80, 1e-9);

    Region merged;
    ASSERT_OK(unite(left, right, merged, 1e-3));
    ASSERT_EQ(merged.faces.size(), 1u);
    EXPECT_TRUE(merged.faces[0].holes.empty());
    const AreaProperties ap = props(merged);
    ASSERT_OK(ap.status);
    // The gap is closed by moving boundaries at most the fuzz: area and outline change by that.
    EXPECT_NEAR(ap.area, 200, 20 * 1e-3);
    EXPECT_NEAR(ap.perimeter, 60, 4 * 1e-3);
    EXPECT_NEAR(ap.centroid.x, 10, 1e-3);
    EXPECT_NEAR(ap.centroid.y, 5, 1e-3);
}

TEST(RegionFuzzyBoolean, FuzzSmallerThanTheGapKeepsFacesApart) {
    Region out;
    ASSERT_OK(unite(rectRegion(0, 0, 10, 10), rectRegion(10 + 1e-2, 0, 10, 10), out, 1e-3));
    EXPECT_EQ(out.faces.size(), 2u);
}

TEST(RegionFuzzyBoolean, SubtractionLeavesNoSliverWithinTheFuzz) {
    // The tool stops 1e-4 short of the plate's right edge: exactly computed that leaves a sliver
    // face 1e-4 wide; with fuzz the edges coincide and only the left part remains.
    const Region plate = rectRegion(0, 0, 10, 10);
    const Region tool = rectRegion(5, -5, 5 - 1e-4, 20);
    Region exact;
    ASSERT_OK(subtract(plate, tool, exact));
    EXPECT_EQ(exact.faces.size(), 2u);
    EXPECT_NEAR(props(exact).area, 50 + 1e-3, 1e-9);

    Region fuzzy;
    ASSERT_OK(subtract(plate, tool, fuzzy, 1e-3));
    ASSERT_EQ(fuzzy.faces.size(), 1u);
    const AreaProperties ap = props(fuzzy);
    EXPECT_NEAR(ap.area, 50, 1e-2);
    EXPECT_NEAR(ap.extentsHigh.x, 5, 1e-3);
}

TEST(RegionFuzzyBoolean, NearlyTouchingHoleMergesWithTheOutline) {
    // A hole 1e-4 inside the plate's edge: with fuzz it opens the outline into a notch instead
    // of leaving a hole behind a wall thinner than the fuzz.
    const Region plate = rectRegion(0, 0, 10, 10);
    const Region notch = rectRegion(4, 1e-4, 2, 3);
    Region exact, fuzzy;
    ASSERT_OK(subtract(plate, notch, exact));
    ASSERT_EQ(exact.faces.size(), 1u);
    EXPECT_EQ(exact.faces[0].holes.size(), 1u);
    ASSERT_OK(subtract(plate, notch, fuzzy, 1e-3));
    ASSERT_EQ(fuzzy.faces.size(), 1u);
    EXPECT_TRUE(fuzzy.faces[0].holes.empty());
    EXPECT_NEAR(props(fuzzy).area, 94, 1e-2);
}

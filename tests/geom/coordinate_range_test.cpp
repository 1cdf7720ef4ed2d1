// Far from the origin: coordinates up to 1e15 are computed, beyond that refused with outOfRange,
// and no computation turns a huge or non-finite value into a wrong result.
#include "geom_test_util.h"
#include "zhost/geom/coordinate_range.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/join.h"
#include "zhost/geom/regions.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zhost;
using namespace zhost::geom;

namespace {

// A closed square of lines with its lower left corner at (x, y).
std::vector<Curve> squareAt(double x, double y, double side) {
    const Point3d a(x, y), b(x + side, y), c(x + side, y + side), d(x, y + side);
    return {LineSeg{a, b}, LineSeg{b, c}, LineSeg{c, d}, LineSeg{d, a}};
}

} // namespace

TEST(CoordinateRange, RegionsFarFromTheOriginUpToTheLimit) {
    for (const double at : {1e14, 4e14, 1e15 - 64}) {
        SCOPED_TRACE(at);
        std::vector<Region> regions;
        // 8 units is well above a double's spacing there (0.125 at 1e15).
        ASSERT_OK(regionsFromCurves(squareAt(at, -at, 8), regions, nullptr, 1e-6));
        ASSERT_EQ(regions.size(), 1u);
        double area = 0;
        ASSERT_OK(regionArea(regions[0], area));
        EXPECT_NEAR(area, 64, 1e-6);
    }
}

TEST(CoordinateRange, BeyondTheLimitIsRefusedNotComputed) {
    std::vector<Region> regions;
    std::vector<std::vector<std::size_t>> used;
    EXPECT_EQ(regionsFromCurves(squareAt(2e15, 0, 8), regions, &used), Status::outOfRange);
    EXPECT_TRUE(regions.empty());
    EXPECT_TRUE(used.empty());
    // One far curve among near ones spoils the whole set: its neighbours' ends cannot be trusted.
    std::vector<Curve> mixed = squareAt(0, 0, 1);
    mixed.push_back(LineSeg{{0, 0}, {1e300, 0}});
    EXPECT_EQ(regionsFromCurves(mixed, regions), Status::outOfRange);
    EXPECT_EQ(joinCurves(mixed, 0.01).status, Status::outOfRange);
    EXPECT_EQ(checkCoordinateRange(LineSeg{{0, 0}, {0, -1.5e15}}), Status::outOfRange);
    EXPECT_OK(checkCoordinateRange(Circle{{1e15 - 10, 0}, 10.0}));
}

TEST(CoordinateRange, OffsetsNeverLeaveTheRange) {
    const Curve line = LineSeg{{0, 0}, {10, 0}};
    Curve out = line;
    EXPECT_EQ(offset(line, 1e300, out), Status::outOfRange);
    EXPECT_EQ(offset(line, std::numeric_limits<double>::infinity(), out), Status::invalidInput);
    // The output is untouched by a refused offset.
    EXPECT_NEAR(std::get<LineSeg>(out).end.x, 10, 0);
    std::vector<Curve> both;
    EXPECT_EQ(offsetBothSides(Circle{{0, 0}, 10.0}, 2e15, both), Status::outOfRange);
    EXPECT_TRUE(both.empty());
    EXPECT_EQ(offset(Circle{{0, 0}, 10.0}, 2e15, out), Status::outOfRange);
    ASSERT_OK(offset(Circle{{0, 0}, 10.0}, 5e14, out));
    EXPECT_NEAR(std::get<Circle>(out).radius, 5e14 + 10, 1);
}

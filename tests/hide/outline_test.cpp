// A part's outline region: closed loops united, hole-marked loops taken out, and a covering
// part's outline placed by its reference.
#include "HideTestUtil.h"

#include "hide/EntityOps.h"
#include "hide/OutlineRegion.h"

#include "zhost/geom/regions.h"

#include <cmath>
#include <numbers>

using namespace hidetest;

namespace {

constexpr double kPi = std::numbers::pi;

class OutlineRegionTest : public DrawingTest {
protected:
    static double Area(const db::Region& r) {
        double a = -1;
        EXPECT_OK(geom::regionArea(r.geometry(), a));
        return a;
    }
    static int HoleCount(const db::Region& r) {
        int n = 0;
        for (const geom::Face& f : r.geometry().faces)
            n += int(f.holes.size());
        return n;
    }
    static geom::PointClass Where(const db::Region& r, double x, double y) {
        geom::PointClass c = geom::PointClass::outside;
        EXPECT_OK(geom::classifyPoint(r.geometry(), geom::Point3d(x, y), c));
        return c;
    }
};

} // namespace

TEST_F(OutlineRegionTest, AHoleMarkedCircleBecomesAHoleOfTheOutline) {
    const db::ObjectId part = Block(L"PLATE");
    std::vector<db::ObjectId> curves = Square(part, 0, 0, 40);
    const db::ObjectId hole = Circle(part, 20, 20, 5);
    MarkHole(hole);
    curves.push_back(hole);

    const auto outline = BuildOutlineRegion(curves);
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(HoleCount(*outline), 1);
    EXPECT_NEAR(Area(*outline), 1600 - kPi * 25, 1e-6);
    EXPECT_EQ(Where(*outline, 20, 20), geom::PointClass::outside);
    EXPECT_EQ(Where(*outline, 2, 2), geom::PointClass::inside);

    const auto holes = BuildHoleRegion(curves);
    ASSERT_NE(holes, nullptr);
    EXPECT_NEAR(Area(*holes), kPi * 25, 1e-6);
}

TEST_F(OutlineRegionTest, HoleMarkedCirclesOutsideOrAcrossTheEdgeOnlyTakeMaterialAway) {
    const db::ObjectId part = Block(L"PLATE");
    std::vector<db::ObjectId> curves = Square(part, 0, 0, 40);
    const db::ObjectId outside = Circle(part, 100, 100, 5);
    const db::ObjectId across = Circle(part, 40, 20, 5); // half of it over the right edge
    MarkHole(outside);
    MarkHole(across);
    curves.push_back(outside);
    curves.push_back(across);

    const auto outline = BuildOutlineRegion(curves);
    ASSERT_NE(outline, nullptr);
    EXPECT_NEAR(Area(*outline), 1600 - kPi * 25 / 2, 1e-6);
    EXPECT_EQ(Where(*outline, 100, 100), geom::PointClass::outside);
    EXPECT_EQ(Where(*outline, 43, 20), geom::PointClass::outside);
    EXPECT_EQ(Where(*outline, 37, 20), geom::PointClass::outside);
    EXPECT_EQ(Where(*outline, 30, 20), geom::PointClass::inside);
}

TEST_F(OutlineRegionTest, OnlyHoleMarkedLoopsGiveNoOutline) {
    const db::ObjectId part = Block(L"WASHER");
    const db::ObjectId ring = Circle(part, 0, 0, 10);
    MarkHole(ring);
    EXPECT_EQ(BuildOutlineRegion({ring}), nullptr);
}

TEST_F(OutlineRegionTest, AnUnmarkedCircleInsideIsCoveredMaterial) {
    const db::ObjectId part = Block(L"PLATE");
    std::vector<db::ObjectId> curves = Square(part, 0, 0, 40);
    curves.push_back(Circle(part, 20, 20, 5));
    EXPECT_EQ(BuildHoleRegion(curves), nullptr);
    const auto outline = BuildOutlineRegion(curves);
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(HoleCount(*outline), 0);
    EXPECT_NEAR(Area(*outline), 1600, 1e-6);
}

TEST_F(OutlineRegionTest, SeparateLoopsAreUnitedAndHolesFromSeveralCurvesCount) {
    const db::ObjectId part = Block(L"TWO");
    std::vector<db::ObjectId> curves = Square(part, 0, 0, 10);
    for (db::ObjectId id : Square(part, 5, 5, 10)) // overlapping by 5 x 5
        curves.push_back(id);
    // A square hole of four marked lines inside the first square.
    for (db::ObjectId id : Square(part, 1, 1, 2)) {
        MarkHole(id, 3);
        curves.push_back(id);
    }
    const auto outline = BuildOutlineRegion(curves);
    ASSERT_NE(outline, nullptr);
    EXPECT_NEAR(Area(*outline), 100 + 100 - 25 - 4, 1e-6);
    EXPECT_EQ(Where(*outline, 2, 2), geom::PointClass::outside);
    EXPECT_EQ(Where(*outline, 12, 12), geom::PointClass::inside);
}

TEST_F(OutlineRegionTest, OpenLinesGiveNoOutline) {
    const db::ObjectId part = Block(L"OPEN");
    const std::vector<db::ObjectId> curves = {Line(part, 0, 0, 10, 0), Line(part, 10, 0, 10, 10),
                                              Line(part, 10, 10, 0, 10)};
    EXPECT_EQ(BuildOutlineRegion(curves), nullptr);
    EXPECT_EQ(BuildOutlineRegion({}), nullptr);
    // Ids that cannot be opened are passed over.
    EXPECT_EQ(BuildOutlineRegion({db::ObjectId::null(), Db().layerZeroId()}), nullptr);
}

TEST_F(OutlineRegionTest, ClockwiseAndCounterClockwiseLoopsCombine) {
    // A mirrored part draws its arcs about the other normal; the hole must still come out.
    const db::ObjectId part = Block(L"MIRRORED");
    std::vector<db::ObjectId> curves = Square(part, 0, 0, 40);
    auto c = std::make_unique<db::Circle>(geom::Point3d(20, 20, 0), 5.0);
    c->setNormal(geom::Vector3d(0, 0, -1));
    const db::ObjectId hole = Add(part, std::move(c));
    MarkHole(hole);
    curves.push_back(hole);
    const auto outline = BuildOutlineRegion(curves);
    ASSERT_NE(outline, nullptr);
    EXPECT_NEAR(Area(*outline), 1600 - kPi * 25, 1e-6);
}

TEST_F(OutlineRegionTest, CoverOutlineFollowsTheReferenceAndLeavesNoPieces) {
    const db::ObjectId washer = Block(L"WASHER");
    Circle(washer, 0, 0, 3);
    const db::ObjectId hiddenWasher = Block(L"HIDDEN");
    Square(hiddenWasher, -50, -50, 100); // would cover everything if it counted
    const db::ObjectId cover = Block(L"COVER");
    Square(cover, 0, 0, 20);
    Line(cover, -100, 10, 100, 10, L"AM_7"); // centre line, not part of the outline
    MarkHole(Circle(cover, 10, 10, 2));
    Ref(cover, washer, 30, 10);                     // a second loop beside the square
    Ref(cover, hiddenWasher, 0, 0, nullptr, false); // invisible: not in the outline
    const db::ObjectId ref = Ref(Db().modelSpaceId(), cover, 100, 200);
    {
        db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forWrite);
        r->setScaleFactors(geom::Vector3d(2, 2, 2));
    }

    const db::ObjectId regionId = BuildCoverOutline(ref);
    ASSERT_FALSE(regionId.isNull());
    const std::vector<db::ObjectId> ms = Entities(Db().modelSpaceId());
    ASSERT_EQ(ms.size(), 2u); // the cover's reference and the outline: no leftover pieces
    db::ObjectPtr<db::Region> region(regionId, db::OpenMode::forRead);
    ASSERT_TRUE(region);
    EXPECT_NEAR(Area(*region), 4 * (400 - kPi * 4 + kPi * 9), 1e-6);
    EXPECT_EQ(Where(*region, 120, 220), geom::PointClass::outside); // the hole
    EXPECT_EQ(Where(*region, 102, 202), geom::PointClass::inside);
    EXPECT_EQ(Where(*region, 160, 220), geom::PointClass::inside); // the washer at 2 x (30, 10)
    EXPECT_EQ(Where(*region, 10, 10), geom::PointClass::outside);
}

TEST_F(OutlineRegionTest, CoverWithoutClosedLoopsOrReferenceGivesNothing) {
    const db::ObjectId cover = Block(L"SKETCH");
    Line(cover, 0, 0, 10, 0);
    const db::ObjectId ref = Ref(Db().modelSpaceId(), cover, 0, 0);
    EXPECT_TRUE(BuildCoverOutline(ref).isNull());
    EXPECT_TRUE(BuildCoverOutline(db::ObjectId::null()).isNull());
    EXPECT_EQ(Entities(Db().modelSpaceId()).size(), 1u);
}

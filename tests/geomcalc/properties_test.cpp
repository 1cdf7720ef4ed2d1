// Regions built from picked curves and measured: every number against its closed form.
#include "ClosedForms.h"
#include "GeomCalcTestUtil.h"

#include "support/status.h"

#include "geomcalc/GeomCalcEntities.h"
#include "geomcalc/RegionBuild.h"
#include "geomcalc/RegionProperties.h"

#include "zhost/dxf/dxf.h"
#include "zhost/editor/ucs.h"

#include <gtest/gtest.h>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

void ExpectRel(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::abs(expected))) << what;
}

class RegionPropertiesTest : public GeomCalcTest {
protected:
    // A 100 x 60 plate at (10, 20) with corners rounded to 8: lines and arcs.
    std::vector<db::ObjectId> DrawPlate() {
        const double x0 = 10, y0 = 20, x1 = 110, y1 = 80, r = 8;
        return {AddLine(x0 + r, y0, x1 - r, y0), AddArc(x1 - r, y0 + r, r, 270, 360),
                AddLine(x1, y0 + r, x1, y1 - r), AddArc(x1 - r, y1 - r, r, 0, 90),
                AddLine(x1 - r, y1, x0 + r, y1), AddArc(x0 + r, y1 - r, r, 90, 180),
                AddLine(x0, y1 - r, x0, y0 + r), AddArc(x0 + r, y0 + r, r, 180, 270)};
    }
    static ShapeMoments Plate() { return RoundedRectMoments(10, 20, 110, 80, 8); }
    static double PlatePerimeter() { return 2 * (100 - 16) + 2 * (60 - 16) + 2 * kPi * 8; }

    void ExpectMatches(const RegionProperties& p, const ShapeMoments& m, double perimeter,
                       const CGeomCalcContext& ctx) {
        ASSERT_TRUE(p.valid);
        ExpectRel(p.area, m.a, "area");
        ExpectRel(p.perimeter, perimeter, "perimeter");
        ExpectRel(p.centroidWcs.x, m.cx(), "cx");
        ExpectRel(p.centroidWcs.y, m.cy(), "cy");
        ExpectRel(p.momentCentroid[0], m.IxCentroid(), "Ix centroid");
        ExpectRel(p.momentCentroid[1], m.IyCentroid(), "Iy centroid");
        ExpectRel(p.momentRef[0], m.IxAbout(ctx.refPointWcs.y), "Ix ref");
        ExpectRel(p.momentRef[1], m.IyAbout(ctx.refPointWcs.x), "Iy ref");
        ExpectRel(p.centroidRelUcs.x, m.cx() - ctx.refPointUcs.x, "rel x");
        ExpectRel(p.centroidRelUcs.y, m.cy() - ctx.refPointUcs.y, "rel y");
    }
};

TEST_F(RegionPropertiesTest, FilletedPlateWithHoleMatchesClosedForm) {
    const auto plate = DrawPlate();
    const db::ObjectId hole = AddCircle(40, 50, 12);
    CGeomCalcContext ctx;
    ctx.refPointWcs = ctx.refPointUcs = {5, -3, 0};
    ctx.axisStart = {0, 0, 0};
    ctx.axisEnd = {100, 0, 0}; // the X axis
    ctx.specificGravity = 7.85;

    const db::ObjectId outer = BuildRegion(plate);
    const db::ObjectId holeRegion = BuildRegion({hole});
    ASSERT_FALSE(outer.isNull());
    ASSERT_FALSE(holeRegion.isNull());
    ComputeRecords(outer, {holeRegion}, ctx);
    ASSERT_EQ(ctx.results.size(), 2u);

    const ShapeMoments full = Plate();
    ExpectMatches(ctx.results[0], full, PlatePerimeter(), ctx);
    const ShapeMoments holed = full - DiscMoments(40, 50, 12);
    ExpectMatches(ctx.results[1], holed, PlatePerimeter() + 2 * kPi * 12, ctx);
    // Pappus: the centroid travels 2π·y about the X axis.
    ExpectRel(ctx.results[1].volume, 2 * kPi * holed.cy() * holed.a, "volume");
    ExpectRel(ctx.results[1].weight, ctx.results[1].volume * 7.85 / 1000, "weight");
    // The hole region was consumed; the plate's curves are kept.
    EXPECT_TRUE(holeRegion.isErased());
    for (db::ObjectId id : plate)
        EXPECT_FALSE(id.isErased());
}

TEST_F(RegionPropertiesTest, SymmetricSectionReportsIxThenIy) {
    // An upright 20 x 60 rectangle: Ix = b h³/12 is the larger one and comes first.
    const std::vector<db::ObjectId> rect = {AddLine(0, 0, 20, 0), AddLine(20, 0, 20, 60),
                                            AddLine(20, 60, 0, 60), AddLine(0, 60, 0, 0)};
    CGeomCalcContext ctx;
    const RegionProperties p = ComputeRegionProperties(BuildRegion(rect), ctx);
    ASSERT_TRUE(p.valid);
    ExpectRel(p.momentCentroid[0], 20.0 * 60 * 60 * 60 / 12, "Ix");
    ExpectRel(p.momentCentroid[1], 60.0 * 20 * 20 * 20 / 12, "Iy");
}

TEST_F(RegionPropertiesTest, AxisThroughCentroidGivesNoVolume) {
    CGeomCalcContext ctx;
    ctx.axisStart = {60, -100, 0};
    ctx.axisEnd = {60, 300, 0}; // vertical through the plate's centre
    ctx.specificGravity = 7.85;
    const RegionProperties p = ComputeRegionProperties(BuildRegion(DrawPlate()), ctx);
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.volume, 0, 1e-9);
    EXPECT_NEAR(p.weight, 0, 1e-9);
}

TEST_F(RegionPropertiesTest, WeightIsVolumeTimesGravityPerThousand) {
    // A 1 x 1 square whose centroid lies 1/(2π) from the axis revolves into 1 mm3... times 1000.
    const double d = 1000.0 / (2 * kPi);
    const std::vector<db::ObjectId> sq = {
        AddLine(0, d - 0.5, 1, d - 0.5), AddLine(1, d - 0.5, 1, d + 0.5),
        AddLine(1, d + 0.5, 0, d + 0.5), AddLine(0, d + 0.5, 0, d - 0.5)};
    CGeomCalcContext ctx;
    ctx.axisEnd = {1, 0, 0};
    ctx.specificGravity = 7.85;
    const RegionProperties p = ComputeRegionProperties(BuildRegion(sq), ctx);
    ExpectRel(p.volume, 1000, "volume");
    ExpectRel(p.weight, 7.85, "weight");
}

TEST_F(RegionPropertiesTest, CentroidInRotatedUcs) {
    zhost::ed::Ucs ucs;
    ucs.origin = {100, 0, 0};
    ucs.xAxis = {0, 1, 0};
    ucs.yAxis = {-1, 0, 0};
    ASSERT_EQ(zhost::ed::setCurrentUcs(ucs), zhost::ed::Result::normal);
    CGeomCalcContext ctx;
    ctx.refPointUcs = {1, 2, 0};
    ctx.refPointWcs = zhost::ed::ucsToWcs(ctx.refPointUcs);
    const RegionProperties p = ComputeRegionProperties(BuildRegion(DrawPlate()), ctx);
    ASSERT_TRUE(p.valid);
    const ShapeMoments m = Plate();
    // World (60, 50) is UCS (50, 40).
    ExpectRel(p.centroidUcs.x, m.cy(), "ucs x");
    ExpectRel(p.centroidUcs.y, 100 - m.cx(), "ucs y");
    ExpectRel(p.centroidRelUcs.x, m.cy() - 1, "rel x");
    ExpectRel(p.centroidRelUcs.y, 100 - m.cx() - 2, "rel y");
    zhost::ed::setCurrentUcs(zhost::ed::Ucs());
}

TEST_F(RegionPropertiesTest, DistanceToAxisIsToTheUnboundedLine) {
    EXPECT_DOUBLE_EQ(DistanceToAxis({5, 3, 0}, {0, 0, 0}, {1, 0, 0}), 3);
    EXPECT_DOUBLE_EQ(DistanceToAxis({-50, 3, 0}, {0, 0, 0}, {1, 0, 0}), 3);
    EXPECT_DOUBLE_EQ(DistanceToAxis({3, 4, 0}, {0, 0, 0}, {0, 0, 0}), 5);
}

class HoleGroupsTest : public RegionPropertiesTest {};

TEST_F(HoleGroupsTest, IslandInOneGroupVersusTwoGroups) {
    const auto plate = DrawPlate();
    const db::ObjectId big = AddCircle(50, 50, 20);
    const db::ObjectId island = AddCircle(50, 50, 10);
    const ShapeMoments full = Plate();
    {
        CGeomCalcContext ctx;
        ComputeRecords(BuildRegion(plate), {BuildRegion({big}), BuildRegion({island})}, ctx);
        ASSERT_EQ(ctx.results.size(), 2u);
        // One group: the hole minus its island.
        ExpectRel(ctx.results[1].area, full.a - (kPi * 400 - kPi * 100), "hole with island");
    }
    {
        CGeomCalcContext ctx;
        ComputeRecords(BuildRegion(plate),
                       {BuildRegion({big}), db::ObjectId::null(), BuildRegion({island})}, ctx);
        ASSERT_EQ(ctx.results.size(), 2u);
        // Two groups: each taken off on its own; the island lies inside the hole already.
        ExpectRel(ctx.results[1].area, full.a - kPi * 400, "two groups");
    }
}

TEST_F(HoleGroupsTest, GroupsSplitAtNullEntries) {
    const db::ObjectId a = AddCircle(0, 0, 1), b = AddCircle(5, 0, 1), c = AddCircle(9, 0, 1);
    const auto groups = HoleGroups({db::ObjectId(), a, b, db::ObjectId(), db::ObjectId(), c});
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0], (std::vector<db::ObjectId>{a, b}));
    EXPECT_EQ(groups[1], (std::vector<db::ObjectId>{c}));
    EXPECT_TRUE(HoleGroups({db::ObjectId()}).empty());
}

TEST_F(HoleGroupsTest, FailedSubtractionKeepsTheFirstRecord) {
    // A hole in another plane cannot be taken off the plate.
    const auto plate = DrawPlate();
    const db::ObjectId tilted =
        Add(std::make_unique<db::Circle>(geom::Point3d(50, 50, 0), 5, geom::Vector3d(1, 0, 0)));
    CGeomCalcContext ctx;
    const db::ObjectId holeRegion = BuildRegion({tilted});
    ASSERT_FALSE(holeRegion.isNull());
    ComputeRecords(BuildRegion(plate), {holeRegion}, ctx);
    EXPECT_EQ(ctx.results.size(), 1u);
    EXPECT_NE(Transcript().find(L"中抜き領域の取得に失敗しました。"), std::wstring::npos);
}

TEST_F(RegionPropertiesTest, BoundaryAtPointTakesTheLargestRegion) {
    DrawPlate();
    AddCircle(40, 50, 12);
    const size_t before = EntityCount();
    const BoundaryCurveSet set = BoundaryAtPoint({90, 50, 0});
    ASSERT_FALSE(set.empty());
    // Only the outer loop's pieces were added; the boundary's regions are gone.
    EXPECT_EQ(EntityCount(), before + set.size());
    EXPECT_TRUE(EntitiesOf<db::Region>().empty());
    CGeomCalcContext ctx;
    const db::ObjectId region = BuildRegion(set);
    const RegionProperties p = ComputeRegionProperties(region, ctx);
    ExpectRel(p.area, Plate().a, "outer loop only");
}

TEST_F(RegionPropertiesTest, BoundaryAtPointOutsideEverythingIsEmpty) {
    DrawPlate();
    const size_t before = EntityCount();
    EXPECT_TRUE(BoundaryAtPoint({500, 500, 0}).empty());
    EXPECT_EQ(EntityCount(), before);
}

TEST_F(RegionPropertiesTest, OpenCurvesBuildNoRegion) {
    const std::vector<db::ObjectId> open = {AddLine(0, 0, 10, 0), AddLine(10, 0, 10, 10)};
    const size_t before = EntityCount();
    EXPECT_TRUE(BuildRegion(open).isNull());
    EXPECT_TRUE(BuildRegion({}).isNull());
    EXPECT_TRUE(BuildRegion({db::ObjectId()}).isNull());
    EXPECT_EQ(EntityCount(), before);
}

// The demo's half section of a flanged shaft: concave fillets make the boundary's region face
// the other way than the holes' regions, and the holes must still come off.
TEST_F(HoleGroupsTest, ShaftSectionWithConcaveFilletsAndPinnedBore) {
    zhost::dxf::ReadReport report;
    ASSERT_OK(
        zhost::dxf::readDxf(ZORMA_SOURCE_DIR "/samples/drawings/geomcalc_shaft.dxf", Db(), report));
    auto spandrel = [](double x0, double y0, double cx, double cy, double r, int qx, int qy) {
        return RectMoments(x0, y0, x0 + r, y0 + r) - QuarterDiscMoments(cx, cy, r, qx, qy);
    };
    const ShapeMoments section =
        RectMoments(0, 8, 80, 15) + RectMoments(80, 8, 100, 45) + RectMoments(100, 8, 120, 20) +
        spandrel(75, 15, 75, 20, 5, 1, -1) + spandrel(100, 20, 105, 25, 5, -1, -1) -
        spandrel(97, 42, 97, 42, 3, 1, 1) - spandrel(80, 42, 83, 42, 3, -1, 1);
    const ShapeMoments holed = section - DiscMoments(90, 33, 6) + DiscMoments(90, 33, 2.5);
    CGeomCalcContext ctx;
    ctx.axisEnd = {1, 0, 0};
    const db::ObjectId outer = BuildRegion(BoundaryAtPoint({40, 11, 0}));
    const db::ObjectId bore = BuildRegion(BoundaryAtPoint({90, 37.5, 0}));
    const db::ObjectId pin = BuildRegion(BoundaryAtPoint({90, 33, 0}));
    ComputeRecords(outer, {bore, pin}, ctx);
    ASSERT_EQ(ctx.results.size(), 2u) << zhost::toUtf8(Transcript());
    ExpectRel(ctx.results[0].area, section.a, "section");
    ExpectRel(ctx.results[0].perimeter, 282 + 8 * kPi, "perimeter");
    ExpectRel(ctx.results[1].area, holed.a, "with the pinned bore");
    ExpectRel(ctx.results[1].centroidWcs.x, holed.cx(), "cx");
    ExpectRel(ctx.results[1].centroidWcs.y, holed.cy(), "cy");
    ExpectRel(ctx.results[1].momentRef[0], holed.ixx, "Ix about the origin");
    ExpectRel(ctx.results[1].momentRef[1], holed.iyy, "Iy about the origin");
    ExpectRel(ctx.results[1].volume, 2 * kPi * holed.sy, "volume about the axis");
}

} // namespace

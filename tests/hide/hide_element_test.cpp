// Hidden-line treatment of one part: the variant's name and contents, where curves are cut,
// which pieces count as covered, what they are given, and the parts that are left alone.
#include "HideTestUtil.h"

#include "hide/CoverOutline.h"
#include "hide/EntityOps.h"
#include "hide/HiddenVariant.h"
#include "hide/HideElement.h"
#include "hide/LayerInfor.h"

#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace hidetest;

namespace {

constexpr double kPi = std::numbers::pi;

class HideElementTest : public DrawingTest {
protected:
    // A 40 x 40 plate (four lines) placed at (100, 100), and a bolt block: one line from
    // (-10, 20) to (50, 20) in its own coordinates, on layer AM_0.
    void SetUp() override {
        DrawingTest::SetUp();
        m_plate = Block(L"PLATE");
        Square(m_plate, 0, 0, 40, L"AM_0");
        m_bolt = Block(L"BOLT");
        Line(m_bolt, -10, 20, 50, 20, L"AM_0");
        m_cover = Ref(Db().modelSpaceId(), m_plate, 100, 100);
    }

    bool Hide(db::ObjectId target, const CSettingProperty& p = CSettingProperty()) {
        geom::Region outline;
        if (!GetCoverOutline(m_cover, outline))
            return false;
        return HideElement(m_cover, outline, target, p);
    }

    db::ObjectId BlockNamed(const wchar_t* name) {
        db::ObjectId id;
        Db().getBlockId(name, id);
        return id;
    }
    // The model-space references, with the names of their blocks.
    std::vector<std::wstring> ModelSpaceBlocks() {
        std::vector<std::wstring> names;
        for (db::ObjectId id : Entities(Db().modelSpaceId())) {
            db::ObjectPtr<db::BlockReference> r(id, db::OpenMode::forRead);
            if (r)
                names.push_back(r->blockName());
        }
        return names;
    }
    // The variant's lines as (start x, end x, layer), sorted by start.
    struct Piece {
        double x0, x1;
        std::wstring layer;
    };
    std::vector<Piece> LinesOf(db::ObjectId block) {
        std::vector<Piece> out;
        for (db::ObjectId id : Entities(block)) {
            db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead);
            if (l)
                out.push_back({std::min(l->startPoint().x, l->endPoint().x),
                               std::max(l->startPoint().x, l->endPoint().x), l->layer()});
        }
        std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.x0 < b.x0; });
        return out;
    }
    db::ObjectPtr<db::LayerTableRecord> LayerRecord(const wchar_t* name) {
        db::ObjectId id;
        Db().getLayerId(name, id);
        return db::ObjectPtr<db::LayerTableRecord>(id, db::OpenMode::forRead);
    }

    db::ObjectId m_plate, m_bolt, m_cover;
};

} // namespace

TEST(HiddenVariantName, OnlyACapitalAFollowedByDigitsAfterTheLastUnderscore) {
    std::wstring base;
    EXPECT_FALSE(IsHiddenVariantName(L"BOLT_M10", base));
    EXPECT_TRUE(IsHiddenVariantName(L"PLATE_A", base));
    EXPECT_EQ(base, L"PLATE");
    EXPECT_FALSE(IsHiddenVariantName(L"PLATE_a1", base));
    EXPECT_FALSE(IsHiddenVariantName(L"PLATE_A1x", base));
    EXPECT_TRUE(IsHiddenVariantName(L"X_A1_A12", base));
    EXPECT_EQ(base, L"X_A1");
    EXPECT_TRUE(IsHiddenVariantName(L"A7", base)); // no underscore: an empty base, never found
    EXPECT_EQ(base, L"");
    EXPECT_FALSE(IsHiddenVariantName(L"PLATE_", base));
}

TEST_F(HideElementTest, VariantsTakeTheFirstFreeNumber) {
    std::wstring name;
    ASSERT_TRUE(NextHiddenVariantName(L"BOLT", name));
    EXPECT_EQ(name, L"BOLT_A1");
    Block(L"bolt_a1");
    Block(L"BOLT_A3");
    ASSERT_TRUE(NextHiddenVariantName(L"BOLT", name));
    EXPECT_EQ(name, L"BOLT_A2");
}

TEST_F(HideElementTest, ALineCrossingTwiceIsCutInThreeAndOnlyTheMiddleIsHidden) {
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100, L"PARTS");
    ASSERT_TRUE(Hide(target));

    EXPECT_TRUE(IsErased(target));
    EXPECT_EQ(ModelSpaceBlocks(), (std::vector<std::wstring>{L"PLATE", L"BOLT_A1"}));
    const db::ObjectId variant = BlockNamed(L"BOLT_A1");
    const std::vector<Piece> lines = LinesOf(variant);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(lines[0].x0, -10, 1e-9);
    EXPECT_NEAR(lines[0].x1, 0, 1e-9);
    EXPECT_EQ(lines[0].layer, L"AM_0");
    EXPECT_NEAR(lines[1].x0, 0, 1e-9);
    EXPECT_NEAR(lines[1].x1, 40, 1e-9);
    EXPECT_EQ(lines[1].layer, kHiddenLineLayer);
    EXPECT_NEAR(lines[2].x1, 50, 1e-9);
    EXPECT_EQ(lines[2].layer, L"AM_0");
    // The hidden-line layer was made frozen; the base is kept in use by an invisible reference.
    ASSERT_TRUE(LayerRecord(kHiddenLineLayer));
    EXPECT_TRUE(LayerRecord(kHiddenLineLayer)->isFrozen());
    bool baseReference = false;
    for (db::ObjectId id : Entities(variant)) {
        db::ObjectPtr<db::BlockReference> r(id, db::OpenMode::forRead);
        if (r && r->blockTableRecord() == m_bolt && !r->visible())
            baseReference = true;
    }
    EXPECT_TRUE(baseReference);
    // The replacement keeps the part's layer and place.
    db::ObjectPtr<db::BlockReference> replacement(Entities(Db().modelSpaceId()).back(),
                                                  db::OpenMode::forRead);
    EXPECT_EQ(replacement->layer(), L"PARTS");
    EXPECT_TRUE(replacement->position().isEqualTo(geom::Point3d(100, 100)));
}

TEST_F(HideElementTest, AThawedHiddenLineLayerStaysThawed) {
    Layer(kHiddenLineLayer);
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    ASSERT_TRUE(Hide(target));
    EXPECT_FALSE(LayerRecord(kHiddenLineLayer)->isFrozen());
}

TEST_F(HideElementTest, PropertyModeGivesTheChosenLayerColourLinetypeAndWeight) {
    CSettingProperty p;
    p.m_hide = false;
    p.m_layer = L"HID-1";
    p.m_colorIndex = 1;
    p.m_lineweight = 35;
    ASSERT_OK(Db().getLinetypeId(L"Continuous", p.m_linetype));
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    ASSERT_TRUE(Hide(target, p));
    ASSERT_TRUE(LayerRecord(L"HID-1"));
    EXPECT_FALSE(LayerRecord(L"HID-1")->isFrozen());
    EXPECT_FALSE(LayerExists(kHiddenLineLayer));
    int changed = 0;
    for (db::ObjectId id : Entities(BlockNamed(L"BOLT_A1"))) {
        db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead);
        if (!l || l->layer() != L"HID-1")
            continue;
        ++changed;
        EXPECT_EQ(l->colorIndex(), 1);
        EXPECT_EQ(l->lineWeight(), 35);
        EXPECT_EQ(l->linetypeId(), p.m_linetype);
    }
    EXPECT_EQ(changed, 1);
}

TEST_F(HideElementTest, TheCoverItselfAndPartsOutsideAreLeftAlone) {
    geom::Region outline;
    ASSERT_TRUE(GetCoverOutline(m_cover, outline));
    EXPECT_FALSE(HideElement(m_cover, outline, m_cover, CSettingProperty()));
    EXPECT_FALSE(IsErased(m_cover));

    const db::ObjectId far = Ref(Db().modelSpaceId(), m_bolt, 500, 500);
    EXPECT_FALSE(Hide(far));
    EXPECT_FALSE(IsErased(far));
    EXPECT_EQ(ModelSpaceBlocks(), (std::vector<std::wstring>{L"PLATE", L"BOLT"}));
    // The variant made on the way stays, unused; the next treatment takes the next number.
    EXPECT_FALSE(BlockNamed(L"BOLT_A1").isNull());
    const db::ObjectId near = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    ASSERT_TRUE(Hide(near));
    EXPECT_EQ(ModelSpaceBlocks().back(), L"BOLT_A2");
}

TEST_F(HideElementTest, APartWithoutCurvesIsNotHidden) {
    const db::ObjectId label = Block(L"LABEL");
    Add(label, std::make_unique<db::Text>(geom::Point3d(20, 20), L"M10", 2.5));
    const db::ObjectId target = Ref(Db().modelSpaceId(), label, 100, 100);
    EXPECT_FALSE(Hide(target));
    EXPECT_FALSE(IsErased(target));
    EXPECT_FALSE(BlockNamed(L"LABEL_A1").isNull());
}

TEST_F(HideElementTest, ASecondHideNamesTheVariantOfTheVariant) {
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    ASSERT_TRUE(Hide(target));
    const db::ObjectId hidden = Entities(Db().modelSpaceId()).back();
    ASSERT_TRUE(Hide(hidden));
    EXPECT_EQ(ModelSpaceBlocks().back(), L"BOLT_A1_A1");
}

TEST_F(HideElementTest, EveryFaceOfACoverInTwoPiecesHides) {
    // A cover of two separate 10 x 10 squares at x 0..10 and 20..30.
    const db::ObjectId twin = Block(L"TWIN");
    Square(twin, 0, 0, 10);
    Square(twin, 20, 0, 10);
    m_cover = Ref(Db().modelSpaceId(), twin, 0, 0);
    const db::ObjectId rod = Block(L"ROD");
    Line(rod, -5, 5, 35, 5, L"AM_0");
    const db::ObjectId target = Ref(Db().modelSpaceId(), rod, 0, 0);
    ASSERT_TRUE(Hide(target));
    const std::vector<Piece> lines = LinesOf(BlockNamed(L"ROD_A1"));
    ASSERT_EQ(lines.size(), 5u);
    const wchar_t* expected[] = {L"AM_0", kHiddenLineLayer, L"AM_0", kHiddenLineLayer, L"AM_0"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(lines[i].layer, expected[i]) << i;
}

TEST_F(HideElementTest, AHoleOfTheCoverLeavesWhatIsSeenThroughItVisible) {
    const db::ObjectId holed = Block(L"HOLED");
    Square(holed, 0, 0, 40);
    MarkHole(Circle(holed, 20, 20, 5));
    m_cover = Ref(Db().modelSpaceId(), holed, 0, 0);
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 0, 0);
    ASSERT_TRUE(Hide(target));
    const std::vector<Piece> lines = LinesOf(BlockNamed(L"BOLT_A1"));
    ASSERT_EQ(lines.size(), 5u); // cut at the plate's edges and at the hole
    EXPECT_NEAR(lines[2].x0, 15, 1e-9);
    EXPECT_NEAR(lines[2].x1, 25, 1e-9);
    EXPECT_EQ(lines[2].layer, L"AM_0");
    EXPECT_EQ(lines[1].layer, kHiddenLineLayer);
    EXPECT_EQ(lines[3].layer, kHiddenLineLayer);
}

TEST_F(HideElementTest, ARotatedScaledPartIsCutInItsOwnCoordinates) {
    // The bolt turned a quarter and halved at (120, 100): its line runs from (110, 95) up to
    // (110, 125) in the world, so the plate (y 100..140) covers it from its own x = 0 on.
    auto ref = std::make_unique<db::BlockReference>(geom::Point3d(120, 100), m_bolt);
    ref->setRotation(kPi / 2);
    ref->setScaleFactors({0.5, 0.5, 0.5});
    const db::ObjectId target = Add(Db().modelSpaceId(), std::move(ref));
    ASSERT_TRUE(Hide(target));
    const std::vector<Piece> lines = LinesOf(BlockNamed(L"BOLT_A1"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines[0].x1, 0, 1e-9);
    EXPECT_EQ(lines[0].layer, L"AM_0");
    EXPECT_EQ(lines[1].layer, kHiddenLineLayer);
}

TEST_F(HideElementTest, APartOnALockedLayerStaysAsItIs) {
    const db::ObjectId locked = Layer(L"LOCKED");
    {
        db::ObjectPtr<db::LayerTableRecord> l(locked, db::OpenMode::forWrite);
        l->setLocked(true);
    }
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100, L"LOCKED");
    EXPECT_FALSE(Hide(target));
    EXPECT_FALSE(IsErased(target));
    EXPECT_TRUE(BlockNamed(L"BOLT_A1").isNull());
}

TEST_F(HideElementTest, APartWhoseBlockContainsItselfThroughAnotherEnds) {
    // The faulty library symbol: BOLT holds NUT, which holds BOLT again.
    const db::ObjectId nut = Block(L"NUT");
    Ref(m_bolt, nut, 0, 0);
    Ref(nut, m_bolt, 0, 0);
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    ASSERT_TRUE(Hide(target));
    // The shank, and once more as NUT draws it; the path stops where BOLT would start again.
    const std::vector<Piece> lines = LinesOf(BlockNamed(L"BOLT_A1"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const Piece& p) { return p.layer == kHiddenLineLayer; }),
              2);
}

TEST_F(HideElementTest, AnOpenCoverHasNoOutlineAndACrossedOneLeavesNothingHalfDone) {
    const db::ObjectId open = Block(L"OPEN");
    Line(open, 0, 0, 10, 0);
    Line(open, 10, 0, 10, 10);
    geom::Region outline;
    EXPECT_FALSE(GetCoverOutline(Ref(Db().modelSpaceId(), open, 0, 0), outline));
    EXPECT_TRUE(outline.empty());

    // A bow tie: the kernel may or may not make regions of its two triangles; either way the
    // part is either wholly replaced or left as it was.
    const db::ObjectId bowtie = Block(L"BOWTIE");
    Line(bowtie, 0, 0, 40, 40);
    Line(bowtie, 40, 40, 40, 0);
    Line(bowtie, 40, 0, 0, 40);
    Line(bowtie, 0, 40, 0, 0);
    m_cover = Ref(Db().modelSpaceId(), bowtie, 100, 100);
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    const size_t before = Entities(Db().modelSpaceId()).size();
    const bool treated = Hide(target);
    EXPECT_EQ(IsErased(target), treated);
    EXPECT_EQ(Entities(Db().modelSpaceId()).size(), before); // one part out, one in, or none
}

TEST_F(HideElementTest, ALockedHiddenLineLayerStillTakesThePieces) {
    const db::ObjectId hidden = Layer(kHiddenLineLayer);
    {
        db::ObjectPtr<db::LayerTableRecord> l(hidden, db::OpenMode::forWrite);
        l->setLocked(true);
    }
    const db::ObjectId target = Ref(Db().modelSpaceId(), m_bolt, 100, 100);
    ASSERT_TRUE(Hide(target));
    EXPECT_TRUE(LayerRecord(kHiddenLineLayer)->isLocked());
    EXPECT_EQ(LinesOf(BlockNamed(L"BOLT_A1"))[1].layer, kHiddenLineLayer);
}

TEST_F(HideElementTest, AVariantNameTooLongForTheTableLeavesThePartAlone) {
    // 252 characters: "_A1" makes 255, the longest name a table takes; its variant's
    // variant would not fit.
    const std::wstring base(252, L'B');
    const db::ObjectId part = Block(base.c_str());
    Line(part, -10, 20, 50, 20);
    const db::ObjectId target = Ref(Db().modelSpaceId(), part, 100, 100);
    ASSERT_TRUE(Hide(target));
    const db::ObjectId hidden = Entities(Db().modelSpaceId()).back();
    EXPECT_EQ(ModelSpaceBlocks().back(), base + L"_A1");
    EXPECT_FALSE(Hide(hidden));
    EXPECT_FALSE(IsErased(hidden));
    EXPECT_EQ(ModelSpaceBlocks().back(), base + L"_A1");
}

TEST(CoverOutlineTest, PointsUnderEveryFaceAndOnTheBoundaryCountHolesDoNot) {
    // Two faces: a 10 x 10 square with a circular hole of radius 2 at its centre, and a disc of
    // radius 3 at (20, 5).
    geom::Region r;
    geom::Face square;
    square.outer.edges = {
        geom::LineSeg{{0, 0, 0}, {10, 0, 0}}, geom::LineSeg{{10, 0, 0}, {10, 10, 0}},
        geom::LineSeg{{10, 10, 0}, {0, 10, 0}}, geom::LineSeg{{0, 10, 0}, {0, 0, 0}}};
    geom::Loop hole;
    hole.edges = {geom::Circle{{5, 5, 0}, 2}};
    square.holes.push_back(hole);
    geom::Face disc;
    disc.outer.edges = {geom::Circle{{20, 5, 0}, 3}};
    r.faces = {square, disc};
    CCoverOutline outline;
    ASSERT_TRUE(outline.Set(r));
    EXPECT_TRUE(outline.Covers({1, 1, 0}, kCoveredTol));
    EXPECT_TRUE(outline.Covers({20, 7.9, 0}, kCoveredTol));    // the second face
    EXPECT_FALSE(outline.Covers({5, 5, 0}, kCoveredTol));      // in the hole
    EXPECT_TRUE(outline.Covers({5, 3.00005, 0}, kCoveredTol)); // on the hole's edge, within 1e-4
    EXPECT_TRUE(outline.Covers({10, 5, 0}, kCoveredTol));      // on the outer edge
    EXPECT_TRUE(outline.Covers({10.00009, 5, 0}, kCoveredTol));
    EXPECT_FALSE(outline.Covers({10.0002, 5, 0}, kCoveredTol));
    EXPECT_FALSE(outline.Covers({15, 5, 0}, kCoveredTol));   // between the faces
    EXPECT_FALSE(outline.Covers({1, 1, 0.01}, kCoveredTol)); // off the plane
    // Vertices lined up with the test points do not confuse the count.
    EXPECT_TRUE(outline.Covers({5, 9, 0}, kCoveredTol));
    EXPECT_FALSE(outline.Covers({-1, 10, 0}, kCoveredTol));

    std::vector<double> params;
    ASSERT_TRUE(outline.Crossings(geom::LineSeg{{-5, 5, 0}, {30, 5, 0}}, params));
    std::sort(params.begin(), params.end());
    ASSERT_EQ(params.size(), 6u);
    const double expected[] = {5, 8, 12, 15, 22, 28};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(params[i], expected[i], 1e-9);
}

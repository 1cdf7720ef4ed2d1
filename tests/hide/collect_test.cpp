// Collecting a definition's outline curves, with nested references flattened in place or into
// temporary pieces.
#include "HideTestUtil.h"

#include "hide/CurveCollect.h"
#include "hide/EntityOps.h"
#include "hide/EntityPredicates.h"

#include <algorithm>
#include <numbers>

using namespace hidetest;

namespace {

class CollectCurvesTest : public DrawingTest {
protected:
    // A part: a 10 x 10 square on AM_0, a centre line on AM_7, a text, and a washer block (one
    // circle) referenced at (20, 0).
    void SetUp() override {
        DrawingTest::SetUp();
        m_washer = Block(L"WASHER");
        m_washerCircle = Circle(m_washer, 0, 0, 3, L"AM_0");
        m_part = Block(L"PART");
        m_square = Square(m_part, 0, 0, 10, L"AM_0");
        m_centre = Line(m_part, -2, 5, 12, 5, L"AM_7");
        Add(m_part, std::make_unique<db::Text>(geom::Point3d(0, 0), L"M10", 2.5), L"AM_0");
    }

    static bool Contains(const std::vector<db::ObjectId>& ids, db::ObjectId id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }

    db::ObjectId m_washer, m_washerCircle, m_part, m_centre;
    std::vector<db::ObjectId> m_square;
};

} // namespace

TEST_F(CollectCurvesTest, NotInPlaceFlattensIntoTemporaryPiecesAndSkipsCentreLines) {
    const db::ObjectId nested = Ref(m_part, m_washer, 20, 0, L"AM_0");
    const std::vector<db::ObjectId> before = Entities(m_part);

    std::vector<db::ObjectId> pieces;
    const std::vector<db::ObjectId> curves =
        CollectCurves(m_part, pieces, IsCuttableCurveId, false);

    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(curves.size(), 5u); // the square, then the washer's circle
    for (db::ObjectId id : m_square)
        EXPECT_TRUE(Contains(curves, id));
    EXPECT_FALSE(Contains(curves, m_centre));
    EXPECT_EQ(curves.back(), pieces.front());
    EXPECT_EQ(Entities(m_part), before); // the definition is unchanged
    EXPECT_FALSE(IsErased(nested));

    // The piece lies in the current space at the nested reference's place, in the part's
    // coordinates.
    const std::vector<db::ObjectId> ms = Entities(Db().modelSpaceId());
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms.front(), pieces.front());
    {
        db::ObjectPtr<db::Circle> c(pieces.front(), db::OpenMode::forRead);
        ASSERT_TRUE(c);
        EXPECT_DOUBLE_EQ(c->center().x, 20);
        EXPECT_DOUBLE_EQ(c->radius(), 3);
    }

    EraseObjects(pieces);
    EXPECT_TRUE(Entities(Db().modelSpaceId()).empty());
}

TEST_F(CollectCurvesTest, InPlaceMakesThePiecesPermanentAndKeepsCentreLines) {
    const db::ObjectId nested = Ref(m_part, m_washer, 20, 0, L"AM_0");
    std::vector<db::ObjectId> extra;
    const std::vector<db::ObjectId> curves = CollectCurves(m_part, extra, IsCuttableCurveId, true);

    EXPECT_TRUE(extra.empty());
    EXPECT_TRUE(IsErased(nested));
    EXPECT_TRUE(Contains(curves, m_centre));
    EXPECT_EQ(curves.size(), 6u); // square, centre line, washer circle
    const std::vector<db::ObjectId> inPart = Entities(m_part);
    for (db::ObjectId id : curves)
        EXPECT_TRUE(Contains(inPart, id)) << "collected curve outside the definition";
    EXPECT_TRUE(Entities(Db().modelSpaceId()).empty());
    // The washer's own definition is untouched.
    EXPECT_EQ(Entities(m_washer), std::vector<db::ObjectId>{m_washerCircle});
}

TEST_F(CollectCurvesTest, InvisibleAndSuppressedNestedReferencesAreNotFlattened) {
    const db::ObjectId invisible = Ref(m_part, m_washer, 20, 0, L"AM_0", false);
    const db::ObjectId suppressed = Ref(m_part, m_washer, 40, 0, L"*suppress");
    for (bool inPlace : {false, true}) {
        std::vector<db::ObjectId> extra;
        const std::vector<db::ObjectId> curves =
            CollectCurves(m_part, extra, IsCuttableCurveId, inPlace);
        EXPECT_TRUE(extra.empty());
        EXPECT_EQ(curves.size(), inPlace ? 5u : 4u);
        EXPECT_FALSE(IsErased(invisible));
        EXPECT_FALSE(IsErased(suppressed));
    }
    EXPECT_TRUE(Entities(Db().modelSpaceId()).empty());
}

TEST_F(CollectCurvesTest, DeeplyNestedReferencesAreFlattenedThroughEveryLevel) {
    // BOLTSET holds the washer twice; the part holds the set rotated by 90 degrees at (100, 0).
    const db::ObjectId set = Block(L"BOLTSET");
    Ref(set, m_washer, 5, 0);
    Ref(set, m_washer, -5, 0);
    Line(set, 0, 0, 0, 1, L"*SUPPRESS");                            // construction line: dropped
    Add(set, std::make_unique<db::Text>(geom::Point3d(), L"x", 1)); // not a curve: dropped
    const db::ObjectId ref = Ref(m_part, set, 100, 0);
    {
        db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forWrite);
        r->setRotation(std::numbers::pi / 2);
    }
    std::vector<db::ObjectId> pieces;
    CollectCurves(m_part, pieces, IsCuttableCurveId, false);
    ASSERT_EQ(pieces.size(), 2u);
    std::vector<double> ys;
    for (db::ObjectId id : pieces) {
        db::ObjectPtr<db::Circle> c(id, db::OpenMode::forRead);
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->center().x, 100, 1e-9);
        ys.push_back(c->center().y);
    }
    std::sort(ys.begin(), ys.end());
    EXPECT_NEAR(ys[0], -5, 1e-9);
    EXPECT_NEAR(ys[1], 5, 1e-9);
    EraseObjects(pieces);
}

TEST_F(CollectCurvesTest, SelfReferencingDefinitionsEndTheirRecursion) {
    // A holds B, B holds A and itself through C, which holds B: every way round comes back.
    const db::ObjectId a = Block(L"A");
    const db::ObjectId b = Block(L"B");
    const db::ObjectId c = Block(L"C");
    Line(a, 0, 0, 1, 0);
    Line(b, 0, 0, 0, 1);
    Line(c, 0, 0, 1, 1);
    Ref(a, b, 10, 0);
    Ref(b, a, 10, 0);
    Ref(b, c, 0, 10);
    Ref(c, b, 0, 10);
    for (bool inPlace : {false, true}) {
        std::vector<db::ObjectId> pieces;
        const std::vector<db::ObjectId> curves =
            CollectCurves(a, pieces, IsCuttableCurveId, inPlace);
        // A's line, B's line, C's line: each definition once along every path.
        EXPECT_EQ(curves.size(), 3u) << (inPlace ? "in place" : "not in place");
        EraseObjects(pieces);
    }
}

TEST_F(CollectCurvesTest, FlattenReferenceAppendsOnlyCurvesToTheTarget) {
    const db::ObjectId set = Block(L"SET");
    Ref(set, m_washer, 5, 0);
    Ref(set, m_washer, 9, 0, nullptr, false);
    Line(set, 0, 0, 1, 0);
    Add(set, std::make_unique<db::Point>(geom::Point3d()));
    const db::ObjectId target = Block(L"TARGET");
    std::vector<db::ObjectId> ids;
    {
        db::BlockReference ref(geom::Point3d(0, 0), set);
        db::ObjectPtr<db::BlockTableRecord> t(target, db::OpenMode::forWrite);
        ASSERT_TRUE(t);
        FlattenReference(ref, *t, ids);
    }
    EXPECT_EQ(ids.size(), 2u);
    EXPECT_EQ(Entities(target), ids);
    EXPECT_EQ(TypeOf(ids[0]), L"CIRCLE");
    EXPECT_EQ(TypeOf(ids[1]), L"LINE");
}

TEST_F(CollectCurvesTest, ADefinitionThatCannotBeOpenedGivesNothing) {
    std::vector<db::ObjectId> extra = {m_centre};
    EXPECT_TRUE(CollectCurves(db::ObjectId::null(), extra, IsCuttableCurveId, false).empty());
    EXPECT_TRUE(CollectCurves(m_centre, extra, IsCuttableCurveId, true).empty());
}

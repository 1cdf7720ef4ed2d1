// Which entities count as outline curves, which are suppressed and which are visible, and the
// small object operations the commands share.
#include "HideTestUtil.h"

#include "hide/EntityOps.h"
#include "hide/EntityPredicates.h"

using namespace hidetest;

namespace {

class EntityPredicates : public DrawingTest {};
class EntityOps : public DrawingTest {};

} // namespace

TEST_F(EntityPredicates, OnlyTheLiteralStarSuppressLayerIsSuppressed) {
    const db::ObjectId ms = Db().modelSpaceId();
    EXPECT_TRUE(IsCuttableCurveId(Line(ms, 0, 0, 1, 0, L"ASUPPRESS")));
    EXPECT_TRUE(IsCuttableCurveId(Line(ms, 0, 0, 1, 0, L"SUPPRESS")));
    EXPECT_TRUE(IsCuttableCurveId(Line(ms, 0, 0, 1, 0, L"*SUPPRESSED")));
    EXPECT_FALSE(IsCuttableCurveId(Line(ms, 0, 0, 1, 0, L"*SUPPRESS")));

    // The lower-case spelling is the same layer name to the host; a fresh drawing shows that the
    // comparison itself ignores case.
    db::Database other;
    ed::setWorkingDatabase(&other);
    db::ObjectId layer, id;
    other.addLayer(L"*suppress", layer);
    auto line = std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(1, 0));
    line->setLayer(layer);
    ASSERT_OK(other.appendToModelSpace(std::move(line), id));
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
    ASSERT_TRUE(e);
    EXPECT_TRUE(IsOnSuppressLayer(*e));
    EXPECT_FALSE(IsCuttableCurve(*e));
    ed::setWorkingDatabase(m_db.get());
}

TEST_F(EntityPredicates, CuttableCurvesAreLinesArcsCirclesAndPolylines) {
    const db::ObjectId ms = Db().modelSpaceId();
    geom::Polyline pl;
    pl.points = {{0, 0}, {1, 0}, {1, 1}};
    pl.bulges = {0, 0, 0};
    EXPECT_TRUE(IsCuttableCurveId(Line(ms, 0, 0, 1, 0)));
    EXPECT_TRUE(IsCuttableCurveId(Circle(ms, 0, 0, 1)));
    EXPECT_TRUE(IsCuttableCurveId(Add(ms, std::make_unique<db::Arc>(geom::Point3d(), 1, 0, 1))));
    EXPECT_TRUE(IsCuttableCurveId(Add(ms, std::make_unique<db::Polyline>(pl))));

    auto ellipse = std::make_unique<db::Ellipse>();
    EXPECT_FALSE(IsCuttableCurveId(Add(ms, std::move(ellipse))));
    EXPECT_FALSE(
        IsCuttableCurveId(Add(ms, std::make_unique<db::Text>(geom::Point3d(), L"M10", 2.5))));
    EXPECT_FALSE(IsCuttableCurveId(Add(ms, std::make_unique<db::Point>(geom::Point3d()))));
    const db::ObjectId block = Block(L"NUT");
    EXPECT_FALSE(IsCuttableCurveId(Ref(ms, block, 0, 0)));
}

TEST_F(EntityPredicates, IdFormsAnswerFalseForWhatCannotBeOpened) {
    const db::ObjectId ms = Db().modelSpaceId();
    const db::ObjectId line = Line(ms, 0, 0, 1, 0);
    EraseObject(line);
    EXPECT_FALSE(IsCuttableCurveId(line));
    EXPECT_FALSE(IsVisibleId(line));
    EXPECT_FALSE(IsBlockReferenceId(line));
    EXPECT_FALSE(IsCuttableCurveId(db::ObjectId::null()));
    EXPECT_FALSE(IsVisibleId(db::ObjectId::null()));
    EXPECT_FALSE(IsBlockReferenceId(Db().layerZeroId()));
}

TEST_F(EntityPredicates, BlockReferencesAndVisibility) {
    const db::ObjectId ms = Db().modelSpaceId();
    const db::ObjectId block = Block(L"BOLT");
    const db::ObjectId shown = Ref(ms, block, 0, 0);
    const db::ObjectId hidden = Ref(ms, block, 0, 0, nullptr, false);
    EXPECT_TRUE(IsBlockReferenceId(shown));
    EXPECT_TRUE(IsBlockReferenceId(hidden));
    EXPECT_FALSE(IsBlockReferenceId(Line(ms, 0, 0, 1, 0)));
    EXPECT_TRUE(IsVisibleId(shown));
    EXPECT_FALSE(IsVisibleId(hidden));
}

TEST_F(EntityOps, AppendToModelSpaceWithoutADrawingLeavesTheEntityWithTheCaller) {
    ed::setWorkingDatabase(nullptr);
    std::unique_ptr<db::Entity> line =
        std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(1, 0));
    EXPECT_TRUE(AppendToModelSpace(line).isNull());
    EXPECT_NE(line, nullptr);

    ed::setWorkingDatabase(m_db.get());
    const db::ObjectId id = AppendToModelSpace(line);
    ASSERT_FALSE(id.isNull());
    EXPECT_EQ(line, nullptr);
    const std::vector<db::ObjectId> ms = Entities(Db().modelSpaceId());
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms.front(), id);
}

TEST_F(EntityOps, EraseObjectsErasesEveryIdAndEmptiesTheList) {
    const db::ObjectId ms = Db().modelSpaceId();
    std::vector<db::ObjectId> ids = {Line(ms, 0, 0, 1, 0), Circle(ms, 0, 0, 1),
                                     db::ObjectId::null()};
    const std::vector<db::ObjectId> kept = ids;
    EraseObjects(ids);
    EXPECT_TRUE(ids.empty());
    EXPECT_TRUE(IsErased(kept[0]));
    EXPECT_TRUE(IsErased(kept[1]));
    EXPECT_TRUE(Entities(ms).empty());
    EraseObject(kept[0]); // already erased: nothing happens
}

TEST_F(EntityOps, LinetypeNameNamesTheRecordOrNothing) {
    EXPECT_EQ(LinetypeName(Db().continuousLinetypeId()), L"Continuous");
    EXPECT_EQ(LinetypeName(Db().byLayerLinetypeId()), L"ByLayer");
    EXPECT_EQ(LinetypeName(db::ObjectId::null()), L"");
    EXPECT_EQ(LinetypeName(Db().layerZeroId()), L"");
}

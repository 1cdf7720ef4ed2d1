// The layers and linetypes that parametric LAYER / LINETYPE bindings choose from are named, not
// referenced by id; a symbol drawing that draws nothing on its hidden-line layer yet must keep it
// and bring it along, or its dashed variant cannot be evaluated.
#include "db_test_util.h"

#include "support/status.h"

using namespace dbtest;
namespace param = zhost::db::param;

namespace {

// A symbol drawing whose only line sits on AM_0 and moves to AM_3 (with linetype Dashed) when
// "Dashed" is 1; nothing is drawn on AM_3 or with Dashed.
void BuildSymbol(Database& d) {
    ObjectId am0, am3, dashed;
    d.addLayer(L"AM_0", am0);
    d.addLayer(L"AM_3", am3);
    {
        ObjectPtr<LinetypeTable> t(d.linetypeTableId(), OpenMode::forWrite);
        auto rec = std::make_unique<LinetypeTableRecord>(L"Dashed");
        ASSERT_OK(t->add(std::move(rec), dashed));
    }
    const ObjectId ms = d.modelSpaceId();
    ASSERT_OK(param::setParameter(ms, L"Dashed", L"0"));
    auto line = std::make_unique<Line>(Point3d(0, 0), Point3d(10, 0));
    line->setLayer(am0);
    ObjectId id;
    ASSERT_OK(d.appendEntity(ms, std::move(line), id));
    ASSERT_OK(param::setBinding(id, {L"LAYER", L"Dashed", {L"AM_0", L"AM_3"}}));
    ASSERT_OK(param::setBinding(id, {L"LINETYPE", L"Dashed", {L"Continuous", L"Dashed"}}));
}

} // namespace

TEST(ParametricChoices, InsertBringsTheLayersAndLinetypesBindingsChooseFrom) {
    Database symbol;
    BuildSymbol(symbol);
    Database drawing;
    ObjectId block;
    ASSERT_OK(drawing.insert(L"PART", symbol, block));
    ObjectId am3, dashed;
    EXPECT_OK(drawing.getLayerId(L"AM_3", am3));
    EXPECT_OK(drawing.getLinetypeId(L"Dashed", dashed));

    ObjectId ref;
    ASSERT_OK(drawing.appendToModelSpace(std::make_unique<BlockReference>(Point3d(), block), ref));
    ASSERT_OK(param::setParameterExpression(ref, L"Dashed", L"1"));
    ASSERT_OK(param::evaluate(ref));
    const ObjectId copy = ObjectPtr<BlockReference>(ref, OpenMode::forRead)->blockTableRecord();
    const auto ids = ObjectPtr<BlockTableRecord>(copy, OpenMode::forRead)->entityIds();
    ASSERT_EQ(ids.size(), 1u);
    ObjectPtr<Line> line(ids.front(), OpenMode::forRead);
    EXPECT_EQ(line->layer(), L"AM_3");
    EXPECT_EQ(line->linetype(), L"Dashed");
}

TEST(ParametricChoices, PurgeKeepsWhatABindingMayChoose) {
    Database d;
    BuildSymbol(d);
    ObjectId am3, dashed, unused;
    d.getLayerId(L"AM_3", am3);
    d.getLinetypeId(L"Dashed", dashed);
    d.addLayer(L"UNUSED", unused);
    std::vector<ObjectId> ids = {am3, dashed, unused};
    ASSERT_OK(d.purge(ids));
    EXPECT_EQ(ids, std::vector<ObjectId>{unused});
}

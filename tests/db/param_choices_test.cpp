// The layers and linetypes that parametric LAYER / LINETYPE bindings choose from are named, not
// referenced by id; a symbol drawing that draws nothing on its hidden-line layer yet must keep it
// and bring it along, or its dashed variant cannot be evaluated.
#include "db_test_util.h"

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
        ASSERT_EQ(t->add(std::move(rec), dashed), Status::ok);
    }
    const ObjectId ms = d.modelSpaceId();
    ASSERT_EQ(param::setParameter(ms, L"Dashed", L"0"), Status::ok);
    auto line = std::make_unique<Line>(Point3d(0, 0), Point3d(10, 0));
    line->setLayer(am0);
    ObjectId id;
    ASSERT_EQ(d.appendEntity(ms, std::move(line), id), Status::ok);
    ASSERT_EQ(param::setBinding(id, {L"LAYER", L"Dashed", {L"AM_0", L"AM_3"}}), Status::ok);
    ASSERT_EQ(param::setBinding(id, {L"LINETYPE", L"Dashed", {L"Continuous", L"Dashed"}}),
              Status::ok);
}

} // namespace

TEST(ParametricChoices, InsertBringsTheLayersAndLinetypesBindingsChooseFrom) {
    Database symbol;
    BuildSymbol(symbol);
    Database drawing;
    ObjectId block;
    ASSERT_EQ(drawing.insert(L"PART", symbol, block), Status::ok);
    ObjectId am3, dashed;
    EXPECT_EQ(drawing.getLayerId(L"AM_3", am3), Status::ok);
    EXPECT_EQ(drawing.getLinetypeId(L"Dashed", dashed), Status::ok);

    ObjectId ref;
    ASSERT_EQ(drawing.appendToModelSpace(std::make_unique<BlockReference>(Point3d(), block), ref),
              Status::ok);
    ASSERT_EQ(param::setParameterExpression(ref, L"Dashed", L"1"), Status::ok);
    ASSERT_EQ(param::evaluate(ref), Status::ok);
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
    ASSERT_EQ(d.purge(ids), Status::ok);
    EXPECT_EQ(ids, std::vector<ObjectId>{unused});
}

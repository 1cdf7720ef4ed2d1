#include "db_test_util.h"

#include "support/status.h"

using namespace dbtest;
namespace param = zhost::db::param;

namespace {
struct Bolt {
    Database db;
    ObjectId block, line, circle, text, ref;

    Bolt() {
        ObjectId l0, l3;
        db.addLayer(L"AM_0", l0);
        db.addLayer(L"AM_3", l3);
        db.addBlock(L"BOLT", block);
        line = addLine(db, block, {0, 0}, {1, 0});
        db.appendEntity(block, std::make_unique<Circle>(Point3d(0, 0), 1), circle);
        db.appendEntity(block, std::make_unique<Text>(Point3d(0, 5), L"", 2.5), text);
        EXPECT_OK(param::setParameter(block, L"LEN", L"40"));
        EXPECT_OK(param::setParameter(block, L"D", L"10"));
        EXPECT_OK(param::setParameter(block, L"CS", L"LEN-2*D/5"));
        EXPECT_OK(param::setParameter(block, L"Dashed", L"0"));
        EXPECT_OK(param::setBinding(line, {L"END.X", L"LEN"}));
        EXPECT_OK(param::setBinding(line, {L"LAYER", L"Dashed", {L"AM_0", L"AM_3"}}));
        EXPECT_OK(param::setBinding(circle, {L"RADIUS", L"D/2"}));
        EXPECT_OK(param::setBinding(circle, {L"CENTER.X", L"CS"}));
        EXPECT_OK(param::setBinding(text, {L"TEXT", L"M{D}x{LEN}"}));
        db.appendToModelSpace(std::make_unique<BlockReference>(Point3d(100, 0), block), ref);
    }

    ObjectId refBlock() {
        return ObjectPtr<BlockReference>(ref, OpenMode::forRead)->blockTableRecord();
    }
    // The entity of the reference's block at the same position as `baseEntity` in the base.
    ObjectId inRef(ObjectId baseEntity) {
        auto base = ObjectPtr<BlockTableRecord>(block, OpenMode::forRead)->entityIds();
        auto mine = ObjectPtr<BlockTableRecord>(refBlock(), OpenMode::forRead)->entityIds();
        for (std::size_t i = 0; i < base.size(); ++i)
            if (base[i] == baseEntity)
                return mine.at(i);
        return {};
    }
};
} // namespace

TEST(ParametricBlocks, EvaluatingADefinitionWritesBoundProperties) {
    Bolt b;
    EXPECT_TRUE(param::isParametric(b.block));
    EXPECT_TRUE(param::isParametric(b.ref));
    ASSERT_OK(param::evaluate(b.block));
    EXPECT_EQ(ObjectPtr<Line>(b.line, OpenMode::forRead)->endPoint().x, 40);
    ObjectPtr<Circle> c(b.circle, OpenMode::forRead);
    EXPECT_EQ(c->radius(), 5);
    EXPECT_EQ(c->center().x, 36);
    c.close();
    EXPECT_EQ(ObjectPtr<Text>(b.text, OpenMode::forRead)->textString(), L"M10x40");
    double cs = 0;
    ASSERT_OK(param::parameterValue(b.block, L"cs", cs));
    EXPECT_EQ(cs, 36);
}

TEST(ParametricBlocks, ChangingLenOnAReferenceMovesItsOwnPointsOnly) {
    Bolt b;
    ASSERT_OK(param::evaluate(b.block));
    std::vector<std::wstring> names;
    ASSERT_OK(param::parameterNames(b.ref, names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"LEN", L"D", L"CS", L"Dashed"}));
    ASSERT_OK(param::setParameterExpression(b.ref, L"len", L"60"));
    ASSERT_OK(param::setParameterExpression(b.ref, L"Dashed", L"1"));
    ASSERT_OK(param::evaluate(b.ref));
    const ObjectId own = b.refBlock();
    EXPECT_NE(own, b.block);
    EXPECT_TRUE(ObjectPtr<BlockTableRecord>(own, OpenMode::forRead)->isAnonymous());
    ObjectPtr<Line> mine(b.inRef(b.line), OpenMode::forRead);
    EXPECT_EQ(mine->endPoint().x, 60);
    EXPECT_EQ(mine->layer(), L"AM_3");
    mine.close();
    EXPECT_EQ(ObjectPtr<Line>(b.line, OpenMode::forRead)->endPoint().x, 40); // base untouched
    EXPECT_EQ(ObjectPtr<Circle>(b.inRef(b.circle), OpenMode::forRead)->center().x, 56);
    EXPECT_EQ(ObjectPtr<Text>(b.inRef(b.text), OpenMode::forRead)->textString(), L"M10x60");
    ObjectId base;
    ASSERT_OK(param::baseDefinition(b.ref, base));
    EXPECT_EQ(base, b.block);
    // A second change reuses the same private copy.
    ASSERT_OK(param::setParameterExpression(b.ref, L"LEN", L"D*8"));
    ASSERT_OK(param::evaluate(b.ref));
    EXPECT_EQ(b.refBlock(), own);
    EXPECT_EQ(ObjectPtr<Line>(b.inRef(b.line), OpenMode::forRead)->endPoint().x, 80);
}

TEST(ParametricBlocks, BadExpressionsAndUnknownNamesReportPositions) {
    Bolt b;
    param::ParamError err;
    EXPECT_EQ(param::setParameterExpression(b.ref, L"LEN", L"(D*2", &err), Status::parseError);
    EXPECT_EQ(err.parameter, L"LEN");
    EXPECT_GE(err.position, 0);
    EXPECT_FALSE(err.message.empty());

    err = {};
    EXPECT_EQ(param::setParameterExpression(b.ref, L"LEN", L"D+LNE", &err), Status::keyNotFound);
    EXPECT_EQ(err.token, L"LNE");
    EXPECT_EQ(err.position, 2);
    double len = 0;
    param::evaluate(b.ref);
    param::parameterValue(b.ref, L"LEN", len);
    EXPECT_EQ(len, 40); // the old expression stayed

    err = {};
    EXPECT_EQ(param::setParameterExpression(b.ref, L"NOPE", L"1", &err), Status::keyNotFound);
    EXPECT_NE(err.message.find(L"NOPE"), std::wstring::npos);

    err = {};
    EXPECT_OK(param::setBinding(b.circle, {L"START.X", L"LEN"}));
    EXPECT_EQ(param::evaluate(b.block, &err), Status::invalidInput); // a circle has no START
    EXPECT_NE(err.message.find(L"CIRCLE"), std::wstring::npos);
}

TEST(ParametricBlocks, DependencyCyclesAreDetected) {
    Bolt b;
    param::ParamError err;
    ASSERT_OK(param::setParameter(b.block, L"A", L"B+1"));
    ASSERT_OK(param::setParameter(b.block, L"B", L"A*2"));
    EXPECT_EQ(param::evaluate(b.block, &err), Status::invalidInput);
    EXPECT_NE(err.message.find(L"cycle"), std::wstring::npos);
    EXPECT_NE(err.message.find(L"A -> B -> A"), std::wstring::npos);
    ASSERT_OK(param::setParameter(b.block, L"B", L"2"));
    EXPECT_OK(param::evaluate(b.block));
}

TEST(ParametricBlocks, UnicodeParameterNamesWork) {
    Bolt b;
    ASSERT_OK(param::setParameter(b.block, L"長さ", L"25"));
    ASSERT_OK(param::setBinding(b.line, {L"END.X", L"長さ*2"}));
    ASSERT_OK(param::evaluate(b.block));
    EXPECT_EQ(ObjectPtr<Line>(b.line, OpenMode::forRead)->endPoint().x, 50);
}

TEST(ParametricBlocks, MakeStaticCopiesTheCurrentShapeWithoutParameters) {
    Bolt b;
    ASSERT_OK(param::setParameterExpression(b.ref, L"LEN", L"70"));
    ASSERT_OK(param::evaluate(b.ref));
    ObjectId fixed;
    ASSERT_OK(param::makeStatic(b.ref, L"BOLT_1", fixed));
    EXPECT_EQ(b.refBlock(), fixed);
    EXPECT_FALSE(param::isParametric(fixed));
    auto ids = ObjectPtr<BlockTableRecord>(fixed, OpenMode::forRead)->entityIds();
    ObjectPtr<Line> l(ids.at(0), OpenMode::forRead);
    EXPECT_EQ(l->endPoint().x, 70);
    EXPECT_FALSE(l->hasXData(param::kAppName));
}

TEST(ParametricBlocks, UndoTakesBackAnEvaluation) {
    Bolt b;
    ASSERT_OK(param::evaluate(b.block));
    b.db.clearUndo();
    const std::wstring before = dumpDatabase(b.db);
    ASSERT_OK(param::setParameterExpression(b.ref, L"LEN", L"90"));
    ASSERT_OK(param::evaluate(b.ref));
    ASSERT_OK(b.db.undo(2));
    EXPECT_EQ(dumpDatabase(b.db), before);
    EXPECT_EQ(b.refBlock(), b.block);
}

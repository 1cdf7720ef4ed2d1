// Setting a placed symbol's parameters from the description's controls, with the line-type
// state that the static block and the category mapping read afterwards.
#include "GeometryTestUtil.h"

#include "PlacementTestUtil.h"

#include "placement/LayerCategories.h"
#include "placement/PartParameters.h"
#include "placement/StaticPartBlock.h"
#include "selection/PartDescription.h"

using namespace geomtest;
using placetest::Control;

namespace {

class PartParameters : public PartGeometryTest {
protected:
    // A bolt symbol: head and body outlines on the layer their line type chooses, a centre line
    // shown by ShowCenterLine and reaching CS beyond the end.
    void SetUp() override {
        PartGeometryTest::SetUp();
        Layer(L"AM_0");
        Layer(L"AM_3");
        const db::ObjectId bolt = ParamBlock(L"BOLT", {{L"LEN", L"40"},
                                                       {L"CS", L"2.5"},
                                                       {L"LineTypeHead", L"0"},
                                                       {L"LineTypeBody", L"0"},
                                                       {L"LineType", L"0"},
                                                       {L"ShowCenterLine", L"1"}});
        const db::ObjectId head = Line(bolt, -7, 5, 0, 5, L"AM_0");
        Bind(head, L"LAYER", L"LineTypeHead", {L"AM_0", L"AM_3"});
        const db::ObjectId body = Line(bolt, 0, 5, 40, 5, L"AM_0");
        Bind(body, L"END.X", L"LEN");
        Bind(body, L"LAYER", L"LineTypeBody", {L"AM_0", L"AM_3"});
        const db::ObjectId centre = Line(bolt, -7, 0, 42.5, 0, L"AM_7");
        Bind(centre, L"END.X", L"LEN+CS");
        Bind(centre, L"VISIBLE", L"ShowCenterLine");
        m_ref = Ref(Db().modelSpaceId(), bolt, 0, 0);
        m_desc.m_symbolBlockName = L"B1180_Full_1";
    }

    // The lines of the reference's current block, in order.
    std::vector<const db::Line*> Lines() {
        m_open.clear();
        db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forRead);
        std::vector<const db::Line*> out;
        for (db::ObjectId id : Entities(ref->blockTableRecord())) {
            m_open.emplace_back(id, db::OpenMode::forRead);
            out.push_back(m_open.back().get());
        }
        return out;
    }

    db::ObjectId m_ref;
    PartDescription m_desc;
    LineTypeState m_state;
    std::list<db::ObjectPtr<db::Line>> m_open;
};

} // namespace

TEST(ControlParameter, NamesTheParameterAndTheValueAControlGives) {
    std::wstring p, v;
    CParam edit = Control(ControlKind::Edit, L"Edit1", L"12.5");
    edit.m_paramName = L"LEN";
    ASSERT_TRUE(ControlParameter(edit, p, v));
    EXPECT_EQ(p, L"LEN");
    EXPECT_EQ(v, L"12.5");

    CParam listed = Control(ControlKind::Radio, L"Radio1", L"2");
    listed.m_paramName = L"JA:0,1,7";
    ASSERT_TRUE(ControlParameter(listed, p, v));
    EXPECT_EQ(p, L"JA");
    EXPECT_EQ(v, L"7");
    listed.m_value = L"3";
    EXPECT_FALSE(ControlParameter(listed, p, v)); // past the end of the list
    listed.m_value = L"-1";
    EXPECT_FALSE(ControlParameter(listed, p, v));

    ASSERT_TRUE(ControlParameter(Control(ControlKind::Radio, L"Radio2", L"2", L"線種"), p, v));
    EXPECT_EQ(p, L"LineTypeHead");
    EXPECT_EQ(v, L"1");
    ASSERT_TRUE(ControlParameter(Control(ControlKind::Check, L"Check1", L"0", L"中心線"), p, v));
    EXPECT_EQ(p, L"ShowCenterLine");
    EXPECT_EQ(v, L"0");
    // The caption decides only for its own kind of control.
    EXPECT_FALSE(ControlParameter(Control(ControlKind::Check, L"Check2", L"1", L"線種"), p, v));
    EXPECT_FALSE(ControlParameter(Control(ControlKind::Edit, L"Edit2", L"1", L"中心線"), p, v));
}

TEST_F(PartParameters, ControlValuesAndTheProjectionLengthShapeThePart) {
    CParam length = Control(ControlKind::Edit, L"Edit1", L"55");
    length.m_paramName = L"LEN";
    m_desc.m_params = {length, Control(ControlKind::Check, L"Check1", L"0", L"中心線")};
    m_desc.m_layers.m_projectionLength = L"3";

    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_DOUBLE_EQ(lines[1]->endPoint().x, 55);
    EXPECT_DOUBLE_EQ(lines[2]->endPoint().x, 58);
    EXPECT_FALSE(lines[2]->visible());
    EXPECT_EQ(m_state, LineTypeState{}); // nothing said about line types
    EXPECT_TRUE(Out().empty());          // silent without the debug switch
}

TEST_F(PartParameters, ValuesTheBlockCannotUseAreSkipped) {
    CParam text = Control(ControlKind::Edit, L"Edit1", L"abc");
    text.m_paramName = L"LEN";
    CParam unknown = Control(ControlKind::Edit, L"Edit2", L"5");
    unknown.m_paramName = L"NOSUCH";
    CParam outOfList = Control(ControlKind::List, L"List1", L"9");
    outOfList.m_paramName = L"LEN:10,20";
    m_desc.m_params = {text, unknown, outOfList};

    EXPECT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    EXPECT_DOUBLE_EQ(Value(m_ref, L"LEN"), 40);
    EXPECT_DOUBLE_EQ(Lines()[1]->endPoint().x, 40);
}

TEST_F(PartParameters, DisabledControlsAreNotSetAndDebugOutputSaysSo) {
    SetDebug(true);
    CParam length = Control(ControlKind::Edit, L"Edit1", L"60", L"長さ");
    length.m_paramName = L"LEN";
    length.m_enabledAtOk = false;
    m_desc.m_params = {length, Control(ControlKind::Radio, L"Radio2", L"0", L"線種")};

    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    EXPECT_DOUBLE_EQ(Value(m_ref, L"LEN"), 40);
    EXPECT_EQ(Out(), L"\nパラメータ[CS]=[2.5]"
                     L"\n指定しないパラメータ[Edit1/長さ]"
                     L"\nパラメータ[LineTypeHead]=[0]"
                     L"\n　　　　　[LineTypeBody]=[0]"
                     L"\n　　　　　パラメータの更新に成功");
}

TEST_F(PartParameters, DashedHeadAndBodyEndAsAWholeDashedPartWithBothSwitchesOff) {
    m_desc.m_params = {Control(ControlKind::Radio, L"Radio2", L"1", L"線種")};
    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    EXPECT_TRUE(m_state.m_wholeDashed);
    EXPECT_FALSE(m_state.m_headDashed);
    EXPECT_FALSE(m_state.m_bodyDashed);
    EXPECT_FALSE(m_state.m_headNotSet);
    EXPECT_EQ(Expression(m_ref, L"LineTypeHead"), L"0");
    EXPECT_EQ(Expression(m_ref, L"LineTypeBody"), L"0");
    // The outline stays on its solid layer; the category mapping makes it hidden as a whole.
    EXPECT_EQ(Lines()[0]->layer(), L"AM_0");
    EXPECT_EQ(Lines()[1]->layer(), L"AM_0");
}

TEST_F(PartParameters, ADashedPartIsDrawnOnTheHiddenCategoryWhenPlaced) {
    CategoryLayerIds layers;
    ASSERT_TRUE(EnsureCategoryLayers(m_desc.m_layers, true, layers));
    m_desc.m_params = {Control(ControlKind::Radio, L"Radio2", L"1", L"線種")};
    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));

    db::ObjectId current, made;
    {
        db::ObjectPtr<db::BlockReference> r(m_ref, db::OpenMode::forRead);
        current = r->blockTableRecord();
    }
    ASSERT_TRUE(MakeStaticPartBlock(current, L"BOLT_1", m_state, made));
    ASSERT_TRUE(MapOntoCategories(m_desc, made, m_state));
    // The head and body on the hidden-line layer, the centre line on its own.
    EXPECT_EQ(Layers(made), (std::vector<std::wstring>{L"AM_3", L"AM_3", L"AM_7"}));
}

TEST_F(PartParameters, WholeDashedStopsLaterLineTypeWrites) {
    CParam whole = Control(ControlKind::Edit, L"Edit1", L"1");
    whole.m_paramName = L"LineType";
    CParam body = Control(ControlKind::Edit, L"Edit2", L"1");
    body.m_paramName = L"LineTypeBody";
    m_desc.m_params = {whole, Control(ControlKind::Radio, L"Radio2", L"1", L"線種"), body};

    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    EXPECT_TRUE(m_state.m_wholeDashed);
    EXPECT_EQ(Expression(m_ref, L"LineType"), L"0");
    EXPECT_EQ(Expression(m_ref, L"LineTypeHead"), L"0");
    EXPECT_EQ(Expression(m_ref, L"LineTypeBody"), L"0");
    EXPECT_EQ(Lines()[0]->layer(), L"AM_0");
}

TEST_F(PartParameters, ADashedBodyAloneIsWrittenAndMarked) {
    CParam body = Control(ControlKind::Edit, L"Edit1", L"1");
    body.m_paramName = L"LineTypeBody";
    m_desc.m_params = {Control(ControlKind::Radio, L"Radio2", L"0", L"線種"), body};

    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    EXPECT_TRUE(m_state.m_bodyDashed);
    EXPECT_FALSE(m_state.m_wholeDashed);
    EXPECT_EQ(Lines()[0]->layer(), L"AM_0");
    EXPECT_EQ(Lines()[1]->layer(), L"AM_3");
}

TEST_F(PartParameters, StudsHaveADashedBodyFromTheStart) {
    m_desc.m_symbolBlockName = L"B1173_Studs_1";
    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, m_state));
    EXPECT_TRUE(m_state.m_bodyDashed);
    EXPECT_FALSE(m_state.m_headNotSet);
    EXPECT_FALSE(m_state.m_wholeDashed);

    LineTypeState other;
    m_desc.m_symbolBlockName = L"b1173_studs_1"; // the name must be exact
    ASSERT_TRUE(SetPartParameters(m_desc, m_ref, other));
    EXPECT_FALSE(other.m_bodyDashed);
}

TEST_F(PartParameters, APlainReferenceOrEntityIsNoParametricInstance) {
    SetDebug(true);
    const db::ObjectId plain = Ref(Db().modelSpaceId(), Block(L"PLAIN"), 0, 0);
    EXPECT_FALSE(SetPartParameters(m_desc, plain, m_state));
    EXPECT_NE(Out().find(L"\n　　　　　パラメータの更新に失敗"), std::wstring::npos);
    const db::ObjectId line = Line(Db().modelSpaceId(), 0, 0, 1, 1);
    EXPECT_FALSE(SetPartParameters(m_desc, line, m_state));
}

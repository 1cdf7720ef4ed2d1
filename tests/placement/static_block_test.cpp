// The static part block: what is dropped, kept, flattened and marked when a placed symbol's
// geometry becomes a block of its own.
#include "GeometryTestUtil.h"

#include "hide/EntityPredicates.h"
#include "placement/PartRecord.h"
#include "placement/StaticPartBlock.h"

#include "zhost/db/dictionary.h"

#include <algorithm>

using namespace geomtest;

namespace {

class StaticBlock : public PartGeometryTest {
protected:
    void SetUp() override {
        PartGeometryTest::SetUp();
        m_source = Block(L"SRC");
    }
    db::ObjectId Make(const LineTypeState& state = {}) {
        db::ObjectId made;
        EXPECT_TRUE(MakeStaticPartBlock(m_source, L"PART_1", state, made));
        return made;
    }
    void SetLook(db::ObjectId id, int color, const wchar_t* linetype = nullptr) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        ASSERT_OK(e->setColorIndex(color));
        if (linetype) {
            ASSERT_OK(e->setLinetype(linetype));
        }
    }
    void SetVisible(db::ObjectId id, bool visible) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        ASSERT_OK(e->setVisible(visible));
    }
    bool Marked(db::ObjectId id) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        return e && e->hasXData(kCurveInfoApp);
    }
    template <class T> T Read(db::ObjectId id, auto getter) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        return getter(*e);
    }
    int ColorOf(db::ObjectId id) {
        return Read<int>(id, [](const db::Entity& e) { return e.colorIndex(); });
    }
    std::wstring LinetypeOf(db::ObjectId id) {
        return Read<std::wstring>(id, [](const db::Entity& e) { return e.linetype(); });
    }

    db::ObjectId m_source;
};

} // namespace

TEST_F(StaticBlock, ConstructionGeometryIsDroppedAndCentreLinesGoUnderneath) {
    Square(m_source, 0, 0, 20, L"AM_0");
    const db::ObjectId centre = Line(m_source, -5, 0, 25, 0, L"AM_7");
    SetVisible(Line(m_source, -5, 1, 25, 1, L"am_7"), false);
    Add(m_source, std::make_unique<db::Point>(geom::Point3d(3, 0)), L"AM_7");
    Line(m_source, 0, 0, 20, 0, L"*ADSK_CONSTRAINTS");
    Add(m_source, std::make_unique<db::Point>(geom::Point3d(20, 0)), L"*adsk_constraints");
    Line(m_source, 0, 0, 20, 20, L"*suppress");
    Line(m_source, 0, 20, 20, 0, L"ASUPPRESS"); // not the suppressed layer
    SetLook(centre, 1, L"Continuous");

    const db::ObjectId made = Make();
    const auto ids = Entities(made);
    EXPECT_EQ(Layers(made), (std::vector<std::wstring>{L"AM_0", L"AM_0", L"AM_0", L"AM_0", L"AM_7",
                                                       L"ASUPPRESS"}));
    ASSERT_EQ(ids.size(), 6u);
    EXPECT_EQ(LinetypeOf(ids[4]), L"ByLayer");
    EXPECT_EQ(ColorOf(ids[4]), 1); // the colour stays; the category mapping decides it later

    db::ObjectPtr<db::SortentsTable> order;
    ASSERT_OK(Db().getSortentsTable(made, db::OpenMode::forRead, order));
    const std::vector<db::ObjectId> drawn = order->drawOrder();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), ids[4]); // drawn first, beneath the outline
}

TEST_F(StaticBlock, VisibleNestedReferencesAreFlattenedWithWhatTheyInherit) {
    Layer(L"AM_3");
    const db::ObjectId root = Block(L"ROOT");
    const db::ObjectId byBlock = Line(root, 0, 0, 1, 0, L"0");
    SetLook(byBlock, db::color::byBlock, L"ByBlock");
    const db::ObjectId own = Line(root, 0, 1, 1, 1, L"AM_4");
    SetLook(own, 3);
    Add(root, std::make_unique<db::Text>(geom::Point3d(), L"x", 1.0), L"AM_4"); // no curve
    SetVisible(Line(root, 0, 2, 1, 2, L"AM_4"), false);
    Line(root, 0, 3, 1, 3, L"*SUPPRESS");

    Square(m_source, 0, 0, 10, L"AM_0");
    Ref(m_source, root, 10, 0, L"AM_3"); // colour and linetype by layer
    const db::ObjectId hidden = Ref(m_source, root, 20, 0, L"AM_3", false);

    const db::ObjectId made = Make();
    const auto ids = Entities(made);
    ASSERT_EQ(ids.size(), 7u);
    // The by-block line moves onto the reference's layer; the other keeps its own layer.
    EXPECT_EQ(LayerOf(ids[4]), L"AM_3");
    EXPECT_EQ(ColorOf(ids[4]), db::color::byLayer);
    EXPECT_EQ(LayerOf(ids[5]), L"AM_4");
    EXPECT_EQ(ColorOf(ids[5]), db::color::byLayer);
    {
        db::ObjectPtr<db::Line> piece(ids[4], db::OpenMode::forRead);
        EXPECT_EQ(piece->startPoint(), geom::Point3d(10, 0)); // placed by the reference
    }
    // The invisible reference is copied as it is, still invisible.
    EXPECT_EQ(TypeOf(ids[6]), L"INSERT");
    EXPECT_FALSE(IsVisibleId(ids[6]));
    EXPECT_NE(ids[6], hidden);
}

TEST_F(StaticBlock, HiddenPiecesOfADashedBodyAreMarked) {
    Layer(L"AM_3");
    const db::ObjectId root = Block(L"ROOTS");
    SetLook(Line(root, 0, 0, 1, 0, L"AM_3"), 4);
    Line(root, 0, 1, 1, 1, L"AM_3"); // by layer: no mark
    SetLook(Line(m_source, 0, 2, 9, 2, L"AM_3"), 4);
    Line(m_source, 0, 3, 9, 3, L"AM_3");
    SetLook(Line(m_source, 0, 4, 9, 4, L"AM_0"), 4);
    Ref(m_source, root, 0, 0, L"AM_3");

    LineTypeState body;
    body.m_bodyDashed = true;
    const auto ids = Entities(Make(body));
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_EQ((std::vector<bool>{Marked(ids[0]), Marked(ids[1]), Marked(ids[2]), Marked(ids[3]),
                                 Marked(ids[4])}),
              (std::vector<bool>{true, false, false, true, false}));
    db::ObjectPtr<db::Entity> e(ids[0], db::OpenMode::forRead);
    EXPECT_EQ(e->xdata(kCurveInfoApp),
              (db::XData{db::xApp(kCurveInfoApp), db::xString(kCurveInfoHiddenBolt)}));

    // The same part with a solid body carries no marks.
    db::ObjectId solid;
    ASSERT_TRUE(MakeStaticPartBlock(m_source, L"PART_2", LineTypeState{}, solid));
    for (db::ObjectId id : Entities(solid))
        EXPECT_FALSE(Marked(id));
}

TEST_F(StaticBlock, BlocksThatContainThemselvesAreFollowedOncePerPath) {
    const db::ObjectId a = Block(L"A");
    const db::ObjectId b = Block(L"B");
    Line(a, 0, 0, 1, 0, L"AM_0");
    Ref(a, b, 0, 10);
    Line(b, 0, 0, 2, 0, L"AM_0");
    Ref(b, a, 0, 30); // A again, through B
    Ref(m_source, a, 0, 0);

    const auto ids = Entities(Make());
    // A's line and B's line; A inside B is left out.
    ASSERT_EQ(ids.size(), 2u);
    db::ObjectPtr<db::Line> bLine(ids[1], db::OpenMode::forRead);
    EXPECT_EQ(bLine->startPoint(), geom::Point3d(0, 10));
}

TEST_F(StaticBlock, ParametricDataStaysBehind) {
    const db::ObjectId pin = ParamBlock(L"PIN", {{L"LEN", L"30"}});
    const db::ObjectId body = Line(pin, 0, 0, 20, 0, L"AM_0");
    Bind(body, L"END.X", L"LEN");
    const db::ObjectId ref = Ref(Db().modelSpaceId(), pin, 0, 0);
    ASSERT_OK(param::setParameterExpression(ref, L"LEN", L"45"));
    ASSERT_OK(param::evaluate(ref));
    db::ObjectId current;
    {
        db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forRead);
        current = r->blockTableRecord();
    }
    db::ObjectId made;
    ASSERT_TRUE(MakeStaticPartBlock(current, L"PIN_1", LineTypeState{}, made));
    EXPECT_FALSE(param::isParametric(made));
    const auto ids = Entities(made);
    ASSERT_EQ(ids.size(), 1u);
    std::vector<param::Binding> bindings;
    param::bindings(ids[0], bindings);
    EXPECT_TRUE(bindings.empty());
    db::ObjectPtr<db::Line> line(ids[0], db::OpenMode::forRead);
    EXPECT_EQ(line->endPoint(), geom::Point3d(45, 0)); // the geometry as the reference shows it
}

TEST_F(StaticBlock, KeepsTheBasePointOfTheSymbol) {
    {
        db::ObjectPtr<db::BlockTableRecord> source(m_source, db::OpenMode::forWrite);
        ASSERT_OK(source->setOrigin(geom::Point3d(5, 2)));
    }
    Line(m_source, 0, 0, 10, 0, L"AM_0");
    db::ObjectPtr<db::BlockTableRecord> made(Make(), db::OpenMode::forRead);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->origin(), geom::Point3d(5, 2));
}

TEST_F(StaticBlock, NoBlockIsLeftWhenNothingCanBeCopiedOrTheNameIsTaken) {
    Line(m_source, 0, 0, 1, 0, L"*SUPPRESS");
    db::ObjectId made;
    EXPECT_FALSE(MakeStaticPartBlock(m_source, L"PART_1", LineTypeState{}, made));
    EXPECT_TRUE(made.isNull());
    EXPECT_FALSE(HasBlock(L"PART_1"));

    Line(m_source, 0, 0, 1, 0, L"AM_0");
    Block(L"PART_2");
    EXPECT_FALSE(MakeStaticPartBlock(m_source, L"PART_2", LineTypeState{}, made));
    EXPECT_FALSE(MakeStaticPartBlock(db::ObjectId::null(), L"PART_3", LineTypeState{}, made));
    EXPECT_FALSE(HasBlock(L"PART_3"));
}

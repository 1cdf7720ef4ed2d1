// Inserting a part's symbol drawing through the host's "-bminsert": the block made from the file
// only when new, the reference off the screen, the system variables handed back, and a drawing
// left as it was when the symbol cannot be used.
#include "GeometryTestUtil.h"

#include "placement/SymbolInsert.h"

#include "zhost/dxf/dxf.h"
#include "zhost/editor/display.h"

using namespace geomtest;

namespace {

class SymbolInsert : public PartGeometryTest {
protected:
    void SetUp() override {
        PartGeometryTest::SetUp();
        m_symbols = m_folder.MakeFolder("lib/PartsContents/Symbols");
        m_library = zhost::fromUtf8((m_folder / "lib/PartsContents").string()) + L"\\";
    }

    // Writes a symbol drawing: a pin of length LEN on "PIN_OUT" unless `empty`, with the
    // parameter expression given.
    void WriteSymbol(const char* name, const wchar_t* lenExpression = L"20", bool empty = false) {
        db::Database sym;
        db::ObjectId layer;
        sym.addLayer(L"PIN_OUT", layer);
        if (!empty) {
            auto line = std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(20, 0));
            line->setLayer(layer);
            db::ObjectId id;
            ASSERT_OK(sym.appendToModelSpace(std::move(line), id));
            ASSERT_OK(param::setParameter(sym.modelSpaceId(), L"LEN", lenExpression));
            ASSERT_OK(param::setBinding(id, {L"END.X", L"LEN"}));
        }
        ASSERT_OK(zhost::dxf::writeDxf(sym, m_symbols / (std::string(name) + ".dxf")));
    }
    void SetShowBmInsert() {
        std::ofstream(m_switches)
            << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\n"
            << "\"ShowBmInsert\"=dword:00000001\n";
    }
    int Var(const wchar_t* name) {
        int v = -1;
        ed::getVarInt(name, v);
        return v;
    }
    std::wstring PathOf(const wchar_t* name) { return m_library + L"Symbols\\" + name + L".dwg"; }
    // Blocks, layers and model-space entities: what a failed insertion must leave alone.
    struct Contents {
        int blocks, layers, entities;
        bool operator==(const Contents&) const = default;
    };
    Contents Count() {
        db::ObjectPtr<db::BlockTable> b(Db().blockTableId(), db::OpenMode::forRead);
        db::ObjectPtr<db::LayerTable> l(Db().layerTableId(), db::OpenMode::forRead);
        return {b->count(), l->count(), int(Entities(Db().modelSpaceId()).size())};
    }

    std::filesystem::path m_symbols;
    std::wstring m_library;
};

} // namespace

TEST_F(SymbolInsert, ANewSymbolBecomesAHiddenReferenceAndTheVariablesComeBack) {
    WriteSymbol("PIN_1");
    Line(Db().modelSpaceId(), 0, 0, 5, 5); // an entity of the user's before it
    ed::setVarInt(L"CMDECHO", 1);
    ed::setVarInt(L"ATTREQ", 1);
    ed::setVarInt(L"INSUNITS", 1);

    db::ObjectId ref;
    ASSERT_TRUE(InsertSymbol(m_library, L"PIN_1", geom::Point3d(100, 50), ref)) << Out();
    db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forRead);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->blockName(), L"PIN_1");
    ASSERT_EQ(Entities(r->blockTableRecord()).size(), 1u);
    EXPECT_EQ(r->position(), geom::Point3d(100, 50));
    EXPECT_TRUE(param::isParametric(ref));
    EXPECT_TRUE(ed::isHiddenOnScreen(ref));
    EXPECT_EQ(Var(L"CMDECHO"), 1);
    EXPECT_EQ(Var(L"ATTREQ"), 1);
    EXPECT_EQ(Var(L"INSUNITS"), 1);
    EXPECT_TRUE(Out().empty()) << Out(); // the command's own prompts are not echoed
}

TEST_F(SymbolInsert, ShowBmInsertKeepsTheSymbolOnTheScreen) {
    SetShowBmInsert();
    WriteSymbol("PIN_1");
    db::ObjectId ref;
    ASSERT_TRUE(InsertSymbol(m_library, L"PIN_1", geom::Point3d(), ref));
    EXPECT_FALSE(ed::isHiddenOnScreen(ref));
}

TEST_F(SymbolInsert, ABlockTheDrawingHasIsInsertedAsItIs) {
    WriteSymbol("PIN_1");
    const db::ObjectId own = Block(L"pin_1");
    Circle(own, 0, 0, 4);
    db::ObjectId ref;
    ASSERT_TRUE(InsertSymbol(m_library, L"PIN_1", geom::Point3d(), ref));
    db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forRead);
    EXPECT_EQ(r->blockTableRecord(), own);
    ASSERT_EQ(Entities(own).size(), 1u);
    EXPECT_EQ(TypeOf(Entities(own)[0]), L"CIRCLE");
}

TEST_F(SymbolInsert, AMissingSymbolIsReportedAndNothingIsInserted) {
    const Contents before = Count();
    db::ObjectId ref;
    EXPECT_FALSE(InsertSymbol(m_library, L"NOPE_1", geom::Point3d(), ref));
    EXPECT_EQ(Out(), L"\n[" + PathOf(L"NOPE_1") + L"]\n部品シンボルが存在しません。");
    EXPECT_TRUE(ref.isNull());
    EXPECT_EQ(Count(), before);
}

TEST_F(SymbolInsert, UnusableSymbolsLeaveTheDrawingAsItWas) {
    m_folder.Write("lib/PartsContents/Symbols/BROKEN_1.dxf", "  0\nSECTION\n  2\nENTITIES\n 999");
    WriteSymbol("EMPTY_1", L"20", true);
    WriteSymbol("BADEXPR_1", L"NOSUCH*2");
    Layer(L"KEEP_ME"); // an unused layer of the user's stays
    const Contents before = Count();

    for (const wchar_t* name : {L"BROKEN_1", L"EMPTY_1", L"BADEXPR_1"}) {
        m_out.clear();
        db::ObjectId ref;
        EXPECT_FALSE(InsertSymbol(m_library, name, geom::Point3d(), ref)) << name;
        EXPECT_EQ(Out(), L"\n[" + PathOf(name) + L"]\n部品シンボルの挿入に失敗しました。") << name;
        EXPECT_EQ(Count(), before) << name;
        EXPECT_FALSE(HasBlock(name)) << name;
        EXPECT_FALSE(HasLayer(L"PIN_OUT")) << name;
    }
    EXPECT_TRUE(HasLayer(L"KEEP_ME"));
}

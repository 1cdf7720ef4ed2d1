// Placing a part of the sample product inside the test's process, with its description filled
// as the condition dialog leaves it: copies dragged one after another, the static block they
// share, the identity data on each, the clean-up of what the run created, and the edit road
// that replaces a placed part or leaves it as it was.
#include "../hide/HideTestUtil.h"
#include "library/LibraryPaths.h"
#include "placement/BlockNames.h"
#include "placement/JigBlock.h"
#include "placement/LayerCategories.h"
#include "placement/PartsContentsRun.h"

#include "support/ezdxf.h"
#include "support/session.h"
#include "support/zorma_run.h"

#include "zhost/db/object_ptr.h"
#include "zhost/db/parametric.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/editor.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

namespace {

using namespace hidetest;
namespace fs = std::filesystem;

class PartPlacementTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        zhost::settings::setHeadless(true);
        zhost::settings::setProductFolder(ztest::SourcePath("samples/product"));
        zhost::settings::setUserFolder(m_folder.MakeFolder("user"));
        ResetLibraryPaths();
        ResetJigUpdateTiming();
        CLibraryPaths paths;
        ASSERT_TRUE(GetLibraryPaths(paths));
        m_root = paths.m_root;
        NewRun(kPartsContentsNew, L"M10");
    }
    void TearDown() override {
        m_input.reset();
        zhost::settings::setProductFolder({});
        ResetLibraryPaths();
        DrawingTest::TearDown();
    }

    // A run on the partial-thread hex bolt of this size, as the condition dialog leaves it.
    void NewRun(PartsContentsMode mode, const wchar_t* size) {
        m_run = CPartsContentsRun();
        m_run.m_mode = mode;
        m_run.m_displayName = L"六角ボルト";
        PartDescription& d = m_run.m_desc;
        d.SetLibraryRoot(m_root);
        ASSERT_GT(d.Load(L"B1180_Partial"), 0);
        d.Find(L"List1")->m_value = size;
        d.Find(L"Edit1")->m_value = std::wstring(size).substr(1); // the dialog fills d from it
        d.m_symbolBlockName = L"B1180_Partial_1";
        LoadAtrList(d);
        CategoryLayerIds ids;
        ASSERT_TRUE(EnsureCategoryLayers(d.m_layers, true, ids));
    }
    void Answers(std::vector<std::wstring> lines) {
        m_input.reset();
        m_input = std::make_unique<ztest::QueuedInput>(std::move(lines));
    }
    // Places with these answers and removes what the run left unused, as the command does.
    bool Place(std::vector<std::wstring> answers) {
        Answers(std::move(answers));
        const auto before = SnapshotBlockDefinitions();
        const bool done = PlacePart(m_run);
        EraseNewUnreferencedBlocks(before, false);
        return done;
    }
    std::vector<db::ObjectId> Placed() {
        std::vector<db::ObjectId> out;
        for (db::ObjectId id : Entities(Db().modelSpaceId()))
            if (TypeOf(id) == L"INSERT")
                out.push_back(id);
        return out;
    }
    std::wstring BlockNameOf(db::ObjectId ref) {
        db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forRead);
        return r ? r->blockName() : L"?";
    }
    std::vector<std::wstring> BlockNames() {
        std::vector<db::ObjectId> ids;
        std::vector<std::wstring> names;
        ListBlockDefinitions(nullptr, ids, names);
        return names;
    }

    std::wstring m_root;
    CPartsContentsRun m_run;
    std::unique_ptr<ztest::QueuedInput> m_input;
};

constexpr double kPi = std::numbers::pi;

} // namespace

// --- New placements ------------------------------------------------------------------------

TEST_F(PartPlacementTest, CopiesShareOneStaticBlockAndCarryTheirIdentity) {
    ASSERT_TRUE(Place({L"0,0", L"@move 47,0", L"47,0", L"0,50", L"0,100", L"^C"}));
    EXPECT_NE(Out().find(L"配置完了[B1180_Partial_1]"), std::wstring::npos) << zhost::toUtf8(Out());
    const auto placed = Placed();
    ASSERT_EQ(placed.size(), 3u);
    for (db::ObjectId id : placed) {
        EXPECT_EQ(BlockNameOf(id), L"B1180_Partial_1_1");
        EXPECT_EQ(LayerOf(id), L"AM_0");
        db::ObjectPtr<db::BlockReference> r(id, db::OpenMode::forRead);
        EXPECT_EQ(GetPartRecordFileName(r->xdata(L"ZORMA_PARTS_CONTENTS")), L"B1180_Partial");
    }
    db::ObjectPtr<db::BlockReference> second(placed[1], db::OpenMode::forRead);
    EXPECT_EQ(second->position(), geom::Point3d(0, 50));
    // The static block has no parameters left; the symbol and its private copy are gone.
    db::ObjectPtr<db::BlockReference> first(placed[0], db::OpenMode::forRead);
    EXPECT_FALSE(db::param::isParametric(first->blockTableRecord()));
    EXPECT_EQ(BlockNames(), std::vector<std::wstring>{L"B1180_Partial_1_1"});
}

TEST_F(PartPlacementTest, ASecondRunMakesABlockOfItsOwn) {
    ASSERT_TRUE(Place({L"0,0", L"45,0", L"^C"}));
    NewRun(kPartsContentsNew, L"M12");
    ASSERT_TRUE(Place({L"0,50", L"60,50", L"^C"}));
    const auto placed = Placed();
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(BlockNameOf(placed[0]), L"B1180_Partial_1_1");
    EXPECT_EQ(BlockNameOf(placed[1]), L"B1180_Partial_1_2");
}

TEST_F(PartPlacementTest, CancellingTheFirstDragLeavesNothing) {
    ASSERT_TRUE(Place({L"^C"}));
    EXPECT_TRUE(Placed().empty());
    EXPECT_EQ(Out().find(L"配置完了"), std::wstring::npos);
    EXPECT_TRUE(BlockNames().empty());
}

TEST_F(PartPlacementTest, AMissingSymbolDrawingFailsWithItsMessage) {
    m_run.m_desc.m_symbolBlockName = L"B1180_Partial_9";
    EXPECT_FALSE(Place({L"0,0", L"45,0", L"^C"}));
    EXPECT_NE(Out().find(L"部品シンボルが存在しません。"), std::wstring::npos);
    EXPECT_TRUE(Placed().empty());
    EXPECT_TRUE(BlockNames().empty());
}

// --- Edit ----------------------------------------------------------------------------------

TEST_F(PartPlacementTest, EditReplacesThePartAtItsPlace) {
    ASSERT_TRUE(Place({L"10,20", L"55,20", L"^C"}));
    const db::ObjectId old = Placed().at(0);
    NewRun(kPartsContentsEdit, L"M12");
    m_run.m_partId = old;
    m_run.m_origin = PartOrigin::PartsContents;
    m_out.clear();
    ASSERT_TRUE(Place({L"@move 10,60", L"10,80"})); // no base point: the part keeps its own
    EXPECT_TRUE(IsErased(old));
    const auto placed = Placed();
    ASSERT_EQ(placed.size(), 1u);
    db::ObjectPtr<db::BlockReference> r(placed[0], db::OpenMode::forRead);
    EXPECT_EQ(r->position(), geom::Point3d(10, 20));
    EXPECT_NEAR(r->rotation(), kPi / 2, 1e-9);
    EXPECT_EQ(r->blockName(), L"B1180_Partial_1_2");
    PartDescription back;
    back.SetLibraryRoot(m_root);
    ASSERT_GT(back.Load(L"B1180_Partial"), 0);
    ASSERT_TRUE(ReadBackPart(back, placed[0]));
    EXPECT_EQ(back.Find(L"List1")->m_value, L"M12");
    EXPECT_EQ(Out().find(L"配置完了"), std::wstring::npos);
    // The replaced part's static block has no other use and went with it.
    EXPECT_EQ(BlockNames(), std::vector<std::wstring>{L"B1180_Partial_1_2"});
}

TEST_F(PartPlacementTest, CancelledEditLeavesThePartAsItWasAndVisible) {
    ASSERT_TRUE(Place({L"10,20", L"55,20", L"^C"}));
    const db::ObjectId old = Placed().at(0);
    NewRun(kPartsContentsEdit, L"M12");
    m_run.m_partId = old;
    ASSERT_TRUE(Place({L"^C"}));
    EXPECT_FALSE(IsErased(old));
    EXPECT_FALSE(ed::isHiddenOnScreen(old));
    EXPECT_EQ(Placed(), std::vector<db::ObjectId>{old});
    EXPECT_EQ(BlockNames(), std::vector<std::wstring>{L"B1180_Partial_1_1"});
}

TEST_F(PartPlacementTest, AnEditedPartThatCannotBeOpenedIsReported) {
    ASSERT_TRUE(Place({L"10,20", L"55,20", L"^C"}));
    const db::ObjectId old = Placed().at(0);
    NewRun(kPartsContentsEdit, L"M12");
    m_run.m_partId = old;
    db::ObjectPtr<db::BlockReference> holder(old, db::OpenMode::forWrite); // held elsewhere
    EXPECT_FALSE(Place({L"10,80"}));
    EXPECT_NE(Out().find(L"選択した部品は編集できません。"), std::wstring::npos);
}

// --- Dimensions --------------------------------------------------------------------------------

namespace {

// A row of the published table of hex bolts (the main body: ISO 4014 product grade A).
struct BoltRow {
    std::wstring size;
    double s = 0, k = 0, bShort = 0, bMid = 0; // b for l <= 125 and for 125 < l <= 200
};

std::vector<BoltRow> PublishedBolts() {
    std::vector<BoltRow> rows;
    std::istringstream in(ztest::ReadFile(ztest::SourcePath("tools/jis/bolts_hex_jis_b1180.tsv")));
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::istringstream cols(line);
        for (std::string c; std::getline(cols, c, '\t');)
            f.push_back(c);
        if (f.size() < 10 || f[0].rfind("JIS_B1180_main_body", 0) != 0)
            continue;
        BoltRow r;
        r.size = zhost::fromUtf8(f[1]);
        r.s = std::stod(f[3]);
        r.k = std::stod(f[5]);
        r.bShort = std::stod(f[8]);
        r.bMid = f[9] == "n/a" ? 0 : std::stod(f[9]);
        rows.push_back(r);
    }
    return rows;
}

} // namespace

TEST_F(PartPlacementTest, PlacedBoltsHaveThePublishedDimensionsOfEverySize) {
    SKIP_WITHOUT_EZDXF();
    const std::vector<BoltRow> table = PublishedBolts();
    ASSERT_EQ(table.size(), 10u);
    struct Case {
        BoltRow row;
        double length;
    };
    std::vector<Case> cases;
    for (const BoltRow& row : table) {
        CPartsYobi nominal;
        ASSERT_TRUE(nominal.Load(L"B1180_Partial", 0));
        ASSERT_TRUE(nominal.Restrict(row.size));
        cases.push_back({row, std::stod(nominal.GetLengths().front())});
    }
    cases.push_back({table[7], 160.0}); // M16 above 125: the longer thread
    for (size_t i = 0; i < cases.size(); ++i) {
        NewRun(kPartsContentsNew, cases[i].row.size.c_str());
        const std::wstring y = std::to_wstring(40 * i);
        ASSERT_TRUE(Place({L"0," + y, L"L", ed::rToS(cases[i].length, 2, 2), L"0", L"^C"}));
    }
    const fs::path saved = m_folder.path() / "bolts.dxf";
    ASSERT_OK(zhost::dxf::writeDxf(Db(), saved));
    const ztest::ProcessResult r =
        ztest::RunPython(ztest::SourcePath("tests/placement/bolt_dimensions.py"), {saved.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream out(r.out);
    for (const Case& c : cases) {
        std::string name;
        double k = 0, e = 0, length = 0, b = 0;
        ASSERT_TRUE(out >> name >> k >> e >> length >> b) << r.out;
        const std::string size = zhost::toUtf8(c.row.size);
        EXPECT_NEAR(e * std::sqrt(3.0) / 2, c.row.s, 0.01) << size;
        EXPECT_NEAR(k, c.row.k, 0.01) << size;
        EXPECT_NEAR(length, c.length, 0.01) << size;
        EXPECT_NEAR(b, c.length <= 125 ? c.row.bShort : c.row.bMid, 0.01) << size;
    }
}

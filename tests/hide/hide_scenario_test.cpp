// ZORMA_HIDE and ZORMA_HIDE_RESTORE end to end: the zorma program loads the built plug-in, runs a
// script on a drawing made here and saves it; the saved drawing is read back and measured.
#include "support/drawing.h"
#include "support/ezdxf.h"
#include "support/zorma_run.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/dump.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/dxf/dxf.h"
#include "zhost/geom/curves.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace db = zhost::db;
namespace fs = std::filesystem;
namespace geom = zhost::geom;
using ::testing::Not;
using ztest::ExitsWith;
using ztest::Prints;
using ztest::PrintsTimes;

namespace {

constexpr double kPi = std::numbers::pi;

// The covering plate's left edge, away from every curve of the bolt; a point on the bolt's
// shank outside the plate; a line on WALL in red; the shank of a bolt far from the plate.
constexpr const char* kPickPlate = "@pick 100,130\n";
constexpr const char* kPickBolt = "@pick 95,120\n";
constexpr const char* kPickWall = "@pick 5,-50\n";
constexpr const char* kPickFarBolt = "@pick 295,320\n";

constexpr const char* kHidePromptHide =
    "製図要素を指示 または[非表示化(A)/プロパティ変更(B)]<非表示化>:";
constexpr const char* kHidePromptProperty =
    "製図要素を指示 または[非表示化(A)/プロパティ変更(B)]<プロパティ変更>:";
constexpr const char* kCutPromptHide =
    "切り取る要素を指示 または[非表示化(A)/プロパティ変更(B)]<非表示化>:";
constexpr const char* kCutPromptProperty =
    "切り取る要素を指示 または[非表示化(A)/プロパティ変更(B)]<プロパティ変更>:";

class HideScenario : public ztest::ScenarioTest {
protected:
    // A 40 x 40 plate at (100, 100); a bolt at (100, 100) whose shank line, head circle, arc and
    // closed polyline each meet the plate in a known way; the same bolt far away at (300, 300);
    // a red line on WALL.
    void SetUp() override {
        ScenarioTest::SetUp();
        m_db.registerApp(L"ZORMA_PARTS_CONTENTS");
        db::ObjectId layer;
        m_db.addLayer(L"AM_0", layer);
        m_db.addLayer(L"WALL", layer);
        db::ObjectId plate, bolt;
        ASSERT_OK(m_db.addBlock(L"PLATE", plate));
        AddLine(plate, 0, 0, 40, 0);
        AddLine(plate, 40, 0, 40, 40);
        AddLine(plate, 40, 40, 0, 40);
        AddLine(plate, 0, 40, 0, 0);
        ASSERT_OK(m_db.addBlock(L"BOLT", bolt));
        AddLine(bolt, -10, 20, 50, 20);                                    // 40 under the plate
        Add(bolt, std::make_unique<db::Circle>(geom::Point3d(40, 30), 5)); // half under it
        Add(bolt, std::make_unique<db::Arc>(geom::Point3d(20, 40), 10, kPi, 2 * kPi)); // all
        geom::Polyline box;
        box.points = {{-5, 2, 0}, {5, 2, 0}, {5, 12, 0}, {-5, 12, 0}};
        box.bulges = {0, 0, 0, 0};
        box.closed = true;
        Add(bolt, std::make_unique<db::Polyline>(box)); // 20 of its 40 under the plate
        AddRef(plate, 100, 100);
        const db::ObjectId ref = AddRef(bolt, 100, 100);
        {
            db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forWrite);
            ASSERT_OK(r->setXData({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"BOLT")}));
        }
        AddRef(bolt, 300, 300);
        auto wall = std::make_unique<db::Line>(geom::Point3d(0, -50), geom::Point3d(10, -50));
        wall->setLayer(L"WALL");
        wall->setColorIndex(1);
        Add(m_db.modelSpaceId(), std::move(wall));
        m_drawing = Dir() / "plate_bolt.dxf";
        ASSERT_OK(zhost::dxf::writeDxf(m_db, m_drawing));
    }

    db::ObjectId Add(db::ObjectId block, std::unique_ptr<db::Entity> e) {
        if (e->layerId().isNull() && e->pendingLayer().empty() && block != m_db.modelSpaceId())
            e->setLayer(L"AM_0");
        db::ObjectId id;
        EXPECT_OK(m_db.appendEntity(block, std::move(e), id));
        return id;
    }
    void AddLine(db::ObjectId block, double x1, double y1, double x2, double y2) {
        Add(block, std::make_unique<db::Line>(geom::Point3d(x1, y1), geom::Point3d(x2, y2)));
    }
    db::ObjectId AddRef(db::ObjectId block, double x, double y) {
        return Add(m_db.modelSpaceId(),
                   std::make_unique<db::BlockReference>(geom::Point3d(x, y), block));
    }

    ztest::ZormaResult RunScript(const std::string& script, const fs::path& userDir = {}) {
        return Run({.drawing = m_drawing, .script = script, .userDir = userDir});
    }

    // Model-space references by block name, and the curve lengths of a block by layer.
    static std::map<std::wstring, int> References(const db::Database& d) {
        std::map<std::wstring, int> names;
        db::ObjectPtr<db::BlockTableRecord> ms(d.modelSpaceId(), db::OpenMode::forRead);
        for (db::ObjectId id : ms->entityIds()) {
            db::ObjectPtr<db::BlockReference> r(id, db::OpenMode::forRead);
            if (r)
                ++names[r->blockName()];
        }
        return names;
    }
    static std::map<std::wstring, double> LengthByLayer(const db::Database& d,
                                                        const wchar_t* block) {
        std::map<std::wstring, double> lengths;
        db::ObjectId id;
        if (!zhost::ok(d.getBlockId(block, id)))
            return lengths;
        db::ObjectPtr<db::BlockTableRecord> b(id, db::OpenMode::forRead);
        for (db::ObjectId e : b->entityIds()) {
            db::ObjectPtr<db::Curve> c(e, db::OpenMode::forRead);
            double len = 0;
            if (c && zhost::ok(geom::length(c->toCurve(), len)))
                lengths[c->layer()] += len;
        }
        return lengths;
    }
    static bool IsFrozen(const db::Database& d, const wchar_t* layer) {
        db::ObjectId id;
        if (!zhost::ok(d.getLayerId(layer, id)))
            return false;
        db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forRead);
        return l->isFrozen();
    }

    db::Database m_db;
    fs::path m_drawing;
};

// The drawing's dump without the handle seed (undo does not take handles back) and the file's
// own name.
std::wstring DumpWithoutSeed(const db::Database& d) {
    std::wistringstream in(db::dumpDatabase(d));
    std::wstring line, out;
    while (std::getline(in, line))
        if (line.find(L"HANDSEED") == std::wstring::npos && !line.starts_with(L"DWGNAME"))
            out += line + L"\n";
    return out;
}

} // namespace

// --- ZORMA_HIDE ------------------------------------------------------------------------------

TEST_F(HideScenario, HiddenPiecesMeasureWhatThePlateCovers) {
    SKIP_WITHOUT_EZDXF();
    const ztest::ZormaResult r =
        RunScript(std::string("ZORMA_HIDE\n") + kPickPlate + kPickBolt + "\n^C\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Not(Prints("陰線化が行われませんでした。")));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    EXPECT_EQ(References(saved),
              (std::map<std::wstring, int>{{L"PLATE", 1}, {L"BOLT", 1}, {L"BOLT_A1", 1}}));
    const std::map<std::wstring, double> lengths = LengthByLayer(saved, L"BOLT_A1");
    // Under the plate: 40 of the shank, half the head circle, the whole lower arc and 20 of
    // the polyline box.
    ASSERT_EQ(lengths.count(L"ACAD_HENTS"), 1u);
    EXPECT_NEAR(lengths.at(L"ACAD_HENTS"), 40 + 5 * kPi + 10 * kPi + 20, 1e-6);
    // The pieces join without gap or overlap: together they are as long as the bolt's curves.
    EXPECT_NEAR(lengths.at(L"ACAD_HENTS") + lengths.at(L"AM_0"), 60 + 10 * kPi + 10 * kPi + 40,
                1e-6);
    EXPECT_TRUE(IsFrozen(saved, L"ACAD_HENTS"));
    EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
}

TEST_F(HideScenario, WhatCannotBeTreatedIsSaidAndTheCoverAmongTargetsIsSkipped) {
    const ztest::ZormaResult r =
        RunScript(std::string("ZORMA_HIDE\n@pick 50,50\n") + kPickWall + "\n" + kPickPlate + "\n" +
                  kPickFarBolt + "\n" + kPickPlate + kPickPlate + kPickBolt + "\n^C\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, PrintsTimes("\nERROR:扱える製図要素ではありません", 3));
    EXPECT_THAT(r, PrintsTimes("要素が選択されませんでした。", 1));
    EXPECT_THAT(r, PrintsTimes("陰線化が行われませんでした。", 1)); // the far bolt only
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    // The far bolt's unused variant took the first number.
    EXPECT_EQ(References(saved),
              (std::map<std::wstring, int>{{L"PLATE", 1}, {L"BOLT", 1}, {L"BOLT_A2", 1}}));
    db::ObjectId unused;
    EXPECT_OK(saved.getBlockId(L"BOLT_A1", unused));
}

TEST_F(HideScenario, TheModeChosenLastIsOfferedFirstAndKeywordsTakeEitherCase) {
    const fs::path user = Dir() / "user";
    fs::create_directories(user);
    ztest::ZormaResult r = RunScript("ZORMA_HIDE\nb\n^C\n", user);
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_LT(r.transcript.find(kHidePromptHide), r.transcript.find(kHidePromptProperty));

    r = RunScript(std::string("ZORMA_HIDE\n") + kPickPlate + "a\n^C\n", user);
    ASSERT_THAT(r, ExitsWith(0));
    const size_t first = r.transcript.find(kHidePromptProperty);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(r.transcript.find(kHidePromptHide), std::string::npos);
    EXPECT_LT(r.transcript.find(kCutPromptProperty), r.transcript.find(kCutPromptHide));

    r = RunScript("ZORMA_HIDE\n^C\n", user);
    EXPECT_THAT(r, Prints(kHidePromptHide));
    EXPECT_THAT(r, Not(Prints(kHidePromptProperty)));
}

TEST_F(HideScenario, PropertyModeUsesALayerMadeInTheDialog) {
    const ztest::ZormaResult r = RunScript(std::string("ZORMA_HIDE\nB\n") + kPickPlate + kPickBolt +
                                           "\n@dialog select 208 <新規画層>\n"
                                           "@dialog text 215 HID-1\n@dialog click ok\n"
                                           "@dialog select 207 Red\n@dialog click ok\n^C\n");
    ASSERT_THAT(r, ExitsWith(0));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    const std::map<std::wstring, double> lengths = LengthByLayer(saved, L"BOLT_A1");
    ASSERT_EQ(lengths.count(L"HID-1"), 1u);
    EXPECT_NEAR(lengths.at(L"HID-1"), 40 + 15 * kPi + 20, 1e-6);
    EXPECT_FALSE(IsFrozen(saved, L"HID-1"));
    db::ObjectId none;
    EXPECT_FALSE(zhost::ok(saved.getLayerId(L"ACAD_HENTS", none)));
}

TEST_F(HideScenario, ACancelledPropertyDialogKeepsItsNewLayerAndChangesNothingElse) {
    const ztest::ZormaResult r = RunScript(std::string("ZORMA_HIDE\nB\n") + kPickPlate + kPickBolt +
                                           "\n@dialog show\n@dialog select 208 <新規画層>\n"
                                           "@dialog click cancel\n@dialog show\n"
                                           "@dialog select 208 <新規画層>\n"
                                           "@dialog text 215 HID-2\n@dialog click ok\n"
                                           "@dialog click cancel\n^C\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Not(Prints("陰線化が行われませんでした。")));
    // First use: the first layer after "<新規画層>" is chosen; a cancelled layer dialog goes
    // back to it.
    const size_t opened = r.transcript.find("combo 208 ");
    ASSERT_NE(opened, std::string::npos);
    EXPECT_EQ(r.transcript.substr(opened, 13), "combo 208 \"0\"");
    const size_t cancelled = r.transcript.find("--- 画層ダイアログ: Cancel");
    ASSERT_NE(cancelled, std::string::npos);
    EXPECT_EQ(r.transcript.substr(r.transcript.find("combo 208 ", cancelled), 13),
              "combo 208 \"0\"");
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    db::ObjectId layer;
    EXPECT_OK(saved.getLayerId(L"HID-2", layer));
    EXPECT_EQ(References(saved), (std::map<std::wstring, int>{{L"PLATE", 1}, {L"BOLT", 2}}));
}

TEST_F(HideScenario, APickedEntityFillsThePropertyDialog) {
    const ztest::ZormaResult r =
        RunScript(std::string("ZORMA_HIDE\nB\n") + kPickPlate + kPickBolt +
                  "\n@dialog click 201\n" + kPickWall + "@dialog click cancel\n^C\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("要素を指示:"));
    EXPECT_THAT(r, Prints("combo 208 \"WALL\""));
    EXPECT_THAT(r, Prints("\"Red\""));
}

TEST_F(HideScenario, CurrentSettingsFillThePropertyDialog) {
    const ztest::ZormaResult r = RunScript(
        std::string("@set CLAYER WALL\n@set CECOLOR 3\n@set CELWEIGHT 35\nZORMA_HIDE\nB\n") +
        kPickPlate + kPickBolt + "\n@dialog click 200\n@dialog click ok\n^C\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("combo 208 \"WALL\""));
    EXPECT_THAT(r, Prints("color-combo 207 \"Green\""));
    EXPECT_THAT(r, Prints("lineweight-combo 213 \"0.35 mm\""));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    db::ObjectId variant;
    ASSERT_OK(saved.getBlockId(L"BOLT_A1", variant));
    db::ObjectPtr<db::BlockTableRecord> b(variant, db::OpenMode::forRead);
    int onWall = 0;
    for (db::ObjectId id : b->entityIds()) {
        db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
        if (!c || c->layer() != L"WALL")
            continue;
        ++onWall;
        EXPECT_EQ(c->colorIndex(), 3);
        EXPECT_EQ(c->lineWeight(), 35);
    }
    EXPECT_EQ(onWall, 4); // the shank's middle, half the head, the arc, the box's covered part
}

TEST_F(HideScenario, UndoTakesTheWholeRunBack) {
    const ztest::ZormaResult before = RunScript("");
    const ztest::ZormaResult after =
        RunScript(std::string("ZORMA_HIDE\n") + kPickPlate + kPickBolt + "\n^C\nUNDO\n1\n");
    ASSERT_THAT(after, ExitsWith(0));
    ASSERT_THAT(after, Not(Prints("陰線化が行われませんでした。"))); // there was something to undo
    db::Database a, b;
    ASSERT_TRUE(ztest::ReadDrawing(before.saved, a));
    ASSERT_TRUE(ztest::ReadDrawing(after.saved, b));
    EXPECT_EQ(DumpWithoutSeed(a), DumpWithoutSeed(b));
}

// --- ZORMA_HIDE_RESTORE --------------------------------------------------------------------

TEST_F(HideScenario, RestoreBringsTheBoltBackAndDeletesItsVariant) {
    const ztest::ZormaResult r =
        RunScript(std::string("ZORMA_HIDE\n") + kPickPlate + kPickBolt + "\n^C\n" +
                  "ZORMA_HIDE_RESTORE\n@pick 50,50\n" + kPickFarBolt + kPickBolt + "\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, PrintsTimes("陰線処理された製図要素を選択してください:", 4));
    EXPECT_THAT(r, PrintsTimes("\n要素が検出されませんでした。", 1));
    EXPECT_THAT(r, Prints("\nブロック \"BOLT_A1\" 削除されました。"));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    EXPECT_EQ(References(saved), (std::map<std::wstring, int>{{L"PLATE", 1}, {L"BOLT", 2}}));
    db::ObjectId gone;
    EXPECT_FALSE(zhost::ok(saved.getBlockId(L"BOLT_A1", gone)));
    // The part record came back with the bolt.
    int withRecord = 0;
    db::ObjectPtr<db::BlockTableRecord> ms(saved.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : ms->entityIds()) {
        db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
        if (ref && ref->hasXData(L"ZORMA_PARTS_CONTENTS"))
            ++withRecord;
    }
    EXPECT_EQ(withRecord, 1);
}

TEST_F(HideScenario, HidingTwiceRestoresOneLevelPerPick) {
    const ztest::ZormaResult r =
        RunScript(std::string("ZORMA_HIDE\n") + kPickPlate + kPickBolt + "\n" + kPickPlate +
                  kPickBolt + "\n^C\nZORMA_HIDE_RESTORE\n" + kPickBolt + "\n");
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("\nブロック \"BOLT_A1_A1\" 削除されました。"));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    EXPECT_EQ(References(saved),
              (std::map<std::wstring, int>{{L"PLATE", 1}, {L"BOLT", 1}, {L"BOLT_A1", 1}}));
}

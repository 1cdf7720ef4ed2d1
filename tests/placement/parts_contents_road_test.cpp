// ZORMA_CONT and ZORMA_CONT_EDIT placing parts of the sample product through the zorma program,
// the dialogs answered by @dialog lines, grouped by the road a run takes: new parts from either
// catalogue, copies, the length prompts, free length, editing and cancelling. After every run
// the saved drawing holds no block definition or layer that the run created and nothing uses,
// and every placed reference lies in model space.
#include "support/drawing.h"
#include "support/ezdxf.h"
#include "support/status.h"
#include "support/zorma_run.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/dxf/dxf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace db = zhost::db;
namespace fs = std::filesystem;
using ::testing::Not;
using namespace ztest;

namespace {

const std::string kFlange = "flange_joint.dxf";

// The partial-thread hex bolt from the picture catalogue: the bolt type, then its first kind.
const std::string kPickBoltPicture = "@dialog select 1104 #1\n"
                                     "@dialog click 1105\n@dialog menu 3001\n"
                                     "@dialog click 1106\n@dialog menu 3001\n"
                                     "@dialog click ok\n";

// The condition dialog: the front view in this size, then OK.
std::string Conditions(const std::string& size, const std::string& more = "") {
    return "@wait 600\n@dialog click 1001\n@dialog select 1021 " + size + "\n" + more +
           "@dialog click ok\n";
}

std::string NewBolt(const std::string& size) {
    return "ZORMA_CONT\n" + kPickBoltPicture + Conditions(size);
}

struct SavedDrawing {
    std::set<std::wstring> blocks, layers;
    std::multiset<std::wstring> placed; // block names of model-space references
    std::set<std::wstring> usedBlocks;  // referenced anywhere
    std::set<std::wstring> usedLayers;  // by any entity anywhere
    int paperSpaceReferences = 0;
};

SavedDrawing Read(const fs::path& path) {
    SavedDrawing s;
    db::Database d;
    EXPECT_TRUE(ReadDrawing(path, d));
    db::ObjectPtr<db::LayerTable> layers(d.layerTableId(), db::OpenMode::forRead);
    for (db::ObjectId id : layers->recordIds()) {
        db::ObjectPtr<db::LayerTableRecord> r(id, db::OpenMode::forRead);
        s.layers.insert(r->name());
    }
    db::ObjectPtr<db::BlockTable> blocks(d.blockTableId(), db::OpenMode::forRead);
    for (db::ObjectId bid : blocks->recordIds()) {
        db::ObjectPtr<db::BlockTableRecord> b(bid, db::OpenMode::forRead);
        s.blocks.insert(b->name());
        for (db::ObjectId eid : b->entityIds()) {
            db::ObjectPtr<db::Entity> e(eid, db::OpenMode::forRead);
            s.usedLayers.insert(e->layer());
            if (auto* ref = dynamic_cast<db::BlockReference*>(e.get())) {
                s.usedBlocks.insert(ref->blockName());
                if (bid == d.modelSpaceId())
                    s.placed.insert(ref->blockName());
                else if (bid == d.paperSpaceId())
                    ++s.paperSpaceReferences;
            }
        }
    }
    return s;
}

class PartsContentsRoad : public ScenarioTest {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        m_user = Dir() / "user";
        m_before = Read(SampleDrawing(kFlange));
    }
    // One run on the flange joint; the user folder is shared by the runs of a test.
    ZormaResult RunFlange(const std::string& script, const fs::path& drawing = {}) {
        ZormaResult r = Run({.drawing = drawing.empty() ? SampleDrawing(kFlange) : drawing,
                             .script = script,
                             .userDir = m_user});
        EXPECT_THAT(r, ExitsWith(0));
        if (!r.saved.empty())
            ExpectNothingLeftBehind(Read(r.saved));
        return r;
    }
    // What the run created and nothing uses must be gone; references live in model space.
    void ExpectNothingLeftBehind(const SavedDrawing& after) {
        for (const std::wstring& b : after.blocks) {
            if (m_before.blocks.count(b) == 0 && b.rfind(L"*", 0) != 0) {
                EXPECT_EQ(after.usedBlocks.count(b), 1u) << "unused new block " << zhost::toUtf8(b);
            }
        }
        for (const std::wstring& l : after.layers) {
            if (m_before.layers.count(l) == 0) {
                EXPECT_EQ(after.usedLayers.count(l), 1u) << "unused new layer " << zhost::toUtf8(l);
            }
        }
        EXPECT_EQ(after.paperSpaceReferences, 0);
    }

    fs::path m_user;
    SavedDrawing m_before;
};

} // namespace

// --- New parts -------------------------------------------------------------------------------

TEST_F(PartsContentsRoad, TwoCopiesFromThePictureCatalogue) {
    const ZormaResult r = RunFlange(NewBolt("M12") + "0,55\n@move 50,55\n57,55\n0,-55\n^C\n");
    EXPECT_THAT(r, Prints("配置完了[B1180_Partial_1]"));
    const SavedDrawing s = Read(r.saved);
    EXPECT_EQ(s.placed.count(L"B1180_Partial_1_1"), 2u);
    EXPECT_EQ(s.blocks.count(L"B1180_Partial_1"), 0u); // the inserted symbol went
}

TEST_F(PartsContentsRoad, TheTextCatalogueWithShiftPlacesTheSamePart) {
    const ZormaResult r = RunFlange("@shift on\nZORMA_CONT\n@shift off\n"
                                    "@dialog select 1021 #0\n@dialog select 1022 #0\n"
                                    "@dialog click ok\n" +
                                    Conditions("M12") + "0,55\n60,55\n^C\n");
    EXPECT_THAT(r, Prints("(dialog 222)"));
    EXPECT_THAT(r, Not(Prints("(dialog 1101)")));
    EXPECT_THAT(r, Prints("配置完了["));
    EXPECT_EQ(Read(r.saved).placed.size(), 1u);
}

TEST_F(PartsContentsRoad, APartWithoutLengthAsksBasePointThenAngleOnly) {
    // The washer in section has no length: base point, then the angle.
    const ZormaResult r =
        RunFlange("ZORMA_CONT\n@dialog select 1104 座金\n@dialog click 1105\n@dialog menu 3001\n"
                  "@dialog click ok\n" +
                  Conditions("M12") + "40,55\n0\n^C\n");
    EXPECT_THAT(r, Prints("基点を指示:"));
    EXPECT_THAT(r, Prints("角度 <0>:"));
    EXPECT_THAT(r, Not(Prints("通過点を指示")));
    EXPECT_THAT(r, Prints("配置完了["));
}

TEST_F(PartsContentsRoad, CancellingAfterPlacementsKeepsThem) {
    const ZormaResult r = RunFlange(NewBolt("M12") + "0,55\n60,55\n0,-55\n^C\n");
    EXPECT_THAT(r, PrintsTimes("配置完了[B1180_Partial_1]", 1));
    EXPECT_EQ(Read(r.saved).placed.size(), 2u);
    // Cancelling before the first copy places nothing and says nothing.
    const ZormaResult none = RunFlange(NewBolt("M12") + "^C\n");
    EXPECT_THAT(none, Not(Prints("配置完了")));
    EXPECT_TRUE(Read(none.saved).placed.empty());
}

// --- Lengths ---------------------------------------------------------------------------------

TEST_F(PartsContentsRoad, LengthPromptDefaultsAndFreeLengthPersistAcrossRuns) {
    // A typed length is the next default; C switches to free length for the next run too.
    const ZormaResult first = RunFlange(NewBolt("M12") + "0,55\nC\nL\n80\n0\n^C\n");
    EXPECT_THAT(first, Prints("長さ <25.0>:"));
    EXPECT_THAT(first, Prints("配置完了["));
    const ZormaResult second = RunFlange(NewBolt("M12") + "0,55\nL\n\n\n^C\n");
    EXPECT_THAT(second,
                Prints("自由長さで通過点を指示または[呼び長さ(C)/長さ入力(L)/角度入力(A)]:"));
    EXPECT_THAT(second, Prints("長さ <80.00>:"));
    EXPECT_THAT(second, Prints("角度 <0.00>:"));
}

TEST_F(PartsContentsRoad, PlacedLengthsSnapAndNeverFallBelowTheMinimum) {
    SKIP_WITHOUT_EZDXF();
    // 57 snaps to 55; 3 is below the smallest M12 length (50); typed 25 is raised to it too.
    const ZormaResult r = RunFlange(NewBolt("M12") + "0,55\n57,55\n^C\n" + NewBolt("M12") +
                                    "0,-55\n3,-55\n^C\n" + NewBolt("M12") + "0,0\nL\n25\n0\n^C\n");
    const ProcessResult m =
        RunPython(SourcePath("tests/placement/bolt_dimensions.py"), {r.saved.string()});
    ASSERT_EQ(m.exitCode, 0) << m.err;
    std::istringstream out(m.out);
    std::vector<double> lengths;
    for (std::string name; out >> name;) {
        double k = 0, e = 0, l = 0, b = 0;
        out >> k >> e >> l >> b;
        lengths.push_back(l);
    }
    // The flange drawing has no references of its own.
    EXPECT_THAT(lengths, ::testing::ElementsAre(::testing::DoubleNear(55, 0.01),
                                                ::testing::DoubleNear(50, 0.01),
                                                ::testing::DoubleNear(50, 0.01)));
}

// --- Edit ------------------------------------------------------------------------------------

TEST_F(PartsContentsRoad, EditKeepsTheBasePointAndReplacesThePart) {
    SKIP_WITHOUT_EZDXF();
    // Place at 60, then edit to 70 and another strength class; the head is picked.
    const ZormaResult r =
        RunFlange(NewBolt("M12") + "0,55\n60,55\n^C\n" + "ZORMA_CONT_EDIT\n-3,55\n" +
                  Conditions("M12", "@dialog select 1012 2,6 10.9\n") + "@move 70,55\n70,55\n");
    EXPECT_THAT(r, Not(Prints("基点を指示:\n")));
    const SavedDrawing s = Read(r.saved);
    EXPECT_EQ(s.placed.size(), 1u);
    EXPECT_EQ(s.placed.count(L"B1180_Partial_1_2"), 1u);
    const ProcessResult m =
        RunPython(SourcePath("tests/placement/bolt_dimensions.py"), {r.saved.string()});
    EXPECT_THAT(m.out, ::testing::HasSubstr("B1180_Partial_1_2 "));
    EXPECT_THAT(m.out, ::testing::HasSubstr(" 70.000000 "));
}

TEST_F(PartsContentsRoad, CancelledEditLeavesThePartAsItWas) {
    const ZormaResult placed = RunFlange(NewBolt("M12") + "0,55\n60,55\n^C\n");
    const ZormaResult r = RunFlange("ZORMA_CONT_EDIT\n-3,55\n" + Conditions("M12") + "^C\n" +
                                        "ZORMA_CONT_EDIT\n-3,55\n^C\n",
                                    placed.saved);
    const SavedDrawing s = Read(r.saved);
    EXPECT_EQ(s.placed, (std::multiset<std::wstring>{L"B1180_Partial_1_1"}));
    // Still visible: the second edit picks it again and opens its conditions.
    EXPECT_THAT(r, Prints("六角ボルト 部分ねじ: OK"));
    EXPECT_THAT(r, Prints("六角ボルト 部分ねじ: Cancel"));
}

TEST_F(PartsContentsRoad, UndoAfterThePlacementRestoresTheDrawing) {
    const ZormaResult r = RunFlange(NewBolt("M12") + "0,55\n60,55\n0,-55\n^C\nUNDO\n1\n");
    const SavedDrawing s = Read(r.saved);
    EXPECT_TRUE(s.placed.empty());
    EXPECT_EQ(s.blocks, m_before.blocks);
    EXPECT_EQ(s.layers, m_before.layers);
}

// --- Bad drawings ----------------------------------------------------------------------------

TEST_F(PartsContentsRoad, FrozenOrLockedCategoryLayersEndCleanlyAndUndoRestores) {
    // The outline layer frozen and the thread layer locked before the run.
    db::Database d;
    ASSERT_TRUE(ReadDrawing(SampleDrawing(kFlange), d));
    for (const auto& [name, frozen] : {std::pair{L"AM_0", true}, std::pair{L"AM_4", false}}) {
        db::ObjectId id;
        ASSERT_OK(d.addLayer(name, id));
        db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forWrite);
        ASSERT_OK(frozen ? layer->setFrozen(true) : layer->setLocked(true));
    }
    const fs::path drawing = Dir() / "frozen.dxf";
    ASSERT_OK(zhost::dxf::writeDxf(d, drawing));
    m_before = Read(drawing);

    const ZormaResult placed = RunFlange(NewBolt("M12") + "0,55\n60,55\n^C\n", drawing);
    EXPECT_THAT(placed, Prints("配置完了[B1180_Partial_1]"));
    EXPECT_EQ(Read(placed.saved).placed.size(), 1u);
    const ZormaResult undone = RunFlange(NewBolt("M12") + "0,55\n60,55\n^C\nUNDO\n1\n", drawing);
    const SavedDrawing s = Read(undone.saved);
    EXPECT_TRUE(s.placed.empty());
    EXPECT_EQ(s.blocks, m_before.blocks);
    EXPECT_EQ(s.layers, m_before.layers);
}

// --- Diagnostics -----------------------------------------------------------------------------

TEST_F(PartsContentsRoad, DebugSwitchShowsTheBlocksAndTheirCleanUp) {
    Write("machine.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\r\n"
                         "\"ShowDebugInfo\"=dword:00000001\r\n");
    const ZormaResult r = RunFlange(NewBolt("M12") + "0,55\n60,55\n^C\n");
    EXPECT_THAT(r, Prints("\nTotal "));
    EXPECT_THAT(r, Prints(" ブロック定義を単純化->成功"));
    EXPECT_THAT(r, Prints("1回目の部品名[B1180_Partial_1]→[B1180_Partial_1_1]"));
    EXPECT_THAT(r, Prints("新たに増えたブロック定義のうち、不要なブロック定義を消す"));
    EXPECT_THAT(r, Prints("new block[B1180_Partial_1]"));
    EXPECT_THAT(r, Prints("B1180_Partial_1 was erased(ok)."));
}

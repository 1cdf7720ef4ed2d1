// The drafting commands as a user runs them through `zorma run`: the saved drawing read back by
// the host and by ezdxf, and UNDO taking a whole session's work back.
#include "support/drawing.h"
#include "support/ezdxf.h"
#include "support/zorma_run.h"

#include "zhost/db/db.h"

#include <gmock/gmock.h>

using namespace zhost;

namespace {
class DraftingScenario : public ztest::ScenarioTest {};
} // namespace

TEST_F(DraftingScenario, TheDrawingDemoSavesEveryKindItDraws) {
    SKIP_WITHOUT_EZDXF();
    const ztest::ZormaResult r = Run(
        {.scriptFile = ztest::SourcePath("samples/scripts/05-draw.scr"), .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    auto kinds = ztest::EntityKinds(saved);
    EXPECT_EQ(kinds[L"LWPOLYLINE"], 2);
    EXPECT_EQ(kinds[L"CIRCLE"], 2);
    EXPECT_EQ(kinds[L"ARC"], 1);
    EXPECT_EQ(kinds[L"LINE"], 2);
    EXPECT_EQ(kinds[L"POINT"], 1);
    EXPECT_EQ(kinds[L"TEXT"], 1);
    const ztest::EzdxfAudit audit = ztest::AuditWithEzdxf(r.saved);
    EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
    EXPECT_EQ(audit.modelSpace.at("LWPOLYLINE"), 2);
}

TEST_F(DraftingScenario, UndoOfEveryDrawCommandLeavesTheOpenedDrawingAsItWas) {
    const ztest::ZormaResult r =
        Run({.drawing = ztest::SampleDrawing("plate.dxf"),
             .script = "LINE\n0,0\n10,0\n\nPLINE\n0,0\n5,5\nA\n10,0\n\nCIRCLE\n3,3\n1\n"
                       "ARC\n0,0\n1,1\n2,0\nRECTANG\n0,0\n4,4\nPOINT\n1,1\nTEXT\n0,0\n2\n0\nx\n"
                       "UNDO\n7\n",
             .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    db::Database saved, original;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    ASSERT_TRUE(ztest::ReadDrawing(ztest::SampleDrawing("plate.dxf"), original));
    EXPECT_EQ(ztest::EntityKinds(saved), ztest::EntityKinds(original));
}

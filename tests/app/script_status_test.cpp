// What a batch run tells its caller: a distinct exit status per kind of fault, after finishing
// what it can, and a summary line; scripts in the encodings editors save.
#include "support/drawing.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using ztest::ExitsWith;
using ztest::Prints;

namespace {

class ScriptStatus : public ztest::ScenarioTest {
protected:
    int RegionsIn(const fs::path& saved) {
        zhost::db::Database db;
        if (!ztest::ReadDrawing(saved, db))
            return -1;
        return ztest::EntityKinds(db)[L"REGION"];
    }
};

// Three edges of the plate and the one picked become one region.
const std::string kRegion = "REGION\n@crossing -1,-1 101,1\n@pick 50,60\n\n";

} // namespace

TEST_F(ScriptStatus, AMisspeltCommandIsReportedAfterTheRestOfTheScriptRan) {
    const ztest::ZormaResult r = Run({.drawing = ztest::SampleDrawing("plate.dxf"),
                                      .script = "REGOIN\n" + kRegion,
                                      .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(3));
    EXPECT_THAT(r, Prints("Unknown command \"REGOIN\""));
    EXPECT_THAT(r.err, HasSubstr("1 unknown command (first at line 1)"));
    EXPECT_THAT(r.err, HasSubstr("exit status 3"));
    EXPECT_EQ(RegionsIn(r.saved), 1);
}

TEST_F(ScriptStatus, ACommandErrorOutranksAnUnknownCommand) {
    const ztest::ZormaResult r =
        Run({.drawing = ztest::SampleDrawing("plate.dxf"),
             .script = "NO_SUCH\n-BMINSERT\nmissing.dxf\n" + kRegion + "OFFSET\n^C\n",
             .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(5));
    EXPECT_THAT(r.err, HasSubstr("1 unknown command (first at line 1), 1 command reported an "
                                 "error (first at line 2)"));
    EXPECT_EQ(RegionsIn(r.saved), 1);
}

TEST_F(ScriptStatus, CancellingAPromptIsNoFault) {
    const ztest::ZormaResult r = Run({.drawing = ztest::SampleDrawing("plate.dxf"),
                                      .script = "OFFSET\n^C\nUNDO\n^C\n",
                                      .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.err, Not(HasSubstr("faults")));
}

TEST_F(ScriptStatus, AFailedDialogLineStopsWithoutReplacingTheOldOutput) {
    const fs::path out = Write("kept.dxf", "the previous drawing");
    const ztest::ZormaResult r = Run({.drawing = ztest::SampleDrawing("plate.dxf"),
                                      .script = kRegion + "@dialog click ok\nREGEN\n",
                                      .addon = ztest::kNoAddon,
                                      .save = false,
                                      .args = {"--out", out.string()}});
    EXPECT_THAT(r, ExitsWith(4));
    EXPECT_THAT(r.err, HasSubstr("script stopped at line 5: no dialog is open"));
    EXPECT_THAT(r.err, HasSubstr("a dialog line failed at line 5"));
    EXPECT_THAT(r, Not(Prints("Regenerating model.")));
    EXPECT_EQ(ztest::ReadFile(out), "the previous drawing");
}

TEST_F(ScriptStatus, Utf16ScriptsWithOldMacLineEndsRun) {
    std::u16string text = u"; 領域\rREGION\r@crossing -1,-1 101,1\r@pick 50,60\r\r";
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text)
        bytes += std::string{char(u & 0xFF), char(u >> 8)};
    const ztest::ZormaResult r = Run({.drawing = ztest::SampleDrawing("plate.dxf"),
                                      .scriptFile = Write("utf16.scr", bytes),
                                      .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Not(Prints("Unknown command")));
    EXPECT_EQ(RegionsIn(r.saved), 1);
}

TEST_F(ScriptStatus, AScriptWithNulBytesStopsAtTheFirstSuchLine) {
    // UTF-16 saved without its BOM: every other byte is a NUL.
    const std::string bytes("R\0E\0G\0E\0N\0\n\0", 12);
    const ztest::ZormaResult r =
        Run({.scriptFile = Write("nobom.scr", bytes), .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(1));
    EXPECT_THAT(r.err, HasSubstr("line 1: the line holds a NUL character"));
    EXPECT_TRUE(r.saved.empty() || !fs::exists(r.saved));
}

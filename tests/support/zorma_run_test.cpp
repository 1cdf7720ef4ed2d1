// Running zorma from tests: paths nobody quotes, results read back, shared start-up, and
// failure messages that say what happened.
#include "support/drawing.h"
#include "support/ezdxf.h"
#include "support/status.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace ztest;

namespace {

class ZormaRunTest : public ScenarioTest {};

} // namespace

TEST_F(ZormaRunTest, PathsWithBlanksQuotesAndNonAsciiNeedNoQuoting) {
    const fs::path folder = Folder().MakeFolder("図面 フォルダ 's");
    fs::copy_file(SampleDrawing("plate.dxf"), Dir() / "plate 's $x.dxf");
    const ZormaResult r = Run(
        {.drawing = Dir() / "plate 's $x.dxf",
         .scriptFile = Write("スクリプト 1.scr", "REGION\n@crossing -1,-1 101,1\n@pick 50,60\n\n"),
         .userDir = folder / "ユーザー",
         .addon = kNoAddon});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("1 Region created."));
    zhost::db::Database saved;
    ASSERT_TRUE(ReadDrawing(r.saved, saved));
    EXPECT_EQ(EntityKinds(saved)[L"REGION"], 1);
    EXPECT_EQ(r.saved.parent_path(), Dir());
    EXPECT_TRUE(fs::is_directory(folder / "ユーザー"));
}

TEST_F(ZormaRunTest, EveryRunOfATestKeepsItsOwnFiles) {
    const ZormaResult a = Run({.script = "REGEN\n", .addon = kNoAddon});
    const ZormaResult b = Run({.script = "REGEN\nREGEN\n", .addon = kNoAddon});
    EXPECT_NE(a.scriptPath, b.scriptPath);
    EXPECT_NE(a.saved, b.saved);
    EXPECT_NE(a.userDir, b.userDir);
    EXPECT_EQ(ReadFile(a.scriptPath), "REGEN\n");
    EXPECT_THAT(b, PrintsTimes("Regenerating model.", 2));
}

TEST_F(ZormaRunTest, ScriptFileAndStandardInput) {
    const fs::path script = Write("スクリプト.scr", "REGEN\n");
    EXPECT_THAT(Run({.scriptFile = script, .addon = kNoAddon}), Prints("Regenerating model."));
    const ZormaResult piped =
        Run({.addon = kNoAddon, .args = {"--script", "-"}, .process = {.input = "REGEN\nREGEN\n"}});
    EXPECT_THAT(piped, PrintsTimes("Regenerating model.", 2));
}

TEST_F(ZormaRunTest, AFailedRunHasNoSavedDrawingAndSaysWhy) {
    const ZormaResult r =
        Run({.drawing = SampleDrawing("plate.dxf"), .script = "OFFSET\n2\n", .addon = kNoAddon});
    EXPECT_THAT(r, ExitsWith(1));
    EXPECT_TRUE(r.saved.empty());
    EXPECT_THAT(r.err, HasSubstr("Select object to offset"));
    // What a failing assertion on this result would print.
    const std::string shown = ::testing::PrintToString(r);
    EXPECT_THAT(shown, HasSubstr("exit status 1"));
    EXPECT_THAT(shown, HasSubstr(r.scriptPath.string()));
    EXPECT_THAT(shown, HasSubstr("Select object to offset"));
    EXPECT_EQ(::testing::DescribeMatcher<ZormaResult>(ExitsWith(0)), "exits with status 0");
    EXPECT_FALSE(::testing::Matches(ExitsWith(0))(r));
    EXPECT_FALSE(::testing::Matches(Prints("1 Region created."))(r));
}

TEST_F(ZormaRunTest, OtherSubCommandsTakeTheirArgumentsAsTheyAre) {
    const ProcessResult version = Zorma({"--version"});
    EXPECT_THAT(version, ExitsWith(0));
    EXPECT_THAT(version.out, HasSubstr("zorma "));
    EXPECT_THAT(Zorma({"no-such-sub-command"}), ExitsWith(2));
}

TEST_F(ZormaRunTest, TheBuiltAddonIsLoadedByDefault) {
    // An add-on command is known; with no add-on it is not.
    const ZormaResult with = Run({.script = "ZORMA_GEOMCALC\n^C\n"});
    EXPECT_THAT(with, ExitsWith(0));
    EXPECT_THAT(with, Not(Prints("Unknown command")));
    const ZormaResult without = Run({.script = "ZORMA_GEOMCALC\n", .addon = kNoAddon});
    EXPECT_THAT(without, Prints("Unknown command \"ZORMA_GEOMCALC\""));
}

TEST_F(ZormaRunTest, SharedRunGivesEachSectionItsOwnTranscript) {
    SharedRun shared;
    shared.Add("regen", "REGEN");
    shared.Add("unknown", "NO_SUCH_COMMAND\n");
    shared.Add("twice", "REGEN\nREGEN\n");
    const ZormaResult r = Run({.script = shared.Script(), .addon = kNoAddon});
    ASSERT_THAT(r, ExitsWith(3)); // the unknown command, after every section ran
    const std::vector<std::string> parts = shared.Split(r.transcript);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(CountOf(parts[0], "Regenerating model."), 1) << parts[0];
    EXPECT_EQ(CountOf(parts[0], "Unknown command"), 0) << parts[0];
    EXPECT_EQ(CountOf(parts[1], "Unknown command \"NO_SUCH_COMMAND\""), 1) << parts[1];
    EXPECT_EQ(CountOf(parts[1], "Regenerating model."), 0) << parts[1];
    EXPECT_EQ(CountOf(parts[2], "Regenerating model."), 2) << parts[2];
    EXPECT_EQ(shared.Name(1), "unknown");
}

TEST_F(ZormaRunTest, SharedRunStoppedEarlyLeavesLaterSectionsEmpty) {
    SharedRun shared;
    shared.Add("bad", "@teleport 1,2\n");
    shared.Add("never", "REGEN\n");
    const ZormaResult r = Run({.script = shared.Script(), .addon = kNoAddon});
    EXPECT_THAT(r, ExitsWith(1));
    const auto parts = shared.Split(r.transcript);
    EXPECT_EQ(parts[1], "");
}

TEST_F(ZormaRunTest, SavedDrawingPassesTheIndependentAudit) {
    SKIP_WITHOUT_EZDXF();
    const ZormaResult r = Run({.drawing = SampleDrawing("plate.dxf"),
                               .script = "REGION\n@crossing -1,-1 101,1\n@pick 50,60\n\n",
                               .addon = kNoAddon});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_TRUE(PassesEzdxfAudit(r.saved));
    const EzdxfAudit audit = AuditWithEzdxf(r.saved);
    EXPECT_EQ(audit.modelSpace.at("REGION"), 1);
}

TEST_F(ZormaRunTest, TheAuditFailsOnWhatEzdxfFindsWrong) {
    SKIP_WITHOUT_EZDXF();
    const fs::path garbage = Write("garbage.dxf", "hello\n");
    const ::testing::AssertionResult unreadable = PassesEzdxfAudit(garbage);
    EXPECT_FALSE(unreadable);
    EXPECT_THAT(unreadable.message(), HasSubstr("could not read"));
    EXPECT_THAT(unreadable.message(), HasSubstr("garbage.dxf"));

    // A drawing of ours with a layer name no CAD program accepts.
    const ZormaResult r = Run({.drawing = SampleDrawing("plate.dxf"), .addon = kNoAddon});
    ASSERT_THAT(r, ExitsWith(0));
    std::string text = ReadFile(r.saved);
    const size_t entities = text.find("ENTITIES");
    const size_t layer = text.find("\n  8\n0\n", entities);
    ASSERT_NE(layer, std::string::npos);
    text.replace(layer, 8, "\n  8\nbad<x>\n");
    const fs::path bad = Write("bad layer.dxf", text);
    const ::testing::AssertionResult audit = PassesEzdxfAudit(bad);
    EXPECT_FALSE(audit);
    EXPECT_THAT(audit.message(), HasSubstr("Invalid layer name"));
}

TEST(StatusAssertions, NameTheStatus) {
    EXPECT_EQ(::testing::PrintToString(zhost::Status::wasErased), "wasErased");
    EXPECT_TRUE(IsOk("call()", zhost::Status::ok));
    const ::testing::AssertionResult failed =
        IsOk("db.getBlockId(...)", zhost::Status::keyNotFound);
    EXPECT_FALSE(failed);
    EXPECT_STREQ(failed.message(), "db.getBlockId(...) returned keyNotFound, expected ok");
}

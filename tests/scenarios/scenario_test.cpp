// Scenarios: the zorma program run on a drawing with a script; the transcript, the exit status
// and the saved drawing are checked.
#include "support/drawing.h"
#include "support/zorma_run.h"

#include "zhost/db/entities.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using namespace ztest;

namespace {

// The host's own commands: no add-on.
class Scenario : public ScenarioTest {
protected:
    ZormaResult RunHost(ZormaRun run) {
        run.addon = kNoAddon;
        return Run(std::move(run));
    }
    static fs::path Plate() { return SampleDrawing("plate.dxf"); }

    // The saved drawing's model-space entities of one DXF kind.
    static int Saved(const ZormaResult& r, const wchar_t* kind) {
        zhost::db::Database saved;
        EXPECT_TRUE(ReadDrawing(r.saved, saved));
        return EntityKinds(saved)[kind];
    }
};

} // namespace

TEST_F(Scenario, UnknownCommandIsReportedAndTheScriptGoesOn) {
    const ZormaResult r = RunHost({.script = "XYZ\nREGEN\n"});
    EXPECT_THAT(r, ExitsWith(3)); // after the rest ran: a batch sees the misspelt name
    EXPECT_THAT(r.out, HasSubstr("Unknown command \"XYZ\".  Press F1 for help."));
    EXPECT_THAT(r.out, HasSubstr("Regenerating model."));
}

TEST_F(Scenario, ScriptEndingInAPromptFailsNamingThePrompt) {
    const ZormaResult r = RunHost({.drawing = Plate(), .script = "OFFSET\n2\n"});
    EXPECT_THAT(r, ::testing::Not(ExitsWith(0)));
    EXPECT_THAT(r.err, HasSubstr("Select object to offset"));
}

TEST_F(Scenario, UnknownDirectiveStopsTheScriptWithItsLine) {
    const ZormaResult r = RunHost({.script = "; one\nREGEN\n@teleport 1,2\nREGEN\n"});
    EXPECT_THAT(r, ::testing::Not(ExitsWith(0)));
    EXPECT_THAT(r.err, HasSubstr("line 3"));
    EXPECT_EQ(CountOf(r.out, "Regenerating model."), 1);
}

TEST_F(Scenario, MalformedAnswersRepromptAndNeverCrash) {
    const ZormaResult r =
        RunHost({.drawing = Plate(), .script = "OFFSET\nabc\n1,2,3,4\n2\n@pick 40,30\n@@\nB\n\n"});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_GE(CountOf(r.out, "Requires numeric distance or two points."), 2);
    EXPECT_EQ(Saved(r, L"CIRCLE"), 3);
}

TEST_F(Scenario, RegionFromACrossingSelection) {
    const ZormaResult r =
        RunHost({.drawing = Plate(), .script = "REGION\n@crossing -1,-1 101,1\n@pick 50,60\n\n"});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("3 found, 3 total"));
    EXPECT_THAT(r.out, HasSubstr("1 Region created."));
    EXPECT_EQ(Saved(r, L"REGION"), 1);
    EXPECT_EQ(Saved(r, L"LINE"), 3); // DELOBJ 1: the four outline lines are gone
}

TEST_F(Scenario, BoundaryWithIslandsAsRegions) {
    const ZormaResult r =
        RunHost({.drawing = Plate(), .script = "@set HPBOUND 0\n-BOUNDARY\n50,50\n\n"});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("BOUNDARY created 3 regions"));
    EXPECT_EQ(Saved(r, L"REGION"), 3);
}

TEST_F(Scenario, OffsetBothSidesThenToAPoint) {
    const ZormaResult r = RunHost(
        {.drawing = Plate(), .script = "OFFSET\n2\n@pick 40,30\nB\n@pick 50,-20\n50,-30\n\n"});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_EQ(Saved(r, L"CIRCLE"), 3);
    EXPECT_EQ(Saved(r, L"LINE"), 8);
}

TEST_F(Scenario, UndoBackLeavesTheSavedFileAsBeforeTheMark) {
    const ZormaResult before = RunHost({.drawing = Plate(), .script = "REGEN\n"});
    ASSERT_THAT(before, ExitsWith(0));
    const ZormaResult r = RunHost({.drawing = Plate(),
                                   .script = "UNDO\nM\nPEDIT\nM\n@window 49,19 91,41\n\nY\nJ\n"
                                             "0.002\nX\nUNDO\nB\n"});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("segments added to polyline"));
    EXPECT_EQ(ReadFile(r.saved), ReadFile(before.saved));
}

TEST_F(Scenario, AnAddonThatIsNoAddonIsRefused) {
    const ZormaResult r =
        Run({.script = "REGEN\n",
             .addon = fs::path(ZORMA_BINARY_DIR) / "test-plugins/zorma_not_addon.so"});
    EXPECT_THAT(r, ExitsWith(2));
    EXPECT_THAT(r.err, HasSubstr("does not export acrxEntryPoint"));
}

// Every script under samples/scripts is a scenario the demo runs for new users: each must finish
// without a fault, so that a change in what counts as one shows here and not in front of them.
TEST_F(Scenario, EveryDemoScenarioFinishesCleanly) {
    const ProcessResult r = Zorma({"demo", "--out-dir", (Folder() / "demo").string()});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.out + r.err, HasSubstr(" 0 failed"));
}

TEST_F(Scenario, VersionAndBadArguments) {
    EXPECT_THAT(Zorma({"--version"}), ExitsWith(0));
    EXPECT_THAT(RunHost({.args = {"--api", "25"}}), ExitsWith(2));
    const ZormaResult r = RunHost({.drawing = "/nonexistent/drawing.dxf"});
    EXPECT_THAT(r, ExitsWith(2));
    EXPECT_THAT(r.err, HasSubstr("cannot read drawing"));
}

TEST_F(Scenario, AKernelFailureShowsTheKernelsMessageUnderVerbose) {
    // Two regions to unite, one bounded by a spline with a weight of zero: the kernel refuses to
    // build that curve, and says so.
    zhost::geom::Spline bad;
    bad.degree = 2;
    bad.controlPoints = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    bad.knots = {0, 0, 0, 1, 2, 3, 3, 3};
    bad.weights = {1, 0, 1, 1, 1};
    zhost::geom::Region badRegion, square;
    badRegion.faces.push_back({zhost::geom::Loop{{bad}}, {}});
    square.faces.push_back(
        {zhost::geom::Loop{
             {zhost::geom::LineSeg{{5, 5}, {15, 5}}, zhost::geom::LineSeg{{15, 5}, {15, 15}},
              zhost::geom::LineSeg{{15, 15}, {5, 15}}, zhost::geom::LineSeg{{5, 15}, {5, 5}}}},
         {}});
    zhost::db::Database drawing;
    zhost::db::ObjectId id;
    ASSERT_OK(drawing.appendToModelSpace(std::make_unique<zhost::db::Region>(square), id));
    ASSERT_OK(drawing.appendToModelSpace(std::make_unique<zhost::db::Region>(badRegion), id));
    const fs::path in = Dir() / "regions.dxf";
    ASSERT_OK(zhost::dxf::writeDxf(drawing, in));

    const ZormaResult verbose =
        RunHost({.drawing = in, .script = "UNION\n@all\n\n", .args = {"-v"}});
    EXPECT_THAT(verbose, ExitsWith(5)); // the command reported its failure
    EXPECT_THAT(verbose.out, HasSubstr("The regions could not be united."));
    EXPECT_THAT(verbose.err, HasSubstr("zorma: kernel: spline: Standard_ConstructionError: "
                                       "Geom_BSplineCurve: Weights values too small"));
    // Without -v the details stay out of the way.
    const ZormaResult quiet = RunHost({.drawing = in, .script = "UNION\n@all\n\n"});
    EXPECT_THAT(quiet.out, HasSubstr("The regions could not be united."));
    EXPECT_THAT(quiet.err, ::testing::Not(HasSubstr("kernel:")));
}

// "zorma library VERB": the program hands the verb to the add-on it loads; without the add-on it
// says where the verbs come from instead of failing to link or crashing.
TEST_F(Scenario, LibraryVerbsRunInTheAddon) {
    const std::string addon = BuiltAddon().string();
    const std::string user = Folder().MakeFolder("user").string();
    const fs::path fixtures = SourcePath("tests/library/fixtures");
    ProcessResult r = Zorma({"library", "check", "--product", (fixtures / "problems").string(),
                             "--addon", addon, "--user-dir", user});
    EXPECT_THAT(r, ExitsWith(1));
    EXPECT_THAT(r.out, HasSubstr("PartsContentsK.txt:3: 19 fields; a part line needs 20"));
    r = Zorma({"library", "check", "--strict", "--product", (fixtures / "root_catalogue").string(),
               "--addon", addon, "--user-dir", user});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("0 problems, 0 warnings"));
    // A product folder that does not exist is named in the problem, not left blank.
    const std::string missing = (Folder() / "no-such-product").string();
    r = Zorma({"library", "check", "--product", missing, "--addon", addon, "--user-dir", user});
    EXPECT_THAT(r, ExitsWith(1));
    EXPECT_THAT(r.out, HasSubstr("no parts library: the product folder " + missing));
    r = Zorma({"library", "help", "--addon", addon, "--user-dir", user});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("  check [--strict]"));
}

TEST_F(Scenario, LibraryVerbsWithoutTheAddonOrAVerb) {
    const std::string user = Folder().MakeFolder("user").string();
    ProcessResult r = Zorma({"library", "check", "--user-dir", user, "--addon", "none"});
    EXPECT_THAT(r, ExitsWith(2));
    EXPECT_THAT(r.err, HasSubstr("the library tools come with the add-on"));
    r = Zorma({"library", "--strict", "--user-dir", user, "--addon", "none"});
    EXPECT_THAT(r, ExitsWith(2));
    EXPECT_THAT(r.err, HasSubstr("a verb is needed"));
    EXPECT_THAT(Zorma({"library", "check", "--api", "22", "--user-dir", user, "--addon", "none"}),
                ExitsWith(2));
}

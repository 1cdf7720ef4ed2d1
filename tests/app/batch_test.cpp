// `zorma batch`: one script on many drawings in parallel runs, the summary, the kept transcripts
// of failures, the exit status, and inputs left alone unless --in-place asks otherwise.
#include "support/drawing.h"
#include "support/zorma_run.h"

#include "zhost/db/db.h"

#include <gmock/gmock.h>

namespace fs = std::filesystem;
using namespace zhost;

namespace {

class Batch : public ztest::TempFolderTest {
protected:
    // Copies of the plate sample under the given names.
    std::vector<std::string> Copies(std::initializer_list<const char*> names) {
        const std::string plate = ztest::ReadFile(ztest::SampleDrawing("plate.dxf"));
        std::vector<std::string> out;
        for (const char* n : names)
            out.push_back(Write(n, plate).string());
        return out;
    }
    ztest::ProcessResult RunBatch(std::vector<std::string> drawings, const std::string& script,
                                  std::vector<std::string> more = {}) {
        const fs::path scr = Write("job.scr", script);
        std::vector<std::string> args = {"batch",
                                         "--script",
                                         scr.string(),
                                         "--addon",
                                         "none",
                                         "--out-dir",
                                         (Dir() / "out").string()};
        args.insert(args.end(), more.begin(), more.end());
        args.insert(args.end(), drawings.begin(), drawings.end());
        return ztest::Zorma(args, {.timeout = std::chrono::seconds(120)});
    }
    static int Circles(const fs::path& file) {
        db::Database d;
        EXPECT_TRUE(ztest::ReadDrawing(file, d));
        return ztest::EntityKinds(d)[L"CIRCLE"];
    }
};

} // namespace

TEST_F(Batch, RunsEveryDrawingReportsTheMissingOneAndLeavesInputsAlone) {
    auto inputs = Copies({"a.dxf", "b.dxf", "c.dxf"});
    const std::string before = ztest::ReadFile(inputs[0]);
    const int circlesBefore = Circles(inputs[0]);
    inputs.insert(inputs.begin() + 1, (Dir() / "missing.dxf").string());
    const ztest::ProcessResult r = RunBatch(inputs, "CIRCLE\n500,500\n5\n", {"--jobs", "2"});
    EXPECT_EQ(r.exitCode, 1) << r.Tail();
    EXPECT_THAT(r.out, ::testing::ContainsRegex("missing.dxf +FAILED .*drawing not found"));
    EXPECT_THAT(r.out, ::testing::ContainsRegex("a.dxf +ok +[0-9.]+ s"));
    EXPECT_THAT(r.out, ::testing::HasSubstr("4 drawing(s), 3 ok, 1 failed, 2 job(s)"));
    for (const char* name : {"a.dxf", "b.dxf", "c.dxf"})
        EXPECT_EQ(Circles(Dir() / "out" / name), circlesBefore + 1) << name;
    EXPECT_EQ(ztest::ReadFile(inputs[0]), before);
    EXPECT_FALSE(fs::exists(Dir() / "a.bak"));
}

TEST_F(Batch, AFailedRunKeepsItsTranscriptAndTheStatusSaysSo) {
    const auto inputs = Copies({"a.dxf", "b.dxf"});
    // The script leaves a prompt waiting on every drawing.
    const ztest::ProcessResult r = RunBatch(inputs, "LINE\n0,0\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.out, ::testing::HasSubstr("2 drawing(s), 0 ok, 2 failed"));
    const std::string log = ztest::ReadFile(Dir() / "out" / "logs" / "a.txt");
    EXPECT_THAT(log, ::testing::HasSubstr("Specify next point or [Undo]"));
    EXPECT_THAT(log, ::testing::HasSubstr("a prompt was waiting"));
}

TEST_F(Batch, InPlaceReplacesEachDrawingAndKeepsTheOldOneAsBak) {
    const auto inputs = Copies({"a.dxf", "b.dxf"});
    const std::string before = ztest::ReadFile(inputs[0]);
    const int circlesBefore = Circles(inputs[0]);
    const ztest::ProcessResult r = RunBatch(inputs, "CIRCLE\n0,0\n1\n", {"--in-place"});
    ASSERT_EQ(r.exitCode, 0) << r.Tail();
    EXPECT_EQ(Circles(inputs[0]), circlesBefore + 1);
    EXPECT_EQ(ztest::ReadFile(Dir() / "a.bak"), before);
    EXPECT_FALSE(fs::exists(Dir() / "out" / "logs" / "a.txt")); // nothing to look into
    for (const auto& e : fs::directory_iterator(Dir()))
        EXPECT_EQ(e.path().filename().string().find(".batch-"), std::string::npos) << e.path();
}

TEST_F(Batch, ADwgNameRunsOnAndReplacesTheDxfBesideIt) {
    const auto inputs = Copies({"part.dxf"});
    const int circlesBefore = Circles(inputs[0]);
    const ztest::ProcessResult r =
        RunBatch({(Dir() / "part.dwg").string()}, "CIRCLE\n0,0\n1\n", {"--in-place"});
    ASSERT_EQ(r.exitCode, 0) << r.Tail();
    EXPECT_EQ(Circles(inputs[0]), circlesBefore + 1);
    EXPECT_FALSE(fs::exists(Dir() / "part.dwg"));
    EXPECT_TRUE(fs::exists(Dir() / "part.bak"));
}

TEST_F(Batch, UsageErrorsExitWithTwo) {
    const auto inputs = Copies({"a.dxf"});
    EXPECT_EQ(ztest::Zorma({"batch", inputs[0]}).exitCode, 2);
    EXPECT_EQ(RunBatch(inputs, "REGEN\n", {"--jobs", "0"}).exitCode, 2);
    EXPECT_EQ(
        ztest::Zorma({"batch", "--script", (Dir() / "none.scr").string(), inputs[0]}).exitCode, 2);
}

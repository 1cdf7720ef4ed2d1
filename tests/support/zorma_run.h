#pragma once
// Running the zorma program the way a user or a batch job does, for scenario tests:
//
//   class PlateScenario : public ztest::ScenarioTest {};
//   TEST_F(PlateScenario, RegionFromTheOutline) {
//       const ztest::ZormaResult r = Run({.drawing = ztest::SampleDrawing("plate.dxf"),
//                                         .script = "REGION\n@all\n\n"});
//       EXPECT_THAT(r, ztest::ExitsWith(0));
//       EXPECT_THAT(r, ztest::Prints("1 Region created."));
//       EXPECT_EQ(ztest::ModelSpaceKinds(r.saved)[L"REGION"], 1); // zorma/drawing.h
//   }
//
// Every run gets its own script file, user folder and saved drawing inside the test's temporary
// folder (kept when the test fails). A failing assertion on a result prints the command line to
// paste into a terminal, how the program ended and the transcript's last lines.
#include "process.h"
#include "temp_folder.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <string_view>
#include <vector>

namespace ztest {

// The built program and add-ons, and the committed samples.
std::filesystem::path ZormaProgram();
std::filesystem::path BuiltAddon(int api = 24);
std::filesystem::path SourcePath(const std::filesystem::path& relative); // in the source tree
std::filesystem::path SampleDrawing(std::string_view name);              // samples/drawings/
// What `addon` takes to run with the host's own commands only.
inline const std::filesystem::path kNoAddon = "none";

// One `zorma run` (or `zorma shell`). Fields left as they are give a hermetic run: a user
// folder and an absent machine registry file of the run's own, the built BX24TORV add-on, the
// drawing saved to a file of its own.
struct ZormaRun {
    std::filesystem::path drawing{};            // the drawing opened; empty starts a new one
    std::string script{};                       // the script's text (lines end with "\n")
    std::filesystem::path scriptFile{};         // or a script file (then `script` must be empty)
    std::filesystem::path product{};            // --product; empty leaves the program's default
    std::filesystem::path userDir{};            // --user-dir; empty: a fresh "user-N" folder
    std::filesystem::path addon = BuiltAddon(); // or kNoAddon
    bool save = true;                           // --out to a fresh "out-N.dxf"
    std::vector<std::string> args{};            // further arguments: -v, --render x.png, --api 23
    ProcessOptions process{};                   // standard input text, environment, timeout
    std::string command = "run";
};

struct ZormaResult : ProcessResult {
    std::filesystem::path saved;      // the drawing written by --out; empty when none was asked
    std::filesystem::path scriptPath; // the script that ran
    std::filesystem::path userDir{};  // the user folder it ran with
};

// Runs zorma as `run` describes, writing what it needs into `folder`.
ZormaResult RunZorma(const ZormaRun& run, const std::filesystem::path& folder);
// The command line RunZorma runs, with the script, user folder and output names written into
// `result` (for programs driven otherwise, such as the shell on a pseudo-terminal).
std::vector<std::string> ZormaCommandLine(const ZormaRun& run, const std::filesystem::path& folder,
                                          ZormaResult& result);
// Runs zorma with exactly these arguments (`zorma render ...`, `zorma library check ...`).
ProcessResult Zorma(std::vector<std::string> args, const ProcessOptions& options = {});

// Several independent scenarios in one run of the program, to share its start-up: each section
// is a script of its own, separated by marker lines that the transcript echoes. Sections must
// leave the command prompt as they found it (end every command) and must not depend on each
// other's drawing changes unless the test means them to.
class SharedRun {
public:
    // Adds a section; returns its index.
    size_t Add(std::string name, std::string script);
    // The combined script.
    std::string Script() const;
    // The part of the transcript each section printed, after a run of Script().
    std::vector<std::string> Split(const std::string& transcript) const;
    const std::string& Name(size_t i) const { return sections_[i].first; }
    size_t Size() const { return sections_.size(); }

private:
    std::vector<std::pair<std::string, std::string>> sections_;
};

// A fixture with a temporary folder that runs zorma in it; when the test fails, the last run's
// command line and transcript tail are printed. A subclass overriding TearDown calls this one.
class ScenarioTest : public TempFolderTest {
protected:
    ZormaResult Run(ZormaRun run);
    void TearDown() override;
    const ZormaResult& LastRun() const { return last_; }

private:
    ZormaResult last_;
    bool ran_ = false;
};

// How often `part` occurs in `text` (overlapping occurrences count once each start).
int CountOf(std::string_view text, std::string_view part);

// Matchers on a run's result; on failure they print the command line and the transcript's tail.
//   EXPECT_THAT(r, ExitsWith(0));
//   EXPECT_THAT(r, Prints("1 Region created."));
//   EXPECT_THAT(r, Not(Prints("error")));
//   EXPECT_THAT(r, PrintsTimes("Select objects:", 2));
MATCHER_P(ExitsWith, code, "exits with status " + ::testing::PrintToString(code)) {
    return arg.spawnError.empty() && !arg.timedOut && arg.signal == 0 && arg.exitCode == code;
}
MATCHER_P(Prints, text, "prints \"" + std::string(text) + "\"") {
    return arg.transcript.find(text) != std::string::npos;
}
MATCHER_P2(PrintsTimes, text, times,
           "prints \"" + std::string(text) + "\" " + ::testing::PrintToString(times) + " times") {
    const int n = ::ztest::CountOf(arg.transcript, text);
    *result_listener << "it is printed " << n << " times";
    return n == times;
}

} // namespace ztest

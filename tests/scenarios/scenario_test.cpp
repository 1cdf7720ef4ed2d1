// Scenarios: the zorma program run on a drawing with a script; the transcript, the exit status
// and the saved drawing are checked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class Scenario : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("zorma-scenario-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    fs::path write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return dir / name;
    }

    // Runs zorma with the arguments (a per-test user folder; no add-on unless one is given).
    RunResult zorma(const std::string& args) {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string cmd = std::string(ZORMA_BINARY_DIR) + "/bin/zorma " + args +
                                " --user-dir " + (dir / "user").string() +
                                (args.find("--addon") == std::string::npos ? " --addon none" : "") +
                                " > " + out.string() + " 2> " + err.string() + " < /dev/null";
        RunResult r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }

    std::string plate() const {
        return std::string(ZORMA_SOURCE_DIR) + "/samples/drawings/plate.dxf";
    }

    static int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
            ++n;
        return n;
    }

    fs::path dir;
};

// Counts DXF entities of a kind in the ENTITIES section ("0\nREGION\n").
int entities(const std::string& dxf, const std::string& kind) {
    const size_t start = dxf.find("ENTITIES");
    const size_t end = dxf.find("ENDSEC", start);
    int n = 0;
    const std::string key = "\n" + kind + "\n";
    for (size_t p = dxf.find(key, start); p != std::string::npos && p < end;
         p = dxf.find(key, p + 1))
        if ((p >= 2 && dxf.compare(p - 2, 2, "\n0") == 0) ||
            (p >= 2 && dxf.compare(p - 2, 2, " 0") == 0))
            ++n;
    return n;
}

} // namespace

TEST_F(Scenario, UnknownCommandIsReportedAndTheScriptGoesOn) {
    const auto script = write("s.scr", "XYZ\nREGEN\n");
    const RunResult r = zorma("run --script " + script.string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Unknown command \"XYZ\".  Press F1 for help."), std::string::npos);
    EXPECT_NE(r.out.find("Regenerating model."), std::string::npos);
}

TEST_F(Scenario, ScriptEndingInAPromptFailsNamingThePrompt) {
    const auto script = write("s.scr", "OFFSET\n2\n");
    const RunResult r = zorma("run " + plate() + " --script " + script.string());
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("Select object to offset"), std::string::npos) << r.err;
}

TEST_F(Scenario, UnknownDirectiveStopsTheScriptWithItsLine) {
    const auto script = write("s.scr", "; one\nREGEN\n@teleport 1,2\nREGEN\n");
    const RunResult r = zorma("run --script " + script.string());
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    EXPECT_EQ(count(r.out, "Regenerating model."), 1);
}

TEST_F(Scenario, MalformedAnswersRepromptAndNeverCrash) {
    const auto script = write("s.scr", "OFFSET\nabc\n1,2,3,4\n2\n@pick 40,30\n@@\nB\n\n");
    const RunResult r = zorma("run " + plate() + " --script " + script.string() + " --out " +
                              (dir / "o.dxf").string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_GE(count(r.out, "Requires numeric distance or two points."), 2);
    EXPECT_EQ(entities(slurp(dir / "o.dxf"), "CIRCLE"), 3);
}

TEST_F(Scenario, RegionFromACrossingSelection) {
    const auto script = write("s.scr", "REGION\n@crossing -1,-1 101,1\n@pick 50,60\n\n");
    const RunResult r = zorma("run " + plate() + " --script " + script.string() + " --out " +
                              (dir / "o.dxf").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3 found, 3 total"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1 Region created."), std::string::npos) << r.out;
    const std::string dxf = slurp(dir / "o.dxf");
    EXPECT_EQ(entities(dxf, "REGION"), 1);
    EXPECT_EQ(entities(dxf, "LINE"), 3); // DELOBJ 1: the four outline lines are gone
}

TEST_F(Scenario, BoundaryWithIslandsAsRegions) {
    const auto script = write("s.scr", "@set HPBOUND 0\n-BOUNDARY\n50,50\n\n");
    const RunResult r = zorma("run " + plate() + " --script " + script.string() + " --out " +
                              (dir / "o.dxf").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("BOUNDARY created 3 regions"), std::string::npos) << r.out;
    EXPECT_EQ(entities(slurp(dir / "o.dxf"), "REGION"), 3);
}

TEST_F(Scenario, OffsetBothSidesThenToAPoint) {
    const auto script = write("s.scr", "OFFSET\n2\n@pick 40,30\nB\n@pick 50,-20\n50,-30\n\n");
    const RunResult r = zorma("run " + plate() + " --script " + script.string() + " --out " +
                              (dir / "o.dxf").string());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string dxf = slurp(dir / "o.dxf");
    EXPECT_EQ(entities(dxf, "CIRCLE"), 3);
    EXPECT_EQ(entities(dxf, "LINE"), 8);
}

TEST_F(Scenario, UndoBackLeavesTheSavedFileAsBeforeTheMark) {
    const auto plain = write("plain.scr", "REGEN\n");
    ASSERT_EQ(zorma("run " + plate() + " --script " + plain.string() + " --out " +
                    (dir / "before.dxf").string())
                  .status,
              0);
    const auto script = write("s.scr", "UNDO\nM\nPEDIT\nM\n@window 49,19 91,41\n\nY\nJ\n"
                                       "0.002\nX\nUNDO\nB\n");
    const RunResult r = zorma("run " + plate() + " --script " + script.string() + " --out " +
                              (dir / "after.dxf").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("segments added to polyline"), std::string::npos) << r.out;
    EXPECT_EQ(slurp(dir / "after.dxf"), slurp(dir / "before.dxf"));
}

TEST_F(Scenario, AnAddonThatIsNoAddonIsRefused) {
    const std::string notAddon = std::string(ZORMA_BINARY_DIR) + "/test-plugins/zorma_not_addon.so";
    const auto script = write("s.scr", "REGEN\n");
    const RunResult r = zorma("run --script " + script.string() + " --addon " + notAddon);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("does not export acrxEntryPoint"), std::string::npos) << r.err;
}

TEST_F(Scenario, VersionAndBadArguments) {
    EXPECT_EQ(zorma("--version").status, 0);
    EXPECT_EQ(zorma("run --api 25").status, 2);
    const RunResult r = zorma("run /nonexistent/drawing.dxf");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read drawing"), std::string::npos);
}

// "zorma library VERB": the program hands the verb to the add-on it loads; without the add-on it
// says where the verbs come from instead of failing to link or crashing.
TEST_F(Scenario, LibraryVerbsRunInTheAddon) {
    const std::string addon = std::string(ZORMA_BINARY_DIR) + "/lib/BX24TORV.so";
    const std::string fixtures = std::string(ZORMA_SOURCE_DIR) + "/tests/library/fixtures/";
    RunResult r = zorma("library check --product " + fixtures + "problems --addon " + addon);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("PartsContentsK.txt:3: 19 fields; a part line needs 20"),
              std::string::npos)
        << r.out;
    r = zorma("library check --strict --product " + fixtures + "root_catalogue --addon " + addon);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("0 problems, 0 warnings"), std::string::npos) << r.out;
    r = zorma("library help --addon " + addon);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("  check [--strict]"), std::string::npos) << r.out;
}

TEST_F(Scenario, LibraryVerbsWithoutTheAddonOrAVerb) {
    RunResult r = zorma("library check");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the library tools come with the add-on"), std::string::npos) << r.err;
    r = zorma("library --strict");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("a verb is needed"), std::string::npos) << r.err;
    r = zorma("library check --api 22");
    EXPECT_EQ(r.status, 2);
}

// What `zorma run` and `zorma render` say about the drawing they read, and the version a run
// saves it in.
#include "support/zorma_run.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ::testing::Not;
using ztest::ExitsWith;
using ztest::Prints;

namespace {

class ReadReportScenario : public ztest::ScenarioTest {
protected:
    // An R2018 drawing with a line and a MESH, which the host keeps as read.
    fs::path Drawing() {
        const fs::path path = Dir() / "図面 R2018.dxf";
        std::ofstream(path, std::ios::binary)
            << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1032\n0\nENDSEC\n"
               "0\nSECTION\n2\nENTITIES\n"
               "0\nLINE\n5\n40\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n"
               "10\n0\n20\n0\n30\n0\n11\n10\n21\n5\n31\n0\n"
               "0\nMESH\n5\n41\n100\nAcDbEntity\n8\n0\n100\nAcDbSubDMesh\n71\n2\n72\n0\n91\n0\n"
               "92\n3\n10\n0\n20\n0\n30\n0\n10\n1\n20\n0\n30\n0\n10\n0\n20\n1\n30\n0\n"
               "93\n4\n90\n3\n90\n0\n90\n1\n90\n2\n94\n0\n95\n0\n"
               "0\nENDSEC\n0\nEOF\n";
        return path;
    }

    static std::string Saved(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

} // namespace

TEST_F(ReadReportScenario, RunSaysWhatItReadAndKeepsTheVersion) {
    const ztest::ZormaResult r =
        Run({.drawing = Drawing(), .script = "REGEN\n", .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("R2018.dxf: AC1032, code page 65001"));
    EXPECT_THAT(r, Prints("modelled: 1 entity (LINE 1)"));
    EXPECT_THAT(r, Prints("kept as read: 1 entity, 0 objects (MESH 1)"));
    const std::string saved = Saved(r.saved);
    EXPECT_NE(std::string::npos, saved.find("$ACADVER\n  1\nAC1032\n"));
    EXPECT_NE(std::string::npos, saved.find("\nMESH\n"));
}

TEST_F(ReadReportScenario, QuietRunsSayNothingAndAskedVersionsAreWritten) {
    const ztest::ZormaResult r = Run({.drawing = Drawing(),
                                      .script = "REGEN\n",
                                      .addon = ztest::kNoAddon,
                                      .args = {"-q", "--out-version", "R2000"}});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Not(Prints("modelled:")));
    EXPECT_NE(std::string::npos, Saved(r.saved).find("$ACADVER\n  1\nAC1015\n"));

    const ztest::ZormaResult bad = Run({.drawing = Drawing(),
                                        .script = "REGEN\n",
                                        .addon = ztest::kNoAddon,
                                        .args = {"--out-version", "R2099"}});
    EXPECT_THAT(bad, ExitsWith(2));
    EXPECT_THAT(bad, Prints("--out-version takes R2000"));
}

TEST_F(ReadReportScenario, RenderSaysWhatItReadUnlessQuiet) {
    const fs::path drawing = Drawing();
    const ztest::ProcessResult loud =
        ztest::Zorma({"render", drawing.string(), (Dir() / "a.png").string()});
    EXPECT_EQ(0, loud.exitCode) << loud.transcript;
    EXPECT_NE(std::string::npos, loud.transcript.find("kept as read: 1 entity")) << loud.transcript;
    const ztest::ProcessResult quiet =
        ztest::Zorma({"render", drawing.string(), (Dir() / "b.png").string(), "-q"});
    EXPECT_EQ(0, quiet.exitCode) << quiet.transcript;
    EXPECT_EQ(std::string::npos, quiet.transcript.find("modelled:")) << quiet.transcript;
}

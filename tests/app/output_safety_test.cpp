// What zorma writes: only regular files or new names, through links, keeping mode and owner, and
// only names it can write, checked before the script runs.
#include "support/drawing.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using ::testing::Not;
using ztest::ExitsWith;
using ztest::Prints;

namespace {

class OutputSafety : public ztest::ScenarioTest {
protected:
    // A run that would print "Regenerating model." if its script ran.
    ztest::ZormaResult RunWith(std::vector<std::string> args) {
        return Run({.script = "REGEN\n",
                    .addon = ztest::kNoAddon,
                    .save = false,
                    .args = std::move(args)});
    }
};

struct stat statOf(const fs::path& p) {
    struct stat st = {};
    ::lstat(p.c_str(), &st);
    return st;
}

} // namespace

TEST_F(OutputSafety, DevicesFifosAndFoldersAreRefusedBeforeTheScriptAndKept) {
    fs::create_symlink("/dev/null", Dir() / "null.dxf");
    ASSERT_EQ(::mkfifo((Dir() / "pipe.dxf").c_str(), 0644), 0);
    Folder().MakeFolder("folder.dxf");
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"null.dxf", "Not a regular file (a character device)"},
                 {"pipe.dxf", "Not a regular file (a FIFO)"},
                 {"folder.dxf", "Is a directory"},
                 {"missing/x.dxf", "No such file or directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ztest::ZormaResult r = RunWith({"--out", (Dir() / c.name).string()});
        EXPECT_THAT(r, ExitsWith(2));
        EXPECT_THAT(r, Prints(c.reason));
        EXPECT_THAT(r, Not(Prints("Regenerating model.")));
    }
    EXPECT_TRUE(fs::is_symlink(Dir() / "null.dxf"));
    EXPECT_TRUE(S_ISFIFO(statOf(Dir() / "pipe.dxf").st_mode));
    EXPECT_TRUE(fs::is_directory(Dir() / "folder.dxf"));
    EXPECT_TRUE(S_ISCHR(statOf("/dev/null").st_mode));
}

TEST_F(OutputSafety, ALinkIsWrittenThroughAndTheFileKeepsModeAndOwner) {
    const fs::path target = Write("real/drawing.dxf", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 4321, 8765), 0);
    }
    fs::create_symlink("real/drawing.dxf", Dir() / "link.dxf");
    const ztest::ZormaResult r = RunWith({"--out", (Dir() / "link.dxf").string()});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_TRUE(fs::is_symlink(Dir() / "link.dxf"));
    zhost::db::Database saved;
    EXPECT_TRUE(ztest::ReadDrawing(target, saved));
    const struct stat st = statOf(target);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
}

TEST_F(OutputSafety, EmptyAndNonDrawingNamesAreRefused) {
    for (const std::string& out : {std::string(), (Dir() / "notes.txt").string()}) {
        SCOPED_TRACE(out);
        const ztest::ZormaResult r = RunWith({"--out", out});
        EXPECT_THAT(r, ExitsWith(2));
        EXPECT_THAT(r, Not(Prints("Regenerating model.")));
    }
    EXPECT_FALSE(fs::exists(Dir() / "notes.txt"));
}

TEST_F(OutputSafety, ADwgNameSavesTheDxfBesideItAndSaysSo) {
    const ztest::ZormaResult r = RunWith({"--out", (Dir() / "part.DWG").string()});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("part.dxf"));
    EXPECT_FALSE(fs::exists(Dir() / "part.DWG"));
    zhost::db::Database saved;
    EXPECT_TRUE(ztest::ReadDrawing(Dir() / "part.dxf", saved));
}

TEST_F(OutputSafety, BadPictureNamesAreRefusedBeforeTheScriptRuns) {
    for (const char* picture : {"view.jpg", "no/such/folder/view.png"}) {
        SCOPED_TRACE(picture);
        const ztest::ZormaResult r =
            RunWith({"--out", (Dir() / "o.dxf").string(), "--render", (Dir() / picture).string()});
        EXPECT_THAT(r, ExitsWith(2));
        EXPECT_THAT(r, Not(Prints("Regenerating model.")));
        EXPECT_FALSE(fs::exists(Dir() / "o.dxf"));
    }
}

TEST_F(OutputSafety, AUserFolderThatCannotBeWrittenIsReportedAtStart) {
    const fs::path notAFolder = Write("user-file", "x");
    const ztest::ZormaResult r =
        Run({.script = "REGEN\n", .userDir = notAFolder, .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("cannot be written"));
}

TEST_F(OutputSafety, RenderTakesAnInputNamedRender) {
    fs::copy_file(ztest::SampleDrawing("plate.dxf"), Dir() / "render");
    const ztest::ProcessResult r =
        ztest::Zorma({"render", "render", "out.png"}, {.workDir = Dir()});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_GT(fs::file_size(Dir() / "out.png"), 100u);
}

TEST_F(OutputSafety, AnAddonNamedWithoutAFolderIsTheFileHere) {
    fs::copy_file(ztest::BuiltAddon(), Dir() / "MyAddon.so");
    const ztest::ZormaResult r =
        Run({.script = "REGEN\n", .addon = "MyAddon.so", .process = {.workDir = Dir()}});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Not(Prints("add-on refused")));
}

// What zorma reads: folders, devices and FIFOs named as drawings or scripts are refused with the
// reason, and any Unicode path works for every file the program reads or writes.
#include "support/drawing.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using ztest::ExitsWith;
using ztest::Prints;

namespace {
class InputSafety : public ztest::ScenarioTest {};
} // namespace

TEST_F(InputSafety, AFolderOrAFifoAsTheDrawingIsRefusedWithTheReason) {
    Folder().MakeFolder("drawings.dxf");
    ASSERT_EQ(::mkfifo((Dir() / "pipe.dxf").c_str(), 0644), 0);
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"drawings.dxf", "Is a directory"}, {"pipe.dxf", "Not a regular file (a FIFO)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ztest::ZormaResult r = Run({.drawing = Dir() / c.name,
                                          .script = "REGEN\n",
                                          .addon = ztest::kNoAddon,
                                          .process = {.timeout = std::chrono::seconds(30)}});
        EXPECT_THAT(r, ExitsWith(2));
        EXPECT_THAT(r, Prints(c.reason));
        EXPECT_TRUE(r.saved.empty());
    }
}

TEST_F(InputSafety, AFolderAsTheScriptIsRefusedWithTheReason) {
    const fs::path folder = Folder().MakeFolder("script.scr");
    const ztest::ZormaResult r = Run({.scriptFile = folder, .addon = ztest::kNoAddon});
    EXPECT_THAT(r, ExitsWith(2));
    EXPECT_THAT(r, Prints("Is a directory"));
    EXPECT_TRUE(r.saved.empty());
}

TEST_F(InputSafety, UnicodePathsWorkForEveryFile) {
    const fs::path folder = Folder().MakeFolder("図面 Ünïcödé");
    fs::copy_file(ztest::SampleDrawing("plate.dxf"), folder / "部品.dxf");
    const fs::path script = Write("手順 ß.scr", "REGEN\n");
    const ztest::ZormaResult r = Run({.drawing = folder / "部品.dxf",
                                      .scriptFile = script,
                                      .addon = ztest::kNoAddon,
                                      .save = false,
                                      .args = {"--out", (folder / "出力.dxf").string(), "--render",
                                               (folder / "絵.png").string()}});
    ASSERT_THAT(r, ExitsWith(0));
    zhost::db::Database saved;
    EXPECT_TRUE(ztest::ReadDrawing(folder / "出力.dxf", saved));
    EXPECT_GT(fs::file_size(folder / "絵.png"), 100u);

    const ztest::ProcessResult missing =
        ztest::Zorma({"render", (folder / "無い.dxf").string(), (folder / "x.png").string()});
    EXPECT_THAT(missing, ExitsWith(1));
    EXPECT_THAT(missing, Prints("無い.dxf"));
}

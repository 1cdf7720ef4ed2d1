// The desktop window run by scripts under a virtual X server: it must save what `zorma run`
// saves for the same script, and its screenshot must show the drawing in the view.
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/ui/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {
namespace fs = std::filesystem;

const fs::path kXvfbRun = "/usr/bin/xvfb-run";

#define SKIP_WITHOUT_XVFB()                                                                        \
    do {                                                                                           \
        if (!fs::exists(kXvfbRun))                                                                 \
            GTEST_SKIP() << "xvfb-run is not installed (tools/setup.sh installs it)";              \
    } while (0)

// The drawing a demo script names in its first lines ("; drawing: ../drawings/x.dxf").
fs::path ScriptDrawing(const fs::path& script) {
    std::ifstream in(script);
    const std::string key = "; drawing:";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0) {
            std::string name = line.substr(key.size());
            name.erase(0, name.find_first_not_of(' '));
            return script.parent_path() / name;
        }
        if (line.empty() || line[0] != ';')
            break;
    }
    return {};
}

struct GuiRun {
    ztest::ProcessResult process;
    fs::path saved, screenshot;
};

// `zorma gui --script` on a screen of the given size, saving the drawing and the window.
GuiRun RunGui(const fs::path& folder, const fs::path& script, const fs::path& drawing) {
    GuiRun r{{}, folder / "gui.dxf", folder / "gui.png"};
    std::vector<std::string> argv = {kXvfbRun.string(),
                                     "-a",
                                     "-s",
                                     "-screen 0 1280x1024x24",
                                     ztest::ZormaProgram().string(),
                                     "gui"};
    if (!drawing.empty())
        argv.push_back(drawing.string());
    for (const std::string& a :
         {std::string("--script"), script.string(), std::string("--out"), r.saved.string(),
          std::string("--screenshot"), r.screenshot.string(), std::string("--user-dir"),
          (folder / "user-gui").string(), std::string("--product"),
          ztest::SourcePath("samples/product").string()})
        argv.push_back(a);
    r.process = ztest::RunProcess(argv, {.timeout = std::chrono::seconds(110)});
    return r;
}

bool Dark(std::uint32_t argb) {
    const int r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    return r + g + b < 3 * 128;
}

class DesktopWindow : public ztest::ScenarioTest {};

TEST_F(DesktopWindow, ScriptsSaveWhatZormaRunSaves) {
    SKIP_WITHOUT_XVFB();
    // One script from an empty drawing with host commands, one on a drawing with the add-on.
    for (const char* name : {"05-draw.scr", "holes.scr"}) {
        SCOPED_TRACE(name);
        const fs::path script = ztest::SourcePath("samples/scripts") / name;
        const fs::path drawing = ScriptDrawing(script);
        const ztest::ZormaResult plain = Run({.drawing = drawing,
                                              .scriptFile = script,
                                              .product = ztest::SourcePath("samples/product")});
        ASSERT_EQ(plain.exitCode, 0) << plain;
        const fs::path folder = Dir() / (std::string("gui-") + name);
        fs::create_directories(folder);
        const GuiRun gui = RunGui(folder, script, drawing);
        ASSERT_EQ(gui.process.exitCode, 0) << gui.process;
        // The window's transcript is the program's, line for line.
        EXPECT_EQ(gui.process.out, plain.out);
        EXPECT_EQ(ztest::ReadFile(gui.saved), ztest::ReadFile(plain.saved));
    }
}

TEST_F(DesktopWindow, ScreenshotShowsTheWholeDrawingInTheView) {
    SKIP_WITHOUT_XVFB();
    const fs::path script = ztest::SourcePath("samples/scripts/05-draw.scr");
    const GuiRun gui = RunGui(Dir(), script, {});
    ASSERT_EQ(gui.process.exitCode, 0) << gui.process;
    zhost::ui::Bitmap shot;
    ASSERT_TRUE(zhost::ui::Bitmap::loadPng(gui.screenshot, shot));
    ASSERT_GT(shot.width(), 400);
    ASSERT_GT(shot.height(), 300);
    // The upper half of the window is drawing view only (the command line sits at the bottom).
    // The bracket is wider than the view's proportions, so fitted to the view it spans nearly
    // its whole width, and the view is not left blank around it.
    int left = shot.width(), right = -1, dark = 0, light = 0;
    for (int y = shot.height() / 10; y < shot.height() / 2; ++y)
        for (int x = 0; x < shot.width(); ++x) {
            if (Dark(shot.pixel(x, y))) {
                ++dark;
                left = std::min(left, x);
                right = std::max(right, x);
            } else {
                ++light;
            }
        }
    ASSERT_GT(dark, 500) << "the drawing is not in the view";
    EXPECT_GT(light, dark * 5) << "the view is not a white sheet with lines";
    EXPECT_LT(left, shot.width() / 10);
    EXPECT_GT(right, shot.width() * 9 / 10);
}

TEST_F(DesktopWindow, NoDisplayIsOneMessageAndAnExitCode) {
    const ztest::ProcessResult r = ztest::Zorma(
        {"gui", "--addon", "none"}, {.env = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}});
    EXPECT_EQ(r.exitCode, 3) << r;
    EXPECT_NE(r.err.find("no display available"), std::string::npos) << r;
}

} // namespace

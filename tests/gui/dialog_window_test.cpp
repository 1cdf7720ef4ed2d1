// The add-on's dialogs as wx dialogs of `zorma gui`, under a virtual X server: scripted runs
// must show every dialog state in the window exactly as the dialog framework draws it (so every
// control sits where the framework puts it), with real Japanese glyphs, and a person clicking a
// real check box in the window must change what the add-on keeps.
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/ui/bitmap.h"
#include "zhost/ui/device_context.h"
#include "zhost/ui/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
using zhost::ui::Bitmap;

const fs::path kXvfbRun = "/usr/bin/xvfb-run";
const fs::path kXdotool = "/usr/bin/xdotool";
const std::string kScreen = "-screen 0 1280x1024x24";

bool Ink(std::uint32_t argb) {
    const int r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    return r + g + b < 3 * 110;
}

// The pixel rectangle of a control placed in dialog units in a dialog of the default font (the
// add-on's templates all use it).
zhost::ui::Rect PixelsOf(const zhost::ui::Rect& dialogUnits) {
    zhost::ui::DialogTemplate t;
    t.size = {100, 100};
    return zhost::ui::Dialog(t).mapDialogRect(dialogUnits);
}

// How box-like a line of text is: the glyphs are told apart by blank columns, and for each the
// share of its ink on the frame of its own ink box is taken. A glyph the font lacks is drawn as
// a hollow box, nearly all frame; a real glyph has most of its strokes inside.
double FrameShare(const Bitmap& b, const zhost::ui::Rect& r) {
    auto inkAt = [&](int x, int y) { return Ink(b.pixel(x, y)); };
    double shares = 0;
    int glyphs = 0;
    int x = r.left;
    while (x < r.right) {
        auto columnInk = [&](int cx) {
            for (int y = r.top; y < r.bottom; ++y)
                if (inkAt(cx, y))
                    return true;
            return false;
        };
        while (x < r.right && !columnInk(x))
            ++x;
        const int x0 = x;
        while (x < r.right && columnInk(x))
            ++x;
        if (x <= x0)
            break;
        int top = r.bottom, bottom = r.top - 1;
        for (int cx = x0; cx < x; ++cx)
            for (int y = r.top; y < r.bottom; ++y)
                if (inkAt(cx, y))
                    top = std::min(top, y), bottom = std::max(bottom, y);
        int ink = 0, frame = 0;
        for (int cx = x0; cx < x; ++cx)
            for (int y = top; y <= bottom; ++y)
                if (inkAt(cx, y)) {
                    ++ink;
                    frame += cx == x0 || cx == x - 1 || y == top || y == bottom;
                }
        if (ink >= 6 && x - x0 >= 4) { // glyphs, not dots and commas
            shares += double(frame) / ink;
            ++glyphs;
        }
    }
    return glyphs ? shares / glyphs : 1.0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

class DialogWindows : public ztest::ScenarioTest {
protected:
    void SetUp() override {
        if (!fs::exists(kXvfbRun))
            GTEST_SKIP() << "xvfb-run is not installed (tools/setup.sh installs it)";
    }

    // `zorma gui --script` with every dialog state saved into `shots`.
    ztest::ProcessResult RunGui(const fs::path& drawing, const fs::path& script,
                                const fs::path& user, const fs::path& saved,
                                const fs::path& shots) {
        return ztest::RunProcess(
            {kXvfbRun.string(), "-a", "-s", kScreen, ztest::ZormaProgram().string(), "gui",
             drawing.string(), "--script", script.string(), "--out", saved.string(), "--user-dir",
             user.string(), "--product", ztest::SourcePath("samples/product").string(),
             "--dialog-screenshots", shots.string()},
            {.timeout = std::chrono::seconds(280)});
    }
};

// The scenario that opens the dialogs the other demos leave closed, with each dialog's last
// state before OK or Cancel also drawn by the framework itself ("@dialog snapshot"): the window's
// picture of that state must be the framework's picture, pixel for pixel, but for the native text
// fields laid over edit fields.
TEST_F(DialogWindows, EveryScriptedStateIsShownAsTheFrameworkDrawsIt) {
    const fs::path demo = ztest::SourcePath("samples/scripts/dialogs.scr");
    const fs::path drawing = ztest::SourcePath("samples/drawings/hide_plate.dxf");
    const fs::path snaps = Dir() / "snaps", shots = Dir() / "shots";
    fs::create_directories(snaps);
    std::ifstream in(demo);
    std::ostringstream script;
    int snapshots = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("@dialog click ok", 0) == 0 || line.rfind("@dialog click cancel", 0) == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "snap-%02d.png", ++snapshots);
            script << "@dialog show\n@dialog snapshot " << (snaps / name).string() << "\n";
        }
        script << line << "\n";
    }
    ASSERT_EQ(snapshots, 8);
    const fs::path scriptFile = Dir() / "dialogs.scr";
    std::ofstream(scriptFile) << script.str();

    const ztest::ZormaResult plain = Run({.drawing = drawing,
                                          .scriptFile = scriptFile,
                                          .product = ztest::SourcePath("samples/product")});
    ASSERT_EQ(plain.exitCode, 0) << plain;
    const ztest::ProcessResult gui =
        RunGui(drawing, scriptFile, Dir() / "user-gui", Dir() / "gui.dxf", shots);
    ASSERT_EQ(gui.exitCode, 0) << gui;
    // The window answers the dialogs from the script as `zorma run` does.
    EXPECT_EQ(gui.out, plain.out);
    EXPECT_EQ(ztest::ReadFile(Dir() / "gui.dxf"), ztest::ReadFile(plain.saved));

    // One picture per dialog state in the transcript, named by the dialog's template.
    std::vector<std::string> expected;
    const std::regex header(R"(^=== .* \(dialog (\d+)\) ===$)");
    for (const std::string& l : Lines(plain.out))
        if (std::smatch m; std::regex_match(l, m, header))
            expected.push_back(m[1]);
    std::vector<fs::path> pictures;
    for (const auto& e : fs::directory_iterator(shots))
        pictures.push_back(e.path());
    std::sort(pictures.begin(), pictures.end());
    ASSERT_EQ(pictures.size(), expected.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        char name[48];
        std::snprintf(name, sizeof name, "%03zu-dialog-%s.png", i + 1, expected[i].c_str());
        EXPECT_EQ(pictures[i].filename().string(), name);
    }

    // Each snapshot against the window's picture of the same state: the one saved last before it.
    std::vector<std::string> seen;
    std::vector<fs::path> matched;
    for (int k = 1; k <= snapshots; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "snap-%02d.png", k);
        const fs::path snap = snaps / name;
        SCOPED_TRACE(snap.string());
        ASSERT_TRUE(fs::exists(snap));
        const fs::path* shot = nullptr;
        for (const fs::path& p : pictures)
            if (fs::last_write_time(p) <= fs::last_write_time(snap))
                shot = &p;
        ASSERT_NE(shot, nullptr);
        seen.push_back(shot->filename().string().substr(4));
        matched.push_back(*shot);
        Bitmap framework, window;
        ASSERT_TRUE(Bitmap::loadPng(snap, framework));
        ASSERT_TRUE(Bitmap::loadPng(*shot, window));
        // The snapshot has a drawn frame: 3 pixels at the sides and the bottom, a 26-pixel title.
        ASSERT_EQ(window.width(), framework.width() - 6);
        ASSERT_EQ(window.height(), framework.height() - 29);
        int same = 0, ink = 0;
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x) {
                const std::uint32_t w = window.pixel(x, y) & 0xFFFFFF;
                same += w == (framework.pixel(x + 3, y + 26) & 0xFFFFFF);
                ink += Ink(w);
            }
        const int all = window.width() * window.height();
        EXPECT_GT(same, all * 97 / 100) << "the window does not show the framework's dialog";
        EXPECT_GT(ink, 200) << "a blank dialog";
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"dialog-222.png", "dialog-220.png", "dialog-223.png",
                                              "dialog-222.png", "dialog-220.png", "dialog-218.png",
                                              "dialog-219.png", "dialog-141.png"}));

    // The table-item dialog's heading in the window, against the same number of glyphs the
    // font lacks drawn by the framework: real glyphs, not boxes.
    ASSERT_EQ(matched.size(), 8u);
    Bitmap shot;
    ASSERT_TRUE(Bitmap::loadPng(matched[7], shot));
    const zhost::ui::Rect heading = PixelsOf({9, 8, 209, 18});
    Bitmap boxes(heading.width(), heading.height(), 0xFFF0F0F0);
    {
        zhost::ui::DeviceContext dc(boxes);
        dc.setFont(zhost::ui::Font{});
        dc.setTextColor(0);
        dc.drawText(std::wstring(17, L'\uE000'), {0, 0, heading.width(), heading.height()},
                    zhost::ui::dt::singleLine | zhost::ui::dt::noPrefix);
    }
    const double boxShare = FrameShare(boxes, {0, 0, boxes.width(), boxes.height()});
    const double textShare = FrameShare(shot, heading);
    EXPECT_GT(boxShare, 0.5) << "the reference is not drawn as boxes";
    EXPECT_LT(textShare, boxShare * 0.6) << "the heading's glyphs are boxes";

    // The attribute dialog's grid in the window: a thin line across the sheet under the header
    // and under each of its nine rows.
    Bitmap attributes;
    ASSERT_TRUE(Bitmap::loadPng(matched[2], attributes));
    const std::uint32_t face = attributes.pixel(attributes.width() - 2, attributes.height() - 2);
    int lines = 0;
    for (int y = 2; y + 2 < attributes.height(); ++y) {
        int run = 0, longest = 0, end = 0;
        for (int x = 1; x < attributes.width(); ++x) {
            const std::uint32_t p = attributes.pixel(x, y);
            run = p == attributes.pixel(x - 1, y) && (p & 0xFFFFFF) != 0xFFFFFF && p != face
                      ? run + 1
                      : 0;
            if (run > longest)
                longest = run, end = x;
        }
        const int mid = end - longest / 2;
        const std::uint32_t c = attributes.pixel(mid, y);
        lines += longest > attributes.width() / 2 && attributes.pixel(mid, y - 2) != c &&
                 attributes.pixel(mid, y + 2) != c;
    }
    EXPECT_GE(lines, 10) << "the grid's lines are not drawn";
}

// A person at the window: the table-item dialog of the geometry calculation opened from its
// first prompt, one check box clicked with the mouse, OK clicked. The add-on keeps the choice in
// the user folder: the next run (plain `zorma run`, same folder) shows the box unticked.
TEST_F(DialogWindows, AClickedCheckBoxAndOkReachTheAddOn) {
    if (!fs::exists(kXdotool))
        GTEST_SKIP() << "xdotool is not installed (tools/setup.sh installs it)";
    const fs::path user = Dir() / "user";
    // The box "回転体体積" and OK of the template, in pixels of the client area.
    const zhost::ui::Rect box = PixelsOf({11, 83, 101, 95}), ok = PixelsOf({47, 126, 97, 140});
    const std::string drive = R"(
set -e
"$ZORMA" gui "$DRAWING" --user-dir "$USERDIR" --product "$PRODUCT" &
pid=$!
win=$(xdotool search --sync --onlyvisible --name '^ZORMA$' | head -n 1)
sleep 2
xdotool windowfocus --sync "$win" || true
xdotool type --delay 15 ZORMA_GEOMCALC; xdotool key Return; sleep 1
xdotool type --delay 15 G; xdotool key Return
# The dialog: the program's other visible window (xdotool does not match Japanese titles).
dlg=""
for i in $(seq 1 150); do
  for w in $(xdotool search --onlyvisible --class zorma); do [ "$w" != "$win" ] && dlg=$w; done
  [ -n "$dlg" ] && break
  sleep 0.2
done
[ -n "$dlg" ]
sleep 1
xdotool mousemove --window "$dlg" $BOXX $BOXY click 1; sleep 0.5
xdotool mousemove --window "$dlg" $OKX $OKY click 1; sleep 1
xdotool windowfocus --sync "$win" || true
xdotool key Escape; sleep 0.5
xdotool key ctrl+q; sleep 1
xdotool type --delay 15 N; xdotool key Return
wait "$pid"
)";
    const ztest::ProcessResult r =
        ztest::RunProcess({kXvfbRun.string(), "-a", "-s", kScreen, "/bin/bash", "-c", drive},
                          {.env = {{"ZORMA", ztest::ZormaProgram().string()},
                                   {"DRAWING", ztest::SampleDrawing("plate.dxf").string()},
                                   {"USERDIR", user.string()},
                                   {"PRODUCT", ztest::SourcePath("samples/product").string()},
                                   {"BOXX", std::to_string(box.left + 6)},
                                   {"BOXY", std::to_string((box.top + box.bottom) / 2)},
                                   {"OKX", std::to_string((ok.left + ok.right) / 2)},
                                   {"OKY", std::to_string((ok.top + ok.bottom) / 2)}},
                           .timeout = std::chrono::seconds(200)});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_NE(r.out.find("--- 作表項目設定: OK"), std::string::npos) << r;

    const ztest::ZormaResult next = Run({.drawing = ztest::SampleDrawing("plate.dxf"),
                                         .script = "ZORMA_GEOMCALC\nG\n@dialog click cancel\n^C\n",
                                         .product = ztest::SourcePath("samples/product"),
                                         .userDir = user});
    ASSERT_EQ(next.exitCode, 0) << next;
    EXPECT_NE(next.out.find("check 118 [ ] \"回転体体積\""), std::string::npos) << next;
    // The other boxes kept their state.
    EXPECT_NE(next.out.find("check 109 [x] \"面積\""), std::string::npos) << next;
}

} // namespace

// The desktop window run by scripts under a virtual X server: it must save what `zorma run`
// saves for the same script, and its screenshot must show the drawing in the view.
#include "support/drawing.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/db/curves.h"
#include "zhost/preview/preview.h"
#include "zhost/ui/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const fs::path kXvfbRun = "/usr/bin/xvfb-run";
const fs::path kXdotool = "/usr/bin/xdotool";

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

// The read report `zorma run` prints on standard error: the "read NAME: ..." line and the
// indented lines after it.
std::string ReadReportOf(const std::string& err) {
    std::string out;
    std::size_t at = err.rfind("read ", 0) == 0 ? 0 : err.find("\nread ");
    if (at != 0 && at != std::string::npos)
        ++at;
    while (at != std::string::npos && at < err.size()) {
        const std::size_t end = err.find('\n', at);
        const std::string line = err.substr(at, end == std::string::npos ? end : end - at + 1);
        if (!out.empty() && line.rfind("  ", 0) != 0)
            break;
        out += line;
        at = end == std::string::npos ? end : end + 1;
    }
    return out;
}

// `zorma gui --script` on a screen of the given size, saving the drawing and the window.
GuiRun RunGui(const fs::path& folder, const fs::path& script, const fs::path& drawing,
              const std::vector<std::string>& extra = {}) {
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
    argv.insert(argv.end(), extra.begin(), extra.end());
    r.process = ztest::RunProcess(
        argv, {.env = {{"ZORMA_GUI_LAYOUT", "1"}}, .timeout = std::chrono::seconds(110)});
    return r;
}

struct ViewRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Where the view is in the window's screenshot: the last place the window reported for it.
ViewRect ViewOf(const GuiRun& gui) {
    ViewRect v;
    std::smatch m;
    std::string err = gui.process.err;
    for (std::regex re(R"(zorma gui: layout view (\d+) (\d+) (\d+) (\d+))");
         std::regex_search(err, m, re); err = m.suffix())
        v = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
    return v;
}

bool Dark(std::uint32_t argb) {
    const int r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    return r + g + b < 3 * 128;
}

class DesktopWindow : public ztest::ScenarioTest {};

// A person at the window, played by xdotool on the virtual display: typed commands, clicks in the
// view, Escape, and closing the window (which asks about the unsaved drawing on the command line).
TEST_F(DesktopWindow, TypedLinesClicksAndClosingDriveTheSession) {
    SKIP_WITHOUT_XVFB();
    if (!fs::exists(kXdotool))
        GTEST_SKIP() << "xdotool is not installed (tools/setup.sh installs it)";
    const fs::path saved = Dir() / "typed.dxf";
    const std::string user = (Dir() / "user").string();
    const std::string drive = R"(
set -e
"$ZORMA" gui "$DRAWING" --addon none --user-dir "$USERDIR" --out "$OUT" &
pid=$!
win=$(xdotool search --sync --onlyvisible --name '^ZORMA$' | head -n 1)
sleep 2
xdotool windowfocus --sync "$win" || true
line() { xdotool type --delay 15 "$1"; xdotool key Return; sleep 0.5; }
line CIRCLE
xdotool key Escape; sleep 0.5
line LINE
line 0,0
xdotool mousemove --window "$win" 300 200 click 1; sleep 0.5
xdotool mousemove --window "$win" 600 200 click 1; sleep 0.5
xdotool key Return; sleep 0.5
xdotool key ctrl+q; sleep 1
line N
wait "$pid"
)";
    const ztest::ProcessResult r = ztest::RunProcess(
        {kXvfbRun.string(), "-a", "-s", "-screen 0 1280x1024x24", "/bin/bash", "-c", drive},
        {.env = {{"ZORMA", ztest::ZormaProgram().string()},
                 {"DRAWING", ztest::SampleDrawing("plate.dxf").string()},
                 {"USERDIR", user},
                 {"OUT", saved.string()}},
         .timeout = std::chrono::seconds(110)});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_NE(r.out.find("Save changes to"), std::string::npos) << r;
    zhost::db::Database before, after;
    ASSERT_TRUE(ztest::ReadDrawing(ztest::SampleDrawing("plate.dxf"), before));
    ASSERT_TRUE(ztest::ReadDrawing(saved, after));
    auto kindsBefore = ztest::EntityKinds(before), kindsAfter = ztest::EntityKinds(after);
    // Escape cancelled the circle; the line got its typed start and two clicked points.
    EXPECT_EQ(kindsAfter[L"CIRCLE"], kindsBefore[L"CIRCLE"]);
    EXPECT_EQ(kindsAfter[L"LINE"], kindsBefore[L"LINE"] + 2);
    // Both clicks were on one row of the view, the second 300 pixels right of the first: one
    // drawing y, a larger drawing x, and both inside the drawing the view was fitted to.
    using Segment = std::pair<zhost::geom::Point3d, zhost::geom::Point3d>;
    auto linesOf = [](const zhost::db::Database& d) {
        std::vector<Segment> lines;
        zhost::db::ObjectPtr<zhost::db::BlockTableRecord> model(d.modelSpaceId(),
                                                                zhost::db::OpenMode::forRead);
        for (zhost::db::ObjectId id : model->entityIds()) {
            zhost::db::ObjectPtr<zhost::db::Line> l(id, zhost::db::OpenMode::forRead);
            if (l)
                lines.emplace_back(l->startPoint(), l->endPoint());
        }
        return lines;
    };
    const std::vector<Segment> old = linesOf(before);
    std::vector<Segment> lines;
    for (const Segment& l : linesOf(after))
        if (std::find(old.begin(), old.end(), l) == old.end())
            lines.push_back(l);
    const auto first = std::find_if(lines.begin(), lines.end(),
                                    [](const auto& l) { return l.first.x == 0 && l.first.y == 0; });
    ASSERT_NE(first, lines.end()) << "no line from the typed point 0,0";
    const zhost::geom::Point3d p1 = first->second;
    const auto second = std::find_if(lines.begin(), lines.end(), [&](const auto& l) {
        return l.first.x == p1.x && l.first.y == p1.y && l != *first;
    });
    ASSERT_NE(second, lines.end()) << "no line from the first clicked point";
    const zhost::geom::Point3d p2 = second->second;
    EXPECT_NEAR(p1.y, p2.y, 1e-9);
    EXPECT_GT(p2.x, p1.x);
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(zhost::preview::modelExtents(before, x0, y0, x1, y1));
    for (const auto& p : {p1, p2}) {
        EXPECT_GE(p.x, x0);
        EXPECT_LE(p.x, x1);
        EXPECT_GE(p.y, y0);
        EXPECT_LE(p.y, y1);
    }
}

// A saved drawing with its handles renumbered in the order they first appear: two drawings that
// differ only in how many handles temporary objects used up on the way compare equal.
std::string RenumberHandles(const std::string& dxf) {
    std::istringstream in(dxf);
    std::map<std::string, std::string> numbers;
    std::string out, code, value;
    while (std::getline(in, code) && std::getline(in, value)) {
        const int c = std::atoi(code.c_str());
        const bool handle = c == 5 || c == 105 || (c >= 320 && c <= 369) ||
                            (c >= 390 && c <= 399) || c == 480 || c == 481 || c == 1005;
        if (handle && value != "0")
            value = numbers.try_emplace(value, "#" + std::to_string(numbers.size())).first->second;
        out += code + "\n" + value + "\n";
    }
    return out;
}

// The demo scripts under samples/scripts.
std::vector<std::string> DemoScripts() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(ztest::SourcePath("samples/scripts")))
        if (e.path().extension() == ".scr")
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The geometry calculation sizes its temporary markers by the view (VIEWSIZE), and the window's
// view is not `zorma run`'s virtual screen: a different number of temporary objects comes and
// goes, so only the handles it leaves unused differ.
bool MarkersFollowTheView(const std::string& script) {
    return script == "geomcalc_shaft.scr";
}

class DemoThroughTheWindow : public ztest::ScenarioTest,
                             public ::testing::WithParamInterface<std::string> {};

// Every demo scenario through the window gives what `zorma run` gives: the same transcript, the
// same saved drawing and the same read report. Both run on one copy of the drawing at one path
// (restored in between), so that scripts saving in place and messages naming the file agree.
TEST_P(DemoThroughTheWindow, SavesWhatZormaRunSaves) {
    SKIP_WITHOUT_XVFB();
    const fs::path script = ztest::SourcePath("samples/scripts") / GetParam();
    const fs::path source = ScriptDrawing(script);
    const fs::path drawing = source.empty() ? fs::path() : Dir() / "drawing" / source.filename();
    auto freshCopy = [&] {
        if (drawing.empty())
            return;
        fs::remove_all(drawing.parent_path());
        fs::create_directories(drawing.parent_path());
        fs::copy_file(source, drawing);
    };
    freshCopy();
    const ztest::ZormaResult plain = Run({.drawing = drawing,
                                          .scriptFile = script,
                                          .product = ztest::SourcePath("samples/product")});
    ASSERT_EQ(plain.exitCode, 0) << plain;
    freshCopy();
    const fs::path folder = Dir() / "gui";
    fs::create_directories(folder);
    const GuiRun gui = RunGui(folder, script, drawing);
    ASSERT_EQ(gui.process.exitCode, 0) << gui.process;
    // The window's transcript is the program's, line for line, and so is what it says about
    // the drawing it read.
    EXPECT_EQ(gui.process.out, plain.out);
    if (MarkersFollowTheView(GetParam()))
        EXPECT_EQ(RenumberHandles(ztest::ReadFile(gui.saved)),
                  RenumberHandles(ztest::ReadFile(plain.saved)));
    else
        EXPECT_EQ(ztest::ReadFile(gui.saved), ztest::ReadFile(plain.saved));
    EXPECT_EQ(ReadReportOf(gui.process.err), ReadReportOf(plain.err));
    EXPECT_EQ(!drawing.empty(), !ReadReportOf(gui.process.err).empty()) << gui.process;
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoThroughTheWindow, ::testing::ValuesIn(DemoScripts()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                             std::string name = fs::path(p.param).stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST_F(DesktopWindow, QuietLeavesOutTheReadReport) {
    SKIP_WITHOUT_XVFB();
    const fs::path script = ztest::SourcePath("samples/scripts/holes.scr");
    const GuiRun gui = RunGui(Dir(), script, ScriptDrawing(script), {"-q"});
    ASSERT_EQ(gui.process.exitCode, 0) << gui.process;
    EXPECT_EQ(ReadReportOf(gui.process.err), "") << gui.process;
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
    const ViewRect v = ViewOf(gui);
    ASSERT_GT(v.w, 0) << "the window did not say where its view is\n" << gui.process;
    ASSERT_LE(v.x + v.w, shot.width());
    ASSERT_LE(v.y + v.h, shot.height());
    const int vx = v.x, vy = v.y, vw = v.w, vh = v.h;
    // The drawing fitted to the view: its ink spans the view but for the margin of 10 pixels
    // along one axis and is centred along the other, on a white sheet.
    int left = shot.width(), right = -1, top = shot.height(), bottom = -1, dark = 0, light = 0;
    for (int y = vy; y < vy + vh; ++y)
        for (int x = vx; x < vx + vw; ++x) {
            if (Dark(shot.pixel(x, y))) {
                ++dark;
                left = std::min(left, x - vx);
                right = std::max(right, x - vx);
                top = std::min(top, y - vy);
                bottom = std::max(bottom, y - vy);
            } else {
                ++light;
            }
        }
    ASSERT_GT(dark, 500) << "the drawing is not in the view";
    EXPECT_GT(light, dark * 5) << "the view is not a white sheet with lines";
    const int gapX = left + (vw - 1 - right), gapY = top + (vh - 1 - bottom);
    const bool fillsWidth = std::abs(left - 10) <= 3 && std::abs(vw - 1 - right - 10) <= 3;
    const bool fillsHeight = std::abs(top - 10) <= 3 && std::abs(vh - 1 - bottom - 10) <= 3;
    EXPECT_TRUE(fillsWidth || fillsHeight)
        << "ink " << left << ".." << right << " x " << top << ".." << bottom << " in a view of "
        << vw << " x " << vh;
    EXPECT_LE(std::abs(left - (vw - 1 - right)), 3) << "not centred across, gaps " << gapX;
    EXPECT_LE(std::abs(top - (vh - 1 - bottom)), 3) << "not centred down, gaps " << gapY;
}

// ZOOM typed in a script moves the window's view: a window around the circle fills the view with
// it and leaves the line beside it out; ZOOM Previous brings the whole drawing back.
TEST_F(DesktopWindow, ZoomCommandsMoveTheView) {
    SKIP_WITHOUT_XVFB();
    struct Span {
        int left, right, dark;
    };
    // The ink in the view (the toolbars above it have ink of their own).
    auto darkSpan = [](const zhost::ui::Bitmap& shot, const ViewRect& v) {
        Span s{shot.width(), -1, 0};
        for (int y = v.y; y < v.y + v.h; ++y)
            for (int x = v.x; x < v.x + v.w; ++x)
                if (Dark(shot.pixel(x, y))) {
                    ++s.dark;
                    s.left = std::min(s.left, x);
                    s.right = std::max(s.right, x);
                }
        return s;
    };
    const std::string draw = "LINE\n0,50\n100,50\n\nCIRCLE\n300,50\n8\n";
    std::vector<Span> spans;
    for (const std::string zoom :
         {"", "ZOOM\nW\n280,30\n320,70\n", "ZOOM\nW\n280,30\n320,70\nZOOM\nP\n"}) {
        const fs::path folder = Dir() / std::to_string(spans.size());
        fs::create_directories(folder);
        ztest::WriteFile(folder / "zoom.scr", draw + zoom);
        const GuiRun gui = RunGui(folder, folder / "zoom.scr", {});
        ASSERT_EQ(gui.process.exitCode, 0) << gui.process;
        zhost::ui::Bitmap shot;
        ASSERT_TRUE(zhost::ui::Bitmap::loadPng(gui.screenshot, shot));
        spans.push_back(darkSpan(shot, ViewOf(gui)));
        ASSERT_GT(spans.back().dark, 100) << "nothing drawn with " << zoom;
    }
    const int width = spans[0].right - spans[0].left;
    // The whole drawing: the line spans the view.
    EXPECT_GT(spans[0].right - spans[0].left, 600);
    // Zoomed: only the circle, 16 of the window's 40 units high, so far wider than the 16 units
    // of 308 it was, and in the middle.
    const int circle = spans[1].right - spans[1].left;
    EXPECT_GT(circle, width / 10);
    EXPECT_LT(circle, width * 8 / 10);
    EXPECT_NEAR((spans[1].left + spans[1].right) / 2.0, (spans[0].left + spans[0].right) / 2.0,
                width / 20.0);
    // Previous: as before the zoom.
    EXPECT_NEAR(spans[2].left, spans[0].left, 2);
    EXPECT_NEAR(spans[2].right, spans[0].right, 2);
}

// Edits after the first picture repaint only what they changed: an erased circle leaves no ink
// behind and a circle drawn after it shows, in the view fitted to the line across the drawing.
TEST_F(DesktopWindow, EditsLeaveNothingStaleInThePicture) {
    SKIP_WITHOUT_XVFB();
    ztest::WriteFile(Dir() / "edit.scr", "LINE\n0,0\n200,100\n\nCIRCLE\n150,30\n10\n"
                                         "ERASE\nL\n\nCIRCLE\n50,70\n10\n");
    const GuiRun gui = RunGui(Dir(), Dir() / "edit.scr", {});
    ASSERT_EQ(gui.process.exitCode, 0) << gui.process;
    zhost::ui::Bitmap shot;
    ASSERT_TRUE(zhost::ui::Bitmap::loadPng(gui.screenshot, shot));
    const ViewRect v = ViewOf(gui);
    ASSERT_GT(v.w, 0) << gui.process;
    // The line's ends are the ink's corners: drawing (x, y) on pixel (left + x s, bottom - y s).
    int left = shot.width(), right = -1, bottom = -1;
    for (int y = v.y; y < v.y + v.h; ++y)
        for (int x = v.x; x < v.x + v.w; ++x)
            if (Dark(shot.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    ASSERT_GT(right - left, 200);
    const double s = (right - left) / 200.0;
    auto inkNear = [&](double wx, double wy) {
        const int px = int(std::lround(left + wx * s)), py = int(std::lround(bottom - wy * s));
        int n = 0;
        for (int y = py - 2; y <= py + 2; ++y)
            for (int x = px - 2; x <= px + 2; ++x)
                n += Dark(shot.pixel(x, y));
        return n;
    };
    for (double a = 0; a < 6.28; a += 0.5) {
        EXPECT_EQ(0, inkNear(150 + 10 * std::cos(a), 30 + 10 * std::sin(a))) << "erased, at " << a;
        EXPECT_GT(inkNear(50 + 10 * std::cos(a), 70 + 10 * std::sin(a)), 0) << "drawn, at " << a;
    }
}

TEST_F(DesktopWindow, NoDisplayIsOneMessageAndAnExitCode) {
    const ztest::ProcessResult r = ztest::Zorma(
        {"gui", "--addon", "none"}, {.env = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}});
    EXPECT_EQ(r.exitCode, 3) << r;
    EXPECT_NE(r.err.find("no display available"), std::string::npos) << r;
    // A display that is named but cannot be reached (an X server that went away).
    const ztest::ProcessResult gone = ztest::Zorma(
        {"gui", "--addon", "none"}, {.env = {{"DISPLAY", ":987"}, {"WAYLAND_DISPLAY", ""}}});
    EXPECT_EQ(gone.exitCode, 3) << gone;
    EXPECT_NE(gone.err.find("cannot open the display :987"), std::string::npos) << gone;
}

} // namespace

// A person with a mouse at `zorma gui`, played by xdotool on a virtual X server: drags that span
// selection windows, a part dragged by the placement jig and dropped with the mouse, clicks that
// land on object snaps and on the snap grid, and a drawing that cannot be opened.
#include "support/drawing.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/db/db.h"
#include "zhost/geom/curves.h"
#include "zhost/ui/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>

namespace {
namespace fs = std::filesystem;
using namespace zhost;

// The driver every session shares: it starts the window, types and clicks, and maps drawing
// points to the window's pixels. The mapping is measured, not assumed: two ID commands answered
// by clicks at known pixels echo the drawing points under them.
constexpr const char* kDriver = R"PY(
import os, re, subprocess, sys, time

ZORMA, OUT, LOG = os.environ["ZORMA"], os.environ["OUT"], os.environ["LOG"]
log = open(LOG, "w")
args = [ZORMA, "gui"] + sys.argv[1:] + ["--out", OUT]
proc = subprocess.Popen(args, stdout=log, stderr=subprocess.STDOUT)

def xd(*a, timeout=20):
    return subprocess.run(["xdotool", *a], check=True, capture_output=True, text=True,
                          timeout=timeout).stdout

win = xd("search", "--sync", "--onlyvisible", "--name", "^ZORMA$").split()[0]
time.sleep(2)
subprocess.run(["xdotool", "windowfocus", "--sync", win])

def line(text):
    if text:
        xd("type", "--delay", "15", text)
    xd("key", "Return")
    time.sleep(0.5)

def key(k):
    xd("key", k)
    time.sleep(0.5)

def move(px, py):
    xd("mousemove", "--window", win, str(px), str(py))
    time.sleep(0.1)

def click(px, py):
    move(px, py)
    xd("click", "1")
    time.sleep(0.6)

def picks():
    return [(float(x), float(y)) for x, y in
            re.findall(r"@pick (-?[0-9.]+),(-?[0-9.]+)", open(LOG).read())]

A, B = (300, 200), (700, 420)
def calibrate():
    global sx, ox, sy, oy
    key("ctrl+e")  # the view keeps its first zoom; show all that was drawn since
    line("ID"); click(*A)
    line("ID"); click(*B)
    (x1, y1), (x2, y2) = picks()[-2:]
    sx = (x2 - x1) / (B[0] - A[0]); ox = x1 - sx * A[0]
    sy = (y2 - y1) / (B[1] - A[1]); oy = y1 - sy * A[1]

def px(x, y):
    return round((x - ox) / sx), round((y - oy) / sy)

def drag(p, q, steps=8):
    move(*p)
    xd("mousedown", "1")
    for i in range(1, steps + 1):
        move(p[0] + (q[0] - p[0]) * i // steps, p[1] + (q[1] - p[1]) * i // steps)
    xd("mouseup", "1")
    time.sleep(0.6)

# Where the window says its tools and keyword buttons are (ZORMA_GUI_LAYOUT): screen pixels.
def layout(kind):
    found = {}
    for name, x, y, w, h in re.findall(r"zorma gui: layout " + kind + r" (\S+) (-?\d+) (-?\d+) (\d+) (\d+)",
                                       open(LOG).read()):
        found[name] = (int(x), int(y), int(w), int(h))
    return found

def press(kind, name):
    x, y, w, h = layout(kind)[name]
    xd("mousemove", str(x + w // 2), str(y + h // 2))
    time.sleep(0.1)
    xd("click", "1")
    time.sleep(0.6)

def finish():
    key("ctrl+q")
    line("N")
    sys.exit(proc.wait(timeout=60))
)PY";

class MouseSession : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        ztest::TempFolderTest::SetUp();
        for (const char* tool : {"/usr/bin/xvfb-run", "/usr/bin/xdotool", "/usr/bin/python3"})
            if (!fs::exists(tool))
                GTEST_SKIP() << tool << " is not installed (tools/setup.sh installs it)";
    }

    // Runs the driver followed by `body` against `zorma gui ARGS`; the window's standard output
    // ends up in log, the drawing in saved.
    ztest::ProcessResult Drive(const std::string& body, const std::vector<std::string>& args,
                               std::vector<std::pair<std::string, std::string>> env = {}) {
        const fs::path script = Dir() / "drive.py";
        ztest::WriteFile(script, std::string(kDriver) + body);
        std::vector<std::string> argv = {
            "/usr/bin/xvfb-run", "-a",           "-s", "-screen 0 1280x1024x24",
            "/usr/bin/python3",  script.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        for (const std::string& a : {std::string("--user-dir"), (Dir() / "user").string()})
            argv.push_back(a);
        env.push_back({"ZORMA", ztest::ZormaProgram().string()});
        env.push_back({"OUT", saved.string()});
        env.push_back({"LOG", log.string()});
        env.push_back({"ZORMA_GUI_LAYOUT", "1"});
        ztest::ProcessResult r =
            ztest::RunProcess(argv, {.env = env, .timeout = std::chrono::seconds(150)});
        windowOutput = fs::exists(log) ? ztest::ReadFile(log) : std::string();
        return r;
    }

    // The saved drawing holds the bolt a script places by ids at exactly 55 mm.
    void ExpectTheScriptedBolt();

    fs::path saved = Dir() / "saved.dxf", log = Dir() / "window.txt";
    std::string windowOutput;
};

// The pixel rectangle of a control placed in dialog units in a dialog of the default font (the
// add-on's templates all use it).
zhost::ui::Rect PixelsOf(const zhost::ui::Rect& dialogUnits) {
    zhost::ui::DialogTemplate t;
    t.size = {100, 100};
    return zhost::ui::Dialog(t).mapDialogRect(dialogUnits);
}

std::vector<std::pair<geom::Point3d, geom::Point3d>> LinesOf(const db::Database& d) {
    std::vector<std::pair<geom::Point3d, geom::Point3d>> out;
    db::ObjectPtr<db::BlockTableRecord> model(d.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : model->entityIds())
        if (db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead); l)
            out.emplace_back(l->startPoint(), l->endPoint());
    return out;
}

TEST_F(MouseSession, DragsSpanWindowsLeftToRightAndCrossingsRightToLeft) {
    // Two short lines inside the span of the drags, two long ones across it and a circle that
    // nothing touches. A window takes what lies wholly inside it, a crossing what it touches; at
    // the command prompt a window makes the pick-first set that ERASE then takes.
    const ztest::ProcessResult r = Drive(R"PY(
line("@set OSMODE 0")
for l in ["LINE", "10,10", "30,10", "", "LINE", "0,0", "100,0", "", "LINE", "0,60", "100,60", "",
          "LINE", "50,20", "50,30", "", "CIRCLE", "80,35", "5"]:
    line(l)
calibrate()
line("ERASE")
drag(px(5, 5), px(35, 15))      # left to right: the short line only, not the long one below
drag(px(97, 61.2), px(90, 55))  # right to left: touches the top line's end
drag(px(45, 25), px(60, 40))    # left to right: cuts the short vertical line, takes nothing
line("")
drag(px(70, 25), px(90, 45))    # at the command prompt: the circle for the next command
line("ERASE")
finish()
)PY",
                                         {"--addon", "none"});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    EXPECT_NE(windowOutput.find("@window"), std::string::npos) << windowOutput;
    EXPECT_NE(windowOutput.find("@crossing"), std::string::npos) << windowOutput;
    db::Database d;
    ASSERT_TRUE(ztest::ReadDrawing(saved, d));
    using P = geom::Point3d;
    EXPECT_EQ(LinesOf(d),
              (std::vector<std::pair<P, P>>{{P(0, 0), P(100, 0)}, {P(50, 20), P(50, 30)}}));
    EXPECT_EQ(ztest::EntityKinds(d)[L"CIRCLE"], 0);
}

TEST_F(MouseSession, ClicksNearEndpointsLandOnThemAndF8HoldsThemLevel) {
    const ztest::ProcessResult r = Drive(R"PY(
for l in ["@set OSMODE 1", "LINE", "0,0", "40,0", "", "LINE", "0,30", "40,30", ""]:
    line(l)
calibrate()
line("LINE")
x, y = px(40, 0); click(x + 2, y - 3)   # near the first line's end
x, y = px(40, 30); click(x - 3, y + 2)  # near the second line's end
line("")
key("F3")                               # snaps off
key("F8")                               # ORTHO on
line("LINE")
line("10,29")
click(*px(40.4, 29.6))                  # near an endpoint, but held level with the start
line("")
finish()
)PY",
                                         {"--addon", "none"});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    db::Database d;
    ASSERT_TRUE(ztest::ReadDrawing(saved, d));
    const auto lines = LinesOf(d);
    ASSERT_EQ(lines.size(), 4u) << windowOutput;
    EXPECT_EQ(lines[2].first, geom::Point3d(40, 0));
    EXPECT_EQ(lines[2].second, geom::Point3d(40, 30));
    EXPECT_EQ(lines[3].first, geom::Point3d(10, 29));
    EXPECT_EQ(lines[3].second.y, 29);
    EXPECT_NEAR(lines[3].second.x, 40.4, 0.1) << "F3 turned the snaps off";
}

TEST_F(MouseSession, F9PutsClicksOnTheSnapGridAndAnEndpointInReachWinsOverIt) {
    const ztest::ProcessResult r = Drive(R"PY(
for l in ["@set OSMODE 1", "LINE", "0,0", "33,7", "", "LINE", "0,50", "80,50", ""]:
    line(l)
calibrate()
key("F9")                      # the snap grid on (10 units)
line("LINE")
click(*px(21.7, 38.4))         # on the grid: 20,40
click(*px(32.6, 7.4))          # the endpoint 33,7 is in reach: not the grid's 30,10
line("")
key("F9")                      # off again
line("LINE")
click(*px(21.7, 38.4))
click(*px(64.4, 38.4))
line("")
finish()
)PY",
                                         {"--addon", "none"});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    db::Database d;
    ASSERT_TRUE(ztest::ReadDrawing(saved, d));
    const auto lines = LinesOf(d);
    ASSERT_EQ(lines.size(), 4u) << windowOutput;
    EXPECT_EQ(lines[2], std::make_pair(geom::Point3d(20, 40), geom::Point3d(33, 7)));
    // With the grid off the click is taken where the mouse was.
    EXPECT_NEAR(lines[3].first.x, 21.7, 0.3) << windowOutput;
    EXPECT_NEAR(lines[3].first.y, 38.4, 0.3);
}

// The one part reference of a drawing: where it is, how it is turned, and the span of the curves
// of its block along the block's X axis (the bolt's length runs along it).
struct PlacedPart {
    geom::Point3d at;
    double rotation = 0, minX = 0, maxX = 0;
    int curves = 0;
};

PlacedPart PartOf(const db::Database& d) {
    PlacedPart part;
    db::ObjectPtr<db::BlockTableRecord> model(d.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : model->entityIds()) {
        db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
        if (!ref)
            continue;
        part.at = ref->position();
        part.rotation = ref->rotation();
        db::ObjectPtr<db::BlockTableRecord> block(ref->blockTableRecord(), db::OpenMode::forRead);
        if (!block)
            continue;
        part.minX = 1e9, part.maxX = -1e9;
        for (db::ObjectId pieceId : block->entityIds()) {
            db::ObjectPtr<db::Curve> c(pieceId, db::OpenMode::forRead);
            geom::Extents3d box;
            if (!c || !ok(geom::extents(c->toCurve(), box)))
                continue;
            ++part.curves;
            part.minX = std::min(part.minX, box.minPoint.x);
            part.maxX = std::max(part.maxX, box.maxPoint.x);
        }
    }
    return part;
}

void MouseSession::ExpectTheScriptedBolt() {
    const fs::path refFolder = Dir() / "reference";
    fs::create_directories(refFolder);
    const ztest::ZormaResult ref = ztest::RunZorma(
        {.drawing = ztest::SampleDrawing("flange_joint.dxf"),
         .script = "ZORMA_CONT\n@dialog select 1104 #1\n@dialog click 1105\n@dialog menu 3001\n"
                   "@dialog click 1106\n@dialog menu 3001\n@dialog click ok\n@wait 600\n"
                   "@dialog click 1001\n@dialog select 1021 M12\n@dialog click ok\n0,55\n55,55\n"
                   "^C\n",
         .product = ztest::SourcePath("samples/product")},
        refFolder);
    ASSERT_EQ(ref.exitCode, 0) << ref.transcript;
    db::Database gui, script;
    ASSERT_TRUE(ztest::ReadDrawing(saved, gui));
    ASSERT_TRUE(ztest::ReadDrawing(ref.saved, script));
    const PlacedPart placed = PartOf(gui), reference = PartOf(script);
    ASSERT_GT(reference.curves, 0) << "the reference placed no part";
    EXPECT_EQ(placed.curves, reference.curves);
    EXPECT_EQ(placed.at, reference.at);
    EXPECT_NEAR(placed.rotation, reference.rotation, 1e-9);
    EXPECT_NEAR(placed.minX, reference.minX, 1e-6);
    EXPECT_NEAR(placed.maxX, reference.maxX, 1e-6);
}

TEST_F(MouseSession, ThePlacementJigFollowsTheMouseAndDropsThePartAtTheNominalLength) {
    // The bolt of the flange joint: chosen in the catalogue and the condition dialog by lines
    // typed into the command line, its bearing face typed, then dragged along the hole by mouse
    // motion and dropped with a click at about 57 mm, which the nominal lengths make 55 mm. ORTHO
    // (F8) keeps it on the hole's axis however the pixels round.
    const ztest::ProcessResult r =
        Drive(R"PY(
calibrate()
key("F8")
for l in ["ZORMA_CONT", "@dialog select 1104 #1", "@dialog click 1105", "@dialog menu 3001",
          "@dialog click 1106", "@dialog menu 3001", "@dialog click ok", "@wait 600",
          "@dialog click 1001", "@dialog select 1021 M12", "@dialog click ok", "0,55"]:
    line(l)
for x in range(20, 58, 4):
    move(*px(x, 55))
time.sleep(0.5)
click(*px(57, 55))
key("Escape")
finish()
)PY",
              {ztest::SampleDrawing("flange_joint.dxf").string(), "--product",
               ztest::SourcePath("samples/product").string()});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    // The drag saw the cursor moves, and the drop was a click away from the nominal length.
    const std::regex move("@move ");
    EXPECT_GE(std::distance(std::sregex_iterator(windowOutput.begin(), windowOutput.end(), move),
                            std::sregex_iterator()),
              5)
        << windowOutput;
    double dropX = 0;
    const std::regex pick(R"(@pick (-?[0-9.]+),(-?[0-9.]+))");
    for (std::sregex_iterator it(windowOutput.begin(), windowOutput.end(), pick);
         it != std::sregex_iterator(); ++it)
        dropX = std::stod((*it)[1]);
    EXPECT_NEAR(dropX, 57, 1.0);
    EXPECT_GT(std::abs(dropX - 55), 1.0);

    ExpectTheScriptedBolt();
}

// The bolt chosen in the picture catalogue with the mouse: a click on each owner-drawn picture
// button opens its picture menu at the mouse, a click on the menu's first picture chooses it, a
// click on OK ends the catalogue; the conditions and the place are typed. The part is the one
// the script chooses by ids.
TEST_F(MouseSession, ClicksOnTheCataloguePicturesChooseThePart) {
    // The template's places (dialog units) of the two picture buttons and OK, in pixels of the
    // dialog's client area.
    const zhost::ui::Rect first = PixelsOf({164, 7, 254, 75}),
                          second = PixelsOf({164, 78, 254, 146});
    const zhost::ui::Rect ok = PixelsOf({148, 297, 198, 311});
    auto centre = [](const zhost::ui::Rect& r) {
        return std::to_string((r.left + r.right) / 2) + ", " +
               std::to_string((r.top + r.bottom) / 2);
    };
    const ztest::ProcessResult r =
        Drive("FIRST, SECOND, OK = (" + centre(first) + "), (" + centre(second) + "), (" +
                  centre(ok) + ")\n" + R"PY(
def new_window(known):
    # The program's windows that xdotool finds (it does not match Japanese titles) but `known`.
    for i in range(150):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "zorma"],
                               capture_output=True, text=True).stdout.split()
        for w in found:
            if w not in known:
                return w
        time.sleep(0.2)
    print("FAIL: no window opened")
    sys.exit(5)

def click_in(window, x, y):
    xd("mousemove", "--window", window, str(x), str(y))
    time.sleep(0.2)
    xd("click", "1")
    time.sleep(0.8)

line("ZORMA_CONT")
dlg = new_window([win])
time.sleep(1)
line("@dialog select 1104 #1")
for button in (FIRST, SECOND):
    click_in(dlg, *button)
    menu = new_window([win, dlg])   # the picture menu
    click_in(menu, 15, 15)          # its first picture
click_in(dlg, *OK)
xd("windowfocus", "--sync", win)
for l in ["@wait 600", "@dialog click 1001", "@dialog select 1021 M12", "@dialog click ok",
          "0,55", "55,55"]:
    line(l)
key("Escape")
finish()
)PY",
              {ztest::SampleDrawing("flange_joint.dxf").string(), "--product",
               ztest::SourcePath("samples/product").string()});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    EXPECT_NE(windowOutput.find("--- 部品コンテンツ: OK"), std::string::npos) << windowOutput;
    EXPECT_EQ(windowOutput.find("@dialog click 1105"), std::string::npos)
        << "the pictures were to be clicked, not typed";
    ExpectTheScriptedBolt();
}

// At 1024 pixels every command is on a toolbar, and a click on its tool starts it; a click on a
// keyword button above the command line answers the prompt with that keyword.
TEST_F(MouseSession, EveryToolFitsAt1024PixelsAndStartsItsCommandAndKeywordButtonsAnswer) {
    const ztest::ProcessResult r =
        Drive(R"PY(
xd("windowsize", win, "1024", "700")
time.sleep(1.5)
left = int(re.search(r"Position: (-?\d+),", xd("getwindowgeometry", win)).group(1))
tools = layout("tool")
for name, (x, y, w, h) in sorted(tools.items()):
    if w == 0 or x < left or x + w > left + 1024:
        print("FAIL: tool %s is not on the bar: %d %d %d %d" % (name, x, y, w, h))
        sys.exit(5)
print("TOOLS " + " ".join(sorted(tools)))
line("@set OSMODE 0")
press("tool", "LINE"); line("0,0"); line("40,0"); line("")
press("tool", "CIRCLE"); line("20,20")
press("keyword", "Diameter"); line("10")
press("tool", "RECTANG"); line("50,0"); line("70,10")
# The others start and are cancelled (the add-on's dialogs by the Escape typed in the window).
for name in ["PLINE", "ARC", "TEXT", "ERASE", "MOVE", "COPY", "ROTATE", "MIRROR", "OFFSET",
             "LIST", "DIST", "UNDO", "ZORMA_CONT", "ZORMA_CONT_EDIT", "ZORMA_GEOMCALC",
             "KORU_ATTACH_PC_XDATA", "ZORMA_HIDE", "ZORMA_HIDE_RESTORE"]:
    press("tool", name)
    xd("windowfocus", "--sync", win)
    key("Escape")
    key("Escape")
finish()
)PY",
              {"--product", ztest::SourcePath("samples/product").string()});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    EXPECT_NE(r.out.find("TOOLS ARC CIRCLE COPY DIST ERASE KORU_ATTACH_PC_XDATA LINE LIST MIRROR "
                         "MOVE NEW OFFSET OPEN PLINE RECTANG ROTATE SAVE TEXT UNDO ZORMA_CONT "
                         "ZORMA_CONT_EDIT ZORMA_GEOMCALC ZORMA_HIDE ZORMA_HIDE_RESTORE"),
              std::string::npos)
        << r;
    // The layout reports go to standard error, between the transcript's words.
    const std::string transcript =
        std::regex_replace(windowOutput, std::regex("zorma gui: layout [^\n]*\n"), "");
    for (const char* name : {"LINE",
                             "CIRCLE",
                             "RECTANG",
                             "PLINE",
                             "ARC",
                             "TEXT",
                             "ERASE",
                             "MOVE",
                             "COPY",
                             "ROTATE",
                             "MIRROR",
                             "OFFSET",
                             "LIST",
                             "DIST",
                             "UNDO",
                             "ZORMA_CONT",
                             "ZORMA_CONT_EDIT",
                             "ZORMA_GEOMCALC",
                             "KORU_ATTACH_PC_XDATA",
                             "ZORMA_HIDE",
                             "ZORMA_HIDE_RESTORE"})
        EXPECT_NE(transcript.find(std::string("Command: ") + name + "\n"), std::string::npos)
            << name << " was not started\n"
            << transcript;
    db::Database d;
    ASSERT_TRUE(ztest::ReadDrawing(saved, d));
    using P = geom::Point3d;
    EXPECT_EQ(LinesOf(d), (std::vector<std::pair<P, P>>{{P(0, 0), P(40, 0)}}));
    int circles = 0;
    db::ObjectPtr<db::BlockTableRecord> model(d.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : model->entityIds())
        if (db::ObjectPtr<db::Circle> c(id, db::OpenMode::forRead); c) {
            ++circles;
            EXPECT_EQ(c->center(), P(20, 20));
            EXPECT_DOUBLE_EQ(c->radius(), 5) << "the Diameter button answered the prompt";
        }
    EXPECT_EQ(circles, 1);
    EXPECT_EQ(ztest::EntityKinds(d)[L"LWPOLYLINE"], 1) << "the rectangle";
}

TEST_F(MouseSession, AnUnreadableDrawingIsToldInAMessageBoxAndTheWindowGoesOn) {
    const fs::path bad = Dir() / "bad.dxf";
    ztest::WriteFile(bad, "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n");
    const ztest::ProcessResult r = Drive(
        R"PY(
line("OPEN")
line(os.environ["BAD"])
box = xd("search", "--sync", "--onlyvisible", "--name", "cannot open", timeout=20).split()[0]
xd("windowfocus", "--sync", box)
key("Return")
xd("windowfocus", "--sync", win)
xd("type", "--delay", "15", "CIRC")
key("Tab")                              # completes the command name
line("")
line("5,5")
line("2")
finish()
)PY",
        {ztest::SampleDrawing("plate.dxf").string(), "--addon", "none"}, {{"BAD", bad.string()}});
    ASSERT_EQ(r.exitCode, 0) << r << windowOutput;
    EXPECT_NE(windowOutput.find("Cannot open"), std::string::npos) << windowOutput;
    // The drawing stayed: the plate as it was, and the circle drawn after the message.
    db::Database before, after;
    ASSERT_TRUE(ztest::ReadDrawing(ztest::SampleDrawing("plate.dxf"), before));
    ASSERT_TRUE(ztest::ReadDrawing(saved, after));
    auto kinds = ztest::EntityKinds(before);
    kinds[L"CIRCLE"] += 1;
    EXPECT_EQ(ztest::EntityKinds(after), kinds);
}

} // namespace

// A person at a dialog of `zorma gui`, played by xdotool on a virtual X server: typing into a
// combo box's edit part, scrolling a long list and a 10,000-row grid with the wheel, the scroll
// bars and the keys, and a popup menu worked with the keys and a submenu. The dialog is the test
// add-on's (tests/gui/plugin), which prints what reached it when it closes.
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "plugin/widgets_menu.h"

#include "zhost/ui/dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const fs::path kXvfbRun = "/usr/bin/xvfb-run";
const fs::path kXdotool = "/usr/bin/xdotool";

// Opens the test add-on's dialog, plays the steps on it ("click X Y", "move X Y", "type TEXT",
// "key K", "wheel X Y N" (N notches, negative up), "hold X Y S" (the button held S seconds),
// "drag X1 Y1 X2 Y2", "sleep S"; points in the dialog's client pixels), presses OK and quits.
constexpr const char* kDriver = R"PY(
import os, subprocess, sys, time

log = open(os.environ["LOG"], "w")
proc = subprocess.Popen([os.environ["ZORMA"], "gui", os.environ["DRAWING"], "--addon",
                         os.environ["PLUGIN"], "--user-dir", os.environ["USERDIR"]],
                        stdout=log, stderr=subprocess.STDOUT)

def xd(*a, timeout=20):
    return subprocess.run(["xdotool", *a], check=True, capture_output=True, text=True,
                          timeout=timeout).stdout

win = xd("search", "--sync", "--onlyvisible", "--name", "^ZORMA$").split()[0]
time.sleep(2)
subprocess.run(["xdotool", "windowfocus", "--sync", win])
xd("type", "--delay", "15", "TESTDLG_WIDGETS")
xd("key", "Return")
dlg = xd("search", "--sync", "--onlyvisible", "--name", "^Widgets$").split()[0]
time.sleep(1.5)
subprocess.run(["xdotool", "windowfocus", "--sync", dlg])
time.sleep(0.3)

def at(x, y):
    xd("mousemove", "--window", dlg, str(x), str(y))
    time.sleep(0.15)

for step in sys.argv[1:]:
    w = step.split(" ")
    if w[0] == "click":
        at(w[1], w[2]); xd("click", "1")
    elif w[0] == "move":
        at(w[1], w[2])
    elif w[0] == "type":
        xd("type", "--delay", "60", step[5:])
    elif w[0] == "key":
        xd("key", w[1])
    elif w[0] == "wheel":
        at(w[1], w[2])
        n = int(w[3])
        for _ in range(abs(n)):
            xd("click", "5" if n > 0 else "4")
            time.sleep(0.1)
    elif w[0] == "hold":
        at(w[1], w[2]); xd("mousedown", "1")
        time.sleep(float(w[3]))
        xd("mouseup", "1")
    elif w[0] == "drag":
        at(w[1], w[2]); xd("mousedown", "1")
        x1, y1, x2, y2 = map(int, w[1:5])
        for k in range(1, 7):
            at(x1 + (x2 - x1) * k // 6, y1 + (y2 - y1) * k // 6)
        xd("mouseup", "1")
    elif w[0] == "sleep":
        time.sleep(float(w[1]))
    time.sleep(0.5)

ok = [int(v) for v in os.environ["OK"].split(",")]
at(*ok); xd("click", "1")
time.sleep(1)
subprocess.run(["xdotool", "windowfocus", "--sync", win])
xd("key", "ctrl+q")
time.sleep(1)
if proc.poll() is None:
    xd("type", "N"); xd("key", "Return")
proc.wait(timeout=60)
log.close()
sys.exit(proc.returncode)
)PY";

// Client pixels of a rectangle in dialog units of the default font (the test dialog's).
zhost::ui::Rect Pixels(const zhost::ui::Rect& dialogUnits) {
    zhost::ui::DialogTemplate t;
    t.size = {100, 100};
    return zhost::ui::Dialog(t).mapDialogRect(dialogUnits);
}

std::string Point(int x, int y) {
    return std::to_string(x) + " " + std::to_string(y);
}

class DialogWidgets : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        if (!fs::exists(kXvfbRun) || !fs::exists(kXdotool))
            GTEST_SKIP() << "xvfb-run or xdotool is not installed (tools/setup.sh installs them)";
    }

    // The transcript of a session with those steps.
    std::string Session(const std::vector<std::string>& steps) {
        const fs::path driver = Dir() / "driver.py", log = Dir() / "log.txt";
        ztest::WriteFile(driver, kDriver);
        std::vector<std::string> argv = {
            kXvfbRun.string(),  "-a",           "-s", "-screen 0 1280x1024x24",
            "/usr/bin/python3", driver.string()};
        argv.insert(argv.end(), steps.begin(), steps.end());
        const zhost::ui::Rect ok = Pixels({180, 175, 230, 190});
        const ztest::ProcessResult r = ztest::RunProcess(
            argv, {.env = {{"ZORMA", ztest::ZormaProgram().string()},
                           {"DRAWING", ztest::SampleDrawing("plate.dxf").string()},
                           {"PLUGIN",
                            (fs::path(ZORMA_BINARY_DIR) / "test-plugins/zorma_widgets_plugin.so")
                                .string()},
                           {"USERDIR", (Dir() / "user").string()},
                           {"LOG", log.string()},
                           {"OK", std::to_string((ok.left + ok.right) / 2) + "," +
                                      std::to_string((ok.top + ok.bottom) / 2)}},
                   .timeout = std::chrono::seconds(100)});
        const std::string transcript = fs::exists(log) ? ztest::ReadFile(log) : std::string();
        EXPECT_EQ(r.exitCode, 0) << r << "\n" << transcript;
        return transcript;
    }
};

} // namespace

// Typing into the edit part of a drop-down combo box: each character is an edit change, the
// typed text is the box's text, and a closed drop-down keeps no selection for it.
TEST_F(DialogWidgets, TypingIntoAComboBoxReachesTheDialog) {
    const zhost::ui::Rect combo = Pixels({5, 5, 95, 90});
    const std::string t =
        Session({"click " + Point(combo.left + 10, combo.top + 6), "type m2x", "key BackSpace"});
    EXPECT_NE(t.find("widgets: combo \"m2\" sel -1 edits 4"), std::string::npos) << t;
    EXPECT_NE(t.find("widgets: ended 1"), std::string::npos) << t;
}

// The wheel and a scroll bar's arrow on a 60-line list, the wheel and a dragged thumb on a
// 10,000-row grid: each view moves by its steps, and the dialog sees where it stands.
TEST_F(DialogWidgets, TheWheelTheArrowsAndTheThumbScrollListsAndGrids) {
    const zhost::ui::Rect list = Pixels({5, 25, 95, 105}), grid = Pixels({100, 5, 295, 160});
    const int mid = (grid.left + grid.right) / 2, bar = grid.right - 8;
    const std::string t = Session(
        {"wheel " + Point((list.left + list.right) / 2, (list.top + list.bottom) / 2) + " 2",
         "click " + Point(list.right - 8, list.bottom - 8),
         "wheel " + Point(mid, (grid.top + grid.bottom) / 2) + " 3",
         "drag " + Point(bar, grid.top + 20) + " " +
             Point(bar, grid.top + 20 + grid.height() / 2)});
    EXPECT_NE(t.find("widgets: list top 7 sel -1"), std::string::npos) << t;
    const size_t at = t.find("widgets: grid top ");
    ASSERT_NE(at, std::string::npos) << t;
    const int top = std::stoi(t.substr(at + 18));
    // Half the track down: about the middle of the sheet (the thumb is grabbed at row 10).
    EXPECT_GT(top, 3000) << t;
    EXPECT_LT(top, 7000) << t;
}

// The menu of the dialog's button worked with the keys: Down passes over the separator and the
// greyed item, Right opens the submenu at its first item, Return chooses.
TEST_F(DialogWidgets, KeysWorkAPopupMenuAndItsSubmenu) {
    const zhost::ui::Rect button = Pixels({5, 115, 60, 130});
    const std::string t = Session(
        {"click " + Point((button.left + button.right) / 2, (button.top + button.bottom) / 2),
         "sleep 0.5", "key Down", "key Down", "key Right", "key Down", "key Return"});
    EXPECT_NE(t.find("widgets: menu 1012"), std::string::npos) << t;
}

// The mouse resting on the item with the submenu opens it; a mnemonic letter then chooses in it.
TEST_F(DialogWidgets, TheMouseRestingOnAnItemOpensItsSubmenu) {
    const zhost::ui::Rect button = Pixels({5, 115, 60, 130});
    const int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
    // The menu opens at the mouse; its items lie where the framework lays them out.
    zhost::ui::Size total;
    const auto menu = WidgetsMenu();
    const std::vector<zhost::ui::Rect> items = menu->layout(nullptr, total);
    const zhost::ui::Rect more = items[3];
    const std::string t = Session(
        {"click " + Point(x, y), "sleep 0.5", "move " + Point(x + more.left + 10, y + more.top + 2),
         "move " + Point(x + more.left + 12, y + more.top + more.height() / 2), "sleep 1",
         "key a"});
    EXPECT_NE(t.find("widgets: menu 1011"), std::string::npos) << t;
}

// A scroll bar's arrow held down scrolls on and on, a click on it one line.
TEST_F(DialogWidgets, AHeldArrowScrollsOn) {
    const zhost::ui::Rect list = Pixels({5, 25, 95, 105});
    const std::string t = Session({"hold " + Point(list.right - 8, list.bottom - 8) + " 1.5"});
    const size_t at = t.find("widgets: list top ");
    ASSERT_NE(at, std::string::npos) << t;
    // One line at the press, more after 0.4 s, every 50 ms then (fewer on a loaded machine).
    EXPECT_GE(std::stoi(t.substr(at + 18)), 5) << t;
}

// Dialogs driven by "@dialog" script lines: what the transcript shows, and how bad lines stop
// the script with their line number.
#include "ui_test_util.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/editor/editor.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"

#include <gtest/gtest.h>

using namespace zhost::ui;
using uitest::ctl;

namespace {

std::wstring g_result;

class PickDialog : public Dialog {
public:
    PickDialog()
        : Dialog(DialogTemplate{
              900,
              L"テスト",
              Font{},
              Size{200, 140},
              {ctl(1021, ControlKind::listBox, L"", Rect{5, 5, 80, 60}, ws::tabStop | lbs::notify),
               ctl(224, ControlKind::edit, L"", Rect{90, 5, 190, 17}, ws::tabStop),
               ctl(1012, ControlKind::grid, L"", Rect{90, 20, 190, 100}, ws::tabStop),
               ctl(idOk, ControlKind::button, L"OK", Rect{40, 120, 90, 134},
                   ws::tabStop | bs::defPushButton),
               ctl(idCancel, ControlKind::button, L"キャンセル", Rect{100, 120, 150, 134},
                   ws::tabStop)},
              false}) {}

    bool onInitDialog() override {
        auto* list = controlAs<ListBox>(1021);
        for (const wchar_t* s : {L"ボルト", L"ナット", L"座金"})
            list->addString(s);
        list->setCurSel(0);
        Grid* g = grid(1012);
        g->setMaxCols(2);
        g->setMaxRows(2);
        g->setData(1, 1, L"呼び径");
        g->setLock(1, 1, true);
        g->setCellType(2, 1, CellType::edit(0, 16, 0, 1));
        g->setData(1, 2, L"材質");
        g->setCellType(2, 2, CellType::dropDown(0, {L"SS400", L"S45C"}, 8));
        g->setData(2, 2, L"SS400");
        setTimer(1678, 500);
        return true;
    }
    void onTimer(unsigned id) override {
        killTimer(id);
        controlAs<EditControl>(224)->setText(L"timer");
    }
    void onOk() override {
        auto* list = controlAs<ListBox>(1021);
        g_result = list->itemText(list->curSel()) + L"|" + control(224)->text() + L"|" +
                   grid(1012)->data(2, 1) + L"|" + grid(1012)->data(2, 2);
        endDialog(idOk);
    }
};

void pickCommand() {
    PickDialog d;
    const int code = d.runModal();
    zhost::ed::print(L"\nresult " + std::to_wstring(code) + L": " + g_result + L"\n");
}

class DialogScript : public ::testing::Test {
protected:
    void SetUp() override {
        zhost::ed::resetSession();
        zhost::ed::setWorkingDatabase(&db);
        resetServices();
        installScriptDirectives();
        g_result.clear();
        zhost::rx::commandStack().addCommand(L"UITEST", L"UI_PICK", L"UI_PICK", 0, &pickCommand);
    }
    void TearDown() override {
        zhost::rx::commandStack().removeGroup(L"UITEST");
        zhost::ed::setWorkingDatabase(nullptr);
        zhost::ed::resetSession();
    }
    zhost::ed::RunOutcome run(std::vector<std::wstring> lines) {
        return ztest::RunScript(std::move(lines));
    }
    bool has(std::wstring_view s) const { return transcript.Has(s); }

    zhost::db::Database db;
    uitest::Transcript transcript;
};

} // namespace

TEST_F(DialogScript, ActionsChangeTheDialogAndEachStateIsEchoed) {
    const auto outcome = run({L"UI_PICK", L"@dialog select 1021 ナット", L"@dialog text 224 M12",
                              L"@dialog text 1012 2,1 m16", L"@dialog select 1012 2,2 S45C",
                              L"; a comment", L"@dialog click ok"});
    EXPECT_TRUE(outcome.ok()) << zhost::toUtf8(outcome.message);
    EXPECT_TRUE(has(L"result 1: ナット|M12|M16|S45C")) << zhost::toUtf8(transcript.text());
    EXPECT_TRUE(has(L"=== テスト (dialog 900) ==="));
    EXPECT_TRUE(has(L"  > 1: ナット"));
    EXPECT_TRUE(has(L"呼び径 #")); // the locked caption cell
    EXPECT_TRUE(has(L"--- テスト: OK"));
}

TEST_F(DialogScript, WaitLinesFireTheDialogsTimers) {
    run({L"UI_PICK", L"@wait 499", L"@dialog show", L"@wait 1", L"@dialog click ok"});
    EXPECT_TRUE(has(L"result 1: ボルト|timer|"));
}

TEST_F(DialogScript, ReturnAndEscapeKeysEndTheDialog) {
    run({L"UI_PICK", L"@dialog key escape"});
    EXPECT_TRUE(has(L"result 2: "));
    run({L"UI_PICK", L"@dialog key return 1021"});
    EXPECT_TRUE(has(L"result 1: ボルト"));
}

TEST_F(DialogScript, MissingControlStopsTheScriptWithItsLineNumber) {
    const auto outcome = run({L"UI_PICK", L"@dialog show", L"@dialog click 999", L"UI_PICK"});
    ASSERT_EQ(outcome.kind, zhost::ed::RunOutcome::scriptError);
    EXPECT_EQ(outcome.lineNumber, 3);
    EXPECT_NE(outcome.message.find(L"no control 999"), std::wstring::npos)
        << zhost::toUtf8(outcome.message);
    EXPECT_TRUE(has(L"result 2: ")); // the dialog was cancelled
}

TEST_F(DialogScript, OutOfRangeRowStopsTheScript) {
    const auto outcome = run({L"UI_PICK", L"@dialog text 1012 2,9 x"});
    ASSERT_EQ(outcome.kind, zhost::ed::RunOutcome::scriptError);
    EXPECT_EQ(outcome.lineNumber, 2);
    EXPECT_NE(outcome.message.find(L"outside grid 1012"), std::wstring::npos)
        << zhost::toUtf8(outcome.message);
}

TEST_F(DialogScript, PlainAnswersWhileADialogIsOpenAreRefused) {
    const auto outcome = run({L"UI_PICK", L"12,34"});
    ASSERT_EQ(outcome.kind, zhost::ed::RunOutcome::scriptError);
    EXPECT_EQ(outcome.lineNumber, 2);
}

TEST_F(DialogScript, DialogLinesWithoutADialogAreErrors) {
    const auto outcome = run({L"@dialog click 1"});
    ASSERT_EQ(outcome.kind, zhost::ed::RunOutcome::scriptError);
    EXPECT_NE(outcome.message.find(L"no dialog is open"), std::wstring::npos);
}

TEST_F(DialogScript, ClipboardDirectiveUnderstandsEscapes) {
    run({L"@clipboard a\\tb\\nc"});
    std::wstring clip;
    ASSERT_TRUE(getClipboardText(clip));
    EXPECT_EQ(clip, L"a\tb\nc");
}

TEST_F(DialogScript, InputEndingInADialogCancelsIt) {
    run({L"UI_PICK", L"@dialog select 1021 #2"});
    EXPECT_TRUE(has(L"the input ended while the dialog"));
    EXPECT_TRUE(has(L"result 2: "));
}

TEST_F(DialogScript, SnapshotWritesAPicture) {
    ztest::TempFolder folder;
    const auto file = folder / "snapshot.png";
    run({L"UI_PICK", L"@dialog snapshot " + zhost::fromUtf8(file.string()), L"@dialog click ok"});
    Bitmap shot;
    ASSERT_TRUE(Bitmap::loadPng(file, shot));
    EXPECT_GT(shot.width(), 200);
    // The client area is the button face colour; the title bar white.
    EXPECT_EQ(shot.colorAt(shot.width() / 2, 5), rgb(255, 255, 255));
    EXPECT_EQ(shot.colorAt(5, shot.height() - 5), sysColor(SysColor::buttonFace));
}

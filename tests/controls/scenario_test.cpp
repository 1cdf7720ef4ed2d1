// A whole dialog with a list, an edit field, a grid and picture buttons, driven by a script as
// a user at a terminal would, and its snapshot.
#include "../ui/ui_test_util.h"

#include "controls/BtnArw.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"
#include "selection/VortaSpreadSheet.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/editor/editor.h"
#include "zhost/ui/lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using namespace zhost::ui;
using uitest::ctl;

namespace {

std::filesystem::path g_snapshotDir;

DialogTemplate partsTemplate() {
    DialogTemplate t;
    t.resourceId = 9001;
    t.title = L"部品コンテンツ - テスト";
    t.size = {330, 190};
    t.controls = {
        ctl(1013, ControlKind::staticText, L"種類", Rect{7, 5, 80, 13}),
        ctl(1021, ControlKind::listBox, L"", Rect{7, 15, 80, 100}, ws::tabStop | ws::border),
        ctl(1014, ControlKind::staticText, L"備考", Rect{7, 106, 80, 114}),
        ctl(224, ControlKind::edit, L"", Rect{7, 116, 80, 128}, ws::tabStop),
        ctl(1001, ControlKind::button, L"六角ボルト", Rect{88, 5, 158, 65},
            ws::tabStop | bs::autoRadioButton),
        ctl(1002, ControlKind::button, L"座金組込み", Rect{164, 5, 234, 65},
            ws::tabStop | bs::autoRadioButton),
        ctl(1003, ControlKind::button, L"ナット", Rect{240, 5, 310, 65},
            ws::tabStop | bs::autoRadioButton),
        ctl(1012, ControlKind::staticText, L"", Rect{88, 72, 322, 150}),
        ctl(idOk, ControlKind::button, L"OK", Rect{110, 168, 160, 182},
            ws::tabStop | bs::defPushButton),
        ctl(idCancel, ControlKind::button, L"キャンセル", Rect{170, 168, 220, 182}, ws::tabStop),
    };
    return t;
}

class CTestPartsDlg : public Dialog {
public:
    CTestPartsDlg() : Dialog(partsTemplate()) {
        for (int i = 0; i < 3; ++i)
            onCommand(1001 + i, bn::clicked, [this, i] { Choose(i); });
    }
    bool onInitDialog() override {
        auto* list = controlAs<ListBox>(1021);
        for (const wchar_t* s : {L"六角ボルト", L"六角ナット", L"平座金", L"植込みボルト"})
            list->addString(s);
        list->setCurSel(0);
        const wchar_t* drawings[] = {L"hexbolt.dwg", L"washerbolt.dwg", L"nut.dwg"};
        for (int i = 0; i < 3; ++i) {
            m_buttons[i].SetUp(this, 1001 + i, drawings[i]);
            m_buttons[i].Replace();
        }
        Choose(0);
        if (!m_sheet.AttachToPlaceholder(this, 1012))
            return false;
        Grid* g = m_sheet.GetGrid();
        g->setMaxCols(3);
        g->setMaxRows(4);
        g->showRow(0, false);
        g->showCol(0, false);
        g->setCellTypeRange(-1, -1, -1, -1, CellType::staticText(9));
        const wchar_t* captions[] = {L"呼び径", L"長さ", L"材質", L"属性編集"};
        for (int r = 1; r <= 4; ++r) {
            g->setData(1, r, captions[r - 1]);
            g->setLock(1, r, true);
        }
        g->setCellType(2, 1, CellType::dropDown(0, {L"M10", L"M12", L"M16"}, 20));
        g->setData(2, 1, L"M12");
        g->setCellType(2, 2, CellType::edit(0x120080, 16, 0, 1));
        g->setData(2, 2, L"40");
        g->setCellType(2, 3, CellType::edit(0, 16, 0, 0));
        g->setCellType(3, 3, CellType::edit(0, 16, 0, 0));
        const Bitmap* pics[6];
        const int ids[6] = {IDB_CHECK_OFF, IDB_CHECK_ON,    IDB_CHECK_OFF,
                            IDB_CHECK_ON,  IDB_CHECK_OFF_D, IDB_CHECK_ON_D};
        for (int i = 0; i < 6; ++i)
            pics[i] = ZormaResources().bitmap(ids[i]);
        m_sheet.SetCurCol(2);
        m_sheet.SetCurRow(4);
        m_sheet.SetCheckBox(pics, 0, L"", L"0");
        g->setCellTag(2, 4, L"はい");
        // The caption column as wide as its widest text, the value columns of one width.
        g->setColWidthInPixels(1, int(g->maxTextColWidth(1) / g->pixelsToWidthUnits(1)) + 4);
        g->setColWidthInPixels(2, 110);
        g->setColWidthInPixels(3, 110);
        g->setRowHeightInPixels(-1, 24);
        return true;
    }
    void onOk() override {
        Grid* g = m_sheet.GetGrid();
        m_result = controlAs<ListBox>(1021)->itemText(controlAs<ListBox>(1021)->curSel()) + L"/" +
                   std::to_wstring(m_chosen) + L"/" + g->data(2, 1) + L"/" + g->data(2, 2) + L"/" +
                   g->data(2, 3) + L"," + g->data(3, 3) + L"/" + g->data(2, 4) + L"/" +
                   control(224)->text();
        endDialog(idOk);
    }
    void Choose(int i) {
        m_chosen = i;
        for (int k = 0; k < 3; ++k)
            m_buttons[k].SetPressed(k == i);
    }
    std::wstring m_result;

private:
    CBtnArw m_buttons[3];
    VortaSpreadSheet m_sheet;
    int m_chosen = 0;
};

std::wstring g_result;

void partsCommand() {
    CZormaResourceScope resources;
    CTestPartsDlg dlg;
    const int code = dlg.runModal();
    zhost::ed::print(L"\nresult " + std::to_wstring(code) + L": " + dlg.m_result + L"\n");
}

// Stands in for the drawing previews: a bolt-like outline per drawing name.
bool fakePreview(std::wstring_view file, Bitmap& into, int, int) {
    DeviceContext dc(into);
    const int w = into.width(), h = into.height();
    const Color ink = rgb(0, 0, 0);
    const int cx = w / 2, cy = h / 2;
    const int r = std::min(w, h) / 3;
    if (file.find(L"nut") != std::wstring_view::npos) {
        for (int k = 0; k < 6; ++k) {
            const double a0 = k * M_PI / 3, a1 = (k + 1) * M_PI / 3;
            dc.drawLine({cx + int(r * std::cos(a0)), cy + int(r * std::sin(a0))},
                        {cx + int(r * std::cos(a1)), cy + int(r * std::sin(a1))}, ink, 1.5);
        }
        return true;
    }
    dc.frameRect({cx - r, cy - r / 2, cx - r / 2, cy + r / 2}, ink);         // head
    dc.frameRect({cx - r / 2, cy - r / 4, cx + r + r / 2, cy + r / 4}, ink); // shank
    if (file.find(L"washer") != std::wstring_view::npos)
        dc.frameRect({cx - r / 2, cy - r / 2 - 3, cx - r / 2 + 4, cy + r / 2 + 3}, rgb(0, 0, 255));
    return true;
}

class PartsScenario : public ::testing::Test {
protected:
    void SetUp() override {
        zhost::ed::resetSession();
        zhost::ed::setWorkingDatabase(&db);
        resetServices();
        setPreviewRenderer(&fakePreview);
        zhost::rx::commandStack().addCommand(L"UITEST", L"UI_PARTS", L"UI_PARTS", 0, &partsCommand);
    }
    void TearDown() override {
        zhost::rx::commandStack().removeGroup(L"UITEST");
        setPreviewRenderer({});
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

TEST_F(PartsScenario, ScriptDrivesListEditGridAndPictureButtons) {
    const auto shot = std::filesystem::path(ZORMA_BINARY_DIR) / "ui-dialog-snapshot.png";
    std::filesystem::remove(shot);
    const auto outcome = run({
        L"UI_PARTS",
        L"@dialog select 1021 六角ナット",
        L"@dialog click 1003",
        L"@dialog select 1012 2,1 M16",
        L"@dialog text 1012 2,2 55",
        L"@clipboard SS400\\tS45C\\r\\n",
        L"@dialog paste 1012 2,3",
        L"@dialog click 1012 2,4",
        L"@dialog text 224 JIS B1180",
        L"@dialog hover 1002",
        L"@dialog snapshot " + zhost::fromUtf8(shot.string()),
        L"@dialog click ok",
    });
    ASSERT_TRUE(outcome.ok()) << zhost::toUtf8(outcome.message) << " line " << outcome.lineNumber;
    EXPECT_TRUE(has(L"result 1: 六角ナット/2/M16/55/SS400,S45C/1/JIS B1180"))
        << zhost::toUtf8(transcript.text());
    // Each state is echoed: the picture button chosen, the grid as a table, the list's line.
    EXPECT_TRUE(has(L"picture-button 1003 \"ナット\" [selected]"));
    EXPECT_TRUE(has(L"| 呼び径 #"));
    EXPECT_TRUE(has(L"| *<M16 v> |"));
    EXPECT_TRUE(has(L"[SS400]"));
    EXPECT_TRUE(has(L"  > 1: 六角ナット"));
    Bitmap png;
    ASSERT_TRUE(Bitmap::loadPng(shot, png));
    EXPECT_GT(png.width(), 400);
}

TEST_F(PartsScenario, RightClickMenuIsChosenByTheScript) {
    const auto outcome = run({
        L"UI_PARTS",
        L"@dialog text 1012 2,3 copied",
        L"@dialog rclick 1012 2,3",
        L"@dialog menu コピー",
        L"@dialog rclick 1012 3,3",
        L"@dialog menu 1097",
        L"@dialog click ok",
    });
    ASSERT_TRUE(outcome.ok()) << zhost::toUtf8(outcome.message);
    EXPECT_TRUE(has(L"1096: コピー(C)  (CTRL+C)"));
    EXPECT_TRUE(has(L"/copied,copied/"));
}

TEST_F(PartsScenario, AnUnknownMenuItemStopsTheScript) {
    const auto outcome = run({L"UI_PARTS", L"@dialog rclick 1012 2,3", L"@dialog menu 42"});
    ASSERT_EQ(outcome.kind, zhost::ed::RunOutcome::scriptError);
    EXPECT_EQ(outcome.lineNumber, 3);
    EXPECT_NE(outcome.message.find(L"no item 42"), std::wstring::npos);
}

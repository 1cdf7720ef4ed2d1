// The grid wrapper: placeholder attachment, current cell and range operations, clipboard
// shapes, locked cells, keys and the Cut / Copy / Paste menu.
#include "../ui/ui_test_util.h"

#include "resources/resource.h"
#include "selection/VortaSpreadSheet.h"

#include "zhost/ui/services.h"

#include <gtest/gtest.h>

using namespace zhost::ui;

namespace {

DialogTemplate attributeTemplate() {
    DialogTemplate t;
    t.resourceId = 223;
    t.title = L"属性編集";
    t.size = {220, 150};
    t.controls = {
        uitest::ctl(1001, ControlKind::edit, L"", Rect{5, 5, 60, 17}, ws::tabStop),
        uitest::ctl(1011, ControlKind::staticText, L"", Rect{5, 20, 215, 120}),
        uitest::ctl(idOk, ControlKind::button, L"OK", Rect{60, 128, 110, 142}, ws::tabStop),
    };
    return t;
}

class SheetDialog : public Dialog {
public:
    SheetDialog() : Dialog(attributeTemplate()) {
        onMessage(grid::textChanged, [this](std::uintptr_t, std::intptr_t l) -> std::intptr_t {
            const auto* n = reinterpret_cast<const GridNotify*>(l);
            changed.emplace_back(n->col, n->row);
            return 0;
        });
    }
    bool onInitDialog() override {
        attached = sheet.AttachToPlaceholder(this, 1011);
        return true;
    }
    VortaSpreadSheet sheet;
    bool attached = false;
    std::vector<std::pair<int, int>> changed;
};

class SpreadSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetServices();
        ASSERT_TRUE(dlg.create());
        ASSERT_TRUE(dlg.attached);
        g = dlg.sheet.GetGrid();
        g->setMaxCols(4);
        g->setMaxRows(5);
        g->setCellTypeRange(-1, -1, -1, -1, CellType::edit(0, 255, 0, 0));
        g->setFocus();
    }
    void select(int c1, int r1, int c2, int r2) { g->setSelectBlock(CellBlock{c1, r1, c2, r2}); }
    void paste(std::wstring_view clip) {
        setClipboardText(clip);
        dlg.pressKey('V', KeyState{false, true});
    }
    std::wstring row(int r) {
        std::wstring s;
        for (int c = 1; c <= g->maxCols(); ++c)
            s += (c > 1 ? L"|" : L"") + g->data(c, r);
        return s;
    }

    uitest::BackendScope backend;
    SheetDialog dlg;
    Grid* g = nullptr;
};

} // namespace

TEST_F(SpreadSheetTest, AttachReplacesThePlaceholderInPlace) {
    EXPECT_EQ(g->id(), 1011);
    EXPECT_EQ(dlg.previousSibling(g)->id(), 1001);
    EXPECT_TRUE(g->isTabStop());
    EXPECT_TRUE(g->style() & ws::border);
    EXPECT_TRUE(g->getBool(SPREAD_OPT_AUTO_SCROLLBARS));
    EXPECT_EQ(g->rect(), dlg.mapDialogRect(Rect{5, 20, 215, 120}));
}

TEST_F(SpreadSheetTest, AttachFailsWithoutAPlaceholder) {
    CSpreadSheet other;
    EXPECT_FALSE(other.AttachToPlaceholder(&dlg, 4242));
    EXPECT_FALSE(other.AttachToPlaceholder(nullptr, 1011));
}

TEST_F(SpreadSheetTest, CurrentCellAndRangeOperations) {
    CSpreadSheet& s = dlg.sheet;
    s.SetCurCol(2);
    s.SetCurRow(3);
    EXPECT_TRUE(s.SetText(L"12"));
    EXPECT_EQ(s.GetText(), L"12");
    s.SetRange(true, 4, 4);
    EXPECT_TRUE(s.SetLock(true));
    EXPECT_TRUE(g->isLocked(4, 4));
    EXPECT_TRUE(g->isLocked(3, 3));
    EXPECT_FALSE(g->isLocked(1, 3));
    s.SetRange(false);
    EXPECT_TRUE(s.SetDropDown(L"SS400\tS45C", 0x110004, 20));
    EXPECT_EQ(s.GetCellType(), grid::typeDropDown);
    EXPECT_EQ(g->cellTypeInfo(2, 3)->style, 0x110000u); // bit 2 is not passed on
    EXPECT_EQ(s.GetComboCount(), 2);
    EXPECT_TRUE(s.SetComboCurSel(1));
    EXPECT_EQ(s.GetText(), L"S45C");
    EXPECT_EQ(s.GetComboItems(), L"SS400\tS45C");
    EXPECT_TRUE(s.SetBackColor(rgb(1, 2, 3)));
    EXPECT_EQ(s.GetBackColor(), rgb(1, 2, 3));
    s.SetCurRow(4);
    EXPECT_TRUE(s.SetRowUserData(0x630002));
    EXPECT_EQ(s.GetRowUserData(), 0x630002);
}

TEST_F(SpreadSheetTest, CheckBoxCellsTakeSixPicturesAndAValue) {
    const Bitmap on(16, 16, 0xFF000000), off(16, 16, 0xFFFFFFFF);
    const Bitmap* pics[6] = {&off, &on, &off, &on, &off, &on};
    CSpreadSheet& s = dlg.sheet;
    s.SetCurCol(2);
    s.SetCurRow(1);
    ASSERT_TRUE(s.SetCheckBox(pics, 0, L"", L"1"));
    EXPECT_EQ(s.GetCellType(), grid::typeCheckBox);
    EXPECT_EQ(s.GetValue(), L"1");
    EXPECT_EQ(g->cellTypeInfo(2, 1)->pictures[1], on);
}

TEST_F(SpreadSheetTest, SelectionFallsBackToTheActiveCell) {
    int c1, r1, c2, r2;
    g->setActiveCell(3, 2);
    ASSERT_TRUE(dlg.sheet.GetSelection(c1, r1, c2, r2));
    EXPECT_EQ(std::vector<int>({c1, r1, c2, r2}), std::vector<int>({3, 2, 3, 2}));
    select(-1, 2, -1, 4);
    dlg.sheet.GetSelection(c1, r1, c2, r2);
    EXPECT_EQ(c1, -1);
    EXPECT_EQ(dlg.sheet.GetActiveCol(), 3);
}

TEST_F(SpreadSheetTest, OneValuePastedIntoABlockFillsEveryUnlockedCell) {
    g->setLock(2, 2, true);
    select(1, 1, 2, 2);
    paste(L"7\r\n");
    EXPECT_EQ(row(1), L"7|7||");
    EXPECT_EQ(row(2), L"7|||");
    EXPECT_EQ(dlg.changed.size(), 3u); // one notification per written cell
}

TEST_F(SpreadSheetTest, TwoByTwoBlockOntoOneCellFillsTwoByTwo) {
    g->setActiveCell(2, 3);
    paste(L"a\tb\r\nc\td\r\n");
    EXPECT_EQ(row(3), L"|a|b|");
    EXPECT_EQ(row(4), L"|c|d|");
    EXPECT_EQ(row(5), L"|||");
    const std::vector<std::pair<int, int>> expect = {{2, 3}, {3, 3}, {2, 4}, {3, 4}};
    EXPECT_EQ(dlg.changed, expect);
}

TEST_F(SpreadSheetTest, ColumnOfValuesGoesDownEverySelectedColumn) {
    select(2, 1, 3, 3);
    paste(L"x\ny\nz\n");
    EXPECT_EQ(row(1), L"|x|x|");
    EXPECT_EQ(row(3), L"|z|z|");
}

TEST_F(SpreadSheetTest, RowOfValuesGoesAcrossEverySelectedRow) {
    select(1, 4, 3, 5);
    paste(L"p\tq\tr");
    EXPECT_EQ(row(4), L"p|q|r|");
    EXPECT_EQ(row(5), L"p|q|r|");
}

TEST_F(SpreadSheetTest, LargerTargetsAreTiledAndLockedCellsSkipped) {
    g->setLock(3, 1, true);
    select(1, 1, 4, 2);
    paste(L"1\t2\n3\t4\n");
    EXPECT_EQ(row(1), L"1|2||2");
    EXPECT_EQ(row(2), L"3|4|3|4");
}

TEST_F(SpreadSheetTest, PastingNearTheEdgeNeverWritesOutsideTheGrid) {
    g->setActiveCell(4, 5);
    paste(L"a\tb\nc\td\n");
    EXPECT_EQ(g->data(4, 5), L"a");
    EXPECT_EQ(dlg.changed.size(), 1u);
}

TEST_F(SpreadSheetTest, HugeAndRaggedClipboardTextIsHandledSafely) {
    std::wstring big;
    for (int r = 0; r < 100; ++r) {
        for (int c = 0; c < 100; ++c)
            big += (c ? L"\t" : L"") + std::to_wstring(r * 100 + c);
        big += L"\r\n";
    }
    g->setActiveCell(1, 1);
    paste(big);
    EXPECT_EQ(g->data(4, 5), L"403");
    EXPECT_EQ(dlg.changed.size(), 20u);

    dlg.changed.clear();
    select(1, 1, 1, 1);
    paste(L"\r\r\n\n\t\r\n\r");
    EXPECT_EQ(g->data(1, 1), L"");
    paste(L"");
    paste(L"\n\n\n\n\n\n\n\n\n\n\n\n");
    SUCCEED();
}

TEST_F(SpreadSheetTest, ClipboardSplitKeepsEmptyLinesAndCutsAtCarriageReturns) {
    const auto rows = VortaSpreadSheet::SplitClipboardText(L"a\r\n\nb\rx\tc\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], std::vector<std::wstring>{L"a"});
    EXPECT_EQ(rows[1], std::vector<std::wstring>{L""});
    EXPECT_EQ(rows[2], (std::vector<std::wstring>{L"b", L"c"}));
    EXPECT_EQ(VortaSpreadSheet::SplitClipboardText(L"last row kept").size(), 1u);
    EXPECT_EQ(VortaSpreadSheet::SplitClipboardText(L"x\ny").size(), 2u);
}

TEST_F(SpreadSheetTest, WholeColumnCopyCopiesRowOneToTheLast) {
    for (int r = 1; r <= 5; ++r)
        g->setData(2, r, std::to_wstring(r));
    select(2, -1, 2, -1);
    dlg.pressKey('C', KeyState{false, true});
    std::wstring clip;
    ASSERT_TRUE(getClipboardText(clip));
    EXPECT_EQ(clip, L"1\r\n2\r\n3\r\n4\r\n5\r\n");
    CellBlock b;
    ASSERT_TRUE(g->getSelectBlock(b)); // the selection is given back
    EXPECT_EQ(b.row1, -1);
    EXPECT_TRUE(g->getBool(SPREAD_OPT_REDRAW));
}

TEST_F(SpreadSheetTest, DeleteEmptiesUnlockedCellsOnly) {
    g->setDataRange(1, 1, 4, 5, L"v");
    g->setLock(2, 2, true);
    select(-1, 2, -1, 2);
    dlg.pressKey(vk::del);
    EXPECT_EQ(row(2), L"|v||");
    EXPECT_EQ(row(1), L"v|v|v|v");
}

TEST_F(SpreadSheetTest, CopyInEditModeLeavesItToTheCellEditor) {
    g->setData(1, 1, L"M12x1.5");
    g->setActiveCell(1, 1);
    dlg.pressKey(vk::f2); // starts edit mode
    ASSERT_TRUE(g->editMode());
    EXPECT_TRUE(g->getBool(SPREAD_OPT_EDITOR_KEYS));
    g->setEditorSel(0, 3);
    dlg.pressKey('C', KeyState{false, true});
    std::wstring clip;
    ASSERT_TRUE(getClipboardText(clip));
    EXPECT_EQ(clip, L"M12");
    setClipboardText(L"M16\r\n");
    g->setEditorSel(0, 3);
    dlg.pressKey('V', KeyState{false, true});
    EXPECT_EQ(g->editorText(), L"M16x1.5");
}

TEST_F(SpreadSheetTest, RightClickShowsTheMenuAndRunsTheChoice) {
    g->setData(1, 1, L"cut me");
    g->setActiveCell(1, 1);
    backend->menuChoices = {IDS_GRID_CUT};
    std::wstring why;
    ASSERT_TRUE(g->userRightClick(1, 1, &why));
    EXPECT_EQ(backend->menusShown, 1);
    EXPECT_EQ(g->data(1, 1), L"");
    std::wstring clip;
    getClipboardText(clip);
    EXPECT_EQ(clip, L"cut me\r\n");
}

TEST_F(SpreadSheetTest, RightClickWhileEditingShowsNoMenu) {
    g->setActiveCell(1, 1);
    ASSERT_TRUE(g->setEditMode(true));
    g->userRightClick(1, 1);
    EXPECT_EQ(backend->menusShown, 0);
}

TEST_F(SpreadSheetTest, ImeKeyStartsEditMode) {
    g->setActiveCell(2, 2);
    dlg.pressKey(vk::processKey);
    EXPECT_TRUE(g->editMode());
}

// The grid control: cell content and types, ranges, protection, edit mode, clicks, keys,
// notifications and the clipboard.
#include "ui_test_util.h"

#include "zhost/core/utf.h"
#include "zhost/ui/grid.h"

#include <gtest/gtest.h>

using namespace zhost::ui;

namespace {

struct Note {
    unsigned msg;
    int col;
    int row;
};

// A dialog with one grid (id 100) that records the grid's notifications.
class GridDialog : public Dialog {
public:
    GridDialog()
        : Dialog(DialogTemplate{
              500,
              L"Grid",
              Font{},
              Size{200, 120},
              {uitest::ctl(100, ControlKind::grid, L"", Rect{5, 5, 195, 100}, ws::tabStop),
               uitest::ctl(idOk, ControlKind::button, L"OK", Rect{5, 102, 55, 116}, ws::tabStop)},
              false}) {
        for (unsigned m : {grid::textChanged, grid::comboSelChange, grid::editModeOn,
                           grid::editModeOff, grid::rightClick}) {
            onMessage(m, [this, m](std::uintptr_t, std::intptr_t l) -> std::intptr_t {
                const auto* n = reinterpret_cast<const GridNotify*>(l);
                notes.push_back({m, n->col, n->row});
                return 0;
            });
        }
        onMessage(grid::cellQuery, [this](std::uintptr_t, std::intptr_t l) -> std::intptr_t {
            const auto* n = reinterpret_cast<const GridNotify*>(l);
            return inertColumn == n->col ? 1 : 0;
        });
        onCommand(100, grid::clickNotify, [this] { ++clicks59; });
        onCommand(100, grid::checkClickNotify, [this] { ++clicks60; });
    }
    Grid& g() { return *grid(100); }
    int count(unsigned msg) const {
        int n = 0;
        for (const auto& x : notes)
            n += x.msg == msg;
        return n;
    }

    std::vector<Note> notes;
    int clicks59 = 0, clicks60 = 0;
    int inertColumn = -1;
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetServices();
        dlg.create();
        dlg.g().setMaxCols(3);
        dlg.g().setMaxRows(4);
    }
    GridDialog dlg;
};

} // namespace

TEST_F(GridTest, DataAndValueOfEachCellType) {
    Grid& g = dlg.g();
    g.setData(1, 1, L"M12");
    EXPECT_EQ(g.data(1, 1), L"M12");
    EXPECT_EQ(g.dataLen(1, 1), 3);

    g.setCellType(2, 1, CellType::checkBox(0, L"", CheckPictures{}));
    g.setValue(2, 1, L"1");
    std::wstring v;
    ASSERT_TRUE(g.getValue(2, 1, v));
    EXPECT_EQ(v, L"1");
    g.setValue(2, 1, L"0");
    g.getValue(2, 1, v);
    EXPECT_EQ(v, L"0");

    g.setCellType(3, 1, CellType::dropDown(0, {L"SS400", L"S45C", L"SUS304"}, 20));
    g.setData(3, 1, L"s45c"); // items match without case
    EXPECT_EQ(g.comboCurSel(3, 1), 1);
    g.getValue(3, 1, v);
    EXPECT_EQ(v, L"1");
    g.setValue(3, 1, L"2");
    EXPECT_EQ(g.data(3, 1), L"SUS304");
    EXPECT_EQ(g.cellType(3, 1), grid::typeDropDown);
    EXPECT_EQ(g.cellType(2, 1), grid::typeCheckBox);
    EXPECT_EQ(g.cellType(1, 1), grid::typeGeneral);
    EXPECT_EQ(g.cellType(9, 9), 0); // outside the sheet
}

TEST_F(GridTest, MinusOneRangesCoverWholeRowsAndColumns) {
    Grid& g = dlg.g();
    g.setCellTypeRange(-1, -1, -1, -1, CellType::staticText(9));
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(g.cellType(c, r), grid::typeStaticText);
    g.setLockRange(2, -1, 2, -1, true); // the whole of column 2
    for (int r = 1; r <= 4; ++r) {
        EXPECT_TRUE(g.isLocked(2, r));
        EXPECT_FALSE(g.isLocked(1, r));
    }
    g.setDataRange(1, 3, -1, 3, L"x"); // the whole of row 3
    EXPECT_EQ(g.data(3, 3), L"x");
    EXPECT_EQ(g.data(3, 2), L"");
    EXPECT_FALSE(g.setData(4, 1, L"outside"));
    EXPECT_FALSE(g.setDataRange(1, 1, 2, 9, L"outside"));
}

TEST_F(GridTest, CapacityLimitRefusesHugeSheetsAndKeepsContent) {
    Grid& g = dlg.g();
    g.setData(2, 2, L"kept");
    EXPECT_FALSE(g.setMaxRows(10'000'000));
    EXPECT_EQ(g.maxRows(), 4);
    EXPECT_TRUE(g.setMaxRows(50));
    EXPECT_EQ(g.data(2, 2), L"kept");
    EXPECT_TRUE(g.setMaxCols(2));
    EXPECT_EQ(g.data(2, 2), L"kept");
}

TEST_F(GridTest, SpansMergeCellRectangles) {
    Grid& g = dlg.g();
    g.setColWidthInPixels(-1, 50);
    g.showCol(0, false);
    g.showRow(0, false);
    ASSERT_TRUE(g.addCellSpan(2, 1, 2, 1));
    EXPECT_EQ(g.cellRect(2, 1).width(), 100);
    EXPECT_EQ(g.cellRect(2, 1).left, 50);
    CellSpan s;
    ASSERT_TRUE(g.spanAt(3, 1, s));
    EXPECT_EQ(s.col, 2);
    EXPECT_FALSE(g.addCellSpan(3, 1, 2, 1)); // would run past the last column
}

TEST_F(GridTest, UnitsConvertBetweenPixelsAndUnits) {
    Grid& g = dlg.g();
    g.setUnitType(2); // twips
    g.setColWidth(1, 1500);
    EXPECT_EQ(g.colWidthInPixels(1), 100);
    EXPECT_DOUBLE_EQ(g.colWidth(1), 1500);
    g.setUnitType(1);
    g.setRowHeight(1, 15); // points
    EXPECT_EQ(g.rowHeightInPixels(1), 20);
}

TEST_F(GridTest, TypingGoesThroughEditModeAndReportsTheChange) {
    Grid& g = dlg.g();
    g.setCellType(2, 2, CellType::edit(0x120080, 4, 0, 1));
    std::wstring why;
    ASSERT_TRUE(g.userType(2, 2, L"m12x1.5", &why)) << why;
    EXPECT_EQ(g.data(2, 2), L"M12X"); // upper case, at most 4 characters
    ASSERT_EQ(dlg.notes.size(), 3u);
    EXPECT_EQ(dlg.notes[0].msg, grid::editModeOn);
    EXPECT_EQ(dlg.notes[1].msg, grid::editModeOff);
    EXPECT_EQ(dlg.notes[2].msg, grid::textChanged);
    EXPECT_EQ(dlg.notes[2].col, 2);
    EXPECT_EQ(dlg.notes[2].row, 2);
    // The same text again is no change.
    g.userType(2, 2, L"M12X");
    EXPECT_EQ(dlg.count(grid::textChanged), 1);
}

TEST_F(GridTest, LockedAndWrongCellsRefuseTyping) {
    Grid& g = dlg.g();
    g.setCellType(1, 1, CellType::edit(0, 0, 0, 0));
    g.setLock(1, 1, true);
    std::wstring why;
    EXPECT_TRUE(g.userType(1, 1, L"x", &why));
    EXPECT_NE(why.find(L"locked"), std::wstring::npos);
    EXPECT_EQ(g.data(1, 1), L"");
    EXPECT_FALSE(g.userType(2, 1, L"x", &why)); // not an edit cell
    EXPECT_FALSE(g.userType(1, 5, L"x", &why)); // below the last row
    EXPECT_NE(why.find(L"outside"), std::wstring::npos);
}

TEST_F(GridTest, CheckCellClickTogglesAndSendsNotification60) {
    Grid& g = dlg.g();
    g.setCellType(2, 1, CellType::checkBox(0, L"", CheckPictures{}));
    g.setValue(2, 1, L"0");
    g.userClick(2, 1);
    EXPECT_EQ(g.data(2, 1), L"1");
    EXPECT_EQ(dlg.clicks60, 1);
    EXPECT_EQ(dlg.clicks59, 0);
    g.userClick(1, 1); // a plain cell
    EXPECT_EQ(dlg.clicks59, 1);
    g.setLock(2, 1, true);
    g.userClick(2, 1); // locked: nothing
    EXPECT_EQ(g.data(2, 1), L"1");
    EXPECT_EQ(dlg.clicks60, 1);
}

TEST_F(GridTest, DropDownChoiceSendsSelectionChange) {
    Grid& g = dlg.g();
    g.setCellType(2, 3, CellType::dropDown(0, {L"A", L"B"}, 8));
    std::wstring why;
    ASSERT_TRUE(g.userSelectItem(2, 3, 1, &why));
    EXPECT_EQ(g.data(2, 3), L"B");
    ASSERT_EQ(dlg.count(grid::comboSelChange), 1);
    EXPECT_FALSE(g.userSelectItem(2, 3, 2, &why)); // no third item
}

TEST_F(GridTest, ArrowsSkipCellsTheDialogCallsInert) {
    Grid& g = dlg.g();
    dlg.inertColumn = 2;
    g.setActiveCell(1, 1);
    g.setFocus();
    dlg.pressKey(vk::right);
    int c = 0, r = 0;
    g.activeCell(c, r);
    EXPECT_EQ(c, 3);
    dlg.pressKey(vk::right); // nothing beyond the last column
    g.activeCell(c, r);
    EXPECT_EQ(c, 3);
    dlg.pressKey(vk::down);
    g.activeCell(c, r);
    EXPECT_EQ(r, 2);
}

TEST_F(GridTest, KeyNotificationCarriesModifiersAndCanConsumeTheKey) {
    Grid& g = dlg.g();
    std::intptr_t seen = 0;
    dlg.onMessage(grid::keyDown, [&](std::uintptr_t, std::intptr_t l) -> std::intptr_t {
        seen = l;
        return 1; // consumed: the grid must not move
    });
    g.setActiveCell(1, 1);
    g.setFocus();
    dlg.pressKey(vk::down, KeyState{true, true});
    EXPECT_EQ(seen, vk::down | grid::keyShift | grid::keyControl);
    int c = 0, r = 0;
    g.activeCell(c, r);
    EXPECT_EQ(r, 1);
}

TEST_F(GridTest, CopyOfWholeColumnsGivesEveryRowAsTabbedLines) {
    Grid& g = dlg.g();
    g.setData(1, 1, L"a");
    g.setData(2, 1, L"b");
    g.setData(1, 4, L"z");
    g.setSelectBlock(CellBlock{1, -1, 2, -1});
    ASSERT_TRUE(g.clipboardCopy());
    std::wstring clip;
    ASSERT_TRUE(getClipboardText(clip));
    EXPECT_EQ(clip, L"a\tb\r\n\t\r\n\t\r\nz\t\r\n");
}

TEST_F(GridTest, CutEmptiesOnlyUnlockedCells) {
    Grid& g = dlg.g();
    g.setData(1, 1, L"a");
    g.setData(2, 1, L"b");
    g.setLock(2, 1, true);
    g.setSelectBlock(CellBlock{1, 1, 2, 1});
    ASSERT_TRUE(g.clipboardCut());
    EXPECT_EQ(g.data(1, 1), L"");
    EXPECT_EQ(g.data(2, 1), L"b");
}

TEST_F(GridTest, EditorReplaceSelectionInsertsAtTheCaret) {
    Grid& g = dlg.g();
    g.setCellType(1, 2, CellType::edit(0, 0, 0, 0));
    g.setData(1, 2, L"M12");
    g.setActiveCell(1, 2);
    ASSERT_TRUE(g.setEditMode(true));
    g.setEditorSel(1, 3);
    ASSERT_TRUE(g.replaceSel(L"16"));
    EXPECT_EQ(g.editorText(), L"M16");
    g.setEditMode(false);
    EXPECT_EQ(g.data(1, 2), L"M16");
    EXPECT_FALSE(g.replaceSel(L"x")); // outside edit mode
}

TEST_F(GridTest, RedrawOptionOffHoldsRepaints) {
    Grid& g = dlg.g();
    const int before = g.repaintCount();
    g.setBool(grid::optRedraw, false);
    g.setDataRange(1, 1, 3, 4, L"x");
    EXPECT_EQ(g.repaintCount(), before);
    g.setBool(grid::optRedraw, true);
    EXPECT_GT(g.repaintCount(), before);
}

TEST_F(GridTest, DescriptionShowsTypesLocksAndTheActiveCell) {
    Grid& g = dlg.g();
    g.setData(1, 1, L"呼び径");
    g.setLock(1, 1, true);
    g.setCellType(2, 1, CellType::dropDown(0, {L"M10", L"M12"}, 8));
    g.setData(2, 1, L"M12");
    g.setCellType(2, 2, CellType::checkBox(0, L"", CheckPictures{}));
    g.setCellTag(2, 2, L"はい");
    g.setValue(2, 2, L"1");
    g.setActiveCell(2, 1);
    std::vector<std::wstring> lines;
    g.describe(lines);
    std::wstring all;
    for (const auto& l : lines)
        all += l + L"\n";
    EXPECT_NE(all.find(L"呼び径 #"), std::wstring::npos) << zhost::toUtf8(all);
    EXPECT_NE(all.find(L"*<M12 v>"), std::wstring::npos) << zhost::toUtf8(all);
    EXPECT_NE(all.find(L"[x] はい"), std::wstring::npos) << zhost::toUtf8(all);
}

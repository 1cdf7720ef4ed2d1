// The part attribute dialog: its grid, what OK and Cancel leave in the items, resizing and the
// remembered placement.
#include "../ui/ui_test_util.h"

#include "attributes/ContAtrDlg.h"
#include "resources/resource.h"

#include "zhost/settings/product.h"
#include "zhost/ui/grid.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace ui = zhost::ui;

namespace {

class ContAtrDlgTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        ui::resetServices();
        zhost::settings::setUserFolder(Dir());
    }
    void TearDown() override { zhost::settings::setUserFolder({}); }

    uitest::BackendScope m_backend;
    CAtrArray m_items{{L"NAME", L"部品名", L"六角ボルト"},
                      {L"MATERIAL", L"材質", L"鋼,8.8"},
                      {L"ITEM1", L"備考1", L""}};
};

} // namespace

TEST_F(ContAtrDlgTest, OneRowPerItemWithLockedPrompts) {
    CContAtrDlg dlg(m_items);
    ASSERT_TRUE(dlg.create());
    EXPECT_EQ(dlg.title(), L"属性編集");
    ui::Grid* g = dlg.GetSheet().GetGrid();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->id(), IDC_CONT_ATR_GRID);
    EXPECT_EQ(g->maxCols(), 2);
    EXPECT_EQ(g->maxRows(), 3);
    EXPECT_EQ(g->data(1, 0), L"項目名");
    EXPECT_EQ(g->data(2, 0), L"値");
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(g->data(1, row), m_items[size_t(row - 1)].m_prompt);
        EXPECT_TRUE(g->isLocked(1, row));
        EXPECT_EQ(g->cellType(1, row), ui::grid::typeStaticText);
        EXPECT_EQ(g->data(2, row), m_items[size_t(row - 1)].m_value);
        EXPECT_FALSE(g->isLocked(2, row));
        EXPECT_EQ(g->cellType(2, row), ui::grid::typeEdit);
        EXPECT_EQ(g->cellTypeInfo(2, row)->maxLength, 255);
    }
    EXPECT_TRUE(g->getBool(SPREAD_OPT_REDRAW));
    EXPECT_TRUE(g->getBool(SPREAD_OPT_ARROWS_EXIT));
    EXPECT_TRUE(g->getBool(SPREAD_OPT_RETURN_DOWN));
    EXPECT_TRUE(g->getBool(SPREAD_OPT_TAB_CELLS));
    EXPECT_EQ(g->unitType(), 0); // the twips used for the widths are given back
    dlg.destroy();
}

TEST_F(ContAtrDlgTest, ColumnsShareTheWidthLeftBesideTwoRowHeights) {
    CContAtrDlg dlg(m_items);
    ASSERT_TRUE(dlg.create());
    ui::Grid* g = dlg.GetSheet().GetGrid();
    const int expected = (g->clientRect().width() - 2 * g->rowHeightInPixels(0)) / 2;
    EXPECT_NEAR(g->colWidthInPixels(1), expected, 1);
    EXPECT_EQ(g->colWidthInPixels(1), g->colWidthInPixels(2));
    dlg.destroy();
}

TEST_F(ContAtrDlgTest, OkTakesTypedValuesCancelKeepsThem) {
    {
        CContAtrDlg dlg(m_items);
        ASSERT_TRUE(dlg.create());
        ASSERT_TRUE(dlg.GetSheet().GetGrid()->userType(2, 3, L"メモ"));
        dlg.onCancel();
        dlg.destroy();
    }
    EXPECT_EQ(m_items[2].m_value, L"");
    {
        CContAtrDlg dlg(m_items);
        ASSERT_TRUE(dlg.create());
        ui::Grid* g = dlg.GetSheet().GetGrid();
        ASSERT_TRUE(g->userType(2, 3, L"メモ"));
        ASSERT_TRUE(g->userType(2, 1, L""));
        EXPECT_FALSE(g->userType(1, 1, L"locked"));
        dlg.onOk();
        EXPECT_EQ(dlg.endCode(), ui::idOk);
        dlg.destroy();
    }
    EXPECT_EQ(m_items[0].m_value, L"");
    EXPECT_EQ(m_items[1].m_value, L"鋼,8.8");
    EXPECT_EQ(m_items[2].m_value, L"メモ");
    EXPECT_EQ(m_items[0].m_prompt, L"部品名");
}

TEST_F(ContAtrDlgTest, ValuesAreCutAt255CharactersOnlyWhenTyped) {
    const std::wstring longer(300, L'長');
    m_items[0].m_value = longer;
    {
        CContAtrDlg dlg(m_items);
        ASSERT_TRUE(dlg.create());
        EXPECT_EQ(dlg.GetSheet().GetGrid()->data(2, 1).size(), 255u);
        dlg.onOk();
        dlg.destroy();
    }
    EXPECT_EQ(m_items[0].m_value, longer); // untouched: kept whole
    {
        CContAtrDlg dlg(m_items);
        ASSERT_TRUE(dlg.create());
        ASSERT_TRUE(dlg.GetSheet().GetGrid()->userType(2, 1, std::wstring(400, L'😀')));
        dlg.onOk();
        dlg.destroy();
    }
    EXPECT_EQ(m_items[0].m_value, std::wstring(255, L'😀'));
}

TEST_F(ContAtrDlgTest, GridAndButtonsFollowAResize) {
    CContAtrDlg dlg(m_items);
    ASSERT_TRUE(dlg.create());
    const ui::Rect grid0 = dlg.control(IDC_CONT_ATR_GRID)->rect();
    const ui::Rect ok0 = dlg.control(ui::idOk)->rect();
    const ui::Rect win0 = dlg.windowRect();
    dlg.userResize(win0.width() + 100, win0.height() + 50);
    const ui::Rect grid1 = dlg.control(IDC_CONT_ATR_GRID)->rect();
    const ui::Rect ok1 = dlg.control(ui::idOk)->rect();
    EXPECT_EQ(grid1.width(), grid0.width() + 100);
    EXPECT_EQ(grid1.height(), grid0.height() + 50);
    EXPECT_EQ(ok1.left, ok0.left + 100);
    EXPECT_EQ(ok1.top, ok0.top + 50);
    EXPECT_EQ(ok1.width(), ok0.width());
    dlg.userResize(10, 10);
    EXPECT_EQ(dlg.windowRect().width(), kContAtrMinWidth);
    EXPECT_EQ(dlg.windowRect().height(), kContAtrMinHeight);
    const ui::Rect c = dlg.clientRect();
    EXPECT_EQ(dlg.onHitTest({c.right - 2, c.bottom - 2}), ui::ht::bottomRight);
    EXPECT_EQ(dlg.onHitTest({c.right - 40, c.bottom - 40}), ui::ht::client);
    dlg.destroy();
}

TEST_F(ContAtrDlgTest, PlacementIsRememberedUnderItsDialogName) {
    {
        CContAtrDlg dlg(m_items);
        ASSERT_TRUE(dlg.create());
        EXPECT_EQ(dlg.dialogName(), L"ZORMA_CONT_Atr");
        dlg.moveWindow(ui::Rect::fromSize(120, 80, 500, 400));
        dlg.destroy();
    }
    CContAtrDlg again(m_items);
    ASSERT_TRUE(again.create());
    EXPECT_EQ(again.windowRect(), ui::Rect::fromSize(120, 80, 500, 400));
    again.destroy();
}

TEST_F(ContAtrDlgTest, StoredPlacementOffScreenIsBroughtBack) {
    {
        CContAtrDlg dlg(m_items);
        ASSERT_TRUE(dlg.create());
        dlg.moveWindow(ui::Rect::fromSize(5000, 4000, 400, 300));
        dlg.destroy();
    }
    CContAtrDlg again(m_items);
    ASSERT_TRUE(again.create());
    const ui::Rect r = again.windowRect();
    EXPECT_LT(r.right, 5000);
    EXPECT_EQ(r.width(), 400);
    again.destroy();
}

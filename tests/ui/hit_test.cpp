// Finding what lies under a point, as a desktop backend does for the mouse: grid cells, list
// view rows and popup menu items must be found where the framework draws them.
#include "ui_test_util.h"

#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/menu.h"

#include <gtest/gtest.h>

using namespace zhost::ui;

namespace {

class HitTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetServices();
        ASSERT_TRUE(dlg.create());
    }
    Dialog dlg{DialogTemplate{
        501,
        L"Hits",
        Font{},
        Size{220, 160},
        {uitest::ctl(100, ControlKind::grid, L"", Rect{5, 5, 215, 100}, ws::tabStop),
         uitest::ctl(101, ControlKind::listView, L"", Rect{5, 102, 215, 155}, ws::tabStop)},
        false}};
};

TEST_F(HitTest, EveryShownCellIsFoundAtItsOwnRectangle) {
    Grid& g = *dlg.grid(100);
    g.setMaxCols(4);
    g.setMaxRows(5);
    g.setColWidthInPixels(2, 70);
    g.setRowHeightInPixels(3, 31);
    ASSERT_TRUE(g.showRow(2, false));
    ASSERT_TRUE(g.showCol(3, false));
    ASSERT_TRUE(g.addCellSpan(1, 4, 2, 2)); // columns 1-2 of rows 4-5
    for (int row = 1; row <= 5; ++row)
        for (int col = 1; col <= 4; ++col) {
            const Rect r = g.cellRect(col, row);
            if (r.empty())
                continue;
            CellSpan s;
            const bool spanned = g.spanAt(col, row, s);
            if (spanned && (s.col != col || s.row != row))
                continue; // covered by the span's first cell
            SCOPED_TRACE(testing::Message() << "cell " << col << "," << row);
            // Corners and the middle: each point belongs to the cell (a span: to its first cell).
            for (const Point p : {r.topLeft(), Point{r.right - 1, r.bottom - 1},
                                  Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}}) {
                int c = 0, w = 0;
                ASSERT_TRUE(g.cellAt(p, c, w));
                EXPECT_EQ(c, col);
                EXPECT_EQ(w, row);
            }
        }
    int c = 0, w = 0;
    // The second part of the span answers with its first cell.
    const Rect lower = g.cellRect(1, 4);
    ASSERT_TRUE(g.cellAt({lower.right - 2, lower.bottom - 2}, c, w));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(w, 4);
    // Headers, the grey area past the sheet and points left of or above the grid are no cell.
    EXPECT_FALSE(g.cellAt({g.cellRect(0, 1).left + 1, g.cellRect(0, 1).top + 1}, c, w));
    EXPECT_FALSE(g.cellAt({g.cellRect(1, 0).left + 1, g.cellRect(1, 0).top + 1}, c, w));
    EXPECT_FALSE(g.cellAt({g.totalWidth() + 3, 40}, c, w));
    EXPECT_FALSE(g.cellAt({10, g.totalHeight()}, c, w));
    EXPECT_FALSE(g.cellAt({-1, 30}, c, w));
}

TEST_F(HitTest, ListViewRowsLieUnderTheHeaderWhereThePictureHasThem) {
    auto* lv = dlg.controlAs<ListView>(101);
    ASSERT_NE(lv, nullptr);
    lv->insertColumn(0, L"名前", 120);
    for (const wchar_t* t : {L"a", L"b", L"c"})
        lv->insertItem(lv->itemCount(), t);
    lv->setSelectedItem(1);
    // The selected row's highlight in the control's picture marks where row 1 lies.
    Bitmap picture(lv->rect().width(), lv->rect().height());
    DeviceContext dc(picture);
    lv->paint(dc);
    const Color hl = sysColor(SysColor::highlight);
    int top = -1, bottom = -1;
    for (int y = 0; y < picture.height(); ++y)
        if (picture.colorAt(2, y) == hl)
            bottom = y, top = top < 0 ? y : top;
    ASSERT_GE(top, 0) << "no highlighted row";
    EXPECT_EQ(lv->itemAt({2, top}), 1);
    EXPECT_EQ(lv->itemAt({100, bottom}), 1);
    EXPECT_EQ(lv->itemAt({2, top - 1}), 0);
    EXPECT_EQ(lv->itemAt({2, bottom + 1}), 2);
    EXPECT_EQ(lv->itemAt({2, 0}), -1);                                   // the header
    EXPECT_EQ(lv->itemAt({2, bottom + 2 * (bottom - top + 1) + 1}), -1); // past the last row
    EXPECT_EQ(lv->itemAt({-1, top}), -1);
}

TEST_F(HitTest, MenuItemsAreWhereTheirHighlightIsDrawn) {
    Menu menu;
    ASSERT_TRUE(menu.appendItem(mf::string, 1, L"コピー(&C)\tCtrl+C"));
    ASSERT_TRUE(menu.appendItem(mf::separator, 0, L""));
    ASSERT_TRUE(menu.appendItem(mf::string, 2, L"貼り付け(&V)"));
    ASSERT_TRUE(menu.appendItem(mf::string | mf::menuBreak, 3, L"a much longer third item"));
    ASSERT_TRUE(menu.appendItem(mf::string, 4, L"x"));
    Size total;
    const std::vector<Rect> rects = menu.layout(&dlg, total);
    ASSERT_EQ(rects.size(), 5u);
    const Bitmap plain = menu.render(&dlg);
    ASSERT_EQ(plain.width(), total.cx);
    ASSERT_EQ(plain.height(), total.cy);
    for (int i : {0, 2, 3, 4}) {
        SCOPED_TRACE(i);
        // Lighting item i changes pixels only inside its own rectangle, and fills it.
        const Bitmap lit = menu.render(&dlg, i);
        Rect changed{total.cx, total.cy, -1, -1};
        for (int y = 0; y < total.cy; ++y)
            for (int x = 0; x < total.cx; ++x)
                if (lit.pixel(x, y) != plain.pixel(x, y))
                    changed = {std::min(changed.left, x), std::min(changed.top, y),
                               std::max(changed.right, x + 1), std::max(changed.bottom, y + 1)};
        EXPECT_EQ(changed, rects[size_t(i)]);
    }
    // The break starts a second column to the right of the first.
    EXPECT_GE(rects[3].left, rects[0].right);
    EXPECT_EQ(rects[3].top, rects[0].top);
    EXPECT_EQ(rects[4].top, rects[3].bottom);
}

} // namespace

// Scrolling lists, list views and grids longer than their controls: where the bars and their
// parts lie, what a click, the wheel or a dragged thumb does, keys that keep the selection in
// view, the script's "@dialog scroll", and a long grid drawing only what its view shows.
#include "ui_test_util.h"

#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/scroll.h"

#include <gtest/gtest.h>

using namespace zhost::ui;
using uitest::ctl;

namespace {

class ScrollDialog : public Dialog {
public:
    ScrollDialog()
        : Dialog(DialogTemplate{
              920,
              L"Scrolling",
              Font{},
              Size{320, 240},
              {ctl(401, ControlKind::listBox, L"", Rect{5, 5, 80, 85}, ws::tabStop | ws::vscroll),
               ctl(402, ControlKind::listBox, L"", Rect{85, 5, 160, 85},
                   ws::tabStop | ws::hscroll | lbs::multiColumn),
               ctl(403, ControlKind::listView, L"", Rect{165, 5, 315, 85}, ws::tabStop),
               ctl(404, ControlKind::grid, L"", Rect{5, 90, 315, 200}, ws::tabStop),
               ctl(405, ControlKind::listBox, L"", Rect{5, 205, 80, 235}, ws::tabStop),
               ctl(idOk, ControlKind::button, L"OK", Rect{260, 220, 310, 234}, ws::tabStop)},
              false}) {}
    bool onInitDialog() override {
        for (int i = 0; i < 60; ++i) {
            controlAs<ListBox>(401)->addString(L"line " + std::to_wstring(i));
            controlAs<ListBox>(402)->addString(L"p" + std::to_wstring(i));
            controlAs<ListBox>(405)->addString(L"q" + std::to_wstring(i));
        }
        controlAs<ListBox>(402)->setColumnWidth(60);
        auto* lv = controlAs<ListView>(403);
        lv->insertColumn(0, L"名前", 150);
        lv->insertColumn(1, L"値", 150);
        for (int i = 0; i < 40; ++i)
            lv->setItemText(lv->insertItem(i, L"row " + std::to_wstring(i)), 1, L"v");
        Grid* g = grid(404);
        g->setMaxCols(8);
        g->setMaxRows(10000);
        g->setBool(grid::optScrollBarsAuto, true);
        for (int r = 1; r <= 10000; ++r)
            g->setData(1, r, std::to_wstring(r));
        return true;
    }
};

class Scrolling : public ::testing::Test {
protected:
    void SetUp() override {
        resetServices();
        ASSERT_TRUE(d.create());
    }
    ListBox& list() { return *d.controlAs<ListBox>(401); }
    Grid& grid() { return *d.grid(404); }
    // How many operations drawing the control takes.
    size_t PaintOps(Control& c) {
        Bitmap b(c.rect().width(), c.rect().height());
        DeviceContext dc(b);
        dc.setRecording(true);
        c.paint(dc);
        return dc.log().size();
    }
    ScrollDialog d;
};

} // namespace

TEST_F(Scrolling, AListLongerThanItsControlShowsABarWithTheThumbWhereTheListStands) {
    const ScrollInfo info = list().scrollInfo(true);
    const int page = list().rect().height() / list().itemHeight();
    EXPECT_TRUE(info.bar);
    EXPECT_EQ(info.page, page);
    EXPECT_EQ(info.total, 60);
    EXPECT_EQ(info.max, 60 - page);
    EXPECT_FALSE(list().scrollInfo(false).bar);
    const Rect bar = scrollBarRect(list(), true);
    EXPECT_EQ(bar.right, list().rect().width());
    EXPECT_EQ(bar.width(), kScrollBarSize);
    // Lines leave the bar's room; the thumb is as long as the page's share of the track.
    EXPECT_EQ(list().itemRect(0).right, bar.left);
    ScrollBarLayout l = scrollBarLayout(list(), true);
    EXPECT_EQ(l.thumb.top, l.track.top);
    EXPECT_NEAR(l.thumb.height(), l.track.height() * page / 60.0, 1.0);
    ASSERT_TRUE(list().scrollTo(true, info.max));
    l = scrollBarLayout(list(), true);
    EXPECT_EQ(l.thumb.bottom, l.track.bottom);
    EXPECT_FALSE(list().scrollTo(true, info.max + 5)) << "past the end is the end";
    // Without the scroll style there is no bar, but the list still scrolls to its selection.
    ListBox& plain = *d.controlAs<ListBox>(405);
    EXPECT_FALSE(plain.scrollInfo(true).bar);
    plain.setCurSel(40);
    EXPECT_GT(plain.topIndex(), 0);
    EXPECT_LE(plain.topIndex(), 40);
    EXPECT_GT(plain.topIndex() + plain.scrollInfo(true).page, 40);
}

TEST_F(Scrolling, ArrowsTrackThumbAndWheelMoveTheViewByTheirSteps) {
    ListBox& l = list();
    const int page = l.scrollInfo(true).page;
    ScrollBarLayout lay = scrollBarLayout(l, true);
    bool vertical = false;
    // Each part is found where it is drawn.
    const Point down{lay.forward.left + 3, lay.forward.top + 3};
    ASSERT_EQ(scrollBarHit(l, down, vertical), ScrollPart::lineForward);
    EXPECT_TRUE(vertical);
    EXPECT_EQ(scrollBarHit(l, {lay.back.left + 3, lay.back.top + 3}, vertical),
              ScrollPart::lineBack);
    EXPECT_EQ(scrollBarHit(l, {lay.thumb.left + 3, lay.thumb.top + 2}, vertical),
              ScrollPart::thumb);
    EXPECT_EQ(scrollBarHit(l, {lay.track.left + 3, lay.track.bottom - 2}, vertical),
              ScrollPart::pageForward);
    EXPECT_EQ(scrollBarHit(l, {2, 2}, vertical), ScrollPart::none);

    EXPECT_TRUE(userScroll(l, true, ScrollPart::lineForward));
    EXPECT_EQ(l.topIndex(), 1);
    EXPECT_TRUE(userScroll(l, true, ScrollPart::pageForward));
    EXPECT_EQ(l.topIndex(), 1 + page);
    EXPECT_TRUE(userScroll(l, true, ScrollPart::pageBack));
    EXPECT_TRUE(userScroll(l, true, ScrollPart::lineBack));
    EXPECT_EQ(l.topIndex(), 0);
    EXPECT_FALSE(userScroll(l, true, ScrollPart::lineBack)) << "nothing before the first line";
    EXPECT_TRUE(userScrollSteps(l, true, 3));
    EXPECT_EQ(l.topIndex(), 3);
    // The thumb dragged the whole free length of the track reaches the end; half way, the middle.
    lay = scrollBarLayout(l, true);
    const int free = lay.track.height() - lay.thumb.height();
    EXPECT_TRUE(userDragThumb(l, true, 0, free));
    EXPECT_EQ(l.topIndex(), l.scrollInfo(true).max);
    userDragThumb(l, true, 0, free / 2);
    EXPECT_NEAR(l.topIndex(), l.scrollInfo(true).max / 2.0, 1.0);
    userDragThumb(l, true, 0, -free * 3);
    EXPECT_EQ(l.topIndex(), 0);
    // Only the lines from the top on are drawn where they belong.
    l.scrollTo(true, 20);
    EXPECT_EQ(l.itemRect(20).top, 0);
    EXPECT_LT(l.itemRect(19).top, 0);
}

TEST_F(Scrolling, KeysKeepTheSelectedLineOrRowInView) {
    ListBox& l = list();
    const int page = l.scrollInfo(true).page;
    l.setFocus();
    l.setCurSel(0);
    for (int i = 0; i < page; ++i)
        d.pressKey(vk::down);
    EXPECT_EQ(l.curSel(), page);
    EXPECT_EQ(l.topIndex(), 1) << "the line below the last shown one scrolls into view";
    d.pressKey(vk::end);
    EXPECT_EQ(l.topIndex(), 60 - page);
    d.pressKey(vk::home);
    EXPECT_EQ(l.topIndex(), 0);
    d.pressKey(vk::next);
    EXPECT_EQ(l.curSel(), page - 1) << "page down goes to the last line shown";
    d.pressKey(vk::next);
    EXPECT_EQ(l.curSel(), 2 * page - 2);
    EXPECT_EQ(l.topIndex(), page - 1);

    auto& lv = *d.controlAs<ListView>(403);
    lv.setFocus();
    d.pressKey(vk::end);
    EXPECT_EQ(lv.selectedItem(), 39);
    const int rows = lv.scrollInfo(true).page;
    EXPECT_EQ(lv.topIndex(), 40 - rows);
    // The row at the first line under the header is the top one.
    EXPECT_EQ(lv.itemAt(Point{5, 19 + 2}), 40 - rows);

    Grid& g = grid();
    g.setFocus();
    g.setActiveCell(1, 1);
    const int gridPage = g.scrollInfo(true).page;
    for (int i = 0; i < gridPage; ++i)
        d.pressKey(vk::down);
    EXPECT_EQ(g.topRow(), 2);
    d.pressKey(vk::next);
    int col = 0, row = 0;
    g.activeCell(col, row);
    EXPECT_EQ(row, 1 + 2 * gridPage);
    EXPECT_GE(g.cellRect(1, row).top, g.viewRect().top);
    EXPECT_LE(g.cellRect(1, row).bottom, g.viewRect().bottom);
}

TEST_F(Scrolling, AMultiColumnListScrollsByColumns) {
    auto& l = *d.controlAs<ListBox>(402);
    const ScrollInfo info = l.scrollInfo(false);
    ASSERT_TRUE(info.bar);
    EXPECT_FALSE(l.scrollInfo(true).bar);
    const int perColumn = (l.rect().height() - kScrollBarSize) / l.itemHeight();
    EXPECT_EQ(info.total, (60 + perColumn - 1) / perColumn);
    // Lines fill the rows left above the bar.
    EXPECT_LE(l.itemRect(perColumn - 1).bottom, scrollBarRect(l, false).top);
    EXPECT_EQ(l.itemRect(perColumn).left, 60);
    l.setCurSel(59);
    EXPECT_EQ(l.firstColumn(), info.max);
    EXPECT_GE(l.itemRect(59).left, 0);
    EXPECT_LE(l.itemRect(59).right, l.rect().width());
    d.pressKey(vk::home);
}

TEST_F(Scrolling, AGridScrollsUnderItsHeadersAndFindsCellsWhereTheyAreShown) {
    Grid& g = grid();
    const Rect view = g.viewRect();
    EXPECT_TRUE(g.scrollInfo(true).bar);
    EXPECT_TRUE(g.scrollInfo(false).bar) << "8 columns of 64 pixels are wider than the view";
    EXPECT_EQ(view.top, g.rowHeightInPixels(0));
    EXPECT_EQ(view.left, g.colWidthInPixels(0));
    ASSERT_TRUE(g.scrollTo(true, 4999));
    EXPECT_EQ(g.topRow(), 5000);
    EXPECT_EQ(g.cellRect(1, 5000).top, view.top);
    EXPECT_LT(g.cellRect(1, 4999).bottom, view.top + 1);
    EXPECT_EQ(g.cellRect(1, 0).top, 0) << "the header row stays";
    int col = 0, row = 0;
    ASSERT_TRUE(g.cellAt(Point{view.left + 2, view.top + 2}, col, row));
    EXPECT_EQ(row, 5000);
    EXPECT_FALSE(g.cellAt(Point{view.left + 2, 2}, col, row)) << "the header is no cell";
    EXPECT_FALSE(g.cellAt(Point{view.right + 2, view.top + 2}, col, row)) << "nor is the bar";
    // Sideways by columns.
    ASSERT_TRUE(g.scrollTo(false, 1));
    EXPECT_EQ(g.leftCol(), 2);
    ASSERT_TRUE(g.cellAt(Point{view.left + 2, view.top + 2}, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(g.cellRect(1, 5000).right, view.left) << "column 1 is left of the view";
    // The end: the last row is wholly in view at the bottom.
    g.scrollTo(true, 1'000'000);
    EXPECT_EQ(g.topRow() - 1, g.scrollInfo(true).max);
    EXPECT_LE(g.cellRect(1, 10000).bottom, view.bottom);
    EXPECT_GT(g.cellRect(1, 10000).bottom + g.rowHeightInPixels(1), view.bottom);
    // Hidden rows are passed over.
    g.showRow(20, false);
    g.scrollTo(true, 19);
    EXPECT_EQ(g.topRow(), 21);
}

TEST_F(Scrolling, ALongGridDrawsOnlyWhatItsViewShows) {
    Grid& g = grid();
    const size_t atTop = PaintOps(g);
    g.scrollTo(true, 5000);
    const size_t inMiddle = PaintOps(g);
    g.scrollTo(true, 1'000'000);
    const size_t atEnd = PaintOps(g);
    // A view of some 10 rows of 8 columns: a few hundred operations, wherever it stands.
    EXPECT_LT(atTop, 600u);
    EXPECT_LT(inMiddle, atTop + 40);
    EXPECT_LT(atEnd, atTop + 40);
    g.setMaxRows(100);
    EXPECT_EQ(g.topRow() - 1, g.scrollInfo(true).max) << "a shortened sheet still fills the view";
    EXPECT_GT(PaintOps(g) + 40, atTop) << "a short sheet draws as much as a long one";
}

TEST_F(Scrolling, BarsFollowTheGridsOptionAndStyles) {
    Grid& g = grid();
    g.setMaxRows(3);
    g.setMaxCols(2);
    EXPECT_FALSE(g.scrollInfo(true).bar) << "only when needed";
    EXPECT_FALSE(g.scrollInfo(false).bar);
    g.setBool(grid::optScrollBarsAuto, false);
    EXPECT_FALSE(g.scrollInfo(true).bar) << "no scroll styles, no bars";
    g.modifyStyle(0, ws::vscroll);
    EXPECT_TRUE(g.scrollInfo(true).bar) << "the style shows the bar even with nothing to scroll";
    EXPECT_TRUE(scrollBarLayout(g, true).thumb.empty());
    EXPECT_FALSE(g.scrollTo(true, 1));
}

TEST_F(Scrolling, ScriptsScrollAndTheTranscriptTellsWhereTheViewStands) {
    std::wstring m;
    ASSERT_TRUE(runDialogDirective(d, L"scroll 401 down 5", m)) << m;
    EXPECT_EQ(list().topIndex(), 5);
    ASSERT_TRUE(runDialogDirective(d, L"scroll 401 pagedown", m)) << m;
    EXPECT_EQ(list().topIndex(), 5 + list().scrollInfo(true).page);
    ASSERT_TRUE(runDialogDirective(d, L"scroll 401 to 99", m)) << m;
    EXPECT_EQ(list().topIndex(), list().scrollInfo(true).max);
    ASSERT_TRUE(runDialogDirective(d, L"scroll 404 to 2,7000", m)) << m;
    EXPECT_EQ(grid().topRow(), 7000);
    EXPECT_EQ(grid().leftCol(), 2);
    ASSERT_TRUE(runDialogDirective(d, L"scroll 402 right 2", m)) << m;
    EXPECT_EQ(d.controlAs<ListBox>(402)->firstColumn(), 2);
    const std::wstring shown = d.describe();
    EXPECT_NE(shown.find(L"list 401 (60 lines, top " +
                         std::to_wstring(list().scrollInfo(true).max) + L")"),
              std::wstring::npos)
        << shown;
    EXPECT_NE(shown.find(L"list 402 (60 lines, first column 2)"), std::wstring::npos) << shown;
    EXPECT_NE(shown.find(L"view from 2,7000"), std::wstring::npos) << shown;

    EXPECT_FALSE(runDialogDirective(d, L"scroll ok down", m));
    EXPECT_NE(m.find(L"does not scroll"), std::wstring::npos) << m;
    EXPECT_FALSE(runDialogDirective(d, L"scroll 401 left", m));
    EXPECT_NE(m.find(L"sideways"), std::wstring::npos) << m;
    EXPECT_FALSE(runDialogDirective(d, L"scroll 401 down 0", m));
    EXPECT_FALSE(runDialogDirective(d, L"scroll 401 sideways", m));
}

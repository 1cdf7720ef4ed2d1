// Working an open popup menu: keys that pass over separators and greyed items, submenus opened
// and closed by keys, by a click or by the mouse resting on them, mnemonic letters, and the
// same from a script's "@dialog menu" lines.
#include "ui_test_util.h"

#include "zhost/ui/bitmap.h"
#include "zhost/ui/menu.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zhost::ui;
using State = MenuTracker::State;

namespace {

// Copy, ----, Paste (greyed), More > {Alpha, Beta, Cut (greyed)}, Zoom, &Copy all.
std::unique_ptr<Menu> SampleMenu() {
    return Menu::fromTemplate(
        {{1001, L"&Copy\tCtrl+C", 0, {}},
         {0, L"", mf::separator, {}},
         {1002, L"&Paste", mf::grayed, {}},
         {0,
          L"&More",
          mf::popup,
          {{1011, L"&Alpha", 0, {}}, {1012, L"&Beta", 0, {}}, {1013, L"C&ut", mf::grayed, {}}}},
         {1003, L"&Zoom", 0, {}},
         {1004, L"&Copy all", 0, {}}});
}

int Lit(const MenuTracker& t) {
    return t.levels().back().lit;
}

} // namespace

TEST(MenuKeys, UpAndDownPassOverSeparatorsAndGreyedItemsAndWrapRound) {
    auto menu = SampleMenu();
    MenuTracker t(*menu);
    EXPECT_EQ(Lit(t), -1);
    t.key(vk::down);
    EXPECT_EQ(Lit(t), 0);
    t.key(vk::down);
    EXPECT_EQ(Lit(t), 3) << "the separator and the greyed Paste are passed over";
    t.key(vk::down);
    t.key(vk::down);
    EXPECT_EQ(Lit(t), 5);
    t.key(vk::down);
    EXPECT_EQ(Lit(t), 0) << "wraps round";
    t.key(vk::up);
    EXPECT_EQ(Lit(t), 5);
    MenuTracker fromNothing(*menu);
    fromNothing.key(vk::up);
    EXPECT_EQ(Lit(fromNothing), 5) << "Up with nothing lit lights the last item";
    EXPECT_EQ(t.state(), State::open);
}

TEST(MenuKeys, RightOpensASubmenuLeftAndEscapeCloseItReturnChooses) {
    auto menu = SampleMenu();
    MenuTracker t(*menu);
    t.key(vk::right);
    EXPECT_EQ(t.levels().size(), 1u) << "Right on a command does nothing";
    t.key(vk::down);
    t.key(vk::down); // More
    t.key(vk::right);
    ASSERT_EQ(t.levels().size(), 2u);
    EXPECT_EQ(t.levels()[1].openedFrom, 3);
    EXPECT_EQ(Lit(t), 0) << "a submenu opened by a key lights its first item";
    EXPECT_EQ(t.litPath(), L"More > Alpha");
    t.key(vk::down);
    t.key(vk::down);
    EXPECT_EQ(Lit(t), 0) << "the greyed Cut is passed over";
    t.key(vk::left);
    ASSERT_EQ(t.levels().size(), 1u);
    EXPECT_EQ(Lit(t), 3) << "closing the submenu keeps its item lit";
    t.key(vk::left);
    EXPECT_EQ(t.state(), State::open) << "Left on the popup itself does nothing";
    t.key(vk::returnKey);
    ASSERT_EQ(t.levels().size(), 2u) << "Return opens a submenu too";
    t.key(vk::escape);
    EXPECT_EQ(t.levels().size(), 1u);
    EXPECT_EQ(t.state(), State::open);
    t.key(vk::down);
    t.key(vk::returnKey);
    EXPECT_EQ(t.state(), State::chosen);
    EXPECT_EQ(t.chosen(), 1003);
    MenuTracker esc(*menu);
    esc.key(vk::escape);
    EXPECT_EQ(esc.state(), State::dismissed);
}

TEST(MenuKeys, MnemonicLettersActOnTheirItemOrCycleThroughSeveral) {
    auto menu = SampleMenu();
    EXPECT_EQ(MenuTracker::mnemonic(L"C&ut"), L'U');
    EXPECT_EQ(MenuTracker::mnemonic(L"Fish && &Chips"), L'C');
    EXPECT_EQ(MenuTracker::mnemonic(L"No mnemonic"), 0);
    MenuTracker t(*menu);
    t.character(L'p');
    EXPECT_EQ(t.state(), State::open) << "the greyed Paste cannot be chosen by its letter";
    t.character(L'c');
    EXPECT_EQ(Lit(t), 0) << "two items share C: the letter lights the first";
    t.character(L'C');
    EXPECT_EQ(Lit(t), 5);
    t.character(L'c');
    EXPECT_EQ(Lit(t), 0);
    t.character(L'm');
    ASSERT_EQ(t.levels().size(), 2u) << "a single item's letter opens its submenu";
    t.character(L'b'); // letters go to the innermost menu
    EXPECT_EQ(t.state(), State::chosen);
    EXPECT_EQ(t.chosen(), 1012);
    MenuTracker z(*menu);
    z.character(L'z');
    EXPECT_EQ(z.chosen(), 1003);
}

TEST(MenuMouse, ASubmenuOpensWhenTheMouseRestsOrClicksAndClosesWhenItLeaves) {
    auto menu = SampleMenu();
    MenuTracker t(*menu);
    t.hover(0, 3);
    EXPECT_EQ(t.levels().size(), 1u) << "not before the mouse rests";
    t.hoverSettled();
    ASSERT_EQ(t.levels().size(), 2u);
    EXPECT_EQ(Lit(t), -1) << "opened by the mouse, nothing in it is lit";
    t.hover(1, 1);
    t.hoverSettled();
    EXPECT_EQ(t.levels().size(), 2u) << "moving into the submenu keeps it";
    EXPECT_EQ(t.litPath(), L"More > Beta");
    t.hover(0, 4);
    t.hoverSettled();
    EXPECT_EQ(t.levels().size(), 1u) << "resting on another item closes it";
    t.hover(0, 1);
    EXPECT_EQ(Lit(t), -1) << "a separator is not lit";
    t.click(0, 2);
    EXPECT_EQ(t.state(), State::open) << "a greyed item takes no click";
    t.click(0, 3);
    ASSERT_EQ(t.levels().size(), 2u) << "a click opens the submenu at once";
    t.click(1, 2);
    EXPECT_EQ(t.state(), State::open);
    t.click(1, 0);
    EXPECT_EQ(t.state(), State::chosen);
    EXPECT_EQ(t.chosen(), 1011);
}

TEST(MenuScript, KeysAndSubmenuItemsWorkFromScriptLines) {
    auto menu = SampleMenu();
    auto headless = makeHeadlessBackend();
    {
        uitest::Transcript out;
        uitest::ScriptInput in({L"@dialog menu key down", L"@dialog menu key m",
                                L"@dialog menu key down", L"@dialog menu key return"});
        EXPECT_EQ(headless->trackPopupMenu(*menu, {}, nullptr), 1012);
        EXPECT_TRUE(out.Has(L"    More >\n        1011: Alpha\n")) << out.text();
        EXPECT_TRUE(out.Has(L"        1013: Cut (disabled)\n")) << out.text();
        EXPECT_TRUE(out.Has(L"--- menu at: Copy\n")) << out.text();
        EXPECT_TRUE(out.Has(L"--- menu at: More > Alpha\n")) << out.text();
        EXPECT_TRUE(out.Has(L"--- menu: 1012\n")) << out.text();
    }
    {
        uitest::Transcript out;
        uitest::ScriptInput in({L"@dialog menu beta"});
        EXPECT_EQ(headless->trackPopupMenu(*menu, {}, nullptr), 1012)
            << "a submenu's item is chosen by its text";
    }
    {
        uitest::Transcript out;
        uitest::ScriptInput in({L"@dialog menu key escape"});
        EXPECT_EQ(headless->trackPopupMenu(*menu, {}, nullptr), 0);
        EXPECT_TRUE(out.Has(L"--- menu dismissed")) << out.text();
    }
}

TEST(MenuLooks, SubmenuItemsShowAnArrowGreyedItemsAreGreyAndSeparatorsAreThin) {
    resetServices();
    auto menu = SampleMenu();
    Size total;
    const std::vector<Rect> rects = menu->layout(nullptr, total);
    const Bitmap b = menu->render(nullptr, -1);
    ASSERT_EQ(b.width(), total.cx);
    EXPECT_LT(rects[1].height(), rects[0].height() / 2) << "a separator is a thin line";
    // The darkest pixel of a part of the picture (0 black, 765 white).
    auto darkest = [&](const Rect& r) {
        int least = 765;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const std::uint32_t p = b.pixel(x, y);
                least = std::min(least, int((p >> 16 & 255) + (p >> 8 & 255) + (p & 255)));
            }
        return least;
    };
    auto arrowOf = [](const Rect& r) { return Rect{r.right - 16, r.top, r.right, r.bottom}; };
    EXPECT_LT(darkest(arrowOf(rects[3])), 300) << "More opens a submenu: an arrow";
    EXPECT_GT(darkest(arrowOf(rects[4])), 600) << "Zoom does not";
    const int copy = darkest(rects[0]), paste = darkest(rects[2]);
    EXPECT_LT(copy, 200);
    EXPECT_GT(paste, copy + 150) << "the greyed Paste is drawn grey";
}

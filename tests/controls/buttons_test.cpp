// The owner-drawn buttons and the picture menu: theme state tables, placeholder replacement,
// mouse behaviour, drawing and menu building.
#include "../ui/ui_test_util.h"

#include "controls/BtnArw.h"
#include "controls/LunaBtn.h"
#include "controls/MyPopMenu.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/ui/device_context.h"

#include <gtest/gtest.h>

using namespace zhost::ui;
using uitest::ctl;

namespace {

// The state tables as a user reads them: for each combination, what the button looks like.
// Independent of the implementation's branch order, they are written as full tables.
int ExpectedPlain(bool dis, bool sel, bool pressedOrSet, bool hover) {
    if (dis)
        return 4;
    if (sel || pressedOrSet)
        return 3;
    return hover ? 2 : 1;
}
int ExpectedStateful(bool dis, bool sel, bool pressedOrSet, bool hover) {
    // disabled: 4 unless selected or pressed (then 8); selected wins over pressed.
    static const int table[2][2][2][2] = {
        // dis=0: sel=0: pressed=0 {hover0, hover1}, pressed=1 {...}; sel=1: ...
        {{{1, 2}, {5, 2}}, {{5, 5}, {5, 5}}},
        {{{4, 4}, {8, 8}}, {{8, 8}, {8, 8}}},
    };
    return table[dis][sel][pressedOrSet][hover];
}

DialogTemplate buttonTemplate() {
    DialogTemplate t;
    t.resourceId = 220;
    t.title = L"ボタン";
    t.size = {200, 100};
    t.controls = {
        ctl(1000, ControlKind::edit, L"", Rect{5, 5, 50, 15}, ws::tabStop),
        ctl(1001, ControlKind::button, L"六角", Rect{5, 20, 60, 70},
            ws::tabStop | bs::autoRadioButton),
        ctl(1002, ControlKind::button, L"押し", Rect{65, 20, 120, 70}, ws::tabStop),
        ctl(1003, ControlKind::button, L"チェック", Rect{125, 20, 180, 70},
            ws::tabStop | bs::autoCheckBox),
        ctl(idOk, ControlKind::button, L"OK", Rect{60, 80, 110, 94}, ws::tabStop),
    };
    return t;
}

class ButtonDialog : public Dialog {
public:
    ButtonDialog() : Dialog(buttonTemplate()) {
        for (int id : {1001, 1002, 1003})
            onCommand(id, bn::clicked, [this, id] { clicks.push_back(id); });
    }
    std::vector<int> clicks;
};

std::wstring drawLog(Control* c) {
    Bitmap bmp(c->rect().width(), c->rect().height());
    DeviceContext dc(bmp);
    dc.setRecording(true);
    c->paint(dc);
    std::wstring all;
    for (const auto& l : dc.log())
        all += l + L"\n";
    return all;
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetServices();
        CBtnArw::Theme().ResetForTests();
        CLunaBtn::Theme().ResetForTests();
        ASSERT_TRUE(dlg.create());
    }
    void TearDown() override { setPreviewRenderer({}); }
    ButtonDialog dlg;
};

} // namespace

TEST(ButtonStates, PictureButtonTableForEveryCombination) {
    for (int bits = 0; bits < 32; ++bits) {
        const bool stateful = bits & 16, dis = bits & 8, sel = bits & 4, pressed = bits & 2,
                   hover = bits & 1;
        const int expected = stateful ? ExpectedStateful(dis, sel, pressed, hover)
                                      : ExpectedPlain(dis, sel, pressed, hover);
        EXPECT_EQ(CBtnArw::ThemeState(stateful, dis, sel, pressed, hover), expected)
            << "stateful " << stateful << " disabled " << dis << " selected " << sel << " pressed "
            << pressed << " hover " << hover;
    }
}

TEST(ButtonStates, LunaButtonTableForEveryCombination) {
    for (int bits = 0; bits < 32; ++bits) {
        const bool toggle = bits & 16, dis = bits & 8, sel = bits & 4, set = bits & 2,
                   hover = bits & 1;
        const int expected =
            toggle ? ExpectedStateful(dis, sel, set, hover) : ExpectedPlain(dis, sel, set, hover);
        EXPECT_EQ(CLunaBtn::ThemeState(toggle, dis, sel, set, hover), expected) << bits;
    }
}

TEST(ButtonStates, UndocumentedStateEightIsDrawnAsDisabled) {
    EXPECT_EQ(DrawableThemeState(8), theme::stateDisabled);
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(DrawableThemeState(s), s);
}

TEST_F(ButtonTest, ReplacementKeepsPlaceTextTabOrderAndStyles) {
    dlg.control(1002)->enable(false);
    const Rect r = dlg.control(1002)->rect();
    CBtnArw arw;
    arw.SetUp(&dlg, 1002, L"");
    ASSERT_TRUE(arw.Replace());
    Button* b = dlg.controlAs<Button>(1002);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->isOwnerDraw());
    EXPECT_EQ(b->rect(), r);
    EXPECT_EQ(b->text(), L"押し");
    EXPECT_FALSE(b->isEnabled()); // taken over from the placeholder
    EXPECT_TRUE(b->isTabStop());
    EXPECT_EQ(dlg.previousSibling(b)->id(), 1001);
    EXPECT_FALSE(arw.IsStateful()); // a push button
    CBtnArw radio;
    radio.SetUp(&dlg, 1001, L"");
    ASSERT_TRUE(radio.Replace());
    EXPECT_TRUE(radio.IsStateful()); // style & 9
    EXPECT_EQ(dlg.previousSibling(dlg.control(1001))->id(), 1000);
    CBtnArw none;
    none.SetUp(&dlg, 0, L"");
    EXPECT_FALSE(none.Replace());
}

TEST_F(ButtonTest, LunaButtonCheckStyleComesFromThePlaceholderAndFlipsOnPress) {
    CLunaBtn check;
    check.SetUp(&dlg, 1003, IDB_CHECK_ON, 0);
    ASSERT_TRUE(check.Replace());
    EXPECT_TRUE(check.IsCheckStyle());
    dlg.controlAs<Button>(1003)->click();
    EXPECT_TRUE(check.GetState());
    dlg.controlAs<Button>(1003)->click();
    EXPECT_FALSE(check.GetState());
    CLunaBtn toggle;
    toggle.SetUp(&dlg, 1002, 0, 0);
    ASSERT_TRUE(toggle.Replace(1));
    EXPECT_TRUE(toggle.IsToggle());
    dlg.controlAs<Button>(1002)->click();
    dlg.controlAs<Button>(1002)->click();
    EXPECT_TRUE(toggle.GetState()); // a toggle only sets
}

TEST_F(ButtonTest, DoubleClickCountsAsTwoClicks) {
    CBtnArw arw;
    arw.SetUp(&dlg, 1002, L"");
    ASSERT_TRUE(arw.Replace());
    dlg.controlAs<Button>(1002)->doubleClick();
    EXPECT_EQ(dlg.clicks, (std::vector<int>{1002, 1002}));
}

TEST_F(ButtonTest, PlainOwnerDrawnButtonsReportDoubleClicksInstead) {
    CBtnArw arw;
    arw.SetUp(&dlg, 1002, L"");
    ASSERT_TRUE(arw.Replace());
    dlg.control(1002)->setWindowHook({}); // the window without the class's handling
    dlg.controlAs<Button>(1002)->doubleClick();
    EXPECT_EQ(dlg.clicks, (std::vector<int>{1002}));
}

TEST_F(ButtonTest, HoverAndLeaveFollowTheMouseWhenThemed) {
    CBtnArw arw;
    arw.SetUp(&dlg, 1002, L"");
    ASSERT_TRUE(arw.Replace());
    dlg.mouseOver(dlg.control(1002));
    EXPECT_TRUE(arw.IsHover());
    EXPECT_NE(drawLog(dlg.control(1002)).find(L"theme 1 2"), std::wstring::npos);
    dlg.mouseOver(nullptr);
    EXPECT_FALSE(arw.IsHover());
    EXPECT_NE(drawLog(dlg.control(1002)).find(L"theme 1 1"), std::wstring::npos);
}

TEST_F(ButtonTest, NoThemeMeansNoHoverAndClassicFrames) {
    setThemeActive(false);
    CBtnArw arw;
    arw.SetUp(&dlg, 1002, L"");
    ASSERT_TRUE(arw.Replace());
    dlg.mouseOver(dlg.control(1002));
    EXPECT_FALSE(arw.IsHover());
    arw.SetPressed(true);
    EXPECT_NE(drawLog(dlg.control(1002)).find(L"buttonframe pushed"), std::wstring::npos);
    setThemeActive(true); // the answer was kept: still no theme for this class
    EXPECT_EQ(drawLog(dlg.control(1002)).find(L"theme "), std::wstring::npos);
}

TEST_F(ButtonTest, PictureButtonDrawsThePreviewAboveItsCaption) {
    std::vector<std::wstring> asked;
    setPreviewRenderer([&](std::wstring_view file, Bitmap& into, int mode, int flags) {
        asked.push_back(std::wstring(file) + L" " + std::to_wstring(mode) + L" " +
                        std::to_wstring(flags));
        for (int y = 0; y < into.height(); ++y)
            for (int x = 0; x < into.width(); ++x)
                into.setPixel(x, y, 0xFFFF0000); // red
        return true;
    });
    CBtnArw arw;
    arw.SetUp(&dlg, 1001, L"/lib/B1180_1.dwg");
    ASSERT_TRUE(arw.Replace());
    arw.SetPressed(true);
    dlg.control(1001)->enable(false);
    const std::wstring log = drawLog(dlg.control(1001));
    ASSERT_EQ(asked, std::vector<std::wstring>{L"/lib/B1180_1.dwg 2 15"});
    EXPECT_NE(log.find(L"theme 1 4"), std::wstring::npos) << zhost::toUtf8(log); // state 8 drawn
    EXPECT_NE(log.find(L"text \"六角\" 6D6D6D"), std::wstring::npos) << zhost::toUtf8(log);
    const Bitmap shot = dlg.render();
    const Rect r = dlg.control(1001)->rect().offset(3, 26);
    EXPECT_EQ(shot.colorAt((r.left + r.right) / 2, r.top + 10), rgb(255, 0, 0));
}

TEST_F(ButtonTest, LunaBitmapIsCopiedWithWhiteTransparentOrLeftToTheOwner) {
    CLunaBtn luna;
    luna.SetUp(&dlg, 1002, IDB_RADIO_ON_L, 1);
    ASSERT_TRUE(luna.Replace());
    std::wstring log = drawLog(dlg.control(1002));
    EXPECT_NE(log.find(L"bitmap 32x32"), std::wstring::npos) << zhost::toUtf8(log);
    EXPECT_NE(log.find(L"stretched transparent FFFFFF"), std::wstring::npos);
    int calls = 0;
    luna.m_pfnDraw = [&](DrawItem&, CLunaBtn* p, DeviceContext* dc) {
        ++calls;
        EXPECT_EQ(p, &luna);
        EXPECT_NE(dc, nullptr);
    };
    log = drawLog(dlg.control(1002));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(log.find(L"bitmap"), std::wstring::npos);
    EXPECT_FALSE(luna.SetBitmap(99999));
}

TEST(CheckPictures, EverySizeAndStateExistsWithAWhiteBackground) {
    const auto& res = ZormaResources();
    for (int id = 951; id <= 958; ++id) {
        const Bitmap* b = res.bitmap(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->width(), id <= 954 ? 16 : 32);
        EXPECT_EQ(b->colorAt(0, 0), rgb(255, 255, 255));
        ASSERT_NE(res.bitmap(id + 10), nullptr) << id + 10;
        EXPECT_NE(*b, *res.bitmap(id + 10)); // the disabled look differs
    }
    // A set box differs from an unset one in its middle.
    const Bitmap* off = res.bitmap(IDB_CHECK_OFF_L);
    const Bitmap* on = res.bitmap(IDB_CHECK_ON_L);
    EXPECT_NE(off->colorAt(14, 17), on->colorAt(14, 17));
    EXPECT_EQ(LoadZormaString(IDS_GRID_COPY), L"コピー(&C)\tCTRL+C");
}

TEST(PictureMenu, ItemsComeFromMenu419WithTheirTextsAndIds) {
    CMyPopMenu menu;
    ASSERT_TRUE(menu.AppendItem(3001, IDB_RADIO_ON, mf::ownerDraw));
    ASSERT_TRUE(menu.AppendItem(0, IDB_RADIO_OFF, mf::ownerDraw));
    Menu* sub = menu.GetSubMenu();
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->itemCount(), 2); // the placeholder is gone
    EXPECT_EQ(sub->item(0)->text, L"Item0");
    EXPECT_EQ(sub->item(1)->id, 421); // 420 plus the index
    menu.Release();
    EXPECT_EQ(menu.GetSubMenu(), nullptr);
    EXPECT_EQ(menu.GetItemCount(), 0);
}

TEST(PictureMenu, MenuBreaksMakeColumns) {
    CMyPopMenu menu;
    for (int k = 0; k < 5; ++k)
        menu.AppendItem(3001 + k, 0, mf::ownerDraw | (k > 0 && k % 3 == 0 ? mf::menuBreak : 0));
    auto cols = menu.GetSubMenu()->columns();
    ASSERT_EQ(cols.size(), 2u);
    EXPECT_EQ(cols[0].size(), 3u);
    EXPECT_EQ(cols[1].size(), 2u);
    CMyPopMenu eight;
    for (int k = 0; k < 8; ++k)
        eight.AppendItem(3001 + k, 0, mf::ownerDraw | (k > 0 && k % 4 == 0 ? mf::menuBreak : 0));
    cols = eight.GetSubMenu()->columns();
    ASSERT_EQ(cols.size(), 2u);
    EXPECT_EQ(cols[1].size(), 4u);
}

TEST(PictureMenu, AtMostFiftyItems) {
    CMyPopMenu menu;
    for (int k = 0; k < CMyPopMenu::kMaxItems; ++k)
        ASSERT_TRUE(menu.AppendItem(0, 0, 0));
    EXPECT_FALSE(menu.AppendItem(0, 0, 0));
    EXPECT_EQ(menu.GetItemCount(), 50);
}

TEST(PictureMenu, DrawsOnlyItsOwnItemsOrLeavesThemToTheRoutine) {
    CMyPopMenu menu;
    menu.AppendItem(3001, IDB_CHECK_ON, mf::ownerDraw);
    Bitmap target(40, 40);
    DeviceContext dc(target);
    dc.setRecording(true);
    DrawItem item;
    item.dc = &dc;
    item.rect = {0, 0, 40, 40};
    item.itemId = 9999;
    menu.DrawItem(item);
    EXPECT_TRUE(dc.log().empty());
    item.itemId = 3001;
    item.state = ods::selected;
    menu.DrawItem(item);
    ASSERT_FALSE(dc.log().empty());
    EXPECT_EQ(target.colorAt(1, 1), sysColor(SysColor::highlight));
    int routineCalls = 0;
    menu.m_pfnDraw = [&](DrawItem&, CMyPopMenu*, int count) {
        ++routineCalls;
        EXPECT_EQ(count, 1);
    };
    menu.DrawItem(item);
    EXPECT_EQ(routineCalls, 1);
}

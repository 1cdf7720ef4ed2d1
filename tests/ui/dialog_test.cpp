// Dialogs: controls from templates, message routing, keys and focus, timers, resizing,
// placeholders, dialog data and the list controls.
#include "ui_test_util.h"

#include "zhost/ui/lists.h"
#include "zhost/ui/resources.h"

#include <gtest/gtest.h>

using namespace zhost::ui;
using uitest::ctl;

namespace {

DialogTemplate sampleTemplate() {
    DialogTemplate t;
    t.resourceId = 218;
    t.title = L"画層ダイアログ";
    t.size = {200, 120};
    t.controls = {
        ctl(215, ControlKind::edit, L"", Rect{10, 10, 100, 22}, ws::tabStop),
        ctl(202, ControlKind::button, L"絶対尺度(S):", Rect{10, 30, 100, 40},
            ws::tabStop | bs::autoCheckBox),
        ctl(300, ControlKind::button, L"hidden", Rect{10, 45, 100, 55}, ws::tabStop),
        ctl(301, ControlKind::button, L"A", Rect{10, 60, 60, 70},
            ws::tabStop | ws::group | bs::autoRadioButton),
        ctl(302, ControlKind::button, L"B", Rect{70, 60, 120, 70}, bs::autoRadioButton),
        ctl(idOk, ControlKind::button, L"画層作成", Rect{40, 95, 90, 110},
            ws::tabStop | bs::defPushButton),
        ctl(idCancel, ControlKind::button, L"キャンセル", Rect{100, 95, 150, 110}, ws::tabStop),
    };
    t.controls[2].style &= ~ws::visible;
    return t;
}

class SampleDialog : public Dialog {
public:
    SampleDialog() : Dialog(sampleTemplate()) {}
    bool preTranslateKey(int key, KeyState) override {
        if (key == vk::f2) {
            ++swallowed;
            return true;
        }
        return false;
    }
    void onTimer(unsigned id) override { timerHits.push_back(id); }
    int swallowed = 0;
    std::vector<unsigned> timerHits;
};

} // namespace

TEST(Dialog, TemplateControlsAreMappedFromDialogUnits) {
    SampleDialog d;
    ASSERT_TRUE(d.create());
    Control* e = d.control(215);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind(), ControlKind::edit);
    const Size b = d.dialogBaseUnits();
    EXPECT_EQ(e->rect().left, (10 * b.cx + 2) / 4);
    EXPECT_EQ(e->rect().bottom, (22 * b.cy + 4) / 8);
    EXPECT_EQ(d.title(), L"画層ダイアログ");
    EXPECT_EQ(d.focus(), e); // the first tab stop
}

TEST(Dialog, OkAndCancelEndTheDialogThroughTheirCommands) {
    SampleDialog d;
    d.create();
    d.controlAs<Button>(idCancel)->click();
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(d.endCode(), idCancel);
}

TEST(Dialog, HandlersByIdAndCodeTakeCommandsBeforeTheDefaults) {
    SampleDialog d;
    int okPresses = 0;
    d.onCommand(idOk, bn::clicked, [&] { ++okPresses; });
    d.create();
    d.pressKey(vk::returnKey); // Return presses the default button
    EXPECT_EQ(okPresses, 1);
    EXPECT_FALSE(d.ended());
    d.pressKey(vk::escape);
    EXPECT_EQ(d.endCode(), idCancel);
}

TEST(Dialog, PostedMessagesRunAfterTheCurrentOne) {
    SampleDialog d;
    std::vector<int> order;
    d.onMessage(wm::user + 1, [&](std::uintptr_t, std::intptr_t) -> std::intptr_t {
        order.push_back(1);
        d.postMessage(wm::user + 2);
        order.push_back(2);
        return 0;
    });
    d.onMessage(wm::user + 2, [&](std::uintptr_t, std::intptr_t) -> std::intptr_t {
        order.push_back(3);
        return 0;
    });
    d.create();
    d.sendMessage(wm::user + 1);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    d.processPostedMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(Dialog, TabSkipsHiddenAndDisabledControlsAndWraps) {
    SampleDialog d;
    d.create();
    d.control(202)->enable(false);
    d.setFocus(d.control(215));
    d.pressKey(vk::tab);
    EXPECT_EQ(d.focus()->id(), 301); // 202 disabled, 300 hidden
    d.pressKey(vk::tab);
    EXPECT_EQ(d.focus()->id(), idOk); // 302 is no tab stop
    d.pressKey(vk::tab);
    d.pressKey(vk::tab);
    EXPECT_EQ(d.focus()->id(), 215);
    d.pressKey(vk::tab, KeyState{true, false});
    EXPECT_EQ(d.focus()->id(), idCancel);
}

TEST(Dialog, PreTranslateKeySwallowsKeys) {
    SampleDialog d;
    d.create();
    d.pressKey(vk::f2);
    EXPECT_EQ(d.swallowed, 1);
}

TEST(Dialog, AutomaticRadiosUncheckTheirGroup) {
    SampleDialog d;
    d.create();
    d.controlAs<Button>(301)->click();
    d.controlAs<Button>(302)->click();
    EXPECT_EQ(d.controlAs<Button>(301)->check(), 0);
    EXPECT_EQ(d.controlAs<Button>(302)->check(), 1);
    d.controlAs<Button>(202)->click();
    EXPECT_EQ(d.controlAs<Button>(202)->check(), 1);
}

TEST(Dialog, TimersFireWhenTheHostClockAdvancesAndStopWithTheDialog) {
    zhost::ed::hostClock().reset();
    {
        SampleDialog d;
        d.create();
        ASSERT_TRUE(d.setTimer(1678, 500));
        zhost::ed::hostClock().advance(1200);
        EXPECT_EQ(d.timerHits, (std::vector<unsigned>{1678, 1678}));
        d.killTimer(1678);
        zhost::ed::hostClock().advance(1000);
        EXPECT_EQ(d.timerHits.size(), 2u);
        d.setTimer(7, 100);
        d.destroy();
    }
    zhost::ed::hostClock().advance(1000); // a destroyed dialog's timer must not fire
    SUCCEED();
}

TEST(Dialog, AnchorsMoveAndStretchControlsByPercentages) {
    SampleDialog d;
    d.create();
    d.setMinTrackSize({320, 200});
    const Rect okBefore = d.control(idOk)->rect();
    const Rect editBefore = d.control(215)->rect();
    d.addAnchor(idOk, 100, 100, 0, 0);
    d.addAnchor(215, 0, 0, 50, 0);
    const Rect w = d.windowRect();
    d.userResize(w.width() + 100, w.height() + 40);
    EXPECT_EQ(d.control(idOk)->rect(), okBefore.offset(100, 40));
    EXPECT_EQ(d.control(215)->rect().width(), editBefore.width() + 50);
    d.userResize(10, 10); // not below the minimum track size
    EXPECT_EQ(d.windowRect().width(), 320);
    EXPECT_EQ(d.windowRect().height(), 200);
}

TEST(Dialog, ResizableDialogsAnswerTheSizeGripAsBottomRight) {
    DialogTemplate t = sampleTemplate();
    t.resizable = true;
    Dialog d(t);
    d.create();
    const Rect c = d.clientRect();
    EXPECT_EQ(d.onHitTest({c.right - 3, c.bottom - 3}), ht::bottomRight);
    EXPECT_EQ(d.onHitTest({c.right - 30, c.bottom - 3}), ht::client);
}

TEST(Dialog, PlaceholderReplacementKeepsTheTabOrder) {
    SampleDialog d;
    d.create();
    Control* before = d.previousSibling(d.control(202));
    ASSERT_EQ(before->id(), 215);
    const Rect r = d.control(202)->rect();
    ASSERT_TRUE(d.destroyControl(202));
    Control* fresh = d.createControl(ControlKind::button, 202, L"x",
                                     ws::child | ws::visible | ws::tabStop | bs::ownerDraw, r);
    ASSERT_NE(fresh, nullptr);
    d.placeAfter(fresh, before);
    EXPECT_EQ(d.previousSibling(fresh), before);
    d.setFocus(d.control(215));
    d.pressKey(vk::tab);
    EXPECT_EQ(d.focus(), fresh);
    EXPECT_EQ(d.createControl(ControlKind::edit, 215, L"", 0, r), nullptr); // id in use
}

TEST(Dialog, DialogDataAndPlacementSurviveADialog) {
    uitest::UserFolder folder;
    {
        SampleDialog d;
        d.setDialogName(L"ZORMA_CONT_PartsSel");
        d.create();
        d.setPosition(40, 50);
        EXPECT_TRUE(d.setDialogData(L"Mask", L"B11"));
        EXPECT_TRUE(d.setDialogData(L"SelType", 3));
        EXPECT_TRUE(d.storePlacement());
        d.destroy();
    }
    SampleDialog d;
    d.setDialogName(L"ZORMA_CONT_PartsSel");
    d.create();
    std::wstring mask;
    int sel = 0;
    zhost::settings::WindowPlacement p;
    EXPECT_TRUE(d.getDialogData(L"Mask", mask));
    EXPECT_EQ(mask, L"B11");
    EXPECT_TRUE(d.getDialogData(L"SelType", sel));
    EXPECT_EQ(sel, 3);
    ASSERT_TRUE(d.storedPlacement(p));
    EXPECT_EQ(p.x, 40);
    EXPECT_EQ(p.y, 50);
}

TEST(Dialog, KeepOnScreenMovesAWindowBackIntoTheWorkArea) {
    resetServices();
    SampleDialog d;
    d.create();
    d.setPosition(1900, -20);
    keepOnScreen(d);
    EXPECT_EQ(d.windowRect().right, screenRect().right);
    EXPECT_EQ(d.windowRect().top, 0);
}

TEST(Dialog, MessageBoxesAreEchoedAndAnswerOk) {
    resetServices();
    uitest::Transcript t;
    EXPECT_EQ(messageBox(nullptr, L"画層名が不正です", L"画層ダイアログ"), idOk);
    EXPECT_NE(t.text().find(L"[画層ダイアログ] 画層名が不正です"), std::wstring::npos);
    EXPECT_EQ(messageBoxLog().back(), L"画層名が不正です");
}

TEST(Dialog, ResourceScopesAreCountedAndRestored) {
    ResourceModule mine(L"test");
    const int before = resourceSwitchCount();
    {
        ResourceScope scope(mine);
        EXPECT_EQ(&currentResources(), &mine);
    }
    EXPECT_EQ(&currentResources(), &hostResources());
    EXPECT_EQ(resourceSwitchCount(), before + 2);
}

TEST(ListControls, SortedListsPutPunctuationBeforeDigitsBeforeLetters) {
    SampleDialog d;
    d.create();
    auto* lb = static_cast<ListBox*>(d.createControl(
        ControlKind::listBox, 208, L"", ws::child | ws::visible | lbs::sort, Rect{0, 0, 100, 100}));
    for (const wchar_t* s : {L"WALL", L"0", L"<新規画層>", L"defpoints", L"Bolt"})
        lb->addString(s);
    std::vector<std::wstring> got;
    for (int i = 0; i < lb->count(); ++i)
        got.push_back(lb->itemText(i));
    EXPECT_EQ(got,
              (std::vector<std::wstring>{L"<新規画層>", L"0", L"Bolt", L"defpoints", L"WALL"}));
    EXPECT_EQ(lb->findString(-1, L"de"), 3);
    EXPECT_EQ(lb->findStringExact(-1, L"wall"), 4);
    EXPECT_EQ(lb->findStringExact(-1, L"WAL"), lbErr);
    EXPECT_EQ(lb->setCurSel(9), lbErr);
    EXPECT_EQ(lb->curSel(), lbErr);
}

TEST(ListControls, MultiColumnListsFillColumnsTopToBottom) {
    SampleDialog d;
    d.create();
    auto* lb = static_cast<ListBox*>(d.createControl(
        ControlKind::listBox, 1022, L"",
        ws::child | ws::visible | lbs::multiColumn | lbs::ownerDrawFixed, Rect{0, 0, 300, 100}));
    lb->setItemHeight(40);
    lb->setColumnWidth(90);
    EXPECT_EQ(lb->itemRect(0), Rect::fromSize(0, 0, 90, 40));
    EXPECT_EQ(lb->itemRect(1), Rect::fromSize(0, 40, 90, 40));
    EXPECT_EQ(lb->itemRect(2), Rect::fromSize(90, 0, 90, 40)); // two lines fit per column
}

TEST(ListControls, ComboPrefixSelectAndItemData) {
    SampleDialog d;
    d.create();
    auto* cb = static_cast<ComboBox*>(d.createControl(ControlKind::comboBox, 208, L"",
                                                      ws::child | ws::visible | cbs::dropDownList,
                                                      Rect{0, 0, 100, 20}));
    cb->addString(L"BOLT");
    cb->setItemData(cb->addString(L"HIDDEN"), 42);
    EXPECT_EQ(cb->selectString(-1, L"hid"), 1);
    EXPECT_EQ(cb->windowText(), L"HIDDEN");
    EXPECT_EQ(cb->itemData(1), 42u);
    cb->deleteString(1);
    EXPECT_EQ(cb->curSel(), lbErr);
}

TEST(ListControls, PropertyCombosKnowTheirValues) {
    SampleDialog d;
    d.create();
    auto* color = static_cast<ColorComboBox*>(
        d.createControl(ControlKind::colorCombo, 207, L"", ws::child | ws::visible, Rect{}));
    EXPECT_EQ(color->lbText(0), L"ByLayer");
    EXPECT_EQ(color->itemData(0), 256u);
    color->setCurrentColorIndex(1);
    EXPECT_EQ(color->windowText(), L"Red");
    EXPECT_EQ(color->count(), 257); // by layer, by block and every index 1..255
    color->setCurrentColorIndex(30);
    EXPECT_EQ(color->currentColorIndex(), 30);
    EXPECT_EQ(color->windowText(), L"Color 30");
    color->setCurrentColorIndex(255);
    EXPECT_EQ(color->windowText(), L"Color 255");
    color->setCurrentColorIndex(300);
    EXPECT_EQ(color->currentColorIndex(), -1);
    color->deleteString(0); // a box without "ByLayer" cannot show it
    color->setCurrentColorIndex(256);
    EXPECT_EQ(color->currentColorIndex(), -1);
    EXPECT_EQ(color->count(), 256);
    auto* lw = static_cast<LineweightComboBox*>(
        d.createControl(ControlKind::lineweightCombo, 213, L"", ws::child | ws::visible, Rect{}));
    lw->setCurrentLineweight(25);
    EXPECT_EQ(lw->windowText(), L"0.25 mm");
    EXPECT_EQ(lw->currentLineweight(), 25);
    lw->setCurrentLineweight(-2);
    EXPECT_EQ(lw->windowText(), L"ByBlock");
}

TEST(ListControls, UpDownTellsTheDialogWhichMayRefuse) {
    SampleDialog d;
    d.create();
    auto* ud = static_cast<UpDownControl*>(
        d.createControl(ControlKind::upDown, 217, L"", ws::child | ws::visible, Rect{}));
    std::vector<int> deltas;
    bool refuse = false;
    d.onNotify(217, udn::deltaPos, [&](NotifyHeader& h) -> std::intptr_t {
        deltas.push_back(reinterpret_cast<UpDownNotify&>(h).delta);
        return refuse ? 1 : 0;
    });
    ud->setPos(50);
    EXPECT_TRUE(ud->spin(true)); // the default range runs downwards: up is negative
    EXPECT_EQ(ud->pos(), 49);
    refuse = true;
    EXPECT_FALSE(ud->spin(false));
    EXPECT_EQ(ud->pos(), 49);
    EXPECT_EQ(deltas, (std::vector<int>{-1, 1}));
}

// Typing into combo boxes: the edit part of drop-down and simple boxes, what the list does with
// the typed text, the notifications a dialog sees, and the script's "@dialog text" on a combo.
#include "ui_test_util.h"

#include "zhost/ui/lists.h"

#include <gtest/gtest.h>

using namespace zhost::ui;
using uitest::ctl;

namespace {

class ComboDialog : public Dialog {
public:
    ComboDialog()
        : Dialog(DialogTemplate{910,
                                L"Combos",
                                Font{},
                                Size{200, 140},
                                {ctl(301, ControlKind::comboBox, L"", Rect{5, 5, 100, 80},
                                     ws::tabStop | cbs::dropDown),
                                 ctl(302, ControlKind::comboBox, L"", Rect{105, 5, 195, 100},
                                     ws::tabStop | cbs::simple),
                                 ctl(303, ControlKind::comboBox, L"", Rect{5, 100, 100, 130},
                                     ws::tabStop | cbs::dropDownList)},
                                false}) {
        for (int id : {301, 302, 303}) {
            for (int code : {cbn::editUpdate, cbn::editChange, cbn::selChange})
                onCommand(id, code, [this, id, code] { seen.push_back({id, code}); });
        }
    }
    bool onInitDialog() override {
        for (int id : {301, 302, 303})
            for (const wchar_t* s : {L"M10", L"M12", L"M16", L"M20", L"M24", L"M30", L"M36", L"M42",
                                     L"M48", L"M56", L"M64", L"M72"})
                controlAs<ComboBox>(id)->addString(s);
        return true;
    }
    std::vector<std::pair<int, int>> seen; // (id, notification) in the order they came
};

class ComboTyping : public ::testing::Test {
protected:
    void SetUp() override {
        resetServices();
        ASSERT_TRUE(d.create());
    }
    ComboDialog d;
};

} // namespace

TEST_F(ComboTyping, ADropDownKeepsTheTypedTextWithoutSelectionAndNotifiesUpdateThenChange) {
    auto* box = d.controlAs<ComboBox>(301);
    box->setCurSel(2);
    ASSERT_TRUE(box->userType(L"m1"));
    EXPECT_EQ(box->windowText(), L"m1");
    // A closed drop-down shows no selection for a typed text, even one that begins a line.
    EXPECT_EQ(box->curSel(), lbErr);
    EXPECT_EQ(d.focus(), box);
    EXPECT_EQ(d.seen,
              (std::vector<std::pair<int, int>>{{301, cbn::editUpdate}, {301, cbn::editChange}}));
    // Typing a whole line's text in another case keeps what was typed.
    box->userType(L"m20");
    EXPECT_EQ(box->windowText(), L"m20");
    // Choosing a line from the list replaces the typed text with the line's.
    d.seen.clear();
    box->userSelect(4);
    EXPECT_EQ(box->windowText(), L"M24");
    EXPECT_EQ(d.seen, (std::vector<std::pair<int, int>>{{301, cbn::selChange}}));
}

TEST_F(ComboTyping, ASimpleBoxSelectsTheFirstLineTheTextBeginsAndScrollsItsListThere) {
    auto* box = d.controlAs<ComboBox>(302);
    const Rect list = box->listRect();
    ASSERT_FALSE(list.empty());
    EXPECT_GE(list.top, box->editRect().bottom);
    EXPECT_TRUE(box->buttonRect().empty());
    box->userType(L"m4");
    EXPECT_EQ(box->curSel(), 7); // "M42", the first of M42 and M48
    EXPECT_EQ(box->windowText(), L"m4");
    // The list shows the line: the point where it is drawn finds it.
    EXPECT_EQ(box->topIndex(), 7);
    EXPECT_EQ(box->lineAt(Point{list.left + 5, list.top + 3}), 7);
    box->userType(L"M7x");
    EXPECT_EQ(box->curSel(), lbErr);
    box->userType(L"");
    EXPECT_EQ(box->curSel(), lbErr);
    EXPECT_EQ(box->windowText(), L"");
    // A click on a shown line selects it.
    box->userType(L"M1");
    ASSERT_EQ(box->topIndex(), 0);
    const int second = box->lineAt(Point{list.left + 5, list.top + 1 + 16 + 8});
    EXPECT_EQ(second, 1);
    EXPECT_EQ(box->lineAt(Point{list.left + 5, box->editRect().bottom - 2}), lbErr);
}

TEST_F(ComboTyping, ADropDownListHasNoEditPartToTypeInto) {
    auto* box = d.controlAs<ComboBox>(303);
    box->setCurSel(1);
    EXPECT_FALSE(box->hasEdit());
    EXPECT_FALSE(box->userType(L"M99"));
    EXPECT_EQ(box->windowText(), L"M12");
    EXPECT_TRUE(d.seen.empty());
    std::wstring message;
    EXPECT_FALSE(runDialogDirective(d, L"text 303 M99", message));
    EXPECT_NE(message.find(L"no edit part"), std::wstring::npos) << message;
}

TEST_F(ComboTyping, TheScriptTypesIntoTheEditPartAndTheTranscriptShowsIt) {
    std::wstring message;
    ASSERT_TRUE(runDialogDirective(d, L"text 301 \"M 8 \"", message)) << message;
    EXPECT_EQ(d.controlAs<ComboBox>(301)->windowText(), L"M 8 ");
    ASSERT_TRUE(runDialogDirective(d, L"text 302 M6", message)) << message;
    EXPECT_EQ(d.controlAs<ComboBox>(302)->curSel(), 10);
    const std::wstring shown = d.describe();
    EXPECT_NE(shown.find(L"combo 301 \"M 8 \" (12 items)"), std::wstring::npos) << shown;
    EXPECT_NE(shown.find(L"combo 302 \"M6\" (12 items, #10)"), std::wstring::npos) << shown;
}

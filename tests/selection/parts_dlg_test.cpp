// The text catalogue: what the lists hold, the filter, the status line and OK, what is kept for
// the next run, the cells' drawing, and catalogues that cannot be read.
#include "../ui/ui_test_util.h"
#include "catalogue_library.h"

#include "resources/resource.h"
#include "selection/PartsDlg.h"

#include "zhost/editor/display.h"
#include "zhost/settings/dialogdata.h"
#include "zhost/settings/messages.h"
#include "zhost/ui/lists.h"

#include <gtest/gtest.h>

namespace ui = zhost::ui;
using cattest::Line;

namespace {

class PartsDlgTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        ui::resetServices();
        m_lib.Catalogue(Line({{0, "ボルト"}, {4, "B1180 六角ボルト"}, {19, "B1180_Partial"}}) +
                        Line({{4, "B1180 六角ボルト 全ねじ"}, {19, "B1180_Full"}}) +
                        Line({{0, "Nuts"}, {4, "Hex nut"}, {19, "B1181_HexNut"}}) +
                        Line({{4, "Thin nut"}, {19, "B12"}}));
        m_lib.Description("B1180_Partial");
        m_lib.Description("B1181_HexNut");
        m_lib.Picture("B1180_Partial");
    }
    void TearDown() override { zhost::ed::setShiftDown(false); }

    CPartsDlg& Open() {
        m_dlg = std::make_unique<CPartsDlg>(m_lib.Paths().m_catalogueFile,
                                            m_lib.Paths().m_symbolsFolder);
        EXPECT_TRUE(m_dlg->create());
        return *m_dlg;
    }
    ui::ListBox& Groups() { return *m_dlg->controlAs<ui::ListBox>(IDC_PARTS_GROUPS); }
    ui::ListBox& Items() { return *m_dlg->controlAs<ui::ListBox>(IDC_PARTS_ITEMS); }
    ui::EditControl& Filter() { return *m_dlg->controlAs<ui::EditControl>(IDC_PARTS_FILTER); }
    std::wstring Status() { return m_dlg->control(IDC_PARTS_STATUS)->text(); }
    bool OkEnabled() { return m_dlg->control(ui::idOk)->isEnabled(); }
    std::vector<std::wstring> ItemLines() {
        std::vector<std::wstring> lines;
        for (int i = 0; i < Items().count(); ++i)
            lines.push_back(Items().itemText(i));
        return lines;
    }
    void ApplyFilter(const std::wstring& text) {
        Filter().type(text);
        m_dlg->control(IDC_PARTS_FILTER_APPLY)->sendMessage(ui::wm::command);
        static_cast<ui::Button*>(m_dlg->control(IDC_PARTS_FILTER_APPLY))->click();
        m_dlg->processPostedMessages();
    }

    uitest::BackendScope m_backend;
    cattest::Library m_lib{Dir()};
    std::unique_ptr<CPartsDlg> m_dlg;
};

using Lines = std::vector<std::wstring>;

} // namespace

TEST_F(PartsDlgTest, ListsGroupsAndTheFirstGroupsPartsWithFivePrefixCharacters) {
    Open();
    ASSERT_EQ(Groups().count(), 2);
    EXPECT_EQ(Groups().itemText(0), L"ボルト");
    EXPECT_EQ(Groups().itemText(1), L"Nuts");
    EXPECT_EQ(Groups().curSel(), 0);
    EXPECT_EQ(ItemLines(), (Lines{L"B1180 六角ボルト", L"B1180 六角ボルト 全ねじ"}));
    EXPECT_EQ(Items().curSel(), 0);
    EXPECT_EQ(Status(), L"1:B1180_Partial");
    EXPECT_TRUE(OkEnabled());

    Groups().userSelect(1);
    // Upper-cased; a base name shorter than five characters is shown whole.
    EXPECT_EQ(ItemLines(), (Lines{L"B1181 HEX NUT", L"B12 THIN NUT"}));
    EXPECT_EQ(Items().curSel(), 0);
    Items().userSelect(1);
    EXPECT_EQ(Status(), L"4:B12");
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, CellsAreOneTemplateStaticTallAndWide) {
    Open();
    const ui::Rect cell = m_dlg->control(IDC_PARTS_CELL)->rect();
    EXPECT_FALSE(m_dlg->control(IDC_PARTS_CELL)->isVisible());
    EXPECT_EQ(Items().itemHeight(), cell.bottom);
    EXPECT_EQ(Items().columnWidth(), cell.width());
    EXPECT_TRUE(Items().ownerDrawn());
    EXPECT_TRUE(Items().multiColumn());
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, FilterMatchesPrefixAndDisplayNameWithoutCase) {
    Open();
    Groups().userSelect(1);
    ApplyFilter(L"  nut ");
    EXPECT_EQ(ItemLines(), (Lines{L"B1181 HEX NUT", L"B12 THIN NUT"}));
    ApplyFilter(L"b118");
    EXPECT_EQ(ItemLines(), (Lines{L"B1181 HEX NUT"}));
    EXPECT_EQ(Items().curSel(), 0);
    EXPECT_EQ(Status(), L"3:B1181_HexNut");
    // Only five characters of the base name take part.
    ApplyFilter(L"HEXNUT");
    EXPECT_EQ(ItemLines(), Lines{});
    // The filter stays when another group is chosen.
    ApplyFilter(L"全ねじ");
    Groups().userSelect(0);
    EXPECT_EQ(ItemLines(), (Lines{L"B1180 六角ボルト 全ねじ"}));
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, FilterMatchingNothingDisablesOkAndReturnDoesNotClose) {
    Open();
    Filter().type(L"zzz");
    m_dlg->setFocus(&Filter());
    m_dlg->pressKey(ui::vk::returnKey);
    m_dlg->processPostedMessages();
    EXPECT_FALSE(m_dlg->ended());
    EXPECT_EQ(Items().count(), 0);
    EXPECT_FALSE(OkEnabled());
    EXPECT_EQ(Status(), L"");
    // Return elsewhere would press the default button; it is disabled, so nothing closes.
    m_dlg->setFocus(&Groups());
    m_dlg->pressKey(ui::vk::returnKey);
    EXPECT_FALSE(m_dlg->ended());

    Filter().type(L"全ねじ");
    m_dlg->setFocus(&Filter());
    m_dlg->pressKey(ui::vk::returnKey);
    m_dlg->processPostedMessages();
    EXPECT_FALSE(m_dlg->ended());
    EXPECT_EQ(ItemLines(), (Lines{L"B1180 六角ボルト 全ねじ"}));
    EXPECT_TRUE(OkEnabled());
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, OkHandsBackTheSelectedPart) {
    Open();
    Groups().userSelect(1);
    Items().userSelect(1);
    m_dlg->onOk();
    EXPECT_TRUE(m_dlg->ended());
    EXPECT_EQ(m_dlg->endCode(), ui::idOk);
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"B12");
    EXPECT_EQ(m_dlg->GetDisplayName(), L"Thin nut");
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, DoubleClickOnAPartIsOk) {
    Open();
    Items().userDoubleClick(1);
    EXPECT_EQ(m_dlg->endCode(), ui::idOk);
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"B1180_Full");
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, OkWithShiftOpensTheDescriptionAndNeverCloses) {
    std::wstring printed;
    zhost::settings::setPrintHook([&](std::wstring_view t) { printed += t; });
    Open();
    zhost::ed::setShiftDown(true);
    m_dlg->onOk();
    EXPECT_FALSE(m_dlg->ended());
    EXPECT_NE(printed.find(L"B1180_Partial.ini"), std::wstring::npos) << printed;

    // Without a description there is nothing to open, and the dialog still stays.
    printed.clear();
    Items().userSelect(1);
    m_dlg->onOk();
    EXPECT_FALSE(m_dlg->ended());
    EXPECT_EQ(printed, L"");

    zhost::ed::setShiftDown(false);
    m_dlg->onOk();
    EXPECT_EQ(m_dlg->endCode(), ui::idOk);
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"B1180_Full");
    m_dlg->destroy();
    zhost::settings::setPrintHook({});
}

TEST_F(PartsDlgTest, NextRunRestoresFilterSelectionsAndPosition) {
    Open();
    Groups().userSelect(1);
    ApplyFilter(L" Nut ");
    Items().userSelect(1);
    m_dlg->setPosition(140, 90);
    m_dlg->onOk();
    m_dlg->destroy();

    Open();
    EXPECT_EQ(Filter().text(), L"Nut");
    EXPECT_EQ(Groups().curSel(), 1);
    EXPECT_EQ(ItemLines(), (Lines{L"B1181 HEX NUT", L"B12 THIN NUT"}));
    EXPECT_EQ(Items().curSel(), 1);
    EXPECT_EQ(Status(), L"4:B12");
    EXPECT_EQ(m_dlg->windowRect().left, 140);
    EXPECT_EQ(m_dlg->windowRect().top, 90);
    m_dlg->destroy();

    zhost::settings::DialogDataStore store;
    std::wstring value;
    ASSERT_TRUE(store.getString(kPartsSelDialogName, L"Sel1", value));
    EXPECT_EQ(value, L"B12 THIN NUT"); // the upper-cased line
}

TEST_F(PartsDlgTest, StoredChoicesThatNoLongerMatchSelectTheFirstLines) {
    {
        zhost::settings::DialogDataStore store;
        store.setString(kPartsSelDialogName, L"Sel0", L"Washers");
        store.setString(kPartsSelDialogName, L"Sel1", L"B9999 GONE");
    }
    Open();
    EXPECT_EQ(Groups().curSel(), 0);
    EXPECT_EQ(Items().curSel(), 0);
    EXPECT_TRUE(OkEnabled());
    m_dlg->destroy();

    // A part of the remembered group that the filter now hides: the first line that is left.
    {
        zhost::settings::DialogDataStore store;
        store.setString(kPartsSelDialogName, L"Sel0", L"ボルト");
        store.setString(kPartsSelDialogName, L"Sel1", L"B1180 六角ボルト");
        store.setString(kPartsSelDialogName, L"Mask", L"全ねじ");
    }
    Open();
    EXPECT_EQ(ItemLines(), (Lines{L"B1180 六角ボルト 全ねじ"}));
    EXPECT_EQ(Items().curSel(), 0);
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, ResizingKeepsTheMinimumAndMovesTheControls) {
    Open();
    const ui::Rect items = Items().rect();
    const ui::Rect ok = m_dlg->control(ui::idOk)->rect();
    const ui::Rect filter = Filter().rect();
    const ui::Rect groups = Groups().rect();
    m_dlg->userResize(m_dlg->windowRect().width() + 100, m_dlg->windowRect().height() + 50);
    EXPECT_EQ(Items().rect().width(), items.width() + 100);
    EXPECT_EQ(Items().rect().height(), items.height() + 50);
    EXPECT_EQ(m_dlg->control(ui::idOk)->rect(), ok.offset(100, 50));
    EXPECT_EQ(Filter().rect(), filter.offset(0, 50));
    EXPECT_EQ(Groups().rect().width(), groups.width());
    EXPECT_EQ(Groups().rect().height(), groups.height() + 50);

    m_dlg->userResize(10, 10);
    EXPECT_EQ(m_dlg->windowRect().width(), kPartsDlgMinWidth);
    EXPECT_EQ(m_dlg->windowRect().height(), kPartsDlgMinHeight);
    EXPECT_EQ(m_dlg->onHitTest(m_dlg->sizeGripRect().topLeft()), ui::ht::bottomRight);
    m_dlg->destroy();
}

TEST_F(PartsDlgTest, CaptionIsRedForAPartWithoutDescriptionAndPictureOnlyWhenDrawn) {
    Open();
    ui::Bitmap target(400, 300);
    auto draw = [&](int line) {
        ui::DeviceContext dc(target);
        dc.setRecording(true);
        ui::DrawItem item;
        item.dc = &dc;
        item.controlId = IDC_PARTS_ITEMS;
        item.itemId = line;
        item.rect = Items().itemRect(line);
        item.itemData = Items().itemData(line);
        m_dlg->onDrawItem(IDC_PARTS_ITEMS, item);
        return dc.log();
    };
    auto has = [](const std::vector<std::wstring>& log, std::wstring_view part) {
        for (const auto& l : log)
            if (l.find(part) != std::wstring::npos)
                return true;
        return false;
    };
    const auto described = draw(0);
    EXPECT_TRUE(has(described, L"text \"B1180 六角ボルト\" 000000"));
    EXPECT_TRUE(has(described, L"B1180_Partial_1.dwg\""));
    const auto missing = draw(1);
    EXPECT_TRUE(has(missing, L"text \"B1180 六角ボルト 全ねじ\" FF0000"));
    EXPECT_FALSE(has(missing, L"preview")); // no drawing: the picture area stays blank

    // With Shift held the cells show the other picture of the part.
    zhost::ed::setShiftDown(true);
    EXPECT_TRUE(has(draw(0), L"B1180_Partial_0.dwg\""));
    m_dlg->destroy();
}

// What cannot be read leaves the lists empty and OK disabled: no catalogue, an empty one, binary
// bytes, and text that is not valid in the host's code page.
TEST_F(PartsDlgTest, UnreadableCataloguesLeaveEmptyListsAndOkDisabled) {
    const std::string cases[] = {
        std::string(),
        std::string("\x00\x01\x02\xFF\xFE\x00\x9F\x80\x00", 9) + std::string(3000, '\x07'),
        std::string("\x82\xA0\x82\t\x81\t\xFF\xFE\xFD\r\n\x82", 13),
    };
    for (const std::string& bytes : cases) {
        m_lib.Catalogue(bytes, true);
        Open();
        EXPECT_EQ(Items().count(), 0);
        EXPECT_FALSE(OkEnabled());
        EXPECT_EQ(Status(), L"");
        m_dlg->pressKey(ui::vk::returnKey);
        EXPECT_FALSE(m_dlg->ended());
        m_dlg->destroy();
    }
    m_dlg = std::make_unique<CPartsDlg>((Dir() / "none.txt").wstring(), L"");
    ASSERT_TRUE(m_dlg->create());
    EXPECT_EQ(Groups().count(), 0);
    EXPECT_EQ(Items().count(), 0);
    EXPECT_FALSE(OkEnabled());
    m_dlg->destroy();
}

// The picture catalogue: which types it offers, how the buttons follow the tree, the sibling
// menu, what is kept for the next run and how it is restored, and the buttons' pictures.
#include "../ui/ui_test_util.h"
#include "catalogue_library.h"

#include "resources/resource.h"
#include "selection/PvxCPartsDlg.h"

#include "zhost/settings/dialogdata.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/menu.h"

#include <gtest/gtest.h>

namespace ui = zhost::ui;
using cattest::Line;

namespace {

std::string Leaves(const std::string& type, const std::string& prefix, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string n = prefix + std::to_string(i + 1);
        text += Line({{0, i == 0 ? type : ""},
                      {1, i == 0 ? "-" : ""},
                      {4, prefix + " part " + std::to_string(i + 1)},
                      {6, n},
                      {19, n}});
    }
    return text;
}

class PvxPartsDlgTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        ui::resetServices();
        m_lib.Catalogue(
            Line({{0, "Bolts"},
                  {1, "Hex"},
                  {4, "Hex bolt"},
                  {6, "HEX"},
                  {7, "Partial thread"},
                  {9, "PARTIAL"},
                  {19, "B1180_Partial"}}) +
            Line({{7, "Full thread"}, {9, "FULL"}, {19, "B1180_Full"}}) +
            Line({{1, "Socket"}, {4, "Socket head"}, {6, "SOCKET"}, {19, "B1176_Socket"}}) +
            Leaves("Nuts", "N", 5) + Leaves("Pins", "P", 8) +
            Line({{0, "Unpictured"}, {1, "-"}, {4, "Ghost"}, {6, "G"}, {19, "G1"}}) +
            Line({{0, "Deep"},
                  {1, "-"},
                  {4, "Level one"},
                  {6, "L1A"},
                  {7, "Level two"},
                  {9, "L2"},
                  {10, "Level three"},
                  {12, "L3"},
                  {13, "Level four"},
                  {15, "L4"},
                  {19, "D_Deep"}}) +
            Line({{4, "Short leaf"}, {6, "L1B"}, {19, "D_Leaf"}}));
        for (const char* base : {"B1180_Partial", "N1", "P3", "D_Leaf"})
            m_lib.Picture(base, 1);
    }

    PvxCPartsDlg& Open() {
        m_dlg = std::make_unique<PvxCPartsDlg>(m_lib.Paths().m_symbolsFolder,
                                               m_lib.Paths().m_catalogueFile);
        EXPECT_TRUE(m_dlg->create());
        return *m_dlg;
    }
    ui::ListBox& Types() { return *m_dlg->controlAs<ui::ListBox>(IDC_PVX_TYPES); }
    int TypeLine(const std::wstring& text) { return Types().findStringExact(-1, text); }
    void SelectType(const std::wstring& text) {
        const int line = TypeLine(text);
        ASSERT_GE(line, 0) << "no type line " << ui::Rect{}.left;
        Types().userSelect(line);
    }
    // What the four buttons show: the node's name, "" when hidden.
    std::vector<std::wstring> Shown() {
        std::vector<std::wstring> names;
        for (int i = 0; i < kPvxButtonCount; ++i) {
            const CCsvItem* node = m_dlg->GetButtonNode(i);
            const ui::Control* button = m_dlg->control(IDC_PVX_BUTTON1 + i);
            EXPECT_EQ(button->isVisible(), node != nullptr) << "button " << i;
            names.push_back(node ? node->m_name : L"");
        }
        return names;
    }
    // Clicks button i and chooses menu command `command` (0: the menu is dismissed).
    void Choose(int button, int command) {
        m_backend->menuChoices = {command};
        static_cast<ui::Button*>(m_dlg->control(IDC_PVX_BUTTON1 + button))->click();
        m_dlg->processPostedMessages();
    }
    bool OkEnabled() { return m_dlg->control(ui::idOk)->isEnabled(); }

    uitest::BackendScope m_backend;
    cattest::Library m_lib{Dir()};
    std::unique_ptr<PvxCPartsDlg> m_dlg;
};

using Names = std::vector<std::wstring>;

// Draws every popup menu as the desktop shows it before answering.
class RenderingBackend : public uitest::TestBackend {
public:
    std::vector<ui::Bitmap> pictures;
    int trackPopupMenu(ui::Menu& menu, ui::Point at, ui::Dialog* owner) override {
        pictures.push_back(menu.render(owner, 0));
        return uitest::TestBackend::trackPopupMenu(menu, at, owner);
    }
};

bool AllPixels(const ui::Bitmap& bmp, const ui::Rect& r, ui::Color color) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (bmp.colorAt(x, y) != color)
                return false;
    return true;
}

} // namespace

TEST_F(PvxPartsDlgTest, TypesWithoutAnyFirstPictureAreNotOffered) {
    Open();
    std::vector<std::wstring> lines;
    for (int i = 0; i < Types().count(); ++i)
        lines.push_back(Types().itemText(i));
    EXPECT_EQ(lines, (Names{L"Bolts", L"    Hex", L"    Socket", L"Nuts", L"Pins", L"Deep"}));
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, HeaderTypeShowsNoButtonsItsSubGroupsDo) {
    Open();
    SelectType(L"Bolts");
    EXPECT_EQ(Shown(), (Names{L"", L"", L"", L""}));
    EXPECT_FALSE(OkEnabled());
    SelectType(L"    Hex");
    // Only the first level is shown until a choice is made on it.
    EXPECT_EQ(Shown(), (Names{L"HEX", L"", L"", L""}));
    EXPECT_EQ(m_dlg->control(IDC_PVX_BUTTON1)->text(), L"Hex bolt");
    EXPECT_FALSE(OkEnabled());
    Choose(0, ID_PVX_SIBLING_FIRST);
    EXPECT_EQ(Shown(), (Names{L"HEX", L"PARTIAL", L"", L""}));
    EXPECT_TRUE(OkEnabled());
    Choose(1, ID_PVX_SIBLING_FIRST + 1);
    EXPECT_EQ(Shown(), (Names{L"HEX", L"FULL", L"", L""}));
    m_dlg->onOk();
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"B1180_Full");
    EXPECT_EQ(m_dlg->GetDisplayName(), L"Full thread");
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, ALeafOnTheFirstButtonHidesTheOthers) {
    Open();
    SelectType(L"Deep");
    Choose(0, ID_PVX_SIBLING_FIRST);
    EXPECT_EQ(Shown(), (Names{L"L1A", L"L2", L"L3", L"L4"}));
    EXPECT_EQ(m_dlg->GetSelectedButton(), 0);
    Choose(0, ID_PVX_SIBLING_FIRST + 1);
    EXPECT_EQ(Shown(), (Names{L"L1B", L"", L"", L""}));
    EXPECT_TRUE(OkEnabled());
    m_dlg->onOk();
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"D_Leaf");
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, MenuColumnsOfThreeForFiveOrSixItemsElseOfFour) {
    EXPECT_EQ(PvxCPartsDlg::MenuColumnLength(4), 0);
    EXPECT_EQ(PvxCPartsDlg::MenuColumnLength(6), 3);
    EXPECT_EQ(PvxCPartsDlg::MenuColumnLength(7), 4);
    Open();
    SelectType(L"Nuts");
    Choose(0, 0);
    SelectType(L"Pins");
    Choose(0, 0);
    SelectType(L"    Hex");
    Choose(0, 0);
    using Columns = std::vector<std::vector<int>>;
    ASSERT_EQ(m_backend->menuColumns.size(), 3u);
    EXPECT_EQ(m_backend->menuColumns[0], (Columns{{0, 1, 2}, {3, 4}}));
    EXPECT_EQ(m_backend->menuColumns[1], (Columns{{0, 1, 2, 3}, {4, 5, 6, 7}}));
    EXPECT_EQ(m_backend->menuColumns[2], (Columns{{0}}));
    // A dismissed menu changes nothing but the selected button.
    EXPECT_EQ(Shown(), (Names{L"HEX", L"", L"", L""}));
    EXPECT_EQ(m_dlg->GetSelectedButton(), 0);
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, MenuItemsTakeTheirSizeFromTheButtonAndPicturesFromTheCache) {
    auto owned = std::make_unique<RenderingBackend>();
    RenderingBackend& backend = *owned;
    ui::setBackend(std::move(owned));
    Open();
    SelectType(L"Nuts");
    const ui::Size button = m_dlg->GetButtonSize();
    ASSERT_GT(button.cx, 0);
    backend.menuChoices = {0, 0};
    static_cast<ui::Button*>(m_dlg->control(IDC_PVX_BUTTON1))->click();
    ASSERT_EQ(backend.pictures.size(), 1u);
    // Two columns (three items and two), a frame of two pixels round them.
    EXPECT_EQ(backend.pictures[0].width(), 2 * (button.cx * 2 / 3) + 4);
    EXPECT_EQ(backend.pictures[0].height(), 3 * (button.cy * 4 / 5) + 4);
    // The first item is highlighted; the second is black but for its picture and caption.
    // (less the line between the columns)
    const ui::Rect second = ui::Rect::fromSize(2, 2 + button.cy * 4 / 5, button.cx * 2 / 3 - 2, 3);
    EXPECT_TRUE(AllPixels(backend.pictures[0], second, ui::rgb(0, 0, 0)));
    EXPECT_EQ(backend.pictures[0].colorAt(3, 3), ui::sysColor(ui::SysColor::highlight));
    const size_t rendered = m_dlg->GetPreviewCache().renderCount();
    EXPECT_EQ(rendered, 1u); // N1 is the only sibling with a picture

    static_cast<ui::Button*>(m_dlg->control(IDC_PVX_BUTTON1))->click();
    ASSERT_EQ(backend.pictures.size(), 2u);
    EXPECT_EQ(backend.pictures[1], backend.pictures[0]);
    EXPECT_EQ(m_dlg->GetPreviewCache().renderCount(), rendered);
    EXPECT_GE(m_dlg->GetPreviewCache().hitCount(), 1u);
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, ChoicesAreRestoredOnTheNextRun) {
    Open();
    SelectType(L"Deep");
    Choose(0, ID_PVX_SIBLING_FIRST);
    static_cast<ui::Button*>(m_dlg->control(IDC_PVX_BUTTON1 + 2))->click();
    m_dlg->setPosition(300, 200);
    m_dlg->onOk();
    // The selected button names the part, even one that is not a leaf: none is then named.
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"");
    EXPECT_EQ(m_dlg->GetDisplayName(), L"Level three");
    m_dlg->destroy();

    zhost::settings::DialogDataStore store;
    int value = -1;
    EXPECT_TRUE(store.getInt(kPartsContentsDialogName, L"SelType", value));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(store.getInt(kPartsContentsDialogName, L"SelRadioIdx", value));
    EXPECT_EQ(value, 2);

    Open();
    EXPECT_EQ(Types().curSel(), TypeLine(L"Deep"));
    EXPECT_EQ(Shown(), (Names{L"L1A", L"L2", L"L3", L"L4"}));
    EXPECT_EQ(m_dlg->GetSelectedButton(), 2);
    EXPECT_EQ(m_dlg->windowRect().left, 300);
    EXPECT_EQ(m_dlg->windowRect().top, 200);
    // The first visible leaf is the part until OK.
    EXPECT_EQ(m_dlg->GetFileBaseName(), L"D_Deep");
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, RestoringStopsAtMissingLargeHiddenOrOutOfRangeValues) {
    struct Case {
        std::vector<std::pair<std::wstring, int>> stored;
        Names shown;
        int selected;
    };
    const int nuts = 3, deep = 5;
    const Case cases[] = {
        {{{L"SelType", nuts}, {L"SelBtn0", 3}, {L"SelBtn1", 0}, {L"SelRadioIdx", 1}},
         {L"N4", L"", L"", L""},
         -1},
        {{{L"SelType", nuts}, {L"SelBtn0", 9999}, {L"SelRadioIdx", 0}}, {L"N1", L"", L"", L""}, 0},
        {{{L"SelType", nuts}, {L"SelBtn0", 5}}, {L"N1", L"", L"", L""}, -1},
        {{{L"SelType", deep}, {L"SelBtn1", 0}}, {L"L1A", L"", L"", L""}, -1},
        {{{L"SelType", deep}, {L"SelBtn0", 0}, {L"SelBtn1", 0}, {L"SelBtn2", 10000}},
         {L"L1A", L"L2", L"L3", L"L4"},
         -1},
        {{{L"SelType", 99}, {L"SelBtn0", 0}}, {L"", L"", L"", L""}, -1},
        {{{L"SelType", -4}}, {L"", L"", L"", L""}, -1},
    };
    for (const Case& c : cases) {
        {
            zhost::settings::DialogDataStore store;
            for (const auto& [name, value] : c.stored)
                store.setInt(kPartsContentsDialogName, name, value);
        }
        Open();
        EXPECT_EQ(Shown(), c.shown) << "SelType " << c.stored[0].second;
        EXPECT_EQ(m_dlg->GetSelectedButton(), c.selected);
        m_dlg->destroy();
        std::filesystem::remove_all(Dir() / "user");
    }
}

TEST_F(PvxPartsDlgTest, OnlyTheFirstSixteenOfManySiblingsCanBeChosen) {
    m_lib.Catalogue(Leaves("Many", "M", 1000));
    m_lib.Picture("M1", 1);
    Open();
    SelectType(L"Many");
    Choose(0, ID_PVX_SIBLING_FIRST + 15);
    EXPECT_EQ(Shown(), (Names{L"M16", L"", L"", L""}));
    Choose(0, ID_PVX_SIBLING_FIRST + 16);
    EXPECT_EQ(Shown(), (Names{L"M16", L"", L"", L""}));
    EXPECT_EQ(m_backend->menuColumns.back().size(), size_t(CMyPopMenu::kMaxItems / 4 + 1));
    m_dlg->destroy();
}

TEST_F(PvxPartsDlgTest, ButtonsShowThePictureOrStayBlankAndSplitLongCaptions) {
    m_lib.Drawing("N2", 1, "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\nnot a number\n");
    Open();
    SelectType(L"Nuts");
    ui::Control* button = m_dlg->control(IDC_PVX_BUTTON1);
    auto draw = [&](std::vector<std::wstring>* log) {
        ui::Bitmap target(button->rect().width(), button->rect().height());
        ui::DeviceContext dc(target);
        dc.setRecording(log != nullptr);
        button->paint(dc);
        if (log)
            *log = dc.log();
        return target;
    };
    const ui::Rect inner = button->clientRect().deflate(2, 2);
    const ui::Rect top{inner.left, inner.top, inner.right, inner.top + inner.height() / 2};
    const ui::Bitmap withPicture = draw(nullptr);
    EXPECT_FALSE(AllPixels(withPicture, top, ui::rgb(0, 0, 0)));

    Choose(0, ID_PVX_SIBLING_FIRST + 1); // a broken drawing
    EXPECT_TRUE(AllPixels(draw(nullptr), top, ui::rgb(0, 0, 0)));
    Choose(0, ID_PVX_SIBLING_FIRST + 2); // no drawing at all
    std::vector<std::wstring> log;
    EXPECT_TRUE(AllPixels(draw(&log), top, ui::rgb(0, 0, 0)));
    for (const auto& line : log)
        EXPECT_EQ(line.find(L"preview"), std::wstring::npos) << line;
    EXPECT_NE(std::find(log.begin(), log.end(), L"text \"N part 3\" FFFFFF"), log.end());

    // Too wide for one line: broken at the first blank.
    CCsvItem* node = m_dlg->GetButtonNode(0);
    node->m_displayName = L"Hexagon-socket-head-cap-screw with-a-long-name";
    draw(&log);
    EXPECT_NE(std::find(log.begin(), log.end(), L"text \"Hexagon-socket-head-cap-screw\" FFFFFF"),
              log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), L"text \"with-a-long-name\" FFFFFF"), log.end());
    m_dlg->destroy();
}

// No catalogue, an empty one, binary bytes, broken code-page text: an empty list, no buttons,
// OK disabled, and OK refused by Return.
TEST_F(PvxPartsDlgTest, UnreadableCataloguesLeaveAnEmptyListAndOkDisabled) {
    const std::string cases[] = {
        std::string(),
        std::string("\xFF\xFE\x00\xD8\x41\x00\r\x00", 8) + std::string(5000, '\x01'),
        std::string("\x82\xA0\x82\t\x81\t\xFF\xFE\xFD\r\n\x82", 13),
    };
    for (const std::string& bytes : cases) {
        m_lib.Catalogue(bytes, true);
        Open();
        EXPECT_EQ(Types().count(), 0);
        EXPECT_EQ(Shown(), (Names{L"", L"", L"", L""}));
        EXPECT_FALSE(OkEnabled());
        m_dlg->pressKey(ui::vk::returnKey);
        EXPECT_FALSE(m_dlg->ended());
        m_dlg->destroy();
    }
    m_dlg = std::make_unique<PvxCPartsDlg>(L"", (Dir() / "none.txt").wstring());
    ASSERT_TRUE(m_dlg->create());
    EXPECT_EQ(Types().count(), 0);
    EXPECT_FALSE(OkEnabled());
    m_dlg->destroy();
}

// 9999 marks a button that was hidden: it stops the restoring even among ten thousand siblings.
TEST_F(PvxPartsDlgTest, StoredNoSiblingMarkStopsRestoringEvenWhereSuchASiblingExists) {
    m_lib.Catalogue(Leaves("Many", "M", 10000));
    m_lib.Picture("M1", 1);
    for (const int stored : {9998, 9999}) {
        {
            zhost::settings::DialogDataStore store;
            store.setInt(kPartsContentsDialogName, L"SelType", 0);
            store.setInt(kPartsContentsDialogName, L"SelBtn0", stored);
        }
        Open();
        EXPECT_EQ(Shown(), (Names{stored == 9998 ? L"M9999" : L"M1", L"", L"", L""}));
        m_dlg->destroy();
    }
}

// The button draws the picture its part's description names; -1 stands for the first picture.
TEST_F(PvxPartsDlgTest, ButtonPictureFollowsTheThumbnailNumberWithMinusOneAsOne) {
    m_lib.Picture("N1");
    m_lib.Picture("N2");
    m_lib.Description("N1", "[General]\r\nThumbDirection=-1\r\n");
    m_lib.Description("N2", "[General]\r\nThumbDirection=0\r\n");
    Open();
    SelectType(L"Nuts");
    auto previewOf = [&] {
        ui::Control* button = m_dlg->control(IDC_PVX_BUTTON1);
        ui::Bitmap target(button->rect().width(), button->rect().height());
        ui::DeviceContext dc(target);
        dc.setRecording(true);
        button->paint(dc);
        for (const std::wstring& line : dc.log())
            if (line.starts_with(L"preview "))
                return line.substr(0, line.find(L".dwg") + 4);
        return std::wstring();
    };
    EXPECT_TRUE(previewOf().ends_with(L"\\N1_1.dwg")) << previewOf();
    Choose(0, ID_PVX_SIBLING_FIRST + 1);
    EXPECT_TRUE(previewOf().ends_with(L"\\N2_0.dwg")) << previewOf();
    m_dlg->destroy();
}

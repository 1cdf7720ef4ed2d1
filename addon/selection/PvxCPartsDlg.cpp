#include "selection/PvxCPartsDlg.h"

#include "library/LibraryPaths.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/settings/vorta.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/menu.h"

#include <algorithm>

namespace ui = zhost::ui;

namespace {

// The preview operation's mode and flags for the buttons and the menu items.
constexpr int kPreviewMode = 2;
constexpr int kButtonPreviewFlags = 3;
// Room kept for the caption under a picture, in caption heights.
constexpr double kCaptionSpace = 1.4;
// Indentation of a sub-group under its type in the type list.
constexpr const wchar_t* kChildIndent = L"    ";

// Whether the node or any node below it has the part's first picture; types without any are not
// offered, since every button of theirs would stay blank.
bool HasPicture(const CCsvItem& node, CSymbolDrawings& symbols) {
    std::wstring path;
    if (symbols.Find(node.m_fileBaseName, 1, path))
        return true;
    return std::any_of(node.m_children.begin(), node.m_children.end(),
                       [&](const auto& child) { return HasPicture(*child, symbols); });
}

int IndexAmongSiblings(const CCsvItem* pNode) {
    if (pNode == nullptr || pNode->m_pParent == nullptr)
        return -1;
    const auto& siblings = pNode->m_pParent->m_children;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == pNode)
            return static_cast<int>(i);
    return -1;
}

std::wstring SelBtnName(int nButton) {
    return L"SelBtn" + std::to_wstring(nButton);
}

} // namespace

PvxCPartsDlg::PvxCPartsDlg(const std::wstring& strSymbolsFolder,
                           const std::wstring& strCatalogueFile, ui::Dialog* pParent)
    : ui::Dialog(ZormaResources(), IDD_PVX_PARTS, pParent), m_strSymbolsFolder(strSymbolsFolder),
      m_strCatalogueFile(strCatalogueFile), m_symbols(strSymbolsFolder) {
    setDialogName(kPartsContentsDialogName);
    onCommand(IDC_PVX_TYPES, ui::lbn::selChange, [this] { OnTypeChange(); });
    for (int i = 0; i < kPvxButtonCount; ++i)
        onCommand(IDC_PVX_BUTTON1 + i, ui::bn::clicked, [this, i] { OnButtonClick(i); });
    for (int k = 0; k < kPvxHandledSiblings; ++k)
        onCommand(ID_PVX_SIBLING_FIRST + k, 0, [this, k] { OnSibling(k); });
}

PvxCPartsDlg::~PvxCPartsDlg() = default;

int PvxCPartsDlg::MenuColumnLength(int nItems) {
    if (nItems <= 4)
        return 0;
    return nItems == 5 || nItems == 6 ? 3 : 4;
}

CCsvItem* PvxCPartsDlg::GetButtonNode(int i) const {
    return i >= 0 && i < kPvxButtonCount ? m_nodes[size_t(i)] : nullptr;
}

int PvxCPartsDlg::GetSelectedButton() const {
    for (int i = 0; i < kPvxButtonCount; ++i)
        if (m_buttons[size_t(i)].GetState())
            return i;
    return -1;
}

bool PvxCPartsDlg::onInitDialog() {
    m_bInitializing = true;
    ui::Dialog::onInitDialog();
    show(false);
    zhost::settings::WindowPlacement stored;
    if (storedPlacement(stored)) {
        setPosition(stored.x, stored.y);
        zhost_vui_KeepWindowOnScreen(this, 1);
    }

    for (int i = 0; i < kPvxButtonCount; ++i) {
        CLunaBtn& button = m_buttons[size_t(i)];
        button.SetUp(this, IDC_PVX_BUTTON1 + i, 0, 0);
        button.Replace();
        button.m_pfnDraw = [this](ui::DrawItem& item, CLunaBtn*, ui::DeviceContext*) {
            DrawButton(item);
        };
        if (ui::Button* pButton = button.GetButton())
            pButton->show(false);
    }
    if (const ui::Control* pFirst = control(IDC_PVX_BUTTON1))
        m_buttonSize = {pFirst->rect().width(), pFirst->rect().height()};

    CLibraryPaths paths;
    GetLibraryPaths(paths);
    m_root.RemoveAllChildren();
    ReadCatalogueTree(m_strSymbolsFolder, m_strCatalogueFile, &m_root, paths.m_dlgFolder);
    std::erase_if(m_root.m_children,
                  [this](const auto& type) { return !HasPicture(*type, m_symbols); });
    if (!m_root.m_children.empty()) {
        FillTypes();
        RestoreChoices();
    }

    m_bInitializing = false;
    show(true);
    UpdateResult();
    return true;
}

void PvxCPartsDlg::FillTypes() {
    auto* pTypes = controlAs<ui::ListBox>(IDC_PVX_TYPES);
    if (!pTypes)
        return;
    for (const auto& type : m_root.m_children) {
        const bool bSingleLine = !type->m_children.empty() && !type->m_children[0]->m_name.empty();
        const int nLine = pTypes->addString(type->m_displayName);
        if (bSingleLine) {
            pTypes->setItemData(nLine, reinterpret_cast<std::uintptr_t>(type.get()));
            continue;
        }
        // A type of sub-groups: a header line, and a line of its own for each sub-group.
        for (const auto& child : type->m_children) {
            const int nChild = pTypes->addString(kChildIndent + child->m_displayName);
            pTypes->setItemData(nChild, reinterpret_cast<std::uintptr_t>(child.get()));
        }
    }
}

void PvxCPartsDlg::RestoreChoices() {
    auto* pTypes = controlAs<ui::ListBox>(IDC_PVX_TYPES);
    if (!pTypes)
        return;
    int nType = 0;
    if (!getDialogData(L"SelType", nType) || nType < 0 || nType >= pTypes->count())
        nType = 0;
    pTypes->setCurSel(nType);
    ShowFirstLevel();
    for (int i = 0; i < kPvxButtonCount; ++i) {
        int nIndex = 0;
        if (!getDialogData(SelBtnName(i), nIndex) || nIndex >= kPvxNoSibling || nIndex < 0)
            break;
        CCsvItem* pNode = m_nodes[size_t(i)];
        if (pNode == nullptr || pNode->m_pParent == nullptr)
            break;
        const auto& siblings = pNode->m_pParent->m_children;
        if (size_t(nIndex) >= siblings.size())
            break;
        ShowNode(i, siblings[size_t(nIndex)].get());
        RefreshAfter(i);
    }
    int nRadio = -1;
    // Only a shown button can be the chosen one: a hidden one has no node to hand back.
    if (getDialogData(L"SelRadioIdx", nRadio) && GetButtonNode(nRadio) != nullptr)
        SelectButton(nRadio);
}

void PvxCPartsDlg::ShowNode(int nButton, CCsvItem* pNode) {
    m_nodes[size_t(nButton)] = pNode;
    ui::Button* pButton = m_buttons[size_t(nButton)].GetButton();
    if (!pButton)
        return;
    pButton->setText(pNode ? pNode->m_displayName : std::wstring());
    pButton->show(pNode != nullptr);
    pButton->invalidate();
}

void PvxCPartsDlg::ShowFirstLevel() {
    for (int i = 0; i < kPvxButtonCount; ++i) {
        ShowNode(i, nullptr);
        m_buttons[size_t(i)].SetState(false);
    }
    const auto* pTypes = controlAs<ui::ListBox>(IDC_PVX_TYPES);
    const int nSel = pTypes ? pTypes->curSel() : -1;
    auto* pNode = nSel >= 0 ? reinterpret_cast<CCsvItem*>(pTypes->itemData(nSel)) : nullptr;
    if (pNode != nullptr && !pNode->m_children.empty())
        ShowNode(0, pNode->m_children[0].get());
    UpdateResult();
}

void PvxCPartsDlg::OnTypeChange() {
    if (!m_bInitializing)
        ShowFirstLevel();
}

void PvxCPartsDlg::RefreshAfter(int nButton) {
    for (int i = nButton + 1; i < kPvxButtonCount; ++i) {
        const CCsvItem* pBefore = m_nodes[size_t(i - 1)];
        ShowNode(i,
                 pBefore && !pBefore->m_children.empty() ? pBefore->m_children[0].get() : nullptr);
    }
}

void PvxCPartsDlg::UpdateResult() {
    m_strFileBaseName.clear();
    m_strDisplayName.clear();
    for (const CCsvItem* pNode : m_nodes) {
        if (pNode != nullptr && pNode->m_children.empty()) {
            m_strFileBaseName = pNode->m_fileBaseName;
            m_strDisplayName = pNode->m_displayName;
            break;
        }
    }
    if (ui::Control* pOk = control(ui::idOk))
        pOk->enable(!m_strFileBaseName.empty());
}

void PvxCPartsDlg::SelectButton(int nButton) {
    for (int i = 0; i < kPvxButtonCount; ++i)
        m_buttons[size_t(i)].SetState(i == nButton);
}

void PvxCPartsDlg::OnButtonClick(int nButton) {
    SelectButton(nButton);
    CCsvItem* pNode = m_nodes[size_t(nButton)];
    if (pNode == nullptr || pNode->m_pParent == nullptr)
        return;
    const auto& siblings = pNode->m_pParent->m_children;
    CMyPopMenu menu;
    menu.SetOwner(this);
    menu.m_pfnDraw = [this](ui::DrawItem& item, CMyPopMenu*, int) { DrawMenuItem(item); };
    const int nItems = static_cast<int>(siblings.size());
    const int nColumn = MenuColumnLength(nItems);
    m_menuNodes.clear();
    for (int k = 0; k < nItems; ++k) {
        unsigned flags = ui::mf::ownerDraw;
        if (nColumn > 0 && k > 0 && k % nColumn == 0)
            flags |= ui::mf::menuBreak;
        // The menu holds a limited number of pictures; the siblings beyond are not offered.
        if (!menu.AppendItem(ID_PVX_SIBLING_FIRST + k, 0, flags))
            break;
        m_menuNodes.push_back(siblings[size_t(k)].get());
    }
    const ui::Control* pButton = control(IDC_PVX_BUTTON1 + nButton);
    if (!pButton || menu.GetItemCount() == 0)
        return;
    const ui::Point origin = clientOrigin();
    m_pMenu = &menu;
    m_nMenuButton = nButton;
    const int nCommand =
        menu.Track({origin.x + pButton->rect().right, origin.y + pButton->rect().top});
    m_pMenu = nullptr;
    if (nCommand != 0)
        sendMessage(ui::wm::command, ui::makeCommandParam(nCommand, 0));
    m_menuNodes.clear();
    m_nMenuButton = -1;
}

void PvxCPartsDlg::OnSibling(int nSibling) {
    const int nButton = m_nMenuButton;
    if (nButton < 0 || nSibling < 0 || size_t(nSibling) >= m_menuNodes.size())
        return;
    ShowNode(nButton, m_menuNodes[size_t(nSibling)]);
    RefreshAfter(nButton);
    UpdateResult();
}

void PvxCPartsDlg::onOk() {
    const auto* pTypes = controlAs<ui::ListBox>(IDC_PVX_TYPES);
    setDialogData(L"SelType", pTypes ? pTypes->curSel() : -1);
    for (int i = 0; i < kPvxButtonCount; ++i) {
        const int nIndex = IndexAmongSiblings(m_nodes[size_t(i)]);
        setDialogData(SelBtnName(i), nIndex >= 0 ? nIndex : kPvxNoSibling);
    }
    const int nSelected = GetSelectedButton();
    if (const CCsvItem* pNode = GetButtonNode(nSelected)) {
        setDialogData(L"SelRadioIdx", nSelected);
        // A chosen button that is not a part leaves the part unnamed, which the caller reports.
        m_strFileBaseName = pNode->m_children.empty() ? pNode->m_fileBaseName : std::wstring();
        m_strDisplayName = pNode->m_displayName;
    }
    endDialog(ui::idOk);
}

void PvxCPartsDlg::onDestroy() {
    storePlacement(); // not when maximised
    ui::Dialog::onDestroy();
}

void PvxCPartsDlg::onMeasureItem(int controlId, ui::MeasureItem& item) {
    if (controlId != 0 || m_pMenu == nullptr)
        return;
    item.width = m_buttonSize.cx * 2 / 3;
    item.height = m_buttonSize.cy * 4 / 5;
}

void PvxCPartsDlg::onDrawItem(int controlId, ui::DrawItem& item) {
    if (controlId == 0 && m_pMenu != nullptr)
        m_pMenu->DrawItem(item);
}

void PvxCPartsDlg::DrawButton(ui::DrawItem& item) {
    const int nButton = item.controlId - IDC_PVX_BUTTON1;
    const CCsvItem* pNode = GetButtonNode(nButton);
    if (item.dc == nullptr || pNode == nullptr)
        return;
    const ui::Rect rc = item.rect.deflate(2, 2);
    item.dc->fillRect(rc, ui::rgb(0, 0, 0));
    DrawNode(*item.dc, rc, *pNode, kButtonPreviewFlags);
    if (item.state & ui::ods::focus)
        item.dc->drawFocusRect(rc);
}

void PvxCPartsDlg::DrawMenuItem(ui::DrawItem& item) {
    const int nIndex = item.itemId - ID_PVX_SIBLING_FIRST;
    if (item.dc == nullptr || nIndex < 0 || size_t(nIndex) >= m_menuNodes.size())
        return;
    const bool bSelected = (item.state & ui::ods::selected) != 0;
    item.dc->fillRect(item.rect, ui::rgb(0, 0, 0));
    if (bSelected)
        item.dc->fillRect(item.rect, ui::sysColor(ui::SysColor::highlight));
    DrawNode(*item.dc, item.rect, *m_menuNodes[size_t(nIndex)], kButtonPreviewFlags);
    if (bSelected)
        item.dc->drawFocusRect(item.rect);
}

void PvxCPartsDlg::DrawNode(ui::DeviceContext& dc, const ui::Rect& rc, const CCsvItem& node,
                            int nPreviewFlags) {
    dc.setFont(ui::defaultGuiFont());
    const std::wstring& name = node.m_displayName;
    const ui::Size one = dc.measureText(name.empty() ? std::wstring(L" ") : name);
    const int nCaption = static_cast<int>(one.cy * kCaptionSpace);

    std::wstring strDrawing;
    if (m_symbols.Find(node.m_fileBaseName, PictureNumber(node.GetThumbNumber()), strDrawing)) {
        const zhost_vui_Rect picture{rc.left, rc.top, rc.right, rc.bottom - nCaption};
        if (picture.bottom > picture.top)
            zhost_vui_DrawPreview(strDrawing.c_str(), &dc, &picture, kPreviewMode, nPreviewFlags);
    }

    // A caption too wide for one line is broken at its first blank when both halves then fit
    // under each other.
    std::vector<std::wstring> lines{name};
    const size_t blank = name.find(L' ');
    if (one.cx > rc.width() && blank != std::wstring::npos &&
        name.find(L'\n') == std::wstring::npos && 2 * one.cy <= rc.height())
        lines = {name.substr(0, blank), name.substr(blank + 1)};
    dc.setTextColor(ui::rgb(255, 255, 255));
    ui::Rect line{rc.left, rc.bottom - one.cy * static_cast<int>(lines.size()), rc.right,
                  rc.bottom};
    for (const std::wstring& text : lines) {
        line.bottom = line.top + one.cy;
        dc.drawText(text, line,
                    ui::dt::singleLine | ui::dt::center | ui::dt::bottom | ui::dt::noPrefix);
        line = line.offset(0, one.cy);
    }
}

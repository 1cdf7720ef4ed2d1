#include "selection/PartsDlg.h"

#include "library/LibraryFiles.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/editor/display.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/vorta.h"
#include "zhost/ui/lists.h"

namespace ui = zhost::ui;
namespace zs = zhost::settings;

namespace {

// How many characters of the file base name stand in front of a part's line.
constexpr size_t kBaseNamePrefixChars = 5;
// The text strip of a cell is this many caption heights tall (room for two wrapped lines).
constexpr double kCaptionStripLines = 2.1;
// The preview operation's mode and flags for the cells.
constexpr int kPreviewMode = 2;
constexpr int kCellPreviewFlags = 15;

} // namespace

CPartsDlg::CPartsDlg(const std::wstring& strCatalogueFile, const std::wstring& strSymbolsFolder,
                     ui::Dialog* pParent)
    : ui::Dialog(ZormaResources(), IDD_PARTS, pParent), m_strCatalogueFile(strCatalogueFile),
      m_strSymbolsFolder(strSymbolsFolder), m_symbols(strSymbolsFolder) {
    onCommand(IDC_PARTS_FILTER_APPLY, ui::bn::clicked, [this] { OnApplyFilter(); });
    onCommand(IDC_PARTS_GROUPS, ui::lbn::selChange, [this] { OnGroupChange(); });
    onCommand(IDC_PARTS_ITEMS, ui::lbn::selChange, [this] { OnItemChange(); });
    onCommand(IDC_PARTS_ITEMS, ui::lbn::dblClk, [this] { OnItemDoubleClick(); });
}

CPartsDlg::~CPartsDlg() = default;

std::wstring CPartsDlg::ItemLine(const CatalogueItem& item) {
    return zhost::toUpperName(item.m_fileBaseName.substr(0, kBaseNamePrefixChars) + L" " +
                              item.m_displayName);
}

bool CPartsDlg::onInitDialog() {
    m_bInitializing = true;
    setDialogName(kPartsSelDialogName);
    ui::Dialog::onInitDialog();
    setMinTrackSize({kPartsDlgMinWidth, kPartsDlgMinHeight});
    addAnchor(IDC_PARTS_GROUPS, 0, 0, 0, 100);
    addAnchor(IDC_PARTS_FILTER, 0, 100, 0, 0);
    addAnchor(IDC_PARTS_FILTER_APPLY, 0, 100, 0, 0);
    addAnchor(IDC_PARTS_STATUS, 0, 100, 0, 0);
    addAnchor(IDC_PARTS_ITEMS, 0, 0, 100, 100);
    addAnchor(ui::idOk, 100, 100, 0, 0);
    addAnchor(ui::idCancel, 100, 100, 0, 0);
    if (ui::Control* pStatus = control(IDC_PARTS_STATUS))
        pStatus->show(true);

    // The descriptions' folder follows the library the module found; a catalogue given from
    // elsewhere still colours its parts by that library's descriptions.
    CLibraryPaths paths;
    GetLibraryPaths(paths);
    m_strDlgFolder = paths.m_dlgFolder;

    m_groups.clear();
    ReadCatalogueList(m_groups, m_strCatalogueFile, m_strSymbolsFolder, false);
    auto* pGroups = controlAs<ui::ListBox>(IDC_PARTS_GROUPS);
    auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS);
    if (pGroups)
        for (const CatalogueGroup& g : m_groups)
            pGroups->addString(g.m_name);
    if (const ui::Control* pCell = control(IDC_PARTS_CELL); pCell && pItems) {
        pItems->setItemHeight(pCell->rect().bottom);
        pItems->setColumnWidth(pCell->rect().width());
    }

    RestorePosition();

    std::wstring strMask;
    if (getDialogData(L"Mask", strMask))
        if (auto* pFilter = controlAs<ui::EditControl>(IDC_PARTS_FILTER))
            pFilter->setText(strMask);

    std::wstring strSel;
    if (pGroups) {
        int nGroup = getDialogData(L"Sel0", strSel) ? pGroups->findStringExact(-1, strSel) : -1;
        pGroups->setCurSel(nGroup >= 0 ? nGroup : 0);
    }
    FillItems(FilterText());
    if (pItems) {
        int nLine = getDialogData(L"Sel1", strSel) ? pItems->findStringExact(-1, strSel) : -1;
        pItems->setCurSel(nLine >= 0 ? nLine : 0);
    }

    m_bInitializing = false;
    UpdateStatus();
    show(true);
    return true;
}

void CPartsDlg::RestorePosition() {
    zs::WindowPlacement stored;
    if (!storedPlacement(stored))
        return;
    setPosition(stored.x, stored.y);
    zhost_vui_KeepWindowOnScreen(this, 1);
}

std::wstring CPartsDlg::FilterText() const {
    const auto* pFilter = controlAs<ui::EditControl>(IDC_PARTS_FILTER);
    std::wstring text = pFilter ? pFilter->text() : std::wstring();
    Trim(text);
    return text;
}

const CatalogueGroup* CPartsDlg::SelectedGroup() const {
    const auto* pGroups = controlAs<ui::ListBox>(IDC_PARTS_GROUPS);
    if (!pGroups)
        return nullptr;
    const int nSel = pGroups->curSel();
    if (nSel < 0 || size_t(nSel) >= m_groups.size())
        return nullptr;
    return &m_groups[size_t(nSel)];
}

const CatalogueItem* CPartsDlg::ItemAt(int nLine) const {
    const CatalogueGroup* pGroup = SelectedGroup();
    const auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS);
    if (!pGroup || !pItems || nLine < 0 || nLine >= pItems->count())
        return nullptr;
    const std::uintptr_t nIndex = pItems->itemData(nLine);
    return nIndex < pGroup->m_items.size() ? &pGroup->m_items[nIndex] : nullptr;
}

void CPartsDlg::FillItems(const std::wstring& strFilter) {
    auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS);
    if (!pItems)
        return;
    pItems->resetContent();
    if (const CatalogueGroup* pGroup = SelectedGroup()) {
        std::wstring filter = strFilter;
        Trim(filter);
        filter = zhost::toUpperName(filter);
        for (size_t i = 0; i < pGroup->m_items.size(); ++i) {
            const std::wstring line = ItemLine(pGroup->m_items[i]);
            if (!filter.empty() && line.find(filter) == std::wstring::npos)
                continue;
            const int nLine = pItems->addString(line);
            pItems->setItemData(nLine, i);
        }
    }
    if (ui::Control* pOk = control(ui::idOk))
        pOk->enable(pItems->count() > 0);
}

void CPartsDlg::OnApplyFilter() {
    FillItems(FilterText());
    if (auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS); pItems && pItems->count() > 0)
        pItems->setCurSel(0);
    UpdateStatus();
}

void CPartsDlg::OnGroupChange() {
    if (!m_bInitializing)
        OnApplyFilter();
}

void CPartsDlg::OnItemChange() {
    if (!m_bInitializing)
        UpdateStatus();
}

void CPartsDlg::OnItemDoubleClick() {
    if (!m_bInitializing)
        onOk();
}

void CPartsDlg::UpdateStatus() {
    if (m_bInitializing)
        return;
    const auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS);
    const CatalogueItem* pItem = pItems ? ItemAt(pItems->curSel()) : nullptr;
    if (ui::Control* pStatus = control(IDC_PARTS_STATUS))
        pStatus->setText(pItem ? std::to_wstring(pItem->m_lineNumber) + L":" + pItem->m_fileBaseName
                               : std::wstring());
    if (ui::Control* pOk = control(ui::idOk))
        pOk->enable(pItem != nullptr);
}

std::wstring CPartsDlg::DescriptionPath(const std::wstring& strFileBaseName) const {
    return m_strDlgFolder + strFileBaseName + L".ini";
}

bool CPartsDlg::HasDescription(const std::wstring& strFileBaseName) {
    if (m_strDlgFolder.empty())
        return false;
    if (!m_descriptions)
        m_descriptions = std::make_unique<CFolderIndex>(m_strDlgFolder);
    std::wstring found;
    return m_descriptions->Find(strFileBaseName + L".ini", found);
}

void CPartsDlg::onOk() {
    // The lines are remembered by their text, so the next run finds them again even when the
    // catalogue gained or lost lines meanwhile.
    auto selectedText = [this](int nId) {
        const auto* pList = controlAs<ui::ListBox>(nId);
        const int nSel = pList ? pList->curSel() : -1;
        return nSel >= 0 ? pList->itemText(nSel) : std::wstring();
    };
    setDialogData(L"Sel0", selectedText(IDC_PARTS_GROUPS));
    setDialogData(L"Sel1", selectedText(IDC_PARTS_ITEMS));
    const auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS);
    const CatalogueItem* pItem = pItems ? ItemAt(pItems->curSel()) : nullptr;
    const bool bChosen = pItem != nullptr;
    if (pItem) {
        m_strFileBaseName = pItem->m_fileBaseName;
        m_strDisplayName = pItem->m_displayName;
    }
    setDialogData(L"Mask", FilterText());

    if (zhost::ed::isShiftDown() && bChosen) {
        // The author's shortcut to the part's description: the dialog stays open so that the
        // part can be tried again once the file is saved.
        if (const auto path = zs::resolvePath(DescriptionPath(m_strFileBaseName)))
            zs::openTextFileInEditor(*path);
        return;
    }
    endDialog(ui::idOk);
}

void CPartsDlg::onDestroy() {
    storePlacement(); // not when minimised or maximised
    ui::Dialog::onDestroy();
}

bool CPartsDlg::preTranslateKey(int key, ui::KeyState state) {
    const ui::Control* pFilter = control(IDC_PARTS_FILTER);
    if (key == ui::vk::returnKey && pFilter && focus() == pFilter) {
        postCommand(IDC_PARTS_FILTER_APPLY);
        return true;
    }
    return ui::Dialog::preTranslateKey(key, state);
}

void CPartsDlg::onSize(ui::Size) {
    invalidate(); // the size grip moves with the corner
}

void CPartsDlg::onPaint(ui::DeviceContext& dc) {
    dc.drawSizeGrip(sizeGripRect());
}

void CPartsDlg::onDrawItem(int controlId, ui::DrawItem& item) {
    if (controlId != IDC_PARTS_ITEMS || item.itemId < 0 || item.dc == nullptr)
        return;
    const CatalogueItem* pItem = ItemAt(item.itemId);
    const auto* pItems = controlAs<ui::ListBox>(IDC_PARTS_ITEMS);
    const ui::Control* pCell = control(IDC_PARTS_CELL);
    if (!pItem || !pItems || !pCell)
        return;
    ui::DeviceContext& dc = *item.dc;

    ui::Color text = ui::sysColor(ui::SysColor::windowText);
    ui::Color back = ui::sysColor(ui::SysColor::window);
    const bool bSelected = (item.state & ui::ods::selected) != 0;
    const bool bFocus = (item.state & ui::ods::focus) != 0;
    if (item.state & (ui::ods::disabled | ui::ods::grayed)) {
        text = ui::sysColor(ui::SysColor::grayText);
        back = ui::sysColor(ui::SysColor::inactiveBorder);
    } else if (bSelected && bFocus) {
        text = ui::sysColor(ui::SysColor::highlightText);
        back = ui::sysColor(ui::SysColor::highlight);
    } else if (bSelected) {
        back = ui::sysColor(ui::SysColor::buttonFace);
    }

    const int nHalfMargin = pCell->rect().top / 2;
    const ui::Rect box{item.rect.left + 2, item.rect.top + nHalfMargin, item.rect.right - 2,
                       item.rect.bottom - nHalfMargin};
    const std::wstring caption = pItems->itemText(item.itemId);
    const unsigned format = ui::dt::center | ui::dt::wordBreak | ui::dt::noPrefix;
    ui::Rect measured = box;
    dc.drawText(caption, measured,
                ui::dt::singleLine | ui::dt::center | ui::dt::noPrefix | ui::dt::calcRect);
    const int nStrip = static_cast<int>(measured.height() * kCaptionStripLines);
    ui::Rect strip{box.left, box.bottom - nStrip, box.right, box.bottom};
    dc.fillRect(strip, back);
    if (bFocus)
        dc.drawFocusRect(strip);
    strip = strip.deflate(2, 0);
    // Parts without a dialog description stand out, so the library's author sees what is
    // missing before a user picks it.
    dc.setTextColor(HasDescription(pItem->m_fileBaseName) ? text : ui::rgb(255, 0, 0));
    dc.drawText(caption, strip, format);

    std::wstring strDrawing;
    const int nNumber = zhost::ed::isShiftDown() ? 0 : 1;
    if (m_symbols.Find(pItem->m_fileBaseName, nNumber, strDrawing)) {
        const zhost_vui_Rect picture{box.left, item.rect.top + nHalfMargin, box.right,
                                     strip.top - 1};
        zhost_vui_DrawPreview(strDrawing.c_str(), &dc, &picture, kPreviewMode, kCellPreviewFlags);
    }
}

// TSpread and CSpreadSheet.
#include "selection/SpreadSheet.h"

#include "zhost/ui/types.h"

using zhost::ui::Grid;
using zhost::ui::Message;

TSpread::~TSpread() {
    if (m_pGrid && !m_gridLife.expired()) {
        m_pGrid->setNotifyHook({});
        m_pGrid->setWindowHook({});
    }
}

void TSpread::Subclass(Grid* pGrid) {
    m_pGrid = pGrid;
    if (!pGrid)
        return;
    m_gridLife = pGrid->lifetime();
    pGrid->setNotifyHook(
        [this](const Message& m, std::intptr_t& result) { return OnGridNotify(m, result); });
    pGrid->setWindowHook(
        [this](const Message& m, std::intptr_t& result) { return OnGridMessage(m, result); });
}

bool TSpread::OnGridNotify(const Message&, std::intptr_t&) {
    return false;
}
bool TSpread::OnGridMessage(const Message&, std::intptr_t&) {
    return false;
}

// --- Attaching ----------------------------------------------------------------------------------

bool CSpreadSheet::AttachToPlaceholder(zhost::ui::Dialog* pParent, int nCtrlId) {
    m_pParent = pParent;
    if (!pParent)
        return false;
    zhost::ui::Control* pHolder = pParent->control(nCtrlId);
    if (!pHolder)
        return false;
    zhost::ui::Control* pBefore = pParent->previousSibling(pHolder);
    const zhost::ui::Rect rect = pHolder->rect();
    const std::uint32_t style = pHolder->style();
    if (!pParent->destroyControl(nCtrlId))
        return false;
    zhost::ui::Control* pNew = pParent->createControl(zhost::ui::ControlKind::grid, nCtrlId, L"",
                                                      style | zhost::ui::ws::border | 0x1000, rect,
                                                      pBefore, pBefore != nullptr);
    auto* pGrid = dynamic_cast<Grid*>(pNew);
    if (!pGrid)
        return false;
    if (!pBefore)
        pParent->placeAfter(pGrid, nullptr); // it was the first child
    pGrid->modifyStyle(0, zhost::ui::ws::tabStop);
    pGrid->setFontRange(-1, -1, -1, -1, pParent->font());
    pGrid->setBool(SPREAD_OPT_AUTO_SCROLLBARS, true);
    Subclass(pGrid);
    return true;
}

void CSpreadSheet::SetRange(bool bRange, int nLastCol, int nLastRow) {
    m_bRange = bRange;
    m_nCol2 = nLastCol;
    m_nRow2 = nLastRow;
}

// --- Cells --------------------------------------------------------------------------------------

std::wstring CSpreadSheet::GetText() const {
    if (!m_pGrid || m_pGrid->dataLen(m_nCol, m_nRow) == 0)
        return {};
    return m_pGrid->data(m_nCol, m_nRow);
}

std::wstring CSpreadSheet::GetValue() const {
    std::wstring value;
    if (!m_pGrid || m_pGrid->valueLen(m_nCol, m_nRow) == 0 ||
        !m_pGrid->getValue(m_nCol, m_nRow, value))
        return {};
    return value;
}

bool CSpreadSheet::SetText(const std::wstring& text) {
    if (!m_pGrid)
        return false;
    return m_bRange ? m_pGrid->setDataRange(m_nCol, m_nRow, m_nCol2, m_nRow2, text)
                    : m_pGrid->setData(m_nCol, m_nRow, text);
}

bool CSpreadSheet::SetValue(const std::wstring& value) {
    if (!m_pGrid)
        return false;
    return m_bRange ? m_pGrid->setValueRange(m_nCol, m_nRow, m_nCol2, m_nRow2, value)
                    : m_pGrid->setValue(m_nCol, m_nRow, value);
}

int CSpreadSheet::GetCellType() const {
    return m_pGrid ? m_pGrid->cellType(m_nCol, m_nRow) : 0;
}

zhost::ui::Color CSpreadSheet::GetBackColor() const {
    zhost::ui::Color bg = 0, fg = 0;
    if (!m_pGrid || !m_pGrid->getColor(m_nCol, m_nRow, bg, fg))
        return 0;
    return bg;
}

bool CSpreadSheet::SetBackColor(zhost::ui::Color color) {
    if (!m_pGrid)
        return false;
    const zhost::ui::Color keep = zhost::ui::grid::colorUnchanged;
    return m_bRange ? m_pGrid->setColorRange(m_nCol, m_nRow, m_nCol2, m_nRow2, color, keep)
                    : m_pGrid->setColor(m_nCol, m_nRow, color, keep);
}

bool CSpreadSheet::IsLocked() const {
    return m_pGrid && m_pGrid->isLocked(m_nCol, m_nRow);
}

bool CSpreadSheet::SetLock(bool bLock) {
    if (!m_pGrid)
        return false;
    return m_bRange ? m_pGrid->setLockRange(m_nCol, m_nRow, m_nCol2, m_nRow2, bLock)
                    : m_pGrid->setLock(m_nCol, m_nRow, bLock);
}

namespace {

bool ApplyType(Grid* pGrid, bool bRange, int c, int r, int c2, int r2,
               const zhost::ui::CellType& type) {
    if (!pGrid)
        return false;
    return bRange ? pGrid->setCellTypeRange(c, r, c2, r2, type) : pGrid->setCellType(c, r, type);
}

} // namespace

bool CSpreadSheet::SetStaticText(unsigned nStyle) {
    return ApplyType(m_pGrid, m_bRange, m_nCol, m_nRow, m_nCol2, m_nRow2,
                     zhost::ui::CellType::staticText(nStyle));
}

bool CSpreadSheet::SetEdit(int nMaxLength, unsigned nStyle, int nCharSet, int nCase) {
    return ApplyType(m_pGrid, m_bRange, m_nCol, m_nRow, m_nCol2, m_nRow2,
                     zhost::ui::CellType::edit(nStyle, nMaxLength, nCharSet, nCase));
}

bool CSpreadSheet::SetDropDown(const std::wstring& items, unsigned nStyle, int nMaxDropRows) {
    std::vector<std::wstring> list;
    if (!items.empty()) {
        size_t start = 0;
        while (true) {
            const size_t tab = items.find(L'\t', start);
            list.push_back(items.substr(start, tab == std::wstring::npos ? tab : tab - start));
            if (tab == std::wstring::npos)
                break;
            start = tab + 1;
        }
    }
    return ApplyType(m_pGrid, m_bRange, m_nCol, m_nRow, m_nCol2, m_nRow2,
                     zhost::ui::CellType::dropDown(nStyle & ~4u, std::move(list), nMaxDropRows));
}

bool CSpreadSheet::SetCheckBox(const zhost::ui::Bitmap* const pictures[6], unsigned nStyle,
                               const std::wstring& caption, const wchar_t* pValue) {
    zhost::ui::CheckPictures pics;
    for (int i = 0; i < 6; ++i)
        pics.pictures[size_t(i)] = pictures ? pictures[i] : nullptr;
    if (!ApplyType(m_pGrid, m_bRange, m_nCol, m_nRow, m_nCol2, m_nRow2,
                   zhost::ui::CellType::checkBox(nStyle, caption, pics)))
        return false;
    return pValue ? SetValue(pValue) : true;
}

// --- Drop-down items ----------------------------------------------------------------------------

int CSpreadSheet::GetComboCount() const {
    return m_pGrid ? m_pGrid->comboCount(m_nCol, m_nRow) : -1;
}

int CSpreadSheet::GetComboCurSel() const {
    return m_pGrid ? m_pGrid->comboCurSel(m_nCol, m_nRow) : -1;
}

std::wstring CSpreadSheet::GetComboText(int nIndex) const {
    std::wstring text;
    if (m_pGrid)
        m_pGrid->comboText(m_nCol, m_nRow, nIndex, text);
    return text;
}

bool CSpreadSheet::SetComboCurSel(int nIndex) {
    return m_pGrid && m_pGrid->comboSetCurSel(m_nCol, m_nRow, nIndex);
}

std::wstring CSpreadSheet::GetComboItems() const {
    std::wstring all;
    const int n = GetComboCount();
    for (int i = 0; i < n; ++i) {
        if (i)
            all += L'\t';
        all += GetComboText(i);
    }
    return all;
}

// --- Rows and columns ---------------------------------------------------------------------------

std::intptr_t CSpreadSheet::GetRowUserData() const {
    std::intptr_t data = 0;
    if (!m_pGrid || !m_pGrid->getRowUserData(m_nRow, data))
        return 0;
    return data;
}

bool CSpreadSheet::SetRowUserData(std::intptr_t data) {
    return m_pGrid && m_pGrid->setRowUserData(m_nRow, data);
}

double CSpreadSheet::GetRowHeight() const {
    return m_pGrid ? m_pGrid->rowHeight(m_nRow) : 0;
}
bool CSpreadSheet::ShowCol(bool bShow) {
    return m_pGrid && m_pGrid->showCol(m_nCol, bShow);
}
bool CSpreadSheet::ShowRow(bool bShow) {
    return m_pGrid && m_pGrid->showRow(m_nRow, bShow);
}
bool CSpreadSheet::SetColWidth(double width) {
    return m_pGrid && m_pGrid->setColWidth(m_nCol, width);
}

// --- Selection and options ----------------------------------------------------------------------

bool CSpreadSheet::GetSelection(int& nCol, int& nRow, int& nCol2, int& nRow2) const {
    if (!m_pGrid)
        return false;
    zhost::ui::CellBlock b;
    if (m_pGrid->getSelectBlock(b)) {
        nCol = b.col1, nRow = b.row1, nCol2 = b.col2, nRow2 = b.row2;
        return true;
    }
    m_pGrid->activeCell(nCol, nRow);
    nCol2 = nCol;
    nRow2 = nRow;
    return true;
}

int CSpreadSheet::GetActiveCol() const {
    if (!m_pGrid)
        return -1;
    int c = 0, r = 0;
    m_pGrid->activeCell(c, r);
    return c;
}

bool CSpreadSheet::GetOption(int nOption) const {
    return m_pGrid && m_pGrid->getBool(nOption);
}
bool CSpreadSheet::SetOption(int nOption, bool bOn) {
    return m_pGrid && m_pGrid->setBool(nOption, bOn);
}

void CSpreadSheet::SetOptions32And33(int nBits) {
    SetOption(SPREAD_OPT_NO_BEEP, (nBits & 1) != 0);
    SetOption(SPREAD_OPT_MOVE_ON_FOCUS, (nBits & 2) != 0);
}

void CSpreadSheet::SetOptions10And11(int nBits) {
    SetOption(SPREAD_OPT_ARROWS_EXIT, (nBits & 1) != 0);
    SetOption(SPREAD_OPT_RETURN_DOWN, (nBits & 2) != 0);
}

void CSpreadSheet::SetSelBlockOptions(int nOptions) {
    if (m_pGrid)
        m_pGrid->setSelBlockOptions(nOptions);
}

bool CSpreadSheet::GetClientRect(zhost::ui::Rect& rect) const {
    if (!m_pGrid)
        return false;
    rect = m_pGrid->clientRect();
    return true;
}

// --- Keys ---------------------------------------------------------------------------------------

bool CSpreadSheet::OnGridMessage(const Message& m, std::intptr_t& result) {
    // Typing through an input method edits the active cell.
    if (m.id == zhost::ui::wm::keyDown && int(m.wParam) == zhost::ui::vk::processKey && m_pGrid &&
        !m_pGrid->editMode()) {
        m_pGrid->setEditMode(true);
        result = 1;
        return true;
    }
    return false;
}

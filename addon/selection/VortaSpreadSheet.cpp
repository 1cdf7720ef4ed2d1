// VortaSpreadSheet: clipboard keys, paste shapes and the popup menu.
#include "selection/VortaSpreadSheet.h"

#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/ui/services.h"

#include <algorithm>

using zhost::ui::Grid;
using zhost::ui::GridNotify;
using zhost::ui::Message;
namespace gridmsg = zhost::ui::grid;

namespace {

// Option 8 (redraw) off for the life of the scope: bulk changes paint once at the end.
class CRedrawOff {
public:
    explicit CRedrawOff(Grid* pGrid) : m_pGrid(pGrid) {
        if (m_pGrid)
            m_pGrid->setBool(SPREAD_OPT_REDRAW, false);
    }
    ~CRedrawOff() {
        if (m_pGrid)
            m_pGrid->setBool(SPREAD_OPT_REDRAW, true);
    }
    CRedrawOff(const CRedrawOff&) = delete;
    CRedrawOff& operator=(const CRedrawOff&) = delete;

private:
    Grid* m_pGrid;
};

} // namespace

VortaSpreadSheet::~VortaSpreadSheet() = default;

// --- Copy and cut -------------------------------------------------------------------------------

void VortaSpreadSheet::Copy() {
    CopyOrCut(false);
}
void VortaSpreadSheet::Cut() {
    CopyOrCut(true);
}

void VortaSpreadSheet::CopyOrCut(bool bCut) {
    if (!m_pGrid)
        return;
    if (m_pGrid->editMode()) {
        // With option 25 on, the cell editor does its own clipboard keys.
        if (m_pGrid->getBool(SPREAD_OPT_EDITOR_KEYS))
            return;
        m_pGrid->clipboardCopy();
        if (bCut)
            m_pGrid->replaceSel(L"");
        return;
    }
    if (m_pGrid->getBool(SPREAD_OPT_EDITOR_KEYS))
        m_pGrid->setBool(SPREAD_OPT_EDITOR_KEYS, false);
    CRedrawOff redrawOff(m_pGrid);
    zhost::ui::CellBlock previous;
    const bool bHadBlock = m_pGrid->getSelectBlock(previous);
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    GetSelection(c1, r1, c2, r2);
    if (c1 == -1 || c2 == -1)
        c1 = 1, c2 = m_pGrid->maxCols();
    if (r1 == -1 || r2 == -1)
        r1 = 1, r2 = m_pGrid->maxRows();
    m_pGrid->setSelectBlock(zhost::ui::CellBlock{c1, r1, c2, r2});
    if (bCut)
        m_pGrid->clipboardCut();
    else
        m_pGrid->clipboardCopy();
    if (bHadBlock)
        m_pGrid->setSelectBlock(previous);
    else
        m_pGrid->clearSelection();
}

// --- Paste --------------------------------------------------------------------------------------

std::vector<std::vector<std::wstring>>
VortaSpreadSheet::SplitClipboardText(const std::wstring& text) {
    std::vector<std::vector<std::wstring>> rows;
    size_t start = 0;
    while (start <= text.size()) {
        size_t lf = text.find(L'\n', start);
        const bool last = lf == std::wstring::npos;
        // Text after the last line feed is a row unless it is empty.
        if (last && start == text.size() && !rows.empty())
            break;
        const std::wstring line = text.substr(start, last ? std::wstring::npos : lf - start);
        std::vector<std::wstring> cells;
        size_t cs = 0;
        while (true) {
            const size_t tab = line.find(L'\t', cs);
            std::wstring cell = line.substr(cs, tab == std::wstring::npos ? tab : tab - cs);
            if (const size_t cr = cell.find(L'\r'); cr != std::wstring::npos)
                cell.resize(cr);
            cells.push_back(std::move(cell));
            if (tab == std::wstring::npos)
                break;
            cs = tab + 1;
        }
        rows.push_back(std::move(cells));
        if (last)
            break;
        start = lf + 1;
    }
    return rows;
}

void VortaSpreadSheet::WriteCell(int nCol, int nRow, const std::wstring& text) {
    if (nCol < 1 || nRow < 1 || nCol > m_pGrid->maxCols() || nRow > m_pGrid->maxRows())
        return;
    if (m_pGrid->isLocked(nCol, nRow))
        return;
    m_pGrid->setData(nCol, nRow, text);
    GridNotify n;
    n.controlId = m_pGrid->id();
    n.code = int(gridmsg::textChanged);
    n.col = nCol;
    n.row = nRow;
    if (m_pParent)
        m_pParent->sendMessage(gridmsg::textChanged, std::uintptr_t(m_pGrid->id()),
                               reinterpret_cast<std::intptr_t>(&n));
}

void VortaSpreadSheet::Paste() {
    if (!m_pGrid)
        return;
    if (m_pGrid->getBool(SPREAD_OPT_EDITOR_KEYS))
        m_pGrid->setBool(SPREAD_OPT_EDITOR_KEYS, false);
    std::wstring text;
    if (!zhost::ui::getClipboardText(text))
        return;
    const auto cells = SplitClipboardText(text);
    if (cells.empty())
        return;
    if (m_pGrid->editMode()) {
        // The editor takes one cell's text only.
        if (cells.size() == 1 && cells[0].size() == 1)
            m_pGrid->replaceSel(cells[0][0]);
        return;
    }
    CRedrawOff redrawOff(m_pGrid);
    PasteBlock(cells);
}

void VortaSpreadSheet::PasteBlock(const std::vector<std::vector<std::wstring>>& cells) {
    const int nRows = int(cells.size());
    const int nCols = int(cells[0].size());
    auto at = [&](int r, int c) -> std::wstring {
        const auto& row = cells[size_t(r)];
        return size_t(c) < row.size() ? row[size_t(c)] : std::wstring();
    };
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    GetSelection(c1, r1, c2, r2);
    if (c1 == -1 || c2 == -1)
        c1 = 1, c2 = m_pGrid->maxCols();
    if (r1 == -1 || r2 == -1)
        r1 = 1, r2 = m_pGrid->maxRows();
    if (c1 > c2)
        std::swap(c1, c2);
    if (r1 > r2)
        std::swap(r1, r2);
    c2 = std::min(c2, m_pGrid->maxCols());
    r2 = std::min(r2, m_pGrid->maxRows());
    const int nTargetCols = c2 - c1 + 1, nTargetRows = r2 - r1 + 1;

    if (nRows == 1 && nCols == 1) { // one value into every cell of the target
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c)
                WriteCell(c, r, at(0, 0));
        return;
    }
    if (nCols == 1 && nRows == nTargetRows) { // a column of values down every selected column
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c)
                WriteCell(c, r, at(r - r1, 0));
        return;
    }
    if (nRows == 1 && nCols == nTargetCols) { // a row of values across every selected row
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c)
                WriteCell(c, r, at(0, c - c1));
        return;
    }
    // Tiled from the top-left cell; a one-column or one-row target grows to the block's size.
    if (nTargetCols == 1)
        c2 = c1 + nCols - 1;
    if (nTargetRows == 1)
        r2 = r1 + nRows - 1;
    c2 = std::min(c2, m_pGrid->maxCols());
    r2 = std::min(r2, m_pGrid->maxRows());
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            WriteCell(c, r, at((r - r1) % nRows, (c - c1) % nCols));
}

void VortaSpreadSheet::ClearSelection() {
    if (!m_pGrid)
        return;
    CRedrawOff redrawOff(m_pGrid);
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    GetSelection(c1, r1, c2, r2);
    if (c1 == -1 || c2 == -1)
        c1 = 1, c2 = m_pGrid->maxCols();
    if (r1 == -1 || r2 == -1)
        r1 = 1, r2 = m_pGrid->maxRows();
    for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r)
        for (int c = std::min(c1, c2); c <= std::max(c1, c2); ++c)
            if (!m_pGrid->data(c, r).empty())
                WriteCell(c, r, L"");
}

// --- Notifications ------------------------------------------------------------------------------

bool VortaSpreadSheet::OnGridNotify(const Message& m, std::intptr_t& result) {
    switch (m.id) {
    case gridmsg::editModeOn:
        SetOption(SPREAD_OPT_EDITOR_KEYS, true);
        return false; // the dialog hears of it too
    case gridmsg::editModeOff:
        SetOption(SPREAD_OPT_EDITOR_KEYS, false);
        return false;
    case gridmsg::keyDown: {
        const std::intptr_t l = m.lParam;
        if (OnKeyDown(int(l & 0xFFFF), (l & gridmsg::keyShift) != 0,
                      (l & gridmsg::keyControl) != 0)) {
            result = 1;
            return true;
        }
        return false;
    }
    case gridmsg::rightClick: {
        if (!m_pGrid || m_pGrid->editMode())
            return false;
        const auto* n = reinterpret_cast<const GridNotify*>(m.lParam);
        OnRightClick(n ? n->x : 0, n ? n->y : 0);
        result = 1;
        return true;
    }
    default:
        return false;
    }
}

bool VortaSpreadSheet::OnKeyDown(int nKey, bool bShift, bool bControl) {
    if (!m_pGrid)
        return false;
    if (m_pGrid->editMode()) {
        if (!GetOption(SPREAD_OPT_EDITOR_KEYS))
            SetOption(SPREAD_OPT_EDITOR_KEYS, true);
        if (bControl && nKey == 'C')
            Copy();
        else if (bControl && nKey == 'V')
            Paste();
        else if (bControl && nKey == 'X')
            Cut();
        // The cell editor goes on with the key as well.
        return false;
    }
    if ((bShift && nKey == zhost::ui::vk::insert) || (bControl && nKey == 'V')) {
        Paste();
        return true;
    }
    if ((bControl && nKey == zhost::ui::vk::insert) || (bControl && nKey == 'C')) {
        Copy();
        return true;
    }
    if (bControl && nKey == 'X') {
        Cut();
        return true;
    }
    if (nKey == zhost::ui::vk::del) {
        ClearSelection();
        return true;
    }
    if (nKey == zhost::ui::vk::f2) {
        m_pGrid->setEditMode(true);
        return true;
    }
    return false;
}

void VortaSpreadSheet::OnRightClick(int x, int y) {
    if (!m_pMenu) {
        m_pMenu = std::make_unique<zhost::ui::Menu>();
        for (int nId : {IDS_GRID_CUT, IDS_GRID_COPY, IDS_GRID_PASTE})
            m_pMenu->appendItem(zhost::ui::mf::string, nId, LoadZormaString(nId));
    }
    const int nCmd = m_pMenu->trackPopup(zhost::ui::Point{x, y}, m_pParent, true);
    if (nCmd == IDS_GRID_CUT)
        Cut();
    else if (nCmd == IDS_GRID_COPY)
        Copy();
    else if (nCmd == IDS_GRID_PASTE)
        Paste();
}

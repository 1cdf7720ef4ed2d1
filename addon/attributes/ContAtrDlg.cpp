#include "attributes/ContAtrDlg.h"

#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/settings/dialogdata.h"
#include "zhost/settings/vorta.h"
#include "zhost/ui/device_context.h"
#include "zhost/ui/grid.h"

#include <algorithm>

namespace ui = zhost::ui;

namespace {

constexpr int kPromptCol = 1;
constexpr int kValueCol = 2;
// The grid's unit type in which the column widths are worked out (twips for both directions,
// so that the row height and the widths share one unit).
constexpr int kTwipsUnitType = 2;

} // namespace

CContAtrDlg::CContAtrDlg(CAtrArray& items, ui::Dialog* pParent)
    : ui::Dialog(ZormaResources(), IDD_CONT_ATR, pParent), m_items(items) {}

bool CContAtrDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    m_sheet.AttachToPlaceholder(this, IDC_CONT_ATR_GRID);
    setDialogName(kContAtrDialogName);
    RestorePlacement();
    setMinTrackSize({kContAtrMinWidth, kContAtrMinHeight});
    addAnchor(IDC_CONT_ATR_GRID, 0, 0, 100, 100);
    addAnchor(ui::idOk, 100, 100, 0, 0);
    addAnchor(ui::idCancel, 100, 100, 0, 0);
    FillGrid();
    return true;
}

void CContAtrDlg::RestorePlacement() {
    zhost::settings::WindowPlacement stored;
    if (!storedPlacement(stored))
        return;
    const ui::Rect now = windowRect();
    const int width = stored.width > 0 ? std::max(stored.width, kContAtrMinWidth) : now.width();
    const int height =
        stored.height > 0 ? std::max(stored.height, kContAtrMinHeight) : now.height();
    moveWindow(ui::Rect::fromSize(stored.x, stored.y, width, height));
    zhost_vui_KeepWindowOnScreen(this, 1);
}

void CContAtrDlg::FillGrid() {
    ui::Grid* grid = m_sheet.GetGrid();
    if (grid == nullptr)
        return;
    m_sheet.SetOption(SPREAD_OPT_REDRAW, false);
    m_shown.clear();
    grid->setMaxCols(2);
    grid->setMaxRows(static_cast<int>(m_items.size()));
    grid->setFontRange(-1, -1, -1, -1, font());
    grid->setData(kPromptCol, 0, L"項目名");
    grid->setData(kValueCol, 0, L"値");
    for (size_t i = 0; i < m_items.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        m_sheet.SetCurRow(row);
        m_sheet.SetCurCol(kPromptCol);
        m_sheet.SetStaticText(0);
        m_sheet.SetText(m_items[i].m_prompt);
        m_sheet.SetLock(true);
        m_sheet.SetCurCol(kValueCol);
        m_sheet.SetEdit(kAtrValueMaxChars, 0, 0, 0);
        m_shown.push_back(m_items[i].m_value.substr(0, kAtrValueMaxChars));
        m_sheet.SetText(m_shown.back());
        m_sheet.SetLock(false);
    }
    SetColumnWidths();
    m_sheet.SetOptions10And11(3);
    m_sheet.SetOption(SPREAD_OPT_TAB_CELLS, true);
    m_sheet.SetOptions32And33(3);
    grid->setClipboardOptions(0);
    m_sheet.SetOption(SPREAD_OPT_REDRAW, true);
}

void CContAtrDlg::SetColumnWidths() {
    ui::Grid* grid = m_sheet.GetGrid();
    ui::Rect client;
    if (grid == nullptr || !m_sheet.GetClientRect(client))
        return;
    const int oldUnits = grid->unitType();
    grid->setUnitType(kTwipsUnitType);
    // Two row heights are left for the row numbers and the scroll bar.
    const double width = (grid->pixelsToWidthUnits(client.width()) - 2 * grid->rowHeight(0)) / 2;
    if (width > 0) {
        grid->setColWidth(kPromptCol, width);
        grid->setColWidth(kValueCol, width);
    }
    grid->setUnitType(oldUnits);
}

void CContAtrDlg::onOk() {
    if (m_sheet.GetGrid() != nullptr) {
        m_sheet.SetCurCol(kValueCol);
        for (size_t i = 0; i < m_items.size() && i < m_shown.size(); ++i) {
            m_sheet.SetCurRow(static_cast<int>(i) + 1);
            // A value longer than a cell holds (written by another program) is kept whole
            // unless the user changed what the cell showed of it.
            std::wstring typed = m_sheet.GetText();
            if (typed != m_shown[i])
                m_items[i].m_value = std::move(typed);
        }
    }
    endDialog(ui::idOk);
}

void CContAtrDlg::onDestroy() {
    storePlacement(); // not when minimised or maximised
    ui::Dialog::onDestroy();
}

void CContAtrDlg::onPaint(ui::DeviceContext& dc) {
    dc.drawSizeGrip(sizeGripRect());
}

int RunContAtrDlg(CAtrArray& items) {
    CZormaResourceScope resources;
    CContAtrDlg dlg(items);
    return dlg.runModal();
}

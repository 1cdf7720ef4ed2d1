// The condition dialog's results: the value each control yields, the validation on OK, and
// what OK writes back into the description and into the per-user store.
#include "selection/CondValidation.h"
#include "selection/ContCondDlg.h"
#include "selection/RunContCondDlg.h"

#include "frame/RegSwitches.h"
#include "frame/SettingsLib.h"
#include "library/LibraryFiles.h"
#include "library/LibraryText.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/services.h"

namespace ui = zhost::ui;

namespace {

std::wstring FileStem(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

} // namespace

bool CContCondDlg::YieldValue(int index, std::wstring& value, bool& enabled) const {
    const CParam& p = Param(index);
    const ui::Grid* grid = m_sheet.GetGrid();
    const int row = GetFirstRow(index);
    value.clear();
    enabled = true;
    switch (p.m_kind) {
    case ControlKind::Drawing: {
        std::vector<std::wstring> suffixes;
        Split(p.m_symbol, suffixes, L",");
        if (m_selectedButton < 0 || static_cast<size_t>(m_selectedButton) >= suffixes.size())
            return false;
        value = suffixes[static_cast<size_t>(m_selectedButton)];
        Trim(value);
        return true;
    }
    case ControlKind::List: {
        const ui::ListBox* box = ListBoxOf(index);
        if (box == nullptr || box->curSel() < 0)
            return false;
        value = box->itemText(box->curSel());
        enabled = box->isEnabled();
        return true;
    }
    case ControlKind::Radio: {
        const int checked = CheckedOption(index);
        if (checked < 0 || grid == nullptr)
            return false;
        int col = 0;
        int r = 0;
        OptionCell(index, checked, col, r);
        value = std::to_wstring(checked);
        enabled = !grid->isLocked(col, r);
        return true;
    }
    case ControlKind::Check:
    case ControlKind::Edit:
    case ControlKind::ComboList:
        if (row < 1 || grid == nullptr)
            return false;
        value = grid->data(kCondValueCol, row);
        if (p.Is(ControlKind::Check))
            value = value == L"1" ? L"1" : L"0";
        Trim(value);
        enabled = !grid->isLocked(kCondValueCol, row);
        return true;
    case ControlKind::Quality: {
        if (row < 1 || grid == nullptr)
            return false;
        value = grid->data(kCondValueCol, row);
        const std::wstring strength = grid->data(kCondValueCol, row + 1);
        if (!strength.empty())
            value += L"," + strength;
        enabled = !grid->isLocked(kCondValueCol, row);
        return true;
    }
    case ControlKind::Label:
    case ControlKind::Header:
        return false;
    }
    return false;
}

void CContCondDlg::onOk() {
    ui::Grid* grid = m_sheet.GetGrid();
    if (grid != nullptr && grid->editMode())
        grid->setEditMode(false);
    if (!ValidateOnOk())
        return;
    TakeResults();
    endDialog(ui::idOk);
}

bool CContCondDlg::ValidateOnOk() {
    const bool debug = IsShowDebugInfo();
    const CValidationResult r = Validate(m_desc.m_error, *this, [this, debug](const CTapCheck& t) {
        if (debug)
            ui::messageBox(this, TapDepthDebugText(t), L"TAP_ERR");
    });
    if (!r.m_failed)
        return true;
    ui::messageBox(this, r.m_message, title(), ui::mbIconWarning);
    return false;
}

void CContCondDlg::TakeResults() {
    CUserStore store;
    store.SelectSection(StoreSection().c_str());
    for (int i = 0; i < m_desc.GetCount(); ++i) {
        CParam& p = Param(i);
        p.m_enabledAtOk = false;
        std::wstring value;
        bool enabled = true;
        if (!YieldValue(i, value, enabled))
            continue;
        p.m_value = value;
        p.m_enabledAtOk = enabled;
        switch (p.m_kind) {
        case ControlKind::Drawing:
            m_desc.m_drawingNumber = ToIndex(value, 0);
            store.SetInt(p.m_name.c_str(), m_desc.m_drawingNumber);
            break;
        case ControlKind::Radio:
        case ControlKind::Check:
            store.SetInt(p.m_name.c_str(), ToIndex(value, 0));
            break;
        case ControlKind::Quality:
            store.SetString(p.m_name.c_str(), value.c_str());
            // A disabled material is remembered for next time but not placed.
            if (!enabled)
                p.m_value.clear();
            break;
        case ControlKind::List:
        case ControlKind::Edit:
        case ControlKind::ComboList:
            store.SetString(p.m_name.c_str(), value.c_str());
            break;
        case ControlKind::Label:
        case ControlKind::Header:
            break;
        }
    }
    m_desc.m_symbolBlockName = SymbolBlockName();
}

std::wstring CContCondDlg::SymbolBlockName() const {
    if (m_selectedButton >= 0 && m_selectedButton < m_buttonCount) {
        const std::wstring& shown = m_buttons[static_cast<size_t>(m_selectedButton)].GetDrawing();
        const std::wstring symbols = m_desc.GetSymbolsFolder();
        // A picture from the symbols folder is itself the drawing to place.
        if (shown.size() > symbols.size() &&
            zhost::equalsNoCase(std::wstring_view(shown).substr(0, symbols.size()), symbols) &&
            DrawingFileExists(shown))
            return FileStem(shown);
    }
    return m_desc.m_fileName + L"_" + std::to_wstring(m_desc.m_drawingNumber);
}

bool RunContCondDlg(PartDescription& desc, const std::wstring& displayName, int drawingNumber,
                    bool isEdit) {
    CZormaResourceScope resources;
    CContCondDlg dlg(isEdit, drawingNumber, displayName, desc);
    return dlg.runModal() == ui::idOk;
}

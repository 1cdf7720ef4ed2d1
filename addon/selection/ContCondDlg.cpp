// The condition dialog's life: initialisation in its fixed order, the messages of the grid, the
// lists and the picture buttons, the keys, the timer, and what the rules read from it.
#include "selection/ContCondDlg.h"

#include "frame/RegSwitches.h"
#include "frame/SettingsLib.h"
#include "frame/UserSections.h"
#include "library/LibraryText.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/settings/vorta.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"

#include <cwctype>

namespace ui = zhost::ui;

namespace {

// Rows a Tab in the grid looks through for the next control.
constexpr int kTabScanRows = 99;
// Windows this narrow are not placed where they were last (a position stored from a broken
// window would otherwise keep the dialog out of reach).
constexpr int kMinRestoredWidth = 50;

const ui::GridNotify* NotifyOf(std::intptr_t lParam) {
    return reinterpret_cast<const ui::GridNotify*>(lParam);
}

} // namespace

CContCondDlg::CContCondDlg(bool isEdit, int drawingNumber, const std::wstring& displayName,
                           PartDescription& desc, ui::Dialog* pParent)
    : ui::Dialog(ZormaResources(), IDD_CONT_COND, pParent), m_desc(desc), m_isEdit(isEdit),
      m_drawingNumber(drawingNumber), m_displayName(displayName) {
    onCommand(IDC_COND_GRID, ui::grid::clickNotify, [this] { OnGridClickCommand(); });
    onCommand(IDC_COND_GRID, ui::grid::checkClickNotify, [this] { OnGridClickCommand(); });
    onMessage(ui::grid::textChanged,
              [this](std::uintptr_t, std::intptr_t l) { return OnGridTextChanged(l); });
    onMessage(ui::grid::comboSelChange,
              [this](std::uintptr_t, std::intptr_t l) { return OnGridComboChanged(l); });
    onMessage(ui::grid::cellQuery,
              [this](std::uintptr_t, std::intptr_t l) { return OnGridCellQuery(l); });
    onMessage(kCondListSelectMessage, [this](std::uintptr_t w, std::intptr_t) {
        if (!m_initialising)
            OnListSelect(static_cast<int>(w));
        return std::intptr_t{0};
    });
    for (int i = 0; i < kCondListBoxes; ++i) {
        const int id = IDC_COND_LIST1 + i;
        onCommand(id, ui::lbn::selChange, [this, id] {
            if (!m_initialising)
                OnListSelect(id);
        });
    }
    for (int i = 0; i < kCondPictureButtons; ++i)
        onCommand(IDC_COND_PICTURE1 + i, ui::bn::clicked, [this, i] { OnPictureClicked(i); });
}

CContCondDlg::~CContCondDlg() = default;

bool CContCondDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    m_initialising = true;
    m_sheet.AttachToPlaceholder(this, IDC_COND_GRID);
    SetTitleText();
    m_layout.assign(m_desc.m_params.size(), {});
    LoadStoredValues();
    SetUpGrid();
    BuildControls();
    RefreshPictures();
    Arrange();
    for (int i = 0; i < m_desc.GetCount(); ++i) {
        if (Param(i).Is(ControlKind::List))
            ApplyListRule(i);
        else
            ApplyControlRule(i);
    }
    ApplyGlobalRules();
    RestorePosition();
    FocusFirstControl();
    m_initialising = false;
    setTimer(kCondTimerId, kCondInitialFillMs);
    return false; // the focus is set
}

void CContCondDlg::SetTitleText() {
    std::wstring title = m_desc.m_fileName.substr(0, 5) + L" - " + m_displayName;
    if (IsShowDebugInfo())
        title += L"/" + m_desc.m_fileName;
    setTitle(title);
}

std::wstring CContCondDlg::StoreSection() const {
    return std::wstring(kUserSectionContCondDlgPrefix) + m_desc.m_fileName;
}

void CContCondDlg::RestorePosition() {
    CUserStore store;
    int x = 0;
    int y = 0;
    if (!store.SelectSection(StoreSection().c_str()) || !store.GetInt("X", x) ||
        !store.GetInt("Y", y))
        return;
    if (windowRect().width() <= kMinRestoredWidth)
        return;
    setPosition(x, y);
    zhost_vui_KeepWindowOnScreen(this, 1);
}

void CContCondDlg::FocusFirstControl() {
    for (ui::Control* c : controls()) {
        if (c->id() == ui::idOk || c->id() == ui::idCancel)
            continue;
        if (c->isVisible() && c->isEnabled() && c->isTabStop()) {
            setFocus(c);
            return;
        }
    }
}

void CContCondDlg::onTimer(unsigned id) {
    if (id != kCondTimerId)
        return;
    // Stored values have survived the first fills; from now on look-ups overwrite.
    m_initialFill = false;
    killTimer(kCondTimerId);
}

void CContCondDlg::onDestroy() {
    if (!isMinimized() && !isMaximized()) {
        CUserStore store;
        store.SelectSection(StoreSection().c_str());
        store.SetInt("X", windowRect().left);
        store.SetInt("Y", windowRect().top);
    }
    ui::Dialog::onDestroy();
}

int CContCondDlg::FindParam(const std::wstring& name) const {
    std::wstring wanted = name;
    Trim(wanted);
    for (int i = 0; i < m_desc.GetCount(); ++i) {
        if (zhost::equalsNoCase(Param(i).m_name, wanted))
            return i;
    }
    return -1;
}

int CContCondDlg::GetFirstRow(int index) const {
    return index >= 0 && index < static_cast<int>(m_layout.size())
               ? m_layout[static_cast<size_t>(index)].m_firstRow
               : 0;
}

CContCondDlg::CRow CContCondDlg::RowInfo(int row) const {
    CRow info;
    ui::Grid* grid = m_sheet.GetGrid();
    std::intptr_t data = 0;
    if (grid == nullptr || row < 1 || row > grid->maxRows() || !grid->getRowUserData(row, data))
        return info;
    info.m_param = static_cast<int>(data & 0xFFFF);
    info.m_group = static_cast<int>((data >> 16) & 0xFFFF);
    if (info.m_param >= m_desc.GetCount())
        info.m_param = -1;
    return info;
}

// --- Messages ------------------------------------------------------------------------------------

void CContCondDlg::OnGridClickCommand() {
    ui::Grid* grid = m_sheet.GetGrid();
    if (m_initialising || grid == nullptr || !grid->isEnabled() || !grid->isVisible())
        return;
    int col = 0;
    int row = 0;
    grid->activeCell(col, row);
    if (col < 2 || row < 1)
        return;
    const CRow info = RowInfo(row);
    if (info.m_param < 0)
        return;
    const int index = info.m_param;
    const CParam& p = Param(index);
    if (p.Is(ControlKind::Radio) && grid->cellType(col, row) == ui::grid::typeCheckBox) {
        // The clicked option becomes the only checked one of its radio.
        const CParamLayout& l = m_layout[static_cast<size_t>(index)];
        for (int k = 0; k < l.m_options; ++k) {
            int c = 0;
            int r = 0;
            OptionCell(index, k, c, r);
            grid->setValue(c, r, c == col && r == row ? L"1" : L"0");
        }
        OnRadioChanged(index);
        FollowPictureDriver(index);
    } else if (p.Is(ControlKind::Check)) {
        FollowPictureDriver(index);
    }
    ApplyControlRule(index);
    ApplyGlobalRules();
}

std::intptr_t CContCondDlg::OnGridTextChanged(std::intptr_t lParam) {
    if (m_initialising || lParam == 0)
        return 0;
    const CRow info = RowInfo(NotifyOf(lParam)->row);
    if (info.m_param >= 0 && Param(info.m_param).Is(ControlKind::Edit) &&
        !Param(info.m_param).m_enabled.empty())
        ApplyControlRule(info.m_param);
    return 0;
}

std::intptr_t CContCondDlg::OnGridComboChanged(std::intptr_t lParam) {
    if (m_initialising || lParam == 0)
        return 0;
    const int row = NotifyOf(lParam)->row;
    const CRow info = RowInfo(row);
    if (info.m_param >= 0 && Param(info.m_param).Is(ControlKind::Quality) &&
        GetFirstRow(info.m_param) == row)
        RefillStrengthRow(row, false);
    return 0;
}

std::intptr_t CContCondDlg::OnGridCellQuery(std::intptr_t lParam) const {
    const ui::Grid* grid = m_sheet.GetGrid();
    if (grid == nullptr || lParam == 0)
        return 0;
    const ui::GridNotify* n = NotifyOf(lParam);
    const int type = grid->cellType(n->col, n->row);
    if (type != ui::grid::typeStaticText && type != ui::grid::typeGeneral)
        return 0;
    // The cell under a drop-down's span belongs to the drop-down.
    if (n->col == 3 && grid->cellType(2, n->row) == ui::grid::typeDropDown)
        return 0;
    return 1;
}

void CContCondDlg::OnPictureClicked(int button) {
    if (button < 0 || button >= m_buttonCount)
        return;
    m_selectedButton = button;
    for (int i = 0; i < m_buttonCount; ++i)
        m_buttons[static_cast<size_t>(i)].SetPressed(i == button);
}

// --- Keys ----------------------------------------------------------------------------------------

bool CContCondDlg::preTranslateKey(int key, ui::KeyState state) {
    if (key == ui::vk::returnKey && !state.shift && !state.control) {
        ui::Grid* grid = m_sheet.GetGrid();
        if (grid != nullptr && grid->editMode())
            grid->setEditMode(false); // the typed text is kept before OK reads it
        postCommand(ui::idOk);
        return true;
    }
    if (key == ui::vk::escape) {
        postCommand(ui::idCancel);
        return true;
    }
    if (key != ui::vk::tab || state.control)
        return false;
    ui::Control* f = focus();
    ui::Grid* grid = m_sheet.GetGrid();
    if (f == nullptr || grid == nullptr || m_rowsUsed < 1)
        return false;
    if (f == grid)
        return OnGridTab(state.shift);
    if (!state.shift && f->id() >= IDC_COND_PICTURE1 &&
        f->id() < IDC_COND_PICTURE1 + kCondPictureButtons) {
        int last = -1;
        for (int i = 0; i < kCondPictureButtons; ++i) {
            ui::Control* b = control(IDC_COND_PICTURE1 + i);
            if (b != nullptr && b->isVisible())
                last = IDC_COND_PICTURE1 + i;
        }
        if (f->id() != last || !grid->isVisible() || !grid->isEnabled())
            return false;
        grid->setActiveCell(kCondValueCol, 1);
        setFocus(grid);
        return true;
    }
    if (state.shift && f->id() == IDC_COND_LIST1 && grid->isVisible() && grid->isEnabled()) {
        grid->setActiveCell(kCondValueCol, m_rowsUsed);
        setFocus(grid);
        return true;
    }
    return false;
}

bool CContCondDlg::OnGridTab(bool backward) {
    ui::Grid* grid = m_sheet.GetGrid();
    if (grid->editMode())
        grid->setEditMode(false);
    int col = 0;
    int row = 0;
    grid->activeCell(col, row);
    const int current = RowInfo(row).m_param;
    const int step = backward ? -1 : 1;
    for (int n = 1, r = row + step; n <= kTabScanRows && r >= 1 && r <= m_rowsUsed;
         ++n, r += step) {
        const int param = RowInfo(r).m_param;
        // A row of the first control always counts as another control's.
        if (grid->isLocked(kCondValueCol, r) || (param == current && param != 0))
            continue;
        grid->setActiveCell(kCondValueCol, r);
        return true;
    }
    ui::Control* next = nextTabStop(grid, backward);
    if (next != nullptr)
        setFocus(next);
    return true;
}

// --- What the rules read -----------------------------------------------------------------------

bool CContCondDlg::GetControlValue(const std::wstring& name, std::wstring& value,
                                   bool& enabled) const {
    const int index = FindParam(name);
    if (index < 0)
        return false;
    value.clear();
    enabled = true;
    const CParam& p = Param(index);
    if (p.Is(ControlKind::Label) || p.Is(ControlKind::Header)) {
        // No control of their own: a value a placed part gave them still counts.
        value = p.m_value;
        return true;
    }
    if (!YieldValue(index, value, enabled))
        value.clear();
    return true;
}

std::wstring CContCondDlg::GetFirstListLine() const {
    const ui::ListBox* list = controlAs<ui::ListBox>(IDC_COND_LIST1);
    if (list == nullptr || list->curSel() < 0)
        return L"";
    return list->itemText(list->curSel());
}

bool CContCondDlg::ReadTable(const std::wstring& name, std::vector<std::wstring>& lines) const {
    const std::wstring key = UpperText(name);
    const auto it = m_tables.find(key);
    if (it != m_tables.end()) {
        lines = it->second;
        return true;
    }
    // Tables are read once per dialog; a file that cannot be read is asked for again.
    std::vector<std::wstring> read;
    if (ReadLines(m_desc.GetDataFolder() + name, read, true) < 0) {
        lines.clear();
        return false;
    }
    lines = read;
    m_tables.emplace(key, std::move(read));
    return true;
}

bool CContCondDlg::ReadData(const std::wstring& data, std::vector<std::wstring>& lines) const {
    lines.clear();
    std::wstring d = data;
    Trim(d);
    if (d.empty() || d == L"*")
        return false;
    if (d.find(L',') != std::wstring::npos) {
        // An inline list rather than a file name.
        std::vector<std::wstring> fields;
        Split(d, fields, L",");
        for (std::wstring& f : fields) {
            if (lines.size() >= static_cast<size_t>(kMaxRuleEntries))
                break;
            Trim(f);
            lines.push_back(std::move(f));
        }
        return true;
    }
    return ReadTable(d, lines);
}

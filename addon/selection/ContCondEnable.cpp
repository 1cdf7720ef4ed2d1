// Enabling and disabling in the condition dialog: the per-control rules, the list rules, the
// global rules, the radio repair, and the picture buttons that follow radios, checks and the
// Drawing's drivers.
#include "selection/ContCondDlg.h"

#include "library/LibraryFiles.h"
#include "library/LibraryText.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"

#include <algorithm>
#include <cwctype>

namespace ui = zhost::ui;

namespace {

// Radios numbered from this on are left alone by the repair.
constexpr int kRepairRadioLimit = 50;

bool ContainsNoCase(const std::wstring& text, const std::wstring& part) {
    return !part.empty() && UpperText(text).find(UpperText(part)) != std::wstring::npos;
}

// The number of a section named "Radio<n>", or -1.
int RadioNumber(const std::wstring& name) {
    if (name.size() <= 5 || !zhost::equalsNoCase(std::wstring_view(name).substr(0, 5), L"Radio"))
        return -1;
    int n = 0;
    for (size_t i = 5; i < name.size(); ++i) {
        if (name[i] < L'0' || name[i] > L'9' || n > 1000)
            return -1;
        n = n * 10 + (name[i] - L'0');
    }
    return n;
}

std::wstring WithDwg(const std::wstring& name) {
    return EndsWithNoCase(name, L".dwg") ? name : name + L".dwg";
}

} // namespace

// --- State ---------------------------------------------------------------------------------------

void CContCondDlg::OptionCell(int index, int option, int& col, int& row) const {
    const CParamLayout& l = m_layout[static_cast<size_t>(index)];
    const bool sideBySide = RowInfo(l.m_firstRow).m_group == kCondSingleRowGroup;
    col = sideBySide ? kCondValueCol + option : kCondValueCol;
    row = sideBySide ? l.m_firstRow : l.m_firstRow + option;
}

int CContCondDlg::CheckedOption(int index) const {
    const ui::Grid* grid = m_sheet.GetGrid();
    const CParamLayout& l = m_layout[static_cast<size_t>(index)];
    if (grid == nullptr || l.m_firstRow < 1)
        return -1;
    for (int k = 0; k < l.m_options; ++k) {
        int col = 0;
        int row = 0;
        OptionCell(index, k, col, row);
        std::wstring v;
        if (grid->getValue(col, row, v) && v == L"1")
            return k;
    }
    return -1;
}

int CContCondDlg::ControlState(int index) const {
    const CParam& p = Param(index);
    if (p.Is(ControlKind::Radio))
        return CheckedOption(index);
    const ui::Grid* grid = m_sheet.GetGrid();
    const int row = GetFirstRow(index);
    if (grid == nullptr || row < 1)
        return 0;
    std::wstring text = grid->data(kCondValueCol, row);
    if (p.Is(ControlKind::Check))
        return text == L"1" ? 1 : 0;
    Trim(text);
    return static_cast<int>(text.size());
}

// --- Rules ---------------------------------------------------------------------------------------

void CContCondDlg::ApplyControlRule(int index) {
    const CParam& p = Param(index);
    if (p.m_enabled.empty())
        return;
    if (p.Is(ControlKind::List)) {
        ApplyListRule(index);
        return;
    }
    const int state = ControlState(index);
    if (p.Is(ControlKind::Radio) && state < 0)
        return; // nothing checked: nothing to say
    const CEnableSets sets = EvaluateControlRule(p.m_enabled, state);
    for (const CRuleTarget& t : sets.m_disable) {
        const int target = FindParam(t.m_name);
        if (target < 0)
            continue;
        if (t.m_options.empty())
            EnableControl(target, false);
        for (int k : t.m_options)
            EnableRadioOption(target, k, false);
    }
    for (const CRuleTarget& t : sets.m_enable) {
        const int target = FindParam(t.m_name);
        if (target < 0)
            continue;
        if (t.m_options.empty()) {
            EnableControl(target, true);
            continue;
        }
        // name:k enables option k only.
        for (int k = 0; k < m_layout[static_cast<size_t>(target)].m_options; ++k) {
            const bool listed =
                std::find(t.m_options.begin(), t.m_options.end(), k) != t.m_options.end();
            EnableRadioOption(target, k, listed);
        }
    }
    if (!sets.m_disable.empty() || !sets.m_enable.empty())
        RepairRadios(p.m_enabled);
}

void CContCondDlg::ApplyListRule(int index) {
    const std::wstring rule = Param(index).m_enabled;
    if (rule.empty())
        return;
    for (const CRuleItem& item : ParseGlobalRule(rule))
        ApplyTargets(item.m_targets, EvaluateCondition(item.m_condition, *this), rule);
}

void CContCondDlg::ApplyGlobalRules() {
    // The rules speak of sizes: without a chosen size they have nothing to go on.
    if (GetFirstListLine().empty())
        return;
    for (const std::wstring& entry : m_desc.m_disabled) {
        for (const CRuleItem& item : ParseGlobalRule(entry)) {
            if (EvaluateCondition(item.m_condition, *this))
                ApplyTargets(item.m_targets, false, entry);
        }
    }
    for (const std::wstring& entry : m_desc.m_enabled) {
        for (const CRuleItem& item : ParseGlobalRule(entry)) {
            if (EvaluateCondition(item.m_condition, *this))
                ApplyTargets(item.m_targets, true, entry);
        }
    }
}

void CContCondDlg::ApplyTargets(const std::vector<CRuleTarget>& targets, bool enable,
                                const std::wstring& ruleText) {
    bool optionsDisabled = false;
    for (const CRuleTarget& t : targets) {
        const int target = FindParam(t.m_name);
        if (target < 0)
            continue;
        if (t.m_options.empty())
            EnableControl(target, enable);
        for (int k : t.m_options) {
            EnableRadioOption(target, k, enable);
            optionsDisabled = optionsDisabled || !enable;
        }
    }
    if (optionsDisabled || !enable)
        RepairRadios(ruleText);
}

// --- Enabling ------------------------------------------------------------------------------------

void CContCondDlg::EnableControl(int index, bool enable) {
    const CParam& p = Param(index);
    ui::Grid* grid = m_sheet.GetGrid();
    const CParamLayout& l = m_layout[static_cast<size_t>(index)];
    switch (p.m_kind) {
    case ControlKind::List: {
        // The list box the section's last digit names, with its caption.
        const wchar_t last = p.m_name.empty() ? L'0' : p.m_name.back();
        const int n = last - L'0';
        if (n < 1 || n > kCondListBoxes)
            return;
        for (int id : {IDC_COND_LIST1 + n - 1, IDC_COND_LIST_CAPTION1 + n - 1}) {
            ui::Control* c = control(id);
            if (c != nullptr && c->isVisible())
                c->enable(enable);
        }
        return;
    }
    case ControlKind::Radio:
    case ControlKind::Check:
    case ControlKind::ComboList:
        for (int r = 0; r < l.m_rows; ++r)
            EnableRow(l.m_firstRow + r, enable, false);
        return;
    case ControlKind::Edit:
        if (l.m_firstRow > 0)
            EnableRow(l.m_firstRow, enable, true);
        return;
    case ControlKind::Quality:
        if (l.m_firstRow < 1 || grid == nullptr)
            return;
        EnableRow(l.m_firstRow, enable, true);
        // A material without strength classes keeps its strength row disabled.
        EnableRow(l.m_firstRow + 1, enable && grid->comboCount(kCondValueCol, l.m_firstRow + 1) > 0,
                  true);
        return;
    case ControlKind::Drawing:
    case ControlKind::Label:
    case ControlKind::Header:
        return;
    }
}

void CContCondDlg::EnableRow(int row, bool enable, bool greyLockedText) {
    ui::Grid* grid = m_sheet.GetGrid();
    if (grid == nullptr || row < 1 || row > m_rowsUsed)
        return;
    grid->setColor(kCondCaptionCol, row, ui::grid::colorUnchanged, enable ? kCondBlack : kCondGrey);
    for (int col = kCondValueCol; col <= grid->maxCols(); ++col) {
        const int type = grid->cellType(col, row);
        if (type == ui::grid::typeStaticText || type == ui::grid::typeGeneral)
            continue;
        grid->setLock(col, row, !enable);
    }
    if (greyLockedText)
        grid->setLockColor(ui::grid::colorUnchanged, kCondGrey);
}

void CContCondDlg::EnableRadioOption(int index, int option, bool enable) {
    ui::Grid* grid = m_sheet.GetGrid();
    if (grid == nullptr || !Param(index).Is(ControlKind::Radio) || option < 0 ||
        option >= m_layout[static_cast<size_t>(index)].m_options)
        return;
    int col = 0;
    int row = 0;
    OptionCell(index, option, col, row);
    grid->setLock(col, row, !enable);
}

void CContCondDlg::RepairRadios(const std::wstring& ruleText) {
    ui::Grid* grid = m_sheet.GetGrid();
    // A repair applies the radio's own rule, which may repair another radio; radios whose
    // rules disable each other's options stop here.
    constexpr int kMaxRepairDepth = 4;
    if (grid == nullptr || m_repairDepth >= kMaxRepairDepth)
        return;
    ++m_repairDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_repairDepth};
    for (int i = 0; i < m_desc.GetCount(); ++i) {
        const CParam& p = Param(i);
        const int number = RadioNumber(p.m_name);
        if (!p.Is(ControlKind::Radio) || number < 0 || number >= kRepairRadioLimit ||
            !ContainsNoCase(ruleText, p.m_name))
            continue;
        const int options = m_layout[static_cast<size_t>(i)].m_options;
        const int checked = CheckedOption(i);
        int locked = 0;
        int firstFree = -1;
        bool checkedLocked = false;
        for (int k = 0; k < options; ++k) {
            int col = 0;
            int row = 0;
            OptionCell(i, k, col, row);
            if (grid->isLocked(col, row)) {
                ++locked;
                checkedLocked = checkedLocked || k == checked;
            } else if (firstFree < 0) {
                firstFree = k;
            }
        }
        if (locked == 0 || locked == options || !checkedLocked || firstFree < 0)
            continue;
        // As a click on the first available option: it becomes the checked one, and whatever
        // follows a click (lists, pictures, rules) follows.
        int col = 0;
        int row = 0;
        OptionCell(i, firstFree, col, row);
        grid->setActiveCell(col, row);
        for (int k = 0; k < options; ++k) {
            int c = 0;
            int r = 0;
            OptionCell(i, k, c, r);
            grid->setValue(c, r, k == firstFree ? L"1" : L"0");
        }
        OnRadioChanged(i);
        FollowPictureDriver(i);
        ApplyControlRule(i);
    }
}

// --- Pictures ------------------------------------------------------------------------------------

std::wstring CContCondDlg::FindPicture(const std::wstring& baseName,
                                       const std::wstring& name) const {
    const std::wstring thumb = m_desc.GetThumbsFolder() + baseName + name;
    if (DrawingFileExists(thumb))
        return thumb;
    return m_desc.GetSymbolsFolder() + baseName + name;
}

void CContCondDlg::FollowPictureDriver(int index) {
    const CParam& p = Param(index);
    const CParam* drawing = m_desc.FindKind(ControlKind::Drawing);
    if ((p.Is(ControlKind::Radio) || p.Is(ControlKind::Check)) && !p.m_symbol.empty()) {
        const int v = p.Is(ControlKind::Radio) ? CheckedOption(index) : ControlState(index);
        const std::vector<std::wstring> names = SplitTrimmed(p.m_symbol, L",");
        const std::wstring& base =
            !p.m_baseName.empty() ? p.m_baseName : (drawing ? drawing->m_baseName : p.m_baseName);
        for (int b = 0; b < 2 && v >= 0; ++b) {
            const size_t at = static_cast<size_t>(2 * v + b);
            if (at < names.size() && !names[at].empty() && b < m_buttonCount)
                m_buttons[static_cast<size_t>(b)].SetDrawing(FindPicture(base, WithDwg(names[at])));
        }
    }
    if (std::find(m_pictureDrivers.begin(), m_pictureDrivers.end(), index) !=
        m_pictureDrivers.end())
        RefreshPictures();
}

void CContCondDlg::RefreshPictures() {
    const CParam* drawing = m_desc.FindKind(ControlKind::Drawing);
    if (drawing == nullptr || m_pictureDrivers.empty())
        return;
    const std::vector<std::wstring> parts = SplitTrimmed(drawing->m_data, L":");
    if (parts.size() < 2)
        return;
    auto valueOf = [this](const std::wstring& name) {
        std::wstring v;
        bool enabled = true;
        GetControlValue(name, v, enabled);
        const double n = ToNumber(v);
        return n > 0 && n < 1e6 ? static_cast<int>(n) : 0;
    };
    const int h = static_cast<int>(SplitTrimmed(drawing->m_selection, L",").size());
    int offset = h * valueOf(parts[0]);
    if (parts.size() >= 3) {
        const int second = FindParam(parts[1]);
        int count = second >= 0
                        ? static_cast<int>(SplitTrimmed(Param(second).m_selection, L",").size())
                        : 0;
        if (second < 0 || Param(second).m_selection.empty())
            count = 2;
        offset = h * (valueOf(parts[0]) * count + valueOf(parts[1]));
    }
    const std::vector<std::wstring> names = SplitTrimmed(parts.back(), L",");
    for (int j = 0; j < m_buttonCount; ++j) {
        const size_t at = static_cast<size_t>(offset + j);
        if (at >= names.size() || names[at].empty())
            continue;
        const std::wstring name =
            names[at].size() <= 2 ? drawing->m_baseName + names[at] : names[at];
        const std::wstring thumb = m_desc.GetThumbsFolder() + WithDwg(name);
        m_buttons[static_cast<size_t>(j)].SetDrawing(
            DrawingFileExists(thumb) ? thumb : m_desc.GetSymbolsFolder() + WithDwg(name));
    }
}

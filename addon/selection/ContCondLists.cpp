// What fills the condition dialog's lists and drop-downs: data files and inline lists, the
// "$Pair" line, the list-driven targets (look-ups by nominal size and refills), the radios that
// refill lists, and the strength row that follows the chosen material.
#include "selection/ContCondDlg.h"

#include "library/LibraryText.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"

#include <algorithm>
#include <cmath>

namespace ui = zhost::ui;

namespace {

// Refills that post further list handling nest at most this deep: a list that drives itself,
// or two that drive each other, must not keep the dialog busy for ever.
constexpr int kMaxListDepth = 8;
// The strength classes offered: at build time and after a change of material.
constexpr size_t kBuildStrengthItems = 98;
constexpr size_t kChangeStrengthItems = 998;

std::wstring CommaField(const std::wstring& line, int column) {
    std::vector<std::wstring> fields;
    Split(line, fields, L",");
    if (column < 0 || static_cast<size_t>(column) >= fields.size())
        return L"";
    std::wstring f = fields[static_cast<size_t>(column)];
    Trim(f);
    return f;
}

// A small non-negative index from text; -1 when it is none.
int IndexOf(const std::wstring& text) {
    double v = 0;
    if (!ParseLeadingNumber(text, v) || v < 0 || v > 1e6)
        return -1;
    return static_cast<int>(v);
}

class CDepthGuard {
public:
    explicit CDepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~CDepthGuard() { --m_depth; }
    CDepthGuard(const CDepthGuard&) = delete;
    CDepthGuard& operator=(const CDepthGuard&) = delete;

private:
    int& m_depth;
};

} // namespace

ui::ListBox* CContCondDlg::ListBoxOf(int index) const {
    if (index < 0 || index >= static_cast<int>(m_layout.size()))
        return nullptr;
    const int box = m_layout[static_cast<size_t>(index)].m_listBox;
    return box < 0 ? nullptr : controlAs<ui::ListBox>(IDC_COND_LIST1 + box);
}

void CContCondDlg::FillList(int index, const std::vector<std::wstring>& lines, int column,
                            bool readPair) {
    CParam& p = Param(index);
    p.m_list = lines;
    if (readPair && !p.m_list.empty() && StartsWithNoCase(p.m_list.front(), L"$Pair")) {
        // The data file says which control its lines drive.
        std::wstring control = p.m_list.front().size() > 6 ? p.m_list.front().substr(6) : L"";
        Trim(control);
        p.m_control = control;
        p.m_list.erase(p.m_list.begin());
    }
    ui::ListBox* box = ListBoxOf(index);
    if (box == nullptr)
        return;
    box->resetContent();
    for (size_t i = 0; i < p.m_list.size(); ++i) {
        const std::wstring text =
            p.m_control.empty() ? p.m_list[i] : CommaField(p.m_list[i], std::max(column, 0));
        if (text.empty())
            continue;
        const int at = box->addString(text);
        box->setItemData(at, i);
    }
    if (box->count() > 0)
        box->setCurSel(0);
}

void CContCondDlg::FillListFromData(int index, const std::wstring& data, int column,
                                    bool readPair) {
    std::vector<std::wstring> lines;
    ReadData(data, lines);
    FillList(index, lines, column, readPair);
}

void CContCondDlg::SelectListValue(int index, const std::wstring& value) {
    ui::ListBox* box = ListBoxOf(index);
    if (box == nullptr || value.empty())
        return;
    for (int i = 0; i < box->count(); ++i) {
        if (zhost::equalsNoCase(box->itemText(i), value)) {
            box->setCurSel(i);
            return;
        }
    }
}

void CContCondDlg::PostListSelect(int listBox) {
    ui::Control* box = control(IDC_COND_LIST1 + listBox);
    if (box != nullptr && box->isEnabled())
        postMessage(kCondListSelectMessage, static_cast<std::uintptr_t>(IDC_COND_LIST1 + listBox));
}

void CContCondDlg::OnListSelect(int listId) {
    const int box = listId - IDC_COND_LIST1;
    if (box < 0 || box >= kCondListBoxes || m_listSelectDepth >= kMaxListDepth)
        return;
    const int index = m_listParam[static_cast<size_t>(box)];
    if (index < 0)
        return;
    CDepthGuard guard(m_listSelectDepth);
    ApplyListRule(index);
    const ui::ListBox* list = ListBoxOf(index);
    const CParam& p = Param(index);
    if (!p.m_control.empty() && list != nullptr && list->curSel() >= 0) {
        const size_t line = list->itemData(list->curSel());
        if (line < p.m_list.size())
            DriveTarget(index, std::wstring(p.m_list[line]));
    }
    ApplyGlobalRules();
}

void CContCondDlg::DriveTarget(int index, const std::wstring& line) {
    std::wstring control = Param(index).m_control;
    Trim(control);
    std::vector<std::wstring> parts;
    Split(control, parts, L":");
    if (parts.size() == 4) {
        LookUpIntoTarget(parts);
        return;
    }
    RefillTarget(control, line);
}

void CContCondDlg::LookUpIntoTarget(const std::vector<std::wstring>& parts) {
    const int target = FindParam(parts[3]);
    const int row = GetFirstRow(target);
    ui::Grid* grid = m_sheet.GetGrid();
    if (row < 1 || grid == nullptr)
        return;
    std::wstring columnValue;
    bool enabled = true;
    GetControlValue(parts[1], columnValue, enabled);
    const int column = columnValue.empty() ? 0 : IndexOf(columnValue);
    std::vector<std::wstring> fields;
    if (column < 0 || !LookUpRow(*this, parts[0], parts[2], fields))
        return;
    if (static_cast<size_t>(column) + 1 >= fields.size())
        return;
    // Until the first tick a value already there (stored or edited) stays.
    if (m_initialFill && !grid->data(kCondValueCol, row).empty())
        return;
    std::wstring value = fields[static_cast<size_t>(column) + 1];
    Trim(value);
    grid->setData(kCondValueCol, row, value);
}

void CContCondDlg::RefillTarget(const std::wstring& target, const std::wstring& line) {
    const int index = FindParam(target);
    std::vector<std::wstring> items;
    if (index < 0 || !ReadData(line, items) || items.empty())
        return;
    items.erase(items.begin());
    if (StartsWithNoCase(target, L"List")) {
        const int n = IndexOf(target.substr(4));
        if (n < 1 || n > kCondListBoxes)
            return;
        const int listIndex = m_listParam[static_cast<size_t>(n - 1)];
        if (listIndex >= 0)
            FillList(listIndex, items, -1, false);
        return;
    }
    const int row = GetFirstRow(index);
    ui::Grid* grid = m_sheet.GetGrid();
    if (row < 1 || grid == nullptr || grid->cellType(kCondValueCol, row) != ui::grid::typeDropDown)
        return;
    ReplaceDropDownItems(row, items, 0);
}

void CContCondDlg::ReplaceDropDownItems(int row, const std::vector<std::wstring>& items,
                                        int select) {
    ui::Grid* grid = m_sheet.GetGrid();
    std::wstring joined;
    for (size_t i = 0; i < items.size(); ++i)
        joined += (i ? L"\t" : L"") + items[i];
    m_sheet.SetRange(false);
    m_sheet.SetCurCol(kCondValueCol);
    m_sheet.SetCurRow(row);
    const ui::CellType* type = grid->cellTypeInfo(kCondValueCol, row);
    m_sheet.SetDropDown(joined, type ? type->style : 0, type ? type->maxDropRows : 8);
    if (select >= 0 && select < static_cast<int>(items.size()))
        grid->comboSetCurSel(kCondValueCol, row, select);
    else
        grid->setData(kCondValueCol, row, L""); // nothing left over from the items before
}

void CContCondDlg::OnRadioChanged(int index) {
    const int value = CheckedOption(index);
    // A list that names this radio (alone or with one other) in its "control" shows the column
    // the radios' values select.
    for (int i = 0; i < m_desc.GetCount(); ++i) {
        const CParam& list = Param(i);
        if (!list.Is(ControlKind::List) || list.m_control.empty())
            continue;
        std::vector<std::wstring> names;
        Split(list.m_control, names, L",");
        if (names.size() > 2)
            continue;
        std::vector<int> radios;
        bool mentioned = false;
        for (const std::wstring& n : names) {
            const int r = FindParam(n);
            if (r < 0 || !Param(r).Is(ControlKind::Radio))
                break;
            radios.push_back(r);
            mentioned = mentioned || r == index;
        }
        if (!mentioned || radios.size() != names.size())
            continue;
        int column = 0;
        bool usable = true;
        for (int r : radios) {
            const int options = m_layout[static_cast<size_t>(r)].m_options;
            const int checked = CheckedOption(r);
            usable = usable && options > 0 && checked >= 0;
            column = column * (radios.size() == 2 && r == radios.back() ? options : 1) + checked;
        }
        if (!usable)
            return;
        FillListFromData(i, list.m_data, column, false);
        const int box = m_layout[static_cast<size_t>(i)].m_listBox;
        if (box >= 0)
            PostListSelect(box);
        return;
    }
    // Otherwise a radio's data "ListN:data0,data1,..." refills list box N from its field.
    const std::wstring& data = Param(index).m_data;
    const size_t colon = data.find(L':');
    if (value < 0 || colon == std::wstring::npos || !StartsWithNoCase(data, L"List"))
        return;
    const int n = IndexOf(data.substr(4, colon - 4));
    if (n < 1 || n > kCondListBoxes)
        return;
    const int listIndex = m_listParam[static_cast<size_t>(n - 1)];
    std::vector<std::wstring> fields;
    Split(data.substr(colon + 1), fields, L",");
    if (listIndex < 0 || static_cast<size_t>(value) >= fields.size())
        return;
    std::wstring field = fields[static_cast<size_t>(value)];
    Trim(field);
    FillListFromData(listIndex, field, -1, true);
    PostListSelect(n - 1);
}

void CContCondDlg::RefillStrengthRow(int materialRow, bool keepValue) {
    ui::Grid* grid = m_sheet.GetGrid();
    const int index = RowInfo(materialRow).m_param;
    if (grid == nullptr || index < 0)
        return;
    const CParam& p = Param(index);
    const int chosen = grid->comboCurSel(kCondValueCol, materialRow);
    std::vector<std::wstring> items;
    if (chosen >= 0 && static_cast<size_t>(chosen) < p.m_list.size()) {
        std::vector<std::wstring> fields;
        Split(p.m_list[static_cast<size_t>(chosen)], fields, L",");
        const size_t limit = keepValue ? kBuildStrengthItems : kChangeStrengthItems;
        for (size_t i = 1; i < fields.size() && items.size() < limit; ++i) {
            Trim(fields[i]);
            items.push_back(fields[i]);
        }
    }
    const int row = materialRow + 1;
    int select = items.empty() ? -1 : 0;
    if (keepValue) {
        const std::wstring& initial = InitialValue(index);
        const size_t comma = initial.find(L',');
        std::wstring strength = comma == std::wstring::npos ? L"" : initial.substr(comma + 1);
        Trim(strength);
        for (size_t i = 0; i < items.size(); ++i) {
            if (zhost::equalsNoCase(items[i], strength)) {
                select = static_cast<int>(i);
                break;
            }
        }
    }
    ReplaceDropDownItems(row, items, select);
    // A material without classes has no strength to choose.
    const bool none = items.empty();
    grid->setColor(kCondCaptionCol, row, ui::grid::colorUnchanged, none ? kCondGrey : kCondBlack);
    grid->setLock(kCondValueCol, row, none || grid->isLocked(kCondValueCol, materialRow));
}

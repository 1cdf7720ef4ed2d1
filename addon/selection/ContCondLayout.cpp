// Building the condition dialog from the description: the grid's set-up, the controls one by
// one, the grid's finishing and the arrangement of buttons, grid and lists.
#include "selection/ContCondDlg.h"

#include "frame/SettingsLib.h"
#include "library/LibraryText.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"
#include "zhost/core/utf.h"

#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/services.h"

#include <algorithm>
#include <cmath>

namespace ui = zhost::ui;

namespace {

constexpr int kBuildMaxRows = 100;
constexpr int kBuildMaxCols = 4;
constexpr int kMaxRadioOptions = 6;
// Displays of this many pixels per inch and more take the large check and radio pictures.
constexpr int kLargePictureDpi = 192;
constexpr unsigned kEditStyle = 0x120080;
constexpr int kEditMaxChars = 16;
constexpr int kEditUpperCase = 1;
constexpr unsigned kDropDownStyle = 0x110000;
constexpr int kDropDownRows = 20;
// The face colour of dialogs, which the grid takes so that it reads as part of the dialog.
constexpr ui::Color kDialogFace = ui::rgb(240, 240, 240);
constexpr ui::Color kWhite = ui::rgb(255, 255, 255);

// The comma fields of an option list; none for an empty text.
std::vector<std::wstring> CommaFields(const std::wstring& text) {
    std::wstring t = text;
    Trim(t);
    return t.empty() ? std::vector<std::wstring>() : SplitTrimmed(t, L",");
}

std::wstring JoinTabs(const std::vector<std::wstring>& items) {
    std::wstring out;
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? L"\t" : L"") + items[i];
    return out;
}

// The pictures of a check or radio cell: unset and set for the normal, focused and disabled
// looks, from the plug-in's bitmaps at the display's size.
void CellPictures(bool radio, const ui::Bitmap* out[6]) {
    const bool large = ui::logPixelsY() >= kLargePictureDpi;
    const int off = radio ? (large ? IDB_RADIO_OFF_L : IDB_RADIO_OFF)
                          : (large ? IDB_CHECK_OFF_L : IDB_CHECK_OFF);
    const int offDisabled = radio ? (large ? IDB_RADIO_OFF_DL : IDB_RADIO_OFF_D)
                                  : (large ? IDB_CHECK_OFF_DL : IDB_CHECK_OFF_D);
    const ui::ResourceModule& res = ZormaResources();
    out[0] = out[2] = res.bitmap(off);
    out[1] = out[3] = res.bitmap(off + 1);
    out[4] = res.bitmap(offDisabled);
    out[5] = res.bitmap(offDisabled + 1);
}

std::intptr_t RowData(int index, int group) {
    return static_cast<std::intptr_t>((index & 0xFFFF) | (group << 16));
}

} // namespace

void CContCondDlg::LoadStoredValues() {
    m_stored.assign(m_desc.m_params.size(), std::wstring());
    if (m_isEdit)
        return; // a placed part's own values stand
    CUserStore store;
    if (!store.SelectSection(StoreSection().c_str()))
        return;
    for (int i = 0; i < m_desc.GetCount(); ++i) {
        const CParam& p = Param(i);
        std::wstring& out = m_stored[static_cast<size_t>(i)];
        switch (p.m_kind) {
        case ControlKind::Drawing:
        case ControlKind::Radio:
        case ControlKind::Check: {
            int v = 0;
            if (store.GetInt(p.m_name.c_str(), v))
                out = std::to_wstring(v);
            break;
        }
        case ControlKind::List:
        case ControlKind::Edit:
        case ControlKind::Quality:
        case ControlKind::ComboList:
            store.GetString(p.m_name.c_str(), out);
            break;
        case ControlKind::Label:
        case ControlKind::Header:
            break;
        }
    }
}

const std::wstring& CContCondDlg::InitialValue(int index) const {
    const std::wstring& stored = m_stored[static_cast<size_t>(index)];
    return stored.empty() ? Param(index).m_value : stored;
}

void CContCondDlg::SetUpGrid() {
    ui::Grid* grid = m_sheet.GetGrid();
    for (int id :
         {IDC_COND_HEADING, IDC_COND_LIST_CAPTION1, IDC_COND_LIST_CAPTION1 + 1,
          IDC_COND_LIST_CAPTION1 + 2, IDC_COND_LIST1, IDC_COND_LIST1 + 1, IDC_COND_LIST1 + 2}) {
        if (ui::Control* c = control(id)) {
            c->show(false);
            c->enable(false);
        }
    }
    if (grid == nullptr)
        return;
    m_sheet.SetOption(SPREAD_OPT_REDRAW, false);
    grid->modifyStyle(ui::ws::border, 0);
    grid->setUnitType(1);
    m_sheet.SetOptions10And11(0);
    m_sheet.SetOptions32And33(3);
    grid->setMaxRows(kBuildMaxRows);
    grid->setMaxCols(kBuildMaxCols);
    grid->showRow(0, false);
    grid->showCol(0, false);
    grid->setCellTypeRange(-1, -1, -1, -1, ui::CellType::staticText(0));
    grid->setDataRange(-1, -1, -1, -1, L"");
    m_sheet.SetSelBlockOptions(0);
    grid->setActiveCellHighlightStyle(0);
    m_sheet.SetOption(SPREAD_OPT_EDIT_ON_CLICK, true);
    grid->setGrayAreaColor(kDialogFace, 0);
    grid->setColorRange(-1, -1, -1, -1, kDialogFace, ui::grid::colorUnchanged);
    grid->setBorder(-1, -1, 0, kDialogFace);
    grid->setGridType(0);
}

void CContCondDlg::BuildControls() {
    int row = 1;
    int group = 0;
    int columns = 2;
    for (int i = 0; i < m_desc.GetCount() && row - 1 < kCondMaxRows; ++i) {
        CParamLayout& l = m_layout[static_cast<size_t>(i)];
        int used = 0;
        switch (Param(i).m_kind) {
        case ControlKind::Drawing:
            BuildDrawing(i);
            break;
        case ControlKind::List:
            BuildList(i);
            break;
        case ControlKind::Radio:
            used = BuildRadio(i, row, group);
            columns = std::max(columns, l.m_options > 2 ? 2 : 3);
            break;
        case ControlKind::Check:
            used = BuildCheck(i, row);
            break;
        case ControlKind::Edit:
            used = BuildEdit(i, row);
            break;
        case ControlKind::Quality:
            used = BuildQuality(i, row);
            columns = 3;
            break;
        case ControlKind::Header:
            if (ui::Control* h = control(IDC_COND_HEADING)) {
                h->setText(Param(i).m_caption);
                h->show(true);
                h->enable(true);
            }
            break;
        case ControlKind::ComboList:
            used = BuildComboList(i, row);
            columns = 3;
            break;
        case ControlKind::Label:
            break;
        }
        if (used > 0) {
            l.m_firstRow = row;
            l.m_rows = used;
            row += used;
        }
    }
    m_rowsUsed = row - 1;
    if (m_buttonCount == 0) {
        // No drawing variants to choose: the picture buttons have no place.
        for (int k = 0; k < kCondPictureButtons; ++k) {
            if (ui::Control* c = control(IDC_COND_PICTURE1 + k)) {
                c->show(false);
                c->enable(false);
            }
        }
    }
    FinishGrid(columns);
}

void CContCondDlg::BuildDrawing(int index) {
    const CParam& p = Param(index);
    const std::vector<std::wstring> suffixes = CommaFields(p.m_symbol);
    const std::vector<std::wstring> captions = CommaFields(p.m_selection);
    m_buttonCount = std::min<int>(kCondPictureButtons, static_cast<int>(suffixes.size()));
    const double wanted =
        ToNumber(m_drawingNumber != -1 ? std::to_wstring(m_drawingNumber) : InitialValue(index));
    m_selectedButton = -1;
    for (int k = 0; k < kCondPictureButtons; ++k) {
        const int id = IDC_COND_PICTURE1 + k;
        CBtnArw& button = m_buttons[static_cast<size_t>(k)];
        if (k >= m_buttonCount) {
            if (ui::Control* c = control(id)) {
                c->show(false);
                c->enable(false);
            }
            continue;
        }
        const std::wstring& suffix = suffixes[static_cast<size_t>(k)];
        std::wstring drawing;
        if (suffix.find(L':') == std::wstring::npos)
            drawing = m_desc.GetSymbolsFolder() + p.m_baseName + suffix + L".dwg";
        if (ui::Control* c = control(id)) {
            c->setText(k < static_cast<int>(captions.size()) && !captions[size_t(k)].empty()
                           ? captions[static_cast<size_t>(k)]
                           : L"dir" + std::to_wstring(k + 1));
        }
        button.SetUp(this, id, drawing);
        button.Replace();
        button.m_nIndex = k;
        if (m_selectedButton < 0 && ToNumber(suffix) == wanted)
            m_selectedButton = k;
    }
    if (m_selectedButton < 0 && m_buttonCount > 0)
        m_selectedButton = 0;
    for (int k = 0; k < m_buttonCount; ++k)
        m_buttons[static_cast<size_t>(k)].SetPressed(k == m_selectedButton);
    // Drivers of the pictures: the names before the last ":" of data.
    m_pictureDrivers.clear();
    std::vector<std::wstring> parts;
    Split(p.m_data, parts, L":");
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const int driver = FindParam(parts[i]);
        if (driver >= 0)
            m_pictureDrivers.push_back(driver);
    }
}

void CContCondDlg::BuildList(int index) {
    CParam& p = Param(index);
    int box = 0;
    while (box < kCondListBoxes && m_listParam[static_cast<size_t>(box)] >= 0)
        ++box;
    if (box == kCondListBoxes)
        return; // three list boxes are all there is
    m_listParam[static_cast<size_t>(box)] = index;
    m_layout[static_cast<size_t>(index)].m_listBox = box;
    if (ui::Control* list = control(IDC_COND_LIST1 + box)) {
        list->show(true);
        list->enable(true);
    }
    if (!p.m_caption.empty()) {
        if (ui::Control* caption = control(IDC_COND_LIST_CAPTION1 + box)) {
            caption->setText(p.m_caption);
            caption->show(true);
            caption->enable(true);
        }
    }
    const std::wstring initial = InitialValue(index);
    if (!p.m_control.empty()) {
        std::vector<std::wstring> names;
        Split(p.m_control, names, L",");
        for (std::wstring name : names) {
            Trim(name);
            const std::wstring upper = UpperText(name);
            if (!upper.empty() &&
                std::find(m_listDrivers.begin(), m_listDrivers.end(), upper) == m_listDrivers.end())
                m_listDrivers.push_back(upper);
        }
    } else if (!p.m_data.empty() && p.m_data != L"*") {
        FillListFromData(index, p.m_data, -1, true);
    }
    SelectListValue(index, initial);
}

int CContCondDlg::BuildRadio(int index, int row, int& group) {
    const CParam& p = Param(index);
    std::vector<std::wstring> options = CommaFields(p.m_selection);
    if (options.size() > static_cast<size_t>(kMaxRadioOptions))
        options.resize(kMaxRadioOptions);
    const int n = static_cast<int>(options.size());
    CParamLayout& l = m_layout[static_cast<size_t>(index)];
    l.m_options = n;
    const std::wstring& initial = InitialValue(index);
    const int checked = initial.empty() ? -1 : ToIndex(initial, 0);
    const int rows = n > 2 ? std::min(n, kCondMaxRows - (row - 1)) : 1;
    const int groupNumber = n > 2 ? ++group : kCondSingleRowGroup;
    l.m_options = n > 2 ? rows : n;
    for (int r = 0; r < rows; ++r) {
        SetCaptionCell(row + r, r == 0 ? p.m_caption : L"");
        m_sheet.GetGrid()->setRowUserData(row + r, RowData(index, groupNumber));
    }
    for (int k = 0; k < l.m_options; ++k) {
        int col = 0;
        int r = 0;
        l.m_firstRow = row; // OptionCell reads it
        OptionCell(index, k, col, r);
        SetPictureCell(col, r, true, k == checked, options[static_cast<size_t>(k)]);
    }
    const std::wstring upper = UpperText(p.m_name);
    const bool driver =
        std::find(m_listDrivers.begin(), m_listDrivers.end(), upper) != m_listDrivers.end();
    if (driver || !p.m_data.empty()) {
        l.m_rows = rows;
        OnRadioChanged(index);
    }
    return rows;
}

int CContCondDlg::BuildCheck(int index, int row) {
    const CParam& p = Param(index);
    SetCaptionCell(row, p.m_caption);
    m_sheet.GetGrid()->setRowUserData(row, RowData(index, 0));
    SetPictureCell(kCondValueCol, row, false, ToNumber(InitialValue(index)) != 0, L"はい");
    return 1;
}

int CContCondDlg::BuildEdit(int index, int row) {
    const CParam& p = Param(index);
    SetCaptionCell(row, p.m_caption);
    m_sheet.GetGrid()->setRowUserData(row, RowData(index, 0));
    m_sheet.SetRange(false);
    m_sheet.SetCurCol(kCondValueCol);
    m_sheet.SetCurRow(row);
    m_sheet.SetEdit(kEditMaxChars, kEditStyle, 0, kEditUpperCase);
    m_sheet.SetText(InitialValue(index));
    m_sheet.SetBackColor(kWhite);
    return 1;
}

int CContCondDlg::BuildQuality(int index, int row) {
    CParam& p = Param(index);
    ui::Grid* grid = m_sheet.GetGrid();
    if (row + 1 > kCondMaxRows)
        return 0; // both rows or none
    p.m_list.clear();
    if (!p.m_data.empty())
        ReadLines(m_desc.GetDataFolder() + p.m_data, p.m_list, true);
    std::vector<std::wstring> materials;
    for (const std::wstring& line : p.m_list) {
        std::wstring first = line.substr(0, line.find(L','));
        Trim(first);
        materials.push_back(first);
    }
    const std::wstring& initial = InitialValue(index);
    const std::wstring material = initial.substr(0, initial.find(L','));
    SetCaptionCell(row, L"材料区分");
    SetCaptionCell(row + 1, L"強度区分");
    grid->setRowUserData(row, RowData(index, 0));
    grid->setRowUserData(row + 1, RowData(index, 0));
    SetDropDownCell(row, materials, material);
    SetDropDownCell(row + 1, {}, L"");
    RefillStrengthRow(row, true);
    return 2;
}

int CContCondDlg::BuildComboList(int index, int row) {
    CParam& p = Param(index);
    SetCaptionCell(row, p.m_caption);
    m_sheet.GetGrid()->setRowUserData(row, RowData(index, 0));
    std::vector<std::wstring> items;
    ReadData(p.m_data, items);
    SetDropDownCell(row, items, InitialValue(index));
    return 1;
}

void CContCondDlg::SetCaptionCell(int row, const std::wstring& caption) {
    m_sheet.GetGrid()->setData(kCondCaptionCol, row, caption);
}

void CContCondDlg::SetPictureCell(int col, int row, bool radio, bool checked,
                                  const std::wstring& tag) {
    const ui::Bitmap* pictures[6] = {};
    CellPictures(radio, pictures);
    m_sheet.SetRange(false);
    m_sheet.SetCurCol(col);
    m_sheet.SetCurRow(row);
    m_sheet.SetCheckBox(pictures, 0, tag, checked ? L"1" : L"0");
    m_sheet.GetGrid()->setCellTag(col, row, tag);
}

void CContCondDlg::SetDropDownCell(int row, const std::vector<std::wstring>& items,
                                   const std::wstring& select) {
    ui::Grid* grid = m_sheet.GetGrid();
    m_sheet.SetRange(false);
    m_sheet.SetCurCol(kCondValueCol);
    m_sheet.SetCurRow(row);
    m_sheet.SetDropDown(JoinTabs(items), kDropDownStyle, kDropDownRows);
    grid->addCellSpan(kCondValueCol, row, 2, 1);
    grid->setColor(kCondValueCol, row, kWhite, ui::grid::colorUnchanged);
    int chosen = items.empty() ? -1 : 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (zhost::equalsNoCase(items[i], select)) {
            chosen = static_cast<int>(i);
            break;
        }
    }
    if (chosen >= 0)
        grid->comboSetCurSel(kCondValueCol, row, chosen);
}

void CContCondDlg::FinishGrid(int columns) {
    ui::Grid* grid = m_sheet.GetGrid();
    if (grid == nullptr)
        return;
    const int rows = std::max(m_rowsUsed, 0);
    grid->setMaxRows(rows);
    grid->setMaxCols(columns);
    const double minWidth = rows > 0 ? grid->rowHeight(1) : 0;
    int width = 0;
    for (int c = 1; c <= columns; ++c) {
        grid->setColWidth(c, std::max(grid->maxTextColWidth(c), minWidth));
        width += grid->colWidthInPixels(c) + 2;
    }
    int height = 0;
    for (int r = 1; r <= rows; ++r) {
        grid->setRowHeight(r, grid->rowHeight(r) * 1.5);
        height += grid->rowHeightInPixels(r);
    }
    const ui::Rect at = grid->rect();
    grid->setRect(ui::Rect::fromSize(at.left, at.top, width, height + 4));
    if (rows == 0) {
        grid->show(false);
        grid->enable(false);
    }
    m_sheet.SetOption(SPREAD_OPT_REDRAW, true);
    // The lists start on their initial lines (a radio may have refilled one since it was
    // built) and their own handling runs once on them (look-ups, rules).
    for (int box = 0; box < kCondListBoxes; ++box) {
        const int index = m_listParam[static_cast<size_t>(box)];
        if (index < 0)
            continue;
        SelectListValue(index, InitialValue(index));
        OnListSelect(IDC_COND_LIST1 + box);
    }
}

void CContCondDlg::Arrange() {
    auto rectOf = [this](int id) { return control(id) ? control(id)->rect() : ui::Rect{}; };
    ui::Control* heading = control(IDC_COND_HEADING);
    const bool headingShown = heading != nullptr && heading->isVisible();
    const ui::Rect first = headingShown ? rectOf(IDC_COND_PICTURE1) : rectOf(IDC_COND_HEADING);
    const int margin = first.left;
    int x = first.left;
    int y = first.top;
    // The heading's width is the template's; the lists follow the buttons and the grid only.
    int right = first.left;
    int bottom = headingShown ? heading->rect().bottom : first.top;
    // Picture buttons in rows: of 3 for five or six, of 2 for four, else one row.
    int enabled = 0;
    for (int k = 0; k < m_buttonCount; ++k)
        enabled += control(IDC_COND_PICTURE1 + k)->isEnabled() ? 1 : 0;
    const int perRow = enabled >= 5 ? 3 : (enabled == 4 ? 2 : std::max(enabled, 1));
    int placed = 0;
    int buttonsBottom = y - margin;
    for (int k = 0; k < m_buttonCount; ++k) {
        ui::Control* b = control(IDC_COND_PICTURE1 + k);
        if (!b->isEnabled())
            continue;
        const ui::Rect r = b->rect();
        const int bx = x + (placed % perRow) * (r.width() + margin);
        const int by = y + (placed / perRow) * (r.height() + margin);
        b->setRect(ui::Rect::fromSize(bx, by, r.width(), r.height()));
        right = std::max(right, bx + r.width());
        buttonsBottom = std::max(buttonsBottom, by + r.height());
        ++placed;
    }
    bottom = std::max(bottom, buttonsBottom);
    ui::Grid* grid = m_sheet.GetGrid();
    int gridBottom = 0;
    if (grid != nullptr && grid->isVisible()) {
        const ui::Rect g = grid->rect();
        const int gy = placed > 0 ? buttonsBottom + margin : y;
        grid->setRect(ui::Rect::fromSize(x, gy, g.width(), g.height()));
        right = std::max(right, x + g.width());
        gridBottom = gy + g.height();
        bottom = std::max(bottom, gridBottom);
    }
    // The lists side by side to the right, each under its caption.
    int lx = right + margin;
    for (int box = 0; box < kCondListBoxes; ++box) {
        ui::Control* list = control(IDC_COND_LIST1 + box);
        ui::Control* caption = control(IDC_COND_LIST_CAPTION1 + box);
        if (list == nullptr || !list->isVisible())
            continue;
        int ly = y;
        const int width = list->rect().width();
        if (caption != nullptr) {
            const ui::Rect c = caption->rect();
            caption->setRect(ui::Rect::fromSize(lx, ly, width, c.height()));
            ly += c.height() + 2;
        }
        const int height = std::max(list->rect().height(), gridBottom - ly);
        list->setRect(ui::Rect::fromSize(lx, ly, width, height));
        right = std::max(right, lx + width);
        bottom = std::max(bottom, ly + height);
        lx += width + margin;
    }
    // OK and Cancel centred below, a button's height under everything else.
    ui::Control* ok = control(ui::idOk);
    ui::Control* cancel = control(ui::idCancel);
    const int bw = ok->rect().width();
    const int bh = ok->rect().height();
    const int clientWidth = std::max(right, headingShown ? heading->rect().right : 0) + margin;
    const int by = bottom + bh;
    const int pairWidth = 2 * bw + margin;
    const int bx = std::max(margin, (clientWidth - pairWidth) / 2);
    ok->setRect(ui::Rect::fromSize(bx, by, bw, bh));
    cancel->setRect(ui::Rect::fromSize(bx + bw + margin, by, bw, bh));
    const int clientHeight = by + bh + margin;
    const ui::Rect window = windowRect();
    const ui::Rect client = clientRect();
    const int frameX = window.width() - client.width();
    const int frameY = window.height() - client.height();
    moveWindow(ui::Rect::fromSize(window.left, window.top,
                                  std::max(clientWidth, bx + pairWidth + margin) + frameX,
                                  clientHeight + frameY));
}

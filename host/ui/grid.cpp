// The grid control: sheet, cell storage, types, content, protection and selection.
#include "zhost/ui/grid.h"

#include "grid_cell.h"

#include "zhost/core/utf.h"
#include "zhost/ui/dialog.h"

#include <algorithm>
#include <cmath>

namespace zhost::ui {
namespace {

constexpr long long kMaxCells = 1'000'000;
constexpr int kDefaultColPx = 64;
constexpr int kDefaultRowPx = 20;
constexpr int kHeaderColPx = 40;

} // namespace

CellType CellType::staticText(unsigned style) {
    CellType t;
    t.code = grid::typeStaticText;
    t.style = style;
    return t;
}

CellType CellType::edit(unsigned style, int maxLength, int charSet, int charCase) {
    CellType t;
    t.code = grid::typeEdit;
    t.style = style;
    t.maxLength = maxLength;
    t.charSet = charSet;
    t.charCase = charCase;
    return t;
}

CellType CellType::dropDown(unsigned style, std::vector<std::wstring> items, int maxDropRows) {
    CellType t;
    t.code = grid::typeDropDown;
    t.style = style;
    t.items = std::move(items);
    t.maxDropRows = maxDropRows;
    return t;
}

CellType CellType::checkBox(unsigned style, std::wstring caption, const CheckPictures& pics) {
    CellType t;
    t.code = grid::typeCheckBox;
    t.style = style;
    t.caption = std::move(caption);
    for (size_t i = 0; i < 6; ++i) {
        if (pics.pictures[i]) {
            t.pictures[i] = *pics.pictures[i];
            t.hasPictures = true;
        }
    }
    return t;
}

Grid::Grid(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : Control(parent, ControlKind::grid, id, L"", style, rect) {
    resize(10, 100);
}

Grid::~Grid() = default;

// --- Storage ------------------------------------------------------------------------------------

bool Grid::resize(int cols, int rows) {
    if (cols < 0 || rows < 0 || (long long)(cols + 1) * (rows + 1) > kMaxCells)
        return false;
    std::vector<Cell> cells(size_t(cols + 1) * size_t(rows + 1));
    const bool hadCells = !cells_.empty();
    for (int r = 0; hadCells && r <= std::min(rows, maxRows_); ++r)
        for (int c = 0; c <= std::min(cols, maxCols_); ++c)
            cells[size_t(r) * size_t(cols + 1) + size_t(c)] =
                std::move(cells_[size_t(r) * size_t(maxCols_ + 1) + size_t(c)]);
    cells_ = std::move(cells);
    colPx_.resize(size_t(cols) + 1, kDefaultColPx);
    rowPx_.resize(size_t(rows) + 1, kDefaultRowPx);
    colShown_.resize(size_t(cols) + 1, true);
    rowShown_.resize(size_t(rows) + 1, true);
    rowData_.resize(size_t(rows) + 1, 0);
    if (maxCols_ == 0 && maxRows_ == 0)
        colPx_[0] = kHeaderColPx;
    maxCols_ = cols;
    maxRows_ = rows;
    activeCol_ = std::clamp(activeCol_, 1, std::max(1, cols));
    activeRow_ = std::clamp(activeRow_, 1, std::max(1, rows));
    // A sheet made shorter still fills its view.
    topRow_ = std::clamp(topRow_, 1, lastFirst(true));
    leftCol_ = std::clamp(leftCol_, 1, lastFirst(false));
    std::erase_if(spans_, [&](const CellSpan& s) { return s.col > cols || s.row > rows; });
    repaint();
    return true;
}

bool Grid::setMaxRows(int rows) {
    return rows >= 0 && resize(maxCols_, rows);
}
bool Grid::setMaxCols(int cols) {
    return cols >= 0 && resize(cols, maxRows_);
}

Grid::Cell* Grid::cell(int col, int row) {
    if (!validCell(col, row))
        return nullptr;
    return &cells_[size_t(row) * size_t(maxCols_ + 1) + size_t(col)];
}

const Grid::Cell* Grid::cell(int col, int row) const {
    return const_cast<Grid*>(this)->cell(col, row);
}

template <class F> bool Grid::forRange(int col1, int row1, int col2, int row2, F&& f) {
    if (col1 == -1 || col2 == -1)
        col1 = 1, col2 = maxCols_;
    if (row1 == -1 || row2 == -1)
        row1 = 1, row2 = maxRows_;
    if (col1 > col2)
        std::swap(col1, col2);
    if (row1 > row2)
        std::swap(row1, row2);
    if (!validCell(col1, row1) || !validCell(col2, row2))
        return false;
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            f(*cell(c, r), c, r);
    repaint();
    return true;
}

void Grid::repaint() {
    if (getBool(grid::optRedraw))
        invalidate();
}

// --- Geometry -----------------------------------------------------------------------------------

int Grid::widthUnitPx() const {
    return unitType_ == 2 ? 0 : 7;
}
double Grid::heightUnitPx() const {
    return unitType_ == 2 ? 96.0 / 1440.0 : 96.0 / 72.0;
}

double Grid::pixelsToWidthUnits(int px) const {
    return unitType_ == 2 ? px * 15.0 : px / double(widthUnitPx());
}
double Grid::pixelsToHeightUnits(int px) const {
    return px / heightUnitPx();
}

bool Grid::setColWidth(int col, double units) {
    const int px = int(std::lround(unitType_ == 2 ? units / 15.0 : units * widthUnitPx()));
    return setColWidthInPixels(col, px);
}

double Grid::colWidth(int col) const {
    return pixelsToWidthUnits(colWidthInPixels(col));
}

int Grid::colWidthInPixels(int col) const {
    return col >= 0 && col <= maxCols_ ? colPx_[size_t(col)] : 0;
}

bool Grid::setColWidthInPixels(int col, int px) {
    if (px < 0 || col < -1 || col > maxCols_)
        return false;
    if (col == -1)
        std::fill(colPx_.begin() + 1, colPx_.end(), px);
    else
        colPx_[size_t(col)] = px;
    repaint();
    return true;
}

bool Grid::setRowHeight(int row, double units) {
    return setRowHeightInPixels(row, int(std::lround(units * heightUnitPx())));
}

double Grid::rowHeight(int row) const {
    return pixelsToHeightUnits(rowHeightInPixels(row));
}

int Grid::rowHeightInPixels(int row) const {
    return row >= 0 && row <= maxRows_ ? rowPx_[size_t(row)] : 0;
}

bool Grid::setRowHeightInPixels(int row, int px) {
    if (px < 0 || row < -1 || row > maxRows_)
        return false;
    if (row == -1)
        std::fill(rowPx_.begin() + 1, rowPx_.end(), px);
    else
        rowPx_[size_t(row)] = px;
    repaint();
    return true;
}

bool Grid::showRow(int row, bool show) {
    if (row < 0 || row > maxRows_)
        return false;
    rowShown_[size_t(row)] = show;
    repaint();
    return true;
}

bool Grid::showCol(int col, bool show) {
    if (col < 0 || col > maxCols_)
        return false;
    colShown_[size_t(col)] = show;
    repaint();
    return true;
}

bool Grid::isRowShown(int row) const {
    return row >= 0 && row <= maxRows_ && rowShown_[size_t(row)];
}
bool Grid::isColShown(int col) const {
    return col >= 0 && col <= maxCols_ && colShown_[size_t(col)];
}

bool Grid::addCellSpan(int col, int row, int numCols, int numRows) {
    if (col < 1 || row < 1 || numCols < 1 || numRows < 1 || col + numCols - 1 > maxCols_ ||
        row + numRows - 1 > maxRows_)
        return false;
    std::erase_if(spans_, [&](const CellSpan& s) { return s.col == col && s.row == row; });
    spans_.push_back(CellSpan{col, row, numCols, numRows});
    repaint();
    return true;
}

bool Grid::spanAt(int col, int row, CellSpan& out) const {
    for (const CellSpan& s : spans_) {
        if (col >= s.col && col < s.col + s.numCols && row >= s.row && row < s.row + s.numRows) {
            out = s;
            return true;
        }
    }
    return false;
}

// --- Appearance ---------------------------------------------------------------------------------

bool Grid::setBorder(int col, int row, int type, Color color) {
    return forRange(col, row, col, row, [&](Cell& c, int, int) {
        c.borderType = type;
        c.borderColor = color;
    });
}

void Grid::setGrayAreaColor(Color background, Color foreground) {
    grayBg_ = background;
    grayFg_ = foreground;
    repaint();
}

bool Grid::setColor(int col, int row, Color background, Color foreground) {
    return setColorRange(col, row, col, row, background, foreground);
}

bool Grid::setColorRange(int col1, int row1, int col2, int row2, Color background,
                         Color foreground) {
    return forRange(col1, row1, col2, row2, [&](Cell& c, int, int) {
        if (background != grid::colorUnchanged)
            c.bg = background;
        if (foreground != grid::colorUnchanged)
            c.fg = foreground;
    });
}

bool Grid::getColor(int col, int row, Color& background, Color& foreground) const {
    const Cell* c = cell(col, row);
    if (!c)
        return false;
    background = c->bg == grid::colorUnchanged ? rgb(255, 255, 255) : c->bg;
    foreground = c->fg == grid::colorUnchanged ? rgb(0, 0, 0) : c->fg;
    return true;
}

void Grid::setLockColor(Color background, Color foreground) {
    lockBg_ = background;
    lockFg_ = foreground;
    repaint();
}

bool Grid::setFont(int col, int row, const Font& font) {
    return setFontRange(col, row, col, row, font);
}

bool Grid::setFontRange(int col1, int row1, int col2, int row2, const Font& font) {
    auto shared = std::make_shared<const Font>(font);
    const bool all = col1 == -1 && row1 == -1;
    const bool ok = forRange(col1, row1, col2, row2, [&](Cell& c, int, int) { c.font = shared; });
    if (ok && all)
        for (int c = 0; c <= maxCols_; ++c)
            cell(c, 0)->font = shared; // the headers too
    return ok;
}

bool Grid::setBool(int option, bool on) {
    options_[option] = on;
    if (option == grid::optRedraw && on)
        invalidate();
    return true;
}

bool Grid::getBool(int option) const {
    auto it = options_.find(option);
    if (it != options_.end())
        return it->second;
    return option == grid::optRedraw; // redraw is on until switched off
}

// --- Cell types ---------------------------------------------------------------------------------

bool Grid::setCellType(int col, int row, const CellType& type) {
    return setCellTypeRange(col, row, col, row, type);
}

bool Grid::setCellTypeRange(int col1, int row1, int col2, int row2, const CellType& type) {
    auto shared = std::make_shared<const CellType>(type);
    return forRange(col1, row1, col2, row2, [&](Cell& c, int, int) {
        c.type = shared;
        c.comboSel = -1;
        if (type.code == grid::typeDropDown) {
            for (size_t i = 0; i < type.items.size(); ++i)
                if (equalsNoCase(type.items[i], c.data))
                    c.comboSel = int(i);
        }
    });
}

int Grid::cellType(int col, int row) const {
    const Cell* c = cell(col, row);
    if (!c)
        return 0;
    return c->type ? c->type->code : grid::typeGeneral;
}

const CellType* Grid::cellTypeInfo(int col, int row) const {
    const Cell* c = cell(col, row);
    return c ? c->type.get() : nullptr;
}

int Grid::comboCount(int col, int row) const {
    const Cell* c = cell(col, row);
    return c && c->type && c->type->code == grid::typeDropDown ? int(c->type->items.size()) : -1;
}

int Grid::comboCurSel(int col, int row) const {
    const Cell* c = cell(col, row);
    return c && c->type && c->type->code == grid::typeDropDown ? c->comboSel : -1;
}

bool Grid::comboText(int col, int row, int index, std::wstring& out) const {
    const Cell* c = cell(col, row);
    if (!c || !c->type || c->type->code != grid::typeDropDown || index < 0 ||
        index >= int(c->type->items.size()))
        return false;
    out = c->type->items[size_t(index)];
    return true;
}

bool Grid::comboSetCurSel(int col, int row, int index) {
    Cell* c = cell(col, row);
    if (!c || !c->type || c->type->code != grid::typeDropDown ||
        index >= int(c->type->items.size()))
        return false;
    c->comboSel = index < 0 ? -1 : index;
    c->data = index < 0 ? std::wstring() : c->type->items[size_t(index)];
    repaint();
    return true;
}

// --- Content ------------------------------------------------------------------------------------

bool Grid::setData(int col, int row, std::wstring_view text) {
    Cell* c = cell(col, row);
    if (!c)
        return false;
    c->setText(text);
    repaint();
    return true;
}

bool Grid::setDataRange(int col1, int row1, int col2, int row2, std::wstring_view text) {
    return forRange(col1, row1, col2, row2, [&](Cell& c, int, int) { c.setText(text); });
}

bool Grid::getData(int col, int row, std::wstring& out) const {
    const Cell* c = cell(col, row);
    if (!c)
        return false;
    out = c->data;
    return true;
}

std::wstring Grid::data(int col, int row) const {
    const Cell* c = cell(col, row);
    return c ? c->data : std::wstring();
}

int Grid::dataLen(int col, int row) const {
    const Cell* c = cell(col, row);
    return c ? int(c->data.size()) : 0;
}

bool Grid::setValue(int col, int row, std::wstring_view value) {
    return setValueRange(col, row, col, row, value);
}

bool Grid::setValueRange(int col1, int row1, int col2, int row2, std::wstring_view value) {
    return forRange(col1, row1, col2, row2, [&](Cell& c, int, int) { c.setValue(value); });
}

bool Grid::getValue(int col, int row, std::wstring& out) const {
    const Cell* c = cell(col, row);
    if (!c)
        return false;
    out = c->value();
    return true;
}

int Grid::valueLen(int col, int row) const {
    const Cell* c = cell(col, row);
    return c ? int(c->value().size()) : 0;
}

bool Grid::setCellTag(int col, int row, std::wstring_view tag) {
    Cell* c = cell(col, row);
    if (!c)
        return false;
    c->tag = tag;
    return true;
}

bool Grid::getCellTag(int col, int row, std::wstring& out) const {
    const Cell* c = cell(col, row);
    if (!c)
        return false;
    out = c->tag;
    return true;
}

bool Grid::setRowUserData(int row, std::intptr_t data) {
    if (row < 0 || row > maxRows_)
        return false;
    rowData_[size_t(row)] = data;
    return true;
}

bool Grid::getRowUserData(int row, std::intptr_t& out) const {
    if (row < 0 || row > maxRows_)
        return false;
    out = rowData_[size_t(row)];
    return true;
}

// --- Protection ---------------------------------------------------------------------------------

bool Grid::setLock(int col, int row, bool locked) {
    return setLockRange(col, row, col, row, locked);
}

bool Grid::setLockRange(int col1, int row1, int col2, int row2, bool locked) {
    return forRange(col1, row1, col2, row2, [&](Cell& c, int, int) { c.locked = locked; });
}

bool Grid::isLocked(int col, int row) const {
    const Cell* c = cell(col, row);
    return c && c->locked;
}

// --- Navigation and selection -------------------------------------------------------------------

bool Grid::setActiveCell(int col, int row) {
    if (col < 1 || row < 1 || col > maxCols_ || row > maxRows_)
        return false;
    if (editing_ && (col != activeCol_ || row != activeRow_))
        setEditMode(false);
    activeCol_ = col;
    activeRow_ = row;
    showCell(col, row);
    repaint();
    return true;
}

bool Grid::setSelectBlock(const CellBlock& b) {
    auto okCol = [&](int c) { return c == -1 || (c >= 1 && c <= maxCols_); };
    auto okRow = [&](int r) { return r == -1 || (r >= 1 && r <= maxRows_); };
    if (!okCol(b.col1) || !okCol(b.col2) || !okRow(b.row1) || !okRow(b.row2))
        return false;
    block_ = b;
    hasBlock_ = true;
    repaint();
    return true;
}

bool Grid::getSelectBlock(CellBlock& out) const {
    if (!hasBlock_)
        return false;
    out = block_;
    return true;
}

CellBlock Grid::effectiveBlock() const {
    CellBlock b = hasBlock_ ? block_ : CellBlock{activeCol_, activeRow_, activeCol_, activeRow_};
    if (b.col1 == -1 || b.col2 == -1)
        b.col1 = 1, b.col2 = maxCols_;
    if (b.row1 == -1 || b.row2 == -1)
        b.row1 = 1, b.row2 = maxRows_;
    if (b.col1 > b.col2)
        std::swap(b.col1, b.col2);
    if (b.row1 > b.row2)
        std::swap(b.row1, b.row2);
    return b;
}

} // namespace zhost::ui

// The grid's looks: cell rectangles, painting, and its text table for the transcript.
#include "zhost/ui/grid.h"

#include "grid_cell.h"
#include "text_util.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/scroll.h"
#include "zhost/ui/services.h"

#include <algorithm>

namespace zhost::ui {
namespace {

constexpr int kMaxShownRows = 60;
constexpr int kMaxCellWidth = 30;

} // namespace

int Grid::headerWidth() const {
    return isColShown(0) ? colPx_[0] : 0;
}

int Grid::headerHeight() const {
    return isRowShown(0) ? rowPx_[0] : 0;
}

int Grid::borderSlack() const {
    // A last column or row that reaches only into the control's one-pixel border counts as
    // shown whole: the border is drawn where its own grid line would be (a sheet sized to fill
    // its control is off by a pixel after rounding twips, and gets no scroll bar for it).
    return (style_ & ws::border) ? 1 : 0;
}

Grid::Bars Grid::bars() const {
    if (!getBool(grid::optScrollBarsAuto))
        return {(style_ & ws::vscroll) != 0, (style_ & ws::hscroll) != 0};
    // Only when needed; each bar takes room the other might then need.
    const int dataW = rect_.width() - headerWidth() + borderSlack();
    const int dataH = rect_.height() - headerHeight() + borderSlack();
    const int sheetW = totalWidth() - headerWidth(), sheetH = totalHeight() - headerHeight();
    Bars b;
    b.vertical = sheetH > dataH;
    b.horizontal = sheetW > dataW - (b.vertical ? kScrollBarSize : 0);
    if (b.horizontal && !b.vertical)
        b.vertical = sheetH > dataH - kScrollBarSize;
    return b;
}

Rect Grid::viewRect() const {
    const Bars b = bars();
    return Rect{headerWidth(), headerHeight(),
                std::max(headerWidth(), rect_.width() - (b.vertical ? kScrollBarSize : 0)),
                std::max(headerHeight(), rect_.height() - (b.horizontal ? kScrollBarSize : 0))};
}

int Grid::lastFirst(bool vertical) const {
    const Rect view = viewRect();
    const int room = (vertical ? view.height() : view.width()) + borderSlack();
    const int last = vertical ? maxRows_ : maxCols_;
    const std::vector<int>& px = vertical ? rowPx_ : colPx_;
    const std::vector<bool>& shown = vertical ? rowShown_ : colShown_;
    int used = 0, first = std::max(1, last);
    for (int i = last; i >= 1; --i) {
        if (!shown[size_t(i)])
            continue;
        if (used + px[size_t(i)] > room && used > 0)
            break;
        used += px[size_t(i)];
        first = i;
    }
    return first;
}

ScrollInfo Grid::scrollInfo(bool vertical) const {
    ScrollInfo info;
    const Bars b = bars();
    info.bar = vertical ? b.vertical : b.horizontal;
    info.total = vertical ? maxRows_ : maxCols_;
    info.pos = (vertical ? topRow_ : leftCol_) - 1;
    info.max = lastFirst(vertical) - 1;
    // The steps wholly shown from the first one on.
    const Rect view = viewRect();
    const int room = (vertical ? view.height() : view.width()) + borderSlack();
    const std::vector<int>& px = vertical ? rowPx_ : colPx_;
    const std::vector<bool>& shown = vertical ? rowShown_ : colShown_;
    int used = 0, page = 0;
    for (int i = info.pos + 1; i <= info.total; ++i) {
        if (!shown[size_t(i)]) {
            ++page;
            continue;
        }
        if (used + px[size_t(i)] > room)
            break;
        used += px[size_t(i)];
        ++page;
    }
    info.page = std::max(1, page);
    return info;
}

bool Grid::scrollTo(bool vertical, int pos) {
    const int last = vertical ? maxRows_ : maxCols_;
    const std::vector<bool>& shown = vertical ? rowShown_ : colShown_;
    int first = std::clamp(pos + 1, 1, std::max(1, lastFirst(vertical)));
    // A hidden row or column is passed over, forward first.
    int at = first;
    while (at <= last && !shown[size_t(at)])
        ++at;
    if (at > last)
        for (at = first; at > 1 && !shown[size_t(at)];)
            --at;
    first = std::max(1, at);
    int& current = vertical ? topRow_ : leftCol_;
    if (first == current)
        return false;
    current = first;
    repaint();
    return true;
}

void Grid::setRect(const Rect& r) {
    Control::setRect(r);
    scrollTo(true, topRow_ - 1);
    scrollTo(false, leftCol_ - 1);
}

void Grid::showCell(int col, int row) {
    const Rect view = viewRect();
    auto show = [](int at, int& first, int room, const std::vector<int>& px,
                   const std::vector<bool>& shown) {
        if (at < first) {
            first = at;
            return;
        }
        // The first step from which `at` still ends inside the view.
        int used = 0, from = at;
        for (int i = at; i >= 1; --i) {
            if (!shown[size_t(i)])
                continue;
            if (used + px[size_t(i)] > room && i != at)
                break;
            used += px[size_t(i)];
            from = i;
        }
        first = std::max(first, from);
    };
    if (row >= 1 && row <= maxRows_)
        show(row, topRow_, view.height() + borderSlack(), rowPx_, rowShown_);
    if (col >= 1 && col <= maxCols_)
        show(col, leftCol_, view.width() + borderSlack(), colPx_, colShown_);
}

Rect Grid::cellRect(int col, int row) const {
    if (!validCell(col, row) || !isColShown(col) || !isRowShown(row))
        return {};
    // Headers stay; data cells are placed from the first shown row and column, those scrolled
    // out before them.
    auto place = [](int at, int first, int header, const std::vector<int>& px,
                    const std::vector<bool>& shown) {
        if (at == 0)
            return 0;
        int pos = header;
        for (int i = first; i < at; ++i)
            pos += shown[size_t(i)] ? px[size_t(i)] : 0;
        for (int i = at; i < first; ++i)
            pos -= shown[size_t(i)] ? px[size_t(i)] : 0;
        return pos;
    };
    const int x = place(col, leftCol_, headerWidth(), colPx_, colShown_);
    const int y = place(row, topRow_, headerHeight(), rowPx_, rowShown_);
    int w = colPx_[size_t(col)], h = rowPx_[size_t(row)];
    CellSpan s;
    if (row > 0 && col > 0 && spanAt(col, row, s) && s.col == col && s.row == row) {
        for (int c = col + 1; c < col + s.numCols; ++c)
            if (isColShown(c))
                w += colPx_[size_t(c)];
        for (int r = row + 1; r < row + s.numRows; ++r)
            if (isRowShown(r))
                h += rowPx_[size_t(r)];
    }
    return Rect::fromSize(x, y, w, h);
}

bool Grid::cellAt(Point p, int& col, int& row) const {
    const Rect view = viewRect();
    if (!view.contains(p))
        return false; // the headers, the scroll bars
    // Walks the shown columns and rows from the first one in view, as cellRect lays them out.
    auto find = [](int at, int edge, int first, int count, const std::vector<int>& px,
                   const std::vector<bool>& shown) {
        for (int i = first; i <= count; ++i) {
            if (!shown[size_t(i)])
                continue;
            edge += px[size_t(i)];
            if (at < edge)
                return i;
        }
        return -1;
    };
    const int c = find(p.x, view.left, leftCol_, maxCols_, colPx_, colShown_);
    const int r = find(p.y, view.top, topRow_, maxRows_, rowPx_, rowShown_);
    if (c < 1 || r < 1)
        return false;
    CellSpan s;
    col = c, row = r;
    if (spanAt(c, r, s))
        col = s.col, row = s.row;
    return true;
}

int Grid::totalWidth() const {
    int w = 0;
    for (int c = 0; c <= maxCols_; ++c)
        if (isColShown(c))
            w += colPx_[size_t(c)];
    return w;
}

int Grid::totalHeight() const {
    int h = 0;
    for (int r = 0; r <= maxRows_; ++r)
        if (isRowShown(r))
            h += rowPx_[size_t(r)];
    return h;
}

double Grid::maxTextColWidth(int col) const {
    if (col < 0 || col > maxCols_)
        return 0;
    Bitmap scratch(1, 1);
    DeviceContext dc(scratch);
    int px = 0;
    for (int r = 0; r <= maxRows_; ++r) {
        const Cell* c = cell(col, r);
        CellSpan s;
        if (r > 0 && spanAt(col, r, s) && s.numCols > 1)
            continue; // a spanning text does not widen one column
        std::wstring text = c->data;
        if (c->code() == grid::typeCheckBox)
            text = c->type->caption;
        if (c->code() == grid::typeDropDown)
            for (const auto& item : c->type->items)
                if (item.size() > text.size())
                    text = item;
        if (text.empty() && c->code() != grid::typeCheckBox)
            continue;
        dc.setFont(c->font ? *c->font : parent_.font());
        int w = dc.measureText(text).cx + 8;
        if (c->code() == grid::typeCheckBox)
            w += c->type->hasPictures ? c->type->pictures[0].width() + 4 : 17;
        if (c->code() == grid::typeDropDown)
            w += 18;
        px = std::max(px, w);
    }
    return pixelsToWidthUnits(px);
}

void Grid::paintCell(DeviceContext& dc, int c, int r, const Rect& cr) {
    const Cell* x = cell(c, r);
    const bool header = r == 0 || c == 0;
    Color bg = header ? sysColor(SysColor::buttonFace)
                      : (x->bg == grid::colorUnchanged ? rgb(255, 255, 255) : x->bg);
    Color fg = x->fg == grid::colorUnchanged ? rgb(0, 0, 0) : x->fg;
    if (x->locked && lockBg_ != grid::colorUnchanged)
        bg = lockBg_;
    if (x->locked && lockFg_ != grid::colorUnchanged)
        fg = lockFg_;
    dc.fillRect(cr, bg);
    if (gridType_ != 0 || header)
        dc.frameRect(cr.inflate(0, 0), rgb(208, 215, 229));
    if (x->borderType != 0)
        dc.frameRect(cr, x->borderColor);
    if (x->font)
        dc.setFont(*x->font);
    dc.setTextColor(fg);
    const Rect inner = cr.deflate(3, 0);
    std::wstring text = x->data;
    if (header && text.empty())
        text = r == 0 && c > 0 ? std::to_wstring(c) : (c == 0 && r > 0 ? std::to_wstring(r) : L"");
    switch (x->code()) {
    case grid::typeCheckBox: {
        const bool on = x->checked();
        const bool active = c == activeCol_ && r == activeRow_ && hasFocus();
        const int pic = x->locked ? 4 + on : (active ? 2 + on : on);
        int textLeft = inner.left;
        if (x->type->hasPictures && !x->type->pictures[size_t(pic)].empty()) {
            const Bitmap& b = x->type->pictures[size_t(pic)];
            const Rect pr = Rect::fromSize(inner.left, cr.top + (cr.height() - b.height()) / 2,
                                           b.width(), b.height());
            dc.drawBitmap(b, pr, false);
            textLeft = pr.right + 3;
        } else {
            const int box = 13;
            dc.drawCheckMark(Rect::fromSize(inner.left, cr.top + (cr.height() - box) / 2, box, box),
                             false, on, x->locked);
            textLeft = inner.left + box + 3;
        }
        dc.drawText(x->type->caption, Rect{textLeft, cr.top, cr.right, cr.bottom},
                    dt::singleLine | dt::vcenter | dt::noPrefix);
        break;
    }
    case grid::typeDropDown:
        dc.drawText(text, Rect{inner.left, cr.top, cr.right - 16, cr.bottom},
                    dt::singleLine | dt::vcenter | dt::noPrefix | dt::endEllipsis);
        dc.drawText(L"\u25BE", Rect{cr.right - 16, cr.top, cr.right, cr.bottom},
                    dt::singleLine | dt::vcenter | dt::center);
        break;
    default: {
        const bool editingHere = editing_ && c == activeCol_ && r == activeRow_;
        dc.drawText(editingHere ? editorText_ : text, inner,
                    dt::singleLine | dt::vcenter | dt::noPrefix | (header ? dt::center : 0));
        break;
    }
    }
    if (x->font)
        dc.setFont(parent_.font());
}

void Grid::paint(DeviceContext& dc) {
    const Rect all = clientRect();
    const Rect view = viewRect();
    dc.fillRect(all, grayBg_);
    dc.setFont(parent_.font());
    // Only what the view shows is drawn, however long the sheet: the rows and columns from the
    // first ones in view to the view's edge.
    std::vector<int> rows, cols;
    for (int r = topRow_, y = view.top; r <= maxRows_ && y < view.bottom; ++r)
        if (isRowShown(r))
            rows.push_back(r), y += rowPx_[size_t(r)];
    for (int c = leftCol_, x = view.left; c <= maxCols_ && x < view.right; ++c)
        if (isColShown(c))
            cols.push_back(c), x += colPx_[size_t(c)];
    dc.pushClip(view);
    std::vector<std::pair<int, int>> spansDrawn; // spans begun before the view, drawn once
    for (int r : rows)
        for (int c : cols) {
            CellSpan s;
            if (spanAt(c, r, s) && (s.col != c || s.row != r)) {
                if (s.col >= leftCol_ && s.row >= topRow_)
                    continue; // drawn with its first cell
                if (std::find(spansDrawn.begin(), spansDrawn.end(), std::pair{s.col, s.row}) !=
                    spansDrawn.end())
                    continue;
                spansDrawn.emplace_back(s.col, s.row);
                paintCell(dc, s.col, s.row, cellRect(s.col, s.row));
                continue;
            }
            paintCell(dc, c, r, cellRect(c, r));
        }
    if (highlightStyle_ != 0 && hasFocus()) {
        const Rect ar = cellRect(activeCol_, activeRow_);
        if (!ar.empty())
            dc.frameRect(ar, rgb(0, 0, 0));
    }
    dc.popClip();
    // The headers stay while the cells scroll under them.
    if (isRowShown(0)) {
        dc.pushClip(Rect{view.left, 0, view.right, view.top});
        for (int c : cols)
            paintCell(dc, c, 0, cellRect(c, 0));
        dc.popClip();
    }
    if (isColShown(0)) {
        dc.pushClip(Rect{0, view.top, view.left, view.bottom});
        for (int r : rows)
            paintCell(dc, 0, r, cellRect(0, r));
        dc.popClip();
    }
    if (isRowShown(0) && isColShown(0))
        paintCell(dc, 0, 0, cellRect(0, 0));
    drawScrollBars(*this, dc);
    if (style_ & ws::border)
        dc.frameRect(all, rgb(130, 135, 144));
}

std::wstring Grid::cellDisplay(int col, int row) const {
    const Cell* x = cell(col, row);
    CellSpan s;
    if (row > 0 && col > 0 && spanAt(col, row, s) && (s.col != col || s.row != row))
        return L"<<";
    std::wstring t;
    switch (x->code()) {
    case grid::typeEdit:
        t = L"[" +
            detail::visible(editing_ && col == activeCol_ && row == activeRow_ ? editorText_
                                                                               : x->data) +
            L"]";
        break;
    case grid::typeDropDown:
        t = L"<" + detail::visible(x->data) + L" v>";
        break;
    case grid::typeCheckBox: {
        const std::wstring& label = x->tag.empty() ? x->type->caption : x->tag;
        t = std::wstring(x->checked() ? L"[x]" : L"[ ]") + (label.empty() ? L"" : L" " + label);
        break;
    }
    default:
        t = detail::visible(x->data);
        break;
    }
    if (x->locked && row > 0 && col > 0 && !t.empty())
        t += L" #";
    else if (x->locked && row > 0 && col > 0 && x->code() != grid::typeStaticText &&
             x->code() != grid::typeGeneral)
        t += L"#";
    if (col == activeCol_ && row == activeRow_ && row > 0 && col > 0)
        t = L"*" + t;
    return t;
}

void Grid::describe(std::vector<std::wstring>& lines) const {
    std::wstring head = header(L"grid") + L" (" + std::to_wstring(maxCols_) + L" columns x " +
                        std::to_wstring(maxRows_) + L" rows, active " +
                        std::to_wstring(activeCol_) + L"," + std::to_wstring(activeRow_);
    if (hasBlock_)
        head += L", block " + std::to_wstring(block_.col1) + L"," + std::to_wstring(block_.row1) +
                L"-" + std::to_wstring(block_.col2) + L"," + std::to_wstring(block_.row2);
    if (editing_)
        head += L", editing";
    if (topRow_ > 1 || leftCol_ > 1)
        head += L", view from " + std::to_wstring(leftCol_) + L"," + std::to_wstring(topRow_);
    lines.push_back(head + L")" + stateWords());
    // Trailing rows without any text are left out.
    int lastRow = 0;
    for (int r = 1; r <= maxRows_; ++r) {
        if (!isRowShown(r))
            continue;
        for (int c = 1; c <= maxCols_; ++c)
            if (isColShown(c) &&
                (!cell(c, r)->data.empty() || cell(c, r)->code() == grid::typeEdit ||
                 cell(c, r)->code() == grid::typeCheckBox ||
                 cell(c, r)->code() == grid::typeDropDown))
                lastRow = r;
    }
    std::vector<int> cols;
    for (int c = 1; c <= maxCols_; ++c)
        if (isColShown(c))
            cols.push_back(c);
    std::vector<int> rows;
    if (isRowShown(0))
        rows.push_back(0);
    for (int r = 1; r <= lastRow; ++r)
        if (isRowShown(r))
            rows.push_back(r);
    const bool cut = rows.size() > size_t(kMaxShownRows);
    if (cut)
        rows.resize(size_t(kMaxShownRows));
    std::vector<int> width(cols.size(), 1);
    for (size_t k = 0; k < cols.size(); ++k) {
        width[k] = detail::displayWidth(std::to_wstring(cols[k]));
        for (int r : rows)
            width[k] = std::max(
                width[k], std::min(kMaxCellWidth, detail::displayWidth(cellDisplay(cols[k], r))));
    }
    auto emit = [&](std::wstring label, auto text) {
        std::wstring s = L"    " + detail::padRight(label, 4) + L"|";
        for (size_t k = 0; k < cols.size(); ++k)
            s += L" " + detail::padRight(detail::clip(text(k), width[k]), width[k]) + L" |";
        while (!s.empty() && s.back() == L' ')
            s.pop_back();
        lines.push_back(s);
    };
    emit(L"", [&](size_t k) { return std::to_wstring(cols[k]); });
    for (int r : rows)
        emit(r == 0 ? L"hdr" : std::to_wstring(r),
             [&](size_t k) { return cellDisplay(cols[k], r); });
    if (cut)
        lines.push_back(L"    ... " + std::to_wstring(lastRow - rows.back()) + L" more rows");
}

} // namespace zhost::ui

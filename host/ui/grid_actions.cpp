// The grid's behaviour: cell values, edit mode, clipboard, keys and what a user does.
#include "zhost/ui/grid.h"

#include "grid_cell.h"

#include "zhost/core/utf.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/services.h"

#include <algorithm>
#include <cwctype>

namespace zhost::ui {

// --- Cell values --------------------------------------------------------------------------------

void Grid::Cell::setText(std::wstring_view text) {
    data = text;
    if (code() == grid::typeDropDown) {
        comboSel = -1;
        for (size_t i = 0; i < type->items.size(); ++i)
            if (equalsNoCase(type->items[i], text))
                comboSel = int(i);
    }
}

void Grid::Cell::setValue(std::wstring_view value) {
    if (code() == grid::typeCheckBox) {
        data = (!value.empty() && value != L"0") ? L"1" : L"0";
    } else if (code() == grid::typeDropDown) {
        int index = -1;
        try {
            index = value.empty() ? -1 : std::stoi(std::wstring(value));
        } catch (...) {
            index = -1;
        }
        if (index >= 0 && index < int(type->items.size())) {
            comboSel = index;
            data = type->items[size_t(index)];
        } else {
            comboSel = -1;
            data.clear();
        }
    } else {
        data = value;
    }
}

std::wstring Grid::Cell::value() const {
    if (code() == grid::typeCheckBox)
        return checked() ? L"1" : L"0";
    if (code() == grid::typeDropDown)
        return comboSel >= 0 ? std::to_wstring(comboSel) : std::wstring();
    return data;
}

// --- Notifications ------------------------------------------------------------------------------

void Grid::sendCellNotify(unsigned msg, int col, int row, int x, int y) {
    GridNotify n;
    n.controlId = id_;
    n.code = int(msg);
    n.col = col;
    n.row = row;
    n.x = x;
    n.y = y;
    notifyParent(msg, std::uintptr_t(id_), reinterpret_cast<std::intptr_t>(&n));
}

bool Grid::cellIsInert(int col, int row) {
    GridNotify n;
    n.controlId = id_;
    n.code = int(grid::cellQuery);
    n.col = col;
    n.row = row;
    return notifyParent(grid::cellQuery, std::uintptr_t(id_),
                        reinterpret_cast<std::intptr_t>(&n)) == 1;
}

void Grid::moveActive(int dcol, int drow) {
    int c = activeCol_, r = activeRow_;
    while (true) {
        c += dcol;
        r += drow;
        if (c < 1 || r < 1 || c > maxCols_ || r > maxRows_)
            return; // nowhere to go: the active cell stays
        if (!isColShown(c) || !isRowShown(r))
            continue;
        CellSpan s;
        if (spanAt(c, r, s) && (s.col != c || s.row != r))
            continue;
        if (cellIsInert(c, r))
            continue;
        setActiveCell(c, r);
        return;
    }
}

// --- Edit mode ----------------------------------------------------------------------------------

bool Grid::setEditMode(bool on) {
    if (on == editing_)
        return true;
    Cell* c = cell(activeCol_, activeRow_);
    if (on) {
        if (!c || c->locked || c->code() != grid::typeEdit)
            return false;
        editing_ = true;
        editorText_ = c->data;
        editorSelStart_ = 0;
        editorSelEnd_ = int(editorText_.size());
        sendCellNotify(grid::editModeOn, activeCol_, activeRow_);
        repaint();
        return true;
    }
    editing_ = false;
    const bool changed = c && c->data != editorText_;
    if (c)
        c->data = editorText_;
    sendCellNotify(grid::editModeOff, activeCol_, activeRow_);
    if (changed)
        sendCellNotify(grid::textChanged, activeCol_, activeRow_);
    repaint();
    return true;
}

void Grid::setEditorSel(int start, int end) {
    const int n = int(editorText_.size());
    editorSelStart_ = std::clamp(start < 0 ? n : start, 0, n);
    editorSelEnd_ = std::clamp(end < 0 ? n : end, editorSelStart_, n);
}

bool Grid::replaceSel(std::wstring_view text) {
    if (!editing_)
        return false;
    std::wstring s = editorText_;
    s.replace(size_t(editorSelStart_), size_t(editorSelEnd_ - editorSelStart_), text);
    const int caret = editorSelStart_ + int(text.size());
    if (!typeInEditor(s))
        return false;
    editorSelStart_ = editorSelEnd_ = std::min(caret, int(editorText_.size()));
    return true;
}

bool Grid::typeInEditor(std::wstring_view text) {
    if (!editing_)
        return false;
    const Cell* c = cell(activeCol_, activeRow_);
    std::wstring s(text);
    if (c && c->type) {
        if (c->type->maxLength > 0 && int(s.size()) > c->type->maxLength)
            s.resize(size_t(c->type->maxLength));
        if (c->type->charCase == 1)
            for (auto& ch : s)
                ch = wchar_t(std::towupper(ch));
        else if (c->type->charCase == 2)
            for (auto& ch : s)
                ch = wchar_t(std::towlower(ch));
    }
    editorText_ = std::move(s);
    editorSelStart_ = editorSelEnd_ = int(editorText_.size());
    repaint();
    return true;
}

// --- Clipboard ----------------------------------------------------------------------------------

bool Grid::clipboardCopy() {
    if (editing_) {
        if (editorSelEnd_ > editorSelStart_)
            setClipboardText(
                std::wstring_view(editorText_)
                    .substr(size_t(editorSelStart_), size_t(editorSelEnd_ - editorSelStart_)));
        return true;
    }
    const CellBlock b = effectiveBlock();
    if (!validCell(b.col1, b.row1) || !validCell(b.col2, b.row2) || b.col1 < 1 || b.row1 < 1)
        return false;
    std::wstring text;
    for (int r = b.row1; r <= b.row2; ++r) {
        for (int c = b.col1; c <= b.col2; ++c) {
            if (c > b.col1)
                text += L'\t';
            text += cell(c, r)->data;
        }
        text += L"\r\n";
    }
    setClipboardText(text);
    return true;
}

bool Grid::clipboardCut() {
    if (editing_) {
        clipboardCopy();
        return replaceSel(L"");
    }
    if (!clipboardCopy())
        return false;
    const CellBlock b = effectiveBlock();
    for (int r = b.row1; r <= b.row2; ++r)
        for (int c = b.col1; c <= b.col2; ++c)
            if (Cell* x = cell(c, r); x && !x->locked)
                x->setText(L"");
    repaint();
    return true;
}

// --- User actions -------------------------------------------------------------------------------

namespace {

bool fail(std::wstring* why, std::wstring text) {
    if (why)
        *why = std::move(text);
    return false;
}

std::wstring cellName(int col, int row) {
    return std::to_wstring(col) + L"," + std::to_wstring(row);
}

} // namespace

bool Grid::userClick(int col, int row, std::wstring* why) {
    if (col < 1 || row < 1 || col > maxCols_ || row > maxRows_)
        return fail(why, L"cell " + cellName(col, row) + L" is outside the grid (" +
                             std::to_wstring(maxCols_) + L" columns, " + std::to_wstring(maxRows_) +
                             L" rows)");
    setFocus();
    CellSpan s;
    if (spanAt(col, row, s))
        col = s.col, row = s.row;
    Cell* c = cell(col, row);
    if (c->locked) {
        if (why)
            *why = L"cell " + cellName(col, row) + L" is locked: nothing happens";
        return true;
    }
    if (editing_ && (col != activeCol_ || row != activeRow_))
        setEditMode(false);
    if (!cellIsInert(col, row))
        setActiveCell(col, row);
    if (c->code() == grid::typeCheckBox) {
        c->data = c->checked() ? L"0" : L"1";
        repaint();
        notifyCommand(grid::checkClickNotify);
        return true;
    }
    notifyCommand(grid::clickNotify);
    if (getBool(grid::optEditOnClick) && c->code() == grid::typeEdit && activeCol_ == col &&
        activeRow_ == row)
        setEditMode(true);
    return true;
}

bool Grid::userCheck(int col, int row, bool on, std::wstring* why) {
    const Cell* c = cell(col, row);
    if (!c || col < 1 || row < 1)
        return fail(why, L"cell " + cellName(col, row) + L" is outside the grid");
    if (c->code() != grid::typeCheckBox)
        return fail(why, L"cell " + cellName(col, row) + L" is not a check box");
    if (c->checked() == on)
        return true;
    return userClick(col, row, why);
}

bool Grid::userRightClick(int col, int row, std::wstring* why) {
    if (col < 1 || row < 1 || col > maxCols_ || row > maxRows_)
        return fail(why, L"cell " + cellName(col, row) + L" is outside the grid");
    setFocus();
    // A right click outside the selection moves the active cell there first, so the menu's
    // paste goes where the user pointed.
    const CellBlock b = effectiveBlock();
    const bool inside = col >= b.col1 && col <= b.col2 && row >= b.row1 && row <= b.row2;
    if (!inside && !editing_ && !cellIsInert(col, row)) {
        hasBlock_ = false;
        setActiveCell(col, row);
    }
    const Rect cr = cellRect(col, row);
    const Point o = parent_.clientOrigin();
    sendCellNotify(grid::rightClick, col, row, o.x + rect_.left + (cr.left + cr.right) / 2,
                   o.y + rect_.top + (cr.top + cr.bottom) / 2);
    return true;
}

bool Grid::userType(int col, int row, std::wstring_view text, std::wstring* why) {
    if (col < 1 || row < 1 || col > maxCols_ || row > maxRows_)
        return fail(why, L"cell " + cellName(col, row) + L" is outside the grid (" +
                             std::to_wstring(maxCols_) + L" columns, " + std::to_wstring(maxRows_) +
                             L" rows)");
    const Cell* c = cell(col, row);
    if (c->code() != grid::typeEdit)
        return fail(why, L"cell " + cellName(col, row) + L" is not an edit cell");
    if (c->locked) {
        if (why)
            *why = L"cell " + cellName(col, row) + L" is locked: nothing happens";
        return true;
    }
    setFocus();
    if (!editing_ || activeCol_ != col || activeRow_ != row) {
        setActiveCell(col, row);
        setEditMode(true);
    }
    typeInEditor(text);
    setEditMode(false);
    return true;
}

bool Grid::userSelectItem(int col, int row, int index, std::wstring* why) {
    if (col < 1 || row < 1 || col > maxCols_ || row > maxRows_)
        return fail(why, L"cell " + cellName(col, row) + L" is outside the grid");
    Cell* c = cell(col, row);
    if (c->code() != grid::typeDropDown)
        return fail(why, L"cell " + cellName(col, row) + L" is not a drop-down");
    if (index < 0 || index >= int(c->type->items.size()))
        return fail(why, L"drop-down " + cellName(col, row) + L" has no item " +
                             std::to_wstring(index) + L" (" +
                             std::to_wstring(c->type->items.size()) + L" items)");
    if (c->locked) {
        if (why)
            *why = L"cell " + cellName(col, row) + L" is locked: nothing happens";
        return true;
    }
    setFocus();
    setActiveCell(col, row);
    c->comboSel = index;
    c->data = c->type->items[size_t(index)];
    repaint();
    sendCellNotify(grid::comboSelChange, col, row);
    return true;
}

// --- Keys ---------------------------------------------------------------------------------------

bool Grid::handleKey(int key, KeyState state) {
    std::intptr_t code = key & 0xFFFF;
    if (state.shift)
        code |= grid::keyShift;
    if (state.control)
        code |= grid::keyControl;
    if (notifyParent(grid::keyDown, std::uintptr_t(id_), code) != 0)
        return true;
    if (editing_) {
        switch (key) {
        case vk::returnKey:
            setEditMode(false);
            if (getBool(grid::optReturnMovesDown))
                moveActive(0, 1);
            return true;
        case vk::escape: {
            const Cell* c = cell(activeCol_, activeRow_);
            editorText_ = c ? c->data : std::wstring();
            setEditMode(false);
            return true;
        }
        case vk::left:
        case vk::right:
        case vk::up:
        case vk::down:
            if (getBool(grid::optArrowsExitEdit)) {
                setEditMode(false);
                moveActive(key == vk::left    ? -1
                           : key == vk::right ? 1
                                              : 0,
                           key == vk::up     ? -1
                           : key == vk::down ? 1
                                             : 0);
            }
            return true;
        case vk::tab:
            if (!getBool(grid::optTabMovesCell))
                return false;
            setEditMode(false);
            moveActive(state.shift ? -1 : 1, 0);
            return true;
        default:
            break;
        }
        if (state.control && getBool(grid::optEditorKeys)) {
            if (key == 'C')
                return clipboardCopy();
            if (key == 'X')
                return clipboardCut();
            if (key == 'V') {
                std::wstring t;
                if (getClipboardText(t))
                    replaceSel(t);
                return true;
            }
        }
        return false;
    }
    switch (key) {
    case vk::left:
        moveActive(-1, 0);
        return true;
    case vk::right:
        moveActive(1, 0);
        return true;
    case vk::up:
        moveActive(0, -1);
        return true;
    case vk::down:
        moveActive(0, 1);
        return true;
    case vk::tab:
        if (!getBool(grid::optTabMovesCell))
            return false;
        moveActive(state.shift ? -1 : 1, 0);
        return true;
    case vk::returnKey:
        if (!getBool(grid::optReturnMovesDown))
            return false;
        moveActive(0, 1);
        return true;
    case vk::prior:
    case vk::next: {
        // A page up or down: the view moves by what it shows and the active cell with it, to
        // the nearest row on the way where it may rest.
        const int page = std::max(1, scrollInfo(true).page);
        const int dir = key == vk::next ? 1 : -1;
        scrollTo(true, topRow_ - 1 + dir * page);
        for (int r = std::clamp(activeRow_ + dir * page, 1, maxRows_); r != activeRow_; r -= dir)
            if (isRowShown(r) && !cellIsInert(activeCol_, r)) {
                setActiveCell(activeCol_, r);
                break;
            }
        return true;
    }
    case vk::space:
        if (cellType(activeCol_, activeRow_) == grid::typeCheckBox)
            return userClick(activeCol_, activeRow_);
        return false;
    default:
        return false;
    }
}

} // namespace zhost::ui

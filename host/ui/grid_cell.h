#pragma once
// One cell of the grid (inside the module).
#include "zhost/ui/grid.h"

#include <memory>

namespace zhost::ui {

struct Grid::Cell {
    std::shared_ptr<const CellType> type; // null: never given a type
    std::shared_ptr<const Font> font;     // null: the grid's font
    std::wstring data;
    std::wstring tag;
    Color bg = grid::colorUnchanged; // unchanged: white
    Color fg = grid::colorUnchanged; // unchanged: black
    Color borderColor = 0;
    int borderType = 0;
    int comboSel = -1;
    bool locked = false;

    int code() const { return type ? type->code : grid::typeGeneral; }
    // Sets the text: a drop-down also chooses the item of that text.
    void setText(std::wstring_view text);
    // Sets the value: a check box takes "1"/"0", a drop-down an item index.
    void setValue(std::wstring_view value);
    std::wstring value() const;
    bool checked() const { return !data.empty() && data != L"0"; }
};

} // namespace zhost::ui

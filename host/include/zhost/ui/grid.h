#pragma once
// The grid control: a small spreadsheet of cells with types (static text, edit, drop-down,
// check box with its own pictures), text and value, lock, colours, tags, row user data, spans,
// column widths and row heights, an active cell and a block selection, a cell editor (edit
// mode) and the clipboard.
//
// Cells are addressed by column and row, both from 1; row 0 is the column-header row and
// column 0 the row-header column. In ranges and in the selection, -1 stands for "all": every
// column of a row, every row of a column, or the whole sheet.
//
// Notifications go to the dialog as messages with the grid's id in wParam (grid:: codes below);
// clicks go as command messages with the codes 59 (a cell was clicked) and 60 (a check-box cell
// was clicked and toggled).
#include "zhost/ui/bitmap.h"
#include "zhost/ui/control.h"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zhost::ui {

namespace grid {
// Messages to the parent.
inline constexpr unsigned editModeOn = 0x502;  // lParam: GridNotify*
inline constexpr unsigned editModeOff = 0x503; // lParam: GridNotify*
inline constexpr unsigned textChanged = 0x508; // lParam: GridNotify* of the cell
// "May the active cell rest on this cell?" lParam: GridNotify*; answer 1 for no: navigation
// and clicks then leave the active cell where it is (captions, cells under a span).
inline constexpr unsigned cellQuery = 0x509;
// lParam: the key code | 0x10000 with Shift | 0x20000 with Control. A non-zero answer means
// the key was handled and the grid does nothing more with it.
inline constexpr unsigned keyDown = 0x50B;
inline constexpr unsigned rightClick = 0x50D;     // lParam: GridNotify* (x, y: screen point)
inline constexpr unsigned comboSelChange = 0x517; // lParam: GridNotify*
// Command notification codes.
inline constexpr int clickNotify = 59;
inline constexpr int checkClickNotify = 60;
inline constexpr std::intptr_t keyShift = 0x10000;
inline constexpr std::intptr_t keyControl = 0x20000;

// Cell type codes.
inline constexpr int typeEdit = 1;
inline constexpr int typeStaticText = 6;
inline constexpr int typeGeneral = 8; // a cell that was never given a type
inline constexpr int typeDropDown = 11;
inline constexpr int typeCheckBox = 12;

// Options (setBool). What each one does here:
inline constexpr int optRedraw = 8;             // off: no repaints (bulk changes)
inline constexpr int optArrowsExitEdit = 10;    // arrows end edit mode and move the active cell
inline constexpr int optReturnMovesDown = 11;   // Return moves the active cell one row down
inline constexpr int optEditOnClick = 13;       // a click on an edit cell starts edit mode
inline constexpr int optTabMovesCell = 15;      // Tab moves between cells instead of leaving
inline constexpr int optScrollBarsAuto = 21;    // scroll bars only when needed (else by style)
inline constexpr int optEditorKeys = 25;        // in edit mode the cell editor does Ctrl+C/V/X
inline constexpr int optNoBeep = 32;            // kept, no effect headless
inline constexpr int optMoveActiveOnFocus = 33; // kept, no effect headless

// Colours given as this keep the cell's colour.
inline constexpr Color colorUnchanged = 0x8000FFFF;
} // namespace grid

// The parameter block of grid notifications: column at byte 8, row at byte 12.
struct GridNotify {
    std::int32_t controlId = 0;
    std::int32_t code = 0;
    std::int32_t col = 0;
    std::int32_t row = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};
static_assert(offsetof(GridNotify, col) == 8 && offsetof(GridNotify, row) == 12);

// The six pictures of a check-box cell: normal, focused and disabled, each unset and set.
struct CheckPictures {
    std::array<const Bitmap*, 6> pictures{}; // unset, set, focus unset, focus set, disabled x2
};

// A cell type with its settings.
struct CellType {
    int code = grid::typeGeneral;
    unsigned style = 0;
    // Edit cells.
    int maxLength = 0; // 0: unlimited
    int charSet = 0;
    int charCase = 0; // 0 as typed, 1 upper, 2 lower
    // Drop-down cells.
    std::vector<std::wstring> items;
    int maxDropRows = 8;
    // Check-box cells.
    std::wstring caption;
    std::array<Bitmap, 6> pictures; // copies of the given pictures
    bool hasPictures = false;

    static CellType staticText(unsigned style);
    static CellType edit(unsigned style, int maxLength, int charSet, int charCase);
    static CellType dropDown(unsigned style, std::vector<std::wstring> items, int maxDropRows);
    static CellType checkBox(unsigned style, std::wstring caption, const CheckPictures& pics);
};

struct CellSpan {
    int col = 0;
    int row = 0;
    int numCols = 1;
    int numRows = 1;
};

struct CellBlock {
    int col1 = -1, row1 = -1, col2 = -1, row2 = -1;
};

class Grid : public Control {
public:
    Grid(Dialog& parent, int id, std::uint32_t style, Rect rect);
    ~Grid() override;

    // --- Sheet size and geometry ------------------------------------------------------------
    // False (and no change) beyond the grid's capacity of one million cells.
    bool setMaxRows(int rows);
    bool setMaxCols(int cols);
    int maxRows() const { return maxRows_; }
    int maxCols() const { return maxCols_; }
    // Units of widths and heights: 0 and 1 characters of the grid's font for widths and points
    // for heights, 2 twips for both.
    void setUnitType(int type) { unitType_ = type; }
    int unitType() const { return unitType_; }
    bool setColWidth(int col, double units); // -1: every column
    double colWidth(int col) const;
    int colWidthInPixels(int col) const;
    bool setColWidthInPixels(int col, int px);
    bool setRowHeight(int row, double units); // -1: every row
    double rowHeight(int row) const;
    int rowHeightInPixels(int row) const;
    bool setRowHeightInPixels(int row, int px);
    // The width (in units) that the column's widest text needs.
    double maxTextColWidth(int col) const;
    double pixelsToWidthUnits(int px) const;
    double pixelsToHeightUnits(int px) const;
    bool showRow(int row, bool show);
    bool showCol(int col, bool show);
    bool isRowShown(int row) const;
    bool isColShown(int col) const;
    bool addCellSpan(int col, int row, int numCols, int numRows);
    // The span covering a cell (false when none).
    bool spanAt(int col, int row, CellSpan& out) const;

    // --- Appearance ---------------------------------------------------------------------------
    bool setBorder(int col, int row, int type, Color color);
    void setGridType(int type) { gridType_ = type; }
    int gridType() const { return gridType_; }
    void setGrayAreaColor(Color background, Color foreground);
    Color grayAreaBackground() const { return grayBg_; }
    bool setColor(int col, int row, Color background, Color foreground);
    bool setColorRange(int col1, int row1, int col2, int row2, Color background, Color foreground);
    bool getColor(int col, int row, Color& background, Color& foreground) const;
    void setLockColor(Color background, Color foreground);
    void setActiveCellHighlightStyle(int style) { highlightStyle_ = style; }
    int activeCellHighlightStyle() const { return highlightStyle_; }
    bool setFont(int col, int row, const Font& font);
    bool setFontRange(int col1, int row1, int col2, int row2, const Font& font);
    bool setBool(int option, bool on);
    bool getBool(int option) const;

    // --- Cell types -----------------------------------------------------------------------------
    bool setCellType(int col, int row, const CellType& type);
    bool setCellTypeRange(int col1, int row1, int col2, int row2, const CellType& type);
    int cellType(int col, int row) const; // the code; 0 outside the sheet
    const CellType* cellTypeInfo(int col, int row) const;
    // Drop-down items of a cell: count, chosen index (-1 none), text of item; select by index.
    int comboCount(int col, int row) const;
    int comboCurSel(int col, int row) const;
    bool comboText(int col, int row, int index, std::wstring& out) const;
    bool comboSetCurSel(int col, int row, int index);

    // --- Content -------------------------------------------------------------------------------
    // Data is the cell's text; a check-box cell's data is its value "1" or "0", a drop-down's
    // data is its chosen item and its value the item's index.
    bool setData(int col, int row, std::wstring_view text);
    bool setDataRange(int col1, int row1, int col2, int row2, std::wstring_view text);
    bool getData(int col, int row, std::wstring& out) const;
    std::wstring data(int col, int row) const;
    int dataLen(int col, int row) const;
    bool setValue(int col, int row, std::wstring_view value);
    bool setValueRange(int col1, int row1, int col2, int row2, std::wstring_view value);
    bool getValue(int col, int row, std::wstring& out) const;
    int valueLen(int col, int row) const;
    bool setCellTag(int col, int row, std::wstring_view tag);
    bool getCellTag(int col, int row, std::wstring& out) const;
    bool setRowUserData(int row, std::intptr_t data);
    bool getRowUserData(int row, std::intptr_t& out) const;

    // --- Protection -----------------------------------------------------------------------------
    bool setLock(int col, int row, bool locked);
    bool setLockRange(int col1, int row1, int col2, int row2, bool locked);
    bool isLocked(int col, int row) const;

    // --- Navigation and selection ---------------------------------------------------------------
    bool setActiveCell(int col, int row);
    void activeCell(int& col, int& row) const { col = activeCol_, row = activeRow_; }
    bool setSelectBlock(const CellBlock& block);
    // False when there is no block selection.
    bool getSelectBlock(CellBlock& out) const;
    void clearSelection() { hasBlock_ = false; }
    void setSelBlockOptions(int options) { selBlockOptions_ = options; }
    int selBlockOptions() const { return selBlockOptions_; }
    // The selection, or the active cell as a block; -1 corners replaced by the sheet's bounds.
    CellBlock effectiveBlock() const;

    // --- Edit mode
    // --------------------------------------------------------------------------------- Starting
    // needs an unlocked edit cell as the active cell.
    bool setEditMode(bool on);
    bool editMode() const { return editing_; }
    const std::wstring& editorText() const { return editorText_; }
    void setEditorSel(int start, int end);
    // Replaces the editor's selection (edit mode only).
    bool replaceSel(std::wstring_view text);
    // A user types into the cell editor: the whole text is replaced (the editor's limits apply).
    bool typeInEditor(std::wstring_view text);

    // --- Clipboard
    // ---------------------------------------------------------------------------------- The
    // selection (or active cell) as tab-separated lines ending in CR LF; in edit mode the editor's
    // selection.
    bool clipboardCopy();
    // As copy; outside edit mode the unlocked copied cells are emptied, in edit mode the
    // editor's selection.
    bool clipboardCut();
    void setClipboardOptions(int options) { clipboardOptions_ = options; }

    // --- User actions (what the script directives and tests do) ---------------------------------
    // false with a reason when the action is not possible (locked, wrong type, out of range).
    bool userClick(int col, int row, std::wstring* why = nullptr);
    bool userRightClick(int col, int row, std::wstring* why = nullptr);
    bool userType(int col, int row, std::wstring_view text, std::wstring* why = nullptr);
    bool userSelectItem(int col, int row, int index, std::wstring* why = nullptr);
    bool userCheck(int col, int row, bool on, std::wstring* why = nullptr);

    bool handleKey(int key, KeyState state) override;
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;
    // The cell's rectangle in the control (spans included); empty when hidden or outside.
    Rect cellRect(int col, int row) const;
    // The cell under a point of the control (the first cell of a span for any point in it);
    // false over the headers, the grey area or a hidden row or column.
    bool cellAt(Point p, int& col, int& row) const;
    // Sum of the shown column widths / row heights in pixels (headers included when shown).
    int totalWidth() const;
    int totalHeight() const;
    bool validCell(int col, int row) const {
        return col >= 0 && col <= maxCols_ && row >= 0 && row <= maxRows_;
    }

    // --- Scrolling ----------------------------------------------------------------------------
    // The first data row and column shown; the header row and column stay where they are. Cells
    // scrolled out have rectangles outside viewRect() (above or left of it).
    int topRow() const { return topRow_; }
    int leftCol() const { return leftCol_; }
    // Where data cells are shown: the control without its headers and scroll bars.
    Rect viewRect() const;
    // Scrolls so that the cell is wholly shown (as far as it fits); making a cell active does it.
    void showCell(int col, int row);
    // Rows scroll up and down, columns sideways, one step each. The bars show when the sheet is
    // larger than the control with option 21 on, else as the vertical and horizontal scroll
    // styles say.
    ScrollInfo scrollInfo(bool vertical) const override;
    bool scrollTo(bool vertical, int pos) override;
    void setRect(const Rect& r) override; // a larger grid scrolls back what now fits

private:
    struct Cell;
    Cell* cell(int col, int row);
    const Cell* cell(int col, int row) const;
    template <class F> bool forRange(int col1, int row1, int col2, int row2, F&& f);
    bool resize(int cols, int rows);
    int widthUnitPx() const;
    double heightUnitPx() const;
    bool cellIsInert(int col, int row);
    void sendCellNotify(unsigned msg, int col, int row, int x = 0, int y = 0);
    void moveActive(int dcol, int drow);
    std::wstring cellDisplay(int col, int row) const;
    void repaint();
    struct Bars {
        bool vertical = false;
        bool horizontal = false;
    };
    Bars bars() const;
    int borderSlack() const;
    int headerWidth() const;
    int headerHeight() const;
    // The first row (column) there can be at the top (left) for the sheet's end to fill the view.
    int lastFirst(bool vertical) const;
    void paintCell(DeviceContext& dc, int col, int row, const Rect& cr);

    int maxCols_ = 0;
    int maxRows_ = 0;
    std::vector<Cell> cells_; // (maxRows_+1) x (maxCols_+1), row-major
    std::vector<int> colPx_;
    std::vector<int> rowPx_;
    std::vector<bool> colShown_;
    std::vector<bool> rowShown_;
    std::vector<std::intptr_t> rowData_;
    std::vector<CellSpan> spans_;
    std::map<int, bool> options_;
    int unitType_ = 0;
    int gridType_ = 1;
    Color grayBg_ = rgb(128, 128, 128);
    Color grayFg_ = 0;
    Color lockBg_ = grid::colorUnchanged;
    Color lockFg_ = grid::colorUnchanged;
    int highlightStyle_ = 1;
    int selBlockOptions_ = 0xF;
    int clipboardOptions_ = 0xF;
    int activeCol_ = 1;
    int activeRow_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    bool hasBlock_ = false;
    CellBlock block_;
    bool editing_ = false;
    std::wstring editorText_;
    int editorSelStart_ = 0;
    int editorSelEnd_ = 0;
};

} // namespace zhost::ui

#pragma once
// The spreadsheet grid wrapper. TSpread is the grid window class; CSpreadSheet puts a grid in
// place of a dialog's placeholder static and offers cell operations on a current cell, or on a
// current range when the range flag is set; VortaSpreadSheet (VortaSpreadSheet.h) adds the
// clipboard keys and the Cut / Copy / Paste menu.
//
// Columns and rows count from 1; -1 means all columns or all rows (in a range corner, whole
// rows or whole columns).
#include "zhost/ui/dialog.h"
#include "zhost/ui/grid.h"

#include <cstdint>
#include <memory>
#include <string>

// Grid options by number.
enum : int {
    SPREAD_OPT_REDRAW = 8,
    SPREAD_OPT_ARROWS_EXIT = 10,
    SPREAD_OPT_RETURN_DOWN = 11,
    SPREAD_OPT_EDIT_ON_CLICK = 13,
    SPREAD_OPT_TAB_CELLS = 15,
    SPREAD_OPT_AUTO_SCROLLBARS = 21,
    SPREAD_OPT_EDITOR_KEYS = 25,
    SPREAD_OPT_NO_BEEP = 32,
    SPREAD_OPT_MOVE_ON_FOCUS = 33,
};

// The grid window class.
class TSpread {
public:
    TSpread() = default;
    virtual ~TSpread();
    TSpread(const TSpread&) = delete;
    TSpread& operator=(const TSpread&) = delete;

    zhost::ui::Grid* GetGrid() const { return m_pGrid; }
    bool IsWindow() const { return m_pGrid != nullptr; }
    int GetDlgCtrlID() const { return m_pGrid ? m_pGrid->id() : 0; }

protected:
    // Takes the grid window: its notifications to the dialog pass OnGridNotify first and the
    // messages sent to it OnGridMessage (the platform's reflection and subclassing).
    void Subclass(zhost::ui::Grid* pGrid);
    virtual bool OnGridNotify(const zhost::ui::Message& m, std::intptr_t& result);
    virtual bool OnGridMessage(const zhost::ui::Message& m, std::intptr_t& result);

    zhost::ui::Grid* m_pGrid = nullptr;
    std::weak_ptr<const int> m_gridLife; // expires with the grid window
};

class CSpreadSheet : public TSpread {
public:
    CSpreadSheet() = default;

    // Replaces the dialog's placeholder control `nCtrlId` by a grid of the same place, id, style
    // (plus border and 0x1000), z-order and tab order; gives every cell the dialog's font and sets
    // option 21. False when there is no placeholder or no grid could be made.
    bool AttachToPlaceholder(zhost::ui::Dialog* pParent, int nCtrlId);
    zhost::ui::Dialog* GetParent() const { return m_pParent; }

    // --- The current cell or range ---------------------------------------------------------
    void SetCurCol(int nCol) { m_nCol = nCol; }
    void SetCurRow(int nRow) { m_nRow = nRow; }
    int GetCurCol() const { return m_nCol; }
    int GetCurRow() const { return m_nRow; }
    // With bRange set, operations apply from the current cell to (nLastCol, nLastRow).
    void SetRange(bool bRange, int nLastCol = -1, int nLastRow = -1);
    bool IsRange() const { return m_bRange; }

    // --- Cell operations ---------------------------------------------------------------------
    std::wstring GetText() const;
    std::wstring GetValue() const;
    bool SetText(const std::wstring& text);
    bool SetValue(const std::wstring& value);
    int GetCellType() const;               // 0 on failure; 11 drop-down, 12 check box
    zhost::ui::Color GetBackColor() const; // 0 on failure
    bool SetBackColor(zhost::ui::Color color);
    bool IsLocked() const;
    bool SetLock(bool bLock);
    bool SetStaticText(unsigned nStyle);
    bool SetEdit(int nMaxLength, unsigned nStyle, int nCharSet, int nCase);
    // Items separated by tabs; bit 2 of the style is not passed on.
    bool SetDropDown(const std::wstring& items, unsigned nStyle, int nMaxDropRows);
    // Six pictures: unset and set for the normal, focused and disabled looks. With pValue the
    // cell's value is set too.
    bool SetCheckBox(const zhost::ui::Bitmap* const pictures[6], unsigned nStyle,
                     const std::wstring& caption, const wchar_t* pValue = nullptr);

    // --- Drop-down items of the current cell ----------------------------------------------------
    int GetComboCount() const;
    int GetComboCurSel() const;
    std::wstring GetComboText(int nIndex) const;
    bool SetComboCurSel(int nIndex);
    std::wstring GetComboItems() const; // joined with tabs

    // --- Rows and columns ---------------------------------------------------------------------
    std::intptr_t GetRowUserData() const; // 0 on failure
    bool SetRowUserData(std::intptr_t data);
    double GetRowHeight() const;
    bool ShowCol(bool bShow);
    bool ShowRow(bool bShow);
    bool SetColWidth(double width);

    // --- Selection
    // --------------------------------------------------------------------------------- The block
    // selection, or the active cell as a one-cell block; -1 corners mean whole rows or whole
    // columns. False when there is neither.
    bool GetSelection(int& nCol, int& nRow, int& nCol2, int& nRow2) const;
    int GetActiveCol() const; // -1 on failure

    // --- Options --------------------------------------------------------------------------------
    bool GetOption(int nOption) const;
    bool SetOption(int nOption, bool bOn);
    // Options 32 and 33 as bits 0 and 1 of one value; likewise 10 and 11.
    void SetOptions32And33(int nBits);
    void SetOptions10And11(int nBits);
    void SetSelBlockOptions(int nOptions);

    bool GetClientRect(zhost::ui::Rect& rect) const;

protected:
    bool OnGridMessage(const zhost::ui::Message& m, std::intptr_t& result) override;

    zhost::ui::Dialog* m_pParent = nullptr;
    int m_nCol = -1;
    int m_nRow = -1;
    bool m_bRange = false;
    int m_nCol2 = -1;
    int m_nRow2 = -1;
};

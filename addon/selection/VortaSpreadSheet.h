#pragma once
// The grid with clipboard keys and a Cut / Copy / Paste popup menu (used by the attribute
// dialog).
#include "selection/SpreadSheet.h"

#include "zhost/ui/menu.h"

#include <memory>
#include <string>
#include <vector>

class VortaSpreadSheet : public CSpreadSheet {
public:
    VortaSpreadSheet() = default;
    ~VortaSpreadSheet() override;

    // In edit mode the editor's selection; otherwise the selection (or active cell), whole rows
    // and columns limited to the sheet.
    void Copy();
    // As copy; in edit mode the editor's selection is then removed.
    void Cut();
    // Writes the clipboard's text into the grid (see the shapes in the .cpp), skipping locked
    // cells and telling the dialog of every written cell.
    void Paste();
    // Empties every unlocked cell of the selection.
    void ClearSelection();

    // The clipboard text as the paste reads it: rows of cells, each cell cut at its first
    // carriage return; one empty line after the last line feed does not count as a row.
    static std::vector<std::vector<std::wstring>> SplitClipboardText(const std::wstring& text);

protected:
    bool OnGridNotify(const zhost::ui::Message& m, std::intptr_t& result) override;

private:
    bool OnKeyDown(int nKey, bool bShift, bool bControl);
    void OnRightClick(int x, int y);
    void CopyOrCut(bool bCut);
    void PasteBlock(const std::vector<std::vector<std::wstring>>& cells);
    void WriteCell(int nCol, int nRow, const std::wstring& text);

    std::unique_ptr<zhost::ui::Menu> m_pMenu;
};

#pragma once
// The part attribute dialog (223, "属性編集"): one grid row per attribute item, the prompt in a
// locked cell and the value in an edit cell of at most 255 characters. OK takes the typed values
// into the items; Cancel leaves them as they were. The dialog can be resized (the grid follows)
// and keeps its position and size under the dialog name "ZORMA_CONT_Atr".
#include "attributes/PartAttributes.h"
#include "selection/VortaSpreadSheet.h"

#include "zhost/ui/dialog.h"

#include <string>
#include <vector>

inline constexpr const wchar_t* kContAtrDialogName = L"ZORMA_CONT_Atr";
// The longest value an attribute cell takes.
inline constexpr int kAtrValueMaxChars = 255;
// The smallest size the user can drag the dialog to, in pixels.
inline constexpr int kContAtrMinWidth = 320;
inline constexpr int kContAtrMinHeight = 200;

class CContAtrDlg : public zhost::ui::Dialog {
public:
    explicit CContAtrDlg(CAtrArray& items, zhost::ui::Dialog* pParent = nullptr);

    bool onInitDialog() override;
    void onOk() override;
    void onDestroy() override;
    void onPaint(zhost::ui::DeviceContext& dc) override;

    VortaSpreadSheet& GetSheet() { return m_sheet; }

private:
    void RestorePlacement();
    void FillGrid();
    void SetColumnWidths();

    CAtrArray& m_items;
    std::vector<std::wstring> m_shown; // the value cells' texts as filled
    VortaSpreadSheet m_sheet;
};

// Shows the dialog on the items with the plug-in's resources current. Returns its end code.
int RunContAtrDlg(CAtrArray& items);

#pragma once
// PvxCPartsDlg (1101, "部品コンテンツ"): the picture catalogue. The part types on the left; on
// the right a column of up to four picture buttons narrows the choice level by level. A button
// shows one node of the catalogue tree; a click opens a menu of pictures of that node's siblings
// and the chosen one takes the button's place, the buttons below following it down the tree. The
// first leaf shown is the part; on OK its file base name and display name are handed back. The
// last choices and the position are kept under the dialog name "PartsContents_Dlg".
#include "controls/LunaBtn.h"
#include "controls/MyPopMenu.h"
#include "library/CsvItem.h"
#include "selection/SymbolDrawings.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/preview_cache.h"

#include <array>
#include <string>
#include <vector>

inline constexpr const wchar_t* kPartsContentsDialogName = L"PartsContents_Dlg";
inline constexpr int kPvxButtonCount = 4;
// Menu commands of the siblings: only the first sixteen are taken.
inline constexpr int kPvxHandledSiblings = 16;
// "SelBtn%d" of a hidden button, or of a node not found among its siblings.
inline constexpr int kPvxNoSibling = 9999;

class PvxCPartsDlg : public zhost::ui::Dialog {
public:
    PvxCPartsDlg(const std::wstring& strSymbolsFolder, const std::wstring& strCatalogueFile,
                 zhost::ui::Dialog* pParent = nullptr);
    ~PvxCPartsDlg() override;

    bool onInitDialog() override;
    void onOk() override;
    void onDestroy() override;
    void onMeasureItem(int controlId, zhost::ui::MeasureItem& item) override;
    void onDrawItem(int controlId, zhost::ui::DrawItem& item) override;

    // The choice after OK.
    const std::wstring& GetFileBaseName() const { return m_strFileBaseName; }
    const std::wstring& GetDisplayName() const { return m_strDisplayName; }

    // What the dialog shows, for its callers' tests and the benchmarks.
    const CCsvItem& GetTree() const { return m_root; }
    // The node button i (0 to 3) shows; null when the button is hidden.
    CCsvItem* GetButtonNode(int i) const;
    // The selected button (0 to 3), -1 when none.
    int GetSelectedButton() const;
    zhost::ui::Size GetButtonSize() const { return m_buttonSize; }
    const zhost::ui::PreviewCache& GetPreviewCache() const { return m_previews; }
    // The sibling menu while it is open (null otherwise).
    CMyPopMenu* GetOpenMenu() const { return m_pMenu; }

    // Where a menu of n items starts a new column: every third item for five or six items,
    // every fourth otherwise; none for four items or fewer.
    static int MenuColumnLength(int nItems);

private:
    void FillTypes();
    void RestoreChoices();
    void ShowFirstLevel();
    void OnTypeChange();
    void OnButtonClick(int nButton);
    void OnSibling(int nSibling);
    void ShowNode(int nButton, CCsvItem* pNode);
    void RefreshAfter(int nButton);
    void UpdateResult();
    void SelectButton(int nButton);
    void DrawButton(zhost::ui::DrawItem& item);
    void DrawMenuItem(zhost::ui::DrawItem& item);
    void DrawNode(zhost::ui::DeviceContext& dc, const zhost::ui::Rect& rc, const CCsvItem& node,
                  int nPreviewFlags);

    std::wstring m_strSymbolsFolder;
    std::wstring m_strCatalogueFile;
    CCsvItem m_root;
    std::array<CLunaBtn, kPvxButtonCount> m_buttons;
    std::array<CCsvItem*, kPvxButtonCount> m_nodes{};
    zhost::ui::Size m_buttonSize;
    bool m_bInitializing = true;
    std::wstring m_strFileBaseName;
    std::wstring m_strDisplayName;
    // The menu being shown and the siblings its items stand for.
    CMyPopMenu* m_pMenu = nullptr;
    int m_nMenuButton = -1;
    std::vector<CCsvItem*> m_menuNodes;
    // For the life of the dialog: the pictures drawn, and the symbols folder's listing.
    zhost::ui::PreviewCache m_previews;
    CSymbolDrawings m_symbols;
};

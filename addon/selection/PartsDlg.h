#pragma once
// CPartsDlg (222, "部品コンテンツ"): the text catalogue. The groups of the catalogue on the left,
// the parts of the selected group on the right as cells with the part's picture and its line,
// a filter field below. On OK it hands back the part's file base name and display name. OK with
// Shift held opens the part's dialog description in the user's editor and keeps the dialog open,
// an aid for library authors. Position, filter and the last choice are kept under the dialog name
// "ZORMA_CONT_PartsSel".
#include "library/CatalogueList.h"
#include "selection/SymbolDrawings.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/preview_cache.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr const wchar_t* kPartsSelDialogName = L"ZORMA_CONT_PartsSel";
// The smallest size the user can drag the dialog to, in pixels.
inline constexpr int kPartsDlgMinWidth = 320;
inline constexpr int kPartsDlgMinHeight = 200;

class CFolderIndex;

class CPartsDlg : public zhost::ui::Dialog {
public:
    // The catalogue file ("PartsContentsK.txt") and the symbols folder (ending with a backslash).
    CPartsDlg(const std::wstring& strCatalogueFile, const std::wstring& strSymbolsFolder,
              zhost::ui::Dialog* pParent = nullptr);
    ~CPartsDlg() override;

    bool onInitDialog() override;
    void onOk() override;
    void onDestroy() override;
    bool preTranslateKey(int key, zhost::ui::KeyState state) override;
    void onDrawItem(int controlId, zhost::ui::DrawItem& item) override;
    void onSize(zhost::ui::Size client) override;
    void onPaint(zhost::ui::DeviceContext& dc) override;

    // The choice after OK.
    const std::wstring& GetFileBaseName() const { return m_strFileBaseName; }
    const std::wstring& GetDisplayName() const { return m_strDisplayName; }

    const std::vector<CatalogueGroup>& GetGroups() const { return m_groups; }
    const zhost::ui::PreviewCache& GetPreviewCache() const { return m_previews; }

    // The line a part gets in the list: the first five characters of its file base name, a blank
    // and its display name, upper-cased (the filter is matched against it).
    static std::wstring ItemLine(const CatalogueItem& item);

private:
    void FillItems(const std::wstring& strFilter);
    void OnApplyFilter();
    void OnGroupChange();
    void OnItemChange();
    void OnItemDoubleClick();
    void UpdateStatus();
    void RestorePosition();
    const CatalogueGroup* SelectedGroup() const;
    const CatalogueItem* ItemAt(int nLine) const;
    std::wstring FilterText() const;
    std::wstring DescriptionPath(const std::wstring& strFileBaseName) const;
    bool HasDescription(const std::wstring& strFileBaseName);

    std::wstring m_strCatalogueFile;
    std::wstring m_strSymbolsFolder;
    std::wstring m_strDlgFolder;
    std::vector<CatalogueGroup> m_groups;
    bool m_bInitializing = true;
    std::wstring m_strFileBaseName;
    std::wstring m_strDisplayName;
    // For the life of the dialog: the pictures drawn, and the folders' listings.
    zhost::ui::PreviewCache m_previews;
    CSymbolDrawings m_symbols;
    std::unique_ptr<CFolderIndex> m_descriptions;
};

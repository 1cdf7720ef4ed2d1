#pragma once
// CMyPopMenu: a popup menu whose items are bitmaps drawn by the menu, or drawn by the owner
// through a routine of its own.
#include "zhost/ui/dialog.h"
#include "zhost/ui/menu.h"

#include <array>
#include <functional>
#include <memory>

class CMyPopMenu;
using PopMenuDrawRoutine =
    std::function<void(zhost::ui::DrawItem& item, CMyPopMenu* pMenu, int nItemCount)>;

class CMyPopMenu {
public:
    static constexpr int kMaxItems = 50;

    CMyPopMenu();
    ~CMyPopMenu();
    CMyPopMenu(const CMyPopMenu&) = delete;
    CMyPopMenu& operator=(const CMyPopMenu&) = delete;

    // Appends an item: command id (0: 420 plus the item's index), bitmap of the plug-in's
    // resources, menu flags (owner-drawn, menu breaks). False when the menu resource is
    // missing, the menu is full or the append failed.
    bool AppendItem(int nCmdId, int nBitmapId, unsigned nFlags);
    void SetOwner(zhost::ui::Dialog* pOwner) { m_pOwner = pOwner; }
    // Deletes the item bitmaps and the menu.
    void Release();

    int GetItemCount() const { return m_nCount; }
    int GetItemId(int nIndex) const;
    zhost::ui::Menu* GetSubMenu() const { return m_pSubMenu; }
    // Shows the menu at a screen point for the owner: the chosen command, 0 when none.
    int Track(zhost::ui::Point pt);

    // Draws one item (called from the owner's draw-item handling).
    void DrawItem(zhost::ui::DrawItem& item);
    PopMenuDrawRoutine m_pfnDraw;

private:
    std::unique_ptr<zhost::ui::Menu> m_pMenu;
    zhost::ui::Menu* m_pSubMenu = nullptr;
    zhost::ui::Dialog* m_pOwner = nullptr;
    int m_nCount = 0;
    std::array<int, kMaxItems> m_nIds{};
    std::array<zhost::ui::Bitmap, kMaxItems> m_bitmaps;
};

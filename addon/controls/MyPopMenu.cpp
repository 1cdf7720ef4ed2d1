// CMyPopMenu: building the picture menu from its resource and drawing its items.
#include "controls/MyPopMenu.h"

#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/ui/services.h"

#include <cwchar>

using namespace zhost::ui;

CMyPopMenu::CMyPopMenu() = default;
CMyPopMenu::~CMyPopMenu() {
    Release();
}

bool CMyPopMenu::AppendItem(int nCmdId, int nBitmapId, unsigned nFlags) {
    if (m_nCount == 0 && !m_pSubMenu) {
        m_pMenu = Menu::load(ZormaResources(), IDR_PICTURE_MENU);
        if (!m_pMenu)
            return false;
        m_pSubMenu = m_pMenu->subMenu(0);
        if (!m_pSubMenu) {
            m_pMenu.reset();
            return false;
        }
        m_pSubMenu->deleteItem(0); // the placeholder
    }
    if (!m_pSubMenu || m_nCount >= kMaxItems)
        return false;
    const int nId = nCmdId != 0 ? nCmdId : ID_PICTURE_MENU_PLACEHOLDER + m_nCount;
    m_nIds[size_t(m_nCount)] = nId;
    const Bitmap* pBmp = nBitmapId ? ZormaResources().bitmap(nBitmapId) : nullptr;
    m_bitmaps[size_t(m_nCount)] = pBmp ? *pBmp : Bitmap();
    wchar_t text[32];
    std::swprintf(text, 32, L"Item%d", m_nCount);
    if (!m_pSubMenu->appendItem(nFlags, nId, text))
        return false;
    ++m_nCount;
    return true;
}

void CMyPopMenu::Release() {
    for (auto& b : m_bitmaps)
        b = Bitmap();
    m_pMenu.reset();
    m_pSubMenu = nullptr;
    m_nCount = 0;
}

int CMyPopMenu::GetItemId(int nIndex) const {
    return nIndex >= 0 && nIndex < m_nCount ? m_nIds[size_t(nIndex)] : 0;
}

int CMyPopMenu::Track(Point pt) {
    if (!m_pSubMenu)
        return 0;
    return m_pSubMenu->trackPopup(pt, m_pOwner, true);
}

void CMyPopMenu::DrawItem(zhost::ui::DrawItem& item) {
    int nIndex = -1;
    for (int i = 0; i < m_nCount; ++i)
        if (m_nIds[size_t(i)] == item.itemId)
            nIndex = i;
    if (nIndex < 0)
        return; // not one of ours
    if (m_pfnDraw) {
        m_pfnDraw(item, this, m_nCount);
        return;
    }
    // Off screen first, then onto the menu in one copy.
    const Rect rc = item.rect;
    Bitmap off(rc.width(), rc.height());
    {
        DeviceContext dc(off);
        dc.setFont(defaultGuiFont());
        const Rect local{0, 0, rc.width(), rc.height()};
        dc.fillRect(local, sysColor(SysColor::menu));
        if (item.state & ods::selected)
            dc.fillRect(local, sysColor(SysColor::highlight));
        const Color white = rgb(255, 255, 255);
        dc.drawBitmap(m_bitmaps[size_t(nIndex)], local, false, &white);
    }
    item.dc->drawBitmap(off, rc, true);
}

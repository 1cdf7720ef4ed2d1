// CLunaBtn: placement, toggling, theme states and drawing.
#include "controls/LunaBtn.h"

#include "resources/ZormaResources.h"

#include "zhost/ui/services.h"

using namespace zhost::ui;

CLunaBtn::CLunaBtn() = default;

CLunaBtn::~CLunaBtn() {
    if (m_pButton && !m_buttonLife.expired()) {
        m_pButton->setWindowHook({});
        m_pButton->setDrawHandler({});
    }
}

CThemeAnswer& CLunaBtn::Theme() {
    static CThemeAnswer s_theme;
    return s_theme;
}

void CLunaBtn::SetUp(Dialog* pParent, int nCtrlId, int nBitmapId, int nStretch) {
    m_pParent = pParent;
    m_nCtrlId = nCtrlId;
    m_nStretch = nStretch;
    m_bToggle = m_bCheckStyle = m_bState = m_bHover = false;
    m_pfnDraw = nullptr;
    SetBitmap(nBitmapId);
}

bool CLunaBtn::Replace(unsigned nOptions) {
    if (m_nCtrlId == 0 || !m_pParent)
        return false;
    CPlaceholderInfo info;
    if (!ReadPlaceholder(m_pParent, m_nCtrlId, info))
        return false;
    if (nOptions & 1)
        m_bToggle = true;
    else
        m_bCheckStyle = (info.nStyle & 3) != 0;
    m_pButton = ReplaceWithOwnerDrawButton(m_pParent, m_nCtrlId, info);
    if (!m_pButton)
        return false;
    m_buttonLife = m_pButton->lifetime();
    m_pButton->setWindowHook(
        [this](const Message& m, std::intptr_t& result) { return OnMessage(m, result); });
    m_pButton->setDrawHandler([this](zhost::ui::DrawItem& item) { DrawItem(item); });
    return true;
}

bool CLunaBtn::SetBitmap(int nBitmapId) {
    m_bitmap = Bitmap();
    if (nBitmapId == 0)
        return true;
    const Bitmap* pBmp = ZormaResources().bitmap(nBitmapId);
    if (!pBmp)
        return false;
    m_bitmap = *pBmp;
    if (m_pButton && !m_buttonLife.expired() && m_pButton->isVisible())
        m_pButton->invalidate();
    return true;
}

bool CLunaBtn::SetDisabledBitmap(int nBitmapId) {
    m_bitmapDisabled = Bitmap();
    if (nBitmapId == 0)
        return true;
    const Bitmap* pBmp = ZormaResources().bitmap(nBitmapId);
    if (!pBmp)
        return false;
    m_bitmapDisabled = *pBmp;
    return true;
}

void CLunaBtn::SetState(bool bState) {
    m_bState = bState;
    if (m_pButton && !m_buttonLife.expired()) {
        m_pButton->setStatusText(bState ? L"set" : L"");
        m_pButton->invalidate();
    }
}

int CLunaBtn::ThemeState(bool bToggleOrCheck, bool bDisabled, bool bSelected, bool bState,
                         bool bHover) {
    if (!bToggleOrCheck) {
        if (bDisabled)
            return 4;
        if (bSelected || bState)
            return 3;
        return bHover ? 2 : 1;
    }
    if (bDisabled)
        return (!bSelected && !bState) ? 4 : 8;
    if (bSelected)
        return 5;
    if (bState)
        return bHover ? 2 : 5;
    return bHover ? 2 : 1;
}

bool CLunaBtn::OnMessage(const Message& m, std::intptr_t& result) {
    switch (m.id) {
    case wm::mouseMove:
        if (Theme().Get() && !m_bHover) {
            m_pButton->trackMouse(true, true);
            m_bHover = true;
            m_pButton->invalidate();
        }
        return false;
    case wm::mouseHover:
        m_bHover = true;
        m_pButton->invalidate();
        return false;
    case wm::mouseLeave:
        m_bHover = false;
        m_pButton->invalidate();
        return false;
    case wm::lButtonDblClk:
        result = m_pButton->sendMessage(wm::lButtonDown, m.wParam, m.lParam);
        return true;
    case wm::lButtonDown:
        // Before the default handling, so the click notification sees the new state.
        if (m_pButton->isEnabled()) {
            if (m_bCheckStyle)
                SetState(!m_bState);
            else if (m_bToggle)
                SetState(true);
        }
        return false;
    default:
        return false;
    }
}

void CLunaBtn::DrawItem(zhost::ui::DrawItem& item) {
    DeviceContext& dc = *item.dc;
    const Rect rc = item.rect;
    const bool bSelected = (item.state & ods::selected) != 0;
    const bool bDisabled = (item.state & ods::disabled) != 0;
    const bool bFocus = (item.state & ods::focus) != 0;
    if (Theme().Get()) {
        const int nState =
            ThemeState(m_bToggle || m_bCheckStyle, bDisabled, bSelected, m_bState, m_bHover);
        dc.drawThemeBackground(theme::partPushButton, DrawableThemeState(nState), rc);
        if (nState == 8)
            dc.frameRect(rc.deflate(2, 2), sysColor(SysColor::buttonShadow));
    } else {
        dc.drawButtonFrame(rc, bSelected || m_bState, bDisabled);
    }
    if (m_pfnDraw) {
        m_pfnDraw(item, this, &dc);
    } else {
        const Bitmap& bmp = (bDisabled && !m_bitmapDisabled.empty()) ? m_bitmapDisabled : m_bitmap;
        Rect r = rc.deflate(8, 8);
        if (bSelected || (m_bToggle && m_bState))
            r = r.offset(1, 1);
        const Color white = rgb(255, 255, 255);
        if (!bmp.empty())
            dc.drawBitmap(bmp, r, m_nStretch == 1, &white);
    }
    if (bFocus && !bSelected)
        dc.drawFocusRect(rc.deflate(3, 3));
}

// CBtnArw: placement, mouse, theme states and drawing.
#include "controls/BtnArw.h"

#include "zhost/settings/vorta.h"
#include "zhost/ui/services.h"

#include <cmath>

using namespace zhost::ui;

CBtnArw::CBtnArw() = default;

CBtnArw::~CBtnArw() {
    if (m_pButton && !m_buttonLife.expired()) {
        m_pButton->setWindowHook({});
        m_pButton->setDrawHandler({});
    }
}

CThemeAnswer& CBtnArw::Theme() {
    static CThemeAnswer s_theme;
    return s_theme;
}

void CBtnArw::SetUp(Dialog* pParent, int nCtrlId, const std::wstring& strDrawing) {
    m_pParent = pParent;
    m_nCtrlId = nCtrlId;
    m_strDrawing = strDrawing;
    m_bStateful = m_bPressed = m_bHover = m_bSmallIcon = false;
    m_nIndex = -1;
}

bool CBtnArw::Replace() {
    if (m_nCtrlId == 0 || !m_pParent)
        return false;
    CPlaceholderInfo info;
    if (!ReadPlaceholder(m_pParent, m_nCtrlId, info))
        return false;
    m_bStateful = (info.nStyle & 9) != 0;
    m_pButton = ReplaceWithOwnerDrawButton(m_pParent, m_nCtrlId, info);
    if (!m_pButton)
        return false;
    m_buttonLife = m_pButton->lifetime();
    m_pButton->setWindowHook(
        [this](const Message& m, std::intptr_t& result) { return OnMessage(m, result); });
    m_pButton->setDrawHandler([this](zhost::ui::DrawItem& item) { DrawItem(item); });
    return true;
}

void CBtnArw::SetDrawing(const std::wstring& strDrawing) {
    m_strDrawing = strDrawing;
    if (m_pButton && !m_buttonLife.expired())
        m_pButton->invalidate();
}

void CBtnArw::SetPressed(bool bPressed) {
    m_bPressed = bPressed;
    if (m_pButton && !m_buttonLife.expired()) {
        m_pButton->setStatusText(bPressed ? L"selected" : L"");
        m_pButton->invalidate();
    }
}

void CBtnArw::SetIcon(const Bitmap& icon, bool bSmall) {
    m_icon = icon;
    m_bSmallIcon = bSmall;
}

int CBtnArw::ThemeState(bool bStateful, bool bDisabled, bool bSelected, bool bPressed,
                        bool bHover) {
    if (!bStateful) {
        if (bDisabled)
            return 4;
        if (bSelected || bPressed)
            return 3;
        return bHover ? 2 : 1;
    }
    if (bDisabled)
        return (!bSelected && !bPressed) ? 4 : 8;
    if (bSelected)
        return 5;
    if (bPressed)
        return bHover ? 2 : 5;
    return bHover ? 2 : 1;
}

bool CBtnArw::OnMessage(const Message& m, std::intptr_t& result) {
    switch (m.id) {
    case wm::mouseMove:
        if (Theme().Get() && !m_bHover) {
            m_pButton->trackMouse(true, true); // hover after 1 ms, and leave
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
        // Quick clicks count as separate clicks.
        result = m_pButton->sendMessage(wm::lButtonDown, m.wParam, m.lParam);
        return true;
    default:
        return false;
    }
}

void CBtnArw::DrawCaption(DeviceContext& dc, Rect strip, bool bDisabled, bool bSelected) {
    if (bSelected)
        strip = strip.offset(1, 1);
    dc.setTextColor(bDisabled ? sysColor(SysColor::grayText) : sysColor(SysColor::windowText));
    dc.drawText(m_pButton->text(), strip, dt::center | dt::vcenter | dt::singleLine);
}

void CBtnArw::DrawItem(zhost::ui::DrawItem& item) {
    DeviceContext& dc = *item.dc;
    const Rect rc = item.rect;
    const bool bSelected = (item.state & ods::selected) != 0;
    const bool bDisabled = (item.state & ods::disabled) != 0;
    const bool bFocus = (item.state & ods::focus) != 0;
    if (Theme().Get()) {
        const int nState = ThemeState(m_bStateful, bDisabled, bSelected, m_bPressed, m_bHover);
        dc.drawThemeBackground(theme::partPushButton, DrawableThemeState(nState), rc);
        if (nState == 8)
            dc.frameRect(rc.deflate(2, 2), sysColor(SysColor::buttonShadow));
    } else {
        dc.drawButtonFrame(rc, bSelected || m_bPressed, bDisabled);
    }
    dc.setFont(defaultGuiFont());
    const std::wstring caption = m_pButton ? m_pButton->text() : std::wstring();
    if (!m_strDrawing.empty()) {
        const Size ts = dc.measureText(caption);
        const int nStrip = int(std::lround(ts.cy * 1.4));
        const Rect pic{rc.left, rc.top, rc.right, rc.bottom - nStrip};
        const Rect inset = pic.deflate(4, 4);
        const zhost_vui_Rect r{inset.left, inset.top, inset.right, inset.bottom};
        zhost_vui_DrawPreview(m_strDrawing.c_str(), &dc, &r, 2, 15);
        DrawCaption(dc, Rect{rc.left, rc.bottom - nStrip, rc.right, rc.bottom}, bDisabled,
                    bSelected);
    } else {
        const int nIcon = m_bSmallIcon ? 16 : 32;
        const bool bCaption = !caption.empty();
        const int nAreaBottom = bCaption ? rc.top + rc.height() * 2 / 3 : rc.bottom;
        Rect icon = Rect::fromSize(rc.left + (rc.width() - nIcon) / 2,
                                   rc.top + (nAreaBottom - rc.top - nIcon) / 2, nIcon, nIcon);
        if (bSelected)
            icon = icon.offset(1, 1);
        if (!m_icon.empty())
            dc.drawBitmap(m_icon, icon, true, nullptr, bDisabled);
        if (bCaption)
            DrawCaption(dc, Rect{rc.left, nAreaBottom, rc.right, rc.bottom}, bDisabled, bSelected);
    }
    if (bFocus && !bSelected)
        dc.drawFocusRect(rc.deflate(3, 3));
}

// Owner-drawn button placement and the theme question.
#include "controls/OwnerButton.h"

#include "zhost/ui/services.h"

bool ReadPlaceholder(zhost::ui::Dialog* pParent, int nCtrlId, CPlaceholderInfo& info) {
    if (!pParent)
        return false;
    zhost::ui::Control* pHolder = pParent->control(nCtrlId);
    if (!pHolder)
        return false;
    info.rect = pHolder->rect();
    info.nStyle = pHolder->style();
    info.strText = pHolder->text().substr(0, 256);
    return true;
}

zhost::ui::Button* ReplaceWithOwnerDrawButton(zhost::ui::Dialog* pParent, int nCtrlId,
                                              const CPlaceholderInfo& info) {
    zhost::ui::Control* pHolder = pParent->control(nCtrlId);
    if (!pHolder)
        return nullptr;
    zhost::ui::Control* pBefore = pParent->previousSibling(pHolder);
    if (!pParent->destroyControl(nCtrlId))
        return nullptr;
    const std::uint32_t kept =
        info.nStyle & (zhost::ui::ws::tabStop | zhost::ui::ws::visible | zhost::ui::ws::disabled);
    const std::uint32_t style = zhost::ui::ws::child | zhost::ui::bs::ownerDraw | kept;
    zhost::ui::Control* pNew = pParent->createControl(zhost::ui::ControlKind::button, nCtrlId,
                                                      info.strText, style, info.rect);
    if (!pNew)
        return nullptr;
    pParent->placeAfter(pNew, pBefore);
    return dynamic_cast<zhost::ui::Button*>(pNew);
}

bool CThemeAnswer::Get() {
    if (m_nState < 0)
        m_nState = zhost::ui::themeActive() ? 1 : 0;
    return m_nState == 1;
}

int DrawableThemeState(int nState) {
    return nState == 8 ? zhost::ui::theme::stateDisabled : nState;
}

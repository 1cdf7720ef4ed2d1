#pragma once
// What the owner-drawn buttons share: putting a new owner-drawn button window in the place of
// a dialog's placeholder control, and the question whether the system theme is used.
#include "zhost/ui/dialog.h"

#include <string>

struct CPlaceholderInfo {
    zhost::ui::Rect rect; // in the parent's client coordinates
    std::uint32_t nStyle = 0;
    std::wstring strText; // at most 256 characters
};

// Reads the placeholder `nCtrlId` of `pParent`. False when there is none.
bool ReadPlaceholder(zhost::ui::Dialog* pParent, int nCtrlId, CPlaceholderInfo& info);

// Destroys the placeholder and makes an owner-drawn button of the same text, place and id with
// the placeholder's tab-stop, visible and disabled styles, right after the sibling that came
// before the placeholder (so the tab order stays). Null on failure.
zhost::ui::Button* ReplaceWithOwnerDrawButton(zhost::ui::Dialog* pParent, int nCtrlId,
                                              const CPlaceholderInfo& info);

// The theme answer of one button class: asked once, at the first drawing, then kept for the
// life of the process (ResetForTests forgets it).
class CThemeAnswer {
public:
    bool Get();
    void ResetForTests() { m_nState = -1; }

private:
    int m_nState = -1; // -1 not asked yet
};

// The theme's documented push-button states for a state number of the button tables; state 8
// (disabled and pressed, or disabled and set) has no documented look: it is drawn as the
// disabled state with a sunken inner frame, so the pressed choice stays visible.
int DrawableThemeState(int nState);

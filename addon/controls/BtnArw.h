#pragma once
// CBtnArw: a picture button that shows the stored preview of a drawing file with its caption
// underneath (or an icon), in the theme's push-button look when a theme is active.
#include "controls/OwnerButton.h"

#include "zhost/ui/bitmap.h"

#include <memory>
#include <string>

class CBtnArw {
public:
    CBtnArw();
    ~CBtnArw();
    CBtnArw(const CBtnArw&) = delete;
    CBtnArw& operator=(const CBtnArw&) = delete;

    // Stores the parent, id and drawing; clears the flags; index -1.
    void SetUp(zhost::ui::Dialog* pParent, int nCtrlId, const std::wstring& strDrawing);
    // Replaces the placeholder with the picture button and takes its window (mouse handling
    // and drawing). False when the window could not be made.
    bool Replace();

    void SetDrawing(const std::wstring& strDrawing);
    const std::wstring& GetDrawing() const { return m_strDrawing; }
    // The pressed flag is kept by the owner (the selected picture of a group).
    void SetPressed(bool bPressed);
    bool IsPressed() const { return m_bPressed; }
    bool IsStateful() const { return m_bStateful; }
    bool IsHover() const { return m_bHover; }
    void SetIcon(const zhost::ui::Bitmap& icon, bool bSmall);
    zhost::ui::Button* GetButton() const { return m_pButton; }
    int m_nIndex = -1;

    // The theme state of the push-button part for a combination of flags.
    static int ThemeState(bool bStateful, bool bDisabled, bool bSelected, bool bPressed,
                          bool bHover);
    static CThemeAnswer& Theme();

    void DrawItem(zhost::ui::DrawItem& item);

private:
    bool OnMessage(const zhost::ui::Message& m, std::intptr_t& result);
    void DrawCaption(zhost::ui::DeviceContext& dc, zhost::ui::Rect strip, bool bDisabled,
                     bool bSelected);

    zhost::ui::Dialog* m_pParent = nullptr;
    zhost::ui::Button* m_pButton = nullptr;
    std::weak_ptr<const int> m_buttonLife; // expires with the button window
    int m_nCtrlId = 0;
    bool m_bStateful = false;
    bool m_bPressed = false;
    bool m_bHover = false;
    bool m_bSmallIcon = false;
    zhost::ui::Bitmap m_icon;
    std::wstring m_strDrawing;
};

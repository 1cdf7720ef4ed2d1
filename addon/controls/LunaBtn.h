#pragma once
// CLunaBtn: a themed bitmap button that can also act as a toggle or check button, or be drawn
// entirely by its owner through a routine of its own.
#include "controls/OwnerButton.h"

#include "zhost/ui/bitmap.h"

#include <functional>
#include <memory>

class CLunaBtn;
using LunaDrawRoutine = std::function<void(zhost::ui::DrawItem& item, CLunaBtn* pButton,
                                           zhost::ui::DeviceContext* pDC)>;

class CLunaBtn {
public:
    CLunaBtn();
    ~CLunaBtn();
    CLunaBtn(const CLunaBtn&) = delete;
    CLunaBtn& operator=(const CLunaBtn&) = delete;

    // Stores the parent, id and stretch flag (1: the bitmap fills the button), clears the flags
    // and the drawing routine and loads the bitmap of the plug-in's resources (0: none).
    void SetUp(zhost::ui::Dialog* pParent, int nCtrlId, int nBitmapId, int nStretch);
    // Replaces the placeholder; option bit 0 makes a toggle button. False on failure.
    bool Replace(unsigned nOptions = 0);
    // False when the bitmap cannot be loaded (the button is then without one).
    bool SetBitmap(int nBitmapId);
    bool SetDisabledBitmap(int nBitmapId);

    bool IsToggle() const { return m_bToggle; }
    bool IsCheckStyle() const { return m_bCheckStyle; }
    bool GetState() const { return m_bState; }
    void SetState(bool bState);
    bool IsHover() const { return m_bHover; }
    zhost::ui::Button* GetButton() const { return m_pButton; }
    int GetDlgCtrlID() const { return m_nCtrlId; }

    // Set by the owner: draws the whole button (only the focus rectangle is added).
    LunaDrawRoutine m_pfnDraw;

    static int ThemeState(bool bToggleOrCheck, bool bDisabled, bool bSelected, bool bState,
                          bool bHover);
    static CThemeAnswer& Theme();

    void DrawItem(zhost::ui::DrawItem& item);

private:
    bool OnMessage(const zhost::ui::Message& m, std::intptr_t& result);

    zhost::ui::Dialog* m_pParent = nullptr;
    zhost::ui::Button* m_pButton = nullptr;
    std::weak_ptr<const int> m_buttonLife; // expires with the button window
    int m_nCtrlId = 0;
    bool m_bToggle = false;
    bool m_bCheckStyle = false;
    bool m_bState = false;
    bool m_bHover = false;
    int m_nStretch = 0;
    zhost::ui::Bitmap m_bitmap;
    zhost::ui::Bitmap m_bitmapDisabled;
};

#pragma once
// The layer creation dialog (218, "画層ダイアログ"): name, scale with an absolute-scale box that
// writes the scale into the name, colour, lineweight, linetype, description and the four layer
// states. OK checks the name (not blank, not taken) and stores the description in m_info; the
// caller creates the layer from it (CreateLayer).
#include "hide/LayerInfor.h"

#include "zhost/ui/dialog.h"

// The message boxes of the name check.
inline constexpr const wchar_t* kLayerNameInvalid = L"画層名が不正です";
inline constexpr const wchar_t* kLayerNameExists = L"画層名が既に存在します";

class CLayerInforDlg : public zhost::ui::Dialog {
public:
    explicit CLayerInforDlg(zhost::ui::Dialog* pParent = nullptr);

    bool onInitDialog() override;
    void onOk() override;

    // The description entered; valid after OK.
    CLayerInfor m_info;

private:
    // Shows the matching message box and answers false for a blank or taken name.
    bool CheckName(const std::wstring& name);
    std::intptr_t OnScaleSpin(zhost::ui::NotifyHeader& header);
    void OnAbsoluteScale();
    std::wstring ControlText(int id) const;
    bool IsTicked(int id) const;
};

// Runs the layer dialog with the plug-in's resources current; true after OK, with `info` filled.
bool RunLayerInforDlg(zhost::ui::Dialog* pParent, CLayerInfor& info);

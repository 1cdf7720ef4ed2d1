#pragma once
// The property settings dialog (219, "プロパティ設定"): the layer, colour, linetype and lineweight
// the hidden-line command gives covered pieces in property mode. Values can be chosen, taken
// from the drawing's current settings ("現在の設定へ") or from a picked entity ("要素指示"); the
// entry "<新規画層>" of the layer list opens the layer dialog and creates the layer at once.
#include "hide/LayerInfor.h"
#include "hide/SettingProperty.h"

#include "zhost/ui/dialog.h"

#include <string>

// The layer list's entry that creates a new layer.
inline constexpr const wchar_t* kNewLayerEntry = L"<新規画層>";

class CSettingPropertyDlg : public zhost::ui::Dialog {
public:
    explicit CSettingPropertyDlg(const CSettingProperty& property,
                                 zhost::ui::Dialog* pParent = nullptr);

    bool onInitDialog() override;
    void onOk() override;

    // The record as shown, and after OK as chosen. The hide flag passes through unchanged.
    const CSettingProperty& GetProperty() const { return m_property; }
    // The last layer created from this dialog.
    const CLayerInfor& GetLayerInfor() const { return m_layerInfor; }

private:
    void ShowProperty();
    void SelectLinetypeByName(const std::wstring& name);
    void SelectDefaultLayer();
    void OnCurrentSettings();
    void OnPickEntity();
    void OnLayerChanged();

    CSettingProperty m_property;
    CLayerInfor m_layerInfor;
};

// Runs the dialog on the record with the plug-in's resources current; after OK the record holds
// the choice. Returns whether OK closed it.
bool RunSettingPropertyDlg(CSettingProperty& property);

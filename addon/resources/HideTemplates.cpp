// The templates of the two dialogs of the hidden-line command: the layer creation dialog and the
// property settings dialog.
#include "resources/DialogTemplates.h"
#include "resources/resource.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

namespace ui = zhost::ui;

namespace {

ui::ControlTemplate Label(const wchar_t* text, int x, int y, int cx) {
    return TemplateControl(-1, ui::ControlKind::staticText, text, 0, x, y, cx, 8);
}

ui::ControlTemplate Check(int id, const wchar_t* text, int x, int y, int cx) {
    return TemplateControl(id, ui::ControlKind::button, text,
                           ui::ws::tabStop | ui::bs::autoCheckBox, x, y, cx, 10);
}

ui::ControlTemplate Combo(int id, ui::ControlKind kind, int x, int y, int cx) {
    return TemplateControl(id, kind, L"", ui::ws::tabStop | ui::cbs::dropDownList, x, y, cx, 120);
}

ui::ControlTemplate Push(int id, const wchar_t* text, int x, int y, int cx, bool isDefault) {
    return TemplateControl(
        id, ui::ControlKind::button, text,
        ui::ws::tabStop | (isDefault ? ui::bs::defPushButton : ui::bs::pushButton), x, y, cx, 14);
}

void AddLayerInforTemplate(ui::ResourceModule& module) {
    ui::DialogTemplate t;
    t.resourceId = IDD_LAYER_INFOR;
    t.title = L"画層ダイアログ";
    t.size = {236, 200};
    t.controls = {
        TemplateControl(-1, ui::ControlKind::button, L"詳細", ui::bs::groupBox, 7, 4, 222, 170),
        Label(L"名前(A):", 14, 18, 60),
        TemplateControl(IDC_LAYER_NAME, ui::ControlKind::edit, L"",
                        ui::ws::tabStop | ui::ws::border, 76, 16, 146, 12),
        Label(L"画層尺度", 14, 34, 60),
        TemplateControl(IDC_LAYER_SCALE, ui::ControlKind::edit, L"",
                        ui::ws::tabStop | ui::ws::border, 76, 32, 40, 12),
        TemplateControl(IDC_LAYER_SCALE_SPIN, ui::ControlKind::upDown, L"", 0, 116, 32, 10, 12),
        Check(IDC_LAYER_ABSOLUTE_SCALE, L"絶対尺度(S):", 132, 33, 90),
        Label(L"色(R):", 14, 52, 60),
        Combo(IDC_LAYER_COLOR, ui::ControlKind::colorCombo, 76, 50, 146),
        Label(L"線の大さ(W):", 14, 70, 60),
        Combo(IDC_LAYER_LINEWEIGHT, ui::ControlKind::lineweightCombo, 76, 68, 146),
        Label(L"線種(L):", 14, 88, 60),
        Combo(IDC_LAYER_LINETYPE, ui::ControlKind::linetypeCombo, 76, 86, 146),
        Label(L"説明", 14, 106, 60),
        TemplateControl(IDC_LAYER_DESCRIPTION, ui::ControlKind::edit, L"",
                        ui::ws::tabStop | ui::ws::border, 76, 104, 146, 12),
        Check(IDC_LAYER_OFF, L"表示オフ(O)", 14, 124, 100),
        Check(IDC_LAYER_LOCKED, L"編集に対してロック(K)", 118, 124, 104),
        Check(IDC_LAYER_NOT_PLOTTED, L"印刷しない(P)", 14, 140, 100),
        Check(IDC_LAYER_FROZEN, L"すべてのビューポートでフリーズ", 14, 156, 208),
        Push(ui::idOk, L"画層作成", 118, 180, 52, true),
        Push(ui::idCancel, L"キャンセル", 176, 180, 52, false),
    };
    module.addDialog(IDD_LAYER_INFOR, t);
}

void AddSettingPropertyTemplate(ui::ResourceModule& module) {
    ui::DialogTemplate t;
    t.resourceId = IDD_SETTING_PROPERTY;
    t.title = L"プロパティ設定";
    t.size = {200, 118};
    t.controls = {
        Label(L"画層", 8, 10, 44),
        TemplateControl(IDC_PROPERTY_LAYER, ui::ControlKind::comboBox, L"",
                        ui::ws::tabStop | ui::cbs::dropDownList | ui::cbs::sort, 56, 8, 136, 120),
        Label(L"色", 8, 28, 44),
        Combo(IDC_PROPERTY_COLOR, ui::ControlKind::colorCombo, 56, 26, 136),
        Label(L"線種", 8, 46, 44),
        Combo(IDC_PROPERTY_LINETYPE, ui::ControlKind::linetypeCombo, 56, 44, 136),
        Label(L"線の大さ", 8, 64, 44),
        Combo(IDC_PROPERTY_LINEWEIGHT, ui::ControlKind::lineweightCombo, 56, 62, 136),
        Push(IDC_PROPERTY_CURRENT, L"現在の設定へ", 8, 82, 88, false),
        Push(IDC_PROPERTY_PICK, L"要素指示", 104, 82, 88, false),
        Push(ui::idOk, L"OK", 86, 100, 50, true),
        Push(ui::idCancel, L"キャンセル", 142, 100, 50, false),
    };
    module.addDialog(IDD_SETTING_PROPERTY, t);
}

} // namespace

void AddHideTemplates(ui::ResourceModule& module) {
    AddLayerInforTemplate(module);
    AddSettingPropertyTemplate(module);
}

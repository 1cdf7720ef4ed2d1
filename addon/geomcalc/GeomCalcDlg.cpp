#include "geomcalc/GeomCalcDlg.h"

#include "geomcalc/GeomCalcDialogs.h"
#include "geomcalc/GeomCalcLog.h"
#include "geomcalc/GeomCalcSettings.h"
#include "resources/DialogTemplates.h"

#include "zhost/ui/control.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/resources.h"

namespace ui = zhost::ui;

namespace {

ui::ControlTemplate PushButton(int id, const wchar_t* text, int x, int y, int cx, int cy,
                               bool isDefault = false) {
    return TemplateControl(
        id, ui::ControlKind::button, text,
        ui::ws::tabStop | (isDefault ? ui::bs::defPushButton : ui::bs::pushButton), x, y, cx, cy);
}

ui::DialogTemplate MakeResultTemplate() {
    ui::DialogTemplate t;
    t.resourceId = IDD_GEOMCALC_RESULT;
    t.title = L"幾何計算";
    t.size = {274, 202};
    t.controls = {
        TemplateControl(IDC_GEOMCALC_LIST, ui::ControlKind::listView, L"",
                        ui::ws::tabStop | ui::ws::border | ui::lvs::report | ui::lvs::showSelAlways,
                        7, 6, 260, 150),
        PushButton(IDC_GEOMCALC_OPENLOG, L"メモ帳で開く(O)", 60, 160, 70, 15),
        PushButton(ui::idOk, L"図面に貼り付け(&D)", 150, 160, 70, 15, true),
        PushButton(ui::idCancel, L"終了(&E)", 110, 180, 55, 15),
    };
    return t;
}

// Check boxes in the dialog's layout: id and position.
struct CheckPlace {
    int x, y;
};

CheckPlace CheckPosition(int item) {
    static const CheckPlace kPlaces[kItemCount] = {
        {11, 21},  {11, 41},  {11, 63},  {11, 83},  {11, 105},  {109, 38},
        {109, 21}, {109, 55}, {109, 71}, {109, 90}, {109, 107},
    };
    return kPlaces[item];
}

ui::DialogTemplate MakeSettingTemplate() {
    ui::DialogTemplate t;
    t.resourceId = IDD_GEOMCALC_SETTING;
    t.title = L"作表項目設定";
    t.size = {227, 147};
    t.controls.push_back(TemplateControl(IDC_GEOMCALC_STATIC, ui::ControlKind::staticText,
                                         L"作成する項目をチェックしてください", 0, 9, 8, 200, 10));
    // In tab order down the left column, then down the right one.
    static const int kOrder[kItemCount] = {0, 1, 2, 3, 4, 6, 5, 7, 8, 9, 10};
    for (int item : kOrder) {
        const CheckPlace p = CheckPosition(item);
        t.controls.push_back(TemplateControl(
            ItemCheckBoxId(item), ui::ControlKind::button, ItemLabel(item),
            ui::ws::tabStop | ui::bs::autoCheckBox, p.x, p.y, item <= kItemWeight ? 90 : 112, 12));
    }
    t.controls.push_back(PushButton(ui::idOk, L"OK", 47, 126, 50, 14, true));
    t.controls.push_back(PushButton(ui::idCancel, L"キャンセル", 118, 126, 50, 14));
    return t;
}

} // namespace

const ui::DialogTemplate& GeomCalcResultTemplate() {
    static const ui::DialogTemplate t = MakeResultTemplate();
    return t;
}

const ui::DialogTemplate& GeomCalcSettingTemplate() {
    static const ui::DialogTemplate t = MakeSettingTemplate();
    return t;
}

ui::ResourceModule& GeomCalcResources() {
    static ui::ResourceModule* module = [] {
        static ui::ResourceModule m(L"BX24TORV");
        m.addDialog(IDD_GEOMCALC_RESULT, GeomCalcResultTemplate());
        m.addDialog(IDD_GEOMCALC_SETTING, GeomCalcSettingTemplate());
        return &m;
    }();
    return *module;
}

// --- Result dialog ------------------------------------------------------------------------------

CGeomCalcResultDlg::CGeomCalcResultDlg(ui::Dialog* pParent)
    : ui::Dialog(GeomCalcResources(), IDD_GEOMCALC_RESULT, pParent) {
    onCommand(IDC_GEOMCALC_OPENLOG, ui::bn::clicked, [this] { OnOpenLog(); });
}

bool CGeomCalcResultDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    auto* list = controlAs<ui::ListView>(IDC_GEOMCALC_LIST);
    if (list == nullptr)
        return true;
    list->setExtendedStyle(list->extendedStyle() | ui::lvsEx::fullRowSelect);
    list->insertColumn(0, L"項目", 200);
    list->insertColumn(1, L"データ", 300);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int at = list->insertItem(int(i), m_rows[i].item);
        list->setItemText(at, 1, m_rows[i].data);
    }
    return true;
}

void CGeomCalcResultDlg::OnOpenLog() {
    WriteGeomCalcLog(m_rows);
}

// --- Settings dialog ----------------------------------------------------------------------------

CGeomCalcSettingDlg::CGeomCalcSettingDlg(ui::Dialog* pParent)
    : ui::Dialog(GeomCalcResources(), IDD_GEOMCALC_SETTING, pParent) {
    for (int item = 0; item < kItemCount; ++item)
        onCommand(ItemCheckBoxId(item), ui::bn::clicked, [this, item] { OnCheckClicked(item); });
}

bool CGeomCalcSettingDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    const ItemFlags& items = GeomCalcMemory().items;
    for (int item = 0; item < kItemCount; ++item)
        SetChecked(item, items[item]);
    return true;
}

bool CGeomCalcSettingDlg::IsChecked(int item) const {
    const auto* box = controlAs<ui::Button>(ItemCheckBoxId(item));
    return box != nullptr && box->check() == 1;
}

void CGeomCalcSettingDlg::SetChecked(int item, bool on) {
    if (auto* box = controlAs<ui::Button>(ItemCheckBoxId(item)))
        box->setCheck(on ? 1 : 0);
}

ItemFlags CGeomCalcSettingDlg::GetChecked() const {
    ItemFlags f;
    for (int item = 0; item < kItemCount; ++item)
        f[item] = IsChecked(item);
    return f;
}

void CGeomCalcSettingDlg::OnCheckClicked(int item) {
    // The weight needs the volume: unchecking the volume takes the weight with it and checking
    // the weight brings the volume.
    if (item == kItemVolume && !IsChecked(kItemVolume))
        SetChecked(kItemWeight, false);
    if (item == kItemWeight && IsChecked(kItemWeight))
        SetChecked(kItemVolume, true);
    if (ui::Control* ok = control(ui::idOk))
        ok->enable(GetChecked().Any());
}

void CGeomCalcSettingDlg::onOk() {
    const ItemFlags chosen = GetChecked();
    GeomCalcMemory().items = chosen;
    // A store that cannot be written keeps its old mask; the choice still holds for this session.
    SaveItemSwitches(chosen);
    endDialog(ui::idOk);
}

// --- What the command calls ---------------------------------------------------------------------

bool OpenGeomCalcSettings(ItemFlags& items) {
    ui::ResourceScope resources(GeomCalcResources());
    CGeomCalcSettingDlg dlg;
    if (dlg.runModal() != ui::idOk)
        return false;
    LoadItemSwitches();
    items = GeomCalcMemory().items;
    return true;
}

int ShowGeomCalcResult(const std::vector<ReportRow>& rows) {
    ui::ResourceScope resources(GeomCalcResources());
    CGeomCalcResultDlg dlg;
    dlg.SetRows(rows);
    return dlg.runModal() == ui::idOk ? ui::idOk : ui::idCancel;
}

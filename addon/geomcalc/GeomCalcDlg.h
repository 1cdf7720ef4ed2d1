#pragma once
// The result dialog (140, "幾何計算") and the item settings dialog (141, "作表項目設定").
#include "geomcalc/GeomCalcTypes.h"

#include "zhost/ui/dialog.h"

#include <vector>

// Control ids.
enum {
    IDD_GEOMCALC_RESULT = 140,
    IDD_GEOMCALC_SETTING = 141,
    IDC_GEOMCALC_LIST = 120,
    IDC_GEOMCALC_OPENLOG = 142,
    IDC_GEOMCALC_STATIC = -1,
};

// The templates, laid out in dialog units.
const zhost::ui::DialogTemplate& GeomCalcResultTemplate();
const zhost::ui::DialogTemplate& GeomCalcSettingTemplate();

// The plug-in's resource module holding the two templates; made current while they show.
zhost::ui::ResourceModule& GeomCalcResources();

// Lists the report rows; "メモ帳で開く(O)" writes and opens the log file and leaves the dialog
// open, "図面に貼り付け(&D)" ends it with idOk, "終了(&E)" with idCancel.
class CGeomCalcResultDlg : public zhost::ui::Dialog {
public:
    explicit CGeomCalcResultDlg(zhost::ui::Dialog* pParent = nullptr);

    void SetRows(std::vector<ReportRow> rows) { m_rows = std::move(rows); }
    const std::vector<ReportRow>& GetRows() const { return m_rows; }

    bool onInitDialog() override;

private:
    void OnOpenLog();

    std::vector<ReportRow> m_rows;
};

// Eleven check boxes, one per report item. Volume and weight are coupled (weight never stays on
// without volume) and OK is offered only while something is checked. OK stores the choice
// ("TAB") and makes it the remembered one.
class CGeomCalcSettingDlg : public zhost::ui::Dialog {
public:
    explicit CGeomCalcSettingDlg(zhost::ui::Dialog* pParent = nullptr);

    bool onInitDialog() override;
    void onOk() override;

    // The boxes as they stand.
    ItemFlags GetChecked() const;

private:
    void OnCheckClicked(int item);
    bool IsChecked(int item) const;
    void SetChecked(int item, bool on);
};

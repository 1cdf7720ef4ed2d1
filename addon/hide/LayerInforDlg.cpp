#include "hide/LayerInforDlg.h"

#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/ui/control.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/services.h"

namespace ui = zhost::ui;

namespace {

// The property boxes open without "ByLayer" and "ByBlock": a layer's own colour, weight and
// linetype cannot refer to itself or to a block.
void DropByLayerAndByBlock(ui::ComboBox* box) {
    if (box == nullptr)
        return;
    box->deleteString(0);
    box->deleteString(0);
    box->setCurSel(0);
}

} // namespace

CLayerInforDlg::CLayerInforDlg(ui::Dialog* pParent)
    : ui::Dialog(ZormaResources(), IDD_LAYER_INFOR, pParent) {
    onNotify(IDC_LAYER_SCALE_SPIN, ui::udn::deltaPos,
             [this](ui::NotifyHeader& h) { return OnScaleSpin(h); });
    onCommand(IDC_LAYER_ABSOLUTE_SCALE, ui::bn::clicked, [this] { OnAbsoluteScale(); });
}

bool CLayerInforDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    if (ui::Control* scale = control(IDC_LAYER_SCALE))
        scale->setText(L"1");
    DropByLayerAndByBlock(controlAs<ui::ComboBox>(IDC_LAYER_COLOR));
    DropByLayerAndByBlock(controlAs<ui::ComboBox>(IDC_LAYER_LINEWEIGHT));
    DropByLayerAndByBlock(controlAs<ui::ComboBox>(IDC_LAYER_LINETYPE));
    return true;
}

std::wstring CLayerInforDlg::ControlText(int id) const {
    const ui::Control* c = control(id);
    return c ? c->text() : std::wstring();
}

bool CLayerInforDlg::IsTicked(int id) const {
    const auto* box = controlAs<ui::Button>(id);
    return box != nullptr && box->check() == 1;
}

bool CLayerInforDlg::CheckName(const std::wstring& name) {
    const std::wstring trimmed = TrimBlanks(name);
    if (trimmed.empty()) {
        ui::messageBox(this, kLayerNameInvalid, title());
        return false;
    }
    if (LayerExists(trimmed)) {
        ui::messageBox(this, kLayerNameExists, title());
        return false;
    }
    return true;
}

std::intptr_t CLayerInforDlg::OnScaleSpin(ui::NotifyHeader& header) {
    const auto& nm = reinterpret_cast<const ui::UpDownNotify&>(header);
    double next = 0;
    if (!StepLayerScale(ParseLayerScale(ControlText(IDC_LAYER_SCALE)), nm.delta, next))
        return 1; // refused: the field keeps its value
    if (ui::Control* scale = control(IDC_LAYER_SCALE))
        scale->setText(FormatLayerScale(next));
    return 0;
}

void CLayerInforDlg::OnAbsoluteScale() {
    auto* box = controlAs<ui::Button>(IDC_LAYER_ABSOLUTE_SCALE);
    if (box == nullptr)
        return;
    const bool ticked = box->check() == 1;
    const std::wstring scaleText = ControlText(IDC_LAYER_SCALE);
    const double scale = ParseLayerScale(scaleText);
    if (!CheckName(ControlText(IDC_LAYER_NAME)) || scale <= 0) {
        box->setCheck(ticked ? 0 : 1);
        return;
    }
    if (ui::Control* name = control(IDC_LAYER_NAME))
        name->setText(ScaledLayerName(name->text(), scaleText, scale, ticked));
}

void CLayerInforDlg::onOk() {
    const std::wstring name = ControlText(IDC_LAYER_NAME);
    if (!CheckName(name))
        return;
    m_info.m_name = TrimBlanks(name);
    m_info.m_description = ControlText(IDC_LAYER_DESCRIPTION);
    m_info.m_off = IsTicked(IDC_LAYER_OFF);
    m_info.m_frozen = IsTicked(IDC_LAYER_FROZEN);
    m_info.m_locked = IsTicked(IDC_LAYER_LOCKED);
    m_info.m_plottable = !IsTicked(IDC_LAYER_NOT_PLOTTED);
    if (const auto* color = controlAs<ui::ColorComboBox>(IDC_LAYER_COLOR))
        m_info.m_colorIndex = std::uint16_t(color->currentColorIndex());
    if (const auto* linetype = controlAs<ui::LinetypeComboBox>(IDC_LAYER_LINETYPE))
        m_info.m_linetype = linetype->currentLinetype();
    if (const auto* weight = controlAs<ui::LineweightComboBox>(IDC_LAYER_LINEWEIGHT))
        m_info.m_lineweight = weight->currentLineweight();
    endDialog(ui::idOk);
}

bool RunLayerInforDlg(ui::Dialog* pParent, CLayerInfor& info) {
    CZormaResourceScope resources;
    CLayerInforDlg dlg(pParent);
    if (dlg.runModal() != ui::idOk)
        return false;
    info = dlg.m_info;
    return true;
}

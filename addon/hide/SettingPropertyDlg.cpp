#include "hide/SettingPropertyDlg.h"

#include "hide/EntityOps.h"
#include "hide/LayerInforDlg.h"
#include "resources/ZormaResources.h"
#include "resources/resource.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/entity.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/ui/lists.h"

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace ui = zhost::ui;

CSettingPropertyDlg::CSettingPropertyDlg(const CSettingProperty& property, ui::Dialog* pParent)
    : ui::Dialog(ZormaResources(), IDD_SETTING_PROPERTY, pParent), m_property(property) {
    onCommand(IDC_PROPERTY_CURRENT, ui::bn::clicked, [this] { OnCurrentSettings(); });
    onCommand(IDC_PROPERTY_PICK, ui::bn::clicked, [this] { OnPickEntity(); });
    onCommand(IDC_PROPERTY_LAYER, ui::cbn::selChange, [this] { OnLayerChanged(); });
}

bool CSettingPropertyDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    if (auto* layers = controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER)) {
        layers->addString(kNewLayerEntry);
        std::vector<std::wstring> names;
        GetLayerNames(names);
        for (const std::wstring& name : names)
            layers->addString(name);
    }
    SelectDefaultLayer();
    ShowProperty();
    return true;
}

// The first real layer: the list sorts "<新規画層>" before every name that starts with a letter
// or digit, but a layer name may sort before it.
void CSettingPropertyDlg::SelectDefaultLayer() {
    auto* layers = controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER);
    if (layers == nullptr)
        return;
    const bool newFirst = layers->count() > 0 && layers->lbText(0) == kNewLayerEntry;
    layers->setCurSel(newFirst ? 1 : 0);
}

// A linetype the box does not list selects nothing: OK then hands back no linetype and the
// pieces keep their own.
void CSettingPropertyDlg::SelectLinetypeByName(const std::wstring& name) {
    auto* linetypes = controlAs<ui::LinetypeComboBox>(IDC_PROPERTY_LINETYPE);
    if (linetypes == nullptr)
        return;
    for (int i = 0; i < linetypes->count(); ++i) {
        if (zhost::equalsNoCase(LinetypeName(linetypes->linetypeId(i)), name) ||
            zhost::equalsNoCase(linetypes->lbText(i), name)) {
            linetypes->setCurSel(i);
            return;
        }
    }
    linetypes->setCurSel(ui::lbErr);
}

void CSettingPropertyDlg::ShowProperty() {
    if (m_property.m_layer.empty())
        return;
    if (auto* layers = controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER))
        layers->setCurSel(layers->findString(-1, m_property.m_layer));
    if (auto* color = controlAs<ui::ColorComboBox>(IDC_PROPERTY_COLOR))
        color->setCurrentColorIndex(m_property.m_colorIndex);
    if (auto* weight = controlAs<ui::LineweightComboBox>(IDC_PROPERTY_LINEWEIGHT))
        weight->setCurrentLineweight(m_property.m_lineweight);
    SelectLinetypeByName(LinetypeName(m_property.m_linetype));
}

void CSettingPropertyDlg::OnCurrentSettings() {
    db::Database* d = ed::workingDatabase();
    if (d == nullptr)
        return;
    int color = db::color::byLayer, weight = db::lineweight::byLayer;
    std::wstring linetype;
    d->getInt(L"CECOLOR", color);
    d->getInt(L"CELWEIGHT", weight);
    d->getString(L"CELTYPE", linetype);
    if (auto* layers = controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER))
        layers->selectString(-1, GetLayerName(d->clayer()));
    if (auto* box = controlAs<ui::ColorComboBox>(IDC_PROPERTY_COLOR))
        box->setCurrentColorIndex(color);
    if (auto* box = controlAs<ui::LineweightComboBox>(IDC_PROPERTY_LINEWEIGHT))
        box->setCurrentLineweight(weight);
    SelectLinetypeByName(linetype);
}

void CSettingPropertyDlg::OnPickEntity() {
    show(false);
    for (;;) {
        db::ObjectId picked;
        zhost::geom::Point3d at;
        const ed::Result r = ed::entSel(L"\n要素を指示:", picked, at);
        if (r == ed::Result::cancel || r == ed::Result::rejected)
            break;
        if (r != ed::Result::normal)
            continue;
        db::ObjectPtr<db::Entity> entity(picked, db::OpenMode::forRead);
        if (!entity)
            continue;
        m_property.m_colorIndex = std::uint16_t(entity->colorIndex());
        m_property.m_layer = entity->layer();
        m_property.m_linetype = entity->linetypeId();
        m_property.m_lineweight = entity->lineWeight();
        break;
    }
    show(true);
    ShowProperty();
}

void CSettingPropertyDlg::OnLayerChanged() {
    auto* layers = controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER);
    if (layers == nullptr || !zhost::equalsNoCase(layers->windowText(), kNewLayerEntry))
        return;
    CLayerInfor info;
    if (!RunLayerInforDlg(this, info)) {
        SelectDefaultLayer();
        return;
    }
    m_layerInfor = info;
    const int at = layers->addString(info.m_name);
    // The layer exists from here on, whatever becomes of this dialog.
    CreateLayer(info);
    layers->setCurSel(at);
}

void CSettingPropertyDlg::onOk() {
    if (const auto* layers = controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER))
        m_property.m_layer = layers->curSel() < 0 ? std::wstring() : layers->windowText();
    if (const auto* color = controlAs<ui::ColorComboBox>(IDC_PROPERTY_COLOR);
        color && color->currentColorIndex() >= 0)
        m_property.m_colorIndex = std::uint16_t(color->currentColorIndex());
    if (const auto* linetype = controlAs<ui::LinetypeComboBox>(IDC_PROPERTY_LINETYPE))
        m_property.m_linetype = linetype->currentLinetype();
    if (const auto* weight = controlAs<ui::LineweightComboBox>(IDC_PROPERTY_LINEWEIGHT);
        weight && weight->hasCurrent())
        m_property.m_lineweight = weight->currentLineweight();
    endDialog(ui::idOk);
}

bool RunSettingPropertyDlg(CSettingProperty& property) {
    CZormaResourceScope resources;
    CSettingPropertyDlg dlg(property);
    if (dlg.runModal() != ui::idOk)
        return false;
    property = dlg.GetProperty();
    return true;
}

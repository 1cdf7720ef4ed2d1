#include "placement/LayerCategories.h"

#include "frame/SettingsLib.h"
#include "placement/PartRecord.h"
#include "selection/PartDescription.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/entity.h"
#include "zhost/db/linetype_file.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/settings/paths.h"

namespace db = zhost::db;

namespace {

// The linetype record of that name, loaded from the product's "default.lin" when the drawing
// lacks it; null when neither has it.
db::ObjectId FindOrLoadLinetype(db::Database& d, const std::wstring& name) {
    db::ObjectId id;
    if (name.empty() || zhost::ok(d.getLinetypeId(name, id)))
        return id;
    std::wstring folder;
    if (!GetConfigFolder(folder))
        return db::ObjectId::null();
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    const auto file = zhost::settings::resolvePath(folder + kDefaultLinFileName);
    if (!file)
        return db::ObjectId::null();
    db::loadLinetypeFile(d, name, file->string());
    return zhost::ok(d.getLinetypeId(name, id)) ? id : db::ObjectId::null();
}

bool CreateCategoryLayer(db::Database& d, const CLayerCategory& c) {
    const db::ObjectId linetype = FindOrLoadLinetype(d, c.m_lineType);
    db::ObjectId id;
    if (!zhost::ok(d.addLayer(c.m_layer, id)))
        return false;
    db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forWrite);
    if (!layer)
        return false;
    if (!linetype.isNull())
        layer->setLinetype(linetype);
    // A colour or lineweight the host does not accept leaves the layer's default.
    layer->setColorIndex(c.m_color);
    layer->setLineWeight(c.m_lineWeight);
    return true;
}

bool HasHiddenBoltMark(const db::Entity& e) {
    return e.hasXData(kCurveInfoApp);
}

bool IsOnFrozenLayer(const db::Entity& e) {
    db::ObjectPtr<db::LayerTableRecord> layer(e.layerId(), db::OpenMode::forRead);
    return layer && layer->isFrozen();
}

} // namespace

bool EnsureCategoryLayers(const CLayerSettings& settings, bool create, CategoryLayerIds& ids) {
    ids.fill(db::ObjectId::null());
    db::Database* d = zhost::ed::workingDatabase();
    for (int i = 0; i < kLayerCategoryCount; ++i) {
        const CLayerCategory& c = settings.m_categories[i];
        if (!d)
            break;
        if (!zhost::ok(d->getLayerId(c.m_layer, ids[i])) && create && CreateCategoryLayer(*d, c))
            d->getLayerId(c.m_layer, ids[i]);
    }
    for (int i = 0; i < kLayerCategoryCount; ++i) {
        if (ids[i].isNull()) {
            zhost::ed::printf(L"\n画層の生成に失敗しました[%s]", settings.m_categories[i].m_layer);
            return false;
        }
    }
    return true;
}

bool EnsureCategoryLayers(bool create, CategoryLayerIds& ids) {
    CLayerSettings settings;
    ReadLayerSettings(settings); // without the file, the defaults
    return EnsureCategoryLayers(settings, create, ids);
}

LayerCategory CategoryOfLayer(const std::wstring& layerName, bool hiddenBoltMark,
                              bool wholeDashed) {
    const std::wstring layer = zhost::toUpperName(layerName);
    if (layer == L"AM_7")
        return kLayerCenter;
    if (layer == L"AM_4" && wholeDashed)
        return kLayerThrHide;
    if (hiddenBoltMark)
        return kLayerThrHide;
    if (layer == L"AM_4")
        return kLayerThread;
    if (layer == L"AM_3")
        return kLayerHide;
    if ((layer == L"AM_0" || layer == L"0") && wholeDashed)
        return kLayerHide;
    return kLayerOutline;
}

bool MapOntoCategories(const PartDescription& desc, db::ObjectId definitionId,
                       const LineTypeState& state) {
    std::vector<db::ObjectId> entities;
    {
        db::ObjectPtr<db::BlockTableRecord> definition(definitionId, db::OpenMode::forRead);
        if (!definition)
            return false;
        entities = definition->entityIds();
    }
    CategoryLayerIds layers;
    if (!EnsureCategoryLayers(desc.m_layers, false, layers))
        return false;
    bool moved = false;
    for (db::ObjectId id : entities) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        if (!e || IsOnFrozenLayer(*e))
            continue;
        const LayerCategory c =
            CategoryOfLayer(e->layer(), HasHiddenBoltMark(*e), state.m_wholeDashed);
        if (!zhost::ok(e->setLayer(layers[c])))
            continue;
        e->setLinetype(L"ByLayer");
        e->setColorIndex(db::color::byLayer);
        moved = true;
    }
    return moved;
}

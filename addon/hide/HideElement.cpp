#include "hide/HideElement.h"

#include "hide/CoverOutline.h"
#include "hide/CurveCollect.h"
#include "hide/EntityOps.h"
#include "hide/EntityPredicates.h"
#include "hide/HiddenVariant.h"
#include "hide/OutlineRegion.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <algorithm>
#include <memory>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

// What the treatment needs of the part, read once.
struct TargetInfo {
    db::ObjectId definition;
    db::ObjectId owner;
    std::wstring definitionName;
    geom::Point3d definitionOrigin;
    bool onLockedLayer = false;
};

bool ReadTarget(db::ObjectId targetId, TargetInfo& info) {
    db::ObjectPtr<db::BlockReference> target(targetId, db::OpenMode::forRead);
    if (!target)
        return false;
    info.definition = target->blockTableRecord();
    info.owner = target->ownerId();
    db::ObjectPtr<db::LayerTableRecord> layer(target->layerId(), db::OpenMode::forRead);
    info.onLockedLayer = layer && layer->isLocked();
    db::ObjectPtr<db::BlockTableRecord> definition(info.definition, db::OpenMode::forRead);
    if (!definition)
        return false;
    info.definitionName = definition->name();
    info.definitionOrigin = definition->origin();
    return true;
}

// A new definition of that name holding copies of every entity of the base definition; null
// when it cannot be made (a half-filled definition is erased again).
db::ObjectId MakeVariant(db::Database& d, const TargetInfo& target, const std::wstring& name) {
    std::vector<db::ObjectId> entities;
    {
        db::ObjectPtr<db::BlockTableRecord> base(target.definition, db::OpenMode::forRead);
        if (!base)
            return db::ObjectId::null();
        entities = base->entityIds();
    }
    db::ObjectId variant;
    if (!zhost::ok(d.addBlock(name, variant, target.definitionOrigin)))
        return db::ObjectId::null();
    db::IdMap map;
    if (!zhost::ok(d.deepCloneObjects(entities, variant, map))) {
        EraseObject(variant);
        return db::ObjectId::null();
    }
    return variant;
}

// A copy of the part (attributes and extended data with it) beside the part, pointing at the
// variant; null when it cannot be made.
db::ObjectId MakeReplacement(db::Database& d, db::ObjectId targetId, db::ObjectId owner,
                             db::ObjectId variant) {
    db::IdMap map;
    if (!zhost::ok(d.deepCloneObjects({targetId}, owner, map)))
        return db::ObjectId::null();
    const db::ObjectId copy = map[targetId];
    db::ObjectPtr<db::BlockReference> ref(copy, db::OpenMode::forWrite);
    if (!ref || !zhost::ok(ref->setBlockTableRecord(variant))) {
        ref.close();
        EraseObject(copy);
        return db::ObjectId::null();
    }
    return copy;
}

// The outline in the coordinates of the variant's definition, as the replacement places it.
bool LocalOutline(db::ObjectId replacement, const geom::Region& world, CCoverOutline& local) {
    geom::Matrix3d toBlock;
    {
        db::ObjectPtr<db::BlockReference> ref(replacement, db::OpenMode::forRead);
        if (!ref)
            return false;
        toBlock = ref->blockTransform().inverse();
    }
    geom::Region region;
    return zhost::ok(geom::transformRegion(world, toBlock, region)) && local.Set(region);
}

// The split pieces as new entities of the same kind with the curve's properties and extended
// data (hole marks stay with their pieces).
std::vector<std::unique_ptr<db::Entity>> PieceEntities(const db::Curve& original,
                                                       const std::vector<geom::Curve>& parts) {
    std::vector<std::unique_ptr<db::Entity>> pieces;
    const auto* polyline = dynamic_cast<const db::Polyline*>(&original);
    for (const geom::Curve& part : parts) {
        std::unique_ptr<db::Curve> piece = db::makeCurveEntity(part);
        if (!piece)
            continue;
        piece->setPropertiesFrom(original);
        piece->setXData(original.xdata());
        if (auto* pl = dynamic_cast<db::Polyline*>(piece.get()); pl && polyline)
            pl->setConstantWidth(polyline->constantWidth());
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

// Cuts one curve; its pieces' ids go to `pieces`.
void CutCurve(db::ObjectId blockId, db::ObjectId curveId, const CCoverOutline& outline,
              std::vector<db::ObjectId>& pieces) {
    std::vector<std::unique_ptr<db::Entity>> parts;
    {
        db::ObjectPtr<db::Curve> curve(curveId, db::OpenMode::forRead);
        if (!curve)
            return;
        const geom::Curve shape = curve->toCurve();
        std::vector<double> params;
        if (!outline.Crossings(shape, params))
            return; // cannot be intersected: left alone, no piece
        std::sort(params.begin(), params.end());
        std::vector<geom::Curve> split;
        if (!params.empty() && !zhost::ok(geom::splitAtParams(shape, params, split)))
            return;
        // Untouched, or met only at its ends (or, closed, at one point): the whole curve is
        // one piece and stays as it is.
        if (split.size() <= 1) {
            pieces.push_back(curveId);
            return;
        }
        parts = PieceEntities(*curve, split);
    }
    {
        db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forWrite);
        if (!block)
            return;
        for (auto& part : parts) {
            db::ObjectId id;
            if (zhost::ok(block->appendEntity(std::move(part), id)))
                pieces.push_back(id);
        }
    }
    EraseObject(curveId);
}

// Makes the layer for covered pieces when the drawing lacks it: frozen for hidden lines, thawed
// for a layer the user chose.
void EnsureLayer(const std::wstring& name, bool frozen) {
    db::Database* d = zhost::ed::workingDatabase();
    db::ObjectId id;
    if (d == nullptr || zhost::ok(d->getLayerId(name, id)))
        return;
    if (!zhost::ok(d->addLayer(name, id)))
        return;
    db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forWrite);
    if (layer)
        layer->setFrozen(frozen);
}

// The invisible reference to the base definition inside the variant.
bool AppendBaseReference(db::Database& d, db::ObjectId variant, db::ObjectId base) {
    auto ref = std::make_unique<db::BlockReference>(geom::Point3d(), base);
    ref->setDatabaseDefaults(d);
    ref->setVisible(false);
    db::ObjectPtr<db::BlockTableRecord> block(variant, db::OpenMode::forWrite);
    db::ObjectId id;
    return block && zhost::ok(block->appendEntity(std::move(ref), id));
}

} // namespace

bool GetCoverOutline(db::ObjectId coverId, geom::Region& outline) {
    const db::ObjectId regionId = BuildCoverOutline(coverId);
    if (regionId.isNull())
        return false;
    {
        db::ObjectPtr<db::Region> region(regionId, db::OpenMode::forRead);
        if (region)
            outline = region->geometry();
    }
    EraseObject(regionId);
    return !outline.empty();
}

std::vector<db::ObjectId> CutCurves(db::ObjectId blockId, const std::vector<db::ObjectId>& curves,
                                    const geom::Region& outline) {
    std::vector<db::ObjectId> pieces;
    CCoverOutline prepared;
    if (!prepared.Set(outline))
        return pieces;
    for (db::ObjectId id : curves)
        CutCurve(blockId, id, prepared, pieces);
    return pieces;
}

namespace {

bool IsCovered(db::ObjectId pieceId, const CCoverOutline& outline) {
    db::ObjectPtr<db::Curve> piece(pieceId, db::OpenMode::forRead);
    if (!piece)
        return false;
    const geom::Curve shape = piece->toCurve();
    double length = 0;
    geom::Point3d mid;
    if (!zhost::ok(geom::length(shape, length)) ||
        !zhost::ok(geom::pointAtDist(shape, length / 2, mid)))
        return false;
    return outline.Covers(mid, kCoveredTol);
}

} // namespace

bool IsCoveredPiece(db::ObjectId pieceId, const geom::Region& outline) {
    CCoverOutline prepared;
    return prepared.Set(outline) && IsCovered(pieceId, prepared);
}

void ApplyProperty(db::ObjectId pieceId, const CSettingProperty& property) {
    const std::wstring layer = property.m_hide ? std::wstring(kHiddenLineLayer) : property.m_layer;
    EnsureLayer(layer, property.m_hide);
    db::ObjectPtr<db::Entity> piece(pieceId, db::OpenMode::forWrite);
    if (!piece)
        return;
    piece->setLayer(layer);
    if (property.m_hide)
        return;
    piece->setColorIndex(property.m_colorIndex);
    if (!property.m_linetype.isNull())
        piece->setLinetype(property.m_linetype);
    piece->setLineWeight(property.m_lineweight);
}

bool HideElement(db::ObjectId coverId, const geom::Region& outline, db::ObjectId targetId,
                 const CSettingProperty& property) {
    db::Database* d = zhost::ed::workingDatabase();
    if (d == nullptr || targetId == coverId || outline.empty() || !IsBlockReferenceId(coverId))
        return false;
    TargetInfo target;
    // A part on a locked layer cannot be replaced; it is left as it is.
    if (!ReadTarget(targetId, target) || target.onLockedLayer)
        return false;
    std::wstring variantName;
    if (!NextHiddenVariantName(target.definitionName, variantName))
        return false;
    const db::ObjectId variant = MakeVariant(*d, target, variantName);
    if (variant.isNull())
        return false;
    db::ObjectId replacement = MakeReplacement(*d, targetId, target.owner, variant);
    if (replacement.isNull())
        return false;

    CCoverOutline local;
    std::vector<db::ObjectId> covered;
    if (LocalOutline(replacement, outline, local)) {
        std::vector<db::ObjectId> extra;
        const std::vector<db::ObjectId> curves =
            CollectCurves(variant, extra, IsCuttableCurveId, true);
        std::vector<db::ObjectId> pieces;
        for (db::ObjectId id : curves)
            CutCurve(variant, id, local, pieces);
        for (db::ObjectId id : pieces)
            if (IsCovered(id, local))
                covered.push_back(id);
    }
    if (covered.empty()) {
        EraseObject(replacement);
        return false;
    }
    for (db::ObjectId id : covered)
        ApplyProperty(id, property);
    AppendBaseReference(*d, variant, target.definition);
    EraseObject(targetId);
    return true;
}

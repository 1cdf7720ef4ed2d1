#include "hide/EntityPredicates.h"

#include "zhost/core/wildcard.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/object_ptr.h"

namespace db = zhost::db;

namespace {

// The kinds that make an outline. Every object type is listed so that a new kind has to be
// placed on one side or the other here.
bool IsCurveKind(db::ObjectType type) {
    switch (type) {
    case db::ObjectType::line:
    case db::ObjectType::arc:
    case db::ObjectType::circle:
    case db::ObjectType::polyline:
        return true;
    case db::ObjectType::blockTable:
    case db::ObjectType::layerTable:
    case db::ObjectType::linetypeTable:
    case db::ObjectType::regAppTable:
    case db::ObjectType::textStyleTable:
    case db::ObjectType::blockTableRecord:
    case db::ObjectType::layerTableRecord:
    case db::ObjectType::linetypeTableRecord:
    case db::ObjectType::regAppTableRecord:
    case db::ObjectType::textStyleTableRecord:
    case db::ObjectType::dictionary:
    case db::ObjectType::group:
    case db::ObjectType::sortentsTable:
    case db::ObjectType::ellipse:
    case db::ObjectType::spline:
    case db::ObjectType::point:
    case db::ObjectType::text:
    case db::ObjectType::mtext:
    case db::ObjectType::hatch:
    case db::ObjectType::region:
    case db::ObjectType::blockReference:
    case db::ObjectType::attribute:
    case db::ObjectType::attributeDefinition:
    case db::ObjectType::solid:
    case db::ObjectType::trace:
    case db::ObjectType::face:
    case db::ObjectType::xline:
    case db::ObjectType::ray:
    case db::ObjectType::dimension:
    case db::ObjectType::leader:
    case db::ObjectType::rawEntity:
    case db::ObjectType::rawObject:
        return false;
    }
    return false;
}

} // namespace

bool IsBlockReference(const db::Entity& entity) {
    return dynamic_cast<const db::BlockReference*>(&entity) != nullptr;
}

bool IsBlockReferenceId(db::ObjectId id) {
    db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
    return ref.isOpen();
}

bool IsOnSuppressLayer(const db::Entity& entity) {
    return zhost::wcMatch(entity.layer(), kSuppressLayerPattern, true);
}

bool IsCuttableCurve(const db::Entity& entity) {
    return IsCurveKind(entity.type()) && !IsOnSuppressLayer(entity);
}

bool IsCuttableCurveId(db::ObjectId id) {
    db::ObjectPtr<db::Entity> entity(id, db::OpenMode::forRead);
    return entity && IsCuttableCurve(*entity);
}

bool IsVisibleId(db::ObjectId id) {
    db::ObjectPtr<db::Entity> entity(id, db::OpenMode::forRead);
    return entity && entity->visible();
}

#include "hide/EntityOps.h"

#include "zhost/db/database.h"
#include "zhost/db/entity.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"

namespace db = zhost::db;

db::ObjectId AppendToModelSpace(std::unique_ptr<db::Entity>& entity) {
    db::Database* d = zhost::ed::workingDatabase();
    if (!d || !entity)
        return db::ObjectId::null();
    db::ObjectPtr<db::BlockTableRecord> space(d->modelSpaceId(), db::OpenMode::forWrite);
    if (!space)
        return db::ObjectId::null(); // the entity stays with the caller
    db::ObjectId id;
    if (!zhost::ok(space->appendEntity(std::move(entity), id)))
        return db::ObjectId::null(); // the refused entity has been deleted by the append
    return id;
}

void EraseObject(db::ObjectId id) {
    db::ObjectPtr<db::DbObject> object(id, db::OpenMode::forWrite);
    if (object)
        object->erase();
}

void EraseObjects(std::vector<db::ObjectId>& ids) {
    for (db::ObjectId id : ids)
        EraseObject(id);
    ids.clear();
}

std::wstring LinetypeName(db::ObjectId linetypeId) {
    db::ObjectPtr<db::LinetypeTableRecord> record(linetypeId, db::OpenMode::forRead);
    return record ? record->name() : std::wstring();
}

#include "geomcalc/GeomCalcEntities.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"

#include <algorithm>

namespace db = zhost::db;
namespace ed = zhost::ed;

CEntitySnapshot::CEntitySnapshot() {
    ed::SelectionSet all;
    if (all.select(L"X") == ed::Result::normal)
        m_before = all.ids();
    std::sort(m_before.begin(), m_before.end());
}

std::vector<db::ObjectId> CEntitySnapshot::NewEntities() const {
    std::vector<db::ObjectId> out;
    ed::SelectionSet all;
    if (all.select(L"X") != ed::Result::normal)
        return out;
    for (db::ObjectId id : all.ids())
        if (!std::binary_search(m_before.begin(), m_before.end(), id))
            out.push_back(id);
    return out;
}

bool EraseEntity(db::ObjectId id) {
    if (id.isNull() || !id.isValid() || id.isErased())
        return false;
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
    return e && zhost::ok(e->erase());
}

void EraseEntities(const std::vector<db::ObjectId>& ids) {
    for (db::ObjectId id : ids)
        EraseEntity(id);
}

void SetEntitiesColor(const std::vector<db::ObjectId>& ids, int colorIndex) {
    for (db::ObjectId id : ids) {
        if (id.isNull())
            continue;
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        if (e)
            e->setColorIndex(colorIndex);
    }
}

db::ObjectId AppendToCurrentSpace(std::unique_ptr<db::Entity> entity) {
    db::Database* d = ed::workingDatabase();
    db::ObjectId id;
    if (!d || !entity || !zhost::ok(d->appendEntity(ed::currentSpaceId(), std::move(entity), id)))
        return db::ObjectId::null();
    return id;
}

void ApplyDrawingDefaults(db::Entity& entity) {
    if (db::Database* d = ed::workingDatabase())
        entity.setDatabaseDefaults(*d);
}

db::ObjectId AppendCurve(const zhost::geom::Curve& curve) {
    std::unique_ptr<db::Curve> c = db::makeCurveEntity(curve);
    if (!c)
        return db::ObjectId::null();
    ApplyDrawingDefaults(*c);
    return AppendToCurrentSpace(std::move(c));
}

bool GetCurve(db::ObjectId id, zhost::geom::Curve& out) {
    db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
    if (!c)
        return false;
    out = c->toCurve();
    return true;
}

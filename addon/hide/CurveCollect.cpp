#include "hide/CurveCollect.h"

#include "hide/EntityOps.h"
#include "hide/EntityPredicates.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"

#include <algorithm>
#include <memory>

namespace db = zhost::db;

namespace {

// The definitions being flattened, outermost first: a reference to one of them would start the
// same definition again.
using DefinitionChain = std::vector<db::ObjectId>;

bool IsInChain(const DefinitionChain& chain, db::ObjectId blockId) {
    return std::find(chain.begin(), chain.end(), blockId) != chain.end();
}

void Flatten(const db::BlockReference& reference, db::BlockTableRecord& target,
             std::vector<db::ObjectId>& ids, DefinitionChain& chain) {
    std::vector<std::unique_ptr<db::Entity>> pieces;
    if (!zhost::ok(reference.explode(pieces)))
        return;
    chain.push_back(reference.blockTableRecord());
    for (auto& piece : pieces) {
        if (!piece->visible() && IsBlockReference(*piece))
            continue; // an invisible nested reference is neither flattened nor kept
        if (auto* nested = dynamic_cast<db::BlockReference*>(piece.get())) {
            if (!IsInChain(chain, nested->blockTableRecord()))
                Flatten(*nested, target, ids, chain);
            continue;
        }
        if (!IsCuttableCurve(*piece))
            continue;
        db::ObjectId id;
        if (zhost::ok(target.appendEntity(std::move(piece), id)))
            ids.push_back(id);
    }
    chain.pop_back();
}

// A nested reference worth flattening: visible and not suppressed.
bool IsFlattenable(const db::Entity& entity) {
    return IsBlockReference(entity) && entity.visible() && !IsOnSuppressLayer(entity);
}

// Flattens the nested reference `refId` into `targetId`; the pieces' ids go to `ids`.
void FlattenInto(db::ObjectId refId, db::ObjectId targetId, std::vector<db::ObjectId>& ids,
                 DefinitionChain& chain) {
    db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forRead);
    if (!ref || IsInChain(chain, ref->blockTableRecord()))
        return;
    db::ObjectPtr<db::BlockTableRecord> target(targetId, db::OpenMode::forWrite);
    if (target)
        Flatten(*ref, *target, ids, chain);
}

} // namespace

void FlattenReference(const db::BlockReference& reference, db::BlockTableRecord& target,
                      std::vector<db::ObjectId>& ids) {
    DefinitionChain chain;
    if (target.isDatabaseResident())
        chain.push_back(target.objectId());
    Flatten(reference, target, ids, chain);
}

std::vector<db::ObjectId> CollectCurves(db::ObjectId definitionId, std::vector<db::ObjectId>& extra,
                                        const CurveFilter& filter, bool inPlace) {
    std::vector<db::ObjectId> result;
    std::vector<db::ObjectId> entityIds;
    {
        db::ObjectPtr<db::BlockTableRecord> definition(definitionId, db::OpenMode::forRead);
        if (!definition)
            return result;
        entityIds = definition->entityIds();
    }
    const db::ObjectId flattenTarget = inPlace ? definitionId : zhost::ed::currentSpaceId();
    DefinitionChain chain{definitionId};
    for (db::ObjectId id : entityIds) {
        bool flatten = false, centreLine = false;
        {
            db::ObjectPtr<db::Entity> entity(id, db::OpenMode::forRead);
            if (!entity)
                continue;
            flatten = IsFlattenable(*entity);
            centreLine = zhost::equalsNoCase(entity->layer(), kCenterLineLayer);
        }
        if (flatten) {
            FlattenInto(id, flattenTarget, inPlace ? result : extra, chain);
            if (inPlace)
                EraseObject(id);
        }
        if (!inPlace && centreLine)
            continue;
        if (filter && !filter(id))
            continue;
        result.push_back(id);
    }
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

#pragma once
// Small entity services of the geometric calculation: snapshots of the drawing to find what a
// host command made, erasing, colouring, and a scoped owner of temporary entities.
#include "zhost/db/object_id.h"
#include "zhost/geom/curve.h"

#include <memory>
#include <vector>

namespace zhost::db {
class Entity;
}

// The ids of every entity of the drawing (an all-entities selection), sorted.
class CEntitySnapshot {
public:
    CEntitySnapshot();
    // The entities that exist now and did not at construction, in drawing order.
    std::vector<zhost::db::ObjectId> NewEntities() const;

private:
    std::vector<zhost::db::ObjectId> m_before;
};

// Erases every id that names a live entity (null and erased ids are passed over).
void EraseEntities(const std::vector<zhost::db::ObjectId>& ids);
bool EraseEntity(zhost::db::ObjectId id);
void SetEntitiesColor(const std::vector<zhost::db::ObjectId>& ids, int colorIndex);

// Appends to the current space as the entity stands; null on failure.
zhost::db::ObjectId AppendToCurrentSpace(std::unique_ptr<zhost::db::Entity> entity);
// Gives the entity the drawing's current layer, colour, linetype and weight.
void ApplyDrawingDefaults(zhost::db::Entity& entity);
// A curve entity with the drawing defaults, appended; null on failure.
zhost::db::ObjectId AppendCurve(const zhost::geom::Curve& curve);

// The geometry of a curve entity; false when the id is no curve.
bool GetCurve(zhost::db::ObjectId id, zhost::geom::Curve& out);

// Entities that must not outlive a scope: erased at its end unless released.
class CTempEntities {
public:
    CTempEntities() = default;
    ~CTempEntities() { EraseAll(); }
    CTempEntities(const CTempEntities&) = delete;
    CTempEntities& operator=(const CTempEntities&) = delete;

    void Add(zhost::db::ObjectId id) {
        if (!id.isNull())
            m_ids.push_back(id);
    }
    void Add(const std::vector<zhost::db::ObjectId>& ids) {
        for (zhost::db::ObjectId id : ids)
            Add(id);
    }
    void EraseAll() {
        EraseEntities(m_ids);
        m_ids.clear();
    }
    // Hands the entities over to the caller: they are no longer erased here.
    std::vector<zhost::db::ObjectId> Release() { return std::move(m_ids); }
    const std::vector<zhost::db::ObjectId>& Ids() const { return m_ids; }

private:
    std::vector<zhost::db::ObjectId> m_ids;
};

// The spatial index of model space: entity boxes in a packed R-tree, kept per drawing and brought
// up to date from the database's change log.
#include "entity_index.h"

#include "box_tree.h"
#include "picking.h"

#include "zhost/db/annotation.h"
#include "zhost/db/db.h"

#include <algorithm>
#include <cmath>

namespace zhost::ed::detail {
namespace {

// What is known of the box of one entity of model space.
enum class Kind : std::uint8_t {
    none,    // erased, gone, or nothing known of its shape: no question finds it
    boxed,   // a finite box
    unboxed, // an infinite box, or it could not be read: offered to every question
};

struct EntityIndex {
    const db::Database* database = nullptr;
    std::uint64_t serial = 0;
    bool current = false;
    db::ObjectId modelSpace;
    // Model space as its record lists it, erased entities too (an undo brings them back where
    // they were); an entity's place here is its drawing order.
    std::vector<db::ObjectId> ids;
    std::vector<std::uint32_t> positionOfSlot; // object slot -> place + 1 (0: not in model space)
    std::vector<Box2> boxes;
    std::vector<Kind> kinds;
    // Places whose box comes through other objects (a reference's through its definition, a
    // dimension's or leader's through its style): measured again when those change.
    std::vector<std::uint32_t> dependents;
    // The tree as packed, and the places measured again since: their entries in the tree are
    // stale, and `fresh` is searched one by one until the next packing.
    BoxTree tree;
    std::vector<std::uint32_t> treePlaces;
    std::vector<std::uint8_t> remeasured;
    std::vector<std::uint32_t> fresh;
    std::vector<std::uint32_t> unboxed; // may repeat places, and list some that are no longer so
    SpatialIndexStats stats;
};

EntityIndex& index() {
    static EntityIndex kept;
    return kept;
}

bool& enabled() {
    static bool on = true;
    return on;
}

bool finiteBox(const geom::Extents3d& e) {
    return std::isfinite(e.minPoint.x) && std::isfinite(e.minPoint.y) &&
           std::isfinite(e.maxPoint.x) && std::isfinite(e.maxPoint.y);
}

bool dependsOnOthers(const db::Entity& e) {
    return dynamic_cast<const db::BlockReference*>(&e) || dynamic_cast<const db::Dimension*>(&e) ||
           dynamic_cast<const db::Leader*>(&e);
}

// The box of the entity at `place`; false when it could not be read (open for write elsewhere).
// `dependent` tells whether its box comes through other objects.
bool measure(EntityIndex& x, std::uint32_t place, bool* dependent = nullptr) {
    db::ObjectPtr<db::Entity> e(x.ids[place], db::OpenMode::forRead);
    if (dependent)
        *dependent = e && dependsOnOthers(*e);
    geom::Extents3d ext;
    Kind kind = Kind::none;
    bool readable = true;
    if (!e) {
        readable = !x.ids[place].isValid() || x.ids[place].isErased();
        if (!readable)
            kind = Kind::unboxed;
    } else if (entityExtents(*e, ext)) {
        // Without a box nothing is known of its shape: no pick, window or snap can find it. An
        // infinite box is left to the exact tests, which know what to make of it.
        kind = finiteBox(ext) ? Kind::boxed : Kind::unboxed;
    }
    x.kinds[place] = kind;
    if (kind == Kind::boxed)
        x.boxes[place] = {ext.minPoint.x, ext.minPoint.y, ext.maxPoint.x, ext.maxPoint.y};
    if (kind == Kind::unboxed)
        x.unboxed.push_back(place);
    return readable;
}

void pack(EntityIndex& x) {
    std::vector<Box2> boxes;
    x.treePlaces.clear();
    x.unboxed.clear();
    for (std::uint32_t k = 0; k < x.ids.size(); ++k) {
        if (x.kinds[k] == Kind::boxed) {
            boxes.push_back(x.boxes[k]);
            x.treePlaces.push_back(k);
        } else if (x.kinds[k] == Kind::unboxed) {
            x.unboxed.push_back(k);
        }
    }
    x.tree.build(boxes);
    x.remeasured.assign(x.ids.size(), 0);
    x.fresh.clear();
}

void addPlace(EntityIndex& x, db::ObjectId id) {
    const auto place = std::uint32_t(x.ids.size());
    x.ids.push_back(id);
    x.boxes.emplace_back();
    x.kinds.push_back(Kind::none);
    x.remeasured.push_back(0);
    if (x.positionOfSlot.size() <= id.index())
        x.positionOfSlot.resize(id.index() + 1, 0);
    x.positionOfSlot[id.index()] = place + 1;
}

void rebuild(EntityIndex& x, db::Database& d) {
    const SpatialIndexStats stats = x.stats;
    x = EntityIndex();
    x.stats = stats;
    x.database = &d;
    x.serial = d.changeSerial();
    x.modelSpace = d.modelSpaceId();
    std::vector<db::ObjectId> ids;
    {
        db::ObjectPtr<db::BlockTableRecord> model(x.modelSpace, db::OpenMode::forRead);
        if (model)
            ids = model->entityIds(true);
    }
    bool complete = true;
    for (db::ObjectId id : ids)
        addPlace(x, id);
    for (std::uint32_t k = 0; k < x.ids.size(); ++k) {
        bool dependent = false;
        complete = measure(x, k, &dependent) && complete;
        if (dependent)
            x.dependents.push_back(k);
    }
    pack(x);
    // Something open for write elsewhere was offered to every question for now; the next
    // question builds the index again.
    x.current = complete;
    ++x.stats.rebuilds;
}

// Measures a place again; its entry in the tree is stale from now on.
bool remeasure(EntityIndex& x, std::uint32_t place, bool* dependent = nullptr) {
    if (!x.remeasured[place]) {
        x.remeasured[place] = 1;
        x.fresh.push_back(place);
    }
    ++x.stats.updates;
    return measure(x, place, dependent);
}

// Brings the index from its serial to the drawing's through the change log; false when the log
// cannot say or model space's list changed other than by additions at its end.
bool update(EntityIndex& x, db::Database& d) {
    const db::ChangeSet changes = d.changesSince(x.serial);
    if (changes.all)
        return false;
    std::vector<db::ObjectId> changed;
    bool listChanged = false;
    for (const db::ObjectChange& c : changes.objects) {
        if (c.id == x.modelSpace)
            listChanged = true;
        else if (c.block == x.modelSpace && !c.entity.isNull())
            changed.push_back(c.entity);
    }
    bool complete = true;
    if (listChanged) {
        std::vector<db::ObjectId> now;
        {
            db::ObjectPtr<db::BlockTableRecord> model(x.modelSpace, db::OpenMode::forRead);
            if (!model)
                return false;
            now = model->entityIds(true);
        }
        if (now.size() < x.ids.size() || !std::equal(x.ids.begin(), x.ids.end(), now.begin()))
            return false;
        for (std::size_t k = x.ids.size(); k < now.size(); ++k) {
            addPlace(x, now[k]);
            const auto place = std::uint32_t(k);
            bool dependent = false;
            complete = remeasure(x, place, &dependent) && complete;
            if (dependent)
                x.dependents.push_back(place);
        }
    }
    for (db::ObjectId id : changed) {
        const std::uint32_t slot = id.index();
        if (slot < x.positionOfSlot.size() && x.positionOfSlot[slot] != 0)
            complete = remeasure(x, x.positionOfSlot[slot] - 1) && complete;
    }
    // A block definition, a style or a variable changed: what draws through them may have moved.
    if (changes.global())
        for (std::uint32_t place : x.dependents)
            complete = remeasure(x, place) && complete;
    // Searching the fresh places one by one costs little while they are few.
    if (x.fresh.size() > std::max<std::size_t>(64, x.ids.size() / 16))
        pack(x);
    x.serial = d.changeSerial();
    x.current = complete;
    return true;
}

EntityIndex& upToDate(db::Database& d) {
    EntityIndex& x = index();
    if (!x.current || x.database != &d)
        rebuild(x, d);
    else if (x.serial != d.changeSerial() && !update(x, d))
        rebuild(x, d);
    return x;
}

} // namespace

std::vector<db::ObjectId> modelSpaceNear(db::Database& d, const geom::Point3d& lo,
                                         const geom::Point3d& hi) {
    if (!enabled())
        return drawingEntities(d, false);
    EntityIndex& x = upToDate(d);
    // The boxes and the exact tests compute the same coordinates in different ways (an arc's box
    // from its angles, its nearest point from the cursor): a margin far below any pick's reach
    // keeps an entity exactly at the edge among the candidates.
    const double size =
        std::max({1.0, std::abs(lo.x), std::abs(lo.y), std::abs(hi.x), std::abs(hi.y)});
    const double pad = 1e-9 * size;
    const Box2 q{lo.x - pad, lo.y - pad, hi.x + pad, hi.y + pad};
    std::vector<std::uint32_t> hits;
    x.tree.query(q, hits);
    std::vector<std::uint32_t> places;
    places.reserve(hits.size() + x.fresh.size() + x.unboxed.size());
    for (std::uint32_t item : hits)
        if (!x.remeasured[x.treePlaces[item]])
            places.push_back(x.treePlaces[item]);
    for (std::uint32_t k : x.fresh)
        if (x.kinds[k] == Kind::boxed && x.boxes[k].meets(q))
            places.push_back(k);
    for (std::uint32_t k : x.unboxed)
        if (x.kinds[k] == Kind::unboxed)
            places.push_back(k);
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    std::vector<db::ObjectId> out;
    out.reserve(places.size());
    for (std::uint32_t k : places)
        out.push_back(x.ids[k]);
    return out;
}

void setSpatialIndexEnabled(bool on) {
    enabled() = on;
}

void refreshSpatialIndex(db::Database& d) {
    upToDate(d);
}

void dropSpatialIndex() {
    EntityIndex& x = index();
    const SpatialIndexStats stats = x.stats;
    x = EntityIndex();
    x.stats = stats;
}

SpatialIndexStats spatialIndexStats() {
    SpatialIndexStats s = index().stats;
    s.entities = index().ids.size();
    return s;
}

} // namespace zhost::ed::detail

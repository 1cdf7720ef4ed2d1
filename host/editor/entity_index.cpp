// The spatial index of model space: entity boxes in a packed R-tree, kept per drawing and change
// serial.
#include "entity_index.h"

#include "box_tree.h"
#include "picking.h"

#include "zhost/db/db.h"

#include <algorithm>
#include <cmath>

namespace zhost::ed::detail {
namespace {

struct EntityIndex {
    const db::Database* database = nullptr;
    std::uint64_t serial = 0;
    bool current = false;
    std::vector<db::ObjectId> ids; // model space in drawing order; positions are tree items
    BoxTree tree;
    std::vector<std::uint32_t> boxed;   // tree item -> position
    std::vector<std::uint32_t> unboxed; // positions offered to every question
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
    return !e.isEmpty() && std::isfinite(e.minPoint.x) && std::isfinite(e.minPoint.y) &&
           std::isfinite(e.maxPoint.x) && std::isfinite(e.maxPoint.y);
}

void rebuild(EntityIndex& x, db::Database& d) {
    x.ids = drawingEntities(d, false);
    x.unboxed.clear();
    std::vector<Box2> boxes;
    std::vector<std::uint32_t> boxed; // tree item -> position
    boxes.reserve(x.ids.size());
    boxed.reserve(x.ids.size());
    // An entity open for write elsewhere cannot be read now; it is offered to every question and
    // the index is built again at the next one.
    bool complete = true;
    for (std::uint32_t k = 0; k < x.ids.size(); ++k) {
        db::ObjectPtr<db::Entity> e(x.ids[k], db::OpenMode::forRead);
        geom::Extents3d ext;
        if (!e) {
            if (!x.ids[k].isErased()) {
                complete = false;
                x.unboxed.push_back(k);
            }
            continue;
        }
        // Without a box nothing is known of its shape: no pick, window or snap can find it. An
        // infinite box is left to the exact tests, which know what to make of it.
        if (!entityExtents(*e, ext))
            continue;
        if (!finiteBox(ext)) {
            x.unboxed.push_back(k);
            continue;
        }
        boxes.push_back({ext.minPoint.x, ext.minPoint.y, ext.maxPoint.x, ext.maxPoint.y});
        boxed.push_back(k);
    }
    x.tree.build(boxes);
    x.database = &d;
    x.serial = d.changeSerial();
    x.current = complete;
    x.boxed = std::move(boxed);
    ++x.stats.rebuilds;
}

EntityIndex& upToDate(db::Database& d) {
    EntityIndex& x = index();
    if (!x.current || x.database != &d || x.serial != d.changeSerial())
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
    std::vector<std::uint32_t> hits;
    x.tree.query({lo.x - pad, lo.y - pad, hi.x + pad, hi.y + pad}, hits);
    std::vector<std::uint32_t> positions;
    positions.reserve(hits.size() + x.unboxed.size());
    for (std::uint32_t item : hits)
        positions.push_back(x.boxed[item]);
    positions.insert(positions.end(), x.unboxed.begin(), x.unboxed.end());
    std::sort(positions.begin(), positions.end());
    std::vector<db::ObjectId> out;
    out.reserve(positions.size());
    for (std::uint32_t k : positions)
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

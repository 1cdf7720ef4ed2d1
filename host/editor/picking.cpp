// Picking and windows: distances and extents of what entities draw.
#include "picking.h"

#include "editor_state.h"

#include "zhost/db/annotation.h"
#include "zhost/db/db.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/extents_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>

namespace zhost::ed::detail {
namespace {

constexpr int kMaxNesting = 16;

void collect(const db::Entity& e, std::vector<geom::Curve>& curves,
             std::vector<geom::Point3d>& points, int depth);

// The curves and points of an entity other than a block reference.
void collectLeaf(const db::Entity& e, std::vector<geom::Curve>& curves,
                 std::vector<geom::Point3d>& points) {
    // A dimension is what its picture draws; a leader, its segments.
    if (dynamic_cast<const db::Dimension*>(&e) || dynamic_cast<const db::Leader*>(&e)) {
        std::vector<std::unique_ptr<db::Entity>> pieces;
        if (ok(e.explode(pieces)))
            for (const auto& piece : pieces)
                if (piece->visible())
                    collect(*piece, curves, points, 1);
        return;
    }
    if (const auto* c = dynamic_cast<const db::Curve*>(&e)) {
        curves.push_back(c->toCurve());
        return;
    }
    if (const auto* r = dynamic_cast<const db::Region*>(&e)) {
        for (const geom::Face& f : r->geometry().faces) {
            for (const geom::Curve& c : f.outer.edges)
                curves.push_back(c);
            for (const geom::Loop& h : f.holes)
                for (const geom::Curve& c : h.edges)
                    curves.push_back(c);
        }
        return;
    }
    if (const auto* h = dynamic_cast<const db::Hatch*>(&e)) {
        for (const db::HatchLoop& l : h->loops())
            for (const geom::Curve& c : l.edges)
                curves.push_back(c);
        return;
    }
    if (const auto* p = dynamic_cast<const db::Point*>(&e)) {
        points.push_back(p->position());
        return;
    }
    if (const auto* t = dynamic_cast<const db::Text*>(&e)) {
        points.push_back(t->position());
        return;
    }
    if (const auto* m = dynamic_cast<const db::MText*>(&e))
        points.push_back(m->location());
}

// The visible pieces a reference draws, placed in world coordinates (one level down).
std::vector<std::unique_ptr<db::Entity>> piecesOf(const db::BlockReference& r) {
    std::vector<std::unique_ptr<db::Entity>> pieces, visible;
    if (ok(r.explode(pieces)))
        for (auto& piece : pieces)
            if (piece->visible())
                visible.push_back(std::move(piece));
    return visible;
}

void collect(const db::Entity& e, std::vector<geom::Curve>& curves,
             std::vector<geom::Point3d>& points, int depth) {
    if (depth > kMaxNesting)
        return;
    if (const auto* r = dynamic_cast<const db::BlockReference*>(&e)) {
        for (const auto& piece : piecesOf(*r))
            collect(*piece, curves, points, depth + 1);
        return;
    }
    collectLeaf(e, curves, points);
}

geom::Extents3d leafExtents(const db::Entity& e) {
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    collectLeaf(e, curves, points);
    geom::Extents3d out;
    for (const geom::Curve& c : curves) {
        geom::Extents3d ce;
        if (ok(geom::extents(c, ce)))
            out.addExtents(ce);
    }
    for (const geom::Point3d& q : points)
        out.addPoint(q);
    return out;
}

// The box of a block definition's content in its own coordinates, kept per definition until the
// drawing changes: a pick or a window then tests a reference's box before it looks inside, and a
// drawing of many nested references is not walked whole for every question.
struct BlockBoxes {
    const db::Database* database = nullptr;
    std::uint64_t serial = 0;
    std::map<db::ObjectId, geom::Extents3d> boxes;
};

BlockBoxes& blockBoxes() {
    static BlockBoxes cache;
    return cache;
}

geom::Extents3d referenceBox(const db::BlockReference& r, int depth);

geom::Extents3d blockBox(db::ObjectId blockId, int depth) {
    BlockBoxes& cache = blockBoxes();
    const db::Database* d = blockId.database();
    if (!d)
        return {};
    if (cache.database != d || cache.serial != d->changeSerial()) {
        cache.boxes.clear();
        cache.database = d;
        cache.serial = d->changeSerial();
    }
    if (const auto it = cache.boxes.find(blockId); it != cache.boxes.end())
        return it->second;
    geom::Extents3d box;
    // A box made while something could not be opened (open for write elsewhere) is not kept.
    bool complete = true;
    if (depth <= kMaxNesting) {
        cache.boxes[blockId] = box; // a block that contains itself adds nothing through itself
        std::vector<db::ObjectId> ids;
        {
            db::ObjectPtr<db::BlockTableRecord> b(blockId, db::OpenMode::forRead);
            if (b)
                ids = b->entityIds();
            complete = bool(b);
        }
        for (db::ObjectId id : ids) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (!e)
                complete = complete && id.isErased();
            if (!e || !e->visible())
                continue;
            if (const auto* r = dynamic_cast<const db::BlockReference*>(e.get()))
                box.addExtents(referenceBox(*r, depth + 1));
            else if (const auto* def = dynamic_cast<const db::AttributeDefinition*>(e.get())) {
                // Only constant attribute definitions draw in a reference (as their text).
                if (def->isConstant() && !def->isInvisible())
                    box.addPoint(def->position());
            } else {
                box.addExtents(leafExtents(*e));
            }
        }
    }
    if (complete)
        cache.boxes[blockId] = box;
    else
        cache.boxes.erase(blockId);
    return box;
}

geom::Extents3d referenceBox(const db::BlockReference& r, int depth) {
    return geom::transformedExtents(blockBox(r.blockTableRecord(), depth), r.blockTransform());
}

// Distance in the XY plane from a point to a box; 0 inside.
double boxDistance(const geom::Extents3d& b, const geom::Point3d& p) {
    if (b.isEmpty())
        return std::numeric_limits<double>::infinity();
    const double dx = std::max({b.minPoint.x - p.x, 0.0, p.x - b.maxPoint.x});
    const double dy = std::max({b.minPoint.y - p.y, 0.0, p.y - b.maxPoint.y});
    return std::hypot(dx, dy);
}

double leafDistance(const db::Entity& e, const geom::Point3d& p) {
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    collectLeaf(e, curves, points);
    double best = std::numeric_limits<double>::infinity();
    // Picks look straight down: distances are measured in the XY plane.
    for (const geom::Curve& c : curves) {
        geom::Point3d near;
        if (ok(geom::closestPointTo(c, p, near)))
            best = std::min(best, std::hypot(near.x - p.x, near.y - p.y));
    }
    for (const geom::Point3d& q : points)
        best = std::min(best, std::hypot(q.x - p.x, q.y - p.y));
    return best;
}

// Lowers `best` to the distance of the nearest piece a reference draws, looking inside only those
// pieces whose box can still be nearer; the nearest boxes first, so the bound tightens early.
void nearestInReference(const db::BlockReference& r, const geom::Point3d& p, double& best,
                        int depth) {
    if (depth > kMaxNesting)
        return;
    const auto pieces = piecesOf(r);
    std::vector<std::pair<double, const db::Entity*>> order;
    for (const auto& piece : pieces) {
        const auto* ref = dynamic_cast<const db::BlockReference*>(piece.get());
        const double bound = ref ? boxDistance(referenceBox(*ref, 0), p) : 0;
        if (bound <= best)
            order.emplace_back(bound, piece.get());
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [bound, piece] : order) {
        if (bound > best)
            break;
        if (const auto* ref = dynamic_cast<const db::BlockReference*>(piece))
            nearestInReference(*ref, p, best, depth + 1);
        else
            best = std::min(best, leafDistance(*piece, p));
    }
}

bool pointInBox(const geom::Point3d& p, const geom::Point3d& lo, const geom::Point3d& hi) {
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y;
}

bool crosses(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi, int depth) {
    if (depth > kMaxNesting)
        return false;
    geom::Extents3d ext;
    if (!entityExtents(e, ext))
        return false;
    if (ext.maxPoint.x < lo.x || ext.minPoint.x > hi.x || ext.maxPoint.y < lo.y ||
        ext.minPoint.y > hi.y)
        return false;
    if (pointInBox(ext.minPoint, lo, hi) && pointInBox(ext.maxPoint, lo, hi))
        return true;
    if (const auto* r = dynamic_cast<const db::BlockReference*>(&e)) {
        for (const auto& piece : piecesOf(*r))
            if (crosses(*piece, lo, hi, depth + 1))
                return true;
        return false;
    }
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    collectLeaf(e, curves, points);
    for (const geom::Point3d& q : points)
        if (pointInBox(q, lo, hi))
            return true;
    // A connected curve that reaches into the window either lies inside it or crosses its edge.
    const geom::Point3d corners[4] = {
        {lo.x, lo.y, 0}, {hi.x, lo.y, 0}, {hi.x, hi.y, 0}, {lo.x, hi.y, 0}};
    for (const geom::Curve& c : curves) {
        geom::Point3d s;
        if (ok(geom::startPoint(c, s)) && pointInBox(s, lo, hi))
            return true;
        for (int k = 0; k < 4; ++k) {
            geom::LineSeg edge{corners[k], corners[(k + 1) % 4]};
            std::vector<geom::IntersectionPoint> hits;
            if (ok(geom::intersectWith(c, edge, hits, 1e-9)) && !hits.empty())
                return true;
        }
    }
    return false;
}

} // namespace

bool drawnGeometry(const db::Entity& e, std::vector<geom::Curve>& curves,
                   std::vector<geom::Point3d>& points) {
    collect(e, curves, points, 0);
    return !curves.empty() || !points.empty();
}

double distanceToEntity(const db::Entity& e, const geom::Point3d& p, double limit) {
    const auto* r = dynamic_cast<const db::BlockReference*>(&e);
    if (!r)
        return leafDistance(e, p);
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double best = std::nextafter(limit, kInf); // a piece at exactly `limit` counts
    nearestInReference(*r, p, best, 0);
    return best <= limit ? best : kInf;
}

bool entityExtents(const db::Entity& e, geom::Extents3d& out) {
    if (const auto* r = dynamic_cast<const db::BlockReference*>(&e))
        out = referenceBox(*r, 0);
    else
        out = leafExtents(e);
    return !out.isEmpty();
}

void forgetBlockBoxes() {
    blockBoxes() = BlockBoxes();
}

bool insideWindow(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi) {
    geom::Extents3d ext;
    return entityExtents(e, ext) && pointInBox(ext.minPoint, lo, hi) &&
           pointInBox(ext.maxPoint, lo, hi);
}

bool crossesWindow(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi) {
    return crosses(e, lo, hi, 0);
}

bool isSelectable(const db::Entity& e) {
    if (!e.visible())
        return false;
    auto& s = state();
    if (s.hidden.count(e.objectId()))
        return false;
    db::ObjectPtr<db::LayerTableRecord> layer(e.layerId(), db::OpenMode::forRead);
    if (layer && (layer->isFrozen() || layer->isOff()))
        return false;
    return true;
}

std::vector<db::ObjectId> drawingEntities(db::Database& d, bool includePaperSpace) {
    std::vector<db::ObjectId> out;
    auto addBlock = [&](db::ObjectId blockId) {
        db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forRead);
        if (!block)
            return;
        for (db::ObjectId id : block->entityIds())
            out.push_back(id);
    };
    addBlock(d.modelSpaceId());
    if (includePaperSpace)
        addBlock(d.paperSpaceId());
    return out;
}

} // namespace zhost::ed::detail

// Picking and windows: distances and extents of what entities draw.
#include "picking.h"

#include "editor_state.h"

#include "zhost/db/db.h"
#include "zhost/geom/curves.h"

#include <cmath>
#include <limits>
#include <memory>

namespace zhost::ed::detail {
namespace {

constexpr int kMaxNesting = 16;

void collect(const db::Entity& e, std::vector<geom::Curve>& curves,
             std::vector<geom::Point3d>& points, int depth) {
    if (depth > kMaxNesting)
        return;
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
    if (const auto* m = dynamic_cast<const db::MText*>(&e)) {
        points.push_back(m->location());
        return;
    }
    if (dynamic_cast<const db::BlockReference*>(&e)) {
        std::vector<std::unique_ptr<db::Entity>> pieces;
        if (ok(e.explode(pieces)))
            for (const auto& piece : pieces)
                if (piece->visible())
                    collect(*piece, curves, points, depth + 1);
    }
}

bool pointInBox(const geom::Point3d& p, const geom::Point3d& lo, const geom::Point3d& hi) {
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y;
}

} // namespace

bool drawnGeometry(const db::Entity& e, std::vector<geom::Curve>& curves,
                   std::vector<geom::Point3d>& points) {
    collect(e, curves, points, 0);
    return !curves.empty() || !points.empty();
}

double distanceToEntity(const db::Entity& e, const geom::Point3d& p) {
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    drawnGeometry(e, curves, points);
    double best = std::numeric_limits<double>::infinity();
    // Picks look straight down: distances are measured in the XY plane.
    const geom::Point3d flat(p.x, p.y, 0);
    for (const geom::Curve& c : curves) {
        geom::Point3d near;
        if (ok(geom::closestPointTo(c, p, near))) {
            const double d = std::hypot(near.x - flat.x, near.y - flat.y);
            best = std::min(best, d);
        }
    }
    for (const geom::Point3d& q : points)
        best = std::min(best, std::hypot(q.x - p.x, q.y - p.y));
    return best;
}

bool entityExtents(const db::Entity& e, geom::Extents3d& out) {
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    drawnGeometry(e, curves, points);
    out = geom::Extents3d();
    for (const geom::Curve& c : curves) {
        geom::Extents3d ce;
        if (ok(geom::extents(c, ce)))
            out.addExtents(ce);
    }
    for (const geom::Point3d& q : points)
        out.addPoint(q);
    return !out.isEmpty();
}

bool insideWindow(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi) {
    geom::Extents3d ext;
    return entityExtents(e, ext) && pointInBox(ext.minPoint, lo, hi) &&
           pointInBox(ext.maxPoint, lo, hi);
}

bool crossesWindow(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi) {
    geom::Extents3d ext;
    if (!entityExtents(e, ext))
        return false;
    if (ext.maxPoint.x < lo.x || ext.minPoint.x > hi.x || ext.maxPoint.y < lo.y ||
        ext.minPoint.y > hi.y)
        return false;
    if (pointInBox(ext.minPoint, lo, hi) && pointInBox(ext.maxPoint, lo, hi))
        return true;
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    drawnGeometry(e, curves, points);
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

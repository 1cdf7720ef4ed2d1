#pragma once
// The spatial index of model space: the box of every entity, kept between the screen's questions
// (the snap under the cursor at every mouse motion, a pick, a window) and brought up to date when
// the drawing changed, so that a question looks at the entities near it instead of all of them.
// It only narrows the candidates: the exact tests (picking.h) and the screen's filters (hidden,
// layer off or frozen) still decide, so its answers are those of a walk over every entity.
#include "zhost/db/object_id.h"
#include "zhost/geom/point3d.h"

#include <cstdint>
#include <vector>

namespace zhost::db {
class Database;
}

namespace zhost::ed::detail {

// The entities of model space whose box may meet the XY box [lo, hi], in drawing order: all of
// those that do, and some more (entities whose box is unknown are always offered). Paper space
// and block contents are never offered, as the walks over model space never offered them.
std::vector<db::ObjectId> modelSpaceNear(db::Database& d, const geom::Point3d& lo,
                                         const geom::Point3d& hi);

// Off: modelSpaceNear offers every entity of model space, as the walk the index replaced did.
// For tests that compare the two answers; on by default.
void setSpatialIndexEnabled(bool on);

// Brings the kept index up to date with the drawing now (a benchmark times this).
void refreshSpatialIndex(db::Database& d);
// Forgets the kept index: another drawing becomes the working one (a new drawing may live at the
// address of one that was closed, with an equal change serial).
void dropSpatialIndex();

struct SpatialIndexStats {
    std::uint64_t rebuilds = 0; // whole builds since the session started
    std::uint64_t updates = 0;  // updates of single entities
    std::size_t entities = 0;   // entities indexed now
};
SpatialIndexStats spatialIndexStats();

} // namespace zhost::ed::detail

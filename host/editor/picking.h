#pragma once
// Geometry of the screen's questions: which entity lies under a pick, which lie in a window.
#include "zhost/db/object_id.h"
#include "zhost/geom/curve.h"
#include "zhost/geom/extents3d.h"

#include <limits>
#include <vector>

namespace zhost::db {
class Entity;
class Database;
} // namespace zhost::db

namespace zhost::ed::detail {

// The curves that draw an entity (block references and regions broken down, texts and points as
// their insertion point in `points`). False when nothing is known of its shape.
bool drawnGeometry(const db::Entity& e, std::vector<geom::Curve>& curves,
                   std::vector<geom::Point3d>& points);
// The shortest distance in XY from a world point to what an entity draws; infinity when unknown
// or, for block references, when nothing lies within `limit` (the parts of a reference whose box
// is further away are not looked at).
double distanceToEntity(const db::Entity& e, const geom::Point3d& p,
                        double limit = std::numeric_limits<double>::infinity());
// A block reference's box comes from its definition's box, kept until the drawing changes.
bool entityExtents(const db::Entity& e, geom::Extents3d& out);
// Forgets the kept boxes of block definitions (another drawing becomes the working one).
void forgetBlockBoxes();
// Window (fully inside) and crossing (inside or touching) tests in world XY.
bool insideWindow(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi);
bool crossesWindow(const db::Entity& e, const geom::Point3d& lo, const geom::Point3d& hi);
// On screen and pickable: visible, not hidden by redraw, layer neither off nor frozen.
bool isSelectable(const db::Entity& e);
// The live entities of model space (and paper space when asked), in drawing order.
std::vector<db::ObjectId> drawingEntities(db::Database& d, bool includePaperSpace);

} // namespace zhost::ed::detail

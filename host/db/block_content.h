#pragma once
// The contents of a block definition as placed pieces: what a block reference and a dimension
// (whose picture is a block) explode into.
#include "zhost/db/entity.h"

#include <memory>
#include <vector>

namespace zhost::db {

// The block's entities transformed by `xf`, outside the database (constant attribute definitions
// as texts, other attribute definitions left out). Circles and arcs that cannot follow a
// non-uniform matrix become ellipses. Nothing is added to `out` when a piece fails.
Status explodeBlock(ObjectId blockId, const geom::Matrix3d& xf,
                    std::vector<std::unique_ptr<Entity>>& out);

} // namespace zhost::db

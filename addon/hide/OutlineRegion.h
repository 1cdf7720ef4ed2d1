#pragma once
// A part's outline as a region: the closed loops among its curves united, with the loops marked
// as holes ("ZORMA-PARTS-HOLE") taken out, so that the hidden-line command does not treat a
// hole as covering material.
#include "zhost/db/object_id.h"

#include <memory>
#include <vector>

namespace zhost::db {
class Region;
}

// The outline region of the curves: regions from the closed loops among them (curves that cannot
// be opened are passed over), united into the first, minus the hole region. Null when the curves
// close no loop. The region is not in the database.
std::unique_ptr<zhost::db::Region>
BuildOutlineRegion(const std::vector<zhost::db::ObjectId>& curves);

// The union of the regions of the hole-marked curves among them; null when none is marked or the
// marked ones close no loop.
std::unique_ptr<zhost::db::Region> BuildHoleRegion(const std::vector<zhost::db::ObjectId>& curves);

// The outline of a covering part, in model space: the curves of the definition its reference
// uses (nested visible references flattened for the moment, centre lines left out), built into
// an outline region, transformed by the reference's block transform and appended to model space.
// Null when the reference cannot be read, the curves close no loop, or the region cannot follow
// the transform. The caller erases the region when done with it.
zhost::db::ObjectId BuildCoverOutline(zhost::db::ObjectId coverReferenceId);

#pragma once
// The boundary integrals behind area properties: moments of a region about a reference point,
// its perimeter and its extents along two directions, gathered in one pass over the edges.
// Private to the geom module.
#include "plane2d.h"
#include "zhost/core/status.h"
#include "zhost/geom/region.h"

namespace zhost::geom::detail {

struct RegionIntegrals {
    Moments2 m;           // about the reference point; outer loops add, holes take away
    double perimeter = 0; // every loop
    // Extents of the outer loops along the two directions (values p . dir for plane points p).
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    bool free = false; // an ellipse or spline edge was met: m holds only an approximation
};

// dirs are vectors in the plane's 2D coordinates (not necessarily unit). notApplicable when an
// edge is not in the plane, noRegion when a loop has no edges.
Status integrateRegion(const Region& r, const PlaneFrame& pf, P2 ref, const P2 dirs[2],
                       RegionIntegrals& out);

} // namespace zhost::geom::detail

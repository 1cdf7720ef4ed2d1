#pragma once
// The measured record of one region entity: the host's area-property query in the coordinate
// system of the region's plane, taken with the moment reference point moved to the world
// origin, and what follows from it (centroid in world, UCS and relative coordinates, volume and
// weight of the solid of revolution).
#include "geomcalc/GeomCalcTypes.h"

#include "zhost/geom/region.h"

// The distance from a point to the unbounded line through a and b; the distance to `a` when the
// two points coincide (no axis was given).
double DistanceToAxis(const zhost::geom::Point3d& p, const zhost::geom::Point3d& a,
                      const zhost::geom::Point3d& b);

// Measures a region value with the context's reference point, axis and specific gravity.
// `valid` is false when the query fails (an empty region, for instance).
RegionProperties ComputeRegionProperties(const zhost::geom::Region& region,
                                         const CGeomCalcContext& ctx);

// The same for a region entity; invalid when it cannot be opened.
RegionProperties ComputeRegionProperties(zhost::db::ObjectId regionId, const CGeomCalcContext& ctx);

// Record 1 from the outer region and, when the holes form at least one group and can be taken
// off, record 2 from the reduced region. Appends the valid records to ctx.results.
void ComputeRecords(zhost::db::ObjectId outer, const std::vector<zhost::db::ObjectId>& holes,
                    CGeomCalcContext& ctx);

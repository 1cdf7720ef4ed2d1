#pragma once
// Turning picked boundaries into region entities with the host's own commands, and taking the
// holes off the outer region.
#include "geomcalc/GeomCalcTypes.h"

#include <vector>

// The host's boundary command at a point (UCS): the curves of the largest region it finds,
// appended to the current space. Empty when the point lies in no closed area. Everything the
// boundary command made is erased again.
BoundaryCurveSet BoundaryAtPoint(const zhost::geom::Point3d& ucsPoint);

// REGION over the set's curves (the curves are kept); several loops are united into the first
// region. Null when no region results (nothing is left behind then).
zhost::db::ObjectId BuildRegion(const BoundaryCurveSet& set);

// How taking the holes off went.
enum class HoleResult {
    noHoles,    // the hole list forms no group: there is no second record
    subtracted, // the outer region now has the holes taken off
    failed,     // a subtraction from the outer region failed (the message is printed)
};

// Splits the hole regions (null entries separate groups) into groups, subtracts within each
// group from the last pick to the first (a hole, an island in it, a hole in that, ...), then
// takes every group's hole off `outer`. Regions subtracted are consumed (erased).
HoleResult SubtractHoles(zhost::db::ObjectId outer, const std::vector<zhost::db::ObjectId>& holes);

// The hole groups of a hole region list: maximal runs of non-null ids.
std::vector<std::vector<zhost::db::ObjectId>>
HoleGroups(const std::vector<zhost::db::ObjectId>& holes);

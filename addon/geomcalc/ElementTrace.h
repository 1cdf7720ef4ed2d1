#pragma once
// The element trace: from a picked element, follow a chain of elements piece by piece (each
// piece cut at the points where other elements cross it) until the chain closes, runs out at a
// free end, or the user ends it at a junction. The pieces become a BoundaryCurveSet; a chain
// left open is closed with a straight chord between its two free ends.
#include "geomcalc/GeomCalcTypes.h"

#include "zhost/geom/curve.h"

#include <vector>

// The elements that cross a curve, with the crossing points on it.
struct TraceCandidates {
    std::vector<std::pair<zhost::db::ObjectId, std::vector<zhost::geom::Point3d>>> hits;
    std::vector<zhost::geom::Point3d> splitPoints; // every crossing point once
};

// The curves that cross `curveId` (neither extended), found in a crossing window around its
// extents widened by 0.01 along the UCS axes; `exclude` (the chain so far) and the curve itself
// are left out.
void FindTraceCandidates(zhost::db::ObjectId curveId,
                         const std::vector<zhost::db::ObjectId>& exclude, TraceCandidates& out);

// The part of `curve` that starts at s (forward) or ends at s (backward), cut at s, the split
// points and, for an open curve, its own ends. False when no part fits: the caller takes the
// whole curve.
bool TracePiece(const zhost::geom::Curve& curve, const zhost::geom::Point3d& s, bool forward,
                const std::vector<zhost::geom::Point3d>& splitPoints, zhost::geom::Curve& piece);

// The free ends of a chain: end points that no other end point of the chain meets within 0.01.
std::vector<zhost::geom::Point3d> ChainOpenEnds(const std::vector<zhost::geom::Curve>& chain);

// Runs the trace from element `e`, picked at `pickWcs`. Asks for the direction (unless the
// element is closed and touches nothing) and at junctions. Empty on Esc or an empty answer;
// markers are erased on every path, and the pieces too when the trace is abandoned.
BoundaryCurveSet TraceFromElement(zhost::db::ObjectId e, const zhost::geom::Point3d& pickWcs,
                                  CGeomCalcContext& ctx);

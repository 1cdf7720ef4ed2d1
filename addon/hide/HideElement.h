#pragma once
// Hidden-line treatment of one part: the part gets a private copy of its block definition (a
// hidden variant, see HiddenVariant.h) whose curves are cut along the covering part's outline;
// the pieces under the outline are given the record's properties, and the part is replaced by a
// reference to the copy. The copy holds an invisible reference to the base definition, which
// keeps the base in use while the variant exists.
#include "hide/SettingProperty.h"

#include "zhost/db/object_id.h"
#include "zhost/geom/region.h"

#include <vector>

namespace zhost::db {
class BlockTableRecord;
}

// The equal-point tolerance of the covered test: a piece is covered when its midpoint lies
// inside the outline or on its boundary within this distance.
inline constexpr double kCoveredTol = 1e-4;

// The covering part's outline in world coordinates (see BuildCoverOutline); false when it has
// none (open or self-crossing curves, no loop). Made once per covering part and used for every
// part under it.
bool GetCoverOutline(zhost::db::ObjectId coverId, zhost::geom::Region& outline);

// Cuts every curve of `curves` (ids in the block `blockId`, open for nothing) at its crossings
// with the outline's boundary and returns the pieces: the new curves appended to the block in
// place of a cut curve, or the curve itself when the outline does not cross it. A curve the
// outline cannot be intersected with (not in its plane) gives no piece and stays.
std::vector<zhost::db::ObjectId> CutCurves(zhost::db::ObjectId blockId,
                                           const std::vector<zhost::db::ObjectId>& curves,
                                           const zhost::geom::Region& outline);

// Whether the curve's midpoint (half its length along it) lies under the outline: inside any of
// its faces, or on a boundary, within kCoveredTol, and in its plane. False when the curve cannot
// be read.
bool IsCoveredPiece(zhost::db::ObjectId pieceId, const zhost::geom::Region& outline);

// Gives a covered piece the record's properties: the hidden-line layer (made frozen when
// missing) when the hide flag is set, else the record's layer (made when missing) with its
// colour, linetype and lineweight.
void ApplyProperty(zhost::db::ObjectId pieceId, const CSettingProperty& property);

// Treats one part under the covering part whose world outline is given. True when the part was
// replaced by a reference to its hidden variant; false leaves the part as it was (an unused
// variant may stay behind, and a later run takes the next free number).
bool HideElement(zhost::db::ObjectId coverId, const zhost::geom::Region& outline,
                 zhost::db::ObjectId targetId, const CSettingProperty& property);

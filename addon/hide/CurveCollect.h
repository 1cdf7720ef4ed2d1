#pragma once
// Collecting the outline curves of a block definition, with nested block references flattened
// into plain curves.
//
// Nested references are flattened only when they are visible and not on the suppressed layer;
// their pieces keep only arcs, circles, lines and lightweight polylines that are not suppressed.
// A definition that refers to itself, directly or through other definitions, is flattened once:
// the reference that would start the same definition again is left out, so a faulty library
// symbol cannot recurse without end.
#include "zhost/db/object_id.h"

#include <functional>
#include <vector>

namespace zhost::db {
class BlockReference;
class BlockTableRecord;
} // namespace zhost::db

using CurveFilter = std::function<bool(zhost::db::ObjectId)>;

// Explodes the reference into `target` (open for write), recursively: visible nested references
// are flattened in turn, everything that is not a cuttable curve is dropped, and the ids of the
// curves appended are added to `ids`. Pieces that cannot be appended are deleted.
void FlattenReference(const zhost::db::BlockReference& reference,
                      zhost::db::BlockTableRecord& target, std::vector<zhost::db::ObjectId>& ids);

// The curves of a definition that `filter` accepts (IsCuttableCurveId in every use), in entity
// order, followed by the ids of `extra`.
//
// In place: visible, unsuppressed nested references are flattened into the definition itself
// (their pieces become permanent entities of it and are listed) and the nested references are
// erased. Not in place: they are flattened into the current space and their temporary pieces
// are added to `extra`, which the caller erases (EraseObjects) once it has built its region; the
// definition is not changed, and its own entities on the centre-line layer "AM_7" are skipped.
//
// Empty when the definition cannot be opened.
std::vector<zhost::db::ObjectId> CollectCurves(zhost::db::ObjectId definitionId,
                                               std::vector<zhost::db::ObjectId>& extra,
                                               const CurveFilter& filter, bool inPlace);

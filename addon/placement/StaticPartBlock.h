#pragma once
// The static block of a placed part: the dragged symbol's current geometry copied into a block
// of its own, without construction geometry, parametric data or nested references.
#include "placement/LineTypeState.h"

#include "zhost/db/object_id.h"

#include <string>

// Copies the entities of `sourceId` (the block the placed symbol reference uses) into a new
// block definition `name`:
//   - entities on "*SUPPRESS" and "*ADSK_CONSTRAINTS" are dropped;
//   - visible curves on the centre-line layer "AM_7" are kept (anything else there is dropped)
//     and drawn beneath everything else;
//   - visible nested references are flattened into their curves, which inherit colour, linetype
//     and layer from the reference the way the platform draws them; a definition that contains
//     itself is followed once per path;
//   - every other entity is copied with lineweight by layer; text is realigned.
// Pieces drawn hidden on "AM_3" of a part with a dashed body carry the hidden bolt mark
// (ZORMA_CURVE_INFO "HiddenBolt"). False, and no new block, when the name cannot be used or
// nothing was copied.
bool MakeStaticPartBlock(zhost::db::ObjectId sourceId, const std::wstring& name,
                         const LineTypeState& state, zhost::db::ObjectId& newBlockId);

#pragma once
// One step of ZORMA_HIDE_RESTORE on a picked entity, for the command and for callers that hold
// the reference already.
#include "zhost/db/object_id.h"

// Replaces a reference to a hidden variant by a reference to the variant's base definition in
// model space (same normal, position, rotation and scale, the attributes and the part data
// copied), erases it and deletes the variant when nothing uses it any more. Prints what the
// command prints. True when the reference was replaced.
bool RestoreHiddenReference(zhost::db::ObjectId picked);

#pragma once
// One step of ZORMA_HIDE_RESTORE on a picked entity, for the command and for callers that hold
// the reference already.
#include "zhost/db/object_id.h"
#include "zhost/db/reference_counts.h"

#include <memory>

// Replaces a reference to a hidden variant by a reference to the variant's base definition in
// model space (same normal, position, rotation and scale, the attributes and the part data
// copied), erases it and deletes the variant when nothing uses it any more. Prints what the
// command prints. True when the reference was replaced.
bool RestoreHiddenReference(zhost::db::ObjectId picked);

// Restores one pick after another in one drawing, as one run of the command does. Whether a
// variant is still used is answered from reference counts made once, on the first restore, and
// kept up to date by each restore, rather than by reading the whole drawing for every pick:
// restoring n parts then costs one walk of the drawing, not n. Nothing else may change the
// drawing while it lives.
class CHideRestore {
public:
    bool Restore(zhost::db::ObjectId picked);

private:
    std::unique_ptr<zhost::db::ReferenceCounts> m_counts;
    const zhost::db::Database* m_database = nullptr;
};

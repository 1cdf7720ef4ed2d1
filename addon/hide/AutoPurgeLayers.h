#pragma once
// CAutoPurgeLayers: a scoped guard that removes the layers an operation created and left unused.
// Placing a part may create layers (the part's symbol drawing brings its own); at the end of the
// placement those that nothing references are taken out again, while every layer that existed
// before stays, used or not.
//
//     {
//         CAutoPurgeLayers purge;   // snapshot of the layer table
//         ...                       // insert, explode, map onto categories
//     }                             // new, unreferenced layers are erased here
#include "zhost/db/object_id.h"

#include <vector>

// The live layers of the working database, sorted by id (empty without a drawing).
std::vector<zhost::db::ObjectId> LayerSnapshot();

// Erases the live layers that are not in the snapshot and that nothing references, newest
// first; with `debug`, says so on the command line. The clean-up of CAutoPurgeLayers, also for
// an operation that takes back only what a failed step left.
void EraseNewUnusedLayers(const std::vector<zhost::db::ObjectId>& snapshot, bool debug);

class CAutoPurgeLayers {
public:
    // Records every live layer of the working database.
    CAutoPurgeLayers();
    // Erases the layers created since construction that nothing references, newest first. With
    // the "ShowDebugInfo" switch on, says so on the command line.
    virtual ~CAutoPurgeLayers();
    CAutoPurgeLayers(const CAutoPurgeLayers&) = delete;
    CAutoPurgeLayers& operator=(const CAutoPurgeLayers&) = delete;

private:
    std::vector<zhost::db::ObjectId> m_snapshot;
};

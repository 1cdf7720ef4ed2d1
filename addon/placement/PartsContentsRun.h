#pragma once
// The state of one run of the part-contents body (ZORMA_CONT places new parts, ZORMA_CONT_EDIT
// replaces a placed one) and the steps the body is made of, each in a file of its own.
#include "frame/CommandBodies.h"
#include "placement/PartIdentity.h"
#include "selection/PartDescription.h"

#include "zhost/db/object_id.h"

#include <string>
#include <vector>

struct CPartsContentsRun {
    PartsContentsMode m_mode = kPartsContentsNew;
    bool m_debug = false;         // "ShowDebugInfo"
    zhost::db::ObjectId m_partId; // the placed reference being edited; null when new
    std::wstring m_fileBaseName;  // names the description and the symbol drawings
    std::wstring m_displayName;   // the catalogue's name of the part
    PartOrigin m_origin = PartOrigin::PartsContents;
    int m_drawingNumber = -1; // the drawing variant recognised on a placed part
    PartDescription m_desc;

    bool IsEdit() const { return m_mode == kPartsContentsEdit; }
};

// --- Picking a placed part (PartPick.cpp) ------------------------------------------------------
// The pick-first set first, then "配置済みの部品コンテンツを選択:" until a part is picked, the
// user cancels or answers with Enter. True when a part was picked (run.m_partId). `lastOrigin`
// is how the last entity tried was recognised, also when it could not be used.
bool PickPlacedPart(CPartsContentsRun& run, PartOrigin& lastOrigin);

// --- Placing the part (PartPlacement.cpp) -------------------------------------------------------
// Inserts the symbol, sets its parameters, lets the user drag copies (one in edit mode) and
// turns them into references of a static block with identity data and attributes. False when
// the edited part cannot be opened or the symbol cannot be inserted.
bool PlacePart(CPartsContentsRun& run);

// --- Block definitions (BlockCleanup.cpp) -------------------------------------------------------
// The block definitions of the working database, layouts left out, in table order.
std::vector<zhost::db::ObjectId> SnapshotBlockDefinitions();
// With the debug switch: every definition as "\n%d:%s", then "\nTotal %d".
void PrintBlockDefinitions();
// Erases the definitions created since the snapshot that nothing references, pass after pass
// (erasing one can free nested ones).
void EraseNewUnreferencedBlocks(const std::vector<zhost::db::ObjectId>& snapshot, bool debug);

#pragma once
// The part attributes as the placement run uses them, on the part's description: its item
// list, the "属性編集" switch among its controls, the defaults from its choices, and the edit
// and write step after each placed part.
#include "attributes/AttributeValues.h"
#include "selection/PartDescription.h"

#include "zhost/db/object_id.h"

// The caption of the Check control that asks for the attribute dialog.
inline constexpr const wchar_t* kAtrEditCaption = L"属性編集";

// Loads the description's item list (LoadAtrList).
void LoadAtrList(PartDescription& desc);

// Whether the description holds a Check control captioned "属性編集" whose current value reads
// as a non-zero integer.
bool IsAtrEditOn(const PartDescription& desc);

// Fills the defaults of the description's items: NAME from the part name when one is given,
// MATERIAL from the first Quality control's value when there is one.
void SetAtrDefaults(PartDescription& desc, const wchar_t* partName);

// Shows the attribute dialog on the description's items when "属性編集" is on (its result is not
// examined: Cancel leaves the items as they were), then writes the items onto the placed
// reference. False only when the reference cannot be opened for writing.
bool EditAndWriteAttributes(zhost::db::ObjectId refId, PartDescription& desc);

// Reads the attribute values of a placed reference into the items. False when the id is no
// block reference.
bool ReadAttributeValues(CAtrArray& items, zhost::db::ObjectId refId);

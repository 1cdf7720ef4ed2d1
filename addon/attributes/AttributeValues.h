#pragma once
// Part attributes in the drawing: the attribute definitions a new part block receives, the
// defaults of the item values, writing the values onto a placed reference and reading them
// back from one.
#include "attributes/PartAttributes.h"

#include "zhost/db/object_id.h"

namespace zhost::db {
class BlockReference;
}

// Adds the identification definition and then one definition per item to a part block
// definition: invisible, height 1, baseline-left, stacked downwards one unit apart from the
// block's origin; the identification definition is constant with the text "EQ". A definition
// whose tag the drawing refuses (empty, or with blanks) or that cannot be appended is skipped.
// True when at least one was added.
bool AddAttributeDefinitions(zhost::db::ObjectId blockId, const CAtrArray& items);

// Defaults of the values: the item tagged NAME takes the part name when one is given, the item
// tagged MATERIAL takes the material when one is given (tags without case); others keep theirs.
void FillAttributeDefaults(CAtrArray& items, const std::wstring* partName,
                           const std::wstring* material);

// Writes every item onto a reference opened for writing: an attribute with the item's tag
// (without case) gets the value as its text; when there is none, a new invisible attribute of
// height 1 is made at the reference's insertion point, placed by the block transform. Items
// whose attribute cannot be made are skipped. Returns the number of items written.
int WriteAttributeValues(zhost::db::BlockReference& ref, const CAtrArray& items);

// Reads the values back from a reference: an attribute with a legacy tag of the built-in table
// sets the item at that row, one with an item's tag (the first such item) sets that item; both
// compared without case.
void ReadAttributeValues(CAtrArray& items, const zhost::db::BlockReference& ref);

#pragma once
// Small object operations around part geometry: appending to model space, erasing by id and
// naming a linetype. They never print; a failure leaves the object as it was.
#include "zhost/db/object_id.h"

#include <memory>
#include <string>
#include <vector>

namespace zhost::db {
class Entity;
}

// Appends the entity to "*Model_Space" of the working database and returns its new id. When
// there is no drawing or model space cannot be opened the result is null and `entity` still owns
// the object; when the append itself refuses the entity, the entity is deleted with the refusal
// (`entity` is then empty). Either way nothing of it is left in the drawing.
zhost::db::ObjectId AppendToModelSpace(std::unique_ptr<zhost::db::Entity>& entity);

// Opens the object for writing and erases it; failures are ignored.
void EraseObject(zhost::db::ObjectId id);
// Erases every id of the list in order, then empties the list.
void EraseObjects(std::vector<zhost::db::ObjectId>& ids);

// The name of a linetype table record; empty when it cannot be opened.
std::wstring LinetypeName(zhost::db::ObjectId linetypeId);

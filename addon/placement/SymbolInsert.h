#pragma once
// Inserting a part's symbol drawing ("<library>Symbols\<name>.dwg") as a block reference.
#include "zhost/db/object_id.h"
#include "zhost/geom/point3d.h"

#include <string>

// Inserts the symbol drawing at `at` through the host's "-bminsert", the block being defined
// from the file only when the drawing has none of that name. `partsContentsFolder` ends in
// "PartsContents\". The reference stays off the screen unless "ShowBmInsert" is on.
//
// A drawing that is missing, cannot be read, has nothing in it or whose parameters do not
// evaluate prints "\n[%s]\n部品シンボルが存在しません。" or
// "\n[%s]\n部品シンボルの挿入に失敗しました。" and leaves the drawing as it was: no reference, no
// half-made block definition, no new layer.
bool InsertSymbol(const std::wstring& partsContentsFolder, const std::wstring& symbolBlockName,
                  const zhost::geom::Point3d& at, zhost::db::ObjectId& referenceId);

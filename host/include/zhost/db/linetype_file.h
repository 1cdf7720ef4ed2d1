#pragma once
// Loading linetypes from a .lin file:
//   *DASHED,Dashed __ __ __
//   A,.5,-.25
// Complex elements ([...] text or shape parts) are kept as written.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"

#include <string>
#include <vector>

namespace zhost::db {

class Database;

struct LinetypeDefinition {
    std::wstring name, description;
    std::vector<double> dashes;
    std::vector<std::wstring> complexParts; // one per dash; empty for plain elements
};

// Parses .lin text; parseError (with the 1-based line in `errorLine`) for a malformed entry.
Status parseLinFile(std::wstring_view text, std::vector<LinetypeDefinition>& out,
                    int* errorLine = nullptr);
// Loads the linetype `name` (without case; "*" loads all) from the file into the database.
// keyNotFound when the file has no such linetype, duplicateKey when it exists in the database
// already, fileNotFound / fileError for the file. The file is UTF-8 (a BOM is skipped).
Status loadLinetypeFile(Database& db, std::wstring_view name, const std::string& path);

} // namespace zhost::db

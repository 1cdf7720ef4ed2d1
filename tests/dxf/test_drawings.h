#pragma once
// Drawings and comparisons shared by the DXF tests.
#include "support/status.h"

#include "zhost/db/db.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace dxftest {

// A drawing with one of everything the host keeps: every entity kind, layers and linetypes,
// a block with attribute definitions, references with attributes, extended data, a group, a
// custom draw order, a region and a parametric block.
void buildSampleDrawing(zhost::db::Database& db);

// handle → the object's dump, for every live object.
std::map<std::wstring, std::wstring> dumpsByHandle(const zhost::db::Database& db);

// Entities of a block by kind name ("LINE" → 3).
std::map<std::wstring, int> entityCounts(const zhost::db::Database& db, zhost::db::ObjectId block);

std::string readFile(const std::string& path);
std::string dataPath(const char* name);

} // namespace dxftest

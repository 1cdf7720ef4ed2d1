#pragma once
// Block definitions of the working drawing by name: listing them, finding a free name for a new
// part block, and asking a placed symbol whether it has a parameter.
#include "zhost/db/object_id.h"

#include <string>
#include <vector>

// The block definitions of the working drawing in table order, without "*Model_Space" and the
// "*Paper_Space..." layouts, whose names match `pattern` (host wildcards, without case); all of
// them when the pattern is null or empty. Returns their count, or -1 when there is no drawing or
// its block table cannot be read.
int ListBlockDefinitions(const wchar_t* pattern, std::vector<zhost::db::ObjectId>& ids,
                         std::vector<std::wstring>& names);

// The highest number tried by MakeUniqueBlockName.
inline constexpr int kMaxBlockNameNumber = 99998;

// The first name "<base>_<n>" (n = 1, 2, ... up to kMaxBlockNameNumber) that no block definition
// of the working drawing has. False when all are taken or the drawing cannot be read.
bool MakeUniqueBlockName(const std::wstring& base, std::wstring& name);

// Whether the reference's parametric block has a parameter of that name (without case).
bool HasBlockParameter(zhost::db::ObjectId referenceId, const std::wstring& name);

// Whether `names` holds `name` (without case); the spelling found goes to `found`.
bool FindParameterName(const std::vector<std::wstring>& names, const std::wstring& name,
                       std::wstring* found = nullptr);

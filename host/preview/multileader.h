#pragma once
// The picture of a multileader kept as its tags: what its context data draws, as entities
// outside the database (lines, arrowheads, the text, a block reference).
#include "zhost/db/raw.h"

#include <memory>
#include <vector>

namespace zhost::preview {

std::vector<std::unique_ptr<db::Entity>> multileaderPieces(const db::RawEntity& e);

} // namespace zhost::preview

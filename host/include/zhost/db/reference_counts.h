#pragma once
// How many live objects refer to each object of a drawing, in the sense of Database::purge:
// counted once by one walk of the drawing and then kept up to date by the caller's notes of what
// it appends and erases. For a command that asks "is this still used?" after each of many small
// changes, where a purge per question would read the whole drawing every time.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"

#include <unordered_map>
#include <vector>

namespace zhost::db {

class Database;

class ReferenceCounts {
public:
    explicit ReferenceCounts(Database& db);

    // An object just appended, complete with what it owns (a reference's attributes, a block's
    // entities): its references start to count. Note each object once.
    void added(ObjectId id);
    // An object about to be erased: its references, and those of the entities it owns, stop
    // counting. Call before the erase.
    void erasing(ObjectId id);
    // The same answer as Database::purge would give now, from the counts.
    Status purge(std::vector<ObjectId>& ids) const;

private:
    void count(ObjectId id, int step);
    void countOwned(ObjectId id, int step);

    Database* db_;
    std::unordered_map<ObjectId, int> counts_;
};

} // namespace zhost::db

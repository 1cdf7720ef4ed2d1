// The block definitions a part-contents run leaves behind: symbol drawings inserted and not
// used, private copies of parametric blocks and nested blocks they brought along. Whatever the
// run created and nothing references is erased; what existed before stays, used or not.
#include "placement/BlockNames.h"
#include "placement/PartsContentsRun.h"

#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/editor.h"

#include <algorithm>

namespace db = zhost::db;
namespace ed = zhost::ed;

std::vector<db::ObjectId> SnapshotBlockDefinitions() {
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> names;
    ListBlockDefinitions(nullptr, ids, names);
    return ids;
}

void PrintBlockDefinitions() {
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> names;
    const int count = ListBlockDefinitions(nullptr, ids, names);
    for (size_t i = 0; i < names.size(); ++i)
        ed::printf(L"\n%d:%s", static_cast<int>(i), names[i]);
    ed::printf(L"\nTotal %d", std::max(count, 0));
}

namespace {

bool IsErased(db::ObjectId id) {
    db::ObjectPtr<db::BlockTableRecord> block(id, db::OpenMode::forRead);
    return !ok(block.status());
}

std::wstring BlockName(db::ObjectId id) {
    db::ObjectPtr<db::BlockTableRecord> block(id, db::OpenMode::forRead, true);
    return ok(block.status()) ? block->name() : std::wstring();
}

} // namespace

void EraseNewUnreferencedBlocks(const std::vector<db::ObjectId>& snapshot, bool debug) {
    db::Database* database = ed::workingDatabase();
    if (database == nullptr)
        return;
    std::vector<db::ObjectId> list;
    std::vector<std::wstring> names;
    ListBlockDefinitions(nullptr, list, names);
    while (true) {
        std::vector<db::ObjectId> candidates;
        for (size_t i = 0; i < list.size(); ++i) {
            const db::ObjectId id = list[i];
            if (IsErased(id) || std::find(snapshot.begin(), snapshot.end(), id) != snapshot.end())
                continue;
            if (debug)
                ed::printf(L"\n%d:new block[%s]", static_cast<int>(i), BlockName(id));
            candidates.push_back(id);
        }
        if (candidates.empty())
            return;
        if (!ok(database->purge(candidates)) || candidates.empty())
            return;
        for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
            const std::wstring name = BlockName(*it);
            db::ObjectPtr<db::BlockTableRecord> block(*it, db::OpenMode::forWrite);
            const zhost::Status st = ok(block.status()) ? block->erase() : block.status();
            if (debug)
                ed::printf(L"\n%s was erased(%hs).", name, zhost::toString(st));
        }
    }
}

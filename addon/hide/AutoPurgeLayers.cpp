#include "hide/AutoPurgeLayers.h"

#include "frame/RegSwitches.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"

#include <algorithm>

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

std::vector<db::ObjectId> LayerIds() {
    db::Database* d = ed::workingDatabase();
    if (!d)
        return {};
    db::ObjectPtr<db::LayerTable> table(d->layerTableId(), db::OpenMode::forRead);
    return table ? table->recordIds() : std::vector<db::ObjectId>();
}

void EraseLayer(db::ObjectId id, bool debug) {
    db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forWrite);
    if (!layer)
        return;
    const zhost::Status s = layer->erase();
    if (zhost::ok(s) && debug)
        ed::printf(L"\n%s was erased(%s).", layer->name(), zhost::fromUtf8(zhost::toString(s)));
}

} // namespace

std::vector<db::ObjectId> LayerSnapshot() {
    std::vector<db::ObjectId> ids = LayerIds();
    std::sort(ids.begin(), ids.end());
    return ids;
}

void EraseNewUnusedLayers(const std::vector<db::ObjectId>& snapshot, bool debug) {
    db::Database* d = ed::workingDatabase();
    if (!d)
        return;
    std::vector<db::ObjectId> created;
    for (db::ObjectId id : LayerIds())
        if (!std::binary_search(snapshot.begin(), snapshot.end(), id))
            created.push_back(id);
    if (created.empty() || !zhost::ok(d->purge(created)) || created.empty())
        return;
    if (debug)
        ed::print(L"\n------------\n新たに増えた画層のうち、未使用のものを消す");
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        EraseLayer(*it, debug);
}

CAutoPurgeLayers::CAutoPurgeLayers() : m_snapshot(LayerSnapshot()) {}

CAutoPurgeLayers::~CAutoPurgeLayers() {
    EraseNewUnusedLayers(m_snapshot, IsShowDebugInfo());
}

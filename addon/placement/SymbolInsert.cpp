#include "placement/SymbolInsert.h"

#include "frame/AutoVar.h"
#include "frame/RegSwitches.h"
#include "hide/AutoPurgeLayers.h"
#include "hide/EntityOps.h"
#include "library/LibraryFiles.h"
#include "placement/BlockNames.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/parametric.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/display.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"

#include <algorithm>

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

db::ObjectId LastEntity() {
    ed::SelectionSet last;
    if (last.select(L"L") != ed::Result::normal)
        return db::ObjectId::null();
    return last.name(0);
}

std::vector<db::ObjectId> BlockIds() {
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> names;
    ListBlockDefinitions(nullptr, ids, names);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// What the drawing held before an insertion, so that a failed one can be taken back whole.
struct DrawingBefore {
    std::vector<db::ObjectId> blocks = BlockIds();
    std::vector<db::ObjectId> layers = LayerSnapshot();

    void TakeBack(db::ObjectId reference) const {
        if (!reference.isNull())
            EraseObject(reference);
        for (db::ObjectId id : BlockIds())
            if (!std::binary_search(blocks.begin(), blocks.end(), id))
                EraseObject(id);
        EraseNewUnusedLayers(layers, false);
    }
};

// Whether the inserted reference is a part at all: its block draws something, and its
// parameters (if any) evaluate. The definition itself is evaluated, so that the reference keeps
// using it until its parameters are set.
bool IsUsableSymbol(db::ObjectId referenceId) {
    db::ObjectId blockId;
    {
        db::ObjectPtr<db::BlockReference> ref(referenceId, db::OpenMode::forRead);
        if (!ref)
            return false;
        blockId = ref->blockTableRecord();
        db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forRead);
        if (!block || block->entityCount() == 0)
            return false;
    }
    return !db::param::isParametric(blockId) || zhost::ok(db::param::evaluate(blockId));
}

// Runs "-bminsert" with the system variables it needs held, and returns the new last entity.
db::ObjectId RunBmInsert(const std::wstring& path, const std::wstring& symbolBlockName,
                         const zhost::geom::Point3d& at) {
    const db::ObjectId before = LastEntity();
    CAutoVar echo(L"CMDECHO", 0), attReq(L"ATTREQ", 0), units(L"INSUNITS", 4),
        unitsSource(L"INSUNITSDEFSOURCE", 4);
    ed::setPickFirst(nullptr);
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> names;
    const bool known = ListBlockDefinitions(symbolBlockName.c_str(), ids, names) > 0;
    // A block the drawing has already is inserted as it is; "T" and "L" ask for the drawing's
    // component type and library definition only when the block is made from the file.
    const ed::Result r =
        known ? ed::command({L"-bminsert", path, L"NON", ed::CmdPoint{at}})
              : ed::command({L"-bminsert", path, L"T", L"L", L"NON", ed::CmdPoint{at}});
    if (r != ed::Result::normal)
        return db::ObjectId::null();
    const db::ObjectId last = LastEntity();
    return last == before ? db::ObjectId::null() : last;
}

} // namespace

bool InsertSymbol(const std::wstring& partsContentsFolder, const std::wstring& symbolBlockName,
                  const zhost::geom::Point3d& at, db::ObjectId& referenceId) {
    referenceId = db::ObjectId::null();
    const std::wstring path = partsContentsFolder + L"Symbols\\" + symbolBlockName + L".dwg";
    if (!DrawingFileExists(path)) {
        ed::printf(L"\n[%s]\n部品シンボルが存在しません。", path);
        return false;
    }
    const DrawingBefore before;
    const db::ObjectId inserted = RunBmInsert(path, symbolBlockName, at);
    if (inserted.isNull() || !IsUsableSymbol(inserted)) {
        before.TakeBack(inserted);
        ed::printf(L"\n[%s]\n部品シンボルの挿入に失敗しました。", path);
        return false;
    }
    // The symbol is only the raw material of the part; the user sees the part the jig drags.
    if (!IsShowBmInsert())
        ed::redrawEntity(inserted, ed::redraw::hide);
    referenceId = inserted;
    return true;
}

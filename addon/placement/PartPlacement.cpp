// Placing the chosen part: the symbol drawing is inserted once, its parameters set from the
// user's choices, and every copy the user drags becomes a reference of one static block of its
// own, with the part record and the attributes on it.
#include "frame/AutoVar.h"
#include "frame/RegSwitches.h"
#include "hide/EntityOps.h"
#include "placement/JigBlock.h"
#include "placement/PartGeometry.h"
#include "placement/PartsContentsRun.h"

#include "zhost/core/wildcard.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/editor.h"

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

// The nominal lengths of the chosen size: the part's rows for its variant (the first Radio
// control), restricted to the size the enabled List controls name together ("M10", "M10,8").
void LoadNominalLengths(const PartDescription& desc, CPartsYobi& nominal) {
    const CParam* radio = desc.FindKind(ControlKind::Radio);
    const int variant = radio != nullptr ? radio->GetIntValue() : -1;
    if (!nominal.Load(desc.m_fileName, variant))
        return;
    std::wstring size;
    bool first = true;
    for (const CParam& p : desc.m_params) {
        if (!p.m_enabledAtOk || !zhost::wcMatch(p.m_name, L"List#"))
            continue;
        if (!first)
            size += L",";
        size += p.m_value;
        first = false;
    }
    nominal.Restrict(size);
}

bool IsLive(db::ObjectId id) {
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
    return ok(e.status());
}

// Erases a block definition only when nothing references it: a symbol block that the drawing
// had before may be used elsewhere.
void EraseBlockIfUnused(db::ObjectId blockId) {
    db::Database* database = ed::workingDatabase();
    if (database == nullptr || blockId.isNull())
        return;
    std::vector<db::ObjectId> ids{blockId};
    if (ok(database->purge(ids)) && !ids.empty())
        EraseObject(blockId);
}

// The first copy's reference becomes a reference of a static block named `newName`, made of
// what the jig left in the template's block; the inserted symbol goes away with its private
// block. True when the static block was made.
bool MakeFirstCopyStatic(CPartsContentsRun& run, db::BlockReference& ref, db::ObjectId insertedId,
                         const std::wstring& newName, LineTypeState& state) {
    PartDescription& desc = run.m_desc;
    const db::ObjectId sourceBlock = ref.blockTableRecord();
    AddAttributeDefinitions(sourceBlock, desc.m_atrList);
    db::ObjectId staticBlock;
    bool made = MakeStaticPartBlock(sourceBlock, newName, state, staticBlock);
    if (made)
        MapOntoCategories(desc, staticBlock, state);
    if (run.m_debug)
        ed::printf(L" ブロック定義を単純化->%s", made ? L"成功" : L"失敗");
    if (!made)
        return false;
    ref.setBlockTableRecord(staticBlock);
    ed::redrawEntity(insertedId, ed::redraw::show);
    EraseObject(insertedId);
    EraseBlockIfUnused(sourceBlock);
    return true;
}

// Identity data and attribute defaults of a placed copy; the copy's rotation is returned for
// the next copy.
double WriteIdentity(CPartsContentsRun& run, db::ObjectId placedId, db::ObjectId editedId) {
    PartDescription& desc = run.m_desc;
    const bool atrEdit = IsAtrEditOn(desc);
    double rotation = 0;
    {
        db::ObjectPtr<db::BlockReference> ref(placedId, db::OpenMode::forWrite);
        if (ok(ref.status())) {
            WritePartRecord(desc, *ref);
            rotation = ref->rotation();
        }
    }
    if (!run.IsEdit()) {
        SetAtrDefaults(desc, run.m_displayName.c_str());
    } else if (atrEdit) {
        // A legacy part has no attribute values worth keeping, and a new material makes the
        // recorded one wrong; otherwise the values read back from the part stay.
        if (run.m_origin == PartOrigin::Legacy || RecordedQualityChanged(editedId, desc))
            SetAtrDefaults(desc, nullptr);
    }
    return rotation;
}

// The edited part after its replacement was placed. A block this system made for the part
// (its static block, or a hidden-line variant of it) has no other use once the part is gone,
// so it goes too when nothing else references it; a legacy part's block is the symbol
// library's and stays.
void ErasePartReplaced(const CPartsContentsRun& run, db::ObjectId editedId) {
    db::ObjectId block;
    {
        db::ObjectPtr<db::BlockReference> edited(editedId, db::OpenMode::forRead);
        if (ok(edited.status()))
            block = edited->blockTableRecord();
    }
    EraseObject(editedId);
    if (run.m_origin == PartOrigin::PartsContents || run.m_origin == PartOrigin::NumberedCopy)
        EraseBlockIfUnused(block);
}

} // namespace

bool PlacePart(CPartsContentsRun& run) {
    PartDescription& desc = run.m_desc;
    CAutoVar constraintFlags(L"2DCONSTRAINTFLAGS", 1);
    LineTypeState state;

    std::wstring layer = desc.GetOutlineLayer();
    const std::wstring blockName = desc.m_symbolBlockName;
    double rotation = ed::ucsXAngle();
    geom::Point3d base;

    const db::ObjectId editedId = run.IsEdit() ? run.m_partId : db::ObjectId();
    if (run.IsEdit()) {
        db::ObjectPtr<db::BlockReference> edited(editedId, db::OpenMode::forWrite);
        if (!ok(edited.status())) {
            ed::print(L"\n選択した部品は編集できません。");
            return false;
        }
        base = edited->position();
        layer = edited->layer();
        rotation = edited->rotation();
    }

    db::ObjectId insertedId;
    if (!InsertSymbol(desc.m_root, blockName, geom::Point3d(), insertedId))
        return false;
    {
        db::ObjectPtr<db::Entity> inserted(insertedId, db::OpenMode::forWrite);
        if (ok(inserted.status()))
            inserted->setLayer(layer);
    }

    const bool hasLength = HasBlockParameter(insertedId, L"LEN");
    CPartsYobi nominal;
    LoadNominalLengths(desc, nominal);
    SetPartParameters(desc, insertedId, state);

    if (!IsShowBmInsert()) {
        ed::redrawEntity(insertedId, ed::redraw::hide);
        if (run.IsEdit() && editedId != insertedId)
            ed::redrawEntity(editedId, ed::redraw::hide);
    }

    std::wstring newName;
    MakeUniqueBlockName(blockName, newName);

    std::vector<db::ObjectId> placed;
    for (int count = 0;; ++count) {
        std::unique_ptr<db::BlockReference> ref;
        if (count == 0) {
            RunFirstPlacementJig(insertedId, nominal, hasLength, run.IsEdit(), blockName, layer,
                                 rotation, base, ref);
        } else {
            {
                db::ObjectPtr<db::BlockReference> tmpl(placed.front(), db::OpenMode::forWrite);
                if (!ok(tmpl.status()))
                    break;
            }
            RunNextPlacementJig(placed.front(), nominal, hasLength, blockName, layer, rotation,
                                ref);
        }
        if (!ref)
            break;
        if (count == 0)
            MakeFirstCopyStatic(run, *ref, insertedId, newName, state);
        if (run.m_debug)
            ed::printf(L"\n%d回目の部品名[%s]→[%s]", count + 1, blockName, newName);

        std::unique_ptr<db::Entity> entity = std::move(ref);
        const db::ObjectId placedId = AppendToModelSpace(entity);
        if (placedId.isNull())
            break; // the entity, if still held, dies here
        placed.push_back(placedId);

        if (db::Database* database = ed::workingDatabase()) {
            db::ObjectId layerId;
            database->addLayer(layer, layerId);
            db::ObjectPtr<db::Entity> e(placedId, db::OpenMode::forWrite);
            if (ok(e.status()))
                e->setLayer(layerId);
        }

        rotation = WriteIdentity(run, placedId, editedId);
        if (!EditAndWriteAttributes(placedId, desc))
            ed::print(L"\n部品コンテンツに属性を付与できません。");
        if (run.IsEdit())
            break;
    }

    if (IsLive(insertedId))
        EraseObject(insertedId);
    if (run.IsEdit()) {
        if (placed.empty())
            ed::redrawEntity(editedId, ed::redraw::show);
        else
            ErasePartReplaced(run, editedId);
    } else if (!placed.empty()) {
        ed::printf(L"\n配置完了[%s]", blockName);
    }
    return true;
}

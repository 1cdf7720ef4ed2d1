// ZORMA_HIDE_RESTORE: undoes one level of hidden-line treatment per pick. The picked part's
// hidden variant gives way to a reference to the base definition (found by the variant's name)
// at the same place, with the part's attributes and part data; the variant is deleted when
// nothing uses it any more.
#include "frame/CommandBodies.h"

#include "frame/AutoVar.h"
#include "hide/HiddenVariant.h"
#include "hide/HideRestore.h"
#include "placement/PartRecord.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/reference_counts.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"

#include <memory>

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

enum class Pick { entity, missed, end };

// One pick with object and grid snap off; an empty answer (ERRNO 52) ends the command.
Pick PickHidden(db::ObjectId& picked) {
    CAutoVar osmode(L"OSMODE", 0);
    CAutoVar snapmode(L"SNAPMODE", 0);
    zhost::geom::Point3d at;
    switch (ed::entSel(L"\n陰線処理された製図要素を選択してください:", picked, at)) {
    case ed::Result::normal:
        return Pick::entity;
    case ed::Result::error: {
        int errno52 = 0;
        if (zhost::ok(ed::getVarInt(L"ERRNO", errno52)) && errno52 == 52)
            return Pick::end;
        return Pick::missed;
    }
    case ed::Result::none:
    case ed::Result::cancel:
    case ed::Result::rejected:
    case ed::Result::keyword:
        break;
    }
    return Pick::end;
}

// Copies one attribute onto another: text, placement, justification, properties and extended
// data. The alignment point counts for every justification but left/aligned/fit on the
// baseline; otherwise the position does.
void CopyAttribute(const db::Attribute& from, db::Attribute& to) {
    to.setTag(from.tag());
    to.setTextString(from.textString());
    to.setPosition(from.position());
    to.setAlignmentPoint(from.alignmentPoint());
    to.setPropertiesFrom(from);
    to.setXData(from.xdata());
    to.setVerticalMode(from.verticalMode());
    to.setHorizontalMode(from.horizontalMode());
    const db::TextHorzMode h = from.horizontalMode();
    if (from.verticalMode() != db::TextVertMode::baseline ||
        (h != db::TextHorzMode::left && h != db::TextHorzMode::aligned &&
         h != db::TextHorzMode::fit))
        to.setAlignmentPoint(from.alignmentPoint());
    else
        to.setPosition(from.position());
    to.setHeight(from.height());
    to.setWidthFactor(from.widthFactor());
    to.setRotation(from.rotation());
    to.setFlags(from.flags());
    to.setTextStyle(from.textStyleId());
    to.setOblique(from.oblique());
    to.setNormal(from.normal());
    to.adjustAlignment();
}

// The attribute of `ref` with that tag (without case); null when none.
db::ObjectId FindAttribute(const db::BlockReference& ref, const std::wstring& tag) {
    for (db::ObjectId id : ref.attributeIds()) {
        db::ObjectPtr<db::Attribute> a(id, db::OpenMode::forRead);
        if (a && zhost::equalsNoCase(a->tag(), tag))
            return id;
    }
    return db::ObjectId::null();
}

void CopyAttributes(const db::BlockReference& source, db::ObjectId targetId) {
    for (db::ObjectId sourceId : source.attributeIds()) {
        db::ObjectPtr<db::Attribute> from(sourceId, db::OpenMode::forRead);
        if (!from)
            continue;
        db::ObjectPtr<db::BlockReference> target(targetId, db::OpenMode::forWrite);
        if (!target)
            return;
        const db::ObjectId existing = FindAttribute(*target, from->tag());
        if (!existing.isNull()) {
            target.close();
            db::ObjectPtr<db::Attribute> to(existing, db::OpenMode::forWrite);
            if (to)
                CopyAttribute(*from, *to);
            continue;
        }
        auto made = std::make_unique<db::Attribute>();
        if (db::Database* d = ed::workingDatabase())
            made->setDatabaseDefaults(*d);
        CopyAttribute(*from, *made);
        db::ObjectId id;
        target->appendAttribute(std::move(made), id); // a refused attribute goes with the refusal
    }
}

// The part record, or else the earlier symbol library's two records.
db::XData PartData(const db::BlockReference& ref) {
    db::XData data = ref.xdata(kPartRecordApp);
    if (!data.empty())
        return data;
    data = ref.xdata(kLegacySymbolApp);
    const db::XData part = ref.xdata(kLegacyPartApp);
    data.insert(data.end(), part.begin(), part.end());
    return data;
}

// The replacement in model space; null when it cannot be appended.
db::ObjectId Replace(db::Database& d, db::ObjectId hiddenId, db::ObjectId baseId) {
    db::ObjectPtr<db::BlockReference> hidden(hiddenId, db::OpenMode::forRead);
    if (!hidden)
        return db::ObjectId::null();
    auto ref = std::make_unique<db::BlockReference>(hidden->position(), baseId);
    ref->setDatabaseDefaults(d);
    ref->setNormal(hidden->normal());
    ref->setPosition(hidden->position());
    ref->setRotation(hidden->rotation());
    // A part drawn at a scale comes back at that scale.
    ref->setScaleFactors(hidden->scaleFactors());
    db::ObjectId id;
    if (!zhost::ok(d.appendEntity(d.modelSpaceId(), std::move(ref), id)))
        return db::ObjectId::null();
    CopyAttributes(*hidden, id);
    const db::XData data = PartData(*hidden);
    if (!data.empty()) {
        db::ObjectPtr<db::BlockReference> made(id, db::OpenMode::forWrite);
        if (made)
            made->setXData(data);
    }
    return id;
}

void DeleteVariantIfUnused(db::ReferenceCounts& counts, db::ObjectId variantId,
                           const std::wstring& name) {
    std::vector<db::ObjectId> candidates{variantId};
    if (zhost::ok(counts.purge(candidates)) && !candidates.empty()) {
        db::ObjectPtr<db::BlockTableRecord> variant(variantId, db::OpenMode::forWrite);
        if (variant) {
            counts.erasing(variantId);
            if (zhost::ok(variant->erase())) {
                ed::printf(L"\nブロック \"%s\" 削除されました。", name);
                return;
            }
            counts.added(variantId);
        }
    }
    ed::printf(L"\nブロック\"%s\"は参照されているため削除できません。", name);
}

} // namespace

bool RestoreHiddenReference(db::ObjectId picked) {
    return CHideRestore().Restore(picked);
}

bool CHideRestore::Restore(db::ObjectId picked) {
    db::Database* d = ed::workingDatabase();
    if (d == nullptr)
        return false;
    if (d != m_database) {
        m_counts.reset();
        m_database = d;
    }
    std::wstring variantName;
    db::ObjectId variantId;
    {
        db::ObjectPtr<db::BlockReference> ref(picked, db::OpenMode::forRead);
        if (!ref) {
            ed::print(L"\n要素が検出されませんでした。");
            return false;
        }
        variantId = ref->blockTableRecord();
        variantName = ref->blockName();
    }
    std::wstring base;
    if (!IsHiddenVariantName(variantName, base))
        return false;
    db::ObjectId baseId;
    if (!zhost::ok(d->getBlockId(base, baseId))) {
        ed::printf(L"\nブロック定義 \"%s\"が存在しない為、陰線復元できませんでした。", base);
        return false;
    }
    const db::ObjectId replacement = Replace(*d, picked, baseId);
    if (replacement.isNull())
        return false;
    if (m_counts)
        m_counts->added(replacement);
    {
        db::ObjectPtr<db::BlockReference> hidden(picked, db::OpenMode::forWrite);
        if (hidden) {
            if (m_counts)
                m_counts->erasing(picked);
            if (!zhost::ok(hidden->erase()) && m_counts)
                m_counts->added(picked);
        }
    }
    // Counted here the first time, after this restore's changes; kept up to date after that.
    if (!m_counts)
        m_counts = std::make_unique<db::ReferenceCounts>(*d);
    DeleteVariantIfUnused(*m_counts, variantId, variantName);
    return true;
}

void ZormaHideRestoreMain() {
    CHideRestore restore;
    for (;;) {
        db::ObjectId picked;
        const Pick pick = PickHidden(picked);
        if (pick == Pick::end)
            return;
        if (pick == Pick::missed) {
            ed::print(L"\n要素が検出されませんでした。");
            continue;
        }
        restore.Restore(picked);
    }
}

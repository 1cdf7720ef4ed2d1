#include "attributes/AttributeValues.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"

#include <memory>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

// Part attributes are data for parts lists, not annotation: invisible and small.
constexpr double kAtrHeight = 1.0;

// A definition ready to append, or null when the drawing would refuse its tag.
std::unique_ptr<db::AttributeDefinition> MakeDefinition(db::Database& database,
                                                        const std::wstring& tag,
                                                        const std::wstring& prompt,
                                                        const geom::Point3d& at) {
    auto def = std::make_unique<db::AttributeDefinition>();
    def->setDatabaseDefaults(database);
    def->setVerticalMode(db::TextVertMode::baseline);
    def->setHorizontalMode(db::TextHorzMode::left);
    if (!zhost::ok(def->setTag(tag)))
        return nullptr;
    def->setPrompt(prompt);
    db::AttributeFlags flags;
    flags.invisible = true;
    if (zhost::equalsNoCase(tag, kIdentTag)) {
        def->setDefaultText(kIdentValue);
        flags.constant = true;
    }
    def->setFlags(flags);
    def->setPosition(at);
    def->setHeight(kAtrHeight);
    def->adjustAlignment();
    return def;
}

// The reference's attribute with this tag (without case), or null.
db::ObjectId FindAttribute(const db::BlockReference& ref, const std::wstring& tag) {
    for (db::ObjectId id : ref.attributeIds()) {
        db::ObjectPtr<db::Attribute> attr(id, db::OpenMode::forRead);
        if (attr && zhost::equalsNoCase(attr->tag(), tag))
            return id;
    }
    return {};
}

bool SetAttributeText(db::ObjectId id, const std::wstring& text) {
    db::ObjectPtr<db::Attribute> attr(id, db::OpenMode::forWrite);
    if (!attr || !zhost::ok(attr->setTextString(text)))
        return false;
    attr->adjustAlignment();
    return true;
}

bool AppendNewAttribute(db::BlockReference& ref, const CAtr& item) {
    db::Database* database = ref.database();
    if (database == nullptr)
        return false;
    auto attr = std::make_unique<db::Attribute>();
    attr->setDatabaseDefaults(*database);
    attr->transformBy(ref.blockTransform());
    attr->setVerticalMode(db::TextVertMode::baseline);
    attr->setHorizontalMode(db::TextHorzMode::left);
    if (!zhost::ok(attr->setTag(item.m_tag)) || !zhost::ok(attr->setTextString(item.m_value)))
        return false;
    db::AttributeFlags flags;
    flags.invisible = true;
    attr->setFlags(flags);
    attr->setPosition(ref.position());
    attr->setHeight(kAtrHeight);
    attr->adjustAlignment();
    db::ObjectId id;
    return zhost::ok(ref.appendAttribute(std::move(attr), id));
}

} // namespace

bool AddAttributeDefinitions(db::ObjectId blockId, const CAtrArray& items) {
    db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forWrite);
    if (!block || block->database() == nullptr)
        return false;
    db::Database& database = *block->database();
    geom::Point3d at(0, 0, 0);
    bool added = false;
    auto add = [&](const std::wstring& tag, const std::wstring& prompt) {
        auto def = MakeDefinition(database, tag, prompt, at);
        if (!def)
            return;
        db::ObjectId id;
        if (!zhost::ok(block->appendEntity(std::move(def), id)))
            return;
        at = geom::Point3d(at.x, at.y - kAtrHeight, at.z);
        added = true;
    };
    add(kIdentTag, kIdentPrompt);
    for (const CAtr& item : items)
        add(item.m_tag, item.m_prompt);
    return added;
}

void FillAttributeDefaults(CAtrArray& items, const std::wstring* partName,
                           const std::wstring* material) {
    for (CAtr& item : items) {
        if (partName != nullptr && zhost::equalsNoCase(item.m_tag, L"NAME"))
            item.m_value = *partName;
        else if (material != nullptr && zhost::equalsNoCase(item.m_tag, L"MATERIAL"))
            item.m_value = *material;
    }
}

int WriteAttributeValues(db::BlockReference& ref, const CAtrArray& items) {
    int written = 0;
    for (const CAtr& item : items) {
        const db::ObjectId existing = FindAttribute(ref, item.m_tag);
        const bool ok = existing.isNull() ? AppendNewAttribute(ref, item)
                                          : SetAttributeText(existing, item.m_value);
        if (ok)
            ++written;
    }
    return written;
}

void ReadAttributeValues(CAtrArray& items, const db::BlockReference& ref) {
    for (db::ObjectId id : ref.attributeIds()) {
        db::ObjectPtr<db::Attribute> attr(id, db::OpenMode::forRead);
        if (!attr)
            continue;
        const int row = FindLegacyAtrRow(attr->tag());
        if (row >= 0 && static_cast<size_t>(row) < items.size())
            items[static_cast<size_t>(row)].m_value = attr->textString();
        for (CAtr& item : items) {
            if (zhost::equalsNoCase(item.m_tag, attr->tag())) {
                item.m_value = attr->textString();
                break;
            }
        }
    }
}

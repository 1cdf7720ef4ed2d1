#pragma once
// Records the host does not model, kept as their DXF tags so that opening and saving a drawing
// never drops them: an entity kind without a class of its own (RawEntity, drawn in its block like
// any entity) and an object of the OBJECTS section (RawObject, held by a dictionary).
//
// Values are kept as the file gave them (numbers as their text, strings decoded to UTF-8), and
// pointers to other records as object ids, so that they follow handle changes and clones.
#include "zhost/db/entity.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::db {

class RawTags {
public:
    // A tag whose value is kept as given (UTF-8 for strings).
    void add(int code, std::string_view value);
    // A pointer to another record: `fileText` is the handle as the file wrote it, written back
    // when the pointer does not resolve.
    void addReference(int code, std::string_view fileText);

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    int code(std::size_t i) const { return items_[i].code; }
    std::string_view value(std::size_t i) const {
        return std::string_view(text_).substr(items_[i].offset, items_[i].size);
    }
    bool isReference(std::size_t i) const { return items_[i].ref != kNoRef; }
    // The object a pointer tag names; null when it is no pointer or did not resolve.
    ObjectId reference(std::size_t i) const;
    void setReference(std::size_t i, ObjectId id);

    void collectReferences(std::vector<ObjectId>& out) const;
    void remapReferences(const IdMapFn& map);
    // "code value" lines, pointers as the handle they resolve to.
    std::wstring describe() const;

private:
    static constexpr std::uint32_t kNoRef = 0xffffffffu;
    struct Item {
        std::int32_t code;
        std::uint32_t offset, size;
        std::uint32_t ref; // index into refs_, or kNoRef
    };
    std::string text_;
    std::vector<Item> items_;
    std::vector<ObjectId> refs_;
};

// The kept parts of a record: `prefix` are the tags between its handle and its owner (the
// persistent reactor and extension-dictionary groups), `body` the rest up to the extended data.
struct RawRecord {
    std::wstring kind; // "3DSOLID", "XRECORD", ...
    RawTags prefix;
    RawTags body;
};

class RawEntity : public Entity {
    ZHOST_DB_OBJECT_COPY(RawEntity)
    RawEntity() = default;
    explicit RawEntity(RawRecord record) : record_(std::move(record)) {}

    ObjectType type() const override { return ObjectType::rawEntity; }
    const wchar_t* dxfName() const override { return record_.kind.c_str(); }

    // The body holds the entity's own tags after the common properties (layer, colour, linetype,
    // lineweight, scale, visibility are the entity's own fields) and any records that follow it
    // (VERTEX ... SEQEND), each starting with its code-0 tag, without its handle and owner.
    const RawRecord& record() const { return record_; }
    Status setRecord(RawRecord record);
    // The record to change in place; null when the object may not be written.
    RawRecord* recordForWrite();

    // The host does not know the geometry: notApplicable.
    Status transformBy(const geom::Matrix3d& m) override;

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    RawRecord record_;
};

class RawObject : public DbObject {
    ZHOST_DB_OBJECT_COPY(RawObject)
    RawObject() = default;
    explicit RawObject(RawRecord record) : record_(std::move(record)) {}

    ObjectType type() const override { return ObjectType::rawObject; }
    const wchar_t* dxfName() const override { return record_.kind.c_str(); }

    const RawRecord& record() const { return record_; }
    Status setRecord(RawRecord record);
    // The record to change in place; null when the object may not be written.
    RawRecord* recordForWrite();

    // The record the file named as owner when that is not the dictionary holding this object
    // (an entity's extension dictionary, an object owned by another kept object). Null when the
    // holding dictionary is the owner; `fileOwner` is the handle text when it did not resolve.
    ObjectId fileOwner() const { return fileOwner_; }
    const std::string& fileOwnerText() const { return fileOwnerText_; }
    Status setFileOwner(ObjectId id, std::string text);

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    RawRecord record_;
    ObjectId fileOwner_;
    std::string fileOwnerText_;
};

} // namespace zhost::db

#include "zhost/db/raw.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/dump.h"

namespace zhost::db {

// --- RawTags -----------------------------------------------------------------------------------

void RawTags::add(int code, std::string_view value) {
    items_.push_back({code, std::uint32_t(text_.size()), std::uint32_t(value.size()), kNoRef});
    text_ += value;
}

void RawTags::addReference(int code, std::string_view fileText) {
    add(code, fileText);
    items_.back().ref = std::uint32_t(refs_.size());
    refs_.emplace_back();
}

ObjectId RawTags::reference(std::size_t i) const {
    const std::uint32_t r = items_[i].ref;
    return r == kNoRef ? ObjectId() : refs_[r];
}

void RawTags::setReference(std::size_t i, ObjectId id) {
    const std::uint32_t r = items_[i].ref;
    if (r != kNoRef)
        refs_[r] = id;
}

void RawTags::collectReferences(std::vector<ObjectId>& out) const {
    for (ObjectId id : refs_)
        if (!id.isNull())
            out.push_back(id);
}

void RawTags::remapReferences(const IdMapFn& map) {
    for (ObjectId& id : refs_)
        if (!id.isNull())
            id = map(id);
}

std::wstring RawTags::describe() const {
    std::wstring out;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        out += std::to_wstring(items_[i].code);
        out += L' ';
        const ObjectId ref = reference(i);
        out += ref.isNull() ? fromUtf8(value(i)) : ref.handle().toHex();
        out += L'\n';
    }
    return out;
}

namespace {

void dumpRecord(DumpWriter& out, const RawRecord& r) {
    out.field(L"kind", r.kind);
    out.field(L"prefix", r.prefix.describe());
    out.field(L"body", r.body.describe());
}

} // namespace

// --- RawEntity ---------------------------------------------------------------------------------

Status RawEntity::setRecord(RawRecord record) {
    return writeField(record_, std::move(record));
}

RawRecord* RawEntity::recordForWrite() {
    return ok(assertWriteEnabled()) ? &record_ : nullptr;
}

Status RawEntity::transformBy(const geom::Matrix3d&) {
    return Status::notApplicable;
}

void RawEntity::collectReferences(std::vector<ObjectId>& out) const {
    Entity::collectReferences(out);
    record_.prefix.collectReferences(out);
    record_.body.collectReferences(out);
    // A dimension or a table names the block of its picture (group 2): the block is in use, so
    // that purge keeps it and a copy of the drawing brings it along.
    const std::wstring_view kind = record_.kind;
    const bool picture = kind == L"DIMENSION" || kind == L"ARC_DIMENSION" ||
                         kind == L"LARGE_RADIAL_DIMENSION" || kind == L"ACAD_TABLE";
    const Database* db = database();
    for (std::size_t i = 0; picture && db && i < record_.body.size(); ++i)
        if (record_.body.code(i) == 2) {
            ObjectId block;
            if (ok(db->getBlockId(fromUtf8(record_.body.value(i)), block)))
                out.push_back(block);
            break;
        }
}

void RawEntity::remapReferences(const IdMapFn& map) {
    Entity::remapReferences(map);
    record_.prefix.remapReferences(map);
    record_.body.remapReferences(map);
}

void RawEntity::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    dumpRecord(out, record_);
}

// --- RawObject ---------------------------------------------------------------------------------

Status RawObject::setRecord(RawRecord record) {
    return writeField(record_, std::move(record));
}

RawRecord* RawObject::recordForWrite() {
    return ok(assertWriteEnabled()) ? &record_ : nullptr;
}

Status RawObject::setFileOwner(ObjectId id, std::string text) {
    Status s = assertWriteEnabled();
    if (ok(s)) {
        fileOwner_ = id;
        fileOwnerText_ = std::move(text);
    }
    return s;
}

void RawObject::collectReferences(std::vector<ObjectId>& out) const {
    DbObject::collectReferences(out);
    record_.prefix.collectReferences(out);
    record_.body.collectReferences(out);
}

void RawObject::remapReferences(const IdMapFn& map) {
    DbObject::remapReferences(map);
    record_.prefix.remapReferences(map);
    record_.body.remapReferences(map);
    if (!fileOwner_.isNull())
        fileOwner_ = map(fileOwner_);
}

void RawObject::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    dumpRecord(out, record_);
    out.field(L"file owner",
              fileOwner_.isNull() ? fromUtf8(fileOwnerText_) : fileOwner_.handle().toHex());
}

} // namespace zhost::db

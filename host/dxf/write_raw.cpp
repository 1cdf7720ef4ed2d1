// Kept records: entities and objects of kinds the host does not model, written back with the
// tags they were read with. Pointers are written as the current handle of the object they name,
// so they stay right when handles change; a pointer that never resolved is written as read.
#include "tokenizer.h"
#include "writer.h"

#include "zhost/core/utf.h"

#include <algorithm>

namespace zhost::dxf {

namespace {

std::uint64_t h(db::ObjectId id) {
    return id.handle().value();
}

bool isGroup(db::ObjectId id) {
    db::ObjectPtr<db::Group> g(id, db::OpenMode::forRead);
    return bool(g);
}

} // namespace

void Writer::writeRawTag(const db::RawTags& tags, std::size_t i) {
    const int code = tags.code(i);
    const std::string_view value = tags.value(i);
    if (tags.isReference(i)) {
        const db::ObjectId ref = tags.reference(i);
        if (ref.isNull())
            w_.str(code, value);
        else if (ref.isErased())
            w_.str(code, "0"); // the object it named is gone
        else
            w_.handle(code, h(ref));
        return;
    }
    if (tagKindOf(code) == TagKind::string)
        w_.text(code, fromUtf8(value));
    else
        w_.str(code, value);
}

// A code-0 tag inside a kept entity starts a record that belongs to it (VERTEX, SEQEND): it gets
// a handle of its own and the entity as owner.
void Writer::writeRawTags(const db::RawTags& tags, std::uint64_t owner) {
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags.code(i) == 0) {
            w_.str(0, tags.value(i));
            w_.handle(5, newHandle());
            w_.handle(330, owner);
            continue;
        }
        writeRawTag(tags, i);
    }
}

// The reactor and extension-dictionary groups. Membership of groups is the database's: the
// reactors naming groups are replaced by the groups the entity is in now.
void Writer::writeRawPrefix(const db::RawTags& prefix, const std::vector<std::uint64_t>* groups) {
    bool reactorsWritten = false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (prefix.code(i) == 102 && prefix.value(i) == "{ACAD_REACTORS") {
            w_.str(102, "{ACAD_REACTORS");
            for (++i; i < prefix.size() && prefix.code(i) != 102; ++i)
                if (!isGroup(prefix.reference(i)))
                    writeRawTag(prefix, i);
            if (groups)
                for (std::uint64_t g : *groups)
                    w_.handle(330, g);
            w_.str(102, "}");
            reactorsWritten = true;
            continue;
        }
        writeRawTag(prefix, i);
    }
    if (!reactorsWritten && groups) {
        w_.str(102, "{ACAD_REACTORS");
        for (std::uint64_t g : *groups)
            w_.handle(330, g);
        w_.str(102, "}");
    }
}

void Writer::writeRawObject(const db::RawObject& o, std::uint64_t owner,
                            std::string_view recordClass) {
    const db::RawRecord& r = o.record();
    w_.text(0, r.kind);
    w_.handle(r.kind == L"DIMSTYLE" ? 105 : 5, h(o.objectId()));
    writeRawPrefix(r.prefix, nullptr);
    if (!o.fileOwner().isNull())
        w_.handle(330, o.fileOwner().isErased() ? 0 : h(o.fileOwner()));
    else if (!o.fileOwnerText().empty())
        w_.str(330, o.fileOwnerText());
    else
        w_.handle(330, owner);
    if (recordClass.empty()) {
        writeRawTags(r.body, h(o.objectId()));
    } else {
        // A table record has both subclass markers before its name, whatever the file had: R12
        // files write none, and some write the first only, which leaves the name outside its
        // record's part for other readers.
        w_.str(100, "AcDbSymbolTableRecord");
        w_.str(100, recordClass);
        for (std::size_t i = 0; i < r.body.size(); ++i)
            if (!(r.body.code(i) == 100 &&
                  (r.body.value(i) == "AcDbSymbolTableRecord" || r.body.value(i) == recordClass)))
                writeRawTag(r.body, i);
    }
    writeXData(o.xdata());
}

void Writer::keptTableRecords(const wchar_t* table, std::uint64_t tableHandle) {
    const std::wstring_view name(table);
    const std::string_view recordClass = name == L"VPORT"  ? "AcDbViewportTableRecord"
                                         : name == L"VIEW" ? "AcDbViewTableRecord"
                                         : name == L"UCS"  ? "AcDbUCSTableRecord"
                                                           : "AcDbDimStyleTableRecord";
    for (db::ObjectId id : tableRecords_[table]) {
        db::ObjectPtr<db::RawObject> o(id, db::OpenMode::forRead);
        if (o)
            writeRawObject(*o, tableHandle, recordClass);
    }
}

void Writer::keptObjects() {
    for (db::ObjectId id : kept_) {
        db::ObjectPtr<db::RawObject> o(id, db::OpenMode::forRead);
        if (o)
            writeRawObject(*o, 0);
    }
}

} // namespace zhost::dxf

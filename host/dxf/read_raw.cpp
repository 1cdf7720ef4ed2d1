// Kept records: entities and objects of kinds the database does not model are kept as their tags
// (zhost/db/raw.h) so that saving the drawing writes them back. Pointers between records are
// resolved once the whole file is read.
#include "reader.h"

#include "zhost/core/utf.h"
#include "zhost/db/annotation.h"

namespace zhost::dxf {

namespace {

// The properties every entity has, which a kept entity holds as its own fields.
bool isCommonCode(int code) {
    switch (code) {
    case 6:
    case 8:
    case 48:
    case 60:
    case 62:
    case 67:
    case 370:
    case 420:
    case 430:
    case 440:
        return true;
    default:
        return false;
    }
}

// Text that reads the same in every code page and holds no escape: kept as its bytes, without
// decoding it and encoding it again (most values of most kept records).
bool plainText(std::string_view v) {
    for (char c : v)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\')
            return false;
    return true;
}

bool opensGroup(const Tag& t) {
    return t.code == 102 && !t.value().empty() && t.value()[0] == '{';
}

} // namespace

void Reader::keepTag(db::RawTags& into, const Tag& t) {
    if (tagKindOf(t.code) == TagKind::handle && t.code != 5 && t.code != 105) {
        rawRefScratch_.push_back({std::uint32_t(into.size()), false, t.handle()});
        into.addReference(t.code, t.value());
    } else if (tagKindOf(t.code) == TagKind::string) {
        into.add(t.code, toUtf8(text(t)));
    } else {
        into.add(t.code, t.value());
    }
}

db::RawRecord Reader::rawRecord(std::size_t from, std::size_t to, bool entity) {
    db::RawRecord r;
    r.kind = text(tags_[from].value());
    rawRefScratch_.clear();
    std::uint64_t owner = 0;
    auto add = [&](db::RawTags& into, const Tag& t, bool prefix) {
        if (tagKindOf(t.code) == TagKind::handle && t.code != 5 && t.code != 105) {
            rawRefScratch_.push_back({std::uint32_t(into.size()), prefix, t.handle()});
            into.addReference(t.code, t.value());
        } else if (tagKindOf(t.code) == TagKind::string && !plainText(t.value())) {
            into.add(t.code, toUtf8(text(t)));
        } else {
            into.add(t.code, t.value());
        }
    };
    // The first record.
    const std::size_t end = entityEnd(from);
    bool handleSeen = false, ownerSeen = false, inEntity = false, subclassSeen = false;
    for (std::size_t k = from + 1; k < end; ++k) {
        const Tag& t = tags_[k];
        if (t.code >= 1000)
            break; // extended data is the object's own
        if ((t.code == 5 || t.code == 105) && !handleSeen) {
            handleSeen = true;
        } else if (opensGroup(t) && !ownerSeen) {
            for (; k < end && tags_[k].code < 1000; ++k) {
                add(r.prefix, tags_[k], true);
                if (tags_[k].is(102, "}"))
                    break;
            }
        } else if (t.code == 330 && !ownerSeen) {
            ownerSeen = true;
            owner = t.handle();
        } else if (entity && t.is(100, "AcDbEntity")) {
            inEntity = subclassSeen = true;
        } else if (t.code == 100) {
            inEntity = false;
            subclassSeen = true;
            add(r.body, t, false);
        } else if (!(entity && (inEntity || !subclassSeen) && isCommonCode(t.code))) {
            add(r.body, t, false);
        }
    }
    // Records that belong to the first one: each keeps all but its handle and owner, which the
    // writer gives afresh.
    for (std::size_t k = end; k < to;) {
        const std::size_t next = entityEnd(k);
        r.body.add(0, tags_[k].value());
        bool hSeen = false, oSeen = false;
        for (std::size_t j = k + 1; j < next; ++j) {
            const Tag& t = tags_[j];
            if (t.code == 5 && !hSeen)
                hSeen = true;
            else if (t.code == 330 && !oSeen)
                oSeen = true;
            else
                add(r.body, t, false);
        }
        k = next;
    }
    rawPending_.push_back({{}, rawRefScratch_, owner});
    return r;
}

void Reader::kept(std::string_view kind, bool entity) {
    (entity ? report_.keptEntities : report_.keptObjects)++;
    ++report_.keptKinds[std::string(kind)];
}

void Reader::keepEntity(std::size_t from, std::size_t to, const EntityCommon& c,
                        db::ObjectId blockId, const db::XData& xdata) {
    auto e = std::make_unique<db::RawEntity>(rawRecord(from, to, true));
    applyCommon(*e, c);
    registerApps(xdata);
    if (!xdata.empty() && !ok(e->setXData(xdata)))
        warn(c.line, "xdata", L"malformed extended data is dropped");
    const db::ObjectId id = appendTo(blockId, std::move(e), c);
    if (id.isNull()) {
        rawPending_.pop_back();
        return;
    }
    --report_.entitiesRead; // counted as kept, not as modelled
    rawPending_.back().id = id;
    rawPending_.back().owner = 0; // an entity's owner is its block
    kept(tags_[from].value(), true);
}

db::ObjectId Reader::keepObject(std::size_t k, db::ObjectId dictId, std::string_view key,
                                bool tableRecord) {
    auto o = std::make_unique<db::RawObject>(rawRecord(k, k, false));
    const std::uint32_t line = tags_[k].line;
    std::uint64_t handle = 0;
    const std::size_t end = entityEnd(k);
    for (std::size_t j = k + 1; j < end && handle == 0; ++j)
        if (tags_[j].code == 5 || tags_[j].code == 105)
            handle = tags_[j].handle();
    for (std::size_t j = k + 1; j < end; ++j)
        if (tags_[j].code >= 1000) {
            const db::XData x = readXData(std::span<const Tag>(tags_.data() + j, end - j));
            registerApps(x);
            if (!x.empty() && !ok(o->setXData(x)))
                warn(line, "xdata", L"malformed extended data is dropped");
            break;
        }
    db::ObjectId id;
    if (tableRecord) {
        rawPending_.back().owner = 0;
        if (!ok(db_.addKeptObject(std::move(o), id))) {
            rawPending_.pop_back();
            return {};
        }
    } else if (dictId.isNull()) {
        const std::uint64_t owner = rawPending_.back().owner;
        o->setFileOwner({}, owner == 0 ? std::string("0") : toUtf8(db::Handle(owner).toHex()));
        if (!ok(db_.addKeptObject(std::move(o), id))) {
            rawPending_.pop_back();
            return {};
        }
    } else {
        db::ObjectPtr<db::Dictionary> dict(dictId, db::OpenMode::forWrite);
        if (!dict || !ok(dict->setAt(text(key), std::move(o), id))) {
            warn(line, L"object \"" + text(key) + L"\" could not be kept");
            rawPending_.pop_back();
            return {};
        }
        rawPending_.back().owner = 0; // the dictionary is the owner
    }
    rawPending_.back().id = id;
    adoptHandle(id, handle, line);
    kept(tags_[k].value(), false);
    return id;
}

// Pointers name records anywhere in the file; a pointer to a record the database does not hold
// keeps the file's text (written back as read).
void Reader::resolveRawReferences() {
    for (PendingRecord& p : rawPending_) {
        if (p.id.isNull() || (p.refs.empty() && p.owner == 0))
            continue;
        db::ObjectPtr<db::DbObject> o(p.id, db::OpenMode::forWrite);
        db::RawRecord* record = nullptr;
        db::RawObject* object = nullptr;
        if (auto* e = dynamic_cast<db::RawEntity*>(o.get()))
            record = e->recordForWrite();
        else if ((object = dynamic_cast<db::RawObject*>(o.get())))
            record = object->recordForWrite();
        db::RawTags* extra = nullptr;
        if (auto* d = dynamic_cast<db::Dimension*>(o.get()))
            extra = d->extraTagsForWrite();
        else if (auto* l = dynamic_cast<db::Leader*>(o.get()))
            extra = l->extraTagsForWrite();
        if (extra) {
            for (const PendingRef& r : p.refs)
                extra->setReference(r.index, idOfHandle(r.handle));
            continue;
        }
        if (!record)
            continue;
        for (const PendingRef& r : p.refs)
            (r.prefix ? record->prefix : record->body).setReference(r.index, idOfHandle(r.handle));
        if (object && p.owner != 0)
            object->setFileOwner(idOfHandle(p.owner), object->fileOwnerText());
    }
    rawPending_.clear();
    for (const auto& [leaderId, handle] : annotations_) {
        db::ObjectPtr<db::Leader> leader(leaderId, db::OpenMode::forWrite);
        const db::ObjectId target = idOfHandle(handle);
        if (leader && !target.isNull())
            leader->setAnnotation(target);
        else if (leader)
            warn(0, L"the annotation " + db::Handle(handle).toHex() + L" of leader " +
                        leader->handle().toHex() + L" does not exist; the leader keeps none");
    }
    annotations_.clear();
}

} // namespace zhost::dxf

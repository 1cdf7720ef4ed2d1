// The change log: what changed after a serial, for caches that update instead of starting over
// (the drawing window's scene, the editor's spatial index). Every change bumps the serial and
// lands here, whether the undo journal records or not, so that a reader is never told less
// than what happened.
#include "database_impl.h"

#include "zhost/db/entity.h"

#include <algorithm>
#include <unordered_map>

namespace zhost::db {

namespace {

bool isSymbolRecord(ObjectType t) {
    return t == ObjectType::layerTableRecord || t == ObjectType::linetypeTableRecord ||
           t == ObjectType::textStyleTableRecord || t == ObjectType::regAppTableRecord;
}

} // namespace

void ChangeLog::append(const ChangeLogEntry& e) {
    entries.push_back(e);
    if (entries.size() > kMaxEntries) {
        // Drop the older half: readers from before its last change are told "everything".
        const std::size_t drop = entries.size() / 2;
        floor = std::max(floor, entries[drop - 1].last);
        entries.erase(entries.begin(), entries.begin() + std::ptrdiff_t(drop));
    }
}

void DatabaseImpl::logObject(std::uint32_t slot, const DbObject& obj, ChangeLogEntry::Kind kind) {
    touched();
    auto& log = changeLog.entries;
    if (!log.empty() && log.back().slot == slot && log.back().kind != ChangeLogEntry::variable) {
        // The same object again (setter after setter): one run, its first kind kept.
        log.back().last = changeSerial;
        return;
    }
    ChangeLogEntry e;
    e.first = e.last = changeSerial;
    e.slot = slot;
    e.type = obj.type();
    e.kind = kind;
    if (e.type == ObjectType::blockTableRecord) {
        e.block = slot;
    } else {
        // Up the owners to the block: an attribute belongs to its reference, which is the entity
        // the block holds. A chain that leaves the database (a dictionary's) is no block's.
        const DbObject* o = &obj;
        std::uint32_t at = slot;
        for (int depth = 0; depth < 16; ++depth) {
            const ObjectId owner = o->ownerId();
            const DbObject* up = object(owner);
            if (!up)
                break;
            if (up->type() == ObjectType::blockTableRecord) {
                e.block = owner.index();
                if (dynamic_cast<const Entity*>(o))
                    e.entity = at;
                break;
            }
            o = up;
            at = owner.index();
        }
    }
    changeLog.append(e);
}

void DatabaseImpl::logVariable(const std::wstring& name) {
    touched();
    auto& names = changeLog.names;
    const auto at = std::find(names.begin(), names.end(), name);
    const auto index = std::uint32_t(at - names.begin());
    if (at == names.end())
        names.push_back(name);
    auto& log = changeLog.entries;
    if (!log.empty() && log.back().kind == ChangeLogEntry::variable && log.back().slot == index) {
        log.back().last = changeSerial;
        return;
    }
    ChangeLogEntry e;
    e.first = e.last = changeSerial;
    e.slot = index;
    e.kind = ChangeLogEntry::variable;
    changeLog.append(e);
}

void DatabaseImpl::logEverything() {
    // A reader at the current serial must hear of what follows as "everything" too: the floor
    // is one past it. The serial itself stays, so that a load does not count as an edit.
    changeLog.entries.clear();
    changeLog.floor = changeSerial + 1;
}

ChangeSet Database::changesSince(std::uint64_t serial) const {
    ChangeSet out;
    const ChangeLog& log = impl_->changeLog;
    if (serial < log.floor || serial > impl_->changeSerial) {
        out.all = true; // too old, or a serial this database never gave
        return out;
    }
    const auto begin =
        std::partition_point(log.entries.begin(), log.entries.end(),
                             [&](const ChangeLogEntry& e) { return e.last <= serial; });
    std::unordered_map<std::uint32_t, std::size_t> seen;
    const ObjectId model = impl_->modelSpace, paper = impl_->paperSpace;
    for (auto it = begin; it != log.entries.end(); ++it) {
        const ChangeLogEntry& e = *it;
        if (e.kind == ChangeLogEntry::variable) {
            const std::wstring& name = log.names[e.slot];
            if (std::find(out.variables.begin(), out.variables.end(), name) == out.variables.end())
                out.variables.push_back(name);
            continue;
        }
        if (!seen.emplace(e.slot, out.objects.size()).second)
            continue; // its earliest run since the serial decided whether it is new
        ObjectChange c;
        c.id = impl_->idOf(e.slot);
        c.type = e.type;
        if (e.block)
            c.block = impl_->idOf(e.block);
        if (e.entity)
            c.entity = impl_->idOf(e.entity);
        c.added = e.kind == ChangeLogEntry::added && e.first > serial;
        out.objects.push_back(c);
        if (isSymbolRecord(c.type) && !c.added)
            out.tables = true;
        if (!c.block.isNull() && c.block != model && c.block != paper &&
            std::find(out.blocks.begin(), out.blocks.end(), c.block) == out.blocks.end())
            out.blocks.push_back(c.block);
    }
    return out;
}

} // namespace zhost::db

#include "database_impl.h"

#include "zhost/core/utf.h"
#include "zhost/db/dictionary.h"
#include "zhost/db/dump.h"
#include "zhost/db/symbol_tables.h"

#include <algorithm>
#include <unordered_set>

namespace zhost::db {

// --- Dictionary ----------------------------------------------------------------------------------

Status Dictionary::getAt(std::wstring_view key, ObjectId& out) const {
    const auto it = index_.find(toUpperName(key));
    if (it != index_.end()) {
        const ObjectId id = entries_[it->second].second;
        if (id.isValid() && !id.isErased()) {
            out = id;
            return Status::ok;
        }
    }
    out = {};
    return Status::keyNotFound;
}

bool Dictionary::has(std::wstring_view key) const {
    ObjectId id;
    return ok(getAt(key, id));
}

std::vector<std::pair<std::wstring, ObjectId>> Dictionary::entries(bool includeErased) const {
    std::vector<std::pair<std::wstring, ObjectId>> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_)
        if (e.second.isValid() && (includeErased || !e.second.isErased()))
            out.push_back(e);
    return out;
}

int Dictionary::count() const {
    int n = 0;
    for (const auto& e : entries_)
        n += e.second.isValid() && !e.second.isErased();
    return n;
}

void Dictionary::reindexFrom(std::size_t from) {
    for (std::size_t i = from; i < entries_.size(); ++i)
        index_[toUpperName(entries_[i].first)] = i;
}

Status Dictionary::setAt(std::wstring_view key, std::unique_ptr<DbObject> object, ObjectId& outId,
                         std::wstring* outKey) {
    outId = {};
    if (!object || object->isDatabaseResident() || key.empty())
        return Status::invalidInput;
    if (!database())
        return Status::notApplicable;
    std::wstring name(key);
    std::wstring folded = toUpperName(key);
    const bool anonymous = database()->groupDictionaryId() == objectId() &&
                           (key == L"*" || folded.starts_with(L"*U") || folded.starts_with(L"*A"));
    int anonymousNumber = 0;
    if (anonymous) {
        // Keys of erased groups are not free: their entries stay until the key is taken over.
        for (anonymousNumber = std::max(anonymousFrom_, 1);; ++anonymousNumber) {
            name = L"*A" + std::to_wstring(anonymousNumber);
            if (!index_.count(name))
                break;
        }
        folded = name;
    } else if (has(name)) {
        return Status::duplicateKey;
    }
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    // A key left by an erased object is taken over.
    if (const auto old = index_.find(folded); old != index_.end()) {
        const std::size_t at = old->second;
        index_.erase(old);
        entries_.erase(entries_.begin() + std::ptrdiff_t(at));
        reindexFrom(at);
    }
    outId = database()->impl().add(std::move(object), objectId());
    index_.emplace(std::move(folded), entries_.size());
    entries_.emplace_back(name, outId);
    if (anonymous)
        anonymousFrom_ = anonymousNumber + 1;
    if (outKey)
        *outKey = name;
    return Status::ok;
}

Status Dictionary::remove(std::wstring_view key) {
    const auto it = index_.find(toUpperName(key));
    if (it == index_.end())
        return Status::keyNotFound;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    const std::size_t at = it->second;
    index_.erase(it);
    entries_.erase(entries_.begin() + std::ptrdiff_t(at));
    reindexFrom(at);
    anonymousFrom_ = 1; // the key may have been an anonymous group's
    return Status::ok;
}

std::wstring Dictionary::nameOf(ObjectId id) const {
    for (const auto& [k, v] : entries_)
        if (v == id)
            return k;
    return {};
}

void Dictionary::collectReferences(std::vector<ObjectId>& out) const {
    for (const auto& e : entries_)
        out.push_back(e.second);
}

void Dictionary::remapReferences(const IdMapFn& map) {
    for (auto& e : entries_)
        e.second = map(e.second);
}

void Dictionary::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    for (const auto& [k, id] : entries_)
        out.field(L"entry " + k, id);
}

// --- Group ---------------------------------------------------------------------------------------

std::wstring Group::name() const {
    if (!database())
        return {};
    auto* dict = database()->impl().get<Dictionary>(ownerId());
    return dict ? dict->nameOf(objectId()) : std::wstring();
}

bool Group::isAnonymous() const {
    return name().starts_with(L"*");
}

Status Group::setDescription(std::wstring_view d) {
    return writeField(description_, d);
}

Status Group::setSelectable(bool b) {
    return writeField(selectable_, b);
}

std::vector<ObjectId> Group::allEntityIds(bool includeErased) const {
    std::vector<ObjectId> out;
    for (ObjectId id : entities_)
        if (id.isValid() && (includeErased || !id.isErased()))
            out.push_back(id);
    return out;
}

int Group::numEntities() const {
    return int(allEntityIds().size());
}

bool Group::has(ObjectId id) const {
    return std::find(entities_.begin(), entities_.end(), id) != entities_.end();
}

Status Group::append(ObjectId id) {
    return append(std::vector<ObjectId>{id});
}

Status Group::append(const std::vector<ObjectId>& ids) {
    for (ObjectId id : ids) {
        if (id.isNull() || (database() && id.database() != database()))
            return Status::invalidInput;
        if (has(id))
            return Status::duplicateKey;
    }
    Status s = assertWriteEnabled();
    if (ok(s))
        entities_.insert(entities_.end(), ids.begin(), ids.end());
    return s;
}

Status Group::remove(ObjectId id) {
    if (!has(id))
        return Status::keyNotFound;
    Status s = assertWriteEnabled();
    if (ok(s))
        std::erase(entities_, id);
    return s;
}

Status Group::clear() {
    Status s = assertWriteEnabled();
    if (ok(s))
        entities_.clear();
    return s;
}

void Group::collectReferences(std::vector<ObjectId>& out) const {
    out.insert(out.end(), entities_.begin(), entities_.end());
}

void Group::remapReferences(const IdMapFn& map) {
    for (ObjectId& id : entities_)
        id = map(id);
}

void Group::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    out.field(L"description", description_);
    out.field(L"selectable", selectable_);
    for (ObjectId id : entities_)
        out.field(L"entity", id);
}

// --- Draw order ----------------------------------------------------------------------------------

std::vector<ObjectId> SortentsTable::drawOrder() const {
    if (!database())
        return order_;
    auto* block = database()->impl().get<BlockTableRecord>(ownerId());
    if (!block)
        return {};
    const std::vector<ObjectId> live = block->entityIds();
    std::unordered_set<ObjectId> liveSet(live.begin(), live.end());
    std::vector<ObjectId> out;
    out.reserve(live.size());
    std::unordered_set<ObjectId> seen;
    for (ObjectId id : order_)
        if (liveSet.count(id) && seen.insert(id).second)
            out.push_back(id);
    for (ObjectId id : live) // entities added since the last move are drawn on top
        if (!seen.count(id))
            out.push_back(id);
    return out;
}

namespace {
// Moves `ids` (in their current relative order) to position `at` of the order without them.
Status moveIds(std::vector<ObjectId>& order, const std::vector<ObjectId>& ids,
               const std::function<std::size_t(const std::vector<ObjectId>&)>& at) {
    std::unordered_set<ObjectId> moving(ids.begin(), ids.end());
    std::vector<ObjectId> rest, moved;
    for (ObjectId id : order)
        (moving.count(id) ? moved : rest).push_back(id);
    if (moved.size() != moving.size())
        return Status::invalidInput;
    const std::size_t pos = at(rest);
    if (pos > rest.size())
        return Status::invalidInput;
    rest.insert(rest.begin() + std::ptrdiff_t(pos), moved.begin(), moved.end());
    order = std::move(rest);
    return Status::ok;
}
} // namespace

Status SortentsTable::moveToTop(const std::vector<ObjectId>& ids) {
    std::vector<ObjectId> order = drawOrder();
    Status s = moveIds(order, ids, [](const auto& rest) { return rest.size(); });
    if (ok(s))
        s = assertWriteEnabled();
    if (ok(s))
        order_ = std::move(order);
    return s;
}

Status SortentsTable::moveToBottom(const std::vector<ObjectId>& ids) {
    std::vector<ObjectId> order = drawOrder();
    Status s = moveIds(order, ids, [](const auto&) { return std::size_t(0); });
    if (ok(s))
        s = assertWriteEnabled();
    if (ok(s))
        order_ = std::move(order);
    return s;
}

Status SortentsTable::moveAbove(const std::vector<ObjectId>& ids, ObjectId target) {
    std::vector<ObjectId> order = drawOrder();
    Status s = moveIds(order, ids, [&](const auto& rest) {
        auto it = std::find(rest.begin(), rest.end(), target);
        return it == rest.end() ? rest.size() + 1 : std::size_t(it - rest.begin()) + 1;
    });
    if (ok(s))
        s = assertWriteEnabled();
    if (ok(s))
        order_ = std::move(order);
    return s;
}

Status SortentsTable::moveBelow(const std::vector<ObjectId>& ids, ObjectId target) {
    std::vector<ObjectId> order = drawOrder();
    Status s = moveIds(order, ids, [&](const auto& rest) {
        auto it = std::find(rest.begin(), rest.end(), target);
        return it == rest.end() ? rest.size() + 1 : std::size_t(it - rest.begin());
    });
    if (ok(s))
        s = assertWriteEnabled();
    if (ok(s))
        order_ = std::move(order);
    return s;
}

Status SortentsTable::setDrawOrder(const std::vector<ObjectId>& ids) {
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    order_ = ids;
    order_ = drawOrder();
    return Status::ok;
}

bool SortentsTable::isCustomOrder() const {
    if (!database())
        return false;
    auto* block = database()->impl().get<BlockTableRecord>(ownerId());
    return block && drawOrder() != block->entityIds();
}

void SortentsTable::collectReferences(std::vector<ObjectId>& out) const {
    out.insert(out.end(), order_.begin(), order_.end());
}

void SortentsTable::remapReferences(const IdMapFn& map) {
    for (ObjectId& id : order_)
        id = map(id);
}

void SortentsTable::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    for (ObjectId id : drawOrder())
        out.field(L"draw", id);
}

} // namespace zhost::db

#pragma once
// Dictionaries (name → object, names without case, in insertion order), groups and the draw-order
// table of a block.
#include "zhost/db/object.h"

#include <unordered_map>

namespace zhost::db {

class Dictionary : public DbObject {
    ZHOST_DB_OBJECT_COPY(Dictionary)
    Dictionary() = default;

    ObjectType type() const override { return ObjectType::dictionary; }
    const wchar_t* dxfName() const override { return L"DICTIONARY"; }

    Status getAt(std::wstring_view key, ObjectId& out) const; // erased entries are not found
    bool has(std::wstring_view key) const;
    // Entries as (key, id), in insertion order, erased objects left out unless asked.
    std::vector<std::pair<std::wstring, ObjectId>> entries(bool includeErased = false) const;
    int count() const;
    // Adds a new object under a key (the dictionary open for write). duplicateKey when the key is
    // taken by a live object. In the group dictionary, a key "*" or starting with "*U"/"*A" makes
    // an anonymous group named "*A<n>" with the first free n; outKey tells the name given.
    Status setAt(std::wstring_view key, std::unique_ptr<DbObject> object, ObjectId& outId,
                 std::wstring* outKey = nullptr);
    // Removes the entry (the object itself stays; erase it separately). keyNotFound if absent.
    Status remove(std::wstring_view key);
    // The key of an object, empty when it is not in this dictionary.
    std::wstring nameOf(ObjectId id) const;

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

protected:
    void dropOwnedForClone() override {
        entries_.clear();
        index_.clear();
    }

private:
    friend class DatabaseImpl;
    // Rebuilds index_ from entries_ from position `from` on (after an entry left the middle).
    void reindexFrom(std::size_t from);

    std::vector<std::pair<std::wstring, ObjectId>> entries_; // insertion order, for writing
    // The position in entries_ of each key folded to upper case, so that a look-up or an
    // insertion does not scan: drawings hold dictionaries of a million records.
    std::unordered_map<std::wstring, std::size_t> index_;
    // No anonymous group "*A<n>" below this n is free (a hint; removals lower it).
    int anonymousFrom_ = 1;
};

// A named, ordered set of entities. Its name is its key in the group dictionary.
class Group : public DbObject {
    ZHOST_DB_OBJECT_COPY(Group)
    Group() = default;
    explicit Group(std::wstring description, bool selectable = true)
        : description_(std::move(description)), selectable_(selectable) {}

    ObjectType type() const override { return ObjectType::group; }
    const wchar_t* dxfName() const override { return L"GROUP"; }

    // The key under which the group dictionary holds this group.
    std::wstring name() const;
    const std::wstring& description() const { return description_; }
    Status setDescription(std::wstring_view d);
    bool isSelectable() const { return selectable_; }
    Status setSelectable(bool s);
    bool isAnonymous() const;

    // Entity ids in order; erased entities are left out unless asked.
    std::vector<ObjectId> allEntityIds(bool includeErased = false) const;
    int numEntities() const;
    bool has(ObjectId entityId) const;
    // duplicateKey when already present; invalidInput for a null id or one of another database.
    Status append(ObjectId entityId);
    Status append(const std::vector<ObjectId>& entityIds);
    Status remove(ObjectId entityId);
    Status clear();

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    std::wstring description_;
    bool selectable_ = true;
    std::vector<ObjectId> entities_;
};

// The draw order of one block's entities. The order is the block's entity order with the moves
// applied; entities added after the last move are drawn on top.
class SortentsTable : public DbObject {
    ZHOST_DB_OBJECT_COPY(SortentsTable)
    SortentsTable() = default;

    ObjectType type() const override { return ObjectType::sortentsTable; }
    const wchar_t* dxfName() const override { return L"SORTENTSTABLE"; }

    ObjectId blockId() const { return ownerId(); }
    // Every live entity of the block, first drawn first.
    std::vector<ObjectId> drawOrder() const;
    // invalidInput when an id is not an entity of the block. The moved entities keep their
    // relative order.
    Status moveToTop(const std::vector<ObjectId>& ids);
    Status moveToBottom(const std::vector<ObjectId>& ids);
    Status moveAbove(const std::vector<ObjectId>& ids, ObjectId target);
    Status moveBelow(const std::vector<ObjectId>& ids, ObjectId target);
    // Sets the whole order (DXF load); ids of the block missing from the list keep their place
    // after the given ones.
    Status setDrawOrder(const std::vector<ObjectId>& ids);
    // Whether the order differs from the block's entity order.
    bool isCustomOrder() const;

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    std::vector<ObjectId> order_; // explicit order; may miss newer entities
};

} // namespace zhost::db

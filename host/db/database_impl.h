#pragma once
// The database's internals: the slot vector, the handle map, name indexes, variables and the undo
// journal. Only the db module includes this.
#include "zhost/db/database.h"

#include <map>
#include <unordered_map>

namespace zhost::db {

namespace param {
class Cache; // parametric.cpp's compiled expressions, per block
}

struct Slot {
    std::unique_ptr<DbObject> obj;
    int readers = 0;
    bool writer = false;
    std::uint64_t snapEpoch = 0; // the journal epoch in which a snapshot was last taken
};

// One entry of the undo journal.
struct JournalEntry {
    enum Kind { begin, end, mark, object, variable } kind = object;
    std::uint32_t slot = 0;
    std::unique_ptr<DbObject> prior; // object state before the change; null: did not exist
    std::uint64_t oldSeed = 0;       // handle seed before an object was added
    std::uint64_t epoch = 0;         // changes of one epoch outside groups form one step
    std::wstring varName;
    VarValue oldValue;

    static JournalEntry marker(Kind k) {
        JournalEntry e;
        e.kind = k;
        return e;
    }
};

// The change log behind Database::changesSince: one entry per run of changes to one object (or
// one variable), with the serials of its first and last change. Both serials grow along the
// vector (only the newest entry is ever extended), so a reader's start is a binary search.
struct ChangeLogEntry {
    enum Kind : std::uint8_t { added, written, restored, variable };
    std::uint64_t first = 0, last = 0;
    std::uint32_t slot = 0;   // the object's slot, or the variable's index in ChangeLog::names
    std::uint32_t block = 0;  // slot of the block definition holding it (0: none)
    std::uint32_t entity = 0; // slot of the entity directly in that block (0: none)
    ObjectType type = ObjectType::dictionary;
    Kind kind = written;
};

struct ChangeLog {
    // Enough for any one command's edits on a large drawing; a load or a larger edit overflows
    // it and readers from before it are told "everything".
    static constexpr std::size_t kMaxEntries = std::size_t(1) << 16;
    std::vector<ChangeLogEntry> entries;
    std::vector<std::wstring> names; // variables ever logged
    std::uint64_t floor = 0;         // serials below it get "everything"
    void append(const ChangeLogEntry& e);
};

class DatabaseImpl {
public:
    explicit DatabaseImpl(Database& self);
    ~DatabaseImpl();

    Database& self;
    std::vector<Slot> slots; // slot 0 is unused: index 0 is the null id
    std::unordered_map<std::uint64_t, std::uint32_t> handles;
    std::uint64_t handleSeed = 1;
    std::uint64_t changeSerial = 0;
    int openCount = 0;

    ObjectId blockTable, layerTable, linetypeTable, regAppTable, textStyleTable;
    ObjectId namedObjects, groupDictionary, modelSpace, paperSpace, layerZero;
    ObjectId byLayer, byBlock, continuous;

    std::map<std::wstring, VarValue> vars; // upper-case names
    std::wstring filePath;

    ChangeLog changeLog;

    // Undo journal.
    std::vector<JournalEntry> journal;
    int groupDepth = 0;
    std::uint64_t epoch = 1;
    bool recording = true;

    // Name look-up per symbol table (keyed by the table's slot), rebuilt when invalid.
    struct NameIndex {
        bool valid = false;
        bool duplicates = false; // two live records share a name (files may hold such)
        std::unordered_map<std::wstring, ObjectId> byName;
    };
    std::unordered_map<std::uint32_t, NameIndex> nameIndexes;

    std::unique_ptr<param::Cache> paramCache;

    ObjectId idOf(std::uint32_t index) { return ObjectId(&self, index); }
    static std::uint32_t indexOf(ObjectId id) { return id.index(); }
    DbObject* object(ObjectId id) const; // nullptr when not of this database or gone
    template <class T> T* get(ObjectId id) const { return dynamic_cast<T*>(object(id)); }

    // Adds an object: assigns slot, owner and handle (keeps the object's handle when it is set
    // and free), journals the addition.
    ObjectId add(std::unique_ptr<DbObject> obj, ObjectId owner);
    // Journals the state of an object before its first change in the current epoch.
    void recordBefore(std::uint32_t slot);
    void touched() { ++changeSerial; }
    // Bumps the serial and logs a change of an object (`obj` is its state, before or after)
    // or of a variable.
    void logObject(std::uint32_t slot, const DbObject& obj, ChangeLogEntry::Kind kind);
    void logVariable(const std::wstring& name);
    // Whatever came before is not known object by object any more (a load).
    void logEverything();
    void recordVar(const std::wstring& name, const VarValue& old);
    void boundary() { ++epoch; }

    // Name index of a table (live records only).
    ObjectId lookUp(ObjectId tableId, std::wstring_view name);
    void invalidateNames(ObjectId tableId);
    // A record added to or erased from a table: a valid index follows without being rebuilt, so
    // that a command adding and erasing many blocks does not read the whole table each time.
    void recordAdded(ObjectId tableId, const std::wstring& name, ObjectId id);
    void recordErased(ObjectId tableId, const std::wstring& name, ObjectId id);
    void invalidateAllNames() { nameIndexes.clear(); }

    // Undo primitives.
    void restore(JournalEntry& e);
    bool undoOneStep(); // false when nothing could be taken back
    void afterUndo();
    int stepCount() const;

    void createDefaults();
    void initVariables();
};

// Formats a double the short way: "10", "2.5", "0.333333333333".
std::wstring formatNumber(double v);

} // namespace zhost::db

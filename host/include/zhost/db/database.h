#pragma once
// The drawing database: objects in slots addressed by ObjectId, symbol tables, the named-objects
// dictionary with the group dictionary, drawing variables, purge, deep clone, and the undo
// journal.
//
// Undo: every change is journalled. Changes between beginUndoGroup() and the matching
// endUndoGroup() form one step (one command); a change outside any group is a step of its own.
// undo(n) takes back the last n steps, undoMark() sets a mark and undoBack() takes back everything
// after the latest mark - also inside an open group, as a command that tries something and takes
// it back does. Undo restores objects exactly: same ids, handles, properties, extended data and
// order. Nothing may be open while undoing (wasOpenForWrite / wasOpenForRead).
#include "zhost/db/object_ptr.h"
#include "zhost/db/variables.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zhost::db {

class BlockTableRecord;
class Entity;
class RawObject;
class SortentsTable;
class DatabaseImpl;

// Old id → new id, as deep clone and insert return it.
using IdMap = std::unordered_map<ObjectId, ObjectId>;

// One object changed after a serial (Database::changesSince).
struct ObjectChange {
    ObjectId id;
    ObjectType type = ObjectType::dictionary;
    // Where it stood when it changed: the block definition that holds it (model space for a drawn
    // entity, the record itself for a block table record, null for tables, their records and
    // dictionaries) and the entity directly in that block it belongs to (itself, or the
    // reference that owns an attribute; null when it is no entity).
    ObjectId block, entity;
    // It did not exist at the serial: added since, and gone again if an undo took that back.
    bool added = false;
};

// What changed in a database after a serial: objects added, modified, erased or unerased, or
// restored by undo, and drawing variables set or restored.
struct ChangeSet {
    // The log cannot say (the serial is older than what it keeps, or the whole database was
    // replaced as by a load): take everything as changed. The lists are then empty.
    bool all = false;
    std::vector<ObjectChange> objects;   // each object once, in the order of its first change
    std::vector<std::wstring> variables; // upper-case names, each once
    // Changes that reach past single drawn objects, found from `objects`: a record of the
    // layer, linetype, text style or application table that existed at the serial, and the
    // block definitions (not model or paper space) whose record or contents changed.
    bool tables = false;
    std::vector<ObjectId> blocks;

    bool empty() const { return !all && objects.empty() && variables.empty(); }
    // Anything beyond objects of the layouts: what a picture of a layout cannot update entity
    // by entity without looking closer.
    bool global() const { return all || tables || !variables.empty() || !blocks.empty(); }
};

class Database {
public:
    // A new drawing with the standard contents: the block table with "*Model_Space" and
    // "*Paper_Space", layer "0", linetypes "ByBlock", "ByLayer" and "Continuous", text style
    // "Standard", application "ACAD", the named-objects dictionary with "ACAD_GROUP", and the
    // variables at their defaults. The undo journal starts empty.
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // --- Well-known objects --------------------------------------------------------------------
    ObjectId blockTableId() const;
    ObjectId layerTableId() const;
    ObjectId linetypeTableId() const;
    ObjectId regAppTableId() const;
    ObjectId textStyleTableId() const;
    ObjectId namedObjectsDictionaryId() const;
    ObjectId groupDictionaryId() const;
    ObjectId modelSpaceId() const;
    ObjectId paperSpaceId() const;
    ObjectId layerZeroId() const;
    ObjectId byLayerLinetypeId() const;
    ObjectId byBlockLinetypeId() const;
    ObjectId continuousLinetypeId() const;

    // --- Look-ups by name (without case; erased records are not found) ---------------------------
    Status getBlockId(std::wstring_view name, ObjectId& out) const;
    Status getLayerId(std::wstring_view name, ObjectId& out) const;
    Status getLinetypeId(std::wstring_view name, ObjectId& out) const;
    Status getTextStyleId(std::wstring_view name, ObjectId& out) const;
    Status getRegAppId(std::wstring_view name, ObjectId& out) const;
    // Adds the application name unless it is registered already (ok either way).
    Status registerApp(std::wstring_view name);
    bool isAppRegistered(std::wstring_view name) const;

    // --- Objects ---------------------------------------------------------------------------------
    // Appends an entity to a block (opening it for write for the call).
    Status appendEntity(ObjectId blockId, std::unique_ptr<Entity> entity, ObjectId& outId);
    Status appendToModelSpace(std::unique_ptr<Entity> entity, ObjectId& outId);
    // Adds a block definition with a name (duplicateKey, invalidInput as SymbolTable::add).
    Status addBlock(std::wstring_view name, ObjectId& outId,
                    const geom::Point3d& origin = geom::Point3d());
    // Adds a layer (colour 7, Continuous) unless it exists; outId gets the layer either way and
    // the status is ok or duplicateKey.
    Status addLayer(std::wstring_view name, ObjectId& outId);
    // Adds an object that the host keeps only to write it back (an object of a kind it does not
    // model that no kept dictionary holds: an extension dictionary, an object owned by another
    // kept object). It is owned by the named-objects dictionary without a key; its own record
    // says which owner the file gave it (RawObject::fileOwner).
    Status addKeptObject(std::unique_ptr<RawObject> object, ObjectId& outId);
    // The id of the object with a handle; keyNotFound when none.
    Status getObjectId(Handle h, ObjectId& out) const;
    // Gives an object another handle (DXF load keeps the file's handles). duplicateKey when the
    // handle is taken by another object, invalidInput for the null handle.
    Status setHandle(ObjectId id, Handle h);
    // The next handle that a new object receives.
    Handle handleSeed() const;
    // Every object id in slot order (which is creation order); erased ones only when asked.
    std::vector<ObjectId> allObjectIds(bool includeErased = false) const;
    // The draw-order table of a block, created when the block has none (needs nothing open).
    Status getSortentsTable(ObjectId blockId, OpenMode mode, ObjectPtr<SortentsTable>& out);

    // --- Purge, clone, insert --------------------------------------------------------------------
    // Keeps in `ids` only the blocks, layers, linetypes, text styles and applications that
    // nothing live references: entities (layer, linetype, style, block of a reference) in any
    // block, layers (linetype), nested definitions, extended data (application names). Layer "0",
    // "Defpoints", the current layer, the layout blocks, "ByLayer"/"ByBlock"/"Continuous", the
    // current linetype and text style, "Standard" and "ACAD" are never purgeable.
    Status purge(std::vector<ObjectId>& ids) const;
    // Clones entities (with their attributes and extended data) into a block of this database;
    // `map` receives old → new for every object cloned (attributes included). The clones are
    // appended in the order given.
    Status deepCloneObjects(const std::vector<ObjectId>& ids, ObjectId ownerBlockId, IdMap& map);
    // Copies the model space of another database into a new block definition `blockName`,
    // bringing along the layers, linetypes, text styles, applications and nested blocks it uses
    // (records of the same name already here are used as they are).
    Status insert(std::wstring_view blockName, const Database& source, ObjectId& outBlockId,
                  IdMap* map = nullptr);

    // --- Drawing variables
    // ------------------------------------------------------------------------ keyNotFound for an
    // unknown name; invalidInput for a value of the wrong type or out of range (integer values are
    // accepted for reals); notApplicable for read-only variables.
    Status getVar(std::wstring_view name, VarValue& out) const;
    Status setVar(std::wstring_view name, const VarValue& value);
    Status getInt(std::wstring_view name, int& out) const;
    Status getReal(std::wstring_view name, double& out) const;
    Status getString(std::wstring_view name, std::wstring& out) const;
    Status getPoint(std::wstring_view name, geom::Point3d& out) const;
    // Shortcuts.
    ObjectId clayer() const;            // the current layer
    Status setClayer(ObjectId layerId); // must be a live, thawed layer
    double textSize() const;
    int insUnits() const;

    // The drawing's file path; DWGNAME and DWGPREFIX derive from it ("Drawing1.dwg" without).
    const std::wstring& filePath() const;
    void setFilePath(std::wstring path);

    // --- Undo
    // -------------------------------------------------------------------------------------
    void beginUndoGroup();
    void endUndoGroup(); // harmless without a matching begin
    int undoGroupDepth() const;
    Status undoMark();
    // Takes back everything after the latest mark and removes the mark; without a mark, takes
    // back everything the journal holds. `steps` gets the number of steps taken back.
    Status undoBack(int* steps = nullptr);
    // Takes back the last n steps (marks are skipped). outOfRange when fewer exist (then all are
    // taken back).
    Status undo(int n = 1);
    int undoStepCount() const;
    bool hasUndoMark() const;
    // Journalling off (DXF load, scratch databases): changes are not recorded and the journal is
    // cleared; changesSince() answers `all` for serials from before.
    void setUndoRecording(bool on);
    bool isUndoRecording() const;
    void clearUndo();

    // Bumped by every change (objects, variables, undo); for caches and "is modified" checks.
    std::uint64_t changeSerial() const;
    // What changed after `serial` (a value changeSerial() gave): a cache updates what changed
    // instead of starting over. The log keeps a bounded number of changes; older serials, and
    // serials from before undo recording was switched off (a load), get `all`.
    ChangeSet changesSince(std::uint64_t serial) const;

    DatabaseImpl& impl() { return *impl_; }
    const DatabaseImpl& impl() const { return *impl_; }

private:
    std::unique_ptr<DatabaseImpl> impl_;
};

// One command's undo step: begins a group and ends it at scope exit.
class UndoGroup {
public:
    explicit UndoGroup(Database& db) : db_(db) { db_.beginUndoGroup(); }
    ~UndoGroup() { db_.endUndoGroup(); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    Database& db_;
};

} // namespace zhost::db

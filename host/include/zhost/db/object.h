#pragma once
// The base of everything a drawing database holds. Objects live in the database's slots and are
// reached through ObjectPtr handles (object_ptr.h); objects that are not (yet) in a database -
// fresh entities, exploded pieces, clones - are plain C++ objects owned by a std::unique_ptr and
// can be changed freely.
//
// Every setter of a database-resident object checks the open mode first (notOpenForWrite through
// a read handle) and lets the undo journal take a snapshot of the object before its first change
// in the current undo step.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"
#include "zhost/db/xdata.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zhost::db {

class DumpWriter;

// The concrete kind of an object; dxfName() gives the DXF record name of each.
enum class ObjectType {
    blockTable,
    layerTable,
    linetypeTable,
    regAppTable,
    textStyleTable,
    blockTableRecord,
    layerTableRecord,
    linetypeTableRecord,
    regAppTableRecord,
    textStyleTableRecord,
    dictionary,
    group,
    sortentsTable,
    line,
    arc,
    circle,
    ellipse,
    polyline,
    spline,
    point,
    text,
    mtext,
    hatch,
    region,
    blockReference,
    attribute,
    attributeDefinition,
    // Drafting kinds (zhost/db/drafting.h).
    solid,
    trace,
    face,
    xline,
    ray,
    // Annotation kinds (zhost/db/annotation.h).
    dimension,
    leader,
    // Kinds kept as their DXF tags (zhost/db/raw.h).
    rawEntity,
    rawObject,
};

// A function that maps an id to its replacement (clone maps, cross-database look-ups).
using IdMapFn = std::function<ObjectId(ObjectId)>;

class DbObject {
public:
    virtual ~DbObject() = default;

    virtual ObjectType type() const = 0;
    // "LINE", "INSERT", "BLOCK_RECORD", "LAYER", "DICTIONARY", "GROUP", "SORTENTSTABLE", ...
    virtual const wchar_t* dxfName() const = 0;

    ObjectId objectId() const { return id_; }
    Database* database() const { return id_.database(); }
    Handle handle() const { return handle_; }
    ObjectId ownerId() const { return ownerId_; }
    bool isErased() const { return erased_; }
    bool isDatabaseResident() const { return !id_.isNull(); }
    // Whether the object may be changed now: true when it is not in a database or is open for
    // write.
    bool isWriteEnabled() const;
    bool isReadEnabled() const;

    // Erases (or, with false, unerases) the object. Needs a write handle; an erased object is
    // skipped by iterators and look-ups and can be opened only when asked explicitly.
    Status erase(bool erasing = true);

    // --- Extended data -------------------------------------------------------------------------
    // The chain of one application (starting with its 1001 item), or of all applications in order
    // when `app` is empty. Empty when there is none.
    XData xdata(std::wstring_view app = {}) const;
    // Replaces the data of every application the chain names; an application given by its 1001
    // item alone loses its data. Fails with keyNotFound when an application is not registered in
    // the object's database (objects outside a database accept any name), invalidInput for a
    // malformed chain (see validateXData).
    Status setXData(const XData& chain);
    // The applications that have data on this object, in order.
    std::vector<std::wstring> xdataApplications() const;
    bool hasXData(std::wstring_view app) const;
    // Bumped whenever the extended data changes (caches keyed on it stay valid otherwise).
    std::uint64_t xdataSerial() const { return xdataSerial_; }

    // --- Copies --------------------------------------------------------------------------------
    // A copy outside any database: no id, no handle, no owner; extended data kept.
    std::unique_ptr<DbObject> clone() const;

    // The ids this object refers to (layer, linetype, block, style, owned objects...), for purge
    // and deep clone. Owner and own id are not included.
    virtual void collectReferences(std::vector<ObjectId>& out) const;
    // Replaces every referred id through `map` (deep clone, insert across databases).
    virtual void remapReferences(const IdMapFn& map);
    // Writes every property as "name: value" lines (used by dumps that compare databases).
    virtual void dumpFields(DumpWriter& out) const;

protected:
    DbObject() = default;
    DbObject(const DbObject&) = default;
    DbObject& operator=(const DbObject&) = default;

    // A full copy of the object's state (identity included): the undo journal keeps these.
    virtual std::unique_ptr<DbObject> copy() const = 0;
    // Drops the ids of owned objects from a fresh clone (they belong to the original).
    virtual void dropOwnedForClone() {}

    // Called first by every setter: notOpenForWrite when the object is in a database and not open
    // for write; otherwise records the undo snapshot and returns ok.
    Status assertWriteEnabled();
    // The body of a plain setter: assigns the value when the object may be written (the undo
    // snapshot taken first) and says why not otherwise.
    template <class T, class U> Status writeField(T& field, U&& value) {
        Status s = assertWriteEnabled();
        if (ok(s))
            field = std::forward<U>(value);
        return s;
    }

private:
    friend class Database;
    friend class DatabaseImpl;

    ObjectId id_;
    ObjectId ownerId_;
    Handle handle_;
    bool erased_ = false;
    std::uint64_t xdataSerial_ = 0;
    std::vector<std::pair<std::wstring, XData>> xdata_; // per application, in order
};

// Downcast helper for non-database objects and clones.
template <class T> T* objectCast(DbObject* o) {
    return dynamic_cast<T*>(o);
}
template <class T> const T* objectCast(const DbObject* o) {
    return dynamic_cast<const T*>(o);
}

// Boilerplate for the concrete classes: the full copy that undo snapshots use.
#define ZHOST_DB_OBJECT_COPY(Class)                                                                \
protected:                                                                                         \
    std::unique_ptr<DbObject> copy() const override {                                              \
        return std::make_unique<Class>(*this);                                                     \
    }                                                                                              \
                                                                                                   \
public:

} // namespace zhost::db

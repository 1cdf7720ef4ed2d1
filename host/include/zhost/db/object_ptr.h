#pragma once
// Opening database objects. An ObjectPtr<T> opens an object by id for read or write and closes it
// when it goes out of scope (like the platform's object pointer):
//
//     db::ObjectPtr<db::Line> line(id, db::OpenMode::forWrite);
//     if (!ok(line.status())) return line.status();
//     line->setEndPoint({10, 0});
//
// Rules: any number of read handles may be open at once; a write handle excludes every other
// handle (wasOpenForWrite / wasOpenForRead). Opening an erased object fails with wasErased
// unless `openErased` is true. A null id gives nullObjectId, an object of another class
// wrongObjectType. Through a read handle every setter returns notOpenForWrite.
#include "zhost/db/object.h"

#include <utility>

namespace zhost::db {

// The untyped primitives behind ObjectPtr. openObject gives the object and counts the open;
// every successful openObject must be matched by one closeObject with the same mode.
Status openObject(ObjectId id, OpenMode mode, DbObject*& out, bool openErased = false);
Status closeObject(ObjectId id, OpenMode mode);
// Changes an open read handle into a write handle (fails when other readers exist) and back.
Status upgradeOpen(ObjectId id);
Status downgradeOpen(ObjectId id);

template <class T> class ObjectPtr {
public:
    ObjectPtr() = default;
    ObjectPtr(ObjectId id, OpenMode mode, bool openErased = false) { open(id, mode, openErased); }
    ~ObjectPtr() { close(); }

    ObjectPtr(const ObjectPtr&) = delete;
    ObjectPtr& operator=(const ObjectPtr&) = delete;
    ObjectPtr(ObjectPtr&& o) noexcept
        : obj_(std::exchange(o.obj_, nullptr)), id_(o.id_), mode_(o.mode_), status_(o.status_) {}
    ObjectPtr& operator=(ObjectPtr&& o) noexcept {
        if (this != &o) {
            close();
            obj_ = std::exchange(o.obj_, nullptr);
            id_ = o.id_;
            mode_ = o.mode_;
            status_ = o.status_;
        }
        return *this;
    }

    // Closes what this handle held and opens `id`. The status is also kept for status().
    Status open(ObjectId id, OpenMode mode, bool openErased = false) {
        close();
        id_ = id;
        mode_ = mode;
        DbObject* o = nullptr;
        status_ = openObject(id, mode, o, openErased);
        if (ok(status_)) {
            obj_ = dynamic_cast<T*>(o);
            if (!obj_) {
                closeObject(id, mode);
                status_ = Status::wrongObjectType;
            }
        }
        return status_;
    }
    // Closes early; harmless when nothing is open.
    Status close() {
        if (!obj_)
            return Status::ok;
        obj_ = nullptr;
        return closeObject(id_, mode_);
    }
    Status upgradeOpen() {
        if (!obj_)
            return Status::nullObjectId;
        Status s = db::upgradeOpen(id_);
        if (ok(s))
            mode_ = OpenMode::forWrite;
        return s;
    }
    Status downgradeOpen() {
        if (!obj_)
            return Status::nullObjectId;
        Status s = db::downgradeOpen(id_);
        if (ok(s))
            mode_ = OpenMode::forRead;
        return s;
    }

    Status status() const { return status_; }
    bool isOpen() const { return obj_ != nullptr; }
    explicit operator bool() const { return obj_ != nullptr; }
    OpenMode mode() const { return mode_; }
    ObjectId id() const { return id_; }

    T* get() const { return obj_; }
    T* operator->() const { return obj_; }
    T& operator*() const { return *obj_; }

private:
    T* obj_ = nullptr;
    ObjectId id_;
    OpenMode mode_ = OpenMode::forRead;
    Status status_ = Status::nullObjectId;
};

// The platform-flavoured spelling: db::open<db::Line>(id, OpenMode::forRead, ptr).
template <class T>
Status open(ObjectId id, OpenMode mode, ObjectPtr<T>& out, bool openErased = false) {
    return out.open(id, mode, openErased);
}

} // namespace zhost::db

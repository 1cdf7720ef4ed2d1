#pragma once
// A textual dump of objects and whole databases: one object per paragraph with every property.
// Tests compare dumps to check that undo and round trips restore a drawing exactly.
#include "zhost/db/object.h"
#include "zhost/geom/curve.h"
#include "zhost/geom/point3d.h"

#include <string>

namespace zhost::db {

class DumpWriter {
public:
    void field(std::wstring_view name, std::wstring_view value);
    void field(std::wstring_view name, const wchar_t* value) {
        field(name, std::wstring_view(value));
    }
    void field(std::wstring_view name, double value);
    void field(std::wstring_view name, int value);
    void field(std::wstring_view name, bool value);
    void field(std::wstring_view name, const geom::Point3d& p);
    void field(std::wstring_view name, const geom::Vector3d& v);
    void field(std::wstring_view name, ObjectId id); // written as the handle
    void field(std::wstring_view name, const geom::Curve& c);
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

std::wstring dumpObject(const DbObject& object);
// Every object (erased ones included, marked) in slot order, and the variables.
std::wstring dumpDatabase(const Database& db);

} // namespace zhost::db

#pragma once
// Drawing variables (header variables): a typed table with the defaults a metric CAD user
// expects. The editor's system-variable table builds on this for the variables that live in the
// drawing.
#include "zhost/core/status.h"
#include "zhost/geom/point3d.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zhost::db {

enum class VarType { int16, int32, real, string, point2d, point3d };

using VarValue = std::variant<std::int32_t, double, std::wstring, geom::Point3d>;

struct VarInfo {
    std::wstring name; // upper case, without the DXF "$"
    VarType type;
    VarValue defaultValue;
    bool readOnly = false; // derived: DWGNAME, DWGPREFIX, HANDSEED
};

// Every drawing variable the database keeps, in name order.
const std::vector<VarInfo>& drawingVariables();
// The description of one variable (name without case); nullptr when unknown.
const VarInfo* findDrawingVariable(std::wstring_view name);

} // namespace zhost::db

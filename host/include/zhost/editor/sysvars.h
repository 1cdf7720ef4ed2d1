#pragma once
// System variables (acedGetVar / acedSetVar). Session variables (CMDECHO, OSMODE, PICKBOX,
// ERRNO, ...) live in the editor's typed table with the defaults a CAD user expects; drawing
// variables (INSUNITS, PDMODE, TEXTSIZE, LUPREC, DWGNAME, ...) live in the current drawing and
// are reached through the same calls. Names are compared without case.
//
// Values travel as result buffers whose code is the type (rt::int16, rt::int32, rt::real,
// rt::string, rt::point3d); getVar returns the variable's own type. setVar accepts an integer
// for a real variable and an int16/int32 for either integer kind; anything else is a type error.
#include "zhost/core/status.h"
#include "zhost/editor/result.h"
#include "zhost/geom/point3d.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::ed {

// acedGetVar / acedSetVar: normal, or error (unknown name, wrong type, read-only, out of range).
Result getVar(std::wstring_view name, ResBuf& out);
Result setVar(std::wstring_view name, const ResBuf& value);

// Typed access with the reason of a failure: keyNotFound (unknown), invalidInput (wrong type or
// out of range), notApplicable (read-only).
Status getSysVar(std::wstring_view name, ResBuf& out);
Status setSysVar(std::wstring_view name, const ResBuf& value);
Status getVarInt(std::wstring_view name, int& out);
Status getVarReal(std::wstring_view name, double& out);
Status getVarString(std::wstring_view name, std::wstring& out);
Status getVarPoint(std::wstring_view name, geom::Point3d& out);
Status setVarInt(std::wstring_view name, int value);
Status setVarReal(std::wstring_view name, double value);
Status setVarString(std::wstring_view name, std::wstring_view value);
Status setVarPoint(std::wstring_view name, const geom::Point3d& value);

// Parses a value typed for a variable ("1", "2.5", "10,20", text) into its type and sets it
// (the script's @set and the SETVAR command).
Status setVarFromText(std::wstring_view name, std::wstring_view text);
// The value as the command line shows it.
Status varToText(std::wstring_view name, std::wstring& out);

struct SysVarInfo {
    std::wstring name;
    int type; // rt::int16, rt::int32, rt::real, rt::string, rt::point3d
    bool readOnly;
    bool inDrawing; // kept by the drawing (saved with it)
};
// Every variable the host knows, in name order.
std::vector<SysVarInfo> listSysVars();

// Puts every session variable back to its default (a new session; tests).
void resetSessionVars();

} // namespace zhost::ed

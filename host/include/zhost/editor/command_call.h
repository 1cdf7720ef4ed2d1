#pragma once
// Calling host commands by name with their answers, as the platform's acedCommand does:
//
//     ed::command({L"._REGION", ss, L""});
//     ed::command({L"._OFFSET", 2.5, curveId, ed::CmdPoint{side}, L""});
//
// The first item is the command name; English names with the prefixes "._", "_.", "_" and "."
// are accepted. The following items answer the command's prompts in order: strings (keywords,
// "" for Enter), points (UCS), reals, integers, entity ids (picked at a point on the entity),
// selection sets (the whole set, at a selection prompt). The command runs to its end within the
// call; answers it does not ask for are an error, and so is an answer of the wrong kind.
// Prompts and answers are echoed to the transcript only when CMDECHO is 1.
//
// Result::normal when the command completed, error when it failed (unknown name, wrong answers,
// the command reported a failure) or waited for an answer that was not given (the command is
// then cancelled).
#include "zhost/db/object_id.h"
#include "zhost/editor/result.h"
#include "zhost/geom/point3d.h"

#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

namespace zhost::ed {

class SelectionSet;

// A point answer; a distinct type so that {x, y} is never read as two numbers.
struct CmdPoint {
    geom::Point3d p;
};

// One item of a command call. Integers and reals are given as they are.
struct CommandArg {
    std::variant<std::wstring, geom::Point3d, double, int, db::ObjectId, const SelectionSet*> v;

    CommandArg(const wchar_t* s) : v(std::wstring(s)) {}
    CommandArg(std::wstring s) : v(std::move(s)) {}
    CommandArg(std::wstring_view s) : v(std::wstring(s)) {}
    CommandArg(const CmdPoint& p) : v(p.p) {}
    CommandArg(const geom::Point3d& p) : v(p) {}
    CommandArg(double d) : v(d) {}
    CommandArg(int i) : v(i) {}
    CommandArg(db::ObjectId id) : v(id) {}
    CommandArg(const SelectionSet& ss) : v(&ss) {}
};

Result command(std::initializer_list<CommandArg> args);
Result commandList(const std::vector<CommandArg>& args);

} // namespace zhost::ed

#pragma once
// Parametric blocks: the host's stand-in for dynamic blocks. A block definition declares named
// parameters, each with an expression (numbers, + - * / ^, parentheses, comparisons, ?:, the
// functions of muParser such as sin, sqrt, min, max, and other parameters). Entity properties
// inside the definition are bound to expressions of those parameters. Evaluating recomputes the
// bound properties.
//
// A reference to a parametric block owns its parameter values: the first change of a parameter
// through the reference (or evaluate on it) gives the reference a private anonymous copy of the
// definition ("*U<n>"), which remembers its base definition, and the values live there.
//
// Everything is stored as extended data of the application "ZHOST_PARAM" (layout in
// docs/parametric-blocks.md), so drawings carry it through DXF unchanged and undo covers it.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"

#include <string>
#include <vector>

namespace zhost::db::param {

inline constexpr const wchar_t* kAppName = L"ZHOST_PARAM";

// What went wrong, with the position (0-based, in the expression) muParser reported.
struct ParamError {
    Status status = Status::ok;
    std::wstring message;   // English, e.g. "LEN: unknown name \"LNE\" at position 0"
    std::wstring parameter; // the parameter (or bound property) whose expression failed
    std::wstring expression;
    std::wstring token;
    int position = -1;
};

struct ParameterInfo {
    std::wstring name;
    std::wstring expression;
    double value = 0; // as last evaluated
};

// A bound property of an entity. Properties (case-insensitive keys):
//   "START.X" "START.Y" "START.Z" "END.X" ... (line), "CENTER.X" "CENTER.Y" "RADIUS"
//   "START_ANGLE" "END_ANGLE" (degrees; arc), "V<i>.X" "V<i>.Y" "BULGE<i>" (polyline vertex i,
//   from 0), "POSITION.X" "POSITION.Y" (point, text, block reference, attribute definition),
//   "HEIGHT" "ROTATION" (degrees) "TEXT" (text: the expression is a template, "{expr}" parts are
//   replaced by their values), "SCALE.X" "SCALE.Y" (block reference), "VISIBLE" (non-zero shows),
//   "COLOR", "LAYER" and "LINETYPE" (the value, rounded, indexes `choices`, clamped to it).
struct Binding {
    std::wstring property;
    std::wstring expression;
    std::vector<std::wstring> choices = {}; // for LAYER and LINETYPE
};

// --- Definitions ---------------------------------------------------------------------------------
// Whether a block (or the block of a reference) declares parameters.
bool isParametric(ObjectId blockOrRefId);
// Adds or replaces a parameter of a definition. The expression is checked for syntax
// (parseError with position); unknown names and cycles are reported by evaluate.
Status setParameter(ObjectId blockId, std::wstring_view name, std::wstring_view expression,
                    ParamError* error = nullptr);
Status removeParameter(ObjectId blockId, std::wstring_view name);
// Binds (or, with an empty expression, unbinds) an entity property inside a definition.
Status setBinding(ObjectId entityId, const Binding& binding, ParamError* error = nullptr);
Status bindings(ObjectId entityId, std::vector<Binding>& out);

// --- Definitions and references
// -------------------------------------------------------------------- The parameter names in
// declaration order (of the reference's own values when it has them).
Status parameterNames(ObjectId blockOrRefId, std::vector<std::wstring>& out);
Status parameters(ObjectId blockOrRefId, std::vector<ParameterInfo>& out);
Status parameterValue(ObjectId blockOrRefId, std::wstring_view name, double& out);
// Sets a parameter's expression (keyNotFound for an unknown parameter, parseError with position
// for a bad expression). On a reference this first gives it its private copy. The new expression
// is checked by a trial evaluation: unknown names and cycles fail and leave the old expression.
Status setParameterExpression(ObjectId blockOrRefId, std::wstring_view name,
                              std::wstring_view expression, ParamError* error = nullptr);
// Evaluates all parameters in dependency order and writes the bound properties of the
// definition (or of the reference's private copy). keyNotFound for unknown names, parseError
// for syntax, invalidInput for a dependency cycle; the error says which and where.
Status evaluate(ObjectId blockOrRefId, ParamError* error = nullptr);

// The definition a reference's private copy was made from (the block itself for a plain one).
Status baseDefinition(ObjectId refId, ObjectId& outBlockId);
// Makes a static block named `name` from the reference's current geometry: a copy of its block
// without any parametric data; the reference is pointed at it.
Status makeStatic(ObjectId refId, std::wstring_view name, ObjectId& outBlockId);
// Removes every parametric record from a block and its entities.
Status stripParametricData(ObjectId blockId);

} // namespace zhost::db::param

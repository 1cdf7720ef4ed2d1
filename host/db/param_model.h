#pragma once
// The parametric model as read from (and written to) "ZHOST_PARAM" extended data, and the
// engine that compiles and evaluates it. See docs/parametric-blocks.md for the layout.
#include "zhost/db/parametric.h"
#include "zhost/db/xdata.h"

#include <string>
#include <vector>

namespace zhost::db {
class BlockTableRecord;
class DbObject;
} // namespace zhost::db

namespace zhost::db::param {

struct ParamDecl {
    std::wstring name, expression;
    double value = 0;
};

struct BlockParams {
    bool present = false;
    std::vector<ParamDecl> params;
    Handle base;  // private copies: the definition they were made from
    Handle owner; // private copies: the reference that owns them
};

// Reading and writing the records. Malformed data reads as far as it is sound.
BlockParams readBlockParams(const DbObject& block);
XData writeBlockParams(const BlockParams& p);
std::vector<Binding> readBindings(const DbObject& entity);
XData writeBindings(const std::vector<Binding>& b);

// The property a binding key names, parsed once.
enum class Prop {
    startX,
    startY,
    startZ,
    endX,
    endY,
    endZ,
    centerX,
    centerY,
    centerZ,
    radius,
    startAngle,
    endAngle,
    vertexX,
    vertexY,
    bulge,
    positionX,
    positionY,
    positionZ,
    height,
    rotation,
    text,
    scaleX,
    scaleY,
    visible,
    color,
    layer,
    linetype
};
// False for an unknown key; `index` gets the vertex number of V<i>/BULGE<i> keys.
bool parseProperty(std::wstring_view key, Prop& prop, int& index);

// Syntax check of one expression (names are not resolved).
Status checkSyntax(const std::wstring& owner, const std::wstring& expression, ParamError* error);

// Evaluates a block: computes its parameters and writes its bound properties (when `apply`).
// `values` gets the parameter values in declaration order.
Status evaluateBlock(ObjectId blockId, bool apply, std::vector<double>* values, ParamError* error);

// Fills an error and returns its status.
Status fail(ParamError* error, Status s, std::wstring parameter, std::wstring message,
            std::wstring expression = {}, std::wstring token = {}, int position = -1);

} // namespace zhost::db::param

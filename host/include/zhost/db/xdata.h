#pragma once
// Extended data: per registered application, a chain of result buffers as the platform's resbuf
// lists carry them. A chain for one application starts with its 1001 item (the application name)
// and holds items of these group codes:
//   1000 string, 1001 application name, 1002 control string "{" or "}", 1003 layer name,
//   1004 binary chunk (hex text), 1005 database handle (hex text), 1010-1013 points,
//   1040-1042 reals (distance, scale factor), 1070 16-bit integer, 1071 32-bit integer.
#include "zhost/core/status.h"
#include "zhost/geom/point3d.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zhost::db {

namespace xcode {
inline constexpr int string = 1000;
inline constexpr int appName = 1001;
inline constexpr int control = 1002;
inline constexpr int layerName = 1003;
inline constexpr int binary = 1004;
inline constexpr int handle = 1005;
inline constexpr int point = 1010;
inline constexpr int worldPosition = 1011;
inline constexpr int worldDisplacement = 1012;
inline constexpr int worldDirection = 1013;
inline constexpr int real = 1040;
inline constexpr int distance = 1041;
inline constexpr int scaleFactor = 1042;
inline constexpr int int16 = 1070;
inline constexpr int int32 = 1071;
} // namespace xcode

// The kind of value a group code carries.
enum class ResType { none, string, real, integer, point };
ResType resTypeOf(int groupCode);

// One item of a chain.
struct ResBuf {
    int code = 0;
    std::variant<std::monostate, std::wstring, double, std::int32_t, geom::Point3d> value;

    ResBuf() = default;
    ResBuf(int c, std::wstring s) : code(c), value(std::move(s)) {}
    ResBuf(int c, const wchar_t* s) : code(c), value(std::wstring(s)) {}
    ResBuf(int c, double d) : code(c), value(d) {}
    ResBuf(int c, std::int32_t i) : code(c), value(i) {}
    ResBuf(int c, const geom::Point3d& p) : code(c), value(p) {}

    // Typed readers; a value of another kind reads as empty / 0 / origin.
    const std::wstring& str() const;
    double real() const; // integers read as their value too
    std::int32_t integer() const;
    geom::Point3d point() const;

    bool operator==(const ResBuf& o) const { return code == o.code && value == o.value; }
};

// A chain of items: the data of one or several applications, each starting with its 1001 item.
using XData = std::vector<ResBuf>;

// Builders for the usual items.
inline ResBuf xApp(std::wstring name) {
    return {xcode::appName, std::move(name)};
}
inline ResBuf xString(std::wstring s) {
    return {xcode::string, std::move(s)};
}
inline ResBuf xInt16(int v) {
    return {xcode::int16, std::int32_t(std::int16_t(v))};
}
inline ResBuf xInt32(std::int32_t v) {
    return {xcode::int32, v};
}
inline ResBuf xReal(double v) {
    return {xcode::real, v};
}
inline ResBuf xPoint(const geom::Point3d& p) {
    return {xcode::point, p};
}
inline ResBuf xOpen() {
    return {xcode::control, L"{"};
}
inline ResBuf xClose() {
    return {xcode::control, L"}"};
}

// Checks a chain as setXData takes it: it starts with a 1001 item, every code is an extended-data
// code whose value has the right kind, 1070 values fit 16 bits, control strings are "{" or "}"
// and balance within each application. invalidInput otherwise.
Status validateXData(const XData& chain);

// Splits a chain into the chains of its applications (each starting with its 1001 item).
std::vector<XData> splitByApplication(const XData& chain);

} // namespace zhost::db

#pragma once
// The tag level of ASCII DXF: a file is a sequence of (group code, value) line pairs. The
// tokenizer splits a whole file held in memory into tags in one pass, without copying any value:
// a tag points into the text. Comments (group code 999) are counted, not kept.
#include "zhost/core/status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::dxf {

// One tag. Numeric values are parsed by the tokenizer (so a bad number fails the whole read
// before anything is built); the text stays in the file buffer.
struct Tag {
    std::int32_t code = 0;
    std::uint32_t line = 0; // 1-based line of the group code
    const char* data = nullptr;
    std::uint32_t size = 0;
    union {
        double real;
        std::int64_t integer;
    } num{0.0};

    std::string_view value() const { return {data, size}; }
    bool is(int c, std::string_view v) const { return code == c && value() == v; }
    double real() const { return num.real; }
    std::int64_t integer() const { return num.integer; }
    // Integers clamped into int range (counts, flags, colours).
    int i32() const {
        return num.integer > 2147483647    ? 2147483647
               : num.integer < -2147483647 ? -2147483647
                                           : int(num.integer);
    }
    std::uint64_t handle() const; // 0 for text that is not a handle
};

// The result type a group code's value has.
enum class TagKind { string, real, integer, handle };
TagKind tagKindOf(int code);

struct TokenizeResult {
    Status status = Status::ok;
    std::wstring message; // "line N: ..." on failure
    int errorLine = 0;
    // The line where text after the "0/EOF" tag starts (0 when nothing but blanks follows it).
    // Tokenizing stops at EOF: what programs append after it is no part of the drawing.
    std::uint32_t textAfterEof = 0;
    // Comments (999): how many, and the line of the first; the reader reports them.
    std::uint32_t comments = 0;
    std::uint32_t firstComment = 0;
};

// Splits `text` into tags (appended to `out`). Accepts LF and CRLF line ends and a UTF-8
// byte-order mark. Fails with parseError for a group code that is not a number, a numeric value
// that is not a finite number in range, a file that ends after a group code, or binary DXF.
TokenizeResult tokenize(std::string_view text, std::vector<Tag>& out);

// Number parsing for tag values: surrounding blanks allowed; false for text that is not a finite
// number in range.
bool parseReal(std::string_view text, double& out);
bool parseInt(std::string_view text, std::int64_t& out);
bool parseHex(std::string_view text, std::uint64_t& out);

} // namespace zhost::dxf

#pragma once
// Writes tags (group code line, value line) into a string buffer. Numbers are written with the
// shortest text that reads back exactly.
#include "text_codec.h"

#include "zhost/geom/point3d.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace zhost::dxf {

class TagWriter {
public:
    TagWriter(std::string& out, int codePage) : out_(out), enc_(codePage) {}

    void str(int code, std::string_view ascii) {
        codeLine(code);
        out_ += ascii;
        out_ += '\n';
    }
    void text(int code, std::wstring_view text) {
        codeLine(code);
        enc_.encodeInto(text, out_);
        out_ += '\n';
    }
    // Already encoded bytes (cached names).
    void bytes(int code, const std::string& b) { str(code, b); }
    void real(int code, double v) {
        codeLine(code);
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v);
        out_.append(buf, r.ptr);
        out_ += '\n';
    }
    void integer(int code, std::int64_t v) {
        codeLine(code);
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_.append(buf, r.ptr);
        out_ += '\n';
    }
    void handle(int code, std::uint64_t h) {
        codeLine(code);
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, h, 16);
        for (char* p = buf; p != r.ptr; ++p)
            out_ += (*p >= 'a' && *p <= 'f') ? char(*p - 32) : *p;
        out_ += '\n';
    }
    void point(int code, const geom::Point3d& p) {
        real(code, p.x);
        real(code + 10, p.y);
        real(code + 20, p.z);
    }
    void point2(int code, double x, double y) {
        real(code, x);
        real(code + 10, y);
    }
    void vector(int code, const geom::Vector3d& v) { point(code, {v.x, v.y, v.z}); }
    const TextEncoder& encoder() const { return enc_; }
    std::string encode(std::wstring_view t) const {
        std::string s;
        enc_.encodeInto(t, s);
        return s;
    }

private:
    // Group codes right-aligned in three columns, as the platform writes them.
    void codeLine(int code) {
        if (code >= 0 && code < 10)
            out_ += "  ";
        else if (code >= 10 && code < 100)
            out_ += ' ';
        char buf[12];
        const auto r = std::to_chars(buf, buf + sizeof buf, code);
        out_.append(buf, r.ptr);
        out_ += '\n';
    }

    std::string& out_;
    TextEncoder enc_;
};

} // namespace zhost::dxf

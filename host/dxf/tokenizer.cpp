#include "tokenizer.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace zhost::dxf {

TagKind tagKindOf(int c) {
    if ((c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) ||
        (c >= 460 && c <= 469) || (c >= 1010 && c <= 1059))
        return TagKind::real;
    if ((c >= 60 && c <= 99) || (c >= 160 && c <= 179) || (c >= 270 && c <= 299) ||
        (c >= 370 && c <= 389) || (c >= 400 && c <= 409) || (c >= 420 && c <= 429) ||
        (c >= 440 && c <= 459) || (c >= 1060 && c <= 1071))
        return TagKind::integer;
    if (c == 5 || c == 105 || (c >= 320 && c <= 369) || (c >= 390 && c <= 399) ||
        (c >= 480 && c <= 481) || c == 1005)
        return TagKind::handle;
    return TagKind::string;
}

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::wstring lineMessage(std::uint32_t line, const char* what) {
    std::wstring m = L"line " + std::to_wstring(line) + L": ";
    for (const char* p = what; *p; ++p)
        m += wchar_t(*p);
    return m;
}

} // namespace

bool parseReal(std::string_view text, double& out) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

bool parseInt(std::string_view text, std::int64_t& out) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    if (r.ec == std::errc() && r.ptr == text.data() + text.size())
        return true;
    // Some writers put reals where integers belong ("1.0"): take them when they are whole.
    double d;
    if (!parseReal(text, d) || d != std::floor(d) || std::abs(d) > 9.2e18)
        return false;
    out = std::int64_t(d);
    return true;
}

bool parseHex(std::string_view text, std::uint64_t& out) {
    text = trimBlanks(text);
    if (text.empty() || text.size() > 16)
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out, 16);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

std::uint64_t Tag::handle() const {
    std::uint64_t h = 0;
    return parseHex(value(), h) ? h : 0;
}

TokenizeResult tokenize(std::string_view text, std::vector<Tag>& out) {
    TokenizeResult res;
    const char* p = text.data();
    const char* const end = p + text.size();
    if (text.size() >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0)
        p += 3;
    static constexpr char kBinarySentinel[] = "AutoCAD Binary DXF";
    if (std::size_t(end - p) >= sizeof kBinarySentinel - 1 &&
        std::memcmp(p, kBinarySentinel, sizeof kBinarySentinel - 1) == 0) {
        res.status = Status::parseError;
        res.errorLine = 1;
        res.message = lineMessage(1, "binary DXF is not supported; save the drawing as ASCII DXF");
        return res;
    }
    // A tag takes at least four bytes; untouched reserved pages cost nothing.
    out.reserve(out.size() + text.size() / 4);
    std::uint32_t line = 1;
    auto nextLine = [&](std::string_view& s) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* e = nl ? nl : end;
        s = std::string_view(p, std::size_t(e - p));
        if (!s.empty() && s.back() == '\r')
            s.remove_suffix(1);
        p = nl ? nl + 1 : end;
    };
    while (p < end) {
        std::string_view codeText, value;
        nextLine(codeText);
        const std::uint32_t codeLine = line;
        const std::string_view trimmed = trimBlanks(codeText);
        if (trimmed.empty() && p >= end)
            break; // a blank last line
        std::int32_t code = 0;
        bool codeOk = !trimmed.empty() && trimmed.size() <= 9;
        std::size_t k = 0;
        const bool negative = codeOk && trimmed[0] == '-';
        for (k = negative ? 1 : 0; codeOk && k < trimmed.size(); ++k) {
            const char c = trimmed[k];
            codeOk = c >= '0' && c <= '9';
            code = code * 10 + (c - '0');
        }
        if (negative)
            code = -code;
        if (!codeOk || (negative && trimmed.size() == 1)) {
            res.status = Status::parseError;
            res.errorLine = int(codeLine);
            res.message = lineMessage(codeLine, "a group code was expected");
            return res;
        }
        if (p >= end) {
            res.status = Status::parseError;
            res.errorLine = int(codeLine);
            res.message = lineMessage(codeLine, "the file ends after a group code");
            return res;
        }
        nextLine(value);
        line += 2;
        if (code == 999) {
            if (res.comments++ == 0)
                res.firstComment = codeLine;
            continue;
        }
        Tag tag{code, codeLine, value.data(), std::uint32_t(value.size()), {0.0}};
        const TagKind kind = tagKindOf(code);
        if (kind == TagKind::real) {
            if (!parseReal(value, tag.num.real)) {
                res.status = Status::parseError;
                res.errorLine = int(codeLine + 1);
                res.message = lineMessage(codeLine + 1, "a finite number was expected");
                return res;
            }
        } else if (kind == TagKind::integer) {
            if (!parseInt(value, tag.num.integer)) {
                res.status = Status::parseError;
                res.errorLine = int(codeLine + 1);
                res.message = lineMessage(codeLine + 1, "an integer was expected");
                return res;
            }
        }
        out.push_back(tag);
        if (code == 0 && trimBlanks(value) == "EOF") {
            for (const char* q = p; q < end; ++q)
                if (*q != ' ' && *q != '\t' && *q != '\r' && *q != '\n' && *q != '\x1a') {
                    res.textAfterEof = line;
                    break;
                }
            break;
        }
    }
    return res;
}

} // namespace zhost::dxf

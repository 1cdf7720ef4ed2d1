// The printf-style formatter behind ed::format and ed::printf. Conversions are handed to the C
// library one at a time with a narrow format built here, so the wide-string rule of the add-on's
// home platform ("%s" is a wide string) holds on every C library, and a conversion that does not
// fit its argument cannot read past the arguments.
#include "zhost/editor/format.h"

#include "zhost/core/utf.h"

#include <cstdio>
#include <cwctype>
#include <string>

namespace zhost::ed {
namespace {

constexpr std::wstring_view kBadFormat = L"(bad format)";

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool starWidth = false, starPrecision = false;
    wchar_t conv = 0;
    bool narrowString = false; // "%hs"
    bool wideChar = false;     // "%lc" / "%C"
};

std::wstring widen(const char* s) {
    std::wstring out;
    while (*s)
        out += wchar_t(static_cast<unsigned char>(*s++));
    return out;
}

std::string numberFormat(const Spec& s, const char* lengthAndConv) {
    std::string f = "%" + s.flags;
    if (s.width >= 0)
        f += std::to_string(s.width);
    if (s.precision >= 0)
        f += "." + std::to_string(s.precision);
    f += lengthAndConv;
    return f;
}

template <class T> std::wstring cformat(const std::string& f, T value) {
    char buf[512];
    int n = std::snprintf(buf, sizeof buf, f.c_str(), value);
    if (n < 0)
        return std::wstring(kBadFormat);
    if (n >= int(sizeof buf)) {
        std::string big(size_t(n) + 1, '\0');
        std::snprintf(big.data(), big.size(), f.c_str(), value);
        big.resize(size_t(n));
        return widen(big.c_str());
    }
    return widen(buf);
}

std::wstring padText(const Spec& s, std::wstring text) {
    if (s.precision >= 0 && text.size() > size_t(s.precision))
        text.resize(size_t(s.precision));
    if (s.width > 0 && text.size() < size_t(s.width)) {
        const std::wstring pad(size_t(s.width) - text.size(), L' ');
        text = s.flags.find('-') != std::string::npos ? text + pad : pad + text;
    }
    return text;
}

std::wstring convert(const Spec& s, const FormatArg& a) {
    using K = FormatArg::Kind;
    switch (s.conv) {
    case L'd':
    case L'i':
        if (a.kind == K::integer)
            return cformat(numberFormat(s, "lld"), a.i);
        if (a.kind == K::unsignedInteger)
            return cformat(numberFormat(s, "lld"), static_cast<long long>(a.u));
        return std::wstring(kBadFormat);
    case L'u':
    case L'x':
    case L'X':
    case L'o': {
        const char conv[4] = {'l', 'l', char(s.conv), 0};
        if (a.kind == K::integer || a.kind == K::unsignedInteger)
            return cformat(numberFormat(s, conv), a.u);
        return std::wstring(kBadFormat);
    }
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G': {
        const char conv[2] = {char(s.conv), 0};
        if (a.kind == K::real)
            return cformat(numberFormat(s, conv), a.d);
        if (a.kind == K::integer)
            return cformat(numberFormat(s, conv), double(a.i));
        return std::wstring(kBadFormat);
    }
    case L'c':
    case L'C':
        if (a.kind == K::integer || a.kind == K::unsignedInteger)
            return padText(Spec{s.flags, s.width, -1}, std::wstring(1, wchar_t(a.i)));
        return std::wstring(kBadFormat);
    case L's':
    case L'S':
        if (a.kind == K::wide)
            return padText(s, std::wstring(a.wide));
        if (a.kind == K::narrow)
            return padText(s, fromUtf8(a.narrow));
        return std::wstring(kBadFormat);
    case L'p':
        if (a.kind == K::pointer || a.kind == K::wide || a.kind == K::narrow)
            return cformat("%p", a.p);
        return std::wstring(kBadFormat);
    default:
        return std::wstring(kBadFormat);
    }
}

// Parses one conversion starting after '%'; returns the index after it or npos when malformed.
size_t parseSpec(std::wstring_view f, size_t i, Spec& s) {
    while (i < f.size() && std::wstring_view(L"-+ #0").find(f[i]) != std::wstring_view::npos)
        s.flags += char(f[i++]);
    if (i < f.size() && f[i] == L'*') {
        s.starWidth = true;
        ++i;
    } else {
        while (i < f.size() && std::iswdigit(f[i]))
            s.width = std::max(s.width, 0) * 10 + (f[i++] - L'0');
    }
    if (i < f.size() && f[i] == L'.') {
        ++i;
        s.precision = 0;
        if (i < f.size() && f[i] == L'*') {
            s.starPrecision = true;
            ++i;
        } else {
            while (i < f.size() && std::iswdigit(f[i]))
                s.precision = s.precision * 10 + (f[i++] - L'0');
        }
    }
    // Length prefixes: the argument's own type decides, so they are only skipped ("h" before
    // "s" asks for a narrow string on the home platform; both kinds are accepted anyway).
    while (i < f.size()) {
        if (f[i] == L'h' || f[i] == L'l' || f[i] == L'L' || f[i] == L'q' || f[i] == L'j' ||
            f[i] == L'z' || f[i] == L't' || f[i] == L'w') {
            if (f[i] == L'h')
                s.narrowString = true;
            ++i;
        } else if (f.substr(i, 3) == L"I64" || f.substr(i, 3) == L"I32") {
            i += 3;
        } else {
            break;
        }
    }
    if (i >= f.size())
        return std::wstring_view::npos;
    s.conv = f[i];
    return i + 1;
}

} // namespace

std::wstring formatArgs(std::wstring_view f, const FormatArg* args, std::size_t count) {
    std::wstring out;
    out.reserve(f.size() + 16);
    size_t next = 0;
    auto takeInt = [&](int& v) {
        if (next < count && args[next].kind == FormatArg::Kind::integer) {
            v = int(args[next++].i);
            return true;
        }
        ++next;
        return false;
    };
    for (size_t i = 0; i < f.size();) {
        if (f[i] != L'%') {
            out += f[i++];
            continue;
        }
        if (i + 1 < f.size() && f[i + 1] == L'%') {
            out += L'%';
            i += 2;
            continue;
        }
        Spec s;
        const size_t end = parseSpec(f, i + 1, s);
        if (end == std::wstring_view::npos) {
            out += kBadFormat;
            break;
        }
        i = end;
        bool good = true;
        if (s.starWidth) {
            good = takeInt(s.width) && good;
            if (s.width < 0) {
                s.flags += '-';
                s.width = -s.width;
            }
        }
        if (s.starPrecision)
            good = takeInt(s.precision) && good;
        if (!good || next >= count) {
            out += kBadFormat;
            ++next;
            continue;
        }
        out += convert(s, args[next++]);
    }
    return out;
}

} // namespace zhost::ed

#pragma once
// printf-style formatting with the platform's wide-format rules: "%s" takes a wide string (as on
// the add-on's home platform; "%hs" a narrow UTF-8 one), "%d %i %u %x %X %c %f %e %g %%" with
// flags, width, precision, "*" and the length prefixes h, l, ll, I64. Arguments are checked at
// run time: a conversion that does not fit its argument, or a missing argument, prints
// "(bad format)" in its place instead of reading garbage.
//
// The format must be a literal: LiteralFormat has a consteval constructor, so a string that comes
// from data cannot be used as a format by accident. Print data with print(text) or with "%s".
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace zhost::ed {

class LiteralFormat {
public:
    template <std::size_t N>
    consteval LiteralFormat(const wchar_t (&text)[N]) : text_(text), size_(N - 1) {}
    std::wstring_view view() const { return {text_, size_}; }

private:
    const wchar_t* text_;
    std::size_t size_;
};

// One argument, as the formatter sees it.
struct FormatArg {
    enum class Kind { integer, unsignedInteger, real, wide, narrow, pointer };
    Kind kind;
    union {
        long long i;
        unsigned long long u;
        double d;
        const void* p;
    };
    std::wstring_view wide;
    std::string_view narrow;

    FormatArg(bool v) : kind(Kind::integer), i(v) {}
    FormatArg(char v) : kind(Kind::integer), i(v) {}
    FormatArg(wchar_t v) : kind(Kind::integer), i(v) {}
    FormatArg(short v) : kind(Kind::integer), i(v) {}
    FormatArg(int v) : kind(Kind::integer), i(v) {}
    FormatArg(long v) : kind(Kind::integer), i(v) {}
    FormatArg(long long v) : kind(Kind::integer), i(v) {}
    FormatArg(unsigned short v) : kind(Kind::unsignedInteger), u(v) {}
    FormatArg(unsigned v) : kind(Kind::unsignedInteger), u(v) {}
    FormatArg(unsigned long v) : kind(Kind::unsignedInteger), u(v) {}
    FormatArg(unsigned long long v) : kind(Kind::unsignedInteger), u(v) {}
    FormatArg(float v) : kind(Kind::real), d(v) {}
    FormatArg(double v) : kind(Kind::real), d(v) {}
    FormatArg(const wchar_t* v) : kind(Kind::wide), p(v), wide(v ? v : L"(null)") {}
    FormatArg(wchar_t* v) : FormatArg(static_cast<const wchar_t*>(v)) {}
    FormatArg(const std::wstring& v) : kind(Kind::wide), p(v.c_str()), wide(v) {}
    FormatArg(std::wstring_view v) : kind(Kind::wide), p(v.data()), wide(v) {}
    FormatArg(const char* v) : kind(Kind::narrow), p(v), narrow(v ? v : "(null)") {}
    FormatArg(const std::string& v) : kind(Kind::narrow), p(v.c_str()), narrow(v) {}
    FormatArg(const void* v) : kind(Kind::pointer), p(v) {}
    template <class E>
    requires std::is_enum_v<E> FormatArg(E v)
        : FormatArg(static_cast<std::underlying_type_t<E>>(v)) {}
};

// The formatter behind format() and printf(); the format here may be any text (the literal rule
// is enforced by the public entry points).
std::wstring formatArgs(std::wstring_view format, const FormatArg* args, std::size_t count);

// Like the platform's string Format: format(L"%s_A%d", name, n).
template <class... Args> std::wstring format(LiteralFormat fmt, const Args&... args) {
    if constexpr (sizeof...(Args) == 0) {
        return formatArgs(fmt.view(), nullptr, 0);
    } else {
        const FormatArg list[] = {FormatArg(args)...};
        return formatArgs(fmt.view(), list, sizeof...(Args));
    }
}

} // namespace zhost::ed

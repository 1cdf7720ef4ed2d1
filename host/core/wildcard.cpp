#include "zhost/core/wildcard.h"

#include <string>
#include <vector>

namespace zhost {
namespace {

// Case pairs the host folds: ASCII and full-width Latin, the same set as its name comparison.
wchar_t upper(wchar_t c) {
    if (c >= L'a' && c <= L'z')
        return static_cast<wchar_t>(c - L'a' + L'A');
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<wchar_t>(c - 0xFF41 + 0xFF21);
    return c;
}

wchar_t lower(wchar_t c) {
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c - L'A' + L'a');
    if (c >= 0xFF21 && c <= 0xFF3A)
        return static_cast<wchar_t>(c - 0xFF21 + 0xFF41);
    return c;
}

bool isDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= 0xFF10 && c <= 0xFF19);
}

bool isLetter(wchar_t c) {
    const auto u = static_cast<unsigned long>(c);
    if ((u >= L'A' && u <= L'Z') || (u >= L'a' && u <= L'z'))
        return true;
    if (u < 0xC0)
        return false;
    return (u <= 0x24F && u != 0xD7 && u != 0xF7) // Latin-1 letters and Latin Extended
           || (u >= 0x370 && u <= 0x52F && u != 0x37E && u != 0x387)       // Greek, Cyrillic
           || (u >= 0x3041 && u <= 0x30FF && u != 0x30A0 && u != 0x30FB)   // kana
           || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) // CJK ideographs
           || (u >= 0xAC00 && u <= 0xD7A3)                                 // Hangul
           || (u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A) // full-width Latin
           || (u >= 0xFF66 && u <= 0xFF9D);                                // half-width kana
}

enum class Kind { literal, digit, letter, other, any, star, set };

struct Token {
    Kind kind = Kind::literal;
    wchar_t ch = 0;       // literal
    bool negated = false; // set
    std::wstring pairs;   // set: pairs of (low, high) characters
};

// One alternative of a pattern, compiled. Brackets and escapes are resolved once so that the
// matcher only walks single-character tokens and stars.
struct Alternative {
    bool negated = false;
    std::vector<Token> tokens;
};

// Parses "[...]" starting after the "["; returns the index after the "]" or npos when the set is
// not closed (the "[" is then a literal).
size_t parseSet(std::wstring_view p, size_t i, Token& t) {
    t.kind = Kind::set;
    if (i < p.size() && p[i] == L'~') {
        t.negated = true;
        ++i;
    }
    bool first = true;
    while (i < p.size()) {
        wchar_t c = p[i];
        if (c == L']' && !first)
            return i + 1;
        first = false;
        if (c == L'`' && i + 1 < p.size())
            c = p[++i];
        ++i;
        wchar_t high = c;
        // "a-z" is a range; a "-" before the closing bracket stands for itself.
        if (i + 1 < p.size() && p[i] == L'-' && p[i + 1] != L']') {
            i += 1;
            high = p[i];
            if (high == L'`' && i + 1 < p.size())
                high = p[++i];
            ++i;
        }
        t.pairs += c;
        t.pairs += high;
    }
    return std::wstring_view::npos;
}

Alternative compile(std::wstring_view p) {
    Alternative alt;
    size_t i = 0;
    if (!p.empty() && p[0] == L'~') {
        alt.negated = true;
        i = 1;
    }
    while (i < p.size()) {
        Token t;
        const wchar_t c = p[i];
        switch (c) {
        case L'#':
            t.kind = Kind::digit;
            ++i;
            break;
        case L'@':
            t.kind = Kind::letter;
            ++i;
            break;
        case L'.':
            t.kind = Kind::other;
            ++i;
            break;
        case L'?':
            t.kind = Kind::any;
            ++i;
            break;
        case L'*':
            ++i;
            if (!alt.tokens.empty() && alt.tokens.back().kind == Kind::star)
                continue; // "**" is "*"
            t.kind = Kind::star;
            break;
        case L'`':
            t.ch = i + 1 < p.size() ? p[i + 1] : L'`';
            i += 2;
            break;
        case L'[': {
            const size_t end = parseSet(p, i + 1, t);
            if (end == std::wstring_view::npos) {
                t = Token{};
                t.ch = L'[';
                ++i;
            } else {
                i = end;
            }
            break;
        }
        default:
            t.ch = c;
            ++i;
            break;
        }
        alt.tokens.push_back(std::move(t));
    }
    return alt;
}

bool inSet(const Token& t, wchar_t c, bool ignoreCase) {
    bool found = false;
    for (size_t k = 0; k + 1 < t.pairs.size() && !found; k += 2) {
        const wchar_t lo = t.pairs[k];
        const wchar_t hi = t.pairs[k + 1];
        auto within = [&](wchar_t x) { return x >= lo && x <= hi; };
        found = within(c) || (ignoreCase && (within(upper(c)) || within(lower(c))));
    }
    return found != t.negated;
}

bool matchesOne(const Token& t, wchar_t c, bool ignoreCase) {
    switch (t.kind) {
    case Kind::literal:
        return c == t.ch || (ignoreCase && upper(c) == upper(t.ch));
    case Kind::digit:
        return isDigit(c);
    case Kind::letter:
        return isLetter(c);
    case Kind::other:
        return !isDigit(c) && !isLetter(c);
    case Kind::any:
        return true;
    case Kind::set:
        return inSet(t, c, ignoreCase);
    case Kind::star:
        return false;
    }
    return false;
}

// Greedy match with back-tracking to the last star only: every token but "*" takes exactly one
// character, so the last star is the only choice worth revisiting and the walk is O(n * m).
bool matchTokens(std::wstring_view text, const std::vector<Token>& tokens, bool ignoreCase) {
    size_t ti = 0, pi = 0;
    size_t starPi = std::wstring_view::npos, starTi = 0;
    while (ti < text.size()) {
        if (pi < tokens.size() && tokens[pi].kind == Kind::star) {
            starPi = pi++;
            starTi = ti;
        } else if (pi < tokens.size() && matchesOne(tokens[pi], text[ti], ignoreCase)) {
            ++pi;
            ++ti;
        } else if (starPi != std::wstring_view::npos) {
            pi = starPi + 1;
            ti = ++starTi;
        } else {
            return false;
        }
    }
    while (pi < tokens.size() && tokens[pi].kind == Kind::star)
        ++pi;
    return pi == tokens.size();
}

// Splits at commas that are neither escaped nor inside a closed bracket set.
std::vector<std::wstring_view> alternatives(std::wstring_view p) {
    std::vector<std::wstring_view> out;
    size_t start = 0, i = 0;
    while (i < p.size()) {
        if (p[i] == L'`') {
            i += 2;
        } else if (p[i] == L'[') {
            Token scratch;
            const size_t end = parseSet(p, i + 1, scratch);
            i = end == std::wstring_view::npos ? i + 1 : end;
        } else if (p[i] == L',') {
            out.push_back(p.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    out.push_back(p.substr(start < p.size() ? start : p.size()));
    return out;
}

} // namespace

bool wcMatch(std::wstring_view text, std::wstring_view pattern, bool ignoreCase) {
    for (std::wstring_view part : alternatives(pattern)) {
        const Alternative alt = compile(part);
        if (matchTokens(text, alt.tokens, ignoreCase) != alt.negated)
            return true;
    }
    return false;
}

} // namespace zhost

// Typed answers: numbers, points and keywords.
#include "input_parse.h"

#include "zhost/core/utf.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

namespace zhost::ed::detail {

std::wstring_view trim(std::wstring_view s) {
    while (!s.empty() && std::iswspace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && std::iswspace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool parseReal(std::wstring_view text, double& out) {
    text = trim(text);
    if (text.empty() || text.size() > 64)
        return false;
    // Only plain decimal notation: no hex, no "inf"/"nan" that wcstod would accept.
    for (wchar_t c : text)
        if (!std::iswdigit(c) && c != L'.' && c != L'-' && c != L'+' && c != L'e' && c != L'E')
            return false;
    const std::wstring buf(text);
    wchar_t* end = nullptr;
    const double v = std::wcstod(buf.c_str(), &end);
    if (end == buf.c_str() || *end != 0 || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool parsePointText(std::wstring_view text, geom::Point3d& out) {
    text = trim(text);
    double c[3] = {0, 0, 0};
    int n = 0;
    while (true) {
        const size_t comma = text.find(L',');
        if (n == 3 || !parseReal(text.substr(0, comma), c[n]))
            return false;
        ++n;
        if (comma == std::wstring_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (n < 2)
        return false;
    out = {c[0], c[1], c[2]};
    return true;
}

bool parsePointAnswer(std::wstring_view text, const geom::Point3d& lastPoint, geom::Point3d& out) {
    text = trim(text);
    bool relative = false;
    if (!text.empty() && text.front() == L'@') {
        relative = true;
        text = trim(text.substr(1));
        if (text.empty()) {
            out = lastPoint;
            return true;
        }
    }
    const geom::Point3d base = relative ? lastPoint : geom::Point3d();
    if (const size_t lt = text.find(L'<'); lt != std::wstring_view::npos) {
        double dist = 0, deg = 0;
        if (!parseReal(text.substr(0, lt), dist) || !parseReal(text.substr(lt + 1), deg))
            return false;
        const double a = deg * 3.141592653589793 / 180.0;
        out = base + geom::Vector3d(dist * std::cos(a), dist * std::sin(a), 0);
        return true;
    }
    geom::Point3d p;
    if (!parsePointText(text, p))
        return false;
    out = base + p.asVector();
    return true;
}

bool parseTwoPoints(std::wstring_view text, geom::Point3d& a, geom::Point3d& b) {
    text = trim(text);
    size_t gap = 0;
    while (gap < text.size() && !std::iswspace(text[gap]))
        ++gap;
    if (gap >= text.size())
        return false;
    return parsePointText(text.substr(0, gap), a) && parsePointText(trim(text.substr(gap)), b);
}

std::vector<Keyword> parseKeywords(std::wstring_view list) {
    std::vector<std::wstring> locals, globals;
    bool inGlobals = false;
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && std::iswspace(list[i]))
            ++i;
        size_t j = i;
        while (j < list.size() && !std::iswspace(list[j]))
            ++j;
        if (j > i) {
            std::wstring word(list.substr(i, j - i));
            if (word == L"_") {
                inGlobals = true;
            } else if (!inGlobals && word.front() == L'_') {
                // "_Yes" right after the locals starts the global list with its first name.
                inGlobals = true;
                globals.push_back(word.substr(1));
            } else {
                (inGlobals ? globals : locals).push_back(std::move(word));
            }
        }
        i = j;
    }
    std::vector<Keyword> out;
    for (size_t k = 0; k < locals.size(); ++k)
        out.push_back({locals[k], k < globals.size() ? globals[k] : locals[k]});
    return out;
}

namespace {

// Whether a typed text answers to a keyword: its capital letters typed alone, or a leading part
// of the keyword that reaches at least to its last capital (all of it when it has none... or
// when it is all capitals).
bool answersTo(std::wstring_view keyword, std::wstring_view typed) {
    if (typed.empty())
        return false;
    if (equalsNoCase(keyword, typed))
        return true;
    std::wstring capitals;
    size_t lastCapital = std::wstring_view::npos;
    for (size_t k = 0; k < keyword.size(); ++k)
        if (std::iswupper(keyword[k]) || std::iswdigit(keyword[k])) {
            capitals += keyword[k];
            lastCapital = k;
        }
    if (lastCapital == std::wstring_view::npos)
        return false;
    if (equalsNoCase(capitals, typed))
        return true;
    return typed.size() > lastCapital && typed.size() <= keyword.size() &&
           equalsNoCase(keyword.substr(0, typed.size()), typed);
}

} // namespace

int matchKeyword(const std::vector<Keyword>& keywords, std::wstring_view typed) {
    typed = trim(typed);
    if (typed.empty())
        return -1;
    const bool global = typed.front() == L'_';
    if (global)
        typed.remove_prefix(1);
    for (size_t k = 0; k < keywords.size(); ++k)
        if (answersTo(global ? keywords[k].global : keywords[k].local, typed))
            return int(k);
    return -1;
}

} // namespace zhost::ed::detail

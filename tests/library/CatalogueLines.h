#pragma once
// Builds catalogue lines column by column, so that a test says which column holds what.
#include <map>
#include <string>

namespace libtest {

// A tab-separated line with `fields` fields; the map gives the non-empty ones.
inline std::wstring CatLine(const std::map<int, std::wstring>& columns, int fields = 20) {
    std::wstring line;
    for (int c = 0; c < fields; ++c) {
        if (c > 0)
            line += L'\t';
        const auto it = columns.find(c);
        if (it != columns.end())
            line += it->second;
    }
    return line;
}

} // namespace libtest

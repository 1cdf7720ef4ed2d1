#include "placement/BlockNames.h"

#include "zhost/core/utf.h"
#include "zhost/core/wildcard.h"
#include "zhost/db/database.h"
#include "zhost/db/parametric.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"

#include <algorithm>
#include <cwctype>
#include <string_view>

namespace db = zhost::db;

namespace {

bool IsLayoutName(const std::wstring& name) {
    constexpr std::wstring_view paper = L"*Paper_Space";
    return zhost::equalsNoCase(name, L"*Model_Space") ||
           (name.size() >= paper.size() &&
            zhost::equalsNoCase(std::wstring_view(name).substr(0, paper.size()), paper));
}

// The name as a wildcard pattern that matches only itself: block names may hold characters the
// host's wildcards give a meaning ("#", "@", ".", "-", "~", "[", "]"), and a base name like
// "M3.5" must not list "M3x5_1" or miss its own numbered copies.
std::wstring LiteralPattern(const std::wstring& name) {
    std::wstring out;
    for (wchar_t c : name) {
        if (!(std::iswalnum(c) || c == L'_' || c >= 0x80))
            out += L'`';
        out += c;
    }
    return out;
}

} // namespace

int ListBlockDefinitions(const wchar_t* pattern, std::vector<db::ObjectId>& ids,
                         std::vector<std::wstring>& names) {
    ids.clear();
    names.clear();
    db::Database* d = zhost::ed::workingDatabase();
    if (!d)
        return -1;
    std::vector<db::ObjectId> records;
    {
        db::ObjectPtr<db::BlockTable> table(d->blockTableId(), db::OpenMode::forRead);
        if (!table)
            return -1;
        records = table->recordIds();
    }
    const bool all = pattern == nullptr || *pattern == L'\0';
    for (db::ObjectId id : records) {
        db::ObjectPtr<db::BlockTableRecord> record(id, db::OpenMode::forRead);
        if (!record || IsLayoutName(record->name()))
            continue;
        if (!all && !zhost::wcMatch(record->name(), pattern, true))
            continue;
        ids.push_back(id);
        names.push_back(record->name());
    }
    return static_cast<int>(ids.size());
}

bool MakeUniqueBlockName(const std::wstring& base, std::wstring& name) {
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> taken;
    if (ListBlockDefinitions((LiteralPattern(base) + L"_*").c_str(), ids, taken) < 0)
        return false;
    for (std::wstring& t : taken)
        t = zhost::toUpperName(t);
    std::sort(taken.begin(), taken.end());
    for (int n = 1; n <= kMaxBlockNameNumber; ++n) {
        std::wstring candidate = base + L"_" + std::to_wstring(n);
        if (!std::binary_search(taken.begin(), taken.end(), zhost::toUpperName(candidate))) {
            name = std::move(candidate);
            return true;
        }
    }
    return false;
}

bool FindParameterName(const std::vector<std::wstring>& names, const std::wstring& name,
                       std::wstring* found) {
    for (const std::wstring& n : names) {
        if (zhost::equalsNoCase(n, name)) {
            if (found)
                *found = n;
            return true;
        }
    }
    return false;
}

bool HasBlockParameter(db::ObjectId referenceId, const std::wstring& name) {
    std::vector<std::wstring> names;
    return zhost::ok(db::param::parameterNames(referenceId, names)) &&
           FindParameterName(names, name);
}

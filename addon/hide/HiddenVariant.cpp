#include "hide/HiddenVariant.h"

#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/format.h"
#include "zhost/editor/session.h"

#include <climits>

namespace db = zhost::db;

bool NextHiddenVariantName(const std::wstring& base, std::wstring& name) {
    db::Database* d = zhost::ed::workingDatabase();
    if (d == nullptr)
        return false;
    db::ObjectPtr<db::BlockTable> table(d->blockTableId(), db::OpenMode::forRead);
    if (!table)
        return false;
    for (int n = 1; n < INT_MAX; ++n) {
        std::wstring candidate = zhost::ed::format(L"%s_A%d", base, n);
        if (!table->has(candidate)) {
            name = std::move(candidate);
            return true;
        }
    }
    return false;
}

bool IsHiddenVariantName(const std::wstring& name, std::wstring& base) {
    const size_t underscore = name.rfind(L'_');
    base = underscore == std::wstring::npos ? std::wstring() : name.substr(0, underscore);
    const size_t tail = underscore == std::wstring::npos ? 0 : underscore + 1;
    if (tail >= name.size() || name[tail] != L'A')
        return false;
    for (size_t i = tail + 1; i < name.size(); ++i)
        if (name[i] < L'0' || name[i] > L'9')
            return false;
    return true;
}

#include "database_impl.h"

#include "zhost/core/utf.h"
#include "zhost/db/linetype_file.h"
#include "zhost/db/symbol_tables.h"

#include <fstream>
#include <sstream>

namespace zhost::db {

namespace {
std::wstring trim(std::wstring_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == L' ' || s[a] == L'\t' || s[a] == L'\r'))
        ++a;
    while (b > a && (s[b - 1] == L' ' || s[b - 1] == L'\t' || s[b - 1] == L'\r'))
        --b;
    return std::wstring(s.substr(a, b - a));
}

// Splits the pattern line after "A," at commas outside brackets.
std::vector<std::wstring> splitElements(std::wstring_view s) {
    std::vector<std::wstring> out;
    std::wstring cur;
    int depth = 0;
    for (wchar_t c : s) {
        if (c == L'[')
            ++depth;
        else if (c == L']')
            --depth;
        if (c == L',' && depth == 0) {
            out.push_back(trim(cur));
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!trim(cur).empty())
        out.push_back(trim(cur));
    return out;
}
} // namespace

Status parseLinFile(std::wstring_view text, std::vector<LinetypeDefinition>& out, int* errorLine) {
    out.clear();
    std::wstring line;
    int lineNo = 0;
    LinetypeDefinition* current = nullptr;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t nl = text.find(L'\n', pos);
        if (nl == std::wstring_view::npos)
            nl = text.size();
        line = trim(text.substr(pos, nl - pos));
        pos = nl + 1;
        ++lineNo;
        if (line.empty() || line.starts_with(L";;"))
            continue;
        if (line[0] == L'*') {
            const std::size_t comma = line.find(L',');
            LinetypeDefinition def;
            def.name =
                trim(line.substr(1, comma == std::wstring::npos ? std::wstring::npos : comma - 1));
            if (comma != std::wstring::npos)
                def.description = trim(line.substr(comma + 1));
            if (def.name.empty()) {
                if (errorLine)
                    *errorLine = lineNo;
                return Status::parseError;
            }
            out.push_back(std::move(def));
            current = &out.back();
            continue;
        }
        if (!current || (line[0] != L'A' && line[0] != L'a') || line.size() < 2 ||
            line[1] != L',') {
            if (errorLine)
                *errorLine = lineNo;
            return Status::parseError;
        }
        for (const std::wstring& el : splitElements(line.substr(2))) {
            if (el.starts_with(L"[")) {
                if (current->dashes.empty()) {
                    if (errorLine)
                        *errorLine = lineNo;
                    return Status::parseError;
                }
                current->complexParts.back() = el;
                continue;
            }
            wchar_t* end = nullptr;
            const double v = std::wcstod(el.c_str(), &end);
            if (el.empty() || *end != 0) {
                if (errorLine)
                    *errorLine = lineNo;
                return Status::parseError;
            }
            current->dashes.push_back(v);
            current->complexParts.emplace_back();
        }
        current = nullptr; // one pattern line per linetype
    }
    return Status::ok;
}

Status loadLinetypeFile(Database& db, std::wstring_view name, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Status::fileNotFound;
    std::stringstream ss;
    ss << in.rdbuf();
    if (in.bad())
        return Status::fileError;
    std::string bytes = ss.str();
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    std::vector<LinetypeDefinition> defs;
    Status s = parseLinFile(fromUtf8(bytes), defs);
    if (!ok(s))
        return s;
    const bool all = name == L"*";
    bool found = false;
    for (const LinetypeDefinition& d : defs) {
        if (!all && !equalsNoCase(d.name, name))
            continue;
        found = true;
        ObjectId existing;
        if (ok(db.getLinetypeId(d.name, existing))) {
            if (!all)
                return Status::duplicateKey;
            continue;
        }
        auto rec = std::make_unique<LinetypeTableRecord>(d.name);
        rec->setDescription(d.description);
        std::vector<LinetypeDash> dashes;
        for (std::size_t i = 0; i < d.dashes.size(); ++i)
            dashes.push_back({d.dashes[i], d.complexParts[i]});
        rec->setDashes(std::move(dashes));
        ObjectPtr<LinetypeTable> table(db.linetypeTableId(), OpenMode::forWrite);
        if (!table)
            return table.status();
        ObjectId id;
        s = table->add(std::move(rec), id);
        if (!ok(s))
            return s;
        if (!all)
            break;
    }
    return found ? Status::ok : Status::keyNotFound;
}

} // namespace zhost::db

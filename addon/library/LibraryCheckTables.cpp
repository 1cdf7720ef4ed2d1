#include "library/LibraryCheckTables.h"

#include "library/LibraryCheckReport.h"
#include "library/LibraryFiles.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "zhost/core/utf.h"

namespace {

// Reports about one table stop after this many rows; the rest are counted.
constexpr int kRowsReported = 3;

std::wstring WithoutBlanksAndM(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        if (c != L' ' && c != L'\t' && c != L'\x3000' && c != L'M')
            out += c;
    return out;
}

} // namespace

std::wstring NominalKey(const std::wstring& value) {
    std::wstring key = WithoutBlanksAndM(value);
    return key.substr(0, key.find(L'x'));
}

bool CCheckTables::Read(const std::wstring& name, std::vector<CTableLine>& lines) {
    if (m_missing.count(name))
        return false;
    auto it = m_files.find(name);
    if (it == m_files.end()) {
        std::string bytes;
        if (!ReadLibraryFileBytes(m_paths.m_dataFolder + name, bytes)) {
            m_missing.insert(name);
            return false;
        }
        const std::wstring text = DecodeLibraryText(bytes);
        std::vector<CTableLine> read;
        int number = 0;
        for (size_t pos = 0; pos <= text.size();) {
            size_t end = text.find(L'\n', pos);
            if (end == std::wstring::npos)
                end = text.size();
            CTableLine l{text.substr(pos, end - pos), ++number};
            Trim(l.text);
            if (!l.text.empty())
                read.push_back(std::move(l));
            pos = end + 1;
        }
        it = m_files.emplace(name, std::move(read)).first;
        if (m_used != nullptr)
            m_used->insert(zhost::toUpperName(name));
    }
    lines = it->second;
    return true;
}

bool CCheckTables::RequireFile(const std::wstring& name, const std::wstring& where,
                               const std::wstring& what, std::vector<CTableLine>* lines) {
    std::vector<CTableLine> local;
    if (Read(name, lines ? *lines : local))
        return true;
    if (m_reported.insert(where + L"|" + name).second)
        m_report.Problem(where, what + L": no data file Data\\" + name);
    return false;
}

void CCheckTables::RequireRows(const std::wstring& name, const std::vector<CTableLine>& lines,
                               const std::wstring& what,
                               const std::vector<std::wstring>& nominals) {
    for (const std::wstring& value : nominals) {
        const std::wstring key = NominalKey(value);
        bool found = false;
        for (size_t i = 1; i < lines.size() && !found; ++i) {
            std::vector<std::wstring> fields;
            Split(lines[i].text, fields, L"\t");
            found = zhost::equalsNoCase(WithoutBlanksAndM(fields[0]), key);
        }
        if (!found && m_reported.insert(name + L"|row|" + value).second)
            m_report.Problem(CheckFileName(m_paths.m_dataFolder + name),
                             L"no row for \"" + value + L"\", which " + what + L" looks up");
    }
}

void CCheckTables::RequireFields(const std::wstring& name, size_t field, const std::wstring& where,
                                 const std::wstring& what,
                                 const std::vector<std::wstring>& nominals) {
    std::vector<CTableLine> lines;
    if (!RequireFile(name, where, what, &lines))
        return;
    int shown = 0, more = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::wstring> fields;
        const int n = Split(lines[i].text, fields, L"\t");
        if (static_cast<size_t>(n) > field)
            continue;
        if (shown++ < kRowsReported)
            m_report.Problem(CheckAt(name, lines[i].line),
                             std::to_wstring(n) + L" fields; " + what + L" reads field " +
                                 std::to_wstring(field) + L" (counted from 0)");
        else
            ++more;
    }
    if (more > 0)
        m_report.Problem(CheckFileName(name),
                         std::to_wstring(more) + L" more rows lack that field");
    RequireRows(name, lines, what, nominals);
}

void CCheckTables::RequireNumericFields(const std::wstring& name, size_t count,
                                        const std::wstring& where, const std::wstring& what,
                                        const std::vector<std::wstring>& nominals) {
    std::vector<CTableLine> lines;
    if (!RequireFile(name, where, what, &lines))
        return;
    int shown = 0;
    for (size_t i = 1; i < lines.size() && shown < kRowsReported; ++i) {
        std::vector<std::wstring> fields;
        Split(lines[i].text, fields, L"\t");
        for (size_t f = 1; f <= count; ++f) {
            double v = 0;
            std::wstring text = f < fields.size() ? fields[f] : std::wstring();
            Trim(text);
            if (f < fields.size() && ParseLeadingNumber(text, v))
                continue;
            m_report.Problem(CheckAt(name, lines[i].line),
                             what + L" reads a number in field " + std::to_wstring(f) +
                                 (f < fields.size() ? L", not \"" + text + L"\""
                                                    : std::wstring(L", which is missing")));
            ++shown;
            break;
        }
    }
    RequireRows(name, lines, what, nominals);
}

#include "library/LibraryCheckParts.h"

#include "library/LibraryCheckReport.h"
#include "library/LibraryCheckTables.h"
#include "library/LibraryFiles.h"
#include "library/LibraryIni.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "zhost/core/utf.h"

#include <algorithm>
#include <set>

namespace {

// The kind of a control section, as the description's loader tells them: the section name
// without its last character ("List1" is a List, "List10" is not), or the fixed names.
std::wstring ControlKind(const std::wstring& section) {
    for (const wchar_t* fixed : {L"Drawing", L"Header", L"Quality"})
        if (zhost::equalsNoCase(section, fixed))
            return fixed;
    if (section.size() < 2)
        return {};
    const std::wstring stem = section.substr(0, section.size() - 1);
    for (const wchar_t* kind : {L"List", L"Radio", L"Check", L"Edit", L"Label", L"ComboList"})
        if (zhost::equalsNoCase(stem, kind))
            return kind;
    return {};
}

bool IsNumber(const std::wstring& text) {
    double v = 0;
    size_t used = 0;
    return ParseLeadingNumber(text, v, &used) && used == text.size();
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           zhost::equalsNoCase(text.substr(text.size() - tail.size()), tail);
}

class CDescriptionCheck {
public:
    CDescriptionCheck(const CLibraryPaths& paths, const std::wstring& name,
                      const std::wstring& file, CSymbolParams& symbols,
                      std::set<std::wstring>& usedData, CProblemReport& report)
        : m_paths(paths), m_name(name), m_file(file), m_symbols(symbols), m_report(report),
          m_tables(paths, report, &usedData) {}

    void Run() {
        std::string bytes;
        if (!ReadLibraryFileBytes(m_file, bytes)) {
            m_report.Problem(CheckFileName(m_file), L"cannot be read");
            return;
        }
        m_sections = ScanLibraryIni(DecodeLibraryText(bytes));
        for (const CIniSection& s : m_sections)
            if (!ControlKind(s.m_name).empty())
                m_controls.push_back(&s);
        for (const CIniSection* c : m_controls)
            CheckControl(*c);
        for (const CIniSection& s : m_sections) {
            if (zhost::equalsNoCase(s.m_name, L"error"))
                for (const CIniKey& k : s.m_keys)
                    CheckErrorEntry(k);
            if (zhost::equalsNoCase(s.m_name, L"enabled") ||
                zhost::equalsNoCase(s.m_name, L"disabled"))
                for (const CIniKey& k : s.m_keys)
                    CheckGlobalRule(k, s.m_name);
        }
        CheckParameters();
    }

private:
    std::wstring At(int line) const { return CheckAt(m_file, line); }

    const CIniSection* Control(const std::wstring& name) const {
        for (const CIniSection* c : m_controls)
            if (zhost::equalsNoCase(c->m_name, name))
                return c;
        return nullptr;
    }
    std::wstring Kind(const std::wstring& name) const {
        const CIniSection* c = Control(name);
        return c ? ControlKind(c->m_name) : std::wstring();
    }

    // A name a rule or a field uses must be a control of this description.
    bool RequireControl(const std::wstring& name, int line, const std::wstring& what) {
        if (Control(name) != nullptr)
            return true;
        m_report.Problem(At(line), what + L" names \"" + name +
                                       L"\", which is not a control of this description");
        return false;
    }

    static std::wstring Value(const CIniSection& s, const wchar_t* key) {
        const CIniKey* k = s.Find(key);
        return k ? k->m_value : std::wstring();
    }
    static bool Has(const CIniSection& s, const wchar_t* key) { return s.Find(key) != nullptr; }
    static int Line(const CIniSection& s, const wchar_t* key) {
        const CIniKey* k = s.Find(key);
        return k ? k->m_line : s.m_line;
    }

    // --- conditions and rules ------------------------------------------------------------

    // The left names of a condition's terms ("List1>10&Radio1=0").
    void CheckCondition(const std::wstring& condition, int line, const std::wstring& what) {
        if (zhost::equalsNoCase(condition, L"true") || zhost::equalsNoCase(condition, L"false") ||
            condition == L"1" || condition == L"0")
            return;
        std::wstring term;
        for (size_t i = 0; i <= condition.size(); ++i) {
            if (i < condition.size() && condition[i] != L'&' && condition[i] != L'|') {
                term += condition[i];
                continue;
            }
            std::wstring left, op, right;
            if (SplitComparison(term, left, op, right) && !left.empty())
                RequireControl(left, line, what);
            term.clear();
        }
    }

    static bool SplitComparison(const std::wstring& term, std::wstring& left, std::wstring& op,
                                std::wstring& right) {
        for (const wchar_t* candidate : {L"<=", L"<", L">=", L">", L"="}) {
            const size_t at = term.find(candidate);
            if (at == std::wstring::npos)
                continue;
            left = term.substr(0, at);
            op = candidate;
            right = term.substr(at + op.size());
            Trim(left);
            Trim(right);
            return true;
        }
        return false;
    }

    // Targets "Radio1:1,2,Check3": names, a radio's option numbers after "name:k".
    void CheckTargets(const std::wstring& targets, int line, const std::wstring& what) {
        bool afterOption = false;
        for (std::wstring item : SplitTrimmed(targets, L",")) {
            if (item.empty())
                continue;
            if (afterOption && item.size() <= 2 && IsNumber(item))
                continue;
            const size_t colon = item.find(L':');
            afterOption = colon != std::wstring::npos;
            const std::wstring name = item.substr(0, colon);
            if (RequireControl(name, line, what) && afterOption && Kind(name) != L"Radio")
                m_report.Problem(At(line), what + L" addresses an option of \"" + name +
                                               L"\", which is not a Radio");
        }
    }

    void CheckGlobalRule(const CIniKey& key, const std::wstring& section) {
        for (const std::wstring& item : SplitTrimmed(key.m_value, L" ")) {
            if (item.empty())
                continue;
            const size_t colon = item.find(L':');
            const std::wstring what = L"[" + section + L"] " + key.m_name;
            if (colon == std::wstring::npos) {
                m_report.Problem(At(key.m_line),
                                 what + L": \"" + item + L"\" has no \":\" before its targets");
                continue;
            }
            CheckCondition(item.substr(0, colon), key.m_line, what);
            CheckTargets(item.substr(colon + 1), key.m_line, what);
        }
    }

    // A control's own rule: "digit:names digit:names".
    void CheckControlRule(const CIniSection& c, const wchar_t* key) {
        const CIniKey* k = c.Find(key);
        if (k == nullptr)
            return;
        for (const std::wstring& item : SplitTrimmed(k->m_value, L" ")) {
            const size_t colon = item.find(L':');
            if (item.empty() || colon == std::wstring::npos)
                continue;
            CheckTargets(item.substr(colon + 1), k->m_line, c.m_name + L" " + k->m_name);
        }
    }

    // --- error entries ---------------------------------------------------------------------

    void CheckErrorEntry(const CIniKey& key) {
        const std::vector<std::wstring> f = SplitTrimmed(key.m_value, L",");
        const std::wstring what = L"[error] " + key.m_name;
        if (zhost::equalsNoCase(f[0], L"RANGE_ERR")) {
            if (f.size() < 4 || f[2].find(L':') == std::wstring::npos) {
                m_report.Problem(At(key.m_line), what + L": RANGE_ERR needs value control, "
                                                        L"nominal:table and message");
                return;
            }
            RequireControl(f[1], key.m_line, what);
            const std::vector<std::wstring> nt = SplitTrimmed(f[2], L":");
            if (RequireControl(nt[0], key.m_line, what))
                m_tables.RequireNumericFields(nt[1], 2, At(key.m_line), what, NominalValues(nt[0]));
            return;
        }
        if (zhost::equalsNoCase(f[0], L"TAP_ERR")) {
            CheckTapEntry(f, key.m_line, what);
            return;
        }
        std::wstring left, op, right;
        if (!SplitComparison(f[0], left, op, right)) {
            m_report.Problem(At(key.m_line),
                             what + L": \"" + f[0] + L"\" has no comparison (<=, <, >=, >, =)");
            return;
        }
        RequireControl(left[0] == L'$' ? left.substr(1) : left, key.m_line, what);
        if (right.empty() || IsNumber(right))
            return;
        const std::vector<std::wstring> parts = SplitTrimmed(right, L":");
        if (parts.size() == 1) {
            RequireControl(right[0] == L'$' ? right.substr(1) : right, key.m_line, what);
            return;
        }
        RequireControl(parts[0], key.m_line, what);
        if (parts.size() == 3)
            RequireControl(parts[1], key.m_line, what);
        m_tables.RequireFields(parts.back(), FieldsOfColumn(parts.size() == 3 ? parts[1] : L""),
                               At(key.m_line), what, NominalValues(parts[0]));
    }

    void CheckTapEntry(const std::vector<std::wstring>& f, int line, const std::wstring& what) {
        if (f.size() < 5) {
            m_report.Problem(At(line), what + L": TAP_ERR needs drill depth, thread depth, "
                                              L"nominal:pitch and message");
            return;
        }
        RequireControl(f[1], line, what);
        RequireControl(f[2], line, what);
        const size_t colon = f[3].find(L':');
        if (colon == std::wstring::npos) {
            m_report.Problem(At(line), what + L": \"" + f[3] +
                                           L"\" names no nominal control (nominal:pitch), so "
                                           L"the check never fails");
            return;
        }
        std::wstring nominal = f[3].substr(0, colon), pitch = f[3].substr(colon + 1);
        Trim(nominal);
        Trim(pitch);
        RequireControl(nominal, line, what);
        if (EndsWithNoCase(pitch, L".txt") || EndsWithNoCase(pitch, L".csv"))
            m_tables.RequireNumericFields(pitch, 2, At(line), what, NominalValues(nominal));
        else
            RequireControl(pitch, line, what);
    }

    // --- controls ----------------------------------------------------------------------------

    void CheckControl(const CIniSection& c) {
        const std::wstring kind = ControlKind(c.m_name);
        CheckControlRule(c, L"enabled");
        CheckControlRule(c, L"disabled");
        if (kind == L"List")
            CheckList(c);
        else if (kind == L"Radio")
            CheckRadioData(c);
        else if (kind == L"Drawing")
            CheckDrawing(c);
        if (kind == L"Quality" || kind == L"ComboList") {
            const wchar_t* key = Has(c, L"material") ? L"material" : L"data";
            const std::wstring data = Value(c, key);
            if (!data.empty() && data != L"*" && data.find(L',') == std::wstring::npos)
                m_tables.RequireFile(data, At(Line(c, key)), c.m_name + L" " + key);
        }
        if ((kind == L"Radio" || kind == L"Check") && Has(c, L"symbol"))
            for (const std::wstring& pic : SplitTrimmed(Value(c, L"symbol"), L","))
                RequirePicture(BaseName(c) + pic, Line(c, L"symbol"), c.m_name + L" symbol");
    }

    // The data a List reads: empty given means "<name>_Yobi.dat", "*" none, a comma an inline
    // list. Fills `entries` with the list's lines when it can.
    std::wstring ListDataFile(const CIniSection& c) const {
        if (!Has(c, L"data"))
            return {};
        const std::wstring data = Value(c, L"data");
        if (data.empty())
            return m_name + L"_Yobi.dat";
        return data == L"*" || data.find(L',') != std::wstring::npos ? std::wstring() : data;
    }

    void CheckList(const CIniSection& c) {
        std::wstring control = Value(c, L"control");
        int controlLine = Line(c, L"control");
        std::wstring controlWhere = At(controlLine);
        const std::wstring file = ListDataFile(c);
        if (!file.empty()) {
            std::vector<CTableLine> lines;
            if (m_tables.RequireFile(file, At(Line(c, L"data")), c.m_name + L" data", &lines) &&
                !lines.empty() && lines[0].text.size() >= 5 &&
                zhost::equalsNoCase(lines[0].text.substr(0, 5), L"$Pair") && control.empty()) {
                control = lines[0].text.size() > 6 ? lines[0].text.substr(6) : L"";
                Trim(control);
                controlWhere = CheckAt(file, lines[0].line);
            }
        }
        if (control.empty())
            return;
        const std::vector<std::wstring> parts = SplitTrimmed(control, L":");
        const std::wstring what = c.m_name + L" control";
        if (parts.size() == 4) {
            for (size_t i : {0u, 1u, 3u})
                if (Control(parts[i]) == nullptr)
                    m_report.Problem(controlWhere,
                                     what + L" names \"" + parts[i] +
                                         L"\", which is not a control of this description");
            m_tables.RequireFields(parts[2], FieldsOfColumn(parts[1]), controlWhere,
                                   what + L" " + control, NominalValues(parts[0]));
            return;
        }
        for (const std::wstring& name : SplitTrimmed(control, L","))
            if (Control(name) == nullptr)
                m_report.Problem(controlWhere,
                                 what + L" names \"" + name +
                                     L"\", which is not a control of this description");
    }

    // "ListN:data0,data1": list N refilled from the field at the radio's value.
    void CheckRadioData(const CIniSection& c) {
        const std::wstring data = Value(c, L"data");
        const size_t colon = data.find(L':');
        if (data.empty() || colon == std::wstring::npos)
            return;
        const int line = Line(c, L"data");
        const std::wstring list = data.substr(0, colon);
        if (RequireControl(list, line, c.m_name + L" data") && Kind(list) != L"List")
            m_report.Problem(At(line),
                             c.m_name + L" data refills \"" + list + L"\", which is not a List");
        const std::vector<std::wstring> files = SplitTrimmed(data.substr(colon + 1), L",");
        const size_t options = SplitTrimmed(Value(c, L"selection"), L",").size();
        if (files.size() < options)
            m_report.Problem(At(line), c.m_name + L" data has " + std::to_wstring(files.size()) +
                                           L" lists for " + std::to_wstring(options) + L" options");
        for (const std::wstring& f : files)
            if (!f.empty() && f != L"*")
                m_tables.RequireFile(f, At(line), c.m_name + L" data");
    }

    std::wstring BaseName(const CIniSection& c) const {
        const CIniKey* k = c.Find(L"base_name");
        if (k == nullptr)
            return {};
        return k->m_value.empty() ? m_name + L"_" : k->m_value;
    }

    void RequirePicture(std::wstring name, int line, const std::wstring& what) {
        if (!EndsWithNoCase(name, L".dwg"))
            name += L".dwg";
        if (DrawingFileExists(m_paths.m_thumbsFolder + name) ||
            DrawingFileExists(m_paths.m_symbolsFolder + name))
            return;
        m_report.Problem(At(line), what + L": no drawing " + name + L" in Thumbs or Symbols");
    }

    void CheckDrawing(const CIniSection& c) {
        const std::wstring base = BaseName(c);
        const int symbolLine = Line(c, L"symbol");
        const std::vector<std::wstring> suffixes = SplitTrimmed(Value(c, L"symbol"), L",");
        for (const std::wstring& suffix : suffixes) {
            if (suffix.empty() || suffix.find(L':') != std::wstring::npos)
                continue;
            m_suffixes.push_back(suffix);
            const std::wstring symbol = m_name + L"_" + suffix + L".dwg";
            if (!DrawingFileExists(m_paths.m_symbolsFolder + symbol))
                m_report.Problem(At(symbolLine), L"Drawing symbol \"" + suffix +
                                                     L"\": no symbol drawing Symbols\\" + symbol);
            else if (!base.empty() && !zhost::equalsNoCase(base, m_name + L"_"))
                RequirePicture(base + suffix, symbolLine, L"Drawing symbol");
        }
        // "driver1[:driver2]:names": the pictures the drivers' values choose.
        const std::wstring data = Value(c, L"data");
        const std::vector<std::wstring> parts = SplitTrimmed(data, L":");
        if (parts.size() < 2 || parts.size() > 3)
            return;
        const int line = Line(c, L"data");
        size_t combinations = 1;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            if (!RequireControl(parts[i], line, L"Drawing data"))
                return;
            const size_t n = SplitTrimmed(Value(*Control(parts[i]), L"selection"), L",").size();
            combinations *= Kind(parts[i]) == L"Radio" ? std::max<size_t>(n, 1) : 2;
        }
        const std::vector<std::wstring> names = SplitTrimmed(parts.back(), L",");
        const size_t needed = combinations * suffixes.size();
        if (names.size() < needed)
            m_report.Problem(At(line), L"Drawing data has " + std::to_wstring(names.size()) +
                                           L" pictures; its drivers choose among " +
                                           std::to_wstring(needed));
        for (const std::wstring& n : names)
            RequirePicture(n.size() <= 2 ? base + n : n, line, L"Drawing data");
    }

    // --- look-ups --------------------------------------------------------------------------

    // The highest field a look-up reads with this column control: its value plus 1; a Label
    // (no value) or no control reads field 1.
    size_t FieldsOfColumn(const std::wstring& column) const {
        const CIniSection* c = column.empty() ? nullptr : Control(column);
        if (c == nullptr || ControlKind(c->m_name) == L"Label")
            return 1;
        if (ControlKind(c->m_name) == L"Radio")
            return std::max<size_t>(SplitTrimmed(Value(*c, L"selection"), L",").size(), 1);
        if (ControlKind(c->m_name) == L"Check")
            return 2;
        return 1;
    }

    // The values the nominal control can take when it is a List with a file or inline data
    // (its "$Pair" line left out), else none.
    std::vector<std::wstring> NominalValues(const std::wstring& nominal) {
        const CIniSection* c = Control(nominal);
        std::vector<std::wstring> values;
        if (c == nullptr || ControlKind(c->m_name) != L"List" || Has(*c, L"control"))
            return values;
        const std::wstring data = Value(*c, L"data");
        if (data.find(L',') != std::wstring::npos)
            return SplitTrimmed(data, L",");
        const std::wstring file = ListDataFile(*c);
        std::vector<CTableLine> lines;
        if (file.empty() || !m_tables.Read(file, lines))
            return values;
        for (const CTableLine& l : lines)
            if (l.text.size() < 5 || !zhost::equalsNoCase(l.text.substr(0, 5), L"$Pair"))
                values.push_back(l.text);
        return values;
    }

    // --- symbol parameters -------------------------------------------------------------------

    void CheckParameters() {
        if (m_suffixes.empty())
            m_suffixes.push_back(L"1"); // the drawing number before any choice
        for (const CIniSection* c : m_controls) {
            const CIniKey* k = c->Find(L"paramName");
            if (k == nullptr || k->m_value.empty())
                continue;
            std::wstring param = k->m_value.substr(0, k->m_value.find(L':'));
            Trim(param);
            for (const std::wstring& suffix : m_suffixes) {
                const std::wstring symbol = m_name + L"_" + suffix;
                std::wstring dxf = m_paths.m_symbolsFolder + symbol + L".dxf";
                std::vector<std::wstring> names;
                std::wstring why;
                if (!LibraryFileExists(dxf) || !m_symbols.Get(dxf, names, why))
                    continue; // reported with the Drawing's suffixes
                const bool declared = std::any_of(names.begin(), names.end(), [&](auto& n) {
                    return zhost::equalsNoCase(n, param);
                });
                if (!declared)
                    m_report.Problem(At(k->m_line), c->m_name + L" paramName \"" + param +
                                                        L"\": the symbol " + symbol +
                                                        L" does not declare it");
            }
        }
    }

    const CLibraryPaths& m_paths;
    std::wstring m_name, m_file;
    CSymbolParams& m_symbols;
    CProblemReport& m_report;
    CCheckTables m_tables;
    std::vector<CIniSection> m_sections;
    std::vector<const CIniSection*> m_controls;
    std::vector<std::wstring> m_suffixes;
};

} // namespace

void CheckPartDescription(const CLibraryPaths& paths, const std::wstring& name,
                          const std::wstring& descriptionFile, CSymbolParams& symbols,
                          std::set<std::wstring>& usedData, CProblemReport& report) {
    CDescriptionCheck(paths, name, descriptionFile, symbols, usedData, report).Run();
}

#pragma once
// The data tables of the parts library as the library check reads them: every non-empty line
// with its line number (any bytes give some lines), the look-up of a row by nominal size as the
// condition dialog does it, and checks that a look-up finds the fields it reads.
#include <map>
#include <set>
#include <string>
#include <vector>

class CProblemReport;
struct CLibraryPaths;

struct CTableLine {
    std::wstring text; // trimmed
    int line = 0;      // 1-based line of the file
};

// The condition dialog's row key: blanks and capital "M" removed, cut before the first
// lower-case "x" ("M12x1.5" -> "12").
std::wstring NominalKey(const std::wstring& value);

class CCheckTables {
public:
    // `used`, when given, collects the names of the data files read, in upper case.
    CCheckTables(const CLibraryPaths& paths, CProblemReport& report,
                 std::set<std::wstring>* used = nullptr)
        : m_paths(paths), m_report(report), m_used(used) {}

    // The lines of Data/<name>; false when there is no such file.
    bool Read(const std::wstring& name, std::vector<CTableLine>& lines);
    // As Read, reporting a missing file at `where` (once per file and place).
    bool RequireFile(const std::wstring& name, const std::wstring& where, const std::wstring& what,
                     std::vector<CTableLine>* lines = nullptr);
    // Every data row (after the heading) has tab field `field`; every nominal value finds a row.
    void RequireFields(const std::wstring& name, size_t field, const std::wstring& where,
                       const std::wstring& what, const std::vector<std::wstring>& nominals);
    // Every data row has numbers in tab fields 1 to `count`; every nominal value finds a row.
    void RequireNumericFields(const std::wstring& name, size_t count, const std::wstring& where,
                              const std::wstring& what, const std::vector<std::wstring>& nominals);

private:
    void RequireRows(const std::wstring& name, const std::vector<CTableLine>& lines,
                     const std::wstring& what, const std::vector<std::wstring>& nominals);

    const CLibraryPaths& m_paths;
    CProblemReport& m_report;
    std::map<std::wstring, std::vector<CTableLine>> m_files; // read files by name
    std::set<std::wstring> m_missing;                        // names known to be missing
    std::set<std::wstring> m_reported;                       // "where|name" already reported
    std::set<std::wstring>* m_used;                          // data files read, when kept
};

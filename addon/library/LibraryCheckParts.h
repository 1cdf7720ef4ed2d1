#pragma once
// The library check of one part's dialog description: every name a rule, a look-up or a
// "control" field uses is a control of the description; every data file it names exists and has
// the columns its look-ups read; every picture and symbol drawing it names exists; every
// "paramName" is a parameter of the part's symbol drawings; RANGE_ERR and TAP_ERR entries
// resolve. Reports name the file and line.
#include <map>
#include <set>
#include <string>
#include <vector>

class CProblemReport;
struct CLibraryPaths;

// The parameter names each symbol drawing declares, read once per drawing.
class CSymbolParams {
public:
    // False when the drawing cannot be read (its message in `why`).
    bool Get(const std::wstring& dxfPath, std::vector<std::wstring>& names, std::wstring& why);

private:
    struct Entry {
        bool ok = false;
        std::vector<std::wstring> names;
        std::wstring why;
    };
    std::map<std::wstring, Entry> m_cache;
};

// Checks Dlg/<name>.ini (at descriptionFile) of the part `name`. The data files it reads are
// added to `usedData` (names in upper case).
void CheckPartDescription(const CLibraryPaths& paths, const std::wstring& name,
                          const std::wstring& descriptionFile, CSymbolParams& symbols,
                          std::set<std::wstring>& usedData, CProblemReport& report);

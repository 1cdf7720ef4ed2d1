#pragma once
// The library check for authors ("zorma library check"): reads the whole parts library with the
// readers the commands use and reports what an author would want to know before a user meets
// it: parts without a dialog description or preview drawings, catalogue lines the readers skip,
// nominal-size values that are not numbers.
#include <functional>
#include <string>

struct CLibraryPaths;

// Receives each report line (UTF-16, without a line end).
using LibraryCheckPrint = std::function<void(const std::wstring& line)>;

// What the check found. A problem is something a reader skips or a user meets as a failure; a
// warning is something the readers cope with (a part the picture catalogue leaves out).
struct LibraryCheckCounts {
    int problems = 0;
    int warnings = 0;
    // Strict: warnings count as failures too.
    bool Failed(bool strict) const { return problems > 0 || (strict && warnings > 0); }
};

// Checks the library of the product in productDir (the configured product when empty).
// Returns 0 when nothing failed (see LibraryCheckCounts::Failed), 1 otherwise (also when there
// is no library).
int CheckLibrary(const std::wstring& productDir, const LibraryCheckPrint& print,
                 bool strict = false);

// Checks the library at these paths.
LibraryCheckCounts CheckLibraryAt(const CLibraryPaths& paths, const LibraryCheckPrint& print);

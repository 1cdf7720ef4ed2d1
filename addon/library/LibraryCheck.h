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

// Checks the library of the product in productDir (the configured product when empty).
// Returns 0 when no problem was found, 1 otherwise (also when there is no library).
int CheckLibrary(const std::wstring& productDir, const LibraryCheckPrint& print);

// Checks the library at these paths; returns the number of problems found.
int CheckLibraryAt(const CLibraryPaths& paths, const LibraryCheckPrint& print);

#pragma once
// Where the library readers' diagnostic lines go. By default they go to the host's message
// output, which the host's editor routes to the command line; a test or a tool may take them.
// The text is printed as given, never used as a format.
#include <functional>
#include <string>

using LibraryPrintHook = std::function<void(const std::wstring& text)>;

// An empty hook restores the default.
void SetLibraryPrintHook(LibraryPrintHook hook);
void LibraryPrint(const std::wstring& text);

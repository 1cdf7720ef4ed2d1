#pragma once
// Where the settings module's own notices go: the path of a text file "opened" in a headless run,
// and warnings such as an unreadable per-user store. The editor module installs a hook that
// prints to the command line; until then (and in tests) text goes to standard output in UTF-8.
#include <functional>
#include <string_view>

namespace zhost::settings {

using PrintHook = std::function<void(std::wstring_view text)>;

// An empty hook restores the default (standard output). The text is printed as given: it is
// never used as a format.
void setPrintHook(PrintHook hook);
void print(std::wstring_view text);

// Prints the warning once per process for the given subject (a file path, say), so that a
// store reopened around every use does not repeat itself. Returns true when printed.
bool warnOnce(std::wstring_view subject, std::wstring_view text);

} // namespace zhost::settings

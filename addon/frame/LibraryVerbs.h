#pragma once
// The verbs of "zorma library VERB ...": tools for library authors and for trying parts from a
// script. The program hands the verb and its arguments to the one exported entry
// (zorma_library_verb); RunLibraryVerb looks the verb up in the table in LibraryVerbs.cpp.
// Adding a verb: declare its body below (it lives in the folder of its subsystem) and add one
// table row.
#include <string>
#include <vector>

using LibraryVerbArgs = std::vector<std::wstring>;
// A verb's body: prints through the host's command-line output (zhost::ed::print) and returns
// the exit status: 0 done, 1 the verb found problems, 2 unusable arguments.
using LibraryVerbBody = int (*)(const LibraryVerbArgs& args);

struct LibraryVerb {
    const wchar_t* name;    // as typed after "zorma library"
    const wchar_t* usage;   // the arguments, for "zorma library help"
    const wchar_t* summary; // one line
    LibraryVerbBody body;
};

// library/: "check [--strict]".
int LibraryCheckVerb(const LibraryVerbArgs& args);
// selection/: "pick [--text]".
int LibraryPickVerb(const LibraryVerbArgs& args);
// selection/: "try PART [--name TEXT] [--edit] [--drawing N]".
int LibraryTryVerb(const LibraryVerbArgs& args);

// The table, in the order "help" lists it.
const std::vector<LibraryVerb>& LibraryVerbs();

// Runs one verb; an unknown verb prints the list and gives 2. Never throws: an exception from a
// body is reported and gives 2.
int RunLibraryVerb(const std::wstring& verb, const LibraryVerbArgs& args);

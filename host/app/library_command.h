#pragma once
// "zorma library VERB [options] [arguments]": the parts library's tools. The verbs live in the
// add-on (it owns the library's readers); the program only prepares a session, loads the add-on
// and hands the verb over through the add-on's exported verb entry.

namespace zorma::app {

// args: everything after "library". Returns the verb's exit status, or 2 when the arguments or
// the add-on are unusable.
int runLibraryCommand(int argc, char** argv);

} // namespace zorma::app

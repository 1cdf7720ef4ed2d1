#pragma once
// "zorma library check [--product DIR]": reads the product's parts library with the add-on's
// readers and reports problems for the library's authors.

// argv as given to the subcommand: argv[0] is "check" (the words before it are the caller's).
// Writes the report to standard output in UTF-8; usage errors go to standard error.
// Returns 0 when the library has no problem, 1 when it has, 2 for unusable arguments.
int runLibraryCheck(int argc, char** argv);

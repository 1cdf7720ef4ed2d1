#pragma once
// The operating system's own words for a failure, for messages that tell the user why a file
// could not be read or written.
#include <string>

namespace zhost {

// The system's text for an error number (what strerror gives: "Permission denied", "Is a
// directory", ...). Thread-safe.
std::wstring systemErrorText(int errorNumber);

// Why a file of this kind (a stat mode) cannot be read or written as a file: "Is a directory",
// "Not a regular file (a FIFO)", "(a character device)", "(a block device)", "(a socket)";
// empty for a regular file.
std::wstring fileKindProblem(unsigned int mode);

} // namespace zhost

#pragma once
// Starting this program again as a child, for the sub-commands that run each job in a process
// of its own (demo, batch).
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zorma::app {

// Starts /proc/self/exe with `args` (args[0] is the program name), standard output and error
// into `transcript`, standard input from /dev/null. The child's pid, or -1 when it could not
// be started.
pid_t spawnSelf(const std::vector<std::string>& args, const std::filesystem::path& transcript);

} // namespace zorma::app

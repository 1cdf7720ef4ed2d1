#pragma once
// Running a program as a child process without a shell: arguments go to the program as they are
// (spaces, quotes, non-ASCII bytes in paths need no quoting), standard output and standard error
// are captured separately and in the order they arrived, and a child that hangs is killed.
#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ztest {

struct ProcessOptions {
    // Text written to the child's standard input, which is then closed; the child reads
    // /dev/null when this is empty.
    std::string input{};
    // The working folder; empty keeps the test's.
    std::filesystem::path workDir{};
    // Variables set (or, with an empty value, removed) on top of the test's environment.
    std::vector<std::pair<std::string, std::string>> env{};
    // A child still running after this long is killed and the result says so.
    std::chrono::milliseconds timeout{90'000};
};

struct ProcessResult {
    std::vector<std::string> argv; // what was run, for messages
    int exitCode = -1;             // -1 when the child did not exit normally
    int signal = 0;                // the signal that ended it, 0 when none
    bool timedOut = false;
    std::string spawnError; // why the child could not be started; empty when it was
    std::string out;        // standard output
    std::string err;        // standard error
    std::string transcript; // both, interleaved as the chunks arrived

    // The last `lines` lines of the transcript.
    std::string Tail(int lines = 25) const;
    // The command line, shell-quoted so that it can be pasted to reproduce the run.
    std::string CommandLine() const;
    // How the child ended, in words ("exit status 1", "killed by signal 9 after the timeout").
    std::string Ending() const;
};

// Prints the command, how it ended and the transcript's tail (used by gtest messages).
std::ostream& operator<<(std::ostream& os, const ProcessResult& r);
void PrintTo(const ProcessResult& r, std::ostream* os);

// Runs argv[0] (a path; it is not searched for on PATH) with the arguments argv[1...].
ProcessResult RunProcess(std::vector<std::string> argv, const ProcessOptions& options = {});

} // namespace ztest

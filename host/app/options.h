#pragma once
// The command line of `zorma run` and `zorma shell`.
#include <optional>
#include <string>
#include <vector>

namespace zorma::app {

struct RunOptions {
    std::string drawing;    // empty: a new drawing
    std::string script;     // "-" for standard input; empty for run = standard input
    std::string out;        // --out
    std::string render;     // --render
    std::string product;    // --product
    std::string userDir;    // --user-dir
    std::string machineReg; // --machine-reg
    std::string addon;      // --addon
    int api = 24;           // --api
    bool verbose = false;   // -v: print the details of failures (the kernel's messages)
};

// Parses the arguments after the sub-command; on failure `error` says why.
std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::string& error);

int runSession(const RunOptions& options, bool interactive);
// The product folder, user folder and machine registry file of a session (each when not empty),
// and the settings module's notices sent to the command line.
void applySessionSettings(const std::string& product, const std::string& userDir,
                          const std::string& machineReg);
int runDemo(const std::vector<std::string>& args, const char* argv0);
// `zorma batch`: one script on many drawings in parallel runs (batch_command.cpp).
int runBatch(const std::vector<std::string>& args);

} // namespace zorma::app

#pragma once
// The command line of `zorma run` and `zorma shell`.
#include "zhost/editor/input.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorma::app {

struct RunOptions {
    std::string drawing;           // empty: a new drawing
    std::string script;            // "-" for standard input; empty for run = standard input
    std::string out;               // --out
    std::string render;            // --render
    std::string screenshot;        // --screenshot (zorma gui: the window saved as PNG at the end)
    std::string dialogScreenshots; // --dialog-screenshots DIR (zorma gui: each dialog state)
    std::string product;           // --product
    std::string userDir;           // --user-dir
    std::string machineReg;        // --machine-reg
    std::string addon;             // --addon
    int api = 24;                  // --api
    bool verbose = false;          // -v: print the details of failures (the kernel's messages)
    bool quiet = false;            // -q: no summary of the drawing read
    std::string outVersion;        // --out-version R2000...R2018; empty: the version read
};

// Parses the arguments after the sub-command; on failure `error` says why.
std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::string& error);

// A window that runs the session instead of the terminal: it wraps the input (`script` is null
// when no script was named: the window's own command line is the only input) and sees the
// drawing once more when the command loop has ended, before it is saved and closed.
class SessionFrontEnd {
public:
    virtual ~SessionFrontEnd() = default;
    virtual std::unique_ptr<zhost::ed::InputSource>
    attachInput(std::unique_ptr<zhost::ed::InputSource> script) = 0;
    virtual void sessionEnded() = 0;
};

int runSession(const RunOptions& options, bool interactive, SessionFrontEnd* frontEnd = nullptr);
// The product folder, user folder and machine registry file of a session (each when not empty),
// and the settings module's notices sent to the command line.
void applySessionSettings(const std::string& product, const std::string& userDir,
                          const std::string& machineReg);
int runDemo(const std::vector<std::string>& args, const char* argv0);
// `zorma batch`: one script on many drawings in parallel runs (batch_command.cpp).
int runBatch(const std::vector<std::string>& args);

} // namespace zorma::app

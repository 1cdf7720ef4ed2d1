#pragma once
// The editor session: the drawing being edited, the command loop that reads command names from
// the input source and runs them, and the state a command run sees. One session per process, as
// the platform has one active document.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"
#include "zhost/editor/input.h"
#include "zhost/editor/result.h"

#include <string>

namespace zhost::db {
class Database;
}

namespace zhost::ed {

// The drawing commands work on (the platform's working database). Null until the program sets
// one; commands are refused without a drawing.
db::Database* workingDatabase();
void setWorkingDatabase(db::Database* db);
// The block that new entities go into (model space; paper space is never current here).
db::ObjectId currentSpaceId();

// The input source prompts read from. The session does not own it.
void setInputSource(InputSource* source);
InputSource* inputSource();

// How a run of the command loop ended.
struct RunOutcome {
    enum Kind {
        endOfInput,         // the input ended at the command prompt
        inputEndedInPrompt, // the input ended while a prompt waited for an answer
        scriptError,        // a line the script language does not allow (unknown directive, ...)
        quit,               // the QUIT command
    };
    Kind kind = endOfInput;
    std::wstring waitingPrompt;    // inputEndedInPrompt: the prompt text (without leading "\n")
    std::wstring message;          // scriptError: what was wrong
    int lineNumber = 0;            // scriptError: where
    bool dialogLineFailed = false; // scriptError: the line was refused by an open dialog

    // Faults the loop went on after: a batch run finishes what it can and reports them at the
    // end. A command cancelled by its input is no fault.
    int unknownCommands = 0;
    int failedCommands = 0;         // commands that reported an error
    int firstUnknownLine = 0;       // the line of the first unknown command name
    int firstFailedCommandLine = 0; // the line that started the first failed command

    // The loop ran to its end (the input ended at the command prompt or QUIT).
    bool ok() const { return kind == endOfInput || kind == quit; }
    // Ended as it should and met no fault on the way.
    bool clean() const { return ok() && unknownCommands == 0 && failedCommands == 0; }
};

// Reads lines from the input source: command names at the command prompt ("Command: "), the
// answers of their prompts, directives anywhere. Unknown command names print
// `Unknown command "XYZ".  Press F1 for help.` and the loop goes on (counted in the outcome).
// From an interactive source a bad line is reported and asked again, never the end of the run. Each
// command runs to its end before the next line is read, inside one undo group of the drawing.
RunOutcome runCommandLoop(InputSource& source);

// Runs one command by name as if typed at the command prompt (prefixes "_", "." accepted),
// taking its answers from the current input source. error for an unknown name.
Result runCommand(std::wstring_view name);

// True while a command runs (a nested host command call included).
bool isCommandActive();
// The name of the command running (outermost), empty at the command prompt.
std::wstring activeCommandName();

// Resets the session state that commands leave behind (pick-first set, screen state, last
// keyword, ERRNO, clock) for a new drawing or test.
void resetSession();

} // namespace zhost::ed

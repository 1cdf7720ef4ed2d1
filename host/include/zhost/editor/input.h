#pragma once
// Where the editor's answers come from: a script (a file or standard input in the script
// language of docs/script.md), an interactive terminal, or a queue of lines for tests. Prompts
// read one line per answer; lines starting with "@" are directives; ";" starts a comment line.
//
// Directives are extensible: registerDirective("dialog", handler) makes "@dialog ..." lines
// reach the handler. The editor's own directives (@pick, @all, @last, @window, @crossing, @move,
// @shift, @wait, @set) are built in. A modal dialog running inside a prompt or a command takes
// its own lines with nextInputLine().
#include "zhost/core/status.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::ed {

// One line of input.
struct InputLine {
    std::wstring text;       // without the line end; for "^C" the text "^C"
    int lineNumber = 0;      // 1-based within its source; 0 for a terminal
    std::wstring sourceName; // file name, "<stdin>", "<terminal>", "<queue>"
};

class InputSource {
public:
    virtual ~InputSource() = default;
    // The next line, or false at the end of the input. `prompt` is what the user sees (terminal
    // sources show it; scripts ignore it because the editor prints it to the transcript).
    virtual bool readLine(std::wstring_view prompt, InputLine& out) = 0;
    // True when the source is a person at a terminal (answers are not echoed to the transcript).
    virtual bool interactive() const { return false; }
};

// A script file (UTF-8, with or without BOM; CR LF or LF). Null when the file cannot be read
// (`status` fileNotFound or fileError; a folder, a device or a FIFO is refused); `reason`
// (optional) gives the system's words.
std::unique_ptr<InputSource> makeScriptFile(const std::filesystem::path& file, Status& status,
                                            std::wstring* reason = nullptr);
// A script read from a stream (standard input for "--script -").
std::unique_ptr<InputSource> makeScriptStream(std::istream& in, std::wstring sourceName);
// Lines given in advance (tests).
std::unique_ptr<InputSource> makeQueue(std::vector<std::wstring> lines);
// The terminal with line editing (arrows, Home/End, backspace, history with up/down); Ctrl-C
// cancels the current prompt ("^C"), Ctrl-D at an empty line ends the input.
std::unique_ptr<InputSource> makeTerminal();

// A directive handler: `args` is the text after the name (trimmed). Returns ok when handled;
// any other status stops the script with "Error in line N: ..." and `message`.
struct DirectiveContext {
    const InputLine& line;
    std::wstring message; // set by the handler on failure
};
using DirectiveHandler = std::function<Status(std::wstring_view args, DirectiveContext& ctx)>;

// Names without "@", compared without case. Registering a name again replaces its handler; an
// empty handler removes it. The built-in directives cannot be replaced (invalidInput).
Status registerDirective(std::wstring_view name, DirectiveHandler handler);

// For modal dialogs: the next raw line of the current input source (directives and comments
// are returned as they are, not interpreted). False at the end of the input.
bool nextInputLine(std::wstring_view prompt, InputLine& out);
// Puts a line back so that the next read returns it (a dialog that read one line too many).
void pushBackInputLine(InputLine line);

// The host clock: milliseconds since the session started. Scripts advance it with "@wait";
// it does not follow the wall clock, so runs are reproducible. Timers fire while it advances.
class HostClock {
public:
    using TimerId = std::uint64_t;
    using TimerCallback = std::function<void(TimerId)>;

    std::uint64_t now() const { return now_; }
    // A repeating timer (interval > 0 ms); callbacks may add and remove timers.
    TimerId addTimer(std::uint64_t intervalMs, TimerCallback callback);
    bool removeTimer(TimerId id);
    // Moves the clock forward, firing due timers in time order (each as often as it falls due).
    void advance(std::uint64_t ms);
    void reset();

private:
    struct Timer {
        TimerId id;
        std::uint64_t interval, due;
        TimerCallback callback;
    };
    std::uint64_t now_ = 0;
    TimerId nextId_ = 1;
    std::vector<Timer> timers_;
};
HostClock& hostClock();

} // namespace zhost::ed

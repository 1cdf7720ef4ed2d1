// The interactive command line: a small line editor on a raw terminal (left/right, Home/End,
// backspace, delete, history with up/down, Ctrl-A/E/B/F/K/U), where Ctrl-C or Esc cancels the
// prompt and Ctrl-D at an empty line cancels a waiting prompt or, at the command prompt, ends
// the session. F1 lists the commands. When standard input is not a terminal, lines are read as
// they come, without editing, and echoed after their prompt so that the transcript reads as a
// session.
#include "terminal_keys.h"

#include "zhost/core/utf.h"
#include "zhost/editor/input.h"
#include "zhost/editor/session.h"

#include <cstdio>
#include <iostream>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace zhost::ed {
namespace {

// Raw input for the whole session, not per prompt: switching modes with a flush per prompt threw
// away type-ahead and every pasted line after the first, and cooked mode between prompts echoed
// type-ahead into the output of the running command. Output processing stays on, so "\n" still
// starts a new line.
class RawMode {
public:
    RawMode() {
        if (tcgetattr(STDIN_FILENO, &old_) != 0)
            return;
        termios raw = old_;
        raw.c_lflag &= ~tcflag_t(ECHO | ICANON | ISIG | IEXTEN);
        raw.c_iflag &= ~tcflag_t(IXON | ICRNL | INLCR | IGNCR);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    ~RawMode() {
        if (active_)
            tcsetattr(STDIN_FILENO, TCSANOW, &old_);
    }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;

private:
    termios old_{};
    bool active_ = false;
};

void writeOut(const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, s.data() + done, s.size() - done);
        if (n <= 0)
            return; // the terminal is gone; the next read ends the session
        done += size_t(n);
    }
}

// Bytes of standard input; a timeout tells a lone Esc key from the start of a key sequence.
int readStdinByte(int timeoutMs) {
    if (timeoutMs >= 0) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return detail::kNoByte;
    }
    unsigned char c = 0;
    return ::read(STDIN_FILENO, &c, 1) == 1 ? c : detail::kEndOfInput;
}

class TerminalSource : public InputSource {
public:
    TerminalSource() : tty_(isatty(STDIN_FILENO) != 0) {
        if (tty_)
            raw_ = std::make_unique<RawMode>();
        else
            piped_ = makeScriptStream(std::cin, L"<stdin>");
    }

    bool interactive() const override { return true; }

    bool readLine(std::wstring_view prompt, InputLine& out) override {
        out.lineNumber = 0;
        out.sourceName = L"<terminal>";
        std::cout.flush();
        if (!tty_) {
            writeOut(toUtf8(prompt));
            if (!piped_->readLine(prompt, out)) {
                writeOut("\n");
                return false;
            }
            out.lineNumber = 0;
            // Echoed, so that a piped session's transcript shows what answered each prompt.
            writeOut(toUtf8(out.text) + "\n");
            return true;
        }
        return edit(toUtf8(prompt), out.text);
    }

private:
    void redraw(const std::string& prompt, const std::wstring& line, size_t cursor) {
        std::string s = "\r" + prompt + toUtf8(line) + "\x1b[K";
        // Back over the columns after the cursor: a CJK character takes two.
        const int back = detail::displayWidth(std::wstring_view(line).substr(cursor));
        if (back > 0)
            s += "\x1b[" + std::to_string(back) + "D";
        writeOut(s);
    }

    bool edit(const std::string& prompt, std::wstring& result) {
        std::wstring line;
        size_t cursor = 0;
        size_t historyPos = history_.size();
        redraw(prompt, line, cursor);
        while (true) {
            const detail::Key key = keys_.read();
            using K = detail::Key::Kind;
            switch (key.kind) {
            case K::endOfInput:
                writeOut("\r\n");
                return false;
            case K::enter:
                writeOut("\r\n");
                if (!line.empty() && (history_.empty() || history_.back() != line))
                    history_.push_back(line);
                result = line;
                return true;
            case K::cancel:
                writeOut("^C\r\n");
                result = L"^C";
                return true;
            case K::ctrlD:
                if (!line.empty()) {
                    if (cursor < line.size())
                        line.erase(cursor, 1);
                    break;
                }
                // A waiting prompt is cancelled; only the command prompt ends the session.
                if (isCommandActive()) {
                    writeOut("^D\r\n");
                    result = L"^C";
                    return true;
                }
                writeOut("\r\n");
                return false;
            case K::character:
                line.insert(cursor++, 1, key.ch);
                break;
            case K::backspace:
                if (cursor > 0)
                    line.erase(--cursor, 1);
                break;
            case K::deleteKey:
                if (cursor < line.size())
                    line.erase(cursor, 1);
                break;
            case K::left:
                if (cursor > 0)
                    --cursor;
                break;
            case K::right:
                if (cursor < line.size())
                    ++cursor;
                break;
            case K::home:
                cursor = 0;
                break;
            case K::end:
                cursor = line.size();
                break;
            case K::killToEnd:
                line.erase(cursor);
                break;
            case K::killToStart:
                line.erase(0, cursor);
                cursor = 0;
                break;
            case K::up:
                if (historyPos > 0) {
                    line = history_[--historyPos];
                    cursor = line.size();
                }
                break;
            case K::down:
                if (historyPos < history_.size()) {
                    ++historyPos;
                    line = historyPos < history_.size() ? history_[historyPos] : L"";
                    cursor = line.size();
                }
                break;
            case K::help:
                writeOut("\r\n" + toUtf8(detail::commandLineHelp()));
                break;
            case K::ignored:
                break;
            }
            redraw(prompt, line, cursor);
        }
    }

    bool tty_;
    std::unique_ptr<RawMode> raw_;
    std::unique_ptr<InputSource> piped_;
    std::vector<std::wstring> history_;
    detail::KeyDecoder keys_{readStdinByte};
};

} // namespace

std::unique_ptr<InputSource> makeTerminal() {
    return std::make_unique<TerminalSource>();
}

} // namespace zhost::ed

// The interactive command line: a small line editor on a raw terminal (left/right, Home/End,
// backspace, delete, history with up/down), where Ctrl-C cancels the prompt and Ctrl-D at an
// empty line ends the session. When standard input is not a terminal, lines are read as they
// come, without editing.
#include "zhost/core/utf.h"
#include "zhost/editor/input.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace zhost::ed {
namespace {

class RawMode {
public:
    RawMode() {
        if (tcgetattr(STDIN_FILENO, &old_) != 0)
            return;
        termios raw = old_;
        raw.c_lflag &= ~tcflag_t(ECHO | ICANON | ISIG | IEXTEN);
        raw.c_iflag &= ~tcflag_t(IXON | ICRNL);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0;
    }
    ~RawMode() {
        if (active_)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &old_);
    }
    bool active() const { return active_; }

private:
    termios old_{};
    bool active_ = false;
};

void writeOut(const std::string& s) {
    if (!s.empty() && ::write(STDOUT_FILENO, s.data(), s.size()) < 0) {
        // Nothing sensible to do when the terminal is gone; the next read ends the session.
    }
}

int readByte() {
    unsigned char c = 0;
    return ::read(STDIN_FILENO, &c, 1) == 1 ? c : -1;
}

class TerminalSource : public InputSource {
public:
    bool interactive() const override { return true; }

    bool readLine(std::wstring_view prompt, InputLine& out) override {
        out.lineNumber = 0;
        out.sourceName = L"<terminal>";
        std::cout.flush();
        if (!isatty(STDIN_FILENO)) {
            writeOut(toUtf8(prompt));
            std::string line;
            if (!std::getline(std::cin, line))
                return false;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            out.text = fromUtf8(line);
            return true;
        }
        return edit(toUtf8(prompt), out.text);
    }

private:
    void redraw(const std::string& prompt, const std::wstring& line, size_t cursor) {
        std::string s = "\r" + prompt + toUtf8(line) + "\x1b[K";
        // Move back over the characters after the cursor (one column each: good enough for the
        // command line's short answers; wide characters may leave the cursor off by a column).
        const size_t back = line.size() - cursor;
        if (back > 0)
            s += "\x1b[" + std::to_string(back) + "D";
        writeOut(s);
    }

    bool edit(const std::string& prompt, std::wstring& result) {
        RawMode raw;
        std::wstring line;
        size_t cursor = 0;
        size_t historyPos = history_.size();
        std::string pending; // bytes of an incomplete UTF-8 character
        redraw(prompt, line, cursor);
        while (true) {
            const int c = readByte();
            if (c < 0)
                return false;
            if (c == '\r' || c == '\n') {
                writeOut("\r\n");
                if (!line.empty() && (history_.empty() || history_.back() != line))
                    history_.push_back(line);
                result = line;
                return true;
            }
            if (c == 3) { // Ctrl-C
                writeOut("^C\r\n");
                result = L"^C";
                return true;
            }
            if (c == 4 && line.empty()) { // Ctrl-D
                writeOut("\r\n");
                return false;
            }
            if (c == 127 || c == 8) {
                if (cursor > 0)
                    line.erase(--cursor, 1);
            } else if (c == 1) {
                cursor = 0;
            } else if (c == 5) {
                cursor = line.size();
            } else if (c == 27) {
                const int a = readByte(), b = readByte();
                if (a != '[')
                    continue;
                if (b == 'D' && cursor > 0)
                    --cursor;
                else if (b == 'C' && cursor < line.size())
                    ++cursor;
                else if (b == 'H')
                    cursor = 0;
                else if (b == 'F')
                    cursor = line.size();
                else if (b == 'A' && historyPos > 0)
                    line = history_[--historyPos], cursor = line.size();
                else if (b == 'B' && historyPos < history_.size()) {
                    ++historyPos;
                    line = historyPos < history_.size() ? history_[historyPos] : L"";
                    cursor = line.size();
                } else if (b == '3') {
                    readByte(); // the '~' of the Delete key
                    if (cursor < line.size())
                        line.erase(cursor, 1);
                }
            } else if (c >= 32) {
                pending += char(c);
                const std::wstring w = fromUtf8(pending);
                // Wait for the rest of a multi-byte character.
                if (w.size() == 1 && w[0] == 0xFFFD && pending.size() < 4 && (c & 0xC0) != 0)
                    if ((static_cast<unsigned char>(pending[0]) & 0xC0) == 0xC0 &&
                        !complete(pending))
                        continue;
                line.insert(cursor, w);
                cursor += w.size();
                pending.clear();
            }
            redraw(prompt, line, cursor);
        }
    }

    static bool complete(const std::string& bytes) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        return bytes.size() >= need;
    }

    std::vector<std::wstring> history_;
};

} // namespace

std::unique_ptr<InputSource> makeTerminal() {
    return std::make_unique<TerminalSource>();
}

} // namespace zhost::ed

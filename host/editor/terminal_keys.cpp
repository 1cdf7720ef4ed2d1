#include "terminal_keys.h"

#include "host_commands.h"

#include "zhost/core/utf.h"
#include "zhost/rx/commands.h"

#include <algorithm>
#include <vector>

namespace zhost::ed::detail {
namespace {

using Kind = Key::Kind;

Key key(Kind kind) {
    Key k;
    k.kind = kind;
    return k;
}

// "ESC [ params final": the key named by the final byte and the first parameter.
Key csiKey(const std::string& params, int final) {
    const int first = params.empty() ? 0 : std::atoi(params.c_str());
    switch (final) {
    case 'A':
        return key(Kind::up);
    case 'B':
        return key(Kind::down);
    case 'C':
        return key(Kind::right);
    case 'D':
        return key(Kind::left);
    case 'H':
        return key(Kind::home);
    case 'F':
        return key(Kind::end);
    case 'P': // F1 with a modifier: "ESC [ 1 ; 2 P"
        return key(Kind::help);
    case '~':
        switch (first) {
        case 1:
        case 7:
            return key(Kind::home);
        case 4:
        case 8:
            return key(Kind::end);
        case 3:
            return key(Kind::deleteKey);
        case 11:
            return key(Kind::help);
        default:
            return key(Kind::ignored); // Insert, Page Up/Down, F2...F12, paste marks
        }
    default:
        return key(Kind::ignored);
    }
}

bool inRange(char32_t c, char32_t lo, char32_t hi) {
    return c >= lo && c <= hi;
}

} // namespace

int KeyDecoder::byte(int timeoutMs) {
    if (pending_ != kNoByte) {
        const int b = pending_;
        pending_ = kNoByte;
        return b;
    }
    return next_(timeoutMs);
}

Key KeyDecoder::escapeSequence() {
    const int b = byte(kEscapeTimeoutMs);
    if (b == kNoByte)
        return key(Kind::cancel); // the Esc key on its own
    if (b == kEndOfInput || b == 27) {
        pending_ = b;
        return key(Kind::cancel);
    }
    if (b == 'O') { // SS3: F1-F4 and keypad cursor keys
        const int f = byte(kEscapeTimeoutMs);
        if (f == 'P')
            return key(Kind::help);
        return f < 0 ? key(Kind::ignored) : csiKey({}, f);
    }
    if (b != '[')
        return key(Kind::ignored); // Alt+key: the key is taken with it
    int c = byte(kEscapeTimeoutMs);
    if (c == '[') { // the Linux console's F1-F5: "ESC [ [ A" ...
        const int f = byte(kEscapeTimeoutMs);
        return key(f == 'A' ? Kind::help : Kind::ignored);
    }
    // Parameter and intermediate bytes up to the final byte (0x40-0x7E).
    std::string params;
    while (c >= 0x20 && c <= 0x3F) {
        params += char(c);
        c = byte(kEscapeTimeoutMs);
    }
    if (c < 0x40 || c > 0x7E) {
        // Cut short: nothing of it reaches the line, but the byte that cut it is a key.
        if (c != kNoByte)
            pending_ = c;
        return key(Kind::ignored);
    }
    return csiKey(params, c);
}

// The rest of a UTF-8 character whose first byte is `lead`.
Key KeyDecoder::utf8Character(int lead) {
    const int length = lead >= 0xF0 && lead <= 0xF7   ? 4
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                                                      : 0;
    Key k = key(Kind::character);
    k.ch = 0xFFFD;
    if (length == 0)
        return k;
    std::string bytes(1, char(lead));
    while (int(bytes.size()) < length) {
        const int b = byte(-1);
        if (b < 0 || (b & 0xC0) != 0x80) {
            pending_ = b; // a broken character; what broke it is read next
            return k;
        }
        bytes += char(b);
    }
    const std::wstring w = fromUtf8(bytes);
    if (w.size() == 1)
        k.ch = w[0];
    return k;
}

Key KeyDecoder::read() {
    const int c = byte(-1);
    if (c < 0)
        return key(Kind::endOfInput);
    switch (c) {
    case '\r':
    case '\n':
        return key(Kind::enter);
    case 3:
        return key(Kind::cancel);
    case 4:
        return key(Kind::ctrlD);
    case 127:
    case 8:
        return key(Kind::backspace);
    case 1:
        return key(Kind::home);
    case 5:
        return key(Kind::end);
    case 2:
        return key(Kind::left);
    case 6:
        return key(Kind::right);
    case 11:
        return key(Kind::killToEnd);
    case 21:
        return key(Kind::killToStart);
    case 16:
        return key(Kind::up);
    case 14:
        return key(Kind::down);
    case 27:
        return escapeSequence();
    default:
        break;
    }
    if (c < 32)
        return key(Kind::ignored);
    if (c < 0x80) {
        Key k = key(Kind::character);
        k.ch = wchar_t(c);
        return k;
    }
    return utf8Character(c);
}

int displayWidth(std::wstring_view text) {
    int width = 0;
    for (const wchar_t w : text) {
        const auto c = char32_t(w);
        if (inRange(c, 0x0300, 0x036F) || inRange(c, 0x200B, 0x200F) ||
            inRange(c, 0xFE00, 0xFE0F) || inRange(c, 0x3099, 0x309A))
            continue; // combining marks and zero-width characters
        const bool wide = inRange(c, 0x1100, 0x115F) || inRange(c, 0x2E80, 0x303E) ||
                          inRange(c, 0x3041, 0x33FF) || inRange(c, 0x3400, 0x4DBF) ||
                          inRange(c, 0x4E00, 0x9FFF) || inRange(c, 0xA000, 0xA4CF) ||
                          inRange(c, 0xAC00, 0xD7A3) || inRange(c, 0xF900, 0xFAFF) ||
                          inRange(c, 0xFE30, 0xFE4F) || inRange(c, 0xFF00, 0xFF60) ||
                          inRange(c, 0xFFE0, 0xFFE6) || inRange(c, 0x1F300, 0x1F64F) ||
                          inRange(c, 0x1F900, 0x1F9FF) || inRange(c, 0x20000, 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

std::wstring commandLineHelp() {
    ensureHostCommands();
    std::vector<std::wstring> names;
    for (const rx::CommandEntry& e : rx::commandStack().commands())
        names.push_back(e.localName);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::wstring text = L"Commands:\n";
    std::wstring row;
    for (const std::wstring& n : names) {
        if (!row.empty() && row.size() + n.size() > 76) {
            text += L" " + row + L"\n";
            row.clear();
        }
        row += L" " + n;
    }
    if (!row.empty())
        text += L" " + row + L"\n";
    text += L"Answers and directives (@pick, @all, @window, ...): " + fromUtf8(ZHOST_DOCS_DIR) +
            L"/script.md\n"
            L"The commands' prompts: " +
            fromUtf8(ZHOST_DOCS_DIR) + L"/editor.md\n";
    return text;
}

} // namespace zhost::ed::detail

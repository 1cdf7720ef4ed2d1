#pragma once
// The keys of a terminal from the bytes it sends: UTF-8 characters, control keys and the escape
// sequences of cursor and function keys (xterm, VT100 and Linux console forms). Apart from the
// terminal itself so that the decoding can be driven by any byte source.
#include <functional>
#include <string>
#include <string_view>

namespace zhost::ed::detail {

// What a byte source returns besides a byte.
inline constexpr int kEndOfInput = -1;
inline constexpr int kNoByte = -2; // nothing arrived within the timeout

// The next byte; timeoutMs < 0 waits as long as it takes.
using ByteSource = std::function<int(int timeoutMs)>;

struct Key {
    enum class Kind {
        character, // ch
        enter,
        cancel, // Ctrl-C, or Esc on its own
        ctrlD,
        backspace,
        deleteKey,
        left,
        right,
        home,
        end,
        up,
        down,
        killToEnd,   // Ctrl-K
        killToStart, // Ctrl-U
        help,        // F1
        ignored,     // other function keys, Alt+key, bracketed-paste marks, stray controls
        endOfInput,
    };
    Kind kind = Kind::ignored;
    wchar_t ch = 0;
};

// How long to wait after Esc for the rest of a sequence before taking it as the Esc key.
inline constexpr int kEscapeTimeoutMs = 60;

// Reads keys from a byte source. An escape sequence is read whole, so that no part of an unknown
// one reaches the line; a malformed UTF-8 sequence gives U+FFFD, and the byte that broke a
// sequence is read again as the start of the next key.
class KeyDecoder {
public:
    explicit KeyDecoder(ByteSource next) : next_(std::move(next)) {}
    Key read();

private:
    int byte(int timeoutMs);
    Key escapeSequence();
    Key utf8Character(int lead);

    ByteSource next_;
    int pending_ = kNoByte;
};

// Terminal columns the text takes: two for wide (CJK, full-width) characters, none for combining
// marks, one for the rest.
int displayWidth(std::wstring_view text);

// What F1 prints: the commands known now and where their documentation is.
std::wstring commandLineHelp();

} // namespace zhost::ed::detail

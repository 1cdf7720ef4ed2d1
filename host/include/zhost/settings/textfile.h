#pragma once
// Reading the text files of the add-on's home platform: a byte-order mark decides the encoding
// (FF FE UTF-16LE, FE FF UTF-16BE, EF BB BF UTF-8); without one the text is in the host's code
// page (932 by default). Readers of ini and .reg files also accept UTF-8 without a mark, which
// editors on this platform write by default.
#include "zhost/core/status.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zhost::settings {

enum class TextEncoding { codePage, utf8, utf8Bom, utf16Le, utf16Be };

struct DecodedText {
    std::wstring text;                              // without the byte-order mark
    TextEncoding encoding = TextEncoding::codePage; // what was found
    int codePage = 0;                               // the code page used for `codePage`
};

// What to do with bytes that carry no byte-order mark.
enum class NoMarkRule {
    systemCodePage,   // the host's code page, always (the platform's plain text reading)
    utf8ThenCodePage, // UTF-8 when the bytes are valid UTF-8, else the host's code page
};

// Never fails: invalid bytes become U+FFFD.
DecodedText decodeText(std::string_view bytes, NoMarkRule rule = NoMarkRule::systemCodePage);

// True when the bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Files larger than this are refused (fileError): every text file of the product is far smaller.
constexpr std::uintmax_t kMaxTextFileBytes = 64u << 20;

// Reads a whole file that must be a regular one (links followed): a folder, a device, a FIFO or
// a socket is refused without waiting on it. fileNotFound when it does not exist, fileError when
// it cannot be read or holds more than `maxBytes`; `reason` (optional) gets the system's words
// ("Permission denied", "Is a directory", "Not a regular file (a FIFO)", "File too large").
Status readRegularFile(const std::filesystem::path& file, std::string& bytes,
                       std::uintmax_t maxBytes, std::wstring* reason = nullptr);

// readRegularFile for text files (at most kMaxTextFileBytes).
Status readFileBytes(const std::filesystem::path& file, std::string& bytes);
Status readTextFile(const std::filesystem::path& file, DecodedText& out,
                    NoMarkRule rule = NoMarkRule::systemCodePage);

// Line by line over decoded text. A line ends at "\r\n", "\n" or a lone "\r"; the end of the
// text ends the last line even without a final line break; the break itself is not returned.
class TextLineReader {
public:
    TextLineReader() = default;
    explicit TextLineReader(std::wstring text) : text_(std::move(text)) {}

    // Reads and decodes the file (see readTextFile); the reader is empty on failure.
    Status open(const std::filesystem::path& file, NoMarkRule rule = NoMarkRule::systemCodePage);

    // False at the end of the text.
    bool readLine(std::wstring& line);
    TextEncoding encoding() const { return encoding_; }

private:
    std::wstring text_;
    size_t pos_ = 0;
    TextEncoding encoding_ = TextEncoding::codePage;
};

} // namespace zhost::settings

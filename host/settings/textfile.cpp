#include "zhost/settings/textfile.h"

#include "zhost/settings/codepage.h"

#include "zhost/core/system_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zhost::settings {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

private:
    int fd_;
};

} // namespace

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        char32_t c = 0, min = 0;
        if ((b0 & 0xE0) == 0xC0)
            len = 2, c = b0 & 0x1F, min = 0x80;
        else if ((b0 & 0xF0) == 0xE0)
            len = 3, c = b0 & 0x0F, min = 0x800;
        else if ((b0 & 0xF8) == 0xF0)
            len = 4, c = b0 & 0x07, min = 0x10000;
        else
            return false;
        if (i + len > s.size())
            return false;
        for (int k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (b & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

DecodedText decodeText(std::string_view bytes, NoMarkRule rule) {
    DecodedText out;
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        out.encoding = TextEncoding::utf8Bom;
        out.codePage = kCodePageUtf8;
        out.text = decode(bytes.substr(3), kCodePageUtf8);
    } else if (startsWith(bytes, "\xFF\xFE")) {
        out.encoding = TextEncoding::utf16Le;
        out.codePage = kCodePageUtf16Le;
        out.text = decode(bytes.substr(2), kCodePageUtf16Le);
    } else if (startsWith(bytes, "\xFE\xFF")) {
        out.encoding = TextEncoding::utf16Be;
        out.codePage = kCodePageUtf16Be;
        out.text = decode(bytes.substr(2), kCodePageUtf16Be);
    } else if (rule == NoMarkRule::utf8ThenCodePage && isValidUtf8(bytes)) {
        out.encoding = TextEncoding::utf8;
        out.codePage = kCodePageUtf8;
        out.text = decode(bytes, kCodePageUtf8);
    } else {
        out.encoding = TextEncoding::codePage;
        out.codePage = systemCodePage();
        out.text = decode(bytes, out.codePage);
    }
    return out;
}

Status readRegularFile(const std::filesystem::path& file, std::string& bytes,
                       std::uintmax_t maxBytes, std::wstring* reason) {
    bytes.clear();
    auto fail = [&](Status s, std::wstring why) {
        bytes.clear();
        if (reason)
            *reason = std::move(why);
        return s;
    };
    // Non-blocking, so that naming a FIFO nobody writes to is refused instead of waiting.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return fail(error == ENOENT ? Status::fileNotFound : Status::fileError,
                    systemErrorText(error));
    }
    const OpenFile closer(fd);
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return fail(Status::fileError, systemErrorText(errno));
    if (!S_ISREG(info.st_mode))
        return fail(Status::fileError, fileKindProblem(info.st_mode));
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return fail(Status::fileError, L"File too large");
    bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(Status::fileError, systemErrorText(errno));
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > maxBytes) // it grew while being read
            return fail(Status::fileError, L"File too large");
    }
    return Status::ok;
}

Status readFileBytes(const std::filesystem::path& file, std::string& bytes) {
    return readRegularFile(file, bytes, kMaxTextFileBytes);
}

Status readTextFile(const std::filesystem::path& file, DecodedText& out, NoMarkRule rule) {
    std::string bytes;
    const Status s = readFileBytes(file, bytes);
    if (!ok(s)) {
        out = DecodedText{};
        return s;
    }
    out = decodeText(bytes, rule);
    return Status::ok;
}

Status TextLineReader::open(const std::filesystem::path& file, NoMarkRule rule) {
    DecodedText decoded;
    const Status s = readTextFile(file, decoded, rule);
    text_ = std::move(decoded.text);
    encoding_ = decoded.encoding;
    pos_ = 0;
    return s;
}

bool TextLineReader::readLine(std::wstring& line) {
    if (pos_ >= text_.size())
        return false;
    const size_t end = text_.find_first_of(L"\r\n", pos_);
    if (end == std::wstring::npos) {
        line.assign(text_, pos_);
        pos_ = text_.size();
        return true;
    }
    line.assign(text_, pos_, end - pos_);
    pos_ = end + 1;
    if (text_[end] == L'\r' && pos_ < text_.size() && text_[pos_] == L'\n')
        ++pos_;
    return true;
}

} // namespace zhost::settings

#include "zhost/settings/textfile.h"

#include "zhost/settings/codepage.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace zhost::settings {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
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

Status readFileBytes(const std::filesystem::path& file, std::string& bytes) {
    bytes.clear();
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status))
        return Status::fileNotFound;
    if (!std::filesystem::is_regular_file(status))
        return Status::fileError;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file.c_str(), "rb"));
    if (!f)
        return errno == ENOENT ? Status::fileNotFound : Status::fileError;
    char buffer[65536];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof(buffer), f.get());
        bytes.append(buffer, n);
        if (bytes.size() > kMaxTextFileBytes) {
            bytes.clear();
            return Status::fileError;
        }
        if (n < sizeof(buffer))
            break;
    }
    if (std::ferror(f.get())) {
        bytes.clear();
        return Status::fileError;
    }
    return Status::ok;
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

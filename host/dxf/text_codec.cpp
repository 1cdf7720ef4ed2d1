#include "text_codec.h"

#include "zhost/core/utf.h"
#include "zhost/settings/codepage.h"

#include <cstring>

namespace zhost::dxf {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of `n` hex digits at s, or -1.
long hexAt(std::wstring_view s, std::size_t pos, int n) {
    if (pos + std::size_t(n) > s.size())
        return -1;
    long v = 0;
    for (int i = 0; i < n; ++i) {
        const wchar_t c = s[pos + std::size_t(i)];
        const int d = c < 128 ? hexDigit(char(c)) : -1;
        if (d < 0)
            return -1;
        v = v * 16 + d;
    }
    return v;
}

bool isHighSurrogate(long v) {
    return v >= 0xD800 && v <= 0xDBFF;
}

// The value of a \U+XXXX escape of a low surrogate at pos, or -1.
long lowSurrogateEscapeAt(std::wstring_view s, std::size_t pos) {
    if (pos + 3 > s.size() || s[pos] != L'\\' || (s[pos + 1] != L'U' && s[pos + 1] != L'u') ||
        s[pos + 2] != L'+')
        return -1;
    const long v = hexAt(s, pos + 3, 4);
    return v >= 0xDC00 && v <= 0xDFFF ? v : -1;
}

// Whether the backslash at pos starts what the reader takes for an escape ("\U+", "\M+"):
// such a backslash is written escaped itself, so that text a user typed comes back as typed.
bool startsEscape(std::wstring_view s, std::size_t pos) {
    return s[pos] == L'\\' && pos + 2 < s.size() && s[pos + 2] == L'+' &&
           (s[pos + 1] == L'U' || s[pos + 1] == L'u' || s[pos + 1] == L'M' || s[pos + 1] == L'm');
}

// Replaces \U+XXXX and \M+nXXXX escapes in decoded text.
void unescape(std::wstring& s, std::size_t from) {
    std::size_t w = from;
    for (std::size_t r = from; r < s.size();) {
        if (s[r] == L'\\' && r + 2 < s.size() && s[r + 2] == L'+') {
            if ((s[r + 1] == L'U' || s[r + 1] == L'u')) {
                const long v = hexAt(s, r + 3, 4);
                if (v >= 0) {
                    // Characters beyond U+FFFF are written as two escapes, the UTF-16
                    // surrogates of the character, as the platform's wide strings hold it.
                    const long low = isHighSurrogate(v) ? lowSurrogateEscapeAt(s, r + 7) : -1;
                    if (low >= 0) {
                        s[w++] = wchar_t(0x10000 + ((v - 0xD800) << 10) + (low - 0xDC00));
                        r += 14;
                        continue;
                    }
                    s[w++] = wchar_t(v);
                    r += 7;
                    continue;
                }
            } else if (s[r + 1] == L'M' || s[r + 1] == L'm') {
                // \M+nXXXX: a double-byte character of code page n (1 is 932, the one we know).
                const long n = hexAt(s, r + 3, 1);
                const long v = hexAt(s, r + 4, 4);
                if (n == 1 && v >= 0) {
                    const char bytes[2] = {char(v >> 8), char(v & 0xFF)};
                    const std::wstring c = settings::decode({bytes, 2}, 932);
                    s[w++] = c.empty() ? wchar_t(0xFFFD) : c[0];
                    r += 8;
                    continue;
                }
            }
        }
        s[w++] = s[r++];
    }
    s.resize(w);
}

} // namespace

void TextDecoder::decodeInto(std::string_view bytes, std::wstring& out) const {
    const std::size_t start = out.size();
    bool plain = true, escapes = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            plain = false;
        else if (c == '\\')
            escapes = true;
    }
    if (plain) {
        out.append(bytes.begin(), bytes.end());
    } else if (codePage_ == 65001) {
        out += fromUtf8(bytes);
    } else {
        out += settings::decode(bytes, codePage_);
    }
    if (escapes)
        unescape(out, start);
}

std::wstring TextDecoder::decode(std::string_view bytes) const {
    std::wstring s;
    decodeInto(bytes, s);
    return s;
}

void TextEncoder::encodeInto(std::wstring_view text, std::string& out) const {
    auto escape = [&](unsigned v) {
        static const char digits[] = "0123456789ABCDEF";
        out += "\\U+";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += digits[(v >> shift) & 15];
    };
    std::size_t runStart = 0;
    auto flushRun = [&](std::size_t endPos) {
        if (endPos <= runStart)
            return;
        const std::wstring_view run = text.substr(runStart, endPos - runStart);
        bool ascii = true;
        for (wchar_t c : run)
            ascii = ascii && c < 128;
        if (ascii) {
            for (wchar_t c : run)
                out += char(c);
        } else if (codePage_ == 65001) {
            out += toUtf8(run);
        } else {
            bool lossless = true;
            std::string bytes = settings::encode(run, codePage_, &lossless);
            if (lossless) {
                out += bytes;
            } else {
                for (wchar_t c : run) {
                    bool one = true;
                    std::string b = c < 128 ? std::string(1, char(c))
                                            : settings::encode({&c, 1}, codePage_, &one);
                    if (one)
                        out += b;
                    else if (unsigned(c) <= 0xFFFF) {
                        escape(unsigned(c));
                    } else if (unsigned(c) <= 0x10FFFF) {
                        const unsigned v = unsigned(c) - 0x10000;
                        escape(0xD800 + (v >> 10));
                        escape(0xDC00 + (v & 0x3FF));
                    } else {
                        escape(0xFFFD);
                    }
                }
            }
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x20 || c == 0x7F || startsEscape(text, i)) {
            flushRun(i);
            escape(unsigned(c));
            runStart = i + 1;
        }
    }
    flushRun(text.size());
}

int codePageFromName(std::string_view name) {
    std::string n;
    for (char c : name)
        if (c != ' ' && c != '\r')
            n += char(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (n == "UTF-8" || n == "UTF8")
        return 65001;
    if (n.rfind("ANSI_", 0) == 0) {
        int v = 0;
        for (std::size_t i = 5; i < n.size(); ++i) {
            if (n[i] < '0' || n[i] > '9' || v > 100000)
                return 0;
            v = v * 10 + (n[i] - '0');
        }
        return v;
    }
    if (n == "DOS932")
        return 932;
    return 0;
}

std::string codePageName(int codePage) {
    if (codePage == 65001)
        return "UTF-8";
    return "ANSI_" + std::to_string(codePage);
}

namespace {

// Lead bytes of the double-byte characters that Japanese text uses (JIS X 0208 and the NEC and
// IBM extensions); the user-defined rows and unassigned leads are taken as no 932 text.
bool isLead932(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA) || b == 0xED || b == 0xEE ||
           (b >= 0xFA && b <= 0xFC);
}

bool undefinedIn1252(unsigned char b) {
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

} // namespace

int guessCodePage(std::string_view bytes) {
    std::size_t pairs = 0, evidence = 0;
    bool undefined = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
            continue; // ASCII, or a single-byte katakana in 932
        if (!isLead932(b) || i + 1 >= bytes.size())
            return 1252;
        const auto t = static_cast<unsigned char>(bytes[i + 1]);
        if (t < 0x40 || t == 0x7F || t > 0xFC)
            return 1252; // no 932 trail byte
        undefined = undefined || undefinedIn1252(b) || undefinedIn1252(t);
        ++pairs;
        // What 1252 would make of it: punctuation before a letter, or two accented letters.
        evidence += t >= 0x80 || b <= 0x9F;
        ++i;
    }
    if (pairs == 0)
        return 1252;
    return undefined || evidence * 2 > pairs ? 932 : 1252;
}

} // namespace zhost::dxf

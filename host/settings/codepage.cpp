#include "zhost/settings/codepage.h"

#include "zhost/core/utf.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <iconv.h>

namespace zhost::settings {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1); // what iconv_open returns on failure

std::atomic<int> gSystemCodePage{kCodePage932};

// glibc names of the code pages. "CP932" and never "SHIFT_JIS": the latter rejects the
// platform's vendor characters (① ㈱ 髙 ...) and maps 81 60 to U+301C instead of U+FF5E.
const char* iconvName(int codePage) {
    switch (codePage) {
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1252:
        return "CP1252";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 20127:
        return "ASCII";
    case 28591:
        return "ISO-8859-1";
    default:
        return nullptr;
    }
}

// Opening a converter costs far more than a short conversion, so each thread keeps the ones it
// used. A converter is never shared between threads (iconv_t carries state).
class ConverterCache {
public:
    ~ConverterCache() {
        for (auto& e : entries_)
            if (e.cd != kNoConverter)
                iconv_close(e.cd);
    }
    // The converter from the code page to wchar_t (toWide) or back; kNoConverter when glibc
    // does not know the code page.
    iconv_t get(int codePage, bool toWide) {
        for (auto& e : entries_)
            if (e.codePage == codePage && e.toWide == toWide && e.cd != kNoConverter)
                return e.cd;
        const char* name = iconvName(codePage);
        if (name == nullptr)
            return kNoConverter;
        iconv_t cd = toWide ? iconv_open("WCHAR_T", name) : iconv_open(name, "WCHAR_T");
        if (cd == kNoConverter)
            return cd;
        Entry& slot = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        if (slot.cd != kNoConverter)
            iconv_close(slot.cd);
        slot = Entry{codePage, toWide, cd};
        return cd;
    }

private:
    struct Entry {
        int codePage = 0;
        bool toWide = false;
        iconv_t cd = kNoConverter;
    };
    std::array<Entry, 8> entries_{};
    size_t next_ = 0;
};

iconv_t converter(int codePage, bool toWide) {
    thread_local ConverterCache cache;
    return cache.get(codePage, toWide);
}

std::wstring decodeAsciiOnly(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += b < 0x80 ? static_cast<wchar_t>(b) : kReplacement;
    }
    return out;
}

std::wstring decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 2 + 1);
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) -> char32_t {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (char32_t(b0) << 8 | b1) : (char32_t(b1) << 8 | b0);
    };
    for (size_t i = 0; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t v = unitAt(i + 1);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                const char32_t c = 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00);
                if constexpr (sizeof(wchar_t) == 2) {
                    out += static_cast<wchar_t>(u);
                    out += static_cast<wchar_t>(v);
                } else {
                    out += static_cast<wchar_t>(c);
                }
                ++i;
                continue;
            }
        }
        out += (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : static_cast<wchar_t>(u);
    }
    if (bytes.size() % 2 != 0)
        out += kReplacement;
    return out;
}

bool isScalarValue(char32_t c) {
    return c < 0xD800 || (c >= 0xE000 && c <= 0x10FFFF);
}

std::string encodeUtf16(std::wstring_view text, bool bigEndian, bool& lossless) {
    std::string out;
    out.reserve(text.size() * 2);
    auto put = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if constexpr (sizeof(wchar_t) == 2) {
            put(c); // already UTF-16 code units
            continue;
        }
        if (!isScalarValue(c)) {
            lossless = false;
            c = kReplacement;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

std::wstring decodeIconv(std::string_view bytes, iconv_t cd) {
    std::wstring out;
    out.reserve(bytes.size());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data()); // iconv's signature; it does not write input
    size_t inLeft = bytes.size();
    std::array<wchar_t, 512> chunk;
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(chunk.data());
        size_t outLeft = sizeof(chunk);
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), (sizeof(chunk) - outLeft) / sizeof(wchar_t));
        if (r != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        out += kReplacement;
        if (errno == EINVAL) // a lead byte without its trail byte at the very end
            break;
        ++in; // invalid or unmappable: drop one byte and go on with the next
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string encodeIconv(std::wstring_view text, iconv_t cd, bool& lossless) {
    std::string out;
    out.reserve(text.size() * 2);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    size_t inLeft = text.size() * sizeof(wchar_t);
    std::array<char, 1024> chunk;
    while (inLeft > 0) {
        char* outPtr = chunk.data();
        size_t outLeft = chunk.size();
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), chunk.size() - outLeft);
        if (r != static_cast<size_t>(-1)) {
            // glibc counts characters it replaced by its own choice; none for these tables,
            // but a non-zero count still means the text did not map exactly.
            if (r > 0)
                lossless = false;
            continue;
        }
        if (errno == E2BIG)
            continue;
        out += '?';
        lossless = false;
        if (inLeft < sizeof(wchar_t))
            break;
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = chunk.data();
    size_t outLeft = chunk.size();
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft); // stateless tables: nothing, but be exact
    out.append(chunk.data(), chunk.size() - outLeft);
    return out;
}

} // namespace

int systemCodePage() {
    return gSystemCodePage.load(std::memory_order_relaxed);
}

void setSystemCodePage(int codePage) {
    gSystemCodePage.store(codePage, std::memory_order_relaxed);
}

bool isKnownCodePage(int codePage) {
    return codePage == kCodePageUtf8 || codePage == kCodePageUtf16Le ||
           codePage == kCodePageUtf16Be || iconvName(codePage) != nullptr;
}

std::wstring decode(std::string_view bytes, int codePage) {
    switch (codePage) {
    case kCodePageUtf8:
        return fromUtf8(bytes);
    case kCodePageUtf16Le:
        return decodeUtf16(bytes, false);
    case kCodePageUtf16Be:
        return decodeUtf16(bytes, true);
    default:
        break;
    }
    iconv_t cd = converter(codePage, true);
    if (cd == kNoConverter)
        return decodeAsciiOnly(bytes);
    return decodeIconv(bytes, cd);
}

std::string encode(std::wstring_view text, int codePage, bool* lossless) {
    bool exact = true;
    std::string out;
    switch (codePage) {
    case kCodePageUtf8:
        for (wchar_t w : text)
            if (!isScalarValue(static_cast<char32_t>(w)))
                exact = false;
        out = toUtf8(text);
        break;
    case kCodePageUtf16Le:
        out = encodeUtf16(text, false, exact);
        break;
    case kCodePageUtf16Be:
        out = encodeUtf16(text, true, exact);
        break;
    default: {
        iconv_t cd = converter(codePage, false);
        if (cd != kNoConverter) {
            out = encodeIconv(text, cd, exact);
            break;
        }
        out.reserve(text.size());
        for (wchar_t w : text) {
            const bool ascii = static_cast<char32_t>(w) < 0x80;
            out += ascii ? static_cast<char>(w) : '?';
            exact = exact && ascii;
        }
        break;
    }
    }
    if (lossless != nullptr)
        *lossless = exact;
    return out;
}

} // namespace zhost::settings

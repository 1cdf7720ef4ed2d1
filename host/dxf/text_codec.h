#pragma once
// Text of DXF values: UTF-8 from R2007 on; before that the drawing's code page ($DWGCODEPAGE)
// with \U+XXXX escapes for characters outside it (and \M+nXXXX double-byte escapes).
#include <string>
#include <string_view>

namespace zhost::dxf {

class TextDecoder {
public:
    explicit TextDecoder(int codePage = 65001) : codePage_(codePage) {}
    int codePage() const { return codePage_; }
    void setCodePage(int cp) { codePage_ = cp; }
    std::wstring decode(std::string_view bytes) const;
    // Appends to `out` (no allocation when `out` has room).
    void decodeInto(std::string_view bytes, std::wstring& out) const;

private:
    int codePage_;
};

class TextEncoder {
public:
    explicit TextEncoder(int codePage = 65001) : codePage_(codePage) {}
    int codePage() const { return codePage_; }
    // Appends the value bytes. Line breaks and other control characters, which would break the
    // line structure of the file, and characters the code page lacks become \U+XXXX (two
    // escapes, the UTF-16 surrogates, beyond U+FFFF); a backslash that would start an escape
    // ("\U+", "\M+") is escaped itself.
    void encodeInto(std::wstring_view text, std::string& out) const;

private:
    int codePage_;
};

// The code page named by $DWGCODEPAGE ("ANSI_932" → 932, "ANSI_1252" → 1252, "UTF-8" → 65001);
// 0 when unknown.
int codePageFromName(std::string_view name);
// "ANSI_932", "ANSI_1252", "UTF-8".
std::string codePageName(int codePage);

// The code page of a file that does not name one (no $DWGCODEPAGE, or "UNDEFINED"): 1252, the
// Windows default for Western text, unless the bytes make Shift-JIS (932) the clear choice. All
// bytes above 0x7F must be valid Japanese 932 (single-byte katakana, or double-byte characters
// with the leads Japanese text uses) with at least one double-byte character, and either one of
// them is a byte 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) or most double-byte
// characters read in 1252 as what Western text does not hold: a punctuation mark of 0x82-0x9F
// before a letter, or two accented letters side by side.
int guessCodePage(std::string_view bytes);

} // namespace zhost::dxf

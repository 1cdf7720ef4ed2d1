// Text values: UTF-8, code pages and \U+XXXX escapes.
#include "text_codec.h"

#include <gtest/gtest.h>

using namespace zhost::dxf;

TEST(DxfText, CodePage932IsDecoded) {
    const TextDecoder d(932);
    EXPECT_EQ(L"外形線", d.decode("\x8a\x4f\x8c\x60\x90\xfc"));
}

TEST(DxfText, UnicodeEscapesAreDecodedInAnyCodePage) {
    EXPECT_EQ(L"A外B", TextDecoder(1252).decode("A\\U+5916B"));
    EXPECT_EQ(L"A外B", TextDecoder(65001).decode("A\\U+5916B"));
    EXPECT_EQ(L"\\U+zz", TextDecoder(65001).decode("\\U+zz"));   // not an escape
    EXPECT_EQ(L"x\\U+12", TextDecoder(65001).decode("x\\U+12")); // cut short
}

TEST(DxfText, DoubleByteEscapesOf932AreDecoded) {
    EXPECT_EQ(L"外", TextDecoder(1252).decode("\\M+18A4F"));
}

TEST(DxfText, InvalidUtf8BecomesReplacementCharacters) {
    const std::wstring s = TextDecoder(65001).decode("a\xff\xfe"
                                                     "b");
    EXPECT_EQ(L'a', s.front());
    EXPECT_EQ(L'b', s.back());
    EXPECT_NE(std::wstring::npos, s.find(wchar_t(0xFFFD)));
}

TEST(DxfText, EncoderEscapesWhatTheCodePageLacksAndLineBreaks) {
    std::string out;
    TextEncoder(1252).encodeInto(L"é外\nx", out);
    EXPECT_EQ("\xe9\\U+5916\\U+000Ax", out);
    out.clear();
    TextEncoder(932).encodeInto(L"外é", out);
    EXPECT_EQ("\x8a\x4f\\U+00E9", out);
}

TEST(DxfText, CodePageNames) {
    EXPECT_EQ(932, codePageFromName("ANSI_932"));
    EXPECT_EQ(1252, codePageFromName("ansi_1252"));
    EXPECT_EQ(65001, codePageFromName("UTF-8"));
    EXPECT_EQ(0, codePageFromName("KLINGON"));
    EXPECT_EQ("ANSI_932", codePageName(932));
}

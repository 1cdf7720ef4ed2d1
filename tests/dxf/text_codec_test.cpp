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

TEST(DxfText, CharactersBeyondTheBasicPlaneAreEscapedAsSurrogatePairs) {
    std::string out;
    TextEncoder(932).encodeInto(L"a😀b", out);
    EXPECT_EQ("a\\U+D83D\\U+DE00b", out);
    EXPECT_EQ(L"a😀b", TextDecoder(932).decode(out));
    // A high surrogate without its low half stays what it was written as.
    EXPECT_EQ(std::wstring(L"x") + wchar_t(0xD83D) + L"y", TextDecoder(932).decode("x\\U+D83Dy"));
    EXPECT_EQ(std::wstring(1, wchar_t(0xD83D)) + L"A", TextDecoder(932).decode("\\U+D83D\\U+0041"));
}

TEST(DxfText, TypedEscapeSequencesComeBackAsTyped) {
    for (const int codePage : {932, 1252, 65001}) {
        std::string out;
        TextEncoder(codePage).encodeInto(L"\\U+0041 \\M+18A4F \\u+12 \\ \\n", out);
        EXPECT_EQ("\\U+005CU+0041 \\U+005CM+18A4F \\U+005Cu+12 \\ \\n", out);
        EXPECT_EQ(L"\\U+0041 \\M+18A4F \\u+12 \\ \\n", TextDecoder(codePage).decode(out));
    }
}

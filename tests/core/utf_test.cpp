#include "zhost/core/utf.h"

#include <gtest/gtest.h>

using namespace zhost;

TEST(Utf8, JapaneseAndAstralRoundTrip) {
    const std::string text = "穴の外形 ① ～ 𠮷 abc";
    EXPECT_EQ(toUtf8(fromUtf8(text)), text);
    EXPECT_EQ(fromUtf8("選択")[0], L'選');
}

TEST(Utf8, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(fromUtf8("a\xFF"
                       "b"),
              std::wstring(L"a\xFFFD"
                           L"b"));
    EXPECT_EQ(fromUtf8("\xE3\x81"), std::wstring(L"\xFFFD\xFFFD")); // truncated sequence
    EXPECT_EQ(fromUtf8("\xC0\xAF"), std::wstring(L"\xFFFD\xFFFD")); // overlong '/'
    EXPECT_EQ(fromUtf8("\xED\xA0\x80").front(), L'\xFFFD');         // encoded surrogate
}

TEST(NameComparison, IgnoresAsciiAndFullWidthCase) {
    EXPECT_TRUE(equalsNoCase(L"Model_Space", L"MODEL_SPACE"));
    EXPECT_TRUE(equalsNoCase(L"ａｂ", L"ＡＢ"));
    EXPECT_FALSE(equalsNoCase(L"AM_0", L"AM_1"));
    EXPECT_FALSE(equalsNoCase(L"AM", L"AM_"));
}

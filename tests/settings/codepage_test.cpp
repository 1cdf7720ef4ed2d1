#include "zhost/settings/codepage.h"

#include <gtest/gtest.h>

using namespace zhost::settings;

TEST(CodePage932, RoundTripsVendorCharactersAndHalfWidthKana) {
    const std::wstring text = L"①～㈱髙－∥Ⅰ ｱｲｳ 漢字かなカナ ABC\\~";
    bool lossless = false;
    const std::string bytes = encode(text, kCodePage932, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(decode(bytes, kCodePage932), text);
}

TEST(CodePage932, WaveDashIsTheFullWidthTildeOfThePlatform) {
    // 81 60 is U+FF5E on the platform; SHIFT_JIS tables would give U+301C.
    EXPECT_EQ(decode("\x81\x60", kCodePage932), L"～");
    EXPECT_EQ(decode("\xB1\xB2\xB3", kCodePage932), L"ｱｲｳ");
    EXPECT_EQ(decode("\x87\x40", kCodePage932), L"①");
}

TEST(CodePage932, InvalidBytesBecomeReplacementAndDecodingGoesOn) {
    EXPECT_EQ(decode(std::string_view("A\xFF"
                                      "B",
                                      3),
                     kCodePage932),
              L"A\uFFFDB");
    // A lead byte with nothing after it at the end.
    EXPECT_EQ(decode("AB\x82", kCodePage932), L"AB\uFFFD");
    // A lead byte followed by a byte that cannot trail: the second byte is still read.
    EXPECT_EQ(decode("\x82"
                     "\x20"
                     "C",
                     kCodePage932),
              L"\uFFFD C");
}

TEST(CodePage932, UnmappableCharactersBecomeQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(encode(L"a\u00E9b\U0001F600c", kCodePage932, &lossless), "a?b?c");
    EXPECT_FALSE(lossless);
}

TEST(CodePageUtf16, SurrogatePairsAndOddBytes) {
    const std::wstring text = L"A\U0001F600漢";
    bool lossless = false;
    const std::string bytes = encode(text, kCodePageUtf16Le, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(bytes.size(), 8u);
    EXPECT_EQ(decode(bytes, kCodePageUtf16Le), text);
    EXPECT_EQ(decode(bytes + "x", kCodePageUtf16Le), text + L"\uFFFD");
    // A lone high surrogate.
    EXPECT_EQ(decode(std::string("\x00\xD8\x41\x00", 4), kCodePageUtf16Le), L"\uFFFDA");
}

TEST(CodePage1252, EncodesLatinAndMarksOthersLost) {
    bool lossless = false;
    EXPECT_EQ(encode(L"café €", kCodePage1252, &lossless), "caf\xE9 \x80");
    EXPECT_TRUE(lossless);
    EXPECT_EQ(encode(L"漢", kCodePage1252, &lossless), "?");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(decode("caf\xE9", kCodePage1252), L"café");
}

TEST(CodePageSystem, DefaultsTo932AndCanBeChanged) {
    EXPECT_EQ(systemCodePage(), kCodePage932);
    setSystemCodePage(kCodePage1252);
    EXPECT_EQ(systemCodePage(), kCodePage1252);
    setSystemCodePage(kCodePage932);
}

TEST(CodePageUnknown, KeepsAsciiAndReplacesTheRest) {
    EXPECT_FALSE(isKnownCodePage(12345));
    EXPECT_EQ(decode("ab\xC0", 12345), L"ab\uFFFD");
    bool lossless = true;
    EXPECT_EQ(encode(L"aé", 12345, &lossless), "a?");
    EXPECT_FALSE(lossless);
}

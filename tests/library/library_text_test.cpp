#include "library/LibraryText.h"

#include "LibraryTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using libtest::WriteBytes;
using ztest::TempFolder;

TEST(LibrarySplit, SingleFieldForPlainTextTrailingDelimiterAndEmptyText) {
    std::vector<std::wstring> f;
    EXPECT_EQ(Split(L"a", f, L"\t"), 1);
    EXPECT_EQ(f, std::vector<std::wstring>{L"a"});
    EXPECT_EQ(Split(L"a\t", f, L"\t"), 1);
    EXPECT_EQ(f, std::vector<std::wstring>{L"a"});
    EXPECT_EQ(Split(L"", f, L"\t"), 1);
    EXPECT_EQ(f, std::vector<std::wstring>{L""});
}

TEST(LibrarySplit, DoubledDelimiterGivesEmptyFieldBetween) {
    std::vector<std::wstring> f;
    EXPECT_EQ(Split(L"a\t\tb", f, L"\t"), 3);
    EXPECT_EQ(f, (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(Split(L"a\t\t", f, L"\t"), 2);
    EXPECT_EQ(f, (std::vector<std::wstring>{L"a", L""}));
    EXPECT_EQ(Split(L"\ta", f, L"\t"), 2);
    EXPECT_EQ(f, (std::vector<std::wstring>{L"", L"a"}));
}

TEST(LibrarySplit, MultiCharacterDelimiterAndPlainStringForm) {
    std::vector<std::wstring> f;
    EXPECT_EQ(Split(L"M3, M4, M5", f, L", "), 3);
    EXPECT_EQ(f, (std::vector<std::wstring>{L"M3", L"M4", L"M5"}));
    EXPECT_EQ(Split(static_cast<const wchar_t*>(L"x,y"), f, L","), 2);
    EXPECT_EQ(Split(static_cast<const wchar_t*>(nullptr), f, L","), 1);
    EXPECT_EQ(Split(L"x,y", f, L""), 1); // no delimiter: the whole text
}

TEST(LibraryReadLines, TrimDropsEmptyLinesAndBothEnds) {
    std::vector<std::wstring> lines;
    EXPECT_EQ(SplitIntoLines(L"  a \n\n\t\nb\n", lines, true), 2);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(LibraryReadLines, WithoutTrimTheLineEndStays) {
    std::vector<std::wstring> lines;
    EXPECT_EQ(SplitIntoLines(L" a\n\nb", lines, false), 3);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L" a\n", L"\n", L"b"}));
}

TEST(LibraryReadLines, LongLinesContinueInPiecesOf511) {
    std::vector<std::wstring> lines;
    const std::wstring longLine(1100, L'x');
    EXPECT_EQ(SplitIntoLines(longLine + L"\nend\n", lines, true), 4);
    EXPECT_EQ(lines[0].size(), 511u);
    EXPECT_EQ(lines[1].size(), 511u);
    EXPECT_EQ(lines[2].size(), 78u);
    EXPECT_EQ(lines[3], L"end");
}

TEST(LibraryReadLines, FileInHostCodePageAndCrLf) {
    ztest::TempFolder dir;
    WriteBytes(dir.path() / "y.txt", libtest::Cp932(L"呼び径\tM8\r\n六角ボルト\r\n"));
    std::vector<std::wstring> lines;
    EXPECT_EQ(ReadLines(libtest::WidePath(dir.path()) + L"/y.txt", lines, false), 2);
    EXPECT_EQ(lines[0], L"呼び径\tM8\n");
    EXPECT_EQ(lines[1], L"六角ボルト\n");
}

TEST(LibraryReadLines, ByteOrderMarkIsHonoured) {
    ztest::TempFolder dir;
    WriteBytes(dir.path() / "u16.txt", libtest::Utf16Le(L"ボルト\r\nナット\r\n"));
    WriteBytes(dir.path() / "u8.txt", "\xEF\xBB\xBF"
                                      "\xE3\x83\x9C\xE3\x83\xAB\xE3\x83\x88\n");
    std::vector<std::wstring> lines;
    EXPECT_EQ(ReadLines(libtest::WidePath(dir.path()) + L"/u16.txt", lines, true), 2);
    EXPECT_EQ(lines[1], L"ナット");
    EXPECT_EQ(ReadLines(libtest::WidePath(dir.path()) + L"/u8.txt", lines, true), 1);
    EXPECT_EQ(lines[0], L"ボルト");
}

TEST(LibraryReadLines, MissingFileGivesMinusOne) {
    ztest::TempFolder dir;
    std::vector<std::wstring> lines{L"stale"};
    EXPECT_EQ(ReadLines(libtest::WidePath(dir.path()) + L"/none.txt", lines, true), -1);
    EXPECT_TRUE(lines.empty());
}

TEST(LibraryReadLines, BackslashPathsAndOtherCaseAreResolved) {
    ztest::TempFolder dir;
    WriteBytes(dir.path() / "Sub" / "Data.TXT", "one\n");
    std::vector<std::wstring> lines;
    EXPECT_EQ(ReadLines(libtest::WidePath(dir.path()) + L"\\sub\\data.txt", lines, true), 1);
}

TEST(LibraryNumber, LeadingNumberWithTextAfterIt) {
    double v = 0;
    ASSERT_TRUE(ParseLeadingNumber(L"12.5mm", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    ASSERT_TRUE(ParseLeadingNumber(L"  -3", v));
    EXPECT_DOUBLE_EQ(v, -3);
    ASSERT_TRUE(ParseLeadingNumber(L"+.5", v));
    EXPECT_DOUBLE_EQ(v, 0.5);
    ASSERT_TRUE(ParseLeadingNumber(L"2e", v)); // an exponent without digits is not one
    EXPECT_DOUBLE_EQ(v, 2);
    ASSERT_TRUE(ParseLeadingNumber(L"1.5E2x", v));
    EXPECT_DOUBLE_EQ(v, 150);
    ASSERT_TRUE(ParseLeadingNumber(L"10\n", v));
    EXPECT_DOUBLE_EQ(v, 10);
}

TEST(LibraryNumber, TextWithoutNumberIsNotANumber) {
    double v = 42;
    EXPECT_FALSE(ParseLeadingNumber(L"", v));
    EXPECT_FALSE(ParseLeadingNumber(L"M8", v));
    EXPECT_FALSE(ParseLeadingNumber(L".", v));
    EXPECT_FALSE(ParseLeadingNumber(L"-", v));
    EXPECT_EQ(v, 42);
    EXPECT_EQ(ToNumber(L"abc"), 0.0);
}

TEST(LibraryNumber, NonFiniteValuesAreNotNumbers) {
    double v = 7;
    EXPECT_FALSE(ParseLeadingNumber(L"1e400", v));
    EXPECT_FALSE(ParseLeadingNumber(L"-1e400", v));
    EXPECT_FALSE(ParseLeadingNumber(L"nan", v));
    EXPECT_FALSE(ParseLeadingNumber(L"inf", v));
    EXPECT_FALSE(ParseLeadingNumber(L"INFINITY", v));
    EXPECT_EQ(v, 7);
    ASSERT_TRUE(ParseLeadingNumber(L"1e-400", v)); // an underflow is a tiny number, not an error
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_LT(std::fabs(v), 1e-300);
    const std::wstring huge(10000, L'9');
    EXPECT_FALSE(ParseLeadingNumber(huge, v));
}

TEST(LibraryTrim, IdeographicBlankIsWhiteSpace) {
    std::wstring s = L"\x3000 ボルト\t\x3000";
    Trim(s);
    EXPECT_EQ(s, L"ボルト");
}

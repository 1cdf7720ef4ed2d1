#include "zhost/editor/format.h"

#include <gtest/gtest.h>

#include <string>

using zhost::ed::format;

TEST(FormatString, PercentSTakesWideStringsAsTheAddonsPlatformDoes) {
    const std::wstring name = L"BOLT_M10";
    EXPECT_EQ(format(L"%s_A%d", name, 3), L"BOLT_M10_A3");
    EXPECT_EQ(format(L"[%s]", L"部品"), L"[部品]");
}

TEST(FormatString, NumbersFollowPrintfRules) {
    EXPECT_EQ(format(L"<%2.2f>", 1.0), L"<1.00>");
    EXPECT_EQ(format(L"%.2f", 25.005), L"25.00"); // binary 25.005 lies below the half
    EXPECT_EQ(format(L"%f", 0.002), L"0.002000");
    EXPECT_EQ(format(L"%5d|%-5d|%05d", 42, 42, 42), L"   42|42   |00042");
    EXPECT_EQ(format(L"%x %X %u", 255, 255, 7u), L"ff FF 7");
    EXPECT_EQ(format(L"%d%%", 50), L"50%");
}

TEST(FormatString, NarrowStringsAreReadAsUtf8) {
    EXPECT_EQ(format(L"%hs", "m\xC2\xB2"), L"m²");
}

TEST(FormatString, MismatchedOrMissingArgumentsNeverReadGarbage) {
    EXPECT_EQ(format(L"%d", L"text"), L"(bad format)");
    EXPECT_EQ(format(L"%s and %s", L"one"), L"one and (bad format)");
    EXPECT_EQ(format(L"trailing %"), L"trailing (bad format)");
}

TEST(FormatString, WidthAndPrecisionFromArguments) {
    EXPECT_EQ(format(L"%*d|%.*f", 4, 7, 1, 2.25), L"   7|2.2");
    EXPECT_EQ(format(L"%.3s", L"abcdef"), L"abc");
}

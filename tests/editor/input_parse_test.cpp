#include "../../host/editor/input_parse.h"

#include <gtest/gtest.h>

using namespace zhost::ed::detail;
using zhost::geom::Point3d;

TEST(KeywordMatch, CapitalLettersAreTheAbbreviation) {
    const auto kws = parseKeywords(L"eXit Both sides Undo");
    EXPECT_EQ(matchKeyword(kws, L"x"), 0);
    EXPECT_EQ(matchKeyword(kws, L"EX"), 0);
    EXPECT_EQ(matchKeyword(kws, L"exit"), 0);
    EXPECT_EQ(matchKeyword(kws, L"e"), -1);
    EXPECT_EQ(matchKeyword(kws, L"b"), 1);
    EXPECT_EQ(matchKeyword(kws, L"u"), 3);
    EXPECT_EQ(matchKeyword(kws, L"sides"), 2); // all lower case: the full word only
    EXPECT_EQ(matchKeyword(kws, L"side"), -1);
}

TEST(KeywordMatch, UnderscoreAnswersMatchGlobalNames) {
    const auto kws = parseKeywords(L"Ja Nein _ Yes No");
    ASSERT_EQ(kws.size(), 2u);
    EXPECT_EQ(kws[0].global, L"Yes");
    EXPECT_EQ(matchKeyword(kws, L"_Y"), 0);
    EXPECT_EQ(matchKeyword(kws, L"_no"), 1);
    EXPECT_EQ(matchKeyword(kws, L"J"), 0);
    EXPECT_EQ(matchKeyword(kws, L"Y"), -1); // a local answer does not see the global names
}

TEST(KeywordMatch, AllCapitalKeywordsNeedTheirWholeName) {
    const auto kws = parseKeywords(L"NON Type");
    EXPECT_EQ(matchKeyword(kws, L"non"), 0);
    EXPECT_EQ(matchKeyword(kws, L"NO"), -1);
}

TEST(PointAnswer, AbsoluteRelativeAndPolar) {
    Point3d p;
    const Point3d last(10, 10, 0);
    ASSERT_TRUE(parsePointAnswer(L"3,4", last, p));
    EXPECT_EQ(p, Point3d(3, 4, 0));
    ASSERT_TRUE(parsePointAnswer(L"1,2,3", last, p));
    EXPECT_EQ(p, Point3d(1, 2, 3));
    ASSERT_TRUE(parsePointAnswer(L"@5,-5", last, p));
    EXPECT_EQ(p, Point3d(15, 5, 0));
    ASSERT_TRUE(parsePointAnswer(L"@10<90", last, p));
    EXPECT_NEAR(p.x, 10, 1e-12);
    EXPECT_NEAR(p.y, 20, 1e-12);
    ASSERT_TRUE(parsePointAnswer(L"@", last, p));
    EXPECT_EQ(p, last);
}

TEST(PointAnswer, MalformedTextIsNoPoint) {
    Point3d p;
    for (const wchar_t* bad :
         {L"3", L"3,", L",4", L"1,2,3,4", L"a,b", L"1e999,0", L"nan,1", L"0x10,2", L"1,,2", L""})
        EXPECT_FALSE(parsePointAnswer(bad, Point3d(), p)) << bad;
}

TEST(NumberAnswer, OnlyPlainDecimalNumbers) {
    double d = 0;
    EXPECT_TRUE(parseReal(L" -2.5 ", d));
    EXPECT_EQ(d, -2.5);
    EXPECT_TRUE(parseReal(L".5", d));
    EXPECT_TRUE(parseReal(L"1e3", d));
    EXPECT_EQ(d, 1000);
    for (const wchar_t* bad : {L"inf", L"nan", L"1.2.3", L"12abc", L"", L"-", L"1e400"})
        EXPECT_FALSE(parseReal(bad, d)) << bad;
}

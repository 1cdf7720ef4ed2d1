#include "zhost/core/wildcard.h"

#include <gtest/gtest.h>

#include <string>

using zhost::wcMatch;

TEST(WildcardDigit, HashMatchesOneDigitOnly) {
    EXPECT_TRUE(wcMatch(L"List1", L"List#"));
    EXPECT_TRUE(wcMatch(L"list9", L"List#"));
    EXPECT_FALSE(wcMatch(L"List", L"List#"));
    EXPECT_FALSE(wcMatch(L"List12", L"List#"));
    EXPECT_FALSE(wcMatch(L"ListA", L"List#"));
    EXPECT_TRUE(wcMatch(L"List\xFF13", L"List#")); // full-width three
}

TEST(WildcardLetter, AtMatchesOneLetter) {
    EXPECT_TRUE(wcMatch(L"M8", L"@#"));
    EXPECT_FALSE(wcMatch(L"88", L"@#"));
    EXPECT_FALSE(wcMatch(L"_8", L"@#"));
    EXPECT_TRUE(wcMatch(L"\x30DC"
                        L"1",
                        L"@#")); // katakana counts as a letter
}

TEST(WildcardOther, DotMatchesOneNonAlphanumeric) {
    EXPECT_TRUE(wcMatch(L"A-1", L"A.1"));
    EXPECT_TRUE(wcMatch(L"A 1", L"A.1"));
    EXPECT_FALSE(wcMatch(L"AB1", L"A.1"));
    EXPECT_FALSE(wcMatch(L"A21", L"A.1"));
    EXPECT_FALSE(wcMatch(L"A.1x", L"A.1"));
}

TEST(WildcardStar, StarMatchesAnySequenceIncludingEmpty) {
    EXPECT_TRUE(wcMatch(L"B1180", L"B1180*"));
    EXPECT_TRUE(wcMatch(L"B1180_2", L"B1180*"));
    EXPECT_TRUE(wcMatch(L"", L"*"));
    EXPECT_TRUE(wcMatch(L"abcabd", L"*ab?"));
    EXPECT_TRUE(wcMatch(L"xaaay", L"x*a*y"));
    EXPECT_FALSE(wcMatch(L"xaaaz", L"x*a*y"));
    EXPECT_TRUE(wcMatch(L"anything", L"***"));
}

TEST(WildcardStar, LongTextsDoNotBacktrackExponentially) {
    const std::wstring text(5000, L'a');
    EXPECT_FALSE(wcMatch(text, L"*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(wcMatch(text + L"b", L"*a*a*a*a*a*a*a*a*b"));
}

TEST(WildcardQuestion, QuestionMatchesExactlyOneCharacter) {
    EXPECT_TRUE(wcMatch(L"M10", L"M??"));
    EXPECT_FALSE(wcMatch(L"M8", L"M??"));
    EXPECT_FALSE(wcMatch(L"", L"?"));
}

TEST(WildcardNegation, LeadingTildeNegates) {
    EXPECT_FALSE(wcMatch(L"B1180", L"~B*"));
    EXPECT_TRUE(wcMatch(L"C1180", L"~B*"));
    // A tilde elsewhere is an ordinary character.
    EXPECT_TRUE(wcMatch(L"A~B", L"A~B"));
}

TEST(WildcardNegation, TildeBelongsToItsAlternative) {
    EXPECT_TRUE(wcMatch(L"ABC", L"~A*,*C"));
    EXPECT_FALSE(wcMatch(L"ABD", L"~A*,*C"));
}

TEST(WildcardSet, BracketsMatchOneOfTheCharacters) {
    EXPECT_TRUE(wcMatch(L"M8", L"M[68]"));
    EXPECT_FALSE(wcMatch(L"M7", L"M[68]"));
    EXPECT_TRUE(wcMatch(L"k", L"[a-z]"));
    EXPECT_TRUE(wcMatch(L"K", L"[a-z]")); // without case
    EXPECT_FALSE(wcMatch(L"K", L"[a-z]", false));
    EXPECT_FALSE(wcMatch(L"5", L"[a-z]"));
    EXPECT_TRUE(wcMatch(L"-", L"[a-]"));
}

TEST(WildcardSet, TildeInsideBracketsNegatesTheSet) {
    EXPECT_FALSE(wcMatch(L"M8", L"M[~68]"));
    EXPECT_TRUE(wcMatch(L"M7", L"M[~68]"));
    EXPECT_FALSE(wcMatch(L"M", L"M[~68]"));
}

TEST(WildcardSet, UnclosedBracketIsLiteral) {
    EXPECT_TRUE(wcMatch(L"[ab", L"[ab"));
    EXPECT_FALSE(wcMatch(L"a", L"[ab"));
}

TEST(WildcardSet, CommaInsideBracketsIsAMember) {
    EXPECT_TRUE(wcMatch(L",", L"[,;]"));
    EXPECT_FALSE(wcMatch(L"[", L"[,;]"));
}

TEST(WildcardEscape, BackquoteMakesTheNextCharacterLiteral) {
    EXPECT_TRUE(wcMatch(L"*SUPPRESS", L"`*SUPPRESS"));
    EXPECT_TRUE(wcMatch(L"*suppress", L"`*SUPPRESS"));
    EXPECT_FALSE(wcMatch(L"X*SUPPRESS", L"`*SUPPRESS"));
    EXPECT_FALSE(wcMatch(L"SUPPRESS", L"`*SUPPRESS"));
    EXPECT_TRUE(wcMatch(L"a#", L"a`#"));
    EXPECT_FALSE(wcMatch(L"a1", L"a`#"));
    EXPECT_TRUE(wcMatch(L"a,b", L"a`,b"));
    EXPECT_TRUE(wcMatch(L"~x", L"`~x"));
}

TEST(WildcardAlternatives, CommaSeparatesPatterns) {
    EXPECT_TRUE(wcMatch(L"B1180", L"B1181,B1180"));
    EXPECT_TRUE(wcMatch(L"3", L"1,2,3"));
    EXPECT_FALSE(wcMatch(L"4", L"1,2,3"));
    EXPECT_TRUE(wcMatch(L"", L"a,")); // an empty alternative matches the empty text
    EXPECT_FALSE(wcMatch(L"b", L"a,"));
}

TEST(WildcardCase, LettersCompareWithoutCaseUnlessAsked) {
    EXPECT_TRUE(wcMatch(L"nom_size", L"NOM_SIZE"));
    EXPECT_FALSE(wcMatch(L"nom_size", L"NOM_SIZE", false));
    EXPECT_TRUE(wcMatch(L"\xFF41", L"\xFF21")); // full-width a, A
}

TEST(WildcardEmpty, EmptyPatternMatchesOnlyEmptyText) {
    EXPECT_TRUE(wcMatch(L"", L""));
    EXPECT_FALSE(wcMatch(L"a", L""));
}

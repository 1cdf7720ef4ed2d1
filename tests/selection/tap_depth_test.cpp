// The tapped-hole depth check: the arithmetic against the worked M10 example, the strict limit,
// the table and control forms of the pitch and what passes for lack of values.
#include "CondTestContext.h"
#include "selection/CondValidation.h"
#include "selection/TapDepth.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using condtest::MapContext;

const wchar_t* const kTableEntry = L"TAP_ERR,Edit2,Edit3,List1:Tap.txt,キリ深さが足りません。";

class TapDepthCheck : public ::testing::Test {
protected:
    void SetUp() override {
        // Field 1 the pitch, field 2 the diameter, as the sample's tapped-hole table holds them.
        c.Table(L"Tap.txt", {L"呼び\tP\td", L"M8\t1.25\t8", L"M10\t1.5\t10", L"M12\t\t12"});
        c.Set(L"List1", L"M10").Set(L"Edit3", L"15");
    }
    CValidationResult Check(const std::wstring& a, const std::wstring& entry = kTableEntry) {
        c.Set(L"Edit2", a);
        return CheckValidationEntry(entry, c);
    }
    MapContext c;
};

TEST(TapDepthArithmetic, MatchesTheWorkedM10Example) {
    const CTapDepth t = ComputeTapDepth(1.5, 10, 15);
    EXPECT_NEAR(t.m_h, 1.299038, 5e-7);
    EXPECT_NEAR(t.m_d1, 8.376202, 5e-7);
    EXPECT_NEAR(t.m_c, 1.40625, 1e-9);
    EXPECT_NEAR(t.m_limit, 16.40625, 1e-9);
    // The minor diameter is taken as a distance, also for a diameter below 1.25 H.
    EXPECT_NEAR(ComputeTapDepth(4, 1, 0).m_d1, 1.25 * 4 * std::sqrt(3.0) / 2 - 1, 1e-12);
}

TEST_F(TapDepthCheck, DrillDepthMustBeStrictlyGreaterThanTheLimit) {
    EXPECT_FALSE(Check(L"16.5").m_failed);
    const CValidationResult fail = Check(L"16.4");
    EXPECT_TRUE(fail.m_failed);
    EXPECT_TRUE(fail.m_isTap);
    EXPECT_EQ(fail.m_message, L"キリ深さが足りません。 キリ深さ>16.41");
    // Exactly the limit is not deeper than it.
    EXPECT_TRUE(Check(L"16.40625").m_failed);
    EXPECT_FALSE(Check(L"16.40626").m_failed);
}

TEST_F(TapDepthCheck, TableGivesPitchAndDiameterForTheSize) {
    c.Set(L"List1", L"M8x1"); // found as M8: P 1.25, d 8 -> C = 1.171875
    EXPECT_TRUE(Check(L"16.17").m_failed);
    EXPECT_FALSE(Check(L"16.18").m_failed);
    EXPECT_EQ(Check(L"1").m_tap.m_p, L"1.25");
    c.Set(L"List1", L"M12"); // a row without a pitch passes
    EXPECT_FALSE(Check(L"1").m_failed);
    c.Set(L"List1", L"M30"); // no row passes
    EXPECT_FALSE(Check(L"1").m_failed);
    EXPECT_FALSE(Check(L"1", L"TAP_ERR,Edit2,Edit3,List1:Missing.csv,m").m_failed);
}

TEST_F(TapDepthCheck, PitchControlReadsTheNominalAsItStands) {
    c.Set(L"Pitch", L"1.5");
    // "M10" does not begin with a number: d reads 0, C is negative, the limit lies below B.
    const CValidationResult r = Check(L"14.9", L"TAP_ERR,Edit2,Edit3,List1:Pitch,m");
    EXPECT_TRUE(r.m_tap.m_computed);
    EXPECT_LT(r.m_tap.m_depth.m_limit, 15.0);
    EXPECT_FALSE(r.m_failed);
    c.Set(L"Nominal", L"10");
    EXPECT_TRUE(Check(L"16.4", L"TAP_ERR,Edit2,Edit3,Nominal:Pitch,m").m_failed);
}

TEST_F(TapDepthCheck, MissingValuesPass) {
    EXPECT_FALSE(Check(L"0", L"TAP_ERR,Edit2,Edit3,List1,m").m_failed); // no nominal control
    EXPECT_FALSE(Check(L"0", L"TAP_ERR,Edit2,Edit3,List1:NoPitch,m").m_failed);
    c.Set(L"Pitch", L"");
    EXPECT_FALSE(Check(L"0", L"TAP_ERR,Edit2,Edit3,List1:Pitch,m").m_failed);
    EXPECT_FALSE(Check(L"", kTableEntry).m_failed);
    EXPECT_FALSE(Check(L"0", L"TAP_ERR").m_failed);
}

TEST_F(TapDepthCheck, MessageFromDataIsNeverAFormat) {
    const CValidationResult r = Check(L"1", L"TAP_ERR,Edit2,Edit3,List1:Tap.txt,%s%d %n, too");
    EXPECT_EQ(r.m_message, L"%s%d %n, too キリ深さ>16.41");
}

TEST_F(TapDepthCheck, DiagnosticTextShowsTheCalculation) {
    const CValidationResult r = Check(L"16.4");
    const std::wstring text = TapDepthDebugText(r.m_tap);
    EXPECT_NE(text.find(L"A(キリ深さ)=16.4\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"d(呼び径)=10\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"P(ピッチ)=1.5\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"H(不明)=P+sqrt(3)/2=1.2990\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"d1(下穴径)=abs(d-2*(5/8)*H)=8.3762\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"C(不完全ねじ部)=0.5*(d-d1)*tan(60)=1.406"), std::wstring::npos);
    EXPECT_NE(text.find(L"にならないので NG\nキリ深さが足りません。 キリ深さ>16.41"),
              std::wstring::npos);
    EXPECT_NE(TapDepthDebugText(Check(L"17").m_tap).find(L"なので OK"), std::wstring::npos);
}

} // namespace

// Legacy symbol codes, one test per family of standards that share a reading rule, each with the
// boundaries of its positions and fields.
#include "placement/LegacyCode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Result {
    bool ok = false;
    int drawing = 0;
    int index = 0;
};

Result Decode(const std::wstring& code) {
    Result r;
    r.ok = DecodeLegacySymbolCode(code, r.drawing, r.index);
    return r;
}

// The code with the standard's four digits put in place of "NNNN".
std::wstring WithStandard(std::wstring code, const std::wstring& standard) {
    code.replace(code.find(L"NNNN"), 4, standard);
    return code;
}

void ExpectDecodes(const std::wstring& code, int drawing, int index) {
    const Result r = Decode(code);
    EXPECT_TRUE(r.ok) << "code " << std::string(code.begin(), code.end());
    EXPECT_EQ(r.drawing, drawing) << "code " << std::string(code.begin(), code.end());
    EXPECT_EQ(r.index, index) << "code " << std::string(code.begin(), code.end());
}

void ExpectRefused(const std::wstring& code) {
    const Result r = Decode(code);
    EXPECT_FALSE(r.ok) << "code " << std::string(code.begin(), code.end());
    EXPECT_EQ(r.drawing, -1);
    EXPECT_EQ(r.index, -1);
}

} // namespace

TEST(LegacyCode, ViewAtSixAndTwoDigitIndexAtEight) {
    for (const std::wstring s : {L"1001", L"1004", L"1101", L"1111", L"1117", L"1118", L"1177",
                                 L"1180", L"1188", L"1181"}) {
        ExpectDecodes(WithStandard(L"BNNNN_1_02", s), 1, 2);
        ExpectDecodes(WithStandard(L"BNNNN_S_12", s), 1, 12); // "S" is the front view too
        ExpectDecodes(WithStandard(L"BNNNN_6_99", s), 6, 99);
        ExpectDecodes(WithStandard(L"BNNNN_7_03", s), 0, 3); // any other view character is 0
        ExpectDecodes(WithStandard(L"BNNNN_1_5x", s), 1, 5); // the two read as a number
        ExpectRefused(WithStandard(L"BNNNN_1_0", s));        // one short of the index
        ExpectRefused(WithStandard(L"BNNNN_1_-1", s));       // an index of -1
    }
}

TEST(LegacyCode, ViewAtTwelveAndDigitIndexAtTen) {
    for (const std::wstring s : {L"1112", L"1115", L"1122", L"1123", L"1125", L"1135"}) {
        ExpectDecodes(WithStandard(L"BNNNN_M10_3_2", s), 2, 3);
        ExpectDecodes(WithStandard(L"BNNNN_M10_0_S", s), 1, 0);
        ExpectRefused(WithStandard(L"BNNNN_M10_3_", s));         // position 12 missing
        ExpectDecodes(WithStandard(L"BNNNN_M10_A_2", s), 2, 17); // a letter reads as 'A' - '0'
        ExpectRefused(WithStandard(L"BNNNN_M10_/_2", s)); // '/' - '0' is the failure value -1
    }
}

TEST(LegacyCode, ViewInTheSecondBlankField) {
    for (const std::wstring s : {L"0202", L"0203"}) {
        ExpectDecodes(WithStandard(L"BNNNN_A 1_2_3", s), 2, 1);
        ExpectDecodes(WithStandard(L"BNNNN_A 4_S", s), 1, 4);
        ExpectDecodes(WithStandard(L"BNNNN_A 4_x more", s), 0, 4);
        ExpectRefused(WithStandard(L"BNNNN_A_1_2", s));        // no blank-separated second field
        ExpectRefused(WithStandard(L"BNNNN_A 1x", s));         // no second "_" field in it
        ExpectRefused(WithStandard(L"BNNNN_A 1_", s));         // the second "_" field is empty
        ExpectDecodes(WithStandard(L"BNNNN_A x_2", s), 2, 72); // 'x' - '0'
        ExpectRefused(WithStandard(L"BNNNN_A /_2", s));        // '/' - '0' is -1
        ExpectRefused(WithStandard(L"BNNNN_A  1_2", s)); // two blanks: the second field is empty
    }
}

TEST(LegacyCode, SeriesOffsetsOf1119) {
    ExpectDecodes(L"B1119_1_1_05", 1, 5);
    ExpectDecodes(L"B1119_2_2_05", 2, 12);
    ExpectDecodes(L"B1119_3_3_05", 3, 15);
    ExpectDecodes(L"B1119_S_3_00", 1, 10);
    ExpectRefused(L"B1119_1_4_05"); // no series 4
    ExpectRefused(L"B1119_1_x");    // no series at all
    ExpectRefused(L"B1119_1_1_0");  // one short of the two digits
    ExpectRefused(L"B1119_1_");     // position 8 missing
}

TEST(LegacyCode, ViewAtSixWithoutIndex) {
    for (const std::wstring s : {L"1176", L"0204", L"0205", L"0206", L"0207", L"0208", L"0216",
                                 L"0222", L"1163", L"1167", L"1169", L"1190"}) {
        ExpectDecodes(WithStandard(L"BNNNN_2", s), 2, 0);
        ExpectDecodes(WithStandard(L"BNNNN_S_anything", s), 1, 0);
        ExpectRefused(WithStandard(L"BNNNN_", s));
    }
}

TEST(LegacyCode, ViewAtTwelveAndDigitIndexAtEight) {
    for (const std::wstring s : {L"1251", L"1252", L"1255", L"1256"}) {
        ExpectDecodes(WithStandard(L"BNNNN_AB3CDE4", s), 4, 3);
        ExpectDecodes(WithStandard(L"BNNNN_AB0CDEZ", s), 0, 0);
        ExpectRefused(WithStandard(L"BNNNN_AB3CDE", s));         // position 12 missing
        ExpectDecodes(WithStandard(L"BNNNN_ABxCDE4", s), 4, 72); // 'x' - '0'
        ExpectRefused(WithStandard(L"BNNNN_AB/CDE4", s));        // '/' - '0' is -1
    }
}

TEST(LegacyCode, TwoMinusFieldTwo) {
    for (const std::wstring s : {L"1166", L"1173", L"1174", L"1175", L"1178", L"1189", L"1195"}) {
        ExpectDecodes(WithStandard(L"BNNNN_M8_1", s), 1, 0);
        ExpectDecodes(WithStandard(L"BNNNN_M8_0_x", s), 2, 0);
        ExpectDecodes(WithStandard(L"BNNNN_M8_", s), 2, 0); // an empty field reads as 0
        ExpectRefused(WithStandard(L"BNNNN_M8_3", s));      // 2 - 3 is -1
        ExpectRefused(WithStandard(L"BNNNN_M8", s));        // no field 2
    }
}

TEST(LegacyCode, FieldTwoMinusOne) {
    for (const std::wstring s : {L"1168", L"1184"}) {
        ExpectDecodes(WithStandard(L"BNNNN_M8_2", s), 1, 0);
        ExpectDecodes(WithStandard(L"BNNNN_M8_1", s), 0, 0);
        ExpectRefused(WithStandard(L"BNNNN_M8_0", s)); // 0 - 1 is -1
        ExpectRefused(WithStandard(L"BNNNN_M8", s));
    }
}

TEST(LegacyCode, TwoMinusFieldTwoWithIndexInFieldSix) {
    for (const std::wstring s : {L"1171", L"1179", L"1182", L"1187"}) {
        ExpectDecodes(WithStandard(L"BNNNN_a_1_b_c_d_3", s), 1, 3);
        ExpectDecodes(WithStandard(L"BNNNN_a_0_b_c_d_12_e", s), 2, 12);
        ExpectRefused(WithStandard(L"BNNNN_a_1_b_c_d", s));    // no field 6
        ExpectRefused(WithStandard(L"BNNNN_a_1_b_c_d_-1", s)); // index -1
        ExpectRefused(WithStandard(L"BNNNN_a_3_b_c_d_1", s));  // drawing -1
    }
}

TEST(LegacyCode, ViewAtSixAndDigitIndexAtFifteen) {
    for (const std::wstring s : {L"1170", L"1196", L"1183"}) {
        ExpectDecodes(WithStandard(L"BNNNN_2_ABCDEFG4", s), 2, 4);
        ExpectDecodes(WithStandard(L"BNNNN_S_ABCDEFG3", s), 1, 3); // no inversion here
        ExpectRefused(WithStandard(L"BNNNN_2_ABCDEFG", s));
        ExpectDecodes(WithStandard(L"BNNNN_2_ABCDEFGx", s), 2, 72); // 'x' - '0'
    }
}

TEST(LegacyCode, InvertedViewOf1185) {
    ExpectDecodes(L"B1185_1_ABCDEFG2", 1, 2);
    ExpectDecodes(L"B1185_1_ABCDEFG3", 0, 3); // position 15 "3" inverts the view
    ExpectDecodes(L"B1185_x_ABCDEFG3", 1, 3); // view 0 becomes 1
    ExpectRefused(L"B1185_2_ABCDEFG3");       // 1 - 2 is -1
    ExpectRefused(L"B1185_1_ABCDEFG");        // position 15 missing
}

TEST(LegacyCode, TwoMinusFieldThree) {
    for (const std::wstring s : {L"2808", L"1354", L"1355", L"1359"}) {
        ExpectDecodes(WithStandard(L"BNNNN_a_b_1", s), 1, 0);
        ExpectDecodes(WithStandard(L"BNNNN_a_b_2_c", s), 0, 0);
        ExpectRefused(WithStandard(L"BNNNN_a_b_3", s));
        ExpectRefused(WithStandard(L"BNNNN_a_b", s));
    }
}

TEST(LegacyCode, MappedFieldThreeOf1351) {
    ExpectDecodes(L"B1351_a_b_1", 2, 0);
    ExpectDecodes(L"B1351_a_b_2", 0, 0);
    ExpectDecodes(L"B1351_a_b_3_more", 1, 0);
    // Any other value names no view of these symbols: the part stays unrecognised.
    ExpectRefused(L"B1351_a_b_0");
    ExpectRefused(L"B1351_a_b_4");
    ExpectRefused(L"B1351_a_b_x");
    ExpectRefused(L"B1351_a_b");
}

TEST(LegacyCode, TwoMinusFieldThreeWithIndexByFieldOne) {
    for (const std::wstring s : {L"1352", L"1353", L"1358"}) {
        ExpectDecodes(WithStandard(L"BNNNN_2_b_1", s), 1, 1);
        ExpectDecodes(WithStandard(L"BNNNN_7_b_0", s), 2, 1);
        ExpectDecodes(WithStandard(L"BNNNN_8_b_2", s), 0, 1);
        ExpectDecodes(WithStandard(L"BNNNN_3_b_1", s), 1, 2);
        ExpectDecodes(WithStandard(L"BNNNN_x_b_1", s), 1, 2);
        ExpectRefused(WithStandard(L"BNNNN_2_b", s));
    }
}

TEST(LegacyCode, TwoMinusDigitEightWithDigitIndexAtSix) {
    for (const std::wstring s : {L"1213", L"1214", L"1215"}) {
        ExpectDecodes(WithStandard(L"BNNNN_3_1", s), 1, 3);
        ExpectDecodes(WithStandard(L"BNNNN_0_0", s), 2, 0);
        ExpectRefused(WithStandard(L"BNNNN_3_3", s));         // 2 - 3 is -1
        ExpectDecodes(WithStandard(L"BNNNN_3_x", s), -70, 3); // 2 - ('x' - '0')
        ExpectDecodes(WithStandard(L"BNNNN_x_1", s), 1, 72);  // 'x' - '0'
        ExpectRefused(WithStandard(L"BNNNN_/_1", s));         // an index of -1
        ExpectRefused(WithStandard(L"BNNNN_3_", s));
    }
}

TEST(LegacyCode, UnknownStandardsAndShortCodesAreRefused) {
    for (const std::wstring code : {L"", L"B", L"B1", L"B11", L"B118", L"B1180", L"B9999_1_01",
                                    L"B0201_1_01", L"b1180", L"X1180"})
        ExpectRefused(code);
}

TEST(LegacyCode, HugeFieldsDoNotOverflow) {
    const Result r = Decode(L"B1166_a_999999999999999999999999");
    EXPECT_TRUE(r.ok);
    EXPECT_LT(r.drawing, -1);
    const Result neg = Decode(L"B1168_a_-999999999999999999999999");
    EXPECT_TRUE(neg.ok);
    EXPECT_LT(neg.drawing, -1);
    const Result index = Decode(L"B1171_a_1_b_c_d_99999999999999999999");
    EXPECT_TRUE(index.ok);
    EXPECT_GT(index.index, 1000);
}

TEST(LegacyCode, JisPrefixLosesFourCharacters) {
    EXPECT_EQ(StripJisPrefix(L"JIS_B1180_1_01"), L"B1180_1_01");
    EXPECT_EQ(StripJisPrefix(L"jis_b1180_1_01"), L"b1180_1_01");
    EXPECT_EQ(StripJisPrefix(L"JIS_B"), L"B");
    EXPECT_EQ(StripJisPrefix(L"JISB1180"), L"JISB1180");
    EXPECT_EQ(StripJisPrefix(L"JIS_"), L"JIS_");
    EXPECT_EQ(StripJisPrefix(L""), L"");
}

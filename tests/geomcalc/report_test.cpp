// The report rows, the number format and the stored item mask.
#include "geomcalc/GeomCalcReport.h"
#include "geomcalc/GeomCalcTypes.h"

#include <gtest/gtest.h>

namespace {

CGeomCalcContext TwoRecords() {
    CGeomCalcContext ctx;
    ctx.refPointUcs = {10, -5, 0};
    RegionProperties a;
    a.perimeter = 40;
    a.area = 100;
    a.volume = 1000;
    a.weight = 7.85;
    a.centroidUcs = {5, 5, 0};
    a.centroidRelUcs = {-5, 10, 0};
    a.momentCentroid[0] = 833.25;
    a.momentCentroid[1] = 100.5;
    a.momentRef[0] = 1.25;
    a.momentRef[1] = 2.5;
    a.valid = true;
    RegionProperties b = a;
    b.area = 50;
    ctx.results = {a, b};
    return ctx;
}

std::vector<std::wstring> Items(const std::vector<ReportRow>& rows) {
    std::vector<std::wstring> out;
    for (const ReportRow& r : rows)
        out.push_back(r.item);
    return out;
}

TEST(ReportNumber, DropsTrailingZerosAndDot) {
    EXPECT_EQ(FormatReportNumber(12.5, 4), L"12.5");
    EXPECT_EQ(FormatReportNumber(3, 4), L"3");
    EXPECT_EQ(FormatReportNumber(0.0004, 4), L"0.0004");
    EXPECT_EQ(FormatReportNumber(-0.5, 4), L"-0.5");
    EXPECT_EQ(FormatReportNumber(100, 4), L"100");
}

TEST(ReportNumber, PrecisionZeroWritesIntegersUntouched) {
    EXPECT_EQ(FormatReportNumber(120.4, 0), L"120");
    EXPECT_EQ(FormatReportNumber(100, 0), L"100");
    EXPECT_EQ(FormatReportNumber(-2.6, 0), L"-3");
}

TEST(ReportNumber, FirstCharacterIsNeverDropped) {
    EXPECT_EQ(StripTrailingZeros(L"0.0000"), L"0");
    EXPECT_EQ(StripTrailingZeros(L"0"), L"0");
    EXPECT_EQ(StripTrailingZeros(L"."), L".");
    EXPECT_EQ(StripTrailingZeros(L"1000"), L"1000");
}

TEST(ReportNumber, ValuesTheHostCannotWriteStayEmpty) {
    EXPECT_EQ(FormatReportNumber(1.0 / 0.0, 4), L"");
    EXPECT_EQ(FormatReportNumber(1.0, 9), L"");
}

TEST(ItemMask, ItemsFiveAndSixSwapBits) {
    ItemFlags f;
    f[kItemCentroidRel] = true;
    EXPECT_EQ(f.ToMask(), 1 << 6);
    f = ItemFlags();
    f[kItemCentroid] = true;
    EXPECT_EQ(f.ToMask(), 1 << 5);
    EXPECT_TRUE(ItemFlags::FromMask(1 << 5)[kItemCentroid]);
    EXPECT_FALSE(ItemFlags::FromMask(1 << 5)[kItemCentroidRel]);
}

TEST(ItemMask, RoundTripsEveryMask) {
    for (int mask = 0; mask < (1 << 11); mask += 37)
        EXPECT_EQ(ItemFlags::FromMask(mask).ToMask(), mask);
    EXPECT_EQ(ItemFlags::All().ToMask(), 0x7FF);
}

TEST(ItemMask, ReferencePointNeededOnlyByItsItems) {
    ItemFlags f;
    f[kItemPerimeter] = f[kItemArea] = f[kItemCentroid] = true;
    EXPECT_FALSE(f.NeedsReferencePoint());
    for (int i : {0, 3, 4, 5, 7, 8, 9, 10}) {
        ItemFlags g;
        g[i] = true;
        EXPECT_TRUE(g.NeedsReferencePoint()) << i;
    }
}

TEST(ItemMask, CheckBoxIdsFollowTheDialog) {
    const int expected[kItemCount] = {112, 113, 109, 118, 119, 111, 110, 116, 114, 117, 115};
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(ItemCheckBoxId(i), expected[i]);
}

TEST(Report, DialogFormHasBlankRowsAroundHoleHeading) {
    std::vector<ReportRow> rows;
    BuildReport(TwoRecords(), ReportForm::dialog, 4, rows);
    const std::vector<std::wstring> expected = {L"<<中抜きなし情報>>",
                                                L"",
                                                L"モーメント計算指示座標",
                                                L"周長",
                                                L"面積",
                                                L"回転体体積",
                                                L"回転体重さ",
                                                L"重心位置(赤色点)",
                                                L"重心位置(指示点基準)",
                                                L"断面2次モーメント(重心基準)",
                                                L"Ip = Ix + Iy",
                                                L"断面2次モーメント(指示点基準)",
                                                L"Ip = Ix + Iy",
                                                L"",
                                                L"<<中抜き付加情報>>",
                                                L"",
                                                L"周長",
                                                L"面積",
                                                L"回転体体積",
                                                L"回転体重さ",
                                                L"重心位置(緑色点)",
                                                L"重心位置(指示点基準)",
                                                L"断面2次モーメント(重心基準)",
                                                L"Ip = Ix + Iy",
                                                L"断面2次モーメント(指示点基準)",
                                                L"Ip = Ix + Iy"};
    EXPECT_EQ(Items(rows), expected);
    EXPECT_EQ(rows[2].data, L"X = 10 Y = -5");
    EXPECT_EQ(rows[3].data, L"40(mm)");
    EXPECT_EQ(rows[4].data, L"100(mm2)");
    EXPECT_EQ(rows[5].data, L"1000(mm3)");
    EXPECT_EQ(rows[6].data, L"7.85(g)");
    EXPECT_EQ(rows[7].data, L"X = 5 Y = 5");
    EXPECT_EQ(rows[8].data, L"X = -5 Y = 10");
    EXPECT_EQ(rows[9].data, L"Ix = 833.25(mm4) Iy = 100.5(mm4)");
    EXPECT_EQ(rows[10].data, L"933.75(mm4)");
    EXPECT_EQ(rows[12].data, L"3.75(mm4)");
    EXPECT_EQ(rows[17].data, L"50(mm2)");
}

TEST(Report, TableFormHasHeadingAndTwoLineCells) {
    std::vector<ReportRow> rows;
    BuildReport(TwoRecords(), ReportForm::table, 4, rows);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], (ReportRow{L"項目", L"データ"}));
    EXPECT_EQ(rows[1], (ReportRow{L"<<中抜きなし情報>>", L""}));
    EXPECT_EQ(rows[2], (ReportRow{L"モーメント計算指示座標", L"X = 10\nY = -5"}));
    for (const ReportRow& r : rows)
        EXPECT_FALSE(r.item.empty() && r.data.empty());
    EXPECT_EQ(rows.size(), 1 + 1 + 1 + 10 + 1 + 10u);
}

TEST(Report, PolarMomentSumsUnroundedValues) {
    CGeomCalcContext ctx;
    RegionProperties r;
    r.momentCentroid[0] = 0.00004;
    r.momentCentroid[1] = 0.00004;
    r.valid = true;
    ctx.results = {r};
    std::vector<ReportRow> rows;
    BuildReport(ctx, ReportForm::dialog, 4, rows);
    // Each moment rounds to 0 at four places, their sum does not.
    EXPECT_EQ(rows[9].data, L"Ix = 0(mm4) Iy = 0(mm4)");
    EXPECT_EQ(rows[10].data, L"0.0001(mm4)");
}

TEST(Report, MaskZeroLeavesOnlyHeadings) {
    CGeomCalcContext ctx = TwoRecords();
    ctx.items = ItemFlags::FromMask(0);
    std::vector<ReportRow> rows;
    BuildReport(ctx, ReportForm::table, 4, rows);
    EXPECT_EQ(Items(rows),
              (std::vector<std::wstring>{L"項目", L"<<中抜きなし情報>>", L"<<中抜き付加情報>>"}));
}

TEST(Report, OnlyTheSwitchedItemsAppear) {
    CGeomCalcContext ctx = TwoRecords();
    ctx.results.resize(1);
    ctx.items = ItemFlags();
    ctx.items[kItemArea] = true;
    ctx.items[kItemCentroidRel] = true;
    std::vector<ReportRow> rows;
    BuildReport(ctx, ReportForm::dialog, 4, rows);
    EXPECT_EQ(Items(rows), (std::vector<std::wstring>{L"<<中抜きなし情報>>", L"", L"面積",
                                                      L"重心位置(指示点基準)"}));
}

} // namespace

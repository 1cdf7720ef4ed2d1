#include "library/PartsYobi.h"

#include "LibraryTestUtil.h"
#include "library/LibraryPaths.h"
#include "library/LibraryPrint.h"

#include "zhost/settings/product.h"
#include "zhost/settings/registry.h"

#include <gtest/gtest.h>

using libtest::WriteBytes;
using ztest::TempFolder;

namespace {

// A header, then bolts with a (minimum, maximum) pair, then nuts.
std::vector<std::wstring> BoltLines() {
    return {
        L"; nominal lengths\n",
        L"JIS\t\t\tNOM_SIZE\t\tM3\tM4\tM5\tM6\tM8\n",
        L"\t\t\"B1180*\"\t\t\t6\t8\t10\t10.0\t16\n",
        L"\t\t\t\t\t30\t40\t50\t60\t80\n",
        L"\t\tB1181*\t\t\t1\t2\t3\t4\t5\n",
        L"\t\t\t\t\t1\t2\t3\t4\t5\n",
    };
}

std::vector<std::wstring> VariantLines() {
    return {
        L"JIS\t\t\tNOM_SIZE\tV\tM6\tM8\n",
        L"\t\tB1176*\t\t1\t10\t12\n",
        L"\t\t\t\t\t60\t80\n",
        L"\t\t\t\t\"2,3\"\t20\t22\n",
        L"\t\t\t\t\t70\t90\n",
        L"\t\t\t\t*\t30\t32\n",
        L"\t\t\t\t\t75\t95\n",
    };
}

class SwitchFile {
public:
    explicit SwitchFile(bool debugOn) {
        std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\r\n";
        if (debugOn)
            text += "\"ShowDebugInfo\"=dword:00000001\r\n";
        WriteBytes(dir_.path() / "machine.reg", text);
        zhost::settings::setMachineRegistryFile(dir_.path() / "machine.reg");
    }
    ~SwitchFile() { zhost::settings::setMachineRegistryFile({}); }

private:
    ztest::TempFolder dir_;
};

} // namespace

TEST(PartsYobiLoad, RowsOfTheFirstMatchingPart) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"b1180_2", -1)); // quotes removed, without case
    ASSERT_EQ(yobi.GetRows().size(), 5u);
    EXPECT_EQ(yobi.GetRows()[0].m_size, L"M3");
    EXPECT_EQ(yobi.GetRows()[0].m_minLength, L"6");
    EXPECT_EQ(yobi.GetRows()[0].m_maxLength, L"30");
    EXPECT_EQ(yobi.GetRows()[4].m_maxLength, L"80"); // the line end is trimmed off
    ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"B1181", -1));
    EXPECT_EQ(yobi.GetRows()[2].m_minLength, L"3");
    EXPECT_FALSE(yobi.LoadLines(BoltLines(), L"B9999", -1));
    EXPECT_FALSE(yobi.HasRows());
}

TEST(PartsYobiLoad, ColumnsMissingInAnyOfTheThreeLinesAreSkipped) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines({L"\t\t\tNOM_SIZE\t\tM3\tM4\tM5\tM6\n", L"\t\tP\t\t\t6\t\t10\n",
                                L"\t\t\t\t\t30\t40\t50\t60\n"},
                               L"P", -1));
    ASSERT_EQ(yobi.GetRows().size(), 2u); // M4 has no minimum; M6 is past the minimum line
    EXPECT_EQ(yobi.GetRows()[1].m_size, L"M5");
}

TEST(PartsYobiLoad, PartLineNeedsAHeaderBeforeIt) {
    SwitchFile off(false);
    CPartsYobi yobi;
    EXPECT_FALSE(yobi.LoadLines(
        {L"x\n", L"\t\tP\t\t\t6\n", L"\t\t\t\t\t30\n", L"\t\t\tNOM_SIZE\t\tM3\n"}, L"P", -1));
}

TEST(PartsYobiLoad, HeaderThatMatchesTakesTheNextLine) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(
        {L"\t\tP*\tNOM_SIZE\t\tM3\tM4\n", L"\t\t\t\t\t6\t8\n", L"\t\t\t\t\t30\t40\n"}, L"P1", -1));
    EXPECT_EQ(yobi.GetRows()[1].m_minLength, L"8");
}

TEST(PartsYobiLoad, TwoLinesOrFewerFail) {
    SwitchFile off(false);
    CPartsYobi yobi;
    EXPECT_FALSE(yobi.LoadLines({L"\t\tP*\tNOM_SIZE\t\tM3\n", L"\t\t\t\t\t6\n"}, L"P", -1));
}

TEST(PartsYobiVariants, FirstPairWhosePatternMatchesTheVariant) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(VariantLines(), L"B1176_1", 1));
    EXPECT_EQ(yobi.GetRows()[0].m_minLength, L"10");
    ASSERT_TRUE(yobi.LoadLines(VariantLines(), L"B1176_1", 3));
    EXPECT_EQ(yobi.GetRows()[0].m_minLength, L"20");
    ASSERT_TRUE(yobi.LoadLines(VariantLines(), L"B1176_1", -1));
    EXPECT_EQ(yobi.GetRows()[0].m_minLength, L"30");
    EXPECT_EQ(yobi.GetRows()[1].m_maxLength, L"95");
}

TEST(PartsYobiVariants, AtMostSixPairsAreTried) {
    SwitchFile off(false);
    std::vector<std::wstring> lines = {L"\t\t\tNOM_SIZE\tV\tM6\n", L"\t\tP\t\t0\t1\n",
                                       L"\t\t\t\t\t9\n"};
    for (int v = 1; v <= 6; ++v) {
        lines.push_back(L"\t\t\t\t" + std::to_wstring(v) + L"\t" + std::to_wstring(v + 1) + L"\n");
        lines.push_back(L"\t\t\t\t\t9\n");
    }
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(lines, L"P", 5)); // the sixth pair
    EXPECT_EQ(yobi.GetRows()[0].m_minLength, L"6");
    EXPECT_FALSE(yobi.LoadLines(lines, L"P", 6)); // the seventh is never looked at
}

TEST(PartsYobiVariants, MissingVariantColumnFails) {
    SwitchFile off(false);
    CPartsYobi yobi;
    EXPECT_FALSE(yobi.LoadLines(
        {L"\t\t\tNOM_SIZE\tV\tM6\n", L"\t\tP\t\t1\t1\n", L"\t\t\t\t\t9\n", L"\t\t\n"}, L"P", 2));
    // The last pair ends at the sentinel line: no maximum line to read.
    EXPECT_FALSE(yobi.LoadLines({L"\t\t\tNOM_SIZE\tV\tM6\n", L"x\n", L"\t\tP\t\t1\t1\n"}, L"P", 1));
}

TEST(PartsYobiRestrict, LengthsWithinTheSizeRangeSortedByValue) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"B1180", -1));
    ASSERT_TRUE(yobi.Restrict(L"m5"));
    EXPECT_EQ(yobi.GetSize(), L"m5");
    // M5 ranges from 10 to 50: every minimum and maximum of every size in (9.999, 50.001],
    // collected as 30 40 10 50 10.0 16; the gap-3 pass moves "10.0" ahead of "10".
    EXPECT_EQ(yobi.GetLengths(),
              (std::vector<std::wstring>{L"10.0", L"10", L"16", L"30", L"40", L"50"}));
    EXPECT_FALSE(yobi.Restrict(L"M42"));
    EXPECT_TRUE(yobi.GetLengths().empty());
}

TEST(PartsYobiRestrict, EqualValuesWithDifferentTextAreBothKept) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(
        {L"\t\t\tNOM_SIZE\t\tA\tB\tC\n", L"\t\tP\t\t\t10\t10.0\t10\n", L"\t\t\t\t\t20\t20\t10.0\n"},
        L"P", -1));
    ASSERT_TRUE(yobi.Restrict(L"A"));
    EXPECT_EQ(yobi.GetLengths(), (std::vector<std::wstring>{L"10", L"10.0", L"20"}));
}

TEST(PartsYobiRestrict, WindowIsOneThousandthWide) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines({L"\t\t\tNOM_SIZE\t\tA\tB\tC\tD\n",
                                L"\t\tP\t\t\t10\t9.9995\t9.998\t20.0005\n",
                                L"\t\t\t\t\t20\t20.002\t20.0009\t21\n"},
                               L"P", -1));
    ASSERT_TRUE(yobi.Restrict(L"A"));
    EXPECT_EQ(yobi.GetLengths(),
              (std::vector<std::wstring>{L"9.9995", L"10", L"20", L"20.0005", L"20.0009"}));
}

TEST(PartsYobiRestrict, TextsThatAreNotNumbersAreLeftOut) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(
        yobi.LoadLines({L"\t\t\tNOM_SIZE\t\tA\tB\tC\tD\n", L"\t\tP\t\t\t10\tnan\t1e400\tabc\n",
                        L"\t\t\t\t\t20\t15\t12\tinf\n"},
                       L"P", -1));
    ASSERT_TRUE(yobi.Restrict(L"A"));
    EXPECT_EQ(yobi.GetLengths(), (std::vector<std::wstring>{L"10", L"12", L"15", L"20"}));
    ASSERT_TRUE(yobi.Restrict(L"B")); // the size exists, its own range is not a number
    EXPECT_TRUE(yobi.GetLengths().empty());
    ASSERT_TRUE(yobi.Restrict(L"D"));
    EXPECT_TRUE(yobi.GetLengths().empty());
}

TEST(PartsYobiSort, ShellSortOrderForEqualValues) {
    std::vector<std::wstring> texts{L"20", L"10.0", L"10", L"30"};
    SortByValue(texts);
    // The gap-2 pass moves "10" in front of "10.0": the sort is not stable, and that order is the
    // one the lists show.
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"10", L"10.0", L"20", L"30"}));
}

TEST(PartsYobiMinLength, FirstNominalLengthElseFirstRowMinimum) {
    SwitchFile off(false);
    CPartsYobi yobi;
    double len = -1;
    EXPECT_FALSE(yobi.GetMinLength(len));
    ASSERT_TRUE(yobi.LoadLines(
        {L"\t\t\tNOM_SIZE\t\tA\tB\n", L"\t\tP\t\t\t0.4\t8\n", L"\t\t\t\t\t20\t40\n"}, L"P", -1));
    EXPECT_FALSE(yobi.GetMinLength(len)); // no lengths yet; the first row's minimum is 0.4
    ASSERT_TRUE(yobi.Restrict(L"B"));
    ASSERT_TRUE(yobi.GetMinLength(len));
    EXPECT_DOUBLE_EQ(len, 8);
    ASSERT_TRUE(yobi.LoadLines(
        {L"\t\t\tNOM_SIZE\t\tA\tB\n", L"\t\tP\t\t\t5\t0.2\n", L"\t\t\t\t\t20\t0.3\n"}, L"P", -1));
    ASSERT_TRUE(yobi.Restrict(L"B")); // lengths 0.2, 0.3: too short, the first row's 5 is used
    ASSERT_TRUE(yobi.GetMinLength(len));
    EXPECT_DOUBLE_EQ(len, 5);
}

TEST(PartsYobiSnap, NearestLengthFirstWinsATie) {
    SwitchFile off(false);
    CPartsYobi yobi;
    double len = 17;
    EXPECT_FALSE(yobi.Snap(len));
    EXPECT_EQ(len, 17);
    ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"B1180", -1));
    ASSERT_TRUE(yobi.Restrict(L"M5")); // 10 10.0 16 30 40 50
    len = 35;                          // halfway between 30 and 40
    ASSERT_TRUE(yobi.Snap(len));
    EXPECT_EQ(len, 30);
    len = 17.2;
    ASSERT_TRUE(yobi.Snap(len));
    EXPECT_EQ(len, 16);
    len = -1000;
    ASSERT_TRUE(yobi.Snap(len));
    EXPECT_EQ(len, 10);
}

TEST(PartsYobiSnap, LengthsFarFromAllAreKept) {
    SwitchFile off(false);
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"B1180", -1));
    ASSERT_TRUE(yobi.Restrict(L"M5"));
    double len = 50 + 99999;
    ASSERT_TRUE(yobi.Snap(len));
    EXPECT_EQ(len, 50 + 99999);
    len = 50 + 99998;
    ASSERT_TRUE(yobi.Snap(len));
    EXPECT_EQ(len, 50);
}

TEST(PartsYobiDebug, RowsArePrintedWhenShowDebugInfoIsOn) {
    std::vector<std::wstring> printed;
    SetLibraryPrintHook([&](const std::wstring& t) { printed.push_back(t); });
    {
        SwitchFile on(true);
        CPartsYobi yobi;
        ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"B1181", -1));
    }
    {
        SwitchFile off(false);
        CPartsYobi yobi;
        ASSERT_TRUE(yobi.LoadLines(BoltLines(), L"B1181", -1));
    }
    SetLibraryPrintHook({});
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[0], L"\n      M3    M4    M5    M6    M8");
    EXPECT_EQ(printed[1], L"\n       1     2     3     4     5");
    EXPECT_EQ(printed[2], L"\n       1     2     3     4     5");
}

TEST(PartsYobiLoad, FromTheLibraryOfTheProduct) {
    SwitchFile off(false);
    ztest::TempFolder product;
    WriteBytes(product.path() / "PartsData" / "PartsContents" / "partscontentsy.txt",
               libtest::Cp932(L"JIS\t\t\tNOM_SIZE\t\tM3\r\n\t\tB1180*\t\t\t6\r\n\t\t\t\t\t30\r\n"));
    zhost::settings::setProductFolder(product.path());
    ResetLibraryPaths();
    CPartsYobi yobi;
    EXPECT_TRUE(yobi.Load(L"B1180_1", -1));
    EXPECT_EQ(yobi.GetRows().size(), 1u);
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
}

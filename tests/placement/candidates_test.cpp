// The catalogue look-up of legacy codes: which lines are candidates, which one the index picks,
// and catalogues that are damaged or odd.
#include "placement/PartCandidates.h"

#include "zhost/settings/codepage.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::wstring>;

// A catalogue line with the given columns 19 and (when not null) 20 and a caption in column 4.
std::wstring Line(const std::wstring& col19, const wchar_t* col20 = nullptr) {
    std::wstring line = L"\t\t\t\tキャプション";
    for (int col = 5; col <= 19; ++col)
        line += L'\t';
    line += col19;
    if (col20 != nullptr)
        line += std::wstring(L"\t") + col20;
    return line + L"\n";
}

} // namespace

TEST(PartCandidates, KeyIsColumnNineteenUnlessTwentyNamesAFile) {
    const Lines lines = {
        Line(L"B1180_Partial"),
        Line(L"B1180_Full", L"六角ボルト 全ねじ"), // column 20 is a caption: key stays column 19
        Line(L"X0000_Other", L"b1180_Override"),   // column 20 names a file (without case)
        Line(L"B1181_HexNut"),
    };
    EXPECT_EQ(FindCandidatesInLines(lines, L"B1180_1_01"),
              (Lines{L"B1180_Partial", L"B1180_Full", L"b1180_Override"}));
    EXPECT_EQ(FindCandidatesInLines(lines, L"b1181_1_01"), (Lines{L"B1181_HexNut"}));
    EXPECT_TRUE(FindCandidatesInLines(lines, L"B1256_1_01").empty());
}

TEST(PartCandidates, KeyMustBeLongerThanFiveCharacters) {
    const Lines lines = {Line(L"B1180"), Line(L"B1180x"), Line(L"B118")};
    EXPECT_EQ(FindCandidatesInLines(lines, L"B1180_1_01"), (Lines{L"B1180x"}));
}

TEST(PartCandidates, LinesWithoutTheColumnsOrEmptyAreSkipped) {
    const Lines lines = {
        L"\n",
        L"",
        L"B1180_Partial\n",                          // column 0 only
        L"\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\n", // 19 tabs, trimmed away
        Line(L"B1180_Full") + L"\t\t  \n",           // trailing blanks and tabs trimmed
    };
    EXPECT_EQ(FindCandidatesInLines(lines, L"B1180_1_01"), (Lines{L"B1180_Full"}));
}

TEST(PartCandidates, ShortCodeFindsNothing) {
    const Lines lines = {Line(L"B1180_Partial")};
    EXPECT_TRUE(FindCandidatesInLines(lines, L"B118").empty());
    EXPECT_TRUE(FindCandidatesInLines(lines, L"").empty());
}

TEST(PartCandidates, OneCandidateIsTakenWhateverTheIndex) {
    std::wstring name;
    for (int index : {-1, 0, 1, 2, 99}) {
        EXPECT_TRUE(ChooseCandidate({L"B1181_HexNut"}, index, name));
        EXPECT_EQ(name, L"B1181_HexNut");
    }
}

TEST(PartCandidates, IndexCountsFromOneAmongSeveral) {
    const Lines candidates = {L"B1180_Partial", L"B1180_Full", L"B1180_Third"};
    std::wstring name;
    EXPECT_TRUE(ChooseCandidate(candidates, 1, name));
    EXPECT_EQ(name, L"B1180_Partial");
    EXPECT_TRUE(ChooseCandidate(candidates, 3, name));
    EXPECT_EQ(name, L"B1180_Third");
    for (int index : {-1, 0, 4, 1000}) {
        EXPECT_FALSE(ChooseCandidate(candidates, index, name));
        EXPECT_TRUE(name.empty());
    }
    EXPECT_FALSE(ChooseCandidate({}, 1, name));
}

TEST(PartCandidates, CatalogueFileInTheHostCodePage) {
    ztest::TempFolder folder;
    const std::wstring text =
        L"ボルト\t六角ボルト\t\t\tB1180 六角ボルト\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t"
        L"B1180_Partial\r\n"
        L"\r\n"
        L"\t\t\t\t\t\t\t全ねじ\t\t\t\t\t\t\t\t\t\t\t\tB1180_Full\t説明\r\n";
    const fs::path file = folder.Write(
        "PartsContentsK.txt", zhost::settings::encode(text, zhost::settings::kCodePage932));
    EXPECT_EQ(FindCatalogueCandidates(file.wstring(), L"B1180_1_02"),
              (Lines{L"B1180_Partial", L"B1180_Full"}));
}

TEST(PartCandidates, MissingCatalogueGivesNone) {
    EXPECT_TRUE(FindCatalogueCandidates(L"/nonexistent/PartsContentsK.txt", L"B1180_1_01").empty());
    EXPECT_TRUE(FindCatalogueCandidates(L"", L"B1180_1_01").empty());
}

TEST(PartCandidates, LongLinesAreReadInPiecesOf511) {
    ztest::TempFolder folder;
    // A line whose column 19 lies past character 511 is cut before it: the piece after the cut
    // has too few columns to be a candidate.
    std::string longCaption(600, 'x');
    std::string line = "G\t" + longCaption;
    for (int col = 2; col <= 19; ++col)
        line += '\t';
    line += "B1180_TooFar\r\n";
    // A line that fits is still found after it.
    std::string fits = "G";
    for (int col = 1; col <= 19; ++col)
        fits += '\t';
    fits += "B1180_Fits\r\n";
    const fs::path file = folder.Write("PartsContentsK.txt", line + fits);
    EXPECT_EQ(FindCatalogueCandidates(file.wstring(), L"B1180_1_01"), (Lines{L"B1180_Fits"}));
}

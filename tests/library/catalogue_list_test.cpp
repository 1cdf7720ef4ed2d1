#include "library/CatalogueList.h"

#include "CatalogueLines.h"
#include "LibraryTestUtil.h"

#include <gtest/gtest.h>

using libtest::CatLine;
using libtest::WriteBytes;
using ztest::TempFolder;

namespace {

int ReadText(std::vector<CatalogueGroup>& groups, const std::wstring& text) {
    return ReadCatalogueListText(groups, text, L"", false);
}

} // namespace

TEST(CatalogueList, GroupsAndItemsInFileOrder) {
    const std::wstring text =
        CatLine({{0, L"ボルト"}}, 1) + L"\n" + CatLine({{4, L"六角ボルト"}, {19, L"B1180_1"}}) +
        L"\n" + CatLine({{4, L"六角穴付き"}, {19, L"B1176_1"}}) + L"\n" +
        CatLine({{0, L"ナット"}, {4, L"六角ナット"}, {19, L"B1181_1"}}) + L"\n";
    std::vector<CatalogueGroup> groups;
    ASSERT_EQ(ReadText(groups, text), 2);
    EXPECT_EQ(groups[0].m_name, L"ボルト");
    ASSERT_EQ(groups[0].m_items.size(), 2u);
    EXPECT_EQ(groups[0].m_items[1].m_fileBaseName, L"B1176_1");
    EXPECT_EQ(groups[0].m_items[1].m_displayName, L"六角穴付き");
    EXPECT_EQ(groups[0].m_items[1].m_lineNumber, 3);
    ASSERT_EQ(groups[1].m_items.size(), 1u); // a group line can be an item as well
    EXPECT_EQ(groups[1].m_items[0].m_lineNumber, 4);
}

TEST(CatalogueList, LinesWithNineteenFieldsAreIgnored) {
    const std::wstring text = CatLine({{0, L"G"}}, 1) + L"\n" +
                              CatLine({{0, L"H"}, {4, L"x"}, {18, L"B1"}}, 19) + L"\n" +
                              CatLine({{4, L"y"}, {19, L""}}) + L"\n";
    std::vector<CatalogueGroup> groups;
    ASSERT_EQ(ReadText(groups, text), 2); // the 19-field line still starts its group
    EXPECT_TRUE(groups[0].m_items.empty());
    EXPECT_TRUE(groups[1].m_items.empty()); // an empty column 19 is not a part
}

TEST(CatalogueList, ItemBeforeFirstGroupIsSkipped) {
    const std::wstring text =
        CatLine({{4, L"x"}, {19, L"B1"}}) + L"\n" + L"G\n" + CatLine({{4, L"y"}, {19, L"B2"}});
    std::vector<CatalogueGroup> groups;
    ASSERT_EQ(ReadText(groups, text), 1);
    ASSERT_EQ(groups[0].m_items.size(), 1u);
    EXPECT_EQ(groups[0].m_items[0].m_fileBaseName, L"B2");
}

TEST(CatalogueList, DisplayNameIsFirstOfColumns13_10_7_4_1) {
    std::vector<CatalogueGroup> groups;
    ReadText(groups, L"G\n" + CatLine({{1, L"c1"}, {4, L"c4"}, {7, L"c7"}, {19, L"B1"}}) + L"\n" +
                         CatLine({{1, L"c1"}, {10, L"c10"}, {13, L"c13"}, {19, L"B2"}}) + L"\n" +
                         CatLine({{1, L"c1"}, {19, L"B3"}}));
    ASSERT_EQ(groups[0].m_items.size(), 3u);
    EXPECT_EQ(groups[0].m_items[0].m_displayName, L"c7");
    EXPECT_EQ(groups[0].m_items[1].m_displayName, L"c13");
    EXPECT_EQ(groups[0].m_items[2].m_displayName, L"c1");
}

TEST(CatalogueDisplayName, StandardNumberIsRemoved) {
    EXPECT_EQ(CleanDisplayName(L"JISB1180 六角ボルト"), L"六角ボルト");
    EXPECT_EQ(CleanDisplayName(L"jisB1180 六角ボルト"), L"六角ボルト");
    EXPECT_EQ(CleanDisplayName(L"B1180　六角ボルト"), L"六角ボルト"); // ideographic blank
    EXPECT_EQ(CleanDisplayName(L"B1180 　　六角ボルト"), L"六角ボルト");
    EXPECT_EQ(CleanDisplayName(L"　 六角ボルト"), L"六角ボルト");
}

TEST(CatalogueDisplayName, OtherTextsStay) {
    EXPECT_EQ(CleanDisplayName(L"B1180"), L"B1180");               // not longer than five
    EXPECT_EQ(CleanDisplayName(L"B1180_x"), L"B1180_x");           // no blank at position 5
    EXPECT_EQ(CleanDisplayName(L"b1180 ボルト"), L"b1180 ボルト"); // "B" with case
    EXPECT_EQ(CleanDisplayName(L"JIS ボルト"), L"JIS ボルト");
    EXPECT_EQ(CleanDisplayName(L""), L"");
}

TEST(CatalogueList, Column20OverridesFileBaseNameOrDisplayName) {
    std::vector<CatalogueGroup> groups;
    ReadText(groups, L"G\n" + CatLine({{4, L"x"}, {19, L"B1"}, {20, L"b1180_9"}}, 21) + L"\n" +
                         CatLine({{4, L"x"}, {19, L"B2"}, {20, L"特注品"}}, 21));
    ASSERT_EQ(groups[0].m_items.size(), 2u);
    EXPECT_EQ(groups[0].m_items[0].m_fileBaseName, L"b1180_9");
    EXPECT_EQ(groups[0].m_items[0].m_displayName, L"x");
    EXPECT_EQ(groups[0].m_items[1].m_fileBaseName, L"B2");
    EXPECT_EQ(groups[0].m_items[1].m_displayName, L"特注品");
}

TEST(CatalogueList, TrailingWhiteSpaceIsTrimmedBeforeSplitting) {
    std::vector<CatalogueGroup> groups;
    // Column 19 followed by a tab and blanks: after trimming the line has exactly 20 fields.
    ReadText(groups, L"G\n" + CatLine({{4, L"x"}, {19, L"B1"}}) + L"\t  \n");
    ASSERT_EQ(groups[0].m_items.size(), 1u);
    EXPECT_EQ(groups[0].m_items[0].m_fileBaseName, L"B1");
}

TEST(CatalogueList, LongLinesCountAsSeveralLines) {
    std::vector<CatalogueGroup> groups;
    const std::wstring text =
        L"G" + std::wstring(5000, L' ') + L"\n" + CatLine({{4, L"x"}, {19, L"B1"}}) + L"\n";
    ASSERT_EQ(ReadText(groups, text), 1);
    ASSERT_EQ(groups[0].m_items.size(), 1u);
    EXPECT_EQ(groups[0].m_items[0].m_lineNumber, 3); // the first line took two pieces of 4095
}

TEST(CatalogueList, DrawingCheckKeepsItemsWithPreviewAndDropsEmptyGroups) {
    ztest::TempFolder dir;
    const auto symbols = dir.path() / "Symbols";
    WriteBytes(symbols / "B1_0.dxf", "0\nEOF\n"); // the DXF beside the named .dwg counts
    WriteBytes(symbols / "B2_0.dwg", "");
    const std::wstring text = L"G\n" + CatLine({{4, L"a"}, {19, L"B1"}}) + L"\n" +
                              CatLine({{4, L"b"}, {19, L"B2"}}) + L"\n" +
                              CatLine({{4, L"c"}, {19, L"B3"}}) + L"\nH\n" +
                              CatLine({{4, L"d"}, {19, L"B4"}}) + L"\n";
    std::vector<CatalogueGroup> groups;
    const std::wstring folder = libtest::WidePath(dir.path()) + L"\\symbols\\";
    ASSERT_EQ(ReadCatalogueListText(groups, text, folder, true), 1);
    ASSERT_EQ(groups[0].m_items.size(), 2u);
    EXPECT_EQ(groups[0].m_items[1].m_fileBaseName, L"B2");
    ASSERT_EQ(ReadCatalogueListText(groups, text, folder, false), 2);
}

TEST(CatalogueList, FileReadingAndMissingFile) {
    ztest::TempFolder dir;
    WriteBytes(dir.path() / "PartsContentsK.txt",
               libtest::Cp932(L"ボルト\r\n" +
                              CatLine({{4, L"JISB1180 六角ボルト"}, {19, L"B1180"}}) + L"\r\n"));
    std::vector<CatalogueGroup> groups;
    ASSERT_EQ(ReadCatalogueList(groups, libtest::WidePath(dir.path()) + L"\\PartsContentsK.txt",
                                L"", false),
              1);
    EXPECT_EQ(groups[0].m_name, L"ボルト");
    EXPECT_EQ(groups[0].m_items[0].m_displayName, L"六角ボルト");
    EXPECT_EQ(ReadCatalogueList(groups, libtest::WidePath(dir.path()) + L"\\none.txt", L"", false),
              -1);
}

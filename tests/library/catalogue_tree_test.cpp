#include "library/CsvItem.h"

#include "CatalogueLines.h"
#include "LibraryTestUtil.h"

#include <gtest/gtest.h>

using libtest::CatLine;
using libtest::WriteBytes;
using ztest::TempFolder;

namespace {

// Builds the tree from lines joined with CR LF and read like the file in the host's code page.
int BuildFrom(const std::vector<std::wstring>& lines, CCsvItem& root,
              const std::wstring& dlgFolder = L"") {
    std::wstring text;
    for (const auto& l : lines)
        text += l + L"\r\n";
    return BuildCatalogueTree(ReadCatalogueTreeLines(libtest::Cp932(text)), &root,
                              std::make_shared<CThumbDirections>(dlgFolder));
}

// The tree as indented text "display|name|base|thumb", for comparing whole trees.
void Dump(const CCsvItem& node, std::wstring& out, int depth = 0) {
    for (const auto& child : node.m_children) {
        out += std::wstring(depth * 2, L' ') + child->m_displayName + L"|" + child->m_name + L"|" +
               child->m_fileBaseName + L"|" + std::to_wstring(child->GetThumbNumber()) + L"\n";
        if (child->m_pParent != &node)
            out += L"!! wrong parent\n";
        Dump(*child, out, depth + 1);
    }
}

std::wstring Dump(const CCsvItem& root) {
    std::wstring out;
    Dump(root, out);
    return out;
}

const std::vector<std::wstring> kBolts = {
    CatLine({{0, L"ボルト"},
             {1, L"六角"},
             {4, L"呼び"},
             {5, L"x"},
             {6, L"n1"},
             {7, L"並目"},
             {8, L"y"},
             {9, L"n2"},
             {19, L"B1180_1"}}),
    CatLine({{7, L"細目"}, {9, L"n3"}, {19, L"B1180_2"}}),
    CatLine({{1, L"穴付き"}, {4, L"キャップ"}, {6, L"n4"}, {19, L"B1176_1"}}),
    CatLine({{0, L"ナット"}, {1, L"六角"}, {4, L"1種"}, {6, L"n5"}, {19, L"B1181_1"}}),
};

} // namespace

TEST(CatalogueTree, GroupsSubGroupsAndLevels) {
    CCsvItem root;
    ASSERT_EQ(BuildFrom(kBolts, root), 2);
    EXPECT_EQ(Dump(root), L"ボルト|||1\n"
                          L"  六角|||1\n"
                          L"    呼び|n1|B1180_1|1\n"
                          L"      並目|n2|B1180_1|1\n"
                          L"      細目|n3|B1180_2|1\n"
                          L"  穴付き|||1\n"
                          L"    キャップ|n4|B1176_1|1\n"
                          L"ナット|||1\n"
                          L"  六角|||1\n"
                          L"    1種|n5|B1181_1|1\n");
}

TEST(CatalogueTree, EmptyLevelColumnsTakeRememberedValues) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"G"}, {1, L"S"}, {4, L"a"}, {5, L"x"}, {6, L"na"}, {19, L"B1"}}),
               CatLine({{4, L"b"}, {19, L"B2"}})}, // no node name: the remembered "na"
              root);
    const CCsvItem& sub = *root.m_children[0]->m_children[0];
    ASSERT_EQ(sub.m_children.size(), 2u);
    EXPECT_EQ(sub.m_children[1]->m_name, L"na");
    EXPECT_EQ(sub.m_children[1]->m_displayName, L"b");
}

TEST(CatalogueTree, SameGroupWithoutCaseContinues) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"Bolt"}, {1, L"S"}, {4, L"a"}, {6, L"n"}, {19, L"B1"}}),
               CatLine({{0, L"BOLT"}, {1, L"s"}, {4, L"b"}, {6, L"m"}, {19, L"B2"}})},
              root);
    ASSERT_EQ(root.m_children.size(), 1u);
    ASSERT_EQ(root.m_children[0]->m_children.size(), 1u);
    EXPECT_EQ(root.m_children[0]->m_children[0]->m_children.size(), 2u);
}

TEST(CatalogueTree, FlatLinesAreShiftedAndLifted) {
    // Columns 2 and 3 both set on the group line: no sub-group column; columns 1-3 are the first
    // level and column 17 the override.
    CCsvItem root;
    ASSERT_EQ(BuildFrom({CatLine({{0, L"ピン"},
                                  {1, L"平行"},
                                  {2, L"x"},
                                  {3, L"p1"},
                                  {4, L"A種"},
                                  {6, L"pa"},
                                  {19, L"B1354_1"}}),
                         CatLine({{4, L"B種"}, {6, L"pb"}, {17, L"特"}, {19, L"B1354_2"}})},
                        root),
              1);
    EXPECT_EQ(Dump(root), L"ピン|||1\n"
                          L"  平行|p1|B1354_1|1\n"
                          L"    A種|pa|B1354_1|1\n"
                          L"    特|pb|B1354_2|1\n");
}

TEST(CatalogueTree, FlatnessFollowsTheLastGroupLine) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"F"}, {1, L"a"}, {2, L"x"}, {3, L"na"}, {19, L"B1"}}),
               CatLine({{1, L"b"}, {3, L"nb"}, {19, L"B2"}}), // flat too: column 0 empty
               CatLine({{0, L"N"}, {1, L"S"}, {4, L"c"}, {6, L"nc"}, {19, L"B3"}})},
              root);
    ASSERT_EQ(root.m_children.size(), 2u);
    EXPECT_EQ(root.m_children[0]->m_children.size(), 2u); // lifted: a and b
    EXPECT_EQ(root.m_children[0]->m_children[1]->m_name, L"nb");
    EXPECT_EQ(root.m_children[1]->m_children[0]->m_displayName, L"S"); // not flat
}

TEST(CatalogueTree, DashSubGroupIsLiftedOnlyWhenAlone) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"G"}, {1, L"-"}, {4, L"a"}, {6, L"n"}, {19, L"B1"}}),
               CatLine({{1, L"other"}, {4, L"b"}, {6, L"m"}, {19, L"B2"}})},
              root);
    ASSERT_EQ(root.m_children[0]->m_children.size(), 2u);
    EXPECT_EQ(root.m_children[0]->m_children[0]->m_displayName, L"-");
}

TEST(CatalogueTree, FiveLevelsAndEarlyEnd) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"G"},
                        {1, L"S"},
                        {4, L"1"},
                        {6, L"a"},
                        {7, L"2"},
                        {9, L"b"},
                        {10, L"3"},
                        {12, L"c"},
                        {13, L"4"},
                        {15, L"d"},
                        {16, L"5"},
                        {18, L"e"},
                        {19, L"B1"}}),
               // Level 4 set, levels 1 to 3 empty: descends along the last children.
               CatLine({{13, L"4b"}, {15, L"d2"}, {19, L"B2"}})},
              root);
    const CCsvItem* n = root.m_children[0]->m_children[0].get();
    int depth = 0;
    while (!n->m_children.empty()) {
        n = n->m_children[0].get();
        ++depth;
    }
    EXPECT_EQ(depth, 5);
    EXPECT_EQ(n->m_name, L"e");
    const CCsvItem* level3 = n->m_pParent->m_pParent;
    ASSERT_EQ(level3->m_children.size(), 2u);
    EXPECT_EQ(level3->m_children[1]->m_displayName, L"4b");
    EXPECT_TRUE(level3->m_children[1]->m_children.empty()); // the line ended after level 4
}

TEST(CatalogueTree, EmptyLevelWithoutNodeAboveEndsTheLine) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"G"}, {1, L"S"}, {7, L"2"}, {9, L"b"}, {19, L"B1"}})}, root);
    ASSERT_EQ(root.m_children.size(), 1u);
    EXPECT_TRUE(root.m_children[0]->m_children[0]->m_children.empty());
}

TEST(CatalogueTree, Column20OverridesCaptionsOrFileBaseName) {
    CCsvItem root;
    BuildFrom({CatLine({{0, L"G"},
                        {1, L"S"},
                        {4, L"a"},
                        {6, L"n"},
                        {7, L"b"},
                        {9, L"m"},
                        {19, L"B1"},
                        {20, L"別名"}},
                       21),
               CatLine({{4, L"c"}, {6, L"o"}, {19, L"B2"}, {20, L"b9999"}}, 21)},
              root);
    const CCsvItem& sub = *root.m_children[0]->m_children[0];
    EXPECT_EQ(sub.m_children[0]->m_displayName, L"別名");
    EXPECT_EQ(sub.m_children[0]->m_children[0]->m_displayName, L"別名");
    EXPECT_EQ(sub.m_children[1]->m_displayName, L"c");
    EXPECT_EQ(sub.m_children[1]->m_fileBaseName, L"b9999");
}

TEST(CatalogueTree, ShortLinesAndLinesWithoutBaseNameAreIgnored) {
    CCsvItem root;
    EXPECT_EQ(BuildFrom({CatLine({{0, L"G"}, {4, L"a"}, {6, L"n"}, {18, L"B1"}}, 19),
                         CatLine({{0, L"H"}, {4, L"a"}, {6, L"n"}})},
                        root),
              0);
}

TEST(CatalogueTree, ThumbNumbersComeFromDialogDescriptions) {
    ztest::TempFolder dir;
    WriteBytes(dir.path() / "Dlg" / "b1180_1.INI", "[General]\r\nThumbDirection=3\r\n");
    WriteBytes(dir.path() / "Dlg" / "B1181_1.ini", "[General]\r\nOther=1\r\n");
    CCsvItem root;
    BuildFrom(kBolts, root, libtest::WidePath(dir.path()) + L"\\dlg\\");
    const CCsvItem& sub = *root.m_children[0]->m_children[0];
    EXPECT_EQ(sub.m_children[0]->GetThumbNumber(), 3);
    EXPECT_EQ(sub.m_children[0]->m_children[1]->GetThumbNumber(), 1); // B1180_2: no file
    EXPECT_EQ(root.m_children[1]->m_children[0]->m_children[0]->GetThumbNumber(), 1); // no key
}

TEST(CatalogueTreeEncoding, Utf16WithBomAndCodePageGiveTheSameTree) {
    ztest::TempFolder dir;
    std::wstring text;
    for (const auto& l : kBolts)
        text += l + L"\r\n";
    WriteBytes(dir.path() / "k16.txt", libtest::Utf16Le(text));
    WriteBytes(dir.path() / "k932.txt", libtest::Cp932(text));
    CCsvItem a, b;
    ASSERT_EQ(ReadCatalogueTree(L"", libtest::WidePath(dir.path()) + L"\\k16.txt", &a, L""), 2);
    ASSERT_EQ(ReadCatalogueTree(L"", libtest::WidePath(dir.path()) + L"\\k932.txt", &b, L""), 2);
    EXPECT_EQ(Dump(a), Dump(b));
    EXPECT_EQ(a.CountDescendants(), 10u);
}

TEST(CatalogueTreeEncoding, Utf16WithLineFeedsOnlyIsOneLongLine) {
    std::wstring text;
    for (const auto& l : kBolts)
        text += l + L"\n";
    const auto lines = ReadCatalogueTreeLines(libtest::Utf16Le(text));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], text);
    CCsvItem root;
    auto thumbs = std::make_shared<CThumbDirections>(L"");
    // One line: its column 19 is the first line's file base name, a line feed and the second
    // line's (empty) first field; only the first line's nodes are made.
    ASSERT_EQ(BuildCatalogueTree(lines, &root, thumbs), 1);
    EXPECT_EQ(root.CountDescendants(), 4u);
    EXPECT_EQ(root.m_children[0]->m_children[0]->m_children[0]->m_fileBaseName, L"B1180_1\n");
}

TEST(CatalogueTreeEncoding, LineFeedAloneDoesNotEndACodePageLine) {
    const auto lines = ReadCatalogueTreeLines("a\nb\r\nc\rd\r\n");
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a\nb", L"c\rd"}));
}

TEST(CatalogueTreeEncoding, LinesAreCutAfter2048Characters) {
    const std::string longLine(5000, 'x');
    auto lines = ReadCatalogueTreeLines(longLine + "\r\nend");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].size(), 2048u);
    EXPECT_EQ(lines[2].size(), 904u);
    EXPECT_EQ(lines[3], L"end");
    lines = ReadCatalogueTreeLines(libtest::Utf16Le(std::wstring(4096, L'あ') + L"\r\n"));
    ASSERT_EQ(lines.size(), 3u); // two full lines and the empty one before CR LF
    EXPECT_EQ(lines[1].size(), 2048u);
}

TEST(CatalogueTreeEncoding, LoneBomOddBytesAndJunkAreHarmless) {
    EXPECT_TRUE(ReadCatalogueTreeLines("\xFF\xFE").empty());
    auto lines = ReadCatalogueTreeLines(std::string("\xFF\xFE"
                                                    "a\0b",
                                                    5));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], L"a"); // the odd last byte is not a character
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        const char c = static_cast<char>((i * 37 + 11) & 0xFF);
        junk += c == '\t' ? 'x' : c; // without tabs no line has fields to use
    }
    CCsvItem root;
    auto thumbs = std::make_shared<CThumbDirections>(L"");
    EXPECT_EQ(BuildCatalogueTree(ReadCatalogueTreeLines(junk), &root, thumbs), 0);
}

TEST(CatalogueTree, MissingFileGivesNoNodes) {
    ztest::TempFolder dir;
    CCsvItem root;
    EXPECT_EQ(ReadCatalogueTree(L"", libtest::WidePath(dir.path()) + L"\\none.txt", &root, L""), 0);
    EXPECT_TRUE(root.m_children.empty());
}

TEST(CatalogueTree, LiftedNodesStillReadTheirThumbNumbers) {
    ztest::TempFolder dir;
    WriteBytes(dir.path() / "Dlg" / "B1354_2.ini", "[General]\r\nThumbDirection=4\r\n");
    CCsvItem root;
    BuildFrom({CatLine({{0, L"P"}, {1, L"a"}, {2, L"x"}, {3, L"p1"}, {19, L"B1354_1"}}),
               CatLine({{1, L"b"}, {3, L"p2"}, {19, L"B1354_2"}})},
              root, libtest::WidePath(dir.path()) + L"/Dlg/");
    ASSERT_EQ(root.m_children[0]->m_children.size(), 2u);
    const CCsvItem& lifted = *root.m_children[0]->m_children[1];
    EXPECT_EQ(lifted.m_pParent, root.m_children[0].get());
    EXPECT_EQ(lifted.GetThumbNumber(), 4);
    EXPECT_EQ(root.m_children[0]->m_children[0]->GetThumbNumber(), 1);
}

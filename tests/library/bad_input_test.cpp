// Inputs an author or a broken copy can produce: every reader must end normally on them, with
// what can be read (under the sanitizers of the test build an out-of-range read fails the test).
#include "library/CatalogueList.h"
#include "library/CsvItem.h"
#include "library/LibraryText.h"
#include "library/PartsYobi.h"

#include "CatalogueLines.h"
#include "LibraryTestUtil.h"

#include <gtest/gtest.h>

using libtest::CatLine;

namespace {

std::string Junk(size_t n, unsigned seed) {
    std::string bytes;
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes += static_cast<char>(seed >> 16);
    }
    return bytes;
}

int TreeFromBytes(const std::string& bytes, CCsvItem& root) {
    return BuildCatalogueTree(ReadCatalogueTreeLines(bytes), &root, nullptr);
}

} // namespace

TEST(LibraryBadInput, TenThousandCharacterLinesInEveryReader) {
    const std::wstring huge(10000, L'あ');
    const std::wstring line = CatLine({{0, huge}, {4, huge}, {19, L"B1"}, {20, huge}}, 21);
    const std::wstring text = line + L"\r\n" + line + L"\r\n";

    std::vector<CatalogueGroup> groups;
    ReadCatalogueListText(groups, DecodeLibraryText(libtest::Cp932(text)), L"", false);
    // Every piece of 4095 characters is a line of its own: the group names are pieces.
    ASSERT_FALSE(groups.empty());
    for (const auto& g : groups)
        EXPECT_LE(g.m_name.size(), 4095u);

    CCsvItem root;
    TreeFromBytes(libtest::Utf16Le(text), root);
    CCsvItem root932;
    TreeFromBytes(libtest::Cp932(text), root932);
    // Cut after 2048 characters, no line keeps the 20 fields a part needs.
    EXPECT_TRUE(root.m_children.empty());
    EXPECT_TRUE(root932.m_children.empty());

    std::vector<std::wstring> lines;
    SplitIntoLines(L"\t\tP\tNOM_SIZE\t\t" + huge + L"\n" + huge + L"\n" + huge + L"\n", lines,
                   false);
    CPartsYobi yobi;
    EXPECT_FALSE(yobi.LoadLines(lines, L"P", -1));
}

TEST(LibraryBadInput, OddTabCounts) {
    std::vector<std::wstring> lines = {L"\t\t\tNOM_SIZE\t\tM3\tM4\tM5\t\t\t\n", L"\t\tP\t\t\t6\n",
                                       L"\t\t\t\t\t30\t40\t50\t60\t70\t80\t90\n"};
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines(lines, L"P", -1));
    EXPECT_EQ(yobi.GetRows().size(), 1u);

    std::vector<CatalogueGroup> groups;
    EXPECT_EQ(ReadCatalogueListText(groups,
                                    L"G\t\t\t\n\t\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\n",
                                    L"", false),
              1);
    CCsvItem root;
    EXPECT_EQ(
        TreeFromBytes(std::string(100, '\t') + "\r\n" + std::string(19, '\t') + "B\r\n", root),
        1); // the second line is a part of an unnamed group
}

TEST(LibraryBadInput, BinaryJunkAndByteOrderMarkOnly) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::string junk = Junk(3000, seed);
        std::vector<CatalogueGroup> groups;
        ReadCatalogueListText(groups, DecodeLibraryText(junk), L"", false);
        CCsvItem root;
        TreeFromBytes(junk, root);
        CCsvItem root16;
        TreeFromBytes("\xFF\xFE" + junk, root16);
        std::vector<std::wstring> lines;
        SplitIntoLines(DecodeLibraryText(junk), lines, false);
        CPartsYobi yobi;
        yobi.LoadLines(lines, L"*", seed);
        for (const auto& row : yobi.GetRows())
            EXPECT_TRUE(yobi.Restrict(row.m_size));
    }
    CCsvItem root;
    EXPECT_EQ(TreeFromBytes("\xFF\xFE", root), 0);
    EXPECT_EQ(TreeFromBytes("\xFF\xFE\x41", root), 0); // an odd byte after the mark
    EXPECT_EQ(DecodeLibraryText("\xFF\xFE"), L"");
}

TEST(LibraryBadInput, NonNumbersInLengthColumns) {
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadLines({L"\t\t\tNOM_SIZE\t\tA\tB\tC\n", L"\t\tP\t\t\tnan\t1e400\t-inf\n",
                                L"\t\t\t\t\t1e400\tnan\t1e-400\n"},
                               L"P", -1));
    for (const wchar_t* size : {L"A", L"B", L"C"}) {
        ASSERT_TRUE(yobi.Restrict(size));
        EXPECT_TRUE(yobi.GetLengths().empty());
        double len = 12;
        EXPECT_FALSE(yobi.Snap(len));
        EXPECT_EQ(len, 12);
    }
    double min = 0;
    EXPECT_FALSE(yobi.GetMinLength(min));
}

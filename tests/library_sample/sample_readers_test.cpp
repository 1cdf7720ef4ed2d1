// The sample product read by the add-on's own library readers: the catalogue as both catalogues
// show it, the nominal lengths the jig snaps to, and the dialog descriptions' references to data
// tables and pictures.
#include "SampleTestUtil.h"

#include "library/CatalogueList.h"
#include "library/CsvItem.h"
#include "library/LibraryCheck.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "library/PartsYobi.h"
#include "zhost/core/utf.h"
#include "zhost/settings/privateprofile.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;
using namespace sample;

namespace {

std::wstring W(const fs::path& p) {
    return p.wstring();
}

CLibraryPaths SamplePaths() {
    CLibraryPaths paths;
    MakeLibraryPaths(W(ProductDir() / "PartsData"), paths);
    return paths;
}

// The nominal lengths the tables give a size: the ISO 888 preferred lengths inside its range.
std::vector<std::wstring> ExpectedLengths(const char* minColumn, const char* maxColumn,
                                          const std::string& size) {
    double lo = 0, hi = 0;
    for (const TsvRow& r : ReadTsv("bolt_lengths_iso4014_4017.tsv"))
        if (r.at("size") == size) {
            lo = std::stod(r.at(minColumn));
            hi = std::stod(r.at(maxColumn));
        }
    std::vector<std::wstring> out;
    for (const TsvRow& r : ReadTsv("preferred_lengths_iso888.tsv")) {
        const double l = std::stod(r.at("l"));
        if (l >= lo && l <= hi)
            out.push_back(zhost::fromUtf8(r.at("l")));
    }
    return out;
}

std::vector<std::wstring> Sizes() {
    std::vector<std::wstring> out;
    for (const TsvRow& r : ReadTsv("threads_metric_jis_b0205.tsv"))
        if (r.at("kind") == "coarse")
            out.push_back(zhost::fromUtf8(r.at("designation")));
    return out;
}

} // namespace

TEST(SampleLibrary, PassesTheStrictLibraryCheck) {
    std::vector<std::wstring> report;
    const LibraryCheckCounts counts =
        CheckLibraryAt(SamplePaths(), [&](const std::wstring& line) { report.push_back(line); });
    std::string text;
    for (const auto& l : report)
        text += zhost::toUtf8(l) + "\n";
    EXPECT_EQ(counts.problems, 0) << text;
    EXPECT_EQ(counts.warnings, 0) << text;
}

TEST(SampleLibrary, TextCatalogueListsEveryPartWithItsPreview) {
    const CLibraryPaths paths = SamplePaths();
    std::vector<CatalogueGroup> groups;
    // Bolts (hex, socket and studs), nuts (hex and thin), washers, screws, set screws, pins,
    // tapped holes: each group's lines stand together, so no group name comes back.
    ASSERT_EQ(ReadCatalogueList(groups, paths.m_catalogueFile, paths.m_symbolsFolder, true), 7);
    EXPECT_EQ(groups[0].m_name, L"ボルト");
    ASSERT_EQ(groups[0].m_items.size(), 5u);
    EXPECT_EQ(groups[0].m_items[0].m_fileBaseName, L"B1180_Partial");
    EXPECT_EQ(groups[0].m_items[1].m_displayName, L"六角ボルト 全ねじ (ISO 4017)"); // override
    // "B1181 六角ナット" and the flat line's "B1256　平座金" lose their standard numbers.
    EXPECT_EQ(groups[1].m_items.at(0).m_displayName, L"六角ナット");
    EXPECT_EQ(groups[1].m_items.at(1).m_displayName, L"六角ナット (薄形)");
    EXPECT_EQ(groups[2].m_items.at(0).m_displayName, L"平座金");
    for (size_t i = 1; i < groups.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(groups[i].m_name, groups[j].m_name) << "a group is split in two";
}

TEST(SampleLibrary, PictureCatalogueTreeHasGroupsLevelsAndLiftedSubGroups) {
    const CLibraryPaths paths = SamplePaths();
    CCsvItem root;
    ASSERT_EQ(
        ReadCatalogueTree(paths.m_symbolsFolder, paths.m_catalogueFile, &root, paths.m_dlgFolder),
        7);
    // Bolts: group -> sub-group -> type -> thread form (two leaves); socket screws and studs
    // are sub-groups of their own in the same group.
    const CCsvItem& bolts = *root.m_children[0];
    ASSERT_EQ(bolts.m_children.size(), 3u);
    const CCsvItem& hexBolt = *bolts.m_children[0]->m_children.at(0);
    EXPECT_EQ(hexBolt.m_name, L"HEXBOLT");
    ASSERT_EQ(hexBolt.m_children.size(), 2u);
    EXPECT_EQ(hexBolt.m_children[1]->m_fileBaseName, L"B1180_Full");
    EXPECT_EQ(hexBolt.m_children[1]->m_displayName, L"六角ボルト 全ねじ (ISO 4017)");
    // Nuts ("-" sub-group, hex and thin) and washers (flat line): the parts sit right under
    // the group.
    for (int g : {1, 2}) {
        const CCsvItem& group = *root.m_children[g];
        ASSERT_EQ(group.m_children.size(), g == 1 ? 2u : 1u);
        EXPECT_FALSE(group.m_children[0]->m_name.empty());
        EXPECT_TRUE(group.m_children[0]->m_children.empty());
    }
    EXPECT_EQ(root.m_children[2]->m_children[0]->GetThumbNumber(), 0); // washers show the plan
    EXPECT_EQ(root.m_children[1]->m_children[0]->GetThumbNumber(), 1);
}

TEST(SampleNominalLengths, PartialThreadBoltsSnapToIso4014Lengths) {
    for (int variant : {0, 1}) { // main body and annex JA
        CPartsYobi yobi;
        ASSERT_TRUE(yobi.LoadFile(SamplePaths().m_nominalSizeFile, L"B1180_Partial", variant));
        for (const TsvRow& r : ReadTsv("bolt_lengths_iso4014_4017.tsv")) {
            ASSERT_TRUE(yobi.Restrict(zhost::fromUtf8(r.at("size"))));
            EXPECT_EQ(yobi.GetLengths(),
                      ExpectedLengths("iso4014_l_min", "iso4014_l_max", r.at("size")))
                << r.at("size");
        }
    }
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadFile(SamplePaths().m_nominalSizeFile, L"B1180_Partial", 0));
    ASSERT_TRUE(yobi.Restrict(L"M10"));
    double length = 0;
    ASSERT_TRUE(yobi.GetMinLength(length));
    EXPECT_DOUBLE_EQ(length, 45);
    length = 73;
    ASSERT_TRUE(yobi.Snap(length));
    EXPECT_DOUBLE_EQ(length, 70);
}

TEST(SampleNominalLengths, FullThreadBoltsSnapToIso4017Lengths) {
    CPartsYobi yobi;
    ASSERT_TRUE(yobi.LoadFile(SamplePaths().m_nominalSizeFile, L"B1180_Full", 0));
    for (const TsvRow& r : ReadTsv("bolt_lengths_iso4014_4017.tsv")) {
        ASSERT_TRUE(yobi.Restrict(zhost::fromUtf8(r.at("size"))));
        EXPECT_EQ(yobi.GetLengths(),
                  ExpectedLengths("iso4017_l_min", "iso4017_l_max", r.at("size")))
            << r.at("size");
    }
    // Parts without lengths (nuts, washers) have no rows.
    EXPECT_FALSE(yobi.LoadFile(SamplePaths().m_nominalSizeFile, L"B1181_HexNut", 0));
}

TEST(SampleDescriptions, SizeListsLookUpTheNominalDiameter) {
    const CLibraryPaths paths = SamplePaths();
    std::map<std::wstring, std::wstring> diameters;
    for (const TsvRow& r : ReadTsv("threads_metric_jis_b0205.tsv"))
        diameters[zhost::fromUtf8(r.at("designation"))] = zhost::fromUtf8(r.at("d_nominal"));
    for (const char* part : {"B1180_Partial", "B1180_Full", "B1181_HexNut", "B1256_PlainWasher"}) {
        const std::wstring name = zhost::fromUtf8(part);
        std::vector<std::wstring> sizes;
        ASSERT_GT(ReadLines(paths.m_dataFolder + name + L"_Yobi.dat", sizes, true), 0) << part;
        // "$Pair List1:Label1:<table>:Edit1": the four-part look-up filling the d row.
        std::vector<std::wstring> pair;
        ASSERT_EQ(Split(sizes[0].substr(6), pair, L":"), 4) << part;
        EXPECT_EQ(pair[3], L"Edit1");
        sizes.erase(sizes.begin());
        EXPECT_EQ(sizes, Sizes()) << part;
        std::vector<std::wstring> table;
        ASSERT_GT(ReadLines(paths.m_dataFolder + pair[2], table, true), 1) << part;
        std::set<std::wstring> found;
        for (size_t i = 1; i < table.size(); ++i) { // the first line is a heading
            std::vector<std::wstring> f;
            Split(table[i], f, L"\t");
            EXPECT_EQ(f.at(1), diameters.at(f[0])) << part;
            found.insert(f[0]);
        }
        EXPECT_EQ(found.size(), sizes.size()) << part;
    }
}

// The first four parts' references, read with the platform's ini reader (the library check
// follows every part's references, see the strict check above).
TEST(SampleDescriptions, PicturesAndDataTheyNameExist) {
    const CLibraryPaths paths = SamplePaths();
    for (const wchar_t* part :
         {L"B1180_Partial", L"B1180_Full", L"B1181_HexNut", L"B1256_PlainWasher"}) {
        const fs::path path = ContentsDir() / "Dlg" / (std::wstring(part) + L".ini");
        const std::wstring file = path.wstring();
        const std::wstring base = part;
        std::wstring value;
        // The picture buttons: "<base>_<suffix>" in Symbols, the hidden-line variants in Thumbs.
        zhost::settings::getPrivateProfileString(L"Drawing", L"symbol", L"", value, 1024, file);
        std::vector<std::wstring> suffixes;
        Split(value, suffixes, L",");
        ASSERT_EQ(suffixes.size(), 2u) << path;
        for (const std::wstring& s : suffixes) {
            EXPECT_TRUE(fs::exists(ContentsDir() / "Symbols" / (base + L"_" + s + L".dxf")));
            EXPECT_TRUE(fs::exists(ContentsDir() / "Thumbs" / (base + L"_" + s + L"H.dxf")));
        }
        zhost::settings::getPrivateProfileString(L"Quality", L"material", L"", value, 1024, file);
        std::vector<std::wstring> materials;
        EXPECT_GE(ReadLines(paths.m_dataFolder + value, materials, true), 2) << path;
        zhost::settings::getPrivateProfileString(L"error", L"0", L"", value, 1024, file);
        std::vector<std::wstring> rule;
        ASSERT_EQ(Split(value, rule, L","), 4) << path;
        EXPECT_EQ(rule[0], L"RANGE_ERR");
        std::vector<std::wstring> ranges;
        EXPECT_EQ(
            ReadLines(paths.m_dataFolder + rule[2].substr(rule[2].find(L':') + 1), ranges, true),
            11)
            << path;
    }
}

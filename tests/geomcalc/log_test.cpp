// The log file: its line rules, where it goes and how it is written.
#include "GeomCalcTestUtil.h"

#include "geomcalc/GeomCalcLog.h"

#include "zhost/settings/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(LogText, CentroidRowsBecomeTabSeparated) {
    const std::wstring text = BuildLogText({{L"重心位置(赤色点)", L"X = 10.5 Y = -3"}});
    EXPECT_EQ(text, L"\n重心位置(赤色点)\tX\t10.5\tY\t-3");
}

TEST(LogText, EveryRuleOfTheTable) {
    const std::vector<ReportRow> rows = {
        {L"<<中抜きなし情報>>", L""},
        {L"", L""},
        {L"モーメント計算指示座標", L"X = 1 Y = 2"},
        {L"周長", L"40(mm)"},
        {L"面積", L"100(mm2)"},
        {L"回転体体積", L"1000(mm3)"},
        {L"回転体重さ", L"7.85(g)"},
        {L"重心位置(緑色点)", L"X = 5 Y = 5"},
        {L"重心位置(指示点基準)", L"X = -5 Y = 10"},
        {L"断面2次モーメント(重心基準)", L"Ix = 8(mm4) Iy = 9(mm4)"},
        {L"Ip = Ix + Iy", L"17(mm4)"},
        {L"断面2次モーメント(指示点基準)", L"Ix = 1(mm4) Iy = 2(mm4)"},
    };
    const std::wstring expected = L"\n<<中抜きなし情報>>"
                                  L"\n"
                                  L"\nモーメント計算指示座標\tX\t1\tY\t2"
                                  L"\n周長\t40\t(mm)"
                                  L"\n面積\t100\t(mm2)"
                                  L"\n回転体体積\t1000\t(mm3)"
                                  L"\n回転体重さ\t7.85\t(g)"
                                  L"\n重心位置(緑色点)\tX\t5\tY\t5"
                                  L"\n重心位置(指示点基準)\tX\t-5\tY\t10"
                                  L"\n断面2次モーメント(重心基準)\tIx\t8\t(mm4)\tIy\t9\t(mm4)"
                                  L"\nIp=Ix+Iy\t17\t(mm4)"
                                  L"\n断面2次モーメント(指示点基準)\tIx\t1\t(mm4)\tIy\t2\t(mm4)";
    EXPECT_EQ(BuildLogText(rows), expected);
}

TEST(LogText, PercentSignsInDataAreNotFormats) {
    EXPECT_EQ(BuildLogText({{L"%s%d", L"%n"}}), L"\n%s%d%n");
}

class LogFileTest : public GeomCalcTest {};

TEST_F(LogFileTest, SavedDrawingWritesBesideIt) {
    const fs::path drawing = TempDir() / "parts.v2.dxf";
    std::ofstream(drawing) << "0\nEOF\n";
    const std::wstring base = LogBasePath(
        L"parts.v2.dxf", zhost::settings::toWide(TempDir()) + L"/", L"/nonexistent-temp");
    EXPECT_EQ(base, zhost::settings::toWide(TempDir() / "parts.v2"));
    EXPECT_EQ(LogFilePath(base), base + L"_ZORMA_GEOMCALC.log");
}

TEST_F(LogFileTest, UnsavedDrawingWritesToTheTemporaryFolder) {
    EXPECT_EQ(LogBasePath(L"Drawing1.dwg", L"/no/such/folder/", L"/tmp"), L"/tmp/Drawing1");
    EXPECT_EQ(LogBasePath(L"", L"/tmp/", L"/tmp"), L"");
}

TEST_F(LogFileTest, DotInFolderNameIsNotAnExtension) {
    EXPECT_EQ(LogBasePath(L"Drawing1", L"", L"/tmp/my.folder"), L"/tmp/my.folder/Drawing1");
}

TEST_F(LogFileTest, RewrittenFromScratchWithByteOrderMark) {
    SetDrawingPath(TempDir() / "shaft.dxf");
    const std::vector<ReportRow> rows = {{L"面積", L"100(mm2)"}};
    std::wstring path;
    ASSERT_TRUE(WriteGeomCalcLog(rows, &path));
    ASSERT_TRUE(WriteGeomCalcLog(rows, &path));
    EXPECT_EQ(fs::path(zhost::settings::toFsPath(path)), TempDir() / "shaft_ZORMA_GEOMCALC.log");
    EXPECT_EQ(ReadFile(TempDir() / "shaft_ZORMA_GEOMCALC.log"), "\xEF\xBB\xBF\n面積\t100\t(mm2)");
    // Headless runs print the path instead of starting an editor.
    EXPECT_NE(Transcript().find(path), std::wstring::npos);
}

TEST_F(LogFileTest, PlantedSymbolicLinkIsReplacedNotFollowed) {
    SetDrawingPath(TempDir() / "victim.dxf");
    const fs::path target = TempDir() / "precious.txt";
    std::ofstream(target) << "keep me";
    fs::create_symlink(target, TempDir() / "victim_ZORMA_GEOMCALC.log");
    ASSERT_TRUE(WriteGeomCalcLog({{L"周長", L"1(mm)"}}));
    EXPECT_EQ(ReadFile(target), "keep me");
    EXPECT_FALSE(fs::is_symlink(TempDir() / "victim_ZORMA_GEOMCALC.log"));
}

TEST_F(LogFileTest, ReadOnlyFolderReportsAndGoesOn) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const fs::path folder = TempDir() / "locked";
    fs::create_directory(folder);
    SetDrawingPath(folder / "part.dxf");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteGeomCalcLog({{L"周長", L"1(mm)"}}));
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_NE(Transcript().find(L"\nログファイルが作成できませんでした。"), std::wstring::npos);
}

TEST_F(LogFileTest, UnwritableLogNameReportsAndGoesOn) {
    // A folder that holds something where the log should go cannot be replaced, whoever runs.
    SetDrawingPath(TempDir() / "part.dxf");
    fs::create_directories(TempDir() / "part_ZORMA_GEOMCALC.log" / "inside");
    EXPECT_FALSE(WriteGeomCalcLog({{L"周長", L"1(mm)"}}));
    EXPECT_NE(Transcript().find(L"\nログファイルが作成できませんでした。"), std::wstring::npos);
    EXPECT_TRUE(fs::is_directory(TempDir() / "part_ZORMA_GEOMCALC.log" / "inside"));
}

TEST_F(LogFileTest, UnsavedDrawingUsesTemporaryFolder) {
    SetDrawingPath(fs::path());
    // The host names an unsaved drawing "Drawing1.dwg": that goes to the temporary folder.
    std::wstring path;
    EXPECT_TRUE(WriteGeomCalcLog({{L"周長", L"1(mm)"}}, &path));
    EXPECT_EQ(fs::path(zhost::settings::toFsPath(path)).parent_path(),
              zhost::settings::temporaryFolder());
    fs::remove(zhost::settings::toFsPath(path));
}

} // namespace

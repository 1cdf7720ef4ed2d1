// Temporary folders: one of its own per test, removed after a pass, kept after a failure.
#include "support/process.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(TempFolder, IsFreshEmptyAndNamedAfterTheTest) {
    fs::path first, second;
    {
        ztest::TempFolder a, b;
        first = a.path();
        second = b.path();
        EXPECT_NE(first, second);
        EXPECT_TRUE(fs::is_directory(first));
        EXPECT_TRUE(fs::is_empty(first));
        EXPECT_THAT(first.filename().string(),
                    HasSubstr("TempFolder.IsFreshEmptyAndNamedAfterTheTest"));
        a.Write("deep/inside/file.txt", "x");
    }
    // Removed with what was written into it.
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
}

TEST(TempFolder, WritesAndReadsBytesUnderAnyName) {
    ztest::TempFolder folder("label with / slash");
    EXPECT_EQ(folder.path().parent_path(), fs::temp_directory_path());
    const std::string bytes("図面\r\n\0end", 11);
    const fs::path file = folder.Write("部品 フォルダ/名前 's.dxf", bytes);
    EXPECT_EQ(file, folder / "部品 フォルダ/名前 's.dxf");
    EXPECT_EQ(ztest::ReadFile(file), bytes);
    EXPECT_EQ(ztest::ReadFile(folder / "missing"), "");
}

class TempFolderFixture : public ztest::TempFolderTest {};

TEST_F(TempFolderFixture, GivesEachTestItsFolder) {
    EXPECT_TRUE(fs::is_directory(Dir()));
    EXPECT_EQ(ztest::ReadFile(Write("a.txt", "abc")), "abc");
}

// Fails on purpose: run by the test below in a child process, never on its own.
TEST(TempFolderKept, DISABLED_FailsOnPurpose) {
    ztest::TempFolder folder;
    folder.Write("evidence.txt", "kept");
    ADD_FAILURE() << "failing on purpose";
}

TEST(TempFolderKept, AfterAFailureTheFolderIsKeptAndNamed) {
    const auto r = ztest::RunProcess({fs::read_symlink("/proc/self/exe").string(),
                                      "--gtest_filter=TempFolderKept.DISABLED_FailsOnPurpose",
                                      "--gtest_also_run_disabled_tests"});
    ASSERT_EQ(r.exitCode, 1) << r;
    const std::string mark = "[  KEPT    ] ";
    const size_t at = r.err.find(mark);
    ASSERT_NE(at, std::string::npos) << r;
    const fs::path kept = r.err.substr(at + mark.size(), r.err.find('\n', at) - at - mark.size());
    EXPECT_EQ(ztest::ReadFile(kept / "evidence.txt"), "kept");
    fs::remove_all(kept);
}

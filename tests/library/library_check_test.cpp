#include "library/LibraryCheck.h"

#include "LibraryTestUtil.h"
#include "library/LibraryPaths.h"

#include "zhost/settings/product.h"

#include <gtest/gtest.h>

#include <algorithm>

int runLibraryCheck(int argc, char** argv); // host/app/library_check.h

namespace {

struct CheckRun {
    int result = 0;
    std::vector<std::wstring> lines;

    bool Has(const std::wstring& part) const {
        return std::any_of(lines.begin(), lines.end(), [&](const std::wstring& l) {
            return l.find(part) != std::wstring::npos;
        });
    }
};

CheckRun Check(const char* fixture) {
    CheckRun run;
    const std::string dir = libtest::FixtureDir() + "/" + fixture;
    run.result = CheckLibrary(std::wstring(dir.begin(), dir.end()),
                              [&](const std::wstring& l) { run.lines.push_back(l); });
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
    return run;
}

} // namespace

TEST(LibraryCheck, CleanLibraryPasses) {
    const CheckRun run = Check("root_catalogue");
    EXPECT_EQ(run.result, 0);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_NE(run.lines.back().find(L"2 groups, 3 catalogue entries, 2 part types with 7 "
                                    L"picture-catalogue nodes; 0 problems"),
              std::wstring::npos)
        << run.lines.back();
}

TEST(LibraryCheck, ReportsMissingFilesShortLinesAndBadNumbers) {
    const CheckRun run = Check("problems");
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:2: B9000_1: no dialog description"));
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:3: 19 fields; a part line needs 20"));
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:4: B9002_1: no preview drawing B9002_1_0.dwg, "
                        L"B9002_1_1.dwg"));
    EXPECT_FALSE(run.Has(L"B1180_1:"));
    EXPECT_TRUE(run.Has(L"PartsContentsY.txt:2 column 6: M8: \"abc\" is not a number"));
    EXPECT_TRUE(run.Has(L"M10: \"1e400\" is not a number"));
    EXPECT_TRUE(run.Has(L"PartsContentsY.txt:3 column 7: M10: \"nan\" is not a number"));
    EXPECT_TRUE(run.Has(L"note: PartsContentsParam.ini has no [CENTER]"));
    EXPECT_TRUE(run.Has(
        L"1 group, 3 catalogue entries, 1 part type with 5 picture-catalogue nodes; 6 problems"));
}

TEST(LibraryCheck, MissingLibraryFails) {
    libtest::TempDir empty;
    CheckRun run;
    run.result =
        CheckLibrary(empty.wpath(), [&](const std::wstring& l) { run.lines.push_back(l); });
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt: not found"));
}

TEST(LibraryCheckCommand, ArgumentsAndExitStatus) {
    std::string dir = libtest::FixtureDir() + "/root_catalogue";
    char check[] = "check", product[] = "--product", bogus[] = "--bogus";
    char* good[] = {check, product, dir.data()};
    testing::internal::CaptureStdout();
    EXPECT_EQ(runLibraryCheck(3, good), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("0 problems\n"), std::string::npos);
    char* bad[] = {check, bogus};
    testing::internal::CaptureStderr();
    EXPECT_EQ(runLibraryCheck(2, bad), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("usage"), std::string::npos);
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
}

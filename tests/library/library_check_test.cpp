#include "library/LibraryCheck.h"

#include "LibraryTestUtil.h"
#include "frame/LibraryVerbs.h"
#include "library/LibraryPaths.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"
#include "zhost/settings/product.h"

#include <gtest/gtest.h>

#include <algorithm>

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
                                    L"picture-catalogue nodes; 0 problems, 0 warnings"),
              std::wstring::npos)
        << run.lines.back();
}

TEST(LibraryCheck, ReportsMissingFilesShortLinesAndBadNumbers) {
    const CheckRun run = Check("problems");
    EXPECT_EQ(run.result, 1);
    // A part the readers skip cleanly is a warning; a preview the text catalogue shows with
    // Shift is a problem.
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:2: warning: B9000_1: no dialog description"));
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:3: 19 fields; a part line needs 20"));
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:4: warning: B9002_1: no symbol drawing "
                        L"B9002_1_1.dwg"));
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt:4: B9002_1: no preview drawing B9002_1_0.dwg"));
    EXPECT_FALSE(run.Has(L"B1180_1:"));
    EXPECT_TRUE(run.Has(L"PartsContentsY.txt:2 column 6: M8: \"abc\" is not a number"));
    EXPECT_TRUE(run.Has(L"M10: \"1e400\" is not a number"));
    EXPECT_TRUE(run.Has(L"PartsContentsY.txt:3 column 7: M10: \"nan\" is not a number"));
    EXPECT_TRUE(run.Has(L"note: PartsContentsParam.ini has no [CENTER]"));
    EXPECT_TRUE(run.Has(
        L"1 group, 3 catalogue entries, 1 part type with 5 picture-catalogue nodes; 5 problems, "
        L"2 warnings"));
}

TEST(LibraryCheck, MissingLibraryFails) {
    ztest::TempFolder empty;
    CheckRun run;
    run.result = CheckLibrary(libtest::WidePath(empty.path()),
                              [&](const std::wstring& l) { run.lines.push_back(l); });
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.Has(L"PartsContentsK.txt: not found"));
}

namespace {

// Runs the check verb on a fixture product and collects what it prints on the command line.
struct VerbRun {
    int result = 0;
    std::wstring text;
};

VerbRun RunCheckVerb(const char* fixture, const LibraryVerbArgs& args) {
    VerbRun run;
    const std::string dir = libtest::FixtureDir() + "/" + fixture;
    zhost::settings::setProductFolder(dir);
    ResetLibraryPaths();
    zhost::ed::setTranscriptSink([&](std::wstring_view t) { run.text.append(t); });
    run.result = LibraryCheckVerb(args);
    zhost::ed::setTranscriptSink({});
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
    return run;
}

} // namespace

TEST(LibraryCheckVerb, StrictFailsOnWarningsOnly) {
    // root_catalogue is clean: strict or not, it passes.
    EXPECT_EQ(RunCheckVerb("root_catalogue", {}).result, 0);
    EXPECT_EQ(RunCheckVerb("root_catalogue", {L"--strict"}).result, 0);
    // A library with nothing but a missing description passes plainly and fails strictly.
    ztest::TempFolder dir;
    const std::string src = libtest::FixtureDir() + "/root_catalogue";
    std::filesystem::copy(src, dir.path(), std::filesystem::copy_options::recursive);
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
        if (e.path().extension() == ".ini" && e.path().parent_path().filename() == "Dlg") {
            std::filesystem::remove(e.path());
            break;
        }
    zhost::settings::setProductFolder(dir.path());
    ResetLibraryPaths();
    std::wstring text;
    zhost::ed::setTranscriptSink([&](std::wstring_view t) { text.append(t); });
    EXPECT_EQ(LibraryCheckVerb({}), 0);
    EXPECT_EQ(LibraryCheckVerb({L"--strict"}), 1);
    zhost::ed::setTranscriptSink({});
    zhost::settings::setProductFolder({});
    ResetLibraryPaths();
    EXPECT_NE(text.find(L"warning: "), std::wstring::npos) << zhost::toUtf8(text);
    EXPECT_NE(text.find(L"0 problems, 1 warning\n"), std::wstring::npos) << zhost::toUtf8(text);
}

TEST(LibraryCheckVerb, ReportsThroughTheCommandLineAndRefusesUnknownArguments) {
    const VerbRun good = RunCheckVerb("problems", {});
    EXPECT_EQ(good.result, 1);
    EXPECT_NE(good.text.find(L"PartsContentsK.txt:3: 19 fields"), std::wstring::npos);
    const VerbRun bad = RunCheckVerb("root_catalogue", {L"--bogus"});
    EXPECT_EQ(bad.result, 2);
    EXPECT_NE(bad.text.find(L"unknown argument \"--bogus\""), std::wstring::npos);
    EXPECT_NE(bad.text.find(L"usage: zorma library check"), std::wstring::npos);
}

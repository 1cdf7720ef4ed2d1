// "zorma library VERB" at the plug-in boundary: the host loads the plug-in and hands a verb to
// its exported verb entry, as the program does.
#include "PluginTestUtil.h"

#include "support/status.h"

#include "zhost/core/utf.h"
#include "zhost/rx/loader.h"
#include "zhost/settings/product.h"

#include <gtest/gtest.h>

namespace rx = zhost::rx;

namespace {

class LibraryVerbs : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        std::wstring message;
        ASSERT_OK(m_module.load(PluginPath(GetParam()), GetParam(), message))
            << zhost::toUtf8(message);
    }
    void TearDown() override {
        m_module.unload();
        zhost::settings::setProductFolder({});
    }

    // The verb's exit code and what it printed on the command line.
    std::pair<int, std::string> Run(const std::string& verb, std::vector<std::string> args = {}) {
        TranscriptCapture out;
        int rc = -1;
        EXPECT_OK(m_module.callLibraryVerb(verb, args, rc));
        return {rc, zhost::toUtf8(out.Text())};
    }

    rx::AddonModule m_module;
};

} // namespace

TEST_P(LibraryVerbs, HelpListsEveryVerbWithItsArguments) {
    const auto [rc, text] = Run("help");
    EXPECT_EQ(rc, 0);
    EXPECT_NE(text.find("  check [--strict]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  help\n"), std::string::npos) << text;
}

TEST_P(LibraryVerbs, UnknownVerbIsRefusedWithTheList) {
    const auto [rc, text] = Run("chek", {"--strict"});
    EXPECT_EQ(rc, 2);
    EXPECT_NE(text.find("unknown verb \"chek\""), std::string::npos) << text;
    EXPECT_NE(text.find("  check [--strict]"), std::string::npos) << text;
}

TEST_P(LibraryVerbs, CheckReadsTheConfiguredProductAndAnswersItsVerdict) {
    zhost::settings::setProductFolder(std::string(ZORMA_SOURCE_DIR) +
                                      "/tests/library/fixtures/problems");
    const auto [rc, text] = Run("check");
    EXPECT_EQ(rc, 1);
    EXPECT_NE(text.find("PartsContentsK.txt:3: 19 fields; a part line needs 20"), std::string::npos)
        << text;
    const auto [rc2, text2] = Run("check", {"--unknown"});
    EXPECT_EQ(rc2, 2);
}

TEST_P(LibraryVerbs, ArgumentsArriveAsUtf8) {
    const auto [rc, text] = Run("check", {"--厳密"});
    EXPECT_EQ(rc, 2);
    EXPECT_NE(text.find("unknown argument \"--厳密\""), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(BothApis, LibraryVerbs, ::testing::Values(24, 23));

TEST(LibraryVerbsBoundary, AnAddonWithoutVerbsIsToldApart) {
    rx::AddonModule none;
    int rc = 7;
    EXPECT_EQ(none.callLibraryVerb("check", {}, rc), zhost::Status::notApplicable);
    EXPECT_EQ(rc, 7);
}

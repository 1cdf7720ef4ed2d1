// Both catalogues as a library author meets them: "zorma library pick" on the sample product,
// driven by "@dialog" lines, and the choices kept from one run to the next.
#include "support/zorma_run.h"

#include <gtest/gtest.h>

namespace {

class CatalogueScenario : public ztest::TempFolderTest {
protected:
    ztest::ProcessResult Pick(const std::string& script, bool text) {
        std::vector<std::string> args = {
            "library",       "pick",
            "--product",     ztest::SourcePath("samples/product").string(),
            "--user-dir",    (Dir() / "user").string(),
            "--machine-reg", (Dir() / "absent.reg").string()};
        if (text)
            args.push_back("--text");
        return ztest::Zorma(args, {.input = script});
    }
};

using ztest::ExitsWith;
using ztest::Prints;

} // namespace

TEST_F(CatalogueScenario, TextCatalogueFiltersAndIsRememberedForTheNextRun) {
    ztest::ProcessResult r = Pick("@dialog select 1021 小ねじ\n"
                                  "@dialog text 224 皿\n"
                                  "@dialog key return 224\n"
                                  "@dialog click ok\n",
                                  true);
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("list 1022 (1 lines)"));
    EXPECT_THAT(r, Prints("B1111 皿小ねじ"));
    EXPECT_THAT(r, Prints("B1111_CskCross\t皿小ねじ\n"));

    r = Pick("@dialog click ok\n", true);
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("edit 224 \"皿\""));
    EXPECT_THAT(r, Prints("static 1012 \"10:B1111_CskCross\""));
    EXPECT_THAT(r, Prints("B1111_CskCross\t皿小ねじ\n"));
}

TEST_F(CatalogueScenario, TextCatalogueCancelAndAFilterWithoutMatches) {
    const ztest::ProcessResult r = Pick("@dialog text 224 zzz\n"
                                        "@dialog key return 224\n"
                                        "@dialog key return\n"
                                        "@dialog click cancel\n",
                                        true);
    EXPECT_THAT(r, ExitsWith(1));
    EXPECT_THAT(r, Prints("list 1022 (0 lines)"));
    EXPECT_THAT(r, Prints("--- 部品コンテンツ: Cancel"));
    EXPECT_THAT(r, testing::Not(Prints("--- 部品コンテンツ: OK")));
}

TEST_F(CatalogueScenario, TextCatalogueOkWithShiftOpensTheDescriptionAndStaysOpen) {
    const ztest::ProcessResult r = Pick("@shift on\n"
                                        "@dialog click ok\n"
                                        "@shift off\n"
                                        "@dialog select 1022 #1\n"
                                        "@dialog click ok\n",
                                        true);
    EXPECT_THAT(r, ExitsWith(0));
    // Headless, opening the description in the editor prints its path.
    EXPECT_THAT(r, Prints("PartsContents/Dlg/B1180_Partial.ini\n"));
    EXPECT_THAT(r, ztest::PrintsTimes("--- 部品コンテンツ: OK", 1));
    EXPECT_THAT(r, Prints("B1180_Full\t六角ボルト 全ねじ (ISO 4017)\n"));
}

TEST_F(CatalogueScenario, PictureCatalogueNarrowsLevelByLevelAndRestoresTheButtons) {
    ztest::ProcessResult r = Pick("@dialog select 1104 #1\n"
                                  "@dialog click 1105\n"
                                  "@dialog menu 3001\n"
                                  "@dialog click 1106\n"
                                  "@dialog menu 3002\n"
                                  "@dialog click ok\n",
                                  false);
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("B1180_Full\t六角ボルト 全ねじ (ISO 4017)\n"));

    r = Pick("@dialog show\n@dialog click ok\n", false);
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("\"六角ボルト 全ねじ (ISO 4017)\" [set]"));
    EXPECT_THAT(r, Prints("B1180_Full\t六角ボルト 全ねじ (ISO 4017)\n"));
}

TEST_F(CatalogueScenario, PickRefusesUnknownArgumentsAndAMissingCatalogue) {
    const std::string user = (Dir() / "user").string();
    EXPECT_THAT(ztest::Zorma({"library", "pick", "--pictures", "--user-dir", user}), ExitsWith(2));
    const ztest::ProcessResult r = ztest::Zorma(
        {"library", "pick", "--product", (Dir() / "nothing").string(), "--user-dir", user});
    EXPECT_THAT(r, ExitsWith(1));
    EXPECT_THAT(r, Prints("no parts catalogue"));
}

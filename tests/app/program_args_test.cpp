// The program's own arguments taken as a user types them: a drawing named like the sub-command,
// an add-on library named without a folder.
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ztest::ExitsWith;
using ztest::Prints;

namespace {
class ProgramArguments : public ztest::ScenarioTest {};
} // namespace

TEST_F(ProgramArguments, ADrawingNamedRenderIsRendered) {
    fs::copy_file(ztest::SampleDrawing("plate.dxf"), Dir() / "render");
    const ztest::ProcessResult r =
        ztest::Zorma({"render", "render", "out.png"}, {.workDir = Dir()});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_GT(fs::file_size(Dir() / "out.png"), 100u);
}

TEST_F(ProgramArguments, AnAddonNamedWithoutItsFolderIsFoundInTheCurrentOne) {
    fs::copy_file(ztest::BuiltAddon(), Dir() / "BX24TORV.so");
    const ztest::ZormaResult r = Run(
        {.script = "ZORMA_GEOMCALC\n^C\n", .addon = "BX24TORV.so", .process = {.workDir = Dir()}});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, ::testing::Not(Prints("Unknown command")));
    EXPECT_THAT(r, ::testing::Not(Prints("add-on refused")));
}

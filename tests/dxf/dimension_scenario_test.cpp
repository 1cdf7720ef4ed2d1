// The dimension scenario a user meets in `zorma demo`: dimensions of a drawing ezdxf made are
// moved, copied and listed like any entity, and the saved drawing shows every other program
// the dimensions where they now are.
#include "support/ezdxf.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

using ztest::ExitsWith;
using ztest::Prints;

namespace {

class DimensionScenario : public ztest::ScenarioTest {};

std::vector<std::string> linesStarting(const std::string& text, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            out.push_back(line);
    return out;
}

} // namespace

TEST_F(DimensionScenario, MovedAndCopiedDimensionsAreSavedWithTheirPictures) {
    const ztest::ZormaResult r =
        Run({.drawing = ztest::SampleDrawing("dimensioned_plate.dxf"),
             .scriptFile = ztest::SourcePath("samples/scripts/11-dimensions.scr"),
             .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, Prints("modelled: "));
    // LIST of the chamfer's angle and of the leader.
    EXPECT_THAT(r, Prints("type: Angular"));
    EXPECT_THAT(r, Prints("measurement: 135"));
    EXPECT_THAT(r, Prints("LEADER"));
    SKIP_WITHOUT_EZDXF();
    const ztest::ProcessResult seen =
        ztest::RunPython("tests/dxf/dimensions.py", {r.saved.string()});
    ASSERT_EQ(0, seen.exitCode) << seen.transcript;
    EXPECT_THAT(seen.out, ::testing::HasSubstr("errors 0\nfixes 0\n"));
    const std::vector<std::string> dims = linesStarting(seen.out, "DIMENSION ");
    ASSERT_EQ(7u, dims.size()) << seen.out; // six and the copied diameter
    for (const std::string& d : dims)
        EXPECT_THAT(d, ::testing::HasSubstr("block=yes"));
    // The overall width moved 10 down with its picture; the copy sits at the second bore.
    EXPECT_THAT(dims[0], ::testing::HasSubstr("defpoint=(0,-25,0)"));
    EXPECT_THAT(dims.back(), ::testing::HasSubstr("type=35"));
    const std::vector<std::string> leaders = linesStarting(seen.out, "LEADER ");
    ASSERT_EQ(1u, leaders.size());
    EXPECT_THAT(leaders[0], ::testing::HasSubstr("annotation=MTEXT"));
}

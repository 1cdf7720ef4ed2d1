// Polylines of every form, true colours, colour names, transparencies, thicknesses, hatch
// pattern lines and gradients go through `zorma run --out` as ezdxf sees them: drawings made by
// ezdxf in R12, R2000 and R2018, described by ezdxf before and after.
#include "support/ezdxf.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ztest::ExitsWith;
using ztest::Prints;

namespace {

class NativeProperties : public ztest::ScenarioTest,
                         public ::testing::WithParamInterface<const char*> {
protected:
    static std::string Describe(const fs::path& file) {
        const ztest::ProcessResult r =
            ztest::RunPython("tests/dxf/native_props.py", {"describe", file.string()});
        EXPECT_EQ(0, r.exitCode) << r.transcript;
        return r.out;
    }
};

} // namespace

TEST_P(NativeProperties, RunKeepsWhatEzdxfSees) {
    SKIP_WITHOUT_EZDXF();
    const fs::path original = Dir() / (std::string("made by ezdxf ") + GetParam() + ".dxf");
    const ztest::ProcessResult made =
        ztest::RunPython("tests/dxf/native_props.py", {"make", original.string(), GetParam()});
    ASSERT_EQ(0, made.exitCode) << made.transcript;

    const ztest::ZormaResult r =
        Run({.drawing = original, .script = "REGEN\n", .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ExitsWith(0));
    // Every polyline but the polyface mesh is modelled, not kept as read.
    EXPECT_THAT(r, Prints("kept as read: 1 entity,"));
    const std::string before = Describe(original);
    ASSERT_NE(std::string::npos, before.find("errors 0\nfixes 0\n")) << before;
    EXPECT_EQ(before, Describe(r.saved));
    EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
}

INSTANTIATE_TEST_SUITE_P(Versions, NativeProperties, ::testing::Values("R12", "R2000", "R2018"));

// Failures inside Open CASCADE: the call gives a status, never an exception, and the kernel's own
// words are kept as the thread's last diagnostic and handed to the diagnostics sink.
#include "../../host/geom/kernel/guard.h"

#include "geom_test_util.h"
#include "support/status.h"

#include "zhost/core/diagnostics.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <Standard_ConstructionError.hxx>
#include <Standard_OutOfRange.hxx>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>

using namespace geomtest;
using ::testing::HasSubstr;
using zhost::Diagnostic;
using zhost::Status;
namespace kernel = zhost::geom::kernel;

namespace {

// Collects what reaches the sink while the test runs.
class DiagnosticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        zhost::clearLastDiagnostic();
        previous_ = zhost::setDiagnosticSink([this](const Diagnostic& d) { seen.push_back(d); });
    }
    void TearDown() override { zhost::setDiagnosticSink(std::move(previous_)); }

    std::vector<Diagnostic> seen;

private:
    zhost::DiagnosticSink previous_;
};

// A closed quadratic spline around a square with one weight of zero: data the kernel refuses.
Spline zeroWeightSpline() {
    Spline s;
    s.degree = 2;
    s.controlPoints = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    s.knots = {0, 0, 0, 1, 2, 3, 3, 3};
    s.weights = {1, 0, 1, 1, 1};
    return s;
}

struct FakeBoolean {
    std::string report;
    void DumpErrors(std::ostream& os) const { os << report; }
};

} // namespace

using KernelGuard = DiagnosticsTest;

TEST_F(KernelGuard, AKernelExceptionBecomesTheStatusWithTheKernelsMessage) {
    const Status st = kernel::guarded("test operation", []() -> Status {
        throw Standard_ConstructionError("gp_Dir() - input vector has zero norm");
    });
    EXPECT_EQ(st, Status::kernelFailure);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].source, "kernel");
    EXPECT_EQ(seen[0].operation, "test operation");
    EXPECT_EQ(seen[0].message, "Standard_ConstructionError: gp_Dir() - input vector has zero norm");
    EXPECT_EQ(zhost::lastDiagnostic().message, seen[0].message);
    EXPECT_EQ(zhost::toString(seen[0]), "kernel: test operation: Standard_ConstructionError: "
                                        "gp_Dir() - input vector has zero norm");
}

TEST_F(KernelGuard, AnExceptionWithoutTextIsNamedByItsType) {
    EXPECT_EQ(kernel::guarded("index", [] { throw Standard_OutOfRange(); }), Status::kernelFailure);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, "Standard_OutOfRange");
}

TEST_F(KernelGuard, TheCallerChoosesTheStatusOfAFailure) {
    EXPECT_EQ(
        kernel::guarded(
            "spline", [] { throw Standard_ConstructionError("bad knots"); }, Status::invalidInput),
        Status::invalidInput);
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(KernelGuard, StandardExceptionsInsideTheKernelAreCaughtToo) {
    EXPECT_EQ(kernel::guarded("huge", [] { throw std::bad_alloc(); }), Status::kernelFailure);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, "std::bad_alloc");
}

TEST_F(KernelGuard, SuccessAndOwnStatusesPassThroughSilently) {
    int ran = 0;
    EXPECT_OK(kernel::guarded("void body", [&] { ++ran; }));
    EXPECT_EQ(kernel::guarded("own status", [] { return Status::noRegion; }), Status::noRegion);
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(zhost::lastDiagnostic().message, "");
}

TEST_F(KernelGuard, AnAlgorithmsErrorReportBecomesOneLine) {
    EXPECT_EQ(kernel::algorithmFailed("unite", FakeBoolean{"BOPAlgo_AlertTooFewArguments\n\n"
                                                           "BOPAlgo_AlertBuilderFailed  \n"}),
              Status::kernelFailure);
    EXPECT_EQ(kernel::algorithmFailed("subtract", FakeBoolean{""}), Status::kernelFailure);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, "BOPAlgo_AlertTooFewArguments; BOPAlgo_AlertBuilderFailed");
    EXPECT_EQ(seen[1].message, "the algorithm did not finish");
}

TEST_F(KernelGuard, ABooleanOnARegionTheKernelCannotBuildSaysWhy) {
    Region bad;
    bad.faces.push_back(Face{Loop{{zeroWeightSpline()}}, {}});
    Region out;
    const Status st = unite(bad, rectRegion(5, 5, 10, 10), out);
    EXPECT_NE(st, Status::ok);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().source, "kernel");
    EXPECT_THAT(seen.back().message, HasSubstr("Standard_ConstructionError"));
    EXPECT_THAT(seen.back().message, HasSubstr("Weights"));
}

TEST_F(KernelGuard, CurveServicesKeepTheMessageForTheirCaller) {
    const Curve c = zeroWeightSpline();
    double length = 0;
    EXPECT_NE(zhost::geom::length(c, length), Status::ok);
    EXPECT_THAT(zhost::lastDiagnostic().message, HasSubstr("Weights values too small"));
    std::vector<Region> regions;
    zhost::clearLastDiagnostic();
    EXPECT_NE(regionsFromCurves({c}, regions), Status::ok);
    EXPECT_THAT(zhost::lastDiagnostic().message, HasSubstr("Weights values too small"));
}

// The region around a point when ellipses and splines take part in the boundary: they are walked,
// split by the curves they cross, and become islands.
#include "geom_test_util.h"
#include "zhost/geom/regions.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace zhost;
using namespace zhost::geom;
using namespace geomtest;

namespace {

constexpr double pi = std::numbers::pi;

double areaOf(const Region& r) {
    double a = 0;
    EXPECT_OK(regionArea(r, a));
    return a;
}

std::vector<Curve> edgesOf(const Loop& l) {
    return l.edges;
}

// A quadratic Bezier from (0, 2) over (5, 12) to (10, 2) as a B-spline: x = 10 t,
// y = 2 + 20 t (1 - t), so the area under it down to y = 0 is 10 (2 + 20/6).
Spline arch() {
    Spline s;
    s.degree = 2;
    s.knots = {0, 0, 0, 1, 1, 1};
    s.controlPoints = {{0, 2}, {5, 12}, {10, 2}};
    return s;
}
constexpr double kAreaUnderArch = 10 * (2 + 20.0 / 6);

EllipseArc ellipse(double cx, double cy, double a, double b) {
    EllipseArc e;
    e.center = {cx, cy};
    e.majorAxis = {a, 0, 0};
    e.radiusRatio = b / a;
    return e;
}

} // namespace

TEST(RegionAtPoint, EllipseAloneBoundsItsInside) {
    Region r;
    ASSERT_OK(regionAtPoint({ellipse(3, 4, 8, 5)}, {5, 5, 0}, r));
    EXPECT_NEAR(areaOf(r), pi * 8 * 5, 1e-6);
    EXPECT_EQ(regionAtPoint({ellipse(3, 4, 8, 5)}, {20, 5, 0}, r), Status::noRegion);
}

TEST(RegionAtPoint, LineThroughEllipseSplitsItInHalves) {
    // A line along the minor axis, running past the ellipse at both ends.
    const std::vector<Curve> curves = {ellipse(0, 0, 8, 5), LineSeg{{0, -9}, {0, 9}}};
    Region r;
    ASSERT_OK(regionAtPoint(curves, {2, 1, 0}, r));
    EXPECT_NEAR(areaOf(r), pi * 8 * 5 / 2, 1e-6);
    ASSERT_OK(regionAtPoint(curves, {-2, 1, 0}, r));
    EXPECT_NEAR(areaOf(r), pi * 8 * 5 / 2, 1e-6);
}

TEST(RegionAtPoint, EllipseIslandBecomesHole) {
    std::vector<Curve> curves = edgesOf(rectLoop(0, 0, 20, 20));
    curves.push_back(ellipse(10, 10, 6, 3));
    Region r;
    ASSERT_OK(regionAtPoint(curves, {1, 1, 0}, r));
    ASSERT_EQ(r.faces.size(), 1u);
    EXPECT_EQ(r.faces[0].holes.size(), 1u);
    EXPECT_NEAR(areaOf(r), 400 - pi * 18, 1e-6);
    ASSERT_OK(regionAtPoint(curves, {10, 10, 0}, r));
    EXPECT_NEAR(areaOf(r), pi * 18, 1e-6);
}

TEST(RegionAtPoint, SplineAcrossSquareSplitsItAlongTheCurve) {
    // The arch's ends lie on the square's sides (T-junctions there).
    std::vector<Curve> curves = edgesOf(rectLoop(0, 0, 10, 10));
    curves.push_back(arch());
    Region below, above;
    ASSERT_OK(regionAtPoint(curves, {5, 1, 0}, below));
    EXPECT_NEAR(areaOf(below), kAreaUnderArch, 1e-6);
    ASSERT_OK(regionAtPoint(curves, {5, 9, 0}, above));
    EXPECT_NEAR(areaOf(above), 100 - kAreaUnderArch, 1e-6);
    // Beside the arch's foot, low down, the point is still below it.
    ASSERT_OK(regionAtPoint(curves, {0.5, 1.5, 0}, below));
    EXPECT_NEAR(areaOf(below), kAreaUnderArch, 1e-6);
}

TEST(RegionAtPoint, SplineAndLineCloseAnAreaBetweenThem) {
    // A line crossing the arch at y = 4.5: the cap above it is bounded by a piece of each.
    const std::vector<Curve> curves = {arch(), LineSeg{{-1, 4.5}, {11, 4.5}}};
    Region r;
    ASSERT_OK(regionAtPoint(curves, {5, 6, 0}, r));
    // y = 4.5 at t (1 - t) = 1/8, t = (1 -+ 1/sqrt 2)/2; the cap is the parabola above the chord.
    const double t0 = (1 - 1 / std::sqrt(2.0)) / 2, t1 = 1 - t0;
    auto prim = [](double t) { return 10 * (2 * t + 10 * t * t - 20 * t * t * t / 3); };
    const double cap = prim(t1) - prim(t0) - 4.5 * 10 * (t1 - t0);
    EXPECT_NEAR(areaOf(r), cap, 1e-6);
    EXPECT_EQ(regionAtPoint(curves, {5, 3, 0}, r), Status::noRegion); // open below the line
}

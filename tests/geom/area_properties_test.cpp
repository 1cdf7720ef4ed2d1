#include "geom_test_util.h"
#include "zhost/geom/area_properties.h"
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

void expectRel(double got, double want, double rel = 1e-9) {
    EXPECT_NEAR(got, want, rel * std::max(1.0, std::abs(want))) << "want " << want;
}

// Closed-form expectations for a shape whose centroid (xc, yc), area and central moments
// (about axes parallel to X and Y) are known.
struct Expected {
    double area, xc, yc, icx, icy, perimeter;
};

void checkAbout(const Region& r, const Expected& e, const Point3d& origin) {
    const AreaProperties ap = areaProperties(r, origin, Vector3d::xAxis(), Vector3d::yAxis());
    ASSERT_OK(ap.status);
    const double x = e.xc - origin.x, y = e.yc - origin.y;
    const double scale = std::max(1.0, std::hypot(x, y));
    expectRel(ap.area, e.area);
    expectRel(ap.perimeter, e.perimeter);
    EXPECT_NEAR(ap.centroid.x, x, 1e-9 * scale);
    EXPECT_NEAR(ap.centroid.y, y, 1e-9 * scale);
    expectRel(ap.momInertia[0], e.icx + e.area * y * y);
    expectRel(ap.momInertia[1], e.icy + e.area * x * x);
    expectRel(ap.prinMoments[0], e.icx);
    expectRel(ap.prinMoments[1], e.icy);
}

void checkNearAndFar(const Region& r, const Expected& e) {
    checkAbout(r, e, {0, 0});
    checkAbout(r, e, {e.xc - 3, e.yc + 2});
    // The same shape a million units away, measured about a point near it and about the origin.
    Region far;
    ASSERT_OK(transformRegion(r, Matrix3d::translation({1e6, -1e6, 0}), far));
    Expected fe = e;
    fe.xc += 1e6, fe.yc -= 1e6;
    checkAbout(far, fe, {1e6 + 1, -1e6 - 2});
    checkAbout(far, fe, {0, 0});
}

} // namespace

TEST(RegionProperties, RectangleMatchesClosedForm) {
    const double b = 40, h = 10;
    checkNearAndFar(rectRegion(5, 7, b, h), {b * h, 5 + b / 2, 7 + h / 2, b * h * h * h / 12,
                                             h * b * b * b / 12, 2 * (b + h)});
}

TEST(RegionProperties, CircleMatchesClosedForm) {
    Region r;
    r.faces.push_back(Face{circleLoop(3, -2, 5), {}});
    const double i = pi * std::pow(5, 4) / 4;
    checkNearAndFar(r, {pi * 25, 3, -2, i, i, 2 * pi * 5});
}

TEST(RegionProperties, AnnulusMatchesClosedForm) {
    Region r;
    r.faces.push_back(Face{circleLoop(0, 0, 10), {circleLoop(0, 0, 4)}});
    const double i = pi * (std::pow(10, 4) - std::pow(4, 4)) / 4;
    checkNearAndFar(r, {pi * (100 - 16), 0, 0, i, i, 2 * pi * 14});
}

TEST(RegionProperties, FilletedRectangleMatchesClosedForm) {
    // Rectangle minus four corner squares plus four quarter discs.
    const double w = 30, h = 20, f = 4;
    const Region r = filletedRect(0, 0, w, h, f);
    const double quarter = pi * f * f / 4;
    const double area = w * h - 4 * f * f + 4 * quarter;
    // Central moment about the horizontal axis through the centre, by parts.
    const double rect = w * h * h * h / 12;
    const double sq = f * f * f * f / 12 + f * f * std::pow(h / 2 - f / 2, 2);
    const double yq = h / 2 - f + 4 * f / (3 * pi); // centroid of a quarter disc from the centre
    const double qOwn = (pi / 16 - 4 / (9 * pi)) * std::pow(f, 4);
    const double q = qOwn + quarter * yq * yq;
    const double icx = rect - 4 * sq + 4 * q;
    const double rectY = h * w * w * w / 12;
    const double sqY = f * f * f * f / 12 + f * f * std::pow(w / 2 - f / 2, 2);
    const double xq = w / 2 - f + 4 * f / (3 * pi);
    const double icy = rectY - 4 * sqY + 4 * (qOwn + quarter * xq * xq);
    checkNearAndFar(r, {area, w / 2, h / 2, icx, icy, 2 * (w + h) - 8 * f + 2 * pi * f});
}

TEST(RegionProperties, PlateWithHoleAndSeparateIslandMatchesClosedForm) {
    // A 100 x 60 plate with a round hole of radius 10 at (30, 30) and, as a second face, a
    // 10 x 10 island inside a square hole of 20 x 20 at (60..80, 20..40).
    Region r;
    r.faces.push_back(
        Face{rectLoop(0, 0, 100, 60), {circleLoop(30, 30, 10), rectLoop(60, 20, 20, 20)}});
    r.faces.push_back(Face{rectLoop(65, 25, 10, 10), {}});
    const double aPlate = 6000, aHole = pi * 100, aSq = 400, aIsl = 100;
    const double area = aPlate - aHole - aSq + aIsl;
    const double xc = (aPlate * 50 - aHole * 30 - aSq * 70 + aIsl * 70) / area;
    const double yc = 30;
    auto own = [](double b, double h) { return b * h * h * h / 12; };
    const double icx = own(100, 60) - pi * 1e4 / 4 - own(20, 20) + own(10, 10);
    const double iyPlate = own(60, 100) + aPlate * std::pow(50 - xc, 2);
    const double iyHole = pi * 1e4 / 4 + aHole * std::pow(30 - xc, 2);
    const double iySq = own(20, 20) + aSq * std::pow(70 - xc, 2);
    const double iyIsl = own(10, 10) + aIsl * std::pow(70 - xc, 2);
    checkNearAndFar(
        r, {area, xc, yc, icx, iyPlate - iyHole - iySq + iyIsl, 320 + 2 * pi * 10 + 80 + 40});
}

TEST(RegionProperties, EllipseMatchesClosedForm) {
    Region r;
    EllipseArc e;
    e.center = {10, 20};
    e.majorAxis = {8, 0, 0};
    e.radiusRatio = 0.5;
    r.faces.push_back(Face{Loop{{e}}, {}});
    const double a = 8, b = 4;
    // Ramanujan's second approximation is exact to ~1e-10 relative for this eccentricity.
    const double hh = std::pow(a - b, 2) / std::pow(a + b, 2);
    const double per = pi * (a + b) * (1 + 3 * hh / (10 + std::sqrt(4 - 3 * hh)));
    const AreaProperties ap = areaProperties(r, {}, Vector3d::xAxis(), Vector3d::yAxis());
    ASSERT_OK(ap.status);
    EXPECT_NEAR(ap.perimeter, per, 1e-6 * per);
    checkAbout(r,
               {pi * a * b, 10, 20, pi * a * b * b * b / 4, pi * b * a * a * a / 4, ap.perimeter},
               {0, 0});
    Region far;
    ASSERT_OK(transformRegion(r, Matrix3d::translation({1e6, 1e6, 0}), far));
    checkAbout(far,
               {pi * a * b, 10 + 1e6, 20 + 1e6, pi * a * b * b * b / 4, pi * b * a * a * a / 4,
                ap.perimeter},
               {1e6, 1e6});
}

TEST(RegionProperties, OwnIntegralsAgreeWithKernelIntegration) {
    Region r = filletedRect(-3, 2, 25, 12, 3);
    r.faces.front().holes.push_back(circleLoop(5, 8, 2));
    const Point3d o{1, 1};
    const Vector3d x = Vector3d{1, 1, 0}.normal(), y = Vector3d{-1, 1, 0}.normal();
    const AreaProperties mine = areaProperties(r, o, x, y);
    const AreaProperties ref = referenceAreaProperties(r, o, x, y);
    ASSERT_OK(mine.status);
    ASSERT_OK(ref.status);
    expectRel(mine.area, ref.area, 1e-10);
    expectRel(mine.perimeter, ref.perimeter, 1e-10);
    expectRel(mine.centroid.x, ref.centroid.x, 1e-10);
    expectRel(mine.centroid.y, ref.centroid.y, 1e-10);
    expectRel(mine.momInertia[0], ref.momInertia[0], 1e-10);
    expectRel(mine.momInertia[1], ref.momInertia[1], 1e-10);
    expectRel(mine.prodInertia, ref.prodInertia, 1e-10);
    expectRel(mine.prinMoments[0], ref.prinMoments[0], 1e-10);
    expectRel(mine.prinMoments[1], ref.prinMoments[1], 1e-10);
}

TEST(RegionProperties, RotatedAxesGiveProductOfInertiaAndPrincipalAxes) {
    // A 40 x 10 rectangle seen in axes turned by 30 degrees: the principal axes turn back.
    const Region r = rectRegion(0, 0, 40, 10);
    const double t = pi / 6;
    const AreaProperties ap =
        areaProperties(r, {20, 5}, {std::cos(t), std::sin(t), 0}, {-std::sin(t), std::cos(t), 0});
    ASSERT_OK(ap.status);
    expectRel(ap.prinMoments[0], 40.0 * 1000 / 12);
    expectRel(ap.prinMoments[1], 10.0 * 64000 / 12);
    EXPECT_NEAR(std::abs(ap.prinAxes[0].x), std::cos(t), 1e-9);
    EXPECT_NEAR(std::abs(ap.prinAxes[0].y), std::sin(t), 1e-9);
    EXPECT_GT(std::abs(ap.prodInertia), 1.0);
}

TEST(RegionProperties, DegenerateRegionsGiveStatus) {
    EXPECT_EQ(areaProperties(Region{}, {}, Vector3d::xAxis(), Vector3d::yAxis()).status,
              Status::noRegion);
    const Region flat = rectRegion(0, 0, 10, 0);
    EXPECT_NE(areaProperties(flat, {}, Vector3d::xAxis(), Vector3d::yAxis()).status, Status::ok);
    EXPECT_EQ(
        areaProperties(rectRegion(0, 0, 1, 1), {}, Vector3d::xAxis(), Vector3d::xAxis()).status,
        Status::invalidInput);
}

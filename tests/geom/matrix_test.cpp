#include "zhost/geom/matrix3d.h"
#include "zhost/geom/plane.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace zhost::geom;

namespace {
void expectNear(const Point3d& a, const Point3d& b, double eps = 1e-12) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}
} // namespace

TEST(Matrix3d, RotationAboutCentreThenInverseGivesBackThePoint) {
    const auto r = Matrix3d::rotation(std::numbers::pi / 2, Vector3d::zAxis(), {10, 0});
    expectNear(r * Point3d{20, 0}, {10, 10});
    expectNear(r.inverse() * (r * Point3d{3, 4, 5}), {3, 4, 5});
}

TEST(Matrix3d, CompositionAppliesRightOperandFirst) {
    const auto t = Matrix3d::translation({5, 0, 0});
    const auto s = Matrix3d::scaling(2);
    expectNear((t * s) * Point3d{1, 1}, {7, 2});
    expectNear((s * t) * Point3d{1, 1}, {12, 2});
}

TEST(Matrix3d, SingularMatrixDoesNotInvert) {
    auto m = Matrix3d::scaling(Vector3d{1, 0, 1});
    EXPECT_FALSE(m.invert());
    EXPECT_TRUE(m.isEqualTo(Matrix3d::scaling(Vector3d{1, 0, 1})));
}

TEST(Matrix3d, UniformScaleIsOrthoAndReportsItsFactor) {
    const auto m = Matrix3d::rotation(0.3, Vector3d::zAxis()) * Matrix3d::scaling(2.5);
    EXPECT_TRUE(m.isUniScaledOrtho());
    EXPECT_NEAR(m.scale(), 2.5, 1e-12);
    EXPECT_FALSE(Matrix3d::scaling(Vector3d{1, 2, 1}).isUniScaledOrtho());
}

TEST(Matrix3d, MirrorAboutTheYAxisFlipsX) {
    const auto m = Matrix3d::mirroring({0, 0}, {0, 1});
    expectNear(m * Point3d{3, 4}, {-3, 4});
    EXPECT_LT(m.determinant(), 0);
}

TEST(Matrix3d, AlignCoordSysMapsCoordinatesAcross) {
    const auto m =
        Matrix3d::alignCoordSys({}, Vector3d::xAxis(), Vector3d::yAxis(), Vector3d::zAxis(),
                                {10, 20}, Vector3d::yAxis(), -Vector3d::xAxis(), Vector3d::zAxis());
    expectNear(m * Point3d{1, 0}, {10, 21});
}

TEST(Plane, OriginIsNearestPointToWorldOrigin) {
    const Plane p({5, 7, 3}, {0, 0, 2});
    expectNear(p.origin(), {0, 0, 3});
    EXPECT_NEAR(p.signedDistanceTo({1, 1, 4}), 1, 1e-12);
    EXPECT_TRUE(p.isOn({100, -4, 3}));
}

TEST(Plane, ArbitraryAxisOfWorldZIsWorldX) {
    const Vector3d x = arbitraryXAxis({0, 0, 1});
    EXPECT_TRUE(x.isEqualTo({1, 0, 0}));
    const Vector3d flipped = arbitraryXAxis({0, 0, -1});
    EXPECT_TRUE(flipped.isEqualTo({-1, 0, 0}));
}

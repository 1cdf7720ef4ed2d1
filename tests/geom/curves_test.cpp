#include "zhost/geom/curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace zhost;
using namespace zhost::geom;

namespace {
constexpr double pi = std::numbers::pi;

void expectPt(const Point3d& a, const Point3d& b, double eps = 1e-9) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

Spline sCurve() {
    Spline s;
    s.degree = 3;
    s.controlPoints = {{0, 5}, {3, -5}, {6, 5}, {9, -5}};
    s.knots = {0, 0, 0, 0, 1, 1, 1, 1};
    return s;
}

Polyline slot() { // a closed slot: two lines and two half circles
    Polyline p;
    p.points = {{0, 0}, {10, 0}, {10, 4}, {0, 4}};
    p.bulges = {0, 1, 0, 1};
    p.closed = true;
    return p;
}

// Every kind of curve, placed so that it crosses the line y = x + 0.5 somewhere.
std::vector<Curve> samples() {
    EllipseArc e;
    e.center = {2, 2};
    e.majorAxis = {4, 0, 0};
    e.radiusRatio = 0.5;
    Polyline pl;
    pl.points = {{-3, 1}, {1, 1}, {3, 3}};
    pl.bulges = {0, 0.5, 0};
    return {
        LineSeg{{-5, 0}, {5, 1}}, CircArc{{0, 0}, 3, 0, pi}, Circle{{1, 1}, 2}, e, pl, sCurve()};
}
} // namespace

TEST(CurveParams, FollowThePlatformConventions) {
    double t0, t1;
    ASSERT_EQ(paramRange(LineSeg{{1, 1}, {4, 5}}, t0, t1), Status::ok);
    EXPECT_DOUBLE_EQ(t1, 5);
    ASSERT_EQ(paramRange(CircArc{{0, 0}, 1, 3 * pi / 2, pi / 2}, t0, t1), Status::ok);
    EXPECT_NEAR(t0, 3 * pi / 2, 1e-15);
    EXPECT_NEAR(t1, 5 * pi / 2, 1e-15);
    ASSERT_EQ(paramRange(slot(), t0, t1), Status::ok);
    EXPECT_EQ(t1, 4);
    Point3d p;
    ASSERT_EQ(pointAtParam(slot(), 1.5, p), Status::ok);
    expectPt(p, {12, 2}); // half-way round the right end
    double len = 0;
    ASSERT_EQ(length(slot(), len), Status::ok);
    EXPECT_NEAR(len, 20 + 4 * pi, 1e-12);
}

TEST(CurveParams, PointParamAndDistanceRoundTripForEveryKind) {
    for (const Curve& c : samples()) {
        double t0, t1;
        ASSERT_EQ(paramRange(c, t0, t1), Status::ok);
        const double t = t0 + 0.37 * (t1 - t0);
        Point3d p;
        ASSERT_EQ(pointAtParam(c, t, p), Status::ok);
        double back = 0;
        ASSERT_EQ(paramAtPoint(c, p, back), Status::ok) << c.index();
        EXPECT_NEAR(back, t, 1e-6) << c.index();
        double d = 0, t2 = 0;
        ASSERT_EQ(distAtParam(c, t, d), Status::ok);
        ASSERT_EQ(paramAtDist(c, d, t2), Status::ok);
        EXPECT_NEAR(t2, t, 1e-6) << c.index();
        EXPECT_EQ(paramAtPoint(c, p + Vector3d{0, 0, 1}, back), Status::outOfRange);
    }
}

TEST(CurveClosestPoint, EndPointsCountAsNearest) {
    Point3d q;
    double t = 0;
    ASSERT_EQ(closestPointTo(CircArc{{0, 0}, 1, 0, pi / 2}, {-1, -1}, q, &t), Status::ok);
    expectPt(q, {1, 0});
    ASSERT_EQ(closestPointTo(sCurve(), {-3, 8}, q, &t), Status::ok);
    expectPt(q, {0, 5});
    ASSERT_EQ(closestPointTo(LineSeg{{0, 0}, {10, 0}}, {4, 3}, q, &t), Status::ok);
    EXPECT_NEAR(t, 4, 1e-15);
}

TEST(CurveExtents, ArcsIncludeTheirAxisExtremes) {
    Extents3d e;
    ASSERT_EQ(extents(CircArc{{0, 0}, 2, pi / 4, 3 * pi / 4}, e), Status::ok);
    EXPECT_NEAR(e.maxPoint.y, 2, 1e-15);
    EXPECT_NEAR(e.minPoint.y, std::sqrt(2.0), 1e-12);
    ASSERT_EQ(extents(slot(), e), Status::ok);
    EXPECT_NEAR(e.minPoint.x, -2, 1e-12);
    EXPECT_NEAR(e.maxPoint.x, 12, 1e-12);
}

TEST(CurveTransform, NonUniformScaleOfCircleGivesEllipse) {
    Curve out;
    ASSERT_EQ(transformed(Circle{{1, 1}, 2}, Matrix3d::scaling(Vector3d{3, 1, 1}), out),
              Status::ok);
    ASSERT_TRUE(std::holds_alternative<EllipseArc>(out));
    const auto& e = std::get<EllipseArc>(out);
    EXPECT_NEAR(e.majorAxis.length(), 6, 1e-12);
    EXPECT_NEAR(e.radiusRatio, 1.0 / 3, 1e-12);
    expectPt(e.center, {3, 1});
}

TEST(CurveTransform, MirrorKeepsNormalAndReversesArc) {
    const CircArc a{{0, 0}, 1, 0, pi / 2}; // from (1,0) to (0,1)
    Curve out;
    ASSERT_EQ(transformed(a, Matrix3d::mirroring({0, 0}, {0, 1}), out), Status::ok);
    const auto& m = std::get<CircArc>(out);
    EXPECT_GT(m.normal.z, 0);
    Point3d s, e;
    startPoint(out, s);
    endPoint(out, e);
    expectPt(s, {0, 1});
    expectPt(e, {-1, 0});
}

TEST(CurveIntersect, EveryPairOfKindsReportsPointsOnBoth) {
    const LineSeg probe{{-10, -9.5}, {10, 10.5}};
    const std::vector<Curve> all = samples();
    std::vector<Curve> withProbe = all;
    withProbe.push_back(probe);
    for (const Curve& a : withProbe)
        for (const Curve& b : all) {
            if (&a == &b)
                continue;
            std::vector<IntersectionPoint> pts;
            ASSERT_EQ(intersectWith(a, b, pts), Status::ok);
            for (const auto& ip : pts) {
                Point3d pa, pb;
                ASSERT_EQ(pointAtParam(a, ip.paramOnFirst, pa), Status::ok);
                ASSERT_EQ(pointAtParam(b, ip.paramOnSecond, pb), Status::ok);
                expectPt(pa, ip.point, 1e-6);
                expectPt(pb, ip.point, 1e-6);
            }
            if (&a == &withProbe.back()) {
                EXPECT_FALSE(pts.empty()) << "probe misses kind " << b.index();
            }
        }
}

TEST(CurveIntersect, LineAndCircleMeetTwiceAndTouchingEndsCount) {
    std::vector<IntersectionPoint> pts;
    ASSERT_EQ(intersectWith(LineSeg{{-5, 0}, {5, 0}}, Circle{{0, 0}, 2}, pts), Status::ok);
    ASSERT_EQ(pts.size(), 2u);
    ASSERT_EQ(intersectWith(LineSeg{{0, 0}, {5, 0}}, LineSeg{{5, 0}, {5, 5}}, pts), Status::ok);
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_NEAR(pts[0].paramOnFirst, 5, 1e-12);
    EXPECT_NEAR(pts[0].paramOnSecond, 0, 1e-12);
    ASSERT_EQ(intersectWith(LineSeg{{0, 0}, {1, 0}}, LineSeg{{0, 1}, {1, 1}}, pts), Status::ok);
    EXPECT_TRUE(pts.empty());
}

TEST(CurveSplit, PiecesCoverTheCurveForEveryKind) {
    for (const Curve& c : samples()) {
        double t0, t1, total = 0;
        ASSERT_EQ(paramRange(c, t0, t1), Status::ok);
        length(c, total);
        std::vector<Curve> pieces;
        ASSERT_EQ(splitAtParams(c, {t0 + 0.6 * (t1 - t0), t0 + 0.2 * (t1 - t0)}, pieces),
                  Status::ok);
        const std::size_t want = isClosed(c) ? 2u : 3u;
        ASSERT_EQ(pieces.size(), want) << c.index();
        double sum = 0;
        for (const Curve& p : pieces) {
            double l = 0;
            ASSERT_EQ(length(p, l), Status::ok);
            sum += l;
        }
        EXPECT_NEAR(sum, total, 1e-6 * total) << c.index();
        Point3d a, b;
        endPoint(pieces[0], a);
        startPoint(pieces[1], b);
        expectPt(a, b, 1e-7);
    }
}

TEST(CurveOffset, PositiveDistanceGoesRightOfTravel) {
    Curve out;
    ASSERT_EQ(offset(LineSeg{{0, 0}, {10, 0}}, 2, out), Status::ok);
    EXPECT_NEAR(std::get<LineSeg>(out).start.y, -2, 1e-15);
    ASSERT_EQ(offset(Circle{{0, 0}, 5}, 2, out), Status::ok);
    EXPECT_NEAR(std::get<Circle>(out).radius, 7, 1e-15);
    EXPECT_EQ(offset(Circle{{0, 0}, 5}, -5, out), Status::degenerateGeometry);
    // The counter-clockwise slot grows by 1 all round.
    ASSERT_EQ(offset(slot(), 1, out), Status::ok);
    double len = 0;
    length(out, len);
    EXPECT_NEAR(len, 20 + 2 * pi * 3, 1e-9);
    std::vector<Curve> both;
    ASSERT_EQ(offsetBothSides(LineSeg{{0, 0}, {0, 10}}, 1, both), Status::ok);
    EXPECT_NEAR(std::get<LineSeg>(both[0]).start.x, 1, 1e-15);
    EXPECT_NEAR(std::get<LineSeg>(both[1]).start.x, -1, 1e-15);
}

TEST(CurveExplode, PolylineGivesLinesAndArcs) {
    std::vector<Curve> parts;
    ASSERT_EQ(explode(slot(), parts), Status::ok);
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_TRUE(std::holds_alternative<CircArc>(parts[1]));
    EXPECT_NEAR(std::get<CircArc>(parts[1]).radius, 2, 1e-12);
}

TEST(CurveReverse, SwapsEndsOfEveryKind) {
    for (const Curve& c : samples()) {
        Curve r;
        ASSERT_EQ(reversed(c, r), Status::ok);
        if (std::holds_alternative<Circle>(c))
            continue; // a circle's seam follows its normal's X axis
        Point3d s, e, rs, re;
        startPoint(c, s);
        endPoint(c, e);
        startPoint(r, rs);
        endPoint(r, re);
        expectPt(rs, e, 1e-9);
        expectPt(re, s, 1e-9);
    }
}

TEST(CurveDegenerate, BadInputsGiveStatuses) {
    double t0, t1;
    EXPECT_EQ(paramRange(LineSeg{{1, 1}, {1, 1}}, t0, t1), Status::degenerateGeometry);
    EXPECT_EQ(paramRange(CircArc{{0, 0}, 0, 0, 1}, t0, t1), Status::degenerateGeometry);
    EXPECT_EQ(paramRange(Polyline{{{0, 0}}, {0}, false}, t0, t1), Status::degenerateGeometry);
    Spline bad;
    bad.controlPoints = {{0, 0}, {1, 1}};
    bad.knots = {0, 1};
    EXPECT_NE(paramRange(bad, t0, t1), Status::ok);
    Point3d p;
    EXPECT_EQ(pointAtParam(LineSeg{{0, 0}, {1, 0}}, 5, p), Status::outOfRange);
    std::vector<IntersectionPoint> pts;
    EXPECT_EQ(intersectWith(Circle{{0, 0}, -1}, LineSeg{{0, 0}, {1, 0}}, pts),
              Status::degenerateGeometry);
}

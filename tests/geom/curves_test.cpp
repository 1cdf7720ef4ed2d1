#include "zhost/geom/curves.h"

#include "support/status.h"

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
    ASSERT_OK(paramRange(LineSeg{{1, 1}, {4, 5}}, t0, t1));
    EXPECT_DOUBLE_EQ(t1, 5);
    ASSERT_OK(paramRange(CircArc{{0, 0}, 1, 3 * pi / 2, pi / 2}, t0, t1));
    EXPECT_NEAR(t0, 3 * pi / 2, 1e-15);
    EXPECT_NEAR(t1, 5 * pi / 2, 1e-15);
    ASSERT_OK(paramRange(slot(), t0, t1));
    EXPECT_EQ(t1, 4);
    Point3d p;
    ASSERT_OK(pointAtParam(slot(), 1.5, p));
    expectPt(p, {12, 2}); // half-way round the right end
    double len = 0;
    ASSERT_OK(length(slot(), len));
    EXPECT_NEAR(len, 20 + 4 * pi, 1e-12);
}

TEST(CurveParams, PointParamAndDistanceRoundTripForEveryKind) {
    for (const Curve& c : samples()) {
        double t0, t1;
        ASSERT_OK(paramRange(c, t0, t1));
        const double t = t0 + 0.37 * (t1 - t0);
        Point3d p;
        ASSERT_OK(pointAtParam(c, t, p));
        double back = 0;
        ASSERT_OK(paramAtPoint(c, p, back)) << c.index();
        EXPECT_NEAR(back, t, 1e-6) << c.index();
        double d = 0, t2 = 0;
        ASSERT_OK(distAtParam(c, t, d));
        ASSERT_OK(paramAtDist(c, d, t2));
        EXPECT_NEAR(t2, t, 1e-6) << c.index();
        EXPECT_EQ(paramAtPoint(c, p + Vector3d{0, 0, 1}, back), Status::outOfRange);
    }
}

TEST(CurveClosestPoint, EndPointsCountAsNearest) {
    Point3d q;
    double t = 0;
    ASSERT_OK(closestPointTo(CircArc{{0, 0}, 1, 0, pi / 2}, {-1, -1}, q, &t));
    expectPt(q, {1, 0});
    ASSERT_OK(closestPointTo(sCurve(), {-3, 8}, q, &t));
    expectPt(q, {0, 5});
    ASSERT_OK(closestPointTo(LineSeg{{0, 0}, {10, 0}}, {4, 3}, q, &t));
    EXPECT_NEAR(t, 4, 1e-15);
}

TEST(CurveExtents, ArcsIncludeTheirAxisExtremes) {
    Extents3d e;
    ASSERT_OK(extents(CircArc{{0, 0}, 2, pi / 4, 3 * pi / 4}, e));
    EXPECT_NEAR(e.maxPoint.y, 2, 1e-15);
    EXPECT_NEAR(e.minPoint.y, std::sqrt(2.0), 1e-12);
    ASSERT_OK(extents(slot(), e));
    EXPECT_NEAR(e.minPoint.x, -2, 1e-12);
    EXPECT_NEAR(e.maxPoint.x, 12, 1e-12);
}

TEST(CurveTransform, NonUniformScaleOfCircleGivesEllipse) {
    Curve out;
    ASSERT_OK(transformed(Circle{{1, 1}, 2}, Matrix3d::scaling(Vector3d{3, 1, 1}), out));
    ASSERT_TRUE(std::holds_alternative<EllipseArc>(out));
    const auto& e = std::get<EllipseArc>(out);
    EXPECT_NEAR(e.majorAxis.length(), 6, 1e-12);
    EXPECT_NEAR(e.radiusRatio, 1.0 / 3, 1e-12);
    expectPt(e.center, {3, 1});
}

TEST(CurveTransform, MirrorKeepsNormalAndReversesArc) {
    const CircArc a{{0, 0}, 1, 0, pi / 2}; // from (1,0) to (0,1)
    Curve out;
    ASSERT_OK(transformed(a, Matrix3d::mirroring({0, 0}, {0, 1}), out));
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
            ASSERT_OK(intersectWith(a, b, pts));
            for (const auto& ip : pts) {
                Point3d pa, pb;
                ASSERT_OK(pointAtParam(a, ip.paramOnFirst, pa));
                ASSERT_OK(pointAtParam(b, ip.paramOnSecond, pb));
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
    ASSERT_OK(intersectWith(LineSeg{{-5, 0}, {5, 0}}, Circle{{0, 0}, 2}, pts));
    ASSERT_EQ(pts.size(), 2u);
    ASSERT_OK(intersectWith(LineSeg{{0, 0}, {5, 0}}, LineSeg{{5, 0}, {5, 5}}, pts));
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_NEAR(pts[0].paramOnFirst, 5, 1e-12);
    EXPECT_NEAR(pts[0].paramOnSecond, 0, 1e-12);
    ASSERT_OK(intersectWith(LineSeg{{0, 0}, {1, 0}}, LineSeg{{0, 1}, {1, 1}}, pts));
    EXPECT_TRUE(pts.empty());
}

TEST(CurveSplit, PiecesCoverTheCurveForEveryKind) {
    for (const Curve& c : samples()) {
        double t0, t1, total = 0;
        ASSERT_OK(paramRange(c, t0, t1));
        length(c, total);
        std::vector<Curve> pieces;
        ASSERT_OK(splitAtParams(c, {t0 + 0.6 * (t1 - t0), t0 + 0.2 * (t1 - t0)}, pieces));
        const std::size_t want = isClosed(c) ? 2u : 3u;
        ASSERT_EQ(pieces.size(), want) << c.index();
        double sum = 0;
        for (const Curve& p : pieces) {
            double l = 0;
            ASSERT_OK(length(p, l));
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
    ASSERT_OK(offset(LineSeg{{0, 0}, {10, 0}}, 2, out));
    EXPECT_NEAR(std::get<LineSeg>(out).start.y, -2, 1e-15);
    ASSERT_OK(offset(Circle{{0, 0}, 5}, 2, out));
    EXPECT_NEAR(std::get<Circle>(out).radius, 7, 1e-15);
    EXPECT_EQ(offset(Circle{{0, 0}, 5}, -5, out), Status::degenerateGeometry);
    // The counter-clockwise slot grows by 1 all round.
    ASSERT_OK(offset(slot(), 1, out));
    double len = 0;
    length(out, len);
    EXPECT_NEAR(len, 20 + 2 * pi * 3, 1e-9);
    std::vector<Curve> both;
    ASSERT_OK(offsetBothSides(LineSeg{{0, 0}, {0, 10}}, 1, both));
    EXPECT_NEAR(std::get<LineSeg>(both[0]).start.x, 1, 1e-15);
    EXPECT_NEAR(std::get<LineSeg>(both[1]).start.x, -1, 1e-15);
}

TEST(CurveExplode, PolylineGivesLinesAndArcs) {
    std::vector<Curve> parts;
    ASSERT_OK(explode(slot(), parts));
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_TRUE(std::holds_alternative<CircArc>(parts[1]));
    EXPECT_NEAR(std::get<CircArc>(parts[1]).radius, 2, 1e-12);
}

TEST(CurveReverse, SwapsEndsOfEveryKind) {
    for (const Curve& c : samples()) {
        Curve r;
        ASSERT_OK(reversed(c, r));
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

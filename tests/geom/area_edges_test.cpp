// Area properties through each way an edge can be integrated: arcs drawn about the opposite
// normal, regions in tilted planes, polyline loops, many small arcs, and extents that arcs push
// out beyond their end points.
#include "geom_test_util.h"
#include "zhost/geom/area_properties.h"
#include "zhost/geom/curves.h"
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

void expectSameProperties(const AreaProperties& got, const AreaProperties& want, double rel) {
    ASSERT_OK(got.status);
    ASSERT_OK(want.status);
    expectRel(got.area, want.area, rel);
    expectRel(got.perimeter, want.perimeter, rel);
    expectRel(got.centroid.x, want.centroid.x, rel);
    expectRel(got.centroid.y, want.centroid.y, rel);
    expectRel(got.momInertia[0], want.momInertia[0], rel);
    expectRel(got.momInertia[1], want.momInertia[1], rel);
    expectRel(got.prodInertia, want.prodInertia, rel);
    expectRel(got.prinMoments[0], want.prinMoments[0], rel);
    expectRel(got.prinMoments[1], want.prinMoments[1], rel);
}

AreaProperties inWorldAxes(const Region& r, const Point3d& origin = {}) {
    return areaProperties(r, origin, Vector3d::xAxis(), Vector3d::yAxis());
}

// The same points as the counter-clockwise arc a, travelled clockwise: seen about -Z the arc's
// angles are measured from the arbitrary X axis of -Z, which is -X, so angle t becomes pi - t.
CircArc clockwiseTwin(const CircArc& a) {
    return CircArc{a.center, a.radius, pi - a.endAngle, pi - a.startAngle, {0, 0, -1}};
}

// The loop travelled the other way, its arcs as clockwise twins.
Loop reversedLoop(const Loop& l) {
    Loop out;
    for (auto it = l.edges.rbegin(); it != l.edges.rend(); ++it) {
        if (const auto* a = std::get_if<CircArc>(&*it))
            out.edges.push_back(clockwiseTwin(*a));
        else if (const auto* s = std::get_if<LineSeg>(&*it))
            out.edges.push_back(LineSeg{s->end, s->start});
        else
            out.edges.push_back(*it);
    }
    return out;
}

// A region outlined by n edges, alternately a short line and a small outward arc, around a
// circle of radius R centred at c (the shape of the large benchmark region).
Region scallopedRegion(int n, double R, const Point3d& c) {
    Loop l;
    const int k = n / 2;
    for (int i = 0; i < k; ++i) {
        const double a0 = 2 * pi * i / k, am = a0 + pi / k, a1 = 2 * pi * (i + 1) / k;
        const Point3d p0 = c + Vector3d{std::cos(a0), std::sin(a0)} * R;
        const Point3d pm = c + Vector3d{std::cos(am), std::sin(am)} * R;
        const Point3d p1 = c + Vector3d{std::cos(a1), std::sin(a1)} * R;
        l.edges.push_back(LineSeg{p0, pm});
        const Point3d mid = Point3d::midPoint(pm, p1);
        const double half = pm.distanceTo(p1) / 2, r = half * 2;
        const Point3d ac = mid + (c - mid).normal() * std::sqrt(r * r - half * half);
        l.edges.push_back(CircArc{ac, r, std::atan2(pm.y - ac.y, pm.x - ac.x),
                                  std::atan2(p1.y - ac.y, p1.x - ac.x)});
    }
    Region r;
    r.faces.push_back(Face{l, {}});
    return r;
}

} // namespace

TEST(RegionProperties, ClockwiseTwinArcsTraceTheSamePoints) {
    // Guards the helper the next tests rely on.
    const CircArc a{{3, 4}, 2, 0.3, 2.1};
    Point3d s, e, ts, te;
    ASSERT_OK(startPoint(a, s));
    ASSERT_OK(endPoint(a, e));
    ASSERT_OK(startPoint(clockwiseTwin(a), ts));
    ASSERT_OK(endPoint(clockwiseTwin(a), te));
    EXPECT_LT(ts.distanceTo(e), 1e-12);
    EXPECT_LT(te.distanceTo(s), 1e-12);
}

TEST(RegionProperties, ClockwiseOutlineWithClockwiseArcsMatchesCounterClockwise) {
    // Outer loop and hole both drawn against the usual sense, arcs about -Z.
    Region ccw = filletedRect(2, -1, 30, 18, 5);
    ccw.faces.front().holes.push_back(
        Loop{{LineSeg{{10, 3}, {14, 3}}, CircArc{{14, 5}, 2, -pi / 2, pi / 2},
              LineSeg{{14, 7}, {10, 7}}, CircArc{{10, 5}, 2, pi / 2, 3 * pi / 2}}});
    Region cw = ccw;
    cw.faces.front().outer = reversedLoop(ccw.faces.front().outer);
    cw.faces.front().holes.front() = reversedLoop(ccw.faces.front().holes.front());
    expectSameProperties(inWorldAxes(cw, {1, 2}), inWorldAxes(ccw, {1, 2}), 1e-12);
    expectSameProperties(inWorldAxes(cw, {1, 2}),
                         referenceAreaProperties(ccw, {1, 2}, Vector3d::xAxis(), Vector3d::yAxis()),
                         1e-10);
}

TEST(RegionProperties, TiltedPlaneMatchesTheSameShapeFlat) {
    // Turned about a skew axis and moved far away: measured in the carried axes, nothing
    // changes (arcs now lie in the frame of a tilted normal, or none at all).
    const Region flat = filletedRect(0, 0, 20, 12, 3);
    const Matrix3d m = Matrix3d::translation({3e5, -2e5, 7e4}) *
                       Matrix3d::rotation(0.7, Vector3d{1, 2, 0.5}.normal(), {4, 4, 0});
    Region tilted;
    ASSERT_OK(transformRegion(flat, m, tilted));
    const Point3d o{5, 1, 0};
    const AreaProperties want = inWorldAxes(flat, o);
    const AreaProperties got =
        areaProperties(tilted, m * o, m * Vector3d::xAxis(), m * Vector3d::yAxis());
    expectSameProperties(got, want, 1e-9);
    EXPECT_NEAR(got.extentsLow.x, want.extentsLow.x, 1e-6);
    EXPECT_NEAR(got.extentsHigh.y, want.extentsHigh.y, 1e-6);
}

TEST(RegionProperties, PolylineLoopWithBulgesMatchesLinesAndArcs) {
    // The filleted rectangle as one closed polyline: quarter arcs have bulge tan(pi/8).
    const double w = 30, h = 20, f = 4, b = std::tan(pi / 8);
    Polyline pl;
    pl.closed = true;
    pl.points = {{f, 0}, {w - f, 0}, {w, f}, {w, h - f}, {w - f, h}, {f, h}, {0, h - f}, {0, f}};
    pl.bulges = {0, b, 0, b, 0, b, 0, b};
    Region r;
    r.faces.push_back(Face{Loop{{pl}}, {}});
    expectSameProperties(inWorldAxes(r, {-3, 2}), inWorldAxes(filletedRect(0, 0, w, h, f), {-3, 2}),
                         1e-12);
}

TEST(RegionProperties, ManySmallArcsAgreeWithKernelIntegrationFarFromOrigin) {
    const Region r = scallopedRegion(200, 50, {1e6, 2e6, 0});
    const Point3d o{1e6 + 7, 2e6 - 3, 0};
    expectSameProperties(inWorldAxes(r, o),
                         referenceAreaProperties(r, o, Vector3d::xAxis(), Vector3d::yAxis()), 1e-9);
}

TEST(RegionProperties, ExtentsReachWhereArcsBulge) {
    // A disc with a 90-degree mouth opening to +X: the long arc (270 degrees) reaches -r in X and
    // +-r in Y, its end points r cos 45 in X; drawn clockwise as well.
    const double r = 10, c = std::cos(pi / 4) * r;
    Region pac;
    pac.faces.push_back(Face{Loop{{LineSeg{{0, 0}, {c, c}}, CircArc{{0, 0}, r, pi / 4, -pi / 4},
                                   LineSeg{{c, -c}, {0, 0}}}},
                             {}});
    Region cw = pac;
    cw.faces.front().outer = reversedLoop(pac.faces.front().outer);
    for (const Region& reg : {pac, cw}) {
        const AreaProperties ap = inWorldAxes(reg, {1, 1});
        ASSERT_OK(ap.status);
        EXPECT_NEAR(ap.extentsLow.x, -r - 1, 1e-12);
        EXPECT_NEAR(ap.extentsHigh.x, c - 1, 1e-12);
        EXPECT_NEAR(ap.extentsLow.y, -r - 1, 1e-12);
        EXPECT_NEAR(ap.extentsHigh.y, r - 1, 1e-12);
        expectRel(ap.area, 0.75 * pi * r * r, 1e-12);
    }
    // A circle seen in axes turned by 30 degrees still spans its diameter about the centre.
    Region disc;
    disc.faces.push_back(Face{circleLoop(5, 5, 2), {}});
    const double t = pi / 6;
    const AreaProperties ap =
        areaProperties(disc, {5, 5}, {std::cos(t), std::sin(t), 0}, {-std::sin(t), std::cos(t), 0});
    ASSERT_OK(ap.status);
    EXPECT_NEAR(ap.extentsLow.x, -2, 1e-12);
    EXPECT_NEAR(ap.extentsHigh.x, 2, 1e-12);
    EXPECT_NEAR(ap.extentsLow.y, -2, 1e-12);
    EXPECT_NEAR(ap.extentsHigh.y, 2, 1e-12);
}

// Object snaps, ORTHO at point prompts, and what the screen is told about the waiting prompt.
#include "editor_fixture.h"

#include "zhost/editor/osnap.h"
#include "zhost/editor/prompt_view.h"

#include <cmath>

using namespace zhost;
using ed::SnapKind;
using zhost::test::EditorTest;
namespace osmode = ed::osmode;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kAllKinds = osmode::endpoint | osmode::midpoint | osmode::center | osmode::quadrant |
                          osmode::intersection | osmode::nearest;

std::optional<ed::Snap> SnapAt(const std::vector<geom::Curve>& curves, double x, double y,
                               int modes = kAllKinds, double aperture = 1.0) {
    return ed::snapToCurves(curves, geom::Point3d(x, y), aperture, modes);
}

::testing::AssertionResult SnapsTo(const std::optional<ed::Snap>& s, SnapKind kind, double x,
                                   double y) {
    if (!s)
        return ::testing::AssertionFailure() << "no snap";
    if (s->kind != kind || std::abs(s->point.x - x) > 1e-9 || std::abs(s->point.y - y) > 1e-9)
        return ::testing::AssertionFailure()
               << "snapped (kind " << int(s->kind) << ") to " << s->point.x << "," << s->point.y;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(SnapGeometry, EachKindFindsItsExactPoint) {
    const geom::Curve line = geom::LineSeg{{0, 0, 0}, {10, 0, 0}};
    const geom::Curve circle = geom::Circle{{20, 0, 0}, 5};
    EXPECT_TRUE(SnapsTo(SnapAt({line}, 0.4, 0.3), SnapKind::endpoint, 0, 0));
    EXPECT_TRUE(SnapsTo(SnapAt({line}, 5.3, -0.2), SnapKind::midpoint, 5, 0));
    EXPECT_TRUE(SnapsTo(SnapAt({circle}, 20.2, 0.3), SnapKind::center, 20, 0));
    EXPECT_TRUE(SnapsTo(SnapAt({circle}, 20.4, 4.8), SnapKind::quadrant, 20, 5));
    EXPECT_TRUE(SnapsTo(SnapAt({circle}, 15.1, -0.5), SnapKind::quadrant, 15, 0));
    // Only points of the curves, not the cursor's neighbourhood: nothing exact in reach.
    EXPECT_TRUE(SnapsTo(SnapAt({line}, 2.5, 0.5), SnapKind::nearest, 2.5, 0));
    EXPECT_FALSE(SnapAt({line}, 2.5, 1.5));
}

TEST(SnapGeometry, IntersectionsOfCrossingCurves) {
    // Crossing at (5,5), away from either line's middle.
    const geom::Curve a = geom::LineSeg{{0, 0, 0}, {12, 12, 0}};
    const geom::Curve b = geom::LineSeg{{0, 10, 0}, {14, -4, 0}};
    EXPECT_TRUE(SnapsTo(SnapAt({a, b}, 5.4, 4.7), SnapKind::intersection, 5, 5));
    EXPECT_TRUE(SnapsTo(SnapAt({a, b}, 5.4, 4.7, osmode::endpoint | osmode::nearest),
                        SnapKind::nearest, 5.35, 4.65));
    // A line through a circle: the point where it enters, not the circle's quadrant below it.
    const geom::Curve circle = geom::Circle{{0, 0, 0}, 5};
    const geom::Curve chord = geom::LineSeg{{-10, 3, 0}, {10, 3, 0}};
    EXPECT_TRUE(SnapsTo(SnapAt({circle, chord}, 4.1, 3.2), SnapKind::intersection, 4, 3));
}

TEST(SnapGeometry, NearestCandidateWinsAndNearestModeComesLast) {
    // Endpoint of one line and midpoint of another both in reach: the closer one.
    const geom::Curve a = geom::LineSeg{{0, 0, 0}, {4, 0, 0}};
    const geom::Curve b = geom::LineSeg{{-3, 1, 0}, {3, 1, 0}};
    EXPECT_TRUE(SnapsTo(SnapAt({a, b}, 0.1, 0.8), SnapKind::midpoint, 0, 1));
    EXPECT_TRUE(SnapsTo(SnapAt({a, b}, 0.1, 0.2), SnapKind::endpoint, 0, 0));
    // An exact point further away than the curve still beats "nearest".
    EXPECT_TRUE(SnapsTo(SnapAt({a}, 3.5, 0.1), SnapKind::endpoint, 4, 0));
}

TEST(SnapGeometry, ModeBitsChooseTheKindsAndTheOffBitSuppressesAll) {
    const geom::Curve line = geom::LineSeg{{0, 0, 0}, {10, 0, 0}};
    EXPECT_TRUE(SnapsTo(SnapAt({line}, 0.4, 0.3, osmode::midpoint | osmode::nearest),
                        SnapKind::nearest, 0.4, 0));
    EXPECT_FALSE(SnapAt({line}, 0.4, 0.3, osmode::midpoint));
    EXPECT_FALSE(SnapAt({line}, 0.4, 0.3, kAllKinds | osmode::suppressed));
    EXPECT_FALSE(SnapAt({line}, 0.4, 0.3, 0));
    // The aperture is the reach.
    EXPECT_FALSE(SnapAt({line}, 0.4, 0.3, osmode::endpoint, 0.45));
    EXPECT_TRUE(
        SnapsTo(SnapAt({line}, 0.4, 0.3, osmode::endpoint, 0.55), SnapKind::endpoint, 0, 0));
}

TEST(SnapGeometry, ArcsAndPolylinesSnapPerPiece) {
    // A quarter arc from 0° to 90°: its own quadrants are its ends; 180° is not on it.
    const geom::Curve arc = geom::CircArc{{0, 0, 0}, 2, 0, kPi / 2};
    EXPECT_FALSE(SnapAt({arc}, -2, 0.1, osmode::quadrant));
    EXPECT_TRUE(SnapsTo(SnapAt({arc}, 1.45, 1.4, osmode::midpoint), SnapKind::midpoint,
                        std::sqrt(2.0), std::sqrt(2.0)));
    // A polyline: inner vertices are endpoints, each segment has a midpoint, a bulged segment a
    // centre.
    geom::Polyline pl;
    pl.points = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}};
    pl.bulges = {0, 1, 0}; // a half circle from (10,0) to (10,10), centre (10,5)
    EXPECT_TRUE(SnapsTo(SnapAt({pl}, 9.7, 0.2, osmode::endpoint), SnapKind::endpoint, 10, 0));
    EXPECT_TRUE(SnapsTo(SnapAt({pl}, 5.2, 0.3, osmode::midpoint), SnapKind::midpoint, 5, 0));
    EXPECT_TRUE(SnapsTo(SnapAt({pl}, 10.2, 5.1, osmode::center), SnapKind::center, 10, 5));
}

using PickedPoints = EditorTest;

TEST_F(PickedPoints, APickNearAnEndpointGivesTheExactEndpointATypedPointDoesNot) {
    addLine(0, 0, 100, 0);
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::endpoint));
    // View scale 0.3 units a pixel: the 10-pixel aperture reaches 3 units.
    answers({L"@pick 101.5,1.2", L"101.5,1.2", L"@pick 104,0"});
    geom::Point3d p;
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(100, 0));
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(101.5, 1.2));
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(104, 0)) << "out of reach: the pick is taken as it is";
}

TEST_F(PickedPoints, F3BitNoOsnapFlagAndTheApertureTurnSnapsOff) {
    addLine(0, 0, 100, 0);
    answers({L"@pick 1,1", L"@pick 1,1", L"@pick 1,1", L"@pick 1,1"});
    geom::Point3d p;
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::endpoint | osmode::suppressed));
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(1, 1));
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::endpoint));
    ed::initGet(ed::rsg::noOsnap);
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(1, 1));
    ASSERT_OK(ed::setVarInt(L"APERTURE", 4)); // 1.2 units: the endpoint is 1.41 away
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(1, 1));
    ed::setViewScale(1.0); // zoomed out: 4 pixels are 4 units
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(0, 0));
}

TEST_F(PickedPoints, OrthoHoldsPicksFromTheBasePointButNotTypedPointsOrCorners) {
    ASSERT_OK(ed::setVarInt(L"ORTHOMODE", 1));
    ASSERT_OK(ed::setVarInt(L"OSMODE", 0));
    const geom::Point3d base(10, 10);
    answers({L"@pick 30,13", L"@pick 12,-20", L"30,13", L"@pick 30,13"});
    geom::Point3d p;
    ASSERT_EQ(ed::getPoint(&base, L"\nNext point: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(30, 10));
    ASSERT_EQ(ed::getPoint(&base, L"\nNext point: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(10, -20));
    ASSERT_EQ(ed::getPoint(&base, L"\nNext point: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(30, 13));
    ASSERT_EQ(ed::getCorner(base, L"\nOther corner: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(30, 13));
}

TEST_F(PickedPoints, DistancePromptMeasuresToTheSnappedPoint) {
    addCircle(50, 0, 8);
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::quadrant));
    const geom::Point3d base(0, 0);
    answers({L"@pick 42.5,0.6"});
    double d = 0;
    ASSERT_EQ(ed::getDist(&base, L"\nLength: ", d), ed::Result::normal);
    EXPECT_DOUBLE_EQ(d, 42);
}

namespace {

// Moves a line's end with the cursor from a fixed start, as a command dragging a length does.
class EndJig : public ed::Jig {
public:
    geom::Point3d base, current;
    std::unique_ptr<db::Line> line = std::make_unique<db::Line>();
    std::vector<geom::Point3d> sampled;
    DragStatus sampler() override {
        const DragStatus st = acquirePoint(current, base);
        sampled.push_back(current);
        return st;
    }
    bool update() override {
        line->setEndPoint(current);
        return true;
    }
    db::Entity* entity() const override { return line.get(); }
};

// Records what the screen is told each time the input is asked for a line.
class ViewRecorder : public ed::InputSource {
public:
    explicit ViewRecorder(std::vector<std::wstring> lines) : lines_(std::move(lines)) {}
    bool readLine(std::wstring_view, ed::InputLine& out) override {
        seen.push_back(ed::currentPromptView());
        if (next_ >= lines_.size())
            return false;
        out.text = lines_[next_++];
        return true;
    }
    std::vector<ed::PromptView> seen;

private:
    std::vector<std::wstring> lines_;
    size_t next_ = 0;
};

} // namespace

TEST_F(PickedPoints, DragMovesAndTheFinalPickSnapOrthoOnlyWhenNothingSnapped) {
    addLine(40, 20, 40, 60);
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::endpoint));
    ASSERT_OK(ed::setVarInt(L"ORTHOMODE", 1));
    answers({L"@move 25,4", L"@move 41,21", L"@pick 39,58.5"});
    EndJig jig;
    jig.setUserInputControls(ed::Jig::kGovernedByOrthoMode);
    ASSERT_EQ(jig.drag(), ed::Jig::kNormal);
    ASSERT_EQ(jig.sampled.size(), 3u);
    EXPECT_EQ(jig.sampled[0], geom::Point3d(25, 0));  // held to the X axis
    EXPECT_EQ(jig.sampled[1], geom::Point3d(40, 20)); // snapped, off the axes
    EXPECT_EQ(jig.sampled[2], geom::Point3d(40, 60));
    EXPECT_EQ(jig.line->endPoint(), geom::Point3d(40, 60));
}

TEST_F(PickedPoints, TheScreenIsToldWhatEachPromptWants) {
    ViewRecorder rec({L"1,1", L"2,2", L"^C", L"@move 5,5", L"^C", L"3"});
    ed::setInputSource(&rec);
    geom::Point3d p;
    ed::initGet(0, L"Undo eXit");
    ASSERT_EQ(ed::getPoint(nullptr, L"\nFrom: ", p), ed::Result::normal);
    const geom::Point3d base(1, 1);
    ASSERT_EQ(ed::getPoint(&base, L"\nTo: ", p), ed::Result::normal);
    ed::SelectionSet ss;
    EXPECT_EQ(ss.select(nullptr, nullptr, nullptr, nullptr, nullptr), ed::Result::cancel);
    EndJig jig;
    EXPECT_EQ(jig.drag(), ed::Jig::kCancel);
    double d = 0;
    ASSERT_EQ(ed::getReal(L"\nValue: ", d), ed::Result::normal);
    ed::setInputSource(nullptr);
    ASSERT_EQ(rec.seen.size(), 6u);
    using Kind = ed::PromptView::Kind;
    EXPECT_EQ(rec.seen[0].kind, Kind::point);
    EXPECT_FALSE(rec.seen[0].hasBase);
    EXPECT_EQ(rec.seen[0].keywords, (std::vector<std::wstring>{L"Undo", L"eXit"}));
    EXPECT_EQ(rec.seen[1].kind, Kind::point);
    EXPECT_TRUE(rec.seen[1].hasBase);
    EXPECT_EQ(rec.seen[1].base, base);
    EXPECT_TRUE(rec.seen[1].keywords.empty()) << "keywords belong to one prompt";
    EXPECT_EQ(rec.seen[2].kind, Kind::selection);
    EXPECT_EQ(rec.seen[3].kind, Kind::drag);
    EXPECT_EQ(rec.seen[3].dragged, jig.line.get());
    EXPECT_EQ(rec.seen[5].kind, Kind::value);
    EXPECT_EQ(ed::currentPromptView().kind, Kind::command) << "no prompt waits any more";
}

TEST(SnapGridGeometry, NearestPointOfShiftedStretchedAndTurnedGrids) {
    ed::SnapGrid shifted{geom::Point3d(3, 4), 10, 5, 0};
    EXPECT_EQ(ed::gridPoint({14.9, 6.6, 2}, shifted), geom::Point3d(13, 9, 2)) << "Z is kept";
    EXPECT_EQ(ed::gridPoint({-7.9, 1.4, 0}, shifted), geom::Point3d(-7, -1, 0));
    // Turned a quarter: the grid's X steps of 10 run up the UCS Y axis, its Y steps of 4 to -X.
    ed::SnapGrid upright{geom::Point3d(), 10, 4, kPi / 2};
    const geom::Point3d q = ed::gridPoint({-5.1, 18, 0}, upright);
    EXPECT_NEAR(q.x, -4, 1e-9);
    EXPECT_NEAR(q.y, 20, 1e-9);
    // Turned 30 degrees about an off-origin base: a point near a lattice point lands on it.
    ed::SnapGrid turned{geom::Point3d(5, -2), 10, 10, kPi / 6};
    const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
    const geom::Point3d lattice(5 + 2 * 10 * c + 1 * 10 * s, -2 + 2 * 10 * s - 1 * 10 * c, 0);
    const geom::Point3d r = ed::gridPoint(lattice + geom::Vector3d(3.1, -2.7, 0), turned);
    EXPECT_NEAR(r.x, lattice.x, 1e-9);
    EXPECT_NEAR(r.y, lattice.y, 1e-9);
}

using GridSnap = EditorTest;

TEST_F(GridSnap, TheGridsVariablesHaveDefaultsAndRefuseAStepThatIsNotPositive) {
    geom::Point3d unit, base(1, 1);
    double angle = 1;
    ASSERT_OK(ed::getVarPoint(L"SNAPUNIT", unit));
    ASSERT_OK(ed::getVarPoint(L"SNAPBASE", base));
    ASSERT_OK(ed::getVarReal(L"SNAPANG", angle));
    EXPECT_EQ(unit, geom::Point3d(10, 10));
    EXPECT_EQ(base, geom::Point3d(0, 0));
    EXPECT_EQ(angle, 0);
    EXPECT_FALSE(ok(ed::setVarPoint(L"SNAPUNIT", {0, 5, 0})));
    EXPECT_FALSE(ok(ed::setVarPoint(L"SNAPUNIT", {5, -1, 0})));
    EXPECT_OK(ed::setVarPoint(L"SNAPUNIT", {2.5, 5, 7}));
    ASSERT_OK(ed::getVarPoint(L"SNAPUNIT", unit));
    EXPECT_EQ(unit, geom::Point3d(2.5, 5, 0)) << "a 2D variable keeps no Z";
    EXPECT_FALSE(ed::runningSnapGrid()) << "SNAPMODE is off by default";
}

TEST_F(GridSnap, PicksLandOnTheGridTypedPointsAndSnapOffDoNot) {
    ASSERT_OK(ed::setVarInt(L"OSMODE", 0));
    ASSERT_OK(ed::setVarInt(L"SNAPMODE", 1));
    answers({L"@pick 21.7,38.4", L"21.7,38.4", L"@pick 21.7,38.4"});
    geom::Point3d p;
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(20, 40));
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(21.7, 38.4)) << "typed coordinates mean what they say";
    ASSERT_OK(ed::setVarInt(L"SNAPMODE", 0));
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(21.7, 38.4));
}

TEST_F(GridSnap, AnObjectSnapInReachWinsAndOrthoHoldsTheGridPointAfterwards) {
    addLine(0, 0, 33, 7);
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::endpoint));
    ASSERT_OK(ed::setVarInt(L"SNAPMODE", 1));
    answers({L"@pick 32,8", L"@pick 25.5,18.5", L"@pick 27.4,6.2"});
    geom::Point3d p;
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(33, 7)) << "the endpoint, not the grid's 30,10";
    ASSERT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(30, 20)) << "no endpoint in reach";
    // On the grid at 30,10 first, then held level with the base point: 30,3. (Held first and
    // then put on the grid would give 30,0.)
    ASSERT_OK(ed::setVarInt(L"ORTHOMODE", 1));
    const geom::Point3d base(3, 3);
    ASSERT_EQ(ed::getPoint(&base, L"\nNext point: ", p), ed::Result::normal);
    EXPECT_EQ(p, geom::Point3d(30, 3));
}

TEST_F(GridSnap, DragsFollowTheGridUntilAnObjectSnapTakesOver) {
    addLine(40, 20, 40, 60);
    ASSERT_OK(ed::setVarInt(L"OSMODE", osmode::endpoint));
    ASSERT_OK(ed::setVarInt(L"SNAPMODE", 1));
    ASSERT_OK(ed::setVarPoint(L"SNAPUNIT", {5, 5, 0}));
    answers({L"@move 13.1,6.9", L"@move 41,21", L"@pick 26.4,-3.1"});
    EndJig jig;
    ASSERT_EQ(jig.drag(), ed::Jig::kNormal);
    ASSERT_EQ(jig.sampled.size(), 3u);
    EXPECT_EQ(jig.sampled[0], geom::Point3d(15, 5));
    EXPECT_EQ(jig.sampled[1], geom::Point3d(40, 20));
    EXPECT_EQ(jig.sampled[2], geom::Point3d(25, -5));
}

TEST(EntityStrokes, CurvesAreDividedWithinTheChord) {
    db::Circle circle(geom::Point3d(0, 0), 10);
    std::vector<std::vector<geom::Point3d>> strokes;
    ASSERT_TRUE(ed::entityStrokes(circle, 0.05, strokes));
    ASSERT_EQ(strokes.size(), 1u);
    const auto& s = strokes[0];
    ASSERT_GT(s.size(), 8u);
    EXPECT_TRUE(s.front().isEqualTo(s.back())) << "a circle's stroke closes";
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        EXPECT_NEAR(s[i].distanceTo(geom::Point3d()), 10, 1e-9);
        // The sagitta of each chord stays within the tolerance.
        const geom::Point3d mid = geom::Point3d::midPoint(s[i], s[i + 1]);
        EXPECT_LE(10 - mid.distanceTo(geom::Point3d()), 0.05);
    }
    db::Line line(geom::Point3d(1, 2), geom::Point3d(3, 4));
    strokes.clear();
    ASSERT_TRUE(ed::entityStrokes(line, 0.05, strokes));
    EXPECT_EQ(strokes, (std::vector<std::vector<geom::Point3d>>{{{1, 2, 0}, {3, 4, 0}}}));
}

// The drafting commands driven through the command loop in this process: the geometry each one
// makes, the answers each prompt refuses, and UNDO taking each one back exactly.
#include "editor_fixture.h"

#include "support/status.h"

#include "zhost/core/utf.h"
#include "zhost/db/dump.h"

#include <cmath>
#include <numbers>

using namespace zhost;
using zhost::test::EditorTest;

namespace {

constexpr double kPi = std::numbers::pi;

class Drafting : public EditorTest {
protected:
    ed::RunOutcome run(std::vector<std::wstring> lines) {
        answers(std::move(lines));
        return ed::runCommandLoop(*input);
    }
    template <class T> db::ObjectPtr<T> only(const wchar_t* kind) {
        const auto ids = entitiesOfType(kind);
        EXPECT_EQ(ids.size(), 1u) << "entities of kind " << toUtf8(kind);
        return db::ObjectPtr<T>(ids.empty() ? db::ObjectId() : ids.front(), db::OpenMode::forRead);
    }
};

void expectPoint(const geom::Point3d& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

} // namespace

using DrawCommands = Drafting;

TEST_F(DrawCommands, LineTakesBackWithUndoAndClosesToTheFirstPoint) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"10,0", L"10,10", L"U", L"10,20", L"C"}).ok());
    const auto lines = entitiesOfType(L"LINE");
    ASSERT_EQ(lines.size(), 3u);
    db::ObjectPtr<db::Line> last(lines[2], db::OpenMode::forRead);
    expectPoint(last->startPoint(), 10, 20);
    expectPoint(last->endPoint(), 0, 0);
    db::ObjectPtr<db::Line> second(lines[1], db::OpenMode::forRead);
    expectPoint(second->endPoint(), 10, 20); // the undone segment to 10,10 is gone
}

TEST_F(DrawCommands, PlineArcsCarryTheBulgeOfTheirIncludedAngle) {
    // A tangent arc turning a quarter, a three-point half circle drawn clockwise, a line back.
    ASSERT_TRUE(run({L"PLINE", L"0,0", L"20,0", L"A", L"40,20", L"S", L"50,30", L"60,20", L"L",
                     L"60,0", L"C"})
                    .ok());
    auto pl = only<db::Polyline>(L"LWPOLYLINE");
    ASSERT_TRUE(pl);
    ASSERT_EQ(pl->numVerts(), 5);
    EXPECT_TRUE(pl->isClosed());
    EXPECT_NEAR(pl->bulgeAt(0), 0, 1e-12);
    EXPECT_NEAR(pl->bulgeAt(1), std::tan(kPi / 8), 1e-12);
    EXPECT_NEAR(pl->bulgeAt(2), -1, 1e-12);
    EXPECT_NEAR(pl->bulgeAt(3), 0, 1e-12);
    EXPECT_EQ(pl->constantWidth(), 0);
}

TEST_F(DrawCommands, CircleByRadiusDiameterTwoAndThreePoints) {
    ASSERT_TRUE(run({L"CIRCLE", L"1,2", L"3", L"CIRCLE", L"0,0", L"D", L"8", L"CIRCLE", L"2P",
                     L"10,0", L"20,0", L"_CIRCLE", L"3p", L"0,-5", L"5,0", L"0,5"})
                    .ok());
    const auto ids = entitiesOfType(L"CIRCLE");
    ASSERT_EQ(ids.size(), 4u);
    const double want[4][3] = {{1, 2, 3}, {0, 0, 4}, {15, 0, 5}, {0, 0, 5}};
    for (size_t i = 0; i < 4; ++i) {
        db::ObjectPtr<db::Circle> c(ids[i], db::OpenMode::forRead);
        expectPoint(c->center(), want[i][0], want[i][1]);
        EXPECT_NEAR(c->radius(), want[i][2], 1e-9) << "circle " << i;
    }
}

TEST_F(DrawCommands, ArcThroughThreePointsAndFromStartCenterEnd) {
    // Clockwise through the points: stored counter-clockwise from the end to the start.
    ASSERT_TRUE(run({L"ARC", L"-5,0", L"0,5", L"5,0", L"ARC", L"C", L"10,0", L"15,0", L"10,5",
                     L"ARC", L"20,0", L"C", L"25,0", L"25,5"})
                    .ok());
    const auto ids = entitiesOfType(L"ARC");
    ASSERT_EQ(ids.size(), 3u);
    const double want[3][5] = {{0, 0, 5, 0, kPi}, {10, 0, 5, 0, kPi / 2}, {25, 0, 5, kPi, kPi / 2}};
    for (size_t i = 0; i < 3; ++i) {
        db::ObjectPtr<db::Arc> a(ids[i], db::OpenMode::forRead);
        expectPoint(a->center(), want[i][0], want[i][1]);
        EXPECT_NEAR(a->radius(), want[i][2], 1e-9) << "arc " << i;
        EXPECT_NEAR(std::remainder(a->startAngle() - want[i][3], 2 * kPi), 0, 1e-9) << i;
        EXPECT_NEAR(std::remainder(a->endAngle() - want[i][4], 2 * kPi), 0, 1e-9) << i;
    }
}

TEST_F(DrawCommands, RectangPointAndTextTakeTheCurrentProperties) {
    db::ObjectId layer;
    db.addLayer(L"PARTS", layer);
    ASSERT_OK(db.setClayer(layer));
    ASSERT_TRUE(run({L"RECTANG", L"0,0", L"30,-10", L"POINT", L"4,4", L"TEXT", L"0,20", L"5", L"90",
                     L"Ø10 H7", L"TEXT", L"0,40", L"", L"", L"next"})
                    .ok());
    auto rect = only<db::Polyline>(L"LWPOLYLINE");
    ASSERT_TRUE(rect);
    EXPECT_TRUE(rect->isClosed());
    ASSERT_EQ(rect->numVerts(), 4);
    expectPoint(rect->pointAt(2), 30, -10);
    EXPECT_EQ(rect->layer(), L"PARTS");
    auto pt = only<db::Point>(L"POINT");
    ASSERT_TRUE(pt);
    expectPoint(pt->position(), 4, 4);
    const auto texts = entitiesOfType(L"TEXT");
    ASSERT_EQ(texts.size(), 2u);
    db::ObjectPtr<db::Text> first(texts[0], db::OpenMode::forRead);
    EXPECT_EQ(first->textString(), L"Ø10 H7");
    EXPECT_NEAR(first->height(), 5, 1e-12);
    EXPECT_NEAR(first->rotation(), kPi / 2, 1e-12);
    // Enter takes the height used last and no rotation.
    db::ObjectPtr<db::Text> second(texts[1], db::OpenMode::forRead);
    EXPECT_NEAR(second->height(), 5, 1e-12);
    EXPECT_NEAR(second->rotation(), 0, 1e-12);
}

using DrawBadInput = Drafting;

TEST_F(DrawBadInput, EveryPromptRefusesJunkAndAsksAgain) {
    ASSERT_TRUE(run({L"LINE", L"junk", L"1e300,0", L"0,0",  L"0,0", L"@5,0",   L"",     L"CIRCLE",
                     L"0,0",  L"-3",   L"nan",     L"0",    L"2",   L"CIRCLE", L"3P",   L"0,0",
                     L"0,0",  L"1,0",  L"2,0",     L"0,1",  L"ARC", L"0,0",    L"0,0",  L"1,1",
                     L"2,2",  L"2,0",  L"RECTANG", L"0,0",  L"5,0", L"5,5",    L"TEXT", L"0,0",
                     L"-1",   L"inf",  L"1",       L"east", L"0",   L"x"})
                    .ok());
    for (const wchar_t* message :
         {L"Point or option keyword required.", L"Coordinates must lie between",
          L"a segment needs two different points", L"Value must be positive and nonzero.",
          L"Requires numeric distance or two points.", L"no circle passes through them",
          L"The corners must differ in X and in Y.",
          L"Requires valid numeric angle or second point."})
        EXPECT_TRUE(transcriptHas(message)) << toUtf8(message);
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 1u);
    EXPECT_EQ(entitiesOfType(L"CIRCLE").size(), 2u);
    EXPECT_EQ(entitiesOfType(L"ARC").size(), 1u);
    EXPECT_EQ(entitiesOfType(L"LWPOLYLINE").size(), 1u);
    EXPECT_EQ(entitiesOfType(L"TEXT").size(), 1u);
}

TEST_F(DrawBadInput, CancelKeepsWhatWasDrawnAndEndsTheCommand) {
    ASSERT_TRUE(run({L"LINE", L"0,0", L"1,0", L"^C", L"PLINE", L"0,0", L"1,0", L"1,1", L"^C",
                     L"CIRCLE", L"0,0", L"^C"})
                    .ok());
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 1u);
    EXPECT_EQ(entitiesOfType(L"LWPOLYLINE").size(), 1u);
    EXPECT_TRUE(entitiesOfType(L"CIRCLE").empty());
}

// Each command followed by UNDO leaves the drawing as it was, object for object.
class DrawUndo : public Drafting,
                 public ::testing::WithParamInterface<std::vector<std::wstring>> {};

TEST_P(DrawUndo, UndoRestoresTheDrawingExactly) {
    addLine(0, 0, 5, 5); // something already there
    db.clearUndo();
    const std::wstring before = db::dumpDatabase(db);
    ASSERT_TRUE(run(GetParam()).ok());
    ASSERT_NE(db::dumpDatabase(db), before) << "the command changed nothing";
    ASSERT_TRUE(run({L"UNDO", L"1"}).ok());
    EXPECT_EQ(db::dumpDatabase(db), before);
}

INSTANTIATE_TEST_SUITE_P(
    EachDrawCommand, DrawUndo,
    ::testing::Values(std::vector<std::wstring>{L"LINE", L"0,0", L"1,0", L"1,1", L"C"},
                      std::vector<std::wstring>{L"PLINE", L"0,0", L"1,0", L"A", L"2,1", L""},
                      std::vector<std::wstring>{L"CIRCLE", L"0,0", L"2"},
                      std::vector<std::wstring>{L"ARC", L"0,0", L"1,1", L"2,0"},
                      std::vector<std::wstring>{L"RECTANG", L"0,0", L"3,3"},
                      std::vector<std::wstring>{L"POINT", L"1,1"},
                      std::vector<std::wstring>{L"TEXT", L"0,0", L"7", L"0", L"abc"}));

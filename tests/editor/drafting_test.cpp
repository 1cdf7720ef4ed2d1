// The drafting commands driven through the command loop in this process: the geometry each one
// makes, the answers each prompt refuses, and UNDO taking each one back exactly.
#include "editor_fixture.h"

#include "support/status.h"
#include "support/zorma_run.h"

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
    // Runs the lines, which must change the drawing, then UNDO: the drawing must be as before,
    // object for object.
    void expectUndoRestores(std::vector<std::wstring> lines) {
        db.clearUndo();
        const std::wstring before = db::dumpDatabase(db);
        ASSERT_TRUE(run(std::move(lines)).ok());
        ASSERT_NE(db::dumpDatabase(db), before) << "the command changed nothing";
        ASSERT_TRUE(run({L"UNDO", L"1"}).ok());
        EXPECT_EQ(db::dumpDatabase(db), before);
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
    expectUndoRestores(GetParam());
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

using EditCommands = Drafting;

TEST_F(EditCommands, MoveAndCopyByBaseAndSecondPointOrDisplacement) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    ASSERT_TRUE(run({L"MOVE", L"@pick 5,0", L"", L"0,0", L"3,4", L"COPY", L"@pick 8,4", L"", L"0,0",
                     L"0,10", L"0,20", L"U", L"0,30", L"", L"COPY", L"@last", L"", L"D", L"100,0"})
                    .ok());
    db::ObjectPtr<db::Line> moved(line, db::OpenMode::forRead);
    expectPoint(moved->startPoint(), 3, 4);
    moved.close();
    const auto lines = entitiesOfType(L"LINE");
    ASSERT_EQ(lines.size(), 4u); // the original, copies at +10 and +30, and the displaced copy
    const double wantY[4] = {4, 14, 34, 34};
    const double wantX[4] = {3, 3, 3, 103};
    for (size_t i = 0; i < lines.size(); ++i) {
        db::ObjectPtr<db::Line> l(lines[i], db::OpenMode::forRead);
        expectPoint(l->startPoint(), wantX[i], wantY[i]);
    }
}

TEST_F(EditCommands, RotateScaleAndMirrorWithAndWithoutCopies) {
    const db::ObjectId c = addCircle(10, 0, 2);
    ASSERT_TRUE(run({L"ROTATE", L"@pick 12,0", L"", L"0,0", L"90", L"SCALE", L"@pick 0,12", L"",
                     L"0,0", L"C", L"2", L"MIRROR", L"@pick 0,12", L"", L"-1,-1", L"1,-1", L"N"})
                    .ok());
    const auto circles = entitiesOfType(L"CIRCLE");
    ASSERT_EQ(circles.size(), 3u);
    db::ObjectPtr<db::Circle> rotated(c, db::OpenMode::forRead);
    expectPoint(rotated->center(), 0, 10);
    EXPECT_NEAR(rotated->radius(), 2, 1e-12);
    db::ObjectPtr<db::Circle> scaled(circles[1], db::OpenMode::forRead);
    expectPoint(scaled->center(), 0, 20);
    EXPECT_NEAR(scaled->radius(), 4, 1e-12);
    db::ObjectPtr<db::Circle> mirrored(circles[2], db::OpenMode::forRead);
    expectPoint(mirrored->center(), 0, -12); // mirrored about y = -1
}

TEST_F(EditCommands, MirrorEraseSourceAndKeepTextReadable) {
    add(std::make_unique<db::Text>(geom::Point3d(1, 0), L"AB", 1.0));
    ASSERT_TRUE(run({L"MIRROR", L"@all", L"", L"0,0", L"0,1", L"Y"}).ok());
    const auto texts = entitiesOfType(L"TEXT");
    ASSERT_EQ(texts.size(), 1u);
    db::ObjectPtr<db::Text> t(texts[0], db::OpenMode::forRead);
    // The text's run from x=1 to x=2.4 lands from -2.4 to -1, still read left to right.
    EXPECT_NEAR(std::cos(t->rotation()), 1, 1e-9);
    expectPoint(t->position(), -2.4, 0);
}

TEST_F(EditCommands, EraseAndExplodeUseThePickFirstSet) {
    geom::Polyline shape;
    shape.points = {{0, 0}, {10, 0}, {10, 10}};
    shape.bulges = {0, 1, 0};
    add(std::make_unique<db::Polyline>(shape));
    addLine(50, 50, 60, 50);
    ASSERT_TRUE(run({L"@pick 5,0", L"EXPLODE", L"@pick 55,50", L"ERASE"}).ok());
    EXPECT_TRUE(entitiesOfType(L"LWPOLYLINE").empty());
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 1u); // the exploded straight piece; 50,50 is gone
    EXPECT_EQ(entitiesOfType(L"ARC").size(), 1u);
}

TEST_F(EditCommands, EscapeAtTheCommandPromptLetsGoOfThePickFirstSet) {
    const db::ObjectId line = addLine(50, 50, 60, 50);
    // ERASE then asks for objects itself, and Enter leaves the line alone.
    ASSERT_TRUE(run({L"@pick 55,50", L"^C", L"ERASE", L""}).ok());
    EXPECT_FALSE(line.isErased());
    EXPECT_FALSE(ed::isHighlighted(line));
    EXPECT_TRUE(transcriptHas(L"Select objects: "));
}

TEST_F(EditCommands, LockedLayersAreLeftOutAndBadInputAsksAgain) {
    db::ObjectId locked;
    db.addLayer(L"LOCKED", locked);
    auto onLocked = std::make_unique<db::Line>(geom::Point3d(0, 5), geom::Point3d(10, 5));
    onLocked->setLayer(locked);
    const db::ObjectId keep = add(std::move(onLocked));
    {
        db::ObjectPtr<db::LayerTableRecord> l(locked, db::OpenMode::forWrite);
        l->setLocked(true);
    }
    const db::ObjectId line = addLine(0, 0, 10, 0);
    ASSERT_TRUE(
        run({L"MOVE",       L"@all", L"",    L"0,0", L"1e300,0", L"x",     L"0,1", L"SCALE",
             L"@pick 5,1",  L"",     L"0,0", L"-2",  L"0",       L"1e300", L"3",   L"MIRROR",
             L"@pick 15,3", L"",     L"0,0", L"0,0", L"1,0",     L"maybe", L"Y"})
            .ok());
    EXPECT_TRUE(transcriptHas(L"1 object(s) on a locked layer left out."));
    EXPECT_TRUE(transcriptHas(L"Coordinates must lie between"));
    EXPECT_TRUE(transcriptHas(L"Value must be positive and nonzero."));
    EXPECT_TRUE(transcriptHas(L"The value must not exceed 1E+12."));
    EXPECT_TRUE(transcriptHas(L"The mirror line needs two different points."));
    EXPECT_TRUE(transcriptHas(L"Invalid option keyword."));
    db::ObjectPtr<db::Line> l(line, db::OpenMode::forRead);
    expectPoint(l->endPoint(), 30, -3); // moved up 1, scaled by 3 about 0,0, mirrored in y = 0
    db::ObjectPtr<db::Line> k(keep, db::OpenMode::forRead);
    expectPoint(k->endPoint(), 10, 5);
}

class EditUndo : public Drafting,
                 public ::testing::WithParamInterface<std::vector<std::wstring>> {};

TEST_P(EditUndo, UndoRestoresTheDrawingExactly) {
    addRectangle(0, 0, 10, 10);
    addCircle(5, 5, 2);
    add(std::make_unique<db::Text>(geom::Point3d(1, 1), L"T", 1.0));
    geom::Polyline shape;
    shape.points = {{20, 0}, {30, 0}, {30, 10}};
    shape.bulges = {0, 0.5, 0};
    add(std::make_unique<db::Polyline>(shape));
    expectUndoRestores(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    EachEditCommand, EditUndo,
    ::testing::Values(std::vector<std::wstring>{L"ERASE", L"@all", L""},
                      std::vector<std::wstring>{L"MOVE", L"@all", L"", L"0,0", L"5,5"},
                      std::vector<std::wstring>{L"COPY", L"@all", L"", L"0,0", L"20,0", L"40,0",
                                                L""},
                      std::vector<std::wstring>{L"ROTATE", L"@all", L"", L"0,0", L"45"},
                      std::vector<std::wstring>{L"SCALE", L"@all", L"", L"0,0", L"2"},
                      std::vector<std::wstring>{L"MIRROR", L"@all", L"", L"0,0", L"1,1", L""},
                      std::vector<std::wstring>{L"@all", L"EXPLODE"}));

using TableCommands = Drafting;

namespace {
std::wstring sampleLinFile() {
    return ztest::SourcePath("samples/product/config/default.lin").wstring();
}
} // namespace

TEST_F(TableCommands, LayerMakesNewLayersAndSetsTheirStates) {
    ASSERT_TRUE(run({L"-LINETYPE", L"Load",    L"Dashed", sampleLinFile(), L"",
                     L"-LAYER",    L"Make",    L"PARTS",  L"New",          L"A, B",
                     L"Color",     L"red",     L"A",      L"Ltype",        L"dashed",
                     L"B",         L"LWeight", L"0.35",   L"A,B",          L"OFF",
                     L"B",         L"Freeze",  L"A",      L"LOck",         L"PAR*",
                     L"Freeze",    L"PARTS",   L"Color",  L"300",          L"blue",
                     L"NOPE",      L""})
                    .ok());
    db::ObjectId parts, a, b, dashed;
    ASSERT_OK(db.getLayerId(L"PARTS", parts));
    ASSERT_OK(db.getLayerId(L"A", a));
    ASSERT_OK(db.getLayerId(L"B", b));
    ASSERT_OK(db.getLinetypeId(L"DASHED", dashed));
    EXPECT_EQ(db.clayer(), parts);
    db::ObjectPtr<db::LayerTableRecord> la(a, db::OpenMode::forRead), lb(b, db::OpenMode::forRead),
        lp(parts, db::OpenMode::forRead);
    EXPECT_EQ(la->colorIndex(), 1);
    EXPECT_EQ(lb->colorIndex(), 7);
    EXPECT_EQ(lb->linetypeId(), dashed);
    EXPECT_EQ(la->lineWeight(), 35);
    EXPECT_EQ(lb->lineWeight(), 35);
    EXPECT_TRUE(lb->isOff());
    EXPECT_TRUE(la->isFrozen());
    EXPECT_TRUE(lp->isLocked());
    EXPECT_FALSE(lp->isFrozen());
    EXPECT_TRUE(transcriptHas(L"Cannot freeze layer \"PARTS\".  It is the CURRENT layer."));
    EXPECT_TRUE(transcriptHas(L"Requires an integer between 1 and 255 or a color name."));
    EXPECT_TRUE(transcriptHas(L"No matching layer(s) found for \"NOPE\"."));
}

TEST_F(TableCommands, LinetypeLoadSaysWhatItCouldNotLoad) {
    ASSERT_TRUE(
        run({L"-LINETYPE", L"Load", L"Center,Wavy", sampleLinFile(), L"Load", L"center",
             sampleLinFile(), L"Load", L"Dot", L"/no/such/file.lin", L"Set", L"Center", L""})
            .ok());
    db::ObjectId center;
    EXPECT_OK(db.getLinetypeId(L"Center", center));
    EXPECT_TRUE(transcriptHas(L"Linetype \"Center\" loaded."));
    EXPECT_TRUE(transcriptHas(L"Linetype \"Wavy\" not found in"));
    EXPECT_TRUE(transcriptHas(L"Linetype \"center\" is already loaded."));
    EXPECT_TRUE(transcriptHas(L"Cannot read linetype file /no/such/file.lin"));
    std::wstring celtype;
    db.getString(L"CELTYPE", celtype);
    EXPECT_EQ(celtype, L"Center");
}

TEST_F(TableCommands, ChpropChangesTheChosenPropertiesOnly) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    const db::ObjectId circle = addCircle(50, 50, 5);
    db::ObjectId layer;
    db.addLayer(L"HIDDEN", layer);
    ASSERT_TRUE(run({L"-LINETYPE", L"Load",    L"Hidden",    sampleLinFile(),
                     L"",          L"CHPROP",  L"@pick 5,0", L"",
                     L"Color",     L"0",       L"5",         L"LAyer",
                     L"NOPE",      L"LAyer",   L"hidden",    L"LType",
                     L"Hidden",    L"ltScale", L"-1",        L"2",
                     L"LWeight",   L"0.33",    L"0.5",       L""})
                    .ok());
    db::ObjectPtr<db::Line> l(line, db::OpenMode::forRead);
    EXPECT_EQ(l->colorIndex(), 5);
    EXPECT_EQ(l->layer(), L"HIDDEN");
    EXPECT_EQ(l->linetype(), L"Hidden");
    EXPECT_EQ(l->linetypeScale(), 2);
    EXPECT_EQ(l->lineWeight(), 50);
    db::ObjectPtr<db::Circle> c(circle, db::OpenMode::forRead);
    EXPECT_EQ(c->colorIndex(), db::color::byLayer);
    EXPECT_EQ(c->layer(), L"0");
    EXPECT_TRUE(transcriptHas(L"Cannot find layer \"NOPE\"."));
    EXPECT_TRUE(transcriptHas(L"Invalid lineweight"));
}

class TableUndo : public Drafting,
                  public ::testing::WithParamInterface<std::vector<std::wstring>> {};

TEST_P(TableUndo, UndoRestoresTheDrawingExactly) {
    addLine(0, 0, 5, 5);
    db::ObjectId layer;
    db.addLayer(L"L1", layer);
    std::vector<std::wstring> lines = GetParam();
    for (std::wstring& l : lines)
        if (l == L"$LIN")
            l = sampleLinFile();
    expectUndoRestores(lines);
}

INSTANTIATE_TEST_SUITE_P(
    EachTableCommand, TableUndo,
    ::testing::Values(std::vector<std::wstring>{L"-LAYER", L"Make", L"NEW1", L"Color", L"3", L"L1",
                                                L"LOck", L"L1", L""},
                      std::vector<std::wstring>{L"-LINETYPE", L"Load", L"*", L"$LIN", L""},
                      std::vector<std::wstring>{L"CHPROP", L"@all", L"", L"LAyer", L"L1", L"Color",
                                                L"2", L""}));

using InquiryCommands = Drafting;

TEST_F(InquiryCommands, IdAndDistPrintCoordinatesAndDeltas) {
    ASSERT_TRUE(run({L"ID", L"3,4", L"DIST", L"1,1", L"4,5"}).ok());
    EXPECT_TRUE(transcriptHas(L"X = 3.0000     Y = 4.0000     Z = 0.0000"));
    EXPECT_TRUE(transcriptHas(L"Distance = 5.0000,  Angle in XY Plane = 53,  Angle from XY "
                              L"Plane = 0"));
    EXPECT_TRUE(transcriptHas(L"Delta X = 3.0000,  Delta Y = 4.0000,  Delta Z = 0.0000"));
}

TEST_F(InquiryCommands, AreaByPointsAndByObjectUsesTheExactArea) {
    geom::Polyline shape; // a 10 x 10 square with a half circle bulging out of its right side
    shape.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    shape.bulges = {0, 1, 0, 0};
    shape.closed = true;
    add(std::make_unique<db::Polyline>(shape));
    addLine(100, 0, 110, 0);
    ASSERT_TRUE(run({L"AREA", L"0,0", L"10,0", L"", L"10,5", L"0,5", L"", L"AREA", L"O",
                     L"@pick 105,0", L"@pick 0,5", L"AREA", L"", L"@pick 0,5"})
                    .ok());
    EXPECT_TRUE(transcriptHas(L"An area needs at least three points."));
    EXPECT_TRUE(transcriptHas(L"Area = 50.0000, Perimeter = 30.0000"));
    EXPECT_TRUE(transcriptHas(L"The selected object has no area"));
    // 100 + pi 5^2 / 2 and 30 + 5 pi.
    EXPECT_EQ(ztest::CountOf(toUtf8(transcript), "Area = 139.2699, Perimeter = 45.7080"), 2);
}

TEST_F(InquiryCommands, ListShowsKindLayerAndGeometryAndChangesNothing) {
    addLine(0, 0, 3, 4);
    addCircle(10, 10, 2);
    const int steps = db.undoStepCount();
    const std::wstring before = db::dumpDatabase(db);
    ASSERT_TRUE(run({L"LIST", L"@all", L"", L"ID", L"0,0", L"DIST", L"0,0", L"1,1", L"AREA", L"O",
                     L"@pick 12,10"})
                    .ok());
    EXPECT_TRUE(transcriptHas(L"LINE    Layer: \"0\""));
    EXPECT_TRUE(transcriptHas(L"Length = 5.0000,  Angle in XY Plane = 53"));
    EXPECT_TRUE(transcriptHas(L"CIRCLE    Layer: \"0\""));
    EXPECT_TRUE(transcriptHas(L"circumference 12.5664"));
    EXPECT_TRUE(transcriptHas(L"Area = 12.5664, Perimeter = 12.5664"));
    EXPECT_EQ(db.undoStepCount(), steps);
    EXPECT_EQ(db::dumpDatabase(db), before);
}

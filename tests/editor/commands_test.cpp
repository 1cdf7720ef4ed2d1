#include "editor_fixture.h"

#include "support/status.h"

#include "zhost/geom/regions.h"

#include <new>
#include <stdexcept>

using namespace zhost;
using ed::Result;
using zhost::test::EditorTest;

namespace {
int g_runs = 0;
void countingCommand() {
    ++g_runs;
}
} // namespace

TEST(CommandStack, LookupByLocalAndGlobalNamesWithPrefixes) {
    rx::CommandStack stack;
    ASSERT_OK(
        stack.addCommand(L"GRP", L"ZORMA_CONT", L"Z_CONT", rx::cmd::kUsePickSet, &countingCommand));
    EXPECT_EQ(stack.addCommand(L"GRP", L"zorma_cont", L"X", 0, &countingCommand),
              Status::duplicateKey);
    EXPECT_NE(stack.lookup(L"z_cont"), nullptr);
    EXPECT_NE(stack.lookup(L"._ZORMA_CONT"), nullptr);
    EXPECT_NE(stack.lookup(L"_.zorma_cont"), nullptr);
    EXPECT_EQ(stack.lookup(L"_Z_CONT"), nullptr); // "_" asks for the global name
    EXPECT_OK(stack.removeCmd(L"grp", L"ZORMA_CONT"));
    EXPECT_EQ(stack.lookup(L"Z_CONT"), nullptr);
    EXPECT_EQ(stack.removeCmd(L"GRP", L"ZORMA_CONT"), Status::keyNotFound);
}

using CommandLoop = EditorTest;

TEST_F(CommandLoop, UnknownCommandsAreReportedAndTheScriptGoesOn) {
    g_runs = 0;
    rx::commandStack().addCommand(L"TEST", L"COUNTIT", L"COUNTIT", 0, &countingCommand);
    auto src = ed::makeQueue({L"xyz", L"countit", L"_COUNTIT"});
    const ed::RunOutcome out = ed::runCommandLoop(*src);
    EXPECT_EQ(out.kind, ed::RunOutcome::endOfInput);
    EXPECT_TRUE(transcriptHas(L"Unknown command \"XYZ\".  Press F1 for help."));
    EXPECT_EQ(g_runs, 2);
    rx::commandStack().removeGroup(L"TEST");
}

namespace {
void askTwoPoints() {
    geom::Point3d p;
    if (ed::getPoint(nullptr, L"\nFirst point: ", p) == Result::normal)
        ed::getPoint(nullptr, L"\nSecond point: ", p);
}
} // namespace

TEST_F(CommandLoop, InputEndingInAPromptNamesThePrompt) {
    rx::commandStack().addCommand(L"TEST", L"TWOPTS", L"TWOPTS", 0, &askTwoPoints);
    auto src = ed::makeQueue({L"TWOPTS", L"1,1"});
    const ed::RunOutcome out = ed::runCommandLoop(*src);
    EXPECT_EQ(out.kind, ed::RunOutcome::inputEndedInPrompt);
    EXPECT_EQ(out.waitingPrompt, L"Second point:");
    rx::commandStack().removeGroup(L"TEST");
}

TEST_F(CommandLoop, UnknownDirectiveStopsWithItsLineNumber) {
    auto src = ed::makeQueue({L"; header", L"@frobnicate", L"REGEN"});
    const ed::RunOutcome out = ed::runCommandLoop(*src);
    EXPECT_EQ(out.kind, ed::RunOutcome::scriptError);
    EXPECT_EQ(out.lineNumber, 2);
    EXPECT_NE(out.message.find(L"@frobnicate"), std::wstring::npos);
}

TEST_F(CommandLoop, EachCommandIsOneUndoStep) {
    auto src = ed::makeQueue({L"PEDIT", L"^C"});
    addLine(0, 0, 1, 0);
    const int before = db.undoStepCount();
    ed::runCommandLoop(*src);
    EXPECT_LE(db.undoStepCount(), before + 1);
}

namespace {
// Draws a line, then fails the way a bug or a full memory would.
void throwingCommand() {
    ed::command({L"._LINE", geom::Point3d(0, 0, 0), geom::Point3d(5, 0, 0), L""});
    throw std::runtime_error("the widget broke");
}
void allocFailingCommand() {
    throw std::bad_alloc();
}
// Calls the throwing command as a host command would be called, and goes on.
Result g_innerResult = Result::normal;
void callingCommand() {
    g_innerResult = ed::command({L"._THROWS"});
    ed::command({L"._CIRCLE", geom::Point3d(0, 0, 0), 2.0});
}
} // namespace

// An exception out of a command stops that command, not the session: the command is said to
// have failed, what it did is taken back, and the next command runs as usual.
TEST_F(CommandLoop, AnExceptionStopsOnlyItsCommandAndItsChangesAreTakenBack) {
    rx::commandStack().addCommand(L"TEST", L"THROWS", L"THROWS", 0, &throwingCommand);
    rx::commandStack().addCommand(L"TEST", L"NOMEM", L"NOMEM", 0, &allocFailingCommand);
    rx::commandStack().addCommand(L"TEST", L"CALLS", L"CALLS", 0, &callingCommand);
    auto src = ed::makeQueue({L"THROWS", L"NOMEM", L"CIRCLE", L"1,1", L"3"});
    const ed::RunOutcome out = ed::runCommandLoop(*src);
    EXPECT_EQ(out.kind, ed::RunOutcome::endOfInput);
    EXPECT_TRUE(transcriptHas(
        L"THROWS stopped by an internal error (the widget broke). Its changes were taken back."));
    EXPECT_TRUE(transcriptHas(L"NOMEM stopped by an internal error (out of memory)."));
    EXPECT_TRUE(entitiesOfType(L"LINE").empty());
    EXPECT_EQ(entitiesOfType(L"CIRCLE").size(), 1u);
    EXPECT_FALSE(ed::isCommandActive());
    // UNDO now takes back the circle, not a half-closed group of the failed command.
    auto undo = ed::makeQueue({L"UNDO", L"1"});
    ed::runCommandLoop(*undo);
    EXPECT_TRUE(entitiesOfType(L"CIRCLE").empty());

    // Called from another command: the caller is told of the failure and goes on; the whole
    // outer command stays one step.
    auto nested = ed::makeQueue({L"CALLS"});
    ed::runCommandLoop(*nested);
    EXPECT_EQ(g_innerResult, Result::error);
    EXPECT_EQ(entitiesOfType(L"CIRCLE").size(), 1u);
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 1u); // kept: the caller owns the step
    auto undoNested = ed::makeQueue({L"UNDO", L"1"});
    ed::runCommandLoop(*undoNested);
    EXPECT_TRUE(entitiesOfType(L"CIRCLE").empty());
    EXPECT_TRUE(entitiesOfType(L"LINE").empty());
    rx::commandStack().removeGroup(L"TEST");
}

using HostCommands = EditorTest;

TEST_F(HostCommands, RegionFromClosedLoopsKeepsSourcesWithDelobjZero) {
    const auto rect = addRectangle(0, 0, 10, 5);
    addLine(20, 0, 30, 0); // open: no region
    ed::setVarInt(L"CMDECHO", 0);
    ed::setVarInt(L"DELOBJ", 0);
    ed::SelectionSet ss;
    ASSERT_EQ(ss.select(L"X"), Result::normal);
    EXPECT_EQ(ed::command({L"._REGION", ss, L""}), Result::normal);
    ASSERT_EQ(entitiesOfType(L"REGION").size(), 1u);
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 5u);
    EXPECT_TRUE(transcript.empty()); // CMDECHO 0: nothing echoed
    ed::setVarInt(L"DELOBJ", 1);
    ed::SelectionSet again;
    for (db::ObjectId id : rect)
        again.add(id);
    EXPECT_EQ(ed::command({L"._REGION", again, L""}), Result::normal);
    EXPECT_EQ(entitiesOfType(L"REGION").size(), 2u);
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 1u);
}

TEST_F(HostCommands, EchoOnlyWithCmdechoOne) {
    addRectangle(0, 0, 10, 5);
    ed::SelectionSet ss;
    ss.select(L"X");
    ed::command({L"._REGION", ss, L""});
    EXPECT_TRUE(transcriptHas(L"Select objects: "));
    EXPECT_TRUE(transcriptHas(L"1 Region created."));
}

TEST_F(HostCommands, UnionMergesIntoTheFirstRegion) {
    addRectangle(0, 0, 10, 10);
    addRectangle(5, 5, 15, 15);
    ed::setVarInt(L"CMDECHO", 0);
    ed::SelectionSet ss;
    ss.select(L"X");
    ASSERT_EQ(ed::command({L"._REGION", ss, L""}), Result::normal);
    auto regions = entitiesOfType(L"REGION");
    ASSERT_EQ(regions.size(), 2u);
    ed::SelectionSet rs;
    rs.add(regions[0]);
    rs.add(regions[1]);
    ASSERT_EQ(ed::command({L"._UNION", rs}), Result::normal);
    auto left = entitiesOfType(L"REGION");
    ASSERT_EQ(left, (std::vector<db::ObjectId>{regions[0]}));
    db::ObjectPtr<db::Region> r(left[0], db::OpenMode::forRead);
    double area = 0;
    ASSERT_OK(geom::regionArea(r->geometry(), area));
    EXPECT_NEAR(area, 175.0, 1e-6);
}

TEST_F(HostCommands, BoundaryMakesOuterRegionAndOneForEachIsland) {
    addRectangle(0, 0, 100, 60);
    addCircle(30, 30, 10);
    ed::setVarInt(L"CMDECHO", 0);
    ed::setVarInt(L"HPBOUND", 0);
    EXPECT_EQ(ed::command({L".-boundary", ed::CmdPoint{{70, 30}}, L""}), Result::normal);
    const auto regions = entitiesOfType(L"REGION");
    ASSERT_EQ(regions.size(), 2u);
    double areas[2];
    for (int i = 0; i < 2; ++i) {
        db::ObjectPtr<db::Region> r(regions[size_t(i)], db::OpenMode::forRead);
        geom::regionArea(r->geometry(), areas[i]);
    }
    EXPECT_NEAR(std::max(areas[0], areas[1]), 6000.0, 1e-6);
    EXPECT_NEAR(std::min(areas[0], areas[1]), 3.141592653589793 * 100, 1e-3);
    // A point outside every closed area fails.
    EXPECT_EQ(ed::command({L".-boundary", ed::CmdPoint{{500, 500}}, L""}), Result::error);
}

TEST_F(HostCommands, BoundaryAsPolylineWithHpboundOne) {
    addRectangle(0, 0, 10, 10);
    ed::setVarInt(L"CMDECHO", 0);
    EXPECT_EQ(ed::command({L"-BOUNDARY", ed::CmdPoint{{5, 5}}, L""}), Result::normal);
    const auto pls = entitiesOfType(L"LWPOLYLINE");
    ASSERT_EQ(pls.size(), 1u);
    db::ObjectPtr<db::Polyline> p(pls[0], db::OpenMode::forRead);
    EXPECT_TRUE(p->isClosed());
    EXPECT_EQ(p->numVerts(), 4);
}

TEST_F(HostCommands, OffsetBothSidesAndToASide) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    ed::setVarInt(L"CMDECHO", 0);
    EXPECT_EQ(ed::command({L"._OFFSET", 2.0, line, L"B", L""}), Result::normal);
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 3u);
    const db::ObjectId circle = addCircle(50, 50, 5);
    EXPECT_EQ(ed::command({L"._OFFSET", 1.0, circle, ed::CmdPoint{{50, 50}}, L""}), Result::normal);
    const auto circles = entitiesOfType(L"CIRCLE");
    ASSERT_EQ(circles.size(), 2u);
    db::ObjectPtr<db::Circle> inner(circles[1], db::OpenMode::forRead);
    EXPECT_NEAR(inner->radius(), 4.0, 1e-9);
}

TEST_F(HostCommands, MissingAnswersMakeTheCallFail) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    ed::setVarInt(L"CMDECHO", 0);
    EXPECT_EQ(ed::command({L"._OFFSET", 2.0, line}), Result::error);
    EXPECT_EQ(ed::command({L"NOSUCHCMD"}), Result::error);
}

TEST_F(HostCommands, PeditJoinsArcsIntoOneClosedPolyline) {
    const double pi = 3.141592653589793;
    add(std::make_unique<db::Arc>(geom::Point3d(0, 0), 5.0, 0.0, pi));
    add(std::make_unique<db::Arc>(geom::Point3d(0, 0), 5.0, pi, 2 * pi - 0.0001));
    ed::setVarInt(L"CMDECHO", 0);
    ed::SelectionSet ss;
    ss.select(L"X");
    EXPECT_EQ(ed::command({L"_.PEDIT", L"M", ss, L"", L"Y", L"J", L"0.002000", L"X"}),
              Result::normal);
    const auto pls = entitiesOfType(L"LWPOLYLINE");
    ASSERT_EQ(pls.size(), 1u);
    db::ObjectPtr<db::Polyline> p(pls[0], db::OpenMode::forRead);
    EXPECT_TRUE(p->isClosed());
    EXPECT_TRUE(entitiesOfType(L"ARC").empty());
}

TEST_F(HostCommands, UndoMarkAndBackRestoreTheDrawing) {
    addRectangle(0, 0, 10, 5);
    db.clearUndo();
    const std::wstring before = db::dumpDatabase(db);
    ed::setVarInt(L"CMDECHO", 0);
    db.beginUndoGroup(); // as inside an add-on command
    ASSERT_EQ(ed::command({L"_.UNDO", L"M"}), Result::normal);
    ed::SelectionSet ss;
    ss.select(L"X");
    ASSERT_EQ(ed::command({L"_.PEDIT", L"M", ss, L"", L"Y", L"J", L"0.002000", L"X"}),
              Result::normal);
    ASSERT_EQ(entitiesOfType(L"LWPOLYLINE").size(), 1u);
    ASSERT_EQ(ed::command({L"_.UNDO", L"B"}), Result::normal);
    db.endUndoGroup();
    EXPECT_TRUE(entitiesOfType(L"LWPOLYLINE").empty());
    // Only the journal's bookkeeping may differ; every object is as before.
    EXPECT_EQ(db::dumpDatabase(db), before);
}

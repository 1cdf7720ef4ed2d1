// OFFSET where the copy cannot be made: a side the distance does not fit and distances that
// leave the drawing's range are refused with a message, never turned into something else.
#include "editor_fixture.h"

using namespace zhost;
using ed::Result;
using zhost::test::EditorTest;

namespace {

class OffsetEdges : public EditorTest {
protected:
    std::vector<double> circleRadii() {
        std::vector<double> radii;
        for (db::ObjectId id : entitiesOfType(L"CIRCLE")) {
            db::ObjectPtr<db::Circle> c(id, db::OpenMode::forRead);
            radii.push_back(c->radius());
        }
        return radii;
    }
};

} // namespace

TEST_F(OffsetEdges, AnInsideThatDoesNotFitIsRefusedNotFlipped) {
    const db::ObjectId circle = addCircle(0, 0, 10);
    EXPECT_EQ(ed::command({L"._OFFSET", 20.0, circle, ed::CmdPoint{{1, 0}}, L""}), Result::error);
    EXPECT_TRUE(transcriptHas(L"Cannot offset that object to that side"));
    EXPECT_EQ(circleRadii(), std::vector<double>{10});
    // The same distance outward, and a distance that fits inside, are made.
    EXPECT_EQ(ed::command({L"._OFFSET", 20.0, circle, ed::CmdPoint{{50, 0}}, L""}), Result::normal);
    EXPECT_EQ(ed::command({L"._OFFSET", 4.0, circle, ed::CmdPoint{{9, 0}}, L""}), Result::normal);
    EXPECT_EQ(circleRadii(), (std::vector<double>{10, 30, 6}));
}

TEST_F(OffsetEdges, ThePointChoosesTheSideOfALineAndAnArc) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    EXPECT_EQ(ed::command({L"._OFFSET", 3.0, line, ed::CmdPoint{{5, -1}}, L""}), Result::normal);
    const auto lines = entitiesOfType(L"LINE");
    ASSERT_EQ(lines.size(), 2u);
    db::ObjectPtr<db::Line> copy(lines[1], db::OpenMode::forRead);
    EXPECT_NEAR(copy->startPoint().y, -3, 1e-12);
    const db::ObjectId arc =
        add(std::make_unique<db::Arc>(geom::Point3d(0, 0), 2.0, 0.0, 3.141592653589793));
    // Inside the arc, further than its radius: refused as for the circle.
    EXPECT_EQ(ed::command({L"._OFFSET", 5.0, arc, ed::CmdPoint{{0, 1}}, L""}), Result::error);
    EXPECT_EQ(entitiesOfType(L"ARC").size(), 1u);
}

TEST_F(OffsetEdges, DistancesBeyondTheRangeAppendNothing) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    const db::ObjectId circle = addCircle(0, 0, 10);
    EXPECT_EQ(ed::command({L"._OFFSET", 1e300, line, ed::CmdPoint{{5, 1}}, L""}), Result::error);
    EXPECT_EQ(ed::command({L"._OFFSET", 1e300, line, L"B", L""}), Result::error);
    EXPECT_EQ(ed::command({L"._OFFSET", 1e300, circle, ed::CmdPoint{{50, 0}}, L""}), Result::error);
    EXPECT_TRUE(transcriptHas(L"beyond the coordinate range"));
    EXPECT_EQ(entitiesOfType(L"LINE").size(), 1u);
    EXPECT_EQ(circleRadii(), std::vector<double>{10});
}

// Picking and selecting in a drawing of many levels of nested block references: boxes of block
// definitions let a pick look only where a line can be, and they follow changes of a definition.
#include "editor_fixture.h"

#include "support/nested_blocks.h"

using namespace zhost;
using ed::Result;
using zhost::test::EditorTest;

namespace {

// Five levels of twelve: 248,832 squares, three units apart.
class Nesting : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        nested = ztest::MakeNestedBlocks(db, 5, 12, 3);
        // The last square of every level: its corner and right edge.
        const double x = 11 * (1 + 3) + 11 * (45 + 3) + 11 * (573 + 3);
        const double y = 11 * (1 + 3) + 11 * (45 + 3);
        lastSquare = geom::Point3d(x, y);
    }

    bool selectedBy(const wchar_t* mode, geom::Point3d a, geom::Point3d b) {
        ed::SelectionSet ss;
        return ss.select(mode, &a, &b) == Result::normal && ss.contains(nested.reference);
    }

    ztest::NestedBlocks nested;
    geom::Point3d lastSquare;
};

} // namespace

TEST_F(Nesting, APickFindsTheLineOfTheDeepestLastSquareAndMissesTheGaps) {
    ASSERT_NEAR(nested.width, 6909, 1e-9);
    const double aperture = ed::pickAperture();
    ASSERT_LT(aperture, 1.5);
    const geom::Point3d onEdge = lastSquare + geom::Vector3d(1 + aperture / 2, 0.5, 0);
    EXPECT_EQ(ed::entitiesAtPoint(onEdge, aperture), std::vector<db::ObjectId>{nested.reference});
    // In the gap before the last square, and beyond the drawing's end.
    EXPECT_TRUE(ed::entitiesAtPoint(lastSquare + geom::Vector3d(-1.5, 0.5, 0), aperture).empty());
    EXPECT_TRUE(ed::entitiesAtPoint(lastSquare + geom::Vector3d(2.5, 0.5, 0), aperture).empty());
    // Among the first squares too.
    EXPECT_EQ(ed::entitiesAtPoint({0.5, 0.2, 0}, aperture).size(), 1u);
    EXPECT_TRUE(ed::entitiesAtPoint({2.5, 0.5, 0}, aperture).empty());
}

TEST_F(Nesting, WindowsUseTheBoxCrossingsLookInside) {
    EXPECT_TRUE(selectedBy(L"W", {-1, -1, 0}, {7000, 600, 0}));
    EXPECT_FALSE(selectedBy(L"W", {-1, -1, 0}, {100, 100, 0}));
    // Inside the reference's box but in a gap: nothing is crossed.
    const geom::Point3d gap = lastSquare + geom::Vector3d(-1.5, 0.5, 0);
    EXPECT_FALSE(
        selectedBy(L"C", gap - geom::Vector3d(0.3, 0.3, 0), gap + geom::Vector3d(0.3, 0.3, 0)));
    const geom::Point3d edge = lastSquare + geom::Vector3d(1, 0.5, 0);
    EXPECT_TRUE(
        selectedBy(L"C", edge - geom::Vector3d(0.2, 0.2, 0), edge + geom::Vector3d(0.2, 0.2, 0)));
}

TEST_F(Nesting, AChangedDefinitionChangesEveryReferencesBox) {
    EXPECT_TRUE(selectedBy(L"W", {-1, -1, 0}, {7000, 600, 0})); // the boxes are known now
    // Every square grows a tail downwards: the whole drawing now reaches y = -100.
    db::ObjectId tail;
    ASSERT_OK(db.appendEntity(
        nested.leafBlock, std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(0, -100)),
        tail));
    EXPECT_FALSE(selectedBy(L"W", {-1, -1, 0}, {7000, 600, 0}));
    EXPECT_TRUE(selectedBy(L"W", {-1, -101, 0}, {7000, 600, 0}));
    EXPECT_EQ(ed::entitiesAtPoint({0.3, -50, 0}, ed::pickAperture()).size(), 1u);
}

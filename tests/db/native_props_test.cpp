// True colour, transparency and thickness on the entity base; polyline widths per vertex and
// forms; hatch pattern lines under transforms.
#include "db_test_util.h"

#include "support/status.h"

#include "zhost/db/drafting.h"

#include <cmath>
#include <numbers>

using namespace dbtest;

namespace {
constexpr double kPi = std::numbers::pi;

geom::Polyline square() {
    geom::Polyline g;
    g.points = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
    g.bulges = {0, 0, 0, 0};
    return g;
}
} // namespace

TEST(EntityColour, IndexColourReplacesTrueColourAndName) {
    Line l({0, 0, 0}, {1, 0, 0});
    ASSERT_OK(l.setTrueColor(0x123456u));
    ASSERT_OK(l.setColorName(L"BOOK$RED"));
    EXPECT_EQ(l.setTrueColor(0x1000000u), Status::invalidInput);
    EXPECT_EQ(l.trueColor(), 0x123456u);
    ASSERT_OK(l.setColorIndex(3));
    EXPECT_FALSE(l.trueColor().has_value());
    EXPECT_TRUE(l.colorName().empty());
}

TEST(EntityColour, TransparencyTakesOnlyTheStoredForms) {
    Circle c({0, 0, 0}, 1);
    EXPECT_OK(c.setTransparency(transparency::byBlock));
    EXPECT_OK(c.setTransparency(transparency::fromAlpha(0)));
    EXPECT_OK(c.setTransparency(transparency::fromAlpha(255)));
    EXPECT_EQ(c.setTransparency(0x02000100), Status::invalidInput);
    EXPECT_EQ(c.setTransparency(50), Status::invalidInput);
    EXPECT_EQ(c.transparency(), transparency::fromAlpha(255));
}

TEST(EntityThickness, OnlyKindsThatExtrudeTakeOne) {
    Line line({0, 0, 0}, {1, 0, 0});
    EXPECT_OK(line.setThickness(-2));
    EXPECT_EQ(line.setThickness(std::nan("")), Status::invalidInput);
    Ellipse ellipse;
    EXPECT_EQ(ellipse.setThickness(1), Status::notApplicable);
    EXPECT_OK(ellipse.setThickness(0));
    Face face;
    EXPECT_EQ(face.setThickness(1), Status::notApplicable);
    Polyline space;
    ASSERT_OK(space.setForm(PolylineForm::space));
    EXPECT_EQ(space.setThickness(1), Status::notApplicable);
    Polyline flat(square());
    ASSERT_OK(flat.setThickness(1));
    // A polyline with a thickness cannot go into space, where it would lose it.
    EXPECT_EQ(flat.setForm(PolylineForm::space), Status::invalidInput);
}

TEST(EntityColour, ExplodedPolylineHandsOnColourTransparencyAndThickness) {
    Polyline p(square());
    p.setColorIndex(5);
    ASSERT_OK(p.setTrueColor(0xA0B0C0u));
    ASSERT_OK(p.setTransparency(transparency::fromAlpha(77)));
    ASSERT_OK(p.setThickness(4));
    std::vector<std::unique_ptr<Entity>> pieces;
    ASSERT_OK(p.explode(pieces));
    ASSERT_EQ(pieces.size(), 3u); // the square is open: three sides
    for (const auto& e : pieces) {
        EXPECT_EQ(e->trueColor(), 0xA0B0C0u);
        EXPECT_EQ(e->transparency(), transparency::fromAlpha(77));
        EXPECT_EQ(e->thickness(), 4);
    }
    // Copying properties is about appearance, not shape: the thickness stays.
    Line other({0, 0, 0}, {1, 1, 0});
    ASSERT_OK(other.setThickness(9));
    ASSERT_OK(other.setPropertiesFrom(p));
    EXPECT_EQ(other.trueColor(), 0xA0B0C0u);
    EXPECT_EQ(other.thickness(), 9);
}

TEST(PolylineWidths, OneVertexWidthGivesTheOthersTheConstantWidth) {
    Polyline p(square());
    ASSERT_OK(p.setConstantWidth(0.5));
    EXPECT_FALSE(p.hasVertexWidths());
    EXPECT_EQ(p.startWidthAt(2), 0.5);
    ASSERT_OK(p.setWidthsAt(1, 1, 2));
    EXPECT_EQ(p.startWidthAt(0), 0.5);
    EXPECT_EQ(p.endWidthAt(1), 2);
    EXPECT_EQ(p.setWidthsAt(4, 1, 1), Status::outOfRange);
    EXPECT_EQ(p.setWidthsAt(0, -1, 1), Status::invalidInput);
    ASSERT_OK(p.addVertex({-5, 5, 0}));
    EXPECT_EQ(p.startWidthAt(4), 0.5);
    // A uniform scale scales every width; the geometry takes the rest.
    ASSERT_OK(p.transformBy(geom::Matrix3d::scaling(3, {0, 0, 0})));
    EXPECT_DOUBLE_EQ(p.constantWidth(), 1.5);
    EXPECT_DOUBLE_EQ(p.startWidthAt(1), 3);
    EXPECT_DOUBLE_EQ(p.endWidthAt(1), 6);
    ASSERT_OK(p.clearVertexWidths());
    EXPECT_DOUBLE_EQ(p.endWidthAt(1), 1.5);
}

TEST(PolylineWidths, SpaceFormRefusesBulgesAndWidths) {
    Polyline p;
    ASSERT_OK(p.setForm(PolylineForm::space));
    EXPECT_STREQ(p.dxfName(), L"POLYLINE");
    geom::Polyline g = square();
    g.points[2].z = 7;
    ASSERT_OK(p.set(g));
    EXPECT_EQ(p.pointAt(2).z, 7);
    EXPECT_EQ(p.setBulgeAt(0, 0.5), Status::invalidInput);
    EXPECT_EQ(p.addVertex({1, 1, 1}, 0.2), Status::invalidInput);
    EXPECT_EQ(p.setConstantWidth(1), Status::invalidInput);
    EXPECT_EQ(p.setWidthsAt(0, 1, 1), Status::invalidInput);
    g.bulges[1] = 1;
    EXPECT_EQ(p.set(g), Status::invalidInput);
    Polyline bulged(g);
    EXPECT_EQ(bulged.setForm(PolylineForm::space), Status::invalidInput);
    EXPECT_OK(bulged.setForm(PolylineForm::flat));
}

TEST(HatchPatternLines, FollowRotationScaleAndMove) {
    Hatch h;
    ASSERT_OK(h.setPattern(HatchPatternType::predefined, L"ANSI31"));
    HatchLoop loop;
    loop.edges = {geom::Circle{{0, 0, 0}, 5}};
    ASSERT_OK(h.appendLoop(loop));
    ASSERT_OK(h.setPatternLines({{kPi / 4, {1, 0, 0}, {0, 2, 0}, {3, -1}}}));
    // A quarter turn about the origin, twice the size, then 10 to the right.
    const geom::Matrix3d m = geom::Matrix3d::translation({10, 0, 0}) *
                             geom::Matrix3d::scaling(2, {0, 0, 0}) *
                             geom::Matrix3d::rotation(kPi / 2, {0, 0, 1}, {0, 0, 0});
    ASSERT_OK(h.transformBy(m));
    ASSERT_EQ(h.patternLines().size(), 1u);
    const HatchPatternLine& l = h.patternLines()[0];
    EXPECT_NEAR(l.angle, 3 * kPi / 4, 1e-12);
    expectNear(l.base, {10, 2, 0});
    EXPECT_NEAR(l.offset.x, -4, 1e-12);
    EXPECT_NEAR(l.offset.y, 0, 1e-12);
    EXPECT_EQ(l.dashes, (std::vector<double>{6, -2}));
    EXPECT_EQ(h.setPatternLines({{std::nan(""), {}, {}, {}}}), Status::invalidInput);
}

TEST(HatchGradient, NeedsOneOrTwoValidColours) {
    Hatch h;
    HatchGradient g;
    EXPECT_EQ(h.setGradient(g), Status::invalidInput);
    g.colors = {{0xFF0000, 1}, {0x00FF00, -1}, {0x0000FF, -1}};
    EXPECT_EQ(h.setGradient(g), Status::invalidInput);
    g.colors = {{0x1000000, -1}};
    EXPECT_EQ(h.setGradient(g), Status::invalidInput);
    g.colors = {{0xFF0000, 1}};
    ASSERT_OK(h.setGradient(g));
    EXPECT_EQ(h.gradient()->colors.size(), 1u);
    ASSERT_OK(h.setGradient(std::nullopt));
    EXPECT_FALSE(h.gradient().has_value());
}

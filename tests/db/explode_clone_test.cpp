#include "db_test_util.h"

#include "support/status.h"

#include <cmath>
#include <numbers>

using namespace dbtest;

namespace {
constexpr double kPi = std::numbers::pi;

template <class T> std::vector<const T*> ofType(const std::vector<std::unique_ptr<Entity>>& v) {
    std::vector<const T*> out;
    for (const auto& e : v)
        if (auto* t = dynamic_cast<const T*>(e.get()))
            out.push_back(t);
    return out;
}
} // namespace

TEST(Explode, NestedRotatedScaledReferenceComposesTransforms) {
    Database db;
    ObjectId inner, outer, e;
    db.addBlock(L"INNER", inner);
    db.addBlock(L"OUTER", outer, Point3d(1, 0)); // a base point other than the origin
    addLine(db, inner, {0, 0}, {1, 0});
    auto nested = std::make_unique<BlockReference>(Point3d(3, 0), inner);
    nested->setRotation(kPi / 2);
    db.appendEntity(outer, std::move(nested), e);
    addLine(db, outer, {1, 0}, {2, 0});
    auto constant = std::make_unique<AttributeDefinition>();
    constant->setTag(L"C");
    constant->setDefaultText(L"fixed");
    constant->setFlags({false, true, false, false});
    db.appendEntity(outer, std::move(constant), e);
    auto prompt = std::make_unique<AttributeDefinition>();
    prompt->setTag(L"V");
    db.appendEntity(outer, std::move(prompt), e);

    BlockReference ref(Point3d(10, 10), outer);
    ref.setRotation(kPi / 2);
    ref.setScaleFactors({2, 2, 2});
    std::vector<std::unique_ptr<Entity>> pieces;
    ASSERT_OK(ref.explode(pieces));
    ASSERT_EQ(pieces.size(), 3u); // line, nested reference, constant attribute as text
    auto lines = ofType<Line>(pieces);
    ASSERT_EQ(lines.size(), 1u);
    // (1,0) is the base point: it lands on the insertion point; (2,0) goes 2 units up.
    expectNear(lines[0]->startPoint(), {10, 10});
    expectNear(lines[0]->endPoint(), {10, 12});
    auto refs = ofType<BlockReference>(pieces);
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_NEAR(refs[0]->rotation(), kPi, 1e-12);
    EXPECT_NEAR(refs[0]->scaleFactors().x, 2, 1e-12);
    expectNear(refs[0]->position(), {10, 14});
    // Exploding the nested piece again gives the world geometry of the innermost line.
    std::vector<std::unique_ptr<Entity>> inside;
    ASSERT_OK(refs[0]->explode(inside));
    ASSERT_EQ(inside.size(), 1u);
    auto* l = dynamic_cast<Line*>(inside[0].get());
    ASSERT_TRUE(l);
    expectNear(l->startPoint(), {10, 14});
    expectNear(l->endPoint(), {8, 14});
    auto texts = ofType<Text>(pieces);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->textString(), L"fixed");
    EXPECT_EQ(texts[0]->type(), ObjectType::text);
}

TEST(Explode, PolylineIntoLinesAndArcs) {
    geom::Polyline g;
    g.points = {{0, 0}, {10, 0}, {10, 10}};
    g.bulges = {0, 1, 0}; // a half circle from (10,0) to (10,10), counter-clockwise
    Polyline p(g);
    std::vector<std::unique_ptr<Entity>> pieces;
    ASSERT_OK(p.explode(pieces));
    ASSERT_EQ(pieces.size(), 2u);
    auto* arc = dynamic_cast<Arc*>(pieces[1].get());
    ASSERT_TRUE(arc);
    expectNear(arc->center(), {10, 5});
    EXPECT_NEAR(arc->radius(), 5, 1e-12);
    expectNear(arc->startPoint(), {10, 0});
    expectNear(arc->endPoint(), {10, 10});
}

TEST(Explode, NonUniformScaleTurnsCirclesIntoEllipses) {
    Database db;
    ObjectId block, e;
    db.addBlock(L"C", block);
    db.appendEntity(block, std::make_unique<Circle>(Point3d(0, 0), 1), e);
    BlockReference ref(Point3d(), block);
    ref.setScaleFactors({3, 1, 1});
    std::vector<std::unique_ptr<Entity>> pieces;
    ASSERT_OK(ref.explode(pieces));
    auto* el = dynamic_cast<Ellipse*>(pieces.at(0).get());
    ASSERT_TRUE(el);
    EXPECT_NEAR(el->geometry().majorAxis.length(), 3, 1e-12);
    EXPECT_NEAR(el->geometry().radiusRatio, 1.0 / 3, 1e-12);
}

TEST(Transform, MirrorKeepsArcsOnTheirPoints) {
    Arc arc(Point3d(0, 0), 1, 0, kPi / 2);
    ASSERT_OK(arc.transformBy(geom::Matrix3d::mirroring({0, 0}, {0, 1})));
    expectNear(arc.startPoint(), {0, 1});
    expectNear(arc.endPoint(), {-1, 0});
    Circle c(Point3d(0, 0), 1);
    EXPECT_EQ(c.transformBy(geom::Matrix3d::scaling({2, 1, 1})), Status::notApplicable);
}

TEST(DeepClone, CopiesAttributesAndExtendedData) {
    Database db;
    ObjectId block, defId, refId;
    db.addBlock(L"P", block);
    auto def = std::make_unique<AttributeDefinition>();
    def->setTag(L"NAME");
    def->setDefaultText(L"bolt");
    db.appendEntity(block, std::move(def), defId);
    db.appendToModelSpace(std::make_unique<BlockReference>(Point3d(1, 2), block), refId);
    db.registerApp(L"ZORMA_PARTS_CONTENTS");
    {
        ObjectPtr<BlockReference> r(refId, OpenMode::forWrite);
        r->appendAttributesFromBlock();
        r->setXData({xApp(L"ZORMA_PARTS_CONTENTS"), xString(L"B1180"), xInt16(2)});
    }
    ObjectId target;
    db.addBlock(L"TARGET", target);
    IdMap map;
    ASSERT_OK(db.deepCloneObjects({refId}, target, map));
    ASSERT_EQ(map.size(), 2u); // the reference and its attribute
    ObjectPtr<BlockReference> copy(map.at(refId), OpenMode::forRead);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->ownerId(), target);
    EXPECT_EQ(copy->xdata(L"ZORMA_PARTS_CONTENTS")[1].str(), L"B1180");
    auto attrs = copy->attributeIds();
    ASSERT_EQ(attrs.size(), 1u);
    ObjectPtr<BlockReference> orig(refId, OpenMode::forRead);
    EXPECT_NE(attrs[0], orig->attributeIds()[0]);
    ObjectPtr<Attribute> a(attrs[0], OpenMode::forRead);
    EXPECT_EQ(a->tag(), L"NAME");
    EXPECT_EQ(a->textString(), L"bolt");
    EXPECT_EQ(a->ownerId(), map.at(refId));
}

TEST(Insert, CopiesAnotherDrawingAsABlockWithItsLayers) {
    Database symbol;
    ObjectId layer;
    symbol.addLayer(L"AM_7", layer);
    auto l = std::make_unique<Line>(Point3d(0, 0), Point3d(5, 0));
    l->setLayer(L"AM_7");
    ObjectId e;
    symbol.appendToModelSpace(std::move(l), e);
    Database db;
    ObjectId block;
    ASSERT_OK(db.insert(L"SYM", symbol, block));
    ObjectPtr<BlockTableRecord> b(block, OpenMode::forRead);
    auto ids = b->entityIds();
    ASSERT_EQ(ids.size(), 1u);
    ObjectPtr<Line> copy(ids[0], OpenMode::forRead);
    EXPECT_EQ(copy->layer(), L"AM_7");
    EXPECT_EQ(copy->layerId().database(), &db);
}

#pragma once
// A drawing with one entity of every kind the database has, each with properties away from their
// defaults, plus the tables, a block with an attribute definition, a reference with attributes,
// extended data, a group and a custom draw order: what undo, purge and the DXF round trip are
// checked against.
#include "db_test_util.h"

#include "support/status.h"

#include "zhost/db/annotation.h"
#include "zhost/db/drafting.h"

#include <map>
#include <numbers>

namespace dbtest {

inline constexpr const wchar_t* kApp = L"ZORMA_TEST_APP";

// One entity of the kind with every property of its own set away from the default (attributes
// are made by references; they are no free entity). The switch has no default: a new kind fails
// to compile here until it has a sample.
inline std::unique_ptr<Entity> sampleEntity(ObjectType type) {
    constexpr double kPi = std::numbers::pi;
    switch (type) {
    case ObjectType::blockTable:
    case ObjectType::layerTable:
    case ObjectType::linetypeTable:
    case ObjectType::regAppTable:
    case ObjectType::textStyleTable:
    case ObjectType::blockTableRecord:
    case ObjectType::layerTableRecord:
    case ObjectType::linetypeTableRecord:
    case ObjectType::regAppTableRecord:
    case ObjectType::textStyleTableRecord:
    case ObjectType::dictionary:
    case ObjectType::group:
    case ObjectType::sortentsTable:
    case ObjectType::attribute:
        return nullptr;
    case ObjectType::line: {
        auto l = std::make_unique<Line>(Point3d(1, 2, 0), Point3d(31, 12, 0));
        l->setThickness(0.5);
        return l;
    }
    case ObjectType::arc:
        return std::make_unique<Arc>(Point3d(40, 5, 0), 7.5, kPi / 6, 5 * kPi / 4);
    case ObjectType::circle:
        return std::make_unique<Circle>(Point3d(-20, 15, 0), 3.25);
    case ObjectType::ellipse: {
        geom::EllipseArc e;
        e.center = {60, -10, 0};
        e.majorAxis = {8, 6, 0};
        e.radiusRatio = 0.4;
        e.startParam = 0.5;
        e.endParam = 4.0;
        return std::make_unique<Ellipse>(e);
    }
    case ObjectType::polyline: {
        geom::Polyline g;
        g.points = {{0, -30, 0}, {20, -30, 0}, {20, -10, 0}, {0, -10, 0}};
        g.bulges = {0, 0.5, 0, -0.25};
        g.closed = true;
        auto p = std::make_unique<Polyline>(g);
        p->setConstantWidth(0.35);
        p->setWidthsAt(1, 0.5, 1.25); // the others keep the constant width as their own
        return p;
    }
    case ObjectType::spline: {
        geom::Spline s;
        s.degree = 3;
        s.controlPoints = {{0, 40, 0}, {10, 55, 0}, {25, 35, 0}, {40, 50, 0}, {50, 40, 0}};
        s.knots = {0, 0, 0, 0, 0.4, 1, 1, 1, 1};
        s.weights = {1, 0.8, 1.2, 1, 1};
        return std::make_unique<Spline>(s);
    }
    case ObjectType::point: {
        auto p = std::make_unique<Point>(Point3d(7, -7, 2));
        return p;
    }
    case ObjectType::text: {
        auto t = std::make_unique<Text>(Point3d(5, 70, 0), L"部品表 M12 ±0.1", 3.5, kPi / 12);
        t->setWidthFactor(0.8);
        t->setOblique(0.2);
        t->setHorizontalMode(TextHorzMode::center);
        t->setVerticalMode(TextVertMode::middle);
        t->setAlignmentPoint(Point3d(20, 71, 0));
        return t;
    }
    case ObjectType::mtext: {
        auto m = std::make_unique<MText>();
        m->setLocation({80, 80, 0});
        m->setContents(L"一行目\\P二行目 {\\H2;big}");
        m->setTextHeight(4);
        m->setWidth(60);
        m->setRotation(0.3);
        m->setAttachment(MTextAttachment::middleCenter);
        m->setLineSpacingFactor(1.5);
        return m;
    }
    case ObjectType::hatch: {
        auto h = std::make_unique<Hatch>();
        h->setPattern(HatchPatternType::predefined, L"ANSI31");
        h->setPatternAngle(kPi / 4);
        h->setPatternScale(2);
        HatchLoop outer;
        outer.flags = HatchLoop::external | HatchLoop::outermost;
        outer.edges = {geom::LineSeg{{100, 0, 0}, {120, 0, 0}},
                       geom::CircArc{{120, 10, 0}, 10, -kPi / 2, kPi / 2},
                       geom::LineSeg{{120, 20, 0}, {100, 20, 0}},
                       geom::LineSeg{{100, 20, 0}, {100, 0, 0}}};
        h->appendLoop(outer);
        HatchLoop hole;
        hole.flags = HatchLoop::derived;
        hole.edges = {geom::Circle{{108, 10, 0}, 3}};
        h->appendLoop(hole);
        // ANSI31 at this scale and angle, as a file holds it.
        h->setPatternLines({{kPi / 2, {100, 0, 0}, {-6.35, 0, 0}, {}},
                            {kPi / 2, {101, 0, 0}, {-6.35, 0, 0}, {2.5, -1.25, 0}}});
        return h;
    }
    case ObjectType::region: {
        geom::Region r;
        geom::Face f;
        f.outer.edges = {geom::LineSeg{{200, 0, 0}, {230, 0, 0}},
                         geom::LineSeg{{230, 0, 0}, {230, 20, 0}},
                         geom::CircArc{{215, 20, 0}, 15, 0, std::numbers::pi},
                         geom::LineSeg{{200, 20, 0}, {200, 0, 0}}};
        geom::Loop hole;
        hole.edges = {geom::Circle{{215, 10, 0}, 4, {0, 0, -1}}};
        f.holes.push_back(hole);
        r.faces.push_back(f);
        return std::make_unique<Region>(r);
    }
    case ObjectType::blockReference:
        return nullptr; // needs a block: see SampleDrawing
    case ObjectType::attributeDefinition: {
        auto d = std::make_unique<AttributeDefinition>();
        d->setTag(L"SIZE");
        d->setPrompt(L"呼び径");
        d->setDefaultText(L"M10");
        d->setPosition({0, 5, 0});
        d->setHeight(2);
        d->setFlags({false, false, true, false});
        return d;
    }
    case ObjectType::solid: {
        auto q = std::make_unique<Solid>(std::array<Point3d, 4>{
            Point3d(300, 0, 2), Point3d(310, 0, 2), Point3d(300, 8, 2), Point3d(312, 9, 2)});
        q->setNormal({0, 0, -1});
        q->setThickness(1.5);
        return q;
    }
    case ObjectType::trace:
        return std::make_unique<Trace>(std::array<Point3d, 4>{
            Point3d(320, 0, 0), Point3d(330, 0, 0), Point3d(320, 2, 0), Point3d(330, 2, 0)});
    case ObjectType::face: {
        auto f = std::make_unique<Face>(std::array<Point3d, 4>{
            Point3d(340, 0, 0), Point3d(350, 0, 1), Point3d(350, 10, 2), Point3d(340, 10, 3)});
        f->setInvisibleEdges(5);
        return f;
    }
    case ObjectType::xline:
        return std::make_unique<XLine>(Point3d(0, -50, 0), geom::Vector3d(1, 1, 0));
    case ObjectType::ray:
        return std::make_unique<Ray>(Point3d(10, -50, 3), geom::Vector3d(0, -2, 1));
    case ObjectType::dimension: {
        // Its picture block comes from SampleDrawing. Upside down (normal -Z), so that the
        // points kept in the object's system are converted both ways.
        auto d = std::make_unique<Dimension>(DimensionKind::aligned);
        d->setFlags(32 | 128);
        d->setNormal({0, 0, -1});
        d->setPoint(13, {400, 0, 0});
        d->setPoint(14, {430, 10, 0});
        d->setDefPoint({428, 16, 0});
        d->setTextPosition({415, 12, 0});
        d->setInsertion({0.5, -0.25, 0});
        d->setRotation(0.25);
        d->setOblique(0.125);
        d->setTextRotation(0.3);
        d->setHorizontalDirection(0.5);
        d->setUserText(L"<> 穴");
        d->setAttachment(2);
        RawTags extra;
        extra.add(100, "AcDbDimension");
        extra.add(72, "2");
        extra.add(41, "1.5");
        d->setExtraTags(std::move(extra));
        return d;
    }
    case ObjectType::leader: {
        // Its annotation comes from SampleDrawing.
        auto l =
            std::make_unique<Leader>(std::vector<Point3d>{{450, 0, 0}, {460, 10, 0}, {470, 10, 0}});
        l->setArrowhead(false);
        l->setSpline(true);
        l->setAnnotationType(0);
        l->setHook(1, true);
        l->setTextSize(2.5, 12);
        l->setDirections({0, 1, 0}, {1, 2, 0}, {0.5, 0, 0});
        RawTags extra;
        extra.add(100, "AcDbLeader");
        extra.add(77, "3");
        l->setExtraTags(std::move(extra));
        return l;
    }
    case ObjectType::rawEntity: {
        // A kind the host keeps as its tags: non-ASCII text and numbers as the file wrote them.
        RawRecord r;
        r.kind = L"SHAPE";
        r.body.add(100, "AcDbShape");
        r.body.add(10, "12.5");
        r.body.add(20, "-3.25");
        r.body.add(30, "0.0");
        r.body.add(40, "2.5");
        r.body.add(2, "記号");
        r.body.add(50, "30.000000001");
        return std::make_unique<RawEntity>(std::move(r));
    }
    case ObjectType::rawObject:
        return nullptr;
    }
    return nullptr;
}

// Every object type, in declaration order.
inline std::vector<ObjectType> allObjectTypes() {
    std::vector<ObjectType> out;
    for (int t = 0; t <= int(ObjectType::rawObject); ++t)
        out.push_back(ObjectType(t));
    return out;
}

// Common properties away from their defaults (the thickness where the kind has one).
inline void setCommonProperties(Entity& e, int n) {
    e.setLayer(L"外形線");
    e.setColorIndex(1 + n % 200);
    e.setTrueColor(0x102030u * std::uint32_t(n % 7 + 1));
    if (n % 2)
        e.setColorName(L"DIC COLOR GUIDE(R)$DIC " + std::to_wstring(100 + n));
    e.setTransparency(n % 3 ? transparency::fromAlpha(255 - 10 * n) : transparency::byBlock);
    e.setLinetype(L"DASHED");
    e.setLinetypeScale(0.5 + n);
    e.setLineWeight(35);
    if (e.hasThickness())
        e.setThickness(0.25 * n);
}

// Entities of the forms a kind's one sample leaves out: the older polylines (flat, with bulges,
// tapering widths, an elevation and a normal of their own; in space, with a z per vertex) and a
// gradient hatch.
inline std::vector<std::unique_ptr<Entity>> sampleForms() {
    std::vector<std::unique_ptr<Entity>> out;
    geom::Polyline g;
    g.points = {{0, 0, -4}, {-10, 0, -4}, {-10, 8, -4}};
    g.bulges = {0.4, 0, 0};
    g.normal = {0, 0, -1};
    auto flat = std::make_unique<Polyline>(g);
    flat->setForm(PolylineForm::flat);
    flat->setWidthsAt(0, 0, 2);
    flat->setWidthsAt(2, 1, 0.5);
    out.push_back(std::move(flat));
    geom::Polyline s;
    s.points = {{0, 0, 0}, {5, 0, 3}, {5, 5, -2}, {0, 5, 7.5}};
    s.bulges = {0, 0, 0, 0};
    s.closed = true;
    auto space = std::make_unique<Polyline>();
    space->setForm(PolylineForm::space);
    space->set(s);
    out.push_back(std::move(space));
    auto h = std::make_unique<Hatch>();
    HatchLoop loop;
    loop.edges = {geom::Circle{{-50, -50, 0}, 6}};
    h->appendLoop(loop);
    HatchGradient grad;
    grad.name = L"INVSPHERICAL";
    grad.angle = 0.5;
    grad.shift = 1;
    grad.colors = {{0xFF8000, 30}, {0x0000C0, -1}};
    h->setGradient(grad);
    out.push_back(std::move(h));
    return out;
}

struct SampleDrawing {
    Database db;
    ObjectId layer, dashed, style, block, ref, dimBlock;
    std::map<ObjectType, ObjectId> entities; // one of each kind in model space
    std::vector<ObjectId> forms;             // sampleForms() in model space

    SampleDrawing() {
        db.addLayer(L"外形線", layer);
        ObjectPtr<LayerTableRecord>(layer, OpenMode::forWrite)->setColorIndex(3);
        {
            ObjectPtr<LinetypeTable> lt(db.linetypeTableId(), OpenMode::forWrite);
            auto rec = std::make_unique<LinetypeTableRecord>(L"DASHED");
            rec->setDescription(L"__ __ __");
            rec->setDashes({{6, L""}, {-3, L""}});
            lt->add(std::move(rec), dashed);
        }
        {
            ObjectPtr<TextStyleTable> st(db.textStyleTableId(), OpenMode::forWrite);
            st->add(std::make_unique<TextStyleTableRecord>(L"JIS"), style);
        }
        db.registerApp(kApp);
        db.addBlock(L"BOLT", block, Point3d(1, 1, 0));
        addLine(db, block, {0, 0}, {10, 0});
        ObjectId defId;
        db.appendEntity(block, sampleEntity(ObjectType::attributeDefinition), defId);

        db.addBlock(L"*D1", dimBlock);
        ObjectPtr<BlockTableRecord>(dimBlock, OpenMode::forWrite)->setFlags(1);
        addLine(db, dimBlock, {400, 0}, {430, 10});

        int n = 0;
        for (ObjectType t : allObjectTypes()) {
            std::unique_ptr<Entity> e = sampleEntity(t);
            if (t == ObjectType::blockReference) {
                auto r = std::make_unique<BlockReference>(Point3d(150, 60, 0), block);
                r->setRotation(0.5);
                r->setScaleFactors({2, 3, 1});
                e = std::move(r);
            }
            if (!e || t == ObjectType::attributeDefinition)
                continue;
            if (auto* d = dynamic_cast<Dimension*>(e.get()))
                d->setBlock(dimBlock);
            setCommonProperties(*e, ++n);
            if (auto* text = dynamic_cast<Text*>(e.get()))
                text->setTextStyle(style);
            if (auto* m = dynamic_cast<MText*>(e.get()))
                m->setTextStyle(style);
            ObjectId id;
            EXPECT_OK(db.appendToModelSpace(std::move(e), id)) << int(t);
            ObjectPtr<Entity>(id, OpenMode::forWrite)
                ->setXData({xApp(kApp), xString(L"値 " + std::to_wstring(n)), xInt16(n),
                            xReal(n * 0.25), xPoint({double(n), 1, 2})});
            entities[t] = id;
        }
        for (std::unique_ptr<Entity>& e : sampleForms()) {
            setCommonProperties(*e, ++n);
            ObjectId id;
            EXPECT_OK(db.appendToModelSpace(std::move(e), id));
            forms.push_back(id);
        }
        ref = entities.at(ObjectType::blockReference);
        ObjectPtr<Leader>(entities.at(ObjectType::leader), OpenMode::forWrite)
            ->setAnnotation(entities.at(ObjectType::mtext));
        ObjectPtr<BlockReference>(ref, OpenMode::forWrite)->appendAttributesFromBlock();
        {
            ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forWrite);
            auto g = std::make_unique<Group>(L"ボルトと線");
            g->append({entities.at(ObjectType::line), ref});
            ObjectId gid;
            groups->setAt(L"組1", std::move(g), gid);
        }
        ObjectPtr<SortentsTable> order;
        db.getSortentsTable(db.modelSpaceId(), OpenMode::forWrite, order);
        order->moveToBottom({entities.at(ObjectType::hatch)});
        order.close();
        db.clearUndo();
    }

    ObjectId of(ObjectType t) const { return entities.at(t); }
};

} // namespace dbtest

#include "test_drawings.h"

#include <fstream>
#include <sstream>

using namespace zhost;
using namespace zhost::db;

namespace dxftest {

namespace {

ObjectId add(Database& db, ObjectId block, std::unique_ptr<Entity> e) {
    ObjectId id;
    EXPECT_OK(db.appendEntity(block, std::move(e), id));
    return id;
}

} // namespace

void buildSampleDrawing(Database& db) {
    ObjectId outline, center;
    db.addLayer(L"外形線", outline);
    db.addLayer(L"Hidden", center);
    {
        ObjectPtr<LayerTableRecord> l(outline, OpenMode::forWrite);
        l->setColorIndex(1);
        l->setLineWeight(50);
        l->setDescription(L"外形 outline");
    }
    {
        ObjectPtr<LinetypeTable> t(db.linetypeTableId(), OpenMode::forWrite);
        auto rec = std::make_unique<LinetypeTableRecord>(L"DASHED");
        rec->setDescription(L"Dashed __ __");
        rec->setDashes({{0.5, {}}, {-0.25, {}}});
        ObjectId ltId;
        t->add(std::move(rec), ltId);
        ObjectPtr<LayerTableRecord> l(center, OpenMode::forWrite);
        l->setLinetype(ltId);
        l->setOff(true);
    }
    db.registerApp(L"ZORMA_TEST");

    // A block with attribute definitions.
    ObjectId bolt;
    db.addBlock(L"BOLT", bolt, {1, 2, 0});
    add(db, bolt, std::make_unique<Circle>(geom::Point3d(0, 0), 5));
    {
        auto def = std::make_unique<AttributeDefinition>();
        def->setTag(L"SIZE");
        def->setPrompt(L"呼び径");
        def->setDefaultText(L"M10");
        def->setPosition({0, -8});
        def->setHeight(2.5);
        add(db, bolt, std::move(def));
    }

    const ObjectId ms = db.modelSpaceId();
    auto line = std::make_unique<Line>(geom::Point3d(0, 0), geom::Point3d(100, 0));
    line->setLayer(outline);
    line->setColorIndex(1);
    line->setXData({xApp(L"ZORMA_TEST"), xString(L"ボルト"), xInt16(12), xReal(2.5),
                    xPoint({1, 2, 3}), xInt32(70000), xOpen(), xString(L"x"), xClose()});
    const ObjectId lineId = add(db, ms, std::move(line));
    add(db, ms, std::make_unique<Arc>(geom::Point3d(0, 0), 30, 0.0, 1.5707963267948966));
    {
        auto c = std::make_unique<Circle>(geom::Point3d(50, 50, 0), 20);
        c->setLineWeight(35);
        c->setLinetypeScale(2);
        add(db, ms, std::move(c));
    }
    {
        geom::EllipseArc e;
        e.center = {120, 40, 0};
        e.majorAxis = {20, 0, 0};
        e.radiusRatio = 0.5;
        e.startParam = 0.5;
        e.endParam = 4;
        add(db, ms, std::make_unique<Ellipse>(e));
    }
    {
        geom::Polyline p;
        p.points = {{0, 0, 0}, {40, 0, 0}, {40, 20, 0}};
        p.bulges = {0.5, 0, 0};
        p.closed = true;
        auto pl = std::make_unique<Polyline>(p);
        pl->setConstantWidth(0.5);
        add(db, ms, std::move(pl));
    }
    {
        geom::Spline s;
        s.degree = 3;
        s.controlPoints = {{0, 0, 0}, {10, 20, 0}, {30, 20, 0}, {40, 0, 0}};
        s.knots = {0, 0, 0, 0, 1, 1, 1, 1};
        s.weights = {1, 2, 2, 1};
        add(db, ms, std::make_unique<Spline>(s));
    }
    add(db, ms, std::make_unique<Point>(geom::Point3d(5, 5, 0)));
    {
        auto t = std::make_unique<Text>(geom::Point3d(10, 80, 0), L"部品表 M12 \\ ok", 5, 0.25);
        t->setHorizontalMode(TextHorzMode::center);
        t->setVerticalMode(TextVertMode::middle);
        t->setAlignmentPoint({20, 82, 0});
        t->setWidthFactor(0.8);
        add(db, ms, std::move(t));
    }
    {
        auto m = std::make_unique<MText>();
        m->setLocation({10, 120, 0});
        m->setContents(L"一行目\\P二行目 " + std::wstring(300, L'x'));
        m->setTextHeight(4);
        m->setWidth(60);
        m->setRotation(0.5);
        m->setAttachment(MTextAttachment::middleCenter);
        add(db, ms, std::move(m));
    }
    {
        auto h = std::make_unique<Hatch>();
        h->setColorIndex(3);
        HatchLoop outer;
        geom::Polyline p;
        p.points = {{60, 0, 0}, {90, 0, 0}, {90, 30, 0}, {60, 30, 0}};
        p.bulges = {0, 0, 0.3, 0};
        p.closed = true;
        outer.edges.push_back(p);
        h->appendLoop(outer);
        HatchLoop edges;
        edges.flags = HatchLoop::external;
        edges.edges.push_back(geom::LineSeg{{100, 0, 0}, {130, 0, 0}});
        geom::CircArc a;
        a.center = {115, 0, 0};
        a.radius = 15;
        a.startAngle = 0;
        a.endAngle = 3.141592653589793;
        edges.edges.push_back(a);
        h->appendLoop(edges);
        add(db, ms, std::move(h));
    }
    {
        auto h = std::make_unique<Hatch>();
        h->setPattern(HatchPatternType::predefined, L"ANSI31");
        h->setPatternScale(2);
        h->setPatternAngle(0.5);
        HatchLoop loop;
        loop.edges.push_back(geom::Circle{{0, 100, 0}, 10, {0, 0, 1}});
        h->appendLoop(loop);
        add(db, ms, std::move(h));
    }
    {
        geom::Region r;
        geom::Face f;
        f.outer.edges.push_back(geom::LineSeg{{0, 0, 0}, {10, 0, 0}});
        f.outer.edges.push_back(geom::LineSeg{{10, 0, 0}, {10, 10, 0}});
        f.outer.edges.push_back(geom::LineSeg{{10, 10, 0}, {0, 0, 0}});
        geom::Loop hole;
        hole.edges.push_back(geom::Circle{{7, 3, 0}, 1, {0, 0, 1}});
        f.holes.push_back(hole);
        r.faces.push_back(f);
        add(db, ms, std::make_unique<Region>(r));
    }
    ObjectId refId;
    {
        auto ref = std::make_unique<BlockReference>(geom::Point3d(200, 0, 0), bolt);
        ref->setRotation(0.5);
        ref->setScaleFactors({2, 2, 1});
        refId = add(db, ms, std::move(ref));
        ObjectPtr<BlockReference> r(refId, OpenMode::forWrite);
        auto attr = std::make_unique<Attribute>();
        attr->setTag(L"SIZE");
        attr->setTextString(L"M12");
        attr->setPosition({200, -8, 0});
        ObjectId aid;
        EXPECT_OK(r->appendAttribute(std::move(attr), aid));
    }

    // A parametric block: a line bound to parameter LEN.
    ObjectId pin, pinLine;
    db.addBlock(L"PIN", pin);
    pinLine = add(db, pin, std::make_unique<Line>(geom::Point3d(0, 0), geom::Point3d(10, 0)));
    EXPECT_OK(param::setParameter(pin, L"LEN", L"25"));
    EXPECT_OK(param::setBinding(pinLine, {L"END.X", L"LEN", {}}));
    add(db, ms, std::make_unique<BlockReference>(geom::Point3d(0, 200, 0), pin));

    // A group and a draw order.
    {
        ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forWrite);
        ObjectId gid;
        groups->setAt(L"組1", std::make_unique<Group>(L"ボルトと線"), gid);
        groups.close();
        ObjectPtr<Group> g(gid, OpenMode::forWrite);
        g->append(lineId);
        g->append(refId);
    }
    {
        ObjectPtr<SortentsTable> sort;
        EXPECT_OK(db.getSortentsTable(ms, OpenMode::forWrite, sort));
        EXPECT_OK(sort->moveToBottom({refId}));
    }
    // A paper-space entity.
    add(db, db.paperSpaceId(), std::make_unique<Line>(geom::Point3d(0, 0), geom::Point3d(1, 1)));
    db.setVar(L"TEXTSIZE", 3.5);
    db.setVar(L"LUPREC", std::int32_t(3));
    db.setVar(L"PDMODE", std::int32_t(3));
}

std::map<std::wstring, std::wstring> dumpsByHandle(const Database& db) {
    std::map<std::wstring, std::wstring> out;
    for (ObjectId id : db.allObjectIds()) {
        ObjectPtr<DbObject> o(id, OpenMode::forRead);
        if (o)
            out[id.handle().toHex()] = dumpObject(*o);
    }
    return out;
}

std::map<std::wstring, int> entityCounts(const Database& db, ObjectId block) {
    std::map<std::wstring, int> out;
    ObjectPtr<BlockTableRecord> b(block, OpenMode::forRead);
    if (!b)
        return out;
    for (ObjectId id : b->entityIds()) {
        ObjectPtr<Entity> e(id, OpenMode::forRead);
        if (e)
            ++out[e->dxfName()];
    }
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string dataPath(const char* name) {
    return std::string(ZORMA_SOURCE_DIR) + "/tests/dxf/data/" + name;
}

} // namespace dxftest

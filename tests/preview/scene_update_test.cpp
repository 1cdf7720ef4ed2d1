// The kept scene brought up to the drawing entity by entity: after edits, erasures, additions and
// undos its picture is the one a freshly collected scene paints, pixel for pixel, and the one an
// uncached render paints; what reaches beyond single entities collects the whole scene.
#include "zhost/db/db.h"
#include "zhost/db/drafting.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/preview.h"
#include "zhost/preview/scene_cache.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace zhost;
using namespace zhost::db;
namespace preview = zhost::preview;

namespace {

constexpr int kW = 360, kH = 260;

using Pixels = std::vector<std::uint32_t>;

Pixels paint(preview::SceneCache& cache, const Database& db, const preview::RenderOptions& o) {
    Pixels px(std::size_t(kW) * kH, 0);
    EXPECT_OK(cache.render(db, {px.data(), kW, kH, kW * 4}, {0, 0, kW, kH}, o));
    return px;
}

Pixels uncached(const Database& db, const preview::RenderOptions& o) {
    Pixels px(std::size_t(kW) * kH, 0);
    EXPECT_OK(preview::renderToPixels(db, {}, {px.data(), kW, kH, kW * 4}, {0, 0, kW, kH}, o));
    return px;
}

int differing(const Pixels& a, const Pixels& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

int clearlyDiffering(const Pixels& a, const Pixels& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(int((a[i] >> shift) & 255) - int((b[i] >> shift) & 255)) > 96) {
                ++n;
                break;
            }
    return n;
}

std::uint32_t at(const Pixels& p, int x, int y) {
    return p[std::size_t(y) * kW + x] & 0xFFFFFF;
}

std::vector<ObjectId> modelEntities(const Database& db) {
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    return ms->entityIds();
}

ObjectId add(Database& db, std::unique_ptr<Entity> e) {
    ObjectId id;
    EXPECT_OK(db.appendToModelSpace(std::move(e), id));
    return id;
}

// The kept scene against a fresh one and the uncached picture, and whether it was updated.
void expectFollows(preview::SceneCache& kept, const Database& db, const preview::RenderOptions& o,
                   const std::string& step, bool updated = true) {
    SCOPED_TRACE(step);
    const Pixels got = paint(kept, db, o);
    const preview::SceneCacheStats stats = kept.stats();
    preview::SceneCache fresh;
    EXPECT_EQ(0, differing(paint(fresh, db, o), got));
    // Crossing lines of one pen are stroked together in a kept scene: a few edge pixels differ.
    EXPECT_LE(clearlyDiffering(uncached(db, o), got), 40);
    if (updated) {
        EXPECT_TRUE(stats.updated);
        EXPECT_FALSE(stats.collected);
    } else {
        EXPECT_TRUE(stats.collected);
    }
}

// A fixture drawing with undo on, and a fixed view of the window's size on its middle, `zoom`
// times closer than its extents fitted.
void readFixture(const char* name, double zoom, Database& db, preview::RenderOptions& o, double& x0,
                 double& y0, double& x1, double& y1) {
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(std::string(ZORMA_SOURCE_DIR) + "/" + name, db, report));
    db.setUndoRecording(true);
    ASSERT_TRUE(preview::modelExtents(db, x0, y0, x1, y1));
    o.width = kW;
    o.height = kH;
    o.viewScale = zoom * std::min((kW - 20) / (x1 - x0), (kH - 20) / (y1 - y0));
    o.viewCenterX = (x0 + x1) / 2;
    o.viewCenterY = (y0 + y1) / 2;
}

} // namespace

// Drawings with lines, arcs, Japanese texts, hatches, dimensions and blocks, in a fixed view
// and zoomed in on their middle (where the grid offers what is drawn).
TEST(SceneUpdate, FollowsEditsErasuresAdditionsAndUndos) {
    for (const char* name : {"samples/drawings/flange_joint.dxf", "samples/drawings/holes.dxf",
                             "samples/drawings/plate.dxf", "tests/dxf/corpus/hatch_issues.dxf"})
        for (double zoom : {1.0, 4.0}) {
            SCOPED_TRACE(std::string(name) + " zoom " + std::to_string(zoom));
            Database db;
            double x0, y0, x1, y1;
            preview::RenderOptions o;
            ASSERT_NO_FATAL_FAILURE(readFixture(name, zoom, db, o, x0, y0, x1, y1));
            preview::SceneCache kept;
            (void)paint(kept, db, o);
            const std::vector<ObjectId> ids = modelEntities(db);
            ASSERT_GE(ids.size(), 4u);

            {
                UndoGroup step(db);
                ObjectPtr<Entity> e(ids[ids.size() / 2], OpenMode::forWrite);
                e->transformBy(geom::Matrix3d::translation({(x1 - x0) / 7, (y1 - y0) / 9, 0}));
                EXPECT_OK(e->setColorIndex(1));
            }
            expectFollows(kept, db, o, "moved");
            {
                UndoGroup step(db);
                for (std::size_t i = 0; i < ids.size(); i += 3)
                    EXPECT_OK(ObjectPtr<Entity>(ids[i], OpenMode::forWrite)->erase());
                auto l = std::make_unique<Line>(geom::Point3d(x0, y1), geom::Point3d(x1, y0));
                l->setColorIndex(5);
                l->setLineWeight(70);
                add(db, std::move(l));
            }
            expectFollows(kept, db, o, "erased and added");
            ASSERT_OK(db.undo());
            expectFollows(kept, db, o, "erasure undone");
            ASSERT_OK(db.undo());
            expectFollows(kept, db, o, "move undone");
        }
}

// An entity collected again keeps its place in the drawing order: what was drawn after it stays
// on top of it, and what was drawn before stays under it.
TEST(SceneUpdate, AnEditedEntityKeepsItsPlaceInTheDrawingOrder) {
    Database db;
    auto solid = [&](double x, int color) {
        auto s = std::make_unique<Solid>(
            std::array<geom::Point3d, 4>{geom::Point3d(x, 0), geom::Point3d(x + 40, 0),
                                         geom::Point3d(x, 40), geom::Point3d(x + 40, 40)});
        s->setColorIndex(color);
        return add(db, std::move(s));
    };
    solid(0, 3);                       // green, under
    const ObjectId red = solid(20, 1); // red, in the middle
    solid(40, 5);                      // blue, on top
    preview::RenderOptions o;
    o.viewScale = 3;
    o.viewCenterX = 50;
    o.viewCenterY = 20;
    preview::SceneCache kept;
    (void)paint(kept, db, o);
    ObjectPtr<Solid>(red, OpenMode::forWrite)->transformBy(geom::Matrix3d::translation({2, 0, 0}));
    const Pixels p = paint(kept, db, o);
    EXPECT_TRUE(kept.stats().updated);
    // World (x, 20) is on pixel (180 + 3 (x - 50), 130).
    EXPECT_EQ(0xFF0000u, at(p, 180 + 3 * (25 - 50), 130)) << "red over green";
    EXPECT_EQ(0x0000FFu, at(p, 180 + 3 * (55 - 50), 130)) << "blue over red";
    preview::SceneCache fresh;
    EXPECT_EQ(0, differing(paint(fresh, db, o), p));
}

// Changes that reach beyond the entities collect the whole scene; those that change nothing
// drawn in model space keep it as it is.
TEST(SceneUpdate, WhatReachesBeyondEntitiesCollectsTheWholeScene) {
    Database db;
    ObjectId layer, used, unused;
    db.addLayer(L"PARTS", layer);
    db.addBlock(L"USED", used);
    db.addBlock(L"UNUSED", unused);
    ObjectId id;
    ASSERT_OK(db.appendEntity(used, std::make_unique<Circle>(geom::Point3d(), 5), id));
    ASSERT_OK(db.appendEntity(unused, std::make_unique<Circle>(geom::Point3d(), 5), id));
    add(db, std::make_unique<BlockReference>(geom::Point3d(70, 30, 0), used));
    auto l = std::make_unique<Line>(geom::Point3d(0, 0), geom::Point3d(100, 60));
    l->setLayer(layer);
    const ObjectId line = add(db, std::move(l));
    add(db, std::make_unique<Line>(geom::Point3d(0, 60), geom::Point3d(100, 0)));
    preview::RenderOptions o;
    o.viewScale = 3;
    o.viewCenterX = 50;
    o.viewCenterY = 30;
    preview::SceneCache kept;
    (void)paint(kept, db, o);

    const std::vector<std::pair<const char*, std::function<void()>>> global = {
        {"layer colour",
         [&] { ObjectPtr<LayerTableRecord>(layer, OpenMode::forWrite)->setColorIndex(1); }},
        {"LTSCALE", [&] { ASSERT_OK(db.setVar(L"LTSCALE", 2.0)); }},
        {"shown block",
         [&] {
             ObjectId c;
             ASSERT_OK(db.appendEntity(used, std::make_unique<Circle>(geom::Point3d(), 9), c));
         }},
        {"draw order",
         [&] {
             ObjectPtr<SortentsTable> order;
             ASSERT_OK(db.getSortentsTable(db.modelSpaceId(), OpenMode::forWrite, order));
             ASSERT_OK(order->moveToBottom({line}));
         }},
    };
    for (const auto& [what, change] : global) {
        change();
        expectFollows(kept, db, o, what, false);
    }

    const std::vector<std::pair<const char*, std::function<void()>>> local = {
        {"CLAYER", [&] { ASSERT_OK(db.setVar(L"CLAYER", L"PARTS")); }},
        {"new layer",
         [&] {
             ObjectId l2;
             db.addLayer(L"MORE", l2);
         }},
        {"block not shown",
         [&] {
             ObjectId c;
             ASSERT_OK(db.appendEntity(unused, std::make_unique<Circle>(geom::Point3d(), 9), c));
         }},
        {"paper space",
         [&] {
             ObjectId c;
             ASSERT_OK(db.appendEntity(db.paperSpaceId(),
                                       std::make_unique<Circle>(geom::Point3d(), 9), c));
         }},
        {"after a reorder",
         [&] {
             ObjectPtr<Line>(line, OpenMode::forWrite)->setEndPoint({100, 40, 0});
         }},
    };
    for (const auto& [what, change] : local) {
        change();
        expectFollows(kept, db, o, what);
    }
}

// Zoomed in, the grid offers what the view shows: entities added far outside the area it was
// built for are offered too.
TEST(SceneUpdate, AddedEntitiesOutsideTheGridAreDrawn) {
    Database db;
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j)
            add(db, std::make_unique<Circle>(geom::Point3d(i * 3.0, j * 3.0, 0), 1));
    preview::RenderOptions o;
    o.viewScale = 10;
    o.viewCenterX = 500;
    o.viewCenterY = 500;
    preview::SceneCache kept;
    EXPECT_EQ(0, differing(paint(kept, db, o), uncached(Database(), o)));
    auto far = std::make_unique<Line>(geom::Point3d(490, 500), geom::Point3d(510, 500));
    far->setColorIndex(1);
    far->setLineWeight(50);
    add(db, std::move(far));
    const Pixels p = paint(kept, db, o);
    EXPECT_TRUE(kept.stats().updated);
    EXPECT_EQ(0xFF0000u, at(p, kW / 2, kH / 2));
    preview::SceneCache fresh;
    EXPECT_EQ(0, differing(paint(fresh, db, o), p));
}

// After an edit, the picture painted before with only the changed area painted again is the
// picture painted whole.
TEST(SceneUpdate, RepaintingTheChangedAreaGivesTheWholePicture) {
    for (const char* name : {"samples/drawings/flange_joint.dxf", "samples/drawings/plate.dxf"}) {
        SCOPED_TRACE(name);
        Database db;
        double x0, y0, x1, y1;
        preview::RenderOptions o;
        ASSERT_NO_FATAL_FAILURE(readFixture(name, 1, db, o, x0, y0, x1, y1));
        preview::SceneCache kept;
        Pixels picture = paint(kept, db, o);
        const std::vector<ObjectId> ids = modelEntities(db);
        ASSERT_GE(ids.size(), 4u);

        const std::vector<std::pair<const char*, std::function<void()>>> edits = {
            {"moved",
             [&] {
                 ObjectPtr<Entity> e(ids[ids.size() / 2], OpenMode::forWrite);
                 e->transformBy(geom::Matrix3d::translation({(x1 - x0) / 20, 0, 0}));
             }},
            {"recoloured",
             [&] { ObjectPtr<Entity>(ids[1], OpenMode::forWrite)->setColorIndex(1); }},
            {"erased", [&] { ObjectPtr<Entity>(ids.back(), OpenMode::forWrite)->erase(); }},
            {"undone", [&] { ASSERT_OK(db.undo(2)); }},
            {"CLAYER", [&] { ASSERT_OK(db.setVar(L"CLAYER", L"0")); }},
        };
        for (const auto& [what, edit] : edits) {
            SCOPED_TRACE(what);
            const Pixels before = picture;
            edit();
            preview::PixelRect area;
            ASSERT_TRUE(kept.changedArea(db, o, 0, area));
            ASSERT_OK(
                kept.render(db, {picture.data(), kW, kH, kW * 4}, {0, 0, kW, kH}, o, 0, &area));
            preview::SceneCache fresh;
            const Pixels whole = paint(fresh, db, o);
            // Where two pens cross inside the area, which one ends on top follows the pens'
            // last use among what is painted: a pixel or two may differ from the whole picture.
            EXPECT_LE(clearlyDiffering(whole, picture), 4);
            EXPECT_LE(differing(whole, picture), 40);
            // Outside the area, nothing was touched.
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) {
                        ASSERT_EQ(at(before, x, y), at(picture, x, y)) << x << "," << y;
                    }
            if (std::string(what) == "CLAYER") {
                EXPECT_TRUE(area.right <= area.left) << "nothing drawn changed";
            }
        }
    }
    // A short line moved: the area is about its old and new places, 3 pixels a unit.
    Database db;
    add(db, std::make_unique<Line>(geom::Point3d(0, 0), geom::Point3d(100, 80)));
    const ObjectId dash =
        add(db, std::make_unique<Line>(geom::Point3d(50, 40), geom::Point3d(52, 40)));
    preview::RenderOptions o;
    o.width = kW;
    o.height = kH;
    o.viewScale = 3;
    o.viewCenterX = 50;
    o.viewCenterY = 40;
    preview::SceneCache kept;
    (void)paint(kept, db, o);
    ObjectPtr<Line>(dash, OpenMode::forWrite)->setEndPoint({54, 40, 0});
    // The selection's highlight brings the scene up to the drawing before the picture is
    // painted again: the area still says what changed since the picture.
    Pixels highlight(std::size_t(kW) * kH, 0);
    ASSERT_OK(kept.renderHighlight(db, {highlight.data(), kW, kH, kW * 4}, {0, 0, kW, kH}, o, 0,
                                   {dash}, preview::HighlightPen{}));
    preview::PixelRect area;
    ASSERT_TRUE(kept.changedArea(db, o, 0, area));
    EXPECT_GE(area.right - area.left, 4 * 3);
    EXPECT_LE(area.right - area.left, 4 * 3 + 10);
    EXPECT_LE(area.bottom - area.top, 10);
    // Fitted to the extents, an edit may move everything: the whole picture is painted.
    add(db, std::make_unique<Line>(geom::Point3d(0, 0), geom::Point3d(200, 10)));
    EXPECT_FALSE(kept.changedArea(db, {}, 0, area));
}

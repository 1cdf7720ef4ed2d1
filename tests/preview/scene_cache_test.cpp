// The drawing window's kept scene: the same picture as an uncached render, and collected again
// exactly when the drawing or the screen state changed.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/preview.h"
#include "zhost/preview/scene_cache.h"

#include "support/status.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace zhost;
using namespace zhost::db;
namespace preview = zhost::preview;

namespace {

constexpr int kW = 400, kH = 300;

struct Picture {
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(std::size_t(kW) * kH, 0);
    preview::PixelTarget target() { return {px.data(), kW, kH, kW * 4}; }
    std::uint32_t at(int x, int y) const { return px[std::size_t(y) * kW + x] & 0xFFFFFF; }
};

Picture uncached(const Database& db, const preview::RenderOptions& o = {}) {
    Picture p;
    EXPECT_OK(preview::renderToPixels(db, {}, p.target(), {0, 0, kW, kH}, o));
    return p;
}

Picture cached(preview::SceneCache& cache, const Database& db, const preview::RenderOptions& o = {},
               std::uint64_t screen = 0) {
    Picture p;
    EXPECT_OK(cache.render(db, p.target(), {0, 0, kW, kH}, o, screen));
    return p;
}

int channelGap(std::uint32_t a, std::uint32_t b) {
    int gap = 0;
    for (int shift : {0, 8, 16})
        gap = std::max(gap, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return gap;
}

// Pixels that differ clearly. Lines of one pen are stroked together in the cached picture, so
// anti-aliased edges where they cross may differ a little; a stale or misplaced entity differs by
// whole lines of pixels.
// With `inkOnly`, only whether there is ink counts: where a pixel holds several entities of
// different pens, which colour ends on top depends on the order pens are stroked in.
int clearlyDifferent(const Picture& a, const Picture& b, bool inkOnly = false) {
    int n = 0;
    for (std::size_t i = 0; i < a.px.size(); ++i)
        if (inkOnly ? (channelGap(a.px[i], 0xFFFFFF) > 96) != (channelGap(b.px[i], 0xFFFFFF) > 96)
                    : channelGap(a.px[i], b.px[i]) > 96)
            ++n;
    return n;
}

int ink(const Picture& p) {
    int n = 0;
    for (std::uint32_t v : p.px)
        if ((v & 0xFFFFFF) != 0xFFFFFF)
            ++n;
    return n;
}

// Saves a picture next to the test programs, to look at when a comparison fails.
void save(Picture& p, const std::string& name) {
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> s(
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(p.px.data()),
                                            CAIRO_FORMAT_ARGB32, kW, kH, kW * 4),
        cairo_surface_destroy);
    cairo_surface_write_to_png(s.get(), (std::string(ZORMA_BINARY_DIR) + "/" + name).c_str());
}

void expectSame(Picture want, Picture got, const std::string& what, bool inkOnly = false) {
    // A few pixels of a picture of thousands of ink pixels: edges of crossing lines, or (ink
    // only) the rim of things smaller than a pixel, drawn as discs.
    const int bad = clearlyDifferent(want, got, inkOnly);
    const int allowed = std::max(6, ink(want) / (inkOnly ? 40 : 100));
    EXPECT_LE(bad, allowed) << what;
    if (bad > allowed) {
        save(want, "scene_cache_" + what + "_uncached.png");
        save(got, "scene_cache_" + what + "_cached.png");
    }
}

ObjectId add(Database& db, std::unique_ptr<Entity> e) {
    ObjectId id;
    EXPECT_OK(db.appendToModelSpace(std::move(e), id));
    return id;
}

std::unique_ptr<Line> line(double x0, double y0, double x1, double y1, int color = 7) {
    auto l = std::make_unique<Line>(geom::Point3d(x0, y0), geom::Point3d(x1, y1));
    l->setColorIndex(color);
    l->setLineWeight(50); // 2 pixels: whole pixels of colour where it lies on a pixel's edge
    return l;
}

// (0,0)-(100,70) fitted into 400 x 300 pixels with the margin of 10: world (x, y) on pixel
// (10 + 3.8x, 283 - 3.8y).
void frame(Database& db) {
    add(db, std::make_unique<Point>(geom::Point3d(0, 0)));
    add(db, std::make_unique<Point>(geom::Point3d(100, 70)));
}
int px(double x) {
    return int(10 + 3.8 * x);
}
int py(double y) {
    return int(283 - 3.8 * y);
}

bool dark(std::uint32_t rgb) {
    return channelGap(rgb, 0) < 96;
}

} // namespace

// Real drawings: lines, arcs, texts in Japanese, hatches, dimensions, blocks; before and after an
// edit and after its undo.
TEST(SceneCache, SameAsUncachedPictureThroughAnEditAndItsUndo) {
    for (const char* name : {"samples/drawings/flange_joint.dxf", "samples/drawings/holes.dxf",
                             "samples/drawings/plate.dxf", "tests/dxf/corpus/hatch_issues.dxf"}) {
        SCOPED_TRACE(name);
        Database db;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxf(std::string(ZORMA_SOURCE_DIR) + "/" + name, db, report));
        db.setUndoRecording(true);
        preview::SceneCache cache;
        const Picture before = uncached(db);
        ASSERT_GT(ink(before), 100);
        expectSame(before, cached(cache, db), "first");
        EXPECT_TRUE(cache.stats().collected);
        expectSame(before, cached(cache, db), "kept");
        EXPECT_FALSE(cache.stats().collected);

        // The edit: the first entity with ink of its own goes, a red line across is added.
        std::vector<ObjectId> ids;
        {
            ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
            ids = ms->entityIds();
        }
        {
            UndoGroup step(db);
            ObjectPtr<Entity> first(ids.at(ids.size() / 2), OpenMode::forWrite);
            ASSERT_OK(first->erase());
            first.close();
            double x0, y0, x1, y1;
            ASSERT_TRUE(preview::modelExtents(db, x0, y0, x1, y1));
            auto l = line(x0, y0, x1, y1, 1);
            l->setLineWeight(100);
            add(db, std::move(l));
        }
        const Picture edited = uncached(db);
        ASSERT_GT(clearlyDifferent(before, edited), 100); // the edit shows
        expectSame(edited, cached(cache, db), "edited");
        EXPECT_TRUE(cache.stats().collected || cache.stats().updated);

        ASSERT_OK(db.undo());
        expectSame(before, cached(cache, db), "undone");
        EXPECT_TRUE(cache.stats().collected || cache.stats().updated);
    }
}

TEST(SceneCache, LayerOffFrozenAndHiddenOnScreenAreCollectedAgain) {
    Database db;
    frame(db);
    ObjectId layer;
    db.addLayer(L"PARTS", layer);
    auto a = line(10, 20, 90, 20, 1);
    a->setLayer(layer);
    add(db, std::move(a));
    const ObjectId b = add(db, line(10, 50, 90, 50, 5));
    preview::SceneCache cache;
    std::set<ObjectId> hidden;
    preview::RenderOptions o;
    o.hiddenOnScreen = [&](ObjectId id) { return hidden.count(id) != 0; };
    std::uint64_t screen = 0;
    EXPECT_EQ(0xFF0000u, cached(cache, db, o, screen).at(px(50), py(20)));

    auto setLayer = [&](bool off, bool frozen) {
        ObjectPtr<LayerTableRecord> l(layer, OpenMode::forWrite);
        l->setOff(off);
        l->setFrozen(frozen);
    };
    setLayer(true, false);
    EXPECT_EQ(0xFFFFFFu, cached(cache, db, o, screen).at(px(50), py(20))) << "off";
    setLayer(false, false);
    EXPECT_EQ(0xFF0000u, cached(cache, db, o, screen).at(px(50), py(20))) << "on";
    setLayer(false, true);
    EXPECT_EQ(0xFFFFFFu, cached(cache, db, o, screen).at(px(50), py(20))) << "frozen";

    hidden.insert(b);
    EXPECT_EQ(0x0000FFu, cached(cache, db, o, screen).at(px(50), py(50)))
        << "the screen serial is what tells the cache of a hide";
    ++screen;
    EXPECT_EQ(0xFFFFFFu, cached(cache, db, o, screen).at(px(50), py(50))) << "hidden";
    hidden.clear();
    ++screen;
    EXPECT_EQ(0x0000FFu, cached(cache, db, o, screen).at(px(50), py(50))) << "shown";
}

// Fixed views into a crowded drawing: only what the grid offers is drawn, so anything it missed
// at the window's edges would be absent. The last line drawn stays on top of the lines of its
// colour drawn before it and of the others.
TEST(SceneCache, ZoomedAndPannedViewsMatchTheUncachedPicture) {
    Database db;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 20; ++j) {
            add(db, line(i * 5, j * 5, i * 5 + 2, j * 5 + 1, 1 + (i + j) % 6));
            auto c = std::make_unique<Circle>(geom::Point3d(i * 5 + 3.5, j * 5 + 3, 0), 1);
            add(db, std::move(c));
        }
    add(db, line(-50, 40, 200, 60, 3));
    add(db, line(1000, 1000, 1001, 1001, 3));
    preview::SceneCache cache;
    for (double scale : {0.3, 4.0, 25.0})
        for (double cx : {3.0, 75.0, 147.0}) {
            SCOPED_TRACE("scale " + std::to_string(scale) + " centre " + std::to_string(cx));
            preview::RenderOptions o;
            o.viewScale = scale;
            o.viewCenterX = cx;
            o.viewCenterY = 50;
            // Far out, several entities share each pixel.
            expectSame(uncached(db, o), cached(cache, db, o),
                       "view_" + std::to_string(int(scale * 10)) + "_" + std::to_string(int(cx)),
                       scale < 1);
        }
}

// Far out, everything in this drawing is smaller than a pixel: still every entity leaves ink
// where it is, and zoomed in, the circles are circles again.
TEST(SceneCache, ThingsSmallerThanAPixelAreDotsUntilZoomedIn) {
    Database db;
    for (int i = 0; i < 200; ++i) {
        auto c = std::make_unique<Circle>(geom::Point3d(i * 10.0, 0, 0), 0.5);
        c->setLineWeight(50);
        add(db, std::move(c));
    }
    preview::SceneCache cache;
    preview::RenderOptions far;
    far.viewScale = 0.19; // circle i on pixel (200 + (10i - 995) * 0.19, 150)
    far.viewCenterX = 995;
    const Picture whole = cached(cache, db, far);
    EXPECT_EQ(200u, cache.stats().dots);
    for (int i : {0, 57, 199})
        EXPECT_TRUE(dark(whole.at(int(std::lround(200 + (10 * i - 995) * 0.19)), 150)))
            << "circle " << i;
    preview::RenderOptions o;
    o.viewScale = 100;
    const Picture close = cached(cache, db, o);
    EXPECT_EQ(0u, cache.stats().dots);
    EXPECT_TRUE(dark(close.at(kW / 2 + 50, kH / 2))); // on the circle at the origin
    EXPECT_EQ(0xFFFFFFu, close.at(kW / 2, kH / 2));   // its empty middle
    expectSame(uncached(db, o), close, "zoomed_in");
}

// A reference too small to show its content is collected as its box; zoomed in past that, the
// scene is collected again and shows the content.
TEST(SceneCache, TinyReferencesShowTheirContentWhenZoomedIn) {
    Database db;
    ObjectId ring;
    db.addBlock(L"RING", ring);
    {
        auto c = std::make_unique<Circle>(geom::Point3d(), 0.01);
        c->setLineWeight(50);
        ObjectId id;
        ASSERT_OK(db.appendEntity(ring, std::move(c), id));
    }
    add(db, std::make_unique<BlockReference>(geom::Point3d(50, 35, 0), ring));
    frame(db);
    preview::SceneCache cache;
    (void)cached(cache, db);
    preview::RenderOptions o;
    o.viewScale = 10000; // the ring is 200 pixels wide
    o.viewCenterX = 50;
    o.viewCenterY = 35;
    const Picture close = cached(cache, db, o);
    EXPECT_TRUE(cache.stats().collected);
    EXPECT_EQ(0xFFFFFFu, close.at(kW / 2, kH / 2)); // not the filled box
    EXPECT_TRUE(dark(close.at(kW / 2 + 100, kH / 2)));
}

TEST(SceneCache, BadTargetsAreRefusedAndEmptyDrawingsPaintTheBackground) {
    Database db;
    preview::SceneCache cache;
    Picture p;
    EXPECT_EQ(Status::invalidInput,
              cache.render(db, {nullptr, kW, kH, kW * 4}, {0, 0, kW, kH}, {}));
    EXPECT_EQ(Status::invalidInput, cache.render(db, p.target(), {5, 5, 5, 9}, {}));
    EXPECT_EQ(Status::invalidInput, cache.render(db, {p.px.data(), kW, kH, 8}, {0, 0, kW, kH}, {}));
    EXPECT_OK(cache.render(db, p.target(), {0, 0, kW, kH}, {}));
    EXPECT_EQ(0, ink(p));
    EXPECT_EQ(0xFFFFFFFFu, p.px[0]);
}

// The window's zoom to extents asks the kept scene, and the picture at those extents that follows
// finds the scene kept.
TEST(SceneCache, ExtentsAreThoseOfThePictureAndKeepTheSceneForIt) {
    Database db;
    frame(db);
    ObjectId ring;
    db.addBlock(L"RING", ring);
    {
        ObjectId id;
        ASSERT_OK(db.appendEntity(ring, std::make_unique<Circle>(geom::Point3d(), 5), id));
    }
    add(db, std::make_unique<BlockReference>(geom::Point3d(120, 35, 0), ring));
    preview::SceneCache cache;
    preview::RenderOptions o;
    o.width = kW;
    o.height = kH;
    double x0, y0, x1, y1, ux0, uy0, ux1, uy1;
    ASSERT_TRUE(cache.extents(db, o, 0, x0, y0, x1, y1));
    ASSERT_TRUE(preview::modelExtents(db, ux0, uy0, ux1, uy1));
    EXPECT_DOUBLE_EQ(ux0, x0);
    EXPECT_DOUBLE_EQ(uy0, y0);
    EXPECT_NEAR(125, x1, 1e-9);
    EXPECT_DOUBLE_EQ(uy1, y1);
    o.viewScale = std::min((kW - 20) / (x1 - x0), (kH - 20) / (y1 - y0));
    o.viewCenterX = (x0 + x1) / 2;
    o.viewCenterY = (y0 + y1) / 2;
    expectSame(uncached(db, o), cached(cache, db, o), "extents");
    EXPECT_FALSE(cache.stats().collected);

    Database empty;
    EXPECT_FALSE(cache.extents(empty, o, 0, x0, y0, x1, y1));
}

namespace {

constexpr std::uint32_t kRed = 0xFF0000;

bool red(std::uint32_t rgb) {
    return channelGap(rgb, kRed) < 64;
}

// The picture of the drawing with the highlight of `ids` over it, as the window composes it.
Picture highlighted(preview::SceneCache& cache, const Database& db, std::vector<ObjectId> ids,
                    const preview::RenderOptions& o = {}) {
    Picture p = cached(cache, db, o);
    std::sort(ids.begin(), ids.end());
    preview::HighlightPen pen;
    pen.rgb = kRed;
    pen.widthPx = 3;
    pen.dashPx = 0; // continuous, so every pixel along a highlighted line can be checked
    EXPECT_OK(cache.renderHighlight(db, p.target(), {0, 0, kW, kH}, o, 0, ids, pen));
    return p;
}

int redIn(const Picture& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            n += red(p.at(x, y));
    return n;
}

} // namespace

// The selection's highlight is painted from the kept scene: over the selected entities only,
// where the picture shows them, in any view, and for a selection of any size.
TEST(SceneCacheHighlight, OnlyTheSelectedEntitiesAreDrawnAgainInThePen) {
    Database db;
    frame(db);
    const ObjectId low = add(db, line(10, 20, 90, 20));
    const ObjectId high = add(db, line(10, 50, 90, 50));
    const ObjectId ring = add(db, std::make_unique<Circle>(geom::Point3d(50, 35, 0), 5));
    preview::SceneCache cache;
    const Picture plain = cached(cache, db);
    EXPECT_EQ(0, redIn(plain, 0, 0, kW - 1, kH - 1));

    const Picture p = highlighted(cache, db, {ring, low});
    EXPECT_FALSE(cache.stats().collected) << "the kept scene serves the highlight";
    for (double x : {10.5, 30.0, 89.5})
        EXPECT_TRUE(red(p.at(px(x), py(20)))) << "along the low line at x " << x;
    EXPECT_TRUE(red(p.at(px(55), py(35)))) << "on the circle";
    EXPECT_EQ(0, redIn(p, 0, py(50) - 3, kW - 1, py(50) + 3)) << "the high line is not selected";
    // Only near what is highlighted did the picture change.
    int changed = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (p.at(x, y) != plain.at(x, y) && std::abs(y - py(20)) > 3 &&
                std::hypot(x - px(50), y - py(35)) > 3.8 * 5 + 4)
                ++changed;
    EXPECT_EQ(0, changed);

    // Nothing selected, or only ids the picture does not show: the picture stays as it is.
    ObjectId block, inBlock;
    db.addBlock(L"B", block);
    ASSERT_OK(db.appendEntity(block, line(0, 0, 100, 70), inBlock));
    const Picture none = highlighted(cache, db, {});
    const Picture foreign = highlighted(cache, db, {inBlock, ObjectId()});
    EXPECT_EQ(0, redIn(none, 0, 0, kW - 1, kH - 1));
    EXPECT_EQ(0, redIn(foreign, 0, 0, kW - 1, kH - 1));
    (void)high;
}

TEST(SceneCacheHighlight, FollowsTheViewOfThePicture) {
    Database db;
    frame(db);
    const ObjectId low = add(db, line(10, 20, 90, 20));
    preview::SceneCache cache;
    preview::RenderOptions o;
    o.viewScale = 20; // the line's middle at the picture's centre, 20 pixels a unit
    o.viewCenterX = 50;
    o.viewCenterY = 22;
    const Picture p = highlighted(cache, db, {low}, o);
    EXPECT_TRUE(red(p.at(kW / 2, kH / 2 + 40)));
    EXPECT_EQ(0, redIn(p, 0, 0, kW - 1, kH / 2 + 35));

    // Paths are cut to the picture, closing sides included: of a text's box (drawn from its lower
    // left corner round to its upper left) only the closing side is in this view.
    const ObjectId closed =
        add(db, std::make_unique<Text>(geom::Point3d(10, 10, 0), L"MMMMMMMM", 10.0));
    o.viewScale = 40; // x = 10 on pixel 200, the box's other sides off the picture
    o.viewCenterX = 10;
    o.viewCenterY = 15;
    const Picture side = highlighted(cache, db, {closed}, o);
    for (int y : {5, kH / 2, kH - 5})
        EXPECT_TRUE(red(side.at(kW / 2, y))) << "the closing side at y " << y;
    EXPECT_EQ(0, redIn(side, kW / 2 + 4, 0, kW - 1, kH - 1));
}

// The window once drew at most the first 2,000 selected entities; the scene has no such limit.
TEST(SceneCacheHighlight, EverySelectedEntityOfALargeSelectionIsHighlighted) {
    Database db;
    frame(db);
    std::vector<ObjectId> all;
    for (int i = 0; i < 2500; ++i) // 50 rows of 50 short lines over the frame
        all.push_back(
            add(db, line(2 * (i % 50), 1.4 * (i / 50), 2 * (i % 50) + 1.5, 1.4 * (i / 50))));
    preview::SceneCache cache;
    const Picture p = highlighted(cache, db, all);
    for (int i : {0, 1999, 2001, 2499}) {
        const double x = 2 * (i % 50) + 0.75, y = 1.4 * (i / 50);
        EXPECT_TRUE(red(p.at(px(x), py(y)))) << "line " << i;
    }
}

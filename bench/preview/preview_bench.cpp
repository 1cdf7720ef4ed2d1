// The drawing window's redraw: model space of the 100,000-entity drawing (bench/dxf) painted into
// a window-sized bitmap, whole (zoom to extents) and zoomed in on a corner; uncached as
// `zorma render` paints it, and through the window's kept scene, cold (collected for the frame)
// and warm (kept); redraws after an edit of one entity, an erasure of 1,000 and its undo, the
// kept scene updated from the change log and the picture painted whole or only where the edit
// changed it; one jig frame (the kept picture copied and a dragged block drawn over it); and the
// extents the zoom to extents asks for.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/overlay.h"
#include "zhost/preview/preview.h"
#include "zhost/preview/scene_cache.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace zhost;

namespace {

constexpr int kWidth = 1280, kHeight = 800;

// A part as the jig drags it: an outline with holes, a few dozen strokes.
db::ObjectId addPartBlock(db::Database& db) {
    db::ObjectId block;
    db.addBlock(L"BENCH_PART", block);
    for (int i = 0; i < 8; ++i) {
        const double a = i * 0.785398, b = (i + 1) * 0.785398;
        db::ObjectId id;
        db.appendEntity(
            block,
            std::make_unique<db::Line>(geom::Point3d(20 * std::cos(a), 20 * std::sin(a), 0),
                                       geom::Point3d(20 * std::cos(b), 20 * std::sin(b), 0)),
            id);
        db.appendEntity(
            block,
            std::make_unique<db::Circle>(geom::Point3d(12 * std::cos(a), 12 * std::sin(a), 0), 2),
            id);
    }
    db::ObjectId id;
    db.appendEntity(block, std::make_unique<db::Circle>(geom::Point3d(), 5), id);
    return block;
}

struct Bench {
    db::Database db;
    db::ObjectId part;
    bool loaded = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The file bench/dxf's benchmark leaves behind; read once.
Bench& drawing() {
    static Bench b;
    static const bool once = [] {
        const char* dir = std::getenv("TMPDIR");
        const std::string file = std::string(dir && *dir ? dir : "/tmp") + "/zorma_bench_100k.dxf";
        dxf::ReadReport report;
        b.loaded = ok(dxf::readDxf(file, b.db, report)) &&
                   preview::modelExtents(b.db, b.x0, b.y0, b.x1, b.y1);
        if (b.loaded)
            b.part = addPartBlock(b.db);
        return true;
    }();
    (void)once;
    return b;
}

// The window's view: the extents fitted, or `zoom` times closer on the lower left corner.
preview::RenderOptions viewOf(const Bench& b, double zoom) {
    preview::RenderOptions o;
    o.viewScale = zoom * std::min((kWidth - 20) / (b.x1 - b.x0), (kHeight - 20) / (b.y1 - b.y0));
    o.viewCenterX = zoom == 1 ? (b.x0 + b.x1) / 2 : b.x0 + (b.x1 - b.x0) / (2 * zoom);
    o.viewCenterY = zoom == 1 ? (b.y0 + b.y1) / 2 : b.y0 + (b.y1 - b.y0) / (2 * zoom);
    return o;
}

bool ready(benchmark::State& state, const Bench& b) {
    if (!b.loaded)
        state.SkipWithError("run dxf_bench first: it writes the 100,000-entity drawing");
    return b.loaded;
}

void uncached(benchmark::State& state, double zoom) {
    Bench& b = drawing();
    if (!ready(state, b))
        return;
    std::vector<std::uint32_t> pixels(size_t(kWidth) * kHeight);
    const preview::PixelTarget target{pixels.data(), kWidth, kHeight, kWidth * 4};
    const preview::RenderOptions o = viewOf(b, zoom);
    for (auto _ : state) {
        if (!ok(preview::renderToPixels(b.db, {}, target, {0, 0, kWidth, kHeight}, o)))
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(pixels.data());
    }
}

void cached(benchmark::State& state, double zoom, bool cold) {
    Bench& b = drawing();
    if (!ready(state, b))
        return;
    std::vector<std::uint32_t> pixels(size_t(kWidth) * kHeight);
    const preview::PixelTarget target{pixels.data(), kWidth, kHeight, kWidth * 4};
    const preview::RenderOptions o = viewOf(b, zoom);
    preview::SceneCache cache;
    (void)cache.render(b.db, target, {0, 0, kWidth, kHeight}, o);
    for (auto _ : state) {
        if (cold)
            cache.invalidate();
        if (!ok(cache.render(b.db, target, {0, 0, kWidth, kHeight}, o)))
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    const preview::SceneCacheStats& s = cache.stats();
    state.counters["prims"] = double(s.prims);
    state.counters["stroked"] = double(s.stroked);
    state.counters["dots"] = double(s.dots);
    state.counters["batches"] = double(s.penBatches);
}

void BM_RedrawWhole100k(benchmark::State& state) {
    uncached(state, 1);
}
BENCHMARK(BM_RedrawWhole100k)->Unit(benchmark::kMillisecond);

void BM_RedrawZoomedIn100k(benchmark::State& state) {
    uncached(state, 10);
}
BENCHMARK(BM_RedrawZoomedIn100k)->Unit(benchmark::kMillisecond);

void BM_CachedRedrawWholeCold100k(benchmark::State& state) {
    cached(state, 1, true);
}
BENCHMARK(BM_CachedRedrawWholeCold100k)->Unit(benchmark::kMillisecond);

void BM_CachedRedrawWholeWarm100k(benchmark::State& state) {
    cached(state, 1, false);
}
BENCHMARK(BM_CachedRedrawWholeWarm100k)->Unit(benchmark::kMillisecond);

void BM_CachedRedrawZoomedInWarm100k(benchmark::State& state) {
    cached(state, 10, false);
}
BENCHMARK(BM_CachedRedrawZoomedInWarm100k)->Unit(benchmark::kMillisecond);

// Redraws after edits as the window makes them: the edit, the kept scene brought up to the
// drawing through the database's change log, and the picture painted again whole or only over
// the area the edit changed. `untimed` runs after each redraw (taking the edit back) outside
// the measure.
enum class Repaint { whole, changedArea };

struct EditLoop {
    std::function<void(Bench&, int)> edit;    // timed, before the redraw
    std::function<void(Bench&)> untimed = {}; // after the redraw, followed by a redraw
    std::function<void(Bench&)> prepare = {}; // untimed, before the edit, followed by a redraw
};

void afterEdit(benchmark::State& state, Repaint repaint, const EditLoop& loop) {
    Bench& b = drawing();
    if (!ready(state, b))
        return;
    std::vector<std::uint32_t> pixels(size_t(kWidth) * kHeight);
    const preview::PixelTarget target{pixels.data(), kWidth, kHeight, kWidth * 4};
    const preview::PixelRect whole{0, 0, kWidth, kHeight};
    preview::RenderOptions o = viewOf(b, 1);
    o.width = kWidth;
    o.height = kHeight;
    preview::SceneCache cache;
    (void)cache.render(b.db, target, whole, o);
    preview::SceneCacheStats stats; // of bringing the scene up to the drawing
    auto redraw = [&] {
        preview::PixelRect area;
        if (repaint == Repaint::changedArea && cache.changedArea(b.db, o, 0, area)) {
            stats = cache.stats();
            return cache.render(b.db, target, whole, o, 0, &area);
        }
        const Status s = cache.render(b.db, target, whole, o);
        stats = cache.stats();
        return s;
    };
    double updated = 0, collected = 0, recollected = 0;
    int i = 0;
    for (auto _ : state) {
        if (loop.prepare) {
            state.PauseTiming();
            loop.prepare(b);
            (void)redraw();
            state.ResumeTiming();
        }
        loop.edit(b, i++);
        if (!ok(redraw()))
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(pixels.data());
        updated += stats.updated;
        collected += stats.collected;
        recollected += double(stats.recollected);
        if (loop.untimed) {
            state.PauseTiming();
            loop.untimed(b);
            (void)redraw();
            state.ResumeTiming();
        }
    }
    state.counters["updated"] = benchmark::Counter(updated, benchmark::Counter::kAvgIterations);
    state.counters["collected"] = benchmark::Counter(collected, benchmark::Counter::kAvgIterations);
    state.counters["recollected"] =
        benchmark::Counter(recollected, benchmark::Counter::kAvgIterations);
}

// Entities of model space spread over the drawing.
std::vector<db::ObjectId> spread(Bench& b, std::size_t n) {
    db::ObjectPtr<db::BlockTableRecord> ms(b.db.modelSpaceId(), db::OpenMode::forRead);
    const std::vector<db::ObjectId> all = ms->entityIds();
    std::vector<db::ObjectId> out;
    for (std::size_t k = 0; k < n && !all.empty(); ++k)
        out.push_back(all[k * all.size() / n]);
    return out;
}

void moveOne(Bench& b, int i) {
    static const db::ObjectId id = spread(b, 2).at(1);
    db::UndoGroup step(b.db);
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
    e->transformBy(geom::Matrix3d::translation({i % 2 ? -1.0 : 1.0, 0, 0}));
}

void eraseThousand(Bench& b, int) {
    static const std::vector<db::ObjectId> ids = spread(b, 1000);
    db::UndoGroup step(b.db);
    for (db::ObjectId id : ids)
        db::ObjectPtr<db::Entity>(id, db::OpenMode::forWrite)->erase();
}

void undoOne(Bench& b, int = 0) {
    b.db.undo();
}

void BM_RedrawAfterEditingOne100k(benchmark::State& state) {
    afterEdit(state, Repaint::whole, {moveOne});
}
BENCHMARK(BM_RedrawAfterEditingOne100k)->Unit(benchmark::kMillisecond);

void BM_RedrawChangedAreaAfterEditingOne100k(benchmark::State& state) {
    afterEdit(state, Repaint::changedArea, {moveOne});
}
BENCHMARK(BM_RedrawChangedAreaAfterEditingOne100k)->Unit(benchmark::kMillisecond);

void BM_RedrawAfterErasing1000_100k(benchmark::State& state) {
    afterEdit(state, Repaint::whole, {eraseThousand, [](Bench& b) { undoOne(b); }});
}
BENCHMARK(BM_RedrawAfterErasing1000_100k)->Unit(benchmark::kMillisecond);

void BM_RedrawAfterUndoingAnErasureOf1000_100k(benchmark::State& state) {
    afterEdit(state, Repaint::whole, {undoOne, {}, [](Bench& b) { eraseThousand(b, 0); }});
}
BENCHMARK(BM_RedrawAfterUndoingAnErasureOf1000_100k)->Unit(benchmark::kMillisecond);

void BM_RedrawAfterUndoingOneEdit100k(benchmark::State& state) {
    afterEdit(state, Repaint::changedArea, {undoOne, {}, [](Bench& b) { moveOne(b, 0); }});
}
BENCHMARK(BM_RedrawAfterUndoingOneEdit100k)->Unit(benchmark::kMillisecond);

// One frame of a jig over the whole drawing as the window paints it: the kept picture copied
// onto the window, the dragged block (moved every frame) turned into overlay paths, and drawn
// over the picture with the rubber band, the crosshair and a snap marker.
void BM_JigFrame100k(benchmark::State& state) {
    Bench& b = drawing();
    if (!ready(state, b))
        return;
    std::vector<std::uint32_t> picture(size_t(kWidth) * kHeight);
    const preview::PixelTarget background{picture.data(), kWidth, kHeight, kWidth * 4};
    const preview::RenderOptions o = viewOf(b, 1);
    preview::SceneCache cache;
    if (!ok(cache.render(b.db, background, {0, 0, kWidth, kHeight}, o))) {
        state.SkipWithError("render failed");
        return;
    }
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> window(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(window.get()), cairo_destroy);
    const preview::ViewTransform view{o.viewCenterX, o.viewCenterY, o.viewScale, kWidth, kHeight};
    db::BlockReference dragged(geom::Point3d(), b.part);
    const preview::OverlayPoint base{(b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2};
    double t = 0;
    for (auto _ : state) {
        t += 0.01;
        const preview::OverlayPoint at{base.x + 100 * std::cos(t), base.y};
        dragged.setPosition({at.x, at.y, 0});
        auto items = preview::entityOverlay(b.db, dragged, 0xC82828);
        preview::OverlayItem band, cross, marker;
        band.points = {base, at};
        band.dashed = true;
        cross.kind = preview::OverlayItem::Kind::crosshair;
        cross.points = {at};
        marker.kind = preview::OverlayItem::Kind::marker;
        marker.points = {at};
        marker.widthPx = 2;
        items.insert(items.end(), {band, cross, marker});
        preview::paintPicture(cr.get(), background);
        preview::paintOverlay(cr.get(), items, view);
        cairo_surface_flush(window.get());
        benchmark::DoNotOptimize(cairo_image_surface_get_data(window.get()));
    }
}
BENCHMARK(BM_JigFrame100k)->Unit(benchmark::kMillisecond);

// The highlight of a selection of the whole drawing (select all) as the window paints it when
// the selection changes: the kept picture copied, every entity stroked again from the kept scene
// in the dashed highlight pen. Each frame after that shows the highlighted copy as it is.
void BM_HighlightAll100k(benchmark::State& state) {
    Bench& b = drawing();
    if (!ready(state, b))
        return;
    std::vector<std::uint32_t> picture(size_t(kWidth) * kHeight), shown(picture.size());
    const preview::PixelTarget background{picture.data(), kWidth, kHeight, kWidth * 4};
    const preview::PixelTarget target{shown.data(), kWidth, kHeight, kWidth * 4};
    const preview::RenderOptions o = viewOf(b, state.range(0));
    preview::SceneCache cache;
    if (!ok(cache.render(b.db, background, {0, 0, kWidth, kHeight}, o))) {
        state.SkipWithError("render failed");
        return;
    }
    db::ObjectPtr<db::BlockTableRecord> model(b.db.modelSpaceId(), db::OpenMode::forRead);
    std::vector<db::ObjectId> all = model->entityIds();
    std::sort(all.begin(), all.end());
    for (auto _ : state) {
        shown = picture;
        if (!ok(cache.renderHighlight(b.db, target, {0, 0, kWidth, kHeight}, o, 0, all, {})))
            state.SkipWithError("highlight failed");
        benchmark::DoNotOptimize(shown.data());
    }
    state.counters["entities"] = double(all.size());
}
BENCHMARK(BM_HighlightAll100k)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_ModelExtents100k(benchmark::State& state) {
    Bench& b = drawing();
    if (!ready(state, b))
        return;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(preview::modelExtents(b.db, x0, y0, x1, y1));
}
BENCHMARK(BM_ModelExtents100k)->Unit(benchmark::kMillisecond);

} // namespace

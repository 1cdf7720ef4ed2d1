// The drawing window's redraw: model space of the 100,000-entity drawing (bench/dxf) painted into
// a window-sized bitmap, whole (zoom to extents) and zoomed in on a corner, and the extents the
// zoom to extents asks for.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/preview.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace zhost;

namespace {

constexpr int kWidth = 1280, kHeight = 800;

// The file bench/dxf's benchmark leaves behind; read once.
db::Database& drawing() {
    static db::Database db;
    static const bool loaded = [] {
        const char* dir = std::getenv("TMPDIR");
        const std::string file = std::string(dir && *dir ? dir : "/tmp") + "/zorma_bench_100k.dxf";
        dxf::ReadReport report;
        return ok(dxf::readDxf(file, db, report));
    }();
    (void)loaded;
    return db;
}

void redraw(benchmark::State& state, double zoom) {
    db::Database& db = drawing();
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!preview::modelExtents(db, x0, y0, x1, y1)) {
        state.SkipWithError("run dxf_bench first: it writes the 100,000-entity drawing");
        return;
    }
    std::vector<std::uint32_t> pixels(size_t(kWidth) * kHeight);
    const preview::PixelTarget target{pixels.data(), kWidth, kHeight, kWidth * 4};
    preview::RenderOptions o;
    o.viewScale = zoom * std::min((kWidth - 20) / (x1 - x0), (kHeight - 20) / (y1 - y0));
    o.viewCenterX = zoom == 1 ? (x0 + x1) / 2 : x0 + (x1 - x0) / (2 * zoom);
    o.viewCenterY = zoom == 1 ? (y0 + y1) / 2 : y0 + (y1 - y0) / (2 * zoom);
    for (auto _ : state) {
        if (!ok(preview::renderToPixels(db, {}, target, {0, 0, kWidth, kHeight}, o)))
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(pixels.data());
    }
}

void BM_RedrawWhole100k(benchmark::State& state) {
    redraw(state, 1);
}
BENCHMARK(BM_RedrawWhole100k)->Unit(benchmark::kMillisecond);

void BM_RedrawZoomedIn100k(benchmark::State& state) {
    redraw(state, 10);
}
BENCHMARK(BM_RedrawZoomedIn100k)->Unit(benchmark::kMillisecond);

void BM_ModelExtents100k(benchmark::State& state) {
    db::Database& db = drawing();
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(preview::modelExtents(db, x0, y0, x1, y1));
}
BENCHMARK(BM_ModelExtents100k)->Unit(benchmark::kMillisecond);

} // namespace

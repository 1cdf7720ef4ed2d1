// Object snaps on the 100,000-entity drawing (bench/dxf writes it): what one mouse motion over
// the drawing window costs at a point prompt, where the window asks for the snap under the cursor
// to draw its marker. The view scale is that of the whole drawing in a 1,000-pixel view.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/editor.h"
#include "zhost/editor/osnap.h"
#include "zhost/preview/preview.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace zhost;

namespace {

struct Drawing {
    db::Database db;
    bool loaded = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    Drawing() {
        const char* dir = std::getenv("TMPDIR");
        const std::string file = std::string(dir && *dir ? dir : "/tmp") + "/zorma_bench_100k.dxf";
        dxf::ReadReport report;
        loaded = ok(dxf::readDxf(file, db, report)) && preview::modelExtents(db, x0, y0, x1, y1);
        ed::resetSession();
        ed::setWorkingDatabase(&db);
        ed::setTranscriptSink([](std::wstring_view) {});
        ed::setViewScale(std::max(x1 - x0, y1 - y0) / 1000);
    }
    ~Drawing() {
        ed::setWorkingDatabase(nullptr);
        ed::setTranscriptSink({});
    }
};

Drawing& drawing() {
    static Drawing d;
    return d;
}

// The cursor in the middle of the drawing; false (the run skipped) without the drawing.
bool cursorAtTheMiddle(benchmark::State& state, geom::Point3d& at) {
    const Drawing& d = drawing();
    if (!d.loaded)
        state.SkipWithError("run dxf_bench first: it writes the 100,000-entity drawing");
    at = geom::Point3d((d.x0 + d.x1) / 2, (d.y0 + d.y1) / 2, 0);
    return d.loaded;
}

// With the default running snaps (endpoint, centre, intersection).
void BM_SnapUnderTheCursor(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ed::objectSnap(at));
}
BENCHMARK(BM_SnapUnderTheCursor)->Unit(benchmark::kMillisecond);

// The pick at the same spot, for comparison: the snap's first step is this search.
void BM_PickUnderTheCursor(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ed::entitiesAtPoint(at, ed::snapAperture()));
}
BENCHMARK(BM_PickUnderTheCursor)->Unit(benchmark::kMillisecond);

} // namespace

// The screen's questions on the 100,000-entity drawing (bench/dxf writes it): what one mouse motion
// over the drawing window costs at a point prompt, where the window asks for the snap under the
// cursor to draw its marker; a pick; a window and a crossing; one motion of a drag; and what the
// spatial index behind them costs to build and to bring up to date after an edit. The view scale
// is that of the whole drawing in a 1,000-pixel view.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/editor.h"
#include "zhost/editor/osnap.h"
#include "zhost/preview/preview.h"

#include "entity_index.h"

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

// The index as the walk over every entity: the figures before the index, in the same run.
void withIndex(benchmark::State& state) {
    ed::detail::setSpatialIndexEnabled(state.range(0) != 0);
    state.SetLabel(state.range(0) ? "indexed" : "every entity");
}

// With the default running snaps (endpoint, centre, intersection).
void BM_SnapUnderTheCursor(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    withIndex(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(ed::objectSnap(at));
    ed::detail::setSpatialIndexEnabled(true);
}
BENCHMARK(BM_SnapUnderTheCursor)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The pick at the same spot: the snap's first step is this search.
void BM_PickUnderTheCursor(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    withIndex(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(ed::entitiesAtPoint(at, ed::pickAperture()));
    ed::detail::setSpatialIndexEnabled(true);
}
BENCHMARK(BM_PickUnderTheCursor)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A window and a crossing a tenth of the drawing wide, in its middle, as a user drags them.
void BM_WindowAndCrossing(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    withIndex(state);
    const Drawing& d = drawing();
    const geom::Vector3d half((d.x1 - d.x0) / 20, (d.y1 - d.y0) / 20, 0);
    const geom::Point3d a = at - half, b = at + half;
    std::size_t found = 0;
    for (auto _ : state) {
        ed::SelectionSet w, c;
        w.select(L"W", &a, &b);
        c.select(L"C", &a, &b);
        found = std::size_t(w.length() + c.length());
    }
    state.counters["found"] = double(found);
    ed::detail::setSpatialIndexEnabled(true);
}
BENCHMARK(BM_WindowAndCrossing)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Drags a line's end from the middle of the drawing, as the placement jig drags a part.
class EndJig : public ed::Jig {
public:
    geom::Point3d base, current;
    std::unique_ptr<db::Line> line = std::make_unique<db::Line>();
    DragStatus sampler() override { return acquirePoint(current, base); }
    bool update() override {
        line->setEndPoint(current);
        return true;
    }
    db::Entity* entity() const override { return line.get(); }
};

// The editor's side of one snapped motion of a drag: the `@move` the window sends is read, the
// snap under it found, the sampler and update run (the drawing of the frame is bench_preview's).
void BM_SnappedDragMotion(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    const std::wstring move = L"@move " + std::to_wstring(at.x) + L"," + std::to_wstring(at.y);
    for (auto _ : state) {
        auto input = ed::makeQueue({move, L"^C"});
        ed::setInputSource(input.get());
        EndJig jig;
        benchmark::DoNotOptimize(jig.drag());
    }
    ed::setInputSource(nullptr);
}
BENCHMARK(BM_SnappedDragMotion)->Unit(benchmark::kMillisecond);

// The whole index built from nothing: what the first question after opening the drawing costs.
void BM_IndexBuild(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    for (auto _ : state) {
        ed::detail::dropSpatialIndex();
        ed::detail::refreshSpatialIndex(drawing().db);
    }
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);

// One entity moved, then the index brought up to date: the first question after an edit.
void BM_IndexAfterOneEdit(benchmark::State& state) {
    geom::Point3d at;
    if (!cursorAtTheMiddle(state, at))
        return;
    db::Database& d = drawing().db;
    std::vector<db::ObjectId> ids;
    {
        db::ObjectPtr<db::BlockTableRecord> ms(d.modelSpaceId(), db::OpenMode::forRead);
        ids = ms->entityIds();
    }
    ed::detail::refreshSpatialIndex(d);
    double step = 1;
    for (auto _ : state) {
        state.PauseTiming();
        {
            db::ObjectPtr<db::Entity> e(ids[ids.size() / 2], db::OpenMode::forWrite);
            e->transformBy(geom::Matrix3d::translation({step, 0, 0}));
        }
        step = -step;
        state.ResumeTiming();
        ed::detail::refreshSpatialIndex(d);
    }
}
BENCHMARK(BM_IndexAfterOneEdit)->Unit(benchmark::kMillisecond);

} // namespace

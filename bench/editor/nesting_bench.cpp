// The drawing of five levels of fifty nested block references (312,500,000 squares as drawn):
// one pick, one crossing selection and one rendering of the whole drawing. Each walks only the
// references whose boxes matter (picks and windows) or that are at least a pixel wide (the
// picture).
#include "support/nested_blocks.h"

#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/editor.h"
#include "zhost/preview/preview.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

using namespace zhost;

namespace {

struct Drawing {
    db::Database db;
    ztest::NestedBlocks nested;
    Drawing() {
        nested = ztest::MakeNestedBlocks(db, 5, 50, 3);
        ed::resetSession();
        ed::setWorkingDatabase(&db);
        ed::setTranscriptSink([](std::wstring_view) {});
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

void BM_PickDeepestSquare(benchmark::State& state) {
    Drawing& d = drawing();
    // The right edge of the last square of every level.
    const double x = 49 * 4 + 49 * 200 + 49 * 10000 + 1;
    const double y = 49 * 4 + 49 * 200 + 0.5;
    for (auto _ : state) {
        const auto hits = ed::entitiesAtPoint({x + 0.2, y, 0}, ed::pickAperture());
        if (hits.size() != 1)
            state.SkipWithError("the pick missed");
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_PickDeepestSquare)->Unit(benchmark::kMillisecond);

void BM_CrossingInAGap(benchmark::State& state) {
    Drawing& d = drawing();
    const geom::Point3d lo(49 * 4 - 2.2, 0.2, 0), hi(49 * 4 - 1.8, 0.8, 0);
    for (auto _ : state) {
        ed::SelectionSet ss;
        benchmark::DoNotOptimize(ss.select(L"C", &lo, &hi));
    }
    (void)d;
}
BENCHMARK(BM_CrossingInAGap)->Unit(benchmark::kMillisecond);

void BM_RenderWholeDrawing(benchmark::State& state) {
    Drawing& d = drawing();
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("zorma-nesting-" + std::to_string(::getpid()) + ".png");
    for (auto _ : state)
        if (!ok(preview::renderDrawing(d.db, out)))
            state.SkipWithError("the picture was not written");
    std::error_code ec;
    std::filesystem::remove(out, ec);
}
BENCHMARK(BM_RenderWholeDrawing)->Unit(benchmark::kMillisecond);

void BM_SaveAndRead(benchmark::State& state) {
    // The drawing file itself is small: a few kilobytes for all its levels.
    Drawing& d = drawing();
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("zorma-nesting-" + std::to_string(::getpid()) + ".dxf");
    for (auto _ : state) {
        dxf::writeDxf(d.db, out);
        db::Database back;
        dxf::ReadReport report;
        benchmark::DoNotOptimize(dxf::readDxf(out, back, report));
    }
    std::error_code ec;
    state.counters["bytes"] = double(std::filesystem::file_size(out, ec));
    std::filesystem::remove(out, ec);
}
BENCHMARK(BM_SaveAndRead)->Unit(benchmark::kMillisecond);

} // namespace

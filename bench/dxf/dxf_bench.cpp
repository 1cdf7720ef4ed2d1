// Reading and writing a 100,000-entity drawing (lines and circles on a few layers, about 10 MB).
// The drawing is also left at $TMPDIR/zorma_bench_100k.dxf (or /tmp) so that
// bench/dxf/ezdxf_read.py can time ezdxf on the very same file.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

using namespace zhost;

namespace {

constexpr int kEntities = 100000;

std::string benchFile() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/zorma_bench_100k.dxf";
}

void fill(db::Database& db) {
    db::ObjectId layers[4];
    const wchar_t* names[] = {L"OUTLINE", L"CENTER", L"HIDDEN", L"外形線"};
    for (int i = 0; i < 4; ++i)
        db.addLayer(names[i], layers[i]);
    db::ObjectPtr<db::BlockTableRecord> ms(db.modelSpaceId(), db::OpenMode::forWrite);
    for (int i = 0; i < kEntities; ++i) {
        const double x = (i % 1000) * 1.25, y = (i / 1000) * 1.25;
        std::unique_ptr<db::Entity> e;
        if (i % 2 == 0)
            e = std::make_unique<db::Line>(geom::Point3d(x, y, 0),
                                           geom::Point3d(x + 1.0625, y + 0.375, 0));
        else
            e = std::make_unique<db::Circle>(geom::Point3d(x + 0.5, y + 0.5, 0), 0.4375);
        e->setLayer(layers[i % 4]);
        db::ObjectId id;
        ms->appendEntity(std::move(e), id);
    }
}

const std::string& drawingText() {
    static const std::string text = [] {
        db::Database db;
        fill(db);
        std::string t;
        dxf::writeDxfText(db, t);
        std::ofstream(benchFile(), std::ios::binary) << t;
        return t;
    }();
    return text;
}

void BM_ReadDxf100k(benchmark::State& state) {
    const std::string& text = drawingText();
    for (auto _ : state) {
        db::Database db;
        dxf::ReadReport report;
        if (!ok(dxf::readDxfText(text, db, report)) || report.entitiesRead != kEntities)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(db);
    }
    state.counters["MB"] = double(text.size()) / 1e6;
    state.counters["entities/s"] =
        benchmark::Counter(double(kEntities), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadDxf100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadDxfFile100k(benchmark::State& state) {
    drawingText();
    for (auto _ : state) {
        db::Database db;
        dxf::ReadReport report;
        if (!ok(dxf::readDxf(benchFile(), db, report)))
            state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_ReadDxfFile100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteDxf100k(benchmark::State& state) {
    db::Database db;
    fill(db);
    std::size_t size = 0;
    for (auto _ : state) {
        std::string text;
        dxf::writeDxfText(db, text);
        size = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["MB"] = double(size) / 1e6;
}
BENCHMARK(BM_WriteDxf100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

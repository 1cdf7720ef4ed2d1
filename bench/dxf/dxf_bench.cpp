// Reading and writing a 100,000-entity drawing (lines and circles on a few layers, about 10 MB).
// The drawing is also left at $TMPDIR/zorma_bench_100k.dxf (or /tmp) so that
// bench/dxf/ezdxf_read.py (or tools/dxf_speed.py, which runs both) can time ezdxf on the very
// same file.
//
// Kept records: drawings of 100,000 and 1,000,000 objects the host does not model (XRECORDs in
// one dictionary) and entities it does not model (kept as read), read and written: the time per
// record must not grow with their number. And the 100,000-entity drawing with a tenth of its
// entities of a kind kept as read, against the same drawing all modelled: what pass-through costs.
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <map>

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

// A drawing of `n` records the host keeps as read: XRECORDs under one dictionary of the named
// objects (`objects`) or 3DSOLIDs of model space. Made as text: the host has no API to create
// records of kinds it does not model.
std::string keptDrawing(int n, bool objects) {
    std::string t;
    t.reserve(std::size_t(n) * 110 + 1000);
    auto tag = [&t](int code, const std::string& v) {
        t += std::to_string(code);
        t += '\n';
        t += v;
        t += '\n';
    };
    auto hex = [](std::uint64_t h) {
        char b[24];
        std::snprintf(b, sizeof b, "%llX", static_cast<unsigned long long>(h));
        return std::string(b);
    };
    const std::uint64_t first = 0x100;
    tag(0, "SECTION");
    tag(2, "HEADER");
    tag(9, "$ACADVER");
    tag(1, "AC1027");
    tag(9, "$HANDSEED");
    tag(5, hex(first + std::uint64_t(n) + 1));
    tag(0, "ENDSEC");
    tag(0, "SECTION");
    tag(2, "ENTITIES");
    for (int i = 0; !objects && i < n; ++i) {
        tag(0, "3DSOLID");
        tag(5, hex(first + std::uint64_t(i)));
        tag(100, "AcDbEntity");
        tag(8, "0");
        tag(100, "AcDbModelerGeometry");
        tag(70, "1");
        tag(1, "solid " + std::to_string(i));
    }
    tag(0, "ENDSEC");
    tag(0, "SECTION");
    tag(2, "OBJECTS");
    tag(0, "DICTIONARY");
    tag(5, "C");
    tag(330, "0");
    tag(100, "AcDbDictionary");
    tag(3, "BENCH_RECORDS");
    tag(350, "D");
    tag(0, "DICTIONARY");
    tag(5, "D");
    tag(330, "C");
    tag(100, "AcDbDictionary");
    for (int i = 0; objects && i < n; ++i) {
        tag(3, "R" + std::to_string(i));
        tag(350, hex(first + std::uint64_t(i)));
    }
    for (int i = 0; objects && i < n; ++i) {
        tag(0, "XRECORD");
        tag(5, hex(first + std::uint64_t(i)));
        tag(330, "D");
        tag(100, "AcDbXrecord");
        tag(280, "1");
        tag(1, "record " + std::to_string(i));
        tag(40, std::to_string(i * 0.5));
    }
    tag(0, "ENDSEC");
    tag(0, "EOF");
    return t;
}

const std::string& keptText(int n, bool objects) {
    static std::map<std::pair<int, bool>, std::string> made;
    auto it = made.find({n, objects});
    if (it == made.end())
        it = made.emplace(std::pair(n, objects), keptDrawing(n, objects)).first;
    return it->second;
}

void readKept(benchmark::State& state, bool objects) {
    const int n = int(state.range(0));
    const std::string& text = keptText(n, objects);
    for (auto _ : state) {
        db::Database db;
        dxf::ReadReport report;
        if (!ok(dxf::readDxfText(text, db, report)) ||
            (objects ? report.keptObjects : report.keptEntities) != n)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(db);
    }
    state.counters["MB"] = double(text.size()) / 1e6;
    state.counters["records/s"] =
        benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
}

void writeKept(benchmark::State& state, bool objects) {
    const int n = int(state.range(0));
    db::Database db;
    dxf::ReadReport report;
    if (!ok(dxf::readDxfText(keptText(n, objects), db, report))) {
        state.SkipWithError("read failed");
        return;
    }
    std::size_t size = 0;
    for (auto _ : state) {
        std::string text;
        dxf::writeDxfText(db, text);
        size = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["MB"] = double(size) / 1e6;
    state.counters["records/s"] =
        benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
}

// Objects (XRECORDs in one dictionary) and entities (of a kind the host does not model).
BENCHMARK_CAPTURE(readKept, Objects, true)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeKept, Objects, true)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readKept, Entities, false)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeKept, Entities, false)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace

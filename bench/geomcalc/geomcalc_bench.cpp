// The geometric calculation's measuring path on a large region, and the region at a picked point
// in a drawing of many curves.
#include "geomcalc/GeomCalcEntities.h"
#include "geomcalc/RegionBuild.h"
#include "geomcalc/RegionProperties.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

constexpr double kPi = 3.141592653589793;

struct Drawing {
    Drawing() {
        database = std::make_unique<db::Database>();
        database->setUndoRecording(false);
        zhost::ed::setWorkingDatabase(database.get());
        zhost::ed::setTranscriptSink([](std::wstring_view) {});
    }
    ~Drawing() { zhost::ed::setWorkingDatabase(nullptr); }
    db::ObjectId Add(std::unique_ptr<db::Entity> e) {
        db::ObjectId id;
        database->appendToModelSpace(std::move(e), id);
        return id;
    }
    std::unique_ptr<db::Database> database;
};

// A closed gear-like outline of `edges` curves: lines and arcs in turn around a circle.
std::vector<db::ObjectId> GearOutline(Drawing& d, int edges) {
    std::vector<db::ObjectId> ids;
    const double r = 1000;
    auto at = [&](int i) {
        const double t = 2 * kPi * i / edges;
        return geom::Point3d(r * std::cos(t), r * std::sin(t), 0);
    };
    for (int i = 0; i < edges; ++i) {
        const geom::Point3d a = at(i), b = at(i + 1 == edges ? 0 : i + 1);
        if (i % 2 == 0) {
            ids.push_back(d.Add(std::make_unique<db::Line>(a, b)));
        } else {
            // A bump outwards: an arc through a and b with its centre at the chord's middle.
            const geom::Point3d m = geom::Point3d::midPoint(a, b);
            const double half = a.distanceTo(b) / 2;
            const double start = std::atan2(a.y - m.y, a.x - m.x);
            ids.push_back(d.Add(std::make_unique<db::Arc>(m, half, start, start + kPi)));
        }
    }
    return ids;
}

void BM_MeasureRegionOf10000Edges(benchmark::State& state) {
    Drawing d;
    const auto outline = GearOutline(d, 10000);
    CGeomCalcContext ctx;
    ctx.refPointWcs = ctx.refPointUcs = {10, 20, 0};
    ctx.axisEnd = {1, 0, 0};
    ctx.specificGravity = 7.85;
    for (auto _ : state) {
        ctx.results.clear();
        const db::ObjectId region = BuildRegion(outline);
        ComputeRecords(region, {}, ctx);
        EraseEntity(region);
        benchmark::DoNotOptimize(ctx.results);
    }
    state.counters["area"] = ctx.results.empty() ? 0 : ctx.results[0].area;
}
BENCHMARK(BM_MeasureRegionOf10000Edges)->Unit(benchmark::kMillisecond);

void BM_PropertiesOf10000EdgeRegion(benchmark::State& state) {
    Drawing d;
    const db::ObjectId region = BuildRegion(GearOutline(d, 10000));
    CGeomCalcContext ctx;
    ctx.refPointWcs = ctx.refPointUcs = {10, 20, 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeRegionProperties(region, ctx));
}
BENCHMARK(BM_PropertiesOf10000EdgeRegion)->Unit(benchmark::kMillisecond);

// 200 separate cells, each a square of four lines with a circle inside: 1,000 curves.
void BM_RegionAtPointAmong1000Curves(benchmark::State& state) {
    Drawing d;
    for (int i = 0; i < 200; ++i) {
        const double x = (i % 20) * 30.0, y = (i / 20) * 30.0;
        d.Add(std::make_unique<db::Line>(geom::Point3d(x, y), geom::Point3d(x + 20, y)));
        d.Add(std::make_unique<db::Line>(geom::Point3d(x + 20, y), geom::Point3d(x + 20, y + 20)));
        d.Add(std::make_unique<db::Line>(geom::Point3d(x + 20, y + 20), geom::Point3d(x, y + 20)));
        d.Add(std::make_unique<db::Line>(geom::Point3d(x, y + 20), geom::Point3d(x, y)));
        d.Add(std::make_unique<db::Circle>(geom::Point3d(x + 10, y + 10), 5));
    }
    size_t pieces = 0;
    for (auto _ : state) {
        // Inside cell 105, between its square and its circle.
        const BoundaryCurveSet set = BoundaryAtPoint({5 * 30.0 + 2, 5 * 30.0 + 2, 0});
        pieces = set.size();
        EraseEntities(set);
    }
    state.counters["pieces"] = double(pieces);
}
BENCHMARK(BM_RegionAtPointAmong1000Curves)->Unit(benchmark::kMillisecond);

} // namespace

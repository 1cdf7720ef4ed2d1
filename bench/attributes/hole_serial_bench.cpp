// How the hole-outline command scales with the size of the drawing: finding the next serial
// number scans every eligible curve once, and the whole command on one pre-selected circle adds
// only the selection of all curves. Both should grow linearly (the printed complexity is O(N)).
#include "attributes/HoleMark.h"
#include "frame/CommandBodies.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/rx/commands.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

// A drawing of n curves (lines, arcs, circles, polylines in turn); every fourth carries a mark.
std::unique_ptr<db::Database> MakeDrawing(int n) {
    auto d = std::make_unique<db::Database>();
    d->setUndoRecording(false);
    d->registerApp(kHoleMarkApp);
    for (int i = 0; i < n; ++i) {
        const double x = (i % 100) * 30.0, y = (i / 100) * 30.0;
        std::unique_ptr<db::Entity> e;
        switch (i % 4) {
        case 0:
            e = std::make_unique<db::Line>(geom::Point3d(x, y), geom::Point3d(x + 10, y));
            break;
        case 1:
            e = std::make_unique<db::Arc>(geom::Point3d(x, y), 5, 0, 3);
            break;
        case 2:
            e = std::make_unique<db::Circle>(geom::Point3d(x, y), 5);
            break;
        default: {
            geom::Polyline p;
            p.points = {{x, y}, {x + 5, y}, {x + 5, y + 5}};
            p.bulges.assign(3, 0.0);
            e = std::make_unique<db::Polyline>(p);
        }
        }
        if (i % 4 == 0)
            e->setXData({db::xApp(kHoleMarkApp), db::xInt16(i % 30000)});
        db::ObjectId id;
        d->appendToModelSpace(std::move(e), id);
    }
    return d;
}

void BM_NextHoleSerial(benchmark::State& state) {
    auto drawing = MakeDrawing(int(state.range(0)));
    ed::setWorkingDatabase(drawing.get());
    for (auto _ : state) {
        int serial = 0;
        benchmark::DoNotOptimize(GetNextHoleSerial(serial));
        benchmark::DoNotOptimize(serial);
    }
    ed::setWorkingDatabase(nullptr);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NextHoleSerial)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

void BM_MarkOneCircle(benchmark::State& state) {
    auto drawing = MakeDrawing(int(state.range(0)));
    ed::setWorkingDatabase(drawing.get());
    ed::setTranscriptSink([](std::wstring_view) {});
    zhost::rx::commandStack().addCommand(L"BENCH", L"KORU_ATTACH_PC_XDATA", L"KORU_ATTACH_PC_XDATA",
                                         zhost::rx::cmd::kUsePickSet, &KoruAttachPcXdataMain);
    db::ObjectId circle;
    drawing->appendToModelSpace(std::make_unique<db::Circle>(geom::Point3d(-50, -50), 5), circle);
    auto input = ed::makeQueue({});
    ed::setInputSource(input.get());
    for (auto _ : state) {
        ed::SelectionSet pick;
        pick.add(circle);
        ed::setPickFirst(&pick);
        ed::runCommand(L"KORU_ATTACH_PC_XDATA");
    }
    zhost::rx::commandStack().removeGroup(L"BENCH");
    ed::setInputSource(nullptr);
    ed::setTranscriptSink({});
    ed::setWorkingDatabase(nullptr);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MarkOneCircle)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

} // namespace

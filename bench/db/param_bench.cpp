// Re-evaluating a parametric block of 20 bound entities after a parameter change: the cost the
// placement jig pays for each drag step.
#include "zhost/db/db.h"

#include <benchmark/benchmark.h>

using namespace zhost;
using namespace zhost::db;

namespace {

struct Fixture {
    Database db;
    ObjectId block, ref;

    explicit Fixture(bool undo) {
        db.setUndoRecording(undo);
        db.addBlock(L"BOLT", block);
        param::setParameter(block, L"LEN", L"40");
        param::setParameter(block, L"D", L"10");
        param::setParameter(block, L"CS", L"LEN-D/4");
        param::setParameter(block, L"K", L"0.7*D");
        for (int i = 0; i < 20; ++i) {
            ObjectId id;
            if (i % 2 == 0) {
                db.appendEntity(
                    block, std::make_unique<Line>(geom::Point3d(0, i), geom::Point3d(1, i)), id);
                param::setBinding(id, {L"END.X", L"LEN-" + std::to_wstring(i) + L"*D/40"});
                param::setBinding(id, {L"START.X", L"-K"});
            } else {
                db.appendEntity(block, std::make_unique<Circle>(geom::Point3d(0, 0), 1), id);
                param::setBinding(id, {L"RADIUS", L"D/2+" + std::to_wstring(i) + L"/10"});
                param::setBinding(id, {L"CENTER.X", L"CS"});
            }
        }
        db.appendToModelSpace(std::make_unique<BlockReference>(geom::Point3d(), block), ref);
        param::evaluate(ref);
    }
};

void evaluateAfterChange(benchmark::State& state) {
    Fixture f(state.range(0) != 0);
    int len = 40;
    for (auto _ : state) {
        len = len == 40 ? 60 : 40;
        param::setParameterExpression(f.ref, L"LEN", std::to_wstring(len));
        Status s = param::evaluate(f.ref);
        benchmark::DoNotOptimize(s);
    }
    state.SetLabel(state.range(0) ? "undo journal on" : "undo journal off");
}
BENCHMARK(evaluateAfterChange)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void evaluateOnly(benchmark::State& state) {
    Fixture f(false);
    for (auto _ : state) {
        Status s = param::evaluate(f.ref);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(evaluateOnly)->Unit(benchmark::kMicrosecond);

void openCloseRead(benchmark::State& state) {
    Database db;
    ObjectId id;
    db.appendToModelSpace(std::make_unique<Line>(geom::Point3d(), geom::Point3d(1, 0)), id);
    for (auto _ : state) {
        ObjectPtr<Line> l(id, OpenMode::forRead);
        benchmark::DoNotOptimize(l->endPoint());
    }
}
BENCHMARK(openCloseRead);

} // namespace

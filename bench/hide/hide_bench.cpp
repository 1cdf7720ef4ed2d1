// Hidden-line treatment at scale: parts of 50 curves under one plate with 20 holes, hidden and
// then restored, for 10, 100 and 1,000 parts (how the time grows with the number of parts).
#include "hide/HideElement.h"
#include "hide/HideRestore.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

// A drawing with a 400 x 400 plate (20 marked holes of radius 4 in a 5 x 4 grid) and `parts`
// references of a part made of 50 curves: 30 lines across its 40 x 40 box, 10 circles and 10
// arcs. The parts are spread over the plate so that each crosses its edges or holes somewhere.
struct HideDrawing {
    explicit HideDrawing(int parts) {
        database = std::make_unique<db::Database>();
        database->setUndoRecording(false);
        zhost::ed::setWorkingDatabase(database.get());
        zhost::ed::setTranscriptSink([](std::wstring_view) {});
        database->registerApp(L"ZORMA-PARTS-HOLE");
        db::ObjectId plate, part;
        database->addBlock(L"PLATE", plate);
        Line(plate, 0, 0, 400, 0);
        Line(plate, 400, 0, 400, 400);
        Line(plate, 400, 400, 0, 400);
        Line(plate, 0, 400, 0, 0);
        for (int i = 0; i < 20; ++i) {
            const db::ObjectId hole =
                Add(plate, std::make_unique<db::Circle>(
                               geom::Point3d(40 + 80 * (i % 5), 50 + 100 * (i / 5)), 4));
            db::ObjectPtr<db::Entity> e(hole, db::OpenMode::forWrite);
            e->setXData({db::xApp(L"ZORMA-PARTS-HOLE"), db::xInt16(i)});
        }
        database->addBlock(L"PART", part);
        for (int i = 0; i < 30; ++i)
            Line(part, 0, 1 + i * 1.3, 40, 2 + i * 1.2);
        for (int i = 0; i < 10; ++i) {
            Add(part, std::make_unique<db::Circle>(geom::Point3d(4 + 3.5 * i, 20), 3));
            Add(part, std::make_unique<db::Arc>(geom::Point3d(20, 4 + 3.5 * i), 6, 0.3, 2.8));
        }
        cover = Add(database->modelSpaceId(),
                    std::make_unique<db::BlockReference>(geom::Point3d(0, 0), plate));
        for (int i = 0; i < parts; ++i) {
            const geom::Point3d at(-20 + (i * 37) % 420, -20 + (i * 53) % 420);
            targets.push_back(
                Add(database->modelSpaceId(), std::make_unique<db::BlockReference>(at, part)));
        }
    }
    ~HideDrawing() {
        zhost::ed::setWorkingDatabase(nullptr);
        zhost::ed::setTranscriptSink({});
    }
    db::ObjectId Add(db::ObjectId block, std::unique_ptr<db::Entity> e) {
        db::ObjectId id;
        database->appendEntity(block, std::move(e), id);
        return id;
    }
    void Line(db::ObjectId block, double x1, double y1, double x2, double y2) {
        Add(block, std::make_unique<db::Line>(geom::Point3d(x1, y1), geom::Point3d(x2, y2)));
    }
    // Hides every part; returns how many were treated.
    int HideAll() {
        geom::Region outline;
        if (!GetCoverOutline(cover, outline))
            return 0;
        int treated = 0;
        for (db::ObjectId target : targets)
            treated += HideElement(cover, outline, target, CSettingProperty()) ? 1 : 0;
        return treated;
    }
    std::vector<db::ObjectId> HiddenReferences() {
        std::vector<db::ObjectId> refs;
        db::ObjectPtr<db::BlockTableRecord> ms(database->modelSpaceId(), db::OpenMode::forRead);
        for (db::ObjectId id : ms->entityIds()) {
            db::ObjectPtr<db::BlockReference> r(id, db::OpenMode::forRead);
            if (r && r->blockName() != L"PLATE" && r->blockName() != L"PART")
                refs.push_back(id);
        }
        return refs;
    }

    std::unique_ptr<db::Database> database;
    db::ObjectId cover;
    std::vector<db::ObjectId> targets;
};

// The drawings are made and dropped while the clock is stopped: only the treatment is timed.
void BM_HideParts(benchmark::State& state) {
    std::unique_ptr<HideDrawing> d;
    int treated = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.reset();
        d = std::make_unique<HideDrawing>(int(state.range(0)));
        state.ResumeTiming();
        treated = d->HideAll();
    }
    state.counters["treated"] = treated;
}
BENCHMARK(BM_HideParts)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_RestoreParts(benchmark::State& state) {
    std::unique_ptr<HideDrawing> d;
    size_t restored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.reset();
        d = std::make_unique<HideDrawing>(int(state.range(0)));
        d->HideAll();
        const std::vector<db::ObjectId> hidden = d->HiddenReferences();
        restored = hidden.size();
        state.ResumeTiming();
        CHideRestore restore; // one run of the command restoring every part
        for (db::ObjectId id : hidden)
            restore.Restore(id);
    }
    state.counters["restored"] = double(restored);
}
BENCHMARK(BM_RestoreParts)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

// The geometry steps of placing and hiding parts, at the sizes a real part reaches: the outline
// of a covering part with holes, the static block of a busy symbol, and setting the bolt's
// parameters with the evaluation that follows.
#include "attributes/HoleMark.h"
#include "hide/EntityOps.h"
#include "hide/OutlineRegion.h"
#include "library/LayerSettings.h"
#include "placement/PartGeometry.h"
#include "selection/PartDescription.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

db::ObjectId Append(db::Database& d, db::ObjectId block, std::unique_ptr<db::Entity> e,
                    const wchar_t* layer = L"AM_0") {
    e->setLayer(layer);
    db::ObjectId id;
    d.appendEntity(block, std::move(e), id);
    return id;
}

// A drawing of its own, current for the benchmark's life, with the category layers.
struct Drawing {
    Drawing() {
        d.setUndoRecording(false);
        ed::setWorkingDatabase(&d);
        ed::setTranscriptSink([](std::wstring_view) {});
        for (const wchar_t* l : {L"AM_0", L"AM_3", L"AM_4", L"AM_7"}) {
            db::ObjectId id;
            d.addLayer(l, id);
        }
    }
    ~Drawing() {
        ed::setTranscriptSink({});
        ed::setWorkingDatabase(nullptr);
    }
    db::Database d;
};

// A covering part of 500 curves with 20 hole-marked circles: a 500-sided polygon of radius 100
// as single lines and the circles inside it, referenced in model space.
void BM_CoverOutlineWithHoles(benchmark::State& state) {
    Drawing drawing;
    db::Database& d = drawing.d;
    d.registerApp(kHoleMarkApp);
    db::ObjectId cover;
    d.addBlock(L"COVER", cover);
    constexpr int kSides = 500;
    for (int i = 0; i < kSides; ++i) {
        const double a0 = 2 * std::numbers::pi * i / kSides;
        const double a1 = 2 * std::numbers::pi * (i + 1) / kSides;
        Append(d, cover,
               std::make_unique<db::Line>(geom::Point3d(100 * std::cos(a0), 100 * std::sin(a0)),
                                          geom::Point3d(100 * std::cos(a1), 100 * std::sin(a1))));
    }
    for (int i = 0; i < 20; ++i) {
        auto hole =
            std::make_unique<db::Circle>(geom::Point3d(-60 + (i % 5) * 30, -45 + (i / 5) * 30), 5);
        hole->setXData({db::xApp(kHoleMarkApp), db::xInt16(i)});
        Append(d, cover, std::move(hole));
    }
    db::ObjectId ref;
    d.appendToModelSpace(std::make_unique<db::BlockReference>(geom::Point3d(500, 0), cover), ref);
    for (auto _ : state) {
        const db::ObjectId outline = BuildCoverOutline(ref);
        if (outline.isNull())
            state.SkipWithError("no outline");
        EraseObject(outline);
    }
}
BENCHMARK(BM_CoverOutlineWithHoles)->Unit(benchmark::kMillisecond);

// A symbol of 200 entities: 198 lines and arcs on the category layers, construction lines among
// them, and two visible references to a nested block of four lines.
void BM_StaticBlockOfBusySymbol(benchmark::State& state) {
    Drawing drawing;
    db::Database& d = drawing.d;
    db::ObjectId nested, symbol;
    d.addBlock(L"ROOTS", nested);
    for (int i = 0; i < 4; ++i)
        Append(d, nested, std::make_unique<db::Line>(geom::Point3d(0, i), geom::Point3d(1, i)),
               L"AM_3");
    d.addBlock(L"SYMBOL", symbol);
    const wchar_t* layers[] = {L"AM_0", L"AM_3", L"AM_4", L"AM_7"};
    for (int i = 0; i < 198; ++i) {
        std::unique_ptr<db::Entity> e;
        if (i % 3 == 2)
            e = std::make_unique<db::Arc>(geom::Point3d(i, 0), 2, 0, 3);
        else
            e = std::make_unique<db::Line>(geom::Point3d(i, 0), geom::Point3d(i, 10));
        Append(d, symbol, std::move(e), layers[i % 4]);
    }
    for (int i = 0; i < 2; ++i)
        Append(d, symbol, std::make_unique<db::BlockReference>(geom::Point3d(50 * i, 20), nested),
               L"AM_3");
    LineTypeState lines;
    lines.m_bodyDashed = true;
    int n = 0;
    for (auto _ : state) {
        db::ObjectId made;
        if (!MakeStaticPartBlock(symbol, L"SYMBOL_" + std::to_wstring(++n), lines, made))
            state.SkipWithError("no static block");
        state.PauseTiming();
        EraseObject(made);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StaticBlockOfBusySymbol)->Unit(benchmark::kMillisecond);

// The sample hexagon bolt: every parameter its description gives, then the evaluation.
void BM_SetBoltParameters(benchmark::State& state) {
    const std::filesystem::path product =
        std::filesystem::path(ZORMA_SOURCE_DIR) / "samples" / "product";
    zhost::settings::setProductFolder(product);
    Drawing drawing;
    PartDescription desc;
    desc.SetLibraryRoot(zhost::fromUtf8((product / "PartsData").string()));
    desc.Load(L"B1180_Full");
    desc.m_symbolBlockName = L"B1180_Full_1";
    ReadLayerSettings(desc.m_layers);
    db::ObjectId ref;
    if (!InsertSymbol(desc.m_root, desc.m_symbolBlockName, geom::Point3d(), ref)) {
        state.SkipWithError("the bolt symbol did not insert");
        return;
    }
    for (auto _ : state) {
        LineTypeState lines;
        if (!SetPartParameters(desc, ref, lines))
            state.SkipWithError("parameters not set");
    }
}
BENCHMARK(BM_SetBoltParameters)->Unit(benchmark::kMicrosecond);

} // namespace

// Placing parts of the sample product: the jig's length update on the partial-thread hex bolt
// (set "LEN", evaluate the symbol, put the dragged reference on the changed block: what every
// cursor move of the through-point phase costs), one complete placement, and many copies in
// one run with the memory they take.
#include "library/LibraryPaths.h"
#include "placement/JigBlock.h"
#include "placement/LayerCategories.h"
#include "placement/PartsContentsRun.h"

#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/editor.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;
namespace fs = std::filesystem;

namespace {

constexpr const char* kBoltSymbol =
    ZORMA_SOURCE_DIR "/samples/product/PartsData/PartsContents/Symbols/B1180_Partial_1.dxf";

struct BoltFixture {
    db::Database drawing;
    db::ObjectId block, ref;
    CPartsYobi nominal;
    bool ready = false;

    BoltFixture() {
        ed::setWorkingDatabase(&drawing);
        drawing.setUndoRecording(false);
        if (!ok(zhost::dxf::loadDrawingAsBlock(kBoltSymbol, drawing, L"B1180_Partial_1", block)))
            return;
        ready = ok(drawing.appendToModelSpace(
            std::make_unique<db::BlockReference>(geom::Point3d(), block), ref));
    }
    ~BoltFixture() { ed::setWorkingDatabase(nullptr); }
};

void lengthUpdate(benchmark::State& state) {
    BoltFixture f;
    if (!f.ready) {
        state.SkipWithError("the bolt symbol could not be loaded");
        return;
    }
    f.drawing.setUndoRecording(state.range(0) != 0);
    CJigBlock jig(L"B1180_Partial_1", L"0", geom::Point3d(), 0.0, f.ref, f.nominal, true);
    jig.CreateReference();
    jig.SetLength(40); // the first change makes the reference's private block
    double length = 40;
    for (auto _ : state) {
        length = length == 40 ? 60 : 40;
        const bool done = jig.SetLength(length);
        benchmark::DoNotOptimize(done);
    }
    state.SetLabel(state.range(0) ? "undo journal on (as in a command)" : "undo journal off");
}
BENCHMARK(lengthUpdate)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace

// --- Whole placements ----------------------------------------------------------------------------

namespace {

// The sample product, a user folder of its own and a drawing, as a run of the command has them.
struct PlacementFixture {
    db::Database drawing;
    fs::path user = fs::temp_directory_path() / ("zorma-bench-" + std::to_string(::getpid()));
    CPartsContentsRun run;

    PlacementFixture() {
        fs::create_directories(user);
        zhost::settings::setHeadless(true);
        zhost::settings::setProductFolder(ZORMA_SOURCE_DIR "/samples/product");
        zhost::settings::setUserFolder(user);
        ResetLibraryPaths();
        ed::setWorkingDatabase(&drawing);
        ed::setTranscriptSink([](std::wstring_view) {});
        CLibraryPaths paths;
        GetLibraryPaths(paths);
        PartDescription& d = run.m_desc;
        d.SetLibraryRoot(paths.m_root);
        d.Load(L"B1180_Partial");
        d.Find(L"List1")->m_value = L"M12";
        d.Find(L"Edit1")->m_value = L"12";
        d.m_symbolBlockName = L"B1180_Partial_1";
        LoadAtrList(d);
        CategoryLayerIds ids;
        EnsureCategoryLayers(d.m_layers, true, ids);
    }
    ~PlacementFixture() {
        ed::setInputSource(nullptr);
        ed::setWorkingDatabase(nullptr);
        ed::setTranscriptSink({});
        std::error_code ec;
        fs::remove_all(user, ec);
    }
    // One run: the first copy dragged to a nominal length, `copies - 1` more by their base
    // points, then cancel; the run's unused blocks are cleaned up as the command does.
    bool Place(int copies, double y) {
        std::vector<std::wstring> answers = {ed::format(L"0,%g", y), ed::format(L"57,%g", y)};
        for (int i = 1; i < copies; ++i)
            answers.push_back(ed::format(L"%d,%g", 100 * i, y));
        answers.push_back(L"^C");
        auto input = ed::makeQueue(std::move(answers));
        ed::setInputSource(input.get());
        const auto before = SnapshotBlockDefinitions();
        const bool done = PlacePart(run);
        EraseNewUnreferencedBlocks(before, false);
        ed::setInputSource(nullptr);
        return done;
    }
};

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One complete placement of a bolt: insertion, parameters, the drag, the static block, the
// part record and attributes, the clean-up.
void placeOneBolt(benchmark::State& state) {
    PlacementFixture f;
    double y = 0;
    for (auto _ : state) {
        const bool done = f.Place(1, y);
        benchmark::DoNotOptimize(done);
        y += 40;
    }
}
BENCHMARK(placeOneBolt)->Unit(benchmark::kMillisecond);

// Many copies in one run; the peak resident set after them, to see memory grow with the parts.
// The growth is only meaningful in a process of its own (--benchmark_filter=copiesInOneRun/1000/):
// after other benchmarks the peak was reached before the copies began.
void copiesInOneRun(benchmark::State& state) {
    PlacementFixture f;
    const long before = PeakRssKiB();
    for (auto _ : state) {
        const bool done = f.Place(static_cast<int>(state.range(0)), 0);
        benchmark::DoNotOptimize(done);
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssKiB()) / 1024.0;
    state.counters["growth_KiB_per_part"] =
        static_cast<double>(PeakRssKiB() - before) / static_cast<double>(state.range(0));
}
BENCHMARK(copiesInOneRun)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

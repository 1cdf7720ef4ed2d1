// Scrolling a long grid: drawing the grid control alone and the whole dialog face (what the
// desktop window paints for each scroll step) at the top of a 10,000-row sheet, in its middle,
// and page by page through it. The drawing operations per frame are counted too: they must
// stay those of the view, however long the sheet.
#include "zhost/ui/bitmap.h"
#include "zhost/ui/device_context.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/scroll.h"
#include "zhost/ui/services.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace zhost::ui;

namespace {

class SheetDialog : public Dialog {
public:
    explicit SheetDialog(int rows)
        : Dialog(DialogTemplate{930,
                                L"Sheet",
                                Font{},
                                Size{320, 240},
                                {ControlTemplate{404, ControlKind::grid, L"",
                                                 ws::child | ws::visible | ws::tabStop | ws::border,
                                                 Rect{5, 5, 315, 235}, 0}},
                                false}),
          rows_(rows) {}
    bool onInitDialog() override {
        Grid* g = grid(404);
        g->setMaxCols(6);
        g->setMaxRows(rows_);
        g->setBool(grid::optScrollBarsAuto, true);
        for (int r = 1; r <= rows_; ++r) {
            g->setData(1, r, L"row " + std::to_wstring(r));
            g->setData(2, r, std::to_wstring(r * 7 % 1000));
        }
        return true;
    }

private:
    int rows_;
};

size_t PaintOps(Grid& g) {
    Bitmap b(g.rect().width(), g.rect().height());
    DeviceContext dc(b);
    dc.setRecording(true);
    g.paint(dc);
    return dc.log().size();
}

// The grid control drawn with its first row at `top` (0: the top, 1: the middle).
void BM_GridPaint(benchmark::State& state) {
    resetServices();
    SheetDialog d(int(state.range(0)));
    d.create();
    Grid& g = *d.grid(404);
    g.scrollTo(true, state.range(1) ? g.maxRows() / 2 : 0);
    Bitmap b(g.rect().width(), g.rect().height());
    for (auto _ : state) {
        DeviceContext dc(b);
        g.paint(dc);
        benchmark::DoNotOptimize(b.data());
    }
    state.counters["ops"] = double(PaintOps(g));
}
BENCHMARK(BM_GridPaint)
    ->Args({100, 0})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

// One scroll step as the window does it: a page down, then the whole dialog face drawn.
void BM_ScrollStepAndFace(benchmark::State& state) {
    resetServices();
    SheetDialog d(10000);
    d.create();
    Grid& g = *d.grid(404);
    for (auto _ : state) {
        if (!userScroll(g, true, ScrollPart::pageForward))
            g.scrollTo(true, 0);
        Bitmap face = d.render();
        benchmark::DoNotOptimize(face.data());
    }
}
BENCHMARK(BM_ScrollStepAndFace)->Unit(benchmark::kMillisecond);

} // namespace

// What the condition dialog costs the user: building it for the sample's largest description
// (every control made, lists filled, look-ups and all rules applied once), and the rule pass
// that follows one click on a radio option.
#include "selection/ContCondDlg.h"

#include "resources/ZormaResources.h"

#include "zhost/editor/output.h"
#include "zhost/settings/product.h"
#include "zhost/settings/registry.h"
#include "zhost/ui/grid.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The sample's description with the most controls and rules.
const wchar_t* const kLargestPart = L"B1256_PlainWasher";

class CSampleProduct {
public:
    CSampleProduct() {
        m_user = fs::temp_directory_path() / ("zorma-bench-cond-" + std::to_string(::getpid()));
        fs::create_directories(m_user);
        zhost::settings::setProductFolder(fs::path(ZORMA_SOURCE_DIR) / "samples" / "product");
        zhost::settings::setUserFolder(m_user);
        zhost::settings::setMachineRegistryFile(m_user / "absent.reg");
        zhost::ed::setTranscriptSink([](std::wstring_view) {});
    }
    ~CSampleProduct() {
        zhost::ed::setTranscriptSink({});
        std::error_code ec;
        fs::remove_all(m_user, ec);
    }
    CSampleProduct(const CSampleProduct&) = delete;
    CSampleProduct& operator=(const CSampleProduct&) = delete;

    PartDescription Load() const {
        PartDescription desc;
        desc.SetLibraryRoot(
            (fs::path(ZORMA_SOURCE_DIR) / "samples" / "product" / "PartsData").wstring());
        desc.Load(kLargestPart);
        return desc;
    }

private:
    fs::path m_user;
};

void BM_BuildDialog(benchmark::State& state) {
    CSampleProduct product;
    const PartDescription loaded = product.Load();
    CZormaResourceScope resources;
    for (auto _ : state) {
        PartDescription desc = loaded;
        CContCondDlg dlg(false, -1, L"bench", desc);
        dlg.create();
        benchmark::DoNotOptimize(dlg.GetFirstListLine());
        state.PauseTiming();
        dlg.destroy();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildDialog)->Unit(benchmark::kMillisecond);

void BM_ClickRadioRules(benchmark::State& state) {
    CSampleProduct product;
    PartDescription desc = product.Load();
    CZormaResourceScope resources;
    CContCondDlg dlg(false, -1, L"bench", desc);
    dlg.create();
    zhost::ui::Grid* grid = dlg.GetSheet().GetGrid();
    // The washer's line-type radio: two options side by side in the row after the series.
    const int row = dlg.GetFirstRow(desc.Find(L"Radio2") - desc.m_params.data());
    int col = 2;
    for (auto _ : state) {
        col = col == 2 ? 3 : 2;
        grid->userClick(col, row);
        dlg.processPostedMessages();
    }
    dlg.destroy();
}
BENCHMARK(BM_ClickRadioRules)->Unit(benchmark::kMicrosecond);

} // namespace

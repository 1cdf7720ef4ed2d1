// Opening the part catalogues: the text catalogue on a catalogue of 10,000 lines, the picture
// catalogue on the sample product with its previews and on a catalogue of 100,000 parts, and the
// picture menu of eight siblings once their previews are kept.
#include "library/LibraryPaths.h"
#include "resources/resource.h"
#include "selection/PartsDlg.h"
#include "selection/PvxCPartsDlg.h"

#include "zhost/settings/dialogdata.h"
#include "zhost/settings/product.h"
#include "zhost/ui/backend.h"
#include "zhost/ui/menu.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace ui = zhost::ui;

void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Line(std::initializer_list<std::pair<int, std::string>> columns) {
    std::string cols[20];
    for (const auto& [c, text] : columns)
        cols[c] = text;
    std::string line;
    for (int c = 0; c < 20; ++c)
        line += (c ? "\t" : "") + cols[c];
    return line + "\r\n";
}

const fs::path kSample = fs::path(ZORMA_SOURCE_DIR) / "samples/product";
const fs::path kSampleSymbol = kSample / "PartsData/PartsContents/Symbols/B1180_Full_1.dxf";

// A product folder of its own, removed at the end.
struct Product {
    fs::path dir;
    explicit Product(const std::string& catalogue, int pictures = 0) {
        std::string pattern = (fs::temp_directory_path() / "zorma-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        Write(dir / "PartsData/PartsContentsK.txt", "\xEF\xBB\xBF" + catalogue);
        fs::create_directories(dir / "PartsData/PartsContents/Symbols");
        for (int i = 0; i < pictures; ++i)
            fs::copy_file(kSampleSymbol, dir / "PartsData/PartsContents/Symbols" /
                                             ("P" + std::to_string(i) + "_1.dxf"));
    }
    ~Product() { fs::remove_all(dir); }
};

// Menus are drawn as the desktop shows them, then dismissed.
class BenchBackend : public ui::Backend {
public:
    void runModalLoop(ui::Dialog& d) override { d.endDialog(ui::idCancel); }
    int trackPopupMenu(ui::Menu& menu, ui::Point, ui::Dialog* owner) override {
        benchmark::DoNotOptimize(menu.render(owner));
        return 0;
    }
    void showMessageBox(std::wstring_view, std::wstring_view) override {}
};

void UseProduct(const fs::path& product) {
    static const bool once = [] {
        ui::setBackend(std::make_unique<BenchBackend>());
        std::string pattern = (fs::temp_directory_path() / "zorma-bench-user-XXXXXX").string();
        zhost::settings::setUserFolder(mkdtemp(pattern.data()));
        return true;
    }();
    (void)once;
    zhost::settings::setProductFolder(product);
    ResetLibraryPaths();
}

CLibraryPaths Paths() {
    CLibraryPaths paths;
    GetLibraryPaths(paths);
    return paths;
}

// Ten groups of a thousand parts; the first group's thousand lines fill the list.
void TextCatalogueOpen10k(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += Line({{0, i % 1000 == 0 ? "部品種別" + std::to_string(i / 1000) : ""},
                      {4, "B" + std::to_string(1000 + i) + " 六角ボルト " + std::to_string(i)},
                      {19, "B" + std::to_string(1000 + i) + "_X"}});
    Product product(text);
    UseProduct(product.dir);
    const CLibraryPaths paths = Paths();
    for (auto _ : state) {
        CPartsDlg dlg(paths.m_catalogueFile, paths.m_symbolsFolder);
        dlg.create();
        benchmark::DoNotOptimize(dlg.render());
        dlg.destroy();
    }
}
BENCHMARK(TextCatalogueOpen10k)->Unit(benchmark::kMillisecond);

// The sample product with the bolts' two levels shown: every opening renders its previews
// afresh (each dialog has a cache of its own).
void PictureCatalogueFirstOpenSample(benchmark::State& state) {
    UseProduct(kSample);
    {
        zhost::settings::DialogDataStore store;
        store.setInt(kPartsContentsDialogName, L"SelType", 1);
        store.setInt(kPartsContentsDialogName, L"SelBtn0", 0);
    }
    const CLibraryPaths paths = Paths();
    for (auto _ : state) {
        PvxCPartsDlg dlg(paths.m_symbolsFolder, paths.m_catalogueFile);
        dlg.create();
        benchmark::DoNotOptimize(dlg.render());
        state.counters["previews"] = static_cast<double>(dlg.GetPreviewCache().renderCount());
        dlg.destroy();
    }
}
BENCHMARK(PictureCatalogueFirstOpenSample)->Unit(benchmark::kMillisecond);

// Eight siblings with pictures: the menu opened again draws them from the cache.
void PictureMenuOfEightFromCache(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += Line({{0, i == 0 ? "Pins" : ""},
                      {1, i == 0 ? "-" : ""},
                      {4, "Pin " + std::to_string(i)},
                      {6, "N" + std::to_string(i)},
                      {19, "P" + std::to_string(i)}});
    Product product(text, 8);
    UseProduct(product.dir);
    const CLibraryPaths paths = Paths();
    PvxCPartsDlg dlg(paths.m_symbolsFolder, paths.m_catalogueFile);
    dlg.create();
    auto* button = static_cast<ui::Button*>(dlg.control(IDC_PVX_BUTTON1));
    button->click(); // the first menu renders the pictures
    const size_t rendered = dlg.GetPreviewCache().renderCount();
    for (auto _ : state)
        button->click();
    state.counters["rendered"] = static_cast<double>(rendered);
    state.counters["rendered_again"] =
        static_cast<double>(dlg.GetPreviewCache().renderCount() - rendered);
    dlg.destroy();
}
BENCHMARK(PictureMenuOfEightFromCache)->Unit(benchmark::kMillisecond);

// 100,000 parts in 100 types of 1,000 siblings, one picture per type; the menu shows the
// first fifty.
void PictureCatalogueOpen100k(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += Line({{0, i % 1000 == 0 ? "Type" + std::to_string(i / 1000) : ""},
                      {1, i % 1000 == 0 ? "-" : ""},
                      {4, "Part " + std::to_string(i)},
                      {6, "N" + std::to_string(i)},
                      {19, "P" + std::to_string(i % 1000 == 0 ? 0 : i)}});
    Product product(text, 1);
    UseProduct(product.dir);
    const CLibraryPaths paths = Paths();
    for (auto _ : state) {
        PvxCPartsDlg dlg(paths.m_symbolsFolder, paths.m_catalogueFile);
        dlg.create();
        static_cast<ui::Button*>(dlg.control(IDC_PVX_BUTTON1))->click();
        dlg.destroy();
    }
}
BENCHMARK(PictureCatalogueOpen100k)->Unit(benchmark::kMillisecond);

} // namespace

// Loading times of the parts-library readers on generated files of a large library: a catalogue
// of 10,000 lines (into the text catalogue's list and the picture catalogue's tree) and a
// nominal-size file of 2,000 lines.
#include "library/CatalogueList.h"
#include "library/CsvItem.h"
#include "library/PartsYobi.h"

#include "zhost/settings/codepage.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::wstring Line(std::initializer_list<std::pair<int, std::wstring>> columns) {
    std::wstring cols[21];
    for (const auto& [c, text] : columns)
        cols[c] = text;
    std::wstring line;
    for (int c = 0; c < 21; ++c)
        line += (c ? L"\t" : L"") + cols[c];
    return line;
}

// 100 part types of 5 sub-groups with 20 lines each: two levels per line, every fifth line a
// new first level; one dialog description in ten.
struct Library {
    fs::path dir;
    std::wstring catalogue, nominal, dlg;

    Library() {
        std::string pattern = (fs::temp_directory_path() / "zorma-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        std::wstring text;
        for (int i = 0; i < 10000; ++i) {
            const std::wstring base =
                L"B" + std::to_wstring(1000 + i / 20) + L"_" + std::to_wstring(i % 20);
            std::wstring group = i % 100 == 0 ? L"部品種別" + std::to_wstring(i / 100) : L"";
            std::wstring sub = i % 20 == 0 ? L"形状" + std::to_wstring(i / 20) : L"";
            std::wstring level1 = i % 5 == 0 ? L"JISB" + std::to_wstring(1000 + i / 20) +
                                                   L" 六角ボルト" + std::to_wstring(i / 5)
                                             : L"";
            text += Line({{0, group},
                          {1, sub},
                          {4, level1},
                          {5, level1.empty() ? L"" : L"x"},
                          {6, level1.empty() ? L"" : L"n" + std::to_wstring(i / 5)},
                          {7, L"呼び長さ" + std::to_wstring(i % 5)},
                          {8, L"y"},
                          {9, L"m" + std::to_wstring(i)},
                          {19, base}}) +
                    L"\r\n";
            if (i % 10 == 0)
                Write(dir / "Dlg" / (std::string(base.begin(), base.end()) + ".ini"),
                      "[General]\r\nThumbDirection=2\r\n");
        }
        Write(dir / "PartsContentsK.txt", zhost::settings::encode(text, 932));

        std::wstring sizes = L"JIS\t\t\tNOM_SIZE\t";
        for (int s = 0; s < 30; ++s)
            sizes += L"\tM" + std::to_wstring(3 + s);
        std::wstring y = sizes + L"\r\n";
        for (int p = 0; p < 999; ++p) {
            std::wstring mins = L"\t\t\"B" + std::to_wstring(5000 + p) + L"*\"\t\t";
            std::wstring maxs = L"\t\t\t\t";
            for (int s = 0; s < 30; ++s) {
                mins += L"\t" + std::to_wstring(5 + 2 * s);
                maxs += L"\t" + std::to_wstring(40 + 10 * s);
            }
            y += mins + L"\r\n" + maxs + L"\r\n";
        }
        Write(dir / "PartsContentsY.txt", zhost::settings::encode(y, 932));
        catalogue = (dir / "PartsContentsK.txt").wstring();
        nominal = (dir / "PartsContentsY.txt").wstring();
        dlg = (dir / "Dlg").wstring() + L"/";
    }
    ~Library() { fs::remove_all(dir); }
};

Library& TheLibrary() {
    static Library library;
    return library;
}

void CatalogueList10k(benchmark::State& state) {
    const Library& lib = TheLibrary();
    for (auto _ : state) {
        std::vector<CatalogueGroup> groups;
        benchmark::DoNotOptimize(ReadCatalogueList(groups, lib.catalogue, L"", false));
    }
}
BENCHMARK(CatalogueList10k)->Unit(benchmark::kMillisecond);

void CatalogueTree10k(benchmark::State& state) {
    const Library& lib = TheLibrary();
    size_t nodes = 0;
    for (auto _ : state) {
        CCsvItem root;
        benchmark::DoNotOptimize(ReadCatalogueTree(L"", lib.catalogue, &root, lib.dlg));
        nodes = root.CountDescendants();
    }
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(CatalogueTree10k)->Unit(benchmark::kMillisecond);

// The worst case of a library check: every node asks for its thumbnail number (a dialog asks
// for the handful it shows).
void CatalogueTree10kAllThumbs(benchmark::State& state) {
    const Library& lib = TheLibrary();
    for (auto _ : state) {
        CCsvItem root;
        ReadCatalogueTree(L"", lib.catalogue, &root, lib.dlg);
        long sum = 0;
        std::vector<const CCsvItem*> stack{&root};
        while (!stack.empty()) {
            const CCsvItem* n = stack.back();
            stack.pop_back();
            sum += n->GetThumbNumber();
            for (const auto& c : n->m_children)
                stack.push_back(c.get());
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(CatalogueTree10kAllThumbs)->Unit(benchmark::kMillisecond);

void NominalSizesLoadAndRestrict2k(benchmark::State& state) {
    const Library& lib = TheLibrary();
    for (auto _ : state) {
        CPartsYobi yobi;
        // The last part of the file: the walk reads every line before it.
        benchmark::DoNotOptimize(yobi.LoadFile(lib.nominal, L"B5998_1", -1));
        benchmark::DoNotOptimize(yobi.Restrict(L"M20"));
    }
}
BENCHMARK(NominalSizesLoadAndRestrict2k)->Unit(benchmark::kMillisecond);

} // namespace

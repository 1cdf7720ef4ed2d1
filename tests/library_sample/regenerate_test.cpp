// The sample product is generated data: a fresh run of the generator must give the committed
// files byte for byte, and every drawing must load cleanly in an independent DXF reader.
#include "SampleTestUtil.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;
using namespace sample;

namespace {

std::map<std::string, fs::path> FilesUnder(const fs::path& root) {
    std::map<std::string, fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            out[fs::relative(e.path(), root).generic_string()] = e.path();
    return out;
}

} // namespace

TEST(SampleProduct, RegeneratesByteForByte) {
    ztest::TempFolder tmp;
    ASSERT_FALSE(tmp.path().empty());
    const ztest::ProcessResult run =
        ztest::RunPython("tools/gen_sample_product.py", {"--out", tmp.path().string()});
    ASSERT_EQ(run.exitCode, 0) << run;

    const auto fresh = FilesUnder(tmp.path());
    const auto committed = FilesUnder(ProductDir());
    std::set<std::string> freshNames, committedNames;
    for (const auto& [name, path] : fresh)
        freshNames.insert(name);
    for (const auto& [name, path] : committed)
        committedNames.insert(name);
    EXPECT_EQ(freshNames, committedNames) << "rerun tools/gen_sample_product.py and commit";
    for (const auto& [name, path] : fresh) {
        auto it = committed.find(name);
        if (it != committed.end()) {
            EXPECT_TRUE(ReadBytes(path) == ReadBytes(it->second))
                << name << " differs from a fresh generation";
        }
    }
}

TEST(SampleProduct, EveryDrawingPassesAnIndependentAudit) {
    const std::vector<fs::path> drawings = ProductDrawings();
    ASSERT_FALSE(drawings.empty());
    std::string output;
    const auto records = ReadDrawings(drawings, output);
    ASSERT_EQ(records.size(), drawings.size()) << output;
    for (const auto& [name, r] : records)
        EXPECT_EQ(r.auditErrors, 0) << name;
}

namespace {

// The generator and its tables copied to a folder of their own, so that a table can be broken.
struct GeneratorCopy {
    ztest::TempFolder dir;
    GeneratorCopy() {
        fs::create_directories(dir.path() / "tools");
        fs::copy(SourceDir() / "tools" / "gen_sample_product.py", dir.path() / "tools");
        fs::copy(SourceDir() / "tools" / "jis", dir.path() / "tools" / "jis",
                 fs::copy_options::recursive);
    }
    // Replaces the cell of `column` in the row whose first cell is `row` of a table; returns
    // the line number of that row.
    int SetCell(const std::string& table, const std::string& key, const std::string& keyValue,
                const std::string& column, const std::string& value) {
        const fs::path file = dir.path() / "tools" / "jis" / table;
        std::istringstream in(ReadBytes(file));
        std::string line, out;
        std::vector<std::string> header;
        int number = 0, found = 0;
        while (std::getline(in, line)) {
            ++number;
            std::vector<std::string> cells = SplitTabs(line);
            if (header.empty()) {
                header = cells;
            } else {
                const auto k = std::find(header.begin(), header.end(), key) - header.begin();
                const auto c = std::find(header.begin(), header.end(), column) - header.begin();
                if (!found && size_t(k) < cells.size() && cells[k] == keyValue &&
                    size_t(c) < cells.size()) {
                    cells[c] = value;
                    found = number;
                }
            }
            for (size_t i = 0; i < cells.size(); ++i)
                out += (i ? "\t" : "") + cells[i];
            out += "\n";
        }
        std::ofstream(file, std::ios::binary | std::ios::trunc) << out;
        return found;
    }
    // Runs the generator into out/ (made beforehand with one file in it); exit status, output.
    int Run(std::string& output) {
        fs::create_directories(dir.path() / "out" / "config");
        std::ofstream(dir.path() / "out" / "config" / "keep.txt") << "old";
        const ztest::ProcessResult run = ztest::RunProcess(
            {ztest::kPython, "-B", (dir.path() / "tools" / "gen_sample_product.py").string(),
             "--out", (dir.path() / "out").string()});
        output = run.transcript;
        return run.exitCode;
    }
};

} // namespace

TEST(SampleGenerator, RefusesTablesWithMissingOrNonNumericCellsNamingFileRowAndColumn) {
    struct Break {
        const char* table;
        const char* key;
        const char* keyValue;
        const char* column;
        const char* value;
        const char* says;
    };
    const Break breaks[] = {
        {"bolts_hex_jis_b1180.tsv", "size", "M10", "k_nom", "6,4", "is not a number"},
        {"screws_socket_head_jis_b1176.tsv", "size", "M8", "dk", "", "missing value"},
        {"pins_split_jis_b1351.tsv", "size", "4", "c", "nan", "is not a number"},
        {"set_screws_jis_b1177.tsv", "size", "M8", "dz", "5mm", "is not a number"},
    };
    for (const Break& b : breaks) {
        SCOPED_TRACE(b.table);
        GeneratorCopy copy;
        const int line = copy.SetCell(b.table, b.key, b.keyValue, b.column, b.value);
        ASSERT_GT(line, 1);
        std::string output;
        EXPECT_EQ(copy.Run(output), 1) << output;
        const std::string where = std::string(b.table) + ": line " + std::to_string(line) +
                                  ", column '" + b.column + "': ";
        EXPECT_NE(output.find(where), std::string::npos) << output;
        EXPECT_NE(output.find(b.says), std::string::npos) << output;
        // Nothing was removed from the output folder.
        EXPECT_TRUE(fs::exists(copy.dir.path() / "out" / "config" / "keep.txt"));
    }
}

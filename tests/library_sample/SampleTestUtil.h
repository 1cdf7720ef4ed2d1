#pragma once
// Helpers of the sample-library tests: where the sample product and its tables lie, running the
// independent DXF reader, and reading the JIS tables the product is made from.
#include "support/ezdxf.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace sample {

namespace fs = std::filesystem;

inline fs::path SourceDir() {
    return fs::path(ZORMA_SOURCE_DIR);
}
inline fs::path ProductDir() {
    return SourceDir() / "samples" / "product";
}
inline fs::path ContentsDir() {
    return ProductDir() / "PartsData" / "PartsContents";
}
inline fs::path TablesDir() {
    return SourceDir() / "tools" / "jis";
}

inline std::string ReadBytes(const fs::path& file) {
    return ztest::ReadFile(file);
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream s(line);
    while (std::getline(s, field, '\t'))
        out.push_back(field);
    if (!line.empty() && line.back() == '\t')
        out.emplace_back();
    return out;
}

// A TSV table of tools/jis as rows of column name -> text.
using TsvRow = std::map<std::string, std::string>;
inline std::vector<TsvRow> ReadTsv(const std::string& name) {
    std::ifstream in(TablesDir() / name);
    std::vector<TsvRow> rows;
    std::string line;
    std::vector<std::string> header;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields = SplitTabs(line);
        if (header.empty()) {
            header = fields;
            continue;
        }
        TsvRow row;
        for (size_t i = 0; i < header.size() && i < fields.size(); ++i)
            row[header[i]] = fields[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

// Every .dxf file of the sample product, sorted.
inline std::vector<fs::path> ProductDrawings() {
    std::vector<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(ProductDir()))
        if (e.is_regular_file() && e.path().extension() == ".dxf")
            out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

// What the independent reader (tests/library_sample/symbol_records.py) says about drawings.
struct DrawingRecords {
    int auditErrors = -1;
    std::vector<std::pair<std::string, std::string>> params; // name, expression
    struct Binding {
        std::string entity, layer, property, expression, choices;
    };
    std::vector<Binding> bindings;
    struct Extents {
        double minX, minY, maxX, maxY;
    };
    std::map<std::string, Extents> extents; // per layer, visible entities only
};

inline std::map<std::string, DrawingRecords> ReadDrawings(const std::vector<fs::path>& files,
                                                          std::string& output) {
    std::vector<std::string> args;
    for (const fs::path& f : files)
        args.push_back(f.string());
    const ztest::ProcessResult run =
        ztest::RunPython("tests/library_sample/symbol_records.py", args);
    output = run.transcript;
    std::map<std::string, DrawingRecords> out;
    if (run.exitCode != 0)
        return out;
    std::istringstream lines(output);
    std::string line;
    DrawingRecords* current = nullptr;
    while (std::getline(lines, line)) {
        std::vector<std::string> f = SplitTabs(line);
        if (f[0] == "FILE" && f.size() >= 3) {
            current = &out[fs::path(f[1]).stem().string()];
            current->auditErrors = std::stoi(f[2]);
        } else if (current && f[0] == "PARAM" && f.size() >= 3) {
            current->params.emplace_back(f[1], f[2]);
        } else if (current && f[0] == "BIND" && f.size() >= 6) {
            current->bindings.push_back({f[1], f[2], f[3], f[4], f[5]});
        } else if (current && f[0] == "EXT" && f.size() >= 6) {
            current->extents[f[1]] = {std::stod(f[2]), std::stod(f[3]), std::stod(f[4]),
                                      std::stod(f[5])};
        }
    }
    return out;
}

} // namespace sample

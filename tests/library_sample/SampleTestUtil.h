#pragma once
// Helpers of the sample-library tests: where the sample product and its tables lie, running the
// generator and the independent DXF reader, and reading the JIS tables the product is made from.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
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

// Debian's python3, which has python3-ezdxf (a python3 first on PATH may not).
inline const char* kPython = "/usr/bin/python3";

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "zorma-sample-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty())
            fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Quotes an argument for /bin/sh.
inline std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a command line; returns its exit status (-1 when it could not run) and its output.
inline int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
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
    std::string command =
        std::string(kPython) + " -B " +
        ShellQuote((SourceDir() / "tests/library_sample/symbol_records.py").string());
    for (const fs::path& f : files)
        command += " " + ShellQuote(f.string());
    std::map<std::string, DrawingRecords> out;
    if (RunCommand(command, output) != 0)
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

#pragma once
// Small parts libraries for the catalogue tests: a product folder in a test's temporary folder
// with a catalogue written line by line, dialog descriptions and symbol drawings for the parts
// the test names, and the module's library paths pointed at it.
#include "library/LibraryPaths.h"

#include "zhost/settings/product.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace cattest {

// One catalogue line: the given columns, every other one empty, at least 20 fields, CR LF.
inline std::string Line(std::initializer_list<std::pair<int, std::string>> columns) {
    std::vector<std::string> fields(20);
    for (const auto& [col, text] : columns) {
        if (size_t(col) >= fields.size())
            fields.resize(size_t(col) + 1);
        fields[size_t(col)] = text;
    }
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "\t" : "") + fields[i];
    return line + "\r\n";
}

// A symbol drawing of the sample product, used as every test part's picture.
inline std::filesystem::path SampleSymbol() {
    return std::filesystem::path(ZORMA_SOURCE_DIR) /
           "samples/product/PartsData/PartsContents/Symbols/B1181_HexNut_1.dxf";
}

class Library {
public:
    // The product lies in `dir`; the per-user folder beside it.
    explicit Library(const std::filesystem::path& dir)
        : m_product(dir / "product"), m_root(m_product / "PartsData"),
          m_contents(m_root / "PartsContents") {
        std::filesystem::create_directories(m_contents / "Dlg");
        std::filesystem::create_directories(m_contents / "Symbols");
        zhost::settings::setProductFolder(m_product);
        zhost::settings::setUserFolder(dir / "user");
        ResetLibraryPaths();
    }
    ~Library() {
        zhost::settings::setProductFolder({});
        zhost::settings::setUserFolder({});
        ResetLibraryPaths();
    }

    // The catalogue as bytes (UTF-8 after a byte-order mark unless `raw`).
    void Catalogue(const std::string& text, bool raw = false) const {
        ztest::WriteFile(m_root / "PartsContentsK.txt", raw ? text : "\xEF\xBB\xBF" + text);
        ResetLibraryPaths();
    }
    void Description(const std::string& base, const std::string& text = "[General]\r\n") const {
        ztest::WriteFile(m_contents / "Dlg" / (base + ".ini"), text);
    }
    // The part's pictures "<base>_0" and "<base>_1" (or only `number`).
    void Picture(const std::string& base, int number = -1) const {
        for (int n : {0, 1})
            if (number < 0 || number == n)
                std::filesystem::copy_file(SampleSymbol(),
                                           m_contents / "Symbols" /
                                               (base + "_" + std::to_string(n) + ".dxf"),
                                           std::filesystem::copy_options::overwrite_existing);
    }
    void Drawing(const std::string& base, int number, const std::string& bytes) const {
        ztest::WriteFile(m_contents / "Symbols" / (base + "_" + std::to_string(number) + ".dxf"),
                         bytes);
    }

    CLibraryPaths Paths() const {
        CLibraryPaths paths;
        GetLibraryPaths(paths);
        return paths;
    }
    const std::filesystem::path& Product() const { return m_product; }

private:
    std::filesystem::path m_product, m_root, m_contents;
};

} // namespace cattest

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
    TempDir tmp;
    ASSERT_FALSE(tmp.path().empty());
    std::string output;
    const std::string command = std::string(kPython) + " -B " +
                                ShellQuote((SourceDir() / "tools/gen_sample_product.py").string()) +
                                " --out " + ShellQuote(tmp.path().string());
    ASSERT_EQ(RunCommand(command, output), 0) << output;

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

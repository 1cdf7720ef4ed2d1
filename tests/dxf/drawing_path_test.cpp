// "X.dwg" drawings are found as "X.dxf" beside the name.
#include "zhost/dxf/dxf.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path scratch(const char* name) {
    fs::path dir = fs::path(ZORMA_BINARY_DIR) / "dxf_paths";
    fs::create_directories(dir);
    return dir / name;
}

} // namespace

TEST(DrawingPath, DwgNameFindsTheDxfBesideIt) {
    const fs::path dxf = scratch("BOLT.dxf");
    std::ofstream(dxf) << "0\nEOF\n";
    EXPECT_EQ(dxf, zhost::dxf::resolveDrawingPath(scratch("BOLT.dwg")));
    EXPECT_TRUE(zhost::dxf::drawingFileExists(scratch("BOLT.dwg")));
}

TEST(DrawingPath, UpperCaseExtensionIsFound) {
    const fs::path dxf = scratch("NUT.DXF");
    std::ofstream(dxf) << "0\nEOF\n";
    EXPECT_EQ(dxf, zhost::dxf::resolveDrawingPath(scratch("NUT.dwg")));
}

TEST(DrawingPath, MissingDrawingIsReportedMissing) {
    EXPECT_FALSE(zhost::dxf::drawingFileExists(scratch("NONE.dwg")));
    EXPECT_EQ(scratch("NONE.dwg"), zhost::dxf::resolveDrawingPath(scratch("NONE.dwg")));
}

TEST(DrawingPath, ExistingPathIsTakenAsItIs) {
    const fs::path dwg = scratch("REAL.dwg");
    std::ofstream(dwg) << "x";
    EXPECT_EQ(dwg, zhost::dxf::resolveDrawingPath(dwg));
}

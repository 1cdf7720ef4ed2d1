// "X.dwg" drawings are found as "X.dxf" beside the name.
#include "support/temp_folder.h"

#include "zhost/dxf/dxf.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

// Each case in a folder of its own, so that no file left by another case can be found.
class DrawingPath : public ztest::TempFolderTest {
protected:
    fs::path scratch(const char* name) const { return Dir() / name; }
};

} // namespace

TEST_F(DrawingPath, DwgNameFindsTheDxfBesideIt) {
    const fs::path dxf = scratch("BOLT.dxf");
    std::ofstream(dxf) << "0\nEOF\n";
    EXPECT_EQ(dxf, zhost::dxf::resolveDrawingPath(scratch("BOLT.dwg")));
    EXPECT_TRUE(zhost::dxf::drawingFileExists(scratch("BOLT.dwg")));
}

TEST_F(DrawingPath, UpperCaseExtensionIsFound) {
    const fs::path dxf = scratch("NUT.DXF");
    std::ofstream(dxf) << "0\nEOF\n";
    EXPECT_EQ(dxf, zhost::dxf::resolveDrawingPath(scratch("NUT.dwg")));
}

TEST_F(DrawingPath, MissingDrawingIsReportedMissing) {
    EXPECT_FALSE(zhost::dxf::drawingFileExists(scratch("NONE.dwg")));
    EXPECT_EQ(scratch("NONE.dwg"), zhost::dxf::resolveDrawingPath(scratch("NONE.dwg")));
}

TEST_F(DrawingPath, ExistingPathIsTakenAsItIs) {
    const fs::path dwg = scratch("REAL.dwg");
    std::ofstream(dwg) << "x";
    EXPECT_EQ(dwg, zhost::dxf::resolveDrawingPath(dwg));
}

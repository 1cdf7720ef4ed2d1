// The sample symbols as the host itself sees them: each loads with our own DXF reader and keeps
// its parameters, the bolts' front views follow a new length when inserted and re-evaluated, and
// every symbol renders to a picture with its outline drawn. The pictures are left in the build
// folder (symbol-previews/) for a person to look at.
#include "SampleTestUtil.h"

#include "support/status.h"

#include "zhost/core/utf.h"
#include "zhost/db/db.h"
#include "zhost/db/parametric.h"
#include "zhost/dxf/dxf.h"
#include "zhost/geom/curves.h"
#include "zhost/preview/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace zhost;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> SymbolFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(sample::ContentsDir() / "Symbols"))
        if (entry.path().extension() == ".dxf")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool HasName(const std::vector<std::wstring>& names, const wchar_t* name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::wstring& n) { return equalsNoCase(n, name); });
}

// The world extents of a block reference's curves, after exploding it.
geom::Extents3d ReferenceExtents(db::ObjectId refId) {
    geom::Extents3d ext;
    db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forRead);
    if (!ref)
        return ext;
    std::vector<std::unique_ptr<db::Entity>> pieces;
    if (!ok(ref->explode(pieces)))
        return ext;
    for (const auto& piece : pieces) {
        const auto* curve = dynamic_cast<const db::Curve*>(piece.get());
        geom::Extents3d e;
        if (curve != nullptr && ok(geom::extents(curve->toCurve(), e)))
            ext.addExtents(e);
    }
    return ext;
}

} // namespace

TEST(SampleSymbols, EveryDrawingLoadsWithItsParametersAndEvaluates) {
    const auto files = SymbolFiles();
    ASSERT_EQ(files.size(), 28u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        db::Database drawing;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxf(file, drawing, report)) << toUtf8(report.message);
        EXPECT_EQ(report.skippedEntities, 0);
        ASSERT_TRUE(db::param::isParametric(drawing.modelSpaceId()));
        std::vector<std::wstring> names;
        ASSERT_OK(db::param::parameterNames(drawing.modelSpaceId(), names));
        for (const wchar_t* required : {L"CS", L"LineTypeHead", L"LineTypeBody", L"ShowCenterLine"})
            EXPECT_TRUE(HasName(names, required)) << toUtf8(required);
        db::param::ParamError error;
        EXPECT_OK(db::param::evaluate(drawing.modelSpaceId(), &error)) << toUtf8(error.message);
    }
}

TEST(SampleSymbols, BoltFrontViewsStretchByTheirLengthWhenInserted) {
    for (const char* name : {"B1180_Full_1.dxf", "B1180_Partial_1.dxf"}) {
        SCOPED_TRACE(name);
        db::Database drawing;
        db::ObjectId blockId;
        std::wstring message;
        ASSERT_OK(dxf::loadDrawingAsBlock(sample::ContentsDir() / "Symbols" / name, drawing,
                                          L"BOLT", blockId, &message))
            << toUtf8(message);
        db::ObjectId refId;
        ASSERT_OK(drawing.appendEntity(
            drawing.modelSpaceId(), std::make_unique<db::BlockReference>(geom::Point3d{}, blockId),
            refId));

        auto extentsAtLength = [&](const wchar_t* length) {
            db::param::ParamError error;
            EXPECT_OK(db::param::setParameterExpression(refId, L"LEN", length, &error))
                << toUtf8(error.message);
            EXPECT_OK(db::param::evaluate(refId, &error)) << toUtf8(error.message);
            return ReferenceExtents(refId);
        };
        const geom::Extents3d shortBolt = extentsAtLength(L"40");
        const geom::Extents3d longBolt = extentsAtLength(L"80");
        ASSERT_FALSE(shortBolt.isEmpty());
        const double grewX = (longBolt.maxPoint.x - longBolt.minPoint.x) -
                             (shortBolt.maxPoint.x - shortBolt.minPoint.x);
        const double grewY = (longBolt.maxPoint.y - longBolt.minPoint.y) -
                             (shortBolt.maxPoint.y - shortBolt.minPoint.y);
        // The shank lies along one axis: that side grows by the 40 added, the other stays.
        EXPECT_NEAR(std::max(grewX, grewY), 40.0, 1e-9);
        EXPECT_NEAR(std::min(grewX, grewY), 0.0, 1e-9);
        double value = 0;
        ASSERT_OK(db::param::parameterValue(refId, L"LEN", value));
        EXPECT_DOUBLE_EQ(value, 80.0);
    }
}

TEST(SampleSymbols, EverySymbolRendersItsOutline) {
    const fs::path outDir = fs::path(ZORMA_BINARY_DIR) / "symbol-previews";
    fs::create_directories(outDir);
    constexpr int kSize = 160;
    for (const auto& file : SymbolFiles()) {
        SCOPED_TRACE(file.filename().string());
        db::Database drawing;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxf(file, drawing, report));

        std::vector<std::uint32_t> pixels(kSize * kSize, 0xFFFFFFFF);
        const preview::PixelTarget target{pixels.data(), kSize, kSize, kSize * 4};
        ASSERT_OK(preview::renderToPixels(drawing, db::ObjectId{}, target, {0, 0, kSize, kSize}));
        int inked = 0, dark = 0;
        for (std::uint32_t p : pixels) {
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            inked += (r + g + b) < 3 * 235;
            dark += (r + g + b) < 3 * 80; // the outline layer's colour 7 draws black
        }
        // A blank or nearly blank picture means the geometry or its layers are wrong.
        EXPECT_GT(inked, kSize * kSize / 100);
        EXPECT_GT(dark, kSize);
        preview::RenderOptions options;
        options.width = options.height = 400;
        EXPECT_OK(preview::renderDrawing(
            drawing, outDir / file.filename().replace_extension(".png"), options));
    }
}

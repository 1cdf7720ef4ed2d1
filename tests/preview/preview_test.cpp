// Pictures of drawings: pixel facts at known points.
#include "zhost/core/utf.h"
#include "zhost/db/annotation.h"
#include "zhost/db/db.h"
#include "zhost/db/drafting.h"
#include "zhost/db/raw.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/preview.h"
#include "zhost/preview/render_command.h"

#include "multileader.h"
#include "scene.h"
#include "support/nested_blocks.h"
#include "support/status.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

using namespace zhost;
using namespace zhost::db;
namespace preview = zhost::preview;

// fontconfig, pango and glib keep their caches until the process ends; LeakSanitizer would call
// that a leak and fail every test that draws text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libglib\nleak:libgobject\n"
           "leak:libharfbuzz\nleak:libcairo\nleak:libfreetype\n";
}

namespace {

// 220 x 120 pixels, margin 10, drawing extents (0,0)-(100,50): world (x, y) lands on pixel
// (10 + 2x, 110 - 2y).
constexpr int kW = 220, kH = 120;
int px(double x) {
    return int(10 + 2 * x);
}
int py(double y) {
    return int(110 - 2 * y);
}

std::string outPath(const char* name) {
    return std::string(ZORMA_BINARY_DIR) + "/" + name;
}

class Png {
public:
    explicit Png(const std::string& path)
        : s_(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy) {}
    bool ok() const { return cairo_surface_status(s_.get()) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(s_.get()); }
    // 0xRRGGBB of an opaque pixel.
    std::uint32_t at(int x, int y) const {
        const unsigned char* d = cairo_image_surface_get_data(s_.get());
        const int stride = cairo_image_surface_get_stride(s_.get());
        return reinterpret_cast<const std::uint32_t*>(d + y * stride)[x] & 0xFFFFFF;
    }

private:
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> s_;
};

ObjectId add(Database& db, std::unique_ptr<Entity> e, ObjectId block = {}) {
    ObjectId id;
    EXPECT_OK(db.appendEntity(block.isNull() ? db.modelSpaceId() : block, std::move(e), id));
    return id;
}

// A frame of points fixing the extents to (0,0)-(100,50).
void frame(Database& db) {
    add(db, std::make_unique<Point>(geom::Point3d(0, 0)));
    add(db, std::make_unique<Point>(geom::Point3d(100, 50)));
}

std::unique_ptr<Line> line(double x0, double y0, double x1, double y1, int color) {
    auto l = std::make_unique<Line>(geom::Point3d(x0, y0), geom::Point3d(x1, y1));
    l->setColorIndex(color);
    l->setLineWeight(50);
    return l;
}

Png render(const Database& db, const char* name, preview::RenderOptions o = {}) {
    o.width = kW;
    o.height = kH;
    const std::string path = outPath(name);
    EXPECT_OK(preview::renderDrawing(db, path, o));
    return Png(path);
}

} // namespace

TEST(PreviewPalette, StandardColours) {
    EXPECT_EQ(0xFF0000u, preview::aciToRgb(1));
    EXPECT_EQ(0x0000FFu, preview::aciToRgb(5));
    EXPECT_EQ(0xFFFFFFu, preview::aciToRgb(7));
    EXPECT_EQ(0x808080u, preview::aciToRgb(8));
}

TEST(PreviewRender, RedLineIsRedAndBackgroundWhite) {
    Database db;
    frame(db);
    add(db, line(20, 25, 80, 25, 1));
    const Png png = render(db, "preview_red.png");
    ASSERT_TRUE(png.ok());
    EXPECT_EQ(0xFF0000u, png.at(px(50), py(25)));
    EXPECT_EQ(0xFFFFFFu, png.at(px(50), py(40)));
}

TEST(PreviewRender, ColourSevenIsBlackOnWhiteAndByLayerFollowsTheLayer) {
    Database db;
    frame(db);
    ObjectId blue;
    db.addLayer(L"BLUE", blue);
    {
        ObjectPtr<LayerTableRecord> l(blue, OpenMode::forWrite);
        l->setColorIndex(5);
    }
    add(db, line(20, 10, 80, 10, 7));
    auto l = line(20, 40, 80, 40, color::byLayer);
    l->setLayer(blue);
    add(db, std::move(l));
    const Png png = render(db, "preview_seven.png");
    EXPECT_EQ(0x000000u, png.at(px(50), py(10)));
    EXPECT_EQ(0x0000FFu, png.at(px(50), py(40)));
}

TEST(PreviewRender, FrozenOffInvisibleAndHiddenEntitiesAreLeftOut) {
    Database db;
    frame(db);
    ObjectId frozen, off;
    db.addLayer(L"F", frozen);
    db.addLayer(L"O", off);
    {
        ObjectPtr<LayerTableRecord> f(frozen, OpenMode::forWrite);
        f->setFrozen(true);
        ObjectPtr<LayerTableRecord> o(off, OpenMode::forWrite);
        o->setOff(true);
    }
    auto a = line(10, 10, 90, 10, 1);
    a->setLayer(frozen);
    add(db, std::move(a));
    auto b = line(10, 20, 90, 20, 1);
    b->setLayer(off);
    add(db, std::move(b));
    auto c = line(10, 30, 90, 30, 1);
    c->setVisible(false);
    add(db, std::move(c));
    const ObjectId hidden = add(db, line(10, 40, 90, 40, 1));
    preview::RenderOptions o;
    o.hiddenOnScreen = [&](ObjectId id) { return id == hidden; };
    const Png png = render(db, "preview_hidden.png", o);
    for (double y : {10, 20, 30, 40})
        EXPECT_EQ(0xFFFFFFu, png.at(px(50), py(y))) << y;
}

TEST(PreviewRender, NestedBlockReferencesAreDrawnThroughTheirTransforms) {
    Database db;
    frame(db);
    ObjectId inner, outer;
    db.addBlock(L"INNER", inner);
    db.addBlock(L"OUTER", outer);
    add(db, line(0, 0, 10, 0, color::byBlock), inner); // by block: takes the reference's colour
    auto ref = std::make_unique<BlockReference>(geom::Point3d(0, 5), inner);
    ref->setColorIndex(color::byBlock);
    add(db, std::move(ref), outer);
    auto top = std::make_unique<BlockReference>(geom::Point3d(50, 20), outer);
    top->setScaleFactors({2, 2, 1});
    top->setColorIndex(3);
    add(db, std::move(top));
    // The inner line runs from (50, 30) to (70, 30).
    const Png png = render(db, "preview_nested.png");
    EXPECT_EQ(0x00FF00u, png.at(px(60), py(30)));
    EXPECT_EQ(0xFFFFFFu, png.at(px(80), py(30)));
}

TEST(PreviewRender, SolidHatchIsFilledAroundItsHole) {
    Database db;
    frame(db);
    auto h = std::make_unique<Hatch>();
    h->setColorIndex(1);
    HatchLoop outer, hole;
    geom::Polyline p;
    p.points = {{10, 10, 0}, {90, 10, 0}, {90, 40, 0}, {10, 40, 0}};
    p.bulges = {0, 0, 0, 0};
    p.closed = true;
    outer.edges.push_back(p);
    h->appendLoop(outer);
    hole.edges.push_back(geom::Circle{{70, 25, 0}, 8, {0, 0, 1}});
    h->appendLoop(hole);
    add(db, std::move(h));
    const Png png = render(db, "preview_hatch.png");
    EXPECT_EQ(0xFF0000u, png.at(px(30), py(25)));
    EXPECT_EQ(0xFFFFFFu, png.at(px(70), py(25))); // the hole
    EXPECT_EQ(0xFFFFFFu, png.at(px(50), py(45)));
}

TEST(PreviewRender, JapaneseTextLeavesInk) {
    Database db;
    frame(db);
    auto t = std::make_unique<Text>(geom::Point3d(10, 20), L"部品表", 10);
    t->setColorIndex(5);
    add(db, std::move(t));
    const Png png = render(db, "preview_text.png");
    int blue = 0;
    for (int x = px(10); x < px(45); ++x)
        for (int y = py(30); y < py(20); ++y)
            blue += png.at(x, y) != 0xFFFFFFu;
    EXPECT_GT(blue, 50);
}

// The percent codes of texts draw as the signs they stand for: a text with them gives the very
// picture of the same text written with the signs, in single- and multiline text alike.
TEST(PreviewRender, PercentCodesDrawAsTheirSigns) {
    const auto picture = [](const std::wstring& text, bool multiline) {
        Database db;
        frame(db);
        if (multiline) {
            auto m = std::make_unique<MText>();
            EXPECT_OK(m->setLocation(geom::Point3d(10, 40)));
            EXPECT_OK(m->setContents(text));
            EXPECT_OK(m->setTextHeight(8));
            add(db, std::move(m));
        } else {
            add(db, std::make_unique<Text>(geom::Point3d(10, 20), text, 8));
        }
        std::vector<std::uint32_t> pixels(kW * kH, 0xFFFFFFFFu);
        const preview::PixelTarget target{pixels.data(), kW, kH, kW * 4};
        EXPECT_OK(preview::renderToPixels(db, {}, target, {0, 0, kW, kH}));
        return pixels;
    };
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"45%%D 30%%d", L"45\u00B0 30\u00B0"},
        {L"%%c20%%p0.1", L"\u00D820\u00B10.1"},
        {L"100%%% %%uA%%U%%oB%%k", L"100% AB"},
        {L"%%065%%0", L"A%%0"},
    };
    for (const auto& [coded, plain] : cases)
        for (const bool multiline : {false, true}) {
            SCOPED_TRACE(toUtf8(coded) + (multiline ? " (MTEXT)" : " (TEXT)"));
            const auto want = picture(plain, multiline);
            EXPECT_NE(std::count(want.begin(), want.end(), 0xFFFFFFFFu), kW * kH);
            EXPECT_TRUE(picture(coded, multiline) == want);
        }
}

TEST(PreviewRender, BitmapRectangleOnlyIsPainted) {
    Database db;
    frame(db);
    add(db, line(20, 25, 80, 25, 1));
    std::vector<std::uint32_t> pixels(300 * 200, 0xFF123456u);
    preview::PixelTarget target{pixels.data(), 300, 200, 300 * 4};
    ASSERT_OK(preview::renderToPixels(db, {}, target, {50, 40, 50 + kW, 40 + kH}));
    EXPECT_EQ(0xFF123456u, pixels[10 * 300 + 10]);
    EXPECT_EQ(0xFFFF0000u, pixels[(40 + py(25)) * 300 + 50 + px(50)]);
    EXPECT_EQ(0xFFFFFFFFu, pixels[(40 + py(40)) * 300 + 50 + px(50)]);
}

// A window's view: a fixed centre and scale instead of the fit, and the extents it zooms to.
TEST(PreviewRender, FixedViewPlacesTheDrawingByCentreAndScale) {
    Database db;
    frame(db);
    add(db, line(20, 25, 80, 25, 1));
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(preview::modelExtents(db, x0, y0, x1, y1));
    EXPECT_DOUBLE_EQ(0, x0);
    EXPECT_DOUBLE_EQ(0, y0);
    EXPECT_DOUBLE_EQ(100, x1);
    EXPECT_DOUBLE_EQ(50, y1);
    Database empty;
    EXPECT_FALSE(preview::modelExtents(empty, x0, y0, x1, y1));

    // 4 pixels a unit about (30, 25): the line's point (40, 25) lands 40 pixels right of the
    // centre of a 200 x 100 picture, its start (20, 25) 40 left; (80, 25) is out of the picture.
    std::vector<std::uint32_t> pixels(200 * 100, 0);
    preview::PixelTarget target{pixels.data(), 200, 100, 200 * 4};
    preview::RenderOptions o;
    o.viewCenterX = 30;
    o.viewCenterY = 25;
    o.viewScale = 4;
    ASSERT_OK(preview::renderToPixels(db, {}, target, {0, 0, 200, 100}, o));
    EXPECT_EQ(0xFFFF0000u, pixels[50 * 200 + 140]);
    EXPECT_EQ(0xFFFF0000u, pixels[50 * 200 + 61]);
    EXPECT_EQ(0xFFFFFFFFu, pixels[50 * 200 + 55]); // left of the line's start
    EXPECT_EQ(0xFFFFFFFFu, pixels[30 * 200 + 100]);
}

TEST(PreviewRender, BadSizeOrExtensionIsRefused) {
    Database db;
    preview::RenderOptions o;
    EXPECT_EQ(Status::invalidInput, preview::renderDrawing(db, outPath("x.bmp"), o));
    o.width = 0;
    EXPECT_EQ(Status::invalidInput, preview::renderDrawing(db, outPath("x.png"), o));
}

TEST(RenderCommand, WritesPngAndSvg) {
    Database db;
    frame(db);
    add(db, line(20, 25, 80, 25, 1));
    std::string in = outPath("render_in.dxf");
    ASSERT_OK(dxf::writeDxf(db, in));
    std::string png = outPath("render_out.png"), svg = outPath("render_out.svg");
    std::string size = "220x120";
    char* a1[] = {in.data(), png.data(), const_cast<char*>("--size"), size.data()};
    ASSERT_EQ(0, preview::runRenderCommand(4, a1));
    const Png img(png);
    ASSERT_TRUE(img.ok());
    EXPECT_EQ(220, img.width());
    EXPECT_EQ(0xFF0000u, img.at(px(50), py(25)));
    char* a2[] = {const_cast<char*>("render"), in.data(), svg.data()};
    ASSERT_EQ(0, preview::runRenderCommand(3, a2));
    std::ifstream f(svg);
    std::stringstream s;
    s << f.rdbuf();
    EXPECT_NE(std::string::npos, s.str().find("<svg"));
}

TEST(RenderCommand, BadArgumentsAndMissingDrawingsFail) {
    std::string in = outPath("missing.dxf"), out = outPath("x.png"), bad = "12";
    char* a1[] = {in.data()};
    EXPECT_EQ(2, preview::runRenderCommand(1, a1));
    char* a2[] = {in.data(), out.data(), const_cast<char*>("--size"), bad.data()};
    EXPECT_EQ(2, preview::runRenderCommand(4, a2));
    char* a3[] = {in.data(), out.data()};
    EXPECT_EQ(1, preview::runRenderCommand(2, a3));
}

TEST(PreviewRender, EzdxfFixtureShowsItsColours) {
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(std::string(ZORMA_SOURCE_DIR) + "/tests/dxf/data/ezdxf_r2018.dxf", db,
                           report));
    preview::RenderOptions o;
    o.width = 800;
    o.height = 400;
    const std::string path = outPath("preview_fixture.png");
    ASSERT_OK(preview::renderDrawing(db, path, o));
    const Png png(path);
    ASSERT_TRUE(png.ok());
    int red = 0, green = 0, blue = 0, black = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 800; ++x) {
            // Thin lines are anti-aliased: count pixels near each colour.
            const std::uint32_t c = png.at(x, y);
            const int r = int(c >> 16), g = int((c >> 8) & 255), b = int(c & 255);
            red += r > 200 && g < 100 && b < 100;   // the line (colour 1), layer 外形線
            green += g > 200 && r < 100 && b < 100; // the solid hatch (colour 3), layer 中心線
            blue += b > 200 && r < 100 && g < 100;  // the circle (colour 5)
            black += r < 80 && g < 80 && b < 80;    // colour 7: arc, ellipse, texts
        }
    EXPECT_GT(red, 200);
    EXPECT_GT(green, 2000);
    EXPECT_GT(blue, 100);
    EXPECT_GT(black, 300);
}

TEST(PreviewRender, ReferencesSmallerThanAPixelStillLeaveInk) {
    Database db;
    frame(db); // 2 pixels per unit
    ObjectId tiny;
    db.addBlock(L"TINY", tiny);
    add(db, line(0, 0, 0.2, 0, 1), tiny);
    add(db, line(0.2, 0, 0.2, 0.2, 1), tiny);
    for (const double x : {20.0, 60.0})
        add(db, std::make_unique<BlockReference>(geom::Point3d(x, 30), tiny));
    const Png png = render(db, "preview_subpixel.png");
    for (const double x : {20.0, 60.0}) {
        bool ink = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                ink = ink || png.at(px(x) + dx, py(30) + dy) != 0xFFFFFFu;
        EXPECT_TRUE(ink) << x;
    }
    EXPECT_EQ(0xFFFFFFu, png.at(px(40), py(30)));
}

TEST(PreviewRender, DeeplyNestedReferencesAreDrawnWhereTheyAre) {
    Database db;
    // 248,832 squares in a 6909 x 573 strip: each is a fraction of a pixel.
    const ztest::NestedBlocks nested = ztest::MakeNestedBlocks(db, 5, 12, 3);
    const Png png = render(db, "preview_nested_many.png");
    ASSERT_TRUE(png.ok());
    // The strip fills the width: 200 pixels for 6909 units, 16.6 pixels high about the middle.
    EXPECT_NEAR(nested.width, 6909, 1e-9);
    int inkInside = 0, inkAbove = 0, inkBelow = 0;
    for (int x = 12; x < 208; x += 4) {
        inkInside += png.at(x, 60) != 0xFFFFFFu;
        inkAbove += png.at(x, 40) != 0xFFFFFFu;
        inkBelow += png.at(x, 80) != 0xFFFFFFu;
    }
    EXPECT_GT(inkInside, 40);
    EXPECT_EQ(inkAbove, 0);
    EXPECT_EQ(inkBelow, 0);
}

// --- Annotation -------------------------------------------------------------------------------

TEST(PreviewRender, DimensionsDrawTheirPictureAndLeadersTheirPath) {
    // The dimension's block holds a red line; after a move the picture is drawn where the
    // dimension went, the old place stays empty. A leader draws its path and a filled arrowhead.
    Database db;
    frame(db);
    ObjectId picture, dimId;
    db.addBlock(L"*D1", picture);
    add(db, line(10, 10, 40, 10, 1), picture);
    auto d = std::make_unique<Dimension>(DimensionKind::aligned);
    d->setBlock(picture);
    d->setPoint(13, {10, 10, 0});
    d->setPoint(14, {40, 10, 0});
    dimId = add(db, std::move(d));
    ObjectPtr<Dimension>(dimId, OpenMode::forWrite)
        ->transformBy(geom::Matrix3d::translation({0, 10, 0}));
    auto l = std::make_unique<Leader>(std::vector<geom::Point3d>{{60, 20, 0}, {90, 20, 0}});
    l->setColorIndex(5);
    l->setLineWeight(50);
    l->setTextSize(12, 0);
    add(db, std::move(l));
    const Png png = render(db, "preview_annotation.png");
    EXPECT_EQ(0xFF0000u, png.at(px(25), py(20)));
    EXPECT_EQ(0xFFFFFFu, png.at(px(25), py(10)));
    EXPECT_EQ(0x0000FFu, png.at(px(80), py(20)));
    // Inside the arrowhead but off the leader's line.
    EXPECT_EQ(0x0000FFu, png.at(px(70), py(21.2)));
    EXPECT_EQ(0xFFFFFFu, png.at(px(70), py(23)));
}

TEST(MultileaderPicture, LeaderLinesTextAndBlockComeFromTheContextData) {
    // ezdxf's multileaders, kept as read: the text one points from (700, 0), the block one
    // shows its balloon.
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(std::string(ZORMA_SOURCE_DIR) + "/tests/dxf/data/ezdxf_dims_r2018.dxf",
                           db, report));
    std::vector<const RawEntity*> leaders;
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    std::vector<ObjectPtr<Entity>> open;
    for (ObjectId id : ms->entityIds()) {
        open.emplace_back(id, OpenMode::forRead);
        if (const auto* r = objectCast<RawEntity>(open.back().get());
            r && r->record().kind == L"MULTILEADER")
            leaders.push_back(r);
    }
    ASSERT_EQ(2u, leaders.size());
    const auto textPieces = preview::multileaderPieces(*leaders[0]);
    int lines = 0, arrows = 0, texts = 0;
    for (const auto& p : textPieces) {
        if (const auto* l = objectCast<Line>(p.get()))
            lines += l->startPoint() == geom::Point3d(700, 0, 0);
        if (const auto* s = objectCast<Solid>(p.get()))
            arrows += s->corners()[0] == geom::Point3d(700, 0, 0);
        if (const auto* m = objectCast<MText>(p.get()))
            texts += m->contents() == L"部品 A";
    }
    EXPECT_EQ(1, lines);
    EXPECT_EQ(1, arrows);
    EXPECT_EQ(1, texts);
    int balloons = 0;
    for (const auto& p : preview::multileaderPieces(*leaders[1]))
        if (const auto* b = objectCast<BlockReference>(p.get())) {
            ObjectPtr<BlockTableRecord> rec(b->blockTableRecord(), OpenMode::forRead);
            balloons += rec && rec->name() == L"BALLOON";
        }
    EXPECT_EQ(1, balloons);
}

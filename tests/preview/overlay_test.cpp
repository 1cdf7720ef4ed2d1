// Temporary graphics over the picture: placed by the view's transform, entities outlined in
// their colours.
#include "zhost/db/db.h"
#include "zhost/preview/overlay.h"

#include "support/status.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace zhost;
using namespace zhost::db;
namespace preview = zhost::preview;
using preview::OverlayItem;

namespace {

// A white 100 x 100 picture showing drawing (0,0)-(50,50) at 2 pixels a unit: world (x, y) on
// pixel (2x, 100 - 2y).
class Canvas {
public:
    Canvas()
        : s_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100), cairo_surface_destroy),
          cr_(cairo_create(s_.get()), cairo_destroy) {
        cairo_set_source_rgb(cr_.get(), 1, 1, 1);
        cairo_paint(cr_.get());
    }
    void paint(const std::vector<OverlayItem>& items) {
        preview::paintOverlay(cr_.get(), items, {25, 25, 2, 100, 100});
        cairo_surface_flush(s_.get());
    }
    std::uint32_t at(int x, int y) const {
        const unsigned char* d = cairo_image_surface_get_data(s_.get());
        return reinterpret_cast<const std::uint32_t*>(
                   d + y * cairo_image_surface_get_stride(s_.get()))[x] &
               0xFFFFFF;
    }

private:
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> s_;
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr_;
};

OverlayItem path(std::vector<preview::OverlayPoint> pts, std::uint32_t rgb, double width = 3) {
    OverlayItem it;
    it.points = std::move(pts);
    it.rgb = rgb;
    it.widthPx = width;
    return it;
}

} // namespace

TEST(Overlay, ItemsLandWhereTheViewPutsTheDrawing) {
    Canvas c;
    OverlayItem band = path({{5, 10}, {45, 10}}, 0xFF0000);
    OverlayItem window;
    window.kind = OverlayItem::Kind::rectangle;
    window.points = {{30, 30}, {10, 45}}; // corners in any order
    window.rgb = 0x0000FF;
    window.widthPx = 3;
    window.fillArgb = 0xFF00FF00;
    OverlayItem marker;
    marker.kind = OverlayItem::Kind::marker;
    marker.points = {{40, 40}};
    marker.marker = preview::MarkerShape::square;
    marker.sizePx = 10;
    marker.widthPx = 2;
    marker.rgb = 0x00FFFF;
    c.paint({band, window, marker});
    EXPECT_EQ(0xFF0000u, c.at(50, 80)); // on the band, world (25, 10)
    EXPECT_EQ(0xFFFFFFu, c.at(50, 70)); // beside it
    EXPECT_EQ(0x00FF00u, c.at(40, 20)); // inside the window: its fill
    EXPECT_EQ(0x0000FFu, c.at(20, 30)); // its left edge, x = 10
    EXPECT_EQ(0x00FFFFu, c.at(85, 20)); // the marker's right side, 5 pixels from (80, 20)
    EXPECT_EQ(0xFFFFFFu, c.at(80, 20)); // a square marker is hollow
}

TEST(Overlay, BadPointsAreSkippedAndHugeOnesClamped) {
    Canvas c;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    c.paint({path({{nan, 0}, {50, 50}}, 0xFF0000), path({}, 0xFF0000),
             path({{0, 10}, {1e300, 10}}, 0x0000FF)});
    EXPECT_EQ(0xFFFFFFu, c.at(50, 50));
    EXPECT_EQ(0x0000FFu, c.at(50, 80)); // the far end still draws the visible part
}

TEST(Overlay, EntitiesAreOutlinedInTheirColoursOrTheOneAsked) {
    Database db;
    ObjectId red;
    db.addLayer(L"RED", red);
    {
        ObjectPtr<LayerTableRecord> l(red, OpenMode::forWrite);
        l->setColorIndex(1);
    }
    // Not in the database, as a jig's entity is: its layer still gives the colour.
    Circle dragged(geom::Point3d(25, 25, 0), 10);
    dragged.setLayer(red);
    const auto items = preview::entityOverlay(db, dragged, -1, false, 3);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(0xFF0000u, items[0].rgb);
    EXPECT_TRUE(items[0].closed);
    for (const auto& p : items[0].points)
        EXPECT_NEAR(10, std::hypot(p.x - 25, p.y - 25), 1e-9);

    ObjectId line;
    EXPECT_OK(db.appendToModelSpace(
        std::make_unique<Line>(geom::Point3d(0, 0, 0), geom::Point3d(10, 0, 0)), line));
    const auto seven = preview::entityOverlay(db, line);
    ASSERT_EQ(1u, seven.size());
    EXPECT_EQ(0x000000u, seven[0].rgb); // colour 7 on the view's white
    const auto highlight = preview::entityOverlay(db, line, 0x00FF00, true, 2);
    ASSERT_EQ(1u, highlight.size());
    EXPECT_EQ(0x00FF00u, highlight[0].rgb);
    EXPECT_TRUE(highlight[0].dashed);
    EXPECT_TRUE(preview::entityOverlay(db, ObjectId()).empty());

    Canvas c;
    c.paint(items);
    EXPECT_EQ(0xFF0000u, c.at(70, 50)); // the circle's right side, world (35, 25)
    EXPECT_EQ(0xFFFFFFu, c.at(50, 50));
}

// The window's crosshair runs across the whole picture, one pixel wide wherever the cursor is;
// painted into a bitmap (where the toolkit has no cairo context) the items land as on a context.
TEST(Overlay, TheCrosshairCrossesThePictureAndBitmapsGetTheSameItems) {
    OverlayItem cross;
    cross.kind = OverlayItem::Kind::crosshair;
    cross.points = {{10.3, 10.3}}; // pixel (20.6, 79.4)
    cross.rgb = 0x0000FF;
    Canvas c;
    c.paint({cross});
    for (int i : {0, 37, 99}) {
        EXPECT_EQ(0x0000FFu, c.at(i, 79)) << "row, x " << i;
        EXPECT_EQ(0x0000FFu, c.at(20, i)) << "column, y " << i;
    }
    EXPECT_EQ(0xFFFFFFu, c.at(5, 78));
    EXPECT_EQ(0xFFFFFFu, c.at(5, 80));
    EXPECT_EQ(0xFFFFFFu, c.at(21, 5));

    std::vector<std::uint32_t> bitmap(100 * 100, 0xFFFFFFFFu);
    const OverlayItem band = path({{5, 10}, {45, 10}}, 0xFF0000);
    preview::paintOverlay(preview::PixelTarget{bitmap.data(), 100, 100, 400}, {band, cross},
                          {25, 25, 2, 100, 100});
    Canvas same;
    same.paint({band, cross});
    int differ = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            differ += (bitmap[y * 100 + x] & 0xFFFFFF) != same.at(x, y);
    EXPECT_EQ(0, differ);
    // A bad bitmap is left alone rather than written out of bounds.
    preview::paintOverlay(preview::PixelTarget{bitmap.data(), 100, 100, 40}, {band},
                          {25, 25, 2, 100, 100});
}

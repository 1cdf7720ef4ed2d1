#pragma once
// Temporary graphics over a picture of the drawing: the jig's dragged entity, rubber bands,
// window and crossing rectangles, snap markers, the crosshair and the pick box. The drawing window
// paints them on top of its kept picture on every frame, so a frame costs the copy of the picture
// plus these few items, never a redraw of the drawing. (A selection's highlight, which may be the
// whole drawing, is painted from the kept scene instead: SceneCache::renderHighlight.)
//
// Items are in drawing coordinates (the view's transform places them); sizes of markers and
// line widths are in pixels so they look the same at every zoom.
#include "zhost/db/object_id.h"
#include "zhost/preview/preview.h"

#include <cstdint>
#include <vector>

// cairo's context type, declared as cairo.h declares it so that this header stays light.
typedef struct _cairo cairo_t;

namespace zhost::db {
class Database;
class Entity;
} // namespace zhost::db

namespace zhost::preview {

struct OverlayPoint {
    double x = 0, y = 0;
};

// The snap markers' usual shapes.
enum class MarkerShape {
    square,    // endpoint
    triangle,  // midpoint
    circle,    // centre
    diamond,   // quadrant
    cross,     // intersection (an X)
    hourglass, // nearest
    plus,      // a plain mark
};

struct OverlayItem {
    enum class Kind {
        path,      // the points joined in order; `closed` joins the last back to the first
        rectangle, // the axis-aligned box of points[0] and points[1]
        marker,    // a `marker` shape of `sizePx` centred on points[0]
        crosshair, // a horizontal and a vertical line across the whole picture through points[0]
    };
    Kind kind = Kind::path;
    std::vector<OverlayPoint> points;
    bool closed = false;
    std::uint32_t rgb = 0x000000; // 0xRRGGBB of the outline
    double widthPx = 1;
    bool dashed = false;
    // Under the outline of a rectangle or a closed path: 0xAARRGGBB; alpha 0 leaves it unfilled
    // (window selection: a pale blue; crossing: a pale green, both dashed or not by the caller).
    std::uint32_t fillArgb = 0;
    MarkerShape marker = MarkerShape::square;
    double sizePx = 10;
};

// Where drawing coordinates land on the picture: the drawing point at the picture's centre and
// the pixels per drawing unit (y up in the drawing, down on the picture).
struct ViewTransform {
    double centerX = 0, centerY = 0, scale = 1;
    int width = 0, height = 0; // the picture's size in pixels
    double px(double x) const { return width / 2.0 + (x - centerX) * scale; }
    double py(double y) const { return height / 2.0 - (y - centerY) * scale; }
};

// Copies a picture (as renderToPixels paints it) onto `cr` at its origin: the background of a
// frame.
void paintPicture(cairo_t* cr, const PixelTarget& picture);

// Paints the items in order with cairo onto `cr` (its origin at the picture's top left).
void paintOverlay(cairo_t* cr, const std::vector<OverlayItem>& items, const ViewTransform& view);
// The same onto a bitmap (where the window's toolkit does not paint with cairo).
void paintOverlay(const PixelTarget& target, const std::vector<OverlayItem>& items,
                  const ViewTransform& view);

// The outline of an entity as overlay paths: what the renderer would stroke for it (curves
// flattened, block references expanded, texts as their boxes), in its own colour unless `rgb` is
// given (>= 0). The entity need not be in the database (a jig's entity is not): layers and
// linetypes are looked up in `db`. For a dragged entity or a highlight.
std::vector<OverlayItem> entityOverlay(const db::Database& db, const db::Entity& entity,
                                       std::int64_t rgb = -1, bool dashed = false,
                                       double widthPx = 1);
// The same for an entity of the database by id; empty when it cannot be opened.
std::vector<OverlayItem> entityOverlay(const db::Database& db, db::ObjectId id,
                                       std::int64_t rgb = -1, bool dashed = false,
                                       double widthPx = 1);

} // namespace zhost::preview

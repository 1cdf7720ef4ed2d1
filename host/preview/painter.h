#pragma once
// Painting a scene with cairo into the rectangle (x0, y0, w, h) of a cairo context.
#include "scene.h"

#include <cairo.h>

#include <memory>

namespace zhost::preview {

// Drawing coordinates to the picture's pixels: x right, y down.
struct Fit {
    double scale = 1, ox = 0, oy = 0;
    double x(const geom::Point3d& p) const { return ox + p.x * scale; }
    double y(const geom::Point3d& p) const { return oy - p.y * scale; }
};

// The options' fixed view, or the scene's extents fitted into the rectangle with the margin.
Fit fitFor(const geom::Extents3d& extents, double x0, double y0, double w, double h,
           const RenderOptions& options);

bool darkBackground(std::uint32_t argb);
// Fills the rectangle with the options' background (clipped to it) and leaves the clip set.
void paintBackground(cairo_t* cr, double x0, double y0, double w, double h,
                     const RenderOptions& options);
void setColor(cairo_t* cr, const Style& st, bool dark);
// Width, caps, joins and dashes of a stroke in this style at this scale.
void applyStroke(cairo_t* cr, const Style& st, const Fit& f, const RenderOptions& o);
// One prim of any kind painted alone, exactly as paintScene paints it.
void paintPrim(cairo_t* cr, const Prim& p, const Fit& f, double x0, double y0, double w, double h,
               const RenderOptions& o, bool dark);

using SurfacePtr = std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)>;
using ContextPtr = std::unique_ptr<cairo_t, void (*)(cairo_t*)>;

// The part of `rect` inside a caller's bitmap; false for a bad bitmap or nothing left.
bool clipToTarget(const PixelTarget& target, const PixelRect& rect, PixelRect& out);
// A cairo surface over a caller's bitmap (check its status).
SurfacePtr targetSurface(const PixelTarget& target);

void paintScene(cairo_t* cr, const Scene& scene, double x0, double y0, double w, double h,
                const RenderOptions& options);

} // namespace zhost::preview

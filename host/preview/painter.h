#pragma once
// Painting a scene with cairo into the rectangle (x0, y0, w, h) of a cairo context.
#include "scene.h"

#include <cairo.h>

namespace zhost::preview {

void paintScene(cairo_t* cr, const Scene& scene, double x0, double y0, double w, double h,
                const RenderOptions& options);

} // namespace zhost::preview

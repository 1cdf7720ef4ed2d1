#pragma once
// A picture of model space kept between redraws: the drawing window's renderer.
//
// The scene (every entity flattened into world-space strokes, fills and texts with resolved
// colours, linetypes and lineweights) is collected once and kept while neither the drawing nor
// the screen state changes; each redraw then only culls and paints. When the drawing changed,
// its change log says what: if only entities of model space did, just those are collected again
// (their old prims taken out, the new ones added to the culling grid, the drawing order kept).
// A change of a layer, linetype or style, of a block the picture shows, of the draw order or of
// a variable that changes how things are drawn, too many changes, and the caller's screen
// serial (hides and shows on the screen) make a whole collect; so does zooming far enough in
// that block references collected as their filled boxes would show their content.
//
// Painting takes what the view shows from a grid of the prims' boxes, draws anything smaller
// than a pixel as a dot, drops curve points closer than half a pixel to the last one drawn, and
// strokes all lines of one pen (colour, width, dashes) as one path. The picture is the one
// renderToPixels paints, up to the anti-aliasing where lines of one pen cross and the order of
// overlapping lines of different pens between two fills or texts.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"
#include "zhost/preview/preview.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zhost::preview {

// What the last render did, for benchmarks and tests.
struct SceneCacheStats {
    bool collected = false;      // the scene was collected for this render
    bool updated = false;        // only the entities that changed were collected again
    std::size_t recollected = 0; // how many, when updated
    std::size_t prims = 0;       // prims kept
    std::size_t candidates = 0;  // prims the grid offered for the view
    std::size_t stroked = 0;     // lines and curves drawn as such
    std::size_t dots = 0;        // things smaller than a pixel drawn as a dot
    std::size_t penBatches = 0;  // cairo strokes and fills issued for batches of one pen
};

// The one pen a highlight is drawn with over the entities' own, in pixels.
struct HighlightPen {
    std::uint32_t rgb = 0x0078D7; // 0xRRGGBB
    double widthPx = 2;
    double dashPx = 6, gapPx = 4; // dashPx 0: continuous
};

class SceneCache {
public:
    SceneCache();
    ~SceneCache();
    SceneCache(const SceneCache&) = delete;
    SceneCache& operator=(const SceneCache&) = delete;

    // Paints model space into a rectangle of the bitmap as renderToPixels does (options' fixed
    // view, or the extents fitted), collecting the scene only when it is stale. `screenSerial`
    // must change whenever options.hiddenOnScreen would answer differently. invalidInput for a
    // bad target or rectangle, like renderToPixels; an empty drawing paints the background.
    // With `only`, just that part of the picture of `rect` is painted and the rest of the bitmap
    // is left as it was.
    Status render(const db::Database& db, const PixelTarget& target, const PixelRect& rect,
                  const RenderOptions& options, std::uint64_t screenSerial = 0,
                  const PixelRect* only = nullptr);

    // After an edit, where a picture painted before in the options' fixed view (of
    // options.width x options.height pixels) must be painted again: brings the kept scene up to
    // the drawing and, when only some entities had to be collected again, gives the pixels
    // their old and new pictures cover (empty when nothing drawn changed) and returns true.
    // False when the whole picture must be painted: the scene is collected whole at the next
    // render, or the view is not fixed.
    bool changedArea(const db::Database& db, const RenderOptions& options,
                     std::uint64_t screenSerial, PixelRect& area);

    // Paints the model-space entities `ids` (sorted) again over what the bitmap holds, with `pen`,
    // from the kept scene and in the view render() shows with the same options: the highlight of
    // a selection, whatever its size, costs a pass over the kept prims and one stroke. Lines and
    // curves are stroked as drawn, fills along their boundaries, texts as their boxes, things
    // smaller than a pixel as a small square. Collects the scene when it is stale.
    Status renderHighlight(const db::Database& db, const PixelTarget& target, const PixelRect& rect,
                           const RenderOptions& options, std::uint64_t screenSerial,
                           const std::vector<db::ObjectId>& ids, const HighlightPen& pen);

    // The extents of what the kept scene shows (false for an empty drawing): the zoom to
    // extents of the window. Collects the scene when it is stale (for a picture of
    // options.width x options.height fitted to the extents), so the render that follows at that
    // zoom finds it kept.
    bool extents(const db::Database& db, const RenderOptions& options, std::uint64_t screenSerial,
                 double& minX, double& minY, double& maxX, double& maxY);

    // Collect again at the next render whatever the serials say (another drawing shown).
    void invalidate();
    const SceneCacheStats& stats() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace zhost::preview

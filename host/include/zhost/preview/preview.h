#pragma once
// Pictures of drawings: a drawing, a layout or one block rendered to PNG, SVG or into a
// caller's 32-bit ARGB bitmap, fitted to the extents with a margin. Colours follow the standard
// ACI palette with 7 drawn black on the white background; layer states, visibility, linetypes,
// lineweights, texts (IPAGothic, so Japanese shows), hatches and nested block references are
// drawn.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace zhost::db {
class Database;
}

namespace zhost::preview {

struct RenderOptions {
    int width = 800;
    int height = 600;
    // Free border on every side, in pixels.
    int margin = 10;
    // 0xAARRGGBB; colour 7 is drawn black on a light background and white on a dark one.
    std::uint32_t background = 0xFFFFFFFF;
    // Pixels per millimetre of lineweight (0.25 mm draws 1 pixel wide by default).
    double pixelsPerMm = 4.0;
    // Entities the editor has hidden on screen: return true to leave an entity out.
    std::function<bool(db::ObjectId)> hiddenOnScreen;
    // A fixed view instead of the fit to the extents (a window that zooms and pans): the drawing
    // point shown at the centre of the picture and the pixels per drawing unit. A scale of 0
    // fits the extents.
    double viewCenterX = 0, viewCenterY = 0, viewScale = 0;
};

// The image's pixel format follows the extension of `out`: ".png" or ".svg" (any case);
// invalidInput for another extension or a size outside 1..16384, fileError when it cannot be
// written (`reason`, optional, says why). The file is saved as drawings are
// (settings::writeFileAtomically): only a regular file or a new name is replaced, whole.
Status renderDrawing(const db::Database& db, const std::filesystem::path& out,
                     const RenderOptions& options = {}, std::wstring* reason = nullptr);
// A layout or any block definition (its attribute definitions show their tags).
Status renderBlock(const db::Database& db, db::ObjectId blockId, const std::filesystem::path& out,
                   const RenderOptions& options = {}, std::wstring* reason = nullptr);

// A caller's bitmap: premultiplied 32-bit ARGB in native byte order (cairo's ARGB32),
// `strideBytes` per row.
struct PixelTarget {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int strideBytes = 0;
};
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The extents of what a picture of model space shows (false for an empty drawing): the zoom
// to the extents of a drawing window.
bool modelExtents(const db::Database& db, double& minX, double& minY, double& maxX, double& maxY);

// Draws a block (model space when null) into a rectangle of the bitmap; the rest of the bitmap
// is left as it is. options.width/height are taken from the rectangle.
Status renderToPixels(const db::Database& db, db::ObjectId blockId, const PixelTarget& target,
                      const PixelRect& rect, const RenderOptions& options = {});
// Reads a drawing file (an "X.dwg" name finds "X.dxf") and draws its model space into the
// rectangle: the dialogs' picture buttons and thumbnails.
Status drawDrawingPreview(const std::filesystem::path& drawingFile, const PixelTarget& target,
                          const PixelRect& rect, const RenderOptions& options = {});

// Registers drawDrawingPreview as the host's preview drawer (zhost/settings/vorta.h); the
// drawer's device context must point to a PixelTarget.
void installPreviewDrawer();

// The RGB (0xRRGGBB) of an ACI colour 1..255 (7 gives white; the renderer draws it black on
// light backgrounds).
std::uint32_t aciToRgb(int index);

} // namespace zhost::preview

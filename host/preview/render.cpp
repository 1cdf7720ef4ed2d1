// Rendering to files (PNG, SVG) and to a caller's bitmap.
#include "painter.h"

#include "zhost/dxf/dxf.h"
#include "zhost/settings/atomicfile.h"
#include "zhost/settings/vorta.h"

#include <cairo-svg.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

namespace zhost::preview {

namespace {

std::string lowerExtension(const std::filesystem::path& p) {
    std::string e = p.extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return e;
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// The picture is made in memory and saved like a drawing, so an existing picture is replaced
// whole or not at all, and only when it is a regular file.
Status renderFile(const db::Database& db, db::ObjectId blockId, const std::filesystem::path& out,
                  const RenderOptions& o, std::wstring* reason) {
    const std::string ext = lowerExtension(out);
    if ((ext != ".png" && ext != ".svg") || o.width < 1 || o.height < 1 || o.width > 16384 ||
        o.height > 16384)
        return Status::invalidInput;
    if (const Status s = settings::checkSaveTarget(out, reason); !ok(s))
        return s;
    Scene scene;
    Status s = buildScene(db, blockId, o, scene);
    if (!ok(s))
        return s;
    std::string bytes;
    SurfacePtr surface(
        ext == ".png" ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, o.width, o.height)
                      : cairo_svg_surface_create_for_stream(appendBytes, &bytes, o.width, o.height),
        cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Status::fileError;
    {
        ContextPtr cr(cairo_create(surface.get()), cairo_destroy);
        paintScene(cr.get(), scene, 0, 0, o.width, o.height, o);
    }
    if (ext == ".png") {
        if (cairo_surface_write_to_png_stream(surface.get(), appendBytes, &bytes) !=
            CAIRO_STATUS_SUCCESS)
            return Status::fileError;
    } else {
        cairo_surface_finish(surface.get());
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            return Status::fileError;
    }
    return settings::writeFileAtomically(out, bytes, {}, reason);
}

} // namespace

Status renderDrawing(const db::Database& db, const std::filesystem::path& out,
                     const RenderOptions& options, std::wstring* reason) {
    return renderFile(db, db.modelSpaceId(), out, options, reason);
}

Status renderBlock(const db::Database& db, db::ObjectId blockId, const std::filesystem::path& out,
                   const RenderOptions& options, std::wstring* reason) {
    return renderFile(db, blockId, out, options, reason);
}

Status renderToPixels(const db::Database& db, db::ObjectId blockId, const PixelTarget& target,
                      const PixelRect& rect, const RenderOptions& options) {
    PixelRect r;
    if (!clipToTarget(target, rect, r))
        return Status::invalidInput;
    RenderOptions o = options;
    o.width = r.right - r.left;
    o.height = r.bottom - r.top;
    Scene scene;
    Status s = buildScene(db, blockId, o, scene);
    if (!ok(s))
        return s;
    SurfacePtr surface = targetSurface(target);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Status::invalidInput;
    ContextPtr cr(cairo_create(surface.get()), cairo_destroy);
    paintScene(cr.get(), scene, r.left, r.top, o.width, o.height, o);
    cairo_surface_flush(surface.get());
    return Status::ok;
}

bool modelExtents(const db::Database& db, double& minX, double& minY, double& maxX, double& maxY) {
    Scene scene;
    if (!ok(buildScene(db, db.modelSpaceId(), {}, scene)) || scene.extents.isEmpty())
        return false;
    minX = scene.extents.minPoint.x;
    minY = scene.extents.minPoint.y;
    maxX = scene.extents.maxPoint.x;
    maxY = scene.extents.maxPoint.y;
    return true;
}

Status drawDrawingPreview(const std::filesystem::path& drawingFile, const PixelTarget& target,
                          const PixelRect& rect, const RenderOptions& options) {
    db::Database db;
    dxf::ReadReport report;
    Status s = dxf::readDxf(dxf::resolveDrawingPath(drawingFile), db, report);
    if (!ok(s))
        return s;
    return renderToPixels(db, db.modelSpaceId(), target, rect, options);
}

void installPreviewDrawer() {
    settings::setPreviewDrawer(
        [](std::wstring_view file, void* dc, const zhost_vui_Rect& r, int /*mode*/, int /*flags*/) {
            if (!dc)
                return false;
            const auto* target = static_cast<const PixelTarget*>(dc);
            return ok(drawDrawingPreview(std::filesystem::path(std::wstring(file)), *target,
                                         {r.left, r.top, r.right, r.bottom}));
        });
}

} // namespace zhost::preview

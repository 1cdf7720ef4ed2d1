// Temporary graphics painted over a cached picture of the drawing.
#include "zhost/preview/overlay.h"

#include "painter.h"
#include "scene.h"

#include "zhost/db/db.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace zhost::preview {

namespace {

constexpr double kPi = 3.141592653589793;

void setRgb(cairo_t* cr, std::uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                         (rgb & 255) / 255.0);
}

// A marker's outline about (x, y), `r` half its size.
void markerPath(cairo_t* cr, MarkerShape shape, double x, double y, double r) {
    switch (shape) {
    case MarkerShape::square:
        cairo_rectangle(cr, x - r, y - r, 2 * r, 2 * r);
        break;
    case MarkerShape::triangle:
        cairo_move_to(cr, x, y - r);
        cairo_line_to(cr, x + r, y + r);
        cairo_line_to(cr, x - r, y + r);
        cairo_close_path(cr);
        break;
    case MarkerShape::circle:
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        break;
    case MarkerShape::diamond:
        cairo_move_to(cr, x, y - r);
        cairo_line_to(cr, x + r, y);
        cairo_line_to(cr, x, y + r);
        cairo_line_to(cr, x - r, y);
        cairo_close_path(cr);
        break;
    case MarkerShape::cross:
        cairo_move_to(cr, x - r, y - r);
        cairo_line_to(cr, x + r, y + r);
        cairo_move_to(cr, x + r, y - r);
        cairo_line_to(cr, x - r, y + r);
        break;
    case MarkerShape::hourglass:
        cairo_move_to(cr, x - r, y - r);
        cairo_line_to(cr, x + r, y - r);
        cairo_line_to(cr, x - r, y + r);
        cairo_line_to(cr, x + r, y + r);
        cairo_close_path(cr);
        break;
    case MarkerShape::plus:
        cairo_move_to(cr, x - r, y);
        cairo_line_to(cr, x + r, y);
        cairo_move_to(cr, x, y - r);
        cairo_line_to(cr, x, y + r);
        break;
    }
}

void outline(cairo_t* cr, const OverlayItem& it) {
    cairo_set_line_width(cr, std::clamp(it.widthPx, 0.5, 64.0));
    if (it.dashed) {
        const double dash[] = {6, 4};
        cairo_set_dash(cr, dash, 2, 0);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    setRgb(cr, it.rgb);
    cairo_stroke(cr);
}

void fillUnder(cairo_t* cr, const OverlayItem& it) {
    if ((it.fillArgb >> 24) == 0)
        return;
    const std::uint32_t c = it.fillArgb;
    cairo_set_source_rgba(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0,
                          (c & 255) / 255.0, ((c >> 24) & 255) / 255.0);
    cairo_fill_preserve(cr);
}

bool finite(const OverlayPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Far beyond any window but small enough for cairo's fixed-point coordinates.
double clampPx(double v) {
    return std::clamp(v, -1e6, 1e6);
}

std::vector<OverlayItem> sceneOverlay(const Scene& scene, std::int64_t rgb, bool dashed,
                                      double widthPx) {
    std::vector<OverlayItem> out;
    auto add = [&](const Prim& p, const std::vector<geom::Point3d>& pts, bool closed) {
        OverlayItem it;
        it.closed = closed;
        it.dashed = dashed;
        it.widthPx = widthPx;
        // Colour 7 follows the view's white background.
        it.rgb = rgb >= 0 ? std::uint32_t(rgb) : p.style.aci7 ? 0x000000 : p.style.rgb;
        for (const geom::Point3d& q : pts)
            it.points.push_back({q.x, q.y});
        out.push_back(std::move(it));
    };
    for (const Prim& p : scene.prims) {
        switch (p.kind) {
        case Prim::stroke:
            add(p, p.paths[0], p.closed);
            break;
        case Prim::fill:
            for (const auto& loop : p.paths)
                add(p, loop, true);
            break;
        case Prim::dot:
            add(p, p.paths[0], false);
            out.back().kind = OverlayItem::Kind::marker;
            out.back().marker = MarkerShape::plus;
            out.back().sizePx = 5;
            break;
        case Prim::label: {
            const auto box = textBox(p.text);
            add(p, {box.begin(), box.end()}, true);
            break;
        }
        }
    }
    return out;
}

} // namespace

void paintPicture(cairo_t* cr, const PixelTarget& picture) {
    PixelRect whole;
    if (!clipToTarget(picture, {0, 0, picture.width, picture.height}, whole))
        return;
    SurfacePtr surface = targetSurface(picture);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return;
    cairo_save(cr);
    cairo_set_source_surface(cr, surface.get(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, 0, 0, picture.width, picture.height);
    cairo_fill(cr);
    cairo_restore(cr);
}

void paintOverlay(cairo_t* cr, const std::vector<OverlayItem>& items, const ViewTransform& view) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    for (const OverlayItem& it : items) {
        if (it.points.empty() || !std::all_of(it.points.begin(), it.points.end(), finite))
            continue;
        cairo_new_path(cr);
        const double x = clampPx(view.px(it.points[0].x)), y = clampPx(view.py(it.points[0].y));
        switch (it.kind) {
        case OverlayItem::Kind::path:
            cairo_move_to(cr, x, y);
            for (std::size_t i = 1; i < it.points.size(); ++i)
                cairo_line_to(cr, clampPx(view.px(it.points[i].x)),
                              clampPx(view.py(it.points[i].y)));
            if (it.closed && it.points.size() > 2) {
                cairo_close_path(cr);
                fillUnder(cr, it);
            }
            outline(cr, it);
            break;
        case OverlayItem::Kind::rectangle: {
            if (it.points.size() < 2)
                break;
            const double x2 = clampPx(view.px(it.points[1].x));
            const double y2 = clampPx(view.py(it.points[1].y));
            cairo_rectangle(cr, std::min(x, x2), std::min(y, y2), std::abs(x2 - x),
                            std::abs(y2 - y));
            fillUnder(cr, it);
            outline(cr, it);
            break;
        }
        case OverlayItem::Kind::marker:
            markerPath(cr, it.marker, x, y, std::clamp(it.sizePx, 2.0, 200.0) / 2);
            outline(cr, it);
            break;
        case OverlayItem::Kind::crosshair: {
            // On the middle of a pixel row and column: a one-pixel line stays one pixel wide.
            const double cx = std::floor(x) + 0.5, cy = std::floor(y) + 0.5;
            cairo_move_to(cr, 0, cy);
            cairo_line_to(cr, view.width, cy);
            cairo_move_to(cr, cx, 0);
            cairo_line_to(cr, cx, view.height);
            outline(cr, it);
            break;
        }
        }
    }
    cairo_restore(cr);
}

void paintOverlay(const PixelTarget& target, const std::vector<OverlayItem>& items,
                  const ViewTransform& view) {
    PixelRect whole;
    if (!clipToTarget(target, {0, 0, target.width, target.height}, whole))
        return;
    SurfacePtr surface = targetSurface(target);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return;
    ContextPtr cr(cairo_create(surface.get()), cairo_destroy);
    paintOverlay(cr.get(), items, view);
    cairo_surface_flush(surface.get());
}

std::vector<OverlayItem> entityOverlay(const db::Database& db, const db::Entity& entity,
                                       std::int64_t rgb, bool dashed, double widthPx) {
    Scene scene;
    if (!ok(buildEntityScene(db, entity, {}, scene)))
        return {};
    return sceneOverlay(scene, rgb, dashed, widthPx);
}

std::vector<OverlayItem> entityOverlay(const db::Database& db, db::ObjectId id, std::int64_t rgb,
                                       bool dashed, double widthPx) {
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
    if (!e)
        return {};
    return entityOverlay(db, *e, rgb, dashed, widthPx);
}

} // namespace zhost::preview

// Paints a scene with cairo and pango: fitted to the target with a margin, y up.
#include "painter.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace zhost::preview {

namespace {

constexpr double kCapHeightPerEm = 0.73; // IPAGothic's capital height per em

Fit fitTo(const geom::Extents3d& ext, double x0, double y0, double w, double h, int margin) {
    Fit f;
    if (ext.isEmpty())
        return f;
    const double ew = std::max(ext.maxPoint.x - ext.minPoint.x, 1e-9);
    const double eh = std::max(ext.maxPoint.y - ext.minPoint.y, 1e-9);
    const double aw = std::max(w - 2.0 * margin, 1.0), ah = std::max(h - 2.0 * margin, 1.0);
    f.scale = std::min(aw / ew, ah / eh);
    if (!std::isfinite(f.scale) || f.scale <= 0)
        f.scale = 1;
    const double cx = (ext.minPoint.x + ext.maxPoint.x) / 2;
    const double cy = (ext.minPoint.y + ext.maxPoint.y) / 2;
    f.ox = x0 + w / 2 - cx * f.scale;
    f.oy = y0 + h / 2 + cy * f.scale;
    return f;
}

void path(cairo_t* cr, const Fit& f, const std::vector<geom::Point3d>& pts, bool closed) {
    if (pts.empty())
        return;
    cairo_move_to(cr, f.x(pts[0]), f.y(pts[0]));
    for (std::size_t i = 1; i < pts.size(); ++i)
        cairo_line_to(cr, f.x(pts[i]), f.y(pts[i]));
    if (closed)
        cairo_close_path(cr);
}

// Whether a stroke lies wholly outside the picture's rectangle (widened by its line width): a
// window zoomed in on a large drawing then strokes only what it shows.
bool outsideView(const Fit& f, const Prim& p, double x0, double y0, double w, double h,
                 const RenderOptions& o) {
    const auto& pts = p.paths[0];
    if (pts.empty())
        return true;
    double minX = f.x(pts[0]), maxX = minX, minY = f.y(pts[0]), maxY = minY;
    for (const auto& q : pts) {
        minX = std::min(minX, f.x(q));
        maxX = std::max(maxX, f.x(q));
        minY = std::min(minY, f.y(q));
        maxY = std::max(maxY, f.y(q));
    }
    const double pad = 1 + (p.style.worldWidth > 0 ? p.style.worldWidth * f.scale
                                                   : p.style.weightMm * o.pixelsPerMm);
    return maxX < x0 - pad || minX > x0 + w + pad || maxY < y0 - pad || minY > y0 + h + pad;
}

// A two-colour gradient across the filled area, along the gradient's direction (the kinds
// other than linear are shown linear too).
void gradientFill(cairo_t* cr, const Prim& p) {
    double x1, y1, x2, y2;
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    double dx = p.gradientDir.x, dy = -p.gradientDir.y;
    const double len = std::hypot(dx, dy);
    dx = len > 0 ? dx / len : 1;
    dy = len > 0 ? dy / len : 0;
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double reach = (std::abs(dx) * (x2 - x1) + std::abs(dy) * (y2 - y1)) / 2;
    const std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)> owned(
        cairo_pattern_create_linear(cx - dx * reach, cy - dy * reach, cx + dx * reach,
                                    cy + dy * reach),
        &cairo_pattern_destroy);
    cairo_pattern_t* g = owned.get();
    const auto stop = [&](double at, std::uint32_t rgb) {
        cairo_pattern_add_color_stop_rgb(g, at, ((rgb >> 16) & 255) / 255.0,
                                         ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0);
    };
    stop(0, p.style.rgb);
    stop(1, p.gradientTo);
    cairo_save(cr);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Dashes for cairo (on, off, on, ...) from a pattern's lengths in pixels: a dot is a short
// dash, consecutive lengths of one kind are merged, and a pattern that starts with a gap gets an
// empty dash first.
std::vector<double> cairoDashes(const std::vector<double>& pattern, double scale) {
    std::vector<double> out;
    for (double d : pattern) {
        const bool on = d >= 0;
        const double len = d == 0 ? 0.5 : std::abs(d) * scale;
        if (out.empty() && !on)
            out.push_back(0);
        if (!out.empty() && (out.size() % 2 == 1) == on)
            out.back() += len;
        else
            out.push_back(len);
    }
    if (out.size() % 2 == 1)
        out.push_back(0);
    return out;
}

// Whether every line family of the hatch has its lines far enough apart to tell them apart.
bool familiesVisible(const Prim& p, const Fit& f) {
    for (const HatchFamily& fam : p.families) {
        const double dx = fam.dir.x, dy = -fam.dir.y; // device y runs down
        const double sx = fam.step.x * f.scale, sy = -fam.step.y * f.scale;
        if (std::abs(sx * -dy + sy * dx) < 2)
            return false;
    }
    return true;
}

// The hatch's own line families inside the clip rectangle, each line dashed from its base point.
void familyFill(cairo_t* cr, const Prim& p, const Fit& f, double x1, double y1, double x2,
                double y2) {
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double half = std::hypot(x2 - x1, y2 - y1) / 2;
    cairo_set_line_width(cr, 1);
    for (const HatchFamily& fam : p.families) {
        const double dx = fam.dir.x, dy = -fam.dir.y;
        const double nx = -dy, ny = dx;
        const double sx = fam.step.x * f.scale, sy = -fam.step.y * f.scale;
        const double bx = f.x(fam.base), by = f.y(fam.base);
        const double perStep = sx * nx + sy * ny; // across the lines, per step
        const double toCentre = (cx - bx) * nx + (cy - by) * ny;
        const long k0 = long(std::floor((toCentre - half) / perStep));
        const long k1 = long(std::ceil((toCentre + half) / perStep));
        const long lo = std::min(k0, k1), hi = std::max(k0, k1);
        if (hi - lo > 5000)
            continue;
        std::vector<double> dashes = cairoDashes(fam.dashes, f.scale);
        double period = 0;
        for (double d : dashes)
            period += d;
        for (long k = lo; k <= hi; ++k) {
            // The line's origin, and where along it the part drawn here starts.
            const double ox = bx + sx * double(k), oy = by + sy * double(k);
            const double along = (cx - ox) * dx + (cy - oy) * dy;
            const double from = along - half;
            if (period > 0) {
                const double phase = std::fmod(from, period);
                cairo_set_dash(cr, dashes.data(), int(dashes.size()),
                               phase < 0 ? phase + period : phase);
            } else {
                cairo_set_dash(cr, nullptr, 0, 0);
            }
            cairo_move_to(cr, ox + dx * from, oy + dy * from);
            cairo_line_to(cr, ox + dx * (from + 2 * half), oy + dy * (from + 2 * half));
            cairo_stroke(cr);
        }
    }
    cairo_set_dash(cr, nullptr, 0, 0);
}

// A pattern hatch is shown as parallel lines (45 degrees plus the pattern angle) clipped to
// the boundary; a pattern too fine for the picture is shown as a pale fill.
void patternFill(cairo_t* cr, const Prim& p, const Fit& f) {
    if (!p.families.empty() && familiesVisible(p, f)) {
        double x1, y1, x2, y2;
        cairo_save(cr);
        cairo_clip(cr);
        cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
        familyFill(cr, p, f, x1, y1, x2, y2);
        cairo_restore(cr);
        return;
    }
    const double spacing = 3.175 * std::max(p.text.height, 1e-9) * f.scale;
    if (!p.families.empty() || spacing < 3) {
        cairo_save(cr);
        cairo_clip_preserve(cr);
        cairo_paint_with_alpha(cr, 0.35);
        cairo_restore(cr);
        return;
    }
    double x1, y1, x2, y2;
    cairo_save(cr);
    cairo_clip(cr);
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    const double a = std::atan2(p.text.xdir.y, p.text.xdir.x) + 0.7853981633974483;
    const double dx = std::cos(a), dy = -std::sin(a); // device y runs down
    const double nx = -dy, ny = dx;
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double half = std::hypot(x2 - x1, y2 - y1) / 2 + spacing;
    const int n = int(half / spacing);
    if (n < 5000) {
        for (int i = -n; i <= n; ++i) {
            const double px = cx + nx * i * spacing, py = cy + ny * i * spacing;
            cairo_move_to(cr, px - dx * half, py - dy * half);
            cairo_line_to(cr, px + dx * half, py + dy * half);
        }
        cairo_set_line_width(cr, 1);
        cairo_set_dash(cr, nullptr, 0, 0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

std::string utf8(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) {
        const auto u = std::uint32_t(c);
        if (u < 0x80) {
            s += char(u);
        } else if (u < 0x800) {
            s += char(0xC0 | (u >> 6));
            s += char(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            if (u >= 0xD800 && u <= 0xDFFF) {
                s += "\xEF\xBF\xBD";
                continue;
            }
            s += char(0xE0 | (u >> 12));
            s += char(0x80 | ((u >> 6) & 0x3F));
            s += char(0x80 | (u & 0x3F));
        } else if (u <= 0x10FFFF) {
            s += char(0xF0 | (u >> 18));
            s += char(0x80 | ((u >> 12) & 0x3F));
            s += char(0x80 | ((u >> 6) & 0x3F));
            s += char(0x80 | (u & 0x3F));
        } else {
            s += "\xEF\xBF\xBD";
        }
    }
    return s;
}

void paintText(cairo_t* cr, const Prim& p, const Fit& f) {
    const TextItem& t = p.text;
    const double capPx = t.height * f.scale;
    if (capPx < 0.5 || capPx > 1e5 || t.text.empty())
        return;
    std::unique_ptr<PangoLayout, void (*)(void*)> layout(pango_cairo_create_layout(cr),
                                                         g_object_unref);
    PangoFontDescription* font = pango_font_description_from_string("IPAGothic");
    pango_font_description_set_absolute_size(font, capPx / kCapHeightPerEm * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);
    const std::string text = utf8(t.text);
    pango_layout_set_text(layout.get(), text.c_str(), int(text.size()));
    if (t.multiline) {
        if (t.wrapWidth > 0)
            pango_layout_set_width(layout.get(),
                                   int(t.wrapWidth * f.scale / t.widthFactor * PANGO_SCALE));
        pango_layout_set_alignment(layout.get(), t.hAlign == 0   ? PANGO_ALIGN_LEFT
                                                 : t.hAlign == 1 ? PANGO_ALIGN_CENTER
                                                                 : PANGO_ALIGN_RIGHT);
        pango_layout_set_spacing(layout.get(), int((t.lineSpacing - 1) * capPx * PANGO_SCALE));
    }
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout.get(), &ink, &logical);
    const double baseline = pango_layout_get_baseline(layout.get()) / double(PANGO_SCALE);
    const double w = t.multiline && t.wrapWidth > 0 ? t.wrapWidth * f.scale / t.widthFactor
                                                    : double(logical.width);
    double dx = t.hAlign == 0 ? 0 : t.hAlign == 1 ? -w / 2 : -w;
    double dy;
    if (t.multiline)
        dy = t.vAlign == 3 ? 0 : t.vAlign == 2 ? -logical.height / 2.0 : -double(logical.height);
    else // from the baseline: bottom, middle and top of the capitals
        dy = t.vAlign == 0   ? -baseline
             : t.vAlign == 1 ? -baseline
             : t.vAlign == 2 ? -baseline + capPx / 2
                             : -baseline + capPx;
    cairo_save(cr);
    cairo_translate(cr, f.x(t.anchor), f.y(t.anchor));
    cairo_rotate(cr, -std::atan2(t.xdir.y, t.xdir.x));
    cairo_scale(cr, t.widthFactor, 1);
    cairo_move_to(cr, dx, dy);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
}

} // namespace

bool darkBackground(std::uint32_t argb) {
    const double r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    return 0.299 * r + 0.587 * g + 0.114 * b < 128;
}

void setColor(cairo_t* cr, const Style& st, bool dark) {
    std::uint32_t rgb = st.rgb;
    if (st.aci7)
        rgb = dark ? 0xFFFFFF : 0x000000;
    cairo_set_source_rgb(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                         (rgb & 255) / 255.0);
}

void applyStroke(cairo_t* cr, const Style& st, const Fit& f, const RenderOptions& o) {
    const double width = st.worldWidth > 0 ? st.worldWidth * f.scale : st.weightMm * o.pixelsPerMm;
    cairo_set_line_width(cr, std::max(width, 1.0));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    std::vector<double> dashes;
    double total = 0;
    for (double d : st.dashes) {
        dashes.push_back(std::abs(d) * f.scale);
        total += std::abs(d) * f.scale;
    }
    // Patterns finer than a few pixels would only grey the line: draw it continuous.
    if (dashes.size() >= 2 && total >= 4 && total < 1e6) {
        if (st.dashes[0] < 0) // a pattern that starts with a gap
            std::rotate(dashes.begin(), dashes.begin() + 1, dashes.end());
        cairo_set_dash(cr, dashes.data(), int(dashes.size()), 0);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0);
    }
}

Fit fitFor(const geom::Extents3d& extents, double x0, double y0, double w, double h,
           const RenderOptions& o) {
    Fit f = fitTo(extents, x0, y0, w, h, o.margin);
    if (o.viewScale > 0 && std::isfinite(o.viewScale)) {
        f.scale = o.viewScale;
        f.ox = x0 + w / 2 - o.viewCenterX * f.scale;
        f.oy = y0 + h / 2 + o.viewCenterY * f.scale;
    }
    return f;
}

void paintBackground(cairo_t* cr, double x0, double y0, double w, double h,
                     const RenderOptions& o) {
    cairo_rectangle(cr, x0, y0, w, h);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, ((o.background >> 16) & 255) / 255.0,
                          ((o.background >> 8) & 255) / 255.0, (o.background & 255) / 255.0,
                          ((o.background >> 24) & 255) / 255.0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void paintPrim(cairo_t* cr, const Prim& p, const Fit& f, double x0, double y0, double w, double h,
               const RenderOptions& o, bool dark) {
    setColor(cr, p.style, dark);
    switch (p.kind) {
    case Prim::stroke:
        if (outsideView(f, p, x0, y0, w, h, o))
            break;
        path(cr, f, p.paths[0], p.closed);
        applyStroke(cr, p.style, f, o);
        cairo_stroke(cr);
        break;
    case Prim::fill:
        cairo_new_path(cr);
        for (const auto& loop : p.paths)
            path(cr, f, loop, true);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        if (p.closed && p.gradient)
            gradientFill(cr, p);
        else if (p.closed)
            cairo_fill(cr);
        else
            patternFill(cr, p, f);
        cairo_new_path(cr);
        break;
    case Prim::dot: {
        const double r = std::max(1.0, p.style.weightMm * o.pixelsPerMm);
        cairo_arc(cr, f.x(p.paths[0][0]), f.y(p.paths[0][0]), r, 0, 6.283185307179586);
        cairo_fill(cr);
        break;
    }
    case Prim::label:
        paintText(cr, p, f);
        break;
    }
}

bool clipToTarget(const PixelTarget& target, const PixelRect& rect, PixelRect& out) {
    if (!target.pixels || target.width < 1 || target.height < 1 ||
        target.strideBytes < target.width * 4 || target.strideBytes % 4 != 0)
        return false;
    out = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, target.width),
           std::min(rect.bottom, target.height)};
    return out.right > out.left && out.bottom > out.top;
}

SurfacePtr targetSurface(const PixelTarget& target) {
    return {cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(target.pixels),
                                                CAIRO_FORMAT_ARGB32, target.width, target.height,
                                                target.strideBytes),
            cairo_surface_destroy};
}

void paintScene(cairo_t* cr, const Scene& scene, double x0, double y0, double w, double h,
                const RenderOptions& o) {
    const bool dark = darkBackground(o.background);
    cairo_save(cr);
    paintBackground(cr, x0, y0, w, h, o);
    const Fit f = fitFor(scene.extents, x0, y0, w, h, o);
    for (const Prim& p : scene.prims)
        paintPrim(cr, p, f, x0, y0, w, h, o, dark);
    cairo_restore(cr);
}

} // namespace zhost::preview

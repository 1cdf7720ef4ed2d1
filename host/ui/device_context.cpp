// Drawing on bitmaps with cairo and pango.
#include "zhost/ui/device_context.h"

#include "preview_cache_impl.h"
#include "text_util.h"

#include "zhost/core/utf.h"
#include "zhost/ui/services.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace zhost::ui {
namespace {

PreviewRenderer& previewRenderer() {
    static PreviewRenderer r;
    return r;
}

void setColor(cairo_t* cr, Color c) {
    cairo_set_source_rgb(cr, redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0);
}

std::wstring colorText(Color c) {
    wchar_t buf[16];
    swprintf(buf, 16, L"%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return buf;
}

std::wstring rectText(const Rect& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.width()) + L"x" + std::to_wstring(r.height());
}

} // namespace

Font defaultGuiFont() {
    return Font{L"MS Shell Dlg", 9, false};
}

void setPreviewRenderer(PreviewRenderer renderer) {
    previewRenderer() = std::move(renderer);
}
bool hasPreviewRenderer() {
    return bool(previewRenderer());
}

struct DeviceContext::Impl {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

DeviceContext::DeviceContext(Bitmap& target, Point origin, Rect clip)
    : magic_(kMagic), target_(target), origin_(origin), impl_(std::make_unique<Impl>()) {
    // A zero-sized target still gets a (1x1) surface so every call stays valid.
    static std::uint32_t dummy = 0;
    unsigned char* data = target.empty() ? reinterpret_cast<unsigned char*>(&dummy)
                                         : reinterpret_cast<unsigned char*>(target.data());
    const int w = target.empty() ? 1 : target.width();
    const int h = target.empty() ? 1 : target.height();
    impl_->surface = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, w, h, w * 4);
    impl_->cr = cairo_create(impl_->surface);
    if (!clip.empty()) {
        cairo_rectangle(impl_->cr, clip.left, clip.top, clip.width(), clip.height());
        cairo_clip(impl_->cr);
    }
    cairo_translate(impl_->cr, origin.x, origin.y);
}

DeviceContext::~DeviceContext() {
    cairo_destroy(impl_->cr);
    cairo_surface_flush(impl_->surface);
    cairo_surface_destroy(impl_->surface);
}

void DeviceContext::record(std::wstring line) {
    if (recording_)
        log_.push_back(std::move(line));
}

void DeviceContext::pushClip(const Rect& r) {
    cairo_save(impl_->cr);
    cairo_rectangle(impl_->cr, r.left, r.top, r.width(), r.height()); // translated already
    cairo_clip(impl_->cr);
}

void DeviceContext::popClip() {
    cairo_restore(impl_->cr);
}

void DeviceContext::fillRect(const Rect& r, Color c) {
    record(L"fill " + rectText(r) + L" " + colorText(c));
    cairo_t* cr = impl_->cr;
    setColor(cr, c);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_fill(cr);
}

void DeviceContext::frameRect(const Rect& r, Color c) {
    record(L"frame " + rectText(r) + L" " + colorText(c));
    cairo_t* cr = impl_->cr;
    setColor(cr, c);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    cairo_stroke(cr);
}

void DeviceContext::drawLine(Point a, Point b, Color c, double width) {
    cairo_t* cr = impl_->cr;
    setColor(cr, c);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, a.x + 0.5, a.y + 0.5);
    cairo_line_to(cr, b.x + 0.5, b.y + 0.5);
    cairo_stroke(cr);
}

void DeviceContext::drawFocusRect(const Rect& r) {
    record(L"focus " + rectText(r));
    cairo_t* cr = impl_->cr;
    const double dash[] = {1.0};
    cairo_save(cr);
    cairo_set_dash(cr, dash, 1, 0);
    cairo_set_line_width(cr, 1);
    setColor(cr, rgb(0, 0, 0));
    cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DeviceContext::drawButtonFrame(const Rect& r, bool pushed, bool inactive) {
    record(std::wstring(L"buttonframe ") + (pushed ? L"pushed" : L"raised") +
           (inactive ? L" inactive" : L""));
    const bool oldRec = recording_;
    recording_ = false;
    fillRect(r, sysColor(SysColor::buttonFace));
    const Color light = sysColor(SysColor::buttonHighlight);
    const Color dark = rgb(105, 105, 105);
    const Color tl = pushed ? dark : light;
    const Color br = pushed ? light : dark;
    drawLine({r.left, r.top}, {r.right - 1, r.top}, tl);
    drawLine({r.left, r.top}, {r.left, r.bottom - 1}, tl);
    drawLine({r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, br);
    drawLine({r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, br);
    recording_ = oldRec;
    (void)inactive;
}

void DeviceContext::drawCheckMark(const Rect& box, bool radio, bool checked, bool inactive) {
    cairo_t* cr = impl_->cr;
    const Color edge = inactive ? rgb(160, 160, 160) : rgb(51, 51, 51);
    const double cx = box.left + box.width() / 2.0, cy = box.top + box.height() / 2.0;
    const double s = std::min(box.width(), box.height()) - 1;
    setColor(cr, rgb(255, 255, 255));
    if (radio)
        cairo_arc(cr, cx, cy, s / 2, 0, 2 * M_PI);
    else
        cairo_rectangle(cr, cx - s / 2, cy - s / 2, s, s);
    cairo_fill_preserve(cr);
    setColor(cr, edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (!checked)
        return;
    if (radio) {
        cairo_arc(cr, cx, cy, s / 4.5, 0, 2 * M_PI);
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, std::max(1.5, s / 7));
        cairo_move_to(cr, cx - s * 0.3, cy);
        cairo_line_to(cr, cx - s * 0.08, cy + s * 0.25);
        cairo_line_to(cr, cx + s * 0.32, cy - s * 0.28);
        cairo_stroke(cr);
    }
}

void DeviceContext::drawThemeBackground(int part, int state, const Rect& r) {
    record(L"theme " + std::to_wstring(part) + L" " + std::to_wstring(state));
    cairo_t* cr = impl_->cr;
    Color fill = rgb(225, 225, 225), edge = rgb(173, 173, 173);
    switch (state) {
    case theme::stateHot:
        fill = rgb(229, 241, 251), edge = rgb(0, 120, 215);
        break;
    case theme::statePressed:
        fill = rgb(204, 228, 247), edge = rgb(0, 84, 153);
        break;
    case theme::stateDisabled:
        fill = rgb(204, 204, 204), edge = rgb(191, 191, 191);
        break;
    case theme::stateDefaulted:
        fill = rgb(225, 225, 225), edge = rgb(0, 120, 215);
        break;
    default:
        break;
    }
    setColor(cr, fill);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_fill(cr);
    setColor(cr, edge);
    cairo_set_line_width(cr, state == theme::stateDefaulted ? 2 : 1);
    cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    cairo_stroke(cr);
}

void DeviceContext::drawSizeGrip(const Rect& r) {
    record(L"sizegrip " + rectText(r));
    for (int i = 0; i < 3; ++i) {
        const int o = 4 * i + 3;
        drawLine({r.right - 1, r.bottom - 1 - o}, {r.right - 1 - o, r.bottom - 1},
                 rgb(160, 160, 160));
    }
}

int DeviceContext::drawText(std::wstring_view text, Rect& r, unsigned format) {
    const std::wstring shown =
        (format & dt::noPrefix) ? std::wstring(text) : detail::stripMnemonic(text);
    cairo_t* cr = impl_->cr;
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* fd = pango_font_description_from_string("IPAGothic, Sans");
    const int px = std::max(6, (font_.pointSize * 96 + 36) / 72);
    pango_font_description_set_absolute_size(fd, px * PANGO_SCALE);
    if (font_.bold)
        pango_font_description_set_weight(fd, PANGO_WEIGHT_BOLD);
    pango_layout_set_font_description(layout, fd);
    const std::string utf8 = toUtf8(shown);
    pango_layout_set_text(layout, utf8.c_str(), int(utf8.size()));
    if (format & dt::wordBreak && !(format & dt::singleLine)) {
        pango_layout_set_width(layout, std::max(1, r.width()) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else if (format & dt::endEllipsis) {
        pango_layout_set_width(layout, std::max(1, r.width()) * PANGO_SCALE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    if (format & dt::center)
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    else if (format & dt::right)
        pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    if (format & dt::calcRect) {
        r.right = r.left + w;
        r.bottom = r.top + h;
    } else {
        record(L"text \"" + detail::visible(shown) + L"\" " + colorText(textColor_));
        double x = r.left, y = r.top;
        const bool wrapped = pango_layout_get_width(layout) > 0;
        if (!wrapped) {
            if (format & dt::center)
                x = r.left + (r.width() - w) / 2.0;
            else if (format & dt::right)
                x = r.right - w;
        }
        if (format & dt::singleLine) {
            if (format & dt::vcenter)
                y = r.top + (r.height() - h) / 2.0;
            else if (format & dt::bottom)
                y = r.bottom - h;
        }
        cairo_save(cr);
        cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
        cairo_clip(cr);
        setColor(cr, textColor_);
        cairo_move_to(cr, std::floor(x), std::floor(y));
        pango_cairo_show_layout(cr, layout);
        cairo_restore(cr);
    }
    pango_font_description_free(fd);
    g_object_unref(layout);
    return h;
}

Size DeviceContext::measureText(std::wstring_view text) {
    Rect r{0, 0, 10000, 10000};
    const bool oldRec = recording_;
    recording_ = false;
    drawText(text, r, dt::calcRect | dt::singleLine | dt::noPrefix);
    recording_ = oldRec;
    return {r.width(), r.height()};
}

void DeviceContext::drawBitmap(const Bitmap& bmp, const Rect& dest, bool stretch,
                               const Color* transparent, bool grey) {
    record(L"bitmap " + std::to_wstring(bmp.width()) + L"x" + std::to_wstring(bmp.height()) +
           L" into " + rectText(dest) + (stretch ? L" stretched" : L" centred") +
           (transparent ? L" transparent " + colorText(*transparent) : L"") +
           (grey ? L" grey" : L""));
    if (bmp.empty() || dest.empty())
        return;
    Bitmap src = bmp;
    const std::uint32_t key = transparent ? argbOf(*transparent) : 0;
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            std::uint32_t p = src.pixel(x, y);
            if (transparent && p == key) {
                src.setPixel(x, y, 0);
                continue;
            }
            if (grey && (p >> 24) != 0) {
                const int l =
                    (int((p >> 16) & 0xFF) * 3 + int((p >> 8) & 0xFF) * 6 + int(p & 0xFF)) / 10;
                const int g = 128 + l / 2;
                p = 0xFF000000u | (std::uint32_t(g) << 16) | (std::uint32_t(g) << 8) |
                    std::uint32_t(g);
                src.setPixel(x, y, p);
            }
        }
    }
    cairo_t* cr = impl_->cr;
    cairo_surface_t* s = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(src.data()), CAIRO_FORMAT_ARGB32, src.width(),
        src.height(), src.stride());
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.width(), dest.height());
    cairo_clip(cr);
    if (stretch) {
        cairo_translate(cr, dest.left, dest.top);
        cairo_scale(cr, double(dest.width()) / src.width(), double(dest.height()) / src.height());
        cairo_set_source_surface(cr, s, 0, 0);
    } else {
        cairo_set_source_surface(cr, s, dest.left + (dest.width() - src.width()) / 2,
                                 dest.top + (dest.height() - src.height()) / 2);
    }
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

bool DeviceContext::drawPreview(std::wstring_view drawingFile, const Rect& r, int mode, int flags) {
    record(L"preview \"" + std::wstring(drawingFile) + L"\" " + rectText(r) + L" mode " +
           std::to_wstring(mode) + L" flags " + std::to_wstring(flags));
    if (!previewRenderer() || r.empty())
        return false;
    Bitmap image(r.width(), r.height(), 0);
    if (!detail::renderPreviewCached(drawingFile, image, mode, flags, previewRenderer()))
        return false;
    const bool oldRec = recording_;
    recording_ = false;
    drawBitmap(image, r, false);
    recording_ = oldRec;
    return true;
}

} // namespace zhost::ui

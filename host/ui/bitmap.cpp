// Bitmaps of 32-bit pixels and their PNG files.
#include "zhost/ui/bitmap.h"

#include <cairo.h>

#include <cstring>

namespace zhost::ui {

Rect unionRect(const Rect& a, const Rect& b) {
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

Color sysColor(SysColor which) {
    switch (which) {
    case SysColor::window:
        return rgb(255, 255, 255);
    case SysColor::windowText:
        return rgb(0, 0, 0);
    case SysColor::buttonFace:
        return rgb(240, 240, 240);
    case SysColor::buttonText:
        return rgb(0, 0, 0);
    case SysColor::grayText:
        return rgb(109, 109, 109);
    case SysColor::highlight:
        return rgb(0, 120, 215);
    case SysColor::highlightText:
        return rgb(255, 255, 255);
    case SysColor::inactiveBorder:
        return rgb(244, 247, 252);
    case SysColor::menu:
        return rgb(240, 240, 240);
    case SysColor::menuText:
        return rgb(0, 0, 0);
    case SysColor::buttonShadow:
        return rgb(160, 160, 160);
    case SysColor::buttonHighlight:
        return rgb(255, 255, 255);
    }
    return 0;
}

Bitmap::Bitmap(int width, int height, std::uint32_t fillArgb)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
      pixels_(size_t(width_) * size_t(height_), fillArgb) {}

std::uint32_t Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[size_t(y) * size_t(width_) + size_t(x)];
}

void Bitmap::setPixel(int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[size_t(y) * size_t(width_) + size_t(x)] = argb;
}

Color Bitmap::colorAt(int x, int y) const {
    const std::uint32_t p = pixel(x, y);
    return rgb(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

bool Bitmap::savePng(const std::filesystem::path& file) const {
    if (empty())
        return false;
    Bitmap copy = *this;
    cairo_surface_t* s =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(copy.data()),
                                            CAIRO_FORMAT_ARGB32, width_, height_, stride());
    const bool ok = cairo_surface_write_to_png(s, file.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

bool Bitmap::loadPng(const std::filesystem::path& file, Bitmap& out) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(file.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return false;
    }
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s);
    const int h = cairo_image_surface_get_height(s);
    const int st = cairo_image_surface_get_stride(s);
    const cairo_format_t f = cairo_image_surface_get_format(s);
    Bitmap b(w, h, 0);
    const unsigned char* src = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(src + size_t(y) * size_t(st));
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y, f == CAIRO_FORMAT_RGB24 ? (row[x] | 0xFF000000u) : row[x]);
    }
    cairo_surface_destroy(s);
    out = std::move(b);
    return true;
}

} // namespace zhost::ui

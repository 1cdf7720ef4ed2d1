#pragma once
// A bitmap of 32-bit pixels (premultiplied alpha, 0xAARRGGBB in native byte order), the form
// in which dialogs hold pictures, icons and the images of drawing previews.
#include "zhost/ui/types.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zhost::ui {

class Bitmap {
public:
    Bitmap() = default;
    // A bitmap of the given size filled with `fill` (opaque when the colour is).
    Bitmap(int width, int height, std::uint32_t fillArgb = 0xFFFFFFFF);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    int stride() const { return width_ * 4; }

    std::uint32_t* data() { return pixels_.data(); }
    const std::uint32_t* data() const { return pixels_.data(); }
    // 0xAARRGGBB; out-of-range reads give 0, writes are ignored.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t argb);
    // The pixel as a platform colour (0x00BBGGRR), alpha ignored.
    Color colorAt(int x, int y) const;

    // PNG files (through cairo). False when the file cannot be written or read.
    bool savePng(const std::filesystem::path& file) const;
    static bool loadPng(const std::filesystem::path& file, Bitmap& out);

    bool operator==(const Bitmap&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

constexpr std::uint32_t argbOf(Color c) {
    return 0xFF000000u | (std::uint32_t(redOf(c)) << 16) | (std::uint32_t(greenOf(c)) << 8) |
           std::uint32_t(blueOf(c));
}

} // namespace zhost::ui

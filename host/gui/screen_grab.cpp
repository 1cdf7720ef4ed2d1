// Reading the screen through Xlib (see screen_grab.h). Kept apart from the wx sources: Xlib's
// macros (None, Status, Bool) clash with other headers.
#include "screen_grab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <memory>

namespace zorma::gui {
namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
struct ImageDestroyer {
    void operator()(XImage* i) const { XDestroyImage(i); }
};

// The position of a mask's lowest bit and the mask shifted down, to take a channel out.
int channel(unsigned long pixel, unsigned long mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    const unsigned long v = (pixel >> shift) & mask;
    return int(v * 255 / mask);
}

} // namespace

bool grabScreen(int x, int y, int width, int height, std::vector<unsigned char>& rgb, int& outWidth,
                int& outHeight) {
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display)
        return false;
    Display* d = display.get();
    const int screen = DefaultScreen(d);
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(x + width, DisplayWidth(d, screen));
    const int y1 = std::min(y + height, DisplayHeight(d, screen));
    if (x1 <= x0 || y1 <= y0)
        return false;
    const std::unique_ptr<XImage, ImageDestroyer> image(
        XGetImage(d, RootWindow(d, screen), x0, y0, unsigned(x1 - x0), unsigned(y1 - y0), AllPlanes,
                  ZPixmap));
    if (!image)
        return false;
    outWidth = x1 - x0;
    outHeight = y1 - y0;
    rgb.resize(size_t(outWidth) * size_t(outHeight) * 3);
    unsigned char* out = rgb.data();
    for (int row = 0; row < outHeight; ++row)
        for (int col = 0; col < outWidth; ++col) {
            const unsigned long p = XGetPixel(image.get(), col, row);
            *out++ = (unsigned char)channel(p, image->red_mask);
            *out++ = (unsigned char)channel(p, image->green_mask);
            *out++ = (unsigned char)channel(p, image->blue_mask);
        }
    return true;
}

} // namespace zorma::gui

// Check and radio pictures, drawn pixel by pixel with coverage sampling so that the 16 and 32
// pixel sets look alike.
#include "resources/CheckBitmaps.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rgb {
    double r, g, b;
};

std::uint32_t ToArgb(const Rgb& c) {
    auto ch = [](double v) { return std::uint32_t(std::clamp(v, 0.0, 255.0) + 0.5); };
    return 0xFF000000u | (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

} // namespace

zhost::ui::Bitmap DrawCheckPicture(CheckPictureKind kind, int nSize, bool bDisabled) {
    const Rgb white{255, 255, 255};
    const Rgb frame = bDisabled ? Rgb{170, 170, 170} : Rgb{51, 51, 51};
    const Rgb face = bDisabled ? Rgb{236, 236, 236} : Rgb{252, 252, 252};
    const Rgb mark = bDisabled ? Rgb{160, 160, 160} : Rgb{0, 95, 184};
    const bool radio = kind == CheckPictureKind::RadioOff || kind == CheckPictureKind::RadioOn;
    const bool on = kind == CheckPictureKind::CheckOn || kind == CheckPictureKind::RadioOn;
    const double s = nSize;
    const double inset = s / 8.0; // margin round the box
    const double line = s / 16.0; // frame thickness
    const double half = (s - 2 * inset) / 2;
    const double c = s / 2;
    zhost::ui::Bitmap bmp(nSize, nSize, 0xFFFFFFFF);
    constexpr int kSub = 4; // 4 x 4 samples per pixel
    for (int y = 0; y < nSize; ++y) {
        for (int x = 0; x < nSize; ++x) {
            double fr = 0, fa = 0, fm = 0; // coverage of frame, face and mark
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const double px = x + (sx + 0.5) / kSub, py = y + (sy + 0.5) / kSub;
                    // Signed distance to the box or circle outline (negative inside).
                    const double d = radio ? std::hypot(px - c, py - c) - half
                                           : std::max(std::abs(px - c), std::abs(py - c)) - half;
                    bool inMark = false;
                    if (on && radio)
                        inMark = std::hypot(px - c, py - c) <= half * 0.45;
                    if (on && !radio) {
                        const double w = s / 10.0;
                        inMark = SegmentDistance(px, py, c - half * 0.55, c, c - half * 0.12,
                                                 c + half * 0.45) <= w ||
                                 SegmentDistance(px, py, c - half * 0.12, c + half * 0.45,
                                                 c + half * 0.6, c - half * 0.5) <= w;
                    }
                    if (inMark)
                        fm += 1;
                    else if (d <= 0 && d > -line)
                        fr += 1;
                    else if (d <= -line)
                        fa += 1;
                }
            }
            const double n = kSub * kSub;
            Rgb col = white;
            col = Mix(col, face, fa / n);
            col = Mix(col, frame, fr / n);
            col = Mix(col, mark, fm / n);
            // Pure white stays exactly white so it is transparent when the picture is copied.
            bmp.setPixel(x, y, (fa + fr + fm) == 0 ? 0xFFFFFFFF : ToArgb(col));
        }
    }
    return bmp;
}

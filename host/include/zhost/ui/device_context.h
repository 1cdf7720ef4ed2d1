#pragma once
// Drawing on a bitmap: what owner-drawn controls, the dialogs' drawing routines and the
// snapshot of a dialog use. The operations are those of the platform's device context and
// theme functions that the add-on calls, with the platform's text-format flags. A context can
// also keep a log of what was drawn, one line per operation, so tests can see which theme
// state or which caption colour a drawing routine chose.
#include "zhost/ui/bitmap.h"
#include "zhost/ui/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::ui {

// Text format flags (the platform's DT_ values).
namespace dt {
inline constexpr unsigned left = 0x0;
inline constexpr unsigned center = 0x1;
inline constexpr unsigned right = 0x2;
inline constexpr unsigned vcenter = 0x4;
inline constexpr unsigned bottom = 0x8;
inline constexpr unsigned wordBreak = 0x10;
inline constexpr unsigned singleLine = 0x20;
inline constexpr unsigned calcRect = 0x400;
inline constexpr unsigned noPrefix = 0x800;
inline constexpr unsigned endEllipsis = 0x8000;
} // namespace dt

struct Font {
    std::wstring face = L"MS Shell Dlg"; // drawn with the host's Japanese-capable UI font
    int pointSize = 9;
    bool bold = false;
    bool operator==(const Font&) const = default;
};
// The platform's default GUI font.
Font defaultGuiFont();

// Push-button theme part and its documented states.
namespace theme {
inline constexpr int partPushButton = 1;
inline constexpr int stateNormal = 1;
inline constexpr int stateHot = 2;
inline constexpr int statePressed = 3;
inline constexpr int stateDisabled = 4;
inline constexpr int stateDefaulted = 5;
} // namespace theme

class DeviceContext {
public:
    // Marks a device context among the opaque pointers that the settings library's preview call
    // receives (the first member of every context).
    static constexpr std::uint64_t kMagic = 0x5A55494443303031ull; // "ZUIDC001"
    // Whether `p` points to a DeviceContext (see kMagic).
    static bool isDeviceContext(const void* p) {
        return p && *static_cast<const std::uint64_t*>(p) == kMagic;
    }

    // Draws on `target`, which must outlive the context. `origin` is where the context's (0,0)
    // lies on the target; drawing is clipped to `clip` (target coordinates; empty: no clip).
    explicit DeviceContext(Bitmap& target, Point origin = {}, Rect clip = {});
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Keeps a log line per operation (see log()).
    void setRecording(bool on) { recording_ = on; }
    const std::vector<std::wstring>& log() const { return log_; }

    Bitmap& target() { return target_; }
    Point origin() const { return origin_; }

    void setFont(const Font& font) { font_ = font; }
    const Font& font() const { return font_; }
    void setTextColor(Color c) { textColor_ = c; }
    Color textColor() const { return textColor_; }

    // Narrows the clip to `r` (context coordinates) until the matching popClip(): the part of
    // a control that scrolls under its fixed parts (a grid's headers) is drawn inside it.
    void pushClip(const Rect& r);
    void popClip();

    void fillRect(const Rect& r, Color c);
    void frameRect(const Rect& r, Color c);
    void drawLine(Point a, Point b, Color c, double width = 1.0);
    // The dotted focus rectangle.
    void drawFocusRect(const Rect& r);
    // A classic push-button frame (raised, or sunken when pushed; greyed when inactive).
    void drawButtonFrame(const Rect& r, bool pushed, bool inactive);
    // Check and radio marks of standard buttons.
    void drawCheckMark(const Rect& box, bool radio, bool checked, bool inactive);
    // The themed background of a part in a state.
    void drawThemeBackground(int part, int state, const Rect& r);
    // The size grip of a resizable window's bottom-right corner.
    void drawSizeGrip(const Rect& r);

    // Draws text in the current font and text colour; returns the text's height. With
    // dt::calcRect nothing is drawn and `r` is changed to the measured rectangle.
    int drawText(std::wstring_view text, Rect& r, unsigned format);
    int drawText(std::wstring_view text, const Rect& r, unsigned format) {
        Rect copy = r;
        return drawText(text, copy, format);
    }
    // Width and height of one line of text in the current font.
    Size measureText(std::wstring_view text);

    // Copies a bitmap into `dest`: stretched when `stretch`, else centred at its own size.
    // With `transparent` set, pixels of that colour are not copied. `grey` draws it greyed out.
    void drawBitmap(const Bitmap& bmp, const Rect& dest, bool stretch,
                    const Color* transparent = nullptr, bool grey = false);

    // The stored preview of a drawing file, fitted into `r` (the platform's preview call with
    // its mode and flags). False when no preview renderer is registered or the file cannot be
    // drawn; the area is then left as it was.
    bool drawPreview(std::wstring_view drawingFile, const Rect& r, int mode, int flags);

private:
    struct Impl;
    void record(std::wstring line);

    std::uint64_t magic_ = kMagic; // must stay the first member
    Bitmap& target_;
    Point origin_;
    std::unique_ptr<Impl> impl_;
    Font font_ = defaultGuiFont();
    Color textColor_ = 0;
    bool recording_ = false;
    std::vector<std::wstring> log_;
};

// Who renders drawing previews into a bitmap (the preview module registers itself; tests may
// register their own). An empty function unregisters.
using PreviewRenderer =
    std::function<bool(std::wstring_view drawingFile, Bitmap& into, int mode, int flags)>;
void setPreviewRenderer(PreviewRenderer renderer);
bool hasPreviewRenderer();

} // namespace zhost::ui

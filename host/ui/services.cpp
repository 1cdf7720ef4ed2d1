// Clipboard, message boxes, theme, screen, and the hooks the settings library's UI support
// calls (keeping windows on screen, drawing previews into a device context).
#include "zhost/ui/services.h"

#include "framework.h"

#include "zhost/settings/vorta.h"
#include "zhost/ui/backend.h"
#include "zhost/ui/dialog.h"

#include <algorithm>
#include <optional>

#ifdef ZHOST_UI_HAS_PREVIEW
#include "zhost/preview/preview.h"
#include "zhost/settings/paths.h"
#endif

namespace zhost::ui {
namespace {

struct ServiceState {
    std::optional<std::wstring> clipboard;
    std::vector<std::wstring> boxes;
    bool theme = true;
    Rect screen{0, 0, 1920, 1080};
    int dpi = 96;
};

ServiceState& state() {
    static ServiceState s;
    return s;
}

} // namespace

void setClipboardText(std::wstring_view text) {
    state().clipboard = std::wstring(text);
}

bool getClipboardText(std::wstring& out) {
    if (!state().clipboard)
        return false;
    out = *state().clipboard;
    return true;
}

void clearClipboard() {
    state().clipboard.reset();
}

int messageBox(Dialog*, std::wstring_view text, std::wstring_view caption, unsigned) {
    state().boxes.emplace_back(text);
    backend().showMessageBox(text, caption);
    return idOk;
}

const std::vector<std::wstring>& messageBoxLog() {
    return state().boxes;
}
void clearMessageBoxLog() {
    state().boxes.clear();
}

bool themeActive() {
    return state().theme;
}
void setThemeActive(bool active) {
    state().theme = active;
}

Rect screenRect() {
    return state().screen;
}
void setScreenRect(const Rect& r) {
    state().screen = r;
}
int logPixelsY() {
    return state().dpi;
}
void setLogPixelsY(int dpi) {
    state().dpi = dpi > 0 ? dpi : 96;
}

void keepOnScreen(Dialog& dialog) {
    const Rect s = screenRect();
    Rect w = dialog.windowRect();
    int x = w.left, y = w.top;
    if (w.right > s.right)
        x -= w.right - s.right;
    if (w.bottom > s.bottom)
        y -= w.bottom - s.bottom;
    x = std::max(x, s.left);
    y = std::max(y, s.top);
    if (x != w.left || y != w.top)
        dialog.setPosition(x, y);
}

void resetServices() {
    state() = ServiceState{};
}

namespace detail {
namespace {

#ifdef ZHOST_UI_HAS_PREVIEW
preview::PixelTarget pixelTarget(Bitmap& b) {
    return preview::PixelTarget{b.data(), b.width(), b.height(), b.stride()};
}
#endif

// The settings library's preview call gets an opaque device context: the dialogs pass their
// DeviceContext, other callers the preview module's pixel target.
bool drawPreviewInto(std::wstring_view file, void* dc, const zhost_vui_Rect& r, int mode,
                     int flags) {
    if (!dc)
        return false;
    if (DeviceContext::isDeviceContext(dc))
        return static_cast<DeviceContext*>(dc)->drawPreview(
            file, Rect{r.left, r.top, r.right, r.bottom}, mode, flags);
#ifdef ZHOST_UI_HAS_PREVIEW
    const auto path = settings::toFsPath(file);
    return ok(preview::drawDrawingPreview(path, *static_cast<const preview::PixelTarget*>(dc),
                                          preview::PixelRect{r.left, r.top, r.right, r.bottom}));
#else
    return false;
#endif
}

} // namespace

void installPreviewHooks() {
    settings::setPreviewDrawer(&drawPreviewInto);
}

void initializeFramework() {
    static bool done = false;
    if (done)
        return;
    done = true;
    settings::setWindowKeeper([](void* window, int) {
        if (!window)
            return false;
        keepOnScreen(*static_cast<Dialog*>(window));
        return true;
    });
#ifdef ZHOST_UI_HAS_PREVIEW
    if (!hasPreviewRenderer())
        setPreviewRenderer([](std::wstring_view file, Bitmap& into, int, int flags) {
            // Flags with bit 4 (15: thumbnails on a window's white) draw the drawing on white;
            // without it (3: the picture catalogue's black buttons and menu items) the picture
            // keeps the caller's background and is drawn for a dark one.
            preview::RenderOptions options;
            if ((flags & 4) == 0)
                options.background = 0x00000000;
            return ok(preview::drawDrawingPreview(
                settings::toFsPath(file), pixelTarget(into),
                preview::PixelRect{0, 0, into.width(), into.height()}, options));
        });
#endif
    installScriptDirectives();
}

} // namespace detail
} // namespace zhost::ui

#pragma once
// The dialog framework's backend in `zorma gui`: every dialog the add-on runs becomes a modal wx
// dialog over the main window (dialog_window.h), popup menus appear at the mouse and message
// boxes as the desktop's own. Lines typed into the command line ("@dialog ...", "@wait", "^C")
// still answer an open dialog, as before there were wx dialogs, so the main window stays usable
// for typing (the lines it gives that a dialog does not read wait for the next prompt). When a
// script drives the session, its "@dialog" lines answer the dialogs (as the headless backend
// reads them, with the same transcript) while the wx dialog shows each state; each such state
// can be saved as a PNG.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

class wxImage;
class wxWindow;

namespace zorma::gui {

// The wx backend while it lives; the headless one comes back afterwards.
class DialogBackendScope {
public:
    // The next line typed into the main window's command line when `accept` takes it.
    using TypedLines =
        std::function<bool(const std::function<bool(std::wstring_view)>& accept, std::wstring&)>;
    // `screenshotDir`: where each scripted dialog state is saved (empty: nowhere). `typed`: the
    // lines typed into the command line, which answer an open dialog as a script's lines do.
    DialogBackendScope(wxWindow& mainWindow, bool scripted, std::string screenshotDir,
                       TypedLines typed = {});
    ~DialogBackendScope();
    DialogBackendScope(const DialogBackendScope&) = delete;
    DialogBackendScope& operator=(const DialogBackendScope&) = delete;
};

// The window as it is on the screen (a top-level window's frame included), saved as a PNG. The
// place is asked of the window system, so a dialog it placed itself is found.
bool saveWindowPicture(wxWindow& window, const std::string& path);
wxImage grabWindow(wxWindow& window);

// Lets the window system's queued events run for a while without waiting for more (a window
// reaches its final state: mapped, laid out, painted).
void drainEvents(std::chrono::milliseconds span);

} // namespace zorma::gui

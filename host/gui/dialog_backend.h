#pragma once
// The dialog framework's backend in `zorma gui`: every dialog the add-on runs becomes a modal wx
// dialog over the main window (dialog_window.h), popup menus appear at the mouse and message
// boxes as the desktop's own. When a script drives the session, its "@dialog" lines still answer
// the dialogs (as the headless backend reads them, with the same transcript) while the wx dialog
// shows each state; each such state can be saved as a PNG.
#include <string>

class wxImage;
class wxWindow;

namespace zorma::gui {

// The wx backend while it lives; the headless one comes back afterwards.
class DialogBackendScope {
public:
    // `screenshotDir`: where each scripted dialog state is saved (empty: nowhere).
    DialogBackendScope(wxWindow& mainWindow, bool scripted, std::string screenshotDir);
    ~DialogBackendScope();
    DialogBackendScope(const DialogBackendScope&) = delete;
    DialogBackendScope& operator=(const DialogBackendScope&) = delete;
};

// The window as it is on the screen (a top-level window's frame included), saved as a PNG. The
// place is asked of the window system, so a dialog it placed itself is found.
bool saveWindowPicture(wxWindow& window, const std::string& path);
wxImage grabWindow(wxWindow& window);

} // namespace zorma::gui

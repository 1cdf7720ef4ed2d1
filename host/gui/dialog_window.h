#pragma once
// One dialog of the framework on the screen: a wx dialog whose face is the framework's own
// drawing of the dialog (dialog_view.cpp), so every control kind and owner-drawn picture looks as
// in the snapshots, and whose mouse and key input become the framework's user actions (clicks,
// selections, keys), so the add-on's handlers run as they do for scripts. Edit fields, and a
// grid cell being edited, get a native text field on top for typing and input methods.
#include "zhost/ui/types.h"

#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/timer.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

class wxTextCtrl;
class wxMouseEvent;
class wxKeyEvent;

namespace zhost::ui {
class Bitmap;
class Control;
class Dialog;
class Grid;
} // namespace zhost::ui

namespace zorma::gui {

// A framework bitmap (or a part of it) as a wx image; pictures drawn by the framework are
// opaque, so alpha is dropped.
wxImage toImage(const zhost::ui::Bitmap& b, std::optional<zhost::ui::Rect> part = std::nullopt);

// The framework's key code for a wx key code, or -1 for keys it has no use for.
int frameworkKey(int wxKey);

class MenuInput;

class DialogWindow : public wxDialog {
public:
    // `keepEnabled`: a window that stays usable while the dialog is shown (the main window, whose
    // command line can answer the dialog); every other top-level window takes no input then.
    DialogWindow(wxWindow* parent, zhost::ui::Dialog& dialog, wxWindow* keepEnabled = nullptr);

    // Brings the window up to the dialog's state: title, size, shown or hidden, the text
    // fields, the picture. While shown, the other windows take no input; a dialog that hides
    // itself (to let the user pick in the drawing) gives it back to them.
    void update();
    // Hides the window for good and gives the other windows their input back.
    void close();
    // Whether the mouse and keys act on the dialog (off while a script drives it).
    void setInteractive(bool on) { interactive_ = on; }
    zhost::ui::Dialog& dialog() { return dialog_; }
    // What follows every user action (and timer): the posted messages run, then the window
    // catches up.
    void afterAction();
    // How many times the face was painted (a screenshot waits for the next one).
    int paintCount() const { return paints_; }
    // Whether a picture of the window taken from the screen shows the face last painted (the
    // native text fields on it may differ).
    bool onScreen(const wxImage& shot) const;
    wxWindow& canvas() { return *canvas_; }
    // While a popup menu is open over the dialog (null when none): the dialog's keys work the
    // menu, a click on the dialog dismisses it, nothing else reaches the dialog.
    void setMenuInput(MenuInput* input) { menuInput_ = input; }

private:
    void paint();
    zhost::ui::Control* controlAt(const zhost::ui::Point& client) const;
    void onMouse(wxMouseEvent& e);
    // The wheel scrolls the control under the mouse; a press on a scroll bar scrolls or grabs
    // its thumb (true when the press was on a bar).
    void onWheel(wxMouseEvent& e);
    bool pressOnScrollBar(zhost::ui::Control& c, const zhost::ui::Point& at);
    bool dragThumb(const wxMouseEvent& e);
    void click(zhost::ui::Control& c, const zhost::ui::Point& at, bool twice);
    void clickGrid(zhost::ui::Grid& g, const zhost::ui::Point& at, bool twice);
    void onKeyDown(wxKeyEvent& e);
    void onChar(wxKeyEvent& e);
    // Keys a text field leaves to the dialog (Tab, Return, Escape, arrows for a grid cell).
    void onFieldKey(wxKeyEvent& e, bool gridCell);
    // A choice from a list of lines under a control; -1 when none was made.
    int chooseLine(const std::vector<std::wstring>& lines, int current, const wxPoint& where);
    void syncEditFields();
    void syncCellEditor();
    void onUserResize(const wxSize& client);

    zhost::ui::Dialog& dialog_;
    wxWindow* canvas_;
    std::map<int, wxTextCtrl*> edits_; // by control id
    wxTextCtrl* cellEditor_;
    zhost::ui::Grid* editedGrid_ = nullptr;
    void disableOthers(bool off);
    bool ownsKeyboard();
    wxWindow* keepEnabled_;
    std::vector<wxWindow*> disabled_; // by this dialog while shown
    int paints_ = 0;
    wxImage face_; // as last painted
    bool interactive_ = true;
    MenuInput* menuInput_ = nullptr;
    bool closed_ = false;
    bool updating_ = false;
    // A scroll bar's thumb held with the mouse: the control, the bar, where the control stood
    // and where the mouse was when it was grabbed.
    struct ThumbDrag {
        int control = 0;
        bool vertical = true;
        int startPos = 0;
        int startPixel = 0;
    };
    std::optional<ThumbDrag> thumbDrag_;
    // An arrow or the track of a scroll bar held down: it scrolls again and again, as the
    // desktop's bars do, while the mouse stays on that part.
    struct BarHeld {
        int control = 0;
        bool vertical = true;
        int part = 0; // a ScrollPart
    };
    std::optional<BarHeld> barHeld_;
    wxTimer repeat_;
    void repeatScroll();
    bool gripDrag_ = false;
    wxPoint gripStart_;
    wxSize gripStartSize_;
};

} // namespace zorma::gui

#pragma once
// What the platform's editor knows about the screen: per-entity visibility and highlight on the
// display (acedRedraw; never saved with the drawing), the view scale that turns the pick box
// into drawing units, the Shift key, and the main window that dialogs use as their parent.
#include "zhost/db/object_id.h"
#include "zhost/editor/result.h"

#include <cstdint>

namespace zhost::ed {

// acedRedraw modes.
namespace redraw {
inline constexpr int regenerate = 0;
inline constexpr int show = 1; // undo a hide
inline constexpr int hide = 2; // take off the screen (not out of the drawing)
inline constexpr int highlight = 3;
inline constexpr int unhighlight = 4;
} // namespace redraw

// acedRedraw(ent, mode): error for a null or unknown id or a bad mode. A null id with mode 0
// redraws the whole screen.
Result redrawEntity(db::ObjectId id, int mode);
bool isHiddenOnScreen(db::ObjectId id);
// Changes whenever an entity is hidden or shown again: a picture that left hidden entities out
// is stale when this differs from the value it was drawn with.
std::uint64_t hiddenOnScreenSerial();
bool isHighlighted(db::ObjectId id);
// Forgets every hide and highlight (REGEN of the whole drawing keeps them, as the platform does;
// this is for a new drawing).
void clearScreenState();

// The view: the part of model space the screen shows, with the screen's axes along the WCS's.
// Without a window it is a virtual 1333 x 1000 pixel screen at 0.3 units a pixel over
// (0,0)-(400,300); the drawing window keeps it up to date with what it shows. VIEWSIZE is its
// height in drawing units, VIEWCTR its centre (UCS).
struct View {
    double centerX = 200, centerY = 150; // the WCS point at the middle of the screen
    double unitsPerPixel = 0.3;          // drawing units per screen pixel
    int widthPx = 1333, heightPx = 1000; // the screen's size
    double width() const { return widthPx * unitsPerPixel; }
    double height() const { return heightPx * unitsPerPixel; }
};
View currentView();
// The window reports what it shows after its own zooms, pans and resizes. With `remember`, the
// view it replaces is kept for ZOOM Previous (a wheel zoom or a pan begins; not every step).
void setScreenView(const View& view, bool remember);

// A command's change of the view (ZOOM), which the window carries out at its next refresh. The
// view it replaces is kept for ZOOM Previous (the last ten). `toExtents` asks the window for its
// own zoom to the extents of what it draws; `view` is the editor's estimate of it.
struct ViewRequest {
    View view;
    bool toExtents = false;
};
void requestView(const ViewRequest& request);
// Bumped by every requestView; the window compares it with the value it last carried out.
std::uint64_t viewRequestSerial();
const ViewRequest& lastViewRequest();
// Takes the last remembered view off the list (false when there is none).
bool popPreviousView(View& out);

// Drawing units per screen pixel of the view: the pick box (PICKBOX, pixels) times this is the
// pick aperture. Default 0.3: a 3-pixel pick box picks within 0.9 units. setViewScale changes
// the scale about the view's centre.
double viewScale();
void setViewScale(double unitsPerPixel);
// The pick aperture in drawing units (PICKBOX x view scale).
double pickAperture();

// The Shift key as the script's "@shift on|off" (or a test) set it.
bool isShiftDown();
void setShiftDown(bool down);

// The main window: the parent of modal dialogs. Opaque; never dereferenced by callers.
struct MainWindowTag;
using WindowHandle = MainWindowTag*;
WindowHandle mainWindow();

} // namespace zhost::ed

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

// Drawing units per screen pixel of the (single, virtual) view: the pick box (PICKBOX, pixels)
// times this is the pick aperture. Default 0.1: a 3-pixel pick box picks within 0.3 units.
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

#pragma once
// Scroll bars of the controls that scroll (lists, list views, grids): where a bar and its parts
// lie, drawing them, and the user's actions on them, so that every backend scrolls a control
// the same way and snapshots show the bars. A control tells its state through
// Control::scrollInfo and moves through Control::scrollTo; everything here is built on those.
#include "zhost/ui/control.h"

namespace zhost::ui {

// The width of a vertical bar and the height of a horizontal one, in pixels.
inline constexpr int kScrollBarSize = 17;

enum class ScrollPart { none, lineBack, lineForward, pageBack, pageForward, thumb };

// A bar's parts in the control's coordinates: the two arrows, the track between them and the
// thumb on it (empty when there is nothing to scroll).
struct ScrollBarLayout {
    Rect bar;
    Rect back;
    Rect forward;
    Rect track;
    Rect thumb;
};

// The bars a control shows: a vertical bar runs down the right edge, a horizontal one along the
// bottom; with both, the corner between them belongs to neither.
Rect scrollBarRect(const Control& c, bool vertical);
ScrollBarLayout scrollBarLayout(const Control& c, bool vertical);
// The control's client area without its bars.
Rect scrollContentRect(const Control& c);
// The bar and part under a point of the control (ScrollPart::none off the bars).
ScrollPart scrollBarHit(const Control& c, Point p, bool& vertical);

// User actions, true when the view moved: a click on a part of a bar (an arrow scrolls one
// step, the track a page); `steps` steps forward or back (the wheel); the thumb dragged `pixels`
// along its bar from where it was grabbed while the control stood at `startPos`.
bool userScroll(Control& c, bool vertical, ScrollPart part);
bool userScrollSteps(Control& c, bool vertical, int steps);
bool userDragThumb(Control& c, bool vertical, int startPos, int pixels);

// Draws the control's bars (called at the end of its paint).
void drawScrollBars(const Control& c, DeviceContext& dc);

} // namespace zhost::ui

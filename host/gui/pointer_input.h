#pragma once
// What the mouse means in the drawing view at the prompt that waits: a click picks a point or an
// entity; at a selection prompt or the command prompt a click on nothing (or a press and drag)
// spans a window, left to right, or a crossing, right to left; while a drag waits every motion
// moves the dragged entity. It also keeps what the view shows for it: the rubber band from the base
// point, the snap marker, the crosshair with the pick box and the dragged entity, and tells the
// view which entities to highlight.
#include "drawing_view.h"

#include <functional>
#include <optional>
#include <string>

namespace zorma::gui {

class PointerInput {
public:
    PointerInput(DrawingView& view, std::function<void(const std::wstring&)> deliver);

    // A prompt waits (after every answer). After a cursor move only the dragged entity can have
    // changed, so the highlighted entities are not asked for again.
    void promptShown(bool afterMove);
    // F3, F8 and the like: the marker and the band follow the new modes.
    void modesChanged() { showOverlay(); }
    // Escape: a rectangle being spanned is dropped.
    void cancelRectangle();

    void motion(const MouseAt& m);
    void leftDown(const MouseAt& m);
    void leftUp(const MouseAt& m);
    void leave();

private:
    void showOverlay();
    void finishRectangle(const MouseAt& to);
    // A line of the script language for a drawing point (UCS, as typed answers are).
    static std::wstring pointText(const WorldPoint& world);

    DrawingView& view_;
    std::function<void(const std::wstring&)> deliver_;
    Overlay dragged_;
    std::optional<MouseAt> cursor_;
    std::optional<MouseAt> rectangleFrom_;
    bool pressed_ = false;
};

} // namespace zorma::gui

#pragma once
// The drawing view: model space painted by the host's renderer into a cached bitmap, with its
// own zoom and pan. Mouse answers go out through callbacks in drawing coordinates.
#include <wx/bitmap.h>
#include <wx/window.h>

#include <functional>

namespace zorma::gui {

struct WorldPoint {
    double x = 0, y = 0;
};

class DrawingView : public wxWindow {
public:
    explicit DrawingView(wxWindow* parent);

    // Renders the current drawing again (after each answer; the drawing may have changed).
    void refreshDrawing();
    void zoomExtents();
    // Zooms by `factor` keeping the drawing point under the pixel where it is.
    void zoomAt(int px, int py, double factor);
    void panBy(int dx, int dy);

    WorldPoint toWorld(int px, int py) const;
    int toPixelX(double x) const;
    int toPixelY(double y) const;
    const wxBitmap& picture() const { return picture_; }

    std::function<void(WorldPoint)> onPick;   // left click
    std::function<void()> onEnter;            // right click
    std::function<void(WorldPoint)> onMotion; // cursor moved

private:
    void render();
    void onPaint(wxPaintEvent&);
    void onSize(wxSizeEvent&);
    void onMouse(wxMouseEvent&);

    wxBitmap picture_;
    bool haveView_ = false;
    bool fitted_ = false; // the view was fitted to a drawing with something in it
    const void* shownDrawing_ = nullptr;
    double centerX_ = 0, centerY_ = 0, scale_ = 1; // pixels per drawing unit
    bool panning_ = false;
    wxPoint panFrom_;
};

} // namespace zorma::gui

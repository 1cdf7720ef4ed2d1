#pragma once
// The drawing view: model space painted by the host's renderer into a cached bitmap, with its
// own zoom and pan. Mouse answers go out through callbacks in drawing coordinates.
#include <wx/window.h>

class wxDC;

#include "zhost/db/object_id.h"
#include "zhost/preview/overlay.h"
#include "zhost/preview/preview.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace zhost::preview {
class SceneCache;
}

namespace zorma::gui {

struct WorldPoint {
    double x = 0, y = 0;
};

// Where the mouse is: in the drawing and in the view's pixels.
struct MouseAt {
    WorldPoint world;
    int px = 0, py = 0;
};

// What is drawn over the picture of the drawing (rubber band, rectangles, snap marker,
// crosshair, pick box, the dragged entity), in drawing coordinates so that zoom and pan carry it
// along; changing it repaints without rendering the drawing again.
using Overlay = std::vector<zhost::preview::OverlayItem>;

class DrawingView : public wxWindow {
public:
    explicit DrawingView(wxWindow* parent);
    ~DrawingView() override;

    // Renders the current drawing again (after each answer; the drawing may have changed).
    void refreshDrawing();
    void zoomExtents();
    // Zooms by `factor` keeping the drawing point under the pixel where it is.
    void zoomAt(int px, int py, double factor);
    void panBy(int dx, int dy);

    WorldPoint toWorld(int px, int py) const;
    int toPixelX(double x) const;
    int toPixelY(double y) const;

    void setOverlay(Overlay overlay);
    // The entities drawn again over the picture in the highlight's pen (the selection being made,
    // the pick-first set); their picture is kept until they or the view change.
    void setHighlighted(std::vector<zhost::db::ObjectId> ids);

    std::function<void(const MouseAt&)> onLeftDown;
    std::function<void(const MouseAt&)> onLeftUp;
    std::function<void()> onEnter;                // right click
    std::function<void(const MouseAt&)> onMotion; // cursor moved (not while panning)
    std::function<void()> onLeave;                // the cursor left the view

private:
    void render();
    zhost::preview::RenderOptions renderOptions(const wxSize& s) const;
    // The options of the picture last painted (its size, centre and scale).
    zhost::preview::RenderOptions pictureOptions() const;
    // The screen serial for the kept scene of this drawing; forgets the scene of another one.
    std::uint64_t keepFor(const void* drawing);
    void onPaint(wxPaintEvent&);
    void onSize(wxSizeEvent&);
    void onMouse(wxMouseEvent&);
    // The picture with the highlight over it, in shown_ (or the picture alone when nothing is
    // highlighted).
    void composeHighlight();
    // The picture and the overlay: onto the window's own cairo context where the toolkit draws
    // with cairo, else through a bitmap.
    void paintFrame(wxDC& dc);
    zhost::preview::ViewTransform viewTransform() const;

    // The drawing's scene kept between redraws (zhost/preview/scene_cache.h), the pixels it was
    // last painted into, and what they show: a refresh after an answer that changed nothing
    // paints nothing again.
    std::unique_ptr<zhost::preview::SceneCache> cache_;
    const void* cachedDrawing_ = nullptr;
    std::vector<std::uint32_t> pixels_; // the drawing alone
    std::vector<std::uint32_t> shown_;  // with the highlight, when there is one
    std::vector<zhost::db::ObjectId> highlighted_;
    bool highlightStale_ = false;
    bool havePicture_ = false;
    struct Shown {
        const void* drawing = nullptr;
        std::uint64_t serial = 0, hidden = 0;
        double centerX = 0, centerY = 0, scale = 0;
        wxSize size;
        bool operator==(const Shown&) const = default;
    } painted_;
    bool reportedFirstPicture_ = false;
    bool haveView_ = false;
    bool fitted_ = false; // the view was fitted to a drawing with something in it
    const void* shownDrawing_ = nullptr;
    double centerX_ = 0, centerY_ = 0, scale_ = 1; // pixels per drawing unit
    bool panning_ = false;
    wxPoint panFrom_;
    // The last view change a command asked for (ZOOM) that this view carried out.
    std::uint64_t carriedOutRequest_ = 0;
    // The next view reported to the editor begins a zoom or pan that ZOOM Previous goes back
    // over; a burst of wheel steps counts as one.
    bool rememberNext_ = false;
    std::chrono::steady_clock::time_point lastWheel_{};
    Overlay overlay_;
};

} // namespace zorma::gui

#include "drawing_view.h"

#include "zhost/db/database.h"
#include "zhost/editor/display.h"
#include "zhost/editor/session.h"
#include "zhost/preview/preview.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zorma::gui {
using namespace zhost;

namespace {
constexpr int kMargin = 10;
constexpr double kWheelStep = 1.25;
} // namespace

DrawingView::DrawingView(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(800, 520), wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetCursor(wxCursor(wxCURSOR_CROSS));
    Bind(wxEVT_PAINT, &DrawingView::onPaint, this);
    Bind(wxEVT_SIZE, &DrawingView::onSize, this);
    for (auto type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_RIGHT_DOWN, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP,
          wxEVT_MIDDLE_DCLICK, wxEVT_MOTION, wxEVT_MOUSEWHEEL, wxEVT_LEAVE_WINDOW})
        Bind(type, &DrawingView::onMouse, this);
}

WorldPoint DrawingView::toWorld(int px, int py) const {
    const wxSize s = GetClientSize();
    return {centerX_ + (px - s.x / 2.0) / scale_, centerY_ - (py - s.y / 2.0) / scale_};
}

int DrawingView::toPixelX(double x) const {
    return static_cast<int>(std::lround(GetClientSize().x / 2.0 + (x - centerX_) * scale_));
}

int DrawingView::toPixelY(double y) const {
    return static_cast<int>(std::lround(GetClientSize().y / 2.0 - (y - centerY_) * scale_));
}

void DrawingView::zoomExtents() {
    const db::Database* d = ed::workingDatabase();
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    const wxSize s = GetClientSize();
    fitted_ = d && preview::modelExtents(*d, x0, y0, x1, y1);
    shownDrawing_ = d;
    if (!fitted_) {
        // An empty drawing: the origin near the lower left, 1 unit a pixel.
        x1 = std::max(s.x, 1);
        y1 = std::max(s.y, 1);
    }
    const double w = std::max(x1 - x0, 1e-9), h = std::max(y1 - y0, 1e-9);
    const double aw = std::max(s.x - 2.0 * kMargin, 1.0), ah = std::max(s.y - 2.0 * kMargin, 1.0);
    scale_ = std::min(aw / w, ah / h);
    if (!std::isfinite(scale_) || scale_ <= 0)
        scale_ = 1;
    centerX_ = (x0 + x1) / 2;
    centerY_ = (y0 + y1) / 2;
    haveView_ = true;
    render();
}

void DrawingView::zoomAt(int px, int py, double factor) {
    const WorldPoint before = toWorld(px, py);
    scale_ = std::clamp(scale_ * factor, 1e-9, 1e9);
    const WorldPoint after = toWorld(px, py);
    centerX_ += before.x - after.x;
    centerY_ += before.y - after.y;
    render();
}

void DrawingView::panBy(int dx, int dy) {
    centerX_ -= dx / scale_;
    centerY_ += dy / scale_;
    render();
}

void DrawingView::refreshDrawing() {
    // A drawing seen for the first time (opened, new, or no longer empty) is shown whole.
    if (!haveView_ || !fitted_ || shownDrawing_ != ed::workingDatabase())
        zoomExtents();
    else
        render();
}

void DrawingView::render() {
    const wxSize s = GetClientSize();
    const db::Database* d = ed::workingDatabase();
    if (s.x < 1 || s.y < 1 || !d)
        return;
    // Picks and selection apertures follow what the user sees.
    ed::setViewScale(1.0 / scale_);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(s.x) * s.y, 0xFFFFFFFFu);
    preview::RenderOptions o;
    o.viewCenterX = centerX_;
    o.viewCenterY = centerY_;
    o.viewScale = scale_;
    o.margin = kMargin;
    o.hiddenOnScreen = [](db::ObjectId id) { return ed::isHiddenOnScreen(id); };
    const preview::PixelTarget target{pixels.data(), s.x, s.y, s.x * 4};
    // An empty drawing fails to render; it stays white.
    (void)preview::renderToPixels(*d, d->modelSpaceId(), target, {0, 0, s.x, s.y}, o);
    wxImage image(s.x, s.y, false);
    unsigned char* rgb = image.GetData();
    for (size_t i = 0; i < pixels.size(); ++i) {
        // Opaque background, so the premultiplied channels are the colours themselves.
        rgb[3 * i] = static_cast<unsigned char>(pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(pixels[i]);
    }
    picture_ = wxBitmap(image);
    Refresh(false);
}

void DrawingView::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (picture_.IsOk())
        dc.DrawBitmap(picture_, 0, 0);
    paintOverlay(dc);
}

void DrawingView::onSize(wxSizeEvent& e) {
    if (haveView_)
        render();
    e.Skip();
}

void DrawingView::onMouse(wxMouseEvent& e) {
    const wxPoint p = e.GetPosition();
    const wxEventType t = e.GetEventType();
    if (t == wxEVT_MOUSEWHEEL) {
        if (e.GetWheelRotation() != 0)
            zoomAt(p.x, p.y, e.GetWheelRotation() > 0 ? kWheelStep : 1 / kWheelStep);
    } else if (t == wxEVT_MIDDLE_DCLICK) {
        zoomExtents();
    } else if (t == wxEVT_MIDDLE_DOWN) {
        panning_ = true;
        panFrom_ = p;
        if (!HasCapture())
            CaptureMouse();
    } else if (t == wxEVT_MIDDLE_UP) {
        panning_ = false;
        if (HasCapture())
            ReleaseMouse();
    } else if (t == wxEVT_MOTION) {
        if (panning_ && e.MiddleIsDown()) {
            panBy(p.x - panFrom_.x, p.y - panFrom_.y);
            panFrom_ = p;
        } else if (onMotion) {
            onMotion({toWorld(p.x, p.y), p.x, p.y});
        }
    } else if (t == wxEVT_LEFT_DOWN) {
        // Keys pressed over the view (Escape, Enter, F3, F8) reach the frame from here.
        SetFocus();
        if (onLeftDown)
            onLeftDown({toWorld(p.x, p.y), p.x, p.y});
    } else if (t == wxEVT_LEFT_UP) {
        if (onLeftUp)
            onLeftUp({toWorld(p.x, p.y), p.x, p.y});
    } else if (t == wxEVT_LEAVE_WINDOW) {
        if (onLeave)
            onLeave();
    } else if (t == wxEVT_RIGHT_DOWN) {
        if (onEnter)
            onEnter();
    }
    e.Skip();
}

} // namespace zorma::gui

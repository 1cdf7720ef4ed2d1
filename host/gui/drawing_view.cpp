#include "drawing_view.h"

#include "zhost/db/database.h"
#include "zhost/editor/display.h"
#include "zhost/editor/session.h"
#include "zhost/preview/preview.h"
#include "zhost/preview/scene_cache.h"

#include <wx/dcbuffer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zorma::gui {
using namespace zhost;

namespace {
constexpr int kMargin = 10;
constexpr double kWheelStep = 1.25;
// Wheel steps closer together than this are one zoom for ZOOM Previous.
constexpr std::chrono::milliseconds kWheelBurst{800};
} // namespace

DrawingView::DrawingView(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(800, 520), wxFULL_REPAINT_ON_RESIZE),
      cache_(std::make_unique<preview::SceneCache>()) {
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
    // The kept scene gives the extents and stays for the picture at them.
    fitted_ = d && cache_->extents(*d, renderOptions(s), keepFor(d), x0, y0, x1, y1);
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
    if (ed::viewRequestSerial() != carriedOutRequest_) {
        // A command changed the view: it was worked out on the screen this view reported.
        carriedOutRequest_ = ed::viewRequestSerial();
        const ed::ViewRequest& request = ed::lastViewRequest();
        if (request.toExtents || !(request.view.unitsPerPixel > 0)) {
            zoomExtents();
            return;
        }
        centerX_ = request.view.centerX;
        centerY_ = request.view.centerY;
        scale_ = std::clamp(1.0 / request.view.unitsPerPixel, 1e-9, 1e9);
        haveView_ = true;
        fitted_ = true;
        shownDrawing_ = ed::workingDatabase();
        render();
        return;
    }
    // A drawing seen for the first time (opened, new, or no longer empty) is shown whole.
    if (!haveView_ || !fitted_ || shownDrawing_ != ed::workingDatabase())
        zoomExtents();
    else
        render();
}

DrawingView::~DrawingView() = default;

preview::RenderOptions DrawingView::renderOptions(const wxSize& s) const {
    preview::RenderOptions o;
    o.width = std::max(s.x, 1);
    o.height = std::max(s.y, 1);
    o.margin = kMargin;
    o.hiddenOnScreen = [](db::ObjectId id) { return ed::isHiddenOnScreen(id); };
    return o;
}

std::uint64_t DrawingView::keepFor(const void* drawing) {
    if (drawing != cachedDrawing_)
        cache_->invalidate(); // another drawing may sit where a closed one was
    cachedDrawing_ = drawing;
    return ed::hiddenOnScreenSerial();
}

void DrawingView::render() {
    const wxSize s = GetClientSize();
    const db::Database* d = ed::workingDatabase();
    if (s.x < 1 || s.y < 1 || !d)
        return;
    // Picks, selection apertures, VIEWSIZE and ZOOM follow what the user sees.
    const ed::View shown{centerX_, centerY_, 1.0 / scale_, s.x, s.y};
    const ed::View before = ed::currentView();
    const bool moved = before.centerX != shown.centerX || before.centerY != shown.centerY ||
                       before.unitsPerPixel != shown.unitsPerPixel;
    ed::setScreenView(shown, rememberNext_ && moved);
    rememberNext_ = false;
    const Shown now{d, d->changeSerial(), ed::hiddenOnScreenSerial(), centerX_, centerY_, scale_,
                    s};
    if (now == painted_ && havePicture_)
        return; // a refresh after an answer that changed nothing
    const std::uint64_t hidden = keepFor(d);
    // Only the drawing changed since the picture was painted: an edit repaints what it changed.
    Shown sameView = painted_;
    sameView.serial = now.serial;
    const bool edited =
        havePicture_ && sameView == now && pixels_.size() == static_cast<size_t>(s.x) * s.y;
    painted_ = now;
    pixels_.resize(static_cast<size_t>(s.x) * s.y);
    const preview::PixelTarget target{pixels_.data(), s.x, s.y, s.x * 4};
    const preview::RenderOptions o = pictureOptions();
    preview::PixelRect area;
    const bool part = edited && cache_->changedArea(*d, o, hidden, area);
    if (!part || (area.right > area.left && area.bottom > area.top)) {
        if (!ok(cache_->render(*d, target, {0, 0, s.x, s.y}, o, hidden, part ? &area : nullptr)))
            std::fill(pixels_.begin(), pixels_.end(), 0xFFFFFFFFu);
    }
    havePicture_ = true;
    highlightStale_ = true; // painted over the new picture when it is shown
    Refresh(false);
}

preview::RenderOptions DrawingView::pictureOptions() const {
    preview::RenderOptions o = renderOptions(painted_.size);
    o.viewCenterX = painted_.centerX;
    o.viewCenterY = painted_.centerY;
    o.viewScale = painted_.scale;
    return o;
}

void DrawingView::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    if (!havePicture_) {
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
    }
    paintFrame(dc);
    if (havePicture_ && !reportedFirstPicture_) {
        reportedFirstPicture_ = true;
        // tools/gui_startup.sh times start-up from the launch to this moment.
        if (std::getenv("ZORMA_GUI_TIMING"))
            std::fprintf(
                stderr, "zorma gui: first picture painted at %.6f\n",
                std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                    .count());
    }
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
        if (e.GetWheelRotation() != 0) {
            const auto now = std::chrono::steady_clock::now();
            rememberNext_ = now - lastWheel_ > kWheelBurst;
            lastWheel_ = now;
            zoomAt(p.x, p.y, e.GetWheelRotation() > 0 ? kWheelStep : 1 / kWheelStep);
        }
    } else if (t == wxEVT_MIDDLE_DCLICK) {
        rememberNext_ = true;
        zoomExtents();
    } else if (t == wxEVT_MIDDLE_DOWN) {
        rememberNext_ = true;
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

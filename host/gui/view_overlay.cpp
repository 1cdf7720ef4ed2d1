// What the view draws over the cached picture of the drawing: the highlighted selection, the
// dragged entity, rubber band and rectangles, the snap marker, the crosshair and the pick box.
#include "drawing_view.h"

#include <wx/dc.h>

#include <algorithm>

namespace zorma::gui {

namespace {

const wxColour kHighlight(0, 120, 215);
const wxColour kDragged(200, 40, 40);
const wxColour kBand(90, 90, 90);
const wxColour kWindow(0, 90, 200);
const wxColour kCrossing(0, 150, 60);
const wxColour kMarker(230, 150, 0);
const wxColour kCursor(40, 40, 40);
constexpr int kMarkerSize = 6;

} // namespace

void DrawingView::setOverlay(Overlay overlay) {
    overlay_ = std::move(overlay);
    Refresh(false);
}

wxPoint DrawingView::toPixel(const WorldPoint& p) const {
    return {toPixelX(p.x), toPixelY(p.y)};
}

void DrawingView::paintMarker(wxDC& dc, int x, int y) const {
    const int m = kMarkerSize;
    dc.SetPen(wxPen(kMarker, 2));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    switch (overlay_.markerShape) {
    case MarkerShape::square:
        dc.DrawRectangle(x - m, y - m, 2 * m + 1, 2 * m + 1);
        break;
    case MarkerShape::triangle: {
        const wxPoint tri[] = {{x, y - m}, {x + m, y + m}, {x - m, y + m}, {x, y - m}};
        dc.DrawLines(4, tri);
        break;
    }
    case MarkerShape::circle:
        dc.DrawCircle(x, y, m);
        break;
    case MarkerShape::diamond: {
        const wxPoint d[] = {{x, y - m}, {x + m, y}, {x, y + m}, {x - m, y}, {x, y - m}};
        dc.DrawLines(5, d);
        break;
    }
    case MarkerShape::cross:
        dc.DrawLine(x - m, y - m, x + m + 1, y + m + 1);
        dc.DrawLine(x - m, y + m, x + m + 1, y - m - 1);
        break;
    case MarkerShape::hourglass: {
        const wxPoint h[] = {
            {x - m, y - m}, {x + m, y - m}, {x - m, y + m}, {x + m, y + m}, {x - m, y - m}};
        dc.DrawLines(5, h);
        break;
    }
    }
}

void DrawingView::paintOverlay(wxDC& dc) const {
    const Overlay& o = overlay_;
    auto strokes = [&](const std::vector<Stroke>& list, const wxPen& pen) {
        dc.SetPen(pen);
        std::vector<wxPoint> px;
        for (const Stroke& s : list) {
            px.clear();
            for (const WorldPoint& p : s)
                px.push_back(toPixel(p));
            if (px.size() >= 2)
                dc.DrawLines(static_cast<int>(px.size()), px.data());
        }
    };
    strokes(o.highlighted, wxPen(kHighlight, 2, wxPENSTYLE_SHORT_DASH));
    strokes(o.dragged, wxPen(kDragged, 1));
    if (o.hasRubberBand) {
        dc.SetPen(wxPen(kBand, 1, wxPENSTYLE_SHORT_DASH));
        dc.DrawLine(toPixel(o.bandFrom), toPixel(o.bandTo));
    }
    if (o.box != Overlay::Box::none) {
        const wxPoint a = toPixel(o.boxFrom), b = toPixel(o.boxTo);
        switch (o.box) {
        case Overlay::Box::none:
        case Overlay::Box::corner:
            dc.SetPen(wxPen(kBand, 1));
            break;
        case Overlay::Box::window:
            dc.SetPen(wxPen(kWindow, 1));
            break;
        case Overlay::Box::crossing:
            dc.SetPen(wxPen(kCrossing, 1, wxPENSTYLE_LONG_DASH));
            break;
        }
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(wxRect(wxPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                                wxPoint(std::max(a.x, b.x), std::max(a.y, b.y))));
    }
    if (o.hasCursor) {
        const wxPoint c = toPixel(o.cursor);
        const wxSize s = GetClientSize();
        dc.SetPen(wxPen(kCursor, 1));
        dc.DrawLine(0, c.y, s.x, c.y);
        dc.DrawLine(c.x, 0, c.x, s.y);
        if (o.pickBox > 0) {
            const int r = o.pickBox;
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(c.x - r, c.y - r, 2 * r + 1, 2 * r + 1);
        }
    }
    if (o.hasMarker) {
        const wxPoint m = toPixel(o.marker);
        paintMarker(dc, m.x, m.y);
    }
}

} // namespace zorma::gui

// What the view draws over the kept picture of the drawing: the highlight of the selected
// entities, painted from the kept scene into a copy of the picture and kept while neither
// changes, and the temporary graphics (rubber band, rectangles, snap marker, crosshair, pick box,
// the dragged entity), painted on every frame by the host's overlay painter
// (zhost/preview/overlay.h), the one bench/preview times for a jig frame.
#include "drawing_view.h"

#include "zhost/db/database.h"
#include "zhost/editor/session.h"
#include "zhost/preview/scene_cache.h"

#include <wx/dc.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <algorithm>

namespace zorma::gui {
using namespace zhost;

void DrawingView::setOverlay(Overlay overlay) {
    overlay_ = std::move(overlay);
    Refresh(false);
}

void DrawingView::setHighlighted(std::vector<db::ObjectId> ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    if (ids == highlighted_)
        return;
    highlighted_ = std::move(ids);
    highlightStale_ = true;
    Refresh(false);
}

preview::ViewTransform DrawingView::viewTransform() const {
    const wxSize s = GetClientSize();
    return {centerX_, centerY_, scale_, s.x, s.y};
}

void DrawingView::composeHighlight() {
    highlightStale_ = false;
    shown_.clear();
    const db::Database* d = ed::workingDatabase();
    if (highlighted_.empty() || !havePicture_ || !d || d != painted_.drawing)
        return;
    const wxSize s = painted_.size;
    shown_ = pixels_;
    const preview::PixelTarget target{shown_.data(), s.x, s.y, s.x * 4};
    if (!ok(cache_->renderHighlight(*d, target, {0, 0, s.x, s.y}, pictureOptions(), keepFor(d),
                                    highlighted_, preview::HighlightPen{})))
        shown_.clear();
}

void DrawingView::paintFrame(wxDC& dc) {
    if (highlightStale_)
        composeHighlight();
    const wxSize s = painted_.size;
    std::vector<std::uint32_t>& pixels = shown_.empty() ? pixels_ : shown_;
    const preview::PixelTarget picture =
        havePicture_ ? preview::PixelTarget{pixels.data(), s.x, s.y, s.x * 4}
                     : preview::PixelTarget{};
    wxGraphicsContext* gc = dc.GetGraphicsContext();
    const wxGraphicsRenderer* cairo = wxGraphicsRenderer::GetCairoRenderer();
    if (gc && cairo && gc->GetRenderer() == cairo && gc->GetNativeContext()) {
        // wxGTK paints with cairo: the picture and the overlay go straight onto the window.
        auto* cr = static_cast<cairo_t*>(gc->GetNativeContext());
        preview::paintPicture(cr, picture);
        preview::paintOverlay(cr, overlay_, viewTransform());
        return;
    }
    // Elsewhere the frame is composed in memory and copied onto the window as a bitmap.
    if (!havePicture_)
        return;
    std::vector<std::uint32_t> frame = pixels;
    preview::paintOverlay(preview::PixelTarget{frame.data(), s.x, s.y, s.x * 4}, overlay_,
                          viewTransform());
    wxImage image(s.x, s.y, false);
    unsigned char* rgb = image.GetData();
    for (size_t i = 0; i < frame.size(); ++i) {
        // Opaque background, so the premultiplied channels are the colours themselves.
        rgb[3 * i] = static_cast<unsigned char>(frame[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(frame[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(frame[i]);
    }
    dc.DrawBitmap(wxBitmap(image), 0, 0);
}

} // namespace zorma::gui

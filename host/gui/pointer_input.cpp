#include "pointer_input.h"

#include "zhost/db/db.h"
#include "zhost/editor/display.h"
#include "zhost/editor/osnap.h"
#include "zhost/editor/prompt_view.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/preview/overlay.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zorma::gui {
using namespace zhost;
using Kind = ed::PromptView::Kind;

namespace {

// A press and release further apart than this is a drag that spans a rectangle.
constexpr int kDragPixels = 4;
// The colours of what is drawn over the drawing (0xRRGGBB; fills 0xAARRGGBB).
constexpr std::uint32_t kDragged = 0xC82828;
constexpr std::uint32_t kBand = 0x5A5A5A;
constexpr std::uint32_t kWindow = 0x005AC8, kWindowFill = 0x200078D7;
constexpr std::uint32_t kCrossing = 0x00963C, kCrossingFill = 0x2000963C;
constexpr std::uint32_t kMarker = 0xE69600;
constexpr std::uint32_t kCursor = 0x282828;

geom::Point3d toPoint(const WorldPoint& p) {
    return {p.x, p.y, 0};
}
preview::OverlayPoint overlayPoint(const WorldPoint& p) {
    return {p.x, p.y};
}
preview::OverlayPoint overlayPoint(const geom::Point3d& p) {
    return {p.x, p.y};
}

preview::OverlayItem item(preview::OverlayItem::Kind kind,
                          std::vector<preview::OverlayPoint> points, std::uint32_t rgb,
                          double widthPx = 1) {
    preview::OverlayItem it;
    it.kind = kind;
    it.points = std::move(points);
    it.rgb = rgb;
    it.widthPx = widthPx;
    return it;
}

preview::MarkerShape shapeOf(ed::SnapKind kind) {
    using preview::MarkerShape;
    switch (kind) {
    case ed::SnapKind::endpoint:
        return MarkerShape::square;
    case ed::SnapKind::midpoint:
        return MarkerShape::triangle;
    case ed::SnapKind::center:
        return MarkerShape::circle;
    case ed::SnapKind::quadrant:
        return MarkerShape::diamond;
    case ed::SnapKind::intersection:
        return MarkerShape::cross;
    case ed::SnapKind::nearest:
        return MarkerShape::hourglass;
    }
    return preview::MarkerShape::square;
}

bool snapsAt(Kind kind) {
    switch (kind) {
    case Kind::point:
    case Kind::corner:
    case Kind::drag:
        return true;
    case Kind::command:
    case Kind::entity:
    case Kind::selection:
    case Kind::value:
        return false;
    }
    return false;
}

bool picksEntities(Kind kind) {
    switch (kind) {
    case Kind::command:
    case Kind::entity:
    case Kind::selection:
        return true;
    case Kind::point:
    case Kind::corner:
    case Kind::drag:
    case Kind::value:
        return false;
    }
    return false;
}

// Where a click on nothing starts a window or crossing: a selection prompt, and the command
// prompt, where what it takes becomes the pick-first set of the next command.
bool spansRectangles(Kind kind) {
    switch (kind) {
    case Kind::command:
    case Kind::selection:
        return true;
    case Kind::point:
    case Kind::corner:
    case Kind::entity:
    case Kind::drag:
    case Kind::value:
        return false;
    }
    return false;
}

} // namespace

PointerInput::PointerInput(DrawingView& view, std::function<void(const std::wstring&)> deliver)
    : view_(view), deliver_(std::move(deliver)) {}

std::wstring PointerInput::pointText(const WorldPoint& world) {
    const geom::Point3d u = ed::wcsToUcs(toPoint(world));
    wchar_t buffer[96];
    std::swprintf(buffer, 96, L"%.6f,%.6f", u.x, u.y);
    return buffer;
}

void PointerInput::promptShown(bool afterMove) {
    const ed::PromptView& prompt = ed::currentPromptView();
    if (!spansRectangles(prompt.kind))
        rectangleFrom_.reset();
    if (!afterMove)
        view_.setHighlighted(ed::highlightedOnScreen());
    dragged_.clear();
    const db::Database* d = ed::workingDatabase();
    if (prompt.kind == Kind::drag && prompt.dragged && d)
        dragged_ = preview::entityOverlay(*d, *prompt.dragged, kDragged);
    showOverlay();
}

void PointerInput::showOverlay() {
    using It = preview::OverlayItem::Kind;
    const ed::PromptView& prompt = ed::currentPromptView();
    Overlay o = dragged_;
    if (cursor_) {
        // Where a click would land: on the object snap, else on the snap grid (the crosshair
        // then steps from grid point to grid point), then held by ORTHO from the base point.
        geom::Point3d at = toPoint(cursor_->world);
        WorldPoint crosshair = cursor_->world;
        std::optional<ed::Snap> snap;
        if (snapsAt(prompt.kind)) {
            at = ed::ucsToWcs(ed::landedPoint(ed::wcsToUcs(at), true, snap));
            if (!snap && ed::runningSnapGrid())
                crosshair = {at.x, at.y};
        }
        if (snap)
            at = snap->point;
        else if (prompt.hasBase && prompt.kind == Kind::point && ed::orthoModeOn())
            at = ed::ucsToWcs(ed::orthoPoint(ed::wcsToUcs(at), ed::wcsToUcs(prompt.base)));
        if (prompt.hasBase && prompt.kind == Kind::point) {
            o.push_back(item(It::path, {overlayPoint(prompt.base), overlayPoint(at)}, kBand));
            o.back().dashed = true;
        } else if (prompt.hasBase && prompt.kind == Kind::corner) {
            o.push_back(item(It::rectangle, {overlayPoint(prompt.base), overlayPoint(at)}, kBand));
        }
        if (rectangleFrom_) {
            // Left to right a window (blue), right to left a crossing (green, dashed).
            const bool window = cursor_->px >= rectangleFrom_->px;
            o.push_back(item(It::rectangle,
                             {overlayPoint(rectangleFrom_->world), overlayPoint(cursor_->world)},
                             window ? kWindow : kCrossing));
            o.back().fillArgb = window ? kWindowFill : kCrossingFill;
            o.back().dashed = !window;
        }
        o.push_back(item(It::crosshair, {overlayPoint(crosshair)}, kCursor));
        int pickBox = 3;
        if (picksEntities(prompt.kind) && ok(ed::getVarInt(L"PICKBOX", pickBox)) && pickBox > 0) {
            o.push_back(item(It::marker, {overlayPoint(cursor_->world)}, kCursor));
            o.back().sizePx = 2 * pickBox + 1;
        }
        if (snap) {
            o.push_back(item(It::marker, {overlayPoint(snap->point)}, kMarker, 2));
            o.back().marker = shapeOf(snap->kind);
            o.back().sizePx = 12;
        }
    }
    view_.setOverlay(std::move(o));
}

void PointerInput::motion(const MouseAt& m) {
    cursor_ = m;
    if (ed::currentPromptView().kind == Kind::drag)
        deliver_(L"@move " + pointText(m.world));
    showOverlay();
}

void PointerInput::leave() {
    cursor_.reset();
    showOverlay();
}

void PointerInput::cancelRectangle() {
    rectangleFrom_.reset();
    pressed_ = false;
    showOverlay();
}

void PointerInput::leftDown(const MouseAt& m) {
    cursor_ = m;
    if (!spansRectangles(ed::currentPromptView().kind)) {
        deliver_(L"@pick " + pointText(m.world));
        return;
    }
    if (rectangleFrom_) {
        finishRectangle(m);
        return;
    }
    // On an entity the click picks it; on nothing it starts a rectangle, finished by the next
    // click or by releasing the button after dragging.
    if (!ed::entitiesAtPoint(toPoint(m.world), ed::pickAperture()).empty()) {
        deliver_(L"@pick " + pointText(m.world));
        return;
    }
    rectangleFrom_ = m;
    pressed_ = true;
    showOverlay();
}

void PointerInput::leftUp(const MouseAt& m) {
    const bool dragged = pressed_ && rectangleFrom_ &&
                         (std::abs(m.px - rectangleFrom_->px) > kDragPixels ||
                          std::abs(m.py - rectangleFrom_->py) > kDragPixels);
    pressed_ = false;
    if (dragged)
        finishRectangle(m);
}

void PointerInput::finishRectangle(const MouseAt& to) {
    const MouseAt from = *rectangleFrom_;
    rectangleFrom_.reset();
    pressed_ = false;
    // Left to right takes what lies wholly inside; right to left also what it touches.
    const wchar_t* directive = to.px >= from.px ? L"@window " : L"@crossing ";
    deliver_(directive + pointText(from.world) + L" " + pointText(to.world));
    showOverlay();
}

} // namespace zorma::gui

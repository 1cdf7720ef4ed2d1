#include "pointer_input.h"

#include "zhost/db/db.h"
#include "zhost/editor/display.h"
#include "zhost/editor/osnap.h"
#include "zhost/editor/prompt_view.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zorma::gui {
using namespace zhost;
using Kind = ed::PromptView::Kind;

namespace {

// A press and release further apart than this is a drag that spans a rectangle.
constexpr int kDragPixels = 4;
// Highlighting more than this many entities would stall the window for little use: the first
// ones show what was selected.
constexpr size_t kMaxHighlighted = 2000;

geom::Point3d toPoint(const WorldPoint& p) {
    return {p.x, p.y, 0};
}
WorldPoint toWorldPoint(const geom::Point3d& p) {
    return {p.x, p.y};
}

std::vector<Stroke> strokesOf(const db::Entity& e) {
    std::vector<std::vector<geom::Point3d>> lines;
    // Half a pixel: curves look smooth at the current zoom.
    ed::entityStrokes(e, ed::viewScale() / 2, lines);
    std::vector<Stroke> out;
    for (const auto& line : lines) {
        Stroke s;
        for (const geom::Point3d& p : line)
            s.push_back(toWorldPoint(p));
        out.push_back(std::move(s));
    }
    return out;
}

MarkerShape shapeOf(ed::SnapKind kind) {
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
    return MarkerShape::square;
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
    if (!afterMove) {
        highlighted_.clear();
        size_t shown = 0;
        for (db::ObjectId id : ed::highlightedOnScreen()) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (!e || ++shown > kMaxHighlighted)
                continue;
            for (Stroke& s : strokesOf(*e))
                highlighted_.push_back(std::move(s));
        }
    }
    dragged_.clear();
    if (prompt.kind == Kind::drag && prompt.dragged)
        dragged_ = strokesOf(*prompt.dragged);
    showOverlay();
}

void PointerInput::showOverlay() {
    const ed::PromptView& prompt = ed::currentPromptView();
    Overlay o;
    o.highlighted = highlighted_;
    o.dragged = dragged_;
    if (cursor_) {
        o.hasCursor = true;
        o.cursor = cursor_->world;
        int pickBox = 3;
        if (picksEntities(prompt.kind) && ok(ed::getVarInt(L"PICKBOX", pickBox)))
            o.pickBox = pickBox;
        // Where a click would land: on the snap, or held by ORTHO from the base point.
        geom::Point3d at = toPoint(cursor_->world);
        std::optional<ed::Snap> snap;
        if (snapsAt(prompt.kind))
            snap = ed::objectSnap(at);
        if (snap) {
            o.hasMarker = true;
            o.marker = toWorldPoint(snap->point);
            o.markerShape = shapeOf(snap->kind);
            at = snap->point;
        } else if (prompt.hasBase && prompt.kind == Kind::point && ed::orthoModeOn()) {
            at = ed::ucsToWcs(ed::orthoPoint(ed::wcsToUcs(at), ed::wcsToUcs(prompt.base)));
        }
        if (prompt.hasBase && prompt.kind == Kind::point) {
            o.hasRubberBand = true;
            o.bandFrom = toWorldPoint(prompt.base);
            o.bandTo = toWorldPoint(at);
        } else if (prompt.hasBase && prompt.kind == Kind::corner) {
            o.box = Overlay::Box::corner;
            o.boxFrom = toWorldPoint(prompt.base);
            o.boxTo = toWorldPoint(at);
        }
        if (rectangleFrom_) {
            o.box =
                cursor_->px >= rectangleFrom_->px ? Overlay::Box::window : Overlay::Box::crossing;
            o.boxFrom = rectangleFrom_->world;
            o.boxTo = cursor_->world;
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

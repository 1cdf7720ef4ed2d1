// ZOOM: what part of model space the view shows. The editor keeps the view (display.h); the
// drawing window carries a command's change out at its next refresh, and without a window the
// view is the virtual screen the pick box and VIEWSIZE are measured on.
#include "../editor_state.h"
#include "../host_commands.h"
#include "../input_parse.h"
#include "../picking.h"
#include "drafting.h"

#include "zhost/db/db.h"
#include "zhost/editor/display.h"
#include "zhost/editor/format.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/ucs.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <optional>

namespace zhost::ed::detail {
namespace {

// The view fitted to a box leaves this many pixels free on every side, as the window's own
// zoom to the extents does.
constexpr double kFitMargin = 10;
// Views narrower than this (drawing units across the screen) cannot be told from a point.
constexpr double kMinViewHeight = 1e-6;

// A view showing the box [lo, hi] whole, centred, on the current screen.
View fittedView(const geom::Point3d& lo, const geom::Point3d& hi) {
    View v = currentView();
    const double w = std::max(hi.x - lo.x, kMinViewHeight);
    const double h = std::max(hi.y - lo.y, kMinViewHeight);
    const double usableW = std::max(v.widthPx - 2 * kFitMargin, 1.0);
    const double usableH = std::max(v.heightPx - 2 * kFitMargin, 1.0);
    v.unitsPerPixel = std::max(w / usableW, h / usableH);
    v.centerX = (lo.x + hi.x) / 2;
    v.centerY = (lo.y + hi.y) / 2;
    return v;
}

// The WCS box of what the screen shows of model space: entities hidden on the screen or on
// layers that are off or frozen do not count, as the window leaves them out.
geom::Extents3d shownExtents(db::Database& d) {
    geom::Extents3d all;
    for (db::ObjectId id : drawingEntities(d, false)) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        geom::Extents3d box;
        if (e && isSelectable(*e) && entityExtents(*e, box))
            all.addExtents(box);
    }
    return all;
}

// The drawing limits (LIMMIN, LIMMAX) as a WCS box.
geom::Extents3d limits(const db::Database& d) {
    geom::Extents3d box;
    geom::Point3d lo, hi;
    if (ok(d.getPoint(L"LIMMIN", lo)) && ok(d.getPoint(L"LIMMAX", hi))) {
        box.addPoint({lo.x, lo.y, 0});
        box.addPoint({hi.x, hi.y, 0});
    }
    return box;
}

void zoomToBox(const geom::Extents3d& box, bool toExtents) {
    if (box.isEmpty()) {
        commandMessage(L"\nThe drawing shows nothing to zoom to.");
        return;
    }
    requestView({fittedView(box.minPoint, box.maxPoint), toExtents});
}

// The WCS box spanned by two UCS corners (a rotated UCS gives the box around both).
geom::Extents3d boxOfCorners(const geom::Point3d& a, const geom::Point3d& b) {
    geom::Extents3d box;
    for (const geom::Point3d& p :
         {a, b, geom::Point3d(a.x, b.y, a.z), geom::Point3d(b.x, a.y, a.z)})
        box.addPoint(ucsToWcs(p));
    return box;
}

// The window from a first corner; false after Esc or Enter.
Result zoomWindowFrom(const geom::Point3d& first) {
    geom::Point3d second;
    for (;;) {
        const Result r = getCorner(first, L"\nSpecify opposite corner: ", second);
        if (r != Result::normal)
            return r;
        const geom::Extents3d box = boxOfCorners(first, second);
        if (box.maxPoint.x - box.minPoint.x > kMinViewHeight &&
            box.maxPoint.y - box.minPoint.y > kMinViewHeight) {
            requestView({fittedView(box.minPoint, box.maxPoint), false});
            return Result::normal;
        }
        print(L"\nThe window must have a width and a height.");
    }
}

// A scale answer: "2X" or "0.5x" is relative to the current view; a plain number is relative to
// the drawing limits (the view then shows the limits' height divided by it).
struct ScaleAnswer {
    double factor = 0;
    bool relative = false;
};

std::optional<ScaleAnswer> parseScale(std::wstring text) {
    while (!text.empty() && std::iswspace(text.back()))
        text.pop_back();
    ScaleAnswer out;
    if (!text.empty() && (text.back() == L'x' || text.back() == L'X')) {
        out.relative = true;
        text.pop_back();
    }
    double value = 0;
    if (!parseReal(text, value) || !(value > 0) || !std::isfinite(value))
        return std::nullopt;
    out.factor = value;
    return out;
}

void zoomByScale(const db::Database& d, const ScaleAnswer& s) {
    View v = currentView();
    if (s.relative) {
        v.unitsPerPixel /= s.factor;
    } else {
        const geom::Extents3d lim = limits(d);
        const double height = lim.isEmpty() ? v.height() : lim.maxPoint.y - lim.minPoint.y;
        v.unitsPerPixel = std::max(height, kMinViewHeight) / s.factor / v.heightPx;
    }
    if (!(v.unitsPerPixel > 0) || !std::isfinite(v.unitsPerPixel) ||
        v.height() > 2 * kMaxCoordinate || v.height() < kMinViewHeight) {
        print(L"\nThat zoom lies beyond what the view can show.");
        return;
    }
    requestView({v, false});
}

Result askScale(const db::Database& d) {
    for (;;) {
        std::wstring text;
        const Result r = getString(false, L"\nEnter a scale factor (nX): ", text);
        if (r != Result::normal)
            return r;
        if (text.empty())
            return Result::none;
        if (const auto s = parseScale(text)) {
            zoomByScale(d, *s);
            return Result::normal;
        }
        print(L"\nRequires a positive number or numberX.");
    }
}

Result zoomCenter() {
    geom::Point3d center;
    Result r = askPoint(nullptr, L"\nSpecify center point: ", center);
    if (r != Result::normal)
        return r;
    View v = currentView();
    for (;;) {
        std::wstring text;
        r = getString(
            false, format(L"\nEnter magnification or height <%s>: ", lengthText(v.height())), text);
        if (r != Result::normal)
            return r;
        const auto s =
            text.empty() ? std::optional<ScaleAnswer>(ScaleAnswer{1, true}) : parseScale(text);
        if (!s) {
            print(L"\nRequires a positive number or numberX.");
            continue;
        }
        const double height = s->relative ? v.height() / s->factor : s->factor;
        if (height < kMinViewHeight || height > 2 * kMaxCoordinate) {
            print(L"\nThat zoom lies beyond what the view can show.");
            continue;
        }
        const geom::Point3d c = ucsToWcs(center);
        v.centerX = c.x;
        v.centerY = c.y;
        v.unitsPerPixel = height / v.heightPx;
        requestView({v, false});
        return Result::normal;
    }
}

void zoomPrevious() {
    View v;
    if (!popPreviousView(v)) {
        print(L"\nNo previous view saved.");
        return;
    }
    // Going back must not itself become the view to go back to.
    requestView({v, false});
    popPreviousView(v);
}

} // namespace

void cmdZoom() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    for (;;) {
        initGet(rsg::other, L"All Center Extents Previous Scale Window");
        geom::Point3d corner;
        const Result r = getPoint(nullptr,
                                  L"\nSpecify corner of window, enter a scale factor (nX), or\n"
                                  L"[All/Center/Extents/Previous/Scale/Window] <real time>: ",
                                  corner);
        Result next = Result::normal;
        switch (r) {
        case Result::normal:
            next = zoomWindowFrom(corner);
            break;
        case Result::keyword: {
            std::wstring kw;
            getInput(kw);
            if (kw == L"All") {
                geom::Extents3d box = shownExtents(*d);
                box.addExtents(limits(*d));
                zoomToBox(box, false);
            } else if (kw == L"Center") {
                next = zoomCenter();
            } else if (kw == L"Extents") {
                zoomToBox(shownExtents(*d), true);
            } else if (kw == L"Previous") {
                zoomPrevious();
            } else if (kw == L"Scale") {
                next = askScale(*d);
            } else if (kw == L"Window") {
                geom::Point3d first;
                next = askPoint(nullptr, L"\nSpecify first corner: ", first);
                if (next == Result::normal)
                    next = zoomWindowFrom(first);
            } else if (const auto s = parseScale(kw)) {
                zoomByScale(*d, *s);
            } else {
                print(L"\nRequires a point, numberX, or option keyword.");
                continue;
            }
            break;
        }
        case Result::none:
            // Real-time zoom is the window's mouse wheel; typed, Enter just ends the command.
            return;
        case Result::cancel:
            return cancelled();
        case Result::error:
        case Result::rejected:
            return;
        }
        if (next == Result::cancel)
            cancelled();
        return;
    }
}

} // namespace zhost::ed::detail

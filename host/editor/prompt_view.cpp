// The screen's view of the waiting prompt, and the strokes of entities drawn over the picture.
#include "editor_state.h"
#include "picking.h"

#include "zhost/db/db.h"
#include "zhost/editor/prompt_view.h"
#include "zhost/geom/curves.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace zhost::ed {
namespace {

std::vector<PromptView>& views() {
    static std::vector<PromptView> stack;
    return stack;
}

// Points along a curve by its parameter, dense enough for `chord`.
void divide(const geom::Curve& c, double chord, std::vector<geom::Point3d>& out) {
    if (const auto* line = std::get_if<geom::LineSeg>(&c)) {
        out = {line->start, line->end};
        return;
    }
    double t0 = 0, t1 = 0, len = 0;
    if (!ok(geom::paramRange(c, t0, t1)) || !ok(geom::length(c, len)))
        return;
    const double steps = std::ceil(std::sqrt(len / std::max(chord, 1e-12)) * 2);
    const int n = static_cast<int>(std::clamp(steps, 8.0, 512.0));
    for (int i = 0; i <= n; ++i) {
        geom::Point3d p;
        if (ok(geom::pointAtParam(c, t0 + (t1 - t0) * i / n, p)))
            out.push_back(p);
    }
}

} // namespace

const PromptView& currentPromptView() {
    static const PromptView commandPrompt;
    return views().empty() ? commandPrompt : views().back();
}

PromptViewScope::PromptViewScope(PromptView view) {
    views().push_back(std::move(view));
}

PromptViewScope::~PromptViewScope() {
    views().pop_back();
}

std::vector<db::ObjectId> highlightedOnScreen() {
    const auto& ids = detail::state().highlighted;
    return {ids.begin(), ids.end()};
}

bool entityStrokes(const db::Entity& e, double chord,
                   std::vector<std::vector<geom::Point3d>>& strokes) {
    std::vector<geom::Curve> curves;
    std::vector<geom::Point3d> points;
    detail::drawnGeometry(e, curves, points);
    for (const geom::Curve& c : curves) {
        std::vector<geom::Curve> pieces;
        if (const auto* pl = std::get_if<geom::Polyline>(&c)) {
            if (!ok(geom::explode(*pl, pieces)))
                continue;
        } else {
            pieces.push_back(c);
        }
        for (const geom::Curve& piece : pieces) {
            std::vector<geom::Point3d> stroke;
            divide(piece, chord, stroke);
            if (stroke.size() >= 2)
                strokes.push_back(std::move(stroke));
        }
    }
    // A text or a point shows where it sits: a small cross.
    for (const geom::Point3d& p : points) {
        const double r = chord * 8;
        strokes.push_back({p - geom::Vector3d(r, 0, 0), p + geom::Vector3d(r, 0, 0)});
        strokes.push_back({p - geom::Vector3d(0, r, 0), p + geom::Vector3d(0, r, 0)});
    }
    return !strokes.empty();
}

} // namespace zhost::ed

// The jig driver: cursor moves and the final answer of a drag, fed to the jig's sampler.
#include "answers.h"
#include "editor_state.h"
#include "prompt_support.h"

#include "zhost/editor/jig.h"
#include "zhost/editor/osnap.h"
#include "zhost/editor/output.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"

#include <cmath>
#include <optional>

namespace zhost::ed {

using detail::Answer;

// What the sampler sees of the current input.
class JigDriver {
public:
    enum class Input { point, number, keyword, other, null };
    Input input = Input::point;
    bool fromCursor = false; // a move or a pick: ORTHO holds it unless it snapped
    bool snapped = false;    // an object snap placed the point
    geom::Point3d point;     // UCS
    double number = 0;       // a typed distance or angle (degrees)
    int keywordIndex = -1;
    std::optional<geom::Point3d> lastPoint;  // the last point handed to the sampler (world)
    std::optional<double> lastValue;         // the last distance or angle handed to it
    std::optional<geom::Point3d> lastCursor; // UCS, for direct distance entry
};

namespace {

constexpr double kPi = 3.141592653589793;

// ORTHO holds a cursor point to the UCS axis through the base point nearer to it; a point an
// object snap found is exact and stays where it is.
bool orthoApplies(const JigDriver& d, int controls) {
    return d.fromCursor && !d.snapped && (controls & Jig::kGovernedByOrthoMode) && orthoModeOn();
}

// The cursor's point (UCS), on the running object snap in reach when there is one, else on the
// snap grid while SNAPMODE is on.
geom::Point3d cursorPoint(const geom::Point3d& ucsPoint, bool& snapped) {
    std::optional<Snap> snap;
    const geom::Point3d p = landedPoint(ucsPoint, true, snap);
    snapped = snap.has_value();
    return p;
}

} // namespace

Jig::DragStatus Jig::drag() {
    JigDriver drv;
    JigDriver* outer = driver_;
    driver_ = &drv;
    const auto keywords = detail::parseKeywords(keywords_);
    PromptView view = detail::viewOf(PromptView::Kind::drag, keywords);
    view.dragged = entity();
    const PromptViewScope shown(std::move(view));
    DragStatus result = kCancel;
    while (true) {
        const Answer a = detail::readAnswer(prompt_, true);
        drv.fromCursor = false;
        drv.snapped = false;
        if (a.kind == Answer::end || a.kind == Answer::cancel) {
            result = kCancel;
            break;
        }
        if (a.kind == Answer::empty) {
            if (!(controls_ & kNullResponseAccepted))
                continue;
            drv.input = JigDriver::Input::null;
            ++samplerCalls_;
            result = sampler();
            break;
        }
        if (a.kind == Answer::move) {
            drv.input = JigDriver::Input::point;
            drv.fromCursor = true;
            drv.point = cursorPoint(a.p1, drv.snapped);
            drv.lastCursor = drv.point;
            ++samplerCalls_;
            if (sampler() == kNormal) {
                ++updateCalls_;
                update();
            }
            continue;
        }
        bool understood = true;
        if (a.kind == Answer::pick) {
            drv.input = JigDriver::Input::point;
            drv.fromCursor = true;
            drv.point = cursorPoint(a.p1, drv.snapped);
        } else if (a.kind == Answer::point) {
            drv.input = JigDriver::Input::point;
            drv.point = a.p1;
        } else if (a.kind == Answer::realValue || a.kind == Answer::intValue) {
            drv.input = JigDriver::Input::number;
            drv.number = a.kind == Answer::realValue ? a.real : a.integer;
        } else if (a.kind == Answer::typed) {
            geom::Point3d p;
            double d = 0;
            const int k = detail::matchKeyword(keywords, a.text);
            if (k >= 0) {
                drv.input = JigDriver::Input::keyword;
                drv.keywordIndex = k;
                detail::setLastInput(keywords[size_t(k)].global);
            } else if (detail::parseReal(a.text, d)) {
                drv.input = JigDriver::Input::number;
                drv.number = d;
            } else if (detail::parsePointAnswer(a.text, detail::state().lastPoint, p)) {
                drv.input = JigDriver::Input::point;
                drv.point = p;
            } else if (controls_ & kAcceptOtherInputString) {
                drv.input = JigDriver::Input::other;
                detail::setLastInput(a.text);
            } else {
                understood = false;
            }
        } else {
            understood = false;
        }
        if (!understood) {
            print(L"Point or option keyword required.");
            detail::endEchoLine();
            continue;
        }
        ++samplerCalls_;
        const DragStatus st = sampler();
        if (st == kNormal) {
            ++updateCalls_;
            update();
        }
        result = st == kNoChange ? kNormal : st;
        if (result == kNormal && drv.input == JigDriver::Input::point)
            detail::state().lastPoint = drv.point;
        break;
    }
    driver_ = outer;
    return result;
}

Jig::DragStatus Jig::acquirePoint(geom::Point3d& point) {
    if (!driver_)
        return kCancel;
    JigDriver& d = *driver_;
    switch (d.input) {
    case JigDriver::Input::keyword:
        return DragStatus(kKW1 + d.keywordIndex);
    case JigDriver::Input::null:
        return kNull;
    case JigDriver::Input::other:
        return kOther;
    case JigDriver::Input::number:
        return kOther; // a distance needs a base point
    case JigDriver::Input::point:
        break;
    }
    const geom::Point3d w = ucsToWcs(d.point);
    const bool same = d.lastPoint && w.isEqualTo(*d.lastPoint);
    d.lastPoint = w;
    point = w;
    return same ? kNoChange : kNormal;
}

Jig::DragStatus Jig::acquirePoint(geom::Point3d& point, const geom::Point3d& basePoint) {
    if (!driver_)
        return kCancel;
    JigDriver& d = *driver_;
    const geom::Point3d baseUcs = wcsToUcs(basePoint);
    if (d.input == JigDriver::Input::number) {
        // Direct distance entry: the typed distance along the direction the cursor shows.
        geom::Vector3d dir = d.lastCursor ? (*d.lastCursor - baseUcs) : geom::Vector3d(1, 0, 0);
        dir.z = 0;
        if (dir.isZeroLength(geom::Tol::withPoint(1e-12)))
            dir = {1, 0, 0};
        point = ucsToWcs(baseUcs + dir.normal() * d.number);
        return kNormal;
    }
    if (d.input != JigDriver::Input::point)
        return acquirePoint(point);
    geom::Point3d p = d.point;
    if (orthoApplies(d, controls_))
        p = orthoPoint(p, baseUcs);
    const geom::Point3d w = ucsToWcs(p);
    const bool same = d.lastPoint && w.isEqualTo(*d.lastPoint);
    d.lastPoint = w;
    point = w;
    return same ? kNoChange : kNormal;
}

Jig::DragStatus Jig::acquireDist(double& distance) {
    return acquireDist(distance, ucsToWcs(detail::state().lastPoint));
}

Jig::DragStatus Jig::acquireDist(double& distance, const geom::Point3d& basePoint) {
    if (!driver_)
        return kCancel;
    JigDriver& d = *driver_;
    double value = 0;
    switch (d.input) {
    case JigDriver::Input::keyword:
        return DragStatus(kKW1 + d.keywordIndex);
    case JigDriver::Input::null:
        return kNull;
    case JigDriver::Input::other:
        return kOther;
    case JigDriver::Input::number:
        value = d.number;
        break;
    case JigDriver::Input::point: {
        geom::Point3d p = d.point;
        const geom::Point3d baseUcs = wcsToUcs(basePoint);
        if (orthoApplies(d, controls_))
            p = orthoPoint(p, baseUcs);
        value = p.distanceTo(baseUcs);
        break;
    }
    }
    if (((controls_ & kNoZeroResponseAccepted) && value == 0) ||
        ((controls_ & kNoNegativeResponseAccepted) && value < 0))
        return kOther;
    const bool same = d.lastValue && *d.lastValue == value;
    d.lastValue = value;
    distance = value;
    return same ? kNoChange : kNormal;
}

Jig::DragStatus Jig::acquireAngle(double& angle) {
    return acquireAngle(angle, ucsToWcs(detail::state().lastPoint));
}

Jig::DragStatus Jig::acquireAngle(double& angle, const geom::Point3d& basePoint) {
    if (!driver_)
        return kCancel;
    JigDriver& d = *driver_;
    double value = 0;
    switch (d.input) {
    case JigDriver::Input::keyword:
        return DragStatus(kKW1 + d.keywordIndex);
    case JigDriver::Input::null:
        return kNull;
    case JigDriver::Input::other:
        return kOther;
    case JigDriver::Input::number:
        value = d.number * kPi / 180.0;
        break;
    case JigDriver::Input::point: {
        geom::Point3d p = d.point;
        const geom::Point3d baseUcs = wcsToUcs(basePoint);
        if (orthoApplies(d, controls_))
            p = orthoPoint(p, baseUcs);
        value = std::atan2(p.y - baseUcs.y, p.x - baseUcs.x);
        if (value < 0)
            value += 2 * kPi;
        break;
    }
    }
    const bool same = d.lastValue && *d.lastValue == value;
    d.lastValue = value;
    angle = value;
    return same ? kNoChange : kNormal;
}

} // namespace zhost::ed

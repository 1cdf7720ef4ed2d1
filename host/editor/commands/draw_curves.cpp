// CIRCLE and ARC.
#include "../host_commands.h"
#include "drafting.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/ucs.h"

#include <cmath>
#include <optional>

namespace zhost::ed::detail {
namespace {

struct CircleThrough {
    geom::Point3d center;
    double radius = 0;
};

// The circle through three points (in the XY plane of the UCS); none for points on one line.
std::optional<CircleThrough> circleThrough(const geom::Point3d& a, const geom::Point3d& b,
                                           const geom::Point3d& c) {
    const double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
    const double det = 2 * (bx * cy - by * cx);
    const double scale = (bx * bx + by * by) * (cx * cx + cy * cy);
    if (scale == 0 || std::abs(det) <= 1e-12 * std::sqrt(scale))
        return std::nullopt;
    const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    const double ux = (cy * b2 - by * c2) / det, uy = (bx * c2 - cx * b2) / det;
    CircleThrough out{{a.x + ux, a.y + uy, a.z}, std::hypot(ux, uy)};
    if (!std::isfinite(out.radius) || out.radius > kMaxCoordinate)
        return std::nullopt;
    return out;
}

void notThrough() {
    print(L"\nThe points lie on one line or coincide; no circle passes through them.");
}

bool addCircle(const geom::Point3d& centerUcs, double radius) {
    if (!ok(addEntity(std::make_unique<db::Circle>(ucsToWcs(centerUcs), radius)))) {
        reportCommandFailure();
        return false;
    }
    return true;
}

// Asks two points, then a third until the three define a circle. normal on success.
Result askThreePoints(const wchar_t* const prompts[3], geom::Point3d pts[3],
                      std::optional<CircleThrough>& circle) {
    Result r = askPoint(nullptr, prompts[0], pts[0]);
    while (r == Result::normal) {
        r = askPoint(&pts[0], prompts[1], pts[1]);
        if (r != Result::normal)
            return r;
        if (!pts[1].isEqualTo(pts[0]))
            break;
        notThrough();
    }
    while (r == Result::normal) {
        r = askPoint(&pts[1], prompts[2], pts[2]);
        if (r != Result::normal)
            return r;
        circle = circleThrough(pts[0], pts[1], pts[2]);
        if (circle)
            return r;
        notThrough();
    }
    return r;
}

Result circleTwoPoints() {
    geom::Point3d a, b;
    Result r = askPoint(nullptr, L"\nSpecify first end point of circle's diameter: ", a);
    while (r == Result::normal) {
        r = askPoint(&a, L"\nSpecify second end point of circle's diameter: ", b);
        if (r != Result::normal)
            break;
        if (b.isEqualTo(a)) {
            print(L"\nThe end points of a diameter must differ.");
            continue;
        }
        addCircle(geom::Point3d::midPoint(a, b), a.distanceTo(b) / 2);
        break;
    }
    return r;
}

} // namespace

void cmdCircle() {
    if (!requireDrawing())
        return;
    geom::Point3d center;
    Result r =
        askPoint(nullptr, L"\nSpecify center point for circle or [3P/2P]: ", center, 0, L"3P 2P");
    if (r == Result::keyword) {
        std::wstring kw;
        getInput(kw);
        if (kw == L"2P") {
            r = circleTwoPoints();
        } else {
            static const wchar_t* const prompts[3] = {L"\nSpecify first point on circle: ",
                                                      L"\nSpecify second point on circle: ",
                                                      L"\nSpecify third point on circle: "};
            geom::Point3d pts[3];
            std::optional<CircleThrough> c;
            r = askThreePoints(prompts, pts, c);
            if (r == Result::normal)
                addCircle(c->center, c->radius);
        }
    } else if (r == Result::normal) {
        double radius = 0;
        r = askLength(&center, L"\nSpecify radius of circle or [Diameter]: ", radius, L"Diameter");
        if (r == Result::keyword) {
            r = askLength(&center, L"\nSpecify diameter of circle: ", radius);
            radius /= 2;
        }
        if (r == Result::normal)
            addCircle(center, radius);
    }
    if (r == Result::cancel)
        cancelled();
}

namespace {

// An arc about `center` from `start` counter-clockwise to the direction of `end`.
void addArc(const geom::Point3d& center, const geom::Point3d& start, const geom::Point3d& end) {
    const geom::Point3d c = ucsToWcs(center), s = ucsToWcs(start), e = ucsToWcs(end);
    const double a0 = std::atan2(s.y - c.y, s.x - c.x), a1 = std::atan2(e.y - c.y, e.x - c.x);
    if (!ok(addEntity(std::make_unique<db::Arc>(c, c.distanceTo(s), a0, a1))))
        reportCommandFailure();
}

Result arcStartCenterEnd(const geom::Point3d& start) {
    geom::Point3d center, end;
    Result r;
    while (true) {
        r = askPoint(&start, L"\nSpecify center point of arc: ", center);
        if (r != Result::normal)
            return r;
        if (!center.isEqualTo(start))
            break;
        print(L"\nThe center must differ from the start point.");
    }
    while (true) {
        r = askPoint(&center, L"\nSpecify end point of arc: ", end);
        if (r != Result::normal)
            return r;
        if (!end.isEqualTo(center) && !end.isEqualTo(start))
            break;
        print(L"\nThe end point must differ from the center and the start point.");
    }
    addArc(center, start, end);
    return r;
}

} // namespace

void cmdArc() {
    if (!requireDrawing())
        return;
    geom::Point3d start;
    Result r =
        askPoint(nullptr, L"\nSpecify start point of arc or [Center]: ", start, 0, L"Center");
    if (r == Result::keyword) {
        geom::Point3d center;
        r = askPoint(nullptr, L"\nSpecify center point of arc: ", center);
        while (r == Result::normal) {
            r = askPoint(&center, L"\nSpecify start point of arc: ", start);
            if (r != Result::normal)
                break;
            if (start.isEqualTo(center)) {
                print(L"\nThe start point must differ from the center.");
                continue;
            }
            geom::Point3d end;
            while (r == Result::normal) {
                r = askPoint(&center, L"\nSpecify end point of arc: ", end);
                if (r == Result::normal && (end.isEqualTo(center) || end.isEqualTo(start))) {
                    print(L"\nThe end point must differ from the center and the start point.");
                    continue;
                }
                if (r == Result::normal)
                    addArc(center, start, end);
                break;
            }
            break;
        }
    } else if (r == Result::normal) {
        geom::Point3d second;
        while (true) {
            r = askPoint(&start, L"\nSpecify second point of arc or [Center]: ", second, 0,
                         L"Center");
            if (r != Result::normal || !second.isEqualTo(start))
                break;
            notThrough();
        }
        if (r == Result::keyword) {
            r = arcStartCenterEnd(start);
        } else if (r == Result::normal) {
            geom::Point3d end;
            while (true) {
                r = askPoint(&second, L"\nSpecify end point of arc: ", end);
                if (r != Result::normal)
                    break;
                const auto c = circleThrough(start, second, end);
                if (!c) {
                    notThrough();
                    continue;
                }
                // Counter-clockwise from start to end when the second point is passed that way.
                const geom::Vector3d chord = end - start, toSecond = second - start;
                const bool ccw = chord.x * toSecond.y - chord.y * toSecond.x < 0;
                addArc(c->center, ccw ? start : end, ccw ? end : start);
                break;
            }
        }
    }
    if (r == Result::cancel)
        cancelled();
}

} // namespace zhost::ed::detail

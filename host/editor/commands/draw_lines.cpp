// LINE, PLINE, RECTANG and POINT: the straight-edged drawing commands.
#include "../host_commands.h"
#include "drafting.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/tol.h"

#include <cmath>
#include <numbers>

namespace zhost::ed::detail {
namespace {

void zeroLength() {
    print(L"\nThe point is the same as the previous one; a segment needs two different points.");
}

std::wstring keywordAnswer() {
    std::wstring kw;
    getInput(kw);
    return kw;
}

} // namespace

void cmdLine() {
    if (!requireDrawing())
        return;
    geom::Point3d first;
    Result r = askPoint(nullptr, L"\nSpecify first point: ", first);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    // Every vertex given so far and the line drawn from each to the next: Undo takes back the
    // last one, Close joins the last vertex to the first.
    std::vector<geom::Point3d> points{first};
    std::vector<db::ObjectId> segments;
    while (true) {
        const bool canClose = segments.size() >= 2;
        geom::Point3d next;
        r = askPoint(&points.back(),
                     canClose ? L"\nSpecify next point or [Close/Undo]: "
                              : L"\nSpecify next point or [Undo]: ",
                     next, 0, canClose ? L"Close Undo" : L"Undo");
        if (r == Result::cancel)
            return cancelled(); // the segments drawn so far stay, as on any CAD command line
        if (r == Result::none)
            return;
        if (r == Result::keyword) {
            const std::wstring kw = keywordAnswer();
            if (kw == L"Close") {
                addEntity(std::make_unique<db::Line>(ucsToWcs(points.back()), ucsToWcs(first)));
                return;
            }
            if (segments.empty()) {
                print(L"\nAll segments already undone.");
                continue;
            }
            eraseEntity(segments.back());
            segments.pop_back();
            points.pop_back();
            continue;
        }
        if (next.isEqualTo(points.back())) {
            zeroLength();
            continue;
        }
        db::ObjectId id;
        if (!ok(addEntity(std::make_unique<db::Line>(ucsToWcs(points.back()), ucsToWcs(next)),
                          &id)))
            return reportCommandFailure();
        segments.push_back(id);
        points.push_back(next);
    }
}

namespace {

// The polyline being drawn: vertices in UCS with the bulge of the segment starting at each, and
// the direction in which the last segment ends (arcs start tangent to it).
struct PlineDraft {
    std::vector<geom::Point3d> points;
    std::vector<double> bulges;
    std::vector<geom::Vector3d> endDirections; // after each segment
    geom::Vector3d direction{1, 0, 0};

    int segments() const { return int(points.size()) - 1; }
    void addSegment(const geom::Point3d& to, double bulge, const geom::Vector3d& endDir) {
        bulges.back() = bulge;
        points.push_back(to);
        bulges.push_back(0);
        endDirections.push_back(endDir);
        direction = endDir;
    }
    void undo() {
        points.pop_back();
        bulges.pop_back();
        bulges.back() = 0;
        endDirections.pop_back();
        direction = endDirections.empty() ? geom::Vector3d(1, 0, 0) : endDirections.back();
    }
};

geom::Vector3d rotated(const geom::Vector3d& v, double a) {
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a), 0};
}

// The arc from `from` that leaves in `dir` and ends at `to`: its bulge and its end direction.
// False when no such arc exists (the point lies straight behind on the tangent).
bool tangentArc(const geom::Point3d& from, const geom::Vector3d& dir, const geom::Point3d& to,
                double& bulge, geom::Vector3d& endDir) {
    const geom::Vector3d chord = to - from;
    const double a = std::atan2(dir.x * chord.y - dir.y * chord.x, dir.dot(chord));
    if (std::abs(std::abs(a) - std::numbers::pi) < 1e-9)
        return false;
    bulge = std::tan(a / 2);
    endDir = rotated(chord.normal(), a);
    return true;
}

// The arc from `from` through `mid` to `to`. False for points on one line.
bool threePointArc(const geom::Point3d& from, const geom::Point3d& mid, const geom::Point3d& to,
                   double& bulge, geom::Vector3d& endDir) {
    const geom::Vector3d chord = to - from, toMid = mid - from;
    const double side = chord.x * toMid.y - chord.y * toMid.x;
    if (std::abs(side) <= 1e-12 * chord.length() * toMid.length() || mid.isEqualTo(to) ||
        mid.isEqualTo(from))
        return false;
    // The inscribed angle at `mid` is pi minus half the arc's included angle.
    const double atMid = (from - mid).angleTo(to - mid);
    const double quarter = (std::numbers::pi - atMid) / 2;
    bulge = side < 0 ? std::tan(quarter) : -std::tan(quarter);
    endDir = rotated(chord.normal(), 2 * std::atan(bulge));
    return true;
}

bool appendPolyline(const PlineDraft& p, bool closed) {
    if (p.segments() < 1)
        return true;
    geom::Polyline shape;
    for (const geom::Point3d& q : p.points)
        shape.points.push_back(ucsToWcs(q));
    shape.bulges = p.bulges;
    shape.closed = closed;
    return ok(addEntity(std::make_unique<db::Polyline>(shape)));
}

} // namespace

void cmdPline() {
    if (!requireDrawing())
        return;
    geom::Point3d start;
    Result r = askPoint(nullptr, L"\nSpecify start point: ", start);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    commandMessage(L"\nCurrent line-width is " + lengthText(0));
    PlineDraft p;
    p.points.push_back(start);
    p.bulges.push_back(0);
    bool arcMode = false;
    while (true) {
        geom::Point3d next;
        const bool canClose = arcMode ? p.segments() >= 1 : p.segments() >= 2;
        if (arcMode)
            r = askPoint(&p.points.back(),
                         canClose ? L"\nSpecify endpoint of arc or [CLose/Line/Second pt/Undo]: "
                                  : L"\nSpecify endpoint of arc or [Line/Second pt/Undo]: ",
                         next, 0, canClose ? L"CLose Line Second Undo" : L"Line Second Undo");
        else
            r = askPoint(&p.points.back(),
                         canClose ? L"\nSpecify next point or [Arc/Close/Undo]: "
                                  : L"\nSpecify next point or [Arc/Undo]: ",
                         next, 0, canClose ? L"Arc Close Undo" : L"Arc Undo");
        if (r == Result::cancel) {
            appendPolyline(p, false);
            return cancelled();
        }
        if (r == Result::none) {
            appendPolyline(p, false);
            return;
        }
        if (r == Result::keyword) {
            const std::wstring kw = keywordAnswer();
            if (kw == L"Arc" || kw == L"Line") {
                arcMode = kw == L"Arc";
            } else if (kw == L"Undo") {
                if (p.segments() == 0)
                    print(L"\nAll segments already undone.");
                else
                    p.undo();
            } else if (kw == L"Close" || kw == L"CLose") {
                double bulge = 0;
                geom::Vector3d endDir;
                if (arcMode &&
                    !tangentArc(p.points.back(), p.direction, p.points.front(), bulge, endDir)) {
                    print(L"\nNo arc leads back to the start point in this direction.");
                    continue;
                }
                p.bulges.back() = bulge;
                appendPolyline(p, true);
                return;
            } else { // Second pt
                geom::Point3d mid, end;
                r = askPoint(&p.points.back(), L"\nSpecify second point on arc: ", mid);
                if (r == Result::normal)
                    r = askPoint(&mid, L"\nSpecify end point of arc: ", end);
                if (r == Result::cancel) {
                    appendPolyline(p, false);
                    return cancelled();
                }
                if (r != Result::normal)
                    continue;
                double bulge = 0;
                geom::Vector3d endDir;
                if (!threePointArc(p.points.back(), mid, end, bulge, endDir)) {
                    print(L"\nThe three points lie on one line or coincide; no arc passes "
                          L"through them.");
                    continue;
                }
                p.addSegment(end, bulge, endDir);
            }
            continue;
        }
        if (next.isEqualTo(p.points.back())) {
            zeroLength();
            continue;
        }
        if (!arcMode) {
            p.addSegment(next, 0, (next - p.points.back()).normal());
            continue;
        }
        double bulge = 0;
        geom::Vector3d endDir;
        if (!tangentArc(p.points.back(), p.direction, next, bulge, endDir)) {
            print(L"\nNo arc reaches that point in this direction.");
            continue;
        }
        p.addSegment(next, bulge, endDir);
    }
}

void cmdRectang() {
    if (!requireDrawing())
        return;
    geom::Point3d a, b;
    Result r = askPoint(nullptr, L"\nSpecify first corner point: ", a);
    while (r == Result::normal) {
        r = askPoint(&a, L"\nSpecify other corner point: ", b);
        if (r != Result::normal)
            break;
        if (std::abs(a.x - b.x) <= geom::kDefaultTol.equalPoint ||
            std::abs(a.y - b.y) <= geom::kDefaultTol.equalPoint) {
            print(L"\nThe corners must differ in X and in Y.");
            continue;
        }
        geom::Polyline shape;
        for (const geom::Point3d& q :
             {a, geom::Point3d(b.x, a.y, a.z), b, geom::Point3d(a.x, b.y, a.z)})
            shape.points.push_back(ucsToWcs(q));
        shape.bulges.assign(4, 0.0);
        shape.closed = true;
        if (!ok(addEntity(std::make_unique<db::Polyline>(shape))))
            reportCommandFailure();
        return;
    }
    if (r == Result::cancel)
        cancelled();
}

void cmdPoint() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    int mode = 0;
    double size = 0;
    d->getInt(L"PDMODE", mode);
    d->getReal(L"PDSIZE", size);
    commandMessage(format(L"\nCurrent point modes:  PDMODE=%d  PDSIZE=%s", mode, lengthText(size)));
    geom::Point3d p;
    const Result r = askPoint(nullptr, L"\nSpecify a point: ", p);
    if (r == Result::cancel)
        return cancelled();
    if (r == Result::normal && !ok(addEntity(std::make_unique<db::Point>(ucsToWcs(p)))))
        reportCommandFailure();
}

} // namespace zhost::ed::detail

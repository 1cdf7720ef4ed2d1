// OFFSET: parallel copies of curves at a distance, to the side of a point or on both sides.
#include "../host_commands.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/curves.h"

#include <algorithm>
#include <limits>

namespace zhost::ed::detail {
namespace {

bool appendOffset(db::Database& d, const db::Curve& source, const geom::Curve& shape) {
    std::unique_ptr<db::Curve> e = db::makeCurveEntity(shape);
    if (!e)
        return false;
    e->setPropertiesFrom(source);
    db::ObjectId id;
    return ok(appendToCurrentSpace(std::move(e), id));
}

// Which side of the curve the point lies on: +1 where positive offsets go, -1 the other. Decided
// by two copies offset by a hair, which exist even where the full distance cannot be made on one
// side, so that side is refused instead of quietly taking the other.
int sideOfPoint(const geom::Curve& shape, double distance, const geom::Point3d& p) {
    double size = 1;
    geom::Extents3d ext;
    if (ok(geom::extents(shape, ext)))
        size = std::max({size, ext.maxPoint.x - ext.minPoint.x, ext.maxPoint.y - ext.minPoint.y});
    const double hair = std::min(distance, size * 1e-6);
    auto distTo = [&](double signedDistance) {
        geom::Curve copy;
        geom::Point3d n;
        if (!ok(geom::offset(shape, signedDistance, copy)) || !ok(geom::closestPointTo(copy, p, n)))
            return std::numeric_limits<double>::infinity();
        return n.distanceTo(p);
    };
    return distTo(hair) <= distTo(-hair) ? 1 : -1;
}

// Offsets one picked curve. Returns the message of a refusal (the user picks another), empty
// when done, cancelled or ended.
std::wstring offsetOne(db::Database& d, db::ObjectId id, double distance, bool& cancelled) {
    const std::wstring cannot = L"\nCannot offset that object.";
    db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
    if (!c)
        return cannot;
    const geom::Curve shape = c->toCurve();
    initGet(0, L"Both eXit");
    geom::Point3d side;
    const Result r =
        getPoint(nullptr, L"\nSpecify point on side to offset or [Both sides/eXit] <eXit>: ", side);
    if (r == Result::cancel) {
        cancelled = true;
        return {};
    }
    if (r == Result::none)
        return {};
    std::vector<geom::Curve> out;
    Status st = Status::ok;
    if (r == Result::keyword) {
        std::wstring kw;
        getInput(kw);
        if (kw != L"Both")
            return {};
        st = geom::offsetBothSides(shape, distance, out);
    } else {
        geom::Curve copy;
        st = geom::offset(shape, sideOfPoint(shape, distance, ucsToWcs(side)) * distance, copy);
        out.push_back(copy);
    }
    if (st == Status::degenerateGeometry) {
        // Inward further than the curve's radius: there is nothing on that side.
        reportCommandFailure();
        return L"\nCannot offset that object to that side: the distance is larger than its "
               L"radius.";
    }
    if (st == Status::outOfRange) {
        reportCommandFailure();
        return L"\nCannot offset that object: the copy would lie beyond the coordinate range "
               L"(1E+15).";
    }
    if (!ok(st))
        return cannot;
    for (const geom::Curve& o : out)
        if (!appendOffset(d, *c, o))
            return cannot;
    return {};
}

} // namespace

void cmdOffset() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    initGet(rsg::noZero | rsg::noNegative);
    double distance = 0;
    const Result r = getDist(nullptr, L"\nSpecify offset distance: ", distance);
    if (r != Result::normal) {
        if (r == Result::cancel)
            reportCommandFailure();
        return;
    }
    while (true) {
        db::ObjectId id;
        geom::Point3d picked;
        initGet(0, L"eXit");
        const Result s = entSel(L"\nSelect object to offset or [eXit] <eXit>: ", id, picked);
        if (s == Result::cancel) {
            reportCommandFailure();
            return;
        }
        if (s == Result::keyword)
            return;
        if (s == Result::error) {
            int err = 0;
            getVarInt(L"ERRNO", err);
            if (err == errnum::nullInput)
                return;
            continue;
        }
        bool cancelled = false;
        if (const std::wstring refused = offsetOne(*d, id, distance, cancelled); !refused.empty())
            commandMessage(refused);
        if (cancelled) {
            reportCommandFailure();
            return;
        }
    }
}

} // namespace zhost::ed::detail

// OFFSET: parallel copies of curves at a distance, to the side of a point or on both sides.
#include "../host_commands.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/curves.h"

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

// Offsets one picked curve; false when it cannot be offset (the user picks another).
bool offsetOne(db::Database& d, db::ObjectId id, double distance, bool& cancelled) {
    db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
    if (!c)
        return false;
    const geom::Curve shape = c->toCurve();
    initGet(0, L"Both eXit");
    geom::Point3d side;
    const Result r =
        getPoint(nullptr, L"\nSpecify point on side to offset or [Both sides/eXit] <eXit>: ", side);
    if (r == Result::cancel) {
        cancelled = true;
        return true;
    }
    if (r == Result::none)
        return true;
    std::vector<geom::Curve> out;
    if (r == Result::keyword) {
        std::wstring kw;
        getInput(kw);
        if (kw != L"Both")
            return true;
        if (!ok(geom::offsetBothSides(shape, distance, out)))
            return false;
    } else {
        geom::Curve plus, minus;
        const bool okPlus = ok(geom::offset(shape, distance, plus));
        const bool okMinus = ok(geom::offset(shape, -distance, minus));
        if (!okPlus && !okMinus)
            return false;
        // The copy nearer to the side point is on its side.
        const geom::Point3d p = ucsToWcs(side);
        auto distTo = [&](const geom::Curve& cv) {
            geom::Point3d n;
            return ok(geom::closestPointTo(cv, p, n)) ? n.distanceTo(p) : 1e300;
        };
        const double dp = okPlus ? distTo(plus) : 1e300;
        const double dm = okMinus ? distTo(minus) : 1e300;
        out.push_back(dp <= dm ? plus : minus);
    }
    for (const geom::Curve& o : out)
        appendOffset(d, *c, o);
    return true;
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
        if (!offsetOne(*d, id, distance, cancelled))
            commandMessage(L"\nCannot offset that object.");
        if (cancelled) {
            reportCommandFailure();
            return;
        }
    }
}

} // namespace zhost::ed::detail

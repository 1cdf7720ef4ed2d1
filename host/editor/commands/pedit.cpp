// PEDIT in its multiple-object form: lines and arcs turned into polylines, polylines joined
// end to end within a fuzz distance, closed when the chain closes.
#include "../host_commands.h"
#include "../input_parse.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/join.h"

#include <algorithm>
#include <cmath>

namespace zhost::ed::detail {
namespace {

bool isLineOrArc(db::ObjectId id) {
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
    return e && (e->type() == db::ObjectType::line || e->type() == db::ObjectType::arc);
}

// Appends the segments of one curve of a chain (in the chain's direction) to a polyline.
bool appendSegments(const geom::Curve& c, geom::Polyline& pl) {
    if (const auto* p = std::get_if<geom::Polyline>(&c)) {
        const size_t n = p->points.size();
        const size_t segs = p->closed ? n : n - 1;
        for (size_t i = 0; i < segs; ++i) {
            pl.points.push_back(p->points[i]);
            pl.bulges.push_back(p->bulges[i]);
        }
        return true;
    }
    geom::Point3d s, e, m;
    if (!ok(geom::startPoint(c, s)) || !ok(geom::endPoint(c, e)))
        return false;
    double bulge = 0;
    if (std::holds_alternative<geom::CircArc>(c)) {
        double p0 = 0, p1 = 0;
        geom::paramRange(c, p0, p1);
        geom::pointAtParam(c, (p0 + p1) / 2, m);
        const double mag = std::tan((p1 - p0) / 4);
        bulge = (e - s).cross(m - s).z < 0 ? mag : -mag;
    } else if (!std::holds_alternative<geom::LineSeg>(c)) {
        return false;
    }
    pl.points.push_back(s);
    pl.bulges.push_back(bulge);
    return true;
}

geom::Polyline chainToPolyline(const geom::JoinedChain& chain) {
    geom::Polyline pl;
    for (const geom::Curve& c : chain.curves)
        appendSegments(c, pl);
    geom::Point3d end;
    if (!chain.curves.empty() && ok(geom::endPoint(chain.curves.back(), end)) && !chain.closed)
        pl.points.push_back(end), pl.bulges.push_back(0);
    pl.closed = chain.closed;
    return pl;
}

// Turns the selected lines and arcs into polylines (in place of them).
void convertToPolylines(std::vector<db::ObjectId>& ids) {
    for (db::ObjectId& id : ids) {
        if (!isLineOrArc(id))
            continue;
        db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
        geom::JoinedChain single;
        single.curves.push_back(c->toCurve());
        auto pl = std::make_unique<db::Polyline>(chainToPolyline(single));
        pl->setPropertiesFrom(*c);
        c.close();
        db::ObjectId newId;
        if (ok(appendToCurrentSpace(std::move(pl), newId))) {
            eraseEntity(id);
            id = newId;
        }
    }
}

// Joins the polylines among ids; returns the number of segments added.
int joinPolylines(std::vector<db::ObjectId>& ids, double fuzz) {
    std::vector<geom::Curve> curves;
    std::vector<db::ObjectId> owners;
    for (db::ObjectId id : ids) {
        db::ObjectPtr<db::Polyline> p(id, db::OpenMode::forRead);
        if (p && !p->isClosed()) {
            curves.push_back(p->toCurve());
            owners.push_back(id);
        }
    }
    if (curves.size() < 2 && !(curves.size() == 1 && fuzz > 0))
        return 0;
    const geom::JoinResult jr = geom::joinCurves(curves, fuzz);
    if (jr.status == Status::outOfRange)
        commandMessage(L"\nThe objects lie beyond the coordinate range (1E+15); nothing was "
                       L"joined.");
    if (!ok(jr.status))
        return 0;
    int added = 0;
    for (const geom::JoinedChain& chain : jr.chains) {
        if (chain.sources.empty())
            continue;
        // The first polyline of the chain takes the joined shape; the others go.
        const db::ObjectId keep = owners[chain.sources.front()];
        {
            db::ObjectPtr<db::Polyline> p(keep, db::OpenMode::forWrite);
            if (!p || !ok(p->set(chainToPolyline(chain))))
                continue;
        }
        for (size_t k = 1; k < chain.sources.size(); ++k) {
            eraseEntity(owners[chain.sources[k]]);
            ++added;
        }
    }
    std::erase_if(ids, [](db::ObjectId id) { return id.isErased(); });
    return added;
}

} // namespace

void cmdPedit() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    std::vector<db::ObjectId> ids;
    {
        initGet(0, L"Multiple");
        db::ObjectId id;
        geom::Point3d picked;
        const Result r = entSel(L"\nSelect polyline or [Multiple]: ", id, picked);
        if (r == Result::cancel) {
            reportCommandFailure();
            return;
        }
        if (r == Result::keyword) {
            SelectionSet ss;
            const ResBufList filter{{0, L"LWPOLYLINE,LINE,ARC"}};
            if (ss.select(nullptr, nullptr, nullptr, &filter) != Result::normal) {
                reportCommandFailure();
                return;
            }
            ids = ss.ids();
        } else if (r == Result::normal) {
            ids.push_back(id);
        } else {
            reportCommandFailure();
            return;
        }
    }
    const bool anyLineOrArc =
        std::any_of(ids.begin(), ids.end(), [](db::ObjectId id) { return isLineOrArc(id); });
    if (anyLineOrArc) {
        initGet(0, L"Yes No");
        std::wstring kw;
        const Result r = getKeyword(L"\nConvert Lines and Arcs to polylines [Yes/No]? <Y>: ", kw);
        if (r == Result::cancel) {
            reportCommandFailure();
            return;
        }
        if (r == Result::none || kw == L"Yes")
            convertToPolylines(ids);
    }
    while (true) {
        initGet(0, L"Close Open Join eXit");
        std::wstring kw;
        const Result r = getKeyword(L"\nEnter an option [Close/Open/Join/eXit] <eXit>: ", kw);
        if (r == Result::cancel) {
            reportCommandFailure();
            return;
        }
        if (r == Result::none || kw == L"eXit")
            return;
        if (kw == L"Close" || kw == L"Open") {
            for (db::ObjectId id : ids) {
                db::ObjectPtr<db::Polyline> p(id, db::OpenMode::forWrite);
                if (p)
                    p->setClosed(kw == L"Close");
            }
            continue;
        }
        initGet(rsg::noNegative);
        double fuzz = 0;
        const Result f = getDist(nullptr, L"\nEnter fuzz distance <0.0000>: ", fuzz);
        if (f == Result::cancel) {
            reportCommandFailure();
            return;
        }
        const int added = joinPolylines(ids, f == Result::none ? 0.0 : fuzz);
        commandMessage(added == 1 ? format(L"\n%d segment added to polyline", added)
                                  : format(L"\n%d segments added to polyline", added));
    }
}

} // namespace zhost::ed::detail

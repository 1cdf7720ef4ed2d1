#include "geomcalc/ElementTrace.h"

#include "geomcalc/GeomCalcDialogs.h"
#include "geomcalc/GeomCalcEntities.h"

#include "frame/AutoVar.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/display.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/curves.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;
using geom::Point3d;

namespace {

// End points closer than this are one point: drawings made by hand rarely meet exactly.
constexpr double kTraceTol = 0.01;

bool Near(const Point3d& a, const Point3d& b, double tol = kTraceTol) {
    return a.distanceTo(b) <= tol;
}

bool ContainsNear(const std::vector<Point3d>& points, const Point3d& p, double tol = kTraceTol) {
    return std::any_of(points.begin(), points.end(),
                       [&](const Point3d& q) { return Near(p, q, tol); });
}

bool Ends(const geom::Curve& c, Point3d& s, Point3d& e) {
    return zhost::ok(geom::startPoint(c, s)) && zhost::ok(geom::endPoint(c, e));
}

} // namespace

void FindTraceCandidates(db::ObjectId curveId, const std::vector<db::ObjectId>& exclude,
                         TraceCandidates& out) {
    out = TraceCandidates();
    geom::Curve c;
    geom::Extents3d ext;
    if (!GetCurve(curveId, c) || !zhost::ok(geom::extents(c, ext)))
        return;
    const ed::Ucs ucs = ed::currentUcs();
    const geom::Vector3d widen = (ucs.xAxis + ucs.yAxis) * 0.01;
    const Point3d lo = ed::wcsToUcs(ext.minPoint - widen);
    const Point3d hi = ed::wcsToUcs(ext.maxPoint + widen);
    ed::SelectionSet ss;
    if (ss.select(L"C", &lo, &hi) != ed::Result::normal)
        return;
    for (db::ObjectId id : ss.ids()) {
        if (id == curveId || std::find(exclude.begin(), exclude.end(), id) != exclude.end())
            continue;
        geom::Curve other;
        std::vector<geom::IntersectionPoint> hits;
        if (!GetCurve(id, other) || !zhost::ok(geom::intersectWith(c, other, hits)) || hits.empty())
            continue;
        std::vector<Point3d> points;
        for (const geom::IntersectionPoint& h : hits) {
            points.push_back(h.point);
            if (!ContainsNear(out.splitPoints, h.point, geom::kDefaultTol.equalPoint))
                out.splitPoints.push_back(h.point);
        }
        out.hits.emplace_back(id, std::move(points));
    }
}

bool TracePiece(const geom::Curve& curve, const Point3d& s, bool forward,
                const std::vector<Point3d>& splitPoints, geom::Curve& piece) {
    std::vector<Point3d> points{s};
    points.insert(points.end(), splitPoints.begin(), splitPoints.end());
    Point3d start, end;
    if (!geom::isClosed(curve) && Ends(curve, start, end)) {
        if (!ContainsNear(points, start))
            points.insert(points.begin(), start);
        if (!ContainsNear(points, end))
            points.push_back(end);
    }
    std::vector<double> params;
    for (const Point3d& p : points) {
        double t = 0;
        if (zhost::ok(geom::paramAtPoint(curve, p, t, kTraceTol)))
            params.push_back(t);
    }
    std::sort(params.begin(), params.end());
    params.erase(std::unique(params.begin(), params.end()), params.end());
    std::vector<geom::Curve> parts;
    if (!zhost::ok(geom::splitAtParams(curve, params, parts)))
        return false;
    // Of the parts that begin (or end) at s, the one nearest to it: tiny parts shorter than the
    // tolerance must not hide the real one.
    double best = kTraceTol;
    bool found = false;
    for (const geom::Curve& part : parts) {
        Point3d ps, pe;
        if (!Ends(part, ps, pe))
            continue;
        const double d = (forward ? ps : pe).distanceTo(s);
        if (d <= best) {
            best = d;
            piece = part;
            found = true;
        }
    }
    return found;
}

std::vector<Point3d> ChainOpenEnds(const std::vector<geom::Curve>& chain) {
    std::vector<Point3d> ends;
    for (const geom::Curve& c : chain) {
        Point3d s, e;
        if (Ends(c, s, e)) {
            ends.push_back(s);
            ends.push_back(e);
        }
    }
    // A grid of tolerance-sized cells: an end is open when no other end lies within the
    // tolerance, which only the 3x3 cells around it can hold.
    auto cellOf = [](const Point3d& p) {
        return std::pair<long long, long long>(std::llround(std::floor(p.x / kTraceTol)),
                                               std::llround(std::floor(p.y / kTraceTol)));
    };
    struct CellHash {
        size_t operator()(const std::pair<long long, long long>& c) const {
            return std::hash<long long>()(c.first * 73856093LL ^ c.second * 19349663LL);
        }
    };
    std::unordered_multimap<std::pair<long long, long long>, size_t, CellHash> grid;
    for (size_t i = 0; i < ends.size(); ++i)
        grid.emplace(cellOf(ends[i]), i);
    std::vector<Point3d> open;
    for (size_t i = 0; i < ends.size(); ++i) {
        const auto [cx, cy] = cellOf(ends[i]);
        bool met = false;
        for (long long dx = -1; dx <= 1 && !met; ++dx) {
            for (long long dy = -1; dy <= 1 && !met; ++dy) {
                auto range = grid.equal_range({cx + dx, cy + dy});
                for (auto it = range.first; it != range.second && !met; ++it)
                    met = it->second != i && Near(ends[it->second], ends[i]);
            }
        }
        if (!met)
            open.push_back(ends[i]);
    }
    return open;
}

namespace {

// The solid band that shows a traced piece: the piece offset to both sides by half the marker
// size, closed at its ends. Null when the offset does not give two curves.
db::ObjectId DrawMarkerBand(db::ObjectId pieceId, double markerSize) {
    CEntitySnapshot snapshot;
    {
        CAutoVar echo(L"CMDECHO", 0);
        ed::command({L"._OFFSET", markerSize * 0.5, pieceId, L"B", L""});
    }
    const std::vector<db::ObjectId> made = snapshot.NewEntities();
    db::ObjectId hatchId;
    geom::Curve a, b, rb;
    Point3d sa, ea, sb, eb;
    if (made.size() == 2 && GetCurve(made[0], a) && GetCurve(made[1], b) && Ends(a, sa, ea) &&
        Ends(b, sb, eb) && zhost::ok(geom::reversed(b, rb))) {
        db::HatchLoop loop;
        loop.flags = db::HatchLoop::external;
        auto addSide = [&loop](const geom::Curve& c) {
            if (const auto* pl = std::get_if<geom::Polyline>(&c)) {
                std::vector<geom::Curve> segs;
                geom::explode(*pl, segs);
                loop.edges.insert(loop.edges.end(), segs.begin(), segs.end());
            } else {
                loop.edges.push_back(c);
            }
        };
        // Head to tail: one side, across the far end, the other side back, across the near end.
        addSide(a);
        loop.edges.push_back(geom::LineSeg{ea, eb});
        addSide(rb);
        loop.edges.push_back(geom::LineSeg{sb, sa});
        auto hatch = std::make_unique<db::Hatch>();
        ApplyDrawingDefaults(*hatch);
        hatch->setPattern(db::HatchPatternType::predefined, L"SOLID");
        hatch->setColorIndex(2);
        hatch->setAssociative(true);
        hatch->setElevation(0);
        hatch->setNormal(ed::currentUcs().zAxis());
        if (zhost::ok(hatch->appendLoop(loop)))
            hatchId = AppendToCurrentSpace(std::move(hatch));
    }
    EraseEntities(made);
    return hatchId;
}

// A piece with the properties of the element it was cut from.
db::ObjectId AppendPiece(const geom::Curve& piece, db::ObjectId from) {
    std::unique_ptr<db::Curve> c = db::makeCurveEntity(piece);
    if (!c)
        return db::ObjectId::null();
    db::ObjectPtr<db::Entity> source(from, db::OpenMode::forRead);
    if (source)
        c->setPropertiesFrom(*source);
    else
        ApplyDrawingDefaults(*c);
    source.close();
    return AppendToCurrentSpace(std::move(c));
}

bool ClosestPoint(db::ObjectId id, const Point3d& world, Point3d& out) {
    geom::Curve c;
    return GetCurve(id, c) && zhost::ok(geom::closestPointTo(c, world, out));
}

int LastErrno() {
    int err = 0;
    ed::getVarInt(L"ERRNO", err);
    return err;
}

// The direction prompt: a point on the starting element. False for an empty answer or Esc.
bool AskDirection(db::ObjectId e, CGeomCalcContext& ctx, Point3d& d) {
    while (true) {
        ed::initGet(0, L"G");
        db::ObjectId id;
        Point3d picked;
        const ed::Result r =
            ed::entSel(L"要素上の方向を示す点を指示して下さい [設定(G)]:", id, picked);
        if (r == ed::Result::normal) {
            if (id == e && ClosestPoint(e, ed::ucsToWcs(picked), d))
                return true;
            ed::print(L"\nERROR : 選択要素が無効です。");
            continue;
        }
        if (r == ed::Result::keyword) {
            std::wstring kw;
            ed::getInput(kw);
            if (kw == L"G") {
                OpenGeomCalcSettings(ctx.items);
                continue;
            }
            return false;
        }
        if (r == ed::Result::error && LastErrno() != ed::errnum::nullInput)
            continue; // a miss
        return false;
    }
}

class CElementTrace {
public:
    explicit CElementTrace(CGeomCalcContext& ctx) : m_ctx(ctx) {}

    BoundaryCurveSet Run(db::ObjectId e, Point3d s, Point3d d);

private:
    enum class JunctionAnswer { next, finish, abandon };
    JunctionAnswer AskJunction(const std::vector<db::ObjectId>& offered, db::ObjectId& next,
                               Point3d& nextDir);
    BoundaryCurveSet End(bool closeWithChord);

    CGeomCalcContext& m_ctx;
    CTempEntities m_chain;   // erased unless the trace ends well
    CTempEntities m_markers; // always erased
    std::vector<geom::Curve> m_chainCurves;
};

BoundaryCurveSet CElementTrace::End(bool closeWithChord) {
    m_markers.EraseAll();
    if (closeWithChord) {
        const std::vector<Point3d> open = ChainOpenEnds(m_chainCurves);
        if (open.size() == 2) {
            auto chord = std::make_unique<db::Line>(open[0], open[1]);
            chord->setNormal(ed::currentUcs().zAxis());
            ApplyDrawingDefaults(*chord);
            m_chain.Add(AppendToCurrentSpace(std::move(chord)));
        }
    }
    return m_chain.Release();
}

CElementTrace::JunctionAnswer CElementTrace::AskJunction(const std::vector<db::ObjectId>& offered,
                                                         db::ObjectId& next, Point3d& nextDir) {
    struct Highlight {
        const std::vector<db::ObjectId>& ids;
        explicit Highlight(const std::vector<db::ObjectId>& v) : ids(v) {
            for (db::ObjectId id : ids)
                ed::redrawEntity(id, ed::redraw::highlight);
        }
        ~Highlight() {
            for (db::ObjectId id : ids)
                ed::redrawEntity(id, ed::redraw::unhighlight);
        }
    } highlight(offered);

    while (true) {
        ed::initGet(0, L"A G");
        db::ObjectId id;
        Point3d picked;
        const ed::Result r =
            ed::entSel(L"対象要素を指示して下さい [終了(A)/ /設定(G)]:", id, picked);
        if (r == ed::Result::normal) {
            if (std::find(offered.begin(), offered.end(), id) != offered.end() &&
                ClosestPoint(id, ed::ucsToWcs(picked), nextDir)) {
                next = id;
                return JunctionAnswer::next;
            }
            ed::print(L"\nERROR : 要素が検出されませんでした。");
            continue;
        }
        if (r == ed::Result::keyword) {
            std::wstring kw;
            ed::getInput(kw);
            if (kw == L"G") {
                OpenGeomCalcSettings(m_ctx.items);
                continue;
            }
            return JunctionAnswer::finish;
        }
        if (r == ed::Result::error) {
            // Enter at "[終了(A)]" ends the trace as A does; a miss asks again.
            if (LastErrno() == ed::errnum::nullInput)
                return JunctionAnswer::finish;
            continue;
        }
        return JunctionAnswer::abandon;
    }
}

BoundaryCurveSet CElementTrace::Run(db::ObjectId e, Point3d s, Point3d d) {
    // Every step adds a piece; a chain longer than the drawing has curves pieces twice over
    // can only be a loop that never closes within the tolerance.
    size_t maxSteps = 64;
    {
        ed::SelectionSet all;
        if (all.select(L"X") == ed::Result::normal)
            maxSteps += 2 * size_t(all.length());
    }
    for (size_t step = 0; step < maxSteps; ++step) {
        geom::Curve ec;
        if (!GetCurve(e, ec))
            return End(true);
        TraceCandidates cand;
        FindTraceCandidates(e, m_chain.Ids(), cand);

        double ts = 0, td = 0;
        bool forward = true;
        if (zhost::ok(geom::paramAtPoint(ec, s, ts, kTraceTol)) &&
            zhost::ok(geom::paramAtPoint(ec, d, td, kTraceTol)))
            forward = td - ts >= 0;
        // The chain's free ends cut the element too: coming back to the element the trace
        // started on, the piece stops where the trace began instead of running over the
        // first piece.
        std::vector<Point3d> cuts = cand.splitPoints;
        for (const Point3d& end : ChainOpenEnds(m_chainCurves))
            cuts.push_back(end);
        geom::Curve piece;
        if (!TracePiece(ec, s, forward, cuts, piece))
            piece = ec;
        const db::ObjectId pieceId = AppendPiece(piece, e);
        if (pieceId.isNull())
            return End(true);
        m_chain.Add(pieceId);
        m_chainCurves.push_back(piece);

        if (geom::isClosed(piece) || ChainOpenEnds(m_chainCurves).size() != 2)
            return End(false);
        Point3d ps, pe;
        Ends(piece, ps, pe);
        const Point3d t = Near(s, pe) ? ps : pe;
        if (!ContainsNear(cand.splitPoints, t))
            return End(true); // ran out at a free end

        m_markers.Add(DrawMarkerBand(pieceId, m_ctx.markerSize));
        std::vector<size_t> meeting;
        for (size_t i = 0; i < cand.hits.size(); ++i)
            if (ContainsNear(cand.hits[i].second, t))
                meeting.push_back(i);

        if (meeting.size() == 1) {
            // Two elements meeting end to end with nothing else there: follow without asking.
            const db::ObjectId g = cand.hits[meeting.front()].first;
            geom::Curve gc;
            Point3d es, ee, gs, ge;
            if (GetCurve(g, gc) && Ends(ec, es, ee) && Ends(gc, gs, ge)) {
                const bool shared = (Near(gs, t) && (Near(es, t) || Near(ee, t))) ||
                                    (Near(ge, t) && (Near(es, t) || Near(ee, t)));
                if (shared && !geom::isClosed(gc)) {
                    e = g;
                    s = t;
                    d = Near(gs, t) ? ge : gs;
                    continue;
                }
            }
        }
        std::vector<db::ObjectId> offered;
        for (size_t i : meeting)
            offered.push_back(cand.hits[i].first);
        offered.push_back(e);
        db::ObjectId next;
        Point3d nextDir;
        switch (AskJunction(offered, next, nextDir)) {
        case JunctionAnswer::next:
            e = next;
            s = t;
            d = nextDir;
            break;
        case JunctionAnswer::finish:
            return End(true);
        case JunctionAnswer::abandon:
            return BoundaryCurveSet(); // chain and markers go with their owners
        }
    }
    return End(true);
}

} // namespace

BoundaryCurveSet TraceFromElement(db::ObjectId e, const Point3d& pickWcs, CGeomCalcContext& ctx) {
    Point3d s;
    if (!ClosestPoint(e, pickWcs, s))
        return BoundaryCurveSet();
    geom::Curve ec;
    GetCurve(e, ec);
    TraceCandidates cand;
    FindTraceCandidates(e, {}, cand);
    if (cand.hits.empty() && geom::isClosed(ec)) {
        // A closed element that touches nothing bounds its area alone.
        db::Database* d = ed::workingDatabase();
        db::IdMap map;
        if (!d || !zhost::ok(d->deepCloneObjects({e}, ed::currentSpaceId(), map)) ||
            map.find(e) == map.end())
            return BoundaryCurveSet();
        return BoundaryCurveSet{map[e]};
    }
    Point3d dir;
    if (!AskDirection(e, ctx, dir))
        return BoundaryCurveSet();
    return CElementTrace(ctx).Run(e, s, dir);
}

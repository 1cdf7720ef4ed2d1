// Builders of polylines (light-weight and old-style) and splines.
#include "ocs.h"
#include "reader.h"

#include "zhost/geom/curves.h"

#include <algorithm>
#include <variant>

namespace zhost::dxf {

namespace {

geom::Vector3d readNormal(std::span<const Tag> tags) {
    geom::Vector3d n{0, 0, 1};
    for (const Tag& t : tags) {
        if (t.code == 210)
            n.x = t.real();
        else if (t.code == 220)
            n.y = t.real();
        else if (t.code == 230)
            n.z = t.real();
    }
    return n.isZeroLength() ? geom::Vector3d{0, 0, 1} : n.normal();
}

} // namespace

namespace {

// The widths read per vertex go to the entity: none when every segment has the same start and
// end width (that is the constant width), else one pair per vertex.
void applyWidths(db::Polyline& e, const std::vector<std::pair<double, double>>& widths,
                 double constant) {
    bool uniform = true;
    for (const auto& [a, b] : widths)
        uniform = uniform && a == constant && b == constant;
    if (constant > 0)
        e.setConstantWidth(constant);
    if (uniform)
        return;
    for (std::size_t k = 0; k < widths.size(); ++k)
        e.setWidthsAt(int(k), widths[k].first, widths[k].second);
}

} // namespace

std::unique_ptr<db::Entity> buildLwPolyline(Reader& r, std::span<const Tag> tags,
                                            std::uint32_t line) {
    geom::Polyline pl;
    std::vector<std::pair<double, double>> widths;
    double elevation = 0, width = 0;
    for (const Tag& t : tags) {
        switch (t.code) {
        case 10:
            pl.points.emplace_back(t.real(), 0.0, 0.0);
            pl.bulges.push_back(0);
            widths.emplace_back(0, 0);
            break;
        case 20:
            if (!pl.points.empty())
                pl.points.back().y = t.real();
            break;
        case 40:
            if (!widths.empty())
                widths.back().first = t.real();
            break;
        case 41:
            if (!widths.empty())
                widths.back().second = t.real();
            break;
        case 42:
            if (!pl.bulges.empty())
                pl.bulges.back() = t.real();
            break;
        case 38:
            elevation = t.real();
            break;
        case 43:
            width = t.real();
            break;
        case 70:
            pl.closed = (t.integer() & 1) != 0;
            break;
        default:
            break;
        }
    }
    if (pl.points.empty()) {
        r.warn(line, L"a polyline without vertices is kept as read");
        return nullptr;
    }
    pl.normal = readNormal(tags);
    const Ocs ocs(pl.normal);
    for (geom::Point3d& p : pl.points)
        p = ocs.toWorld({p.x, p.y, elevation});
    auto e = std::make_unique<db::Polyline>();
    if (!ok(e->set(pl))) {
        r.warn(line, L"an invalid polyline is kept as read");
        return nullptr;
    }
    // A vertex without widths of its own takes none (0), whatever the constant width says.
    bool anyWidth = false;
    for (const auto& [a, b] : widths)
        anyWidth = anyWidth || a != 0 || b != 0;
    if (anyWidth)
        applyWidths(*e, widths, width < 0 ? 0 : width);
    else if (width > 0)
        e->setConstantWidth(width);
    return e;
}

// POLYLINE with its VERTEX entities and SEQEND: flat (2D) and space (3D) polylines are modelled
// and keep their form; meshes and polyface meshes are kept as read by the caller.
std::unique_ptr<db::Entity> Reader::readOldPolyline(std::size_t& i, std::span<const Tag> own,
                                                    std::uint32_t line) {
    int flags = 0;
    double elevation = 0, width0 = 0, width1 = 0;
    for (const Tag& t : own) {
        if (t.code == 70)
            flags = t.i32();
        else if (t.code == 30)
            elevation = t.real();
        else if (t.code == 40)
            width0 = t.real();
        else if (t.code == 41)
            width1 = t.real();
    }
    width0 = std::max(width0, 0.0);
    width1 = std::max(width1, 0.0);
    geom::Polyline pl;
    std::vector<std::pair<double, double>> widths;
    pl.closed = (flags & 1) != 0;
    const bool is3d = (flags & 8) != 0;
    pl.normal = is3d ? geom::Vector3d{0, 0, 1} : readNormal(own);
    while (i < tags_.size() && tags_[i].is(0, "VERTEX")) {
        const std::size_t end = entityEnd(i);
        geom::Point3d p;
        double bulge = 0, start = width0, endWidth = width1;
        int vflags = 0;
        for (std::size_t k = i + 1; k < end && tags_[k].code < 1000; ++k) {
            const Tag& t = tags_[k];
            if (t.code == 10)
                p.x = t.real();
            else if (t.code == 20)
                p.y = t.real();
            else if (t.code == 30)
                p.z = t.real();
            else if (t.code == 40)
                start = std::max(t.real(), 0.0);
            else if (t.code == 41)
                endWidth = std::max(t.real(), 0.0);
            else if (t.code == 42)
                bulge = t.real();
            else if (t.code == 70)
                vflags = t.i32();
        }
        i = end;
        if (vflags & 16) // the frame of a spline-fit polyline: not part of the shape
            continue;
        pl.points.push_back(p);
        pl.bulges.push_back(is3d ? 0 : bulge);
        widths.emplace_back(start, endWidth);
    }
    if (i < tags_.size() && tags_[i].is(0, "SEQEND"))
        i = entityEnd(i);
    // Meshes and polyface meshes are no polylines of ours; they and a polyline without vertices
    // are kept as read (the caller keeps what gets no entity here).
    if (flags & (16 | 64))
        return nullptr;
    if (pl.points.empty()) {
        warn(line, L"a polyline without vertices is kept as read");
        return nullptr;
    }
    if (!is3d) {
        const Ocs ocs(pl.normal);
        for (geom::Point3d& p : pl.points)
            p = ocs.toWorld({p.x, p.y, elevation});
    }
    auto e = std::make_unique<db::Polyline>();
    if (!ok(e->set(pl))) {
        warn(line, L"an invalid polyline is kept as read");
        return nullptr;
    }
    if (is3d) {
        e->setForm(db::PolylineForm::space);
        return e;
    }
    e->setForm(db::PolylineForm::flat);
    applyWidths(*e, widths, width0 == width1 ? width0 : 0);
    return e;
}

std::unique_ptr<db::Entity> buildSpline(Reader& r, std::span<const Tag> tags, std::uint32_t line) {
    geom::Spline s;
    int flags = 0;
    for (const Tag& t : tags) {
        switch (t.code) {
        case 70:
            flags = t.i32();
            break;
        case 71:
            s.degree = t.i32();
            break;
        case 40:
            s.knots.push_back(t.real());
            break;
        case 41:
            s.weights.push_back(t.real());
            break;
        case 10:
            s.controlPoints.emplace_back(t.real(), 0.0, 0.0);
            break;
        case 20:
            if (!s.controlPoints.empty())
                s.controlPoints.back().y = t.real();
            break;
        case 30:
            if (!s.controlPoints.empty())
                s.controlPoints.back().z = t.real();
            break;
        case 11:
            s.fitPoints.emplace_back(t.real(), 0.0, 0.0);
            break;
        case 21:
            if (!s.fitPoints.empty())
                s.fitPoints.back().y = t.real();
            break;
        case 31:
            if (!s.fitPoints.empty())
                s.fitPoints.back().z = t.real();
            break;
        default:
            break;
        }
    }
    s.closed = (flags & 1) != 0;
    s.periodic = (flags & 2) != 0;
    // Weights that are all 1 make no rational curve.
    bool allOne = true;
    for (double w : s.weights)
        allOne = allOne && w == 1.0;
    if (allOne)
        s.weights.clear();
    if (s.controlPoints.empty() && s.fitPoints.size() >= 2) {
        // Given by fit points only (valid DXF): the curve through them is computed by the
        // kernel's interpolation, so that every command can work with it; the fit points stay
        // for the round trip. The end tangents of the file are not followed.
        std::vector<geom::Curve> whole;
        if (ok(geom::splitAtParams(s, {}, whole)) && whole.size() == 1 &&
            std::holds_alternative<geom::Spline>(whole[0])) {
            geom::Spline through = std::get<geom::Spline>(whole[0]);
            through.fitPoints = s.fitPoints;
            through.closed = s.closed;
            s = std::move(through);
        }
    }
    auto e = std::make_unique<db::Spline>();
    if (s.controlPoints.empty() || s.degree < 1 || s.degree > 25 || !ok(e->set(s))) {
        r.warn(line,
               L"a spline with inconsistent knots, weights or control points is kept as read");
        return nullptr;
    }
    return e;
}

} // namespace zhost::dxf

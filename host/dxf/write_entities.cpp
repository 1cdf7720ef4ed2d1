// Entities as DXF: common properties, each kind's own data, extended data.
#include "ocs.h"
#include "region_xdata.h"
#include "writer.h"

#include "zhost/db/annotation.h"
#include "zhost/db/drafting.h"

#include <cmath>

namespace zhost::dxf {

namespace {

std::uint64_t h(db::ObjectId id) {
    return id.handle().value();
}

void thickness(TagWriter& w, const db::Entity& e) {
    if (e.thickness() != 0)
        w.real(39, e.thickness());
}

void normal(TagWriter& w, const geom::Vector3d& n) {
    if (!(n.x == 0 && n.y == 0 && n.z == 1))
        w.vector(210, n);
}

// MTEXT text in chunks of at most 250 bytes, cut between characters.
void mtextContents(TagWriter& w, const std::wstring& text) {
    std::string all = w.encode(text);
    if (all.size() <= 250) {
        w.str(1, all);
        return;
    }
    std::string chunk;
    for (wchar_t c : text) {
        const std::string b = w.encode(std::wstring_view(&c, 1));
        if (chunk.size() + b.size() > 250) {
            w.str(3, chunk);
            chunk.clear();
        }
        chunk += b;
    }
    w.str(1, chunk);
}

void textBody(Writer& wr, const db::Text& t) {
    TagWriter& w = wr.w();
    const Ocs ocs(t.normal());
    w.str(100, "AcDbText");
    thickness(w, t);
    w.point(10, ocs.fromWorld(t.position()));
    w.real(40, t.height());
    w.text(1, t.textString());
    if (t.rotation() != 0)
        w.real(50, toDegrees(t.rotation()));
    if (t.widthFactor() != 1)
        w.real(41, t.widthFactor());
    if (t.oblique() != 0)
        w.real(51, toDegrees(t.oblique()));
    if (!t.textStyleId().isNull())
        w.bytes(7, wr.styleName(t.textStyleId()));
    if (t.horizontalMode() != db::TextHorzMode::left)
        w.integer(72, int(t.horizontalMode()));
    if (!t.isDefaultAlignment() || t.alignmentPoint() != geom::Point3d())
        w.point(11, ocs.fromWorld(t.alignmentPoint()));
    normal(w, t.normal());
}

// Hatch edges: a polyline inside an edge loop is written as its lines and arcs.
void bulgeSegment(TagWriter& w, const Ocs& ocs, const geom::Point3d& a3, const geom::Point3d& b3,
                  double bulge) {
    const geom::Point3d a = ocs.fromWorld(a3), b = ocs.fromWorld(b3);
    if (bulge == 0) {
        w.integer(72, 1);
        w.point2(10, a.x, a.y);
        w.point2(11, b.x, b.y);
        return;
    }
    const double theta = 4 * std::atan(std::abs(bulge));
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    const double r = chord / (2 * std::sin(theta / 2));
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const double d = r * std::cos(theta / 2);
    // Centre left of a→b for counter-clockwise (positive) bulges.
    const double ux = -(b.y - a.y) / chord, uy = (b.x - a.x) / chord;
    const double s = bulge > 0 ? 1 : -1;
    const double cx = mx + s * ux * d, cy = my + s * uy * d;
    double sa = toDegrees(std::atan2(a.y - cy, a.x - cx));
    double ea = toDegrees(std::atan2(b.y - cy, b.x - cx));
    w.integer(72, 2);
    w.point2(10, cx, cy);
    w.real(40, r);
    if (bulge > 0) {
        w.real(50, sa);
        w.real(51, ea);
        w.integer(73, 1);
    } else { // clockwise: stored mirrored
        w.real(50, 360 - sa);
        w.real(51, 360 - ea);
        w.integer(73, 0);
    }
}

int edgeCount(const geom::Curve& c) {
    if (auto* p = std::get_if<geom::Polyline>(&c))
        return int(p->closed ? p->points.size() : p->points.size() - 1);
    return 1;
}

void hatchEdge(TagWriter& w, const Ocs& ocs, const geom::Curve& c) {
    const bool flipped = [&] {
        if (auto* a = std::get_if<geom::CircArc>(&c))
            return a->normal.dot(ocs.az) < 0;
        if (auto* e = std::get_if<geom::EllipseArc>(&c))
            return e->normal.dot(ocs.az) < 0;
        return false;
    }();
    if (auto* l = std::get_if<geom::LineSeg>(&c)) {
        bulgeSegment(w, ocs, l->start, l->end, 0);
    } else if (auto* a = std::get_if<geom::CircArc>(&c)) {
        const geom::Point3d p = ocs.fromWorld(a->center);
        w.integer(72, 2);
        w.point2(10, p.x, p.y);
        w.real(40, a->radius);
        // About the reversed normal a world angle w reads 180 - w; the file mirrors clockwise
        // angles (360 - w), so it stores 180 + the angle.
        w.real(50, flipped ? toDegrees(a->startAngle) + 180 : toDegrees(a->startAngle));
        w.real(51, flipped ? toDegrees(a->endAngle) + 180 : toDegrees(a->endAngle));
        w.integer(73, flipped ? 0 : 1);
    } else if (auto* ci = std::get_if<geom::Circle>(&c)) {
        const geom::Point3d p = ocs.fromWorld(ci->center);
        w.integer(72, 2);
        w.point2(10, p.x, p.y);
        w.real(40, ci->radius);
        w.real(50, 0);
        w.real(51, 360);
        w.integer(73, 1);
    } else if (auto* e = std::get_if<geom::EllipseArc>(&c)) {
        const geom::Point3d p = ocs.fromWorld(e->center);
        const geom::Point3d m = ocs.fromWorld(geom::Point3d() + e->majorAxis);
        w.integer(72, 3);
        w.point2(10, p.x, p.y);
        w.point2(11, m.x, m.y);
        w.real(40, e->radiusRatio);
        w.real(50, toDegrees(e->startParam));
        w.real(51, toDegrees(e->endParam));
        w.integer(73, flipped ? 0 : 1);
    } else if (auto* pl = std::get_if<geom::Polyline>(&c)) {
        const std::size_t n = pl->points.size();
        for (std::size_t i = 0; i + 1 < n || (pl->closed && i < n); ++i)
            bulgeSegment(w, ocs, pl->points[i], pl->points[(i + 1) % n],
                         i < pl->bulges.size() ? pl->bulges[i] : 0);
    } else if (auto* s = std::get_if<geom::Spline>(&c)) {
        w.integer(72, 4);
        w.integer(94, s->degree);
        w.integer(73, s->weights.empty() ? 0 : 1);
        w.integer(74, s->periodic ? 1 : 0);
        w.integer(95, int(s->knots.size()));
        w.integer(96, int(s->controlPoints.size()));
        for (double k : s->knots)
            w.real(40, k);
        for (std::size_t i = 0; i < s->controlPoints.size(); ++i) {
            const geom::Point3d p = ocs.fromWorld(s->controlPoints[i]);
            w.point2(10, p.x, p.y);
            if (!s->weights.empty())
                w.real(42, s->weights[i]);
        }
        w.integer(97, 0);
    }
}

void hatchBody(Writer& wr, const db::Hatch& hatch) {
    TagWriter& w = wr.w();
    const Ocs ocs(hatch.normal());
    w.str(100, "AcDbHatch");
    w.point(10, {0, 0, hatch.elevation()});
    w.vector(210, ocs.az);
    w.text(2, hatch.patternName());
    w.integer(70, hatch.isSolidFill() ? 1 : 0);
    w.integer(71, hatch.associative() ? 1 : 0);
    w.integer(91, hatch.numLoops());
    for (const db::HatchLoop& loop : hatch.loops()) {
        const bool asPolyline =
            loop.edges.size() == 1 && std::holds_alternative<geom::Polyline>(loop.edges[0]);
        int flags = loop.flags & ~db::HatchLoop::polyline;
        if (asPolyline) {
            flags |= db::HatchLoop::polyline;
            const auto& pl = std::get<geom::Polyline>(loop.edges[0]);
            bool bulges = false;
            for (double b : pl.bulges)
                bulges = bulges || b != 0;
            w.integer(92, flags);
            w.integer(72, bulges ? 1 : 0);
            w.integer(73, 1);
            w.integer(93, int(pl.points.size()));
            for (std::size_t i = 0; i < pl.points.size(); ++i) {
                const geom::Point3d p = ocs.fromWorld(pl.points[i]);
                w.point2(10, p.x, p.y);
                if (bulges)
                    w.real(42, i < pl.bulges.size() ? pl.bulges[i] : 0);
            }
        } else {
            int count = 0;
            for (const geom::Curve& c : loop.edges)
                count += edgeCount(c);
            w.integer(92, flags);
            w.integer(93, count);
            for (const geom::Curve& c : loop.edges)
                hatchEdge(w, ocs, c);
        }
        w.integer(97, 0);
    }
    w.integer(75, 0);
    w.integer(76, int(hatch.patternType()));
    if (!hatch.isSolidFill()) {
        w.real(52, toDegrees(hatch.patternAngle()));
        w.real(41, hatch.patternScale());
        w.integer(77, 0);
        w.integer(78, int(hatch.patternLines().size()));
        for (const db::HatchPatternLine& l : hatch.patternLines()) {
            w.real(53, toDegrees(l.angle));
            w.real(43, l.base.x);
            w.real(44, l.base.y);
            w.real(45, l.offset.x);
            w.real(46, l.offset.y);
            w.integer(79, int(l.dashes.size()));
            for (double d : l.dashes)
                w.real(49, d);
        }
    }
    w.integer(98, 0);
    if (const auto& g = hatch.gradient()) {
        w.integer(450, 1);
        w.integer(451, 0);
        w.real(460, g->angle);
        w.real(461, g->shift);
        w.integer(452, g->oneColor ? 1 : 0);
        w.real(462, g->tint);
        w.integer(453, int(g->colors.size()));
        for (std::size_t i = 0; i < g->colors.size(); ++i) {
            w.real(463, double(i));
            if (g->colors[i].aci >= 0)
                w.integer(63, g->colors[i].aci);
            w.integer(421, int(g->colors[i].rgb));
        }
        w.text(470, g->name);
    }
}

} // namespace

void Writer::writeCommon(const db::Entity& e, bool paperSpace) {
    w_.str(0, std::string(e.dxfName(), e.dxfName() + std::wcslen(e.dxfName())));
    w_.handle(5, h(e.objectId()));
    auto groups = groupsOf_.find(e.objectId().index());
    if (e.type() == db::ObjectType::rawEntity) {
        writeRawPrefix(static_cast<const db::RawEntity&>(e).record().prefix,
                       groups == groupsOf_.end() ? nullptr : &groups->second);
    } else {
        if (groups != groupsOf_.end()) {
            w_.str(102, "{ACAD_REACTORS");
            for (std::uint64_t g : groups->second)
                w_.handle(330, g);
            w_.str(102, "}");
        }
        auto xdict = keptXdictOf_.find(e.objectId().index());
        if (xdict != keptXdictOf_.end()) {
            w_.str(102, "{ACAD_XDICTIONARY");
            w_.handle(360, xdict->second);
            w_.str(102, "}");
        }
    }
    w_.handle(330, h(e.ownerId()));
    w_.str(100, "AcDbEntity");
    if (paperSpace)
        w_.integer(67, 1);
    w_.bytes(8, layerName(e.layerId()));
    if (!e.linetypeId().isNull() && e.linetypeId() != db_.byLayerLinetypeId())
        w_.bytes(6, linetypeName(e.linetypeId()));
    if (e.colorIndex() != db::color::byLayer)
        w_.integer(62, e.colorIndex());
    if (e.lineWeight() != db::lineweight::byLayer)
        w_.integer(370, e.lineWeight());
    if (e.linetypeScale() != 1)
        w_.real(48, e.linetypeScale());
    if (!e.visible())
        w_.integer(60, 1);
    // Written in every version: older readers skip codes they do not know, and a drawing saved
    // as R2000 keeps its colours for the next open here.
    if (e.trueColor())
        w_.integer(420, int(*e.trueColor()));
    if (!e.colorName().empty())
        w_.text(430, e.colorName());
    if (e.transparency() != db::transparency::byLayer)
        w_.integer(440, e.transparency());
}

// The older POLYLINE: its VERTEX records and SEQEND follow it, each with a handle of its own
// and the polyline as owner.
void Writer::writeOldPolyline(const db::Polyline& p, bool paperSpace) {
    const geom::Polyline& g = p.geometry();
    const bool space = p.form() == db::PolylineForm::space;
    const Ocs ocs(space ? geom::Vector3d{0, 0, 1} : g.normal);
    w_.str(100, space ? "AcDb3dPolyline" : "AcDb2dPolyline");
    w_.integer(66, 1);
    w_.point(10, {0, 0, space ? 0 : p.elevation()});
    thickness(w_, p);
    w_.integer(70, (g.closed ? 1 : 0) | (space ? 8 : 0));
    if (p.constantWidth() != 0) {
        w_.real(40, p.constantWidth());
        w_.real(41, p.constantWidth());
    }
    if (!space)
        normal(w_, g.normal);
    writeXData(p.xdata());
    const auto recordStart = [&](const char* kind) {
        w_.str(0, kind);
        w_.handle(5, newHandle());
        w_.handle(330, h(p.objectId()));
        w_.str(100, "AcDbEntity");
        if (paperSpace)
            w_.integer(67, 1);
        w_.bytes(8, layerName(p.layerId()));
    };
    for (std::size_t i = 0; i < g.points.size(); ++i) {
        recordStart("VERTEX");
        w_.str(100, "AcDbVertex");
        if (space) {
            w_.str(100, "AcDb3dPolylineVertex");
            w_.point(10, g.points[i]);
            w_.integer(70, 32);
            continue;
        }
        const geom::Point3d q = ocs.fromWorld(g.points[i]);
        w_.str(100, "AcDb2dVertex");
        w_.point(10, {q.x, q.y, 0});
        if (p.hasVertexWidths()) {
            w_.real(40, p.startWidthAt(int(i)));
            w_.real(41, p.endWidthAt(int(i)));
        }
        if (i < g.bulges.size() && g.bulges[i] != 0)
            w_.real(42, g.bulges[i]);
        w_.integer(70, 0);
    }
    recordStart("SEQEND");
}

void Writer::writeEntity(const db::Entity& e, bool paperSpace) {
    writeCommon(e, paperSpace);
    switch (e.type()) {
    case db::ObjectType::line: {
        const auto& l = static_cast<const db::Line&>(e);
        w_.str(100, "AcDbLine");
        thickness(w_, l);
        w_.point(10, l.startPoint());
        w_.point(11, l.endPoint());
        normal(w_, l.normal());
        break;
    }
    case db::ObjectType::circle: {
        const auto& c = static_cast<const db::Circle&>(e);
        w_.str(100, "AcDbCircle");
        thickness(w_, e);
        w_.point(10, Ocs(c.normal()).fromWorld(c.center()));
        w_.real(40, c.radius());
        normal(w_, c.normal());
        break;
    }
    case db::ObjectType::arc: {
        const auto& a = static_cast<const db::Arc&>(e);
        w_.str(100, "AcDbCircle");
        thickness(w_, e);
        w_.point(10, Ocs(a.normal()).fromWorld(a.center()));
        w_.real(40, a.radius());
        normal(w_, a.normal());
        w_.str(100, "AcDbArc");
        w_.real(50, toDegrees(a.startAngle()));
        w_.real(51, toDegrees(a.endAngle()));
        break;
    }
    case db::ObjectType::ellipse: {
        const geom::EllipseArc& g = static_cast<const db::Ellipse&>(e).geometry();
        w_.str(100, "AcDbEllipse");
        w_.point(10, g.center);
        w_.vector(11, g.majorAxis);
        w_.vector(210, g.normal);
        w_.real(40, g.radiusRatio);
        w_.real(41, g.startParam);
        w_.real(42, g.endParam);
        break;
    }
    case db::ObjectType::point: {
        const auto& p = static_cast<const db::Point&>(e);
        w_.str(100, "AcDbPoint");
        thickness(w_, e);
        w_.point(10, p.position());
        normal(w_, p.normal());
        break;
    }
    case db::ObjectType::polyline: {
        const auto& p = static_cast<const db::Polyline&>(e);
        if (p.form() != db::PolylineForm::lightweight) {
            writeOldPolyline(p, paperSpace);
            return;
        }
        const geom::Polyline& g = p.geometry();
        const Ocs ocs(g.normal);
        w_.str(100, "AcDbPolyline");
        w_.integer(90, int(g.points.size()));
        w_.integer(70, g.closed ? 1 : 0);
        if (p.constantWidth() != 0)
            w_.real(43, p.constantWidth());
        const double elevation = g.points.empty() ? 0 : ocs.fromWorld(g.points[0]).z;
        if (elevation != 0)
            w_.real(38, elevation);
        thickness(w_, e);
        for (std::size_t i = 0; i < g.points.size(); ++i) {
            const geom::Point3d q = ocs.fromWorld(g.points[i]);
            w_.point2(10, q.x, q.y);
            if (p.hasVertexWidths()) {
                w_.real(40, p.startWidthAt(int(i)));
                w_.real(41, p.endWidthAt(int(i)));
            }
            if (i < g.bulges.size() && g.bulges[i] != 0)
                w_.real(42, g.bulges[i]);
        }
        normal(w_, g.normal);
        break;
    }
    case db::ObjectType::spline: {
        const geom::Spline& s = static_cast<const db::Spline&>(e).geometry();
        w_.str(100, "AcDbSpline");
        w_.integer(70, (s.closed ? 1 : 0) | (s.periodic ? 2 : 0) | (s.weights.empty() ? 0 : 4));
        w_.integer(71, s.degree);
        w_.integer(72, int(s.knots.size()));
        w_.integer(73, int(s.controlPoints.size()));
        w_.integer(74, int(s.fitPoints.size()));
        w_.real(42, 1e-10);
        w_.real(43, 1e-10);
        if (!s.fitPoints.empty())
            w_.real(44, 1e-10);
        for (double k : s.knots)
            w_.real(40, k);
        for (double wt : s.weights)
            w_.real(41, wt);
        for (const auto& p : s.controlPoints)
            w_.point(10, p);
        for (const auto& p : s.fitPoints)
            w_.point(11, p);
        break;
    }
    case db::ObjectType::text: {
        const auto& t = static_cast<const db::Text&>(e);
        textBody(*this, t);
        w_.str(100, "AcDbText");
        if (t.verticalMode() != db::TextVertMode::baseline)
            w_.integer(73, int(t.verticalMode()));
        break;
    }
    case db::ObjectType::attributeDefinition: {
        const auto& t = static_cast<const db::AttributeDefinition&>(e);
        textBody(*this, t);
        w_.str(100, "AcDbAttributeDefinition");
        w_.text(3, t.prompt());
        w_.text(2, t.tag());
        w_.integer(70, t.flags().toDxf());
        if (t.verticalMode() != db::TextVertMode::baseline)
            w_.integer(74, int(t.verticalMode()));
        break;
    }
    case db::ObjectType::attribute: {
        const auto& t = static_cast<const db::Attribute&>(e);
        textBody(*this, t);
        w_.str(100, "AcDbAttribute");
        w_.text(2, t.tag());
        w_.integer(70, t.flags().toDxf());
        if (t.verticalMode() != db::TextVertMode::baseline)
            w_.integer(74, int(t.verticalMode()));
        break;
    }
    case db::ObjectType::mtext: {
        const auto& m = static_cast<const db::MText&>(e);
        const Ocs ocs(m.normal());
        w_.str(100, "AcDbMText");
        w_.point(10, m.location());
        w_.real(40, m.textHeight());
        w_.real(41, m.width());
        w_.integer(71, int(m.attachment()));
        w_.integer(72, 1);
        mtextContents(w_, m.contents());
        if (!m.textStyleId().isNull())
            w_.bytes(7, styleName(m.textStyleId()));
        normal(w_, m.normal());
        w_.vector(11, ocs.ax * std::cos(m.rotation()) + ocs.ay * std::sin(m.rotation()));
        w_.real(44, m.lineSpacingFactor());
        break;
    }
    case db::ObjectType::hatch:
        hatchBody(*this, static_cast<const db::Hatch&>(e));
        break;
    case db::ObjectType::region: {
        w_.str(100, "AcDbModelerGeometry");
        w_.integer(70, 1);
        writeXData(e.xdata());
        writeXData(encodeRegion(static_cast<const db::Region&>(e).geometry()));
        return;
    }
    case db::ObjectType::blockReference: {
        const auto& r = static_cast<const db::BlockReference&>(e);
        const std::vector<db::ObjectId> attrs = r.attributeIds();
        const Ocs ocs(r.normal());
        w_.str(100, "AcDbBlockReference");
        if (!attrs.empty())
            w_.integer(66, 1);
        w_.bytes(2, blockName(r.blockTableRecord()));
        w_.point(10, ocs.fromWorld(r.position()));
        const geom::Vector3d s = r.scaleFactors();
        if (s.x != 1)
            w_.real(41, s.x);
        if (s.y != 1)
            w_.real(42, s.y);
        if (s.z != 1)
            w_.real(43, s.z);
        if (r.rotation() != 0)
            w_.real(50, toDegrees(r.rotation()));
        normal(w_, r.normal());
        writeXData(e.xdata());
        if (attrs.empty())
            return;
        for (db::ObjectId id : attrs) {
            db::ObjectPtr<db::Attribute> a(id, db::OpenMode::forRead);
            if (a)
                writeEntity(*a, paperSpace);
        }
        w_.str(0, "SEQEND");
        w_.handle(5, newHandle());
        w_.handle(330, h(e.objectId()));
        w_.str(100, "AcDbEntity");
        if (paperSpace)
            w_.integer(67, 1);
        w_.bytes(8, layerName(e.layerId()));
        return;
    }
    case db::ObjectType::solid:
    case db::ObjectType::trace: {
        const auto& q = static_cast<const db::Solid&>(e);
        const Ocs ocs(q.normal());
        w_.str(100, e.type() == db::ObjectType::solid ? "AcDbSolid" : "AcDbTrace");
        thickness(w_, e);
        for (int k = 0; k < 4; ++k)
            w_.point(10 + k, ocs.fromWorld(q.corners()[std::size_t(k)]));
        normal(w_, q.normal());
        break;
    }
    case db::ObjectType::face: {
        const auto& f = static_cast<const db::Face&>(e);
        w_.str(100, "AcDbFace");
        for (int k = 0; k < 4; ++k)
            w_.point(10 + k, f.corners()[std::size_t(k)]);
        if (f.invisibleEdges() != 0)
            w_.integer(70, f.invisibleEdges());
        break;
    }
    case db::ObjectType::xline:
    case db::ObjectType::ray: {
        const auto& x = static_cast<const db::XLine&>(e);
        w_.str(100, e.type() == db::ObjectType::xline ? "AcDbXline" : "AcDbRay");
        w_.point(10, x.basePoint());
        w_.vector(11, x.direction());
        break;
    }
    case db::ObjectType::dimension:
        dimensionBody(static_cast<const db::Dimension&>(e));
        break;
    case db::ObjectType::leader:
        leaderBody(static_cast<const db::Leader&>(e));
        break;
    case db::ObjectType::rawEntity:
        writeRawTags(static_cast<const db::RawEntity&>(e).record().body, h(e.objectId()));
        break;
    // Tables, their records and objects have sections of their own; no entity has these kinds.
    case db::ObjectType::blockTable:
    case db::ObjectType::layerTable:
    case db::ObjectType::linetypeTable:
    case db::ObjectType::regAppTable:
    case db::ObjectType::textStyleTable:
    case db::ObjectType::blockTableRecord:
    case db::ObjectType::layerTableRecord:
    case db::ObjectType::linetypeTableRecord:
    case db::ObjectType::regAppTableRecord:
    case db::ObjectType::textStyleTableRecord:
    case db::ObjectType::dictionary:
    case db::ObjectType::group:
    case db::ObjectType::sortentsTable:
    case db::ObjectType::rawObject:
        break;
    }
    writeXData(e.xdata());
}

} // namespace zhost::dxf

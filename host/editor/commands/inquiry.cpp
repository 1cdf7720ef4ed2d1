// The inquiry commands: LIST, DIST, ID and AREA. They change nothing in the drawing.
#include "../host_commands.h"
#include "drafting.h"

#include "zhost/db/annotation.h"
#include "zhost/db/db.h"
#include "zhost/db/drafting.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/area_properties.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <cmath>
#include <variant>

namespace zhost::ed::detail {
namespace {

std::wstring angleText(double radians) {
    std::wstring out;
    angToS(radians, 0, 0, out);
    return out;
}

// "X=   1.0000  Y=   2.0000  Z=   0.0000", as the listing columns show points.
std::wstring listPoint(const geom::Point3d& world) {
    const geom::Point3d p = wcsToUcs(world);
    return format(L"X=%9s  Y=%9s  Z=%9s", lengthText(p.x), lengthText(p.y), lengthText(p.z));
}

void row(std::wstring_view label, const std::wstring& value) {
    print(format(L"\n%22s %s", std::wstring(label), value));
}

// The area and perimeter of a closed curve or a region, computed by the geometry kernel. False
// for objects without an area.
bool exactArea(const db::Entity& e, double& area, double& perimeter) {
    geom::Region region;
    if (e.type() == db::ObjectType::region) {
        region = static_cast<const db::Region&>(e).geometry();
    } else if (const auto* c = dynamic_cast<const db::Curve*>(&e)) {
        geom::Curve shape = c->toCurve();
        // An open polyline counts as closed by its last point to its first, as users expect.
        if (auto* pl = std::get_if<geom::Polyline>(&shape); pl && pl->points.size() >= 3)
            pl->closed = true;
        if (!geom::isClosed(shape))
            return false;
        std::vector<geom::Region> regions;
        if (!ok(geom::regionsFromCurves({shape}, regions)) || regions.size() != 1)
            return false;
        region = regions.front();
    } else {
        return false;
    }
    const geom::AreaProperties props = geom::areaPropertiesAboutCentroid(region);
    if (!ok(props.status))
        return false;
    area = std::abs(props.area);
    perimeter = props.perimeter;
    return true;
}

void listGeometry(const db::Entity& e) {
    switch (e.type()) {
    case db::ObjectType::line: {
        const auto& l = static_cast<const db::Line&>(e);
        const geom::Vector3d d = l.endPoint() - l.startPoint();
        row(L"from point,", listPoint(l.startPoint()));
        row(L"to point,", listPoint(l.endPoint()));
        row(L"Length =",
            lengthText(d.length()) + L",  Angle in XY Plane = " + angleText(std::atan2(d.y, d.x)));
        return;
    }
    case db::ObjectType::arc: {
        const auto& a = static_cast<const db::Arc&>(e);
        row(L"center point,", listPoint(a.center()));
        row(L"radius", lengthText(a.radius()));
        row(L"start angle", angleText(a.startAngle()));
        row(L"end angle", angleText(a.endAngle()));
        double len = 0;
        geom::length(a.toCurve(), len);
        row(L"length", lengthText(len));
        return;
    }
    case db::ObjectType::circle: {
        const auto& c = static_cast<const db::Circle&>(e);
        row(L"center point,", listPoint(c.center()));
        row(L"radius", lengthText(c.radius()));
        row(L"circumference", lengthText(2 * 3.141592653589793 * c.radius()));
        row(L"area", lengthText(3.141592653589793 * c.radius() * c.radius()));
        return;
    }
    case db::ObjectType::ellipse: {
        const auto& g = static_cast<const db::Ellipse&>(e).geometry();
        row(L"center point,", listPoint(g.center));
        row(L"major axis length", lengthText(2 * g.majorAxis.length()));
        row(L"radius ratio", lengthText(g.radiusRatio));
        return;
    }
    case db::ObjectType::polyline: {
        const auto& p = static_cast<const db::Polyline&>(e);
        print(p.isClosed() ? L"\n                  Closed" : L"\n                  Open");
        row(L"Constant width", lengthText(p.constantWidth()));
        double area = 0, perimeter = 0;
        if (exactArea(e, area, perimeter))
            row(L"area", lengthText(area));
        double len = 0;
        geom::length(p.toCurve(), len);
        row(p.isClosed() ? L"perimeter" : L"length", lengthText(len));
        for (int i = 0; i < p.numVerts(); ++i) {
            row(L"at point", listPoint(p.pointAt(i)));
            if (p.bulgeAt(i) != 0)
                row(L"bulge", lengthText(p.bulgeAt(i)));
        }
        return;
    }
    case db::ObjectType::spline: {
        const auto& g = static_cast<const db::Spline&>(e).geometry();
        row(L"Degree", std::to_wstring(g.degree));
        row(L"Control points", std::to_wstring(g.controlPoints.size()));
        return;
    }
    case db::ObjectType::point:
        row(L"at point,", listPoint(static_cast<const db::Point&>(e).position()));
        return;
    case db::ObjectType::text:
    case db::ObjectType::attribute:
    case db::ObjectType::attributeDefinition: {
        const auto& t = static_cast<const db::Text&>(e);
        row(L"Text", t.textString());
        row(L"Start point,", listPoint(t.position()));
        row(L"height", lengthText(t.height()));
        row(L"rotation angle", angleText(t.rotation()));
        return;
    }
    case db::ObjectType::mtext: {
        const auto& m = static_cast<const db::MText&>(e);
        row(L"Location:", listPoint(m.location()));
        row(L"Text height:", lengthText(m.textHeight()));
        row(L"Contents:", m.contents());
        return;
    }
    case db::ObjectType::hatch: {
        const auto& h = static_cast<const db::Hatch&>(e);
        row(L"Pattern:", h.patternName());
        row(L"Loops:", std::to_wstring(h.numLoops()));
        return;
    }
    case db::ObjectType::region: {
        double area = 0, perimeter = 0;
        if (exactArea(e, area, perimeter)) {
            row(L"Area:", lengthText(area));
            row(L"Perimeter:", lengthText(perimeter));
        }
        return;
    }
    case db::ObjectType::blockReference: {
        const auto& b = static_cast<const db::BlockReference&>(e);
        const geom::Vector3d s = b.scaleFactors();
        row(L"Block Name:", L"\"" + b.blockName() + L"\"");
        row(L"at point,", listPoint(b.position()));
        row(L"X scale factor:", lengthText(s.x));
        row(L"Y scale factor:", lengthText(s.y));
        row(L"rotation angle:", angleText(b.rotation()));
        return;
    }
    case db::ObjectType::solid:
    case db::ObjectType::trace:
    case db::ObjectType::face: {
        const auto corners = e.type() == db::ObjectType::face
                                 ? static_cast<const db::Face&>(e).corners()
                                 : static_cast<const db::Solid&>(e).corners();
        static constexpr const wchar_t* labels[] = {L"first point,", L"second point,",
                                                    L"third point,", L"fourth point,"};
        for (std::size_t k = 0; k < corners.size(); ++k)
            row(labels[k], listPoint(corners[k]));
        return;
    }
    case db::ObjectType::xline:
    case db::ObjectType::ray: {
        const auto& x = static_cast<const db::XLine&>(e);
        row(L"basepoint,", listPoint(x.basePoint()));
        row(L"second point,", listPoint(x.basePoint() + x.direction()));
        return;
    }
    case db::ObjectType::dimension: {
        const auto& d = static_cast<const db::Dimension&>(e);
        row(L"type:", db::dimensionKindName(d.kind()));
        const double m = d.measurement();
        if (std::isfinite(m))
            row(L"measurement:", d.measuresAngle() ? angleText(m) : lengthText(m));
        if (!d.userText().empty())
            row(L"text:", L"\"" + d.userText() + L"\"");
        row(L"style:", L"\"" + d.styleName() + L"\"");
        row(L"defining point,", listPoint(d.defPoint()));
        row(L"text position,", listPoint(d.textPosition()));
        return;
    }
    case db::ObjectType::leader: {
        const auto& l = static_cast<const db::Leader&>(e);
        row(L"style:", L"\"" + l.styleName() + L"\"");
        for (const geom::Point3d& p : l.vertices())
            row(L"Vertex:", listPoint(p));
        return;
    }
    case db::ObjectType::rawEntity:
        return; // kept as read: its geometry is not known
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
        return; // not entities: never selected
    }
}

void listEntity(const db::Entity& e) {
    print(format(L"\n%22s    Layer: \"%s\"", std::wstring(e.dxfName()), e.layer()));
    row(L"", L"Space: Model space");
    row(L"Handle =", e.handle().toHex());
    if (e.colorIndex() != db::color::byLayer)
        row(L"Color:", e.colorIndex() == db::color::byBlock ? std::wstring(L"BYBLOCK")
                                                            : std::to_wstring(e.colorIndex()));
    if (e.linetypeId() != e.database()->byLayerLinetypeId())
        row(L"Linetype:", L"\"" + e.linetype() + L"\"");
    if (e.lineWeight() != db::lineweight::byLayer)
        row(L"Lineweight:", e.lineWeight() < 0 ? std::wstring(L"BYBLOCK / DEFAULT")
                                               : format(L"%.2f mm", e.lineWeight() / 100.0));
    listGeometry(e);
}

void printArea(double area, double perimeter) {
    print(L"\nArea = " + lengthText(area) + L", Perimeter = " + lengthText(perimeter));
}

} // namespace

void cmdList() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss, false))
        return;
    for (db::ObjectId id : ss.ids()) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (e)
            listEntity(*e);
    }
}

void cmdId() {
    if (!requireDrawing())
        return;
    geom::Point3d p;
    const Result r = askPoint(nullptr, L"\nSpecify point: ", p);
    if (r == Result::cancel)
        return cancelled();
    if (r == Result::normal)
        print(L"\n" + pointText(p));
}

void cmdDist() {
    if (!requireDrawing())
        return;
    geom::Point3d a, b;
    Result r = askPoint(nullptr, L"\nSpecify first point: ", a);
    if (r == Result::normal)
        r = askPoint(&a, L"\nSpecify second point: ", b);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    const geom::Vector3d d = b - a;
    const double flat = std::hypot(d.x, d.y);
    print(L"\nDistance = " + lengthText(d.length()) + L",  Angle in XY Plane = " +
          angleText(std::atan2(d.y, d.x)) + L",  Angle from XY Plane = " +
          angleText(std::atan2(d.z, flat)));
    print(L"\nDelta X = " + lengthText(d.x) + L",  Delta Y = " + lengthText(d.y) +
          L",  Delta Z = " + lengthText(d.z));
}

void cmdArea() {
    if (!requireDrawing())
        return;
    geom::Point3d first;
    Result r = askPoint(nullptr, L"\nSpecify first corner point or [Object] <Object>: ", first, 0,
                        L"Object");
    if (r == Result::cancel)
        return cancelled();
    if (r == Result::keyword || r == Result::none) {
        while (true) {
            db::ObjectId id;
            geom::Point3d at;
            r = entSel(L"\nSelect objects: ", id, at);
            if (r == Result::cancel)
                return cancelled();
            if (r != Result::normal) {
                int err = 0;
                getVarInt(L"ERRNO", err);
                if (err == errnum::nullInput)
                    return;
                continue;
            }
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            double area = 0, perimeter = 0;
            if (e && exactArea(*e, area, perimeter)) {
                printArea(area, perimeter);
                return;
            }
            print(L"\nThe selected object has no area; select a closed curve or a region.");
        }
    }
    // A polygon by its corners, closed from the last back to the first.
    std::vector<geom::Point3d> pts{first};
    while (true) {
        geom::Point3d next;
        r = askPoint(&pts.back(),
                     pts.size() < 3 ? L"\nSpecify next point or [Undo]: "
                                    : L"\nSpecify next point or [Undo] <Total>: ",
                     next, 0, L"Undo");
        if (r == Result::cancel)
            return cancelled();
        if (r == Result::keyword) {
            if (pts.size() > 1)
                pts.pop_back();
            continue;
        }
        if (r == Result::none) {
            if (pts.size() >= 3)
                break;
            print(L"\nAn area needs at least three points.");
            continue;
        }
        pts.push_back(next);
    }
    double twice = 0, perimeter = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const geom::Point3d& p = pts[i];
        const geom::Point3d& q = pts[(i + 1) % pts.size()];
        twice += p.x * q.y - q.x * p.y;
        perimeter += p.distanceTo(q);
    }
    printArea(std::abs(twice) / 2, perimeter);
}

} // namespace zhost::ed::detail

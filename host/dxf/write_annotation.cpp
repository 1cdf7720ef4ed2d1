// Dimensions and leaders as DXF: each kind's parts, with the tags kept from the file written
// back in the part they came from.
#include "ocs.h"
#include "writer.h"

#include "zhost/db/annotation.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zhost::dxf {

namespace {

std::uint64_t h(db::ObjectId id) {
    return id.handle().value();
}

// The subclass markers of each kind's own part, in the order they are written.
std::vector<std::string_view> kindParts(db::DimensionKind kind) {
    switch (kind) {
    case db::DimensionKind::rotated:
        return {"AcDbAlignedDimension", "AcDbRotatedDimension"};
    case db::DimensionKind::aligned:
        return {"AcDbAlignedDimension"};
    case db::DimensionKind::angular:
        return {"AcDb2LineAngularDimension"};
    case db::DimensionKind::diameter:
        return {"AcDbDiametricDimension"};
    case db::DimensionKind::radius:
        return {"AcDbRadialDimension"};
    case db::DimensionKind::angular3Point:
        return {"AcDb3PointAngularDimension"};
    case db::DimensionKind::ordinate:
        return {"AcDbOrdinateDimension"};
    case db::DimensionKind::arcLength:
        return {"AcDbArcDimension"};
    }
    return {};
}

double degrees(double radians) {
    return toDegrees(radians);
}

} // namespace

void Writer::extraTags(const db::RawTags& tags, std::string_view marker) {
    std::string_view current;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags.code(i) == 100) {
            current = tags.value(i);
            continue;
        }
        if (current == marker)
            writeRawTag(tags, i);
    }
}

void Writer::dimensionBody(const db::Dimension& d) {
    const db::RawTags& extra = d.extraTags();
    const Ocs ocs(d.normal());
    extraTags(extra, "AcDbEntity");
    w_.str(100, "AcDbDimension");
    if (!d.blockId().isNull())
        w_.bytes(2, blockName(d.blockId()));
    w_.text(3, d.styleName());
    w_.point(10, d.defPoint());
    w_.point(11, ocs.fromWorld(d.textPosition()));
    if (d.hasInsertion())
        w_.point(12, ocs.fromWorld(d.insertion()));
    int type = int(d.kind());
    // Arc-length dimensions took the number 5 of 3-point angles until R2018 gave them 8.
    if (d.kind() == db::DimensionKind::arcLength && options_.version < Version::r2018)
        type = 5;
    w_.integer(70, type | d.flags());
    w_.integer(71, d.attachment());
    if (const double m = d.measurement(); std::isfinite(m))
        w_.real(42, d.measuresAngle() ? degrees(m) : m);
    if (!d.userText().empty())
        w_.text(1, d.userText());
    if (d.textRotation() != 0)
        w_.real(53, degrees(d.textRotation()));
    if (d.horizontalDirection() != 0)
        w_.real(51, degrees(d.horizontalDirection()));
    if (!(d.normal().x == 0 && d.normal().y == 0 && d.normal().z == 1))
        w_.vector(210, d.normal());
    extraTags(extra, "");
    extraTags(extra, "AcDbDimension");

    const std::vector<std::string_view> parts = kindParts(d.kind());
    w_.str(100, parts.front());
    switch (d.kind()) {
    case db::DimensionKind::rotated:
    case db::DimensionKind::aligned:
        w_.point(13, d.point(13));
        w_.point(14, d.point(14));
        if (d.kind() == db::DimensionKind::rotated || d.rotation() != 0)
            w_.real(50, degrees(d.rotation()));
        if (d.oblique() != 0)
            w_.real(52, degrees(d.oblique()));
        break;
    case db::DimensionKind::angular:
        w_.point(13, d.point(13));
        w_.point(14, d.point(14));
        w_.point(15, d.point(15));
        w_.point(16, ocs.fromWorld(d.point(16)));
        break;
    case db::DimensionKind::diameter:
    case db::DimensionKind::radius:
        w_.point(15, d.point(15));
        w_.real(40, d.leaderLength());
        break;
    case db::DimensionKind::angular3Point:
        // Some programs write the dimension arc's point here too; it costs nothing to keep.
        w_.point(13, d.point(13));
        w_.point(14, d.point(14));
        w_.point(15, d.point(15));
        w_.point(16, ocs.fromWorld(d.point(16)));
        break;
    case db::DimensionKind::ordinate:
        w_.point(13, d.point(13));
        w_.point(14, d.point(14));
        break;
    case db::DimensionKind::arcLength:
        w_.point(13, d.point(13));
        w_.point(14, d.point(14));
        w_.point(15, d.point(15));
        w_.real(40, d.arcStart());
        w_.real(41, d.arcEnd());
        w_.integer(70, d.isPartial() ? 1 : 0);
        w_.integer(71, d.hasLeader() ? 1 : 0);
        w_.point(16, ocs.fromWorld(d.point(16)));
        w_.point(17, ocs.fromWorld(d.point(17)));
        break;
    }
    extraTags(extra, parts.front());
    for (std::size_t k = 1; k < parts.size(); ++k) {
        w_.str(100, parts[k]);
        extraTags(extra, parts[k]);
    }
    // Parts the file had that this kind does not write (a kind changed since): kept at the end.
    std::vector<std::string_view> others;
    for (std::size_t i = 0; i < extra.size(); ++i) {
        const std::string_view marker = extra.value(i);
        if (extra.code(i) == 100 && marker != "AcDbEntity" && marker != "AcDbDimension" &&
            std::find(parts.begin(), parts.end(), marker) == parts.end() &&
            std::find(others.begin(), others.end(), marker) == others.end()) {
            others.push_back(marker);
            w_.str(100, marker);
            extraTags(extra, marker);
        }
    }
}

void Writer::leaderBody(const db::Leader& l) {
    const db::RawTags& extra = l.extraTags();
    extraTags(extra, "AcDbEntity");
    w_.str(100, "AcDbLeader");
    w_.text(3, l.styleName());
    w_.integer(71, l.hasArrowhead() ? 1 : 0);
    w_.integer(72, l.isSpline() ? 1 : 0);
    w_.integer(73, l.annotationType());
    w_.integer(74, l.hookDirection());
    w_.integer(75, l.hasHookLine() ? 1 : 0);
    w_.real(40, l.textHeight());
    w_.real(41, l.textWidth());
    w_.integer(76, std::int64_t(l.vertices().size()));
    for (const geom::Point3d& p : l.vertices())
        w_.point(10, p);
    extraTags(extra, "");
    extraTags(extra, "AcDbLeader");
    const db::ObjectId a = l.annotation();
    if (!a.isNull() && !a.isErased())
        w_.handle(340, h(a));
    w_.vector(210, l.normal());
    w_.vector(211, l.horizontalDirection());
    w_.vector(212, l.blockOffset());
    w_.vector(213, l.annotationOffset());
}

} // namespace zhost::dxf

// Builders of the annotation entities: dimensions of every kind and leaders. What the host has
// no field for is kept with the entity, after the subclass marker it came under.
#include "ocs.h"
#include "reader.h"

#include "zhost/db/annotation.h"

#include <array>
#include <cmath>

namespace zhost::dxf {

namespace {

// The coordinate (0 x, 1 y, 2 z) that a point tag sets, and the point's base code (10 .. 18,
// 210 .. 213); -1 for a tag that is no coordinate.
int coordinate(int code, int& base) {
    if (code >= 10 && code <= 38) {
        base = 10 + code % 10;
        return code / 10 - 1;
    }
    if (code >= 210 && code <= 233 && code % 10 <= 3) {
        base = 210 + code % 10;
        return (code - 210) / 10;
    }
    return -1;
}

void setCoordinate(geom::Point3d& p, int axis, double v) {
    (axis == 0 ? p.x : axis == 1 ? p.y : p.z) = v;
}

// Keeps a tag the entity has no field for, after its subclass marker (given once).
struct ExtraTags {
    Reader& reader;
    db::RawTags tags;
    std::string_view marker;
    bool markerKept = true; // nothing to give before the first marker

    void keep(const Tag& t) {
        if (!markerKept) {
            tags.add(100, marker);
            markerKept = true;
        }
        reader.keepTag(tags, t);
    }
    void enter(std::string_view subclass) {
        marker = subclass;
        markerKept = false;
    }
};

bool isDimensionKind(int v) {
    return v >= 0 && v <= 6;
}

} // namespace

std::unique_ptr<db::Entity> buildDimension(Reader& r, std::span<const Tag> tags, bool arc,
                                           std::uint32_t line) {
    // R12 files have no subclass markers: the codes of the common part and of each kind's part
    // do not overlap there (an arc-length dimension, whose parts share codes, is newer).
    enum Part { unmarked, common, own } part = unmarked;
    ExtraTags extra{r, {}, {}};
    // A missing type is the group's default, a linear dimension (R12 files written by some
    // converters leave it out); an arc-length dimension always names its own.
    int type = arc ? -1 : 0;
    std::string_view blockName;
    std::wstring style, text;
    geom::Point3d def, mid, ins;
    bool hasIns = false;
    std::array<geom::Point3d, 5> pts{};
    geom::Point3d normal(0, 0, 1);
    double rotation = 0, oblique = 0, textRotation = 0, horizontal = 0, leader = 0;
    double arcStart = 0, arcEnd = 0;
    bool partial = false, hasLeader = false;
    int attachment = 5;
    for (const Tag& t : tags) {
        if (t.code == 100) {
            if (t.value() == "AcDbEntity") {
                extra.enter(t.value());
                continue;
            }
            part = t.value() == "AcDbDimension" ? common : own;
            extra.enter(t.value());
            continue;
        }
        int base = 0;
        const int axis = coordinate(t.code, base);
        const bool commonPart =
            part == common ||
            (part == unmarked && !(base >= 13 && base <= 17) && t.code != 40 && t.code != 50);
        if (axis >= 0 && (base == 10 || base == 11 || base == 12 || base == 210)) {
            geom::Point3d& p = base == 10 ? def : base == 11 ? mid : base == 12 ? ins : normal;
            setCoordinate(p, axis, t.real());
            hasIns = hasIns || base == 12;
            continue;
        }
        if (axis >= 0 && base >= 13 && base <= 17 && (base != 17 || arc)) {
            setCoordinate(pts[std::size_t(base - 13)], axis, t.real());
            continue;
        }
        if (t.code == 52) { // obliquing: some programs write it in the common part
            oblique = toRadians(t.real());
            continue;
        }
        bool used = true;
        if (commonPart) {
            switch (t.code) {
            case 2:
                blockName = t.value();
                break;
            case 3:
                style = r.text(t);
                break;
            case 70:
                type = t.i32();
                break;
            case 71:
                attachment = t.i32();
                break;
            case 1:
                text = r.text(t);
                break;
            case 53:
                textRotation = toRadians(t.real());
                break;
            case 51:
                horizontal = toRadians(t.real());
                break;
            case 42: // the measurement follows from the points
                break;
            default:
                used = false;
            }
        } else {
            switch (t.code) {
            case 40:
                (arc ? arcStart : leader) = t.real();
                break;
            case 41:
                used = arc;
                arcEnd = t.real();
                break;
            case 50:
                rotation = toRadians(t.real());
                break;
            case 70:
                used = arc;
                partial = t.integer() != 0;
                break;
            case 71:
                used = arc;
                hasLeader = t.integer() != 0;
                break;
            default:
                used = false;
            }
        }
        if (!used)
            extra.keep(t);
    }
    if (type < 0 || (!arc && !isDimensionKind(type & 15))) {
        r.warn(line, L"a dimension of unknown type " + std::to_wstring(type) + L" is kept as read");
        return nullptr;
    }
    // A picture the file never defines (seen in files of some converters): without it the
    // dimension cannot be drawn or moved, and other readers drop it; it is kept as read.
    db::ObjectId picture;
    if (!blockName.empty() && !ok(r.db().getBlockId(r.text(blockName), picture))) {
        r.warn(line, L"the block \"" + r.text(blockName) +
                         L"\" of a dimension is not defined; the dimension is kept as read");
        return nullptr;
    }
    const db::DimensionKind kind =
        arc ? db::DimensionKind::arcLength : db::DimensionKind(type & 15);
    auto d = std::make_unique<db::Dimension>(kind);
    d->setFlags(type & (32 | 64 | 128));
    d->setBlock(picture);
    if (!style.empty() && !ok(d->setStyleName(style)))
        r.warn(line, L"dimension style \"" + style + L"\" is no valid name; Standard used");
    const geom::Vector3d n =
        normal.asVector().isZeroLength() ? geom::Vector3d(0, 0, 1) : normal.asVector().normal();
    const Ocs ocs(n);
    d->setNormal(n);
    d->setDefPoint(def);
    d->setTextPosition(ocs.toWorld(mid));
    if (hasIns)
        d->setInsertion(ocs.toWorld(ins));
    for (int code = 13; code <= 17; ++code) {
        const geom::Point3d& p = pts[std::size_t(code - 13)];
        // The dimension arc's and the leader's points are in the object's system.
        d->setPoint(code, code >= 16 ? ocs.toWorld(p) : p);
    }
    d->setRotation(rotation);
    d->setOblique(oblique);
    d->setTextRotation(textRotation);
    d->setHorizontalDirection(horizontal);
    d->setLeaderLength(leader);
    d->setArcParams(arcStart, arcEnd);
    d->setArcFlags(partial, hasLeader);
    d->setUserText(text);
    if (!ok(d->setAttachment(attachment)) && attachment != 0)
        r.warn(line, L"dimension text attachment " + std::to_wstring(attachment) +
                         L" out of range; middle centre used");
    d->setExtraTags(std::move(extra.tags));
    return d;
}

std::unique_ptr<db::Entity> buildLeader(Reader& r, std::span<const Tag> tags, std::uint32_t line) {
    ExtraTags extra{r, {}, {}};
    std::vector<geom::Point3d> vertices;
    std::wstring style;
    int arrow = 1, path = 0, annotationType = 3, hookDir = 0, hookLine = 0;
    double height = 0, width = 0;
    geom::Point3d normal(0, 0, 1), horizontal(1, 0, 0), blockOffset, annotationOffset;
    for (const Tag& t : tags) {
        if (t.code == 100) {
            extra.enter(t.value());
            continue;
        }
        int base = 0;
        const int axis = coordinate(t.code, base);
        if (axis >= 0 && base == 10) {
            if (axis == 0)
                vertices.emplace_back();
            if (!vertices.empty())
                setCoordinate(vertices.back(), axis, t.real());
            continue;
        }
        if (axis >= 0 && base >= 210 && base <= 213) {
            geom::Point3d& p = base == 210   ? normal
                               : base == 211 ? horizontal
                               : base == 212 ? blockOffset
                                             : annotationOffset;
            setCoordinate(p, axis, t.real());
            continue;
        }
        switch (t.code) {
        case 3:
            style = r.text(t);
            break;
        case 71:
            arrow = t.i32();
            break;
        case 72:
            path = t.i32();
            break;
        case 73:
            annotationType = t.i32();
            break;
        case 74:
            hookDir = t.i32();
            break;
        case 75:
            hookLine = t.i32();
            break;
        case 40:
            height = t.real();
            break;
        case 41:
            width = t.real();
            break;
        case 76: // the count follows from the vertices
            break;
        case 340:
            r.resolveAnnotationLater(t.handle());
            break;
        default:
            extra.keep(t);
        }
    }
    if (vertices.size() < 2) {
        r.warn(line, L"a leader with fewer than two vertices is kept as read");
        return nullptr;
    }
    auto l = std::make_unique<db::Leader>(std::move(vertices));
    if (!style.empty())
        l->setStyleName(style);
    l->setArrowhead(arrow != 0);
    l->setSpline(path != 0);
    if (!ok(l->setAnnotationType(annotationType)))
        r.warn(line, L"leader annotation type " + std::to_wstring(annotationType) +
                         L" out of range; none used");
    l->setHook(hookDir, hookLine != 0);
    l->setTextSize(height, width);
    const geom::Vector3d n = normal.asVector();
    if (!n.isZeroLength())
        l->setNormal(n);
    l->setDirections(horizontal.asVector(), blockOffset.asVector(), annotationOffset.asVector());
    l->setExtraTags(std::move(extra.tags));
    return l;
}

} // namespace zhost::dxf

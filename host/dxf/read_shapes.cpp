// Builders of the simple entities: line, arc, circle, ellipse, point, texts, block references,
// filled quadrilaterals, faces and construction lines.
#include "ocs.h"
#include "reader.h"

#include "zhost/db/drafting.h"

#include <array>
#include <cmath>
#include <numbers>

namespace zhost::dxf {

namespace {

// Reads the point of group codes (c, c+10, c+20).
bool pointTag(const Tag& t, int c, geom::Point3d& p) {
    if (t.code == c)
        p.x = t.real();
    else if (t.code == c + 10)
        p.y = t.real();
    else if (t.code == c + 20)
        p.z = t.real();
    else
        return false;
    return true;
}

bool vectorTag(const Tag& t, int c, geom::Vector3d& v) {
    geom::Point3d p(v.x, v.y, v.z);
    if (!pointTag(t, c, p))
        return false;
    v = p.asVector();
    return true;
}

geom::Vector3d normalOr(const geom::Vector3d& n) {
    return n.isZeroLength() ? geom::Vector3d{0, 0, 1} : n.normal();
}

} // namespace

std::unique_ptr<db::Entity> buildLine(Reader&, std::span<const Tag> tags) {
    geom::Point3d a, b;
    geom::Vector3d n{0, 0, 1};
    for (const Tag& t : tags)
        if (!pointTag(t, 10, a) && !pointTag(t, 11, b))
            vectorTag(t, 210, n);
    auto line = std::make_unique<db::Line>(a, b);
    line->setNormal(normalOr(n));
    return line;
}

std::unique_ptr<db::Entity> buildQuad(Reader&, std::span<const Tag> tags, db::ObjectType kind) {
    std::array<geom::Point3d, 4> c{};
    bool fourth = false;
    geom::Vector3d n{0, 0, 1};
    int flags = 0;
    for (const Tag& t : tags) {
        if (pointTag(t, 10, c[0]) || pointTag(t, 11, c[1]) || pointTag(t, 12, c[2]) ||
            vectorTag(t, 210, n))
            continue;
        if (pointTag(t, 13, c[3]))
            fourth = true;
        else if (t.code == 70)
            flags = t.i32();
    }
    if (!fourth)
        c[3] = c[2]; // a triangle
    if (kind == db::ObjectType::face) {
        auto f = std::make_unique<db::Face>(c);
        f->setInvisibleEdges(flags & 15);
        return f;
    }
    // SOLID and TRACE corners are in the object coordinate system of their normal.
    const Ocs ocs(normalOr(n));
    for (geom::Point3d& p : c)
        p = ocs.toWorld(p);
    std::unique_ptr<db::Solid> q;
    if (kind == db::ObjectType::trace)
        q = std::make_unique<db::Trace>(c);
    else
        q = std::make_unique<db::Solid>(c);
    q->setNormal(normalOr(n));
    return q;
}

std::unique_ptr<db::Entity> buildXLine(Reader& r, std::span<const Tag> tags, bool ray) {
    geom::Point3d base;
    geom::Vector3d dir{0, 0, 0};
    for (const Tag& t : tags)
        if (!pointTag(t, 10, base))
            vectorTag(t, 11, dir);
    if (dir.isZeroLength()) {
        r.warn(tags.empty() ? 0 : tags[0].line - 1, L"a construction line without direction");
        return nullptr;
    }
    if (ray)
        return std::make_unique<db::Ray>(base, dir);
    return std::make_unique<db::XLine>(base, dir);
}

std::unique_ptr<db::Entity> buildArc(Reader& r, std::span<const Tag> tags, bool circle) {
    geom::Point3d c;
    geom::Vector3d n{0, 0, 1};
    double radius = 0, start = 0, end = 360;
    for (const Tag& t : tags) {
        if (pointTag(t, 10, c) || vectorTag(t, 210, n))
            continue;
        if (t.code == 40)
            radius = t.real();
        else if (t.code == 50)
            start = t.real();
        else if (t.code == 51)
            end = t.real();
    }
    if (!(radius > 0)) {
        r.warn(tags.empty() ? 0 : tags[0].line - 1,
               L"an arc or circle without radius is kept as read");
        return nullptr;
    }
    n = normalOr(n);
    const geom::Point3d center = Ocs(n).toWorld(c);
    if (circle)
        return std::make_unique<db::Circle>(center, radius, n);
    return std::make_unique<db::Arc>(center, radius, toRadians(start), toRadians(end), n);
}

std::unique_ptr<db::Entity> buildEllipse(Reader& r, std::span<const Tag> tags, std::uint32_t line) {
    geom::EllipseArc e;
    geom::Point3d center;
    geom::Vector3d major{1, 0, 0}, n{0, 0, 1};
    for (const Tag& t : tags) {
        if (pointTag(t, 10, center) || vectorTag(t, 11, major) || vectorTag(t, 210, n))
            continue;
        if (t.code == 40)
            e.radiusRatio = t.real();
        else if (t.code == 41)
            e.startParam = t.real();
        else if (t.code == 42)
            e.endParam = t.real();
    }
    e.center = center;
    e.majorAxis = major;
    e.normal = normalOr(n);
    if (e.radiusRatio > 1 && std::isfinite(e.radiusRatio)) {
        // Some programs write the minor axis as the major one (ratio above 1). The same curve
        // with the axes swapped: the new major axis is the old minor one, n x major scaled by
        // the ratio, and the parameters turn back by a quarter.
        const geom::Vector3d minor = e.normal.cross(major) * e.radiusRatio;
        e.majorAxis = minor;
        e.radiusRatio = 1 / e.radiusRatio;
        e.startParam -= std::numbers::pi / 2;
        e.endParam -= std::numbers::pi / 2;
        r.repaired(line, "value",
                   L"an ellipse with its axes swapped (ratio above 1) is normalised");
    }
    auto ent = std::make_unique<db::Ellipse>();
    if (!ok(ent->set(e))) {
        r.warn(line, L"an ellipse with invalid axes is kept as read");
        return nullptr;
    }
    return ent;
}

std::unique_ptr<db::Entity> buildPoint(Reader&, std::span<const Tag> tags) {
    geom::Point3d p;
    geom::Vector3d n{0, 0, 1};
    for (const Tag& t : tags)
        if (!pointTag(t, 10, p))
            vectorTag(t, 210, n);
    auto e = std::make_unique<db::Point>(p);
    e->setNormal(normalOr(n));
    return e;
}

// TEXT (kind 0), ATTDEF (1) and ATTRIB (2). In attributes group code 73 is the field length and
// 74 the vertical alignment.
std::unique_ptr<db::Entity> buildText(Reader& r, std::span<const Tag> tags, int kind) {
    std::unique_ptr<db::Text> text;
    db::AttributeDefinition* def = nullptr;
    db::Attribute* attr = nullptr;
    if (kind == 1) {
        auto d = std::make_unique<db::AttributeDefinition>();
        def = d.get();
        text = std::move(d);
    } else if (kind == 2) {
        auto a = std::make_unique<db::Attribute>();
        attr = a.get();
        text = std::move(a);
    } else {
        text = std::make_unique<db::Text>();
    }
    geom::Point3d pos, align;
    geom::Vector3d n{0, 0, 1};
    bool hasAlign = false;
    int horz = 0, vert = 0, flags = 0;
    std::wstring tag;
    for (const Tag& t : tags) {
        if (pointTag(t, 10, pos) || vectorTag(t, 210, n))
            continue;
        if (pointTag(t, 11, align)) {
            hasAlign = true;
            continue;
        }
        switch (t.code) {
        case 1:
            text->setTextString(r.text(t));
            break;
        case 40:
            if (t.real() > 0)
                text->setHeight(t.real());
            break;
        case 50:
            text->setRotation(toRadians(t.real()));
            break;
        case 41:
            if (t.real() > 0)
                text->setWidthFactor(t.real());
            break;
        case 51:
            text->setOblique(toRadians(t.real()));
            break;
        case 7:
            text->setTextStyle(r.styleByName(t.value()));
            break;
        case 72:
            horz = t.i32();
            break;
        case 73:
            if (kind == 0)
                vert = t.i32();
            break;
        case 74:
            if (kind != 0)
                vert = t.i32();
            break;
        case 2:
            tag = r.text(t);
            break;
        case 3:
            if (def)
                def->setPrompt(r.text(t));
            break;
        case 70:
            flags = t.i32();
            break;
        default:
            break;
        }
    }
    n = normalOr(n);
    const Ocs ocs(n);
    text->setNormal(n);
    text->setPosition(ocs.toWorld(pos));
    if (hasAlign)
        text->setAlignmentPoint(ocs.toWorld(align));
    if (horz >= 0 && horz <= 5)
        text->setHorizontalMode(db::TextHorzMode(horz));
    if (vert >= 0 && vert <= 3)
        text->setVerticalMode(db::TextVertMode(vert));
    if (kind != 0) {
        if (tag.empty() || tag.find(L' ') != std::wstring::npos) {
            // Tags cannot hold spaces; keep the attribute under a repaired tag.
            for (wchar_t& ch : tag)
                if (ch == L' ')
                    ch = L'_';
            if (tag.empty())
                tag = L"TAG";
            r.warn(tags.empty() ? 0 : tags[0].line, L"an attribute tag was repaired");
        }
        if (def) {
            def->setTag(tag);
            def->setFlags(db::AttributeFlags::fromDxf(flags));
        } else {
            attr->setTag(tag);
            attr->setFlags(db::AttributeFlags::fromDxf(flags));
        }
    }
    return text;
}

std::unique_ptr<db::Entity> buildMText(Reader& r, std::span<const Tag> tags) {
    auto m = std::make_unique<db::MText>();
    geom::Point3d pos;
    geom::Vector3d n{0, 0, 1}, xdir;
    bool hasDir = false;
    double rotationDeg = 0;
    std::string bytes; // chunks (3) then the last part (1), joined before decoding
    std::string tail;
    for (const Tag& t : tags) {
        if (pointTag(t, 10, pos) || vectorTag(t, 210, n))
            continue;
        if (vectorTag(t, 11, xdir)) {
            hasDir = true;
            continue;
        }
        switch (t.code) {
        case 3:
            bytes += t.value();
            break;
        case 1:
            tail = t.value();
            break;
        case 40:
            if (t.real() > 0)
                m->setTextHeight(t.real());
            break;
        case 41:
            if (t.real() >= 0)
                m->setWidth(t.real());
            break;
        case 44:
            m->setLineSpacingFactor(t.real());
            break;
        case 50:
            rotationDeg = t.real();
            break;
        case 71:
            if (t.i32() >= 1 && t.i32() <= 9)
                m->setAttachment(db::MTextAttachment(t.i32()));
            break;
        case 7:
            m->setTextStyle(r.styleByName(t.value()));
            break;
        default:
            break;
        }
    }
    bytes += tail;
    m->setContents(r.text(bytes));
    n = normalOr(n);
    m->setNormal(n);
    m->setLocation(pos);
    // The direction vector, when given, decides; otherwise the angle (written in degrees by the
    // common libraries).
    double rotation = toRadians(rotationDeg);
    if (hasDir && !xdir.isZeroLength()) {
        const Ocs ocs(n);
        rotation = std::atan2(xdir.dot(ocs.ay), xdir.dot(ocs.ax));
    }
    m->setRotation(rotation);
    return m;
}

std::unique_ptr<db::Entity> buildInsert(Reader& r, std::span<const Tag> tags, std::uint32_t line,
                                        bool& attributesFollow) {
    geom::Point3d pos;
    geom::Vector3d n{0, 0, 1}, scale{1, 1, 1};
    double rotation = 0;
    std::string_view name;
    for (const Tag& t : tags) {
        if (pointTag(t, 10, pos) || vectorTag(t, 210, n))
            continue;
        switch (t.code) {
        case 2:
            name = t.value();
            break;
        case 41:
            scale.x = t.real();
            break;
        case 42:
            scale.y = t.real();
            break;
        case 43:
            scale.z = t.real();
            break;
        case 50:
            rotation = toRadians(t.real());
            break;
        case 66:
            attributesFollow = t.integer() != 0;
            break;
        case 70:
        case 71:
            // A block array (MINSERT) is no reference of ours: read as one, its other copies
            // would be lost on save, so the caller keeps it as read.
            if (t.i32() > 1) {
                r.warn(line, L"a block array (MINSERT) is kept as read");
                return nullptr;
            }
            break;
        default:
            break;
        }
    }
    const db::ObjectId blockId = r.blockByName(name, line);
    if (blockId.isNull())
        return nullptr;
    n = normalOr(n);
    auto ref = std::make_unique<db::BlockReference>(Ocs(n).toWorld(pos), blockId);
    if (scale.x == 0 || scale.y == 0 || scale.z == 0) {
        r.warn(line, L"a zero scale factor of a block reference is read as 1");
        scale = {scale.x == 0 ? 1 : scale.x, scale.y == 0 ? 1 : scale.y,
                 scale.z == 0 ? 1 : scale.z};
    }
    ref->setScaleFactors(scale);
    ref->setRotation(rotation);
    ref->setNormal(n);
    return ref;
}

} // namespace zhost::dxf

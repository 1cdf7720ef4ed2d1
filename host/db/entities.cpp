#include "database_impl.h"
#include "geom_util.h"

#include "zhost/core/utf.h"
#include "zhost/db/dump.h"
#include "zhost/db/entities.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/geom/plane.h"

#include <cmath>

namespace zhost::db {

using geom::Point3d;
using geom::Vector3d;

namespace {
bool finiteP(const Point3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}
bool validNormal(const Vector3d& n) {
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) && !n.isZeroLength();
}

// Rotation angle, about the new normal, of the image of a direction at angle `rotation` about
// `normal`.
double transformedRotation(double rotation, const Vector3d& normal, const Vector3d& newNormal,
                           const geom::Matrix3d& m) {
    const Vector3d dir = gu::pointAtAngle(Point3d(), 1, rotation, normal).asVector();
    return gu::angleOf(m * dir, newNormal);
}
} // namespace

#define ZHOST_SETTER(Class, Setter, member, Type, check)                                           \
    Status Class::Setter(Type v) {                                                                 \
        if (!(check))                                                                              \
            return Status::invalidInput;                                                           \
        Status s = assertWriteEnabled();                                                           \
        if (ok(s))                                                                                 \
            member = v;                                                                            \
        return s;                                                                                  \
    }

// --- Point ---------------------------------------------------------------------------------------

ZHOST_SETTER(Point, setPosition, position_, const Point3d&, finiteP(v))
ZHOST_SETTER(Point, setNormal, normal_, const Vector3d&, validNormal(v))

Status Point::transformBy(const geom::Matrix3d& m) {
    Status s = assertWriteEnabled();
    if (ok(s)) {
        position_ = m * position_;
        const Vector3d n = (m * normal_).normal();
        if (!n.isZeroLength())
            normal_ = n;
    }
    return s;
}

void Point::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"position", position_);
    out.field(L"normal", normal_);
}

// --- Text ----------------------------------------------------------------------------------------

ZHOST_SETTER(Text, setPosition, position_, const Point3d&, finiteP(v))
ZHOST_SETTER(Text, setAlignmentPoint, alignmentPoint_, const Point3d&, finiteP(v))
ZHOST_SETTER(Text, setTextString, text_, std::wstring_view, true)
ZHOST_SETTER(Text, setHeight, height_, double, v > 0 && std::isfinite(v))
ZHOST_SETTER(Text, setRotation, rotation_, double, std::isfinite(v))
ZHOST_SETTER(Text, setWidthFactor, widthFactor_, double, v > 0 && std::isfinite(v))
ZHOST_SETTER(Text, setOblique, oblique_, double, std::isfinite(v))
ZHOST_SETTER(Text, setHorizontalMode, horz_, TextHorzMode, int(v) >= 0 && int(v) <= 5)
ZHOST_SETTER(Text, setVerticalMode, vert_, TextVertMode, int(v) >= 0 && int(v) <= 3)
ZHOST_SETTER(Text, setNormal, normal_, const Vector3d&, validNormal(v))

Status Text::setTextStyle(ObjectId id) {
    if (!id.database() || !id.database()->impl().get<TextStyleTableRecord>(id))
        return Status::wrongObjectType;
    if (database() && id.database() != database())
        return Status::wrongDatabase;
    return writeField(styleId_, id);
}

Status Text::adjustAlignment() {
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    const double width = 0.7 * height_ * widthFactor_ * double(text_.size());
    const Vector3d dir = gu::pointAtAngle(Point3d(), 1, rotation_, normal_).asVector();
    const Vector3d up = normal_.normal().cross(dir);
    if (isDefaultAlignment()) {
        alignmentPoint_ = position_;
        return Status::ok;
    }
    double dx = 0, dy = 0;
    switch (horz_) {
    case TextHorzMode::center:
    case TextHorzMode::middle:
        dx = width / 2;
        break;
    case TextHorzMode::right:
        dx = width;
        break;
    case TextHorzMode::aligned:
    case TextHorzMode::fit:
        return Status::ok; // both points are given by the user
    case TextHorzMode::left:
        break;
    }
    switch (vert_) {
    case TextVertMode::bottom:
        dy = -0.3 * height_;
        break;
    case TextVertMode::middle:
        dy = 0.5 * height_;
        break;
    case TextVertMode::top:
        dy = height_;
        break;
    case TextVertMode::baseline:
        break;
    }
    if (horz_ == TextHorzMode::middle && vert_ == TextVertMode::baseline)
        dy = 0.5 * height_;
    position_ = alignmentPoint_ - dir * dx - up * dy;
    return Status::ok;
}

Status Text::transformBy(const geom::Matrix3d& m) {
    double scale;
    if (!gu::similarityScale(m, scale))
        return Status::notApplicable;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    Vector3d n = (m * normal_).normal();
    rotation_ = transformedRotation(rotation_, normal_, n, m);
    position_ = m * position_;
    alignmentPoint_ = m * alignmentPoint_;
    height_ *= scale;
    normal_ = n;
    return Status::ok;
}

void Text::collectReferences(std::vector<ObjectId>& out) const {
    Entity::collectReferences(out);
    if (!styleId_.isNull())
        out.push_back(styleId_);
}

void Text::remapReferences(const IdMapFn& map) {
    Entity::remapReferences(map);
    if (!styleId_.isNull())
        styleId_ = map(styleId_);
}

void Text::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"position", position_);
    out.field(L"alignment", alignmentPoint_);
    out.field(L"text", text_);
    out.field(L"height", height_);
    out.field(L"rotation", rotation_);
    out.field(L"width", widthFactor_);
    out.field(L"oblique", oblique_);
    out.field(L"horz", int(horz_));
    out.field(L"vert", int(vert_));
    out.field(L"style", styleId_);
    out.field(L"normal", normal_);
}

// --- MText ---------------------------------------------------------------------------------------

ZHOST_SETTER(MText, setLocation, location_, const Point3d&, finiteP(v))
ZHOST_SETTER(MText, setContents, contents_, std::wstring_view, true)
ZHOST_SETTER(MText, setTextHeight, height_, double, v > 0 && std::isfinite(v))
ZHOST_SETTER(MText, setWidth, width_, double, v >= 0 && std::isfinite(v))
ZHOST_SETTER(MText, setRotation, rotation_, double, std::isfinite(v))
ZHOST_SETTER(MText, setAttachment, attachment_, MTextAttachment, int(v) >= 1 && int(v) <= 9)
ZHOST_SETTER(MText, setLineSpacingFactor, lineSpacing_, double, v >= 0.25 && v <= 4)
ZHOST_SETTER(MText, setNormal, normal_, const Vector3d&, validNormal(v))

Status MText::setTextStyle(ObjectId id) {
    if (!id.database() || !id.database()->impl().get<TextStyleTableRecord>(id))
        return Status::wrongObjectType;
    if (database() && id.database() != database())
        return Status::wrongDatabase;
    return writeField(styleId_, id);
}

Status MText::transformBy(const geom::Matrix3d& m) {
    double scale;
    if (!gu::similarityScale(m, scale))
        return Status::notApplicable;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    Vector3d n = (m * normal_).normal();
    rotation_ = transformedRotation(rotation_, normal_, n, m);
    location_ = m * location_;
    height_ *= scale;
    width_ *= scale;
    normal_ = n;
    return Status::ok;
}

void MText::collectReferences(std::vector<ObjectId>& out) const {
    Entity::collectReferences(out);
    if (!styleId_.isNull())
        out.push_back(styleId_);
}

void MText::remapReferences(const IdMapFn& map) {
    Entity::remapReferences(map);
    if (!styleId_.isNull())
        styleId_ = map(styleId_);
}

void MText::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"location", location_);
    out.field(L"contents", contents_);
    out.field(L"height", height_);
    out.field(L"width", width_);
    out.field(L"rotation", rotation_);
    out.field(L"attachment", int(attachment_));
    out.field(L"spacing", lineSpacing_);
    out.field(L"style", styleId_);
    out.field(L"normal", normal_);
}

// --- Hatch ---------------------------------------------------------------------------------------

Status Hatch::setPattern(HatchPatternType t, std::wstring_view name) {
    if (name.empty() || int(t) < 0 || int(t) > 2)
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        patternType_ = t;
        patternName_ = name;
    }
    return s;
}

bool Hatch::isSolidFill() const {
    return equalsNoCase(patternName_, L"SOLID");
}

ZHOST_SETTER(Hatch, setPatternAngle, patternAngle_, double, std::isfinite(v))
ZHOST_SETTER(Hatch, setPatternScale, patternScale_, double, v > 0 && std::isfinite(v))
ZHOST_SETTER(Hatch, setAssociative, associative_, bool, true)
ZHOST_SETTER(Hatch, setElevation, elevation_, double, std::isfinite(v))
ZHOST_SETTER(Hatch, setNormal, normal_, const Vector3d&, validNormal(v))

Status Hatch::setPatternLines(std::vector<HatchPatternLine> lines) {
    for (const HatchPatternLine& l : lines) {
        bool finite = std::isfinite(l.angle) && finiteP(l.base) && std::isfinite(l.offset.x) &&
                      std::isfinite(l.offset.y) && std::isfinite(l.offset.z);
        for (double d : l.dashes)
            finite = finite && std::isfinite(d);
        if (!finite)
            return Status::invalidInput;
    }
    return writeField(patternLines_, std::move(lines));
}

Status Hatch::setGradient(std::optional<HatchGradient> g) {
    if (g && (g->colors.empty() || g->colors.size() > 2 || !std::isfinite(g->angle) ||
              !std::isfinite(g->shift) || !std::isfinite(g->tint)))
        return Status::invalidInput;
    if (g)
        for (const HatchGradientColor& c : g->colors)
            if (c.rgb > 0xFFFFFFu || c.aci < -1 || c.aci > 256)
                return Status::invalidInput;
    return writeField(gradient_, std::move(g));
}

Status Hatch::appendLoop(const HatchLoop& loop) {
    if (loop.edges.empty())
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s))
        loops_.push_back(loop);
    return s;
}

Status Hatch::removeLoopAt(int index) {
    if (index < 0 || index >= numLoops())
        return Status::outOfRange;
    Status s = assertWriteEnabled();
    if (ok(s))
        loops_.erase(loops_.begin() + index);
    return s;
}

Status Hatch::transformBy(const geom::Matrix3d& m) {
    std::vector<HatchLoop> loops = loops_;
    for (HatchLoop& l : loops)
        for (geom::Curve& c : l.edges) {
            Status s = gu::transformCurve(c, m);
            if (!ok(s))
                return s;
        }
    double scale = 1;
    const bool similar = gu::similarityScale(m, scale);
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    loops_ = std::move(loops);
    const Vector3d oldNormal = normal_;
    const double elevationBefore = elevation_;
    const Vector3d n = (m * normal_).normal();
    const Point3d onPlane = m * (Point3d() + normal_ * elevation_);
    normal_ = n;
    elevation_ = onPlane.asVector().dot(n);
    if (similar && !isSolidFill()) {
        patternScale_ *= scale;
        patternAngle_ = gu::normalizeAngle(patternAngle_ + transformedRotation(0, oldNormal, n, m));
        // The line families are in the hatch's own plane coordinates: carried through world
        // space into the new plane's.
        const Vector3d ox = geom::arbitraryXAxis(oldNormal), oy = oldNormal.cross(ox).normal();
        const Vector3d nx = geom::arbitraryXAxis(n), ny = n.cross(nx).normal();
        for (HatchPatternLine& l : patternLines_) {
            const Point3d w = m * (Point3d() + ox * l.base.x + oy * l.base.y +
                                   oldNormal * (l.base.z + elevationBefore));
            const Vector3d off = m * (ox * l.offset.x + oy * l.offset.y);
            l.base = {w.asVector().dot(nx), w.asVector().dot(ny), 0};
            l.offset = {off.dot(nx), off.dot(ny), 0};
            l.angle = gu::normalizeAngle(transformedRotation(l.angle, oldNormal, n, m));
            for (double& d : l.dashes)
                d *= scale;
        }
    }
    if (gradient_ && similar)
        gradient_->angle =
            gu::normalizeAngle(transformedRotation(gradient_->angle, oldNormal, n, m));
    return Status::ok;
}

void Hatch::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"pattern", patternName_);
    out.field(L"patterntype", int(patternType_));
    out.field(L"angle", patternAngle_);
    out.field(L"scale", patternScale_);
    out.field(L"associative", associative_);
    out.field(L"elevation", elevation_);
    out.field(L"normal", normal_);
    for (const HatchLoop& l : loops_) {
        out.field(L"loop", l.flags);
        for (const auto& c : l.edges)
            out.field(L"edge", c);
    }
    for (const HatchPatternLine& l : patternLines_) {
        out.field(L"patternline", l.angle);
        out.field(L"base", l.base);
        out.field(L"offset", l.offset);
        for (double d : l.dashes)
            out.field(L"dash", d);
    }
    if (gradient_) {
        out.field(L"gradient", gradient_->name);
        out.field(L"gradientangle", gradient_->angle);
        out.field(L"shift", gradient_->shift);
        out.field(L"onecolor", gradient_->oneColor);
        out.field(L"tint", gradient_->tint);
        for (const HatchGradientColor& c : gradient_->colors) {
            out.field(L"rgb", int(c.rgb));
            out.field(L"aci", c.aci);
        }
    }
}

// --- Region --------------------------------------------------------------------------------------

Status Region::set(const geom::Region& r) {
    return writeField(r_, r);
}

Status Region::transformBy(const geom::Matrix3d& m) {
    geom::Region r = r_;
    auto moveLoop = [&](geom::Loop& l) {
        for (geom::Curve& c : l.edges) {
            Status s = gu::transformCurve(c, m);
            if (!ok(s))
                return s;
        }
        return Status::ok;
    };
    for (geom::Face& f : r.faces) {
        Status s = moveLoop(f.outer);
        for (geom::Loop& h : f.holes)
            if (ok(s))
                s = moveLoop(h);
        if (!ok(s))
            return s;
    }
    r.normal = (m * r.normal).normal();
    return writeField(r_, std::move(r));
}

Status Region::explode(std::vector<std::unique_ptr<Entity>>& out) const {
    auto emit = [&](const geom::Loop& l) {
        for (const geom::Curve& c : l.edges)
            if (auto e = makeCurveEntity(c)) {
                e->setPropertiesFrom(*this);
                out.push_back(std::move(e));
            }
    };
    for (const geom::Face& f : r_.faces) {
        emit(f.outer);
        for (const geom::Loop& h : f.holes)
            emit(h);
    }
    return Status::ok;
}

void Region::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"normal", r_.normal);
    for (const geom::Face& f : r_.faces) {
        out.field(L"face", int(f.holes.size()));
        for (const auto& c : f.outer.edges)
            out.field(L"outer", c);
        for (const auto& h : f.holes)
            for (const auto& c : h.edges)
                out.field(L"hole", c);
    }
}

} // namespace zhost::db

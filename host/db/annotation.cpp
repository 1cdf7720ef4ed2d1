#include "zhost/db/annotation.h"

#include "block_content.h"
#include "database_impl.h"
#include "geom_util.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/dump.h"
#include "zhost/db/symbol_tables.h"

#include <cmath>
#include <limits>

namespace zhost::db {

using geom::Matrix3d;
using geom::Point3d;
using geom::Vector3d;

namespace {

bool finite(const Point3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool validDirection(const Vector3d& n) {
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) && !n.isZeroLength();
}

// An angle in the plane of `normal` carried through a matrix (into the plane of the new normal).
double transformAngle(double angle, const Vector3d& normal, const Vector3d& newNormal,
                      const Matrix3d& m) {
    const Vector3d ax = geom::arbitraryXAxis(normal);
    const Vector3d ay = normal.cross(ax);
    const Vector3d d = m * (ax * std::cos(angle) + ay * std::sin(angle));
    return d.isZeroLength() ? angle : gu::angleOf(d, newNormal);
}

// The counter-clockwise angle from `a` to `b` in the plane of `normal`, in [0, 2pi).
double sweep(const Vector3d& a, const Vector3d& b, const Vector3d& normal) {
    return gu::normalizeAngle(gu::angleOf(b, normal) - gu::angleOf(a, normal));
}

// The angle at `c` from leg `a` to leg `b` on the side where `inside` lies.
double sectorAngle(const Point3d& c, const Point3d& a, const Point3d& b, const Point3d& inside,
                   const Vector3d& normal) {
    const double full = sweep(a - c, b - c, normal);
    const double toInside = sweep(a - c, inside - c, normal);
    return toInside <= full ? full : gu::kTwoPi - full;
}

// The crossing of two lines in the plane of `normal`; false when they are parallel.
bool crossing(const Point3d& p1, const Vector3d& d1, const Point3d& p2, const Vector3d& d2,
              const Vector3d& normal, Point3d& out) {
    const double denom = normal.dot(d1.cross(d2));
    if (std::abs(denom) < 1e-12 * d1.length() * d2.length())
        return false;
    const double t = normal.dot((p2 - p1).cross(d2)) / denom;
    out = p1 + d1 * t;
    return true;
}

// A block name of the "*D" family that the database does not hold yet.
std::wstring freshDimensionBlockName(const Database& db) {
    ObjectId taken;
    for (unsigned n = 1;; ++n) {
        std::wstring name = L"*D" + std::to_wstring(n);
        if (!ok(db.getBlockId(name, taken)))
            return name;
    }
}

} // namespace

const wchar_t* dimensionKindName(DimensionKind kind) {
    switch (kind) {
    case DimensionKind::rotated:
        return L"Rotated";
    case DimensionKind::aligned:
        return L"Aligned";
    case DimensionKind::angular:
        return L"Angular";
    case DimensionKind::diameter:
        return L"Diameter";
    case DimensionKind::radius:
        return L"Radius";
    case DimensionKind::angular3Point:
        return L"Angular (3 points)";
    case DimensionKind::ordinate:
        return L"Ordinate";
    case DimensionKind::arcLength:
        return L"Arc length";
    }
    return L"";
}

// --- Dimension ---------------------------------------------------------------------------------

Status Dimension::setKind(DimensionKind kind) {
    return writeField(kind_, kind);
}

Status Dimension::setFlags(int flags) {
    if (flags & ~(32 | 64 | 128))
        return Status::invalidInput;
    return writeField(flags_, flags);
}

Status Dimension::setBlock(ObjectId blockId) {
    return writeField(block_, blockId);
}

Status Dimension::setStyleName(std::wstring_view name) {
    if (!name.empty() && !isValidSymbolName(name))
        return Status::invalidInput;
    return writeField(style_, std::wstring(name));
}

Status Dimension::setDefPoint(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(defPoint_, p);
}

Point3d Dimension::point(int code) const {
    return code >= 13 && code <= 17 ? points_[std::size_t(code - 13)] : Point3d();
}

Status Dimension::setPoint(int code, const Point3d& p) {
    if (code < 13 || code > 17 || !finite(p))
        return Status::invalidInput;
    return writeField(points_[std::size_t(code - 13)], p);
}

Status Dimension::setTextPosition(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(textPosition_, p);
}

Status Dimension::setInsertion(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    Status s = writeField(insertion_, p);
    if (ok(s))
        hasInsertion_ = true;
    return s;
}

Status Dimension::setRotation(double angle) {
    return std::isfinite(angle) ? writeField(rotation_, angle) : Status::invalidInput;
}

Status Dimension::setOblique(double angle) {
    return std::isfinite(angle) ? writeField(oblique_, angle) : Status::invalidInput;
}

Status Dimension::setTextRotation(double angle) {
    return std::isfinite(angle) ? writeField(textRotation_, angle) : Status::invalidInput;
}

Status Dimension::setHorizontalDirection(double angle) {
    return std::isfinite(angle) ? writeField(horizontalDirection_, angle) : Status::invalidInput;
}

Status Dimension::setLeaderLength(double length) {
    return std::isfinite(length) ? writeField(leaderLength_, length) : Status::invalidInput;
}

Status Dimension::setArcParams(double start, double end) {
    if (!std::isfinite(start) || !std::isfinite(end))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        arcStart_ = start;
        arcEnd_ = end;
    }
    return s;
}

Status Dimension::setArcFlags(bool partial, bool leader) {
    Status s = assertWriteEnabled();
    if (ok(s)) {
        partial_ = partial;
        hasLeader_ = leader;
    }
    return s;
}

Status Dimension::setUserText(std::wstring_view text) {
    return writeField(userText_, std::wstring(text));
}

Status Dimension::setAttachment(int point) {
    if (point < 1 || point > 9)
        return Status::invalidInput;
    return writeField(attachment_, point);
}

Status Dimension::setNormal(const Vector3d& n) {
    if (!validDirection(n))
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

Status Dimension::setExtraTags(RawTags tags) {
    return writeField(extra_, std::move(tags));
}

RawTags* Dimension::extraTagsForWrite() {
    return ok(assertWriteEnabled()) ? &extra_ : nullptr;
}

double Dimension::measurement() const {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const Point3d& p13 = points_[0];
    const Point3d& p14 = points_[1];
    const Point3d& p15 = points_[2];
    const Point3d& p16 = points_[3];
    switch (kind_) {
    case DimensionKind::rotated: {
        const Vector3d ax = geom::arbitraryXAxis(normal_);
        const Vector3d dir = ax * std::cos(rotation_) + normal_.cross(ax) * std::sin(rotation_);
        return std::abs((p14 - p13).dot(dir));
    }
    case DimensionKind::aligned:
        return p13.distanceTo(p14);
    case DimensionKind::diameter:
    case DimensionKind::radius:
        return defPoint_.distanceTo(p15);
    case DimensionKind::angular: {
        // Two lines (13-14 and 10-15): the angle of the sector between them that holds the
        // dimension arc (16).
        Point3d c;
        const Vector3d d1 = p14 - p13, d2 = defPoint_ - p15;
        if (d1.isZeroLength() || d2.isZeroLength() || !crossing(p13, d1, p15, d2, normal_, c))
            return kNaN;
        for (const double s1 : {1.0, -1.0})
            for (const double s2 : {1.0, -1.0}) {
                const Vector3d u1 = d1 * s1, u2 = d2 * s2;
                const double full = sweep(u1, u2, normal_);
                if (full <= gu::kTwoPi / 2 && sweep(u1, p16 - c, normal_) <= full)
                    return full;
            }
        return sweep(d1, d2, normal_) <= gu::kTwoPi / 2 ? sweep(d1, d2, normal_)
                                                        : sweep(d2, d1, normal_);
    }
    case DimensionKind::angular3Point:
        if (p13 == p15 || p14 == p15)
            return kNaN;
        return sectorAngle(p15, p13, p14, defPoint_, normal_);
    case DimensionKind::ordinate: {
        const Vector3d ax = geom::arbitraryXAxis(normal_);
        const Vector3d axis = (flags_ & 64) ? ax : normal_.cross(ax);
        return std::abs((p13 - defPoint_).dot(axis));
    }
    case DimensionKind::arcLength: {
        if (p13 == p15 || p14 == p15)
            return kNaN;
        return p15.distanceTo(p13) * sectorAngle(p15, p13, p14, defPoint_, normal_);
    }
    }
    return kNaN;
}

Matrix3d Dimension::pictureTransform() const {
    return hasInsertion_ ? Matrix3d::translation(insertion_.asVector()) : Matrix3d();
}

Status Dimension::transformBy(const Matrix3d& m) {
    Vector3d n = m * normal_;
    if (!validDirection(n))
        return Status::notApplicable;
    n = n.normal();
    const Matrix3d before = pictureTransform();
    const Point3d insertion = m * insertion_;
    Matrix3d after = hasInsertion_ ? Matrix3d::translation(insertion.asVector()) : Matrix3d();
    if (!after.invert())
        return Status::notApplicable;
    // The picture's contents move so that, drawn through the new placement, they land where the
    // old picture lands moved by `m`.
    const Matrix3d contents = after * m * before;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    if (isDatabaseResident()) {
        s = transformPicture(contents);
    } else if (!block_.isNull()) {
        // Checked now, applied when the dimension joins a database.
        std::vector<std::unique_ptr<Entity>> trial;
        s = explodeBlock(block_, contents * pending_, trial);
        if (ok(s)) {
            pending_ = contents * pending_;
            hasPending_ = true;
        }
    }
    if (!ok(s))
        return s;
    rotation_ = transformAngle(rotation_, normal_, n, m);
    textRotation_ = transformAngle(textRotation_, normal_, n, m);
    horizontalDirection_ = transformAngle(horizontalDirection_, normal_, n, m);
    defPoint_ = m * defPoint_;
    textPosition_ = m * textPosition_;
    insertion_ = insertion;
    for (Point3d& p : points_)
        p = m * p;
    double scale = 1;
    if (gu::similarityScale(m, scale))
        leaderLength_ *= scale;
    normal_ = n;
    return Status::ok;
}

namespace {

// A new "*D" block holding the contents of `block` transformed by `m`.
Status transformedPicture(Database& db, ObjectId block, const Matrix3d& m, ObjectId& fresh) {
    std::vector<std::unique_ptr<Entity>> pieces;
    Status s = explodeBlock(block, m, pieces);
    if (!ok(s))
        return s;
    s = db.addBlock(freshDimensionBlockName(db), fresh);
    if (!ok(s))
        return s;
    ObjectPtr<BlockTableRecord> rec(fresh, OpenMode::forWrite);
    if (!rec)
        return rec.status();
    rec->setFlags(1);
    for (auto& piece : pieces) {
        ObjectId id;
        s = rec->appendEntity(std::move(piece), id);
        if (!ok(s))
            return s;
    }
    return Status::ok;
}

} // namespace

// A new block holding the picture transformed: copies that shared the old block stay where
// they are, and the old block is left to purge when nothing else names it.
Status Dimension::transformPicture(const Matrix3d& contents) {
    Database* db = database();
    if (block_.isNull() || !db)
        return Status::ok;
    ObjectId fresh;
    Status s = transformedPicture(*db, block_, contents, fresh);
    return ok(s) ? writeField(block_, fresh) : s;
}

Status Dimension::applyPendingPicture(Database& db) {
    if (!hasPending_ || isDatabaseResident())
        return Status::ok;
    if (block_.database() != &db)
        return Status::wrongDatabase;
    ObjectId fresh;
    Status s = transformedPicture(db, block_, pending_, fresh);
    if (!ok(s))
        return s;
    block_ = fresh;
    pending_ = Matrix3d();
    hasPending_ = false;
    return Status::ok;
}

Status Dimension::explode(std::vector<std::unique_ptr<Entity>>& out) const {
    if (block_.isNull())
        return Status::notApplicable;
    return explodeBlock(block_, pictureTransform() * pending_, out);
}

void Dimension::collectReferences(std::vector<ObjectId>& out) const {
    Entity::collectReferences(out);
    // The picture is in use: purge keeps it and a copy of the drawing brings it along.
    if (!block_.isNull())
        out.push_back(block_);
    extra_.collectReferences(out);
}

void Dimension::remapReferences(const IdMapFn& map) {
    Entity::remapReferences(map);
    if (!block_.isNull())
        block_ = map(block_);
    extra_.remapReferences(map);
}

void Dimension::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"kind", dimensionKindName(kind_));
    out.field(L"flags", flags_);
    out.field(L"block", block_);
    out.field(L"style", style_);
    out.field(L"definition point", defPoint_);
    out.field(L"text position", textPosition_);
    if (hasInsertion_)
        out.field(L"insertion", insertion_);
    for (int code = 13; code <= 17; ++code)
        out.field(L"point " + std::to_wstring(code), point(code));
    out.field(L"rotation", rotation_);
    out.field(L"oblique", oblique_);
    out.field(L"text rotation", textRotation_);
    out.field(L"horizontal direction", horizontalDirection_);
    out.field(L"leader length", leaderLength_);
    out.field(L"arc start", arcStart_);
    out.field(L"arc end", arcEnd_);
    out.field(L"partial", partial_);
    out.field(L"has leader", hasLeader_);
    out.field(L"text", userText_);
    out.field(L"attachment", attachment_);
    out.field(L"normal", normal_);
    out.field(L"extra", extra_.describe());
}

// --- Leader ------------------------------------------------------------------------------------

Status Leader::setVertices(std::vector<Point3d> vertices) {
    if (vertices.size() < 2)
        return Status::invalidInput;
    for (const Point3d& p : vertices)
        if (!finite(p))
            return Status::invalidInput;
    return writeField(vertices_, std::move(vertices));
}

Status Leader::setStyleName(std::wstring_view name) {
    if (!name.empty() && !isValidSymbolName(name))
        return Status::invalidInput;
    return writeField(style_, std::wstring(name));
}

Status Leader::setArrowhead(bool on) {
    return writeField(arrowhead_, on);
}

Status Leader::setSpline(bool on) {
    return writeField(spline_, on);
}

Status Leader::setAnnotationType(int type) {
    if (type < 0 || type > 3)
        return Status::invalidInput;
    return writeField(annotationType_, type);
}

Status Leader::setHook(int direction, bool hookLine) {
    Status s = assertWriteEnabled();
    if (ok(s)) {
        hookDirection_ = direction;
        hookLine_ = hookLine;
    }
    return s;
}

Status Leader::setTextSize(double height, double width) {
    if (!std::isfinite(height) || !std::isfinite(width))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        textHeight_ = height;
        textWidth_ = width;
    }
    return s;
}

Status Leader::setAnnotation(ObjectId id) {
    return writeField(annotation_, id);
}

Status Leader::setNormal(const Vector3d& n) {
    if (!validDirection(n))
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

Status Leader::setDirections(const Vector3d& horizontal, const Vector3d& blockOffset,
                             const Vector3d& annotationOffset) {
    for (const Vector3d& v : {horizontal, blockOffset, annotationOffset})
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        horizontal_ = horizontal;
        blockOffset_ = blockOffset;
        annotationOffset_ = annotationOffset;
    }
    return s;
}

Status Leader::setExtraTags(RawTags tags) {
    return writeField(extra_, std::move(tags));
}

RawTags* Leader::extraTagsForWrite() {
    return ok(assertWriteEnabled()) ? &extra_ : nullptr;
}

Status Leader::transformBy(const Matrix3d& m) {
    const Vector3d n = m * normal_;
    if (!validDirection(n))
        return Status::notApplicable;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    for (Point3d& p : vertices_)
        p = m * p;
    normal_ = n.normal();
    const Vector3d h = m * horizontal_;
    if (!h.isZeroLength())
        horizontal_ = h.normal();
    // Offsets are displacements: they turn and scale with the drawing, they do not move.
    blockOffset_ = m * blockOffset_;
    annotationOffset_ = m * annotationOffset_;
    double scale = 1;
    if (gu::similarityScale(m, scale)) {
        textHeight_ *= scale;
        textWidth_ *= scale;
    }
    return Status::ok;
}

Status Leader::explode(std::vector<std::unique_ptr<Entity>>& out) const {
    if (vertices_.size() < 2)
        return Status::notApplicable;
    for (std::size_t k = 0; k + 1 < vertices_.size(); ++k) {
        if (vertices_[k] == vertices_[k + 1])
            continue;
        auto line = std::make_unique<Line>(vertices_[k], vertices_[k + 1]);
        line->setPropertiesFrom(*this);
        out.push_back(std::move(line));
    }
    return Status::ok;
}

void Leader::collectReferences(std::vector<ObjectId>& out) const {
    Entity::collectReferences(out);
    extra_.collectReferences(out);
}

void Leader::remapReferences(const IdMapFn& map) {
    Entity::remapReferences(map);
    // The annotation is an entity of its own: a copy whose text did not come along points at
    // nothing rather than at another drawing's object.
    if (!annotation_.isNull())
        annotation_ = map(annotation_);
    extra_.remapReferences(map);
}

void Leader::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    for (const Point3d& p : vertices_)
        out.field(L"vertex", p);
    out.field(L"style", style_);
    out.field(L"arrowhead", arrowhead_);
    out.field(L"spline", spline_);
    out.field(L"annotation type", annotationType_);
    out.field(L"hook direction", hookDirection_);
    out.field(L"hook line", hookLine_);
    out.field(L"text height", textHeight_);
    out.field(L"text width", textWidth_);
    out.field(L"annotation", annotation_);
    out.field(L"normal", normal_);
    out.field(L"horizontal direction", horizontal_);
    out.field(L"block offset", blockOffset_);
    out.field(L"annotation offset", annotationOffset_);
    out.field(L"extra", extra_.describe());
}

} // namespace zhost::db

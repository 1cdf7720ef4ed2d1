#pragma once
// Annotation entities: dimensions of every kind and leaders. Not part of zhost/db/db.h: include
// it where these kinds are handled.
//
// A dimension is drawn by the anonymous block it names (a "*D" block the writing program made);
// the host does not lay out dimensions itself. The block is treated as the dimension's own
// picture: moving, rotating or scaling a dimension that is in a database gives it a fresh block
// holding the old picture transformed the same way, so that copies sharing a block stay apart
// and every other program sees the dimension where it is.
//
// Points are world points (the file's object-coordinate points are converted when read).
// Values of the file that the host has no field for are kept with the entity as tags and
// written back in the part of the record they came from, so nothing of the file is lost.
#include "zhost/db/entity.h"
#include "zhost/db/raw.h"
#include "zhost/geom/point3d.h"

#include <array>
#include <string>
#include <vector>

namespace zhost::db {

// The kind of a dimension as DXF numbers it (the low bits of group 70); arcLength is the
// ARC_DIMENSION record.
enum class DimensionKind {
    rotated = 0, // linear: horizontal, vertical or rotated
    aligned = 1,
    angular = 2, // between two lines
    diameter = 3,
    radius = 4,
    angular3Point = 5,
    ordinate = 6,
    arcLength = 8,
};

// "Rotated", "Aligned", "Angular", ... as LIST shows it.
const wchar_t* dimensionKindName(DimensionKind kind);

class Dimension : public Entity {
    ZHOST_DB_OBJECT_COPY(Dimension)
    Dimension() = default;
    explicit Dimension(DimensionKind kind) : kind_(kind) {}

    ObjectType type() const override { return ObjectType::dimension; }
    const wchar_t* dxfName() const override {
        return kind_ == DimensionKind::arcLength ? L"ARC_DIMENSION" : L"DIMENSION";
    }

    DimensionKind kind() const { return kind_; }
    Status setKind(DimensionKind kind);
    // The bits of group 70 beyond the kind: 32 the block belongs to this dimension only, 64 an
    // ordinate along X, 128 text moved by the user.
    int flags() const { return flags_; }
    Status setFlags(int flags);

    // The block that draws the dimension (null when the file named none).
    ObjectId blockId() const { return block_; }
    Status setBlock(ObjectId blockId);
    // The dimension style's name ("Standard" unless set).
    const std::wstring& styleName() const { return style_; }
    Status setStyleName(std::wstring_view name);

    // Definition points, as each kind uses them:
    //   10 defPoint: the dimension line (linear, aligned), the centre (radius, diameter's far
    //      side), the origin (ordinate), the end of the second line (angular);
    //   13, 14: the extension lines' origins; the vertex ends of angular lines; the feature of an
    //      ordinate (13) and the leader end (14); the arc's ends (arc length);
    //   15: the point on the circle (radius, diameter), the vertex (3-point angular), the arc's
    //      centre (arc length); 16: the dimension arc (angular), the leader (arc length);
    //   17: the leader's second point (arc length).
    geom::Point3d defPoint() const { return defPoint_; }
    Status setDefPoint(const geom::Point3d& p);
    // Points 13 .. 17 by group code.
    geom::Point3d point(int code) const;
    Status setPoint(int code, const geom::Point3d& p); // invalidInput for another code
    geom::Point3d textPosition() const { return textPosition_; }
    Status setTextPosition(const geom::Point3d& p);
    // Group 12, where some programs place the dimension's picture: the block is drawn moved by
    // it. Only present when the file had it.
    bool hasInsertion() const { return hasInsertion_; }
    geom::Point3d insertion() const { return insertion_; }
    Status setInsertion(const geom::Point3d& p);

    // Radians: the direction of a rotated dimension (50), the extension lines' obliquing (52),
    // the text's rotation (53), the horizontal direction (51).
    double rotation() const { return rotation_; }
    Status setRotation(double angle);
    double oblique() const { return oblique_; }
    Status setOblique(double angle);
    double textRotation() const { return textRotation_; }
    Status setTextRotation(double angle);
    double horizontalDirection() const { return horizontalDirection_; }
    Status setHorizontalDirection(double angle);
    // Radius and diameter: the leader length (40).
    double leaderLength() const { return leaderLength_; }
    Status setLeaderLength(double length);
    // Arc length: the arc's start and end parameters (40, 41), partial (70) and leader (71).
    double arcStart() const { return arcStart_; }
    double arcEnd() const { return arcEnd_; }
    Status setArcParams(double start, double end);
    bool isPartial() const { return partial_; }
    bool hasLeader() const { return hasLeader_; }
    Status setArcFlags(bool partial, bool leader);

    // The text written instead of the measurement ("" or "<>": the measurement).
    const std::wstring& userText() const { return userText_; }
    Status setUserText(std::wstring_view text);
    int attachment() const { return attachment_; } // 1..9, the text's attachment point
    Status setAttachment(int point);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);

    // What the dimension measures, from its definition points: a length, or an angle in
    // radians (angular kinds). NaN when the points do not define it.
    double measurement() const;
    bool measuresAngle() const {
        return kind_ == DimensionKind::angular || kind_ == DimensionKind::angular3Point;
    }

    // The file's values the host has no field for, after the subclass marker (100) they came
    // under; written back in the same part of the record.
    const RawTags& extraTags() const { return extra_; }
    Status setExtraTags(RawTags tags);
    RawTags* extraTagsForWrite();

    // The matrix that places the block's contents (a translation by the insertion point).
    geom::Matrix3d pictureTransform() const;

    // Transforms the definition points; a dimension in a database gets a new block with its
    // picture transformed (a failure, with nothing changed, when a piece of the picture
    // cannot follow). A dimension outside a database keeps the transform and applies it to its
    // picture when it is appended.
    Status transformBy(const geom::Matrix3d& m) override;
    // The picture's entities, placed (as a block reference's explode gives them).
    Status explode(std::vector<std::unique_ptr<Entity>>& out) const override;

    // A pending transform of a dimension made outside the database; applied by the append.
    Status applyPendingPicture(Database& db);

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    Status transformPicture(const geom::Matrix3d& m);

    DimensionKind kind_ = DimensionKind::rotated;
    int flags_ = 32;
    ObjectId block_;
    std::wstring style_ = L"Standard";
    geom::Point3d defPoint_, textPosition_, insertion_;
    bool hasInsertion_ = false;
    std::array<geom::Point3d, 5> points_{}; // 13 .. 17
    double rotation_ = 0, oblique_ = 0, textRotation_ = 0, horizontalDirection_ = 0;
    double leaderLength_ = 0, arcStart_ = 0, arcEnd_ = 0;
    bool partial_ = false, hasLeader_ = false;
    std::wstring userText_;
    int attachment_ = 5;
    geom::Vector3d normal_{0, 0, 1};
    RawTags extra_;
    geom::Matrix3d pending_; // identity unless transformed outside a database
    bool hasPending_ = false;
};

// A leader: a line or spline through vertices from an arrowhead to its annotation.
class Leader : public Entity {
    ZHOST_DB_OBJECT_COPY(Leader)
    Leader() = default;
    explicit Leader(std::vector<geom::Point3d> vertices) : vertices_(std::move(vertices)) {}

    ObjectType type() const override { return ObjectType::leader; }
    const wchar_t* dxfName() const override { return L"LEADER"; }

    const std::vector<geom::Point3d>& vertices() const { return vertices_; }
    Status setVertices(std::vector<geom::Point3d> vertices); // at least two
    const std::wstring& styleName() const { return style_; }
    Status setStyleName(std::wstring_view name);
    bool hasArrowhead() const { return arrowhead_; } // 71
    Status setArrowhead(bool on);
    bool isSpline() const { return spline_; } // 72: the path is a spline through the vertices
    Status setSpline(bool on);
    // 73: 0 text, 1 tolerance, 2 block reference, 3 no annotation.
    int annotationType() const { return annotationType_; }
    Status setAnnotationType(int type);
    // 74, 75: hook line direction (1 the same as the horizontal direction) and whether it has one.
    int hookDirection() const { return hookDirection_; }
    bool hasHookLine() const { return hookLine_; }
    Status setHook(int direction, bool hookLine);
    double textHeight() const { return textHeight_; } // 40
    double textWidth() const { return textWidth_; }   // 41
    Status setTextSize(double height, double width);
    // The text, tolerance or block reference the leader points from (340).
    ObjectId annotation() const { return annotation_; }
    Status setAnnotation(ObjectId id);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);
    // 211, 212, 213: the horizontal direction, the offset of the last vertex from a block
    // annotation's insertion point, and from the annotation's placement.
    geom::Vector3d horizontalDirection() const { return horizontal_; }
    geom::Vector3d blockOffset() const { return blockOffset_; }
    geom::Vector3d annotationOffset() const { return annotationOffset_; }
    Status setDirections(const geom::Vector3d& horizontal, const geom::Vector3d& blockOffset,
                         const geom::Vector3d& annotationOffset);

    const RawTags& extraTags() const { return extra_; }
    Status setExtraTags(RawTags tags);
    RawTags* extraTagsForWrite();

    Status transformBy(const geom::Matrix3d& m) override;
    // Its segments as lines (a spline path as the polygon through its vertices).
    Status explode(std::vector<std::unique_ptr<Entity>>& out) const override;

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    std::vector<geom::Point3d> vertices_;
    std::wstring style_ = L"Standard";
    bool arrowhead_ = true, spline_ = false, hookLine_ = false;
    int annotationType_ = 3, hookDirection_ = 0;
    double textHeight_ = 0, textWidth_ = 0;
    ObjectId annotation_;
    geom::Vector3d normal_{0, 0, 1}, horizontal_{1, 0, 0}, blockOffset_, annotationOffset_;
    RawTags extra_;
};

} // namespace zhost::db

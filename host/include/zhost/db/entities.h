#pragma once
// The other drawn entities: point, text, multiline text, hatch and region.
#include "zhost/db/curves.h"
#include "zhost/geom/region.h"

namespace zhost::db {

class Point : public Entity {
    ZHOST_DB_OBJECT_COPY(Point)
    Point() = default;
    explicit Point(const geom::Point3d& p) : position_(p) {}

    ObjectType type() const override { return ObjectType::point; }
    const wchar_t* dxfName() const override { return L"POINT"; }

    geom::Point3d position() const { return position_; }
    Status setPosition(const geom::Point3d& p);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);

    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d position_;
    geom::Vector3d normal_{0, 0, 1};
};

// Horizontal and vertical text alignment, numbered as DXF group codes 72 and 73 number them.
enum class TextHorzMode { left = 0, center = 1, right = 2, aligned = 3, middle = 4, fit = 5 };
enum class TextVertMode { baseline = 0, bottom = 1, middle = 2, top = 3 };

// Single-line text. The position is the start of the baseline; for any alignment but left /
// baseline the alignment point is the one that counts and adjustAlignment() recomputes the
// position from it.
class Text : public Entity {
    ZHOST_DB_OBJECT_COPY(Text)
    Text() = default;
    Text(const geom::Point3d& position, std::wstring text, double height, double rotation = 0)
        : position_(position), text_(std::move(text)), height_(height), rotation_(rotation) {}

    ObjectType type() const override { return ObjectType::text; }
    const wchar_t* dxfName() const override { return L"TEXT"; }

    geom::Point3d position() const { return position_; }
    Status setPosition(const geom::Point3d& p);
    geom::Point3d alignmentPoint() const { return alignmentPoint_; }
    Status setAlignmentPoint(const geom::Point3d& p);
    const std::wstring& textString() const { return text_; }
    Status setTextString(std::wstring_view text);
    double height() const { return height_; }
    Status setHeight(double h);                   // > 0
    double rotation() const { return rotation_; } // radians
    Status setRotation(double r);
    double widthFactor() const { return widthFactor_; }
    Status setWidthFactor(double w); // > 0
    double oblique() const { return oblique_; }
    Status setOblique(double a);
    TextHorzMode horizontalMode() const { return horz_; }
    TextVertMode verticalMode() const { return vert_; }
    Status setHorizontalMode(TextHorzMode m);
    Status setVerticalMode(TextVertMode m);
    ObjectId textStyleId() const { return styleId_; }
    Status setTextStyle(ObjectId styleId);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);
    bool isDefaultAlignment() const {
        return horz_ == TextHorzMode::left && vert_ == TextVertMode::baseline;
    }
    // Recomputes the position from the alignment point (or the alignment point from the position
    // for left / baseline text) with an estimated advance of 0.7 x height x width factor per
    // character: the host has no font metrics.
    Status adjustAlignment();

    Status transformBy(const geom::Matrix3d& m) override;
    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d position_, alignmentPoint_;
    std::wstring text_;
    double height_ = 2.5, rotation_ = 0, widthFactor_ = 1, oblique_ = 0;
    TextHorzMode horz_ = TextHorzMode::left;
    TextVertMode vert_ = TextVertMode::baseline;
    ObjectId styleId_;
    geom::Vector3d normal_{0, 0, 1};
};

// Attachment of multiline text, numbered as DXF group code 71.
enum class MTextAttachment {
    topLeft = 1,
    topCenter,
    topRight,
    middleLeft,
    middleCenter,
    middleRight,
    bottomLeft,
    bottomCenter,
    bottomRight
};

class MText : public Entity {
    ZHOST_DB_OBJECT_COPY(MText)
    MText() = default;

    ObjectType type() const override { return ObjectType::mtext; }
    const wchar_t* dxfName() const override { return L"MTEXT"; }

    geom::Point3d location() const { return location_; }
    Status setLocation(const geom::Point3d& p);
    // The raw contents with inline formatting codes ("\P" paragraph breaks etc.).
    const std::wstring& contents() const { return contents_; }
    Status setContents(std::wstring_view text);
    double textHeight() const { return height_; }
    Status setTextHeight(double h);         // > 0
    double width() const { return width_; } // 0: no wrapping
    Status setWidth(double w);              // >= 0
    double rotation() const { return rotation_; }
    Status setRotation(double r);
    MTextAttachment attachment() const { return attachment_; }
    Status setAttachment(MTextAttachment a);
    double lineSpacingFactor() const { return lineSpacing_; }
    Status setLineSpacingFactor(double f); // 0.25 .. 4
    ObjectId textStyleId() const { return styleId_; }
    Status setTextStyle(ObjectId styleId);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);

    Status transformBy(const geom::Matrix3d& m) override;
    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d location_;
    std::wstring contents_;
    double height_ = 2.5, width_ = 0, rotation_ = 0, lineSpacing_ = 1;
    MTextAttachment attachment_ = MTextAttachment::topLeft;
    ObjectId styleId_;
    geom::Vector3d normal_{0, 0, 1};
};

enum class HatchPatternType { userDefined = 0, predefined = 1, custom = 2 };

// One boundary loop of a hatch: its edges as curve values, head to tail.
struct HatchLoop {
    enum Flags { external = 1, polyline = 2, derived = 4, textbox = 8, outermost = 16 };
    int flags = external;
    std::vector<geom::Curve> edges;
};

// One family of parallel lines of a hatch pattern, in the hatch's plane and as the file holds
// it (scale and pattern angle already applied): the lines' angle (radians), a point one line
// passes through, the step from one line to the next, and the dashes (a positive length drawn,
// a negative one a gap, 0 a dot; none for a continuous line).
struct HatchPatternLine {
    double angle = 0;
    geom::Point3d base;
    geom::Vector3d offset;
    std::vector<double> dashes;
    bool operator==(const HatchPatternLine&) const = default;
};

// A colour of a gradient fill: the colour itself (0xRRGGBB) and, when the file gave one, the
// nearest index colour (-1 when none).
struct HatchGradientColor {
    std::uint32_t rgb = 0;
    int aci = -1;
    bool operator==(const HatchGradientColor&) const = default;
};

// A gradient fill instead of a pattern: its kind by name ("LINEAR", "CYLINDER", "SPHERICAL",
// "HEMISPHERICAL", "CURVED" and their "INV" forms), the angle (radians), the shift of its
// centre (0 centred, 1 shifted), and one or two colours (one colour fades to `tint`).
struct HatchGradient {
    std::wstring name = L"LINEAR";
    double angle = 0, shift = 0, tint = 0;
    bool oneColor = false;
    std::vector<HatchGradientColor> colors;
    bool operator==(const HatchGradient&) const = default;
};

class Hatch : public Entity {
    ZHOST_DB_OBJECT_COPY(Hatch)
    Hatch() = default;

    ObjectType type() const override { return ObjectType::hatch; }
    const wchar_t* dxfName() const override { return L"HATCH"; }

    const std::wstring& patternName() const { return patternName_; }
    HatchPatternType patternType() const { return patternType_; }
    // "SOLID" makes a solid fill.
    Status setPattern(HatchPatternType type, std::wstring_view name);
    bool isSolidFill() const;
    double patternAngle() const { return patternAngle_; }
    double patternScale() const { return patternScale_; }
    Status setPatternAngle(double a);
    Status setPatternScale(double s); // > 0
    bool associative() const { return associative_; }
    Status setAssociative(bool a);
    double elevation() const { return elevation_; }
    Status setElevation(double e);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);

    // The pattern's line families (empty for a solid fill, or when none were given: the pattern
    // is then known by name only).
    const std::vector<HatchPatternLine>& patternLines() const { return patternLines_; }
    Status setPatternLines(std::vector<HatchPatternLine> lines);
    // A gradient fill (none for a pattern or a plain solid fill). invalidInput without a colour
    // or with more than two.
    const std::optional<HatchGradient>& gradient() const { return gradient_; }
    Status setGradient(std::optional<HatchGradient> g);

    const std::vector<HatchLoop>& loops() const { return loops_; }
    int numLoops() const { return int(loops_.size()); }
    Status appendLoop(const HatchLoop& loop); // invalidInput for a loop without edges
    Status removeLoopAt(int index);

    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    std::wstring patternName_ = L"SOLID";
    HatchPatternType patternType_ = HatchPatternType::predefined;
    double patternAngle_ = 0, patternScale_ = 1, elevation_ = 0;
    bool associative_ = false;
    geom::Vector3d normal_{0, 0, 1};
    std::vector<HatchLoop> loops_;
    std::vector<HatchPatternLine> patternLines_;
    std::optional<HatchGradient> gradient_;
};

// A planar region; the geometry is computed by the kernel (zhost/geom/regions.h) and stored here.
class Region : public Entity {
    ZHOST_DB_OBJECT_COPY(Region)
    Region() = default;
    explicit Region(geom::Region r) : r_(std::move(r)) {}

    ObjectType type() const override { return ObjectType::region; }
    const wchar_t* dxfName() const override { return L"REGION"; }

    const geom::Region& geometry() const { return r_; }
    Status set(const geom::Region& r);

    Status transformBy(const geom::Matrix3d& m) override;
    // Into the boundary curves of every loop (one curve entity per edge).
    Status explode(std::vector<std::unique_ptr<Entity>>& out) const override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Region r_;
};

} // namespace zhost::db

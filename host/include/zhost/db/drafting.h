#pragma once
// Entities of drafting that carry no curve of their own for the host's commands: filled
// quadrilaterals (SOLID, TRACE), 3D faces, and the infinite construction lines (XLINE, RAY).
// Not part of zhost/db/db.h: include it where these kinds are handled.
#include "zhost/db/entity.h"
#include "zhost/geom/point3d.h"

#include <array>

namespace zhost::db {

// A filled triangle or quadrilateral in the plane of its normal. Corners are world points in
// the file's order (the third and fourth corner are the far edge: the outline is 1-2-4-3); a
// triangle repeats its third corner as the fourth.
class Solid : public Entity {
    ZHOST_DB_OBJECT_COPY(Solid)
    Solid() = default;
    explicit Solid(const std::array<geom::Point3d, 4>& corners) : corners_(corners) {}

    ObjectType type() const override { return ObjectType::solid; }
    const wchar_t* dxfName() const override { return L"SOLID"; }

    const std::array<geom::Point3d, 4>& corners() const { return corners_; }
    Status setCorners(const std::array<geom::Point3d, 4>& corners);
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);
    // The corners in drawing order around the outline (1, 2, 4, 3).
    std::array<geom::Point3d, 4> outline() const;

    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    std::array<geom::Point3d, 4> corners_{};
    geom::Vector3d normal_{0, 0, 1};
};

// The same shape as SOLID, written as a TRACE (a wide line segment of old drawings).
class Trace : public Solid {
    ZHOST_DB_OBJECT_COPY(Trace)
    Trace() = default;
    explicit Trace(const std::array<geom::Point3d, 4>& corners) : Solid(corners) {}

    ObjectType type() const override { return ObjectType::trace; }
    const wchar_t* dxfName() const override { return L"TRACE"; }
};

// A three- or four-sided face in space; edges can be hidden (bit 1 << n hides the edge from
// corner n to the next).
class Face : public Entity {
    ZHOST_DB_OBJECT_COPY(Face)
    Face() = default;
    explicit Face(const std::array<geom::Point3d, 4>& corners) : corners_(corners) {}

    ObjectType type() const override { return ObjectType::face; }
    const wchar_t* dxfName() const override { return L"3DFACE"; }

    const std::array<geom::Point3d, 4>& corners() const { return corners_; }
    Status setCorners(const std::array<geom::Point3d, 4>& corners);
    int invisibleEdges() const { return invisibleEdges_; }
    Status setInvisibleEdges(int flags); // 0..15

    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    std::array<geom::Point3d, 4> corners_{};
    int invisibleEdges_ = 0;
};

// A construction line through a point, infinite both ways.
class XLine : public Entity {
    ZHOST_DB_OBJECT_COPY(XLine)
    XLine() = default;
    XLine(const geom::Point3d& base, const geom::Vector3d& direction)
        : base_(base), direction_(direction.normal()) {}

    ObjectType type() const override { return ObjectType::xline; }
    const wchar_t* dxfName() const override { return L"XLINE"; }

    geom::Point3d basePoint() const { return base_; }
    Status setBasePoint(const geom::Point3d& p);
    // A unit vector.
    geom::Vector3d direction() const { return direction_; }
    Status setDirection(const geom::Vector3d& d); // invalidInput for a zero vector

    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d base_;
    geom::Vector3d direction_{1, 0, 0};
};

// A construction line from a point, infinite in its direction.
class Ray : public XLine {
    ZHOST_DB_OBJECT_COPY(Ray)
    Ray() = default;
    Ray(const geom::Point3d& base, const geom::Vector3d& direction) : XLine(base, direction) {}

    ObjectType type() const override { return ObjectType::ray; }
    const wchar_t* dxfName() const override { return L"RAY"; }
};

} // namespace zhost::db

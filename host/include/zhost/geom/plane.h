#pragma once
// A plane given by a point and a unit normal, with the coordinate system the platform attaches to
// it: the origin is the point of the plane nearest the world origin, and the X axis is chosen by
// the arbitrary-axis rule that DXF uses for entity coordinate systems.
#include "zhost/geom/matrix3d.h"

namespace zhost::geom {

class Plane {
public:
    Plane() = default; // the world XY plane
    Plane(const Point3d& point, const Vector3d& normal);

    static Plane xy() { return {}; }

    const Vector3d& normal() const { return normal_; }
    Point3d pointOnPlane() const { return origin_; }
    // The point of the plane nearest the world origin.
    Point3d origin() const { return origin_; }
    // The arbitrary-axis X and Y directions of this plane.
    Vector3d xAxis() const;
    Vector3d yAxis() const { return normal_.cross(xAxis()).normal(); }

    double signedDistanceTo(const Point3d& p) const { return (p - origin_).dot(normal_); }
    Point3d closestPointTo(const Point3d& p) const { return p - normal_ * signedDistanceTo(p); }
    bool isOn(const Point3d& p, const Tol& tol = kDefaultTol) const;

private:
    Point3d origin_{};
    Vector3d normal_{0, 0, 1};
};

// The DXF arbitrary-axis algorithm: the X axis of an entity coordinate system with this normal.
Vector3d arbitraryXAxis(const Vector3d& normal);

} // namespace zhost::geom

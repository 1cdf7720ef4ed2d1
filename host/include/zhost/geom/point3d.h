#pragma once
#include "zhost/geom/vector3d.h"

namespace zhost::geom {

struct Point3d {
    double x = 0, y = 0, z = 0;

    constexpr Point3d() = default;
    constexpr Point3d(double x_, double y_, double z_ = 0) : x(x_), y(y_), z(z_) {}

    static constexpr Point3d origin() { return {}; }

    constexpr Point3d operator+(const Vector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    constexpr Point3d operator-(const Vector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    constexpr Vector3d operator-(const Point3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    Point3d& operator+=(const Vector3d& v) { return *this = *this + v; }
    Point3d& operator-=(const Vector3d& v) { return *this = *this - v; }

    constexpr Vector3d asVector() const { return {x, y, z}; }
    double distanceTo(const Point3d& p) const { return (*this - p).length(); }
    bool isEqualTo(const Point3d& p, const Tol& tol = kDefaultTol) const {
        return distanceTo(p) <= tol.equalPoint;
    }
    static constexpr Point3d midPoint(const Point3d& a, const Point3d& b) {
        return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
    }
    constexpr bool operator==(const Point3d&) const = default;
};

} // namespace zhost::geom

#pragma once
#include "zhost/geom/tol.h"

#include <cmath>

namespace zhost::geom {

struct Vector3d {
    double x = 0, y = 0, z = 0;

    constexpr Vector3d() = default;
    constexpr Vector3d(double x_, double y_, double z_ = 0) : x(x_), y(y_), z(z_) {}

    static constexpr Vector3d xAxis() { return {1, 0, 0}; }
    static constexpr Vector3d yAxis() { return {0, 1, 0}; }
    static constexpr Vector3d zAxis() { return {0, 0, 1}; }

    constexpr Vector3d operator+(const Vector3d& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3d operator-(const Vector3d& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3d operator-() const { return {-x, -y, -z}; }
    constexpr Vector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    constexpr Vector3d operator/(double s) const { return {x / s, y / s, z / s}; }
    Vector3d& operator+=(const Vector3d& o) { return *this = *this + o; }
    Vector3d& operator-=(const Vector3d& o) { return *this = *this - o; }
    Vector3d& operator*=(double s) { return *this = *this * s; }

    constexpr double dot(const Vector3d& o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr Vector3d cross(const Vector3d& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double length() const { return std::sqrt(dot(*this)); }
    constexpr double lengthSqrd() const { return dot(*this); }
    bool isZeroLength(const Tol& tol = kDefaultTol) const { return length() <= tol.equalVector; }

    // A zero vector stays zero rather than becoming NaN.
    Vector3d normal() const {
        const double l = length();
        return l > 0 ? *this / l : Vector3d{};
    }
    // The angle to another vector in [0, pi].
    double angleTo(const Vector3d& o) const { return std::atan2(cross(o).length(), dot(o)); }
    // The signed angle to another vector, counter-clockwise seen from the tip of `ref`.
    double angleTo(const Vector3d& o, const Vector3d& ref) const {
        const double a = angleTo(o);
        return cross(o).dot(ref) < 0 ? -a : a;
    }
    // A vector perpendicular to this one (arbitrary but stable choice).
    Vector3d perpVector() const {
        return std::abs(x) < std::abs(z) ? Vector3d{0, -z, y} : Vector3d{-y, x, 0};
    }
    bool isEqualTo(const Vector3d& o, const Tol& tol = kDefaultTol) const {
        return (*this - o).length() <= tol.equalVector;
    }
    bool isParallelTo(const Vector3d& o, const Tol& tol = kDefaultTol) const {
        const Vector3d a = normal(), b = o.normal();
        return a.cross(b).length() <= tol.equalVector;
    }
    bool isPerpendicularTo(const Vector3d& o, const Tol& tol = kDefaultTol) const {
        return std::abs(normal().dot(o.normal())) <= tol.equalVector;
    }
    constexpr bool operator==(const Vector3d&) const = default;
};

constexpr Vector3d operator*(double s, const Vector3d& v) {
    return v * s;
}

} // namespace zhost::geom

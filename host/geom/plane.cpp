#include "zhost/geom/plane.h"

#include <cmath>

namespace zhost::geom {

Vector3d arbitraryXAxis(const Vector3d& normal) {
    // DXF reference: when the normal is near the world Z axis (both |x| and |y| below 1/64),
    // Ax = Wy x N, otherwise Ax = Wz x N.
    const Vector3d n = normal.normal();
    constexpr double kLimit = 1.0 / 64.0;
    const Vector3d ax = (std::abs(n.x) < kLimit && std::abs(n.y) < kLimit)
                            ? Vector3d::yAxis().cross(n)
                            : Vector3d::zAxis().cross(n);
    return ax.normal();
}

Plane::Plane(const Point3d& point, const Vector3d& normal) : normal_(normal.normal()) {
    if (normal_.isZeroLength())
        normal_ = Vector3d::zAxis();
    const double d = point.asVector().dot(normal_);
    origin_ = Point3d{} + normal_ * d;
}

Vector3d Plane::xAxis() const {
    return arbitraryXAxis(normal_);
}

bool Plane::isOn(const Point3d& p, const Tol& tol) const {
    return std::abs(signedDistanceTo(p)) <= tol.equalPoint;
}

} // namespace zhost::geom

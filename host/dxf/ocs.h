#pragma once
// The object coordinate system of planar entities (the arbitrary-axis algorithm): 2D entities
// store their points in the system whose Z axis is the extrusion direction.
#include "zhost/geom/point3d.h"

#include <cmath>

namespace zhost::dxf {

struct Ocs {
    geom::Vector3d ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
    bool identity = true;

    explicit Ocs(const geom::Vector3d& normal = {0, 0, 1}) {
        geom::Vector3d n = normal.normal();
        if (n.isZeroLength())
            n = {0, 0, 1};
        identity = n.x == 0 && n.y == 0 && n.z > 0;
        if (identity)
            return;
        az = n;
        constexpr double kLimit = 1.0 / 64;
        ax = (std::abs(n.x) < kLimit && std::abs(n.y) < kLimit ? geom::Vector3d{0, 1, 0}.cross(n)
                                                               : geom::Vector3d{0, 0, 1}.cross(n))
                 .normal();
        ay = n.cross(ax).normal();
    }
    geom::Point3d toWorld(const geom::Point3d& p) const {
        if (identity)
            return p;
        return geom::Point3d() + ax * p.x + ay * p.y + az * p.z;
    }
    geom::Point3d fromWorld(const geom::Point3d& p) const {
        if (identity)
            return p;
        const geom::Vector3d v = p.asVector();
        return {v.dot(ax), v.dot(ay), v.dot(az)};
    }
    geom::Vector3d dirToWorld(const geom::Vector3d& v) const {
        return identity ? v : ax * v.x + ay * v.y + az * v.z;
    }
};

constexpr double kPi = 3.14159265358979323846;
inline double toRadians(double deg) {
    return deg * (kPi / 180);
}
inline double toDegrees(double rad) {
    return rad * (180 / kPi);
}

} // namespace zhost::dxf

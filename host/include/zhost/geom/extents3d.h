#pragma once
// An axis-aligned box in world coordinates, empty until a point is added.
#include "zhost/geom/point3d.h"

#include <algorithm>
#include <limits>

namespace zhost::geom {

struct Extents3d {
    static constexpr double kInf = std::numeric_limits<double>::infinity();
    Point3d minPoint{kInf, kInf, kInf};
    Point3d maxPoint{-kInf, -kInf, -kInf};

    bool isEmpty() const { return minPoint.x > maxPoint.x; }
    void addPoint(const Point3d& p) {
        minPoint = {std::min(minPoint.x, p.x), std::min(minPoint.y, p.y),
                    std::min(minPoint.z, p.z)};
        maxPoint = {std::max(maxPoint.x, p.x), std::max(maxPoint.y, p.y),
                    std::max(maxPoint.z, p.z)};
    }
    void addExtents(const Extents3d& e) {
        if (!e.isEmpty()) {
            addPoint(e.minPoint);
            addPoint(e.maxPoint);
        }
    }
    // Grows the box by d on every side.
    void expandBy(double d) {
        minPoint -= Vector3d{d, d, d};
        maxPoint += Vector3d{d, d, d};
    }
    bool intersects(const Extents3d& o) const {
        return minPoint.x <= o.maxPoint.x && o.minPoint.x <= maxPoint.x &&
               minPoint.y <= o.maxPoint.y && o.minPoint.y <= maxPoint.y &&
               minPoint.z <= o.maxPoint.z && o.minPoint.z <= maxPoint.z;
    }
    bool contains(const Point3d& p, double tol = 0) const {
        return p.x >= minPoint.x - tol && p.x <= maxPoint.x + tol && p.y >= minPoint.y - tol &&
               p.y <= maxPoint.y + tol && p.z >= minPoint.z - tol && p.z <= maxPoint.z + tol;
    }
};

} // namespace zhost::geom

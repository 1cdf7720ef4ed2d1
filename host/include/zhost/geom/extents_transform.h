#pragma once
// The box that holds a transformed box: its eight corners transformed. Larger than the
// transformed content's own box under rotation, never smaller, which is what a test "can the
// content be here at all" needs.
#include "zhost/geom/extents3d.h"
#include "zhost/geom/matrix3d.h"

namespace zhost::geom {

inline Extents3d transformedExtents(const Extents3d& box, const Matrix3d& m) {
    Extents3d out;
    if (box.isEmpty())
        return out;
    for (int k = 0; k < 8; ++k)
        out.addPoint(m * Point3d(k & 1 ? box.maxPoint.x : box.minPoint.x,
                                 k & 2 ? box.maxPoint.y : box.minPoint.y,
                                 k & 4 ? box.maxPoint.z : box.minPoint.z));
    return out;
}

} // namespace zhost::geom

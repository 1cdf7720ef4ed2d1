#pragma once
// A planar region as plain data: faces, each an outer loop with hole loops. Loops are closed
// chains of edges, head to tail; outer loops run counter-clockwise about the normal, holes
// clockwise. Regions are built, combined and measured by the kernel (zhost/geom/regions.h); the
// database's region entity stores one of these.
#include "zhost/geom/curve.h"

#include <vector>

namespace zhost::geom {

struct Loop {
    std::vector<Curve> edges; // LineSeg, CircArc, EllipseArc or Spline pieces, or one closed curve
};

struct Face {
    Loop outer;
    std::vector<Loop> holes;
};

struct Region {
    std::vector<Face> faces;
    Vector3d normal{0, 0, 1};
    bool empty() const { return faces.empty(); }
};

} // namespace zhost::geom

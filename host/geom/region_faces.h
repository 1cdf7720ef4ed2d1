#pragma once
// Regions from curves that meet at branch points (three or more ends at one point): the bounded
// faces of the plane graph the curves form. Private to the geom module (region_build.cpp).
#include "zhost/geom/curve.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace zhost::geom::detail {

// A closed walk over curves: (curve index, travelled from its end to its start).
using CurveCycle = std::vector<std::pair<std::size_t, bool>>;

struct BranchFace {
    CurveCycle cycle; // counter-clockwise about normal
    Vector3d normal;
};

// curves are open curves; the ends of curve k (2k its start, 2k + 1 its end) sit at vertex
// vid[2k], vid[2k + 1] (0 .. nv - 1). For every connected group of curves with a branch point,
// sets inBranchGroup for its curves and adds the group's bounded faces: dangling curves are
// dropped, and at each vertex the walk turns as far left as it can (ties by curvature), so each
// face is a smallest area; a curve between two faces bounds both. A group whose curves are not in
// one plane gives nothing.
void branchFaces(const std::vector<const Curve*>& curves, const std::vector<int>& vid, int nv,
                 std::vector<bool>& inBranchGroup, std::vector<BranchFace>& faces);

// The normal of the plane of some curves: that of the first one that is not a line, else the
// plane through the lines, facing +Z where possible (+Z when they are collinear).
Vector3d curvesNormal(const std::vector<const Curve*>& curves);

} // namespace zhost::geom::detail

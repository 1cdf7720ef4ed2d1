#pragma once
// A covering part's outline prepared for many questions: its boundary curves with their boxes,
// to cut a part's curves where they cross the boundary, and a point test that says whether a
// point lies under the outline. Both are analytic (no geometry-kernel round trip per question),
// because one hide run asks them for every curve of every part under the cover.
#include "zhost/geom/curve.h"
#include "zhost/geom/extents3d.h"
#include "zhost/geom/region.h"

#include <vector>

class CCoverOutline {
public:
    // False when the region has no face or its boundary cannot be read.
    bool Set(const zhost::geom::Region& region);

    // The parameters on `curve` where it meets the boundary, neither extended. False when an
    // intersection cannot be computed (the curve is not in the outline's plane, say).
    bool Crossings(const zhost::geom::Curve& curve, std::vector<double>& params) const;

    // Whether the point lies in the outline's plane and inside one of its faces (holes taken
    // out) or on its boundary, all within `tol`. Every face counts, however many the outline
    // falls into.
    bool Covers(const zhost::geom::Point3d& p, double tol) const;

private:
    bool OnBoundary(const zhost::geom::Point3d& p, double tol) const;
    // The number of boundary crossings of a ray from p in the plane; -1 when the ray grazes a
    // boundary end point and another direction should be tried.
    int RayCrossings(const zhost::geom::Point3d& p, double angle) const;

    struct Edge {
        zhost::geom::Curve curve;
        zhost::geom::Extents3d box;
        zhost::geom::Point3d start, end;
    };
    std::vector<Edge> m_edges;
    zhost::geom::Extents3d m_box;
    zhost::geom::Vector3d m_normal, m_u, m_v;
    zhost::geom::Point3d m_origin;
};

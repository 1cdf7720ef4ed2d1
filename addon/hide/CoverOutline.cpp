#include "hide/CoverOutline.h"

#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <cmath>

namespace geom = zhost::geom;

namespace {

// Ray directions for the inside test, in radians from the plane's first axis: far from the
// round angles along which drawn geometry lines up, so that a ray rarely meets a corner.
constexpr double kRayAngles[] = {0.7137, 2.2219, 4.0521, 5.3311};
// A crossing closer than this to a boundary edge's end point counts as grazing that corner.
constexpr double kCornerTol = 1e-7;

} // namespace

bool CCoverOutline::Set(const geom::Region& region) {
    m_edges.clear();
    m_box = geom::Extents3d();
    std::vector<geom::Curve> curves;
    if (region.empty() || !zhost::ok(geom::explodeRegion(region, curves)) || curves.empty())
        return false;
    for (geom::Curve& c : curves) {
        Edge e{std::move(c), {}, {}, {}};
        if (!zhost::ok(geom::extents(e.curve, e.box)))
            return false;
        geom::startPoint(e.curve, e.start);
        geom::endPoint(e.curve, e.end);
        m_box.addExtents(e.box);
        m_edges.push_back(std::move(e));
    }
    m_normal = region.normal.normal();
    m_u = m_normal.perpVector().normal();
    m_v = m_normal.cross(m_u).normal();
    m_origin = m_edges.front().start;
    return true;
}

bool CCoverOutline::Crossings(const geom::Curve& curve, std::vector<double>& params) const {
    params.clear();
    geom::Extents3d box;
    if (!zhost::ok(geom::extents(curve, box)))
        return false;
    box.expandBy(1e-9);
    std::vector<geom::IntersectionPoint> points;
    for (const Edge& e : m_edges) {
        if (!box.intersects(e.box))
            continue;
        if (!zhost::ok(geom::intersectWith(curve, e.curve, points)))
            return false;
        for (const geom::IntersectionPoint& ip : points)
            params.push_back(ip.paramOnFirst);
    }
    return true;
}

bool CCoverOutline::OnBoundary(const geom::Point3d& p, double tol) const {
    for (const Edge& e : m_edges) {
        if (!e.box.contains(p, tol))
            continue;
        geom::Point3d nearest;
        if (zhost::ok(geom::closestPointTo(e.curve, p, nearest)) && (nearest - p).length() <= tol)
            return true;
    }
    return false;
}

int CCoverOutline::RayCrossings(const geom::Point3d& p, double angle) const {
    const geom::Vector3d dir = m_u * std::cos(angle) + m_v * std::sin(angle);
    const geom::Vector3d diagonal = m_box.maxPoint - m_box.minPoint;
    const double reach = diagonal.length() + (p - m_box.minPoint).length() + 1;
    const geom::Curve ray = geom::LineSeg{p, p + dir * reach};
    std::vector<geom::IntersectionPoint> points;
    int count = 0;
    for (const Edge& e : m_edges) {
        if (!zhost::ok(geom::intersectWith(ray, e.curve, points)))
            return -1;
        for (const geom::IntersectionPoint& ip : points) {
            if ((ip.point - e.start).length() <= kCornerTol ||
                (ip.point - e.end).length() <= kCornerTol)
                return -1;
        }
        count += int(points.size());
    }
    return count;
}

bool CCoverOutline::Covers(const geom::Point3d& p, double tol) const {
    if (m_edges.empty() || std::fabs((p - m_origin).dot(m_normal)) > tol)
        return false;
    // Into the plane, so that the box and the ray work in it.
    const geom::Point3d q = p - m_normal * (p - m_origin).dot(m_normal);
    if (!m_box.contains(q, tol))
        return false;
    if (OnBoundary(q, tol))
        return true;
    for (double angle : kRayAngles) {
        const int n = RayCrossings(q, angle);
        if (n >= 0)
            return n % 2 == 1;
    }
    return false;
}

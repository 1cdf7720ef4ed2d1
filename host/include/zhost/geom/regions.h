#pragma once
// Regions: building them from curves, Booleans, point classification, explode, and the region
// around a point bounded by curves. Loops of the regions made here are oriented: outer loops
// counter-clockwise about the region's normal, holes clockwise. Never throws.
#include "zhost/core/status.h"
#include "zhost/geom/matrix3d.h"
#include "zhost/geom/region.h"

#include <cstddef>
#include <vector>

namespace zhost::geom {

// Every closed curve (circle, closed ellipse/spline/polyline) and every closed chain of open
// curves meeting end to end (within tol) becomes a region of one face without holes. Where three
// or more ends meet (branch points), each smallest area the curves enclose becomes a region, so
// a curve between two such areas bounds both; dangling curves are left out. Curves are assumed
// to meet only at their ends (crossings are not split). usedCurves[i] lists the indices of the
// input curves that make region i. noRegion when nothing closed was found; outOfRange (and no
// regions) when a curve reaches beyond the coordinate range (coordinate_range.h).
Status regionsFromCurves(const std::vector<Curve>& curves, std::vector<Region>& regions,
                         std::vector<std::vector<std::size_t>>* usedCurves = nullptr,
                         double tol = 1e-8);

// Re-orients every loop (outer counter-clockwise about the normal, holes clockwise).
Status orientRegion(Region& r);
// Signed-area-free sizes: the area of a region (holes taken off).
Status regionArea(const Region& r, double& area);
Status transformRegion(const Region& r, const Matrix3d& m, Region& out);

// Booleans through the kernel. fuzzy > 0 merges boundaries closer than that distance. The
// result may have several faces; an empty result is a Region with no faces (status ok).
Status unite(const Region& a, const Region& b, Region& out, double fuzzy = 0);
Status subtract(const Region& a, const Region& b, Region& out, double fuzzy = 0);
// One subtraction with many tools (far faster than one tool at a time).
Status subtract(const Region& a, const std::vector<Region>& tools, Region& out, double fuzzy = 0);

enum class PointClass { inside, on, outside };
// Where a point lies relative to the region (its plane's projection of the point).
Status classifyPoint(const Region& r, const Point3d& p, PointClass& where, double tol = 1e-7);

// The boundary curves of every loop, in loop order.
Status explodeRegion(const Region& r, std::vector<Curve>& curves);

// The smallest area around p bounded by the curves (in the plane through p with the normal):
// islands inside it become holes, dangling curves are ignored, crossing and touching curves
// split one another. noRegion when p lies on a curve (within tol) or nothing encloses it.
Status regionAtPoint(const std::vector<Curve>& curves, const Point3d& p, Region& out,
                     const Vector3d& normal = Vector3d::zAxis(), double tol = 1e-7);
// The same area as separate regions: first the outer loop alone, then each island's outer loop
// (the way the boundary command makes regions).
Status boundaryRegionsAtPoint(const std::vector<Curve>& curves, const Point3d& p,
                              std::vector<Region>& out, const Vector3d& normal = Vector3d::zAxis(),
                              double tol = 1e-7);

} // namespace zhost::geom

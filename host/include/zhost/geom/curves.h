#pragma once
// Computations on curves (zhost/geom/curve.h). Every function returns a Status and never throws.
//
// Parameters follow the platform's curve classes:
//   LineSeg     0 .. length (the parameter is the distance from the start point)
//   CircArc     start angle .. end angle in radians; the start angle is normalised to [0, 2pi)
//               and the end angle is start + sweep with the sweep in (0, 2pi]
//   Circle      0 .. 2pi, angle from the X axis of the circle's arbitrary-axis system
//   EllipseArc  start parameter .. end parameter (end above start, 2pi added when needed)
//   Polyline    0 .. number of segments; vertex i sits at parameter i and the fraction runs
//               linearly with length along a straight segment and with angle along an arc
//   Spline      the knot range
// Offsets: a positive distance moves a curve to the RIGHT of its direction of travel seen from
// the tip of its normal, so a counter-clockwise circle, arc or closed polyline grows; a negative
// distance moves it to the left.
#include "zhost/core/status.h"
#include "zhost/geom/curve.h"
#include "zhost/geom/extents3d.h"
#include "zhost/geom/matrix3d.h"

#include <vector>

namespace zhost::geom {

// Points closer than this count as lying on a curve in paramAtPoint and closestPointTo.
inline constexpr double kOnCurveTol = 1e-7;

// invalidInput / degenerateGeometry when the curve cannot be computed with (zero-length line,
// zero radius, polyline with fewer than two distinct vertices, spline without poles, ...).
Status validate(const Curve& c);
bool isClosed(const Curve& c);
// The normal of the curve's plane; lines and non-planar splines report +Z when they are in the
// XY plane and otherwise a normal perpendicular to them.
Vector3d curveNormal(const Curve& c);

Status paramRange(const Curve& c, double& startParam, double& endParam);
Status startPoint(const Curve& c, Point3d& p);
Status endPoint(const Curve& c, Point3d& p);
Status pointAtParam(const Curve& c, double param, Point3d& p);
// outOfRange when the point is farther than tol from the curve.
Status paramAtPoint(const Curve& c, const Point3d& p, double& param, double tol = kOnCurveTol);
Status firstDeriv(const Curve& c, double param, Vector3d& d);
Status secondDeriv(const Curve& c, double param, Vector3d& d);

Status length(const Curve& c, double& len);
Status distAtParam(const Curve& c, double param, double& dist); // length from the start
Status lengthBetween(const Curve& c, double param0, double param1, double& len);
Status paramAtDist(const Curve& c, double dist, double& param);
Status pointAtDist(const Curve& c, double dist, Point3d& p);

// The nearest point of the curve (end points included), and its parameter when asked.
Status closestPointTo(const Curve& c, const Point3d& p, Point3d& nearest, double* param = nullptr);
Status extents(const Curve& c, Extents3d& ext);

// The curve mapped by m. Circles and arcs stay circular under uniform scales (a mirror keeps
// the normal's side and reverses the arc); other scales give ellipses. Polylines with arc
// segments accept only uniform scales (notApplicable otherwise).
Status transformed(const Curve& c, const Matrix3d& m, Curve& out);
// The same points travelled the other way; arcs keep their normal and swap their ends; polyline
// bulges change sign and move to the other vertex.
Status reversed(const Curve& c, Curve& out);

struct IntersectionPoint {
    Point3d point;
    double paramOnFirst = 0;
    double paramOnSecond = 0;
};
// The points where two curves meet, neither extended. An overlap contributes its end points.
// notApplicable when the curves are not in one plane.
Status intersectWith(const Curve& a, const Curve& b, std::vector<IntersectionPoint>& points,
                     double tol = 1e-9);

// The pieces between consecutive parameters (sorted, repeats and the curve's own end parameters
// dropped). A closed curve split at k inner parameters gives k pieces, the last one running
// across the seam; an open one gives k + 1.
Status splitAtParams(const Curve& c, std::vector<double> params, std::vector<Curve>& pieces);

// An offset by a signed distance (positive to the right, see above). Lines, arcs, circles and
// polylines only; an arc or circle whose radius would vanish gives degenerateGeometry, a copy
// beyond the coordinate range (coordinate_range.h) outOfRange; `out` is then unchanged.
Status offset(const Curve& c, double distance, Curve& out);
// Both sides at once: out[0] at +distance, out[1] at -distance.
Status offsetBothSides(const Curve& c, double distance, std::vector<Curve>& out);

// A polyline's segments as LineSeg and CircArc. Arcs carry the polyline's normal; a segment with
// a negative bulge becomes an arc from the segment's end to its start. Zero-length segments are
// skipped.
Status explode(const Polyline& pl, std::vector<Curve>& pieces);

} // namespace zhost::geom

#pragma once
// Small geometric helpers of the database: entity coordinate systems and transforming curve
// values by a matrix.
#include "zhost/core/status.h"
#include "zhost/geom/curve.h"
#include "zhost/geom/matrix3d.h"
#include "zhost/geom/plane.h"

namespace zhost::db::gu {

inline constexpr double kTwoPi = 6.283185307179586;

// The point at `angle` on a circle in the arbitrary-axis system of `normal`.
geom::Point3d pointAtAngle(const geom::Point3d& c, double r, double angle,
                           const geom::Vector3d& normal);
// The angle of a direction in the arbitrary-axis system of `normal`, in [0, 2pi).
double angleOf(const geom::Vector3d& dir, const geom::Vector3d& normal);
double normalizeAngle(double a); // into [0, 2pi)

// Uniform scale factor of a matrix whose linear part is a similarity; false otherwise.
bool similarityScale(const geom::Matrix3d& m, double& scale);

// Transforms circle-like pieces (notApplicable under non-similar matrices) and free-form ones.
Status transformArc(geom::CircArc& a, const geom::Matrix3d& m);
Status transformCircle(geom::Circle& c, const geom::Matrix3d& m);
Status transformEllipse(geom::EllipseArc& e, const geom::Matrix3d& m);
Status transformPolyline(geom::Polyline& p, const geom::Matrix3d& m);
Status transformSpline(geom::Spline& s, const geom::Matrix3d& m);
Status transformCurve(geom::Curve& c, const geom::Matrix3d& m);

// The arc of a polyline segment with a bulge (false for a straight segment).
bool bulgeArc(const geom::Point3d& a, const geom::Point3d& b, double bulge,
              const geom::Vector3d& normal, geom::CircArc& out);

} // namespace zhost::db::gu

namespace zhost::db::gu {
// The image of an ellipse (or of a circle given as an ellipse of ratio 1) under any non-singular
// affine matrix: conjugate diameters turned back into principal axes.
Status affineEllipse(geom::EllipseArc& e, const geom::Matrix3d& m);
} // namespace zhost::db::gu

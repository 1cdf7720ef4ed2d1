#pragma once
// Area properties of a region in a coordinate system of its plane. Lines and circular arcs are
// integrated exactly (Green's theorem about a reference point near the region); regions with
// ellipse or spline edges go through the kernel's surface integration.
#include "zhost/core/status.h"
#include "zhost/geom/region.h"

namespace zhost::geom {

struct AreaProperties {
    Status status = Status::notApplicable;
    double perimeter = 0; // all loops, holes included
    double area = 0;
    Point3d centroid;      // in the given system (z = 0)
    Point3d centroidWorld; // the same point in world coordinates
    // Second moments about the given axes through the origin: [0] = Ixx = ∫y² dA (about the X
    // axis), [1] = Iyy = ∫x² dA.
    double momInertia[2] = {0, 0};
    double prodInertia = 0; // ∫xy dA
    // About the centroid: principal moments and their axes (unit, in the given system). Axis 0
    // is the one nearer the X axis (X itself when the moments are equal), moment 0 is the
    // moment about it, so an upright rectangle gives [0] = b h³/12.
    double prinMoments[2] = {0, 0};
    Vector3d prinAxes[2];
    double radiiGyration[2] = {0, 0}; // sqrt(momInertia / area)
    Point3d extentsLow, extentsHigh;  // in the given system
};

// origin, xAxis, yAxis: the 2D system (the axes must lie in the region's plane and are made
// unit; they need not be orthogonal to the normal's X axis).
AreaProperties areaProperties(const Region& r, const Point3d& origin, const Vector3d& xAxis,
                              const Vector3d& yAxis);
// The same with the origin at the centroid and the axes of the region's plane system.
AreaProperties areaPropertiesAboutCentroid(const Region& r);
// The kernel's surface integration for every edge kind (slower; the reference in tests).
AreaProperties referenceAreaProperties(const Region& r, const Point3d& origin,
                                       const Vector3d& xAxis, const Vector3d& yAxis);

} // namespace zhost::geom

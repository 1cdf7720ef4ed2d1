#pragma once
// The range of coordinates the geometry computes with. Beyond 1e15 a double keeps less than a
// tenth of a unit, tolerances lose their meaning and integer grid cells overflow; such input is
// refused with outOfRange rather than computed wrongly.
#include "zhost/core/status.h"
#include "zhost/geom/curve.h"
#include "zhost/geom/extents3d.h"

namespace zhost::geom {

inline constexpr double kMaxCoordinate = 1e15;

// True when every coordinate is finite and within ±kMaxCoordinate.
inline bool withinCoordinateRange(const Point3d& p) {
    auto fine = [](double v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; }; // NaN fails
    return fine(p.x) && fine(p.y) && fine(p.z);
}
inline bool withinCoordinateRange(const Extents3d& e) {
    return !e.isEmpty() && withinCoordinateRange(e.minPoint) && withinCoordinateRange(e.maxPoint);
}

// ok, outOfRange when the curve reaches beyond the range or is not finite, or the curve's own
// validation failure.
Status checkCoordinateRange(const Curve& c);

} // namespace zhost::geom

#pragma once
// The current user coordinate system and conversions between coordinate systems (acedTrans).
// Prompts take and give points in UCS coordinates, as on the platform; the database stores world
// coordinates.
#include "zhost/editor/result.h"
#include "zhost/geom/matrix3d.h"

namespace zhost::ed {

struct Ucs {
    geom::Point3d origin;
    geom::Vector3d xAxis{1, 0, 0};
    geom::Vector3d yAxis{0, 1, 0};
    geom::Vector3d zAxis() const { return xAxis.cross(yAxis).normal(); }
};

Ucs currentUcs();
// The axes are made orthonormal (y is re-derived from x and z); rejected for parallel axes.
Result setCurrentUcs(const Ucs& ucs);
// UCS coordinates → world, and back.
geom::Matrix3d ucsToWorld();
geom::Matrix3d worldToUcs();
// The angle of the UCS X axis to the world X axis (radians, about world Z).
double ucsXAngle();

// Coordinate systems for trans() (the platform's RTSHORT codes): 0 world, 1 user (current UCS),
// 2 display (equal to the UCS here: the view looks straight down), 3 paper space display.
namespace coord {
inline constexpr int world = 0;
inline constexpr int ucs = 1;
inline constexpr int display = 2;
inline constexpr int paperDisplay = 3;
} // namespace coord

// acedTrans: transforms a point (or, with `displacement`, a vector) from one system to another.
// rejected for an unknown system code.
Result trans(const geom::Point3d& in, int from, int to, bool displacement, geom::Point3d& out);
geom::Point3d ucsToWcs(const geom::Point3d& p);
geom::Point3d wcsToUcs(const geom::Point3d& p);

} // namespace zhost::ed

#pragma once
// Object snaps: a picked point drawn to the exact endpoint, midpoint, centre, quadrant or
// intersection of the geometry under the cursor, or to the nearest point on it. OSMODE holds the
// running snaps as the platform's bits (16384 turns them all off without forgetting them, which
// is what F3 toggles); APERTURE is the reach in pixels, turned into drawing units by the view
// scale. Picks at point prompts and cursor moves of a drag snap; typed coordinates never do.
#include "zhost/geom/curve.h"
#include "zhost/geom/point3d.h"

#include <optional>
#include <vector>

namespace zhost::ed {

// OSMODE bits. Only the ones named in SnapKind are computed; the others are kept as set.
namespace osmode {
inline constexpr int endpoint = 1;
inline constexpr int midpoint = 2;
inline constexpr int center = 4;
inline constexpr int node = 8;
inline constexpr int quadrant = 16;
inline constexpr int intersection = 32;
inline constexpr int insertion = 64;
inline constexpr int perpendicular = 128;
inline constexpr int tangent = 256;
inline constexpr int nearest = 512;
inline constexpr int extension = 4096;
inline constexpr int suppressed = 16384; // running snaps off (F3)
} // namespace osmode

enum class SnapKind { endpoint, midpoint, center, quadrant, intersection, nearest };

struct Snap {
    geom::Point3d point; // world
    SnapKind kind = SnapKind::nearest;
};

// The best snap of `cursor` (world) onto `curves` within `aperture` drawing units (measured in
// the XY plane), for the OSMODE bits in `modes`: the candidate nearest to the cursor among the
// exact kinds; the nearest point on a curve only when no exact point is in reach.
std::optional<Snap> snapToCurves(const std::vector<geom::Curve>& curves,
                                 const geom::Point3d& cursor, double aperture, int modes);

// The running snap modes: OSMODE, or 0 while it carries the suppressed bit.
int runningSnapModes();
// APERTURE pixels in drawing units at the current view scale.
double snapAperture();
// The snap of a world point onto the visible drawing with the running modes, as a pick at a
// point prompt takes it.
std::optional<Snap> objectSnap(const geom::Point3d& cursor);

// SNAPMODE 1 puts picked and dragged points on the snap grid: the points SNAPBASE + i x SNAPUNIT's
// x along the direction SNAPANG (radians from the UCS X axis) + j x SNAPUNIT's y across it, all
// in the UCS. An object snap in reach wins over the grid; ORTHO holds the result afterwards.
struct SnapGrid {
    geom::Point3d base; // UCS
    double unitX = 10, unitY = 10;
    double angle = 0;
};
// The grid point nearest to a UCS point (its Z kept).
geom::Point3d gridPoint(const geom::Point3d& ucsPoint, const SnapGrid& grid);
// SNAPBASE, SNAPUNIT and SNAPANG while SNAPMODE is 1.
std::optional<SnapGrid> runningSnapGrid();

// Where a picked or dragged cursor point (UCS) lands before ORTHO: on the running object snap in
// reach (when `objectSnaps`), else on the snap grid, else where it is. `snap` gets the object
// snap that placed it, and stays empty otherwise. Typed points never come here.
geom::Point3d landedPoint(const geom::Point3d& ucsPoint, bool objectSnaps,
                          std::optional<Snap>& snap);

// ORTHOMODE: a point held to the UCS axis through `base` nearer to it (both UCS points).
geom::Point3d orthoPoint(const geom::Point3d& p, const geom::Point3d& base);
bool orthoModeOn();

} // namespace zhost::ed

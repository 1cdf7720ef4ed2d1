// The current UCS and conversions between coordinate systems.
#include "editor_state.h"

#include "zhost/editor/ucs.h"

#include <cmath>

namespace zhost::ed {

using detail::state;

Ucs currentUcs() {
    return state().ucs;
}

Result setCurrentUcs(const Ucs& ucs) {
    const geom::Vector3d x = ucs.xAxis.normal();
    const geom::Vector3d z = x.cross(ucs.yAxis).normal();
    if (x.isZeroLength() || z.isZeroLength())
        return Result::rejected;
    state().ucs = Ucs{ucs.origin, x, z.cross(x).normal()};
    return Result::normal;
}

geom::Matrix3d ucsToWorld() {
    const Ucs& u = state().ucs;
    return geom::Matrix3d::alignCoordSys(geom::Point3d(), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, u.origin,
                                         u.xAxis, u.yAxis, u.zAxis());
}

geom::Matrix3d worldToUcs() {
    return ucsToWorld().inverse();
}

double ucsXAngle() {
    const geom::Vector3d x = state().ucs.xAxis;
    return std::atan2(x.y, x.x);
}

Result trans(const geom::Point3d& in, int from, int to, bool displacement, geom::Point3d& out) {
    if (from < 0 || from > 3 || to < 0 || to > 3)
        return Result::rejected;
    // Display coordinates equal the UCS: the single view looks straight down its Z axis.
    auto toWorld = [&](const geom::Point3d& p) {
        if (from == coord::world)
            return p;
        const geom::Matrix3d m = ucsToWorld();
        return displacement ? geom::Point3d() + m * p.asVector() : m * p;
    };
    const geom::Point3d w = toWorld(in);
    if (to == coord::world) {
        out = w;
    } else {
        const geom::Matrix3d m = worldToUcs();
        out = displacement ? geom::Point3d() + m * w.asVector() : m * w;
    }
    return Result::normal;
}

geom::Point3d ucsToWcs(const geom::Point3d& p) {
    return ucsToWorld() * p;
}
geom::Point3d wcsToUcs(const geom::Point3d& p) {
    return worldToUcs() * p;
}

} // namespace zhost::ed

#include "zhost/db/drafting.h"

#include "zhost/db/dump.h"

#include <cmath>

namespace zhost::db {

using geom::Point3d;
using geom::Vector3d;

namespace {

bool finite(const Point3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool finiteCorners(const std::array<Point3d, 4>& c) {
    return finite(c[0]) && finite(c[1]) && finite(c[2]) && finite(c[3]);
}

bool validDirection(const Vector3d& n) {
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) && !n.isZeroLength();
}

void dumpCorners(DumpWriter& out, const std::array<Point3d, 4>& c) {
    out.field(L"corner1", c[0]);
    out.field(L"corner2", c[1]);
    out.field(L"corner3", c[2]);
    out.field(L"corner4", c[3]);
}

} // namespace

// --- Solid, Trace ------------------------------------------------------------------------------

Status Solid::setCorners(const std::array<Point3d, 4>& corners) {
    if (!finiteCorners(corners))
        return Status::invalidInput;
    return writeField(corners_, corners);
}

Status Solid::setNormal(const Vector3d& n) {
    if (!validDirection(n))
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

std::array<Point3d, 4> Solid::outline() const {
    return {corners_[0], corners_[1], corners_[3], corners_[2]};
}

Status Solid::transformBy(const geom::Matrix3d& m) {
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    for (Point3d& p : corners_)
        p = m * p;
    const Vector3d n = (m * normal_).normal();
    if (!n.isZeroLength())
        normal_ = n;
    return Status::ok;
}

void Solid::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    dumpCorners(out, corners_);
    out.field(L"normal", normal_);
}

// --- Face --------------------------------------------------------------------------------------

Status Face::setCorners(const std::array<Point3d, 4>& corners) {
    if (!finiteCorners(corners))
        return Status::invalidInput;
    return writeField(corners_, corners);
}

Status Face::setInvisibleEdges(int flags) {
    if (flags < 0 || flags > 15)
        return Status::invalidInput;
    return writeField(invisibleEdges_, flags);
}

Status Face::transformBy(const geom::Matrix3d& m) {
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    for (Point3d& p : corners_)
        p = m * p;
    return Status::ok;
}

void Face::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    dumpCorners(out, corners_);
    out.field(L"invisible edges", invisibleEdges_);
}

// --- XLine, Ray --------------------------------------------------------------------------------

Status XLine::setBasePoint(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(base_, p);
}

Status XLine::setDirection(const Vector3d& d) {
    if (!validDirection(d))
        return Status::invalidInput;
    return writeField(direction_, d.normal());
}

Status XLine::transformBy(const geom::Matrix3d& m) {
    const Vector3d d = m * direction_;
    if (!validDirection(d))
        return Status::notApplicable; // a projection that flattens the line to a point
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    base_ = m * base_;
    direction_ = d.normal();
    return Status::ok;
}

void XLine::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"base point", base_);
    out.field(L"direction", direction_);
}

} // namespace zhost::db

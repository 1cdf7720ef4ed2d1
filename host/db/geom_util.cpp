#include "geom_util.h"

#include <cmath>

namespace zhost::db::gu {

using geom::Point3d;
using geom::Vector3d;

namespace {
Vector3d yAxisOf(const Vector3d& n) {
    return n.normal().cross(geom::arbitraryXAxis(n)).normal();
}
} // namespace

double normalizeAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0)
        a += kTwoPi;
    if (a >= kTwoPi)
        a = 0;
    return a;
}

Point3d pointAtAngle(const Point3d& c, double r, double angle, const Vector3d& n) {
    const Vector3d x = geom::arbitraryXAxis(n), y = yAxisOf(n);
    return c + (x * std::cos(angle) + y * std::sin(angle)) * r;
}

double angleOf(const Vector3d& dir, const Vector3d& n) {
    const Vector3d x = geom::arbitraryXAxis(n), y = yAxisOf(n);
    return normalizeAngle(std::atan2(dir.dot(y), dir.dot(x)));
}

bool similarityScale(const geom::Matrix3d& m, double& scale) {
    if (!m.isUniScaledOrtho(geom::Tol{1e-9, 1e-9}))
        return false;
    scale = (m * Vector3d::xAxis()).length();
    return scale > 0;
}

Status transformArc(geom::CircArc& a, const geom::Matrix3d& m) {
    double s;
    if (!similarityScale(m, s))
        return Status::notApplicable;
    Point3d p0 = m * pointAtAngle(a.center, a.radius, a.startAngle, a.normal);
    Point3d p1 = m * pointAtAngle(a.center, a.radius, a.endAngle, a.normal);
    if (m.determinant() < 0)
        std::swap(p0, p1); // a mirror reverses the sense of travel
    a.center = m * a.center;
    a.radius *= s;
    a.normal = (m * a.normal).normal();
    a.startAngle = angleOf(p0 - a.center, a.normal);
    a.endAngle = angleOf(p1 - a.center, a.normal);
    return Status::ok;
}

Status transformCircle(geom::Circle& c, const geom::Matrix3d& m) {
    double s;
    if (!similarityScale(m, s))
        return Status::notApplicable;
    c.center = m * c.center;
    c.radius *= s;
    c.normal = (m * c.normal).normal();
    return Status::ok;
}

Status transformEllipse(geom::EllipseArc& e, const geom::Matrix3d& m) {
    double s;
    if (!similarityScale(m, s))
        return Status::notApplicable;
    e.center = m * e.center;
    e.majorAxis = m * e.majorAxis;
    e.normal = (m * e.normal).normal();
    if (m.determinant() < 0) {
        // The minor axis flips against normal x major: the parameters run the other way.
        const double s0 = e.startParam, s1 = e.endParam;
        const bool full = std::abs(s1 - s0 - kTwoPi) < 1e-12;
        if (!full) {
            e.startParam = normalizeAngle(-s1);
            e.endParam = normalizeAngle(-s0);
            if (e.endParam <= e.startParam)
                e.endParam += kTwoPi;
        }
    }
    return Status::ok;
}

Status transformPolyline(geom::Polyline& p, const geom::Matrix3d& m) {
    bool hasBulge = false;
    for (double b : p.bulges)
        hasBulge = hasBulge || b != 0;
    double s;
    if (hasBulge && !similarityScale(m, s))
        return Status::notApplicable;
    const Vector3d n = (m * p.normal).normal();
    if (n.isZeroLength())
        return Status::notApplicable;
    for (Point3d& q : p.points)
        q = m * q;
    p.normal = n;
    if (m.determinant() < 0)
        for (double& b : p.bulges)
            b = -b;
    return Status::ok;
}

Status transformSpline(geom::Spline& sp, const geom::Matrix3d& m) {
    for (Point3d& q : sp.controlPoints)
        q = m * q;
    for (Point3d& q : sp.fitPoints)
        q = m * q;
    return Status::ok;
}

Status transformCurve(geom::Curve& c, const geom::Matrix3d& m) {
    return std::visit(
        [&](auto& g) -> Status {
            using T = std::decay_t<decltype(g)>;
            if constexpr (std::is_same_v<T, geom::LineSeg>) {
                g.start = m * g.start;
                g.end = m * g.end;
                return Status::ok;
            } else if constexpr (std::is_same_v<T, geom::CircArc>) {
                return transformArc(g, m);
            } else if constexpr (std::is_same_v<T, geom::Circle>) {
                return transformCircle(g, m);
            } else if constexpr (std::is_same_v<T, geom::EllipseArc>) {
                return transformEllipse(g, m);
            } else if constexpr (std::is_same_v<T, geom::Polyline>) {
                return transformPolyline(g, m);
            } else {
                return transformSpline(g, m);
            }
        },
        c);
}

bool bulgeArc(const Point3d& a, const Point3d& b, double bulge, const Vector3d& normal,
              geom::CircArc& out) {
    if (bulge == 0 || a.isEqualTo(b))
        return false;
    const Vector3d n = normal.normal();
    const Vector3d chord = b - a;
    const double c = chord.length();
    // Radius and signed offset of the centre from the chord midpoint along the chord's left
    // normal (the classic bulge formulas; the sign of the bulge picks the side).
    const double r = c * (1 + bulge * bulge) / (4 * std::abs(bulge));
    const double offset = c * (1 - bulge * bulge) / (4 * bulge);
    const Vector3d left = n.cross(chord).normal();
    const Point3d center = Point3d::midPoint(a, b) + left * offset;
    out.center = center;
    out.radius = r;
    out.normal = n;
    if (bulge > 0) {
        out.startAngle = angleOf(a - center, n);
        out.endAngle = angleOf(b - center, n);
    } else {
        out.startAngle = angleOf(b - center, n);
        out.endAngle = angleOf(a - center, n);
    }
    return true;
}

} // namespace zhost::db::gu

namespace zhost::db::gu {

Status affineEllipse(geom::EllipseArc& e, const geom::Matrix3d& m) {
    const Vector3d minor = e.normal.normal().cross(e.majorAxis) * e.radiusRatio;
    const Vector3d p = m * e.majorAxis, q = m * minor;
    const Vector3d n = p.cross(q);
    if (n.isZeroLength())
        return Status::degenerateGeometry;
    const double t0 = 0.5 * std::atan2(2 * p.dot(q), p.dot(p) - q.dot(q));
    const Vector3d a = p * std::cos(t0) + q * std::sin(t0);
    const Vector3d b = q * std::cos(t0) - p * std::sin(t0);
    const bool full = std::abs(e.endParam - e.startParam - kTwoPi) < 1e-12;
    e.center = m * e.center;
    e.majorAxis = a;
    e.normal = n.normal();
    e.radiusRatio = b.length() / a.length();
    if (!full) {
        e.startParam = normalizeAngle(e.startParam - t0);
        e.endParam = normalizeAngle(e.endParam - t0);
        if (e.endParam <= e.startParam)
            e.endParam += kTwoPi;
    }
    return Status::ok;
}

} // namespace zhost::db::gu

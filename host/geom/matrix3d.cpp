#include "zhost/geom/matrix3d.h"

#include <cmath>

namespace zhost::geom {

Matrix3d Matrix3d::translation(const Vector3d& v) {
    Matrix3d m;
    m(0, 3) = v.x;
    m(1, 3) = v.y;
    m(2, 3) = v.z;
    return m;
}

Matrix3d Matrix3d::rotation(double angle, const Vector3d& axis, const Point3d& center) {
    const Vector3d u = axis.normal();
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    Matrix3d r;
    r(0, 0) = t * u.x * u.x + c;
    r(0, 1) = t * u.x * u.y - s * u.z;
    r(0, 2) = t * u.x * u.z + s * u.y;
    r(1, 0) = t * u.x * u.y + s * u.z;
    r(1, 1) = t * u.y * u.y + c;
    r(1, 2) = t * u.y * u.z - s * u.x;
    r(2, 0) = t * u.x * u.z - s * u.y;
    r(2, 1) = t * u.y * u.z + s * u.x;
    r(2, 2) = t * u.z * u.z + c;
    return translation(center.asVector()) * r * translation(-center.asVector());
}

Matrix3d Matrix3d::scaling(double factor, const Point3d& center) {
    return scaling(Vector3d{factor, factor, factor}, center);
}

Matrix3d Matrix3d::scaling(const Vector3d& f, const Point3d& center) {
    Matrix3d s;
    s(0, 0) = f.x;
    s(1, 1) = f.y;
    s(2, 2) = f.z;
    return translation(center.asVector()) * s * translation(-center.asVector());
}

Matrix3d Matrix3d::mirroring(const Point3d& p, const Vector3d& dir) {
    const Vector3d d = Vector3d{dir.x, dir.y, 0}.normal();
    Matrix3d m;
    m(0, 0) = d.x * d.x - d.y * d.y;
    m(0, 1) = 2 * d.x * d.y;
    m(1, 0) = 2 * d.x * d.y;
    m(1, 1) = d.y * d.y - d.x * d.x;
    return translation(p.asVector()) * m * translation(-p.asVector());
}

Matrix3d Matrix3d::alignCoordSys(const Point3d& fo, const Vector3d& fx, const Vector3d& fy,
                                 const Vector3d& fz, const Point3d& to, const Vector3d& tx,
                                 const Vector3d& ty, const Vector3d& tz) {
    Matrix3d toWorld;
    for (int r = 0; r < 3; ++r) {
        toWorld(r, 0) = r == 0 ? tx.x : r == 1 ? tx.y : tx.z;
        toWorld(r, 1) = r == 0 ? ty.x : r == 1 ? ty.y : ty.z;
        toWorld(r, 2) = r == 0 ? tz.x : r == 1 ? tz.y : tz.z;
    }
    toWorld(0, 3) = to.x;
    toWorld(1, 3) = to.y;
    toWorld(2, 3) = to.z;
    return toWorld * worldToCoordSys(fo, fx, fy, fz);
}

Matrix3d Matrix3d::worldToCoordSys(const Point3d& o, const Vector3d& x, const Vector3d& y,
                                   const Vector3d& z) {
    Matrix3d fromWorld;
    for (int r = 0; r < 3; ++r) {
        fromWorld(r, 0) = r == 0 ? x.x : r == 1 ? y.x : z.x;
        fromWorld(r, 1) = r == 0 ? x.y : r == 1 ? y.y : z.y;
        fromWorld(r, 2) = r == 0 ? x.z : r == 1 ? y.z : z.z;
    }
    // When the axes are not orthonormal the plain transpose is not the inverse.
    Matrix3d axes;
    axes(0, 0) = x.x, axes(1, 0) = x.y, axes(2, 0) = x.z;
    axes(0, 1) = y.x, axes(1, 1) = y.y, axes(2, 1) = y.z;
    axes(0, 2) = z.x, axes(1, 2) = z.y, axes(2, 2) = z.z;
    axes(0, 3) = o.x, axes(1, 3) = o.y, axes(2, 3) = o.z;
    if (!axes.isUniScaledOrtho() || std::abs(axes.scale() - 1) > 1e-12)
        return axes.inverse();
    return fromWorld * translation(-o.asVector());
}

Matrix3d Matrix3d::operator*(const Matrix3d& o) const {
    Matrix3d r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k)
                s += m_[i][k] * o.m_[k][j];
            r.m_[i][j] = s;
        }
    return r;
}

Point3d Matrix3d::operator*(const Point3d& p) const {
    return {m_[0][0] * p.x + m_[0][1] * p.y + m_[0][2] * p.z + m_[0][3],
            m_[1][0] * p.x + m_[1][1] * p.y + m_[1][2] * p.z + m_[1][3],
            m_[2][0] * p.x + m_[2][1] * p.y + m_[2][2] * p.z + m_[2][3]};
}

Vector3d Matrix3d::operator*(const Vector3d& v) const {
    return {m_[0][0] * v.x + m_[0][1] * v.y + m_[0][2] * v.z,
            m_[1][0] * v.x + m_[1][1] * v.y + m_[1][2] * v.z,
            m_[2][0] * v.x + m_[2][1] * v.y + m_[2][2] * v.z};
}

double Matrix3d::determinant() const {
    const auto& m = m_;
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

bool Matrix3d::invert() {
    const double det = determinant();
    if (std::abs(det) < 1e-300)
        return false;
    const auto& m = m_;
    Matrix3d r;
    r(0, 0) = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r(0, 1) = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r(0, 2) = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r(1, 0) = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r(1, 1) = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r(1, 2) = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r(2, 0) = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r(2, 1) = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r(2, 2) = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    const Vector3d t = r * Vector3d{m[0][3], m[1][3], m[2][3]};
    r(0, 3) = -t.x;
    r(1, 3) = -t.y;
    r(2, 3) = -t.z;
    *this = r;
    return true;
}

Matrix3d Matrix3d::inverse() const {
    Matrix3d r = *this;
    if (!r.invert())
        return Matrix3d{};
    return r;
}

double Matrix3d::scale() const {
    const double sx = (*this * Vector3d::xAxis()).length();
    const double sy = (*this * Vector3d::yAxis()).length();
    const double sz = (*this * Vector3d::zAxis()).length();
    return std::max(sx, std::max(sy, sz));
}

bool Matrix3d::isUniScaledOrtho(const Tol& tol) const {
    const Vector3d a = *this * Vector3d::xAxis(), b = *this * Vector3d::yAxis(),
                   c = *this * Vector3d::zAxis();
    const double la = a.length();
    if (la <= tol.equalVector)
        return false;
    const double eps = tol.equalVector * la * la + 1e-12;
    return std::abs(a.dot(b)) <= eps && std::abs(b.dot(c)) <= eps && std::abs(a.dot(c)) <= eps &&
           std::abs(b.length() - la) <= tol.equalVector * la + 1e-12 &&
           std::abs(c.length() - la) <= tol.equalVector * la + 1e-12;
}

bool Matrix3d::isEqualTo(const Matrix3d& o, const Tol& tol) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::abs(m_[i][j] - o.m_[i][j]) > tol.equalVector)
                return false;
    return true;
}

} // namespace zhost::geom

#pragma once
// An affine transformation of 3D space as a 4x4 matrix whose last row is (0 0 0 1), acting on
// column vectors: p' = M * p. Composition reads right to left like the platform's: (A * B) applies
// B first.
#include "zhost/geom/point3d.h"

#include <array>

namespace zhost::geom {

class Matrix3d {
public:
    constexpr Matrix3d() : m_{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}} {}

    static constexpr Matrix3d identity() { return {}; }
    static Matrix3d translation(const Vector3d& v);
    // Rotation by `angle` (radians, counter-clockwise seen from the tip of `axis`) about the axis
    // through `center`.
    static Matrix3d rotation(double angle, const Vector3d& axis, const Point3d& center = {});
    static Matrix3d scaling(double factor, const Point3d& center = {});
    static Matrix3d scaling(const Vector3d& factors, const Point3d& center = {});
    static Matrix3d mirroring(const Point3d& linePoint, const Vector3d& lineDir); // in XY
    // Maps the coordinate system (fromOrigin, fromX, fromY, fromZ) onto (toOrigin, toX, ...):
    // a point with coordinates (a, b, c) in the first system lands on the point with the same
    // coordinates in the second.
    static Matrix3d alignCoordSys(const Point3d& fromOrigin, const Vector3d& fromX,
                                  const Vector3d& fromY, const Vector3d& fromZ,
                                  const Point3d& toOrigin, const Vector3d& toX, const Vector3d& toY,
                                  const Vector3d& toZ);
    // The matrix that maps world coordinates into the coordinate system (origin, x, y, z).
    static Matrix3d worldToCoordSys(const Point3d& origin, const Vector3d& x, const Vector3d& y,
                                    const Vector3d& z);

    constexpr double operator()(int row, int col) const { return m_[row][col]; }
    constexpr double& operator()(int row, int col) { return m_[row][col]; }

    Matrix3d operator*(const Matrix3d& o) const;
    Matrix3d& operator*=(const Matrix3d& o) { return *this = *this * o; }
    Point3d operator*(const Point3d& p) const;
    Vector3d operator*(const Vector3d& v) const; // the linear part only

    double determinant() const; // of the linear 3x3 part
    // False (and the matrix left unchanged) when the matrix is singular.
    bool invert();
    Matrix3d inverse() const; // identity when singular
    // The uniform scale factor of the linear part (the length of the image of a unit X vector
    // for a uniformly scaled orthogonal matrix).
    double scale() const;
    bool isUniScaledOrtho(const Tol& tol = kDefaultTol) const;
    bool isEqualTo(const Matrix3d& o, const Tol& tol = kDefaultTol) const;
    Vector3d translationPart() const { return {m_[0][3], m_[1][3], m_[2][3]}; }

private:
    std::array<std::array<double, 4>, 4> m_;
};

} // namespace zhost::geom

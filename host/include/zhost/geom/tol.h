#pragma once
// Tolerances for comparing points and vectors. The platform's default is 1e-10 for both; callers
// pass other values where a comparison must be looser (0.01, 0.002, 1e-4 for drafting work).

namespace zhost::geom {

struct Tol {
    double equalPoint = 1e-10;
    double equalVector = 1e-10;

    static constexpr Tol withPoint(double d) { return Tol{d, 1e-10}; }
};

inline constexpr Tol kDefaultTol{};

} // namespace zhost::geom

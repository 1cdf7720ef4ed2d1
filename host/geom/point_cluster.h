#pragma once
// Groups points closer than a tolerance (single linkage) with a hash grid: linear time for the
// end points of many curves. Private to the geom module.
#include "zhost/geom/point3d.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <vector>

namespace zhost::geom::detail {

class PointClusters {
public:
    // Returns the cluster id of every point (ids are 0..count-1).
    static std::vector<int> cluster(const std::vector<Point3d>& pts, double tol, int& count) {
        // Cells no finer than the coordinates' own precision: far from the origin a cell of
        // twice a tiny tolerance would number beyond 64 bits. Larger cells only cost time, as
        // neighbours are compared by their true distance.
        double extent = 0;
        for (const Point3d& p : pts)
            for (double v : {p.x, p.y, p.z})
                if (std::isfinite(v))
                    extent = std::max(extent, std::abs(v));
        const double cell = std::max({tol * 2, 2e-12, extent * 1e-12});
        std::vector<int> parent(pts.size());
        std::iota(parent.begin(), parent.end(), 0);
        auto find = [&](int i) {
            while (parent[i] != i)
                i = parent[i] = parent[parent[i]];
            return i;
        };
        std::unordered_map<std::uint64_t, std::vector<int>> grid;
        auto key = [](std::int64_t x, std::int64_t y, std::int64_t z) {
            return (std::uint64_t(x) * 73856093u) ^ (std::uint64_t(y) * 19349663u) ^
                   (std::uint64_t(z) * 83492791u);
        };
        for (int i = 0; i < int(pts.size()); ++i) {
            const std::int64_t cx = cellIndex(pts[i].x / cell);
            const std::int64_t cy = cellIndex(pts[i].y / cell);
            const std::int64_t cz = cellIndex(pts[i].z / cell);
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dz = -1; dz <= 1; ++dz) {
                        auto it = grid.find(key(cx + dx, cy + dy, cz + dz));
                        if (it == grid.end())
                            continue;
                        for (int j : it->second)
                            if (pts[i].distanceTo(pts[j]) <= tol)
                                parent[find(i)] = find(j);
                    }
            grid[key(cx, cy, cz)].push_back(i);
        }
        std::vector<int> id(pts.size(), -1), rootId(pts.size(), -1);
        count = 0;
        for (int i = 0; i < int(pts.size()); ++i) {
            const int r = find(i);
            if (rootId[r] < 0)
                rootId[r] = count++;
            id[i] = rootId[r];
        }
        return id;
    }

private:
    // The cell of a scaled coordinate; a value no integer can hold (infinite, NaN) goes to a
    // cell at the end of the range instead of overflowing the conversion.
    static std::int64_t cellIndex(double scaled) {
        constexpr double kLimit = 4.0e18; // below 2^63
        if (!(scaled > -kLimit))
            return -std::int64_t(kLimit);
        if (!(scaled < kLimit))
            return std::int64_t(kLimit);
        return std::int64_t(std::floor(scaled));
    }
};

} // namespace zhost::geom::detail

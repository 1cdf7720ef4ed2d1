// Figures for the geometry kernel: area properties and construction of a 10,000-edge region,
// the region around a point among 1,000 crossing curves, and one subtraction of 100 holes.
#include "zhost/geom/area_properties.h"
#include "zhost/geom/regions.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

using namespace zhost::geom;

namespace {

constexpr double pi = std::numbers::pi;

// A 10,000-edge closed loop: a circle of radius 1000 whose outline alternates short lines and
// outward bulging arcs.
std::vector<Curve> scallopedLoop(int n) {
    std::vector<Curve> out;
    const double R = 1000;
    const int k = n / 2;
    for (int i = 0; i < k; ++i) {
        const double a0 = 2 * pi * i / k, am = a0 + pi / k, a1 = 2 * pi * (i + 1) / k;
        const Point3d p0{R * std::cos(a0), R * std::sin(a0)},
            pm{R * std::cos(am), R * std::sin(am)}, p1{R * std::cos(a1), R * std::sin(a1)};
        out.push_back(LineSeg{p0, pm});
        // An arc from pm to p1 bulging outwards: centre on the chord's inner side.
        const Point3d mid = Point3d::midPoint(pm, p1);
        const double half = pm.distanceTo(p1) / 2, r = half * 2;
        const Vector3d in = (Point3d{} - mid).normal();
        const Point3d c = mid + in * std::sqrt(r * r - half * half);
        out.push_back(
            CircArc{c, r, std::atan2(pm.y - c.y, pm.x - c.x), std::atan2(p1.y - c.y, p1.x - c.x)});
    }
    return out;
}

Region bigRegion() {
    std::vector<Region> regions;
    regionsFromCurves(scallopedLoop(10000), regions);
    return regions.front();
}

void BM_AreaProperties10kEdges(benchmark::State& state) {
    const Region r = bigRegion();
    for (auto _ : state) {
        AreaProperties ap = areaProperties(r, {5, 5}, Vector3d::xAxis(), Vector3d::yAxis());
        benchmark::DoNotOptimize(ap);
    }
}
BENCHMARK(BM_AreaProperties10kEdges)->Unit(benchmark::kMillisecond);

void BM_RegionFrom10kCurves(benchmark::State& state) {
    const std::vector<Curve> curves = scallopedLoop(10000);
    for (auto _ : state) {
        std::vector<Region> regions;
        regionsFromCurves(curves, regions);
        benchmark::DoNotOptimize(regions);
    }
}
BENCHMARK(BM_RegionFrom10kCurves)->Unit(benchmark::kMillisecond);

// 1,000 curves: 400 long lines each way forming a grid, plus 200 circles scattered on it.
std::vector<Curve> crossingCurves() {
    std::vector<Curve> out;
    for (int i = 0; i < 400; ++i) {
        const double v = i * 10.0 + 0.5 * std::sin(i);
        out.push_back(LineSeg{{-10, v}, {4010, v + 3}});
        out.push_back(LineSeg{{v, -10}, {v - 3, 4010}});
    }
    for (int i = 0; i < 200; ++i)
        out.push_back(Circle{{37.0 * (i % 100) + 13, 1000.0 + 20 * i}, 7});
    return out;
}

void BM_RegionAtPointAmong1000Curves(benchmark::State& state) {
    const std::vector<Curve> curves = crossingCurves();
    for (auto _ : state) {
        Region r;
        regionAtPoint(curves, {2005, 2005, 0}, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_RegionAtPointAmong1000Curves)->Unit(benchmark::kMillisecond);

void BM_Subtract100Holes(benchmark::State& state) {
    Region plate;
    plate.faces.push_back(Face{Loop{{LineSeg{{0, 0}, {1000, 0}}, LineSeg{{1000, 0}, {1000, 1000}},
                                     LineSeg{{1000, 1000}, {0, 1000}}, LineSeg{{0, 1000}, {0, 0}}}},
                               {}});
    std::vector<Region> holes;
    for (int i = 0; i < 100; ++i) {
        Region h;
        h.faces.push_back(
            Face{Loop{{Circle{{50.0 + 100 * (i % 10), 50.0 + 100 * (i / 10)}, 20}}}, {}});
        holes.push_back(h);
    }
    for (auto _ : state) {
        Region out;
        subtract(plate, holes, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Subtract100Holes)->Unit(benchmark::kMillisecond);

} // namespace

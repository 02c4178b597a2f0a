// Per-position cost of the geodesy that runs for every GPS fix and every stored point during
// a grid refresh.
#include <cstddef>
#include <vector>

#include <benchmark/benchmark.h>

#include "geo/datum.h"
#include "geo/distance.h"
#include "geo/grid.h"

namespace vexa {
namespace {

struct LonLat {
    double lon;
    double lat;
};

// Positions scattered over a few degrees around 9° E, 50° N, so that no call sees the same
// input twice in a row.
std::vector<LonLat> positions() {
    std::vector<LonLat> p;
    for (int i = 0; i < 1024; ++i) {
        p.push_back({6.0 + 6.0 * ((i * 37) % 1024) / 1024.0,
                     47.0 + 8.0 * ((i * 101) % 1024) / 1024.0});
    }
    return p;
}

GridContext utmWgs84() { return GridContext{}; }

GridContext gaussKrueger() {
    GridContext g;
    g.LocalDatumGrid = true;
    g.GkStrip = 3;
    return g;
}

void BM_llh2utm(benchmark::State& state) {
    const std::vector<LonLat> p = positions();
    const GridContext grid = utmWgs84();
    std::size_t i = 0;
    for (auto _ : state) {
        const LonLat& q = p[i++ & 1023];
        benchmark::DoNotOptimize(llh2utm(q.lon, q.lat, 1, grid));
    }
}
BENCHMARK(BM_llh2utm);

void BM_llh2utm_WithDatumShift(benchmark::State& state) {
    const std::vector<LonLat> p = positions();
    const GridContext grid = gaussKrueger();
    std::size_t i = 0;
    for (auto _ : state) {
        const LonLat& q = p[i++ & 1023];
        const GeodeticPoint local = wgs84ToLocal(q.lon, q.lat, grid);
        benchmark::DoNotOptimize(llh2utm(local.longitude, local.latitude, 1, grid));
    }
}
BENCHMARK(BM_llh2utm_WithDatumShift);

void BM_utm2llh(benchmark::State& state) {
    const std::vector<LonLat> p = positions();
    const GridContext grid = utmWgs84();
    std::vector<GridPoint> g;
    for (const LonLat& q : p) g.push_back(llh2utm(q.lon, q.lat, 1, grid));
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(utm2llh(g[i++ & 1023], grid));
}
BENCHMARK(BM_utm2llh);

void BM_distance(benchmark::State& state) {
    const std::vector<LonLat> p = positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const LonLat& a = p[i & 1023];
        const LonLat& b = p[(i + 1) & 1023];
        ++i;
        benchmark::DoNotOptimize(distance(a.lat, a.lon, b.lat, b.lon));
    }
}
BENCHMARK(BM_distance);

}  // namespace
}  // namespace vexa

// The two halves of the computing core: what an epoch costs once (the Sun,
// the Moon and the tide's time arguments), what a point costs to set up, and
// what its displacement costs for a shared epoch; together, the cost of one
// node of a grid at one epoch.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "GNSS/SunMoon.h"
#include "GNSS/TideEpoch.h"
#include "GNSS/TidePoint.h"
#include "GNSS/flh.h"

using havorkastilo::TideEpoch;
using havorkastilo::TidePoint;

namespace {

constexpr long double kDegToRad = 0.017453292519943295;

// The epochs of a year at one-minute steps, in turn.
template <Ephemeris kind>
void Epoch(benchmark::State& state) {
    const SunMoon bodies(kind);
    mjd e(58484, 0);
    for (auto _ : state) {
        const TideEpoch t(e, bodies);
        benchmark::DoNotOptimize(&t);
        e += 60.0L;
        if (e.GetMJDay() > 58849) e = mjd(58484, 0);
    }
}
BENCHMARK_TEMPLATE(Epoch, Ephemeris::Series);
BENCHMARK_TEMPLATE(Epoch, Ephemeris::Precise);

// The nodes of a 5-arc-minute grid over Europe, row by row.
struct Nodes {
    int i = 0, j = 0;
    flh Next() {
        if (++j == 240) {
            j = 0;
            if (++i == 120) i = 0;
        }
        return flh((35 + i / 12.0L) * kDegToRad, (-10 + j / 12.0L) * kDegToRad, 0);
    }
};

void PointSetUp(benchmark::State& state) {
    Nodes n;
    TidePoint p = TidePoint::Geodetic(n.Next());
    for (auto _ : state) {
        p.SetGeodetic(n.Next());
        benchmark::DoNotOptimize(&p);
    }
}
BENCHMARK(PointSetUp);

void PointDisplacement(benchmark::State& state) {
    const SunMoon bodies(Ephemeris::Series);
    const TideEpoch e(58500, 43200, bodies);
    Nodes n;
    const TidePoint p = TidePoint::Geodetic(n.Next());
    neu local;
    xyz ecef;
    for (auto _ : state) {
        p.Displacement(e, local, ecef);
        benchmark::DoNotOptimize(local);
    }
}
BENCHMARK(PointDisplacement);

// One node of a grid: a point set up, and its displacement.
void GridNode(benchmark::State& state) {
    const SunMoon bodies(Ephemeris::Series);
    const TideEpoch e(58500, 43200, bodies);
    Nodes n;
    TidePoint p = TidePoint::Geodetic(n.Next());
    neu local;
    xyz ecef;
    for (auto _ : state) {
        p.SetGeodetic(n.Next());
        p.Displacement(e, local, ecef);
        benchmark::DoNotOptimize(local);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GridNode);

// The same with the sines and cosines of the rows' latitudes and the columns'
// longitudes found once, as a grid finds them.
void GridNodeSharedSines(benchmark::State& state) {
    const SunMoon bodies(Ephemeris::Series);
    const TideEpoch e(58500, 43200, bodies);
    std::vector<TidePoint::Angle> lat, lon;
    for (int i = 0; i < 120; ++i) lat.emplace_back((35 + i / 12.0L) * kDegToRad);
    for (int j = 0; j < 240; ++j) lon.emplace_back((-10 + j / 12.0L) * kDegToRad);
    TidePoint p = TidePoint::Geodetic(flh(0, 0, 0));
    neu local;
    xyz ecef;
    std::size_t i = 0, j = 0;
    for (auto _ : state) {
        p.SetGeodetic(lat[i], lon[j], 0);
        p.Displacement(e, local, ecef);
        benchmark::DoNotOptimize(local);
        if (++j == lon.size()) {
            j = 0;
            if (++i == lat.size()) i = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GridNodeSharedSines);

}  // namespace

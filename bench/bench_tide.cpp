// Cost of one epoch: the Sun and Moon series and the tide displacement.
//
// Each iteration takes a new epoch (one hour later) so that the arguments of
// the series change as they do in the epoch loop.
#include <benchmark/benchmark.h>

#include <cmath>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

namespace {

constexpr long double kDegToRad = 0.017453292519943295;

void BM_SunPosition(benchmark::State& state) {
    LuniSolarPosition lsp;
    mjd e(58500, 0);
    xyz u;
    long double r = 0;
    for (auto _ : state) {
        lsp.SunPosition(e, u, r);
        benchmark::DoNotOptimize(u);
        benchmark::DoNotOptimize(r);
        e += 3600.0L;
        if (e.GetMJDay() > 70000) e = mjd(58500, 0);
    }
}
BENCHMARK(BM_SunPosition);

void BM_MoonPosition(benchmark::State& state) {
    LuniSolarPosition lsp;
    mjd e(58500, 0);
    xyz u;
    long double r = 0;
    for (auto _ : state) {
        lsp.MoonPosition(e, u, r);
        benchmark::DoNotOptimize(u);
        benchmark::DoNotOptimize(r);
        e += 3600.0L;
        if (e.GetMJDay() > 70000) e = mjd(58500, 0);
    }
}
BENCHMARK(BM_MoonPosition);

// GetDisplacement alone, with Sun and Moon computed beforehand for a day of
// hourly epochs (set-up outside the timed loop).
void BM_GetDisplacement(benchmark::State& state) {
    LuniSolarPosition lsp;
    SolidEarthTide tide;
    const long double fi = 46 * kDegToRad, la = 14.5 * kDegToRad, rsta = 6367000;
    tide.SetStaPosition(xyz(std::cos(fi) * std::cos(la), std::cos(fi) * std::sin(la), std::sin(fi)),
                        rsta);
    constexpr int kEpochs = 24;
    mjd eph[kEpochs];
    xyz sun[kEpochs], moon[kEpochs];
    long double rsun[kEpochs], rmoon[kEpochs];
    for (int i = 0; i < kEpochs; ++i) {
        eph[i] = mjd(58500, 3600.0L * i);
        lsp.SunPosition(eph[i], sun[i], rsun[i]);
        lsp.MoonPosition(eph[i], moon[i], rmoon[i]);
    }
    xyz d;
    int i = 0;
    for (auto _ : state) {
        tide.SetSunPosition(sun[i], rsun[i]);
        tide.SetMoonPosition(moon[i], rmoon[i]);
        tide.GetDisplacement(eph[i], d);
        benchmark::DoNotOptimize(d);
        if (++i == kEpochs) i = 0;
    }
}
BENCHMARK(BM_GetDisplacement);

}  // namespace

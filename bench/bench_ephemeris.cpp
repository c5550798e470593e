// Cost of the two ephemerides per epoch and of the ERFA routines behind the
// precise one (bench_rows gives a whole row with each).
//
// The argument of the stepping benchmarks is the step between epochs in
// seconds: the precise ephemeris evaluates its grid nodes once on the way, so
// its cost per epoch depends on how many epochs share a node interval (CIP
// 1.5 days, Moon 1/2 day, Earth 3 days).
#include <benchmark/benchmark.h>

#include <erfa.h>

#include <cmath>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/PreciseSunMoon.h"
#include "GNSS/SunMoon.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

namespace {

constexpr double kMjdZero = 2400000.5;

// The next epoch: step seconds later, back to the start after day 70000.
void Advance(mjd& e, long double step) {
    e += step;
    if (e.GetMJDay() > 70000) e = mjd(58500, 0);
}

void BM_SeriesSunMoon(benchmark::State& state) {
    const LuniSolarPosition lsp;
    const long double step = state.range(0);
    mjd e(58500, 0);
    xyz su, mo;
    long double rs = 0, rm = 0;
    for (auto _ : state) {
        lsp.SunMoonPosition(e, su, rs, mo, rm);
        benchmark::DoNotOptimize(su);
        benchmark::DoNotOptimize(mo);
        Advance(e, step);
    }
}
BENCHMARK(BM_SeriesSunMoon)->Arg(60)->Arg(3600);

void BM_PreciseSunMoon(benchmark::State& state) {
    const PreciseSunMoon p;
    const long double step = state.range(0);
    mjd e(58500, 0);
    xyz su, mo;
    long double rs = 0, rm = 0;
    for (auto _ : state) {
        p.SunMoonPosition(e, su, rs, mo, rm);
        benchmark::DoNotOptimize(su);
        benchmark::DoNotOptimize(mo);
        Advance(e, step);
    }
}
BENCHMARK(BM_PreciseSunMoon)->Arg(1)->Arg(60)->Arg(600)->Arg(3600)->Arg(21600)->Arg(86400)->Arg(864000);

// The ERFA routines, each at a new TT epoch every call (a tenth of a day on).
void BM_eraEpv00(benchmark::State& state) {
    double pvh[2][3], pvb[2][3], t = 58500;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eraEpv00(kMjdZero, t, pvh, pvb));
        benchmark::DoNotOptimize(pvh);
        t += 0.1;
    }
}
BENCHMARK(BM_eraEpv00);

void BM_eraMoon98(benchmark::State& state) {
    double pv[2][3], t = 58500;
    for (auto _ : state) {
        eraMoon98(kMjdZero, t, pv);
        benchmark::DoNotOptimize(pv);
        t += 0.1;
    }
}
BENCHMARK(BM_eraMoon98);

void BM_eraC2t06a(benchmark::State& state) {
    double r[3][3], t = 58500;
    for (auto _ : state) {
        eraC2t06a(kMjdZero, t, kMjdZero, t, 0, 0, r);
        benchmark::DoNotOptimize(r);
        t += 0.1;
    }
}
BENCHMARK(BM_eraC2t06a);

void BM_eraC2i06a(benchmark::State& state) {
    double r[3][3], t = 58500;
    for (auto _ : state) {
        eraC2i06a(kMjdZero, t, r);
        benchmark::DoNotOptimize(r);
        t += 0.1;
    }
}
BENCHMARK(BM_eraC2i06a);

void BM_eraXys06a(benchmark::State& state) {
    double x, y, s, t = 58500;
    for (auto _ : state) {
        eraXys06a(kMjdZero, t, &x, &y, &s);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        benchmark::DoNotOptimize(s);
        t += 0.1;
    }
}
BENCHMARK(BM_eraXys06a);

void BM_eraC2ixys(benchmark::State& state) {
    double r[3][3], x = 1e-3, y = 2e-5, s = 1e-8;
    for (auto _ : state) {
        eraC2ixys(x, y, s, r);
        benchmark::DoNotOptimize(r);
        x += 1e-12;
    }
}
BENCHMARK(BM_eraC2ixys);

void BM_eraEra00(benchmark::State& state) {
    double f = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eraEra00(kMjdZero + 58500, f));
        f += 1e-5;
        if (f >= 1) f = 0;
    }
}
BENCHMARK(BM_eraEra00);

// What the precise ephemeris composes at every epoch besides eraC2ixys and
// eraEra00: s', the polar-motion matrix and the product of the three.
void BM_eraSp00Pom00C2tcio(benchmark::State& state) {
    double rc2i[3][3], rpom[3][3], rc2t[3][3], f = 0;
    eraC2ixys(1e-3, 2e-5, 1e-8, rc2i);
    for (auto _ : state) {
        eraPom00(0, 0, eraSp00(kMjdZero + 58500, f), rpom);
        eraC2tcio(rc2i, 1.0 + f, rpom, rc2t);
        benchmark::DoNotOptimize(rc2t);
        f += 1e-5;
        if (f >= 1) f = 0;
    }
}
BENCHMARK(BM_eraSp00Pom00C2tcio);

}  // namespace

// Cost of writing one number of the table or the CSV: FormatFixed against
// glibc's snprintf with "%*.*Lf", for each (width, decimals) pair the writers
// use, and FormatUnsigned against "%*u" for the day number; then FormatFixed
// on magnitudes far beyond the table's (the big integer of whole numbers
// from 2^64 up).  Times are per value (Google Benchmark's time per
// iteration; one value per iteration).
//
// The values of each pair are a fixed pseudo-random set of the magnitudes
// its columns hold, so that every digit varies.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "PROGINC/FixedFormat.h"

namespace {

constexpr int kValues = 4096;  // per pair; a power of two for the index mask

// A pair of the writers, what it writes and the magnitudes of the values.
struct Pair {
    int width;
    int decimals;
    const char* what;
    long double lo, hi;  // values uniformly in [lo, hi)
};

constexpr Pair kPairs[] = {
    {8, 1, "seconds of day", 0, 86400},  {8, 1, "cm", -40, 40},
    {15, 5, "longitude deg", -180, 180}, {12, 5, "latitude deg", -90, 90},
    {15, 1, "km", 3.5e5L, 1.6e8L},       {0, 7, "CSV s, deg", -180, 86400},
    {0, 9, "CSV m", -0.4L, 0.4L},        {0, 3, "CSV km", 3.5e5L, 1.6e8L},
};

// The label of a pair's figures.
std::string Label(const Pair& p) {
    return "(" + std::to_string(p.width) + "," + std::to_string(p.decimals) + ") " + p.what;
}

struct Values {
    long double v[kValues];
    explicit Values(const Pair& p) {
        std::uint64_t s = 0x243f6a8885a308d3ull;
        for (long double& x : v) {
            s = s * 6364136223846793005ull + 1442695040888963407ull;
            const long double u = static_cast<long double>(s >> 11) / 9007199254740992.0L;
            x = p.lo + (p.hi - p.lo) * u;
        }
    }
};

void BM_FormatFixed(benchmark::State& state) {
    const Pair& p = kPairs[state.range(0)];
    const Values values(p);
    char out[FixedFormatMax(15, 9)];
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatFixed(out, values.v[i], p.width, p.decimals));
        benchmark::ClobberMemory();
        i = (i + 1) & (kValues - 1);
    }
    state.SetLabel(Label(p));
}

void BM_snprintf(benchmark::State& state) {
    const Pair& p = kPairs[state.range(0)];
    const Values values(p);
    char out[64];
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            std::snprintf(out, sizeof out, "%*.*Lf", p.width, p.decimals, values.v[i]));
        benchmark::ClobberMemory();
        i = (i + 1) & (kValues - 1);
    }
    state.SetLabel(Label(p));
}

void PairArguments(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < static_cast<int>(sizeof kPairs / sizeof kPairs[0]); ++i) b->Arg(i);
}
BENCHMARK(BM_FormatFixed)->Apply(PairArguments);
BENCHMARK(BM_snprintf)->Apply(PairArguments);

// The day number of the table (width 6).
void BM_FormatUnsigned(benchmark::State& state) {
    char out[FormatUnsignedMax(6)];
    unsigned day = 58484;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatUnsigned(out, day, 6));
        benchmark::ClobberMemory();
        day = day == 62000 ? 58484 : day + 1;
    }
}
BENCHMARK(BM_FormatUnsigned);

void BM_snprintfUnsigned(benchmark::State& state) {
    char out[32];
    unsigned day = 58484;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%*u", 6, day));
        benchmark::ClobberMemory();
        day = day == 62000 ? 58484 : day + 1;
    }
}
BENCHMARK(BM_snprintfUnsigned);

// Whole numbers of about 10^(0.30103 * n): the big integer's cost grows with
// the digits (degenerate runs only).
void BM_FormatFixedHuge(benchmark::State& state) {
    const long double v = std::ldexp(1.2345678901234567890L, static_cast<int>(state.range(0)));
    static char out[FixedFormatMax(0, 9)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatFixed(out, v, 0, 9));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FormatFixedHuge)->Arg(100)->Arg(1000)->Arg(16383);

void BM_snprintfHuge(benchmark::State& state) {
    const long double v = std::ldexp(1.2345678901234567890L, static_cast<int>(state.range(0)));
    static char out[FixedFormatMax(0, 9) + 1];
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%.9Lf", v));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_snprintfHuge)->Arg(100)->Arg(1000)->Arg(16383);

}  // namespace

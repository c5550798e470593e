// Cost of the parts of one table row: the Sun and Moon series and the tide
// displacement (with the sines and cosines by quarter turns and polynomials,
// and with the library's of every whole angle), the coordinate conversions of
// the table (the bodies' directions scaled to the station's distance into
// geodetic coordinates, iterated or by xyz2fl; the displacement into the
// station's local frame) and the formatting of a row.
//
// Each iteration takes a new epoch (one hour later) so that the arguments of
// the series change as they do in the epoch loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <iomanip>
#include <ostream>
#include <streambuf>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/elipsoid.h"
#include "GNSS/flh.h"
#include "GNSS/g_lg.h"
#include "GNSS/mjd.h"
#include "GNSS/neu.h"
#include "GNSS/xyz.h"
#include "GNSS/xyz_flh.h"
#include "funkcije/KotnePretvorbe.h"

// The reference evaluations (the library's sine and cosine of every whole
// angle of the Sun and Moon series, the tide's constituents one by one), to
// show what the reduction by quarter turns, the polynomials and the
// angle-addition identities save.
#include "support/reference_model.h"

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

// Both bodies of one epoch at once, as the epoch loop finds them.
void BM_SunMoonPosition(benchmark::State& state) {
    LuniSolarPosition lsp;
    mjd e(58500, 0);
    xyz su, mo;
    long double rs = 0, rm = 0;
    for (auto _ : state) {
        lsp.SunMoonPosition(e, su, rs, mo, rm);
        benchmark::DoNotOptimize(su);
        benchmark::DoNotOptimize(mo);
        e += 3600.0L;
        if (e.GetMJDay() > 70000) e = mjd(58500, 0);
    }
}
BENCHMARK(BM_SunMoonPosition);

// The same with the library's sine and cosine of every whole angle: the
// evaluation before the reduction by quarter turns.
void BM_SunMoonPositionWholeAngles(benchmark::State& state) {
    LuniSolarPosition lsp;
    mjd e(58500, 0);
    xyz su, mo;
    long double rs = 0, rm = 0;
    for (auto _ : state) {
        reference::SunMoon(e, su, rs, mo, rm);
        benchmark::DoNotOptimize(su);
        benchmark::DoNotOptimize(mo);
        e += 3600.0L;
        if (e.GetMJDay() > 70000) e = mjd(58500, 0);
    }
}
BENCHMARK(BM_SunMoonPositionWholeAngles);

// GetDisplacement alone, with Sun and Moon computed beforehand for a day of
// hourly epochs (set-up outside the timed loop); with `reference`, the
// second step constituent by constituent with the library's sine and cosine.
template <bool reference>
void GetDisplacement(benchmark::State& state) {
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
        if (reference) {
            reference::Displacement(tide, eph[i], d);
        } else {
            tide.GetDisplacement(eph[i], d);
        }
        benchmark::DoNotOptimize(d);
        if (++i == kEpochs) i = 0;
    }
}
void BM_GetDisplacement(benchmark::State& state) {
    GetDisplacement<false>(state);
}
BENCHMARK(BM_GetDisplacement);
void BM_GetDisplacementReference(benchmark::State& state) {
    GetDisplacement<true>(state);
}
BENCHMARK(BM_GetDisplacementReference);

// A day of hourly Sun and Moon directions scaled to the distance of a
// station near the surface, as the table converts them.
struct ScaledDirections {
    static constexpr int kEpochs = 24;
    xyz v[2 * kEpochs];
    ScaledDirections() {
        LuniSolarPosition lsp;
        long double r = 0;
        for (int i = 0; i < kEpochs; ++i) {
            const mjd e(58500, 3600.0L * i);
            lsp.SunPosition(e, v[2 * i], r);
            lsp.MoonPosition(e, v[2 * i + 1], r);
            v[2 * i] *= 6367000.0L;
            v[2 * i + 1] *= 6367000.0L;
        }
    }
};

void BM_xyz2flhOfScaledDirection(benchmark::State& state) {
    const ScaledDirections d;
    const elipsoid grs80;  // GRS80
    int i = 0;
    for (auto _ : state) {
        flh g = xyz2flh(d.v[i], grs80);
        benchmark::DoNotOptimize(g);
        if (++i == 2 * ScaledDirections::kEpochs) i = 0;
    }
}
BENCHMARK(BM_xyz2flhOfScaledDirection);

// Only the latitude and longitude, as the table shows them.
void BM_xyz2flOfScaledDirection(benchmark::State& state) {
    const ScaledDirections d;
    const elipsoid grs80;  // GRS80
    int i = 0;
    for (auto _ : state) {
        long double fi = 0, la = 0;
        xyz2fl(d.v[i], grs80, fi, la);
        benchmark::DoNotOptimize(fi);
        benchmark::DoNotOptimize(la);
        if (++i == 2 * ScaledDirections::kEpochs) i = 0;
    }
}
BENCHMARK(BM_xyz2flOfScaledDirection);

void BM_g2lg(benchmark::State& state) {
    flh station;
    station.Set(46.05 * kDegToRad, 14.5 * kDegToRad, 300);
    xyz d(-0.0079, 0.0100, -0.0582);
    for (auto _ : state) {
        neu n = g2lg(d, station);
        benchmark::DoNotOptimize(n);
        d.SetX(d.GetX() + 1e-6L);
    }
}
BENCHMARK(BM_g2lg);

// The same rotation in a frame made once for the station, as the table does.
void BM_g2lgInLocalFrame(benchmark::State& state) {
    flh station;
    station.Set(46.05 * kDegToRad, 14.5 * kDegToRad, 300);
    const LocalFrame frame(station);
    xyz d(-0.0079, 0.0100, -0.0582);
    for (auto _ : state) {
        neu n = g2lg(d, frame);
        benchmark::DoNotOptimize(n);
        d.SetX(d.GetX() + 1e-6L);
    }
}
BENCHMARK(BM_g2lgInLocalFrame);

// Everything a table row computes, without writing it: both bodies, the
// tide, the displacement in the station's frame and the two bodies'
// geodetic latitude and longitude at the station's distance.  With
// `reference`, the library's sines and cosines of whole angles and the
// iterated geodetic conversion, as before the reduction, the polynomials
// and xyz2fl.
template <bool reference>
void RowWithoutWriting(benchmark::State& state) {
    LuniSolarPosition lsp;
    SolidEarthTide tide;
    const elipsoid grs80;  // GRS80
    flh station;
    station.Set(46.05 * kDegToRad, 14.5 * kDegToRad, 300);
    const xyz x = flh2xyz(station, grs80);
    const xyz u = x.GetUnitVector(1);
    const long double r = x.GetLength();
    tide.SetStaPosition(u, r);
    const LocalFrame frame(station);
    mjd e(58484, 0);
    xyz su, mo, d;
    long double rs = 0, rm = 0;
    for (auto _ : state) {
        if (reference) {
            reference::SunMoon(e, su, rs, mo, rm);
        } else {
            lsp.SunMoonPosition(e, su, rs, mo, rm);
        }
        tide.SetSunPosition(su, rs);
        tide.SetMoonPosition(mo, rm);
        if (reference) {
            reference::Displacement(tide, e, d);
        } else {
            tide.GetDisplacement(e, d);
        }
        neu n = g2lg(d, frame);
        su *= r;
        mo *= r;
        long double fl[4];
        if (reference) {
            const flh gs = xyz2flh(su, grs80);
            const flh gm = xyz2flh(mo, grs80);
            fl[0] = gs.GetF(), fl[1] = gs.GetL(), fl[2] = gm.GetF(), fl[3] = gm.GetL();
        } else {
            xyz2fl(su, grs80, fl[0], fl[1]);
            xyz2fl(mo, grs80, fl[2], fl[3]);
        }
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(fl);
        e += 60.0L;
        if (e.GetMJDay() > 70000) e = mjd(58484, 0);
    }
}
void BM_RowWithoutWriting(benchmark::State& state) {
    RowWithoutWriting<false>(state);
}
BENCHMARK(BM_RowWithoutWriting);
void BM_RowWithoutWritingReference(benchmark::State& state) {
    RowWithoutWriting<true>(state);
}
BENCHMARK(BM_RowWithoutWritingReference);

// A stream buffer that keeps writing into one buffer: formatting without
// the cost of the output device.
class DiscardBuffer : public std::streambuf {
  public:
    DiscardBuffer() { setp(buf_, buf_ + sizeof buf_); }

  protected:
    int_type overflow(int_type c) override {
        setp(buf_, buf_ + sizeof buf_);
        if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }

  private:
    char buf_[1 << 16];
};

// One row of the table (widths, decimals and units of the table) written
// with the stream operators of mjd and neu and the body columns.
void BM_FormatRow(benchmark::State& state) {
    DiscardBuffer sink;
    std::ostream os(&sink);
    neuns::WidthU = neuns::WidthNE = 8;
    neuns::NDecU = neuns::NDecNE = 1;
    neuns::Unit = 100;
    mjd e(58500, 0);
    const neu d(-0.0171, -0.0442, 0.0012);
    flh sun, moon;
    sun.Set(-20.96753 * kDegToRad, -177.46626 * kDegToRad, 0);
    moon.Set(15.84246 * kDegToRad, -57.79379 * kDegToRad, 0);
    const long double rs = 147163318912.5L, rm = 375903012.25L;
    for (auto _ : state) {
        os << e << d;
        os << std::setfill(' ') << std::setw(15) << std::setprecision(5) << rad2deg(sun.GetL())
           << std::setw(12) << rad2deg(sun.GetF()) << std::setw(15) << std::setprecision(1)
           << rs / 1000;
        os << std::setfill(' ') << std::setw(15) << std::setprecision(5) << rad2deg(moon.GetL())
           << std::setw(12) << rad2deg(moon.GetF()) << std::setw(15) << std::setprecision(1)
           << rm / 1000;
        os << '\n';
        e += 60.0L;
        if (e.GetMJDay() > 70000) e = mjd(58500, 0);
    }
}
BENCHMARK(BM_FormatRow);

}  // namespace

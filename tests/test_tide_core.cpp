// The computing core: the per-epoch and per-point halves give the model
// object's own results, bit for bit, from any number of threads; an invalid
// epoch reaches the caller as an exception with the program's report, and
// the caller goes on; ERFA's extrapolation reaches the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "GNSS/SolidEarthTide.h"
#include "GNSS/SunMoon.h"
#include "GNSS/Tide.h"
#include "GNSS/TideEpoch.h"
#include "GNSS/TidePoint.h"
#include "GNSS/elipsoid.h"
#include "GNSS/flh.h"
#include "GNSS/g_lg.h"
#include "GNSS/xyz_flh.h"
#include "PROGINC/ProgramExit.h"
#include "support/bits.h"
#include "support/reference_model.h"
#include "support/run_program.h"
#include "support/tide_access.h"

using havorkastilo::GeometryModes;
using havorkastilo::TideEpoch;
using havorkastilo::TidePoint;
using havorkastilo::TideResult;
using testsupport::SameBits;
using testsupport::Uniform;

namespace {

constexpr long double kPi = 3.141592653589793;

// Every value of a result, for the bit comparison.
std::vector<long double> Values(const TideResult& r) {
    return {r.local.GetN(), r.local.GetE(), r.local.GetU(), r.ecef.GetX(), r.ecef.GetY(),
            r.ecef.GetZ(),  r.sunU.GetX(),  r.sunU.GetY(),  r.sunU.GetZ(), r.moonU.GetX(),
            r.moonU.GetY(), r.moonU.GetZ(), r.sunR,         r.moonR,       r.sunLon,
            r.sunLat,       r.moonLon,      r.moonLat};
}

bool SameResult(const TideResult& a, const TideResult& b) {
    const std::vector<long double> x = Values(a), y = Values(b);
    for (std::size_t i = 0; i < x.size(); ++i)
        if (!SameBits(x[i], y[i])) return false;
    return true;
}

// A random station: anywhere on the sphere, heights from -500 m to 9 km; a
// fifth of them with a geometry mode.
struct Station {
    flh posG;
    GeometryModes modes;
};

Station RandomStation(Uniform& u) {
    Station s;
    s.posG.Set(std::asin(2 * u() - 1), (2 * u() - 1) * kPi, -500 + 9500 * u());
    const long double m = u();
    s.modes.coLinear = m > 0.80L && m <= 0.85L;
    s.modes.orthoSun = m > 0.85L && m <= 0.90L;
    s.modes.orthoMoon = m > 0.90L && m <= 0.95L;
    s.modes.orthoNone = m > 0.95L;
    return s;
}

// A random epoch of 1901-2199, with all the bits of its seconds.
mjd RandomEpoch(Uniform& u) {
    return mjd(static_cast<std::uint32_t>(15385 + u() * (124593 - 15385)), u() * 86400);
}

// The Library's default handler (it throws) for the life of the object.
struct LibraryHandler {
    prgexit::Handler saved = prgexit::SetHandler(nullptr);
    ~LibraryHandler() { prgexit::SetHandler(saved); }
};

}  // namespace

TEST(TideCore, EveryHalfGivesTheModelObjectsOwnBits) {
    // The model object's member path (SetSunPosition, SetMoonPosition,
    // GetDisplacement) against the const path of the core, for random
    // stations, epochs and both ephemerides.
    Uniform u(11);
    const elipsoid grs80;
    for (int i = 0; i < 2000; ++i) {
        const Station st = RandomStation(u);
        const mjd e = RandomEpoch(u);
        const SunMoon bodies(i % 2 ? Ephemeris::Precise : Ephemeris::Series);
        const TideEpoch epoch(e, bodies);

        const xyz posX = flh2xyz(st.posG, grs80);
        SolidEarthTide tide;
        tide.SetStaPosition(posX.GetUnitVector(1), posX.GetLength());
        tide.SetSunPosition(epoch.SunDirection(), epoch.SunDistance());
        tide.SetMoonPosition(epoch.MoonDirection(), epoch.MoonDistance());
        xyz want;
        tide.GetDisplacement(e, want);

        const TidePoint point = TidePoint::Geodetic(st.posG);
        const TideResult r = point.At(epoch);
        ASSERT_TRUE(SameBits(r.ecef.GetX(), want.GetX()) && SameBits(r.ecef.GetY(), want.GetY()) &&
                    SameBits(r.ecef.GetZ(), want.GetZ()))
            << "sample " << i;
        const neu local = g2lg(want, LocalFrame(st.posG));
        ASSERT_TRUE(SameBits(r.local.GetN(), local.GetN()) &&
                    SameBits(r.local.GetE(), local.GetE()) &&
                    SameBits(r.local.GetU(), local.GetU()))
            << "sample " << i;

        // The displacement alone is the same as with the rest of the result.
        neu n;
        xyz x;
        point.Displacement(epoch, n, x);
        ASSERT_TRUE(SameBits(n.GetU(), r.local.GetU()) && SameBits(x.GetX(), r.ecef.GetX()));
    }
}

TEST(TideCore, EightThreadsGiveTheSingleThreadedResultsBitForBit) {
    // 10,000 pairs of random stations and epochs.  The epochs' values are
    // computed once and shared; every thread computes every pair on points
    // of its own, and half of the threads compute their own epoch values
    // too, with their own ephemeris objects.
    constexpr int kEpochs = 100, kPairs = 10000, kThreads = 8;
    Uniform u(7);
    std::vector<TideEpoch> epochs;
    std::vector<mjd> utc;
    const SunMoon series(Ephemeris::Series), precise(Ephemeris::Precise);
    for (int i = 0; i < kEpochs; ++i) {
        utc.push_back(RandomEpoch(u));
        epochs.emplace_back(utc.back(), i % 3 == 0 ? precise : series);
    }
    std::vector<Station> stations;
    std::vector<int> epochOf;
    for (int i = 0; i < kPairs; ++i) {
        stations.push_back(RandomStation(u));
        epochOf.push_back(static_cast<int>(u() * kEpochs));
    }
    std::vector<TideResult> serial;
    for (int i = 0; i < kPairs; ++i)
        serial.push_back(TidePoint::Geodetic(stations[i].posG, stations[i].modes)
                             .At(epochs[static_cast<std::size_t>(epochOf[i])]));

    std::atomic<int> mismatches{0};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Start together, so that the threads overlap.
            ++ready;
            while (ready.load() < kThreads) std::this_thread::yield();
            const SunMoon ownSeries(Ephemeris::Series), ownPrecise(Ephemeris::Precise);
            std::vector<TideEpoch> own;
            if (t % 2) {
                for (int j = kEpochs - 1; j >= 0; --j)
                    own.emplace_back(utc[static_cast<std::size_t>(j)],
                                     j % 3 == 0 ? ownPrecise : ownSeries);
            }
            for (int k = 0; k < kPairs; ++k) {
                const int i = (k + t * 1237) % kPairs;  // each thread in its own order
                const auto j = static_cast<std::size_t>(epochOf[static_cast<std::size_t>(i)]);
                const TidePoint p = TidePoint::Geodetic(stations[i].posG, stations[i].modes);
                const TideResult r = p.At(t % 2 ? own[kEpochs - 1 - j] : epochs[j]);
                if (!SameResult(r, serial[static_cast<std::size_t>(i)])) ++mismatches;
            }
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(TideCore, OnePointObjectServesManyThreadsAtOnce) {
    Uniform u(3);
    const Station st = RandomStation(u);
    const TidePoint point = TidePoint::Geodetic(st.posG, st.modes);
    const SunMoon series(Ephemeris::Series);
    std::vector<TideEpoch> epochs;
    for (int i = 0; i < 500; ++i) epochs.emplace_back(RandomEpoch(u), series);
    std::vector<TideResult> serial;
    for (const TideEpoch& e : epochs) serial.push_back(point.At(e));
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (std::size_t i = 0; i < epochs.size(); ++i)
                if (!SameResult(point.At(epochs[i]), serial[i])) ++mismatches;
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(TideCore, AnInvalidEpochThrowsTheProgramsReportAndTheCallerGoesOn) {
    // The report the program prints on standard output for a time of day
    // beyond the end of the day (hour 30), and its status.
    const testsupport::ProgramRun run =
        testsupport::RunProgram(HAVORKASTILO_EXE, {"-e12019-01-17/30:00:00"});
    const std::string report = "\n**** mjd: Error -> SECOND not valid ****\n     Exiting class mjd ... \n";
    ASSERT_EQ(run.status, 1);
    ASSERT_EQ(run.out, report);

    LibraryHandler library;
    const SunMoon series(Ephemeris::Series);
    const TidePoint point = TidePoint::Geodetic(flh(0.8037, 0.2531, 300));
    const TideResult before = point.At(TideEpoch(58500, 43200, series));
    for (long double seconds : {86400.0L, -1.0L, std::nanl("")}) {
        try {
            const TideEpoch bad(58500, seconds, series);
            ADD_FAILURE() << "no exception for " << static_cast<double>(seconds) << " s";
        } catch (const havorkastilo::Error& e) {
            EXPECT_EQ(std::string(e.what()), report);
            EXPECT_EQ(e.Status(), run.status);
            EXPECT_EQ(e.Stream(), havorkastilo::ReportStream::Out);
        }
    }
    try {
        const TideEpoch bad(200000, 0, series);
        ADD_FAILURE() << "no exception for day 200000";
    } catch (const havorkastilo::Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "\n**** mjd: Error -> MJDAY not valid ****\n     Exiting class mjd ... \n");
    }
    // The last valid epoch of a day and of the range.
    EXPECT_NO_THROW(TideEpoch(58500, 86399.999L, series));
    EXPECT_NO_THROW(TideEpoch(199999, 0, series));
    // And the computation goes on as before.
    EXPECT_TRUE(SameResult(point.At(TideEpoch(58500, 43200, series)), before));
}

TEST(TideCore, ThePointAtTheGeocentreIsReportedAsTheProgramReportsIt) {
    const testsupport::ProgramRun run = testsupport::RunProgram(HAVORKASTILO_EXE, {"-px0,0,0"});
    ASSERT_EQ(run.status, 1);
    LibraryHandler library;
    try {
        TidePoint::EarthFixed(xyz(0, 0, 0));
        ADD_FAILURE() << "no exception";
    } catch (const havorkastilo::Error& e) {
        EXPECT_EQ(std::string(e.what()), run.err);
        EXPECT_EQ(e.Stream(), havorkastilo::ReportStream::Err);
    }
    // A point a metre from the centre has a direction.
    EXPECT_NO_THROW(TidePoint::EarthFixed(xyz(0, 0, 1)));
}

TEST(TideCore, ERFAsExtrapolationReachesTheCaller) {
    // eraEpv00 warns outside 100 Julian years of J2000 TT (MJD 15019.5 to
    // 88069.5 TT).  An epoch's Earth is interpolated from the nodes k - 2 ..
    // k + 3 of a 3-day grid, k the interval holding its TT, so the flag is
    // set from TT MJD 88062 on (node 88071 is outside) and below TT MJD
    // 15027 (node 15018 is outside).  TT - UTC is 69.184 s in 2100 and
    // 42.184 s in 1900.
    const SunMoon precise(Ephemeris::Precise), series(Ephemeris::Series);
    EXPECT_FALSE(TideEpoch(88061, 86330.5L, precise).Extrapolated());  // TT 88061.99965
    EXPECT_TRUE(TideEpoch(88061, 86331.5L, precise).Extrapolated());   // TT 88062.00001
    EXPECT_TRUE(TideEpoch(15026, 86357.0L, precise).Extrapolated());   // TT 15026.99999
    EXPECT_FALSE(TideEpoch(15026, 86358.5L, precise).Extrapolated());  // TT 15027.00001
    EXPECT_FALSE(TideEpoch(58500, 0, precise).Extrapolated());
    EXPECT_TRUE(TideEpoch(124592, 0, precise).Extrapolated());  // 2199
    // The series have no such range.
    EXPECT_FALSE(TideEpoch(124592, 0, series).Extrapolated());
}

TEST(TideCore, TheOneStationFacadeIsThePointAtTheEpoch) {
    const TidePoint point = TidePoint::Geodetic(flh(0.8037, 0.2531, 300));
    const havorkastilo::Tide tide(point, Ephemeris::Precise);
    const SunMoon precise(Ephemeris::Precise);
    for (long double s : {0.0L, 3600.5L, 86399.0L}) {
        const mjd e(58500, s);
        EXPECT_TRUE(SameResult(tide.At(e), point.At(TideEpoch(e, precise))));
    }
}

TEST(TideCore, ANodeSetUpFromSharedSinesIsThePointToTheLastBit) {
    // The grid's way of setting a point up (the sines and cosines of its
    // latitude and longitude found once per row and column) against the
    // point made from its geodetic position, on both ephemerides and with a
    // geometry mode; the poles and the ends of the longitudes included.
    Uniform u(21);
    const SunMoon series(Ephemeris::Series), precise(Ephemeris::Precise);
    const TideEpoch epochs[2] = {TideEpoch(RandomEpoch(u), series), TideEpoch(RandomEpoch(u), precise)};
    GeometryModes goS;
    goS.orthoSun = true;
    TidePoint node = TidePoint::Geodetic(flh(0, 0, 0));
    TidePoint nodeWithMode = TidePoint::Geodetic(flh(0, 0, 0), goS);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        long double lat = std::asin(2 * u() - 1), lon = (2 * u() - 1) * kPi;
        if (i < 4) lat = i % 2 ? kPi / 2 : -kPi / 2;
        if (i >= 4 && i < 8) lon = i % 2 ? kPi : -kPi;
        const long double h = -500 + 9500 * u();
        node.SetGeodetic(TidePoint::Angle(lat), TidePoint::Angle(lon), h);
        nodeWithMode.SetGeodetic(TidePoint::Angle(lat), TidePoint::Angle(lon), h);
        const TidePoint point = TidePoint::Geodetic(flh(lat, lon, h));
        const TidePoint pointWithMode = TidePoint::Geodetic(flh(lat, lon, h), goS);
        for (const TideEpoch& e : epochs) {
            ASSERT_TRUE(SameResult(node.At(e), point.At(e))) << "node " << i;
            ASSERT_TRUE(SameResult(nodeWithMode.At(e), pointWithMode.At(e))) << "node " << i;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 6000);
}

TEST(TideCore, StepOneIsTheModelsExpressionsToTheLastBit) {
    // The station's share of each correction is formed once, when the
    // station is set; the products must stay those of the model's
    // expressions, evaluated in their order (support/reference_model.h),
    // for stations anywhere, the poles included, and any bodies.
    Uniform u(31);
    const SunMoon series(Ephemeris::Series);
    for (int i = 0; i < 20000; ++i) {
        long double lat = std::asin(2 * u() - 1);
        if (i < 2) lat = i ? kPi / 2 : -kPi / 2;
        const flh g(lat, (2 * u() - 1) * kPi, -500 + 9500 * u());
        const xyz posX = flh2xyz(g, elipsoid());
        const TideEpoch e(RandomEpoch(u), series);
        SolidEarthTide tide;
        tide.SetStaPosition(posX.GetUnitVector(1), posX.GetLength());
        tide.SetSunPosition(e.SunDirection(), e.SunDistance());
        tide.SetMoonPosition(e.MoonDirection(), e.MoonDistance());
        using Access = SolidEarthTideTestAccess;
        xyz got = Access::InPhase(tide);
        got += Access::ST1IDIU(tide);
        got += Access::ST1ISEM(tide);
        got += Access::ST1L1(tide);
        const xyz want = reference::Step1(Access::Station(tide), e.SunDirection(), e.SunDistance(),
                                          e.MoonDirection(), e.MoonDistance());
        ASSERT_TRUE(SameBits(got.GetX(), want.GetX()) && SameBits(got.GetY(), want.GetY()) &&
                    SameBits(got.GetZ(), want.GetZ()))
            << "sample " << i;
    }
}

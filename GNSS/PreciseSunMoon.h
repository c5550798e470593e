// PreciseSunMoon: geocentric directions and distances of the Sun and the Moon
// in Earth-fixed axes, from the ERFA routines (the BSD-licensed edition of the
// IAU's SOFA fundamental-astronomy library).
//
// It answers the same question as LuniSolarPosition::SunMoonPosition, in the
// same shape: unit vectors in Earth-fixed geocentric axes (z toward the
// celestial intermediate pole, which is the terrestrial pole since polar
// motion is taken as zero; x toward the Greenwich meridian) and distances in
// metres.  The tide model takes them unchanged.
//
// Positions (geometric: no light time, no aberration):
//   - Sun:  minus the heliocentric position of the Earth of eraEpv00 (a
//           simplified VSOP2000 solution; BCRS axes, au).  ERFA states
//           3.7 km RMS and 11.2 km at most against JPL DE405 over 1900-2100,
//           about double that by 1800 and 2200.
//   - Moon: eraMoon98 (Meeus' series; GCRS axes, au).  ERFA states 2.9"
//           and 6.1 km RMS, 18.3" and 31.7 km at most, against ELP/MPP02
//           over 1950-2100.
//   - Both are turned into Earth-fixed axes by the celestial-to-terrestrial
//     matrix of the IAU 2006/2000A CIO-based transformation as eraC2t06a
//     forms it: eraC2tcio of the celestial-to-intermediate matrix
//     eraC2ixys(X, Y, s), the Earth rotation angle eraEra00 and the
//     polar-motion matrix eraPom00(0, 0, s') with s' from eraSp00.
//   - Distances are the lengths of the ERFA positions in au times ERFA's
//     astronomical unit, ERFA_DAU = 149597870700 m.
//
// Time scales.  The epoch is UTC (as everywhere in this system).
//   - TT = UTC + (TAI - UTC) + 32.184 s, with TAI - UTC = LeapSecond (the
//     system's own count of GPS - UTC, see TimeConverse.h) + 19 s.
//   - TDB, the argument of eraEpv00, is taken as TT: they differ by less than
//     1.7 ms, in which the Earth moves less than 51 m.
//   - UT1, the argument of the Earth rotation angle, is taken as UTC: there
//     are no Earth-orientation data here; |UT1 - UTC| < 0.9 s turns the
//     bodies about the pole by less than 6.6e-5 rad (13.6").
//   - Polar motion is zero (it is below 3e-6 rad).
// Every ERFA date is a two-part Julian date: 2400000.5 plus the Modified
// Julian Date, the whole day in the first part where it matters (the Earth
// rotation angle turns once a day).
//
// Interpolation.  eraEpv00 and eraXys06a (the CIP coordinates X, Y and the
// CIO locator s, which carry the full IAU 2000A nutation) cost some 30 to 40
// us each, several table rows, so they are not evaluated at every epoch;
// neither is eraMoon98 (some 3 us).  Each of the three is sampled on a fixed
// grid of Terrestrial Time, nodes at TT MJD = k * spacing for every integer
// k, and interpolated between nodes:
//
//   quantity              spacing  nodes around the epoch      polynomial
//   CIP X, Y, s           1.5 d    12 (values)                 degree 11
//   Moon (eraMoon98)      0.5 d    10 (positions)              degree 9
//   Earth (eraEpv00)      3 d      6 (positions, velocities)   degree 11
//
// The interval [k, k + 1) spacings that holds the epoch's TT is interpolated
// from the nodes k - n/2 + 1 .. k + n/2, in Newton's divided-difference form
// (each Earth node counted twice, position and velocity: Hermite).  The
// Moon uses positions only: its velocity is not the exact derivative of its
// position at the metre level.  The spacings are about the largest at which
// the nutation's short periods (a few days to two weeks), the Moon's month
// and the Earth's monthly wobble about the Earth-Moon barycentre stay
// resolved to some 1e-10 rad (a 2-day CIP spacing misses by 4e-10 rad).  The
// grid does not depend on the first epoch, the step or the order of the
// epochs asked, so every result is a pure function of its epoch, to the last
// bit: a run split into blocks, in any order, gives the same numbers.  Only
// the Earth rotation angle, s' and the composition of the matrices are
// evaluated at the epoch itself.
//
// Interpolation error against evaluating the three routines at the epoch
// itself, at most 1e-10 rad in the Sun's direction, 1.3e-10 rad in the
// Moon's, 4 cm in the Moon's distance and 6 m in the Sun's: measured at every
// hour of 1901-2199, and each minute of the six hours around the largest
// misses, as 9.6e-11 rad, 1.24e-10 rad, 3.4 cm and 5.75 m.  The tests
// (tests/test_precise_sun_moon.cpp) hold it to these bounds at random epochs,
// every hour of 2020 and the epochs of the largest misses, where a window
// shifted by one node misses the Sun's distance by more than 8 m.  That is
// far inside the routines' own accuracy.
//
// Cost (bench/bench_ephemeris.cpp).  Stepping through time, each grid node is
// evaluated once.  An epoch costs some 0.5 us at one-minute steps (the
// evaluation at the epoch itself), 3 us at hourly steps, 15 us at six-hourly
// and 60 us at daily steps; epochs farther apart than about a week evaluate
// all 28 nodes each, some 0.5 ms.  The short series cost some 4 us at any
// step.
//
// Use.  An object keeps the nodes and the polynomials of the intervals last
// used (mutable members, about 5 KB, no allocation), so it is not for
// concurrent use: give each thread its own object.  Copies are independent.
// Valid for any epoch an mjd holds; outside 1900-2100 the routines'
// accuracy degrades as ERFA describes (eraEpv00 extrapolates its series).
#ifndef GNSS_PRECISESUNMOON_H
#define GNSS_PRECISESUNMOON_H

#include <cstdint>

#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

class PreciseSunMoon {
  public:
    // An empty cache: the first epoch evaluates its nodes.
    PreciseSunMoon();

    // Sun and Moon of one epoch, in the shape of
    // LuniSolarPosition::SunMoonPosition.
    //   utc:          epoch, UTC (MJD day and seconds of day).
    //   sunU, moonU:  out, geocentric unit vectors toward the Sun and the
    //                 Moon, Earth-fixed axes (length 1 to extended precision).
    //   sunR, moonR:  out, geocentric distances of the Sun and the Moon,
    //                 metres.
    //   result:       true when ERFA extrapolates the Earth's series for
    //                 this epoch: eraEpv00 returned its warning status +1
    //                 (a date outside 1900-2100) for a node of the epoch's
    //                 interpolation window: every epoch outside that span,
    //                 and those within some 9 days inside its ends.
    // Allocates nothing.  Not for concurrent calls on one object (see above).
    bool SunMoonPosition(const mjd& utc, xyz& sunU, long double& sunR, xyz& moonU,
                         long double& moonR) const;

    // The grid of Terrestrial Time one quantity is sampled on, and how many
    // nodes interpolate one interval (described above).
    struct Grid {
        int halfDays;   // node spacing, in half days
        int nodes;      // nodes around each interval (even)
        bool withRate;  // nodes carry the time derivative too (Hermite)
    };
    static constexpr Grid kCipGrid{3, 12, false};
    static constexpr Grid kMoonGrid{1, 10, false};
    static constexpr Grid kEarthGrid{6, 6, true};

  private:
    // Upper bounds of the tables below.
    static constexpr int kMaxTerms = 12;  // nodes, or twice the nodes with rates
    static constexpr int kSlots = 16;     // cached nodes per quantity (>= nodes)

    // One grid node of a three-component quantity.
    struct Node {
        std::int64_t index;  // grid index k (TT MJD = k * spacing), or kNone
        double value[3];     // ERFA's value (radians or au)
        double rate[3];      // its derivative, per day (au/d), when withRate
        bool extrapolated;   // ERFA warned that it extrapolates (eraEpv00's status)
    };

    // The interpolating polynomial of one interval [k, k + 1) of node
    // spacings, in Newton's form in u = t / spacing - k: abscissae z and
    // divided differences c, per component.
    struct Piece {
        std::int64_t index;  // k of the interval, or kNone
        int terms;
        bool extrapolated;  // a node of it is extrapolated
        long double z[kMaxTerms];
        long double c[kMaxTerms][3];
    };

    // One interpolated quantity: its grid, the nodes last evaluated (slot
    // k mod kSlots) and the polynomial of the interval last used.
    struct Series {
        Grid grid;
        Node node[kSlots];
        Piece piece;
    };

    enum Quantity { kCip, kMoon, kEarth, kQuantities };

    // Value of quantity q at TT = ttDay + ttFraction days (MJD, 0 <= ttFraction
    // < 1), interpolated: out in radians (X, Y, s) or au.  True when a node
    // of the interval is extrapolated.
    bool Interpolate(Quantity q, std::int64_t ttDay, long double ttFraction,
                     long double out[3]) const;
    // The polynomial of interval k of quantity q, built from its nodes.
    const Piece& PieceOf(Quantity q, std::int64_t k) const;
    // Node k of quantity q, evaluated by ERFA unless cached.
    const Node& NodeOf(Quantity q, std::int64_t k) const;

    mutable Series series_[kQuantities];
};

#endif  // GNSS_PRECISESUNMOON_H

// LuniSolarPosition: geocentric directions and distances of the Sun and the
// Moon in Earth-fixed axes, and the mean sidereal angle.
//
// The solid Earth tide depends on the Sun and the Moon only through their
// directions and distances as seen from the Earth's centre, so short analytic
// series of a handful of periodic terms are enough here.  Celestial
// coordinates are turned into Earth-fixed ones by a single rotation about the
// z axis through the Greenwich mean sidereal angle: no precession, nutation,
// polar motion or aberration is applied.
//
// Frames and units of every result:
//   - angles (GSTime, LSTime) in radians, in [0, 2*pi);
//   - unit vectors dimensionless, Earth-fixed geocentric axes (z toward the
//     north pole, x toward the Greenwich meridian);
//   - distances in metres.
//
// Time argument.  Every operation reads its epoch as an mjd and moves it back
// by the leap-second count of that day (LeapSecond, GPS - UTC) before use:
//   T = (s / 86400 + days - LeapSec / 86400) / 36525   [Julian centuries]
// with days = (MJD + 2400000.5) - 2451545 counted from J2000.0.  The same T
// drives the sidereal rotation and the Sun and Moon series.  (The tide model
// forms its own, different time argument.)
//
// Precision: the series are of low precision by design (a handful of terms);
// the tide needs no more.  All arithmetic is 80-bit extended precision and the
// numeric constants are double-precision literals widened to it, so results
// are reproducible to the last bits on x87 platforms.
//
// Evaluation.  The sines and cosines of the series' angles (thousands of
// radians for the Moon) come from a reduction by quarter turns and Taylor
// polynomials (funkcije/KotneFunkcije.h), within a unit or two in the last
// place of the library's sinl and cosl of the same angles, and the Sun's
// double anomaly from the double-angle identities.  The table printed from
// them is that of the series evaluated with the library's functions of every
// whole angle (tests/test_print_proof.cpp, against the reference evaluation
// of tests/support/reference_model.h).
#ifndef GNSS_LUNISOLARPOSITION_H
#define GNSS_LUNISOLARPOSITION_H

#include "GNSS/flh.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

class LuniSolarPosition {
  public:
    LuniSolarPosition();
    ~LuniSolarPosition() {}

    // Greenwich mean sidereal angle of the epoch.
    //   ephUT1: epoch (MJD day and seconds of day, read as UTC and moved back
    //           by the leap-second count, see above).
    //   result: radians, in [0, 2*pi).
    long double GSTime(const mjd& ephUT1) const;

    // Local mean sidereal angle: GSTime plus the longitude of gpos.
    //   ephUT1: epoch as for GSTime.
    //   gpos:   place; only its longitude (radians, east positive) is used.
    //   result: radians, in [0, 2*pi).
    long double LSTime(const mjd& ephUT1, const flh& gpos) const;

    // Direction and distance of the Sun.
    //   eph:  epoch as for GSTime.
    //   uvec: out, geocentric unit vector toward the Sun, Earth-fixed axes.
    //   magr: out, geocentric distance of the Sun, metres.
    void SunPosition(const mjd& eph, xyz& uvec, long double& magr) const;

    // Direction and distance of the Moon.
    //   eph:  epoch as for GSTime.
    //   uvec: out, geocentric unit vector toward the Moon, Earth-fixed axes.
    //   magr: out, geocentric distance of the Moon, metres.
    void MoonPosition(const mjd& eph, xyz& uvec, long double& magr) const;

    // Sun and Moon of one epoch together, for the epoch loop: the same values,
    // to the last bit, as SunPosition and MoonPosition of eph, with the
    // leap-second count, the century argument, the sidereal angle and the
    // obliquity found once for both bodies.
    //   eph:          epoch as for GSTime.
    //   sunU, moonU:  out, geocentric unit vectors, Earth-fixed axes.
    //   sunR, moonR:  out, geocentric distances, metres.
    void SunMoonPosition(const mjd& eph, xyz& sunU, long double& sunR, xyz& moonU,
                         long double& moonR) const;

  private:
    // What the Sun and the Moon of one epoch share.
    struct EpochTerms {
        long double T;           // Julian centuries (see above)
        long double cosG, sinG;  // cosine and sine of minus the sidereal angle
        long double cosE, sinE;  // cosine and sine of the obliquity
    };

    // Julian centuries from J2000.0 of the epoch moved back by its leap-second
    // count (the argument of the sidereal angle and of both series).
    long double Centuries(const mjd& eph) const;
    // Greenwich mean sidereal angle [rad, in [0, 2*pi)] at T centuries.
    long double GSTimeAt(long double T) const;
    // The epoch's shared terms, and the two bodies from them.
    EpochTerms Terms(const mjd& eph) const;
    void Sun(const EpochTerms& ep, xyz& uvec, long double& magr) const;
    void Moon(const EpochTerms& ep, xyz& uvec, long double& magr) const;

    long double twopi;  // 2 pi (twice numerics::kPi), the period of every angle reduction
    long double AU;     // astronomical unit, kilometres
    long double RE;     // Earth's equatorial radius, kilometres (Moon distance)
};

#endif  // GNSS_LUNISOLARPOSITION_H

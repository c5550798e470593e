// SunMoon: the Sun and the Moon of an epoch from the ephemeris the user
// chose, for the epoch loop and for library users.
//
//   Ephemeris::Series   the short analytic series of LuniSolarPosition (the
//                       default): the same values, bit for bit, as
//                       LuniSolarPosition::SunMoonPosition;
//   Ephemeris::Precise  ERFA's Earth and Moon in the IAU 2006/2000A
//                       Earth-fixed frame, PreciseSunMoon.
//
// Both give Earth-fixed geocentric unit vectors and distances in metres for a
// UTC epoch; see the two classes for their time arguments and accuracy.
//
// An object is not for concurrent use (the precise ephemeris keeps a cache):
// give each thread its own.
#ifndef GNSS_SUNMOON_H
#define GNSS_SUNMOON_H

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/PreciseSunMoon.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

// Where the Sun and the Moon come from.
enum class Ephemeris {
    Series,  // short analytic series (LuniSolarPosition)
    Precise  // ERFA (PreciseSunMoon)
};

class SunMoon {
  public:
    explicit SunMoon(Ephemeris e = Ephemeris::Series);

    // The ephemeris this object uses.
    Ephemeris Kind() const { return kind_; }

    // Sun and Moon of one epoch.
    //   utc:          epoch, UTC (MJD day and seconds of day).
    //   sunU, moonU:  out, geocentric unit vectors toward the Sun and the
    //                 Moon, Earth-fixed axes.
    //   sunR, moonR:  out, geocentric distances, metres.
    //   result:       true when the precise ephemeris extrapolates ERFA's
    //                 Earth series for the epoch (see
    //                 PreciseSunMoon::SunMoonPosition); always false for the
    //                 series.
    bool Position(const mjd& utc, xyz& sunU, long double& sunR, xyz& moonU,
                  long double& moonR) const;

  private:
    Ephemeris kind_;
    LuniSolarPosition series_;
    PreciseSunMoon precise_;
};

#endif  // GNSS_SUNMOON_H

// Tide: the solid Earth tide of one station, epoch after epoch.  The simplest
// use of the computing core: set up once with the station, the ephemeris and
// the geometry mode, then call At for every epoch.
//
//   const Tide tide(TidePoint::Geodetic(flh(deg2rad(46.05), deg2rad(14.5), 300)),
//                   Ephemeris::Series);
//   const TideResult r = tide.At(mjd(58500, 43200));   // UTC
//   // r.local: north, east, up [m]; r.ecef: Earth-fixed [m]
//
// For many points at one epoch, compute the TideEpoch once and hand it to
// the TidePoint of each point instead (TideEpoch.h, TidePoint.h): that is
// what At does, for one point.
//
// Threads: a Tide keeps the ephemeris' cache, so one object serves one thread
// at a time; the results depend on the epoch alone, whichever object computes
// them and in whichever order.
#ifndef GNSS_TIDE_H
#define GNSS_TIDE_H

#include "GNSS/SunMoon.h"
#include "GNSS/TideEpoch.h"
#include "GNSS/TidePoint.h"
#include "GNSS/mjd.h"

namespace havorkastilo {

class Tide {
  public:
    // point: the station and its geometry mode; ephemeris: where the Sun and
    // the Moon come from (the short series, or ERFA).
    Tide(const TidePoint& point, Ephemeris ephemeris);

    // The epoch's bodies and time arguments (UTC).
    TideEpoch EpochAt(const mjd& utc) const { return TideEpoch(utc, bodies_); }

    // The tide at the station at epoch utc (UTC).  An invalid epoch cannot
    // reach here: an mjd is checked when it is made (see TideEpoch).
    TideResult At(const mjd& utc) const { return point_.At(EpochAt(utc)); }

    const TidePoint& Point() const { return point_; }
    Ephemeris Kind() const { return bodies_.Kind(); }

  private:
    TidePoint point_;
    SunMoon bodies_;
};

}  // namespace havorkastilo

#endif  // GNSS_TIDE_H

// TideEpoch: what the solid Earth tide of one epoch shares at every point of
// the Earth.  The per-epoch half of the computing core; TidePoint is the
// per-point half, and Tide joins the two for one station.
//
// A TideEpoch holds, for one UTC epoch:
//   - the Sun and the Moon from the chosen ephemeris: Earth-fixed geocentric
//     unit vectors (z toward the pole, x toward the Greenwich meridian) and
//     distances in metres, as SunMoon::Position gives them;
//   - whether the precise ephemeris extrapolates ERFA's Earth series there
//     (outside 1900-2100, see PreciseSunMoon.h);
//   - the time arguments of the tide's second step
//     (SolidEarthTide::TermsAt: Terrestrial Time, the fundamental angles with
//     their sines and cosines, the hour angle of the mean Moon).
// It is computed once and then only read: any number of threads may use one
// TideEpoch at once, each with its own TidePoint.  Everything in it depends
// on the epoch and the ephemeris alone, to the last bit (neither on the
// SunMoon object that computed it nor on what that object computed before).
//
// Cost: the Sun and the Moon (some 0.8 us with the series) and six sines and
// cosines; nothing is allocated.
#ifndef GNSS_TIDEEPOCH_H
#define GNSS_TIDEEPOCH_H

#include <cstdint>

#include "GNSS/SolidEarthTide.h"
#include "GNSS/SunMoon.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

namespace havorkastilo {

class TideEpoch {
  public:
    // The epoch utc (UTC) with the bodies of ephemeris.  ephemeris keeps a
    // cache (the precise one), so it is written: give each thread its own.
    TideEpoch(const mjd& utc, const SunMoon& ephemeris);

    // The same for the epoch of Modified Julian Day mjday and seconds of day
    // (UTC).  An invalid epoch (a day beyond 199999, seconds outside
    // 0 <= s < 86400, NaN) is reported through the seam of
    // PROGINC/ProgramExit.h with the mjd class's validity report, as the
    // program reports it: by default havorkastilo::Error is thrown, with the
    // text "\n**** mjd: Error -> SECOND not valid ****\n     Exiting class
    // mjd ... \n" (or "MJDAY not valid") and status 1.
    TideEpoch(std::uint32_t mjday, long double seconds, const SunMoon& ephemeris);

    // The epoch, UTC.
    const mjd& Utc() const { return utc_; }

    // Geocentric unit vectors toward the Sun and the Moon, Earth-fixed axes,
    // and their geocentric distances in metres.
    const xyz& SunDirection() const { return sunU_; }
    long double SunDistance() const { return sunR_; }
    const xyz& MoonDirection() const { return moonU_; }
    long double MoonDistance() const { return moonR_; }

    // True when the bodies come from the precise ephemeris and ERFA
    // extrapolates the Earth's series for this epoch (its stated accuracy,
    // 11.2 km at most over 1900-2100, degrades to about twice that by 1800
    // and 2200); always false for the series.
    bool Extrapolated() const { return extrapolated_; }

    // The time arguments of the tide's second step, and the scale factors
    // of the bodies' distances.
    const SolidEarthTide::EpochTerms& TideTerms() const { return terms_; }
    const SolidEarthTide::Factors& TideFactors() const { return factors_; }

  private:
    mjd utc_;
    xyz sunU_, moonU_;
    long double sunR_, moonR_;
    bool extrapolated_;
    SolidEarthTide::EpochTerms terms_;
    SolidEarthTide::Factors factors_;
};

}  // namespace havorkastilo

#endif  // GNSS_TIDEEPOCH_H

// The per-epoch half of the tide; see the header.
#include "GNSS/TideEpoch.h"

namespace havorkastilo {

TideEpoch::TideEpoch(const mjd& utc, const SunMoon& ephemeris)
    : utc_(utc), sunR_(0), moonR_(0), extrapolated_(false), terms_(SolidEarthTide::TermsAt(utc)) {
    extrapolated_ = ephemeris.Position(utc_, sunU_, sunR_, moonU_, moonR_);
    factors_ = SolidEarthTide::FactorsOf(sunR_, moonR_);
}

TideEpoch::TideEpoch(std::uint32_t mjday, long double seconds, const SunMoon& ephemeris)
    : TideEpoch(mjd(mjday, seconds), ephemeris) {}

}  // namespace havorkastilo

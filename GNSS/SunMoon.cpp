// The chosen ephemeris; see the header.
#include "GNSS/SunMoon.h"

SunMoon::SunMoon(Ephemeris e) : kind_(e) {}

bool SunMoon::Position(const mjd& utc, xyz& sunU, long double& sunR, xyz& moonU,
                       long double& moonR) const {
    if (kind_ == Ephemeris::Precise) return precise_.SunMoonPosition(utc, sunU, sunR, moonU, moonR);
    series_.SunMoonPosition(utc, sunU, sunR, moonU, moonR);
    return false;
}

// Reference evaluations of the model, for proving the fast ones to print
// precision (tests/test_print_proof.cpp) and for the benchmarks: the plain
// formulas, with the mathematics library's sine and cosine of every whole
// angle, and none of the shortcuts the library takes.
#ifndef TESTS_SUPPORT_REFERENCE_MODEL_H
#define TESTS_SUPPORT_REFERENCE_MODEL_H

#include "GNSS/SolidEarthTide.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

namespace reference {

// The short Sun and Moon series of LuniSolarPosition (the same time argument,
// constants and order of the terms) with sinl and cosl of every angle as it
// comes, twice the Sun's mean anomaly as an angle of its own: Earth-fixed
// unit vectors and distances in metres of epoch e (UTC).
void SunMoon(const mjd& e, xyz& sunU, long double& sunR, xyz& moonU, long double& moonR);

// Step 1 of the tide (the in-phase degree-2 and degree-3 displacement, then
// the out-of-phase corrections of the diurnal and semidiurnal bands and the
// latitude dependence of l(1), added in that order), metres, Earth-fixed:
// every expression written out as the model states it, in its order of
// operations, from the station's unit vector sta and the bodies' unit
// vectors and distances [m].
xyz Step1(const xyz& sta, const xyz& sun, long double rsun, const xyz& moon, long double rmoon);

// The tide's displacement of the station and bodies set in tide, at epoch e
// (UTC), metres, Earth-fixed: Step1, then
// step 2 constituent by constituent from the model's tables, each argument
//   THETAF = (TAU + r0 S + r1 H + r2 P + r3 ZNS + r4 PS) pi/180 (+ longitude)
// with its own sinl and cosl, and each constituent's radial, north and east
// parts turned into Earth-fixed axes one by one.
void Displacement(SolidEarthTide& tide, const mjd& e, xyz& out);

}  // namespace reference

#endif  // TESTS_SUPPORT_REFERENCE_MODEL_H

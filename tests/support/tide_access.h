// The tests' way into the private steps of the tide model: each step run on
// the object's members as GetDisplacement runs it, and the members it sets.
#ifndef TESTS_SUPPORT_TIDE_ACCESS_H
#define TESTS_SUPPORT_TIDE_ACCESS_H

#include "GNSS/SolidEarthTide.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

class SolidEarthTideTestAccess {
  public:
    static xyz InPhase(SolidEarthTide& t) {
        xyz d;
        t.ST1INPHASE(d);
        return d;
    }
    static xyz ST1IDIU(SolidEarthTide& t) {
        t.ST1IDIU();
        return t.DXCOR;
    }
    static xyz ST1ISEM(SolidEarthTide& t) {
        t.ST1ISEM();
        return t.DXCOR;
    }
    static xyz ST1L1(SolidEarthTide& t) {
        t.ST1L1();
        return t.DXCOR;
    }
    static xyz STEP2DIU(SolidEarthTide& t, const mjd& e) {
        t.STEP2DIU(e);
        return t.DXCOR;
    }
    static xyz STEP2LON(SolidEarthTide& t) {
        t.STEP2LON();
        return t.DXCOR;
    }
    static long double T(const SolidEarthTide& t) { return t.T; }
    static void SetT(SolidEarthTide& t, long double v) { t.T = v; }
    static long double FAC2SUN(const SolidEarthTide& t) { return t.FAC2SUN; }
    static long double FAC2MON(const SolidEarthTide& t) { return t.FAC2MON; }
    static long double FAC3SUN(const SolidEarthTide& t) { return t.FAC3SUN; }
    static long double FAC3MON(const SolidEarthTide& t) { return t.FAC3MON; }
    // The station's unit vector as the model holds it, and the constituent
    // tables.
    static const xyz& Station(const SolidEarthTide& t) { return t.XSTA; }
    // The bodies last set.
    static const xyz& Sun(const SolidEarthTide& t) { return t.XSUN; }
    static const xyz& Moon(const SolidEarthTide& t) { return t.XMON; }
    static long double SunDistance(const SolidEarthTide& t) { return t.RSUN; }
    static long double MoonDistance(const SolidEarthTide& t) { return t.RMON; }
    static const long double (&DATDIU(const SolidEarthTide& t))[31][9] { return t.DATDIU; }
    static const long double (&DATLON(const SolidEarthTide& t))[5][9] { return t.DATLON; }
};

#endif  // TESTS_SUPPORT_TIDE_ACCESS_H

// SolidEarthTide: displacement of a point on the Earth's surface by the solid
// Earth tide that the Sun and the Moon raise, one epoch at a time.
//
// The model is the solid Earth tide displacement of the IERS Conventions
// (2010), chapter 7:
//   step 1, time domain: in-phase degree-2 and degree-3 tides with nominal
//     Love and Shida numbers (h2, l2 depending on latitude), then the
//     out-of-phase corrections of the diurnal (ST1IDIU) and semidiurnal
//     (ST1ISEM) bands and the latitude dependence of l(1) (ST1L1);
//   step 2, frequency domain: corrections for 31 single constituents of the
//     diurnal band (STEP2DIU, table DATDIU) and 5 of the long-period band
//     (STEP2LON, table DATLON).
// Member and routine names follow the vocabulary of the published routine
// (H20, L20, SCSUN, FAC2SUN, ...).
//
// Inputs are unit vectors plus separate distances, all in the same Earth-fixed
// geocentric Cartesian axes; the published divisions by the distances vanish
// because the vectors have length 1, and the distances enter only through the
// scale factors FAC2SUN .. FAC3MON.  The result is a Cartesian displacement in
// metres in those axes.  Nothing here normalises a vector: the caller hands
// over vectors of length 1.
//
// Time scales.  GetDisplacement reads its epoch as UTC.  For step 2 it forms
//   T = (MJD - 51544.5) / 36525 + (LeapSecond + 19 + 32.184) / 3155760000,
// Julian centuries of Terrestrial Time from J2000.0 (LeapSecond + 19 is
// TAI - UTC and 32.184 s is TT - TAI): the epoch is moved forward, unlike the
// Sun and Moon series, which move it back.  The hour angle of the diurnal
// constituents uses the seconds of day of the epoch unchanged.
//
// Evaluation.  Step 2 builds the sines and cosines of the constituents'
// arguments from those of the five fundamental angles by the angle-addition
// identities, so that an epoch needs six sine-cosine pairs instead of 36, and
// sums the constituents of each band and amplitude column once per epoch
// (EpochTerms); a station then takes the sums with the sine and cosine of
// its own hour angle, found from those of the epoch's and of its longitude:
// a few multiplications instead of a sum over 36 constituents.  The result
// agrees with the evaluation constituent by constituent to some 1e-19 m
// (tests/test_epoch_path.cpp).  The six pairs come from Taylor polynomials
// of angles reduced by quarter turns (funkcije/KotneFunkcije.h), within a
// unit or two in the last place of the library's sine and cosine.
//
// Use, one station and one caller: construct; SetStaPosition once; then for
// every epoch SetSunPosition, SetMoonPosition and GetDisplacement, which
// depends only on the station, the Sun and Moon last set and the epoch; it
// does not check that the three set operations have run, and it writes
// members (the scale factors, T, the corrections), so one object serves one
// caller at a time this way.
//
// Use, many epochs and points: what depends on the epoch alone (T, the
// fundamental angles of step 2 with their sines and cosines, the hour angle
// of the mean Moon) is found once per epoch by TermsAt, a value that any
// number of threads may read at once; Displacement then gives the same
// result as GetDisplacement, to the last bit, for the station of this object,
// given bodies and those terms.  Displacement is const and writes nothing
// but its output, so many threads may call it at once on one object or on
// objects of their own.  Neither way allocates.
//
// All quantities are 80-bit extended precision; the model's constants are
// double-precision literals widened to it.
#ifndef GNSS_SOLIDEARTHTIDE_H
#define GNSS_SOLIDEARTHTIDE_H

#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

// Test-only way into the private steps; defined by the tests, nowhere else.
class SolidEarthTideTestAccess;

class SolidEarthTide {
  public:
    // Sets the model's constants and fills the two constituent tables; every
    // other member starts at zero until the set operations fill it.
    SolidEarthTide();
    ~SolidEarthTide() {}

    // Station.
    //   Pos: unit vector of the station, Earth-fixed geocentric axes.
    //   Mag: geocentric distance of the station, metres (stored; the
    //        displacement depends on the direction only).
    // A station on the polar axis (x = y = 0, where the longitude is
    // undefined) is given longitude 0: SINLA = 0, COSLA = 1, and its equatorial
    // components are stored as +0 so that every longitude term agrees.  The
    // model is continuous at the poles, so the displacement found there is
    // that of stations a hair off the axis, at whatever longitude.
    void SetStaPosition(const xyz& Pos, const long double& Mag);

    // Sun.
    //   Pos: geocentric unit vector toward the Sun, Earth-fixed axes.
    //   Mag: geocentric distance of the Sun, metres.
    void SetSunPosition(const xyz& Pos, const long double& Mag);

    // Moon.
    //   Pos: geocentric unit vector toward the Moon, Earth-fixed axes.
    //   Mag: geocentric distance of the Moon, metres.
    void SetMoonPosition(const xyz& Pos, const long double& Mag);

    // Tidal displacement of the station for the Sun and Moon last set.
    //   eph:    epoch, UTC (MJD day and seconds of day).
    //   DXTIDE: out, displacement in metres, Earth-fixed Cartesian axes; its
    //           previous content is replaced, never accumulated.
    void GetDisplacement(const mjd& eph, xyz& DXTIDE);

    // What the tide of one epoch shares at every station.
    //
    // The arguments of the second step's constituents are the hour angle of
    // the mean Moon TAU, the station's longitude and whole multiples of the
    // fundamental angles: a_j = TAU + lambda + theta_j (diurnal band) and
    // f_j = theta_j (long-period band).  By the angle-addition identities
    //   sum_j (A_j sin a_j + B_j cos a_j)
    //     = sin(TAU + lambda) sum_j (A_j cos theta_j - B_j sin theta_j)
    //     + cos(TAU + lambda) sum_j (A_j sin theta_j + B_j cos theta_j),
    // so the sums over the constituents, which depend on the epoch alone,
    // are formed once here, and a station needs only the sine and cosine of
    // TAU + lambda, from those of TAU and of its longitude.
    struct EpochTerms {
        long double T;                // Julian centuries of TT from J2000.0 (see above)
        long double sinTAU, cosTAU;   // of the hour angle of the mean Moon, reduced by fmod
        // Diurnal band, amplitudes in mm: the radial amplitudes' sums
        // (sine column [5], cosine column [6]) with the sine and with the
        // cosine of TAU + lambda, then those of the horizontal columns
        // [7], [8].
        long double radialSin, radialCos, horizontalSin, horizontalCos;
        // Long-period band, mm: sum_j ([5] cos f_j + [7] sin f_j) (radial)
        // and sum_j ([6] cos f_j + [8] sin f_j) (north).
        long double longRadial, longNorth;
    };

    // The epoch's terms.
    //   eph: epoch, UTC (MJD day and seconds of day).
    static EpochTerms TermsAt(const mjd& eph);

    // Tidal displacement of this object's station (SetStaPosition) for the
    // given bodies at the epoch of terms.
    //   terms:        TermsAt of the epoch.
    //   XSUN, XMON:   geocentric unit vectors toward the Sun and the Moon,
    //                 Earth-fixed axes.
    //   RSUN, RMON:   their geocentric distances, metres.
    //   DXTIDE:       out, displacement in metres, Earth-fixed Cartesian axes.
    // The same bits as SetSunPosition, SetMoonPosition and GetDisplacement
    // of the epoch with those bodies; writes no member.
    void Displacement(const EpochTerms& terms, const xyz& XSUN, long double RSUN, const xyz& XMON,
                      long double RMON, xyz& DXTIDE) const;

    // The degree-2 and degree-3 scale factors of the Sun and the Moon,
    // metres, which depend on the bodies' distances alone:
    //   FAC2SUN = MASS_RATIO_SUN RE (RE / RSUN)^3,  FAC3SUN = FAC2SUN RE / RSUN,
    // the same for the Moon.
    struct Factors {
        long double FAC2SUN, FAC2MON, FAC3SUN, FAC3MON;
    };
    //   RSUN, RMON: geocentric distances of the Sun and the Moon, metres.
    static Factors FactorsOf(long double RSUN, long double RMON);

    // Displacement with the scale factors found beforehand (FactorsOf of
    // the bodies' distances): the same bits.
    void Displacement(const EpochTerms& terms, const Factors& factors, const xyz& XSUN,
                      const xyz& XMON, xyz& DXTIDE) const;

  private:
    friend class SolidEarthTideTestAccess;

    // The model's steps for given bodies, as pure functions of the station
    // and their arguments, metres, Earth-fixed axes.
    //   InPhase: steps 1 to 7, the in-phase degree-2 and degree-3
    //     displacement, for the scale factors of the bodies' distances.
    //   OutOfPhaseDiurnal, OutOfPhaseSemidiurnal, LatitudeDependence: the
    //     out-of-phase part of h and l in the diurnal band, the same in the
    //     semidiurnal band, and the latitude dependence of l(1) in both bands.
    //   Diurnal, LongPeriod: the step-2 corrections of the 31 diurnal and the
    //     5 long-period constituents.
    xyz InPhase(const xyz& XSUN, const xyz& XMON, const Factors& f) const;
    xyz OutOfPhaseDiurnal(const xyz& XSUN, const xyz& XMON, const Factors& f) const;
    xyz OutOfPhaseSemidiurnal(const xyz& XSUN, const xyz& XMON, const Factors& f) const;
    xyz LatitudeDependence(const xyz& XSUN, const xyz& XMON, const Factors& f) const;
    xyz Diurnal(const EpochTerms& terms) const;
    xyz LongPeriod(const EpochTerms& terms) const;
    // The terms of epoch eph at T centuries.
    static EpochTerms TermsAt(const mjd& eph, long double centuries);

    // The same steps on the members, as GetDisplacement runs them: steps 1 to
    // 7 written into DXTIDE (setting FAC2SUN, FAC2MON, FAC3SUN and FAC3MON);
    // each correction written into DXCOR (metres, replacing it), the step-1
    // ones setting their constants (DHI, DLI, L1D, L1SD) and the step-2 ones
    // reading T.
    void ST1INPHASE(xyz& DXTIDE);
    void ST1IDIU();
    void ST1ISEM();
    void ST1L1();
    void STEP2DIU(const mjd& eph);
    void STEP2LON();

    // The scale factors in the members.
    Factors MemberFactors() const { return {FAC2SUN, FAC2MON, FAC3SUN, FAC3MON}; }

    // Radial, north and east components (metres) at the station, turned into
    // Earth-fixed Cartesian axes.
    xyz Cartesian(long double DR, long double DN, long double DE) const;
    // The same conversion into out[0..2] (units of the input).
    void ToCartesian(long double DR, long double DN, long double DE, long double* out) const;

    long double RSUN, RMON, RSTA;  // geocentric distances of Sun, Moon, station, metres
    xyz XSUN, XMON, XSTA;          // unit vectors of Sun, Moon, station, Earth-fixed
    xyz DXCOR;                     // the correction computed last, metres
    long double H20, L20;          // nominal degree-2 Love number h2 and Shida number l2
    long double H3, L3;            // degree-3 Love and Shida numbers
    long double MASS_RATIO_SUN;    // mass of the Sun over the Earth's
    long double MASS_RATIO_MOON;   // mass of the Moon over the Earth's
    long double RE;                // Earth's equatorial radius, metres
    // Sine and cosine of the station's geocentric latitude and of its longitude.
    long double SINPHI, COSPHI, SINLA, COSLA;
    long double DHI, DLI;   // out-of-phase parts of h and l of the band in hand
    long double L1D, L1SD;  // l(1) of the diurnal and of the semidiurnal band
    long double FAC2SUN, FAC2MON, FAC3SUN, FAC3MON;  // degree-2/3 scale factors, metres
    long double T;  // epoch, Julian centuries of TT from J2000.0 (step 2)
    // Diurnal and long-period constituents: [0..4] integer multipliers of the
    // fundamental angles S, H, P, ZNS, PS; [5..8] amplitudes in millimetres
    // (DATDIU: radial sine, radial cosine, horizontal sine, horizontal
    // cosine; DATLON: radial cosine, north cosine, radial sine, north sine).
    long double DATDIU[31][9];
    long double DATLON[5][9];

    // What the corrections take from the station alone, set by
    // SetStaPosition: the leading factors of their terms, each formed as the
    // term forms it, so that the products are those of the model's
    // expressions to the last bit.
    struct StationTerms {
        long double COS2PHI, COSTWOLA, SINTWOLA;  // cos 2phi, cos 2lambda, sin 2lambda
        long double H2, L2, P2, X2;    // degree-2 numbers; 3 (H2/2 - L2) and 3 L2
        long double diuR, diuN, diuE;  // diurnal out-of-phase: radial, north, east
        long double semR, semN, semE;  // semidiurnal out-of-phase
        long double l1dN, l1dE;        // latitude dependence of l(1), diurnal
        long double l1sN, l1sE;        // the same, semidiurnal
        long double diurnalR;          // step 2: 2 SINPHI COSPHI
        long double longR, longN;      // step 2: (3 SINPHI^2 - 1) / 2 and 2 COSPHI SINPHI
    };
    StationTerms station_;
};

#endif  // GNSS_SOLIDEARTHTIDE_H

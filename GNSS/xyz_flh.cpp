#include "GNSS/xyz_flh.h"

#include <cmath>

#include "funkcije/Numerics.h"
#include "funkcije/PolmeriUkrivljenosti.h"

namespace {

// The program's pi in extended precision, as the geodetic arithmetic uses it.
constexpr long double kPi = numerics::kPi;

// Iteration bound of the Cartesian-to-geodetic conversion.  Points near the
// Earth's surface, at satellite or Sun distance, or near the geocentre settle
// in well under 20 passes; the bound only stops input on which the fixed-point
// iteration cycles or never meets the tolerance.
const int kMaxPasses = 1000;

// Where xyz2fl finds the latitude by Newton's method instead of the
// iteration: distances from the centre between kClosedFormInner and
// kClosedFormOuter times the semi-major axis, and |z| at most
// kClosedFormSteepest times the distance from the polar axis (latitudes up
// to some 89.4 degrees).  There kClosedFormSteps steps, from the latitude of
// a point on the ellipsoid, leave the latitude within a unit or two of its
// last place of the exact one.
constexpr double kClosedFormInner = 0.5;
constexpr double kClosedFormOuter = 2;
constexpr double kClosedFormSteepest = 100;
constexpr int kClosedFormSteps = 3;

struct Geodetic {
    long double fi;  // latitude, radians
    long double la;  // longitude, radians
    long double h;   // height, metres
};

// Sine and cosine of the pole's latitude, +-pi/2 (the library's values,
// found once, when first asked for).
struct PoleSineCosine {
    long double s, c;
    explicit PoleSineCosine(long double fi) { numerics::SinCos(fi, s, c); }
};
const PoleSineCosine& NorthPole() {
    static const PoleSineCosine pole(kPi / 2);
    return pole;
}
const PoleSineCosine& SouthPole() {
    static const PoleSineCosine pole(-kPi / 2);
    return pole;
}

// How far the geodetic point of latitude sine s, cosine c and height h lands
// from the point at distance p from the polar axis and height z above the
// equator, metres (sum of the two misses); the same closed form as flh2xyz.
long double Miss(long double s, long double c, long double h, long double p, long double z,
                 long double a, long double e) {
    const long double N = PolmerNOfSine(s, a, e);
    return std::fabs((N + h) * c - p) + std::fabs(((1 - e * e) * N + h) * s - z);
}

// Longitude [rad] of a point off the polar axis from its Cartesian x and y
// (x not -0): atan(y/x), moved by +pi or -pi into the half-plane x < 0.
long double Longitude(long double x, long double y) {
    long double la = std::atan(y / x);
    if (x < 0) {
        if (y > 0) {
            la += kPi;
        } else {
            la -= kPi;
        }
    }
    return la;
}

// The common body of xyz2flh and xyzt2flht; heightInChange adds the change of
// height to the stopping test, as the four-valued conversion does.
Geodetic CartesianToGeodetic(long double x, long double y, long double z, const elipsoid& elps,
                             bool heightInChange) {
    const long double a = elps.GetA();
    const long double e = elps.GetE();

    // -0 would turn y/x into -inf and put the +Y axis at -90 degrees.
    if (x == 0) x = 0;

    Geodetic g;
    if (x == 0 && y == 0) {
        g.la = 0;
    } else {
        g.la = Longitude(x, y);
    }

    const long double p = std::sqrt(x * x + y * y);
    // Polar semi-axis, as flh2xyz places the pole: (1 - e^2) N(pi/2).
    const long double b = (1 - e * e) * PolmerNOfSine(NorthPole().s, a, e);

    // On the polar axis (or so close that p underflows) y/x and z/p carry no
    // latitude; the point lies above or below a pole.
    if (p == 0) {
        if (z > 0) {
            g.fi = kPi / 2;
            g.h = z - b;
        } else if (z < 0) {
            g.fi = -kPi / 2;
            g.h = -z - b;
        } else if (z == 0) {
            g.fi = 0;
            g.h = -a;
        } else {
            g.fi = z;  // NaN stays NaN
            g.h = z;
        }
        return g;
    }

    // Each pass takes the sine (for N) and the cosine (for the height) of its
    // latitude from one call.  The first pass starts from the latitude of
    // the point's foot on the ellipsoid; its height change counts from the
    // height at that same latitude, which is its own.
    long double fi0 = std::atan(z / ((1 - e) * p * (1 + e)));
    long double h = 0;
    long double fi1 = fi0;
    long double change = 1;
    for (int pass = 0; change > 1e-14 && pass < kMaxPasses; ++pass) {
        long double s = 0, c = 0;
        numerics::SinCos(fi0, s, c);
        const long double N = PolmerNOfSine(s, a, e);
        const long double h1 = p / c - N;
        fi1 = std::atan(z / ((1 - e * e * N / (N + h1)) * p));
        change = std::fabs(fi1 - fi0);
        if (heightInChange) change += std::fabs(h1 - (pass == 0 ? h1 : h));
        fi0 = fi1;
        h = h1;
    }
    g.fi = fi1;
    g.h = h;

    // Within a hair of the polar axis the iteration cannot resolve the
    // latitude (cos fi0 is lost near +-pi/2, or N + h cancels to nothing), and
    // its answer can miss the point by up to the point's own distance.  The
    // pole answer misses by about p there, so the one that lands nearer the
    // point when mapped back is kept; everywhere else that is the iteration.
    if (z != 0) {
        long double s = 0, c = 0;
        numerics::SinCos(g.fi, s, c);
        const long double missIterated = Miss(s, c, g.h, p, z, a, e);
        const PoleSineCosine& at = z > 0 ? NorthPole() : SouthPole();
        Geodetic pole = g;
        pole.fi = z > 0 ? kPi / 2 : -kPi / 2;
        pole.h = std::fabs(z) - b;
        if (Miss(at.s, at.c, pole.h, p, z, a, e) < missIterated) return pole;
    }
    return g;
}

}  // namespace

xyz flh2xyz(const flh& pos, const elipsoid& elps) {
    const long double la = pos.GetL();
    return flh2xyz(pos, elps, std::cos(la), std::sin(la));
}

xyz flh2xyz(const flh& pos, const elipsoid& elps, long double cosla, long double sinla) {
    long double s = 0, c = 0;
    numerics::SinCos(pos.GetF(), s, c);
    return flh2xyz(pos.GetH(), s, c, sinla, cosla, elps);
}

xyz flh2xyz(long double h, long double s, long double c, long double sinla, long double cosla,
            const elipsoid& elps) {
    const long double e = elps.GetE();
    const long double N = PolmerNOfSine(s, elps.GetA(), e);
    return xyz((N + h) * c * cosla, (N + h) * c * sinla, ((1 - e * e) * N + h) * s);
}

void xyz2fl(const xyz& ecef, const elipsoid& elps, long double& fi, long double& la) {
    long double x = ecef.GetX();
    const long double y = ecef.GetY();
    const long double z = ecef.GetZ();
    if (x == 0) x = 0;  // as in xyz2flh
    const long double a = elps.GetA();
    const long double p = std::sqrt(x * x + y * y);
    const long double r2 = p * p + z * z;
    // Outside the shell and the cone where three Newton steps are shown to
    // reach the last bits (NaN fails the test too), the iteration answers.
    if (!(p > 0 && std::fabs(z) <= kClosedFormSteepest * p &&
          r2 >= kClosedFormInner * kClosedFormInner * a * a &&
          r2 <= kClosedFormOuter * kClosedFormOuter * a * a)) {
        const Geodetic g = CartesianToGeodetic(x, y, z, elps, false);
        fi = g.fi;
        la = g.la;
        return;
    }
    la = Longitude(x, y);

    // The foot of the normal through the point, at reduced latitude beta on
    // the meridian ellipse (a cos beta, b sin beta), makes the point's offset
    // from it perpendicular to the ellipse: with t = tan beta, in units of a,
    //   G(t) = P t - B Z - e^2 t / sqrt(1 + t^2) = 0,
    // P = p/a, Z = z/a, B = b/a = 1 - f.  G rises with t wherever P > e^2, so
    // its root is the one foot point; Newton's method from the foot point of
    // a point on the ellipsoid, t = Z/(B P), gains about twice the digits per
    // step.  The normal there has tan(fi) = tan(beta) a/b.
    const long double f = elps.GetF();
    const long double B = 1 - f;
    const long double e2 = f * 2 - f * f;
    const long double P = p / a;
    const long double Z = z / a;
    long double t = Z / (B * P);
    for (int step = 0; step < kClosedFormSteps; ++step) {
        const long double q = 1 + t * t;
        const long double w = std::sqrt(q);
        t -= (P * t - B * Z - e2 * t / w) / (P - e2 / (q * w));
    }
    fi = std::atan(t / B);
}

xyzt flht2xyzt(const flht& pos, const elipsoid& elps) {
    const long double fi = pos.GetF();
    const long double la = pos.GetL();
    const long double h = pos.GetH();
    const long double e = elps.GetE();
    long double s = 0, c = 0, sl = 0, cl = 0;
    numerics::SinCos(fi, s, c);
    numerics::SinCos(la, sl, cl);
    const long double N = PolmerNOfSine(s, elps.GetA(), e);
    return xyzt((N + h) * c * cl, (N + h) * c * sl, ((1 - e * e) * N + h) * s, pos.GetT());
}

flh xyz2flh(const xyz& ecef, const elipsoid& elps) {
    const Geodetic g = CartesianToGeodetic(ecef.GetX(), ecef.GetY(), ecef.GetZ(), elps, false);
    flh r;
    r.Set(g.fi, g.la, g.h);
    return r;
}

flht xyzt2flht(const xyzt& ecef, const elipsoid& elps) {
    const Geodetic g = CartesianToGeodetic(ecef.GetX(), ecef.GetY(), ecef.GetZ(), elps, true);
    flht r;
    r.Set(g.fi, g.la, g.h, ecef.GetT());
    return r;
}

// Sun and Moon from ERFA, interpolated on fixed grids of Terrestrial Time; see
// the header for the frames, the time scales, the grids and their accuracy.
#include "GNSS/PreciseSunMoon.h"

#include <erfa.h>
#include <erfam.h>

#include <climits>
#include <cmath>

#include "GNSS/TimeConverse.h"

namespace {

// A grid index no node or interval has: marks an empty cache entry.
constexpr std::int64_t kNone = LLONG_MIN;

// Julian Date of MJD 0: the first part of every two-part ERFA date.
constexpr double kMjdZero = 2400000.5;
// Seconds per day.
constexpr double kDay = 86400;
// TAI - GPS time, seconds: TAI - UTC is LeapSecond (GPS - UTC) plus this.
constexpr double kTaiMinusGps = 19;
// TT - TAI, seconds.
constexpr double kTtMinusTai = 32.184;

// Largest integer not above a / b, for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// v turned by the matrix r into Earth-fixed axes and divided by its length:
// the unit vector; its length in au gives the distance in metres.
void ToEarthFixed(const double r[3][3], const long double v[3], xyz& unit, long double& metres) {
    long double w[3];
    for (int i = 0; i < 3; ++i) w[i] = r[i][0] * v[0] + r[i][1] * v[1] + r[i][2] * v[2];
    const long double lw = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    unit.Set(w[0] / lw, w[1] / lw, w[2] / lw);
    metres = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) * ERFA_DAU;
}

}  // namespace

PreciseSunMoon::PreciseSunMoon() {
    const Grid grids[kQuantities] = {kCipGrid, kMoonGrid, kEarthGrid};
    for (int q = 0; q < kQuantities; ++q) {
        Series& s = series_[q];
        s.grid = grids[q];
        for (Node& n : s.node) {
            n.index = kNone;
            n.extrapolated = false;
            for (int j = 0; j < 3; ++j) n.value[j] = n.rate[j] = 0;
        }
        s.piece.index = kNone;
        s.piece.terms = 0;
        s.piece.extrapolated = false;
        for (int i = 0; i < kMaxTerms; ++i) {
            s.piece.z[i] = 0;
            for (int j = 0; j < 3; ++j) s.piece.c[i][j] = 0;
        }
    }
}

const PreciseSunMoon::Node& PreciseSunMoon::NodeOf(Quantity q, std::int64_t k) const {
    Series& s = series_[q];
    Node& n = s.node[static_cast<std::uint64_t>(k) % kSlots];
    if (n.index == k) return n;

    // TT of the node as a Modified Julian Date: k times a whole number of
    // half days, exact in a double.
    const double t = static_cast<double>(k * s.grid.halfDays) * 0.5;
    switch (q) {
        case kCip:
            eraXys06a(kMjdZero, t, &n.value[0], &n.value[1], &n.value[2]);
            break;
        case kMoon: {
            double pv[2][3];
            eraMoon98(kMjdZero, t, pv);
            for (int j = 0; j < 3; ++j) n.value[j] = pv[0][j];
            break;
        }
        case kEarth: {
            // TDB taken as TT.  The status +1 warns of a date outside
            // 1900-2100, where the series are extrapolated.
            double pvh[2][3], pvb[2][3];
            n.extrapolated = eraEpv00(kMjdZero, t, pvh, pvb) != 0;
            for (int j = 0; j < 3; ++j) {
                n.value[j] = pvh[0][j];
                n.rate[j] = pvh[1][j];
            }
            break;
        }
        case kQuantities:
            break;
    }
    n.index = k;
    return n;
}

const PreciseSunMoon::Piece& PreciseSunMoon::PieceOf(Quantity q, std::int64_t k) const {
    Series& s = series_[q];
    Piece& p = s.piece;
    if (p.index == k) return p;

    const Grid& g = s.grid;
    // Nodes k + first .. k + first + nodes - 1, at abscissae first .. in steps;
    // a node with a rate is entered twice (Hermite), its rate per step beside.
    const int first = 1 - g.nodes / 2;
    const long double daysPerStep = g.halfDays * 0.5L;
    long double rate[kMaxTerms][3] = {};
    int n = 0;
    p.extrapolated = false;
    for (int i = 0; i < g.nodes; ++i) {
        const Node& node = NodeOf(q, k + first + i);
        p.extrapolated = p.extrapolated || node.extrapolated;
        for (int copy = 0; copy < (g.withRate ? 2 : 1); ++copy) {
            p.z[n] = first + i;
            for (int j = 0; j < 3; ++j) {
                p.c[n][j] = node.value[j];
                rate[n][j] = node.rate[j] * daysPerStep;
            }
            ++n;
        }
    }
    p.terms = n;

    // Divided differences in place; a repeated abscissa (only ever a pair, at
    // the first order) takes the derivative.
    for (int order = 1; order < n; ++order) {
        for (int i = n - 1; i >= order; --i) {
            const long double dz = p.z[i] - p.z[i - order];
            for (int j = 0; j < 3; ++j)
                p.c[i][j] = dz == 0 ? rate[i][j] : (p.c[i][j] - p.c[i - 1][j]) / dz;
        }
    }
    p.index = k;
    return p;
}

bool PreciseSunMoon::Interpolate(Quantity q, std::int64_t ttDay, long double ttFraction,
                                 long double out[3]) const {
    // TT in whole half days and the fraction of the last (both exact), then
    // the interval k and the position u in it, 0 <= u < 1.
    const long double twice = 2 * ttFraction;
    const long double half = std::floor(twice);
    const std::int64_t halfDays = 2 * ttDay + static_cast<std::int64_t>(half);
    const std::int64_t spacing = series_[q].grid.halfDays;
    const std::int64_t k = FloorDiv(halfDays, spacing);
    const long double u =
        (static_cast<long double>(halfDays - k * spacing) + (twice - half)) / spacing;

    const Piece& p = PieceOf(q, k);
    for (int j = 0; j < 3; ++j) {
        long double r = p.c[p.terms - 1][j];
        for (int i = p.terms - 2; i >= 0; --i) r = p.c[i][j] + (u - p.z[i]) * r;
        out[j] = r;
    }
    return p.extrapolated;
}

bool PreciseSunMoon::SunMoonPosition(const mjd& utc, xyz& sunU, long double& sunR, xyz& moonU,
                                     long double& moonR) const {
    // TT as a whole Modified Julian Day and a fraction: the UTC seconds of
    // day moved forward by TAI - UTC and TT - TAI (42 to 70 s, so at most one
    // day carries).
    const std::int64_t day = utc.GetMJDay();
    const long double taiMinusUtc = LeapSecond(utc) + kTaiMinusGps;
    long double ttSecond = utc.GetSecond() + (taiMinusUtc + kTtMinusTai);
    std::int64_t ttDay = day;
    if (ttSecond >= kDay) {
        ttSecond -= kDay;
        ++ttDay;
    }
    long double ttFraction = ttSecond / kDay;
    // A second a hair below 86400 can round to a whole day.
    if (ttFraction >= 1) {
        ttFraction = 0;
        ++ttDay;
    }

    long double cip[3], moon[3], earth[3];
    Interpolate(kCip, ttDay, ttFraction, cip);
    Interpolate(kMoon, ttDay, ttFraction, moon);
    const bool extrapolated = Interpolate(kEarth, ttDay, ttFraction, earth);

    // The celestial-to-terrestrial matrix of the epoch, composed as eraC2t06a
    // composes it, from the interpolated X, Y, s; UT1 = UTC, no polar motion.
    double rc2i[3][3], rpom[3][3], rc2t[3][3];
    eraC2ixys(static_cast<double>(cip[0]), static_cast<double>(cip[1]),
              static_cast<double>(cip[2]), rc2i);
    const double era = eraEra00(kMjdZero + static_cast<double>(day),
                                static_cast<double>(utc.GetSecond() / kDay));
    const double sp = eraSp00(kMjdZero + static_cast<double>(ttDay), static_cast<double>(ttFraction));
    eraPom00(0, 0, sp, rpom);
    eraC2tcio(rc2i, era, rpom, rc2t);

    // The geocentric Sun is the heliocentric Earth reversed.
    const long double sun[3] = {-earth[0], -earth[1], -earth[2]};
    ToEarthFixed(rc2t, sun, sunU, sunR);
    ToEarthFixed(rc2t, moon, moonU, moonR);
    return extrapolated;
}

#include "src/fEpochRow.h"

#include <cmath>

#include "GNSS/TimeConverse.h"
#include "GNSS/neu.h"
#include "GNSS/xyz_flh.h"
#include "PROGINC/FixedFormat.h"
#include "funkcije/KotnePretvorbe.h"
#include "funkcije/Numerics.h"

namespace {

// pi/2 in double precision (1.5707963267948966), the longitude offset of the
// geometry modes.
constexpr long double kQuarterTurn = numerics::kPi / 2;

// Writes v as printf's "%*.*Lf" writes it at p (a fixed-point text,
// right-aligned in width, blank-filled; width 0 pads nothing), without printf:
// exact integer arithmetic, no locale, safe on several threads; returns the
// end.  Room for FixedFormatMax(width, decimals) characters is needed.
char* Fixed(char* p, long double v, int width, int decimals) {
    return p + FormatFixed(p, v, width, decimals);
}

// The same for a whole number, as "%*llu".
char* Unsigned(char* p, unsigned long long v, int width) {
    return p + FormatUnsigned(p, v, width);
}

// Two decimal digits of v (0..99).
char* TwoDigits(char* p, long v) {
    *p++ = static_cast<char>('0' + v / 10);
    *p++ = static_cast<char>('0' + v % 10);
    return p;
}

}  // namespace

EpochRow::Meridian::Meridian(long double l) : la(l), cosla(std::cos(l)), sinla(std::sin(l)) {}

EpochRow::EpochRow(const Havorkastilo& s)
    : csv(s.output == OutputFormat::Csv),
      coLinear(s.SetCoLinear),
      orthoSun(s.setOrthoSun),
      orthoMoon(s.setOrthoMoon),
      orthoNone(s.setOrthoNone),
      elps(s.elps),
      posMag(s.posX.GetLength()),
      frame(s.posG),
      atL(s.posG.GetL()),
      east(s.posG.GetL() + kQuarterTurn),
      west(s.posG.GetL() - kQuarterTurn),
      bodies(s.ephemeris),
      dateDay(-1),
      dateYear(0),
      dateMonth(0),
      dateDayOfMonth(0) {
    nset.SetStaPosition(s.posX.GetUnitVector(1), posMag);
}

void EpochRow::PutAtLongitude(xyz& body, const Meridian& m) {
    // The direction turned about the polar axis: latitude and height on the
    // ellipsoid kept, the longitude replaced.
    posMS = xyz2flh(body, elps);
    posMS.SetL(m.la);
    body = flh2xyz(posMS, elps, m.cosla, m.sinla);
}

EpochRow::BodyColumns EpochRow::Body(xyz& u, long double mag) {
    // Latitude and longitude of the direction at the station's distance,
    // without the height the columns do not show (the same longitude as
    // xyz2flh, and a latitude within a few 1e-17 rad of it).
    u *= posMag;
    long double fi = 0, la = 0;
    xyz2fl(u, elps, fi, la);
    return {rad2deg(la), rad2deg(fi), mag / 1000};
}

std::size_t EpochRow::Write(const mjd& e, char* out) {
    xyz sunU, moonU, dX;
    long double sunR = 0, moonR = 0;
    bodies.Position(e, sunU, sunR, moonU, moonR);

    // The geometry modes in their order, so the last one set decides each
    // body's longitude.
    if (coLinear) {
        PutAtLongitude(sunU, atL);
        PutAtLongitude(moonU, atL);
    }
    if (orthoSun) {
        PutAtLongitude(sunU, atL);
        PutAtLongitude(moonU, east);
    }
    if (orthoMoon) {
        PutAtLongitude(sunU, east);
        PutAtLongitude(moonU, atL);
    }
    if (orthoNone) {
        PutAtLongitude(sunU, east);
        PutAtLongitude(moonU, west);
    }

    nset.SetSunPosition(sunU, sunR);
    nset.SetMoonPosition(moonU, moonR);
    nset.GetDisplacement(e, dX);
    const neu d = g2lg(dX, frame);

    const BodyColumns sun = Body(sunU, sunR);
    const BodyColumns moon = Body(moonU, moonR);
    return csv ? CsvText(out, e, dX, d, sun, moon) : TableText(out, e, d, sun, moon);
}

std::size_t EpochRow::TableText(char* out, const mjd& e, const neu& d, const BodyColumns& sun,
                                const BodyColumns& moon) const {
    // Day number (width 6) and seconds of day (width 8, one decimal); north,
    // east, up in centimetres (width 8, one decimal); per body longitude
    // (width 15) and latitude (width 12) with five decimals, distance
    // (width 15, one decimal).
    constexpr long double kCentimetres = 100;
    char* p = Unsigned(out, e.GetMJDay(), 6);
    p = Fixed(p, e.GetSecond(), 8, 1);
    p = Fixed(p, d.GetN() * kCentimetres, 8, 1);
    p = Fixed(p, d.GetE() * kCentimetres, 8, 1);
    p = Fixed(p, d.GetU() * kCentimetres, 8, 1);
    for (const BodyColumns* b : {&sun, &moon}) {
        p = Fixed(p, b->lon, 15, 5);
        p = Fixed(p, b->lat, 12, 5);
        p = Fixed(p, b->km, 15, 1);
    }
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

std::size_t EpochRow::CsvText(char* out, const mjd& e, const xyz& dX, const neu& d,
                              const BodyColumns& sun, const BodyColumns& moon) {
    // The seconds of day rounded to 7 decimals once: the time stamp, the day
    // number and the seconds column all show that rounded epoch, so a second
    // that rounds up to 86400 is 00:00:00 of the next day in all three.
    char sod[EpochRow::kMaxText / 15];
    const char* const sodEnd = Fixed(sod, e.GetSecond(), 0, 7);
    // A valid epoch has 0 <= s < 86400 (-0 reads as 0).
    long whole = 0;
    const char* q = sod[0] == '-' ? sod + 1 : sod;
    for (; q < sodEnd && *q != '.'; ++q) whole = whole * 10 + (*q - '0');
    const char* const fraction = q + 1;  // seven digits
    std::int64_t day = e.GetMJDay();
    if (whole >= 86400) {
        whole -= 86400;
        day += 1;
    }
    if (day != dateDay) {
        MJDay2Date(day, dateYear, dateMonth, dateDayOfMonth);
        dateDay = day;
    }

    char* p = Unsigned(out, static_cast<unsigned long long>(dateYear), 4);
    *p++ = '-';
    p = TwoDigits(p, dateMonth);
    *p++ = '-';
    p = TwoDigits(p, dateDayOfMonth);
    *p++ = 'T';
    p = TwoDigits(p, whole / 3600);
    *p++ = ':';
    p = TwoDigits(p, whole % 3600 / 60);
    *p++ = ':';
    p = TwoDigits(p, whole % 60);
    *p++ = '.';
    for (int i = 0; i < 7; ++i) *p++ = fraction[i];
    *p++ = 'Z';
    *p++ = ',';
    p = Unsigned(p, static_cast<unsigned long long>(day), 0);
    *p++ = ',';
    p = Unsigned(p, static_cast<unsigned long long>(whole), 0);
    *p++ = '.';
    for (int i = 0; i < 7; ++i) *p++ = fraction[i];

    const long double metres[] = {d.GetN(), d.GetE(), d.GetU(), dX.GetX(), dX.GetY(), dX.GetZ()};
    for (long double v : metres) {
        *p++ = ',';
        p = Fixed(p, v, 0, 9);
    }
    for (const BodyColumns* b : {&sun, &moon}) {
        *p++ = ',';
        p = Fixed(p, b->lon, 0, 7);
        *p++ = ',';
        p = Fixed(p, b->lat, 0, 7);
        *p++ = ',';
        p = Fixed(p, b->km, 0, 3);
    }
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

#include "src/fCsvWriter.h"

#include "GNSS/TimeConverse.h"
#include "PROGINC/FixedFormat.h"
#include "funkcije/KotnePretvorbe.h"

namespace {

const char* const kHeading =
    "utc,mjd,sod,dn_m,de_m,du_m,dx_m,dy_m,dz_m,sun_lon_deg,sun_lat_deg,sun_dist_km,moon_lon_deg,"
    "moon_lat_deg,moon_dist_km\n";

// Two decimal digits of v (0..99).
char* TwoDigits(char* p, long v) {
    *p++ = static_cast<char>('0' + v / 10);
    *p++ = static_cast<char>('0' + v % 10);
    return p;
}

}  // namespace

CsvWriter::CsvWriter() : dateDay(-1), dateYear(0), dateMonth(0), dateDayOfMonth(0) {}

const char* CsvWriter::Heading() {
    return kHeading;
}

std::size_t CsvWriter::Row(const mjd& e, const havorkastilo::TideResult& r, char* out) {
    // The seconds of day rounded once: the time stamp, the day number and the
    // seconds column all show that rounded epoch, so a second that rounds up
    // to 86400 is 00:00:00 of the next day in all three.
    char sod[FixedFormatMax(0, kSecondDecimals)];
    const char* const sodEnd = sod + FormatFixed(sod, e.GetSecond(), 0, kSecondDecimals);
    // A valid epoch has 0 <= s < 86400 (-0 reads as 0).
    long whole = 0;
    const char* q = sod[0] == '-' ? sod + 1 : sod;
    for (; q < sodEnd && *q != '.'; ++q) whole = whole * 10 + (*q - '0');
    const char* const fraction = q + 1;  // kSecondDecimals digits
    std::int64_t day = e.GetMJDay();
    if (whole >= 86400) {
        whole -= 86400;
        day += 1;
    }
    if (day != dateDay) {
        MJDay2Date(day, dateYear, dateMonth, dateDayOfMonth);
        dateDay = day;
    }

    char* p = out + FormatUnsigned(out, static_cast<unsigned long long>(dateYear), 4);
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
    for (int i = 0; i < kSecondDecimals; ++i) *p++ = fraction[i];
    *p++ = 'Z';
    *p++ = ',';
    p += FormatUnsigned(p, static_cast<unsigned long long>(day), 0);
    *p++ = ',';
    p += FormatUnsigned(p, static_cast<unsigned long long>(whole), 0);
    *p++ = '.';
    for (int i = 0; i < kSecondDecimals; ++i) *p++ = fraction[i];

    const long double metres[] = {r.local.GetN(), r.local.GetE(), r.local.GetU(),
                                  r.ecef.GetX(),  r.ecef.GetY(),  r.ecef.GetZ()};
    for (long double v : metres) {
        *p++ = ',';
        p += FormatFixed(p, v, 0, kMetreDecimals);
    }
    const long double bodies[2][3] = {{rad2deg(r.sunLon), rad2deg(r.sunLat), r.sunR / 1000},
                                      {rad2deg(r.moonLon), rad2deg(r.moonLat), r.moonR / 1000}};
    for (const auto& b : bodies) {
        *p++ = ',';
        p += FormatFixed(p, b[0], 0, kDegreeDecimals);
        *p++ = ',';
        p += FormatFixed(p, b[1], 0, kDegreeDecimals);
        *p++ = ',';
        p += FormatFixed(p, b[2], 0, kKilometreDecimals);
    }
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

#include "GNSS/TimeConverse.h"

#include <cmath>
#include <cstdint>

#include "GNSS/Calendar.h"

namespace {

constexpr std::int64_t kDayBeforeCycle = 15384;  // MJD of 1900-12-31
constexpr std::int64_t kCycleStart = 15385;      // MJD of 1901-01-01
constexpr std::int64_t kCycleDays = 1461;        // four years
constexpr std::int64_t kGPSEpoch = 44244;        // MJD of 1980-01-06, GPS week 0

using calendar::kDaysBefore;
using calendar::LeapRow;
using calendar::TruncU16;

// The four-year cycle counts a leap day in every fourth year.  The Gregorian
// century years that have none (2100, 2200, 2300, 2500, ...) are counted here
// so the cycle arithmetic can take them out; none falls before 2101, so the
// cycle is used unchanged for 1901 to 2100.

// Skipped leap days in the years from 1901 up to, not including, year.
std::int64_t SkippedBeforeYear(std::int64_t year) {
    if (year <= 2100) return 0;
    return (year - 1) / 100 - (year - 1) / 400 - 15;  // 15: centuries 1700, 1800, 1900
}

// Skipped leap days before the day with day number D, from the Gregorian
// 400-year cycle (146097 days) that starts on 1601-01-01, 109572 days before
// 1901-01-01.  A cycle holds three short centuries of 36524 days (the first
// three) and one of 36525.
std::int64_t SkippedBeforeDay(std::int64_t D) {
    if (D < kCycleStart) return 0;
    const std::int64_t n = D - kCycleStart + 109572;
    const std::int64_t q = n / 146097;
    std::int64_t c = (n % 146097) / 36524;
    if (c > 3) c = 3;
    return 3 * q + c - 3;  // less the three short centuries before 1901
}

// Day number of a calendar date (the time of day is not used).
std::int64_t DayNumber(std::int64_t year, std::int64_t month, std::int64_t day) {
    const int leap = LeapRow(year);
    // A stored month is always 1..12; the guard only keeps the lookup in bounds.
    const std::int64_t m = month >= 1 && month <= 12 ? month : 1;
    const std::int64_t before = kDaysBefore[leap][m - 1];
    const std::int64_t c = year - 1901;
    return (c / 4) * kCycleDays + (c % 4) * 365 + before + day + kDayBeforeCycle -
           SkippedBeforeYear(year);
}

// Year and day of year (1 = 1 January) of a day number.  Before 1901-01-01
// the arithmetic gives no valid date (a year or day the calendar class
// rejects), as the truncating divisions make it.
void YearAndDay(std::int64_t D, std::int64_t& year, std::int64_t& yday) {
    const std::int64_t days_fr_jan1_1901 = D + SkippedBeforeDay(D) - kCycleStart;
    const std::int64_t num_four_yrs = days_fr_jan1_1901 / kCycleDays;
    const std::int64_t years_so_far = 1901 + 4 * num_four_yrs;
    const std::int64_t days_left = days_fr_jan1_1901 - kCycleDays * num_four_yrs;
    // The 1461st day of a cycle is the 366th day of its fourth year.
    const std::int64_t delta_yrs = days_left / 365 - days_left / 1460;
    year = years_so_far + delta_yrs;
    yday = days_left - 365 * delta_yrs + 1;
}

// Month and day of month of day yday of year.  The month is guessed from
// 0.032 * yday (about 1 / 31.25) and moved on by one where the guess falls short.
void MonthAndDay(std::int64_t year, std::int64_t yday, std::int64_t& month, std::int64_t& day) {
    const int leap = LeapRow(year);
    const double g = 0.032 * static_cast<double>(yday);
    // Days 1 to 366 guess months 0 to 11; days outside the year give no valid
    // date anyway and are held to the table.
    std::int64_t guess = g > 0 ? static_cast<std::int64_t>(g) : 0;
    if (guess > 11) guess = 11;
    const std::int64_t more = yday - kDaysBefore[leap][guess + 1] > 0 ? 1 : 0;
    month = guess + more + 1;
    day = yday - kDaysBefore[leap][guess + more];
}

// A count as a 16-bit field of the calendar or week class.  Counts outside
// 0..65535 have no such field; they saturate to 0 or 65535, values every field
// test of the receiving class rejects where it matters (year, month, day, week).
std::uint16_t ToU16(std::int64_t v) {
    if (v < 0) return 0;
    if (v > 65535) return 65535;
    return static_cast<std::uint16_t>(v);
}

// A day number for mjd; one outside the 32-bit count becomes 4294967295, which
// the day test rejects.
std::uint32_t ToDay(std::int64_t v) {
    if (v < 0 || v > 4294967295LL) return 4294967295u;
    return static_cast<std::uint32_t>(v);
}

// A floating value truncated toward zero; values beyond +-2^62 and NaN (which
// no valid epoch gives) saturate so the result stays invalid downstream.
std::int64_t TruncI64(long double v) {
    if (std::isnan(v)) return -4611686018427387904LL;
    if (v >= 4611686018427387904.0) return 4611686018427387904LL;
    if (v <= -4611686018427387904.0) return -4611686018427387904LL;
    return static_cast<std::int64_t>(v);
}

}  // namespace

const std::int32_t tls[nls][2] = {
    {-9, 41317}, {-8, 41499}, {-7, 41683}, {-6, 42048}, {-5, 42413}, {-4, 42778}, {-3, 43144},
    {-2, 43509}, {-1, 43874}, {0, 44239},  {1, 44786},  {2, 45151},  {3, 45516},  {4, 46247},
    {5, 47161},  {6, 47892},  {7, 48257},  {8, 48804},  {9, 49169},  {10, 49534}, {11, 50083},
    {12, 50630}, {13, 51179}, {14, 53736}, {15, 54832}, {16, 56109}, {17, 57204}, {18, 57754}};

std::int32_t LeapYear(std::int32_t year) {
    return calendar::IsLeapYear(year) ? 1 : 0;
}

void MJDay2Date(std::int64_t mjday, std::int32_t& year, std::int32_t& month, std::int32_t& day) {
    std::int64_t y = 0, yday = 0, m = 0, d = 0;
    YearAndDay(mjday, y, yday);
    MonthAndDay(y, yday, m, d);
    year = static_cast<std::int32_t>(y);
    month = static_cast<std::int32_t>(m);
    day = static_cast<std::int32_t>(d);
}

mjd ymdhms2mjd(const ymdhms& date) {
    std::int64_t day = DayNumber(date.GetYear(), date.GetMonth(), date.GetDay());
    long double x = date.GetMinute() * 60 + date.GetSecond() + date.GetHour() * 3600;
    if (std::fabs(x - 86400.0) < 1e-10) {
        x = 0;
        day += 1;
    }
    mjd r;
    r.Set(ToDay(day), x);
    return r;
}

ymdhms mjd2ymdhms(const mjd& epoch) {
    std::int64_t year = 0;
    std::int64_t yday = 0;
    YearAndDay(epoch.GetMJDay(), year, yday);
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    long double second = 0;
    Sec2HMS(epoch.GetSecond(), hour, minute, second);
    std::int64_t month = 0;
    std::int64_t day = 0;
    MonthAndDay(year, yday, month, day);
    ymdhms r;
    r.Set(ToU16(year), ToU16(month), ToU16(day), hour, minute, second);
    return r;
}

GPSws ymdhms2GPSws(const ymdhms& date) {
    const std::int64_t day = DayNumber(date.GetYear(), date.GetMonth(), date.GetDay());
    const double f = static_cast<double>(
        ((date.GetSecond() / 60.0 + date.GetMinute()) / 60.0 + date.GetHour()) / 24.0);
    // The quotient is held as a 16-bit week (modulo 65536): a day before the
    // GPS epoch gives a week the week test rejects, or week 0 with negative seconds.
    const std::uint16_t w = static_cast<std::uint16_t>((day - kGPSEpoch) / 7);
    const double sow = (static_cast<double>(day - kGPSEpoch - 7 * std::int64_t{w}) + f) * 86400.0;
    GPSws r;
    r.Set(w, sow);
    return r;
}

ymdhms GPSws2ymdhms(const GPSws& g) {
    const std::int64_t D =
        TruncI64(g.GetSecond() / 86400.0) + 7 * std::int64_t{g.GetWeek()} + kGPSEpoch;
    const double f = std::fmod(static_cast<double>(g.GetSecond()), 86400.0) / 86400.0;
    std::int64_t year = 0;
    std::int64_t yday = 0;
    YearAndDay(D, year, yday);
    std::int64_t month = 0;
    std::int64_t day = 0;
    MonthAndDay(year, yday, month, day);
    const std::int64_t hour = TruncI64(24 * f);
    std::int64_t minute = TruncI64(1440 * f) - 60 * hour;
    double second = 86400 * f - 3600 * static_cast<double>(hour) - 60 * static_cast<double>(minute);
    std::int64_t h = hour;
    if (std::fabs(second - 60) < 1e-5) {
        second = 0;
        minute += 1;
    }
    if (minute == 60) {
        minute = 0;
        h += 1;
    }
    ymdhms r;
    r.Set(ToU16(year), ToU16(month), ToU16(day), ToU16(h), ToU16(minute), second);
    return r;
}

GPSws mjd2GPSws(const mjd& epoch) {
    const std::uint32_t D = epoch.GetMJDay();
    // The day offset from the GPS epoch is a 16-bit count before the division.
    // From offset 65536 on (2159-06-12) that count would wrap back to week 0
    // although weeks up to 11999 are valid, so there the offset is divided
    // whole and the week saturates past 65535.  Before the GPS epoch the
    // 16-bit count is kept: it gives week 9362 and negative seconds.
    const std::int64_t offset = std::int64_t{D} - kGPSEpoch;
    const std::uint16_t w =
        offset >= 65536 ? ToU16(offset / 7)
                        : static_cast<std::uint16_t>(static_cast<std::uint16_t>(D - 44244u) / 7);
    const double days = static_cast<double>(std::int64_t{D} - 7 * std::int64_t{w} - kGPSEpoch);
    const long double sow = days * 86400.0 + epoch.GetSecond();
    GPSws r;
    r.Set(w, sow);
    return r;
}

mjd GPSws2mjd(const GPSws& g) {
    const std::int64_t D =
        TruncI64(g.GetSecond() / 86400.0) + 7 * std::int64_t{g.GetWeek()} + kGPSEpoch;
    const double sod = std::fmod(static_cast<double>(g.GetSecond()), 86400.0);
    mjd r;
    r.Set(ToDay(D), sod);
    return r;
}

void Sec2HMS(long double sec, std::uint16_t& hour, std::uint16_t& minute, long double& second) {
    const long double H = std::floor(sec / 3600.0);
    const long double M = std::floor((sec / 3600.0 - H) * 60.0);
    const long double s = ((sec / 3600.0 - H) * 60.0 - M) * 60.0;
    hour = TruncU16(H);
    minute = TruncU16(M);
    second = s;
    if (std::fabs(s - 60.0) < 1e-10) {
        second = 0;
        ++minute;
    }
    if (minute == 60) {
        minute = 0;
        ++hour;
    }
}

std::int32_t LeapSecond(const mjd& epoch) {
    // Compared as a signed 32-bit day number.
    const std::int32_t mjdall = static_cast<std::int32_t>(epoch.GetMJDay());
    if (mjdall < tls[0][1]) return tls[0][0];
    if (mjdall >= tls[nls - 1][1]) return tls[nls - 1][0];
    std::int32_t i = 0;
    while (!(mjdall >= tls[i][1] && mjdall < tls[i + 1][1]) && i < nls - 2) ++i;
    return tls[i][0];
}

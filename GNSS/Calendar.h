// The rules that the epoch classes (ymdhms, mjd, GPSws) and the conversions
// between them (TimeConverse) share: the Gregorian calendar (leap years, the
// lengths of the months, the days before each month) and the 16-bit hour,
// minute and day fields.
#ifndef GNSS_CALENDAR_H
#define GNSS_CALENDAR_H

#include <cstdint>

#include "funkcije/Numerics.h"

namespace calendar {

// Gregorian leap year: a year above 0 divisible by 4 and either not by 100 or
// by 400 (2000 is one, 1900 and 2100 are not).  Year 0 and the years before
// it are not leap years: the calendar counts from year 1.
constexpr bool IsLeapYear(std::int64_t year) {
    return year > 0 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Length of each month in days, January first, in a common year; February of
// a leap year has one day more.  Every other month table derives from this.
inline constexpr std::uint16_t kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Length of month (1..12) of year, days.
constexpr int MonthLength(std::int64_t year, int month) {
    return kMonthLength[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

// Days of the year before the first of month m in column m - 1 (m = 1..12),
// and the length of the year in column 12; row 0 for common years, row 1 for
// leap years.  Summed from kMonthLength when the program is compiled.
struct DaysBeforeTable {
    std::uint16_t days[2][13];
};

constexpr DaysBeforeTable MakeDaysBefore() {
    DaysBeforeTable t{};
    for (int leap = 0; leap < 2; ++leap) {
        int days = 0;
        for (int m = 0; m < 12; ++m) {
            t.days[leap][m] = static_cast<std::uint16_t>(days);
            days += kMonthLength[m] + (m == 1 ? leap : 0);
        }
        t.days[leap][12] = static_cast<std::uint16_t>(days);
    }
    return t;
}

inline constexpr DaysBeforeTable kDaysBeforeTable = MakeDaysBefore();
inline constexpr const std::uint16_t (&kDaysBefore)[2][13] = kDaysBeforeTable.days;

// The row of kDaysBefore for year: 1 for a leap year, else 0.
constexpr int LeapRow(std::int64_t year) {
    return IsLeapYear(year) ? 1 : 0;
}

// A floored hour, minute or day count as its 16-bit field.  Whole numbers
// 0..65535 (all that a valid epoch gives) convert exactly and values between
// -1 and 0 give 0; anything else has no 16-bit form and saturates: to 0 at
// -1 and below and for NaN, to 65535 from 65536 on.
inline std::uint16_t TruncU16(long double v) {
    if (!(v > -1)) return 0;
    if (!(v < 65536)) return 65535;
    return static_cast<std::uint16_t>(v);
}

}  // namespace calendar

#endif  // GNSS_CALENDAR_H

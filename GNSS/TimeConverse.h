// Conversions between the three epoch forms (calendar epoch ymdhms, Modified
// Julian Date mjd, GPS week and second GPSws), a splitter of seconds of day,
// and the leap-second table of GPS time against UTC.
//
// The calendar conversions count whole days in four-year cycles of 1461 days
// from 1901-01-01 (Modified Julian Day 15385), with the Gregorian century
// years that are not leap years (2100) taken out, so they are exact for every
// year ymdhms holds (1901 to 2199).  Times of day keep the time scale of the
// argument.  Every result is built through the target class's validating Set,
// so a result outside its valid range is reported with that class's
// validity report (through the seam of PROGINC/ProgramExit.h).
#ifndef GNSS_TIMECONVERSE_H
#define GNSS_TIMECONVERSE_H

#include <cstdint>

#include "GNSS/GPSws.h"
#include "GNSS/mjd.h"
#include "GNSS/ymdhms.h"

// Gregorian leap year: 1 for a year above 0 divisible by 4 and either not by
// 100 or by 400, else 0.
std::int32_t LeapYear(std::int32_t year);

// Calendar date of a Modified Julian Day number, without the calendar class
// and its tests, for writers that must not fail (a time of day
// rounded up to midnight of 2199-12-31 writes 2200-01-01); exact from
// 1901-01-01 (day 15385) to 2200-02-28 (day 124651).
void MJDay2Date(std::int64_t mjday, std::int32_t& year, std::int32_t& month, std::int32_t& day);

// Calendar epoch to day number and seconds of day; a time of day within 1e-10 s
// of 86400 s becomes 0 s of the next day.  1980-01-06 00:00:00 -> 44244, 0 s.
mjd ymdhms2mjd(const ymdhms& date);
// Day number and seconds of day to calendar epoch.
ymdhms mjd2ymdhms(const mjd& epoch);
// Calendar epoch to GPS week and seconds of week (time of day through a
// double-precision fraction of day).
GPSws ymdhms2GPSws(const ymdhms& date);
// GPS week and seconds of week to calendar epoch (time of day through a
// double-precision fraction of day; a second within 1e-5 of 60 carries).
ymdhms GPSws2ymdhms(const GPSws& g);
// Day number and seconds of day to GPS week and seconds of week.
// 58849, 43200 s -> week 2086, 302400 s.
GPSws mjd2GPSws(const mjd& epoch);
// GPS week and seconds of week to day number and seconds of day (the seconds
// of day are the double-precision remainder of the seconds of week).
mjd GPSws2mjd(const GPSws& g);

// Splits seconds of day sec into hour and minute (16-bit) and second
// (extended).  A second within 1e-10 of 60 carries into the minute and a
// minute of 60 into the hour, which is not carried into a day: seconds within
// about 1e-10 s of 86400 give hour 24.  Values without a 16-bit hour
// (negative, huge, NaN) give hour and minute saturated to 0 or 65535.
void Sec2HMS(long double sec, std::uint16_t& hour, std::uint16_t& minute, long double& second);

// Leap-second table: rows of (seconds by which GPS time is ahead of UTC, first
// Modified Julian Day from which the offset applies), in day order.  The
// offset is TAI - UTC less 19 s, negative before 1980.
constexpr std::int32_t nls = 28;
extern const std::int32_t tls[nls][2];

// Whole seconds by which GPS time is ahead of UTC on the day of epoch (its
// seconds of day do not matter): -9 before 1972-01-01, 18 from 2017-01-01 on.
std::int32_t LeapSecond(const mjd& epoch);

#endif  // GNSS_TIMECONVERSE_H

// ymdhms: an epoch as a Gregorian calendar date and a time of day.
//
// Year 1901 to 2199, month 1 to 12, day 1 to the length of the month, hour
// and minute 0 to 59 (the hour shares the minute's bound), second 0 <= s < 60.
// The time scale is the caller's.  Construction from values, copying,
// assignment, Set, every single-field setter and stream input test what they
// store and hand the class validity report (for standard output, status 1)
// to the seam of PROGINC/ProgramExit.h when a field is invalid.  SetDaySecond and the time of
// day stored by SetYDec are not tested.
#ifndef GNSS_YMDHMS_H
#define GNSS_YMDHMS_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print settings of ymdhms streams: process-wide, read on every call.
// Nothing in the program changes them.
namespace ymdhmsns {

// First layout selector (PrintType).  NORINEX and any value not listed hand
// the choice to PrintFormat.
enum { RINEXHEADER = 0, RINEXDATA = 1, NORINEX = 2, SP3 = 3, SINEX = 4 };
// Second layout selector (PrintFormat).
enum { YMDHMS = 0, YDHMS = 1, YDSEC = 2, YMD = 3, YDEC = 4, YD = 5 };

extern std::uint16_t PrintType;    // initially NORINEX
extern std::uint16_t PrintFormat;  // initially YMDHMS
extern std::uint16_t NDecSecond;   // decimals of the seconds in output (initially 1)

}  // namespace ymdhmsns

class ymdhms {
  public:
    // 1980-01-01 00:00:00; not tested.
    ymdhms();
    // Calendar date, hour, minute and second (0 <= second < 60); tested.
    ymdhms(std::uint16_t y, std::uint16_t mo, std::uint16_t d, std::uint16_t h, std::uint16_t mi,
           long double s);
    ymdhms(const ymdhms& e);
    // Copies and tests; self-assignment does nothing.
    ymdhms& operator=(const ymdhms& e);
    // Stores all six fields, then tests them in the order year .. second.
    void Set(std::uint16_t y, std::uint16_t mo, std::uint16_t d, std::uint16_t h, std::uint16_t mi,
             long double s);

    // Single-field setters: store the field and test only it.  SetDay checks
    // against the month and year already stored, so set year, month and day
    // in that order.
    void SetYear(std::uint16_t y);
    void SetMonth(std::uint16_t mo);
    void SetDay(std::uint16_t d);
    void SetHour(std::uint16_t h);
    void SetMinute(std::uint16_t mi);
    void SetSecond(long double s);
    // SetHour, SetMinute and SetSecond in that order.
    void SetHMS(std::uint16_t h, std::uint16_t mi, long double s);
    // Time of day from seconds of day; the date stays; not tested (seconds
    // within 1e-10 s of the end of the day give hour 24).
    void SetDaySecond(long double sec);
    // Year and day of year n (1 = 1 January); time of day 00:00:00.  Reports
    // "YEAR not valid" for a bad year and "MONTH not valid" for n = 0 or n past
    // the last day of the year.
    void SetDayOfYear(std::uint16_t y, std::uint16_t n);
    // Decimal year (double precision, e.g. 2020.5 for noon of 2 July 2020):
    // the year, its day of year and the time of day.  A value without a 16-bit
    // year (negative, 65536 or more, NaN) is reported as "YEAR not valid".
    void SetYDec(double ydec);

    std::uint16_t GetYear() const { return year; }
    std::uint16_t GetMonth() const { return month; }
    std::uint16_t GetDay() const { return day; }
    std::uint16_t GetHour() const { return hour; }
    std::uint16_t GetMinute() const { return minute; }
    long double GetSecond() const { return second; }
    // Seconds of day: hour * 3600 + minute * 60 + second.
    long double GetDaySecond() const;
    // Day of year, 1 for 1 January.
    std::uint16_t GetDayOfYear() const;
    // Decimal year: year + (day of year - 1 + seconds of day / 86400) / length
    // of the year in days.
    long double GetYearDec() const;

    friend std::ostream& operator<<(std::ostream& os, const ymdhms& e);
    friend std::istream& operator>>(std::istream& is, ymdhms& e);

  private:
    bool TestYear() const;
    bool TestMonth() const;
    bool TestDay() const;
    bool TestHour() const;
    bool TestMinute() const;
    bool TestSecond() const;
    // Runs the field tests in the order year .. second and reports the first failure.
    void TestDatum() const;
    [[noreturn]] void Error(const char* text) const;
    // Splits seconds of day sec into hour, minute and second; a second within
    // 1e-10 of 60 carries into the minute and a minute of 60 into the hour.
    static void Sec2HMS(long double sec, std::uint16_t& h, std::uint16_t& mi, long double& s);

    std::uint16_t year;
    std::uint16_t month;
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    long double second;
};

// Writes e in the layout chosen by ymdhmsns::PrintType and, for NORINEX,
// ymdhmsns::PrintFormat (no line end).  Adds the fixed-point flag (kept
// afterwards); layouts that fill with "0" set the fill back to a blank.
std::ostream& operator<<(std::ostream& os, const ymdhms& e);
// Reads year, month, day, hour, minute and second, whitespace-separated; a
// year below 100 is two-digit (80..99 -> 1980..1999, 0..79 -> 2000..2079).
// Then tests the value.
std::istream& operator>>(std::istream& is, ymdhms& e);

#endif  // GNSS_YMDHMS_H

// GPSws: an epoch as a GPS week and the seconds of that week.
//
// Weeks count from the GPS epoch 1980-01-06 00:00:00 (Modified Julian Day
// 44244); a week has 604800 s and starts on Sunday.  Valid values are weeks 0
// to 11999 and seconds of week 0 <= s < 604800.  Construction, copying,
// assignment, Set and stream input test the value and hand the class
// validity report (for standard output, status 1) to the seam of
// PROGINC/ProgramExit.h when it is invalid: the program ends with it, a
// library caller gets havorkastilo::Error.  The arithmetic does not test.
#ifndef GNSS_GPSWS_H
#define GNSS_GPSWS_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print settings of GPSws streams: process-wide, read on every call.  Nothing
// in the program changes them.
namespace gpswsns {

// Output layouts (values of PrintFormat).
enum {
    GPSWS = 0,     // week (width 5), seconds of week (width NDecSecond+8)
    GPSWDS = 1,    // week, day of week (width 2), seconds of day (width NDecSecond+7)
    GPSWDHMS = 2,  // week, day of week, two blanks, hh:mm:ss.s with zero fill
    GPSWD = 3,     // blank, week (width 4, zero fill), day of week (width 2)
    SP3 = 4        // week, seconds of week (width 16, 8 decimals)
};

extern std::uint16_t PrintFormat;  // initially GPSWS
extern std::uint16_t NDecSecond;   // decimals of the seconds in output (initially 1)

}  // namespace gpswsns

class GPSws {
  public:
    // Week 0, 0 s; not tested.
    GPSws();
    // GPS week and seconds of week (0 <= sec < 604800); tested.
    GPSws(std::uint16_t w, long double sec);
    GPSws(const GPSws& g);
    // Copies and tests; self-assignment does nothing.
    GPSws& operator=(const GPSws& g);
    // Stores both values and tests them.
    void Set(std::uint16_t w, long double sec);

    // Adds d seconds (either sign), carrying whole weeks: seconds of week that
    // fall below 0 borrow a week, and seconds of week that reach 604800 carry
    // one, so a valid epoch stays in 0 <= s < 604800.  The week count is 16
    // bits: a step that takes it below 0 wraps modulo 65536; a positive step
    // (or +infinity) that would carry it past 65535 leaves week 65535, 0 s; a
    // negative step of 65536 weeks or more (or -infinity) leaves week 0, 0 s;
    // NaN changes nothing.  Not tested.
    GPSws& operator+=(long double d);
    // Adds whole weeks (16-bit arithmetic, modulo 65536); not tested.
    GPSws& operator+=(std::uint16_t weeks);

    std::uint16_t GetWeek() const { return week; }
    // Seconds of week.
    long double GetSecond() const { return second; }
    // Day of week, 0 for Sunday: seconds of week / 86400, truncated.
    std::uint16_t GetWeekDay() const;
    // Seconds of the day: seconds of week - day of week * 86400.
    long double GetDaySecond() const;

    friend std::ostream& operator<<(std::ostream& os, const GPSws& g);
    friend std::istream& operator>>(std::istream& is, GPSws& g);

  private:
    bool TestWeek() const;    // week at most 11999
    bool TestSecond() const;  // 0 <= seconds of week < 604800
    // Reports "WEEK not valid" or else "SECOND not valid" for the first failing test.
    void TestDatum() const;
    [[noreturn]] void Error(const char* text) const;
    // Splits the seconds of day into hour, minute and second, without carrying
    // a second that comes out within a rounding error of 60.
    void Sec2HMS(std::uint16_t& h, std::uint16_t& mi, long double& s) const;

    std::uint16_t week;  // GPS week
    long double second;  // seconds since the start of the week
};

// Writes g in the layout chosen by gpswsns::PrintFormat (no line end).  Adds
// the fixed-point flag (kept afterwards) in every layout but GPSWD, and leaves
// the fill character a blank.
std::ostream& operator<<(std::ostream& os, const GPSws& g);
// Reads the week and then the seconds of week, whitespace-separated, and tests
// the value.
std::istream& operator>>(std::istream& is, GPSws& g);

#endif  // GNSS_GPSWS_H

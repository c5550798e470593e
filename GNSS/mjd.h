// mjd: the working epoch of the system, a Modified Julian Date.
//
// An mjd holds a whole Modified Julian Day number and the seconds elapsed in
// that day, both on the caller's time scale (no scale tag is kept).  Every day
// has 86400 s; there is no leap-second day.  Valid values are days 0 to 199999
// and seconds 0 <= s < 86400.  Construction, copying, assignment and stream
// input test the value and hand the class validity report (for standard
// output, status 1) to the seam of PROGINC/ProgramExit.h when it is invalid:
// the program ends with it, a library caller gets havorkastilo::Error.  The
// arithmetic does not test.
#ifndef GNSS_MJD_H
#define GNSS_MJD_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print settings of mjd streams: process-wide, read on every call.  Nothing in
// the program changes them, so the result table prints the day number and the
// seconds of day with one decimal.
namespace mjdns {

// Output layouts (values of PrintFormat).
enum {
    MJDSEC = 0,  // day number (width 6), seconds of day (width NDecSecond+7)
    MJDDEC = 1,  // fractional day number (width NDecSecond+7), current float format
    MJDHMS = 2,  // day number, two blanks, hh:mm:ss.s with zero fill
    MJD = 3,     // day number only
    SP3 = 4      // day number, fraction of day (width 16, 13 decimals)
};

extern std::uint16_t PrintFormat;  // layout of operator<< (initially MJDSEC)
extern std::uint16_t NDecSecond;   // decimals of the seconds in output (initially 1)

}  // namespace mjdns

class mjd {
  public:
    // Day 0, 0 s; not tested.
    mjd();
    // mjday: Modified Julian Day number; sec: seconds of that day (0 <= sec < 86400).
    mjd(std::uint32_t mjday, long double sec);
    mjd(const mjd& e);

    // Copies and tests; self-assignment does nothing.
    mjd& operator=(const mjd& e);
    // From a fractional Modified Julian Date (e.g. 58849.25): the day number is
    // the value truncated toward zero, the seconds (value - floor(value)) * 86400.
    // A value of -1 or below, of 2^32 or above, or NaN has no day number and is
    // reported as "MJDAY not valid".
    mjd& operator=(long double mjddec);
    // Stores both values and tests them (same arguments as the constructor).
    void Set(std::uint32_t mjday, long double sec);

    // Adds d seconds (either sign), carrying whole days into the day number;
    // the result is not tested.  Every finite step whose whole-day count fits
    // in 32 bits follows the day-and-second arithmetic below, a step that takes
    // the day number below 0 included (the day number then wraps, modulo 2^32,
    // like any unsigned count).  Steps the day number cannot hold saturate:
    //  - a positive step (or +infinity) that would carry the day number past
    //    4294967295 leaves day 4294967295, 0 s: later than every valid epoch,
    //    so a loop stepping up to a valid end epoch ends;
    //  - a negative step of 2^32 days or more (or -infinity) leaves day 0, 0 s;
    //  - NaN leaves the epoch unchanged.
    mjd& operator+=(long double d);
    // The same for a double-precision step, so that a floating literal such as
    // 3600.0 adds seconds instead of being ambiguous with the day overloads.
    mjd& operator+=(double d) { return *this += static_cast<long double>(d); }
    // Adds or subtracts whole days (the day number wraps modulo 2^32); not tested.
    mjd& operator+=(std::int32_t days);
    mjd& operator-=(std::int32_t days);

    // The signed difference *this - b in seconds (extended precision).
    long double operator-(const mjd& b) const;

    // Comparisons.  == allows 1e-13 s between the seconds of equal days; <= and
    // >= allow 1e-14 s; < and > compare exactly.  An object compared with
    // itself is equal (true for ==, <=, >=; false for <, >).
    bool operator==(const mjd& b) const;
    bool operator>(const mjd& b) const;
    bool operator<(const mjd& b) const;
    bool operator>=(const mjd& b) const;
    bool operator<=(const mjd& b) const;

    // Modified Julian Day number (whole days).
    std::uint32_t GetMJDay() const { return mjday; }
    // Seconds of the day (0 <= s < 86400 for a valid epoch).
    long double GetSecond() const { return second; }
    // Fractional Modified Julian Date: day number + seconds / 86400 (days).
    long double GetMJDDec() const;

    friend std::ostream& operator<<(std::ostream& os, const mjd& e);
    friend std::istream& operator>>(std::istream& is, mjd& e);

  private:
    bool TestMJDay() const;   // day number at most 199999
    bool TestSecond() const;  // 0 <= seconds < 86400
    // Reports "MJDAY not valid" or else "SECOND not valid" for the first failing test.
    void TestDatum() const;
    [[noreturn]] void Error(const char* text) const;
    // Splits the seconds of day into hour, minute (16-bit) and second; a second
    // within 1e-10 of 60 carries into the minute and a minute of 60 into the
    // hour, which may then read 24 (the day number is not changed).
    void Sec2HMS(std::uint16_t& hour, std::uint16_t& minute, long double& sec) const;

    std::uint32_t mjday;  // Modified Julian Day number
    long double second;   // seconds since the start of the day
};

// Writes e in the layout chosen by mjdns::PrintFormat (no separators, no line
// end).  Adds the fixed-point flag (kept afterwards) in every layout but
// MJDDEC; MJDSEC, MJDHMS and SP3 leave the fill character a blank.
std::ostream& operator<<(std::ostream& os, const mjd& e);
// Reads the day number and then the seconds of day, whitespace-separated, and
// tests the value.
std::istream& operator>>(std::istream& is, mjd& e);

#endif  // GNSS_MJD_H

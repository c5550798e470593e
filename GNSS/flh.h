// Geodetic position: latitude, longitude and ellipsoidal height of a point.
//
// The station given on the command line and the intermediate geodetic
// positions of the Sun and the Moon.  Constructors from values, copies,
// assignments, += and -= (and so + and -) check the angles and report through
// the seam of PROGINC/ProgramExit.h with the class validity report when one is
// out of bounds; Set, the setters,
// the default constructor and stream reading do not check.
#ifndef GNSS_FLH_H
#define GNSS_FLH_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print and read settings of the flh streams, process-wide.
namespace flhns {

// Angle notations of the flh streams (values of Unit).
enum {
    RAD = 0,   // radians as stored
    DEG = 1,   // decimal degrees
    GON = 2,   // gon (written only)
    DMS = 3,   // packed degrees-minutes-seconds number dd.mmss
    DMSV = 4,  // degrees, minutes, seconds as three fields
    SINEX = 5  // site layout of the SINEX exchange format (written only)
};

extern std::uint16_t NDecFL;   // decimals of latitude and longitude (8)
extern std::uint16_t NDecH;    // decimals of height (4)
extern std::uint16_t WidthFL;  // field width of latitude and longitude (12)
extern std::uint16_t WidthH;   // field width of height (10)
// Angle notation of writing and reading (RAD); the command line sets it to the
// notation in which the user gave the position.
extern std::uint16_t Unit;

}  // namespace flhns

class flh {
  public:
    // All zero; not checked.
    flh();
    // fi latitude [rad, geodetic], la longitude [rad, east positive], hh
    // ellipsoidal height [m]; checked.
    flh(long double fi, long double la, long double hh);
    // Checked: a copy of an unchecked invalid position is reported.
    flh(const flh& other);

    // Unless both sides are the same object: copies, then checks.
    flh& operator=(const flh& other);
    // Component-wise on latitude, longitude and height, then checks.
    flh& operator+=(const flh& other);
    flh& operator-=(const flh& other);
    // The same object, or every value within less than 1e-14 (rad, m).
    bool operator==(const flh& other) const;
    bool operator!=(const flh& other) const;

    // Latitude [rad], longitude [rad], height [m]; not checked.
    void Set(long double fi, long double la, long double hh);
    long double GetF() const { return f; }  // latitude [rad]
    long double GetL() const { return l; }  // longitude [rad]
    long double GetH() const { return h; }  // ellipsoidal height [m]
    void SetF(long double fi) { f = fi; }   // latitude [rad], not checked
    void SetL(long double la) { l = la; }   // longitude [rad], not checked
    void SetH(long double hh) { h = hh; }   // height [m]

    // Writes latitude, longitude (in the notation flhns::Unit) and height [m]
    // in fields of flhns::WidthFL and flhns::WidthH characters, with no
    // separators and no line end; SINEX writes longitude first, in 31
    // characters while the values fit their fields (longitude above -100 deg,
    // height below 100000 m).  Sets the stream's fixed-point flag and leaves
    // it set.
    friend std::ostream& operator<<(std::ostream& os, const flh& p);
    // Reads latitude and longitude in the notation flhns::Unit and the height
    // in metres; GON, SINEX and unknown notations read nothing and leave the
    // object alone.  The object changes only when the whole read succeeds.
    // Not checked.
    friend std::istream& operator>>(std::istream& is, flh& p);

  private:
    // The bounds are the raw numbers 90 and 180 compared with the radians as
    // stored, so only grossly wrong values (degrees given as radians) fail.
    bool TestFi() const;  // -90 <= latitude <= 90
    bool TestLa() const;  // -180 <= longitude <= 180
    // Latitude first, then longitude; the first failure is reported.
    void TestPos() const;
    // Class validity report "**** flh: Error -> <text> ****" on standard
    // output; ends the program with status 1.
    [[noreturn]] void Error(const char* text) const;

    long double f;  // latitude [rad]
    long double l;  // longitude [rad]
    long double h;  // ellipsoidal height [m]
};

// Copy of a, then += or -= b: the copy and the result are checked.
flh operator+(const flh& a, const flh& b);
flh operator-(const flh& a, const flh& b);

#endif  // GNSS_FLH_H

// Geodetic position with a time value: latitude, longitude, ellipsoidal height
// and t.
//
// Checked like flh (the same bounds and texts, its own report heading); its
// stream notations are numbered differently from those of flh.
#ifndef GNSS_FLHT_H
#define GNSS_FLHT_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print and read settings of the flht streams, process-wide.
namespace flhtns {

// Angle notations of the flht streams (values of Unit).
enum {
    RAD = 0,  // radians
    DEG = 1,  // decimal degrees
    DMS = 2,  // packed degrees-minutes-seconds number dd.mmss
    DMSV = 3  // degrees, minutes, seconds as three fields
};

// Factors of UnitT: t is written as t * UnitT.  NS does not fit the 16-bit
// UnitT.
enum { S = 1, MS = 1000, NS = 1000000000 };

extern std::uint16_t NDecFL;   // decimals of latitude and longitude (8)
extern std::uint16_t NDecH;    // decimals of height (4)
extern std::uint16_t WidthFL;  // field width of latitude and longitude (12)
extern std::uint16_t WidthH;   // field width of height (10)
extern std::uint16_t NDecT;    // decimals of t (6)
extern std::uint16_t WidthT;   // field width of t (12)
extern std::uint16_t UnitT;    // t is written as t * UnitT (1)
extern std::uint16_t Unit;     // angle notation of writing and reading (RAD)

}  // namespace flhtns

class flht {
  public:
    // All zero; not checked.
    flht();
    // fi latitude [rad], la longitude [rad], hh height [m], tt time value (in
    // the caller's unit); checked.
    flht(long double fi, long double la, long double hh, long double tt);
    // Checked.
    flht(const flht& other);

    // Unless both sides are the same object: copies, then checks.
    flht& operator=(const flht& other);
    // Component-wise on all four values, then checks.
    flht& operator+=(const flht& other);
    flht& operator-=(const flht& other);
    // The same object, or all four values within less than 1e-14.
    bool operator==(const flht& other) const;
    bool operator!=(const flht& other) const;

    // Latitude [rad], longitude [rad], height [m], time value; not checked.
    void Set(long double fi, long double la, long double hh, long double tt);
    long double GetF() const { return f; }   // latitude [rad]
    long double GetL() const { return l; }   // longitude [rad]
    long double GetH() const { return h; }   // ellipsoidal height [m]
    long double GetT() const { return dt; }  // time value
    void SetF(long double fi) { f = fi; }    // latitude [rad], not checked
    void SetL(long double la) { l = la; }    // longitude [rad], not checked
    void SetH(long double hh) { h = hh; }    // height [m]
    void SetT(long double tt) { dt = tt; }   // time value

    // Latitude and longitude in the notation flhtns::Unit, height [m], then
    // t * flhtns::UnitT; unknown notations write nothing.  Sets the stream's
    // fixed-point flag and leaves it set.
    friend std::ostream& operator<<(std::ostream& os, const flht& p);
    // Latitude and longitude in the notation flhtns::Unit, height [m], t as a
    // plain number; unknown notations read nothing.  The object changes only
    // when the whole read succeeds.  Not checked.
    friend std::istream& operator>>(std::istream& is, flht& p);

  private:
    bool TestFi() const;  // -90 <= latitude <= 90 (raw numbers, as flh)
    bool TestLa() const;  // -180 <= longitude <= 180
    void TestPos() const;
    // "**** flht: Error -> <text> ****" on standard output; status 1.
    [[noreturn]] void Error(const char* text) const;

    long double f;   // latitude [rad]
    long double l;   // longitude [rad]
    long double h;   // ellipsoidal height [m]
    long double dt;  // time value
};

// Copy of a, then += or -= b: the copy and the result are checked.
flht operator+(const flht& a, const flht& b);
flht operator-(const flht& a, const flht& b);

#endif  // GNSS_FLHT_H

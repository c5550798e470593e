// Local north, east, up vector in metres with a time value.  No validity
// checks.
#ifndef GNSS_NEUT_H
#define GNSS_NEUT_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print settings of the neut streams, process-wide.
namespace neutns {

// Factors of UnitT: t is written as t * UnitT.  NS does not fit the 16-bit
// UnitT.
enum { S = 1, MS = 1000, NS = 1000000000 };

extern std::uint16_t NDecNE;   // decimals of north and east (4)
extern std::uint16_t NDecU;    // decimals of up (4)
extern std::uint16_t NDecT;    // decimals of t (6)
extern std::uint16_t WidthNE;  // field width of north and east (12)
extern std::uint16_t WidthU;   // field width of up (10)
extern std::uint16_t WidthT;   // field width of t (10)
extern std::uint16_t UnitT;    // t is written as t * UnitT (1)

}  // namespace neutns

class neut {
  public:
    neut();  // zeros
    // nn north, ee east, uu up [m], tt time value (in the caller's unit).
    neut(long double nn, long double ee, long double uu, long double tt);
    neut(const neut& other);

    neut& operator=(const neut& other);
    neut& operator+=(const neut& other);  // all four values
    neut& operator-=(const neut& other);
    // The same object, or all four values within less than 1e-14.
    bool operator==(const neut& other) const;
    bool operator!=(const neut& other) const;

    // North, east, up [m], time value.
    void Set(long double nn, long double ee, long double uu, long double tt);
    long double GetN() const { return n; }   // north [m]
    long double GetE() const { return e; }   // east [m]
    long double GetU() const { return u; }   // up [m]
    long double GetT() const { return dt; }  // time value
    // Euclidean length of north, east, up [m].
    long double GetLength() const;
    void SetN(long double nn) { n = nn; }
    void SetE(long double ee) { e = ee; }
    void SetU(long double uu) { u = uu; }
    void SetT(long double tt) { dt = tt; }

    // North, east [m] in neutns::WidthNE / NDecNE, up in neutns::WidthU /
    // NDecU, then t * neutns::UnitT in neutns::WidthT / NDecT; always this
    // order, no length unit.  Sets the fixed-point flag and leaves it set.
    friend std::ostream& operator<<(std::ostream& os, const neut& v);
    // Four plain numbers n, e, u, t; the vector changes only when all four
    // are read.
    friend std::istream& operator>>(std::istream& is, neut& v);

  private:
    long double n;   // north [m]
    long double e;   // east [m]
    long double u;   // up [m]
    long double dt;  // time value
};

neut operator+(const neut& a, const neut& b);
neut operator-(const neut& a, const neut& b);

#endif  // GNSS_NEUT_H

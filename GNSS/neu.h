// Vector in the local north, east, up frame of a point, in metres: the tide
// displacement that the result table prints.  No validity checks.
#ifndef GNSS_NEU_H
#define GNSS_NEU_H

#include <cstdint>
#include <istream>
#include <ostream>

// Print and read settings of the neu streams, process-wide.  The epoch loop
// sets widths 8, one decimal and Unit 100 (centimetres) for the result table.
namespace neuns {

// Unit factors: writers multiply by 100 (CM) and 1000 (MM) and divide by any
// other value; readers do the inverse.  KM therefore equals MM.
enum { MM = 1000, CM = 100, M = 1, KM = 1000 };
// PrintType: RINEX antenna-offset layout, or the configurable one.
enum { RINEX = 0, NORINEX = 1 };
// Order: east before north, or north before east.
enum { EN = 0, NE = 1 };

extern std::uint16_t NDecNE;     // decimals of north and east (4)
extern std::uint16_t NDecU;      // decimals of up (4)
extern std::uint16_t WidthNE;    // field width of north and east (12)
extern std::uint16_t WidthU;     // field width of up (10)
extern std::uint16_t Unit;       // length unit factor (1, metres)
extern std::uint16_t PrintType;  // RINEX (0) or any other value (NORINEX, 1)
extern std::int16_t Order;       // NE (1) or any other value, such as EN (0)

}  // namespace neuns

class neu {
  public:
    neu();  // zeros
    // nn north, ee east, uu up [m].
    neu(long double nn, long double ee, long double uu);
    neu(const neu& other);

    neu& operator=(const neu& other);
    neu& operator+=(const neu& other);
    neu& operator-=(const neu& other);
    // Divides all three values by d.
    neu& operator/=(long double d);
    // The same object, or all three values within less than 1e-14 m.
    bool operator==(const neu& other) const;
    bool operator!=(const neu& other) const;

    // North, east, up [m].
    void Set(long double nn, long double ee, long double uu);
    long double GetN() const { return n; }  // north [m]
    long double GetE() const { return e; }  // east [m]
    long double GetU() const { return u; }  // up [m]
    // Euclidean length sqrt(n^2 + e^2 + u^2) [m].
    long double GetLength() const;
    void SetN(long double nn) { n = nn; }
    void SetE(long double ee) { e = ee; }
    void SetU(long double uu) { u = uu; }

    // RINEX layout: up, east, north in metres, 14 characters with 4 decimals
    // each.  Otherwise north, east, up (east first unless neuns::Order is NE)
    // in neuns::WidthNE / NDecNE and neuns::WidthU / NDecU, scaled by
    // neuns::Unit.  Sets the fixed-point flag and leaves it set.
    friend std::ostream& operator<<(std::ostream& os, const neu& v);
    // Three numbers in the order neuns::Order, unscaled by neuns::Unit, so
    // that reading inverts writing (the RINEX layout is not read).  The vector
    // changes only when all three are read.
    friend std::istream& operator>>(std::istream& is, neu& v);

  private:
    long double n;  // north [m]
    long double e;  // east [m]
    long double u;  // up [m]
};

neu operator+(const neu& a, const neu& b);
neu operator-(const neu& a, const neu& b);
// Every value scaled by s.
neu operator*(const neu& a, long double s);
neu operator*(long double s, const neu& a);
// Element-wise product (a.n * b.n, a.e * b.e, a.u * b.u).
neu ElementP(const neu& a, const neu& b);
// Element-wise square root.
neu sqrt(const neu& a);

#endif  // GNSS_NEU_H

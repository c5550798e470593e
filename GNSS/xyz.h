// xyz: the Cartesian 3-vector of the system.
//
// An xyz holds an Earth-fixed position, a direction, a displacement or the
// geocentric position of the Sun or the Moon, always in metres along the X, Y
// and Z axes of the frame in use.  Components and arithmetic are 80-bit
// extended precision.  The stream operators print and read the components in
// the layout and length unit held by the process-wide settings of xyzns.
#ifndef GNSS_XYZ_H
#define GNSS_XYZ_H

#include <cstdint>
#include <istream>
#include <ostream>

class xyzt;

// Print and read settings of xyz streams.  They are globals shared by every
// stream and read on every call; nothing in the program changes them, so
// vectors are printed and read in metres, four decimals, 14-character fields.
namespace xyzns {

// Length units (Unit) and time units (UnitT).  For writers 100 and 1000 are
// units per metre (CM, MM); every other value is metres per unit.  Readers
// divide by 100 only and multiply by every other value, so 1000 reads as
// kilometres (KM), the same number as MM.
enum { MM = 1000, CM = 100, M = 1, KM = 1000 };
enum { S = 1, MS = 1000, MCS = 1000000, NS = 1000000000 };

extern std::uint16_t NDec;   // digits after the decimal point of x, y, z (4)
extern std::uint16_t Width;  // field width of x, y, z in characters (14)
extern long double Unit;     // length unit factor of x, y, z (1: metres)
// Time-value settings kept beside the others; no xyz operation reads them.
extern std::uint16_t NDecT;   // 6
extern std::uint16_t WidthT;  // 12
extern long double UnitT;     // 1

// A length in metres as written with unit factor u: times u for 100 and 1000
// (centimetres, millimetres), divided by u for every other factor.
inline long double WriteScaled(long double metres, long double u) {
    if (u == 100 || u == 1000) return metres * u;
    return metres / u;
}

// A number read with unit factor u, in metres: divided by 100 for u = 100,
// multiplied by u for every other factor, 1000 included (read as kilometres).
inline long double ReadScaled(long double value, long double u) {
    if (u == 100) return value / 100;
    return value * u;
}

}  // namespace xyzns

class xyz {
  public:
    // The zero vector.
    xyz();
    // Components in metres (or in the unit of whatever the vector holds).
    xyz(long double xx, long double yy, long double zz);
    xyz(const xyz& v);

    // Sets all three components.
    void Set(long double xx, long double yy, long double zz);

    long double GetX() const { return x; }
    long double GetY() const { return y; }
    long double GetZ() const { return z; }
    void SetX(long double v) { x = v; }
    void SetY(long double v) { y = v; }
    void SetZ(long double v) { z = v; }

    // Euclidean length sqrt(x^2 + y^2 + z^2), same unit as the components;
    // computed directly, without scaling.
    long double GetLength() const;

    // A vector of length |sign| along this one, pointing the same way for a
    // positive sign and the opposite way for a negative one (sign 1: the unit
    // vector, -1: its opposite).  The components are scaled by 1e-6 before
    // squaring so that vectors of Sun-distance size stay well inside range.
    // The zero vector gives NaN components; nothing is reported.
    xyz GetUnitVector(long double sign) const;

    // This vector rotated by angle a (radians) about the X, Y or Z axis:
    // active, right-handed rotation, counter-clockwise seen from the positive
    // end of the axis.  This vector is not changed.
    xyz RotateX(long double a) const;
    xyz RotateY(long double a) const;
    xyz RotateZ(long double a) const;

    xyz& operator=(const xyz& v);
    // Takes x, y, z of v; its time value is dropped.
    xyz& operator=(const xyzt& v);
    xyz& operator+=(const xyz& v);
    xyz& operator-=(const xyz& v);
    // Only x, y, z of v take part.
    xyz& operator+=(const xyzt& v);
    xyz& operator-=(const xyzt& v);
    // Scale all three components.  Division by 0 follows the floating-point
    // rules (infinities, NaN) without a report.
    xyz& operator*=(long double k);
    xyz& operator/=(long double k);

    // True for the same object, or when every component differs by strictly
    // less than 1e-14 (in the components' unit).
    bool operator==(const xyz& v) const;
    bool operator!=(const xyz& v) const;

  private:
    long double x;  // X component, metres
    long double y;  // Y component, metres
    long double z;  // Z component, metres
};

// Sums and differences; the time value of an xyzt operand is ignored and the
// result is always an xyz.
xyz operator+(const xyz& a, const xyz& b);
xyz operator-(const xyz& a, const xyz& b);
xyz operator+(const xyz& a, const xyzt& b);
xyz operator-(const xyz& a, const xyzt& b);
xyz operator+(const xyzt& a, const xyz& b);
xyz operator-(const xyzt& a, const xyz& b);

// Scaled copies.
xyz operator*(const xyz& v, long double k);
xyz operator*(long double k, const xyz& v);

// Dot products a.x*b.x + a.y*b.y + a.z*b.z (unit: product of the operands'
// units); only x, y, z of an xyzt take part.
long double operator*(const xyz& a, const xyz& b);
long double operator*(const xyz& a, const xyzt& b);

// Cross product a x b.
xyz CrossP(const xyz& a, const xyz& b);
// Element-wise product (a.x*b.x, a.y*b.y, a.z*b.z).
xyz ElementP(const xyz& a, const xyz& b);
// Element-wise square root; a negative component gives NaN without a report.
xyz sqrt(const xyz& v);

// Reads x, y, z as whitespace-separated numbers, then applies xyzns::Unit:
// divided by 100 when Unit is 100, multiplied by Unit otherwise.  No validity
// test; after a failed extraction the stream stays failed and the components
// are as the extraction left them, unscaled.
std::istream& operator>>(std::istream& is, xyz& v);

// Writes x, y, z right-aligned in fields of xyzns::Width characters with
// xyzns::NDec decimals, no separators and no line end; each component is
// multiplied by Unit when Unit is 100 or 1000 and divided by it otherwise.
// The stream's fixed-point flag is set and stays set.
std::ostream& operator<<(std::ostream& os, const xyz& v);

#endif  // GNSS_XYZ_H

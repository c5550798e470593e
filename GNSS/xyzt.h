// xyzt: a Cartesian 3-vector with a time value.
//
// The three components are metres as in xyz; the fourth, dt, is a time value
// whose unit the caller chooses.  Sums and differences of two xyzt act on all
// four values, scaling acts on x, y, z only.  The mixed operators with xyz are
// declared in GNSS/xyz.h.
#ifndef GNSS_XYZT_H
#define GNSS_XYZT_H

#include <cstdint>
#include <istream>
#include <ostream>

#include "GNSS/xyz.h"

// Print and read settings of xyzt streams (process-wide, read on every call).
namespace xyztns {

// Units, read as for xyzns: for writers 100 and 1000 are units per metre,
// other values metres per unit; readers divide by 100 only.
enum { MM = 1000, CM = 100, M = 1, KM = 1000 };
enum { S = 1, MS = 1000, MCS = 1000000, NS = 1000000000 };

extern std::uint16_t NDec;       // decimals of x, y, z (4)
extern std::uint16_t NDecT;      // decimals of dt (6)
extern std::uint16_t Width;      // field width of x, y, z (14)
extern std::uint16_t WidthT;     // field width of dt (12)
extern std::uint16_t PrintTime;  // dt is printed only when this is 1 (1)
extern long double Unit;         // length unit factor of x, y, z (1)
extern long double UnitT;        // dt is printed as dt*UnitT, read as value/UnitT (1)

}  // namespace xyztns

class xyzt {
  public:
    // All four values zero.
    xyzt();
    // x, y, z in metres and the time value dt.
    xyzt(long double xx, long double yy, long double zz, long double tt);
    xyzt(const xyzt& v);

    void Set(long double xx, long double yy, long double zz, long double tt);
    long double GetX() const { return x; }
    long double GetY() const { return y; }
    long double GetZ() const { return z; }
    long double GetT() const { return dt; }
    void SetX(long double v) { x = v; }
    void SetY(long double v) { y = v; }
    void SetZ(long double v) { z = v; }
    void SetT(long double v) { dt = v; }

    // Length of (x, y, z); dt takes no part.
    long double GetLength() const;

    // Unit vector times sign as for xyz::GetUnitVector; its dt is 0.
    xyzt GetUnitVector(long double sign) const;

    // Rotations of (x, y, z) by angle a (radians) with the signs of xyz; dt is
    // copied unchanged.
    xyzt RotateX(long double a) const;
    xyzt RotateY(long double a) const;
    xyzt RotateZ(long double a) const;

    xyzt& operator=(const xyzt& v);
    // All four values, dt included.
    xyzt& operator+=(const xyzt& v);
    xyzt& operator-=(const xyzt& v);
    // x, y, z only; dt is unchanged.
    xyzt& operator*=(long double k);
    xyzt& operator/=(long double k);

    // Same object, or all four values within strictly less than 1e-14.
    bool operator==(const xyzt& v) const;
    bool operator!=(const xyzt& v) const;

  private:
    long double x;   // X component, metres
    long double y;   // Y component, metres
    long double z;   // Z component, metres
    long double dt;  // time value belonging to the vector (caller's unit)
};

// Sums and differences of all four values.
xyzt operator+(const xyzt& a, const xyzt& b);
xyzt operator-(const xyzt& a, const xyzt& b);

// Reads x, y, z, dt; x, y, z are scaled by xyztns::Unit as the xyz reader does
// and dt is divided by xyztns::UnitT.  After a failed extraction the stream
// stays failed and the values are as the extraction left them, unscaled.
std::istream& operator>>(std::istream& is, xyzt& v);

// Writes x, y, z as the xyz writer does with the xyztns settings, then, when
// xyztns::PrintTime is 1, dt*UnitT in a field of WidthT with NDecT decimals.
// The fixed-point flag is set and stays set.
std::ostream& operator<<(std::ostream& os, const xyzt& v);

#endif  // GNSS_XYZT_H

#include "GNSS/xyz.h"

#include <cmath>
#include <iomanip>

#include "GNSS/xyzt.h"

namespace xyzns {
std::uint16_t NDec = 4;
std::uint16_t Width = 14;
long double Unit = 1;
std::uint16_t NDecT = 6;
std::uint16_t WidthT = 12;
long double UnitT = 1;
}  // namespace xyzns

xyz::xyz() : x(0), y(0), z(0) {}

xyz::xyz(long double xx, long double yy, long double zz) : x(xx), y(yy), z(zz) {}

xyz::xyz(const xyz& v) : x(v.x), y(v.y), z(v.z) {}

void xyz::Set(long double xx, long double yy, long double zz) {
    x = xx;
    y = yy;
    z = zz;
}

long double xyz::GetLength() const {
    return std::sqrt(x * x + y * y + z * z);
}

xyz xyz::GetUnitVector(long double sign) const {
    const long double xs = x * 1e-6;
    const long double ys = y * 1e-6;
    const long double zs = z * 1e-6;
    const long double d = std::sqrt(xs * xs + ys * ys + zs * zs);
    return xyz(x * sign * 1e-6 / d, y * sign * 1e-6 / d, z * sign * 1e-6 / d);
}

xyz xyz::RotateX(long double a) const {
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    return xyz(x, c * y - s * z, s * y + c * z);
}

xyz xyz::RotateY(long double a) const {
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    return xyz(c * x + s * z, y, -s * x + c * z);
}

xyz xyz::RotateZ(long double a) const {
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    return xyz(c * x - s * y, s * x + c * y, z);
}

xyz& xyz::operator=(const xyz& v) {
    x = v.x;
    y = v.y;
    z = v.z;
    return *this;
}

xyz& xyz::operator=(const xyzt& v) {
    x = v.GetX();
    y = v.GetY();
    z = v.GetZ();
    return *this;
}

xyz& xyz::operator+=(const xyz& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

xyz& xyz::operator-=(const xyz& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

xyz& xyz::operator+=(const xyzt& v) {
    x += v.GetX();
    y += v.GetY();
    z += v.GetZ();
    return *this;
}

xyz& xyz::operator-=(const xyzt& v) {
    x -= v.GetX();
    y -= v.GetY();
    z -= v.GetZ();
    return *this;
}

xyz& xyz::operator*=(long double k) {
    x *= k;
    y *= k;
    z *= k;
    return *this;
}

xyz& xyz::operator/=(long double k) {
    x /= k;
    y /= k;
    z /= k;
    return *this;
}

bool xyz::operator==(const xyz& v) const {
    if (this == &v) return true;
    return std::fabs(x - v.x) < 1e-14 && std::fabs(y - v.y) < 1e-14 && std::fabs(z - v.z) < 1e-14;
}

bool xyz::operator!=(const xyz& v) const {
    return !(*this == v);
}

xyz operator+(const xyz& a, const xyz& b) {
    xyz r(a);
    r += b;
    return r;
}

xyz operator-(const xyz& a, const xyz& b) {
    xyz r(a);
    r -= b;
    return r;
}

xyz operator+(const xyz& a, const xyzt& b) {
    xyz r(a);
    r += b;
    return r;
}

xyz operator-(const xyz& a, const xyzt& b) {
    xyz r(a);
    r -= b;
    return r;
}

xyz operator+(const xyzt& a, const xyz& b) {
    xyz r;
    r = a;
    r += b;
    return r;
}

xyz operator-(const xyzt& a, const xyz& b) {
    xyz r;
    r = a;
    r -= b;
    return r;
}

xyz operator*(const xyz& v, long double k) {
    xyz r(v);
    r *= k;
    return r;
}

xyz operator*(long double k, const xyz& v) {
    xyz r(v);
    r *= k;
    return r;
}

long double operator*(const xyz& a, const xyz& b) {
    return a.GetX() * b.GetX() + a.GetY() * b.GetY() + a.GetZ() * b.GetZ();
}

long double operator*(const xyz& a, const xyzt& b) {
    return a.GetX() * b.GetX() + a.GetY() * b.GetY() + a.GetZ() * b.GetZ();
}

xyz CrossP(const xyz& a, const xyz& b) {
    return xyz(a.GetY() * b.GetZ() - a.GetZ() * b.GetY(), a.GetZ() * b.GetX() - a.GetX() * b.GetZ(),
               a.GetX() * b.GetY() - a.GetY() * b.GetX());
}

xyz ElementP(const xyz& a, const xyz& b) {
    return xyz(a.GetX() * b.GetX(), a.GetY() * b.GetY(), a.GetZ() * b.GetZ());
}

xyz sqrt(const xyz& v) {
    return xyz(std::sqrt(v.GetX()), std::sqrt(v.GetY()), std::sqrt(v.GetZ()));
}

std::istream& operator>>(std::istream& is, xyz& v) {
    long double xx = v.GetX();
    long double yy = v.GetY();
    long double zz = v.GetZ();
    is >> xx >> yy >> zz;
    if (is) {
        xx = xyzns::ReadScaled(xx, xyzns::Unit);
        yy = xyzns::ReadScaled(yy, xyzns::Unit);
        zz = xyzns::ReadScaled(zz, xyzns::Unit);
    }
    v.Set(xx, yy, zz);
    return is;
}

std::ostream& operator<<(std::ostream& os, const xyz& v) {
    os.setf(std::ios_base::fixed);
    os << std::setw(xyzns::Width) << std::setprecision(xyzns::NDec)
       << xyzns::WriteScaled(v.GetX(), xyzns::Unit);
    os << std::setw(xyzns::Width) << std::setprecision(xyzns::NDec)
       << xyzns::WriteScaled(v.GetY(), xyzns::Unit);
    os << std::setw(xyzns::Width) << std::setprecision(xyzns::NDec)
       << xyzns::WriteScaled(v.GetZ(), xyzns::Unit);
    return os;
}

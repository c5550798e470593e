#include "GNSS/xyzt.h"

#include <cmath>
#include <iomanip>

namespace xyztns {
std::uint16_t NDec = 4;
std::uint16_t NDecT = 6;
std::uint16_t Width = 14;
std::uint16_t WidthT = 12;
std::uint16_t PrintTime = 1;
long double Unit = 1;
long double UnitT = 1;
}  // namespace xyztns

xyzt::xyzt() : x(0), y(0), z(0), dt(0) {}

xyzt::xyzt(long double xx, long double yy, long double zz, long double tt)
    : x(xx), y(yy), z(zz), dt(tt) {}

xyzt::xyzt(const xyzt& v) : x(v.x), y(v.y), z(v.z), dt(v.dt) {}

void xyzt::Set(long double xx, long double yy, long double zz, long double tt) {
    x = xx;
    y = yy;
    z = zz;
    dt = tt;
}

long double xyzt::GetLength() const {
    return std::sqrt(x * x + y * y + z * z);
}

xyzt xyzt::GetUnitVector(long double sign) const {
    const long double xs = x * 1e-6;
    const long double ys = y * 1e-6;
    const long double zs = z * 1e-6;
    const long double d = std::sqrt(xs * xs + ys * ys + zs * zs);
    return xyzt(x * sign * 1e-6 / d, y * sign * 1e-6 / d, z * sign * 1e-6 / d, 0);
}

xyzt xyzt::RotateX(long double a) const {
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    return xyzt(x, c * y - s * z, s * y + c * z, dt);
}

xyzt xyzt::RotateY(long double a) const {
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    return xyzt(c * x + s * z, y, -s * x + c * z, dt);
}

xyzt xyzt::RotateZ(long double a) const {
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    return xyzt(c * x - s * y, s * x + c * y, z, dt);
}

xyzt& xyzt::operator=(const xyzt& v) {
    x = v.x;
    y = v.y;
    z = v.z;
    dt = v.dt;
    return *this;
}

xyzt& xyzt::operator+=(const xyzt& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    dt += v.dt;
    return *this;
}

xyzt& xyzt::operator-=(const xyzt& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    dt -= v.dt;
    return *this;
}

xyzt& xyzt::operator*=(long double k) {
    x *= k;
    y *= k;
    z *= k;
    return *this;
}

xyzt& xyzt::operator/=(long double k) {
    x /= k;
    y /= k;
    z /= k;
    return *this;
}

bool xyzt::operator==(const xyzt& v) const {
    if (this == &v) return true;
    return std::fabs(x - v.x) < 1e-14 && std::fabs(y - v.y) < 1e-14 && std::fabs(z - v.z) < 1e-14 &&
           std::fabs(dt - v.dt) < 1e-14;
}

bool xyzt::operator!=(const xyzt& v) const {
    return !(*this == v);
}

xyzt operator+(const xyzt& a, const xyzt& b) {
    xyzt r(a);
    r += b;
    return r;
}

xyzt operator-(const xyzt& a, const xyzt& b) {
    xyzt r(a);
    r -= b;
    return r;
}

std::istream& operator>>(std::istream& is, xyzt& v) {
    long double xx = v.GetX();
    long double yy = v.GetY();
    long double zz = v.GetZ();
    long double tt = v.GetT();
    is >> xx >> yy >> zz >> tt;
    if (is) {
        xx = xyzns::ReadScaled(xx, xyztns::Unit);
        yy = xyzns::ReadScaled(yy, xyztns::Unit);
        zz = xyzns::ReadScaled(zz, xyztns::Unit);
        tt = tt / xyztns::UnitT;
    }
    v.Set(xx, yy, zz, tt);
    return is;
}

std::ostream& operator<<(std::ostream& os, const xyzt& v) {
    os.setf(std::ios_base::fixed);
    os << std::setw(xyztns::Width) << std::setprecision(xyztns::NDec)
       << xyzns::WriteScaled(v.GetX(), xyztns::Unit);
    os << std::setw(xyztns::Width) << std::setprecision(xyztns::NDec)
       << xyzns::WriteScaled(v.GetY(), xyztns::Unit);
    os << std::setw(xyztns::Width) << std::setprecision(xyztns::NDec)
       << xyzns::WriteScaled(v.GetZ(), xyztns::Unit);
    if (xyztns::PrintTime == 1) {
        os << std::setw(xyztns::WidthT) << std::setprecision(xyztns::NDecT)
           << v.GetT() * xyztns::UnitT;
    }
    return os;
}

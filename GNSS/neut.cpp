#include "GNSS/neut.h"

#include <cmath>
#include <iomanip>

namespace neutns {
std::uint16_t NDecNE = 4;
std::uint16_t NDecU = 4;
std::uint16_t NDecT = 6;
std::uint16_t WidthNE = 12;
std::uint16_t WidthU = 10;
std::uint16_t WidthT = 10;
std::uint16_t UnitT = S;
}  // namespace neutns

namespace {
// Tolerance of operator== on every value.
constexpr long double kEqualTolerance = 1e-14;
}  // namespace

neut::neut() : n(0), e(0), u(0), dt(0) {}

neut::neut(long double nn, long double ee, long double uu, long double tt)
    : n(nn), e(ee), u(uu), dt(tt) {}

neut::neut(const neut& other) : n(other.n), e(other.e), u(other.u), dt(other.dt) {}

neut& neut::operator=(const neut& other) {
    n = other.n;
    e = other.e;
    u = other.u;
    dt = other.dt;
    return *this;
}

neut& neut::operator+=(const neut& other) {
    n += other.n;
    e += other.e;
    u += other.u;
    dt += other.dt;
    return *this;
}

neut& neut::operator-=(const neut& other) {
    n -= other.n;
    e -= other.e;
    u -= other.u;
    dt -= other.dt;
    return *this;
}

bool neut::operator==(const neut& other) const {
    if (this == &other) return true;
    return std::fabs(n - other.n) < kEqualTolerance && std::fabs(e - other.e) < kEqualTolerance &&
           std::fabs(u - other.u) < kEqualTolerance && std::fabs(dt - other.dt) < kEqualTolerance;
}

bool neut::operator!=(const neut& other) const {
    return !(*this == other);
}

void neut::Set(long double nn, long double ee, long double uu, long double tt) {
    n = nn;
    e = ee;
    u = uu;
    dt = tt;
}

long double neut::GetLength() const {
    return std::sqrt(n * n + e * e + u * u);
}

neut operator+(const neut& a, const neut& b) {
    neut r(a);
    r += b;
    return r;
}

neut operator-(const neut& a, const neut& b) {
    neut r(a);
    r -= b;
    return r;
}

std::ostream& operator<<(std::ostream& os, const neut& v) {
    os << std::fixed << std::setprecision(neutns::NDecNE) << std::setw(neutns::WidthNE) << v.n
       << std::setw(neutns::WidthNE) << v.e << std::setprecision(neutns::NDecU)
       << std::setw(neutns::WidthU) << v.u << std::setprecision(neutns::NDecT)
       << std::setw(neutns::WidthT) << v.dt * static_cast<long double>(neutns::UnitT);
    return os;
}

std::istream& operator>>(std::istream& is, neut& v) {
    long double nn = 0, ee = 0, uu = 0, tt = 0;
    is >> nn >> ee >> uu >> tt;
    if (!is.fail()) v.Set(nn, ee, uu, tt);
    return is;
}

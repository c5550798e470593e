#include "GNSS/neu.h"

#include <cmath>
#include <iomanip>

namespace neuns {
std::uint16_t NDecNE = 4;
std::uint16_t NDecU = 4;
std::uint16_t WidthNE = 12;
std::uint16_t WidthU = 10;
std::uint16_t Unit = M;
std::uint16_t PrintType = NORINEX;
std::int16_t Order = NE;
}  // namespace neuns

namespace {

// Tolerance of operator== on every value [m].
constexpr long double kEqualTolerance = 1e-14;

// 100 and 1000 are units per metre (centimetres, millimetres); any other
// factor is metres per unit.
bool UnitsPerMetre(long double unit) {
    return unit == 100.0 || unit == 1000.0;
}

// Metres to the length unit of the neu streams.
long double ToUnit(long double metres, long double unit) {
    return UnitsPerMetre(unit) ? metres * unit : metres / unit;
}

// The length unit of the neu streams to metres.
long double FromUnit(long double value, long double unit) {
    return UnitsPerMetre(unit) ? value / unit : value * unit;
}

}  // namespace

neu::neu() : n(0), e(0), u(0) {}

neu::neu(long double nn, long double ee, long double uu) : n(nn), e(ee), u(uu) {}

neu::neu(const neu& other) : n(other.n), e(other.e), u(other.u) {}

neu& neu::operator=(const neu& other) {
    n = other.n;
    e = other.e;
    u = other.u;
    return *this;
}

neu& neu::operator+=(const neu& other) {
    n += other.n;
    e += other.e;
    u += other.u;
    return *this;
}

neu& neu::operator-=(const neu& other) {
    n -= other.n;
    e -= other.e;
    u -= other.u;
    return *this;
}

neu& neu::operator/=(long double d) {
    n /= d;
    e /= d;
    u /= d;
    return *this;
}

bool neu::operator==(const neu& other) const {
    if (this == &other) return true;
    return std::fabs(n - other.n) < kEqualTolerance && std::fabs(e - other.e) < kEqualTolerance &&
           std::fabs(u - other.u) < kEqualTolerance;
}

bool neu::operator!=(const neu& other) const {
    return !(*this == other);
}

void neu::Set(long double nn, long double ee, long double uu) {
    n = nn;
    e = ee;
    u = uu;
}

long double neu::GetLength() const {
    return std::sqrt(n * n + e * e + u * u);
}

neu operator+(const neu& a, const neu& b) {
    neu r(a);
    r += b;
    return r;
}

neu operator-(const neu& a, const neu& b) {
    neu r(a);
    r -= b;
    return r;
}

neu operator*(const neu& a, long double s) {
    return neu(a.GetN() * s, a.GetE() * s, a.GetU() * s);
}

neu operator*(long double s, const neu& a) {
    return a * s;
}

neu ElementP(const neu& a, const neu& b) {
    return neu(a.GetN() * b.GetN(), a.GetE() * b.GetE(), a.GetU() * b.GetU());
}

neu sqrt(const neu& a) {
    return neu(std::sqrt(a.GetN()), std::sqrt(a.GetE()), std::sqrt(a.GetU()));
}

std::ostream& operator<<(std::ostream& os, const neu& v) {
    os << std::fixed;
    if (neuns::PrintType == neuns::RINEX) {
        // Antenna offsets of a RINEX observation header: up, east, north.
        os << std::setprecision(4) << std::setw(14) << v.u << std::setw(14) << v.e << std::setw(14)
           << v.n;
        return os;
    }
    const long double unit = neuns::Unit;
    const long double first = neuns::Order == neuns::NE ? v.n : v.e;
    const long double second = neuns::Order == neuns::NE ? v.e : v.n;
    os << std::setprecision(neuns::NDecNE) << std::setw(neuns::WidthNE) << ToUnit(first, unit)
       << std::setw(neuns::WidthNE) << ToUnit(second, unit) << std::setprecision(neuns::NDecU)
       << std::setw(neuns::WidthU) << ToUnit(v.u, unit);
    return os;
}

std::istream& operator>>(std::istream& is, neu& v) {
    long double first = 0, second = 0, up = 0;
    is >> first >> second >> up;
    if (is.fail()) return is;
    const long double unit = neuns::Unit;
    first = FromUnit(first, unit);
    second = FromUnit(second, unit);
    up = FromUnit(up, unit);
    if (neuns::Order == neuns::NE) {
        v.Set(first, second, up);
    } else {
        v.Set(second, first, up);
    }
    return is;
}

#include "GNSS/flht.h"

#include <cmath>
#include <iomanip>

#include "PROGINC/ProgramError.h"
#include "funkcije/KotnePretvorbe.h"

namespace flhtns {
std::uint16_t NDecFL = 8;
std::uint16_t NDecH = 4;
std::uint16_t WidthFL = 12;
std::uint16_t WidthH = 10;
std::uint16_t NDecT = 6;
std::uint16_t WidthT = 12;
std::uint16_t UnitT = S;
std::uint16_t Unit = RAD;
}  // namespace flhtns

namespace {

// Tolerance of operator== on every value.
constexpr long double kEqualTolerance = 1e-14;

// One angle [rad] in the numeric notation unit (RAD, DEG, DMS).
long double NumericAngle(long double rad, unsigned unit) {
    switch (unit) {
        case flhtns::DEG:
            return rad2deg(rad);
        case flhtns::DMS:
            return rad2dms(rad);
        default:
            return rad;
    }
}

}  // namespace

flht::flht() : f(0), l(0), h(0), dt(0) {}

flht::flht(long double fi, long double la, long double hh, long double tt)
    : f(fi), l(la), h(hh), dt(tt) {
    TestPos();
}

flht::flht(const flht& other) : f(other.f), l(other.l), h(other.h), dt(other.dt) {
    TestPos();
}

flht& flht::operator=(const flht& other) {
    if (this != &other) {
        f = other.f;
        l = other.l;
        h = other.h;
        dt = other.dt;
        TestPos();
    }
    return *this;
}

flht& flht::operator+=(const flht& other) {
    f += other.f;
    l += other.l;
    h += other.h;
    dt += other.dt;
    TestPos();
    return *this;
}

flht& flht::operator-=(const flht& other) {
    f -= other.f;
    l -= other.l;
    h -= other.h;
    dt -= other.dt;
    TestPos();
    return *this;
}

bool flht::operator==(const flht& other) const {
    if (this == &other) return true;
    return std::fabs(f - other.f) < kEqualTolerance && std::fabs(l - other.l) < kEqualTolerance &&
           std::fabs(h - other.h) < kEqualTolerance && std::fabs(dt - other.dt) < kEqualTolerance;
}

bool flht::operator!=(const flht& other) const {
    return !(*this == other);
}

void flht::Set(long double fi, long double la, long double hh, long double tt) {
    f = fi;
    l = la;
    h = hh;
    dt = tt;
}

bool flht::TestFi() const {
    return f >= -90.0 && f <= 90.0;
}

bool flht::TestLa() const {
    return l >= -180.0 && l <= 180.0;
}

void flht::TestPos() const {
    if (!TestFi()) Error("LATITUDE not valid");
    if (!TestLa()) Error("LONGITUDE not valid");
}

void flht::Error(const char* text) const {
    ClassValidityReport("**** flht: Error -> ", text, "     Exiting class flht ... ");
}

flht operator+(const flht& a, const flht& b) {
    flht r(a);
    r += b;
    return r;
}

flht operator-(const flht& a, const flht& b) {
    flht r(a);
    r -= b;
    return r;
}

std::ostream& operator<<(std::ostream& os, const flht& p) {
    os << std::fixed;
    const unsigned unit = flhtns::Unit;
    switch (unit) {
        case flhtns::RAD:
        case flhtns::DEG:
        case flhtns::DMS:
            os << std::setprecision(flhtns::NDecFL) << std::setw(flhtns::WidthFL)
               << NumericAngle(p.f, unit) << std::setw(flhtns::WidthFL) << NumericAngle(p.l, unit);
            break;
        case flhtns::DMSV:
            os << std::setw(flhtns::WidthFL) << dms2dms(rad2dms(p.f), flhtns::NDecFL)
               << std::setw(flhtns::WidthFL) << dms2dms(rad2dms(p.l), flhtns::NDecFL);
            break;
        default:
            return os;
    }
    os << std::setprecision(flhtns::NDecH) << std::setw(flhtns::WidthH) << p.h
       << std::setprecision(flhtns::NDecT) << std::setw(flhtns::WidthT)
       << p.dt * static_cast<long double>(flhtns::UnitT);
    return os;
}

std::istream& operator>>(std::istream& is, flht& p) {
    long double fi = 0, la = 0, hh = 0, tt = 0;
    switch (flhtns::Unit) {
        case flhtns::RAD:
            is >> fi >> la;
            break;
        case flhtns::DEG:
            is >> fi >> la;
            fi = deg2rad(fi);
            la = deg2rad(la);
            break;
        case flhtns::DMS:
            is >> fi >> la;
            fi = dms2rad(fi);
            la = dms2rad(la);
            break;
        case flhtns::DMSV: {
            int fd = 0, fm = 0, ld = 0, lm = 0;
            double fs = 0, ls = 0;
            is >> fd >> fm >> fs >> ld >> lm >> ls;
            fi = deg2rad(dmsv2deg(fd, fm, fs));
            la = deg2rad(dmsv2deg(ld, lm, ls));
            break;
        }
        default:
            // Unknown notations are not read.
            return is;
    }
    is >> hh >> tt;
    if (!is.fail()) p.Set(fi, la, hh, tt);
    return is;
}

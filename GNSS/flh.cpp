#include "GNSS/flh.h"

#include <cmath>
#include <iomanip>

#include "PROGINC/ProgramError.h"
#include "funkcije/KotnePretvorbe.h"

namespace flhns {
std::uint16_t NDecFL = 8;
std::uint16_t NDecH = 4;
std::uint16_t WidthFL = 12;
std::uint16_t WidthH = 10;
std::uint16_t Unit = RAD;
}  // namespace flhns

namespace {

// Tolerance of operator== on every value (rad, m).
constexpr long double kEqualTolerance = 1e-14;

// One angle [rad] in the numeric notation unit (RAD, DEG, GON, DMS).
long double NumericAngle(long double rad, unsigned unit) {
    switch (unit) {
        case flhns::DEG:
            return rad2deg(rad);
        case flhns::GON:
            return rad2gon(rad);
        case flhns::DMS:
            return rad2dms(rad);
        default:
            return rad;
    }
}

}  // namespace

flh::flh() : f(0), l(0), h(0) {}

flh::flh(long double fi, long double la, long double hh) : f(fi), l(la), h(hh) {
    TestPos();
}

flh::flh(const flh& other) : f(other.f), l(other.l), h(other.h) {
    TestPos();
}

flh& flh::operator=(const flh& other) {
    if (this != &other) {
        f = other.f;
        l = other.l;
        h = other.h;
        TestPos();
    }
    return *this;
}

flh& flh::operator+=(const flh& other) {
    f += other.f;
    l += other.l;
    h += other.h;
    TestPos();
    return *this;
}

flh& flh::operator-=(const flh& other) {
    f -= other.f;
    l -= other.l;
    h -= other.h;
    TestPos();
    return *this;
}

bool flh::operator==(const flh& other) const {
    if (this == &other) return true;
    return std::fabs(f - other.f) < kEqualTolerance && std::fabs(l - other.l) < kEqualTolerance &&
           std::fabs(h - other.h) < kEqualTolerance;
}

bool flh::operator!=(const flh& other) const {
    return !(*this == other);
}

void flh::Set(long double fi, long double la, long double hh) {
    f = fi;
    l = la;
    h = hh;
}

bool flh::TestFi() const {
    return f >= -90.0 && f <= 90.0;
}

bool flh::TestLa() const {
    return l >= -180.0 && l <= 180.0;
}

void flh::TestPos() const {
    if (!TestFi()) Error("LATITUDE not valid");
    if (!TestLa()) Error("LONGITUDE not valid");
}

void flh::Error(const char* text) const {
    ClassValidityReport("**** flh: Error -> ", text, "     Exiting class flh ... ");
}

flh operator+(const flh& a, const flh& b) {
    flh r(a);
    r += b;
    return r;
}

flh operator-(const flh& a, const flh& b) {
    flh r(a);
    r -= b;
    return r;
}

std::ostream& operator<<(std::ostream& os, const flh& p) {
    os << std::fixed;
    const unsigned unit = flhns::Unit;
    switch (unit) {
        case flhns::RAD:
        case flhns::DEG:
        case flhns::GON:
        case flhns::DMS:
            os << std::setprecision(flhns::NDecFL) << std::setw(flhns::WidthFL)
               << NumericAngle(p.f, unit) << std::setw(flhns::WidthFL) << NumericAngle(p.l, unit)
               << std::setprecision(flhns::NDecH) << std::setw(flhns::WidthH) << p.h;
            break;
        case flhns::DMSV:
            os << std::setw(flhns::WidthFL) << dms2dms(rad2dms(p.f), flhns::NDecFL)
               << std::setw(flhns::WidthFL) << dms2dms(rad2dms(p.l), flhns::NDecFL)
               << std::setprecision(flhns::NDecH) << std::setw(flhns::WidthH) << p.h;
            break;
        case flhns::SINEX:
            os << std::setw(11) << dms2dms(rad2dms(p.l), 1) << ' ' << std::setw(11)
               << dms2dms(rad2dms(p.f), 1) << ' ' << std::setprecision(1) << std::setw(7) << p.h;
            break;
        default:
            break;
    }
    return os;
}

std::istream& operator>>(std::istream& is, flh& p) {
    long double fi = 0, la = 0, hh = 0;
    switch (flhns::Unit) {
        case flhns::RAD:
            is >> fi >> la;
            break;
        case flhns::DEG:
            is >> fi >> la;
            fi = deg2rad(fi);
            la = deg2rad(la);
            break;
        case flhns::DMS:
            is >> fi >> la;
            fi = dms2rad(fi);
            la = dms2rad(la);
            break;
        case flhns::DMSV: {
            int fd = 0, fm = 0, ld = 0, lm = 0;
            double fs = 0, ls = 0;
            is >> fd >> fm >> fs >> ld >> lm >> ls;
            fi = deg2rad(dmsv2deg(fd, fm, fs));
            la = deg2rad(dmsv2deg(ld, lm, ls));
            break;
        }
        default:
            // GON, SINEX and unknown notations are not read.
            return is;
    }
    is >> hh;
    if (!is.fail()) p.Set(fi, la, hh);
    return is;
}

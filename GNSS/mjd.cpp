#include "GNSS/mjd.h"

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <ios>

#include "GNSS/Calendar.h"
#include "PROGINC/ProgramError.h"

namespace mjdns {
std::uint16_t PrintFormat = MJDSEC;
std::uint16_t NDecSecond = 1;
}  // namespace mjdns

namespace {

constexpr std::uint32_t kMaxMJDay = 199999;       // last valid day number
constexpr std::uint32_t kLastDay = 4294967295u;   // largest day number the count holds
constexpr std::int64_t kDayCount = 4294967296LL;  // 2^32: day numbers that exist

using calendar::TruncU16;

}  // namespace

mjd::mjd() : mjday(0), second(0) {}

mjd::mjd(std::uint32_t d, long double sec) : mjday(d), second(sec) {
    TestDatum();
}

mjd::mjd(const mjd& e) : mjday(e.mjday), second(e.second) {
    TestDatum();
}

mjd& mjd::operator=(const mjd& e) {
    if (this != &e) {
        mjday = e.mjday;
        second = e.second;
        TestDatum();
    }
    return *this;
}

mjd& mjd::operator=(long double mjddec) {
    // Truncation toward zero keeps (-1, 0) as day 0; anything outside the
    // 32-bit day count gets a day number that fails the day test.
    if (mjddec > -1 && mjddec < kDayCount) {
        mjday = static_cast<std::uint32_t>(mjddec);
        second = (mjddec - std::floor(mjddec)) * 86400.0;
    } else {
        mjday = kLastDay;
        second = 0;
    }
    TestDatum();
    return *this;
}

void mjd::Set(std::uint32_t d, long double sec) {
    mjday = d;
    second = sec;
    TestDatum();
}

mjd& mjd::operator+=(long double d) {
    if (std::isnan(d)) return *this;
    const int sign = d < 0 ? -1 : 1;
    const long double a = std::fabs(d);
    const long double q = a / 86400.0;
    // The whole-day count is a 32-bit number; a step with more days than that
    // (infinity included) cannot be carried and saturates.
    if (!(q < kDayCount)) {
        mjday = sign > 0 ? kLastDay : 0;
        second = 0;
        return *this;
    }
    const std::uint32_t n = static_cast<std::uint32_t>(q);
    const long double rest = a - static_cast<long double>(static_cast<double>(n) * 86400.0);

    // The day arithmetic is done in 64 bits so that a carry past the largest
    // day number is seen; below 0 it wraps like the unsigned count it is.
    std::int64_t day = static_cast<std::int64_t>(mjday) + sign * static_cast<std::int64_t>(n);
    second += sign * rest;
    if (second < 0) {
        day -= 1;
        second += 86400.0;
    }
    if (second > 86400.0) {
        day += 1;
        second -= 86400.0;
    }
    if (std::fabs(second - 86400.0) < 1e-12) {
        day += 1;
        second = 0;
    }
    if (day > static_cast<std::int64_t>(kLastDay)) {
        mjday = kLastDay;
        second = 0;
    } else {
        mjday = static_cast<std::uint32_t>(day);  // modulo 2^32 below 0
    }
    return *this;
}

mjd& mjd::operator+=(std::int32_t days) {
    mjday += static_cast<std::uint32_t>(days);
    return *this;
}

mjd& mjd::operator-=(std::int32_t days) {
    mjday -= static_cast<std::uint32_t>(days);
    return *this;
}

long double mjd::operator-(const mjd& b) const {
    if (mjday < b.mjday) {
        const std::uint32_t nd = b.mjday - mjday;
        return (second - b.second) - static_cast<long double>(static_cast<double>(nd) * 86400.0);
    }
    const std::uint32_t nd = mjday - b.mjday;
    return static_cast<long double>(static_cast<double>(nd) * 86400.0) + (second - b.second);
}

bool mjd::operator==(const mjd& b) const {
    if (this == &b) return true;
    return mjday == b.mjday && std::fabs(second - b.second) < 1e-13;
}

bool mjd::operator>(const mjd& b) const {
    if (this == &b) return false;
    return mjday > b.mjday || (mjday == b.mjday && second > b.second);
}

bool mjd::operator<(const mjd& b) const {
    if (this == &b) return false;
    return mjday < b.mjday || (mjday == b.mjday && second < b.second);
}

bool mjd::operator>=(const mjd& b) const {
    if (this == &b) return true;
    return mjday > b.mjday || (mjday == b.mjday && second - b.second > -1e-14);
}

bool mjd::operator<=(const mjd& b) const {
    if (this == &b) return true;
    return mjday < b.mjday || (mjday == b.mjday && second - b.second < 1e-14);
}

long double mjd::GetMJDDec() const {
    return mjday + second / 86400.0;
}

bool mjd::TestMJDay() const {
    return mjday <= kMaxMJDay;
}

bool mjd::TestSecond() const {
    return second >= 0 && second < 86400.0;
}

void mjd::TestDatum() const {
    if (!TestMJDay()) Error("MJDAY not valid");
    if (!TestSecond()) Error("SECOND not valid");
}

void mjd::Error(const char* text) const {
    ClassValidityReport("**** mjd: Error -> ", text, "     Exiting class mjd ... ");
}

void mjd::Sec2HMS(std::uint16_t& hour, std::uint16_t& minute, long double& sec) const {
    long double H = std::floor(second / 3600.0);
    long double M = std::floor((second / 3600.0 - H) * 60.0);
    long double s = ((second / 3600.0 - H) * 60.0 - M) * 60.0;
    if (std::fabs(s - 60.0) < 1e-10) {
        s = 0;
        M = M + 1;
    }
    if (std::fabs(M - 60.0) < 1e-10) {
        M = 0;
        H = H + 1;
    }
    hour = TruncU16(H);
    minute = TruncU16(M);
    sec = s;
}

std::ostream& operator<<(std::ostream& os, const mjd& e) {
    const int n = mjdns::NDecSecond;
    switch (mjdns::PrintFormat) {
        case mjdns::MJDSEC:
            os.setf(std::ios::fixed);
            os << std::setw(6) << e.mjday << std::setw(n + 7) << std::setprecision(n) << e.second;
            os.fill(' ');
            break;
        case mjdns::MJDDEC:
            os << std::setw(n + 7) << std::setprecision(n) << e.GetMJDDec();
            break;
        case mjdns::MJDHMS: {
            std::uint16_t h = 0;
            std::uint16_t m = 0;
            long double s = 0;
            e.Sec2HMS(h, m, s);
            os.setf(std::ios::fixed);
            os << std::setw(6) << e.mjday << "  " << std::setfill('0') << std::setw(2) << h << ":"
               << std::setw(2) << m << ":" << std::setw(n + 3) << std::setprecision(n) << s;
            os.fill(' ');
            break;
        }
        case mjdns::MJD:
            os.setf(std::ios::fixed);
            os << std::setw(6) << e.mjday;
            break;
        case mjdns::SP3:
            os.setf(std::ios::fixed);
            os << std::setw(6) << e.mjday << std::setw(16) << std::setprecision(13)
               << e.second / 86400.0;
            os.fill(' ');
            break;
        default:
            break;
    }
    return os;
}

std::istream& operator>>(std::istream& is, mjd& e) {
    is >> e.mjday >> e.second;
    e.TestDatum();
    return is;
}

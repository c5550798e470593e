#include "GNSS/GPSws.h"

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <ios>

#include "GNSS/Calendar.h"
#include "PROGINC/ProgramError.h"

namespace gpswsns {
std::uint16_t PrintFormat = GPSWS;
std::uint16_t NDecSecond = 1;
}  // namespace gpswsns

namespace {

constexpr std::uint16_t kMaxWeek = 11999;   // last valid GPS week
constexpr std::int32_t kWeekCount = 65536;  // weeks the 16-bit count holds

using calendar::TruncU16;

}  // namespace

GPSws::GPSws() : week(0), second(0) {}

GPSws::GPSws(std::uint16_t w, long double sec) : week(w), second(sec) {
    TestDatum();
}

GPSws::GPSws(const GPSws& g) : week(g.week), second(g.second) {
    TestDatum();
}

GPSws& GPSws::operator=(const GPSws& g) {
    if (this != &g) {
        week = g.week;
        second = g.second;
        TestDatum();
    }
    return *this;
}

void GPSws::Set(std::uint16_t w, long double sec) {
    week = w;
    second = sec;
    TestDatum();
}

GPSws& GPSws::operator+=(long double d) {
    if (std::isnan(d)) return *this;
    const int sign = d < 0 ? -1 : 1;
    const long double a = std::fabs(d);
    const long double q = a / 604800.0;
    // More whole weeks than the 16-bit count holds (infinity included).
    if (!(q < kWeekCount)) {
        week = sign > 0 ? 65535 : 0;
        second = 0;
        return *this;
    }
    const std::uint16_t n = static_cast<std::uint16_t>(q);
    const long double rest = a - n * 604800.0;

    // Wide arithmetic so that a carry past week 65535 is seen; below week 0
    // the count wraps like the 16-bit number it is.
    std::int32_t w = week + sign * static_cast<std::int32_t>(n);
    second += sign * rest;
    if (second < 0) {
        w -= 1;
        second += 604800.0;
    }
    // Carrying a full week keeps the seconds of week inside 0 <= s < 604800
    // after a positive step too.
    if (second >= 604800.0) {
        w += 1;
        second -= 604800.0;
    }
    if (w >= kWeekCount) {
        week = 65535;
        second = 0;
    } else {
        week = static_cast<std::uint16_t>(w);  // modulo 65536 below 0
    }
    return *this;
}

GPSws& GPSws::operator+=(std::uint16_t weeks) {
    week = static_cast<std::uint16_t>(week + weeks);
    return *this;
}

std::uint16_t GPSws::GetWeekDay() const {
    return TruncU16(second / 86400.0);
}

long double GPSws::GetDaySecond() const {
    return second - GetWeekDay() * 86400.0;
}

bool GPSws::TestWeek() const {
    return week <= kMaxWeek;
}

bool GPSws::TestSecond() const {
    return second >= 0 && second < 604800.0;
}

void GPSws::TestDatum() const {
    if (!TestWeek()) Error("WEEK not valid");
    if (!TestSecond()) Error("SECOND not valid");
}

void GPSws::Error(const char* text) const {
    ClassValidityReport("**** GPSws: Error -> ", text, "     Exiting class GPSws ... ");
}

void GPSws::Sec2HMS(std::uint16_t& h, std::uint16_t& mi, long double& s) const {
    const long double S = GetDaySecond();
    const long double H = std::floor(S / 3600.0);
    const long double M = std::floor((S / 3600.0 - H) * 60.0);
    s = ((S / 3600.0 - H) * 60.0 - M) * 60.0;
    h = TruncU16(H);
    mi = TruncU16(M);
}

std::ostream& operator<<(std::ostream& os, const GPSws& g) {
    const int n = gpswsns::NDecSecond;
    switch (gpswsns::PrintFormat) {
        case gpswsns::GPSWS:
            os.setf(std::ios::fixed);
            os << std::setw(5) << g.week << std::setw(n + 8) << std::setprecision(n) << g.second;
            os.fill(' ');
            break;
        case gpswsns::GPSWDS:
            os.setf(std::ios::fixed);
            os << std::setw(5) << g.week << std::setw(2) << g.GetWeekDay() << std::setw(n + 7)
               << std::setprecision(n) << g.GetDaySecond();
            os.fill(' ');
            break;
        case gpswsns::GPSWDHMS: {
            std::uint16_t h = 0;
            std::uint16_t m = 0;
            long double s = 0;
            g.Sec2HMS(h, m, s);
            os.setf(std::ios::fixed);
            os << std::setw(5) << g.week << std::setw(2) << g.GetWeekDay() << "  "
               << std::setfill('0') << std::setw(2) << h << ":" << std::setw(2) << m << ":"
               << std::setw(n + 3) << std::setprecision(n) << s;
            os.fill(' ');
            break;
        }
        case gpswsns::GPSWD:
            os << " " << std::setfill('0') << std::setw(4) << g.week << std::setfill(' ')
               << std::setw(2) << g.GetWeekDay();
            break;
        case gpswsns::SP3:
            os.setf(std::ios::fixed);
            os << std::setw(5) << g.week << std::setw(16) << std::setprecision(8) << g.second;
            os.fill(' ');
            break;
        default:
            break;
    }
    return os;
}

std::istream& operator>>(std::istream& is, GPSws& g) {
    is >> g.week >> g.second;
    g.TestDatum();
    return is;
}

#include "GNSS/ymdhms.h"

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <ios>

#include "GNSS/Calendar.h"
#include "PROGINC/ProgramError.h"

namespace ymdhmsns {
std::uint16_t PrintType = NORINEX;
std::uint16_t PrintFormat = YMDHMS;
std::uint16_t NDecSecond = 1;
}  // namespace ymdhmsns

namespace {

using calendar::kDaysBefore;
using calendar::LeapRow;
using calendar::TruncU16;

// Two-digit year of the RINEX observation and SINEX layouts.
int TwoDigitYear(std::uint16_t y) {
    return y >= 2000 ? y - 2000 : y - 1900;
}

}  // namespace

ymdhms::ymdhms() : year(1980), month(1), day(1), hour(0), minute(0), second(0) {}

ymdhms::ymdhms(std::uint16_t y, std::uint16_t mo, std::uint16_t d, std::uint16_t h,
               std::uint16_t mi, long double s)
    : year(y), month(mo), day(d), hour(h), minute(mi), second(s) {
    TestDatum();
}

ymdhms::ymdhms(const ymdhms& e)
    : year(e.year), month(e.month), day(e.day), hour(e.hour), minute(e.minute), second(e.second) {
    TestDatum();
}

ymdhms& ymdhms::operator=(const ymdhms& e) {
    if (this != &e) {
        year = e.year;
        month = e.month;
        day = e.day;
        hour = e.hour;
        minute = e.minute;
        second = e.second;
        TestDatum();
    }
    return *this;
}

void ymdhms::Set(std::uint16_t y, std::uint16_t mo, std::uint16_t d, std::uint16_t h,
                 std::uint16_t mi, long double s) {
    year = y;
    month = mo;
    day = d;
    hour = h;
    minute = mi;
    second = s;
    TestDatum();
}

void ymdhms::SetYear(std::uint16_t y) {
    year = y;
    if (!TestYear()) Error("YEAR not valid");
}

void ymdhms::SetMonth(std::uint16_t mo) {
    month = mo;
    if (!TestMonth()) Error("MONTH not valid");
}

void ymdhms::SetDay(std::uint16_t d) {
    day = d;
    if (!TestDay()) Error("DAY not valid");
}

void ymdhms::SetHour(std::uint16_t h) {
    hour = h;
    if (!TestHour()) Error("HOUR not valid");
}

void ymdhms::SetMinute(std::uint16_t mi) {
    minute = mi;
    if (!TestMinute()) Error("MINUTE not valid");
}

void ymdhms::SetSecond(long double s) {
    second = s;
    if (!TestSecond()) Error("SECOND not valid");
}

void ymdhms::SetHMS(std::uint16_t h, std::uint16_t mi, long double s) {
    SetHour(h);
    SetMinute(mi);
    SetSecond(s);
}

void ymdhms::SetDaySecond(long double sec) {
    Sec2HMS(sec, hour, minute, second);
}

void ymdhms::SetDayOfYear(std::uint16_t y, std::uint16_t n) {
    year = y;
    if (!TestYear()) Error("YEAR not valid");
    const int leap = LeapRow(year);
    hour = 0;
    minute = 0;
    second = 0;
    std::uint16_t m = 0;
    for (int i = 0; i < 12; ++i) {
        if (kDaysBefore[leap][i] < n) ++m;
    }
    month = m;
    if (n == 0 || n > kDaysBefore[leap][12] || !TestMonth()) Error("MONTH not valid");
    day = static_cast<std::uint16_t>(n - kDaysBefore[leap][month - 1]);
    if (!TestDay()) Error("DAY not valid");
}

void ymdhms::SetYDec(double ydec) {
    // A value without a 16-bit year gets one that fails the year test.
    std::uint16_t y = 0;
    if (ydec > -1 && ydec < 65536) y = static_cast<std::uint16_t>(ydec);
    const int leap = LeapRow(y);
    const double f = std::fmod(ydec, 1.0);
    const double d = 1 + (365 + leap) * f;
    // For a valid year 1 <= d < 367; other years are reported before d is used.
    std::uint16_t dt = 0;
    if (d > -1 && d < 65536) dt = static_cast<std::uint16_t>(d);
    SetDayOfYear(y, dt);
    SetDaySecond((d - dt) * 86400);
}

long double ymdhms::GetDaySecond() const {
    const int whole = hour * 3600 + minute * 60;
    return whole + second;
}

std::uint16_t ymdhms::GetDayOfYear() const {
    const int leap = LeapRow(year);
    // A stored month is always 1..12; the guard only keeps the lookup in bounds.
    const int m = month >= 1 && month <= 12 ? month : 1;
    return static_cast<std::uint16_t>(kDaysBefore[leap][m - 1] + day);
}

long double ymdhms::GetYearDec() const {
    const int leap = LeapRow(year);
    return year + (GetDayOfYear() - 1 + GetDaySecond() / 86400.0) / (365 + leap);
}

bool ymdhms::TestYear() const {
    return year > 1900 && year < 2200;
}

bool ymdhms::TestMonth() const {
    return month >= 1 && month <= 12;
}

bool ymdhms::TestDay() const {
    if (!TestMonth()) return false;
    return day >= 1 && day <= calendar::MonthLength(year, month);
}

bool ymdhms::TestHour() const {
    return hour <= 59;
}

bool ymdhms::TestMinute() const {
    return minute <= 59;
}

bool ymdhms::TestSecond() const {
    return second >= 0 && second < 60;
}

void ymdhms::TestDatum() const {
    if (!TestYear()) Error("YEAR not valid");
    if (!TestMonth()) Error("MONTH not valid");
    if (!TestDay()) Error("DAY not valid");
    if (!TestHour()) Error("HOUR not valid");
    if (!TestMinute()) Error("MINUTE not valid");
    if (!TestSecond()) Error("SECOND not valid");
}

void ymdhms::Error(const char* text) const {
    ClassValidityReport("**** ymdhms: Error -> ", text, "     Exiting class ymdhms ... ");
}

void ymdhms::Sec2HMS(long double sec, std::uint16_t& h, std::uint16_t& mi, long double& s) {
    const long double H = std::floor(sec / 3600.0);
    const long double M = std::floor((sec / 3600.0 - H) * 60.0);
    const long double r = ((sec / 3600.0 - H) * 60.0 - M) * 60.0;
    h = TruncU16(H);
    mi = TruncU16(M);
    s = r;
    if (std::fabs(r - 60.0) < 1e-10) {
        s = 0;
        ++mi;
    }
    if (mi == 60) {
        mi = 0;
        ++h;
    }
}

std::ostream& operator<<(std::ostream& os, const ymdhms& e) {
    const int n = ymdhmsns::NDecSecond;
    switch (ymdhmsns::PrintType) {
        case ymdhmsns::RINEXHEADER:
            os.setf(std::ios::fixed);
            os << std::setw(6) << e.year << std::setw(6) << e.month << std::setw(6) << e.day
               << std::setw(6) << e.hour << std::setw(6) << e.minute << std::setw(13)
               << std::setprecision(7) << e.second;
            return os;
        case ymdhmsns::RINEXDATA:
            os.setf(std::ios::fixed);
            os << std::setw(3) << TwoDigitYear(e.year) << std::setw(3) << e.month << std::setw(3)
               << e.day << std::setw(3) << e.hour << std::setw(3) << e.minute << std::setw(11)
               << std::setprecision(7) << e.second;
            return os;
        case ymdhmsns::SP3:
            os.setf(std::ios::fixed);
            os << std::setw(4) << e.year << std::setw(3) << e.month << std::setw(3) << e.day
               << std::setw(3) << e.hour << std::setw(3) << e.minute << std::setw(12)
               << std::setprecision(8) << e.second;
            return os;
        case ymdhmsns::SINEX: {
            const long double sod = e.hour * 3600 + 60 * e.minute + e.second;
            os.setf(std::ios::fixed);
            os << std::setfill('0') << std::setw(2) << TwoDigitYear(e.year) << ":" << std::setw(3)
               << e.GetDayOfYear() << ":" << std::setw(5) << std::setprecision(0) << sod;
            os.fill(' ');
            return os;
        }
        default:
            break;
    }

    switch (ymdhmsns::PrintFormat) {
        case ymdhmsns::YMDHMS:
            os.setf(std::ios::fixed);
            os << std::setw(5) << e.year << "-" << std::setfill('0') << std::setw(2) << e.month
               << "-" << std::setw(2) << e.day << " " << std::setw(2) << e.hour << ":"
               << std::setw(2) << e.minute << ":";
            if (n == 0) {
                os << std::setw(2) << std::setprecision(0) << e.second;
            } else {
                os << std::setw(n + 3) << std::setprecision(n) << e.second;
            }
            os.fill(' ');
            break;
        case ymdhmsns::YDHMS:
            os.setf(std::ios::fixed);
            os << std::setw(5) << e.year << "-" << std::setfill('0') << std::setw(3)
               << e.GetDayOfYear() << " " << std::setw(2) << e.hour << ":" << std::setw(2)
               << e.minute << ":" << std::setw(n + 3) << std::setprecision(n) << e.second;
            os.fill(' ');
            break;
        case ymdhmsns::YDSEC: {
            const long double sod = e.hour * 3600 + 60 * e.minute + e.second;
            os.setf(std::ios::fixed);
            os << std::setw(5) << e.year << "-" << std::setfill('0') << std::setw(3)
               << e.GetDayOfYear() << " " << std::setfill(' ') << std::setw(n + 7)
               << std::setprecision(n) << sod;
            break;
        }
        case ymdhmsns::YMD:
            os.setf(std::ios::fixed);
            os << std::setw(5) << e.year << "-" << std::setfill('0') << std::setw(2) << e.month
               << "-" << std::setw(2) << e.day;
            os.fill(' ');
            break;
        case ymdhmsns::YDEC:
            os.setf(std::ios::fixed);
            os << std::setw(n + 12) << std::setprecision(n + 6) << e.GetYearDec();
            break;
        case ymdhmsns::YD:
            os.setf(std::ios::fixed);
            os << std::setw(5) << e.year << "-" << std::setfill('0') << std::setw(3)
               << e.GetDayOfYear();
            os.fill(' ');
            break;
        default:
            break;
    }
    return os;
}

std::istream& operator>>(std::istream& is, ymdhms& e) {
    is >> e.year >> e.month >> e.day >> e.hour >> e.minute >> e.second;
    if (e.year < 100)
        e.year = static_cast<std::uint16_t>(e.year >= 80 ? e.year + 1900 : e.year + 2000);
    e.TestDatum();
    return is;
}

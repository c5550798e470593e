#include "GNSS/UtcTicks.h"

namespace havorkastilo {

long double SecondsOfDayTicks(std::int64_t ticksOfDay) {
    constexpr std::int64_t perMinute = 60 * kTicksPerSecond;
    constexpr std::int64_t perHour = 60 * perMinute;
    const int hour = static_cast<int>(ticksOfDay / perHour);
    ticksOfDay -= hour * perHour;
    const int minute = static_cast<int>(ticksOfDay / perMinute);
    ticksOfDay -= minute * perMinute;
    // The seconds with their 7 decimals as a double: the quotient of two
    // exact doubles is correctly rounded, as strtod rounds the decimal.
    const double second = static_cast<double>(ticksOfDay) / static_cast<double>(kTicksPerSecond);
    // As ymdhms2mjd sums a calendar time: minutes, seconds, hours.
    return minute * 60 + static_cast<long double>(second) + hour * 3600;
}

mjd EpochOfDayTicks(std::uint32_t mjday, std::int64_t ticksOfDay) {
    return mjd(mjday, SecondsOfDayTicks(ticksOfDay));
}

}  // namespace havorkastilo

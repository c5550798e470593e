// UtcTicks: an epoch kept as whole 100-ns ticks of its day, turned into the
// mjd that the program forms from the same time written as text.
//
// The program reads an epoch's time of day as hh:mm:ss.sssssss and sums it
// as ymdhms2mjd does: the seconds read as a double (strtod's correctly
// rounded value of the decimal), then minutes * 60 + seconds + hours * 3600
// in extended precision.  A caller that holds the time as ticks (the grid
// tool, the Python module) forms the seconds of day here in the same way,
// so that the same station and time give the same bits in every one of
// them.
#ifndef GNSS_UTCTICKS_H
#define GNSS_UTCTICKS_H

#include <cstdint>

#include "GNSS/mjd.h"

namespace havorkastilo {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerDay = 86400 * kTicksPerSecond;

// The epoch of day mjday (Modified Julian Day) and ticksOfDay (100 ns since
// 00:00:00, 0 <= ticksOfDay < kTicksPerDay), UTC.  An invalid day (beyond
// 199999) is reported by mjd through the seam of PROGINC/ProgramExit.h.
mjd EpochOfDayTicks(std::uint32_t mjday, std::int64_t ticksOfDay);

// The seconds of day that EpochOfDayTicks gives the epoch.
long double SecondsOfDayTicks(std::int64_t ticksOfDay);

}  // namespace havorkastilo

#endif  // GNSS_UTCTICKS_H

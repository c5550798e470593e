// BroadcastTide: the solid Earth tide for every element of a broadcast of
// latitudes, longitudes, heights and times, on worker threads.  The engine
// of the Python module, free of Python: the module hands it C-contiguous
// buffers with their shapes and output buffers it allocated, and releases
// the interpreter's lock around the call.
//
// Broadcasting follows numpy's rules: shapes are aligned on their last axes,
// and an axis of length 1 (or a missing one) repeats along the output's.
//
// Every element is computed as the program computes the row of the same
// station and epoch:
//   - latitude and longitude, decimal degrees held as doubles, become
//     radians by the program's deg2rad in extended precision (as -pc reads
//     them), the height in metres is taken as it is;
//   - a time is a count of ticks of 100 ns since 1970-01-01T00:00:00 UTC
//     (days of 86400 s), split into the Modified Julian Day and the seconds
//     of day exactly as the program turns -e1YYYY-MM-DD/hh:mm:ss.sssssss into
//     an mjd (TicksToMjd);
//   - the epoch's half (TideEpoch) and the point's half (TidePoint) of the
//     core give the displacement.
// The results are therefore the program's long doubles; the double outputs
// are those rounded to nearest once.  They do not depend on the number of
// threads, on the order of the work or on what else is computed: each
// element's value depends on its own point and epoch alone.
//
// Work sharing: what elements share is computed once.  When the times repeat
// along some axes (fewer time values than output elements), each time
// value's TideEpoch is computed once into a table, if the table stays below
// kMaxEpochTable entries; otherwise consecutive elements with equal ticks
// share an epoch.  Consecutive elements with the same point share its
// set-up, and latitudes or longitudes that repeat along axes have their sines
// and cosines computed once.  The output is visited in an order that keeps
// consecutive elements on one point (the axes along which the point does not
// change innermost) or, when the epochs are not tabled but repeat, on one
// epoch.
//
// Threads: the visiting order is cut into blocks of kBlock elements; each
// worker owns the blocks it takes from a shared counter (one atomic
// increment), and writes only the output elements of its blocks.  Each worker
// has its own SunMoon (the precise ephemeris caches) and TidePoint; the epoch
// table is filled the same way, in blocks, before the elements are computed,
// and only read afterwards.
#ifndef PYTHON_BROADCASTTIDE_H
#define PYTHON_BROADCASTTIDE_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "GNSS/SunMoon.h"
#include "GNSS/UtcTicks.h"
#include "GNSS/mjd.h"

namespace havorkastilo::python {

// The first and the end (excluded) of the valid span: 1901-01-01T00:00:00
// and 2200-01-01T00:00:00 UTC, ticks of 100 ns (kTicksPerDay a day, see
// GNSS/UtcTicks.h) since 1970-01-01T00:00:00 UTC.
inline constexpr std::int64_t kFirstTick = -25202 * kTicksPerDay;
inline constexpr std::int64_t kEndTick = 84006 * kTicksPerDay;

// The epoch of ticks (100 ns since 1970-01-01T00:00:00 UTC, kFirstTick <=
// ticks < kEndTick): the Modified Julian Day, and the seconds of day as the
// program forms them from a calendar time of hour h, minute m and second s
// written with 7 decimals: s read as a double (the double nearest to the
// decimal, as strtod gives it), then m * 60 + s + h * 3600 in extended
// precision.
mjd TicksToMjd(std::int64_t ticks);

// One operand: a C-contiguous buffer and its shape (element counts).
template <typename T>
struct Operand {
    const T* data;
    std::vector<std::size_t> shape;
};

// What the displacement is wanted of.
struct TideRequest {
    Operand<double> lat;     // geodetic latitude, degrees (GRS80)
    Operand<double> lon;     // longitude, degrees, east positive
    Operand<double> height;  // ellipsoidal height, metres
    Operand<std::int64_t> ticks;
    Ephemeris ephemeris = Ephemeris::Series;
    unsigned threads = 1;  // workers (1: the calling thread alone)
};

// Where the results go: C-contiguous buffers of the broadcast shape, in
// metres; a null pointer is a component not wanted.  local: north, east, up
// (up along the ellipsoid normal); ecef: x, y, z, Earth-fixed geocentric
// axes (x toward the Greenwich meridian, z toward the pole).
template <typename T>
struct TideOutput {
    T* north = nullptr;
    T* east = nullptr;
    T* up = nullptr;
    T* x = nullptr;
    T* y = nullptr;
    T* z = nullptr;
};

// The broadcast shape of the request's four operands.  Throws
// std::invalid_argument when they do not broadcast.
std::vector<std::size_t> BroadcastShape(const TideRequest& r);

// Computes the displacement of every element of the broadcast.  The inputs
// must be valid (finite latitudes within +-90, ticks within the valid span:
// the caller checks them, with messages of its own); a fault of the core is
// rethrown (havorkastilo::Error), that of the first block in visiting order
// that had one.
void ComputeTide(const TideRequest& r, const TideOutput<double>& out);
void ComputeTide(const TideRequest& r, const TideOutput<long double>& out);

// The Sun and the Moon for each of n ticks: Earth-fixed geocentric positions
// in metres (the unit vector times the distance, in extended precision, then
// rounded), three values per time, x y z, into sun and moon (3 n each).
void ComputeSunMoon(const std::int64_t* ticks, std::size_t n, Ephemeris ephemeris,
                    unsigned threads, double* sun, double* moon);

// Most entries of the epoch table (each some 300 bytes).
inline constexpr std::size_t kMaxEpochTable = std::size_t{1} << 18;
// Elements of a block of work.
inline constexpr std::size_t kBlock = 2048;

}  // namespace havorkastilo::python

#endif  // PYTHON_BROADCASTTIDE_H

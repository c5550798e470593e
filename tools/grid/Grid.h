// The solid Earth tide over an area: the nodes of a grid, its epochs, the
// components wanted, and a writer that takes the values block by block of
// rows as they are computed.  The library behind havorkastilo-grid (and the
// functions a Python caller can reuse).
//
// Every node is computed exactly, by the core's TidePoint at the node's own
// latitude, longitude and height, for a TideEpoch made once per distinct
// epoch.  Node coordinates are W + i*DX and S + j*DY, each computed for its
// node (never accumulated).  Errors are thrown (GridError, or the core's
// havorkastilo::Error); nothing here ends the process.
#ifndef TOOLS_GRID_GRID_H
#define TOOLS_GRID_GRID_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hgrid {

// An error of the input (status 2) or of the run (status 1); the text is the
// whole one-line message, without the program's name.
class GridError : public std::runtime_error {
  public:
    GridError(const std::string& what, int status) : std::runtime_error(what), status_(status) {}
    int Status() const noexcept { return status_; }

  private:
    int status_;
};

// A UTC epoch as whole 100-ns ticks since MJD 0, 00:00:00.
using Ticks = std::int64_t;
constexpr Ticks kTicksPerSecond = 10000000;
constexpr Ticks kTicksPerDay = 86400 * kTicksPerSecond;

// The epoch's Modified Julian Day and seconds of that day, as the program
// forms them from the same time written with seven decimals
// (GNSS/UtcTicks.h).
void SplitTicks(Ticks t, std::uint32_t& mjday, long double& seconds);

// ISO 8601 text of t, seconds with seven decimals and a final Z.
std::string IsoTime(Ticks t);

// Reads "YYYY-MM-DDThh:mm:ss[.fffffff][Z]" (the seconds' fraction to seven
// decimals, years 1901-2199); throws GridError(status 2) naming option.
Ticks ParseTime(const std::string& text, const std::string& option);

// A regular latitude/longitude grid in decimal degrees.
struct LatLonGrid {
    long double west = 0, east = 0, south = 0, north = 0;
    long double dx = 0, dy = 0;  // spacing, degrees
    bool pixel = false;          // cell centres instead of grid lines
    std::uint32_t nx = 0, ny = 0;
    // Coordinates of column i and row j (row 0 is the southernmost).
    long double Lon(std::uint32_t i) const { return pixel ? west + (i + 0.5L) * dx : west + i * dx; }
    long double Lat(std::uint32_t j) const { return pixel ? south + (j + 0.5L) * dy : south + j * dy; }
};

// Reads -R W/E/S/N and -I DX[/DY] (degrees, or with the suffix m or s arc
// minutes or seconds) into a grid; checks the region and that the spacing
// divides it (the message names the nearest spacings that would).
LatLonGrid MakeGrid(const std::string& region, const std::string& spacing, bool pixel);

// The components, in the order of the file's variables.  Los and Azimuth
// need the look angles (Settings::los).
//   los     = -e sin(inc) sin(az) + n sin(inc) cos(az) + u cos(inc), positive
//             towards the satellite; inc is the incidence angle of the
//             ground-to-satellite vector from the vertical, az its azimuth
//             from north, anticlockwise positive (MintPy's convention);
//   azimuth = the horizontal displacement along the track, MintPy's en2az
//             with the track's azimuth az + 90 degrees:
//             -e sin(az + 90) + n cos(az + 90).
enum class Component { North, East, Up, X, Y, Z, Los, Azimuth };
// "n", "e", "u", "x", "y", "z", "los", "azimuth" separated by commas;
// throws on another.
std::vector<Component> ParseComponents(const std::string& list);
const char* VariableName(Component c);  // north, east, up, ecef_x, ...
const char* LongName(Component c);

struct Settings {
    LatLonGrid grid;
    long double height = 0;  // ellipsoidal height of every node, metres
    std::vector<Ticks> times;
    std::vector<Component> components;
    bool precise = false;  // ERFA's ephemeris instead of the series
    // Look angles for los and azimuth, degrees (incidence 0..90).
    bool hasLos = false;
    long double losInc = 0, losAz = 0;
    // Time along the rows: the northernmost row at times[0], the
    // southernmost at rowTimeEnd, linear in between (rounded to the 1e-7 s
    // tick); times then holds that one start time.
    bool rowTime = false;
    Ticks rowTimeEnd = 0;
    unsigned threads = 1;
    bool float64 = false;
    int deflate = 1;
    std::string history;  // the command line
};

// Values (doubles, 4 MiB) of one block, whatever the grid: the peak memory
// stays under 64 MiB with the 36 MiB that the GDAL and HDF5 libraries take
// when they are loaded.  A block holds all the epochs of a group for some
// rows, so its rows are kBlockValues / (components * columns * epochs).
constexpr std::size_t kBlockValues = std::size_t(1) << 19;

// Receives the values of a block of rows: rows [row0, row0 + nrows) (row
// 0 southernmost) for epochs [t0, t0 + nt), laid out as
// values[((t * ncomp + c) * nrows + r) * nx + i].
class Writer {
  public:
    virtual ~Writer() = default;
    virtual void Block(std::uint32_t row0, std::uint32_t nrows, std::size_t t0, std::size_t nt,
                       const std::vector<double>& values) = 0;
    virtual void Close() = 0;
    // Blocks start at rows that are multiples of this (the file's chunks).
    virtual std::uint32_t RowMultiple() const { return 1; }
};

// Writers for netCDF-4 (CF-1.8) and GeoTIFF at path; name is the file's
// final name, for the messages.
std::unique_ptr<Writer> NetcdfWriter(const std::string& path, const std::string& name, const Settings& s);
std::unique_ptr<Writer> GeotiffWriter(const std::string& path, const std::string& name, const Settings& s);

// Texts of the model and the ephemeris, for the files' attributes.
extern const char* const kModel;
const char* EphemerisName(bool precise);

// Computes every node and epoch and hands the blocks to out.  progress (if
// set) is called from the calling thread after each block with the nodes
// done so far; stop, when it becomes true, ends the run with GridError.
void Compute(const Settings& s, Writer& out, const std::function<void(std::uint64_t)>& progress,
             const std::atomic<bool>* stop);

// The displacement of one node at one epoch, for a caller or a test: the
// components in order, through the same code path as Compute.
std::vector<double> NodeValues(const Settings& s, std::uint32_t i, std::uint32_t j, Ticks t);

// The epoch of row j (row 0 southernmost) under Settings::rowTime.
Ticks RowTime(const Settings& s, std::uint32_t j);

}  // namespace hgrid

#endif  // TOOLS_GRID_GRID_H

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
#include <utility>
#include <vector>

#include "GNSS/UtcTicks.h"

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
using havorkastilo::kTicksPerDay;
using havorkastilo::kTicksPerSecond;

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
    // GDAL's geotransform of the grid's raster: the outer corner of the
    // first (north-west) pixel, half a spacing outside W and N for nodes on
    // the grid lines.
    void GeoTransform(double gt[6]) const {
        const long double half = pixel ? 0.0L : 0.5L;
        gt[0] = static_cast<double>(west - half * dx);
        gt[1] = static_cast<double>(dx);
        gt[2] = 0;
        gt[3] = static_cast<double>(north + half * dy);
        gt[4] = 0;
        gt[5] = -static_cast<double>(dy);
    }
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

// Where the nodes lie: on a latitude/longitude grid (-R, -I), on an
// existing raster's grid in its own CRS (--like), or at the positions of
// latitude and longitude rasters (--lat, --lon: radar geometry).
enum class Nodes { LatLon, Like, Points };

// The rasters of a run, by option; an empty path is an option not given.
// losInc and losAz may name the same file: its bands 1 and 2.
struct RasterInputs {
    std::string like, lat, lon, dem, timeRaster, losInc, losAz;
};

// The nodes of a raster grid (Nodes::Like or Points): its size and, for
// Like, GDAL's geotransform (the outer corner of the first pixel, whatever
// the file's AREA_OR_POINT: a pixel's value lies at its centre, column
// i + 0.5 and row j + 0.5) and its CRS as WKT.  Image row 0 is the first
// of the file (the northernmost for a north-up raster); it is the grid's
// row ny - 1, as the grid's rows run upwards.
struct RasterGeometry {
    double gt[6] = {0, 1, 0, 0, 0, 1};
    std::string wkt;
    bool geographic = false;  // the CRS is EPSG:4326 itself: x is longitude, y latitude
    bool point = false;       // the file says AREA_OR_POINT=Point
    bool rotated() const { return gt[2] != 0 || gt[4] != 0; }
    // Coordinates (x, y) of the node of column i and grid row j.
    void Node(std::uint32_t i, std::uint32_t j, std::uint32_t ny, double& x, double& y) const {
        const double c = i + 0.5, r = (ny - 1 - j) + 0.5;
        x = gt[0] + c * gt[1] + r * gt[2];
        y = gt[3] + c * gt[4] + r * gt[5];
    }
};

struct Settings {
    LatLonGrid grid;  // for Like and Points only nx and ny
    Nodes nodes = Nodes::LatLon;
    RasterInputs rasters;
    RasterGeometry raster;
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
    // With rasters.timeRaster: each node at times[0] plus that raster's
    // seconds (rounded to the 1e-7 s tick).
    // Some node's input can have no data: the files carry NaN as no-data.
    bool mayHaveNoData() const {
        return !rasters.lat.empty() || !rasters.dem.empty() || !rasters.timeRaster.empty() ||
               !rasters.losInc.empty();
    }
    bool perNodeInput() const { return nodes != Nodes::LatLon || mayHaveNoData(); }
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

// An attribute of the crs grid-mapping variable: a text, or numbers.
struct CrsAttribute {
    std::string key, text;
    std::vector<double> numbers;
};

// The crs variable of a grid in latitude and longitude (EPSG:4326): CF's
// latitude_longitude mapping, the ellipsoid and the WKT.
std::vector<CrsAttribute> GeographicCrs();

// The crs variable of a --like grid in a projected CRS (after OpenRasters):
// CF's grid mapping for the transverse Mercator (UTM) and the polar
// stereographic projections, which InSAR products use, the ellipsoid, the
// EPSG code, and the whole CRS as crs_wkt and spatial_ref with GDAL's
// GeoTransform (which GDAL and rioxarray read back).
std::vector<CrsAttribute> ProjectedCrs(const RasterGeometry& r);

// The unit of a projected CRS's axes, in CF's spelling ("m" for metres).
std::string ProjectedUnits(const std::string& wkt);

// The files' description of the nodes (after OpenRasters): GMT's
// node_offset (1 for values of cells, 0 for values at grid lines or
// points), the registration's text (for grids with axes), and the
// attributes that name the rasters of the run (like_raster, lat_raster,
// lon_raster, dem_raster, time_raster, los_rasters).
int NodeOffset(const Settings& s);
std::string NodeRegistration(const Settings& s);
std::vector<std::pair<const char*, std::string>> RasterAttributes(const Settings& s);

// Texts of the model and the ephemeris, for the files' attributes.
extern const char* const kModel;
const char* EphemerisName(bool precise);

// The inputs of the nodes of some grid rows, node k = r * nx + i for row
// row0 + r: latitude and longitude in degrees, and what the rasters give
// (ellipsoidal height in metres, epoch, look angles in degrees); valid is 0
// where an input has no data.
struct NodeBlock {
    std::vector<double> lat, lon, height, inc, az;
    std::vector<Ticks> time;
    std::vector<unsigned char> valid;
};

// Reads the nodes' inputs block by block (from the calling thread only).
class NodeSource {
  public:
    virtual ~NodeSource() = default;
    // Fills b for grid rows [row0, row0 + nrows): lat, lon and valid
    // always; height, time, inc and az when the source has them (else they
    // are left empty and the settings' constants hold).  Throws GridError
    // for a value out of range (status 2) or a failed read (status 1).
    virtual void Read(std::uint32_t row0, std::uint32_t nrows, NodeBlock& b) = 0;
};

// Checks the rasters of s.rasters (readable, one band or the bands needed,
// the same size, a CRS for --like, a DEM on the same grid) and sets
// s.nodes, s.grid.nx, s.grid.ny and s.raster from them.  Throws GridError
// (status 2) naming the option and the file.
void OpenRasters(Settings& s);

// The source that reads s's rasters (after OpenRasters), block by block;
// --like nodes are turned into latitude and longitude on WGS 84 / GRS80
// through GDAL/PROJ.
std::unique_ptr<NodeSource> RasterSource(const Settings& s);

// Computes every node and epoch and hands the blocks to out.  progress (if
// set) is called from the calling thread after each block with the nodes
// done so far; stop, when it becomes true, ends the run with GridError.
// With nodes (needed when s.perNodeInput()), each node's inputs come from
// it; a node without data gets NaN, and noData (if set) counts those nodes.
void Compute(const Settings& s, Writer& out, const std::function<void(std::uint64_t)>& progress,
             const std::atomic<bool>* stop, NodeSource* nodes = nullptr, std::uint64_t* noData = nullptr);

// The displacement of one node at one epoch, for a caller or a test: the
// components in order, through the same code path as Compute.
std::vector<double> NodeValues(const Settings& s, std::uint32_t i, std::uint32_t j, Ticks t);

// The epoch of row j (row 0 southernmost) under Settings::rowTime.
Ticks RowTime(const Settings& s, std::uint32_t j);

}  // namespace hgrid

#endif  // TOOLS_GRID_GRID_H

// The rasters of a run: a product's own grid (--like), radar geometry
// (--lat, --lon), heights (--dem), per-node time (--time-raster) and look
// angles (--los-rasters), checked when they are opened and read block by
// block of rows through GDAL (see Grid.h).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include "tools/grid/Grid.h"

namespace hgrid {

namespace {

std::string Quoted(const std::string& v) { return "'" + v + "'"; }

// GDAL's last message, or what to say without one.
std::string GdalWhy(const char* otherwise) {
    const std::string why = CPLGetLastErrorMsg();
    return why.empty() ? otherwise : why;
}

// GDAL's messages held back while it lives: they become ours.
struct QuietGdal {
    QuietGdal() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;
};

// A raster opened for reading, closed with its owner.
class Raster {
  public:
    Raster(const std::string& option, const std::string& path) : option_(option), path_(path) {
        QuietGdal quiet;
        h_ = GDALOpen(path.c_str(), GA_ReadOnly);
        if (!h_) throw GridError(option + ": cannot read " + Quoted(path) + ": " + GdalWhy("GDAL cannot open it"), 2);
    }
    ~Raster() {
        if (h_) GDALClose(h_);
    }
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;

    GDALDatasetH Handle() const { return h_; }
    std::uint32_t Nx() const { return static_cast<std::uint32_t>(GDALGetRasterXSize(h_)); }
    std::uint32_t Ny() const { return static_cast<std::uint32_t>(GDALGetRasterYSize(h_)); }
    int Bands() const { return GDALGetRasterCount(h_); }
    bool GeoTransform(double gt[6]) const { return GDALGetGeoTransform(h_, gt) == CE_None; }
    // "--dem 'dem.tif'"
    std::string Named() const { return option_ + " " + Quoted(path_); }
    const std::string& Option() const { return option_; }
    const std::string& Path() const { return path_; }

    // One band is needed, or at least two (the look angles' raster).
    void NeedBands(int n, const char* what) const {
        const int b = Bands();
        if (n == 1 ? b == 1 : b >= n) return;
        throw GridError(option_ + ": " + Quoted(path_) + " has " + std::to_string(b) + (b == 1 ? " band" : " bands") +
                            "; " + what,
                        2);
    }

  private:
    std::string option_, path_;
    GDALDatasetH h_ = nullptr;
};

std::string Size(std::uint32_t nx, std::uint32_t ny) { return std::to_string(nx) + " x " + std::to_string(ny); }

// Two geotransforms put the same pixels in the same places: every corner
// of the raster within a thousandth of a pixel.
bool SameGrid(const double a[6], const double b[6], std::uint32_t nx, std::uint32_t ny) {
    const double tol = 1e-3 * std::max(std::hypot(a[1], a[4]), std::hypot(a[2], a[5]));
    for (const double c : {0.0, static_cast<double>(nx)})
        for (const double r : {0.0, static_cast<double>(ny)}) {
            const double dx = (a[0] + c * a[1] + r * a[2]) - (b[0] + c * b[1] + r * b[2]);
            const double dy = (a[3] + c * a[4] + r * a[5]) - (b[3] + c * b[4] + r * b[5]);
            if (!(std::hypot(dx, dy) <= tol)) return false;
        }
    return true;
}

std::string GeoTransformText(const double gt[6]) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%.10g %.10g %.10g %.10g %.10g %.10g", gt[0], gt[1], gt[2], gt[3], gt[4], gt[5]);
    return buf;
}

// EPSG:4326 with longitude first, as GDAL's geotransforms have it.
OGRSpatialReferenceH NewWgs84() {
    OGRSpatialReferenceH w = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(w, 4326);
    OSRSetAxisMappingStrategy(w, OAMS_TRADITIONAL_GIS_ORDER);
    return w;
}

}  // namespace

std::string ProjectedUnits(const std::string& wkt) {
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    std::string units = "m";
    if (OSRSetFromUserInput(srs, wkt.c_str()) == OGRERR_NONE) {
        char* name = nullptr;
        const double metres = OSRGetLinearUnits(srs, &name);
        if (metres != 1.0 && name) units = name;
    }
    OSRDestroySpatialReference(srs);
    return units;
}

std::vector<CrsAttribute> ProjectedCrs(const RasterGeometry& r) {
    std::vector<CrsAttribute> out;
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    if (OSRSetFromUserInput(srs, r.wkt.c_str()) == OGRERR_NONE) {
        const char* projection = OSRGetAttrValue(srs, "PROJECTION", 0);
        auto number = [&](const char* key, const char* parm, double otherwise) {
            OGRErr e = OGRERR_NONE;
            out.push_back({key, "", {OSRGetProjParm(srs, parm, otherwise, &e)}});
        };
        if (projection && std::strcmp(projection, SRS_PT_TRANSVERSE_MERCATOR) == 0) {
            out.push_back({"grid_mapping_name", "transverse_mercator", {}});
            number("scale_factor_at_central_meridian", SRS_PP_SCALE_FACTOR, 1);
            number("longitude_of_central_meridian", SRS_PP_CENTRAL_MERIDIAN, 0);
            number("latitude_of_projection_origin", SRS_PP_LATITUDE_OF_ORIGIN, 0);
            number("false_easting", SRS_PP_FALSE_EASTING, 0);
            number("false_northing", SRS_PP_FALSE_NORTHING, 0);
        } else if (projection && std::strcmp(projection, SRS_PT_POLAR_STEREOGRAPHIC) == 0) {
            out.push_back({"grid_mapping_name", "polar_stereographic", {}});
            number("straight_vertical_longitude_from_pole", SRS_PP_CENTRAL_MERIDIAN, 0);
            number("standard_parallel", SRS_PP_LATITUDE_OF_ORIGIN, 90);
            number("false_easting", SRS_PP_FALSE_EASTING, 0);
            number("false_northing", SRS_PP_FALSE_NORTHING, 0);
        }
        OGRErr e = OGRERR_NONE;
        out.push_back({"semi_major_axis", "", {OSRGetSemiMajor(srs, &e)}});
        out.push_back({"inverse_flattening", "", {OSRGetInvFlattening(srs, &e)}});
        const char* auth = OSRGetAuthorityName(srs, nullptr);
        const char* code = OSRGetAuthorityCode(srs, nullptr);
        if (auth && code) out.push_back({"epsg_code", std::string(auth) + ":" + code, {}});
    }
    OSRDestroySpatialReference(srs);
    out.push_back({"crs_wkt", r.wkt, {}});
    out.push_back({"spatial_ref", r.wkt, {}});
    char gt[256];
    std::snprintf(gt, sizeof gt, "%.17g %.17g %.17g %.17g %.17g %.17g", r.gt[0], r.gt[1], r.gt[2], r.gt[3],
                  r.gt[4], r.gt[5]);
    out.push_back({"GeoTransform", gt, {}});
    return out;
}

void OpenRasters(Settings& s) {
    GDALAllRegister();
    // Reading in blocks of rows keeps little of any raster.
    GDALSetCacheMax64(std::int64_t(2) << 20);
    const RasterInputs& in = s.rasters;
    // The raster that sets the grid, and its geotransform (if it has one).
    std::string refName;
    bool refHasGt = false;
    double refGt[6] = {0, 1, 0, 0, 0, 1};

    if (!in.like.empty()) {
        const Raster r("--like", in.like);
        s.nodes = Nodes::Like;
        s.grid.nx = r.Nx();
        s.grid.ny = r.Ny();
        if (!r.GeoTransform(s.raster.gt))
            throw GridError("--like: " + Quoted(in.like) + " has no geotransform, so its pixels have no position", 2);
        if (!(s.raster.gt[1] != 0 || s.raster.gt[2] != 0) || !(s.raster.gt[4] != 0 || s.raster.gt[5] != 0) ||
            s.raster.gt[1] * s.raster.gt[5] - s.raster.gt[2] * s.raster.gt[4] == 0)
            throw GridError("--like: " + Quoted(in.like) + " has a degenerate geotransform " +
                                GeoTransformText(s.raster.gt),
                            2);
        OGRSpatialReferenceH srs = GDALGetSpatialRef(r.Handle());
        if (!srs)
            throw GridError("--like: " + Quoted(in.like) +
                                " has no CRS, so the latitude and longitude of its pixels are unknown",
                            2);
        char* wkt = nullptr;
        const char* const wktOptions[] = {"FORMAT=WKT2_2019", nullptr};
        if (OSRExportToWktEx(srs, &wkt, wktOptions) != OGRERR_NONE || !wkt)
            throw GridError("--like: the CRS of " + Quoted(in.like) + " cannot be written as WKT", 2);
        s.raster.wkt = wkt;
        CPLFree(wkt);
        OGRSpatialReferenceH w = NewWgs84();
        const char* const same[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", "CRITERION=EQUIVALENT", nullptr};
        s.raster.geographic = OSRIsSameEx(srs, w, same) != 0;
        OSRDestroySpatialReference(w);
        const char* aop = GDALGetMetadataItem(r.Handle(), "AREA_OR_POINT", nullptr);
        s.raster.point = aop && std::strcmp(aop, "Point") == 0;
        refName = r.Named();
        refHasGt = true;
        std::memcpy(refGt, s.raster.gt, sizeof refGt);
    } else if (!in.lat.empty() || !in.lon.empty()) {
        if (in.lat.empty() || in.lon.empty())
            throw GridError(std::string(in.lat.empty() ? "--lon" : "--lat") + " needs " +
                                (in.lat.empty() ? "--lat" : "--lon") + " too: the positions need both rasters",
                            2);
        const Raster la("--lat", in.lat), lo("--lon", in.lon);
        la.NeedBands(1, "one is needed (latitudes in degrees)");
        lo.NeedBands(1, "one is needed (longitudes in degrees)");
        if (la.Nx() != lo.Nx() || la.Ny() != lo.Ny())
            throw GridError("--lon: " + Quoted(in.lon) + " is " + Size(lo.Nx(), lo.Ny()) + " pixels, but --lat " +
                                Quoted(in.lat) + " is " + Size(la.Nx(), la.Ny()),
                            2);
        s.nodes = Nodes::Points;
        s.grid.nx = la.Nx();
        s.grid.ny = la.Ny();
        refName = la.Named();
    } else {
        s.nodes = Nodes::LatLon;
        refName = "the grid of --region and --spacing";
        refHasGt = true;
        s.grid.GeoTransform(refGt);
    }

    // The inputs on the grid's nodes: the same size, and the same
    // geotransform where the grid has one.
    auto onGrid = [&](const Raster& r) {
        if (r.Nx() != s.grid.nx || r.Ny() != s.grid.ny)
            throw GridError(r.Option() + ": " + Quoted(r.Path()) + " is " + Size(r.Nx(), r.Ny()) + " pixels, but " +
                                refName + " is " + Size(s.grid.nx, s.grid.ny) + "; rasters are not resampled",
                            2);
        if (!refHasGt) return;
        double gt[6];
        if (!r.GeoTransform(gt))
            throw GridError(r.Option() + ": " + Quoted(r.Path()) + " has no geotransform, so it cannot be shown to lie on " +
                                refName,
                            2);
        if (!SameGrid(gt, refGt, s.grid.nx, s.grid.ny))
            throw GridError(r.Option() + ": " + Quoted(r.Path()) + " lies on another grid (geotransform " +
                                GeoTransformText(gt) + ") than " + refName + " (" + GeoTransformText(refGt) +
                                "); rasters are not resampled",
                            2);
    };
    if (!in.dem.empty()) {
        const Raster r("--dem", in.dem);
        r.NeedBands(1, "one is needed (ellipsoidal heights in metres)");
        onGrid(r);
    }
    if (!in.timeRaster.empty()) {
        const Raster r("--time-raster", in.timeRaster);
        r.NeedBands(1, "one is needed (seconds after --time)");
        onGrid(r);
    }
    if (!in.losInc.empty()) {
        if (in.losInc == in.losAz) {
            const Raster r("--los-rasters", in.losInc);
            r.NeedBands(2, "one raster needs two (band 1 the incidence, band 2 the azimuth), or give INC,AZ");
            onGrid(r);
        } else {
            const Raster inc("--los-rasters", in.losInc), az("--los-rasters", in.losAz);
            inc.NeedBands(1, "one is needed (the incidence angle in degrees)");
            az.NeedBands(1, "one is needed (the azimuth in degrees)");
            onGrid(inc);
            onGrid(az);
        }
    }
}

namespace {

// One band read in blocks of image rows, with its no-data value.
struct Band {
    std::unique_ptr<Raster> raster;
    GDALRasterBandH band = nullptr;
    bool hasNoData = false;
    double noData = 0;

    Band(const std::string& option, const std::string& path, int index)
        : raster(std::make_unique<Raster>(option, path)), band(GDALGetRasterBand(raster->Handle(), index)) {
        int ok = 0;
        noData = GDALGetRasterNoDataValue(band, &ok);
        hasNoData = ok != 0;
    }

    // Image rows [y0, y0 + n) into out, row by row.
    void Read(std::uint32_t y0, std::uint32_t n, std::uint32_t nx, std::vector<double>& out) const {
        out.resize(std::size_t(n) * nx);
        QuietGdal quiet;
        if (GDALRasterIO(band, GF_Read, 0, static_cast<int>(y0), static_cast<int>(nx), static_cast<int>(n), out.data(),
                         static_cast<int>(nx), static_cast<int>(n), GDT_Float64, 0, 0) != CE_None)
            throw GridError(raster->Option() + ": reading " + Quoted(raster->Path()) + " failed: " +
                                GdalWhy("GDAL could not read its rows"),
                            1);
    }
    bool Missing(double v) const { return std::isnan(v) || (hasNoData && v == noData); }
};

class RasterNodes : public NodeSource {
  public:
    explicit RasterNodes(const Settings& s) : s_(s) {
        const RasterInputs& in = s.rasters;
        if (s.nodes == Nodes::Points) {
            lat_ = std::make_unique<Band>("--lat", in.lat, 1);
            lon_ = std::make_unique<Band>("--lon", in.lon, 1);
        }
        if (!in.dem.empty()) dem_ = std::make_unique<Band>("--dem", in.dem, 1);
        if (!in.timeRaster.empty()) time_ = std::make_unique<Band>("--time-raster", in.timeRaster, 1);
        if (!in.losInc.empty()) {
            inc_ = std::make_unique<Band>("--los-rasters", in.losInc, 1);
            az_ = std::make_unique<Band>("--los-rasters", in.losAz, in.losAz == in.losInc ? 2 : 1);
        }
        if (s.nodes == Nodes::Like && !s.raster.geographic) {
            QuietGdal quiet;
            OGRSpatialReferenceH from = OSRNewSpatialReference(nullptr);
            if (OSRSetFromUserInput(from, s.raster.wkt.c_str()) != OGRERR_NONE) {
                OSRDestroySpatialReference(from);
                throw GridError("--like: the CRS of " + Quoted(in.like) + " cannot be read back", 2);
            }
            OSRSetAxisMappingStrategy(from, OAMS_TRADITIONAL_GIS_ORDER);
            OGRSpatialReferenceH to = NewWgs84();
            ct_ = OCTNewCoordinateTransformation(from, to);
            OSRDestroySpatialReference(from);
            OSRDestroySpatialReference(to);
            if (!ct_)
                throw GridError("--like: the CRS of " + Quoted(in.like) +
                                    " cannot be transformed to latitude and longitude: " +
                                    GdalWhy("PROJ knows no transformation"),
                                2);
        }
        // Per-node epochs lie within the years 1901 to 2199.
        first_ = ParseTime("1901-01-01T00:00:00", "");
        last_ = ParseTime("2199-12-31T23:59:59.9999999", "");
    }
    ~RasterNodes() override {
        if (ct_) OCTDestroyCoordinateTransformation(ct_);
    }
    RasterNodes(const RasterNodes&) = delete;
    RasterNodes& operator=(const RasterNodes&) = delete;

    void Read(std::uint32_t row0, std::uint32_t nrows, NodeBlock& b) override {
        const std::uint32_t nx = s_.grid.nx, ny = s_.grid.ny;
        const std::size_t n = std::size_t(nrows) * nx;
        // The block's image rows, the last grid row first.
        const std::uint32_t y0 = ny - row0 - nrows;
        b.valid.assign(n, 1);
        b.lat.resize(n);
        b.lon.resize(n);
        // Grid row r of the block is image row y0 + nrows - 1 - r.
        auto place = [&](const std::vector<double>& image, std::vector<double>& to, const Band* band) {
            to.resize(n);
            for (std::uint32_t y = 0; y < nrows; ++y) {
                const double* from = image.data() + std::size_t(y) * nx;
                const std::size_t r = nrows - 1 - y;
                for (std::uint32_t i = 0; i < nx; ++i) {
                    const double v = from[i];
                    to[r * nx + i] = v;
                    if (band && band->Missing(v)) b.valid[r * nx + i] = 0;
                }
            }
        };
        switch (s_.nodes) {
            case Nodes::LatLon:
                for (std::uint32_t r = 0; r < nrows; ++r)
                    for (std::uint32_t i = 0; i < nx; ++i) {
                        b.lat[std::size_t(r) * nx + i] = static_cast<double>(s_.grid.Lat(row0 + r));
                        b.lon[std::size_t(r) * nx + i] = static_cast<double>(s_.grid.Lon(i));
                    }
                break;
            case Nodes::Like: {
                for (std::uint32_t r = 0; r < nrows; ++r)
                    for (std::uint32_t i = 0; i < nx; ++i)
                        s_.raster.Node(i, row0 + r, ny, b.lon[std::size_t(r) * nx + i], b.lat[std::size_t(r) * nx + i]);
                if (ct_) {
                    ok_.assign(n, 0);
                    QuietGdal quiet;
                    OCTTransformEx(ct_, static_cast<int>(n), b.lon.data(), b.lat.data(), nullptr, ok_.data());
                    for (std::size_t k = 0; k < n; ++k)
                        if (!ok_[k] || !std::isfinite(b.lat[k]) || !std::isfinite(b.lon[k])) b.valid[k] = 0;
                }
                for (std::size_t k = 0; k < n; ++k)
                    if (b.valid[k] && std::fabs(b.lat[k]) > 90) Beyond("--like", s_.rasters.like, k, nrows, y0, b.lat[k]);
                break;
            }
            case Nodes::Points:
                lat_->Read(y0, nrows, nx, image_);
                place(image_, b.lat, lat_.get());
                lon_->Read(y0, nrows, nx, image_);
                place(image_, b.lon, lon_.get());
                for (std::size_t k = 0; k < n; ++k) {
                    if (!b.valid[k]) continue;
                    if (std::fabs(b.lat[k]) > 90) Beyond("--lat", s_.rasters.lat, k, nrows, y0, b.lat[k]);
                    if (!std::isfinite(b.lon[k])) b.valid[k] = 0;
                }
                break;
        }
        if (dem_) {
            dem_->Read(y0, nrows, nx, image_);
            place(image_, b.height, dem_.get());
            for (std::size_t k = 0; k < n; ++k)
                if (b.valid[k] && !(std::fabs(b.height[k]) <= 1e5))
                    Bad("--dem", s_.rasters.dem, k, nrows, y0, b.height[k], "the height",
                        "outside -100000 to 100000 metres");
        } else {
            b.height.clear();
        }
        if (time_) {
            time_->Read(y0, nrows, nx, image_);
            place(image_, seconds_, time_.get());
            b.time.resize(n);
            const Ticks base = s_.times.front();
            for (std::size_t k = 0; k < n; ++k) {
                if (!b.valid[k]) continue;
                const double sec = seconds_[k];
                // Beyond 300 years either way no epoch can be in range.
                const bool near = std::fabs(sec) < 1e10;
                const Ticks t = near ? base + static_cast<Ticks>(std::llround(sec * 1e7)) : 0;
                if (!near || t < first_ || t > last_)
                    Bad("--time-raster", s_.rasters.timeRaster, k, nrows, y0, sec, "the time",
                        "seconds after --time, which falls outside the years 1901 to 2199");
                b.time[k] = t;
            }
        } else {
            b.time.clear();
        }
        if (inc_) {
            inc_->Read(y0, nrows, nx, image_);
            place(image_, b.inc, inc_.get());
            az_->Read(y0, nrows, nx, image_);
            place(image_, b.az, az_.get());
            for (std::size_t k = 0; k < n; ++k) {
                if (!b.valid[k]) continue;
                if (!(b.inc[k] >= 0 && b.inc[k] <= 90))
                    Bad("--los-rasters", s_.rasters.losInc, k, nrows, y0, b.inc[k], "the incidence angle",
                        "outside 0 to 90 degrees");
                if (!(std::fabs(b.az[k]) <= 360))
                    Bad("--los-rasters", s_.rasters.losAz, k, nrows, y0, b.az[k], "the azimuth",
                        "outside -360 to 360 degrees");
            }
        } else {
            b.inc.clear();
            b.az.clear();
        }
    }

  private:
    // Throws for node k of the block: its image row and column named.
    [[noreturn]] void Bad(const std::string& option, const std::string& path, std::size_t k, std::uint32_t nrows,
                          std::uint32_t y0, double v, const char* what, const char* why) const {
        const std::uint32_t nx = s_.grid.nx;
        const std::uint32_t row = y0 + nrows - 1 - static_cast<std::uint32_t>(k / nx);
        const std::uint32_t col = static_cast<std::uint32_t>(k % nx);
        char value[64];
        std::snprintf(value, sizeof value, "%.10g", v);
        throw GridError(option + ": " + Quoted(path) + " has " + what + " " + value + " at row " + std::to_string(row) +
                            ", column " + std::to_string(col) + " (from 0), " + why,
                        2);
    }
    [[noreturn]] void Beyond(const std::string& option, const std::string& path, std::size_t k, std::uint32_t nrows,
                             std::uint32_t y0, double lat) const {
        Bad(option, path, k, nrows, y0, lat, "the latitude", "beyond -90 to 90 degrees");
    }

    const Settings& s_;
    std::unique_ptr<Band> lat_, lon_, dem_, time_, inc_, az_;
    OGRCoordinateTransformationH ct_ = nullptr;
    std::vector<double> image_, seconds_;
    std::vector<int> ok_;
    Ticks first_ = 0, last_ = 0;
};

}  // namespace

std::unique_ptr<NodeSource> RasterSource(const Settings& s) { return std::make_unique<RasterNodes>(s); }

}  // namespace hgrid

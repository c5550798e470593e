// The grid's files: netCDF-4 (CF-1.8) through libnetcdf and GeoTIFF through
// GDAL, written block by block of rows.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>
#include <netcdf.h>
#include <ogr_srs_api.h>

#include "tools/grid/Grid.h"

namespace hgrid {

namespace {

class Netcdf : public Writer {
  public:
    Netcdf(const std::string& path, const std::string& name, const Settings& s) : name_(name), s_(s) {
        const LatLonGrid& g = s.grid;
        Check(nc_create(path.c_str(), NC_CLOBBER | NC_NETCDF4, &id_));
        open_ = true;
        const bool stack = s.times.size() > 1;
        // Latitude and longitude axes, projected x and y, or none (radar
        // geometry: the positions are the --lat and --lon rasters').
        const bool degrees = s.nodes == Nodes::LatLon || (s.nodes == Nodes::Like && s.raster.geographic);
        const bool axes = s.nodes != Nodes::Points;
        int dimT = -1, dimY, dimX;
        if (stack) Check(nc_def_dim(id_, "time", s.times.size(), &dimT));
        Check(nc_def_dim(id_, degrees ? "lat" : "y", g.ny, &dimY));
        Check(nc_def_dim(id_, degrees ? "lon" : "x", g.nx, &dimX));
        int vlat = -1, vlon = -1, vtime, vcrs;
        if (degrees) {
            Check(nc_def_var(id_, "lat", NC_DOUBLE, 1, &dimY, &vlat));
            Text(vlat, "standard_name", "latitude");
            Text(vlat, "long_name", "geodetic latitude");
            Text(vlat, "units", "degrees_north");
            Text(vlat, "axis", "Y");
            Check(nc_def_var(id_, "lon", NC_DOUBLE, 1, &dimX, &vlon));
            Text(vlon, "standard_name", "longitude");
            Text(vlon, "long_name", "longitude");
            Text(vlon, "units", "degrees_east");
            Text(vlon, "axis", "X");
        } else if (axes) {
            const std::string units = ProjectedUnits(s.raster.wkt);
            Check(nc_def_var(id_, "y", NC_DOUBLE, 1, &dimY, &vlat));
            Text(vlat, "standard_name", "projection_y_coordinate");
            Text(vlat, "long_name", "y coordinate of projection");
            Text(vlat, "units", units);
            Text(vlat, "axis", "Y");
            Check(nc_def_var(id_, "x", NC_DOUBLE, 1, &dimX, &vlon));
            Text(vlon, "standard_name", "projection_x_coordinate");
            Text(vlon, "long_name", "x coordinate of projection");
            Text(vlon, "units", units);
            Text(vlon, "axis", "X");
        }
        if (s.rowTime) {
            // Each row at its own time: time is a coordinate along lat.
            Check(nc_def_var(id_, "time", NC_DOUBLE, 1, &dimY, &vtime));
            Text(vtime, "long_name", "epoch of each row, UTC");
        } else if (!s.rasters.timeRaster.empty()) {
            Check(nc_def_var(id_, "time", NC_DOUBLE, 0, nullptr, &vtime));
            Text(vtime, "long_name", "reference epoch, UTC: each node at this epoch plus its seconds in the time raster");
        } else {
            Check(nc_def_var(id_, "time", NC_DOUBLE, stack ? 1 : 0, stack ? &dimT : nullptr, &vtime));
            Text(vtime, "long_name", "epoch, UTC");
        }
        Text(vtime, "standard_name", "time");
        ref_ = s.times.front() - s.times.front() % kTicksPerDay;
        const std::string since = "seconds since " + IsoTime(ref_).substr(0, 10) + " 00:00:00";
        Text(vtime, "units", since);
        Text(vtime, "calendar", "standard");
        Text(vtime, "axis", "T");
        if (axes) {
            Check(nc_def_var(id_, "crs", NC_INT, 0, nullptr, &vcrs));
            for (const CrsAttribute& a : degrees ? GeographicCrs() : ProjectedCrs(s.raster)) {
                if (a.numbers.empty()) Text(vcrs, a.key.c_str(), a.text);
                else Check(nc_put_att_double(id_, vcrs, a.key.c_str(), NC_DOUBLE, a.numbers.size(), a.numbers.data()));
            }
        }

        const int dims3[3] = {dimT, dimY, dimX};
        const int* dims = stack ? dims3 : dims3 + 1;
        const int nd = stack ? 3 : 2;
        const std::size_t size = s.float64 ? 8 : 4;
        // A chunk is some rows of one epoch, no more than a block holds, so
        // that every block writes whole chunks.
        const std::size_t nt = std::max<std::size_t>(
            1, std::min(s.times.size(), kBlockValues / (s.components.size() * g.nx)));
        rowsPerChunk_ = static_cast<std::uint32_t>(std::max<std::size_t>(
            1, std::min({std::size_t(g.ny), (std::size_t(1) << 18) / (g.nx * size),
                         kBlockValues / (s.components.size() * g.nx * nt)})));
        const std::size_t chunk3[3] = {1, rowsPerChunk_, g.nx};
        for (Component c : s.components) {
            int v;
            Check(nc_def_var(id_, VariableName(c), s.float64 ? NC_DOUBLE : NC_FLOAT, nd, dims, &v));
            Check(nc_def_var_chunking(id_, v, NC_CHUNKED, stack ? chunk3 : chunk3 + 1));
            if (s.deflate > 0) Check(nc_def_var_deflate(id_, v, 1, 1, s.deflate));
            Check(nc_set_var_chunk_cache(id_, v, 2 * rowsPerChunk_ * g.nx * size, 7, 0.75f));
            if (s.perNodeInput()) {
                const float nanf = std::numeric_limits<float>::quiet_NaN();
                const double nand = std::numeric_limits<double>::quiet_NaN();
                Check(s.float64 ? nc_def_var_fill(id_, v, 0, &nand) : nc_def_var_fill(id_, v, 0, &nanf));
            }
            Text(v, "long_name", LongName(c));
            Text(v, "units", "m");
            if (axes) Text(v, "grid_mapping", "crs");
            Text(v, "coordinates", degrees ? "time lat lon" : "time");
            vars_.push_back(v);
            lo_.push_back(HUGE_VAL);
            hi_.push_back(-HUGE_VAL);
        }
        Global("Conventions", "CF-1.8");
        Global("title", "solid Earth tide displacement");
        Global("history", s.history);
        Global("source", std::string("havorkastilo-grid ") + HAVORKASTILO_VERSION);
        Global("model", kModel);
        Global("ephemeris", EphemerisName(s.precise));
        Sources(s);
        if (s.hasLos || !s.rasters.losInc.empty()) Global("los_convention", LongName(Component::Los));
        if (s.hasLos) {
            const double look[2] = {static_cast<double>(s.losInc), static_cast<double>(s.losAz)};
            Check(nc_put_att_double(id_, NC_GLOBAL, "los_incidence_azimuth_deg", NC_DOUBLE, 2, look));
        }
        // The axes' values: the grid's nodes, or the raster's pixel
        // centres.
        std::vector<double> ys(axes ? g.ny : 0), xs(axes ? g.nx : 0);
        for (std::uint32_t j = 0; j < ys.size(); ++j) {
            double x;
            if (s.nodes == Nodes::LatLon) ys[j] = static_cast<double>(g.Lat(j));
            else s.raster.Node(0, j, g.ny, x, ys[j]);
        }
        for (std::uint32_t i = 0; i < xs.size(); ++i) {
            double y;
            if (s.nodes == Nodes::LatLon) xs[i] = static_cast<double>(g.Lon(i));
            else s.raster.Node(i, 0, g.ny, xs[i], y);
        }
        if (axes) {
            const int offset = NodeOffset(s);  // GMT's name for the registration
            Check(nc_put_att_int(id_, NC_GLOBAL, "node_offset", NC_INT, 1, &offset));
            // With values of cells the axes' range is the cells' outer
            // edges, as GMT writes it and GDAL reads it.
            const double hy = offset ? 0.5 * std::fabs(s.nodes == Nodes::LatLon ? static_cast<double>(g.dy) : s.raster.gt[5]) : 0;
            const double hx = offset ? 0.5 * std::fabs(s.nodes == Nodes::LatLon ? static_cast<double>(g.dx) : s.raster.gt[1]) : 0;
            const double yr[2] = {std::min(ys.front(), ys.back()) - hy, std::max(ys.front(), ys.back()) + hy};
            const double xr[2] = {std::min(xs.front(), xs.back()) - hx, std::max(xs.front(), xs.back()) + hx};
            Check(nc_put_att_double(id_, vlat, "actual_range", NC_DOUBLE, 2, yr));
            Check(nc_put_att_double(id_, vlon, "actual_range", NC_DOUBLE, 2, xr));
        }
        Check(nc_enddef(id_));

        if (axes) {
            Check(nc_put_var_double(id_, vlat, ys.data()));
            Check(nc_put_var_double(id_, vlon, xs.data()));
        }
        std::vector<double> c;
        if (s.rowTime) {
            c.resize(g.ny);
            for (std::uint32_t j = 0; j < g.ny; ++j)
                c[j] = static_cast<double>(RowTime(s, j) - ref_) / static_cast<double>(kTicksPerSecond);
        } else {
            c.resize(s.times.size());
            for (std::size_t t = 0; t < s.times.size(); ++t)
                c[t] = static_cast<double>(s.times[t] - ref_) / static_cast<double>(kTicksPerSecond);
        }
        Check(nc_put_var_double(id_, vtime, c.data()));
    }

    ~Netcdf() override {
        if (open_) nc_close(id_);
    }

    std::uint32_t RowMultiple() const override { return rowsPerChunk_; }

    void Block(std::uint32_t row0, std::uint32_t nrows, std::size_t t0, std::size_t nt,
               const std::vector<double>& values) override {
        const std::size_t nc = s_.components.size(), nx = s_.grid.nx;
        const bool stack = s_.times.size() > 1;
        std::vector<float> f(s_.float64 ? 0 : nrows * nx);
        for (std::size_t t = 0; t < nt; ++t)
            for (std::size_t c = 0; c < nc; ++c) {
                const double* p = values.data() + (t * nc + c) * nrows * nx;
                for (std::size_t k = 0; k < nrows * nx; ++k) {
                    lo_[c] = std::min(lo_[c], p[k]);
                    hi_[c] = std::max(hi_[c], p[k]);
                }
                const std::size_t start3[3] = {t0 + t, row0, 0}, count3[3] = {1, nrows, nx};
                const std::size_t* start = stack ? start3 : start3 + 1;
                const std::size_t* count = stack ? count3 : count3 + 1;
                if (s_.float64) {
                    Check(nc_put_vara_double(id_, vars_[c], start, count, p));
                } else {
                    for (std::size_t k = 0; k < f.size(); ++k) f[k] = static_cast<float>(p[k]);
                    Check(nc_put_vara_float(id_, vars_[c], start, count, f.data()));
                }
            }
    }

    void Close() override {
        // The range of each variable, which GMT shows.
        Check(nc_redef(id_));
        for (std::size_t c = 0; c < vars_.size(); ++c) {
            if (!(lo_[c] <= hi_[c])) continue;  // no value but no-data
            if (s_.float64) {
                const double r[2] = {lo_[c], hi_[c]};
                Check(nc_put_att_double(id_, vars_[c], "actual_range", NC_DOUBLE, 2, r));
            } else {
                const float r[2] = {static_cast<float>(lo_[c]), static_cast<float>(hi_[c])};
                Check(nc_put_att_float(id_, vars_[c], "actual_range", NC_FLOAT, 2, r));
            }
        }
        Check(nc_enddef(id_));
        open_ = false;
        Check(nc_close(id_));
    }

  private:
    void Check(int status) {
        if (status == NC_NOERR) return;
        if (open_) nc_close(id_);
        open_ = false;
        throw GridError("writing '" + name_ + "': " + nc_strerror(status), 1);
    }
    void Text(int var, const char* key, const std::string& value) {
        Check(nc_put_att_text(id_, var, key, value.size(), value.c_str()));
    }
    void Global(const char* key, const std::string& value) { Text(NC_GLOBAL, key, value); }
    // The registration and the rasters the nodes' inputs came from.
    void Sources(const Settings& s) {
        if (s.nodes != Nodes::Points) Global("node_registration", NodeRegistration(s));
        for (const auto& [key, path] : RasterAttributes(s)) Global(key, path);
    }

    std::string name_;
    const Settings& s_;
    int id_ = -1;
    bool open_ = false;
    Ticks ref_ = 0;
    std::uint32_t rowsPerChunk_ = 1;
    std::vector<int> vars_;
    std::vector<double> lo_, hi_;
};

class Geotiff : public Writer {
  public:
    Geotiff(const std::string& path, const std::string& name, const Settings& s) : name_(name), s_(s) {
        GDALAllRegister();
        // Blocks go to the file as they come: GDAL keeps little of them.
        GDALSetCacheMax64(std::int64_t(2) << 20);
        CPLPushErrorHandler(CPLQuietErrorHandler);
        const LatLonGrid& g = s.grid;
        GDALDriverH drv = GDALGetDriverByName("GTiff");
        if (!drv) throw GridError("writing '" + name_ + "': GDAL has no GeoTIFF driver", 1);
        std::vector<std::string> opts = {"INTERLEAVE=BAND", "BIGTIFF=IF_SAFER", "TILED=NO"};
        if (s.deflate > 0) {
            opts.push_back("COMPRESS=DEFLATE");
            opts.push_back("ZLEVEL=" + std::to_string(s.deflate));
            opts.push_back("PREDICTOR=3");
        }
        std::vector<char*> o;
        for (std::string& x : opts) o.push_back(x.data());
        o.push_back(nullptr);
        const int bands = static_cast<int>(s.components.size() * s.times.size());
        ds_ = GDALCreate(drv, path.c_str(), static_cast<int>(g.nx), static_cast<int>(g.ny), bands,
                         s.float64 ? GDT_Float64 : GDT_Float32, o.data());
        if (!ds_) Fail();
        // The geotransform gives the corner of the first pixel: half a
        // spacing outside W and N for nodes on the grid lines; a raster's
        // own for --like, none for radar geometry.
        if (s.nodes != Nodes::Points) {
            double gt[6];
            if (s.nodes == Nodes::Like) {
                std::copy(s.raster.gt, s.raster.gt + 6, gt);
                // GDAL writes a pixel-is-point file's tie point at the
                // pixel's centre, as the raster had it.
                if (s.raster.point) Meta(nullptr, "AREA_OR_POINT", "Point");
            } else {
                g.GeoTransform(gt);
            }
            if (GDALSetGeoTransform(ds_, gt) != CE_None) Fail();
            OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
            if (s.nodes == Nodes::Like) OSRSetFromUserInput(srs, s.raster.wkt.c_str());
            else OSRImportFromEPSG(srs, 4326);
            const CPLErr e = GDALSetSpatialRef(ds_, srs);
            OSRDestroySpatialReference(srs);
            if (e != CE_None) Fail();
        }
        Meta(nullptr, "TIFFTAG_SOFTWARE", std::string("havorkastilo-grid ") + HAVORKASTILO_VERSION);
        Meta(nullptr, "history", s.history);
        Meta(nullptr, "model", kModel);
        Meta(nullptr, "ephemeris", EphemerisName(s.precise));
        if (s.nodes != Nodes::Points) Meta(nullptr, "node_registration", NodeRegistration(s));
        for (const auto& [key, file] : RasterAttributes(s)) Meta(nullptr, key, file);
        std::string times;
        for (std::size_t t = 0; t < s.times.size(); ++t) times += (t ? "," : "") + IsoTime(s.times[t]);
        Meta(nullptr, "times", times);
        if (s.rowTime) {
            Meta(nullptr, "row_time_first", IsoTime(RowTime(s, g.ny - 1)));
            Meta(nullptr, "row_time_last", IsoTime(RowTime(s, 0)));
        }
        if (s.hasLos || !s.rasters.losInc.empty()) Meta(nullptr, "los_convention", LongName(Component::Los));
        if (s.hasLos) {
            Meta(nullptr, "los_incidence_deg", std::to_string(static_cast<double>(s.losInc)));
            Meta(nullptr, "los_azimuth_deg", std::to_string(static_cast<double>(s.losAz)));
        }
        for (std::size_t t = 0; t < s.times.size(); ++t)
            for (std::size_t c = 0; c < s.components.size(); ++c) {
                GDALRasterBandH b = GDALGetRasterBand(ds_, static_cast<int>(t * s.components.size() + c + 1));
                const std::string iso = IsoTime(s.times[t]);
                GDALSetDescription(b, (std::string(VariableName(s.components[c])) + " " + iso).c_str());
                GDALSetRasterUnitType(b, "m");
                if (s.perNodeInput()) GDALSetRasterNoDataValue(b, std::numeric_limits<double>::quiet_NaN());
                Meta(b, "component", VariableName(s.components[c]));
                Meta(b, "long_name", LongName(s.components[c]));
                Meta(b, "time", iso);
                Meta(b, "units", "m");
            }
    }

    ~Geotiff() override {
        if (ds_) GDALClose(ds_);
        CPLPopErrorHandler();
    }

    void Block(std::uint32_t row0, std::uint32_t nrows, std::size_t t0, std::size_t nt,
               const std::vector<double>& values) override {
        const std::size_t nc = s_.components.size(), nx = s_.grid.nx;
        // Row 0 of the file is the northernmost.
        const int y0 = static_cast<int>(s_.grid.ny - row0 - nrows);
        flipped_.resize(nrows * nx);
        for (std::size_t t = 0; t < nt; ++t)
            for (std::size_t c = 0; c < nc; ++c) {
                const double* p = values.data() + (t * nc + c) * nrows * nx;
                for (std::size_t r = 0; r < nrows; ++r)
                    std::memcpy(flipped_.data() + (nrows - 1 - r) * nx, p + r * nx, nx * sizeof(double));
                GDALRasterBandH b = GDALGetRasterBand(ds_, static_cast<int>((t0 + t) * nc + c + 1));
                if (GDALRasterIO(b, GF_Write, 0, y0, static_cast<int>(nx), static_cast<int>(nrows),
                                 flipped_.data(), static_cast<int>(nx), static_cast<int>(nrows), GDT_Float64, 0,
                                 0) != CE_None)
                    Fail();
            }
    }

    void Close() override {
        CPLErrorReset();
        GDALFlushCache(ds_);
        GDALClose(ds_);
        ds_ = nullptr;
        if (CPLGetLastErrorType() >= CE_Failure) Fail();
    }

  private:
    [[noreturn]] void Fail() {
        std::string why = CPLGetLastErrorMsg();
        if (why.empty()) why = "GDAL could not write it";
        if (ds_) GDALClose(ds_);
        ds_ = nullptr;
        throw GridError("writing '" + name_ + "': " + why, 1);
    }
    void Meta(GDALRasterBandH b, const char* key, const std::string& value) {
        if (b) GDALSetMetadataItem(b, key, value.c_str(), nullptr);
        else GDALSetMetadataItem(ds_, key, value.c_str(), nullptr);
    }

    std::string name_;
    const Settings& s_;
    GDALDatasetH ds_ = nullptr;
    std::vector<double> flipped_;
};

}  // namespace

std::unique_ptr<Writer> NetcdfWriter(const std::string& path, const std::string& name, const Settings& s) {
    return std::make_unique<Netcdf>(path, name, s);
}

std::unique_ptr<Writer> GeotiffWriter(const std::string& path, const std::string& name, const Settings& s) {
    return std::make_unique<Geotiff>(path, name, s);
}

}  // namespace hgrid

// The grid's files: netCDF-4 (CF-1.8) through libnetcdf and GeoTIFF through
// GDAL, written block by block of rows.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
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
        int dimT = -1, dimY, dimX;
        if (stack) Check(nc_def_dim(id_, "time", s.times.size(), &dimT));
        Check(nc_def_dim(id_, "lat", g.ny, &dimY));
        Check(nc_def_dim(id_, "lon", g.nx, &dimX));
        int vlat, vlon, vtime, vcrs;
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
        if (s.rowTime) {
            // Each row at its own time: time is a coordinate along lat.
            Check(nc_def_var(id_, "time", NC_DOUBLE, 1, &dimY, &vtime));
            Text(vtime, "long_name", "epoch of each row, UTC");
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
        Check(nc_def_var(id_, "crs", NC_INT, 0, nullptr, &vcrs));
        Text(vcrs, "grid_mapping_name", "latitude_longitude");
        const double a = 6378137.0, rf = 298.257223563;
        Check(nc_put_att_double(id_, vcrs, "semi_major_axis", NC_DOUBLE, 1, &a));
        Check(nc_put_att_double(id_, vcrs, "inverse_flattening", NC_DOUBLE, 1, &rf));
        Text(vcrs, "crs_wkt",
             "GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS 84\",6378137,"
             "298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS[\"longitude\",east],"
             "ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",4326]]");
        Text(vcrs, "epsg_code", "EPSG:4326");

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
            Text(v, "long_name", LongName(c));
            Text(v, "units", "m");
            Text(v, "grid_mapping", "crs");
            Text(v, "coordinates", "time lat lon");
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
        Global("node_registration", g.pixel ? "pixel (cell centres)" : "grid-line");
        if (s.hasLos) {
            Global("los_convention", LongName(Component::Los));
            const double look[2] = {static_cast<double>(s.losInc), static_cast<double>(s.losAz)};
            Check(nc_put_att_double(id_, NC_GLOBAL, "los_incidence_azimuth_deg", NC_DOUBLE, 2, look));
        }
        const int offset = g.pixel ? 1 : 0;  // GMT's name for the registration
        Check(nc_put_att_int(id_, NC_GLOBAL, "node_offset", NC_INT, 1, &offset));
        const double yr[2] = {static_cast<double>(g.Lat(0)), static_cast<double>(g.Lat(g.ny - 1))};
        const double xr[2] = {static_cast<double>(g.Lon(0)), static_cast<double>(g.Lon(g.nx - 1))};
        Check(nc_put_att_double(id_, vlat, "actual_range", NC_DOUBLE, 2, yr));
        Check(nc_put_att_double(id_, vlon, "actual_range", NC_DOUBLE, 2, xr));
        Check(nc_enddef(id_));

        std::vector<double> c(g.ny);
        for (std::uint32_t j = 0; j < g.ny; ++j) c[j] = static_cast<double>(g.Lat(j));
        Check(nc_put_var_double(id_, vlat, c.data()));
        c.resize(g.nx);
        for (std::uint32_t i = 0; i < g.nx; ++i) c[i] = static_cast<double>(g.Lon(i));
        Check(nc_put_var_double(id_, vlon, c.data()));
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
        GDALSetCacheMax64(std::int64_t(8) << 20);
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
        // spacing outside W and N for nodes on the grid lines.
        const double half = g.pixel ? 0.0 : 0.5;
        double gt[6] = {static_cast<double>(g.west - half * g.dx), static_cast<double>(g.dx), 0,
                        static_cast<double>(g.north + half * g.dy), 0, -static_cast<double>(g.dy)};
        if (GDALSetGeoTransform(ds_, gt) != CE_None) Fail();
        OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
        OSRImportFromEPSG(srs, 4326);
        const CPLErr e = GDALSetSpatialRef(ds_, srs);
        OSRDestroySpatialReference(srs);
        if (e != CE_None) Fail();
        Meta(nullptr, "TIFFTAG_SOFTWARE", std::string("havorkastilo-grid ") + HAVORKASTILO_VERSION);
        Meta(nullptr, "history", s.history);
        Meta(nullptr, "model", kModel);
        Meta(nullptr, "ephemeris", EphemerisName(s.precise));
        Meta(nullptr, "node_registration", g.pixel ? "pixel (cell centres)" : "grid-line");
        std::string times;
        for (std::size_t t = 0; t < s.times.size(); ++t) times += (t ? "," : "") + IsoTime(s.times[t]);
        Meta(nullptr, "times", times);
        if (s.rowTime) {
            Meta(nullptr, "row_time_first", IsoTime(RowTime(s, g.ny - 1)));
            Meta(nullptr, "row_time_last", IsoTime(RowTime(s, 0)));
        }
        if (s.hasLos) {
            Meta(nullptr, "los_convention", LongName(Component::Los));
            Meta(nullptr, "los_incidence_deg", std::to_string(static_cast<double>(s.losInc)));
            Meta(nullptr, "los_azimuth_deg", std::to_string(static_cast<double>(s.losAz)));
        }
        for (std::size_t t = 0; t < s.times.size(); ++t)
            for (std::size_t c = 0; c < s.components.size(); ++c) {
                GDALRasterBandH b = GDALGetRasterBand(ds_, static_cast<int>(t * s.components.size() + c + 1));
                const std::string iso = IsoTime(s.times[t]);
                GDALSetDescription(b, (std::string(VariableName(s.components[c])) + " " + iso).c_str());
                GDALSetRasterUnitType(b, "m");
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

#include "src/fProcData.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <iostream>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/TimeConverse.h"
#include "GNSS/g_lg.h"
#include "GNSS/neu.h"
#include "GNSS/xyz_flh.h"
#include "funkcije/KotnePretvorbe.h"

const char* const kOutputError = "REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD";

const char* const kTableHeader =
    "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
    "LAm[deg]    FIm[deg]        Rm[km]";
const char* const kTableRule =
    "#---------------------------------------------------------------------------------------"
    "----------------------------------";

const char* const kCsvHeader =
    "utc,mjd,sod,dn_m,de_m,du_m,dx_m,dy_m,dz_m,sun_lon_deg,sun_lat_deg,sun_dist_km,moon_lon_deg,"
    "moon_lat_deg,moon_dist_km";

std::uint64_t RowCount(const mjd& start, const mjd& end, long double dt) {
    if (!(start <= end)) return 0;
    const long double q = (end - start) / dt;
    // A start within the comparison's tolerance after the end: that one row.
    if (!(q >= 0)) return 1;
    long double k = std::floor(q);
    // The quotient of a span and a step that binary cannot hold exactly may
    // fall a hair short of the whole number of steps that fit.
    if (k + 1 - q <= 1e-9 * (k + 1)) k += 1;
    // Spans and steps of valid settings give far fewer rows than this bound.
    if (!(k < 1e19)) return 10000000000000000000ULL;
    return static_cast<std::uint64_t>(k) + 1;
}

namespace {

// Longest line of the comma-separated output: 15 fields of finite values of
// the magnitudes a valid run gives are far shorter; the fixed-point text of
// the largest finite long double has 4933 digits before the point.
constexpr std::size_t kMaxCsvLine = 15 * 4960;

// A longitude [rad] of the geometry modes with its cosine and sine, found
// once for the whole table.
struct Meridian {
    long double la, cosla, sinla;
    explicit Meridian(long double l) : la(l), cosla(std::cos(l)), sinla(std::sin(l)) {}
};

// Turns the direction `body` (a unit vector) about the polar axis to the
// longitude m.la, keeping its latitude and height on the ellipsoid.
void PutAtLongitude(xyz& body, const Meridian& m, flh& posMS, const elipsoid& elps) {
    posMS = xyz2flh(body, elps);
    posMS.SetL(m.la);
    body = flh2xyz(posMS, elps, m.cosla, m.sinla);
}

// What the Sun and Moon columns show of one body: the geodetic longitude
// and latitude [deg] of its direction `u` scaled to the station's distance
// posMag [m], and its distance mag [m] in km.
struct BodyColumns {
    long double lon, lat, km;
};

BodyColumns Body(xyz& u, long double posMag, long double mag, flh& posMS, const elipsoid& elps) {
    u *= posMag;
    posMS = xyz2flh(u, elps);
    return {rad2deg(posMS.GetL()), rad2deg(posMS.GetF()), mag / 1000};
}

// The table's three columns of a body, in fixed notation.
void WriteBody(std::ostream& out, const BodyColumns& b) {
    out << std::fixed << std::setfill(' ') << std::setw(15) << std::setprecision(5) << b.lon
        << std::setw(12) << b.lat << std::setw(15) << std::setprecision(1) << b.km;
}

// Appends v with `decimals` decimals, no padding, "." as the decimal mark.
char* AppendFixed(char* p, long double v, int decimals) {
    return p + std::sprintf(p, "%.*Lf", decimals, v);
}

// One line of the comma-separated output.  The epoch's seconds of day are
// rounded to 7 decimals once; the time stamp, the day number and the seconds
// column all show that rounded epoch, so a second that rounds up to 86400
// is 00:00:00 of the next day in all three.
class CsvRow {
  public:
    // Writes the row of epoch e (with its line end) into line; returns its length.
    std::size_t Write(char* line, const mjd& e, const xyz& dX, const neu& dL, const BodyColumns& sun,
                      const BodyColumns& moon) {
        char sod[64];
        const int n = std::snprintf(sod, sizeof sod, "%.7Lf", e.GetSecond());
        // Whole seconds and the seven decimals of the rounded seconds of day
        // (a valid epoch has 0 <= s < 86400; -0 reads as 0).
        long whole = 0;
        int i = sod[0] == '-' ? 1 : 0;
        for (; i < n && sod[i] != '.'; ++i) whole = whole * 10 + (sod[i] - '0');
        const char* fraction = sod + i + 1;
        std::int64_t day = e.GetMJDay();
        if (whole >= 86400) {
            whole -= 86400;
            day += 1;
        }
        if (day != cachedDay) {
            MJDay2Date(day, year, month, dayOfMonth);
            cachedDay = day;
        }
        char* p = line;
        p += std::sprintf(p, "%04d-%02d-%02dT%02ld:%02ld:%02ld.%sZ,%lld,%ld.%s", year, month,
                          dayOfMonth, whole / 3600, whole % 3600 / 60, whole % 60, fraction,
                          static_cast<long long>(day), whole, fraction);
        const long double v[] = {dL.GetN(), dL.GetE(), dL.GetU(), dX.GetX(), dX.GetY(), dX.GetZ()};
        for (long double x : v) {
            *p++ = ',';
            p = AppendFixed(p, x, 9);
        }
        for (const BodyColumns* b : {&sun, &moon}) {
            *p++ = ',';
            p = AppendFixed(p, b->lon, 7);
            *p++ = ',';
            p = AppendFixed(p, b->lat, 7);
            *p++ = ',';
            p = AppendFixed(p, b->km, 3);
        }
        *p++ = '\n';
        return static_cast<std::size_t>(p - line);
    }

  private:
    std::int64_t cachedDay = -1;
    std::int32_t year = 0, month = 0, dayOfMonth = 0;
};

}  // namespace

void ProcData(Havorkastilo& ptZ) {
    xyz posXUnit, psunU, pmoonU, dPosX;
    long double posMag, psunMag = 0, pmoonMag = 0;
    neu dPosLG;
    flh posMS;
    mjd eProc;
    LuniSolarPosition lsp;
    SolidEarthTide nset;

    if (ptZ.GetVerbose())
        std::cerr << kProgramName << "::CheckArguments(): RACUNAM PLIMOVANJE TRDNE ZEMLJE!"
                  << std::endl;

    posXUnit = ptZ.posX.GetUnitVector(1);
    posMag = ptZ.posX.GetLength();
    nset.SetStaPosition(posXUnit, posMag);

    neuns::WidthU = 8;
    neuns::WidthNE = neuns::WidthU;
    neuns::NDecU = 1;
    neuns::NDecNE = neuns::NDecU;
    neuns::Unit = 100;

    eProc = ptZ.stE;
    std::ostream& out = std::cout;
    const bool csv = ptZ.output == OutputFormat::Csv;
    if (csv) {
        out << kCsvHeader << '\n';
    } else {
        out << kTableHeader << '\n' << kTableRule << '\n';
    }

    // What depends on the station alone is found here, once: its local frame,
    // the meridians of the geometry modes (and, inside nset, its terms of the
    // tide model).  The loop then does per row only what depends on the
    // epoch, and allocates nothing.
    const LocalFrame frame(ptZ.posG);
    const long double L = ptZ.posG.GetL();
    const long double Q = 1.5707963267948966;  // pi/2 in double precision
    const Meridian atL(L), east(L + Q), west(L - Q);
    // The number of rows is fixed before the loop: the epochs are made by
    // repeated addition, whose rounding can carry the last of them a hair
    // past the end epoch, and the end epoch belongs to the table.
    const std::uint64_t rows = RowCount(ptZ.stE, ptZ.enE, ptZ.dt);
    CsvRow csvRow;
    char line[kMaxCsvLine];
    for (std::uint64_t row = 0; row < rows; ++row) {
        lsp.SunMoonPosition(eProc, psunU, psunMag, pmoonU, pmoonMag);

        if (ptZ.SetCoLinear) {
            PutAtLongitude(psunU, atL, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, atL, posMS, ptZ.elps);
        }
        if (ptZ.setOrthoSun) {
            PutAtLongitude(psunU, atL, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, east, posMS, ptZ.elps);
        }
        if (ptZ.setOrthoMoon) {
            PutAtLongitude(psunU, east, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, atL, posMS, ptZ.elps);
        }
        if (ptZ.setOrthoNone) {
            PutAtLongitude(psunU, east, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, west, posMS, ptZ.elps);
        }

        nset.SetSunPosition(psunU, psunMag);
        nset.SetMoonPosition(pmoonU, pmoonMag);
        nset.GetDisplacement(eProc, dPosX);
        dPosLG = g2lg(dPosX, frame);

        const BodyColumns sun = Body(psunU, posMag, psunMag, posMS, ptZ.elps);
        const BodyColumns moon = Body(pmoonU, posMag, pmoonMag, posMS, ptZ.elps);
        if (csv) {
            out.write(line, static_cast<std::streamsize>(
                                csvRow.Write(line, eProc, dPosX, dPosLG, sun, moon)));
        } else {
            out << eProc << dPosLG;
            WriteBody(out, sun);
            WriteBody(out, moon);
            out << '\n';
        }
        if (!out) break;  // nothing more can be written: the caller reports it

        eProc += ptZ.dt;
    }
    out.flush();
}

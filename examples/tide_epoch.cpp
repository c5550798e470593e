// tide_epoch: the solid Earth tide displacement of one station at one epoch,
// computed through the Havorkastilo library's computing core, which the
// Havorkastilo program computes every row of its table with.
//
//   tide_epoch                         46.05 deg N, 14.5 deg E, 300 m at
//                                      2019-01-17 00:00:00 UTC (MJD 58500)
//   tide_epoch LAT LON H MJD SECONDS   latitude and longitude in decimal
//                                      degrees (geodetic, GRS80, east
//                                      positive), ellipsoidal height in
//                                      metres, epoch as Modified Julian Day
//                                      and seconds of that day (UTC)
//   tide_epoch -mp [...]               the same with the precise Sun and
//                                      Moon (ERFA); -ms, the short series,
//                                      is the default
//
// It prints the displacement towards north, east and up in metres and in
// centimetres; the centimetres, rounded to 0.1, are those of the program's
// table for the same station, epoch and ephemeris.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>

#include "GNSS/Tide.h"
#include "GNSS/flh.h"
#include "GNSS/mjd.h"
#include "GNSS/neu.h"
#include "funkcije/KotnePretvorbe.h"

namespace {

// Reads a whole argument as a finite number within [lo, hi].  (The library
// reports an invalid value by throwing havorkastilo::Error; a caller that
// checks first can tell its user what is wrong in its own words.)
bool ReadNumber(const char* text, long double lo, long double hi, long double& value) {
    char* end = nullptr;
    value = std::strtold(text, &end);
    return end != text && *end == '\0' && std::isfinite(value) && value >= lo && value <= hi;
}

// Reads an ephemeris option: -ms (the short series) or -mp (precise, ERFA),
// in either case, as the program reads it.
bool ReadEphemeris(const char* text, Ephemeris& e) {
    if (std::strlen(text) != 3 || text[0] != '-' || (text[1] != 'm' && text[1] != 'M'))
        return false;
    if (text[2] == 's' || text[2] == 'S') {
        e = Ephemeris::Series;
        return true;
    }
    if (text[2] == 'p' || text[2] == 'P') {
        e = Ephemeris::Precise;
        return true;
    }
    return false;
}

int Usage() {
    std::cerr << "usage: tide_epoch [-ms|-mp] [LAT_DEG LON_DEG HEIGHT_M MJD SECONDS_OF_DAY]\n"
                 "  -ms the short Sun and Moon series (default), -mp the precise ones (ERFA);\n"
                 "  latitude -90..90 and longitude -180..180 in decimal degrees (GRS80),\n"
                 "  height in metres, whole Modified Julian Day 0..199999 and seconds\n"
                 "  0 <= s < 86400 of that day (UTC)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long double latDeg = 46.05, lonDeg = 14.5, height = 300, day = 58500, seconds = 0;
    Ephemeris kind = Ephemeris::Series;
    if (argc > 1 && ReadEphemeris(argv[1], kind)) {
        --argc;
        ++argv;
    }
    if (argc != 1 && argc != 6) return Usage();
    if (argc == 6) {
        if (!ReadNumber(argv[1], -90, 90, latDeg) || !ReadNumber(argv[2], -180, 180, lonDeg) ||
            !ReadNumber(argv[3], -1e5, 1e7, height) || !ReadNumber(argv[4], 0, 199999, day) ||
            day != std::floor(day) || !ReadNumber(argv[5], 0, 86400, seconds) || seconds >= 86400)
            return Usage();
    }

    // The station on GRS80 (radians, metres) and the ephemeris, once; then
    // the tide of any epoch (UTC).
    const havorkastilo::Tide tide(
        havorkastilo::TidePoint::Geodetic(flh(deg2rad(latDeg), deg2rad(lonDeg), height)), kind);
    const mjd epoch(static_cast<std::uint32_t>(day), seconds);
    const havorkastilo::TideResult r = tide.At(epoch);
    const neu& local = r.local;  // north, east, up, metres

    std::cout << std::fixed << std::setprecision(6) << "station  latitude " << latDeg
              << " deg, longitude " << lonDeg << " deg, height " << std::setprecision(3) << height
              << " m (GRS80)\n"
              << "epoch    MJD " << epoch.GetMJDay() << ", " << epoch.GetSecond()
              << " s of the day (UTC)\n"
              << "bodies   "
              << (kind == Ephemeris::Precise ? "precise (ERFA)" : "short series") << "\n";
    const char* names[3] = {"north", "east", "up"};
    const long double metres[3] = {local.GetN(), local.GetE(), local.GetU()};
    for (int i = 0; i < 3; ++i) {
        std::cout << std::left << std::setw(8) << names[i] << std::right << std::setprecision(6)
                  << std::setw(10) << metres[i] << " m  " << std::setprecision(1) << std::setw(6)
                  << metres[i] * 100 << " cm\n";
    }
    return 0;
}

// One row of results: the computation of one epoch and its text, in the
// fixed-width table or in the comma-separated output.
#ifndef SRC_FEPOCHROW_H
#define SRC_FEPOCHROW_H

#include <cstddef>
#include <cstdint>

#include "GNSS/SolidEarthTide.h"
#include "GNSS/SunMoon.h"
#include "GNSS/flh.h"
#include "GNSS/g_lg.h"
#include "GNSS/mjd.h"
#include "src/Havorkastilo.h"

// Computes epochs for the station of a settings record and writes their rows.
//
// An object owns its Sun and Moon calculator and its tide model, set up for
// the station once, and what else depends on the station alone (its local
// frame, the meridians of the geometry modes).  Nothing it keeps from one
// epoch to the next changes a result, so an epoch gives the same row, to the
// last byte, whichever object computes it and whatever it computed before:
// the epoch loop may give each thread an object of its own.  One object is
// not for use by two threads at once.  Nothing is allocated per row.
class EpochRow {
  public:
    // Longest text of one row with its line end, characters: fifteen fields
    // of the largest finite values (FixedFormatMax: 4933 digits before the
    // point, the point and 9 decimals, the sign; a separator).
    static constexpr std::size_t kMaxText = 15 * 4960;

    // settings: repaired by the argument check (a station with a direction,
    // a step of at least 1e-7 s); read here, and not kept.
    explicit EpochRow(const Havorkastilo& settings);

    // Computes epoch e and writes its row in the layout of the settings, with
    // its line end, at out (room for kMaxText characters).  Returns the
    // number of characters written.
    std::size_t Write(const mjd& e, char* out);

  private:
    // A longitude [rad] of the geometry modes with its cosine and sine.
    struct Meridian {
        long double la, cosla, sinla;
        explicit Meridian(long double l);
    };
    // What the Sun and Moon columns show of one body: geodetic longitude and
    // latitude [deg] of its direction at the station's distance, and its
    // distance [km].
    struct BodyColumns {
        long double lon, lat, km;
    };

    void PutAtLongitude(xyz& body, const Meridian& m);
    BodyColumns Body(xyz& u, long double mag);
    std::size_t TableText(char* out, const mjd& e, const neu& d, const BodyColumns& sun,
                          const BodyColumns& moon) const;
    std::size_t CsvText(char* out, const mjd& e, const xyz& dX, const neu& d,
                        const BodyColumns& sun, const BodyColumns& moon);

    bool csv;                                          // the layout
    bool coLinear, orthoSun, orthoMoon, orthoNone;     // the geometry modes
    elipsoid elps;                                     // of every geodetic conversion
    long double posMag;                                // station's geocentric distance [m]
    LocalFrame frame;                                  // station's north, east, up
    Meridian atL, east, west;                          // L, L + pi/2, L - pi/2
    SunMoon bodies;                                    // Sun and Moon, of the chosen ephemeris
    SolidEarthTide nset;                               // the tide model, station set
    flh posMS;                                         // scratch geodetic position
    std::int64_t dateDay;                              // day of the cached calendar date
    std::int32_t dateYear, dateMonth, dateDayOfMonth;  // its date
};

#endif  // SRC_FEPOCHROW_H

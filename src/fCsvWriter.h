// The comma-separated output: its header line and its rows, in one place.
#ifndef SRC_FCSVWRITER_H
#define SRC_FCSVWRITER_H

#include <cstddef>
#include <cstdint>

#include "GNSS/TidePoint.h"
#include "GNSS/mjd.h"

// Writes the comma-separated text: a header line of column names, then one
// line per epoch, fields separated by commas with no blanks or padding,
// fixed-point numbers with "." as the decimal mark, lines ended by LF:
//   utc                       the epoch, ISO 8601 UTC, seconds with 7 decimals and "Z"
//   mjd, sod                  Modified Julian Day and seconds of day (7 decimals)
//   dn_m, de_m, du_m          displacement north, east, up, m (9 decimals)
//   dx_m, dy_m, dz_m          the same in Earth-fixed axes, m (9 decimals)
//   sun_lon_deg, sun_lat_deg  the table's Sun columns, degrees (7 decimals)
//   sun_dist_km               the Sun's distance, km (3 decimals)
//   moon_...                  the same for the Moon
// The seconds of day are rounded to 7 decimals once, and utc, mjd and sod all
// show that rounded epoch.
//
// An object keeps the calendar date of the day it wrote last, so one object
// serves one thread.
class CsvWriter {
  public:
    // Decimals of the displacement columns, the angle columns and the
    // distance columns, and of the seconds.
    static constexpr int kMetreDecimals = 9;
    static constexpr int kDegreeDecimals = 7;
    static constexpr int kKilometreDecimals = 3;
    static constexpr int kSecondDecimals = 7;

    // Longest text of one row with its line end, characters: fifteen fields
    // of the largest finite values (FixedFormatMax: 4933 digits before the
    // point, the point and 9 decimals, the sign; a separator).
    static constexpr std::size_t kMaxRow = 15 * 4960;

    CsvWriter();

    // The header line with its line end.
    static const char* Heading();

    // The line of epoch e with result r, with its line end, at out (room for
    // kMaxRow characters); returns the number of characters written.
    std::size_t Row(const mjd& e, const havorkastilo::TideResult& r, char* out);

  private:
    std::int64_t dateDay;                              // day of the cached calendar date
    std::int32_t dateYear, dateMonth, dateDayOfMonth;  // its date
};

#endif  // SRC_FCSVWRITER_H

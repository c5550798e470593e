// The fixed-width table: its two heading lines and its rows, in one place.
#ifndef SRC_FTABLEWRITER_H
#define SRC_FTABLEWRITER_H

#include <cstddef>

#include "GNSS/TidePoint.h"
#include "GNSS/mjd.h"

// Writes the table's text.  A row has eleven right-aligned, blank-filled
// fields with no other separators (widths and decimals in kFields; 122
// characters as long as every value fits its width, a longer value widening
// only its own field):
//    1 EPOHA[MJD]  whole Modified Julian Day
//    2             seconds of the day
//    3 dN[cm]      north displacement, cm
//    4 dE[cm]      east displacement, cm
//    5 dh[cm]      up displacement, cm
//    6 LAs[deg]    geodetic longitude of the Sun's direction at the
//                  station's geocentric distance, degrees
//    7 FIs[deg]    geodetic latitude of the same point, degrees
//    8 Rs[km]      geocentric distance of the Sun, km
//    9-11          the same three for the Moon
class TableWriter {
  public:
    struct Field {
        int width, decimals;
    };
    static constexpr Field kFields[11] = {{6, 0},  {8, 1},  {8, 1},  {8, 1},  {8, 1}, {15, 5},
                                          {12, 5}, {15, 1}, {15, 5}, {12, 5}, {15, 1}};

    // Longest text of one row with its line end, characters: eleven fields of
    // the largest finite values (FixedFormatMax: 4933 digits before the
    // point, the point and 5 decimals, the sign).
    static constexpr std::size_t kMaxRow = 11 * 4960;

    // The two heading lines (the labels, then "#" and 121 "-"), each with
    // its line end.
    static const char* Heading();

    // The row of epoch e with result r, with its line end, at out (room for
    // kMaxRow characters); returns the number of characters written.
    static std::size_t Row(const mjd& e, const havorkastilo::TideResult& r, char* out);
};

#endif  // SRC_FTABLEWRITER_H

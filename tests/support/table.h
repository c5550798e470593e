// The result table's row layout, for checking the program's output.
#ifndef TESTS_SUPPORT_TABLE_H
#define TESTS_SUPPORT_TABLE_H

#include <string>

namespace testsupport {

// Field widths and decimals of a row: MJD, seconds of day, dN, dE, dh [cm],
// LAs, FIs [deg], Rs [km], LAm, FIm [deg], Rm [km].
constexpr int kRowFields = 11;
constexpr int kRowWidths[kRowFields] = {6, 8, 8, 8, 8, 15, 12, 15, 15, 12, 15};
constexpr int kRowDecimals[kRowFields] = {0, 1, 1, 1, 1, 5, 5, 1, 5, 5, 1};
constexpr int kRowLength = 122;

struct TableRow {
    std::string text[kRowFields];  // each field without its padding
    long double value[kRowFields];
};

// True when line is a well-formed row (122 characters, every field a
// right-aligned fixed-point number with its decimals, no nan or inf); fills
// row.  Otherwise false, with the reason in *why when why is given.
bool ParseRow(const std::string& line, TableRow& row, std::string* why = nullptr);

// The comma-separated output: the header line, and per line the time stamp,
// the day number, then thirteen fixed-point numbers with these decimals:
// sod 7; dn, de, du, dx, dy, dz [m] 9; sun lon, lat [deg] 7, dist [km] 3;
// the same for the Moon.
inline const char* const kCsvHeaderText =
    "utc,mjd,sod,dn_m,de_m,du_m,dx_m,dy_m,dz_m,sun_lon_deg,sun_lat_deg,sun_dist_km,"
    "moon_lon_deg,moon_lat_deg,moon_dist_km";
constexpr int kCsvFields = 15;
constexpr int kCsvDecimals[kCsvFields] = {-1, 0, 7, 9, 9, 9, 9, 9, 9, 7, 7, 3, 7, 7, 3};

struct CsvRow {
    std::string text[kCsvFields];
    long double value[kCsvFields];  // the numbers (value[0] unused)
    int year, month, day, hour, minute;  // of the time stamp
    long double second;
};

// True when line is a well-formed line of the comma-separated output: 15
// fields, no blanks, a time stamp "YYYY-MM-DDThh:mm:ss.sssssssZ", the day
// number in digits and fixed-point numbers with the decimals above (no nan
// or inf); fills row.  Otherwise false, with the reason in *why when given.
bool ParseCsvRow(const std::string& line, CsvRow& row, std::string* why = nullptr);

}  // namespace testsupport

#endif  // TESTS_SUPPORT_TABLE_H

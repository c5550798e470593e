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

}  // namespace testsupport

#endif  // TESTS_SUPPORT_TABLE_H

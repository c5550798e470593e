// The epoch loop: one row of results per epoch from the start to the end epoch.
#ifndef SRC_FPROCDATA_H
#define SRC_FPROCDATA_H

#include <cstdint>

#include "GNSS/mjd.h"
#include "src/Havorkastilo.h"

// Computes the solid Earth tide displacement of the station for every epoch
// from ptZ.stE to ptZ.enE inclusive in steps of ptZ.dt seconds and writes the
// results on standard output in the layout of ptZ.output.
//  - Table: two heading lines, then one fixed-width row per epoch (MJD and
//    seconds of day; north, east, up displacement in cm; longitude and
//    latitude in degrees of the Sun's direction at the station's geocentric
//    distance, and the Sun's distance in km; the same for the Moon).
//  - Csv: the header line kCsvHeader, then one line per epoch: the epoch as an
//    ISO 8601 UTC time stamp, day number and seconds of day (7 decimals); the
//    displacement in metres (9 decimals) north, east, up and Earth-fixed X, Y,
//    Z; the table's Sun and Moon columns (degrees with 7 decimals, km with 3).
// The epochs are the start epoch plus the step added again and again; their
// number is RowCount.  Expects the settings repaired by CheckArguments.
void ProcData(Havorkastilo& ptZ);

// Number of rows from start to end inclusive in steps of dt seconds (dt at
// least 1e-7 s): floor((end - start) / dt) + 1, where a quotient within 1e-9
// (relative) below a whole number counts as that number, so that a step that
// binary cannot hold exactly (0.1 s) still reaches the end epoch.  0 when the
// start is later than the end.
std::uint64_t RowCount(const mjd& start, const mjd& end, long double dt);

// Worker threads of the epoch loop: ptZ.threads, or with 0 one per processor
// the process may run on.  With one worker, or a table of at most one block
// of rows, the loop runs on the calling thread alone; the output is the same
// to the last byte in every case.
unsigned WorkerThreads(const Havorkastilo& ptZ);

// Text of the error for a table that could not be written.
extern const char* const kOutputError;

// The two heading lines of the table (without their line ends).
extern const char* const kTableHeader;
extern const char* const kTableRule;

// The header line of the comma-separated output (without its line end).
extern const char* const kCsvHeader;

#endif  // SRC_FPROCDATA_H

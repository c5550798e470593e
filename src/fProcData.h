// The epoch loop: one table row per epoch from the start to the end epoch.
#ifndef SRC_FPROCDATA_H
#define SRC_FPROCDATA_H

#include "src/Havorkastilo.h"

// Computes the solid Earth tide displacement of the station for every epoch
// from ptZ.stE to ptZ.enE inclusive in steps of ptZ.dt seconds and writes the
// result table on standard output: two heading lines, then one row per epoch
// (MJD and seconds of day; north, east, up displacement in cm; longitude and
// latitude in degrees of the Sun's direction at the station's geocentric
// distance, and the Sun's distance in km; the same for the Moon).  Expects
// the settings repaired by CheckArguments.
void ProcData(Havorkastilo& ptZ);

// Text of the error for a table that could not be written.
extern const char* const kOutputError;

// The two heading lines of the table (without their line ends).
extern const char* const kTableHeader;
extern const char* const kTableRule;

#endif  // SRC_FPROCDATA_H

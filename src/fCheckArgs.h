// Repairs of the settings record before the epoch loop.
#ifndef SRC_FCHECKARGS_H
#define SRC_FCHECKARGS_H

#include "GNSS/TidePoint.h"
#include "src/Havorkastilo.h"

// Makes the settings consistent for the epoch loop, echoing each step on
// standard error in verbose mode:
// - without a position option, the default geodetic position is used and its
//   Cartesian form derived;
// - a station at the geocentre (no direction for the tide model) ends the
//   program with a framed error on standard error, status 1;
// - a start epoch later than the end epoch: in verbose mode the end epoch is
//   set to the start epoch; otherwise they are left (the table has no rows);
// - a step below 1e-7 s, or one that is not a finite number, becomes 3600 s.
void CheckArguments(Havorkastilo& ptZ);

// Text of the error for a station at the geocentre (the computing core's).
using havorkastilo::kGeocentreError;

#endif  // SRC_FCHECKARGS_H

// The epoch loop: one row of results per epoch from the start to the end epoch.
#ifndef SRC_FPROCDATA_H
#define SRC_FPROCDATA_H

#include <cstdint>

#include "GNSS/mjd.h"
#include "src/Havorkastilo.h"

// Computes the solid Earth tide displacement of the station for every epoch
// from ptZ.stE to ptZ.enE inclusive in steps of ptZ.dt seconds and writes the
// results on standard output in the layout of ptZ.output: the heading and the
// rows of TableWriter (src/fTableWriter.h) or CsvWriter (src/fCsvWriter.h).
// The epochs are the start epoch plus the step added again and again; their
// number is RowCount.  Worker threads compute blocks of rows, which are
// written in order: the output is the same, to the last byte, for every
// thread count.  A write that fails stops the loop (the caller reports it).
// In verbose mode, when the precise ephemeris was extrapolated for an epoch
// (outside 1900-2100), the echo kExtrapolatedEcho follows the rows once.
// Expects the settings repaired by CheckArguments.
void ProcData(Havorkastilo& ptZ);

// Number of rows from start to end inclusive in steps of dt seconds (dt at
// least 1e-7 s): floor((end - start) / dt) + 1, where a quotient within 1e-9
// (relative) below a whole number counts as that number, so that a step that
// binary cannot hold exactly (0.1 s) still reaches the end epoch.  0 when the
// start is later than the end.
std::uint64_t RowCount(const mjd& start, const mjd& end, long double dt);

// Worker threads the epoch loop is asked for: ptZ.threads, or with 0 one per
// processor the process may run on.  The loop starts no more of them than
// there are blocks of rows to compute at once (a bounded number, whatever is
// asked), and none for a single block: then, as with one, the rows are
// computed on the calling thread.
unsigned WorkerThreads(const Havorkastilo& ptZ);

// Text of the error for a table that could not be written.
extern const char* const kOutputError;

// The verbose echo (after "Havorkastilo") for a run in which ERFA
// extrapolated the Earth's series.
extern const char* const kExtrapolatedEcho;

#endif  // SRC_FPROCDATA_H

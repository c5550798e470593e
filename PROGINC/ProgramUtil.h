// The run timer and the start and closing lines of a run.
#ifndef PROGINC_PROGRAMUTIL_H
#define PROGINC_PROGRAMUTIL_H

#include "funkcije/CppCas.h"

// Program name, "Havorkastilo": the reporting party of every message and echo
// line, and the name in the start and closing lines.
extern const char* const kProgramName;

namespace prgutil {
// Processor-time timer of the whole run: constructed before main, started by
// StartProg and stopped by EndProg.
extern CppCas ctm;
}  // namespace prgutil

// Starts the run timer.  When verbose, writes on standard error an empty line
// and "Havorkastilo" immediately followed by line (e.g. ": ***** ... *****").
void StartProg(bool verbose, const char* line);

// Stops the run timer; dt is the processor time of the run in seconds.
// When PrintCout, writes the banner "PROGRAM:     Havorkastilo     *****
// SUCCESFULLY ENDED [dt s] *****" (dt with 3 decimals) with ProgramSubTitle on
// standard output.  When verbose, writes on standard error
// "Havorkastilo: ***** SUCCESFULLY ENDING PROGRAM [dt s] *****!" and two empty
// lines, dt in fixed notation with 3 decimals; the fixed flag (added to the
// other flags) and precision 3 stay set on standard error.
void EndProg(bool verbose, bool PrintCout);

// Processors this process may run on: the count of its affinity mask (what
// taskset, cgroups or a batch system allow it), not the machine's count; at
// least 1.
unsigned AvailableProcessors();

#endif  // PROGINC_PROGRAMUTIL_H

// How the program ends after a fatal report: the handler it installs at the
// seam of PROGINC/ProgramExit.h.
#ifndef SRC_FREPORTEXIT_H
#define SRC_FREPORTEXIT_H

#include <ostream>
#include <string>

// Writes report to out, flushes standard output and standard error, and ends
// the process with status.
[[noreturn]] void ReportAndExit(std::ostream& out, const std::string& report, int status);

// Text of the error for memory that could not be had (std::bad_alloc), and
// the start of the one for any other exception that reached main (its own
// text follows).
extern const char* const kMemoryError;
extern const char* const kUnexpectedError;

#endif  // SRC_FREPORTEXIT_H

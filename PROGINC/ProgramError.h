// Framed program errors and warnings, and the validity report shared by the
// epoch and coordinate classes.
//
// Errors leave through the seam of ProgramExit (status 1; the program ends,
// a library caller gets havorkastilo::Error); warnings print their frame and
// return.  The *Text functions give the exact bytes that the
// printers write, so that callers and tests can see them without a console.
#ifndef PROGINC_PROGRAMERROR_H
#define PROGINC_PROGRAMERROR_H

#include <string>

// "\n**** prog: Error -> text ****\n     Exiting prog ... \n\n" on standard
// error (ProgramError) or standard output (ProgramErrorCout); status 1.
[[noreturn]] void ProgramError(const char* prog, const char* text);
[[noreturn]] void ProgramErrorCout(const char* prog, const char* text);

// A command line refused before any work was done (strict input): the frame
// of ProgramError on standard error, then status 2, as command-line tools
// report a usage error.
[[noreturn]] void ProgramUsageError(const char* prog, const char* text);

// "\n#### prog: Warning -> text ####\n     Continuing prog ... \n\n" on standard
// error (ProgramWarning) or standard output (ProgramWarningCout); returns.
void ProgramWarning(const char* prog, const char* text);
void ProgramWarningCout(const char* prog, const char* text);

std::string ProgramErrorText(const char* prog, const char* text);
std::string ProgramWarningText(const char* prog, const char* text);

// Validity report of a value class (ymdhms, mjd, GPSws, flh, flht) on standard
// output: "\n" heading text " ****\n" closing "\n"; then status 1.  heading is
// for example "**** mjd: Error -> ", closing "     Exiting class mjd ... ".
[[noreturn]] void ClassValidityReport(const char* heading, const char* text, const char* closing);
std::string ClassValidityText(const char* heading, const char* text, const char* closing);

#endif  // PROGINC_PROGRAMERROR_H

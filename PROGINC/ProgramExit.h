// The one way out of the process after a fatal report.
//
// Every report that ends the program (the matrix errors, the program errors,
// the validity reports of the epoch and coordinate classes) composes its text
// and hands it to ProgramExit, which writes it, flushes both standard streams
// and ends the process.  Tests and the fuzz target install a handler that is
// called instead of std::exit, so that a report can be observed without the
// process ending; the same code runs in every build.
#ifndef PROGINC_PROGRAMEXIT_H
#define PROGINC_PROGRAMEXIT_H

#include <ostream>
#include <string>

namespace prgexit {

// Called with the exit status once the report is written and flushed.  A
// handler must not return (it ends the process, throws or jumps away); if it
// does return, std::exit(status) follows.
using Handler = void (*)(int status);

// Installs h; nullptr restores the default (std::exit).  Returns the previous one.
Handler SetHandler(Handler h);

// The handler in force (nullptr for the default).
Handler GetHandler();

}  // namespace prgexit

// Writes report to out, flushes standard output and standard error, and ends
// the process with the given status (through the installed handler, if any).
[[noreturn]] void ProgramExit(std::ostream& out, const std::string& report, int status = 1);

#endif  // PROGINC_PROGRAMEXIT_H

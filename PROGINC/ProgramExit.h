// The one way out of a computation after a fatal report.
//
// Every report that ends a computation (the matrix errors, the program
// errors, the validity reports of the epoch and coordinate classes) composes
// its text and hands it to ProgramExit, together with the stream it belongs
// on and a status.  ProgramExit passes the three to the handler in force and
// never returns:
//   - the library's default handler, ThrowError, throws havorkastilo::Error
//     carrying the report, so that a caller (a grid writer, the Python
//     module, a test) can catch it and go on; nothing is written;
//   - the program installs a handler that writes the report on its stream,
//     flushes both standard streams and ends the process with the status
//     (src/fReportExit.h);
//   - tests and the fuzz target install handlers of their own.
// The handler is one process-wide setting: install it before computing, not
// while other threads compute.
#ifndef PROGINC_PROGRAMEXIT_H
#define PROGINC_PROGRAMEXIT_H

#include <ostream>
#include <stdexcept>
#include <string>

namespace havorkastilo {

// The stream a report was meant for.
enum class ReportStream {
    Out,  // standard output (the validity reports of the classes)
    Err   // standard error (the program's errors)
};

// A fatal report, thrown by the default handler.
//   what():   the whole framed report, exactly the bytes the program would
//             print (for example "\n**** mjd: Error -> SECOND not valid ****\n
//                  Exiting class mjd ... \n");
//   Status(): the exit status the program would end with (1, or 2 for a
//             refused command line);
//   Stream(): where the program would print it.
class Error : public std::runtime_error {
  public:
    Error(const std::string& report, int status, ReportStream stream);
    int Status() const noexcept { return status_; }
    ReportStream Stream() const noexcept { return stream_; }

  private:
    int status_;
    ReportStream stream_;
};

}  // namespace havorkastilo

namespace prgexit {

// Called with the report, the stream it belongs on and the status.  A handler
// must not return (it ends the process, throws or jumps away); if it does
// return, ProgramExit throws havorkastilo::Error as the default does.
using Handler = void (*)(std::ostream& out, const std::string& report, int status);

// Installs h; nullptr restores the default (ThrowError).  Returns the previous
// handler (nullptr for the default).
Handler SetHandler(Handler h);

// The handler in force (nullptr for the default).
Handler GetHandler();

// The default: throws havorkastilo::Error(report, status, the stream's kind);
// out is std::cout for ReportStream::Out, any other stream counts as Err.
[[noreturn]] void ThrowError(std::ostream& out, const std::string& report, int status);

}  // namespace prgexit

// Hands report (for the stream out) and status to the handler in force.
[[noreturn]] void ProgramExit(std::ostream& out, const std::string& report, int status = 1);

#endif  // PROGINC_PROGRAMEXIT_H

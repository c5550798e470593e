// Havorkastilo: displacement of a point on the Earth by the solid Earth tide
// of the Sun and the Moon, epoch by epoch, as a fixed-width table.
#include <ios>

#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "PROGINC/ProgramError.h"
#include "PROGINC/ProgramExit.h"
#include "PROGINC/ProgramUtil.h"
#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fParseArgs.h"
#include "src/fProcData.h"
#include "src/fReportExit.h"

namespace {

// A table or help text that did not reach standard output (a full disk, a
// closed file) is a failure: it ends with a framed error and status 1
// instead of the success status.
void RequireOutputWritten() {
    std::cout.flush();
    if (!std::cout) ProgramError(kProgramName, kOutputError);
}

}  // namespace

int main(int argc, const char** argv) {
    // Every fatal report ends the program: written on its stream, both
    // streams flushed, the report's status.
    prgexit::SetHandler(ReportAndExit);
    // What escapes the computation (memory that cannot be had, from any
    // thread) ends with a framed report and status 1, never with
    // std::terminate.
    try {
        // Nothing in the program writes through C stdio, so the C++ streams
        // need not keep in step with it; unsynchronised, standard output is
        // buffered by the stream itself instead of going to stdio call by
        // call (which takes the streams' buffers: memory).  Every path that
        // ends the program flushes both streams first.
        std::ios::sync_with_stdio(false);
        Havorkastilo settings;
        ParseArguments(settings, argc, argv);
        if (settings.GetRProgram()) {
            CheckArguments(settings);
            ProcData(settings);
            RequireOutputWritten();
            EndProg(settings.GetVerbose(), false);
        }
        RequireOutputWritten();
    } catch (const std::bad_alloc&) {
        ProgramError(kProgramName, kMemoryError);
    } catch (const std::exception& e) {
        ProgramError(kProgramName, (std::string(kUnexpectedError) + e.what()).c_str());
    }
    return 0;
}

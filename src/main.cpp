// Havorkastilo: displacement of a point on the Earth by the solid Earth tide
// of the Sun and the Moon, epoch by epoch, as a fixed-width table.
#include <ios>

#include <iostream>

#include "PROGINC/ProgramError.h"
#include "PROGINC/ProgramUtil.h"
#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fParseArgs.h"
#include "src/fProcData.h"

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
    // Nothing in the program writes through C stdio, so the C++ streams need
    // not keep in step with it; unsynchronised, standard output is buffered
    // by the stream itself instead of going to stdio call by call.  Every
    // path that ends the program flushes both streams first.
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
    return 0;
}

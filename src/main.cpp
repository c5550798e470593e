// Havorkastilo: displacement of a point on the Earth by the solid Earth tide
// of the Sun and the Moon, epoch by epoch, as a fixed-width table.
#include "PROGINC/ProgramUtil.h"
#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fParseArgs.h"
#include "src/fProcData.h"

int main(int argc, const char** argv) {
    Havorkastilo settings;
    ParseArguments(settings, argc, argv);
    if (settings.GetRProgram()) {
        CheckArguments(settings);
        ProcData(settings);
        EndProg(settings.GetVerbose(), false);
    }
    return 0;
}

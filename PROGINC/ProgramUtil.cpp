#include "PROGINC/ProgramUtil.h"

#include <cstdio>
#include <iostream>

#include "PROGINC/ProgramOutput.h"

namespace prgutil {
CppCas ctm;
}  // namespace prgutil

const char* const kProgramName = "Havorkastilo";

void StartProg(bool verbose, const char* line) {
    prgutil::ctm.Start();
    if (verbose) std::cerr << std::endl << kProgramName << (line ? line : "") << std::endl;
}

void EndProg(bool verbose, bool PrintCout) {
    const double dt = prgutil::ctm.Stop();
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "PROGRAM:     %s     ***** SUCCESFULLY ENDED [%0.3lf s] *****", kProgramName, dt);
    if (PrintCout) ProgramSubTitle(buffer, 0);
    if (verbose) {
        std::cerr.setf(std::ios::fixed);
        std::cerr.precision(3);
        std::cerr << kProgramName << ": ***** SUCCESFULLY ENDING PROGRAM [" << dt << " s] *****!"
                  << std::endl
                  << std::endl
                  << std::endl;
    }
}

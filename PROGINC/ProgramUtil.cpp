#include "PROGINC/ProgramUtil.h"

#include <sched.h>

#include <cstdio>
#include <thread>
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

unsigned AvailableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return static_cast<unsigned>(n);
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? n : 1;
}

#include "PROGINC/ProgramOutput.h"

#include <iostream>

#include "PROGINC/VarCout.h"

namespace POut {
char ProgramName[128] = {};
char ProgramDescription[128] = {};
char Author[64] = {};
char ValidationDate[64] = {};
char Release[64] = {};
}  // namespace POut

void ProgramSubTitle(const char* subtitle, int nblak) {
    PrintChar('=', kSubTitleRule, nblak);
    PrintChar(' ', 0, nblak);
    std::cout << (subtitle ? subtitle : "") << std::endl;
    PrintChar('=', kSubTitleRule, nblak);
    std::cout << std::endl;
}

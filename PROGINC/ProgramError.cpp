#include "PROGINC/ProgramError.h"

#include <iostream>

#include "PROGINC/ProgramExit.h"

namespace {
// A null text prints as an empty one: the frame stays whole.
const char* Text(const char* s) { return s ? s : ""; }
}  // namespace

std::string ProgramErrorText(const char* prog, const char* text) {
    const std::string p = Text(prog);
    return "\n**** " + p + ": Error -> " + Text(text) + " ****\n     Exiting " + p + " ... \n\n";
}

std::string ProgramWarningText(const char* prog, const char* text) {
    const std::string p = Text(prog);
    return "\n#### " + p + ": Warning -> " + Text(text) + " ####\n     Continuing " + p +
           " ... \n\n";
}

void ProgramError(const char* prog, const char* text) {
    ProgramExit(std::cerr, ProgramErrorText(prog, text));
}

void ProgramUsageError(const char* prog, const char* text) {
    ProgramExit(std::cerr, ProgramErrorText(prog, text), 2);
}

void ProgramErrorCout(const char* prog, const char* text) {
    ProgramExit(std::cout, ProgramErrorText(prog, text));
}

void ProgramWarning(const char* prog, const char* text) {
    std::cerr << ProgramWarningText(prog, text) << std::flush;
}

void ProgramWarningCout(const char* prog, const char* text) {
    std::cout << ProgramWarningText(prog, text) << std::flush;
}

std::string ClassValidityText(const char* heading, const char* text, const char* closing) {
    return std::string("\n") + Text(heading) + Text(text) + " ****\n" + Text(closing) + "\n";
}

void ClassValidityReport(const char* heading, const char* text, const char* closing) {
    ProgramExit(std::cout, ClassValidityText(heading, text, closing));
}

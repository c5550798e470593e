#include "src/fReportExit.h"

#include <cstdlib>
#include <iostream>

const char* const kMemoryError = "PREMALO POMNILNIKA ZA RACUN";
const char* const kUnexpectedError = "NEPRICAKOVANA NAPAKA: ";

void ReportAndExit(std::ostream& out, const std::string& report, int status) {
    out << report;
    out.flush();
    std::cout.flush();
    std::cerr.flush();
    std::exit(status);
}

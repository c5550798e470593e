#include "PROGINC/VarCout.h"

#include <iomanip>
#include <iostream>
#include <ostream>

namespace {

// n copies of c as an empty text padded to width n with fill c.
void PutRun(std::ostream& out, char c, int n) {
    if (n > 0) out << std::setfill(c) << std::setw(n) << "";
    out << std::setfill(' ');
}

}  // namespace

void PrintChar(char c, int n, int nblank) {
    PutRun(std::cout, ' ', nblank);
    if (n > 0) {
        PutRun(std::cout, c, n);
        std::cout << std::endl;
    }
}

void PrintCharNoEndl(char c, int n) {
    PutRun(std::cout, c, n);
}

void PrintChar(char c, int n, std::fstream& out) {
    if (n > 0) {
        PutRun(out, c, n);
        out << std::endl;
    }
}

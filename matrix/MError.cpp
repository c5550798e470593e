#include "matrix/MError.h"

#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "PROGINC/ProgramExit.h"

namespace {

const char* const kFrame = "************************************************************\n";

const char* Text(const char* s) {
    return s ? s : "";
}

void ErrorHeading(std::ostream& out, const char* text) {
    out << "\n"
        << kFrame << "MATRIX::ERROR:\n"
        << "\n\t" << Text(text);
}

void WarningHeading(std::ostream& out, const char* text) {
    out << "\n"
        << kFrame << "MATRIX::WARNING:\n"
        << "\n\t" << Text(text);
}

// After the case line: an empty line, the frame and the closing words.
void ErrorClosing(std::ostream& out) {
    out << "\n\n" << kFrame << "Exiting program..." << std::endl << std::endl;
}

// The report is composed with the format state standard output has now, as
// if it were written there directly; the field width that the first write
// would have used up is used up on standard output as well.
template <class Writer>
[[noreturn]] void ExitWith(Writer write) {
    std::ostringstream text;
    text.copyfmt(std::cout);
    std::cout.width(0);
    write(text);
    ProgramExit(std::cout, text.str());
}

}  // namespace

namespace merror {

void PutError(std::ostream& out, const char* text, long i, long r) {
    ErrorHeading(out, text);
    out << std::setw(5) << i << " -> [" << std::setw(5) << 0 << "," << std::setw(5) << r << "]";
    ErrorClosing(out);
}

void PutError(std::ostream& out, const char* text, long a, long c1, long b, long c2) {
    ErrorHeading(out, text);
    out << "  [" << std::setw(5) << a << "," << std::setw(5) << c1 << "] -> [" << std::setw(5) << b
        << "," << std::setw(5) << c2 << "]";
    ErrorClosing(out);
}

void PutInvError(std::ostream& out, const char* text, long r, long c) {
    ErrorHeading(out, text);
    out << " [" << std::setw(5) << r << "," << std::setw(5) << c << "]";
    ErrorClosing(out);
}

void PutUError(std::ostream& out, const char* text, long n) {
    ErrorHeading(out, text);
    out << " [" << std::setw(5) << n << "]";
    ErrorClosing(out);
}

void PutInvError(std::ostream& out, const char* text, long double x, long j) {
    ErrorHeading(out, text);
    out << std::setw(10) << x << " 10**-15 " << std::setw(5) << j;
    ErrorClosing(out);
}

void PutInvWarning(std::ostream& out, const char* text, long double x, long j) {
    WarningHeading(out, text);
    out << std::setw(10) << x << " 10**-15 " << std::setw(5) << j << "\n\n" << kFrame;
}

void PutNormWarning(std::ostream& out, const char* text) {
    WarningHeading(out, text);
    out << "\n\n" << kFrame << "Continuing program..." << std::endl << std::endl;
}

void PutQrgivError(std::ostream& out, const char* text) {
    ErrorHeading(out, text);
    ErrorClosing(out);
}

void PutSubnormError(std::ostream& out, const char* text, long n, long r, long c) {
    ErrorHeading(out, text);
    out << " [" << std::setw(5) << r << "," << std::setw(5) << c << "] -> n = " << n;
    ErrorClosing(out);
}

}  // namespace merror

void Error(const char* text, long i, long r) {
    ExitWith([&](std::ostream& o) { merror::PutError(o, text, i, r); });
}

void Error(const char* text, long a, long c1, long b, long c2) {
    ExitWith([&](std::ostream& o) { merror::PutError(o, text, a, c1, b, c2); });
}

void invError(const char* text, long r, long c) {
    ExitWith([&](std::ostream& o) { merror::PutInvError(o, text, r, c); });
}

void UError(const char* text, long n) {
    ExitWith([&](std::ostream& o) { merror::PutUError(o, text, n); });
}

void invError(const char* text, long double x, long j) {
    ExitWith([&](std::ostream& o) { merror::PutInvError(o, text, x, j); });
}

void invWarning(const char* text, long double x, long j) {
    merror::PutInvWarning(std::cout, text, x, j);
}

void normWarning(const char* text) {
    merror::PutNormWarning(std::cout, text);
}

void qrgivError(const char* text) {
    ExitWith([&](std::ostream& o) { merror::PutQrgivError(o, text); });
}

void subnormError(const char* text, long n, long r, long c) {
    ExitWith([&](std::ostream& o) { merror::PutSubnormError(o, text, n, r, c); });
}

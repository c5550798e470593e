// Framed reports of the matrix library.
//
// Every report starts with an empty line, a frame of 60 asterisks and the
// heading "MATRIX::ERROR:" or "MATRIX::WARNING:", then a tab and the caller's
// text followed by the numbers of the case.  Numbers shown as "[w]" in the
// comments below are written right-aligned in a field of w characters with
// the stream's fill; a number wider than its field is written whole.
//
// All reports go to standard output.  The error printers leave through the
// seam of ProgramExit (status 1) and never return; the warnings return.
//
// Integer arguments are indices and sizes of a matrix (counted from 0).  They
// are taken as long so that any index a caller can pass is shown exactly.  A
// null text prints as an empty one.
#ifndef MATRIX_MERROR_H
#define MATRIX_MERROR_H

#include <ostream>

// Index i outside the valid range 0..r:
// "\t" text [5]i " -> [" [5]0 "," [5]r "]", then the closing frame.
[[noreturn]] void Error(const char* text, long i, long r);

// Position (a, c1) against (b, c2), e.g. a size mismatch of two matrices:
// "\t" text "  [" [5]a "," [5]c1 "] -> [" [5]b "," [5]c2 "]".
[[noreturn]] void Error(const char* text, long a, long c1, long b, long c2);

// A matrix of r rows and c columns that cannot be used (e.g. not set):
// "\t" text " [" [5]r "," [5]c "]".
[[noreturn]] void invError(const char* text, long r, long c);

// One number n: "\t" text " [" [5]n "]".
[[noreturn]] void UError(const char* text, long n);

// A value x (e.g. a pivot, in units of 1e-15) at position j of an inversion:
// "\t" text [10]x " 10**-15 " [5]j.  x is written in the current floating
// format of standard output (fixed, scientific, precision).
[[noreturn]] void invError(const char* text, long double x, long j);

// The same line as invError(text, x, j) under the warning heading; it ends
// with the closing frame line, writes no closing words and does not flush.
void invWarning(const char* text, long double x, long j);

// A warning with text only, closed by "Continuing program...".
void normWarning(const char* text);

// A failure of the QR decomposition by Givens rotations: text only.
[[noreturn]] void qrgivError(const char* text);

// An element of the subnormal range found at row r, column c of an n-sized
// problem: "\t" text " [" [5]r "," [5]c "] -> n = " n.  Row and column come
// first although n is the second argument.
[[noreturn]] void subnormError(const char* text, long n, long r, long c);

// The report bytes of each printer written onto any stream, with that
// stream's format state (fill, floating format).  The error variants include
// the closing "Exiting program..." and its two line ends.  The public printers
// above compose their text with these.
namespace merror {

void PutError(std::ostream& out, const char* text, long i, long r);
void PutError(std::ostream& out, const char* text, long a, long c1, long b, long c2);
void PutInvError(std::ostream& out, const char* text, long r, long c);
void PutUError(std::ostream& out, const char* text, long n);
void PutInvError(std::ostream& out, const char* text, long double x, long j);
void PutInvWarning(std::ostream& out, const char* text, long double x, long j);
void PutNormWarning(std::ostream& out, const char* text);
void PutQrgivError(std::ostream& out, const char* text);
void PutSubnormError(std::ostream& out, const char* text, long n, long r, long c);

}  // namespace merror

#endif  // MATRIX_MERROR_H

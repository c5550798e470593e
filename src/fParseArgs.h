// Reading of the command line into the settings record.
#ifndef SRC_FPARSEARGS_H
#define SRC_FPARSEARGS_H

#include <string>

#include "src/Havorkastilo.h"

// Longest warning text (characters, the terminator not counted).  A warning
// that would be longer, because of a long argument, is cut and ends in "...".
constexpr int kMaxWarningText = 511;

// Reads every argument in order into ptZ (the later of two position or epoch
// options wins; flags only ever become true).  Verbose mode is switched on
// first by any argument whose second character is v or V (the program path
// included), then the run timer is started.  Malformed options and bare words
// are warned about on standard error and skipped.  When the command line asks
// only for help, prints the help text and clears the run flag.
void ParseArguments(Havorkastilo& ptZ, int nargc, const char** cargv);

// The warning text for an argument, built from a format with one %s filled
// with Printable(argument), cut to kMaxWarningText characters (ending in
// "...") when the argument is long.
void WarnAboutArgument(const char* format, const char* argument);

// An argument as the messages quote it: the control bytes (below 0x20, and
// 0x7f) written as \n, \t, \r or \xhh (two lower-case hexadecimal digits),
// so that a message keeps its frame on its lines; every other byte (the
// backslash and bytes from 0x80 included) as it is.
std::string Printable(const std::string& text);

#endif  // SRC_FPARSEARGS_H

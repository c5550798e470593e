// The program's help text.
#ifndef SRC_FHELP_H
#define SRC_FHELP_H

#include <ostream>

// Writes the help text on standard output: 100 lines, each ended by an end of
// line, the first and the last two empty.
void pHelp();

// The same text on a given stream.
void pHelp(std::ostream& out);

// Number of lines of the help text, and line i (0-based; nullptr outside).
int HelpLineCount();
const char* HelpLine(int i);

#endif  // SRC_FHELP_H

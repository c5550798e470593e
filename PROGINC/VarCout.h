// Console printers of runs of one character (rules, underlines, indents).
//
// They write through the stream's fill and width settings and set the fill
// character back to a blank afterwards.
#ifndef PROGINC_VARCOUT_H
#define PROGINC_VARCOUT_H

#include <fstream>

// On standard output: nblank blanks when nblank > 0, then, when n > 0, n
// copies of c and an end of line.  With n <= 0 only the blanks are written
// and the line is not ended.
void PrintChar(char c, int n, int nblank);

// On standard output: n copies of c when n > 0, without an end of line.
void PrintCharNoEndl(char c, int n);

// On the file stream out: n copies of c and an end of line when n > 0.
void PrintChar(char c, int n, std::fstream& out);

#endif  // PROGINC_VARCOUT_H

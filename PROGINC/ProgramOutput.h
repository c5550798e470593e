// Banners on standard output, and the text fields of the program's title.
#ifndef PROGINC_PROGRAMOUTPUT_H
#define PROGINC_PROGRAMOUTPUT_H

// Text fields of a program title banner, zero-filled at start.  This program
// never fills them.
namespace POut {
extern char ProgramName[128];
extern char ProgramDescription[128];
extern char Author[64];
extern char ValidationDate[64];
extern char Release[64];
}  // namespace POut

// Number of "=" characters in the rules of ProgramSubTitle.
constexpr int kSubTitleRule = 110;

// On standard output, each line indented by nblak blanks (none when
// nblak <= 0): a rule of 110 "=", the subtitle, a rule of 110 "=", then one
// empty line.  A null subtitle prints as an empty one.
void ProgramSubTitle(const char* subtitle, int nblak);

#endif  // PROGINC_PROGRAMOUTPUT_H

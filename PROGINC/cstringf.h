// Helpers on null-terminated character strings.
//
// They work in place on buffers owned by the caller, allocate nothing and
// report nothing.  The caller guarantees that every output buffer is large
// enough for the text written into it.  A null pointer is treated as an empty
// text (an output that is null is not written).  Indices and counts start at
// 0; counts that are negative count as 0.
#ifndef PROGINC_CSTRINGF_H
#define PROGINC_CSTRINGF_H

// Copies at most dol characters of str1 from index pos into str2, stopping at
// the end of str1, and terminates str2.  A pos outside 0..strlen(str1) gives
// the empty text.
void substr(const char* str1, int pos, int dol, char* str2);

// Copies str1 from index pos to its end, terminator included.  A pos outside
// 0..strlen(str1) gives the empty text.
void substr(const char* str1, int pos, char* str2);

// Index of the last occurrence of c in str, searched from the terminator's
// index down to 0 (so c = 0 gives the length); -1 when c does not occur.
int indexLast(char* str, char c);

// Writes nx copies of c into str and terminates it.
void strcopy(char* str, char c, int nx);

// Writes nznak copies of znak into niz and terminates it.
void strng(char* niz, char znak, long nznak);

// Pads cstr with c from its current end up to finlen characters and
// terminates it at finlen, so a longer text is cut to finlen characters.
void fillstr(char* cstr, long finlen, char c);

// Removes trailing blanks (the blank character only).
void trimr(char* niz);

// Removes leading blanks by moving the rest of the text to the front.
void triml(char* niz);

// trimr, then triml.
void trim(char* niz);

// Number of words: maximal runs of characters that are not white space
// (std::isspace); 0 for an empty text.
int cwords(char* niz);

// Copies word number iw (counted from 1) of niz into wrd; wrd is empty when
// there is no such word.
void gword(char* niz, long iw, char* wrd);

// Replaces every character orig of the text by rep (the terminator is never
// replaced).
void creplace(char* niz, char orig, char rep);

// The same within the first n characters of the text.
void creplace(char* niz, char orig, char rep, long n);

// When ssOrig and ssRep have the same length: replaces in place every
// occurrence of ssOrig by ssRep, searching again from the start after each
// replacement.  Texts of different lengths, an empty search text or a text
// replaced by itself leave nizOrig unchanged.
void sreplace(char* nizOrig, char* ssOrig, char* ssRep);

// Scientific notation of x in a total width of nn characters, with nd
// decimals of the mantissa and ne digits of the signed exponent, written into
// snum (which is returned).  The exponent is E = floor(log10(|x|)) and the
// mantissa M = x * 10^-E; when |x| < 1e-15 both are 0.  M and E are printed
// with the format "%<nn-ne-1>.<nd>lfe%+0<ne>d": for nn = 12, nd = 4, ne = 3
// the format is "%8.4lfe%+03d" and 12345.678 gives "  1.2346e+04".
// A NaN or an infinity is printed as the mantissa with exponent 0.  Field
// widths and decimals are kept between 0 and 512.
char* sciNotation(double x, int nn, int nd, int ne, char* snum);

// The same for an extended-precision value: E is found in extended precision,
// the mantissa is printed in double precision.
char* sciNotation(long double x, int nn, int nd, int ne, char* snum);

// Overwrites niz from index ix with the characters of iniz, stopping at the
// end of niz (it is never lengthened).
void instr(char* niz, int ix, const char* iniz);

// Converts niz in place to lower or to upper case (std::tolower, toupper).
void slower(char* niz);
void supper(char* niz);

#endif  // PROGINC_CSTRINGF_H

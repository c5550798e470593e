// Checks of option values for strict input (-s, and the comma-separated
// output, which implies it).
//
// The lenient readers of ParseArgument take whatever they can from a value:
// an unreadable number reads as 0, a one-digit month shifts every later date
// field, an exponent starts the next field.  A pipeline must not compute a
// full result for a value it misread, so in strict mode every value is first
// held to its documented form here, and the same readers then read the value
// that passed.  Each check returns nullptr for an accepted value, or else the
// text (Slovenian, upper case, as the program's messages are) of what is
// wrong; the caller frames it with the option and the value.
#ifndef PROGINC_STRICTARGUMENT_H
#define PROGINC_STRICTARGUMENT_H

#include <cstddef>

// A plain decimal number, all of text[0, n): an optional minus sign, then
// digits with at most one decimal point and at least one digit ("46", "-0.5",
// ".5", "46."); no plus sign, exponent or blank, since the lenient reader
// takes none of them.
bool IsPlainDecimal(const char* text, std::size_t n);

// Position value "F,L,H" (latitude, longitude, height) or "X,Y,Z": exactly
// three plain decimal numbers separated by commas, each at most 49
// characters (the longest number the reader converts).  notation is the
// option's third letter, lower case: 'd' packed degrees-minutes-seconds
// (D.MMSS, minutes and seconds below 60), 'c' decimal degrees, 'r' radians,
// 'x' Earth-fixed metres.  For the three geodetic notations the latitude must
// lie within +-90 degrees and the longitude within +-180 degrees (+-pi/2 and
// +-pi in radians, pi being the double 3.141592653589793).
const char* StrictPosition(const char* value, char notation);

// Calendar epoch "YYYY-MM-DD/hh:mm:ss" with an optional fraction of a second
// ".s..." (at least one digit): a digit in every digit position, these
// separators, nothing more.  Year 1901 to 2199, month 1 to 12, a day of that
// month, hour 0 to 23, minute 0 to 59, second below 60.  On success *second
// is the seconds field read in full (the lenient reader converts only its
// first 9 characters).
const char* StrictDate(const char* value, double* second);

// Time step "h", "h:m" or "h:m:s" of digits, the seconds with an optional
// fraction (".5"); the hours and the minutes within the range of int (the
// step reader reads them as ints; leading zeros do not count), at most 31
// characters in all (the longest value the step reader takes), and a step of
// at least 1e-7 s.  A step of that form whose hours or minutes exceed the
// range of int is too large (kStrictStepTooLarge), whatever its length.
const char* StrictStep(const char* value);

// The messages of the checks, for the manual page and the tests.
extern const char* const kStrictPositionForm;    // not three numbers separated by commas
extern const char* const kStrictLatitudeRange;   // latitude beyond +-90 degrees
extern const char* const kStrictLongitudeRange;  // longitude beyond +-180 degrees
extern const char* const kStrictDmsField;        // minutes or seconds of D.MMSS not below 60
extern const char* const kStrictDateForm;        // not YYYY-MM-DD/hh:mm:ss.s
extern const char* const kStrictYear;            // year outside 1901..2199
extern const char* const kStrictMonth;           // month outside 1..12
extern const char* const kStrictDay;             // no such day in the month
extern const char* const kStrictHour;            // hour outside 0..23
extern const char* const kStrictMinute;          // minute outside 0..59
extern const char* const kStrictSecond;          // second not below 60
extern const char* const kStrictStepForm;        // step not h:m:s of digits
extern const char* const kStrictStepSize;        // step below 1e-7 s
extern const char* const kStrictEpochOrder;      // start epoch after the end epoch
// Hours or minutes of the step beyond the range of int; without strict
// input, the text of the warning about such a step.
extern const char* const kStrictStepTooLarge;

#endif  // PROGINC_STRICTARGUMENT_H

// Readers of the value part of a command-line option.
//
// Every reader takes the whole argument text and the index at which its value
// starts (3 for the program's options: "-", then two option letters).  None of
// them reports a syntax error: unreadable numbers read as 0, and only the
// range checks of the calendar epoch (ParseDate) can report an error.
//
// Number fields of ParseXYZ, ParseNEU and ParseFLH are maximal runs of the
// characters 0-9, '.' and '-'; each run is converted with atof (so 1-2 reads
// as 1, an empty run as 0), and exactly one separator character, whatever it
// is, follows it.  Only the first kMaxNumberField characters of a run are
// converted; the rest of an over-long run is skipped with it.
#ifndef PROGINC_PARSEARGUMENT_H
#define PROGINC_PARSEARGUMENT_H

#include "GNSS/flh.h"
#include "GNSS/neu.h"
#include "GNSS/xyz.h"
#include "GNSS/ymdhms.h"

// Longest number field that is converted (characters).
constexpr int kMaxNumberField = 49;
// Longest date or time field of ParseDate (characters; the seconds field is
// the longest), and longest value of ParseHMS.
constexpr int kMaxDateField = 9;
constexpr int kMaxHMSValue = 31;

// X, Y, Z [m] from "X,Y,Z" starting at index pos; sets X0 with xyz::Set.
void ParseXYZ(const char* argi, xyz& X0, int pos);

// North, east, up [m] from "N,E,U"; sets X0 with neu::Set.
void ParseNEU(const char* argi, neu& X0, int pos);

// Latitude, longitude, height from "F,L,H": the angles in the notation of
// flhns::Unit (0 radians, 1 decimal degrees, 2 gon, 3 packed degrees-minutes-
// seconds D.MMSS), the height in metres; sets X0 with flh::Set in radians and
// metres.  Any other notation leaves X0 unchanged.
void ParseFLH(const char* argi, flh& X0, int pos);

// Calendar epoch "YYYY-MM-DD/hh:mm:ss.s" read by fixed positions counted from
// npos (year 0-3, month 5-6, day 8-9, hour 11-12, minute 14-15, second from 17
// to the end), whatever the separators are; the fields are set one by one
// through the validating setters of ymdhms, so an invalid field ends the
// program with the calendar epoch's report.
void ParseDate(const char* argi, ymdhms& dat, int npos);

// Date only, "YYYY-MM-DD": hour, minute and second 0.
void ParseYMD(const char* argi, ymdhms& dat, int npos);

// Time span "h:m:s" read like the pattern "%d:%d:%Lf" (fields that cannot be
// read stay 0; signs per field): h * 3600 + 60 * m (in double precision) + s,
// in seconds.  An integer field beyond the range of int keeps the low 32 bits
// of its value held at the limits of long, as the C library's "%d" does.
long double ParseHMS(const char* argi, int npos);

// The same, and whether every whole field read (hours, minutes) lies within
// the range of int: fieldsFit is false when one does not, and the span
// returned is then no reading of the value (the command line warns about it
// and skips it).
long double ParseHMS(const char* argi, int npos, bool& fieldsFit);

#endif  // PROGINC_PARSEARGUMENT_H

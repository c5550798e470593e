// What a run of the program may leave behind, whatever its arguments were.
//
// The program promises one of four outcomes for any argument vector:
//   - status 0 with the help text, exactly, on standard output;
//   - status 0 with the two heading lines of the result table followed only by
//     well-formed rows (no nan, no inf) on standard output, or, when -oc is
//     the layout chosen last, the header line of the comma-separated output
//     followed only by well-formed lines;
//   - status 1 after one framed report: a field of an epoch that the calendar
//     or the day count rejects (on standard output), or a station at the
//     geocentre (on standard error);
//   - with strict input (-s, or -oc chosen last), status 2 after one framed
//     error of strict input on standard error, and nothing on standard output.
// Standard error holds only the program's own kinds of text: empty lines,
// warning frames naming a skipped argument (never with strict input), verbose echo lines beginning with
// "Havorkastilo" (only when an argument switched verbose mode on), and the
// error frame.  A verbose run that computes a table closes standard error with
// the closing line and two empty lines.
//
// CheckOutcome is shared by the fuzz target and the randomized command-line
// test, so that both hold the program to the same promises.  It needs
// testsupport::ParseRow (tests/support/table.cpp).
#ifndef FUZZ_OUTCOME_CHECK_H
#define FUZZ_OUTCOME_CHECK_H

#include <cstddef>
#include <string>
#include <vector>

#include "support/table.h"

namespace outcomecheck {

inline const std::string kHeader =
    "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
    "LAm[deg]    FIm[deg]        Rm[km]";
inline const std::string kRule = "#" + std::string(121, '-');

inline const std::string kWarningHead = "\n#### Havorkastilo: Warning -> ";
inline const std::string kWarningTail = " ####\n     Continuing Havorkastilo ... \n\n";
inline const std::string kEcho = "Havorkastilo";
inline const std::string kClosingHead = "Havorkastilo: ***** SUCCESFULLY ENDING PROGRAM [";
inline const std::string kClosingTail = " s] *****!\n\n\n";

// Warnings whose text does not depend on the argument.
inline const char* const kFixedWarnings[] = {
    "NASTAVITEV POLOZAJA TOCKE NAPACNO [ uporabi -p[d|c|r|x]",
    "NASTAVITEV CASOVNIH PARAMETROV NAPACNO [ uporabi -e[1|2|d]",
    "NASTAVITEV GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi -g[k|o[S|L|N]]",
    "NASTAVITEV ORTOGONALNE GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi -go[S|L|N]",
};
// Warnings that name the argument, and the longest warning text.
inline const char* const kArgumentWarnings[] = {"NEPOZNAN PARAMETER: ", " - PARAMETHER NUJEN ->  "};
constexpr std::size_t kMaxWarningText = 511;
// The warning about a step whose hours or minutes lie beyond int: the text,
// the option in brackets and its value in quotes.
inline const char* const kStepTooLarge = "CASOVNI KORAK JE PREVELIK";

// The fatal reports a command line can reach.
inline const char* const kCalendarFields[] = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND"};
inline const char* const kDayCountFields[] = {"MJDAY", "SECOND"};
// Beginnings of the texts of strict input's errors: what is wrong and the
// option in brackets, or a warning's text and the quoted argument.
inline const char* const kStrictTexts[] = {
    "POLOZAJ TOCKE NI ZAPISAN S TREMI STEVILI, LOCENIMI Z VEJICO [ ",
    "GEODETSKA SIRINA NI MED -90 IN 90 STOPINJ [ ",
    "GEODETSKA DOLZINA NI MED -180 IN 180 STOPINJ [ ",
    "MINUTE ALI SEKUNDE KOTA NISO MANJSE OD 60 [ ",
    "EPOHA NI ZAPISANA KOT YYYY-MM-DD/hh:mm:ss.s [ ",
    "LETO NI MED 1901 IN 2199 [ ",
    "MESEC NI MED 1 IN 12 [ ",
    "DNEVA NI V MESECU [ ",
    "URA NI MED 0 IN 23 [ ",
    "MINUTA NI MED 0 IN 59 [ ",
    "SEKUNDA NI MANJSA OD 60 [ ",
    "CASOVNI KORAK NI ZAPISAN KOT hh:mm:ss.s, hh:mm ALI hh [ ",
    "CASOVNI KORAK JE MANJSI OD 1e-7 s [ ",
    "CASOVNI KORAK JE PREVELIK [ ",
    "ZACETNA EPOHA JE ZA KONCNO EPOHO [ -e1, -e2 ]: \"",
    "STEVILO NITI NI CELO STEVILO OD 0 DO 256 [ ",
    "NEPOZNAN PARAMETER: \"",
    " - PARAMETHER NUJEN ->  \"",
    "NASTAVITEV POLOZAJA TOCKE NAPACNO [ uporabi -p[d|c|r|x]: \"",
    "NASTAVITEV CASOVNIH PARAMETROV NAPACNO [ uporabi -e[1|2|d]: \"",
    "NASTAVITEV GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi -g[k|o[S|L|N]]: \"",
    "NASTAVITEV ORTOGONALNE GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi -go[S|L|N]: \"",
};
inline const std::string kErrorHead = "\n**** Havorkastilo: Error -> ";
inline const std::string kErrorTail = " ****\n     Exiting Havorkastilo ... \n\n";
inline const std::string kCsvHeader =
    "utc,mjd,sod,dn_m,de_m,du_m,dx_m,dy_m,dz_m,sun_lon_deg,sun_lat_deg,sun_dist_km,"
    "moon_lon_deg,moon_lat_deg,moon_dist_km";

inline const std::string kGeocentreReport =
    "\n**** Havorkastilo: Error -> POLOZAJ TOCKE JE V SREDISCU ZEMLJE [ X = Y = Z = 0 ] - SMER "
    "TOCKE NI DOLOCENA ****\n     Exiting Havorkastilo ... \n\n";

inline bool StartsAt(const std::string& s, std::size_t pos, const std::string& part) {
    return s.size() >= pos && s.size() - pos >= part.size() &&
           s.compare(pos, part.size(), part) == 0;
}

inline bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// An argument as the messages quote it: bytes below 0x20 and 0x7f written as
// \n, \t, \r or \x and two lower-case hexadecimal digits, every other byte
// as it is.
inline std::string Quoted(const std::string& arg) {
    std::string q;
    for (char ch : arg) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            q += "\\n";
        } else if (c == '\t') {
            q += "\\t";
        } else if (c == '\r') {
            q += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            const char hex[] = "0123456789abcdef";
            q += std::string("\\x") + hex[c / 16] + hex[c % 16];
        } else {
            q += ch;
        }
    }
    return q;
}

inline std::string CutWarning(std::string text) {
    if (text.size() > kMaxWarningText) text = text.substr(0, kMaxWarningText - 3) + "...";
    return text;
}

// The text of the warning about argument arg, cut as the program cuts it.
inline std::string ArgumentWarning(const char* prefix, const std::string& arg) {
    return CutWarning(prefix + Quoted(arg));
}

// The warning about a step option (-ed and its case mixes) whose hours or
// minutes lie beyond int; empty for any other argument.
inline std::string StepWarning(const std::string& arg) {
    if (arg.size() < 3 || arg[0] != '-' || (arg[1] != 'e' && arg[1] != 'E') ||
        (arg[2] != 'd' && arg[2] != 'D'))
        return "";
    return CutWarning(std::string(kStepTooLarge) + " [ " + arg.substr(0, 3) + " ]: \"" +
                      Quoted(arg.substr(3)) + "\"");
}

// Checks that out, from byte 0 to end, is the heading lines and then whole
// well-formed rows; counts the rows.  Empty when it is.
inline std::string CheckTable(const std::string& out, std::size_t end, std::size_t& rows) {
    rows = 0;
    const std::string head = kHeader + "\n" + kRule + "\n";
    if (end < head.size() || out.compare(0, head.size(), head) != 0)
        return "standard output does not begin with the table heading";
    std::size_t pos = head.size();
    while (pos < end) {
        const std::size_t nl = out.find('\n', pos);
        if (nl == std::string::npos || nl >= end)
            return "unfinished row: [" + out.substr(pos, end - pos) + "]";
        testsupport::TableRow row;
        std::string why;
        if (!testsupport::ParseRow(out.substr(pos, nl - pos), row, &why))
            return "row " + std::to_string(rows + 1) + ": " + why;
        ++rows;
        pos = nl + 1;
    }
    return "";
}

// The same for the comma-separated output: its header line, then whole
// well-formed lines.
inline std::string CheckCsv(const std::string& out, std::size_t end, std::size_t& rows) {
    rows = 0;
    const std::string head = kCsvHeader + "\n";
    if (end < head.size() || out.compare(0, head.size(), head) != 0)
        return "standard output does not begin with the header of the comma-separated output";
    std::size_t pos = head.size();
    while (pos < end) {
        const std::size_t nl = out.find('\n', pos);
        if (nl == std::string::npos || nl >= end)
            return "unfinished line: [" + out.substr(pos, end - pos) + "]";
        testsupport::CsvRow row;
        std::string why;
        if (!testsupport::ParseCsvRow(out.substr(pos, nl - pos), row, &why))
            return "line " + std::to_string(rows + 1) + ": " + why;
        ++rows;
        pos = nl + 1;
    }
    return "";
}

// Lower-case form of an argument, for the case-insensitive option letters.
inline std::string Lower(std::string a) {
    for (char& c : a)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return a;
}

// Whether the comma-separated output is the layout chosen last.
inline bool CsvWanted(const std::vector<std::string>& args) {
    bool csv = false;
    for (const std::string& a : args) {
        if (Lower(a) == "-oc") csv = true;
        if (Lower(a) == "-ot") csv = false;
    }
    return csv;
}

// Whether input is strict: -s, or the comma-separated output.
inline bool StrictWanted(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (Lower(a) == "-s") return true;
    return CsvWanted(args);
}

// The length of the error of strict input at the end of err (0 if none).
inline std::size_t StrictErrorAtEnd(const std::string& err) {
    if (!EndsWith(err, kErrorTail)) return 0;
    const std::size_t end = err.size() - kErrorTail.size();
    // The quoted argument may itself hold the frame's words: the report is
    // the first frame that begins one of the texts and runs to the end.
    for (std::size_t head = err.find(kErrorHead); head != std::string::npos && head < end;
         head = err.find(kErrorHead, head + 1)) {
        const std::size_t at = head + kErrorHead.size();
        if (at > end || end - at > kMaxWarningText) continue;
        for (const char* text : kStrictTexts)
            if (StartsAt(err, at, text)) return err.size() - head;
    }
    return 0;
}

// The length of the class validity report at the end of out (0 if none):
// "\n**** <cls>: Error -> <FIELD> not valid ****\n     Exiting class <cls> ... \n".
inline std::size_t ClassReportAtEnd(const std::string& out) {
    struct Kind {
        const char* cls;
        const char* const* fields;
        std::size_t n;
    };
    const Kind kinds[] = {{"ymdhms", kCalendarFields, 6}, {"mjd", kDayCountFields, 2}};
    for (const Kind& k : kinds) {
        for (std::size_t f = 0; f < k.n; ++f) {
            const std::string cls = k.cls;
            const std::string report = "\n**** " + cls + ": Error -> " + k.fields[f] +
                                       " not valid ****\n     Exiting class " + cls + " ... \n";
            if (EndsWith(out, report)) return report.size();
        }
    }
    return 0;
}

// Whether any argument (the program path included) switches verbose mode on.
inline bool VerboseWanted(const std::string& argv0, const std::vector<std::string>& args) {
    auto v = [](const std::string& a) { return a.size() >= 2 && (a[1] == 'v' || a[1] == 'V'); };
    if (v(argv0)) return true;
    for (const std::string& a : args)
        if (v(a)) return true;
    return false;
}

// Whether err ends with the closing line of a verbose run, its processor time
// in seconds with three decimals, and two empty lines.
inline bool ClosingLineAtEnd(const std::string& err) {
    if (!EndsWith(err, kClosingTail)) return false;
    const std::size_t end = err.size() - kClosingTail.size();
    const std::size_t nl = err.rfind('\n', end);
    const std::size_t from = nl == std::string::npos ? 0 : nl + 1;
    if (!StartsAt(err, from, kClosingHead)) return false;
    const std::string number =
        err.substr(from + kClosingHead.size(), end - from - kClosingHead.size());
    const std::size_t dot = number.find('.');
    if (dot == std::string::npos || dot == 0 || number.size() - dot != 4) return false;
    for (std::size_t i = 0; i < number.size(); ++i)
        if (i != dot && (number[i] < '0' || number[i] > '9')) return false;
    return true;
}

// Checks standard error from byte 0 to end: empty lines, warning frames (in
// the order of the arguments they name; none when !warnings), and, in verbose
// mode, echo lines.  The last echo line may stay unfinished when
// unfinishedAllowed.
inline std::string CheckErrorStream(const std::string& err, std::size_t end,
                                    const std::vector<std::string>& args, bool verbose,
                                    bool unfinishedAllowed, bool warnings = true) {
    std::size_t pos = 0;
    std::size_t next = 0;  // warnings name the arguments in their order
    while (pos < end) {
        if (StartsAt(err, pos, kWarningHead)) {
            if (!warnings) return "a warning with strict input: [" + err.substr(pos, 200) + "]";
            const std::size_t at = pos + kWarningHead.size();
            std::size_t length = 0;
            for (const char* text : kFixedWarnings) {
                if (StartsAt(err, at, std::string(text) + kWarningTail)) {
                    length = std::string(text).size();
                    break;
                }
            }
            for (std::size_t i = next; length == 0 && i < args.size(); ++i) {
                const std::string step = StepWarning(args[i]);
                if (!step.empty() && StartsAt(err, at, step + kWarningTail)) {
                    length = step.size();
                    next = i + 1;
                    break;
                }
                for (const char* prefix : kArgumentWarnings) {
                    const std::string text = ArgumentWarning(prefix, args[i]);
                    if (StartsAt(err, at, text + kWarningTail)) {
                        length = text.size();
                        next = i + 1;
                        break;
                    }
                }
            }
            if (length == 0)
                return "unexpected warning at byte " + std::to_string(pos) + ": [" +
                       err.substr(pos, 200) + "]";
            pos = at + length + kWarningTail.size();
            if (pos > end) return "warning frame runs into the error report";
            continue;
        }
        if (err[pos] == '\n') {
            ++pos;
            continue;
        }
        if (StartsAt(err, pos, kEcho)) {
            if (!verbose) return "echo line without verbose mode: [" + err.substr(pos, 200) + "]";
            const std::size_t nl = err.find('\n', pos);
            if (nl == std::string::npos || nl >= end) {
                if (!unfinishedAllowed)
                    return "unfinished echo line: [" + err.substr(pos, end - pos) + "]";
                pos = end;
            } else {
                pos = nl + 1;
            }
            continue;
        }
        return "stray text on standard error at byte " + std::to_string(pos) + ": [" +
               err.substr(pos, 200) + "]";
    }
    return "";
}

// Empty when (status, out, err) is one of the outcomes the program promises
// for the arguments args (without the program path argv0); otherwise the
// reason.  help is the help text; rows receives the number of table rows.
inline std::string CheckOutcome(const std::string& argv0, const std::vector<std::string>& args,
                                const std::string& help, int status, const std::string& out,
                                const std::string& err, std::size_t* rows = nullptr) {
    const bool verbose = VerboseWanted(argv0, args);
    const bool csv = CsvWanted(args), strict = StrictWanted(args);
    std::size_t n = 0;
    if (rows) *rows = 0;
    // With strict input no argument is warned about and skipped.
    const bool warnings = !strict;
    if (status == 0) {
        if (out != help) {
            const std::string why = csv ? CheckCsv(out, out.size(), n) : CheckTable(out, out.size(), n);
            if (!why.empty()) return why;
            if (rows) *rows = n;
            if (verbose && !ClosingLineAtEnd(err)) return "verbose run without the closing line";
        }
        return CheckErrorStream(err, err.size(), args, verbose, false, warnings);
    }
    if (status == 2) {
        if (!strict) return "status 2 without strict input";
        if (!out.empty()) return "standard output after a refused command line";
        const std::size_t r = StrictErrorAtEnd(err);
        if (r == 0) return "status 2 without the framed error of strict input";
        return CheckErrorStream(err, err.size() - r, args, verbose, true, false);
    }
    if (status != 1) return "exit status " + std::to_string(status);

    // Status 1: exactly one report, at the end of one stream; before it the
    // other stream's text and a table that may have begun.
    std::size_t outEnd = out.size();
    std::size_t errEnd = err.size();
    if (const std::size_t r = ClassReportAtEnd(out)) {
        outEnd -= r;
    } else if (EndsWith(err, kGeocentreReport)) {
        errEnd -= kGeocentreReport.size();
    } else {
        return "status 1 without a framed report";
    }
    if (outEnd > 0) {
        const std::string why = csv ? CheckCsv(out, outEnd, n) : CheckTable(out, outEnd, n);
        if (!why.empty()) return "before the report: " + why;
        if (rows) *rows = n;
    }
    // An echo line begun before the failing value stays unfinished above the
    // report, whichever stream the report is on.
    return CheckErrorStream(err, errEnd, args, verbose, true, warnings);
}

}  // namespace outcomecheck

#endif  // FUZZ_OUTCOME_CHECK_H

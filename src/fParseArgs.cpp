#include "src/fParseArgs.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "GNSS/TimeConverse.h"
#include "GNSS/xyz_flh.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ParseArgument.h"
#include "PROGINC/ProgramError.h"
#include "PROGINC/ProgramUtil.h"
#include "PROGINC/StrictArgument.h"
#include "src/fHelp.h"

namespace {

const char* const kEcho = "::ParseArguments():         ";

const char* const kPositionWarning = "NASTAVITEV POLOZAJA TOCKE NAPACNO [ uporabi -p[d|c|r|x]";
const char* const kEpochWarning = "NASTAVITEV CASOVNIH PARAMETROV NAPACNO [ uporabi -e[1|2|d]";
const char* const kGeometryWarning =
    "NASTAVITEV GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi -g[k|o[S|L|N]]";
const char* const kOrthoWarning =
    "NASTAVITEV ORTOGONALNE GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi -go[S|L|N]";
const char* const kUnknownFormat = "NEPOZNAN PARAMETER: %s";
const char* const kBareWordFormat = " - PARAMETHER NUJEN ->  %s";
// The same in strict mode, with the argument in quotes.
const char* const kUnknownStrictFormat = "NEPOZNAN PARAMETER: \"%s\"";
const char* const kBareWordStrictFormat = " - PARAMETHER NUJEN ->  \"%s\"";

const char* const kThreadsRange = "STEVILO NITI NI CELO STEVILO OD 0 DO 256";

// The epochs of the settings record's defaults, as they would be written on
// the command line (quoted when strict mode refuses their order).
const char* const kDefaultStart = "2019-01-17/00:00:00";
const char* const kDefaultEnd = "2019-01-17/23:59:59";

std::ostream& Echo() {
    return std::cerr << kProgramName << kEcho;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The argument is exactly the option `lower` (letters in either case).
bool Is(const char* a, const char* lower) {
    for (; *lower; ++a, ++lower)
        if (Lower(*a) != *lower) return false;
    return *a == '\0';
}

// Text cut to the longest warning, ending in "..." when it was longer.
std::string Cut(std::string text) {
    if (text.size() > static_cast<std::size_t>(kMaxWarningText))
        text = text.substr(0, kMaxWarningText - 3) + "...";
    return text;
}

std::string Formatted(const char* format, const char* argument) {
    char text[kMaxWarningText + 1];
    const int n =
        std::snprintf(text, sizeof text, format, Printable(argument ? argument : "").c_str());
    if (n > kMaxWarningText) std::memcpy(text + kMaxWarningText - 3, "...", 4);
    return text;
}

// A malformed argument: warned about and skipped, or in strict mode the end
// of the run (status 2).  text is the warning; strict mode quotes the whole
// argument after it.
void Malformed(const Havorkastilo& ptZ, const char* text, const char* a) {
    if (!ptZ.strict) {
        ProgramWarning(kProgramName, text);
        return;
    }
    ProgramUsageError(kProgramName, Cut(std::string(text) + ": \"" + Printable(a) + "\"").c_str());
}

// An argument that is no option of the program (format: one of the two
// argument formats above, non-strict form).
void NotAnOption(const Havorkastilo& ptZ, const char* format, const char* strictFormat,
                 const char* a) {
    if (!ptZ.strict) {
        WarnAboutArgument(format, a);
        return;
    }
    ProgramUsageError(kProgramName, Formatted(strictFormat, a).c_str());
}

// What is wrong with a value, the option (the first optionLength characters
// of the argument) in brackets and the value in quotes.
std::string ValueMessage(const char* text, const char* a, std::size_t optionLength) {
    const std::string arg(a);
    const std::size_t n = arg.size() < optionLength ? arg.size() : optionLength;
    return Cut(std::string(text) + " [ " + Printable(arg.substr(0, n)) + " ]: \"" +
               Printable(arg.substr(n)) + "\"");
}

// Strict mode's refusal of a value.
[[noreturn]] void RefuseValue(const char* text, const char* a, std::size_t optionLength) {
    ProgramUsageError(kProgramName, ValueMessage(text, a, optionLength).c_str());
}

void ParsePosition(Havorkastilo& ptZ, const char* a) {
    const char* unitText = nullptr;
    const char notation = Lower(a[2]);
    if (ptZ.strict && (notation == 'x' || notation == 'd' || notation == 'c' || notation == 'r')) {
        if (const char* fault = StrictPosition(a + 3, notation)) RefuseValue(fault, a, 3);
    }
    switch (a[2]) {
        case 'x':
        case 'X':
            ptZ.isposPT = true;
            ParseXYZ(a, ptZ.posX, 3);
            ptZ.posG = xyz2flh(ptZ.posX, ptZ.elps);
            if (ptZ.GetVerbose()) Echo() << "Polozaj tocke [xyz]: " << ptZ.posX << std::endl;
            return;
        case 'd':
        case 'D':
            flhns::Unit = flhns::DMS;
            unitText = "Polozaj tocke [dms]: ";
            break;
        case 'c':
        case 'C':
            flhns::Unit = flhns::DEG;
            unitText = "Polozaj tocke [deg]: ";
            break;
        case 'r':
        case 'R':
            flhns::Unit = flhns::RAD;
            unitText = "Polozaj tocke [rad]: ";
            break;
        default:
            Malformed(ptZ, kPositionWarning, a);
            return;
    }
    ptZ.isposPT = true;
    ParseFLH(a, ptZ.posG, 3);
    ptZ.posX = flh2xyz(ptZ.posG, ptZ.elps);
    if (ptZ.GetVerbose()) Echo() << unitText << ptZ.posG << std::endl;
}

// The values of the last -e1 and -e2, for strict mode's check of their order.
struct EpochTexts {
    const char* start = kDefaultStart;
    const char* end = kDefaultEnd;
};

void ParseEpochOption(Havorkastilo& ptZ, const char* a, ymdhms& scratch, EpochTexts& texts) {
    switch (a[2]) {
        case '1':
        case '2': {
            const bool start = a[2] == '1';
            double second = 0;
            if (ptZ.strict) {
                if (const char* fault = StrictDate(a + 3, &second)) RefuseValue(fault, a, 3);
                (start ? texts.start : texts.end) = a + 3;
            }
            // The echo is begun before the date is read, so that a date the
            // calendar rejects leaves the line unfinished above its report.
            if (ptZ.GetVerbose()) Echo() << (start ? "Zacetna epoha: " : "Koncna epoha: ");
            ParseDate(a, scratch, 3);
            // Strict mode reads the seconds in full, not only their first 9 characters.
            if (ptZ.strict) scratch.SetSecond(second);
            if (ptZ.GetVerbose()) std::cerr << scratch << "!" << std::endl;
            if (start) {
                ptZ.stE = ymdhms2mjd(scratch);
                ptZ.isStart = true;
            } else {
                ptZ.enE = ymdhms2mjd(scratch);
                ptZ.isEnd = true;
            }
            return;
        }
        case 'd':
        case 'D': {
            if (ptZ.strict) {
                if (const char* fault = StrictStep(a + 3)) RefuseValue(fault, a, 3);
            }
            // Hours or minutes beyond int would wrap to some other step: the
            // value is warned about and skipped, like any malformed option.
            bool fieldsFit = true;
            const long double dt = ParseHMS(a, 3, fieldsFit);
            if (!fieldsFit) {
                ProgramWarning(kProgramName, ValueMessage(kStrictStepTooLarge, a, 3).c_str());
                return;
            }
            ptZ.isDt = true;
            ptZ.dt = dt;
            if (ptZ.GetVerbose()) Echo() << "Casovni interval: " << ptZ.dt << " s!" << std::endl;
            return;
        }
        default:
            Malformed(ptZ, kEpochWarning, a);
    }
}

void ParseGeometry(Havorkastilo& ptZ, const char* a) {
    const char* text = nullptr;
    // Strict mode takes the geometry options exactly, without trailing letters.
    if (ptZ.strict && !(Is(a, "-gk") || Is(a, "-gos") || Is(a, "-gol") || Is(a, "-gon"))) {
        const bool ortho = Lower(a[2]) == 'o';
        Malformed(ptZ, ortho ? kOrthoWarning : kGeometryWarning, a);
    }
    switch (a[2]) {
        case 'k':
        case 'K':
            ptZ.SetCoLinear = true;
            text = "Nastavi Sonce, Luno in tocko \"KOLINEARNO\"!";
            break;
        case 'o':
        case 'O':
            switch (a[3]) {
                case 's':
                case 'S':
                    ptZ.setOrthoSun = true;
                    text = "Nastavi Sonce, Luno in tocko \"ORTOGONALNO\" - kulminacija SONCA!";
                    break;
                case 'l':
                case 'L':
                    ptZ.setOrthoMoon = true;
                    text = "Nastavi Sonce, Luno in tocko \"ORTOGONALNO\" - kulminacija LUNE!";
                    break;
                case 'n':
                case 'N':
                    ptZ.setOrthoNone = true;
                    text =
                        "Nastavi Sonce, Luno in tocko \"ORTOGONALNO\" - oba ortogonalna na "
                        "tocko!";
                    break;
                default:
                    Malformed(ptZ, kOrthoWarning, a);
                    return;
            }
            break;
        default:
            Malformed(ptZ, kGeometryWarning, a);
            return;
    }
    if (ptZ.GetVerbose()) Echo() << text << std::endl;
}

// -oc, -ot: the output layout (the later wins).  Anything else beginning
// with -o is no option of the program.
void ParseOutput(Havorkastilo& ptZ, const char* a) {
    if (Is(a, "-oc")) {
        ptZ.output = OutputFormat::Csv;
        if (ptZ.GetVerbose())
            Echo() << "Izpis rezultatov: CSV (vrednosti, locene z vejico)!" << std::endl;
    } else if (Is(a, "-ot")) {
        ptZ.output = OutputFormat::Table;
        if (ptZ.GetVerbose()) Echo() << "Izpis rezultatov: TABELA!" << std::endl;
    } else {
        NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
    }
}

// -ms, -mp: the ephemeris of the Sun and the Moon (the later wins).
void ParseEphemeris(Havorkastilo& ptZ, const char* a) {
    if (Is(a, "-ms")) {
        ptZ.ephemeris = Ephemeris::Series;
        if (ptZ.GetVerbose())
            Echo() << "Efemeride Sonca in Lune: kratke analiticne vrste!" << std::endl;
    } else if (Is(a, "-mp")) {
        ptZ.ephemeris = Ephemeris::Precise;
        if (ptZ.GetVerbose())
            Echo() << "Efemeride Sonca in Lune: natancne, ERFA (IAU 2006/2000A)!" << std::endl;
    } else {
        NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
    }
}

// -s: strict input (set by the first pass); anything longer is no option.
void ParseStrict(const Havorkastilo& ptZ, const char* a) {
    if (Is(a, "-s")) {
        if (ptZ.GetVerbose()) Echo() << "Strogo preverjanje vhodnih parametrov!" << std::endl;
    } else {
        NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
    }
}

// -jN: worker threads, N from 0 (one per available processor) to kMaxThreads.
void ParseThreads(Havorkastilo& ptZ, const char* a) {
    unsigned n = 0;
    bool digits = a[2] != '\0';
    for (const char* p = a + 2; *p && digits; ++p) {
        digits = *p >= '0' && *p <= '9';
        if (digits && n <= kMaxThreads) n = n * 10 + static_cast<unsigned>(*p - '0');
    }
    if (!digits || n > kMaxThreads) {
        if (ptZ.strict) RefuseValue(kThreadsRange, a, 2);
        NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
        return;
    }
    ptZ.threads = n;
    if (ptZ.GetVerbose()) {
        Echo() << "Stevilo niti: " << (n ? n : AvailableProcessors());
        if (n == 0) std::cerr << " (vsa razpolozljiva jedra)";
        std::cerr << "!" << std::endl;
    }
}

bool OnlyHelpWanted(const Havorkastilo& ptZ, int n) {
    const bool v = ptZ.GetVerbose(), h = ptZ.GetPHelp();
    return n <= 1 || (v && n <= 2) || (h && n <= 2) || (h && v && n <= 3);
}

// The first pass: verbose mode, and strict mode, which applies to every
// argument and so must be known before the first one is read.  Strict mode
// comes with -s, or with the comma-separated output when it is the layout
// chosen last.
void FirstPass(Havorkastilo& ptZ, int nargc, const char** cargv) {
    bool strictAsked = false, csv = false;
    for (int i = 0; i < nargc; ++i) {
        const char* a = cargv[i];
        if (a && a[0] != '\0' && (a[1] == 'v' || a[1] == 'V')) ptZ.SetVerboseTrue();
        if (i == 0 || !a) continue;
        if (Is(a, "-s")) strictAsked = true;
        if (Is(a, "-oc")) csv = true;
        if (Is(a, "-ot")) csv = false;
    }
    ptZ.strict = strictAsked || csv;
}

}  // namespace

std::string Printable(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7f) {
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

void WarnAboutArgument(const char* format, const char* argument) {
    ProgramWarning(kProgramName, Formatted(format, argument).c_str());
}

void ParseArguments(Havorkastilo& ptZ, int nargc, const char** cargv) {
    FirstPass(ptZ, nargc, cargv);

    StartProg(ptZ.GetVerbose(), ": ***** PLIMOVANJE TRDNE ZEMLJE - STARTING APPLICATION *****");
    if (ptZ.GetVerbose())
        std::cerr << kProgramName << "::ParseArguments(): BRANJE VHODNIH PARAMETROV!" << std::endl;

    ymdhms scratch;  // 1980-01-01 00:00:00, shared by -e1 and -e2
    EpochTexts epochTexts;
    for (int i = 1; i < nargc; ++i) {
        const char* a = cargv[i] ? cargv[i] : "";
        if (a[0] != '-') {
            NotAnOption(ptZ, kBareWordFormat, kBareWordStrictFormat, a);
            continue;
        }
        switch (a[1]) {
            case 'p':
            case 'P':
                ParsePosition(ptZ, a);
                break;
            case 'e':
            case 'E':
                ParseEpochOption(ptZ, a, scratch, epochTexts);
                break;
            case 'g':
            case 'G':
                ParseGeometry(ptZ, a);
                break;
            case 'o':
            case 'O':
                ParseOutput(ptZ, a);
                break;
            case 's':
            case 'S':
                ParseStrict(ptZ, a);
                break;
            case 'j':
            case 'J':
                ParseThreads(ptZ, a);
                break;
            case 'm':
            case 'M':
                ParseEphemeris(ptZ, a);
                break;
            case 'v':
            case 'V':
                // Verbose mode is set by the first pass; strict mode takes -v exactly.
                if (ptZ.strict && !Is(a, "-v"))
                    NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
                break;
            case 'h':
            case 'H':
                if (ptZ.strict && !Is(a, "-h"))
                    NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
                ptZ.SetPHelpTrue();
                if (ptZ.GetVerbose()) Echo() << "Izpisi POMOC programa!" << std::endl;
                break;
            default:
                NotAnOption(ptZ, kUnknownFormat, kUnknownStrictFormat, a);
        }
    }

    if (OnlyHelpWanted(ptZ, nargc)) {
        pHelp();
        ptZ.SetRProgramFalse();
        return;
    }
    // A start after the end gives no rows (or, in verbose mode, the start
    // epoch alone); in strict mode it is a mistake of the command line.
    if (ptZ.strict && ptZ.stE > ptZ.enE) {
        ProgramUsageError(kProgramName, Cut(std::string(kStrictEpochOrder) + " [ -e1, -e2 ]: \"" +
                                            epochTexts.start + "\", \"" + epochTexts.end + "\"")
                                            .c_str());
    }
}

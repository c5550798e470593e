#include "src/fParseArgs.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#include "GNSS/TimeConverse.h"
#include "GNSS/xyz_flh.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ParseArgument.h"
#include "PROGINC/ProgramError.h"
#include "PROGINC/ProgramUtil.h"
#include "src/fHelp.h"

namespace {

const char* const kEcho = "::ParseArguments():         ";

std::ostream& Echo() {
    return std::cerr << kProgramName << kEcho;
}

void ParsePosition(Havorkastilo& ptZ, const char* a) {
    const char* unitText = nullptr;
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
            ProgramWarning(kProgramName, "NASTAVITEV POLOZAJA TOCKE NAPACNO [ uporabi -p[d|c|r|x]");
            return;
    }
    ptZ.isposPT = true;
    ParseFLH(a, ptZ.posG, 3);
    ptZ.posX = flh2xyz(ptZ.posG, ptZ.elps);
    if (ptZ.GetVerbose()) Echo() << unitText << ptZ.posG << std::endl;
}

void ParseEpochOption(Havorkastilo& ptZ, const char* a, ymdhms& scratch) {
    switch (a[2]) {
        case '1':
        case '2': {
            const bool start = a[2] == '1';
            // The echo is begun before the date is read, so that a date the
            // calendar rejects leaves the line unfinished above its report.
            if (ptZ.GetVerbose()) Echo() << (start ? "Zacetna epoha: " : "Koncna epoha: ");
            ParseDate(a, scratch, 3);
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
        case 'D':
            ptZ.isDt = true;
            ptZ.dt = ParseHMS(a, 3);
            if (ptZ.GetVerbose()) Echo() << "Casovni interval: " << ptZ.dt << " s!" << std::endl;
            return;
        default:
            ProgramWarning(kProgramName,
                           "NASTAVITEV CASOVNIH PARAMETROV NAPACNO [ uporabi -e[1|2|d]");
    }
}

void ParseGeometry(Havorkastilo& ptZ, const char* a) {
    const char* text = nullptr;
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
                    ProgramWarning(kProgramName,
                                   "NASTAVITEV ORTOGONALNE GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ "
                                   "uporabi -go[S|L|N]");
                    return;
            }
            break;
        default:
            ProgramWarning(kProgramName,
                           "NASTAVITEV GEOMETRIJE SONCE-LUNA-TOCKA NAPACNO [ uporabi "
                           "-g[k|o[S|L|N]]");
            return;
    }
    if (ptZ.GetVerbose()) Echo() << text << std::endl;
}

bool OnlyHelpWanted(const Havorkastilo& ptZ, int n) {
    const bool v = ptZ.GetVerbose(), h = ptZ.GetPHelp();
    return n <= 1 || (v && n <= 2) || (h && n <= 2) || (h && v && n <= 3);
}

}  // namespace

void WarnAboutArgument(const char* format, const char* argument) {
    char text[kMaxWarningText + 1];
    const int n = std::snprintf(text, sizeof text, format, argument ? argument : "");
    if (n > kMaxWarningText) std::memcpy(text + kMaxWarningText - 3, "...", 4);
    ProgramWarning(kProgramName, text);
}

void ParseArguments(Havorkastilo& ptZ, int nargc, const char** cargv) {
    for (int i = 0; i < nargc; ++i) {
        const char* a = cargv[i];
        if (a && a[0] != '\0' && (a[1] == 'v' || a[1] == 'V')) ptZ.SetVerboseTrue();
    }

    StartProg(ptZ.GetVerbose(), ": ***** PLIMOVANJE TRDNE ZEMLJE - STARTING APPLICATION *****");
    if (ptZ.GetVerbose())
        std::cerr << kProgramName << "::ParseArguments(): BRANJE VHODNIH PARAMETROV!" << std::endl;

    ymdhms scratch;  // 1980-01-01 00:00:00, shared by -e1 and -e2
    for (int i = 1; i < nargc; ++i) {
        const char* a = cargv[i] ? cargv[i] : "";
        if (a[0] != '-') {
            WarnAboutArgument(" - PARAMETHER NUJEN ->  %s", a);
            continue;
        }
        switch (a[1]) {
            case 'p':
            case 'P':
                ParsePosition(ptZ, a);
                break;
            case 'e':
            case 'E':
                ParseEpochOption(ptZ, a, scratch);
                break;
            case 'g':
            case 'G':
                ParseGeometry(ptZ, a);
                break;
            case 'v':
            case 'V':
                break;  // verbose mode is set by the first pass
            case 'h':
            case 'H':
                ptZ.SetPHelpTrue();
                if (ptZ.GetVerbose()) Echo() << "Izpisi POMOC programa!" << std::endl;
                break;
            default:
                WarnAboutArgument("NEPOZNAN PARAMETER: %s", a);
        }
    }

    if (OnlyHelpWanted(ptZ, nargc)) {
        pHelp();
        ptZ.SetRProgramFalse();
    }
}

// The settings record of a run: what the command line asked for, after the
// defaults and the repairs of the argument check.
#ifndef SRC_HAVORKASTILO_H
#define SRC_HAVORKASTILO_H

#include "GNSS/elipsoid.h"
#include "GNSS/flh.h"
#include "GNSS/SunMoon.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"
#include "PROGINC/ProgramUtil.h"  // kProgramName, the reporting party of every message

// Most worker threads -jN takes.
constexpr unsigned kMaxThreads = 256;

// Layout of the results on standard output.
enum class OutputFormat {
    Table,  // -ot: the fixed-width table (the default)
    Csv     // -oc: comma-separated values with a header line, metres, ISO 8601 UTC
};

class Havorkastilo {
    bool verbose;   // verbose mode (-v): settings echoes and timing on standard error
    bool phelp;     // the help text was asked for (-h)
    bool rProgram;  // the computation is to run; cleared when only the help text is printed

  public:
    flh posG;           // station, geodetic: latitude, longitude [rad], ellipsoidal height [m]
    xyz posX;           // station, Earth-fixed Cartesian [m]
    bool isposPT;       // a position option was given
    mjd stE;            // start epoch, first row of the table (UTC)
    mjd enE;            // end epoch, inclusive (UTC)
    long double dt;     // step between rows [s]
    bool isStart;       // -e1 was given
    bool isEnd;         // -e2 was given
    bool isDt;          // -ed was given
    bool SetCoLinear;   // -gk: Sun and Moon on the station's meridian
    bool setOrthoSun;   // -goS: Sun on the meridian, Moon 90 degrees east of it
    bool setOrthoMoon;  // -goL: Moon on the meridian, Sun 90 degrees east of it
    bool setOrthoNone;  // -goN: Sun 90 degrees east, Moon 90 degrees west
    elipsoid elps;      // reference ellipsoid of every geodetic conversion (GRS80)
    OutputFormat output;  // -ot / -oc, the later of the two
    bool strict;          // -s, or implied by -oc: a malformed argument ends the run, status 2
    unsigned threads;     // -jN: worker threads of the epoch loop; 0 = one per available processor
    Ephemeris ephemeris;  // -ms (short analytic series, the default) / -mp (ERFA), the later wins

    // Defaults: 46 degrees north, 15 degrees east, height 0 m (posX stays the
    // zero vector until the argument check derives it); MJD 58500 from 0 s to
    // 86399 s; step 3600 s; GRS80.
    Havorkastilo();

    bool GetVerbose() const { return verbose; }
    void SetVerboseTrue() { verbose = true; }
    bool GetPHelp() const { return phelp; }
    void SetPHelpTrue() { phelp = true; }
    bool GetRProgram() const { return rProgram; }
    void SetRProgramFalse() { rProgram = false; }
};

#endif  // SRC_HAVORKASTILO_H

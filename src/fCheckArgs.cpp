#include "src/fCheckArgs.h"

#include <cmath>
#include <iostream>

#include "GNSS/xyz_flh.h"
#include "PROGINC/ProgramError.h"

void CheckArguments(Havorkastilo& ptZ) {
    const bool verbose = ptZ.GetVerbose();
    if (verbose)
        std::cerr << kProgramName << "::CheckArguments(): KONTROLA VHODNIH PARAMETROV!"
                  << std::endl;

    if (verbose) std::cerr << kProgramName << "::CheckArguments():         Polozaj tocke";
    if (!ptZ.isposPT) {
        ptZ.posX = flh2xyz(ptZ.posG, ptZ.elps);
        if (verbose) {
            flhns::Unit = flhns::DMS;
            std::cerr << ": NI nastavljen - uporabljam polozaj [dms]: " << ptZ.posG;
        }
    }
    // The tide model needs the station's direction; the geocentre has none.
    if (ptZ.posX.GetX() == 0 && ptZ.posX.GetY() == 0 && ptZ.posX.GetZ() == 0)
        ProgramError(kProgramName, kGeocentreError);
    if (verbose) std::cerr << std::endl;

    if (verbose) std::cerr << kProgramName << "::CheckArguments():         Zacetna in koncna epoha";
    if (ptZ.stE > ptZ.enE && verbose) {
        std::cerr << ": NEUSKLAJENO zapordje: E1 > E2 ... popravljam E2 = E1";
        ptZ.enE = ptZ.stE;
    }
    if (verbose) std::cerr << std::endl;

    if (verbose) std::cerr << kProgramName << "::CheckArguments():         Casovni korak";
    if (!(ptZ.dt >= 1e-7) || !std::isfinite(ptZ.dt)) {
        if (verbose) std::cerr << ": NEPRAVILEN: dt = 0 ali dt < 0 ... popravljam dt = 1h";
        ptZ.dt = 3600;
    }
    if (verbose) std::cerr << std::endl;
}

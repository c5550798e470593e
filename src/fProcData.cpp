#include "src/fProcData.h"

#include <cmath>
#include <iomanip>
#include <iostream>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/g_lg.h"
#include "GNSS/neu.h"
#include "GNSS/xyz_flh.h"
#include "funkcije/KotnePretvorbe.h"

const char* const kOutputError = "REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD";

const char* const kTableHeader =
    "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
    "LAm[deg]    FIm[deg]        Rm[km]";
const char* const kTableRule =
    "#---------------------------------------------------------------------------------------"
    "----------------------------------";

namespace {

// A longitude [rad] of the geometry modes with its cosine and sine, found
// once for the whole table.
struct Meridian {
    long double la, cosla, sinla;
    explicit Meridian(long double l) : la(l), cosla(std::cos(l)), sinla(std::sin(l)) {}
};

// Turns the direction `body` (a unit vector) about the polar axis to the
// longitude m.la, keeping its latitude and height on the ellipsoid.
void PutAtLongitude(xyz& body, const Meridian& m, flh& posMS, const elipsoid& elps) {
    posMS = xyz2flh(body, elps);
    posMS.SetL(m.la);
    body = flh2xyz(posMS, elps, m.cosla, m.sinla);
}

// Longitude, latitude [deg] of the direction `u` scaled to the station's
// distance, and the body's distance [km].
void WriteBody(std::ostream& out, xyz& u, long double posMag, long double mag, flh& posMS,
               elipsoid& elps) {
    u *= posMag;
    posMS = xyz2flh(u, elps);
    out << std::setfill(' ') << std::setw(15) << std::setprecision(5) << rad2deg(posMS.GetL())
        << std::setw(12) << rad2deg(posMS.GetF()) << std::setw(15) << std::setprecision(1)
        << mag / 1000;
}

}  // namespace

void ProcData(Havorkastilo& ptZ) {
    xyz posXUnit, psunU, pmoonU, dPosX;
    long double posMag, psunMag = 0, pmoonMag = 0;
    neu dPosLG;
    flh posMS;
    mjd eProc;
    LuniSolarPosition lsp;
    SolidEarthTide nset;

    if (ptZ.GetVerbose())
        std::cerr << kProgramName << "::CheckArguments(): RACUNAM PLIMOVANJE TRDNE ZEMLJE!"
                  << std::endl;

    posXUnit = ptZ.posX.GetUnitVector(1);
    posMag = ptZ.posX.GetLength();
    nset.SetStaPosition(posXUnit, posMag);

    neuns::WidthU = 8;
    neuns::WidthNE = neuns::WidthU;
    neuns::NDecU = 1;
    neuns::NDecNE = neuns::NDecU;
    neuns::Unit = 100;

    eProc = ptZ.stE;
    std::ostream& out = std::cout;
    out << kTableHeader << '\n' << kTableRule << '\n';

    // What depends on the station alone is found here, once: its local frame,
    // the meridians of the geometry modes (and, inside nset, its terms of the
    // tide model).  The loop then does per row only what depends on the
    // epoch, and allocates nothing.
    const LocalFrame frame(ptZ.posG);
    const long double L = ptZ.posG.GetL();
    const long double Q = 1.5707963267948966;  // pi/2 in double precision
    const Meridian atL(L), east(L + Q), west(L - Q);
    while (eProc <= ptZ.enE) {
        lsp.SunMoonPosition(eProc, psunU, psunMag, pmoonU, pmoonMag);

        if (ptZ.SetCoLinear) {
            PutAtLongitude(psunU, atL, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, atL, posMS, ptZ.elps);
        }
        if (ptZ.setOrthoSun) {
            PutAtLongitude(psunU, atL, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, east, posMS, ptZ.elps);
        }
        if (ptZ.setOrthoMoon) {
            PutAtLongitude(psunU, east, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, atL, posMS, ptZ.elps);
        }
        if (ptZ.setOrthoNone) {
            PutAtLongitude(psunU, east, posMS, ptZ.elps);
            PutAtLongitude(pmoonU, west, posMS, ptZ.elps);
        }

        nset.SetSunPosition(psunU, psunMag);
        nset.SetMoonPosition(pmoonU, pmoonMag);
        nset.GetDisplacement(eProc, dPosX);
        dPosLG = g2lg(dPosX, frame);

        out << eProc << dPosLG;
        WriteBody(out, psunU, posMag, psunMag, posMS, ptZ.elps);
        WriteBody(out, pmoonU, posMag, pmoonMag, posMS, ptZ.elps);
        out << '\n';
        if (!out) break;  // nothing more can be written: the caller reports it

        eProc += ptZ.dt;
    }
    out.flush();
}

#include "src/Havorkastilo.h"

#include "funkcije/KotnePretvorbe.h"

Havorkastilo::Havorkastilo() {
    phelp = false;
    verbose = false;
    rProgram = true;
    isposPT = false;
    // The default latitude and longitude are converted in double precision and
    // then widened.
    posG.Set(deg2rad<double>(46.0), deg2rad<double>(15.0), 0.0);
    stE.Set(58500, 0.0);
    enE.Set(58500, 86399.0);
    dt = 3600;
    isStart = isEnd = isDt = false;
    SetCoLinear = setOrthoSun = setOrthoMoon = setOrthoNone = false;
    elps.Set(0);
    output = OutputFormat::Table;
    strict = false;
    threads = 0;
    ephemeris = Ephemeris::Series;
}

#include "src/fTableWriter.h"

#include "PROGINC/FixedFormat.h"
#include "funkcije/KotnePretvorbe.h"

namespace {

const char* const kHeading =
    "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
    "LAm[deg]    FIm[deg]        Rm[km]\n"
    "#---------------------------------------------------------------------------------------"
    "----------------------------------\n";

}  // namespace

const char* TableWriter::Heading() {
    return kHeading;
}

std::size_t TableWriter::Row(const mjd& e, const havorkastilo::TideResult& r, char* out) {
    constexpr long double kCentimetres = 100;
    const long double values[10] = {e.GetSecond(),
                                    r.local.GetN() * kCentimetres,
                                    r.local.GetE() * kCentimetres,
                                    r.local.GetU() * kCentimetres,
                                    rad2deg(r.sunLon),
                                    rad2deg(r.sunLat),
                                    r.sunR / 1000,
                                    rad2deg(r.moonLon),
                                    rad2deg(r.moonLat),
                                    r.moonR / 1000};
    char* p = out + FormatUnsigned(out, e.GetMJDay(), kFields[0].width);
    for (int k = 0; k < 10; ++k) p += FormatFixed(p, values[k], kFields[k + 1].width, kFields[k + 1].decimals);
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

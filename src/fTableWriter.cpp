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
    char* p = out + FormatUnsigned(out, e.GetMJDay(), kFields[0].width);
    const auto put = [&p](long double v, const Field& f) { p += FormatFixed(p, v, f.width, f.decimals); };
    put(e.GetSecond(), kFields[1]);
    put(r.local.GetN() * kCentimetres, kFields[2]);
    put(r.local.GetE() * kCentimetres, kFields[3]);
    put(r.local.GetU() * kCentimetres, kFields[4]);
    put(rad2deg(r.sunLon), kFields[5]);
    put(rad2deg(r.sunLat), kFields[6]);
    put(r.sunR / 1000, kFields[7]);
    put(rad2deg(r.moonLon), kFields[8]);
    put(rad2deg(r.moonLat), kFields[9]);
    put(r.moonR / 1000, kFields[10]);
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

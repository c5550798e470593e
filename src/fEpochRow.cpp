#include "src/fEpochRow.h"

#include "GNSS/TideEpoch.h"

namespace {

havorkastilo::GeometryModes ModesOf(const Havorkastilo& s) {
    havorkastilo::GeometryModes m;
    m.coLinear = s.SetCoLinear;
    m.orthoSun = s.setOrthoSun;
    m.orthoMoon = s.setOrthoMoon;
    m.orthoNone = s.setOrthoNone;
    return m;
}

}  // namespace

EpochRow::EpochRow(const Havorkastilo& s)
    : csv(s.output == OutputFormat::Csv),
      bodies(s.ephemeris),
      point(s.posG, s.posX, s.elps, ModesOf(s)),
      extrapolated(false) {}

const char* EpochRow::Heading() const {
    return csv ? CsvWriter::Heading() : TableWriter::Heading();
}

std::size_t EpochRow::Write(const mjd& e, char* out) {
    const havorkastilo::TideEpoch epoch(e, bodies);
    extrapolated = extrapolated || epoch.Extrapolated();
    const havorkastilo::TideResult r = point.At(epoch);
    return csv ? csvWriter.Row(e, r, out) : TableWriter::Row(e, r, out);
}

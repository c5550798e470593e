// One row of results: the computing core's result for one epoch, written in
// the layout the settings ask for.
#ifndef SRC_FEPOCHROW_H
#define SRC_FEPOCHROW_H

#include <cstddef>

#include "GNSS/SunMoon.h"
#include "GNSS/TidePoint.h"
#include "GNSS/mjd.h"
#include "src/Havorkastilo.h"
#include "src/fCsvWriter.h"
#include "src/fTableWriter.h"

// Computes epochs for the station of a settings record and writes their rows.
//
// An object owns its Sun and Moon calculator, its point of the computing core
// (set up for the station once) and its writer.  Nothing it keeps from one
// epoch to the next changes a result, so an epoch gives the same row, to the
// last byte, whichever object computes it and whatever it computed before:
// the epoch loop gives each thread an object of its own.  One object is not
// for use by two threads at once.  Nothing is allocated per row.
class EpochRow {
  public:
    // Longest text of one row with its line end, characters, in either layout.
    static constexpr std::size_t kMaxText =
        TableWriter::kMaxRow > CsvWriter::kMaxRow ? TableWriter::kMaxRow : CsvWriter::kMaxRow;

    // settings: repaired by the argument check (a station with a direction,
    // a step of at least 1e-7 s); read here, and not kept.
    explicit EpochRow(const Havorkastilo& settings);

    // The heading of the layout, with its line end(s).
    const char* Heading() const;

    // Computes epoch e and writes its row in the layout of the settings, with
    // its line end, at out (room for kMaxText characters).  Returns the
    // number of characters written.
    std::size_t Write(const mjd& e, char* out);

    // True once an epoch written came from an extrapolated ephemeris
    // (havorkastilo::TideEpoch::Extrapolated).
    bool Extrapolated() const { return extrapolated; }

  private:
    bool csv;                    // the layout
    SunMoon bodies;              // Sun and Moon, of the chosen ephemeris
    havorkastilo::TidePoint point;  // the station
    CsvWriter csvWriter;
    bool extrapolated;
};

#endif  // SRC_FEPOCHROW_H

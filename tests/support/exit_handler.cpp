// Every test executable ends a fatal report as the program does (written,
// flushed, the report's status), so that the death tests see the program's
// behaviour; tests that observe a report without ending install their own
// handler (support/capture.h) or the library's default.
#include "PROGINC/ProgramExit.h"
#include "src/fReportExit.h"

namespace {

const bool installed = (prgexit::SetHandler(ReportAndExit), true);

}  // namespace

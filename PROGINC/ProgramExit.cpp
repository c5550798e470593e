#include "PROGINC/ProgramExit.h"

#include <atomic>
#include <iostream>

namespace havorkastilo {

Error::Error(const std::string& report, int status, ReportStream stream)
    : std::runtime_error(report), status_(status), stream_(stream) {}

}  // namespace havorkastilo

namespace prgexit {
namespace {
// Read by every report, on whichever thread it is made.
std::atomic<Handler> handler{nullptr};
}  // namespace

Handler SetHandler(Handler h) {
    return handler.exchange(h);
}

Handler GetHandler() {
    return handler.load();
}

void ThrowError(std::ostream& out, const std::string& report, int status) {
    throw havorkastilo::Error(report, status,
                              &out == &std::cout ? havorkastilo::ReportStream::Out
                                                 : havorkastilo::ReportStream::Err);
}

}  // namespace prgexit

void ProgramExit(std::ostream& out, const std::string& report, int status) {
    if (prgexit::Handler h = prgexit::GetHandler()) h(out, report, status);
    prgexit::ThrowError(out, report, status);
}

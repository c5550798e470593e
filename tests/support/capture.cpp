#include "support/capture.h"

#include <iostream>

#include "PROGINC/ProgramExit.h"

namespace testsupport {
namespace {

struct ExitSignal {
    int status;
};

// Writes the report where the program writes it, then leaves by throwing.
void ThrowingHandler(std::ostream& out, const std::string& report, int status) {
    out << report;
    out.flush();
    throw ExitSignal{status};
}

}  // namespace

StreamCapture::StreamCapture(std::ostream& s)
    : stream_(s), saved_(s.rdbuf()), saved_format_(nullptr) {
    saved_format_.copyfmt(s);
    stream_.rdbuf(buffer_.rdbuf());
}

StreamCapture::~StreamCapture() {
    stream_.rdbuf(saved_);
    stream_.copyfmt(saved_format_);
    stream_.clear();
}

Outcome Capture(const std::function<void()>& f) {
    Outcome o;
    StreamCapture out(std::cout);
    StreamCapture err(std::cerr);
    prgexit::Handler previous = prgexit::SetHandler(ThrowingHandler);
    try {
        f();
    } catch (const ExitSignal& e) {
        o.exited = true;
        o.status = e.status;
    }
    prgexit::SetHandler(previous);
    o.out = out.str();
    o.err = err.str();
    return o;
}

}  // namespace testsupport

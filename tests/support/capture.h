// Test helpers: capture what a piece of code writes to the standard streams,
// and observe a process-ending report without ending the test process.
#ifndef TESTS_SUPPORT_CAPTURE_H
#define TESTS_SUPPORT_CAPTURE_H

#include <functional>
#include <sstream>
#include <string>

namespace testsupport {

// What a run of code wrote and how it ended.
struct Outcome {
    bool exited = false;  // a fatal report ended it (through ProgramExit)
    int status = 0;       // the status it would have exited with
    std::string out;      // bytes written to std::cout
    std::string err;      // bytes written to std::cerr
};

// Runs f with std::cout and std::cerr redirected into strings and with the
// exit seam turned into an exception that is caught here.  The streams'
// format state is saved and restored around the call.
Outcome Capture(const std::function<void()>& f);

// Redirects one standard stream into a string for the lifetime of the object,
// restoring its buffer and format state afterwards.
class StreamCapture {
  public:
    explicit StreamCapture(std::ostream& s);
    ~StreamCapture();
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    std::string str() const { return buffer_.str(); }

  private:
    std::ostream& stream_;
    std::streambuf* saved_;
    std::ios saved_format_;
    std::ostringstream buffer_;
};

}  // namespace testsupport

#endif  // TESTS_SUPPORT_CAPTURE_H

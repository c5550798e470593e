// Framed matrix reports: exact bytes, stream, flushing and exit status.
#include <gtest/gtest.h>

#include <functional>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "matrix/MError.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

const std::string kFrame = std::string(60, '*') + "\n";
const std::string kErrorHead = "\n" + kFrame + "MATRIX::ERROR:\n\n\t";
const std::string kWarningHead = "\n" + kFrame + "MATRIX::WARNING:\n\n\t";
const std::string kErrorTail = "\n\n" + kFrame + "Exiting program...\n\n";

// A string buffer that counts the flushes it receives.
class CountingBuf : public std::stringbuf {
  public:
    int syncs = 0;

  protected:
    int sync() override {
        ++syncs;
        return std::stringbuf::sync();
    }
};

// Runs f with standard output sent into a CountingBuf.
struct FlushCount {
    std::string text;
    int syncs;
};

template <class F>
FlushCount WithCountingCout(F f) {
    CountingBuf buf;
    std::streambuf* saved = std::cout.rdbuf(&buf);
    f();
    std::cout.rdbuf(saved);
    return {buf.str(), buf.syncs};
}

}  // namespace

TEST(MatrixErrorLayout, IndexAgainstRangeIsPaddedToFiveAndClosedTwice) {
    auto o = Capture([] { Error("Operator:   ()\nRow index not in range: ", 12, 11); });
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, kErrorHead + "Operator:   ()\nRow index not in range:    12 -> [    0,   11]" +
                         kErrorTail);
}

TEST(MatrixErrorLayout, NumbersWiderThanTheFieldAreWrittenWhole) {
    auto o = Capture([] { Error("T", 123456, 1234567); });
    EXPECT_EQ(o.out, kErrorHead + "T123456 -> [    0,1234567]" + kErrorTail);
    auto n = Capture([] { Error("T", -1, 63); });
    EXPECT_EQ(n.out, kErrorHead + "T   -1 -> [    0,   63]" + kErrorTail);
    auto w = Capture([] { UError("U", 98765432); });
    EXPECT_EQ(w.out, kErrorHead + "U [98765432]" + kErrorTail);
}

TEST(MatrixErrorLayout, EachErrorPrinterHasItsCaseLine) {
    struct Case {
        std::function<void()> call;
        std::string line;
    };
    const Case cases[] = {
        {[] { Error("Dims", 2L, 3L, 4L, 5L); }, "Dims  [    2,    3] -> [    4,    5]"},
        {[] { invError("Not set: ", 0L, 7L); }, "Not set:  [    0,    7]"},
        {[] { UError("Size", 42); }, "Size [   42]"},
        {[] { qrgivError("QR failed"); }, "QR failed"},
        // Row and column come before n although n is the second argument.
        {[] { subnormError("Subnormal", 9, 1, 2); }, "Subnormal [    1,    2] -> n = 9"},
    };
    for (const Case& c : cases) {
        auto o = Capture(c.call);
        EXPECT_TRUE(o.exited) << c.line;
        EXPECT_EQ(o.status, 1) << c.line;
        EXPECT_EQ(o.err, "") << c.line;
        EXPECT_EQ(o.out, kErrorHead + c.line + kErrorTail);
    }
}

TEST(MatrixErrorLayout, ValueIsWrittenInTheCurrentFloatingFormatOfStandardOutput) {
    auto d = Capture([] { invError("Pivot", 1.5L, 3L); });
    EXPECT_EQ(d.out, kErrorHead + "Pivot       1.5 10**-15     3" + kErrorTail);
    auto f = Capture([] {
        std::cout << std::fixed << std::setprecision(2);
        invError("Pivot", 3.14159L, 3L);
    });
    EXPECT_EQ(f.out, kErrorHead + "Pivot      3.14 10**-15     3" + kErrorTail);
    auto s = Capture([] {
        std::cout << std::scientific << std::setprecision(3);
        invError("Pivot", 12345.678L, 12L);
    });
    EXPECT_EQ(s.out, kErrorHead + "Pivot 1.235e+04 10**-15    12" + kErrorTail);
    auto fill = Capture([] {
        std::cout << std::setfill('.');
        UError("N", 7);
    });
    EXPECT_EQ(fill.out, kErrorHead + "N [....7]" + kErrorTail);
}

TEST(MatrixErrorLayout, NullTextPrintsAsEmpty) {
    auto o = Capture([] { qrgivError(nullptr); });
    EXPECT_EQ(o.out, kErrorHead + kErrorTail);
}

TEST(MatrixWarnings, InvWarningReturnsAfterTheFrameWithoutClosingWordsOrFlush) {
    auto o = Capture([] { invWarning("Small pivot", 2.5L, 4L); });
    EXPECT_FALSE(o.exited);
    EXPECT_EQ(o.out, kWarningHead + "Small pivot       2.5 10**-15     4\n\n" + kFrame);
    FlushCount fc = WithCountingCout([] { invWarning("W", 1.0L, 1L); });
    EXPECT_EQ(fc.syncs, 0);
    EXPECT_EQ(fc.text.substr(fc.text.size() - kFrame.size()), kFrame);
}

TEST(MatrixWarnings, NormWarningContinuesAndFlushes) {
    auto o = Capture([] { normWarning("Not normalised"); });
    EXPECT_FALSE(o.exited);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, kWarningHead + "Not normalised\n\n" + kFrame + "Continuing program...\n\n");
    FlushCount fc = WithCountingCout([] { normWarning("W"); });
    EXPECT_GE(fc.syncs, 2);
}

TEST(MatrixErrorLayout, StreamVariantsWriteTheSameBytes) {
    std::ostringstream s;
    merror::PutError(s, "T", 12, 11);
    EXPECT_EQ(s.str(), kErrorHead + "T   12 -> [    0,   11]" + kErrorTail);
    std::ostringstream w;
    w << std::fixed << std::setprecision(1);
    merror::PutInvWarning(w, "W", 2.34L, 1);
    EXPECT_EQ(w.str(), kWarningHead + "W       2.3 10**-15     1\n\n" + kFrame);
}

TEST(MatrixErrorDeathTest, RealProcessEndsWithStatusOne) {
    EXPECT_EXIT(Error("x", 1, 0), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(invError("x", 0L, 0L), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(subnormError("x", 1, 2, 3), testing::ExitedWithCode(1), "");
}

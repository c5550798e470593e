// Framed program errors and warnings: exact bytes, stream and exit status.
#include <gtest/gtest.h>

#include <iostream>

#include "PROGINC/ProgramError.h"
#include "PROGINC/ProgramExit.h"
#include "support/capture.h"

using testsupport::Capture;

TEST(ProgramPrinters, ErrorGoesToStandardErrorFramedWithStatusOne) {
    auto o = Capture([] { ProgramError("Havorkastilo", "Improper ELLIPSOID setting!"); });
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err,
              "\n**** Havorkastilo: Error -> Improper ELLIPSOID setting! ****\n"
              "     Exiting Havorkastilo ... \n\n");
}

TEST(ProgramPrinters, ErrorCoutWritesTheSameTextOnStandardOutput) {
    auto o = Capture([] { ProgramErrorCout("Prog", "bad"); });
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, "\n**** Prog: Error -> bad ****\n     Exiting Prog ... \n\n");
}

TEST(ProgramPrinters, WarningsReturnAndKeepTheirStreams) {
    auto o = Capture([] {
        ProgramWarning("Havorkastilo", "NEPOZNAN PARAMETER: -q");
        ProgramWarningCout("P", "w");
    });
    EXPECT_FALSE(o.exited);
    EXPECT_EQ(o.err,
              "\n#### Havorkastilo: Warning -> NEPOZNAN PARAMETER: -q ####\n"
              "     Continuing Havorkastilo ... \n\n");
    EXPECT_EQ(o.out, "\n#### P: Warning -> w ####\n     Continuing P ... \n\n");
}

TEST(ProgramPrinters, EmptyAndNullTextsKeepTheWholeFrame) {
    EXPECT_EQ(ProgramErrorText("P", ""), "\n**** P: Error ->  ****\n     Exiting P ... \n\n");
    EXPECT_EQ(ProgramErrorText("P", nullptr), ProgramErrorText("P", ""));
    EXPECT_EQ(ProgramWarningText(nullptr, "x"), "\n#### : Warning -> x ####\n     Continuing  ... \n\n");
}

TEST(ClassReport, LayoutEndsWithASingleLineEnd) {
    auto o = Capture([] { ClassValidityReport("**** mjd: Error -> ", "MJDAY not valid", "     Exiting class mjd ... "); });
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "\n**** mjd: Error -> MJDAY not valid ****\n     Exiting class mjd ... \n");
    EXPECT_EQ(o.err, "");
}

TEST(ProgramPrintersDeathTest, RealProcessEndsWithStatusOne) {
    EXPECT_EXIT(ProgramError("Havorkastilo", "x"), testing::ExitedWithCode(1),
                "\\*\\*\\*\\* Havorkastilo: Error -> x \\*\\*\\*\\*");
    EXPECT_EXIT(
        {
            ProgramErrorCout("P", "x");
        },
        testing::ExitedWithCode(1), "");
}

TEST(ExitSeam, HandlerIsGivenTheReportItsStreamAndTheStatus) {
    static int seen = -1;
    static std::string report;
    static std::ostream* stream = nullptr;
    struct Stop {};
    prgexit::Handler previous =
        prgexit::SetHandler([](std::ostream& out, const std::string& r, int s) {
            stream = &out;
            report = r;
            seen = s;
            throw Stop{};
        });
    std::ostringstream out;
    EXPECT_THROW(ProgramExit(out, "report", 7), Stop);
    prgexit::SetHandler(previous);
    EXPECT_EQ(seen, 7);
    EXPECT_EQ(report, "report");
    EXPECT_EQ(stream, &out);
    // The handler, not the seam, decides what is written.
    EXPECT_EQ(out.str(), "");
}

TEST(ExitSeam, TheLibraryDefaultThrowsTheReportAndWritesNothing) {
    prgexit::Handler previous = prgexit::SetHandler(nullptr);
    testsupport::StreamCapture out(std::cout);
    testsupport::StreamCapture err(std::cerr);
    try {
        ProgramErrorCout("P", "x");
        ADD_FAILURE() << "no exception";
    } catch (const havorkastilo::Error& e) {
        EXPECT_STREQ(e.what(), "\n**** P: Error -> x ****\n     Exiting P ... \n\n");
        EXPECT_EQ(e.Status(), 1);
        EXPECT_EQ(e.Stream(), havorkastilo::ReportStream::Out);
    }
    try {
        ProgramUsageError("P", "y");
        ADD_FAILURE() << "no exception";
    } catch (const havorkastilo::Error& e) {
        EXPECT_EQ(e.Status(), 2);
        EXPECT_EQ(e.Stream(), havorkastilo::ReportStream::Err);
    }
    prgexit::SetHandler(previous);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
}

TEST(ExitSeamDeathTest, AHandlerThatReturnsStillLeavesByTheDefault) {
    prgexit::Handler previous = prgexit::SetHandler([](std::ostream&, const std::string&, int) {});
    EXPECT_THROW(ProgramError("P", "z"), havorkastilo::Error);
    prgexit::SetHandler(previous);
}

// The number of rows of a run, and the last of them.
//
// The epochs of a run are the start epoch plus the step, added again and
// again.  A step that binary cannot hold (0.1 s, 0.3 s) makes the sum drift by
// a few units in the last place; when the last epoch drifted past the end
// epoch, the loop that compared epochs with the end lost the last row (36,000
// rows instead of 36,001 over an hour at 0.1 s).  The count is now fixed from
// the span and the step before the loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "GNSS/mjd.h"
#include "PROGINC/ParseArgument.h"
#include "src/fCheckArgs.h"
#include "src/fProcData.h"
#include "support/run_program.h"
#include "support/table.h"

using testsupport::ParseRow;
using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::SplitLines;
using testsupport::TableRow;

namespace {

// The step as the command line reads it (-edVALUE).
long double Step(const char* value) {
    return ParseHMS((std::string("-ed") + value).c_str(), 3);
}

// The epoch of the last row, made by repeated addition as the loop makes it.
mjd LastEpoch(const mjd& start, long double dt, std::uint64_t rows) {
    mjd e = start;
    for (std::uint64_t k = 1; k < rows; ++k) e += dt;
    return e;
}

struct Span {
    const char* what;
    mjd start, end;
    const char* step;
    std::uint64_t rows;  // whole steps that fit, plus the start: counted by hand
};

}  // namespace

TEST(RowCount, FractionalStepsReachTheEndEpoch) {
    const Span spans[] = {
        {"0.1 s over an hour", mjd(58500, 43200), mjd(58500, 46800), "00:00:00.1", 36001},
        {"0.1 s over a day", mjd(58500, 0), mjd(58501, 0), "00:00:00.1", 864001},
        {"0.3 s over an hour", mjd(58500, 43200), mjd(58500, 46800), "00:00:00.3", 12001},
        {"0.6 s over a day", mjd(58849, 0), mjd(58850, 0), "00:00:00.6", 144001},
        {"1/3 minute over a week", mjd(58500, 0), mjd(58507, 0), "00:00:20", 30241},
    };
    for (const Span& s : spans) {
        SCOPED_TRACE(s.what);
        const long double dt = Step(s.step);
        const std::uint64_t rows = RowCount(s.start, s.end, dt);
        EXPECT_EQ(rows, s.rows);
        // The last row is the end epoch, up to the drift of the sum.
        const mjd last = LastEpoch(s.start, dt, rows);
        EXPECT_LT(std::fabs(static_cast<double>(last - s.end)), 1e-6);
    }
}

TEST(RowCount, TheSumOfTenthsDriftsPastTheEndOverAnHour) {
    // The fault the count mends: the 36,001st epoch of the sum lies after the
    // end epoch, so a loop that compares it with the end stops one row short.
    const mjd start(58500, 43200), end(58500, 46800);
    const mjd last = LastEpoch(start, Step("00:00:00.1"), 36001);
    EXPECT_FALSE(last <= end) << "the sum no longer drifts: " << static_cast<double>(last - end);
}

TEST(RowCount, StepsThatDoNotDivideTheSpanStopAtTheLastEpochNotAfterTheEnd) {
    const mjd start(58500, 0);
    EXPECT_EQ(RowCount(start, mjd(58500, 3600), 7), 515u);     // 514 * 7 = 3598 s
    EXPECT_EQ(RowCount(start, mjd(58500, 86399), 3600), 24u);  // the default table
    EXPECT_EQ(RowCount(start, mjd(58500, 3599.9), 0.1L), 36000u);
    // 0.2 s short of the next whole step is no hair short.
    EXPECT_EQ(RowCount(start, mjd(58500, 59.8), 1), 60u);
}

TEST(RowCount, OneEpochNoneAndTheLongSteps) {
    const mjd e(58500, 43200);
    EXPECT_EQ(RowCount(e, e, 3600), 1u);
    EXPECT_EQ(RowCount(e, e, 1e-7L), 1u);
    // A start later than the end: no rows.
    EXPECT_EQ(RowCount(mjd(58501, 0), mjd(58500, 86399), 1), 0u);
    EXPECT_EQ(RowCount(mjd(58500, 43200.5), e, 0.1L), 0u);
    // Steps longer than the span, and one beyond every valid day (the sum
    // saturates after the first row): the start alone.
    EXPECT_EQ(RowCount(mjd(58500, 0), mjd(58500, 86399), 2 * 86400.0L), 1u);
    EXPECT_EQ(RowCount(mjd(15385, 0), mjd(124592, 86399), 1e30L), 1u);
    // A step of 30 h over four years (the regression table's count).
    EXPECT_EQ(RowCount(mjd(58849, 0), mjd(60309, 64800), 108000), 1169u);
}

TEST(RowCount, TheLongestRunsAreCountedWithoutOverflow) {
    // 1901-01-01 to 2199-12-31 23:59:59 at the shortest step, 1e-7 s.
    const mjd start(15385, 0), end(124592, 86399);
    const long double span = end - start;
    const std::uint64_t rows = RowCount(start, end, 1e-7L);
    EXPECT_NEAR(static_cast<double>(rows), static_cast<double>(span * 1e7L + 1), 1e3);
}

TEST(RowCountEndToEnd, AnHourAtATenthOfASecondEndsWithTheEndEpoch) {
    const ProgramRun run = RunProgram(
        HAVORKASTILO_EXE, {"-e12019-01-17/12:00:00", "-e22019-01-17/13:00:00", "-ed00:00:00.1"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 2u + 36001u);
    TableRow first, last;
    ASSERT_TRUE(ParseRow(lines[2], first));
    ASSERT_TRUE(ParseRow(lines.back(), last));
    EXPECT_EQ(first.text[1], "43200.0");
    EXPECT_EQ(last.text[0], "58500");
    EXPECT_EQ(last.text[1], "46800.0");
}

TEST(RowCountEndToEnd, ThreeTenthsOverAnHourInTheCommaSeparatedOutput) {
    const ProgramRun run =
        RunProgram(HAVORKASTILO_EXE,
                   {"-oc", "-e12019-01-17/12:00:00", "-e22019-01-17/13:00:00", "-ed00:00:00.3"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 1u + 12001u);
    EXPECT_EQ(lines.back().substr(0, 45), "2019-01-17T13:00:00.0000000Z,58500,46800.0000");
}

// The count's tolerance on both sides.  A step dt = (1 + d) / 3 s over an
// hour: the quotient 3600 / dt = 10800 / (1 + d) falls 10800 d / (1 + d) short
// of 10800, which counts as 10800 when it is within 1e-9 of 10800 (1.08e-5),
// that is for d up to 1.000000001e-9.  The last epoch is then 10800 steps
// after the start, 10800 (dt - 1/3) = 3600 d s after the end epoch; beyond
// the tolerance it is 10799 steps after the start.
//   dt 0.33333333349:  d = 4.7e-10,  short by 5.08e-6: 10801 rows, the last
//                      at 3600.0000017 s;
//   dt 0.33333333363:  d = 8.9e-10,  short by 9.61e-6: 10801 rows, the last
//                      at 3600.0000032 s;
//   dt 0.33333333370:  d = 1.1e-9,   short by 1.188e-5: 10800 rows, the last
//                      at 10799 dt = 3599.6666706 s.
TEST(RowCount, AQuotientWithinTheToleranceCountsAndOneBeyondItDoesNot) {
    const mjd start(58500, 43200), end(58500, 46800);
    EXPECT_EQ(RowCount(start, end, Step("00:00:00.33333333349")), 10801u);
    EXPECT_EQ(RowCount(start, end, Step("00:00:00.33333333363")), 10801u);
    EXPECT_EQ(RowCount(start, end, Step("00:00:00.33333333370")), 10800u);
}

TEST(RowCountEndToEnd, AStepAHairLongerThanAThirdStillEndsAtTheEndEpoch) {
    const ProgramRun run =
        RunProgram(HAVORKASTILO_EXE,
                   {"-e12019-01-17/12:00:00", "-e22019-01-17/13:00:00", "-ed00:00:00.33333333349"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 2u + 10801u);
    TableRow last;
    ASSERT_TRUE(ParseRow(lines.back(), last));
    EXPECT_EQ(last.text[0], "58500");
    EXPECT_EQ(last.text[1], "46800.0");
}

TEST(RowCountEndToEnd, TheLastEpochOnEachSideOfTheTolerance) {
    const struct {
        const char* step;
        std::size_t rows;
        const char* last;  // the beginning of the last line: time stamp, day, seconds
    } cases[] = {
        {"00:00:00.33333333349", 10801, "2019-01-17T13:00:00.0000017Z,58500,46800.0000017,"},
        {"00:00:00.33333333363", 10801, "2019-01-17T13:00:00.0000032Z,58500,46800.0000032,"},
        {"00:00:00.33333333370", 10800, "2019-01-17T12:59:59.6666706Z,58500,46799.6666706,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        const ProgramRun run =
            RunProgram(HAVORKASTILO_EXE, {"-oc", "-e12019-01-17/12:00:00", "-e22019-01-17/13:00:00",
                                          std::string("-ed") + c.step});
        ASSERT_TRUE(run.exited);
        EXPECT_EQ(run.status, 0);
        const std::vector<std::string> lines = SplitLines(run.out);
        ASSERT_EQ(lines.size(), 1u + c.rows);
        EXPECT_EQ(lines.back().substr(0, std::string(c.last).size()), c.last);
    }
}

// The smallest step is the double nearest 1e-7 s, itself included: "%Lf"
// reads 9.99999999999999954748e-8 (21 digits) to exactly that double, and the
// extended value just below it is no step (the program takes an hour).
TEST(SmallestStep, TheDoubleNearestTheLimitIsKeptAndTheValueJustBelowIsReplaced) {
    const long double limit = static_cast<long double>(1e-7);
    const long double read = Step("0:0:9.99999999999999954748e-8");
    ASSERT_EQ(read, limit);

    Havorkastilo at;
    at.dt = read;
    CheckArguments(at);
    EXPECT_EQ(at.dt, limit);

    Havorkastilo below;
    below.dt = std::nextafter(limit, 0.0L);
    CheckArguments(below);
    EXPECT_EQ(below.dt, 3600);
}

// The threaded epoch loop writes what the loop on one thread writes, byte for
// byte, and stops at a failed write as that loop stops.
//
// Blocks of epochs are made in order, computed and formatted on worker
// threads and written in order; a fault in the hand-over (a block written
// twice, out of order or not at all, an epoch made in the wrong block, a row
// computed with another thread's state) shows as a difference from the
// single-threaded text.  The spans are chosen around the block size (1024
// rows): shorter than a block (the loop stays on one thread), one row more
// than a block, many blocks with a short last one.
#include <gtest/gtest.h>

#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fParseArgs.h"
#include "src/fProcData.h"
#include "src/fTableWriter.h"
#include "support/capture.h"
#include "support/count_allocations.h"
#include "support/run_program.h"

using testsupport::Capture;
using testsupport::ProgramRun;
using testsupport::RunProgram;

namespace {

// The settings of a command line, as the program makes them.
Havorkastilo Settings(std::vector<std::string> args) {
    std::vector<const char*> argv{"Havorkastilo"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    Havorkastilo s;
    const testsupport::Outcome o = Capture([&] {
        ParseArguments(s, static_cast<int>(argv.size()), argv.data());
        CheckArguments(s);
    });
    EXPECT_FALSE(o.exited) << o.err;
    return s;
}

std::string Output(Havorkastilo s, unsigned threads) {
    s.threads = threads;
    const testsupport::Outcome o = Capture([&] { ProcData(s); });
    EXPECT_FALSE(o.exited);
    return o.out;
}

struct Span {
    const char* what;
    std::vector<std::string> args;
};

const Span kSpans[] = {
    {"a day at one minute (two blocks, the last short)",
     {"-pc46.05,14.5,300", "-e12019-01-17/00:00:00", "-e22019-01-17/23:59:00", "-ed00:01:00"}},
    {"one row more than a block",
     {"-pc-33.9,18.4,10", "-e12019-01-17/00:00:00", "-e22019-01-17/00:17:04", "-ed00:00:01"}},
    {"exactly a block, comma-separated",
     {"-oc", "-pc10,-60,0", "-e12020-02-29/00:00:00", "-e22020-02-29/00:17:03", "-ed00:00:01"}},
    {"shorter than a block",
     {"-pd46.03,14.30,300", "-e12019-01-17/00:00:00", "-e22019-01-17/23:00:00", "-ed01:00:00"}},
    {"tenths of a second, comma-separated, across midnight",
     {"-oc", "-px4252544,1100000,4500000", "-e12016-12-31/23:55:00", "-e22017-01-01/00:05:00",
      "-ed00:00:00.1"}},
    {"every geometry mode, across a leap second",
     {"-gk", "-goS", "-goL", "-goN", "-pc-78,-165,50", "-e12016-12-31/00:00:00",
      "-e22017-01-01/12:00:00", "-ed00:00:30"}},
    {"-goN, comma-separated",
     {"-goN", "-oc", "-e12019-05-01/00:00:00", "-e22019-05-03/00:00:00", "-ed00:00:40"}},
};

}  // namespace

TEST(ThreadedRows, EveryThreadCountWritesTheSingleThreadedText) {
    for (const Span& r : kSpans) {
        SCOPED_TRACE(r.what);
        const Havorkastilo s = Settings(r.args);
        const std::string one = Output(s, 1);
        ASSERT_GT(one.size(), 1000u);
        for (unsigned threads : {2u, 3u, 8u}) {
            const std::string many = Output(s, threads);
            ASSERT_EQ(many.size(), one.size()) << threads << " threads";
            EXPECT_TRUE(many == one) << threads << " threads: the texts differ";
        }
    }
}

namespace {

// A stream buffer that takes `budget` characters and then fails every write,
// recording whether anything was offered after the failure.
class Budget : public std::streambuf {
  public:
    explicit Budget(std::size_t budget) : left_(budget) {}
    std::string text;
    bool offeredAfterFailure = false;

  protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (failed_) {
            offeredAfterFailure = true;
            return 0;
        }
        const std::size_t take = static_cast<std::size_t>(n) < left_ ? n : left_;
        text.append(s, take);
        left_ -= take;
        if (take < static_cast<std::size_t>(n)) failed_ = true;
        return static_cast<std::streamsize>(take);
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }

  private:
    std::size_t left_;
    bool failed_ = false;
};

// What ProcData writes into a buffer that fails after `budget` characters,
// and whether it went on writing after the failure.
Budget Failing(Havorkastilo s, unsigned threads, std::size_t budget) {
    s.threads = threads;
    Budget sink(budget);
    std::streambuf* saved = std::cout.rdbuf(&sink);
    ProcData(s);
    const bool failed = !std::cout;
    std::cout.rdbuf(saved);
    std::cout.clear();
    EXPECT_TRUE(failed) << "the stream did not report the failed write";
    return sink;
}

}  // namespace

TEST(ThreadedRows, AFailedWriteStopsTheRunAndNothingIsWrittenAfterIt) {
    const Havorkastilo s = Settings(
        {"-e12019-01-01/00:00:00", "-e22019-01-31/00:00:00", "-ed00:00:10"});  // 259,201 rows
    for (std::size_t budget : {100u, 1000000u}) {
        const Budget one = Failing(s, 1, budget);
        EXPECT_EQ(one.text.size(), budget);
        for (unsigned threads : {2u, 4u}) {
            const Budget many = Failing(s, threads, budget);
            EXPECT_EQ(many.text, one.text) << threads << " threads, " << budget << " characters";
            EXPECT_FALSE(many.offeredAfterFailure) << threads << " threads";
        }
    }
}

TEST(ThreadedRows, TheProgramWritesTheSameForEveryThreadOption) {
    const std::vector<std::string> span = {"-pc46.05,14.5,300", "-e12019-01-17/00:00:00",
                                           "-e22019-01-19/00:00:00", "-ed00:00:30"};
    for (const char* layout : {"-ot", "-oc"}) {
        std::vector<std::string> args = span;
        args.push_back(layout);
        std::vector<std::string> one = args;
        one.push_back("-j1");
        const ProgramRun reference = RunProgram(HAVORKASTILO_EXE, one);
        ASSERT_TRUE(reference.exited);
        ASSERT_EQ(reference.status, 0);
        for (const char* j : {"-j0", "-j2", "-J7", "-j256"}) {
            std::vector<std::string> many = args;
            many.push_back(j);
            const ProgramRun run = RunProgram(HAVORKASTILO_EXE, many);
            ASSERT_TRUE(run.exited) << j;
            EXPECT_EQ(run.status, 0) << j;
            EXPECT_EQ(run.err, "") << j;
            EXPECT_TRUE(run.out == reference.out) << layout << " " << j << ": the outputs differ";
        }
        // Without -j: one thread per available processor.
        const ProgramRun plain = RunProgram(HAVORKASTILO_EXE, args);
        EXPECT_TRUE(plain.out == reference.out) << layout;
    }
}

namespace {

// A stream buffer that takes every character and keeps none.
class Discard : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

long AllocationsOfRun(Havorkastilo s, unsigned threads, long long* bytes = nullptr) {
    s.threads = threads;
    Discard sink;
    std::streambuf* saved = std::cout.rdbuf(&sink);
    const long before = testsupport::g_allocations;
    const long long bytesBefore = testsupport::g_allocatedBytes;
    ProcData(s);
    const long made = testsupport::g_allocations - before;
    if (bytes) *bytes = testsupport::g_allocatedBytes - bytesBefore;
    std::cout.rdbuf(saved);
    return made;
}

}  // namespace

TEST(ThreadedRows, MemoryDoesNotGrowWithTheSpan) {
    // The threads and the circulating blocks are allocated once per run: a
    // span ten times longer allocates no more.
    for (const char* layout : {"-ot", "-oc"}) {
        SCOPED_TRACE(layout);
        const Havorkastilo shorter = Settings({layout, "-e12019-01-17/00:00:00",
                                               "-e22019-01-17/05:41:20", "-ed00:00:01"});
        const Havorkastilo longer = Settings({layout, "-e12019-01-17/00:00:00",
                                              "-e22019-01-19/08:53:20", "-ed00:00:01"});
        const long a = AllocationsOfRun(shorter, 2), b = AllocationsOfRun(longer, 2);
        EXPECT_GT(a, 0);  // the counter sees the threads and blocks
        EXPECT_EQ(a, b) << "20 blocks against 200";
    }
}

TEST(ThreadedRows, NoMoreThreadsStartThanThereAreBlocksToCompute) {
    // Each started thread allocates its state, each block its buffers, once
    // per run: runs that start the same threads allocate the same.
    // 3 blocks of 1024 rows (the last short):
    const Havorkastilo three =
        Settings({"-e12019-01-17/00:00:00", "-e22019-01-17/00:50:00", "-ed00:00:01"});
    EXPECT_EQ(AllocationsOfRun(three, 256), AllocationsOfRun(three, 3));
    EXPECT_LT(AllocationsOfRun(three, 2), AllocationsOfRun(three, 3));  // the count does show
    // One block: the calling thread alone, as with -j1.
    const Havorkastilo one =
        Settings({"-e12019-01-17/00:00:00", "-e22019-01-17/00:17:03", "-ed00:00:01"});
    EXPECT_EQ(AllocationsOfRun(one, 256), AllocationsOfRun(one, 1));
    // Two blocks: two workers.
    const Havorkastilo two =
        Settings({"-e12019-01-17/00:00:00", "-e22019-01-17/00:17:04", "-ed00:00:01"});
    EXPECT_EQ(AllocationsOfRun(two, 256), AllocationsOfRun(two, 2));
    EXPECT_LT(AllocationsOfRun(two, 1), AllocationsOfRun(two, 2));
}

TEST(ThreadedRows, TheBuffersStayUnder16MiBAtAnyThreadCount) {
    // A month at one minute (45 blocks): at -j256 the blocks in flight are
    // bounded by their memory, not by the threads asked for.
    for (const char* layout : {"-ot", "-oc"}) {
        SCOPED_TRACE(layout);
        const Havorkastilo month = Settings({layout, "-e12019-01-01/00:00:00",
                                             "-e22019-01-31/23:59:00", "-ed00:01:00"});
        long long bytes = 0;
        const long many = AllocationsOfRun(month, 256, &bytes);
        EXPECT_LT(bytes, 16ll << 20);
        EXPECT_GT(bytes, 2ll << 20);  // the counter sees the blocks
        // More threads than the bound allocate no more.
        EXPECT_EQ(AllocationsOfRun(month, 128), many);
    }
}

TEST(ThreadedRows, UnderAMemoryLimitTheRunEndsWithAReportOrWritesTheWholeText) {
#if defined(HAVORKASTILO_SANITIZED)
    GTEST_SKIP() << "the sanitizers reserve more address space than any limit tried here";
#else
    const std::vector<std::string> args = {"-j256", "-oc", "-e12019-01-01/00:00:00",
                                           "-e22019-01-07/23:59:00", "-ed00:01:00"};
    const ProgramRun whole = RunProgram(HAVORKASTILO_EXE, args);
    ASSERT_EQ(whole.status, 0);
    const long start = testsupport::SmallestStartingLimit(HAVORKASTILO_EXE);
    ASSERT_GT(start, 0);
    const std::string report =
        "\n**** Havorkastilo: Error -> PREMALO POMNILNIKA ZA RACUN ****\n     Exiting Havorkastilo "
        "... \n\n";
    int reports = 0, wholes = 0;
    // From where the program starts to well past what the run needs.
    for (long kib = start; kib < start + 20480; kib += 512) {
        SCOPED_TRACE("ulimit -v " + std::to_string(kib));
        const ProgramRun r = testsupport::RunWithMemoryLimit(HAVORKASTILO_EXE, args, kib);
        ASSERT_TRUE(r.exited) << "ended by signal " << r.signal << ": " << r.err;
        if (r.status == 0) {
            EXPECT_TRUE(r.out == whole.out) << "a different text";
            EXPECT_EQ(r.err, "");
            ++wholes;
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, report);
            // What was written is the start of the text.
            EXPECT_EQ(whole.out.compare(0, r.out.size(), r.out), 0);
            ++reports;
        }
    }
    // Both ways out were seen: the limits tried reach from too little memory
    // to enough.
    EXPECT_GT(reports, 0);
    EXPECT_GT(wholes, 0);
#endif
}

// A failure on a worker thread reaches the caller as it does without
// workers: the core's refusal of the geocentre (which the argument check
// would have caught first) ends the run with its report and status 1, and no
// row follows the heading.  Two blocks of work, so that two workers start.
TEST(ThreadedRows, AFailureOnAWorkerEndsTheRunWithItsReport) {
    Havorkastilo s = Settings({"-e12019-01-17/00:00:00", "-e22019-01-17/23:59:00", "-ed00:01:00"});
    s.posX = xyz(0, 0, 0);
    for (unsigned threads : {1u, 2u, 4u}) {
        SCOPED_TRACE(threads);
        s.threads = threads;
        const testsupport::Outcome o = Capture([&] { ProcData(s); });
        EXPECT_TRUE(o.exited);
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.err.find("POLOZAJ TOCKE JE V SREDISCU ZEMLJE"), std::string::npos) << o.err;
        EXPECT_EQ(o.out, TableWriter::Heading());
    }
}

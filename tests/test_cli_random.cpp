// Randomized command lines against the built program: whatever the argument
// vector, the program computes a table or the comma-separated output, or
// warns and goes on, or ends with a framed report and status 1, or, with
// strict input, refuses the command line with status 2 and writes nothing on
// standard output; it never dies of a signal, hangs, writes a nan or inf row,
// or succeeds after a failure.
//
// The vectors come from a fixed seed, so every run of the test sees the same
// ones: valid options with extreme and malformed values, unknown options, bare
// words, empty strings, arguments of up to 100,000 characters and bytes 0x01
// to 0xFF.  Each vector is read once in process by the library's own parser
// to learn its span and step; a vector whose table would be longer than
// kMaxRows rows gets a final -ed option with a step that shortens it, so that
// every run is bounded.  The checks themselves are those of
// fuzz/outcome_check.h, shared with the fuzz target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/outcome_check.h"
#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fParseArgs.h"
#include "src/fProcData.h"
#include "support/capture.h"
#include "support/run_program.h"

using testsupport::ProgramRun;
using testsupport::ReadFile;
using testsupport::RunProgram;

namespace {

constexpr std::uint32_t kSeed = 0x4861766f;  // fixed: every run sees the same vectors
constexpr int kShards = 4;
constexpr int kVectorsPerShard = 750;
constexpr long double kMaxRows = 400;         // longest table a vector may ask for
constexpr double kTimeLimit = 60;             // seconds before a run counts as hung
constexpr std::size_t kMaxArgument = 100000;  // characters of the longest argument
constexpr std::size_t kMaxVector = 1800000;   // bytes of all arguments together

// Argument vectors from a fixed seed.  The draws use the raw 32-bit output of
// mt19937 (fixed by the standard), not the library's distributions, so that
// the vectors are the same with every standard library.
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : rng_(seed) {}

    std::uint32_t Below(std::uint32_t n) { return n == 0 ? 0 : rng_() % n; }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }
    template <class T, std::size_t N>
    const T& Pick(const T (&a)[N]) {
        return a[Below(N)];
    }

    // One byte 0x01..0xFF.
    char AnyByte() { return static_cast<char>(1 + Below(255)); }
    std::string Bytes(std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += AnyByte();
        return s;
    }
    std::string Digits(std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + Below(10));
        return s;
    }

    // A number field: extreme, malformed or ordinary.
    std::string Number() {
        static const char* const pool[] = {"0",
                                           "-0",
                                           "1",
                                           "-1",
                                           "90",
                                           "-90",
                                           "180",
                                           "-180",
                                           "360",
                                           "-540.5",
                                           "1e6",
                                           "6356752.3141",
                                           "-6356752.3141",
                                           "6378137",
                                           "-6378137",
                                           "40000000",
                                           "-6000000",
                                           "0.0000001",
                                           "1.5707963267948966",
                                           "3.141592653589793",
                                           "-3.141592653589793",
                                           "46.5959999999999",
                                           "1-2",
                                           "--5",
                                           ".",
                                           "-",
                                           ".5.5",
                                           ""};
        switch (Below(6)) {
            case 0:
            case 1:
                return Pick(pool);
            case 2:
                return (Chance(50) ? "-" : "") + Digits(1 + Below(8)) + "." + Digits(Below(10));
            case 3:
                return (Chance(50) ? "-" : "") + Digits(45 + Below(10));  // the field's 49
            case 4:
                return "0." + std::string(Below(60), '0') + Digits(1 + Below(3));
            default:
                return Digits(Below(4)) + (Chance(50) ? "." : "") + Digits(Below(4));
        }
    }

    char Separator() {
        static const char seps[] = {',', ',', ',', ';', ' ', '/', 'e', '+'};
        return Chance(80) ? Pick(seps) : AnyByte();
    }

    std::string Position() {
        static const char* const kinds[] = {"d", "D", "c", "C", "r", "R", "x", "X"};
        std::string a = std::string("-") + (Chance(80) ? "p" : "P") + Pick(kinds);
        const int fields = Chance(85) ? 3 : static_cast<int>(Below(5));
        for (int k = 0; k < fields; ++k) {
            if (k > 0) a += Separator();
            a += Number();
        }
        if (Chance(5)) a += Bytes(Below(6));
        return a;
    }

    std::string TwoDigits(unsigned v) {
        char b[16];
        std::snprintf(b, sizeof b, Chance(92) ? "%02u" : "%u", v);
        return b;
    }

    std::string Date() {
        static const unsigned years[] = {1900, 1901, 1902, 1972, 2016, 2017,
                                         2019, 2100, 2199, 2200, 1999, 2000};
        static const char* const seconds[] = {"00", "0",    "59.9", "59.999999", "60",
                                              "-0", "-1",   "nan",  "inf",       "1e1",
                                              "30", "0x10", "5.5",  "",          "00.0"};
        const unsigned year = Chance(85) ? Pick(years) : Below(10000);
        const unsigned month = Chance(85) ? 1 + Below(12) : Below(14);
        const unsigned day = Chance(85) ? 1 + Below(28) : Below(33);
        const unsigned hour = Chance(85) ? Below(24) : Below(61);
        const unsigned minute = Chance(90) ? Below(60) : Below(61);
        char y[16];
        std::snprintf(y, sizeof y, Chance(95) ? "%04u" : "%u", year);
        std::string d = std::string(y) + Separator() + TwoDigits(month) + Separator() +
                        TwoDigits(day) + Separator() + TwoDigits(hour) + Separator() +
                        TwoDigits(minute) + Separator() +
                        (Chance(70) ? TwoDigits(Below(60)) : std::string(Pick(seconds)));
        if (Chance(10)) d = d.substr(0, Below(static_cast<std::uint32_t>(d.size()) + 1));
        if (Chance(5) && !d.empty()) {
            char& c = d[Below(static_cast<std::uint32_t>(d.size()))];
            c = c == '\x01' ? '\x02' : static_cast<char>(c ^ 1);
        }
        return d;
    }

    std::string Epoch() {
        static const char* const options[] = {"-e1", "-e2", "-E1", "-E2"};
        return std::string(Pick(options)) + Date();
    }

    std::string Step() {
        static const char* const options[] = {"-ed", "-eD", "-Ed", "-ED"};
        static const char* const pool[] = {"",
                                           "0",
                                           "1",
                                           "2",
                                           "-1",
                                           "00:00:00.5",
                                           "0:0:0.0000001",
                                           "0:0:1e-7",
                                           "0:0:0.00000009",
                                           "0:0:nan",
                                           "0:0:inf",
                                           "0:0:-inf",
                                           "0:0:1e4000",
                                           "0:0:1e-4000",
                                           "99999999999:0:0",
                                           "-99999999999:0:0",
                                           "2147483647:2147483647:1e4932",
                                           "876000:00:00",
                                           "0:0:0x1p-20",
                                           "abc",
                                           "1:",
                                           ":1",
                                           "0:-1:0",
                                           "01:00:00"};
        std::string v;
        if (Chance(60)) {
            v = Pick(pool);
        } else {
            char b[96];
            std::snprintf(b, sizeof b, "%d:%d:%s", static_cast<int>(Below(48)) - 2,
                          static_cast<int>(Below(120)) - 2, Number().c_str());
            v = b;
        }
        return Pick(options) + v;
    }

    std::string Geometry() {
        static const char* const pool[] = {"-gk",  "-gK",  "-GK",  "-goS", "-gos", "-GOs", "-goL",
                                           "-gol", "-goN", "-gon", "-go",  "-goX", "-g",   "-gx"};
        std::string a = Pick(pool);
        if (Chance(10)) a += Bytes(1 + Below(3));
        return a;
    }

    std::string Flag() {
        static const char* const pool[] = {"-v", "-V", "-h", "-H", "-vx", "-hv"};
        return Pick(pool);
    }

    // The options of output, strict input and threads, well and badly formed.
    std::string Output() {
        static const char* const pool[] = {"-oc",   "-OC", "-oC", "-ot",  "-OT", "-s",  "-S",
                                           "-oc",   "-s",  "-j1", "-j2",  "-J3", "-j0", "-j256",
                                           "-j257", "-jx", "-j",  "-ocx", "-o",  "-sx", "-j-1",
                                           "-mp",   "-ms", "-MP", "-mx",  "-mpp"};
        return Pick(pool);
    }

    std::string Unknown() {
        static const char* const pool[] = {"-", "--", "-q", "-x1", "-P", "-E", "-e3", "-p?"};
        if (Chance(50)) return Pick(pool);
        return std::string("-") + AnyByte() + Bytes(Below(12));
    }

    std::string BareWord() {
        if (Chance(20)) return "";
        if (Chance(5)) return "xv";
        std::string w = Bytes(1 + Below(30));
        if (w[0] == '-') w[0] = 'w';
        return w;
    }

    // An argument of up to kMaxArgument characters.
    std::string Long() {
        const std::size_t n = 1000 + Below(static_cast<std::uint32_t>(kMaxArgument - 1000 + 1));
        switch (Below(6)) {
            case 0:
                return "-px" + Digits(n - 3);
            case 1: {
                std::string a = "-pd";
                while (a.size() < n) a += Number() + Separator();
                return a.substr(0, n);
            }
            case 2:
                return "-ed0:0:" + Digits(n - 7);
            case 3:
                return "-e1" + Date() + Bytes(n - 3);
            case 4:
                return "-q" + Bytes(n - 2);
            default: {
                std::string w = Bytes(n);
                if (w[0] == '-') w[0] = 'w';
                return w;
            }
        }
    }

    std::string Argument() {
        const std::uint32_t r = Below(100);
        if (r < 18) return Position();
        if (r < 38) return Epoch();
        if (r < 52) return Step();
        if (r < 62) return Geometry();
        if (r < 66) return Flag();
        if (r < 70) return Output();
        if (r < 78) return Unknown();
        if (r < 88) return BareWord();
        if (r < 91) return Long();
        return Bytes(Below(20));
    }

    // A command line for a pipeline: the comma-separated output or strict
    // input with values in their strict forms, at times with one argument of
    // the general kinds among them.
    std::vector<std::string> PipelineVector() {
        std::vector<std::string> args{Chance(70) ? "-oc" : "-s"};
        char b[160];
        if (Chance(80)) {
            std::snprintf(b, sizeof b, "-pc%s%u.%u,%s%u.%u,%u", Chance(50) ? "-" : "", Below(90),
                          Below(1000), Chance(50) ? "-" : "", Below(180), Below(1000), Below(3000));
            args.push_back(b);
        }
        const unsigned year = 1901 + Below(299), month = 1 + Below(12), day = 1 + Below(28);
        const unsigned hour = Below(24), minute = Below(60), second = Below(60);
        std::snprintf(b, sizeof b, "-e1%04u-%02u-%02u/%02u:%02u:%02u.%u", year, month, day, hour,
                      minute, second, Below(1000));
        args.push_back(b);
        std::snprintf(b, sizeof b, "-e2%04u-%02u-%02u/%02u:%02u:%02u", year, month, day,
                      hour + Below(24 - hour), Below(60), Below(60));
        args.push_back(b);
        std::snprintf(b, sizeof b, "-ed%u:%02u:%02u.%u", Below(2), Below(60), Below(60), Below(10));
        args.push_back(b);
        if (Chance(30)) args.push_back(Geometry());
        if (Chance(30)) args.push_back(Output());
        if (Chance(25)) args.push_back(Argument());
        return args;
    }

    std::vector<std::string> Vector() {
        if (Chance(12)) return PipelineVector();
        std::vector<std::string> args;
        const std::size_t n = Chance(4) ? 30 + Below(150) : Below(9);
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < n; ++i) {
            std::string a = Argument();
            if (bytes + a.size() > kMaxVector) break;
            bytes += a.size();
            args.push_back(std::move(a));
        }
        return args;
    }

  private:
    std::mt19937 rng_;
};

// What the library's own parser makes of a vector: whether it ends in a
// report and with which status, whether it prints results, and how many rows
// the span and step give.
struct Plan {
    bool fatal = false;
    int status = 0;
    bool table = false;
    long double rows = 0;
    long double span = 0;  // seconds from the start to the end epoch
};

Plan PlanOf(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"Havorkastilo"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    Plan plan;
    const testsupport::Outcome o = testsupport::Capture([&] {
        Havorkastilo s;
        ParseArguments(s, static_cast<int>(argv.size()), argv.data());
        if (!s.GetRProgram()) return;
        CheckArguments(s);
        plan.table = true;
        if (s.stE <= s.enE) plan.span = s.enE - s.stE;
        plan.rows = static_cast<long double>(RowCount(s.stE, s.enE, s.dt));
    });
    plan.fatal = o.exited;
    plan.status = o.exited ? o.status : 0;
    return plan;
}

// The vector, readable and short enough for a failure message.
std::string Describe(const std::vector<std::string>& args) {
    std::string s;
    for (const std::string& a : args) {
        s += "  [";
        for (std::size_t i = 0; i < a.size() && i < 120; ++i) {
            const unsigned char c = static_cast<unsigned char>(a[i]);
            char b[8];
            if (c >= 0x20 && c < 0x7f && c != '\\') {
                s += static_cast<char>(c);
            } else {
                std::snprintf(b, sizeof b, "\\x%02x", c);
                s += b;
            }
        }
        if (a.size() > 120) s += "... (" + std::to_string(a.size()) + " characters)";
        s += "]\n";
    }
    return s;
}

void RunShard(int shard) {
    const std::string help = ReadFile(std::string(HAVORKASTILO_SOURCE_DIR) + "/tests/e2e/help.txt");
    ASSERT_FALSE(help.empty());
    Generator gen(kSeed + static_cast<std::uint32_t>(shard));
    int failures = 0;
    int tables = 0, helps = 0, reports = 0, shortened = 0, longRows = 0, csvs = 0, refusals = 0;
    for (int k = 0; k < kVectorsPerShard && failures < 5; ++k) {
        std::vector<std::string> args = gen.Vector();
        Plan plan = PlanOf(args);
        if (plan.table && !plan.fatal && plan.rows > kMaxRows) {
            // Bound the table: a last step option wins over any earlier one.
            char step[64];
            std::snprintf(step, sizeof step, "-ed0:0:%.6Lf", plan.span / (kMaxRows / 2));
            args.push_back(step);
            ++shortened;
            plan = PlanOf(args);
            ASSERT_LE(plan.rows, kMaxRows) << Describe(args);
        }

        const ProgramRun run = RunProgram(HAVORKASTILO_EXE, args, kTimeLimit);
        std::string why;
        std::size_t rows = 0;
        if (!run.exited) {
            why = run.timed_out ? "no end within the time limit"
                                : "ended by signal " + std::to_string(run.signal);
        } else {
            why = outcomecheck::CheckOutcome(HAVORKASTILO_EXE, args, help, run.status, run.out,
                                             run.err, &rows);
            const bool helpOnly = run.status == 0 && run.out == help;
            if (run.status == 1 || run.status == 2) ++reports;
            if (run.status == 2) ++refusals;
            if (run.status == 0 && outcomecheck::CsvWanted(args) && run.out != help) ++csvs;
            if (helpOnly) ++helps;
            if (run.status == 0 && !helpOnly) ++tables;
            if (rows > 100) ++longRows;
            if (why.empty() && run.status != plan.status)
                why = "status " + std::to_string(run.status) + " where the library's parser " +
                      (plan.fatal ? "ends with status " + std::to_string(plan.status) : "goes on");
            if (why.empty() && run.status == 0 && !helpOnly &&
                static_cast<long double>(rows) != plan.rows)
                why = std::to_string(rows) + " rows where the span and step give " +
                      std::to_string(static_cast<double>(plan.rows));
        }
        if (!why.empty()) {
            ++failures;
            ADD_FAILURE() << "vector " << k << " of shard " << shard << ": " << why << "\n"
                          << Describe(args) << "standard output:\n"
                          << run.out.substr(0, 2000) << "\nstandard error:\n"
                          << run.err.substr(0, 2000);
        }
    }
    // The mix must reach every outcome, or the vectors test little.
    std::printf(
        "shard %d: %d tables (%d comma-separated; %d over 100 rows, %d shortened), %d help texts, "
        "%d reports (%d refusals of strict input)\n",
        shard, tables, csvs, longRows, shortened, helps, reports, refusals);
    EXPECT_GT(tables, kVectorsPerShard / 5);
    EXPECT_GT(reports, kVectorsPerShard / 5);
    EXPECT_GT(helps, 5);
    EXPECT_GT(longRows, 5);
    EXPECT_GT(csvs, 5);
    EXPECT_GT(refusals, 20);
}

TEST(RandomCommandLines, Shard0) {
    RunShard(0);
}
TEST(RandomCommandLines, Shard1) {
    RunShard(1);
}
TEST(RandomCommandLines, Shard2) {
    RunShard(2);
}
TEST(RandomCommandLines, Shard3) {
    RunShard(3);
}

// A caller of execve may pass no argument vector at all (argc 0, argv[0]
// null); the command line then holds nothing, as with no arguments.
TEST(RandomCommandLines, AnEmptyArgumentVectorPrintsTheHelpText) {
    const std::string help = ReadFile(std::string(HAVORKASTILO_SOURCE_DIR) + "/tests/e2e/help.txt");
    bool runs = true;
    const testsupport::Outcome o = testsupport::Capture([&] {
        Havorkastilo s;
        const char* argv[] = {nullptr};
        ParseArguments(s, 0, argv);
        runs = s.GetRProgram();
    });
    EXPECT_FALSE(o.exited);
    EXPECT_FALSE(runs);
    EXPECT_EQ(o.out, help);
    EXPECT_EQ(o.err, "");
}

// The checks above must be able to fail: each broken outcome is rejected.
TEST(OutcomeCheck, RejectsWhatTheProgramDoesNotPromise) {
    using outcomecheck::CheckOutcome;
    const std::string help = "help\n";
    const std::string head = outcomecheck::kHeader + "\n" + outcomecheck::kRule + "\n";
    const std::string row =
        " 58500     0.0    -1.7    -4.4     0.1     -177.46626   -20.96753    147163318.9      "
        "-57.79379    15.84246       375903.0\n";
    const std::string nanRow =
        " 58500     0.0     nan    -4.4     0.1     -177.46626   -20.96753    147163318.9      "
        "-57.79379    15.84246       375903.0\n";
    const std::string warning =
        "\n#### Havorkastilo: Warning -> NEPOZNAN PARAMETER: -q ####\n     Continuing "
        "Havorkastilo ... \n\n";
    const std::string report =
        "\n**** ymdhms: Error -> MONTH not valid ****\n     Exiting class "
        "ymdhms ... \n";

    // Accepted outcomes, so that the rejections below are for the fault named.
    EXPECT_EQ(CheckOutcome("p", {"-q"}, help, 0, head + row, warning), "");
    EXPECT_EQ(CheckOutcome("p", {}, help, 0, help, ""), "");
    EXPECT_EQ(CheckOutcome("p", {"-e1x"}, help, 1, report, ""), "");
    EXPECT_EQ(CheckOutcome("p", {"-px0,0,0"}, help, 1, "", outcomecheck::kGeocentreReport), "");

    EXPECT_NE(CheckOutcome("p", {}, help, 0, head + nanRow, ""), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 0, head + row.substr(0, 60), ""), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 0, "help\nmore\n", ""), "");
    EXPECT_NE(CheckOutcome("p", {"-r"}, help, 0, head + row, warning), "");  // names -q
    EXPECT_NE(CheckOutcome("p", {"-q"}, help, 0, head + row, warning + "stray\n"), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 0, head + row, "Havorkastilo: echo\n"), "");
    EXPECT_NE(CheckOutcome("p", {"-v"}, help, 0, head + row, "\nHavorkastilo: start\n"), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 0, head + row + report, ""), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 1, head + row, ""), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 2, "", outcomecheck::kGeocentreReport), "");
    EXPECT_NE(CheckOutcome("p", {}, help, 1, "garbage" + report, ""), "");

    // The comma-separated output and strict input.
    const std::string csvHead = outcomecheck::kCsvHeader + "\n";
    const std::string line =
        "2019-01-17T12:00:00.0000000Z,58500,43200.0000000,-0.017477870,-0.008799007,-0.136632775,"
        "-0.077421410,-0.029111035,-0.110498356,2.5754196,-20.8693041,147168356.458,128.7152355,"
        "17.5384004,372848.744\n";
    const std::string refusal =
        "\n**** Havorkastilo: Error -> NEPOZNAN PARAMETER: \"-q\" ****\n     Exiting Havorkastilo "
        "... \n\n";
    EXPECT_EQ(CheckOutcome("p", {"-oc"}, help, 0, csvHead + line, ""), "");
    EXPECT_EQ(CheckOutcome("p", {"-s", "-q"}, help, 2, "", refusal), "");
    EXPECT_EQ(CheckOutcome("p", {"-oc", "-q"}, help, 2, "", refusal), "");
    EXPECT_NE(CheckOutcome("p", {"-oc", "-ot"}, help, 0, csvHead + line, ""), "");  // the table
    EXPECT_NE(CheckOutcome("p", {"-oc"}, help, 0, head + row, ""), "");
    EXPECT_NE(CheckOutcome("p", {"-oc"}, help, 0, csvHead + line.substr(0, 80) + "\n", ""), "");
    EXPECT_NE(CheckOutcome("p", {"-oc"}, help, 0, csvHead + "nan" + line, ""), "");
    EXPECT_NE(CheckOutcome("p", {"-q"}, help, 2, "", refusal), "");                // not strict
    EXPECT_NE(CheckOutcome("p", {"-s", "-q"}, help, 2, head, refusal), "");        // output written
    EXPECT_NE(CheckOutcome("p", {"-s", "-q"}, help, 0, head + row, warning), "");  // warned
    EXPECT_NE(CheckOutcome("p", {"-s", "-q"}, help, 2, "",
                           "\n**** Havorkastilo: Error -> SOMETHING ****\n     Exiting "
                           "Havorkastilo ... \n\n"),
              "");
}

}  // namespace

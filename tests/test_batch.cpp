// The batch runner tools/havorkastilo-batch: it runs the program once per
// station of a list and leaves, for every good station, the file a direct run
// of the program would print; it reports every bad line with its number; a
// killed run never leaves a half table under a final name, and a rerun
// finishes the work without redoing what was finished, once nothing of the
// killed run works in the folder any more (until then it is refused); a
// stopped runner ends only when its runs have ended; shards and the tasks
// of the Slurm array job split the list so that every station runs exactly
// once; hostile names, paths and very long lists are taken in their stride.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/run_program.h"

namespace {

using testsupport::Names;
using testsupport::Count;
using testsupport::MakeTempDir;
using testsupport::ProgramRun;
using testsupport::Quote;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::Shell;
using testsupport::SplitLines;
using testsupport::ToolDir;
using testsupport::WriteFile;

const std::string kRunner = std::string(HAVORKASTILO_SOURCE_DIR) + "/tools/havorkastilo-batch";
const std::string kReadme = std::string(HAVORKASTILO_SOURCE_DIR) + "/README.md";
const std::string kProgram = HAVORKASTILO_EXE;

// The lock file of a run of the whole list in its output folder.
const std::string kLockFile = ".havorkastilo-batch.lock";

// A short span: seven rows.
const std::vector<std::string> kSpan = {"-e12019-01-17/00:00:00", "-e22019-01-17/06:00:00"};

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool Have(const std::string& tool) {
    const ProgramRun run = Shell("command -v " + tool + " >/dev/null");
    return run.exited && run.status == 0;
}

// The program's table for one station, run directly.
std::string Direct(const std::string& position, const std::vector<std::string>& options) {
    std::vector<std::string> args = {position};
    args.insert(args.end(), options.begin(), options.end());
    const ProgramRun run = RunProgram(kProgram, args);
    EXPECT_TRUE(run.exited && run.status == 0) << position;
    return run.out;
}

// The runner with the given arguments; env holds NAME=VALUE settings.
ProgramRun Batch(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                 double timeout_s = 300) {
    std::vector<std::string> all = env;
    all.push_back(kRunner);
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram("/usr/bin/env", all, timeout_s);
}

// What the runner needs from the PATH besides GNU Parallel.
const std::vector<std::string> kBasicTools = {
    "bash", "env",  "awk",   "mawk",    "gawk", "readlink", "mkdir", "mktemp", "rm",
    "mv",   "tail", "nproc", "dirname", "cat",  "find",     "flock", "mkfifo"};

// A station of a list: the line and, when the line is good, the position
// option the program gets for it (written from the list's documented
// meaning, not taken from the runner).
struct Station {
    std::string line;
    std::string name;      // empty for a bad line
    std::string position;  // -pcLAT,LON,H or -pxX,Y,Z
};

std::string ListText(const std::string& header, const std::vector<Station>& stations) {
    std::string text = header + "\n";
    for (const Station& s : stations) text += s.line + "\n";
    return text;
}

// A folder of its own for each test, removed afterwards.
class BatchTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("havorkastilo-batch-test");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        if (dir_.empty()) return;
        for (const std::string& d : immutable_) Shell("chattr -i " + Quote(d) + " 2>/dev/null");
        Shell("chmod -R u+rwx " + Quote(dir_) + " 2>/dev/null; rm -rf " + Quote(dir_));
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
    std::vector<std::string> immutable_;
};

// ---------------------------------------------------------------------------
// Help and command line

TEST_F(BatchTest, HelpListsTheOptionsAndExitsZero) {
    for (const char* flag : {"-h", "--help"}) {
        const ProgramRun run = Batch({flag});
        ASSERT_TRUE(run.exited);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("Usage: havorkastilo-batch LIST -o DIR", 0), 0u);
        for (const char* option : {"--output", "--jobs", "--force", "--shard", "--check",
                                   "--sshloginfile", "--slurm", "--submit", "--program", "--help",
                                   "HAVORKASTILO", "Exit status", "name,lat,lon,h", "name,x,y,z"})
            EXPECT_NE(run.out.find(option), std::string::npos) << option;
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(BatchTest, WrongCommandLinesEndWithStatusTwoAndMakeNothing) {
    const std::string list = Path("list.csv");
    WriteFile(list, "name,lat,lon,h\nLJUB,46.0431,14.5436,354\n");
    const std::string out = Path("out");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "no station list given"},
        {{"-o", out}, "no station list given"},
        {{list}, "no output folder given: -o DIR"},
        {{list, list, "-o", out}, "only one station list may be given"},
        {{list, "-q", "-o", out}, "unknown option: -q"},
        {{list, "-o"}, "option -o needs a value"},
        {{list, "-o", out, "--jobs", "0"}, "--jobs takes a whole number of stations run at once"},
        {{list, "-o", out, "-j", "two"}, "--jobs takes a whole number"},
        {{list, "-o", out, "--shard", "3/3"}, "--shard takes I/N with 0 <= I < N"},
        {{list, "-o", out, "--shard=1/0"}, "--shard takes I/N"},
        {{list, "-o", out, "--shard", "1"}, "--shard takes I/N"},
        {{list, "-o", out, "--slurm", "0"}, "--slurm takes the number of array tasks"},
        {{list, "-o", out, "--submit"}, "--submit needs --slurm N"},
        {{list, "-o", out, "--slurm", "2", "--shard", "0/2"}, "--shard cannot be added"},
        {{list, "-o", out, "--slurm", "2", "--check"}, "--slurm and --check cannot be combined"},
        {{list, "-o", out, "--", "-pc46,15,0"},
         "the station's position comes from the list; the program option \"-pc46,15,0\""},
        {{list, "-o", out, "--", "-e12019-01-17/00:00:00", "-PX1,2,3"}, "\"-PX1,2,3\""},
        {{list, "-o", out, "--", "-p"}, "the program option \"-p\" cannot be given"},
        {{list, "-o", out, "--sshloginfile", Path("none")}, "--sshloginfile"},
    };
    for (const auto& c : cases) {
        std::string what;
        for (const std::string& a : c.args) what += a + " ";
        std::vector<std::string> args = {"--program", kProgram};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = Batch(args);
        ASSERT_TRUE(run.exited) << what;
        EXPECT_EQ(run.status, 2) << what;
        EXPECT_EQ(run.out, "") << what;
        EXPECT_EQ(run.err.rfind("havorkastilo-batch: error: ", 0), 0u) << what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << what << "\n" << run.err;
        EXPECT_EQ(SplitLines(run.err).size(), 1u) << what << "\n" << run.err;
        EXPECT_FALSE(Exists(out)) << what << ": made the output folder";
    }
}

TEST_F(BatchTest, AListThatCannotBeReadOrHasNoHeaderEndsWithStatusOne) {
    const struct {
        std::string what, text, message;
    } cases[] = {
        {"empty", "", "no header line \"name,lat,lon,h\" or \"name,x,y,z\""},
        {"comments only", "# nothing\n\n", "no header line"},
        {"a station before the header", "LJUB,46,14,354\nname,lat,lon,h\n",
         "line 1: the header must be \"name,lat,lon,h\" or \"name,x,y,z\", not "
         "\"LJUB,46,14,354\""},
        {"a header of other columns", "name,lat,lon\n", "line 1: the header must be"},
    };
    for (const auto& c : cases) {
        WriteFile(Path("list.csv"), c.text);
        const ProgramRun run = Batch({Path("list.csv"), "-o", Path("out"), "--program", kProgram});
        ASSERT_TRUE(run.exited) << c.what;
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << "\n" << run.err;
        EXPECT_TRUE(Names(Path("out")).empty()) << c.what;
    }
    const ProgramRun missing = Batch({Path("none.csv"), "-o", Path("out"), "--program", kProgram});
    ASSERT_TRUE(missing.exited);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.csv: no such readable file"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Twenty stations of both kinds, with bad lines, in one folder

// The geodetic list: a header after a comment, blanks around values, a "+"
// sign, the limits of latitude and longitude, a CRLF line end, a name of
// every allowed kind of character, and nine bad lines.
const std::vector<Station> kGeodetic = {
    {"LJUB,46.0431,14.5436,354", "LJUB", "-pc46.0431,14.5436,354"},
    {"GRAZ, 47.0671 , +15.4933 ,538", "GRAZ", "-pc47.0671,15.4933,538"},
    {"", "", ""},
    {"POLE,90,-180,0", "POLE", "-pc90,-180,0"},
    {"SOUT,-89.5,179.999,-25.5", "SOUT", "-pc-89.5,179.999,-25.5"},
    {"../x,46,15,0", "", ""},
    {"LJUB,46,15,0", "", ""},
    {"Graz,46,15,0", "", ""},
    {"HIGH,90.0001,15,0", "", ""},
    {"EAST,46,180.5,0", "", ""},
    {"EXPO,4.6e1,15,0", "", ""},
    {"# a comment between the stations", "", ""},
    {"NOHT,46,15", "", ""},
    {"EMPT,46,,0", "", ""},
    {".hid,46,15,0", "", ""},
    {"WIEN,48.2,16.37,170\r", "WIEN", "-pc48.2,16.37,170"},
    {"a-b_c.D9,45.5,13.5,1000", "a-b_c.D9", "-pc45.5,13.5,1000"},
    {"BRNO,49.2,.5,5.", "BRNO", "-pc49.2,.5,5."},
    {"PRAG,50.08,14.42,300", "PRAG", "-pc50.08,14.42,300"},
    {"\tBUDA\t,47.5,19.04,120", "BUDA", "-pc47.5,19.04,120"},
    {"ROMA,41.9,12.5,60", "ROMA", "-pc41.9,12.5,60"},
    {"ZURI,47.37,8.54,408", "ZURI", "-pc47.37,8.54,408"},
    {"KRAK,50.06,19.94,219", "KRAK", "-pc50.06,19.94,219"},
};
// Its bad lines: the line number (the header is line 2) and the reason, as
// the documented rules give them.
const std::map<int, std::string> kGeodeticBad = {
    {8, "the name \"../x\" may hold only A-Z a-z 0-9 _ . -"},
    {9, "the name \"LJUB\" is already used on line 3"},
    {10, "the name \"Graz\" is already used on line 4"},
    {11, "the latitude 90.0001 is beyond 90 degrees"},
    {12, "the longitude 180.5 is beyond 180 degrees"},
    {13, "the latitude \"4.6e1\" is not a plain decimal number"},
    {15, "3 fields, not 4 (name,lat,lon,h)"},
    {16, "the longitude is missing"},
    {17, "the name \".hid\" begins with \".\""},
};

// The Cartesian list: eight stations, one of them at the geocentre, where the
// program refuses to run, and four bad lines.
const std::vector<Station> kCartesian = {
    {"ZAGR,4282000.5,1224000.25,4551000.125", "ZAGR", "-px4282000.5,1224000.25,4551000.125"},
    {"TRST,4336800,1071200,4537100", "TRST", "-px4336800,1071200,4537100"},
    {"GEO0,0,0,0", "GEO0", "-px0,0,0"},
    {"NEGS,-4000000,-2000000,-4400000", "NEGS", "-px-4000000,-2000000,-4400000"},
    {"WORD,abc,1,2", "", ""},
    {"LONG,1234567890123456789012345678901234567890123456789012345,0,0", "", ""},
    {"zagr,1,2,3", "", ""},
    {"FIVE,1,2,3,4", "", ""},
    {"OSLO,3172000,604000,5481000", "OSLO", "-px3172000,604000,5481000"},
    {"MADR,4849000,-360000,4114000", "MADR", "-px4849000,-360000,4114000"},
    {"PLUS,+4000000,+1000000,+4800000", "PLUS", "-px4000000,1000000,4800000"},
    {"FRAC,4100000.000001,1100000.5,4700000.25", "FRAC", "-px4100000.000001,1100000.5,4700000.25"},
};
const std::map<int, std::string> kCartesianBad = {
    {6, "the x \"abc\" is not a plain decimal number"},
    {7, "the x has more than 49 characters"},
    {8, "the name \"zagr\" is already used on line 2"},
    {9, "5 fields, not 4 (name,x,y,z)"},
};

TEST_F(BatchTest, TwentyStationsOfBothKindsMatchADirectRunAndBadLinesAreNamed) {
    WriteFile(Path("geodetic.csv"), "# a small network\n" + ListText("name,lat,lon,h", kGeodetic));
    WriteFile(Path("cartesian.csv"), ListText("name,x,y,z", kCartesian));
    const std::string out = Path("out");
    std::vector<std::string> tail = {"--program", kProgram, "--jobs", "2", "--"};
    tail.insert(tail.end(), kSpan.begin(), kSpan.end());

    std::vector<std::string> args = {Path("geodetic.csv"), "-o", out};
    args.insert(args.end(), tail.begin(), tail.end());
    const ProgramRun geodetic = Batch(args);
    args = {Path("cartesian.csv"), "--output=" + out};
    args.insert(args.end(), tail.begin(), tail.end());
    const ProgramRun cartesian = Batch(args);

    struct Expected {
        const std::vector<Station>* stations;
        const std::map<int, std::string>* bad;
        const ProgramRun* run;
        std::string list;
        int firstLine;  // the list line of stations[0]
    };
    const Expected lists[] = {{&kGeodetic, &kGeodeticBad, &geodetic, "geodetic.csv", 3},
                              {&kCartesian, &kCartesianBad, &cartesian, "cartesian.csv", 2}};
    std::set<std::string> expectedNames;
    int good = 0;
    for (const Expected& e : lists) {
        const ProgramRun& run = *e.run;
        ASSERT_TRUE(run.exited) << e.list;
        EXPECT_EQ(run.status, 1) << e.list << ": bad lines make the status 1\n" << run.err;
        EXPECT_EQ(run.out, "") << e.list;
        // Every bad line once, with its number and reason, and no other line.
        for (const auto& [line, reason] : *e.bad) {
            const std::string message = "havorkastilo-batch: " + Path(e.list) + ": line " +
                                        std::to_string(line) + ": " + reason;
            EXPECT_EQ(Count(run.err, message), 1) << message << "\n" << run.err;
        }
        EXPECT_EQ(Count(run.err, ": line "), static_cast<int>(e.bad->size())) << run.err;
        for (const Station& s : *e.stations) {
            if (s.name.empty()) continue;
            ++good;
            if (s.name == "GEO0") {
                expectedNames.insert("GEO0.err");
                continue;
            }
            expectedNames.insert(s.name + ".txt");
            EXPECT_EQ(ReadFile(out + "/" + s.name + ".txt"), Direct(s.position, kSpan))
                << s.name << " differs from a direct run";
        }
    }
    EXPECT_EQ(good, 20);
    EXPECT_EQ(Names(out), expectedNames) << "no temporary file, no file of a bad line";

    // The station at the geocentre failed: its log holds what the program
    // wrote on standard error, and the summary counts it.
    std::vector<std::string> direct = {"-px0,0,0"};
    direct.insert(direct.end(), kSpan.begin(), kSpan.end());
    const ProgramRun geocentre = RunProgram(kProgram, direct);
    ASSERT_EQ(geocentre.status, 1);
    ASSERT_NE(geocentre.err, "");
    EXPECT_NE(ReadFile(out + "/GEO0.err").find(geocentre.err), std::string::npos);
    EXPECT_NE(cartesian.err.find("havorkastilo-batch: station GEO0 failed with status 1; see " +
                                 out + "/GEO0.err"),
              std::string::npos)
        << cartesian.err;
    EXPECT_NE(geodetic.err.find("havorkastilo-batch: 21 station lines: 12 done, 0 skipped, "
                                "0 failed, 9 bad\n"),
              std::string::npos)
        << geodetic.err;
    EXPECT_NE(cartesian.err.find("havorkastilo-batch: 12 station lines: 7 done, 0 skipped, "
                                 "1 failed, 4 bad\n"),
              std::string::npos)
        << cartesian.err;
}

TEST_F(BatchTest, AFailedRunLeavesItsMessagesInTheLogAndASuccessRemovesIt) {
    WriteFile(Path("list.csv"),
              "name,lat,lon,h\nLJUB,46.0431,14.5436,354\nGRAZ,47.0671,15.4933,538\n");
    const std::string out = Path("out");
    // An invalid month: the program writes its report on standard output and
    // ends with status 1, so there is no table, and the log has the report.
    const ProgramRun bad =
        Batch({Path("list.csv"), "-o", out, "--program", kProgram, "--", "-e12019-13-17/00:00:00"});
    ASSERT_TRUE(bad.exited);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(Names(out), (std::set<std::string>{"LJUB.err", "GRAZ.err"}));
    const std::string log = ReadFile(out + "/LJUB.err");
    EXPECT_NE(log.find("**** ymdhms: Error -> MONTH not valid ****"), std::string::npos) << log;
    EXPECT_NE(log.find("'-pc46.0431,14.5436,354' '-e12019-13-17/00:00:00'"), std::string::npos)
        << "the log names the command\n"
        << log;
    EXPECT_NE(log.find("ended with status 1\n"), std::string::npos) << log;
    EXPECT_NE(bad.err.find("0 done, 0 skipped, 2 failed, 0 bad"), std::string::npos) << bad.err;

    // The same stations with a good span: the tables come, the logs go.
    std::vector<std::string> args = {Path("list.csv"), "-o", out, "--program", kProgram, "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    const ProgramRun good = Batch(args);
    ASSERT_TRUE(good.exited);
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(Names(out), (std::set<std::string>{"LJUB.txt", "GRAZ.txt"}));
    EXPECT_EQ(good.out, "");
    EXPECT_EQ(good.err,
              "havorkastilo-batch: 2 station lines: 2 done, 0 skipped, 0 failed, 0 bad\n");
}

TEST_F(BatchTest, CommaSeparatedOutputIsNamedCsvAndStrictInputFailsTheStation) {
    WriteFile(Path("list.csv"),
              "name,lat,lon,h\nLJUB,46.0431,14.5436,354\nGRAZ,47.0671,15.4933,538\n");
    const std::map<std::string, std::string> positions = {{"LJUB", "-pc46.0431,14.5436,354"},
                                                          {"GRAZ", "-pc47.0671,15.4933,538"}};
    // Of -oc and -ot the later wins, in any letter case; the file's name and
    // its text follow the program's choice.
    const struct {
        std::vector<std::string> options;
        std::string ext;
    } cases[] = {{{"-oc"}, "csv"}, {{"-OC", "-ot"}, "txt"}, {{"-oT", "-Oc"}, "csv"}};
    int i = 0;
    for (const auto& c : cases) {
        const std::string out = Path("out" + std::to_string(i++));
        std::vector<std::string> options = kSpan;
        options.insert(options.end(), c.options.begin(), c.options.end());
        std::vector<std::string> args = {Path("list.csv"), "-o",     out, "--jobs", "2",
                                         "--program",      kProgram, "--"};
        args.insert(args.end(), options.begin(), options.end());
        const ProgramRun run = Batch(args);
        ASSERT_TRUE(run.exited) << c.ext;
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Names(out), (std::set<std::string>{"GRAZ." + c.ext, "LJUB." + c.ext}));
        for (const auto& [name, position] : positions)
            EXPECT_EQ(ReadFile(out + "/" + name + "." + c.ext), Direct(position, options)) << name;
    }
    EXPECT_EQ(ReadFile(Path("out0/LJUB.csv")).rfind("utc,mjd,sod,", 0), 0u);

    // -oc implies strict input: an unknown option ends each run with status 2,
    // and the log holds the program's report.
    const ProgramRun strict =
        Batch({Path("list.csv"), "-o", Path("strict"), "--program", kProgram, "--", "-oc", "-q"});
    ASSERT_TRUE(strict.exited);
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(Names(Path("strict")), (std::set<std::string>{"GRAZ.err", "LJUB.err"}));
    const ProgramRun direct = RunProgram(kProgram, {"-pc46.0431,14.5436,354", "-oc", "-q"});
    ASSERT_EQ(direct.status, 2);
    EXPECT_EQ(ReadFile(Path("strict/LJUB.err")).rfind(direct.err, 0), 0u)
        << ReadFile(Path("strict/LJUB.err"));
    EXPECT_NE(strict.err.find("station LJUB failed with status 2"), std::string::npos)
        << strict.err;
}

// ---------------------------------------------------------------------------
// Resume

struct FileId {
    ino_t inode = 0;
    timespec mtime{};
    off_t size = 0;
};

FileId Id(const std::string& path) {
    struct stat st;
    FileId id;
    if (stat(path.c_str(), &st) == 0) {
        id.inode = st.st_ino;
        id.mtime = st.st_mtim;
        id.size = st.st_size;
    }
    return id;
}

bool Same(const FileId& a, const FileId& b) {
    return a.inode == b.inode && a.mtime.tv_sec == b.mtime.tv_sec &&
           a.mtime.tv_nsec == b.mtime.tv_nsec && a.size == b.size;
}

TEST_F(BatchTest, ARerunSkipsFinishedStationsAndForceRecomputesThem) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\nB,47,16,100\nC,45,14,200\n");
    const std::string out = Path("out");
    std::vector<std::string> args = {Path("list.csv"), "-o", out, "--program", kProgram, "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    ASSERT_EQ(Batch(args).status, 0);
    std::map<std::string, FileId> first;
    for (const char* n : {"A", "B", "C"}) first[n] = Id(out + "/" + n + ".txt");

    // A finished station is not run again: same inode, same time.
    std::remove((out + "/B.txt").c_str());
    const ProgramRun rerun = Batch(args);
    ASSERT_TRUE(rerun.exited);
    EXPECT_EQ(rerun.status, 0);
    EXPECT_EQ(rerun.err,
              "havorkastilo-batch: 3 station lines: 1 done, 2 skipped, 0 failed, 0 bad\n");
    EXPECT_TRUE(Same(Id(out + "/A.txt"), first["A"]));
    EXPECT_TRUE(Same(Id(out + "/C.txt"), first["C"]));
    EXPECT_EQ(ReadFile(out + "/B.txt"), Direct("-pc47,16,100", kSpan));

    // --force replaces every file by a new one with the same table.
    std::vector<std::string> forced = args;
    forced.insert(forced.begin() + 1, "--force");
    const ProgramRun force = Batch(forced);
    EXPECT_EQ(force.status, 0);
    EXPECT_EQ(force.err,
              "havorkastilo-batch: 3 station lines: 3 done, 0 skipped, 0 failed, 0 bad\n");
    EXPECT_NE(Id(out + "/A.txt").inode, first["A"].inode) << "not written anew";
    EXPECT_EQ(ReadFile(out + "/A.txt"), Direct("-pc46,15,0", kSpan));
    EXPECT_EQ(Names(out), (std::set<std::string>{"A.txt", "B.txt", "C.txt"}));
}

// The fault: runs that collided on a station left NAME.err beside a complete
// NAME.txt, and a rerun, which skips the station, left the stale log there.
TEST_F(BatchTest, ALogBesideAFinishedTableGoesWhenARerunFindsTheStationDone) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\nB,47,16,0\n");
    const std::string out = Path("out");
    std::vector<std::string> args = {Path("list.csv"), "-o", out, "--program", kProgram, "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    ASSERT_EQ(Batch(args).status, 0);
    const FileId table = Id(out + "/A.txt");
    // A stale log of a station of the list, and the table and log of a
    // station the list does not hold.
    WriteFile(out + "/A.err", "an old failure\n");
    WriteFile(out + "/Z.txt", "a table of another list\n");
    WriteFile(out + "/Z.err", "a log of another list\n");
    const std::set<std::string> planted = {"A.txt", "A.err", "B.txt", "Z.txt", "Z.err"};

    // --check changes nothing.
    const ProgramRun check = Batch({Path("list.csv"), "-o", out, "--check"});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.err, "havorkastilo-batch: " + Path("list.csv") +
                             ": 2 station lines, 0 bad; 2 done already in " + out + ", 0 to run\n");
    EXPECT_EQ(Names(out), planted);

    const ProgramRun rerun = Batch(args);
    ASSERT_TRUE(rerun.exited);
    EXPECT_EQ(rerun.status, 0);
    EXPECT_EQ(rerun.err,
              "havorkastilo-batch: 2 station lines: 0 done, 2 skipped, 0 failed, 0 bad\n");
    EXPECT_EQ(Names(out), (std::set<std::string>{"A.txt", "B.txt", "Z.txt", "Z.err"}));
    EXPECT_TRUE(Same(Id(out + "/A.txt"), table)) << "the table was redone";
}

// Processes for the kill test: started with their output in files, and the
// whole tree stopped and killed as a crash would.

pid_t Spawn(const std::vector<std::string>& argv, const std::string& out, const std::string& err) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(o, 1);
        dup2(e, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// The parent of every process, read from /proc.
std::map<pid_t, pid_t> Parents() {
    std::map<pid_t, pid_t> parent;
    DIR* d = opendir("/proc");
    if (!d) return parent;
    while (dirent* e = readdir(d)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0) continue;
        const std::string stat = ReadFile("/proc/" + std::string(e->d_name) + "/stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 2));
        char state = 0;
        pid_t ppid = 0;
        rest >> state >> ppid;
        parent[pid] = ppid;
    }
    closedir(d);
    return parent;
}

// Stops a process and all its descendants (until no new one appears), then
// kills them all at once: what a crash of the machine does to a run.
void KillTree(pid_t root) {
    std::set<pid_t> tree = {root};
    for (bool grew = true; grew;) {
        grew = false;
        for (pid_t p : tree) kill(p, SIGSTOP);
        for (const auto& [pid, ppid] : Parents())
            if (tree.count(ppid) && tree.insert(pid).second) grew = true;
    }
    for (pid_t p : tree) kill(p, SIGKILL);
    for (pid_t p : tree) kill(p, SIGCONT);
}

TEST_F(BatchTest, AKilledRunResumesWithoutRedoingAndNeverShowsAHalfTable) {
    // Eight stations of a day at 4 s (21,601 rows each), two at a time.
    const std::vector<std::string> span = {"-e12019-01-17/00:00:00", "-e22019-01-18/00:00:00",
                                           "-ed00:00:04"};
    std::string list = "name,lat,lon,h\n";
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "S" + std::to_string(i);
        const std::string lat = std::to_string(40 + i), lon = std::to_string(10 + i);
        list += name + "," + lat + "," + lon + ",100\n";
        expected[name + ".txt"] = Direct("-pc" + lat + "," + lon + ",100", span);
    }
    WriteFile(Path("list.csv"), list);
    const std::string out = Path("out");
    // The runner's own temporary folder, which a killed runner cannot remove,
    // goes into the test's folder.
    mkdir(Path("tmp").c_str(), 0755);
    std::vector<std::string> argv = {"/usr/bin/env",
                                     "TMPDIR=" + Path("tmp"),
                                     kRunner,
                                     Path("list.csv"),
                                     "-o",
                                     out,
                                     "--jobs",
                                     "2",
                                     "--program",
                                     kProgram,
                                     "--"};
    argv.insert(argv.end(), span.begin(), span.end());

    // Watches the folder while a run goes on: a final name must never be
    // seen with less than the whole table.
    int halfSeen = 0;
    auto watch = [&](std::set<std::string>& finals) {
        for (const std::string& n : Names(out)) {
            if (n[0] == '.') continue;
            const auto e = expected.find(n);
            ASSERT_NE(e, expected.end()) << "unexpected file " << n;
            if (Id(out + "/" + n).size != static_cast<off_t>(e->second.size())) ++halfSeen;
            finals.insert(n);
        }
    };

    const pid_t first = Spawn(argv, Path("run1.out"), Path("run1.err"));
    ASSERT_GT(first, 0);
    std::set<std::string> finals;
    const auto start = std::chrono::steady_clock::now();
    while (finals.size() < 3 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(240)) {
        watch(finals);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    KillTree(first);
    int status = 0;
    waitpid(first, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it could be killed";
    // Every process of the run holds the folder's lock: once it can be
    // taken, none is left that could still rename a table.
    const int lock = open((out + "/" + kLockFile).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    const auto killed = std::chrono::steady_clock::now();
    bool free = false;
    while (!(free = flock(lock, LOCK_EX | LOCK_NB) == 0) &&
           std::chrono::steady_clock::now() - killed < std::chrono::seconds(60))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    close(lock);
    ASSERT_TRUE(free) << "the killed run's processes still hold the lock after 60 s";

    // Besides the tables: temporary files, and the lock file, which only a
    // run that ends can remove.
    std::map<std::string, FileId> done;
    for (const std::string& n : Names(out)) {
        if (n[0] == '.') {
            EXPECT_TRUE(n.find(".tmp.") != std::string::npos || n == kLockFile)
                << "a hidden file that is no temporary: " << n;
            continue;
        }
        EXPECT_EQ(ReadFile(out + "/" + n), expected[n]) << n << " is not the whole table";
        done[n] = Id(out + "/" + n);
    }
    ASSERT_GE(done.size(), 3u);
    ASSERT_LT(done.size(), 8u) << "nothing was left to resume";

    // The rerun finishes the rest and leaves the finished files alone.
    const pid_t second = Spawn(argv, Path("run2.out"), Path("run2.err"));
    for (int ended = 0; !ended;) {
        watch(finals);
        ended = waitpid(second, &status, WNOHANG);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFile(Path("run2.err"));
    EXPECT_EQ(halfSeen, 0) << "a final name held a partial table";
    std::set<std::string> all;
    for (const auto& [n, table] : expected) {
        all.insert(n);
        EXPECT_EQ(ReadFile(out + "/" + n), table) << n;
    }
    EXPECT_EQ(Names(out), all) << "the temporary files of the killed run are gone";
    for (const auto& [n, id] : done) EXPECT_TRUE(Same(Id(out + "/" + n), id)) << n << " was redone";
    EXPECT_NE(ReadFile(Path("run2.err"))
                  .find(std::to_string(8 - done.size()) + " done, " + std::to_string(done.size()) +
                        " skipped, 0 failed, 0 bad"),
              std::string::npos)
        << ReadFile(Path("run2.err"));
}

// ---------------------------------------------------------------------------
// Signals, killed processes and the lock
//
// A stand-in program records that it runs and then waits at a gate that the
// test opens, so that every step below waits for an event; a deadline bounds
// each wait only so that a fault fails the test instead of hanging it.

// Polls until done() holds; false when the deadline passed first.
template <class Done>
bool WaitFor(Done done, int seconds = 120) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Waits for a spawned process to end and gives its wait status, or -1 when
// it had to be killed at the deadline.
int WaitEnd(pid_t pid, int seconds = 120) {
    int status = 0;
    if (WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) return status;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

// The runner with the given arguments, started in the background with its
// temporary folder in tmp; its standard error goes to err.
pid_t SpawnRunner(const std::vector<std::string>& args, const std::string& tmp,
                  const std::string& err) {
    std::vector<std::string> argv = {"/usr/bin/env", "TMPDIR=" + tmp, "LC_ALL=C", kRunner};
    argv.insert(argv.end(), args.begin(), args.end());
    return Spawn(argv, "/dev/null", err);
}

// A process's start time after boot [clock ticks] (field 22 of /proc/PID/stat),
// which tells a reused PID from the process that had it; 0 when the process
// has ended, zombies included (they can do nothing more).
unsigned long long StartTime(pid_t pid) {
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(stat.substr(close + 2));
    char state = 0;
    rest >> state;
    std::string field;
    for (int f = 4; f <= 21; ++f) rest >> field;
    unsigned long long start = 0;
    rest >> start;
    return state == 'Z' || !rest ? 0 : start;
}

// Every process below root, with its start time.
std::map<pid_t, unsigned long long> Descendants(pid_t root) {
    const std::map<pid_t, pid_t> parent = Parents();
    std::map<pid_t, unsigned long long> below;
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [pid, ppid] : parent)
            if ((ppid == root || below.count(ppid)) && !below.count(pid)) {
                below[pid] = StartTime(pid);
                grew = true;
            }
    }
    return below;
}

// Those of the processes that still run.
std::vector<pid_t> StillRunning(const std::map<pid_t, unsigned long long>& processes) {
    std::vector<pid_t> running;
    for (const auto& [pid, start] : processes)
        if (start != 0 && StartTime(pid) == start) running.push_back(pid);
    return running;
}

// A gate: a file on which the test holds an exclusive lock (flock), which a
// stand-in passes with "flock -s FILE true" once the test opens the gate.
// The descriptor is closed on exec, so no child of the test holds the lock.
class Gate {
  public:
    explicit Gate(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) Open();
    }
    ~Gate() { Open(); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;
    bool Closed() const { return fd_ >= 0; }
    void Open() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

// A stand-in for the program: appends "PID POSITION" to started, waits at the
// gate, then prints "table POSITION" as its table.  before: shell lines run
// first.
std::string StandIn(const std::string& path, const std::string& started, const std::string& gate,
                    const std::string& before = "") {
    WriteFile(path, "#!/bin/sh\n" + before + "printf '%s %s\\n' \"$$\" \"$1\" >>" + Quote(started) +
                        "\nflock -s " + Quote(gate) + " true\nprintf 'table %s\\n' \"$1\"\n");
    chmod(path.c_str(), 0755);
    return path;
}

// The stand-ins that have started: their PIDs and positions.
std::map<pid_t, std::string> Started(const std::string& file) {
    std::map<pid_t, std::string> started;
    for (const std::string& line : SplitLines(ReadFile(file))) {
        const std::size_t space = line.find(' ');
        started[static_cast<pid_t>(std::atoi(line.c_str()))] =
            space == std::string::npos ? "" : line.substr(space + 1);
    }
    return started;
}

bool HasStarted(const std::string& file, const std::string& position) {
    for (const auto& [pid, p] : Started(file))
        if (p == position) return true;
    return false;
}

// Whether no process holds the lock of a lock file (flock, as the runner
// takes it); true when there is no such file.
bool LockFree(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free;
}

// The fault this guards against: a stopped runner ended while GNU Parallel
// was still stopping its runs, which went on renaming tables and starting
// stations.  When the runner has ended, no process of its run may be left.
TEST_F(BatchTest, ATermSignalStopsEveryRunAndNothingIsRenamedAfterwards) {
    const std::vector<std::string> span = {"-e12019-01-17/00:00:00", "-e22019-01-18/00:00:00",
                                           "-ed00:00:04"};
    std::string list = "name,lat,lon,h\n";
    std::map<std::string, std::string> tables;
    for (int i = 0; i < 6; ++i) {
        list += "T" + std::to_string(i) + ",46,15," + std::to_string(i) + "\n";
        tables["T" + std::to_string(i) + ".txt"] = Direct("-pc46,15," + std::to_string(i), span);
    }
    WriteFile(Path("list.csv"), list);
    // The runner's own temporary folder goes into the test's folder.
    mkdir(Path("tmp").c_str(), 0755);
    Gate gate(Path("gate"));
    ASSERT_TRUE(gate.Closed());
    const struct {
        std::string what, jobs;
        bool ignoresTerm, waits;
    } cases[] = {
        {"the program, two at a time", "2", false, false},
        {"a program that ignores TERM, two at a time (GNU Parallel kills it)", "2", true, false},
        {"a program that ignores TERM and hangs, one at a time (the runner kills it)", "1", true,
         true},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string n = std::to_string(i++);
        const std::string out = Path("out" + n), started = Path("started" + n);
        // The program under a wrapper that records its PID (exec keeps it).
        const std::string wrapper = Path("wrapper" + n);
        WriteFile(wrapper, std::string("#!/bin/sh\n") + (c.ignoresTerm ? "trap '' TERM\n" : "") +
                               "printf '%s\\n' \"$$\" >>" + Quote(started) + "\n" +
                               (c.waits ? "flock -s " + Quote(Path("gate")) + " true\n" : "") +
                               "exec " + Quote(kProgram) + " \"$@\"\n");
        chmod(wrapper.c_str(), 0755);
        std::vector<std::string> args = {Path("list.csv"), "-o",        out,     "--jobs",
                                         c.jobs,           "--program", wrapper, "--"};
        args.insert(args.end(), span.begin(), span.end());
        const pid_t pid = SpawnRunner(args, Path("tmp"), Path("run" + n + ".err"));
        ASSERT_GT(pid, 0);
        // Until a program has begun writing its table, or waits at the gate.
        ASSERT_TRUE(WaitFor([&] {
            if (c.waits) return !Started(started).empty();
            for (const std::string& f : Names(out))
                if (f.find(".txt.tmp.") != std::string::npos && Id(out + "/" + f).size > 0)
                    return true;
            return false;
        })) << c.what;
        std::map<pid_t, unsigned long long> run = Descendants(pid);
        ASSERT_FALSE(run.empty()) << c.what;
        kill(pid, SIGTERM);
        const int status = WaitEnd(pid);
        ASSERT_NE(status, -1) << c.what << ": the runner did not end";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << c.what << "\n" << status;
        // Nothing of the run is left, so nothing can rename a table now.
        for (const auto& [program, position] : Started(started))
            if (!run.count(program)) run[program] = StartTime(program);
        const std::vector<pid_t> left = StillRunning(run);
        EXPECT_TRUE(left.empty()) << c.what << ": " << left.size()
                                  << " processes of the run outlived the runner";
        for (pid_t p : left) kill(p, SIGKILL);
        for (const std::string& f : Names(out)) {
            if (f[0] == '.') {
                EXPECT_NE(f.find(".txt.tmp."), std::string::npos) << c.what << ": " << f;
                continue;
            }
            EXPECT_EQ(ReadFile(out + "/" + f), tables[f]) << c.what << ": " << f;
        }
        EXPECT_TRUE(Names(Path("tmp")).empty()) << c.what << ": the temporary folder is left";
        EXPECT_EQ(ReadFile(Path("run" + n + ".err")), "") << c.what;
    }
}

// The fault: a run killed with SIGKILL left GNU Parallel and its programs
// running, and a rerun worked beside them, each deleting the other's
// temporary files.  The lock, which every process of a run holds, refuses
// the rerun until the last of them has ended.
TEST_F(BatchTest, ARunIsRefusedWhileAnotherRunOrItsOrphansWorkInTheFolder) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nS0,40,15,0\nS1,41,15,0\nS2,42,15,0\nS3,43,15,0\n");
    const std::string out = Path("out"), started = Path("started");
    mkdir(Path("tmp").c_str(), 0755);
    Gate gate(Path("gate"));
    ASSERT_TRUE(gate.Closed());
    const std::vector<std::string> args = {Path("list.csv"),
                                           "-o",
                                           out,
                                           "--jobs",
                                           "2",
                                           "--program",
                                           StandIn(Path("stand-in"), started, Path("gate"))};
    const pid_t first = SpawnRunner(args, Path("tmp"), Path("first.err"));
    ASSERT_TRUE(WaitFor([&] { return Started(started).size() >= 2; }));

    const std::string refusal = "havorkastilo-batch: error: the output folder \"" + out +
                                "\" is in use: a run of the whole list holds " + out + "/" +
                                kLockFile +
                                "; try again when it and the programs it started have ended\n";
    const std::set<std::string> before = Names(out);
    auto refused = [&](const std::string& when) {
        const ProgramRun run = Batch(args, {}, 60);
        ASSERT_TRUE(run.exited) << when << ": the second run did not refuse at once";
        EXPECT_EQ(run.status, 3) << when;
        EXPECT_EQ(run.out, "") << when;
        EXPECT_EQ(run.err, refusal) << when;
        EXPECT_EQ(Names(out), before) << when << ": the refused run changed the folder";
    };
    refused("while the first run works");

    // The runner alone is killed, as "kill -KILL PID" does: GNU Parallel, the
    // shells and the programs carry on, and hold the lock.
    kill(first, SIGKILL);
    const int status = WaitEnd(first);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    refused("while the killed run's programs still work");

    // They finish the list; the lock file stays, as no runner removes it.
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return LockFree(out + "/" + kLockFile); }))
        << "the killed run's processes did not end";
    const std::set<std::string> tables = {"S0.txt", "S1.txt", "S2.txt", "S3.txt"};
    std::set<std::string> withLock = tables;
    withLock.insert(kLockFile);
    EXPECT_EQ(Names(out), withLock);

    // A rerun now finds the work done and leaves the folder clean.
    const ProgramRun again = Batch(args);
    ASSERT_TRUE(again.exited);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.err,
              "havorkastilo-batch: 4 station lines: 0 done, 4 skipped, 0 failed, 0 bad\n");
    EXPECT_EQ(Names(out), tables);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(ReadFile(out + "/S" + std::to_string(k) + ".txt"),
                  "table -pc4" + std::to_string(k) + ",15,0\n");
}

// Shards I/N and J/M share the station lines k with k mod N = I and
// k mod M = J; some such k exists below N·M if any does.
bool ShareAStation(int i, int n, int j, int m) {
    for (int k = 0; k < n * m; ++k)
        if (k % n == i && k % m == j) return true;
    return false;
}

// The lock file of shard I/N, as the documentation names it.
std::string LockName(int i, int n) {
    return n == 1 ? kLockFile
                  : ".havorkastilo-batch.shard-" + std::to_string(i) + "-of-" + std::to_string(n) +
                        ".lock";
}

TEST_F(BatchTest, ShardsOfOneCountWorkTogetherAndRunsThatShareAStationRefuseEachOther) {
    std::string list = "name,lat,lon,h\n";
    for (int k = 0; k < 8; ++k)
        list += "K" + std::to_string(k) + "," + std::to_string(30 + k) + ",15,0\n";
    WriteFile(Path("list.csv"), list);
    const std::string out = Path("out"), started = Path("started");
    mkdir(Path("tmp").c_str(), 0755);
    Gate gate(Path("gate"));
    ASSERT_TRUE(gate.Closed());
    const std::string standIn = StandIn(Path("stand-in"), started, Path("gate"));
    auto position = [](int k) { return "-pc" + std::to_string(30 + k) + ",15,0"; };

    // Runs started one after the other while the earlier ones wait at the
    // gate.  Each works beside the others, or is refused by the first working
    // run (in the order of their lock files' names) that shares a station
    // with it; 0/1 is the whole list.
    struct Shard {
        int i, n;
    };
    const Shard order[] = {{0, 2}, {1, 4}, {0, 2}, {0, 1}, {2, 4}, {1, 2}, {3, 4}};
    std::vector<Shard> working;
    std::vector<pid_t> pids;
    int refusals = 0;
    for (const Shard& s : order) {
        const std::string shard = std::to_string(s.i) + "/" + std::to_string(s.n);
        std::vector<std::string> args = {Path("list.csv"), "-o",   out, "--jobs", "1",
                                         "--program",      standIn};
        if (s.n > 1) args.insert(args.end(), {"--shard", shard});
        const Shard* holder = nullptr;
        for (const Shard& w : working)
            if (ShareAStation(s.i, s.n, w.i, w.n) &&
                (!holder || LockName(w.i, w.n) < LockName(holder->i, holder->n)))
                holder = &w;
        if (!holder) {
            pids.push_back(
                SpawnRunner(args, Path("tmp"),
                            Path("shard-" + std::to_string(s.i) + "-of-" + std::to_string(s.n))));
            // Its first station is line k = I.
            ASSERT_TRUE(WaitFor([&] { return HasStarted(started, position(s.i)); })) << shard;
            working.push_back(s);
            continue;
        }
        ++refusals;
        const std::string held = std::to_string(holder->i) + "/" + std::to_string(holder->n);
        const std::string file = LockName(holder->i, holder->n);
        const std::set<std::string> before = Names(out);
        const ProgramRun run = Batch(args, {}, 60);
        ASSERT_TRUE(run.exited) << shard << " did not refuse at once";
        EXPECT_EQ(run.status, 3) << shard << "\n" << run.err;
        EXPECT_EQ(run.err, "havorkastilo-batch: error: the output folder \"" + out +
                               "\" is in use: a run of shard " + held + " holds " + out + "/" +
                               file +
                               "; try again when it and the programs it started have ended\n")
            << shard;
        EXPECT_EQ(Names(out), before) << shard << " changed the folder";
    }
    ASSERT_EQ(working.size(), 3u) << "0/2, 1/4 and 3/4 share no station";
    ASSERT_EQ(refusals, 4);

    gate.Open();
    const char* summaries[] = {
        "havorkastilo-batch: shard 0/2: 4 station lines: 4 done, 0 skipped, 0 failed, 0 bad\n",
        "havorkastilo-batch: shard 1/4: 2 station lines: 2 done, 0 skipped, 0 failed, 0 bad\n",
        "havorkastilo-batch: shard 3/4: 2 station lines: 2 done, 0 skipped, 0 failed, 0 bad\n"};
    for (std::size_t w = 0; w < pids.size(); ++w) {
        const int status = WaitEnd(pids[w]);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << w;
        EXPECT_EQ(ReadFile(Path("shard-" + std::to_string(working[w].i) + "-of-" +
                                std::to_string(working[w].n))),
                  summaries[w]);
    }
    // Together they did the whole list, and each removed its lock file.
    std::set<std::string> all;
    for (int k = 0; k < 8; ++k) {
        all.insert("K" + std::to_string(k) + ".txt");
        EXPECT_EQ(ReadFile(out + "/K" + std::to_string(k) + ".txt"), "table " + position(k) + "\n");
    }
    EXPECT_EQ(Names(out), all);
}

TEST_F(BatchTest, AFolderThatCannotBeLockedIsRunWithAWarning) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\n");
    const std::string expected = Direct("-pc46,15,0", kSpan);
    auto batch = [&](const std::string& out, const std::vector<std::string>& env) {
        std::vector<std::string> args = {Path("list.csv"), "-o",     out, "--jobs", "1",
                                         "--program",      kProgram, "--"};
        args.insert(args.end(), kSpan.begin(), kSpan.end());
        std::vector<std::string> all = {"LC_ALL=C"};
        all.insert(all.end(), env.begin(), env.end());
        return Batch(args, all);
    };
    const std::string summary =
        "havorkastilo-batch: 1 station line: 1 done, 0 skipped, 0 failed, 0 bad\n";
    auto warning = [](const std::string& out, const std::string& reason) {
        return "havorkastilo-batch: warning: cannot lock the output folder \"" + out + "\" (" +
               reason + "); a second run in it at the same time is not refused\n";
    };

    // A folder where the lock file would go: it cannot be opened.
    const std::string folder = Path("folder");
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/" + kLockFile).c_str(), 0755);
    ProgramRun run = batch(folder, {});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, warning(folder, "Is a directory") + summary);
    EXPECT_EQ(ReadFile(folder + "/A.txt"), expected);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"A.txt", kLockFile}));

    // A file system without locks: flock fails (a stand-in flock says what
    // flock says on a mount without lock support).
    std::vector<std::string> tools;
    for (const std::string& t : kBasicTools)
        if (t != "flock") tools.push_back(t);
    const std::string bin = ToolDir(Path("tools"), tools);
    WriteFile(bin + "/flock", "#!/bin/sh\necho \"flock: $1: No locks available\" >&2\nexit 69\n");
    chmod((bin + "/flock").c_str(), 0755);
    run = batch(Path("nolocks"), {"PATH=" + bin});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, warning(Path("nolocks"), "No locks available") + summary);
    EXPECT_EQ(ReadFile(Path("nolocks/A.txt")), expected);

    // Where locks work, no warning, and no lock file left.
    run = batch(Path("plain"), {});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, summary);
    EXPECT_EQ(Names(Path("plain")), std::set<std::string>{"A.txt"});
}

// The fault: when one of the runner's own shells was killed, the runner
// ended with that shell's status (137) and said nothing, though the
// documented status for a run that did not end well is 1.
TEST_F(BatchTest, AKilledShellOfTheRunnerEndsTheRunWithStatusOneAndSaysSo) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nP0,40,15,0\nP1,41,15,0\n");
    mkdir(Path("tmp").c_str(), 0755);
    const struct {
        std::string what, jobs;
        bool kill;
        std::string err;
    } cases[] = {
        {"two at a time, nothing killed", "2", false,
         "havorkastilo-batch: 2 station lines: 2 done, 0 skipped, 0 failed, 0 bad\n"},
        {"two at a time, the shell of GNU Parallel killed", "2", true,
         "havorkastilo-batch: 2 station lines: 2 done, 0 skipped, 0 failed, 0 bad\n"
         "havorkastilo-batch: error: GNU Parallel, or the shell that runs it, was killed by "
         "signal KILL\n"},
        {"one at a time, the shell of the stations killed", "1", true,
         "havorkastilo-batch: 2 stations have no result: the runs were cut short\n"
         "havorkastilo-batch: 2 station lines: 0 done, 0 skipped, 0 failed, 0 bad\n"
         "havorkastilo-batch: error: the shell that runs the stations was killed by signal "
         "KILL\n"},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string n = std::to_string(i++);
        const std::string out = Path("out" + n), started = Path("started" + n);
        Gate gate(Path("gate" + n));
        ASSERT_TRUE(gate.Closed());
        const std::vector<std::string> args = {
            Path("list.csv"),
            "-o",
            out,
            "--jobs",
            c.jobs,
            "--program",
            StandIn(Path("stand-in" + n), started, Path("gate" + n))};
        const pid_t pid = SpawnRunner(args, Path("tmp"), Path("run" + n + ".err"));
        const std::size_t waiting = c.jobs == "2" ? 2 : 1;
        ASSERT_TRUE(WaitFor([&] { return Started(started).size() >= waiting; })) << c.what;
        if (c.kill) {
            // The shell that runs the stations: on the way up from a stand-in,
            // the runner's grandchild (below the shell of the runner's
            // pipeline).
            const std::map<pid_t, pid_t> parent = Parents();
            pid_t victim = 0;
            for (pid_t p = Started(started).begin()->first; p > 1 && !victim;) {
                const auto up = parent.find(p);
                if (up == parent.end()) break;
                const auto upper = parent.find(up->second);
                if (upper != parent.end() && upper->second == pid) victim = p;
                p = up->second;
            }
            ASSERT_GT(victim, 0) << c.what;
            kill(victim, SIGKILL);
        }
        gate.Open();
        const int status = WaitEnd(pid);
        ASSERT_TRUE(WIFEXITED(status)) << c.what << "\n" << status;
        EXPECT_EQ(WEXITSTATUS(status), c.kill ? 1 : 0) << c.what;
        EXPECT_EQ(ReadFile(Path("run" + n + ".err")), c.err) << c.what;
    }
}

// The shell of the runner's pipeline itself (the runner's child above every
// station) killed: the runner ends with status 1 and names it, not with the
// shell's 137.
TEST_F(BatchTest, AKilledShellOfThePipelineEndsTheRunWithStatusOneAndSaysSo) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nP0,40,15,0\n");
    mkdir(Path("tmp").c_str(), 0755);
    const std::string started = Path("started");
    Gate gate(Path("gate"));
    ASSERT_TRUE(gate.Closed());
    const std::vector<std::string> args = {Path("list.csv"), "-o", Path("out"), "--jobs", "1",
                                           "--program",
                                           StandIn(Path("stand-in"), started, Path("gate"))};
    const pid_t pid = SpawnRunner(args, Path("tmp"), Path("run.err"));
    ASSERT_TRUE(WaitFor([&] { return !Started(started).empty(); }));
    // On the way up from the stand-in, the runner's own child.
    const std::map<pid_t, pid_t> parent = Parents();
    pid_t victim = 0;
    for (pid_t p = Started(started).begin()->first; p > 1 && !victim;) {
        const auto up = parent.find(p);
        if (up == parent.end()) break;
        if (up->second == pid) victim = p;
        p = up->second;
    }
    ASSERT_GT(victim, 0);
    kill(victim, SIGKILL);
    gate.Open();
    const int status = WaitEnd(pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string err = ReadFile(Path("run.err"));
    EXPECT_NE(err.find("havorkastilo-batch: error: the shell of the run was killed by signal KILL\n"),
              std::string::npos)
        << err;
}

// ---------------------------------------------------------------------------
// Shards and the Slurm array job

// The stations a folder holds: its files without the extension.
std::set<std::string> Stations(const std::string& dir) {
    std::set<std::string> s;
    for (const std::string& n : Names(dir)) s.insert(n.substr(0, n.rfind('.')));
    return s;
}

TEST_F(BatchTest, ShardsSplitTheListByItsStationLinesIntoDisjointParts) {
    // 20 station lines, three of them bad, between comments and blank lines.
    std::string list = "# shards\nname,lat,lon,h\n";
    std::vector<std::string> lines;  // the station lines, k = 0, 1, ...
    for (int k = 0; k < 20; ++k) {
        std::string line = "K" + std::to_string(k) + "," + std::to_string(30 + k) + ",15,0";
        if (k == 4) line = "K4,95,15,0";
        if (k == 9) line = "K9,x,15,0";
        if (k == 15) line = "K1,46,15,0";  // the name of k = 1 again
        lines.push_back(line);
        list += line + "\n";
        if (k % 6 == 5) list += "\n# comment\n";
    }
    WriteFile(Path("list.csv"), list);
    const std::set<int> badK = {4, 9, 15};
    std::set<std::string> whole;
    for (int k = 0; k < 20; ++k)
        if (!badK.count(k)) whole.insert("K" + std::to_string(k));

    for (int n : {1, 3, 7}) {
        std::set<std::string> seen;
        int badReports = 0;
        for (int i = 0; i < n; ++i) {
            const std::string out = Path(std::to_string(n) + "-" + std::to_string(i));
            const std::string shard = std::to_string(i) + "/" + std::to_string(n);
            const ProgramRun run =
                Batch({Path("list.csv"), "-o", out, "--shard", shard, "--jobs", "1", "--program",
                       kProgram, "--", "-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"});
            ASSERT_TRUE(run.exited) << shard;
            // The documented rule: station line k goes to shard k mod N.
            std::set<std::string> expected;
            int expectedBad = 0;
            for (int k = i; k < 20; k += n) {
                if (badK.count(k))
                    ++expectedBad;
                else
                    expected.insert("K" + std::to_string(k));
            }
            EXPECT_EQ(Stations(out), expected) << shard;
            EXPECT_EQ(run.status, expectedBad ? 1 : 0) << shard << "\n" << run.err;
            badReports += Count(run.err, ": line ");
            for (const std::string& s : Stations(out))
                EXPECT_TRUE(seen.insert(s).second) << s << " ran in two shards of " << n;
            if (n > 1) {
                EXPECT_NE(run.err.find("havorkastilo-batch: shard " + shard + ": "),
                          std::string::npos)
                    << run.err;
            }
        }
        EXPECT_EQ(seen, whole) << "the shards of " << n << " together";
        EXPECT_EQ(badReports, 3) << "each bad line reported by one shard of " << n;
    }
}

// A PATH without sbatch (and without anything else of Slurm).
std::string PathWithoutSbatch(const std::string& dir) {
    std::vector<std::string> tools = kBasicTools;
    tools.insert(tools.end(), {"parallel", "perl", "dirname"});
    return ToolDir(dir, tools);
}

TEST_F(BatchTest, TheSlurmTasksMakeTheFilesOfALocalRunWhateverThePaths) {
    // A folder whose name the shell would take apart or run if it were not
    // quoted at every step.
    const std::string base = Path("we ird $(touch PWNED) `touch PWNED2` 'q' \"d\" {} \\");
    ASSERT_EQ(mkdir(base.c_str(), 0755), 0);
    const std::string list = base + "/l i$t 'x'.csv";
    WriteFile(list, ListText("name,lat,lon,h", kGeodetic));
    const std::string local = base + "/local out";
    const std::string slurm = base + "/slurm $(touch PWNED3) out";
    std::vector<std::string> options = kSpan;
    options.push_back("-v");  // goes to the program as it is

    std::vector<std::string> args = {list, "-o", local, "--program", kProgram, "--"};
    args.insert(args.end(), options.begin(), options.end());
    const ProgramRun localRun = Batch(args);
    ASSERT_TRUE(localRun.exited);
    ASSERT_EQ(localRun.status, 1) << "the list has bad lines\n" << localRun.err;

    args = {list, "-o", slurm, "--program", kProgram, "--slurm", "3", "--"};
    args.insert(args.end(), options.begin(), options.end());
    const ProgramRun write = Batch(args);
    ASSERT_TRUE(write.exited);
    ASSERT_EQ(write.status, 0) << write.err;
    const std::string script = write.out;
    EXPECT_EQ(script.rfind("#!/bin/bash\n", 0), 0u);
    EXPECT_NE(script.find("\n#SBATCH --array=0-2\n"), std::string::npos) << script;
    WriteFile(Path("job.sbatch"), script);

    // Each task as Slurm would start it, with no sbatch to be found.
    const std::string path = PathWithoutSbatch(Path("tools"));
    int badReports = 0;
    for (int task = 0; task < 3; ++task) {
        const ProgramRun run = RunProgram(
            "/usr/bin/env", {"PATH=" + path, "SLURM_ARRAY_TASK_ID=" + std::to_string(task),
                             "/bin/bash", Path("job.sbatch")});
        ASSERT_TRUE(run.exited) << task;
        EXPECT_NE(run.err.find("shard " + std::to_string(task) + "/3: "), std::string::npos)
            << run.err;
        badReports += Count(run.err, ": line ");
    }
    EXPECT_EQ(badReports, static_cast<int>(kGeodeticBad.size()));
    const std::set<std::string> names = Names(local);
    EXPECT_EQ(names.size(), 12u);
    EXPECT_EQ(Names(slurm), names);
    for (const std::string& n : names)
        EXPECT_EQ(ReadFile(slurm + "/" + n), ReadFile(local + "/" + n)) << n;
    // A task run again finds its files under that folder name and skips them.
    const ProgramRun again = RunProgram(
        "/usr/bin/env", {"PATH=" + path, "SLURM_ARRAY_TASK_ID=1", "/bin/bash", Path("job.sbatch")});
    EXPECT_NE(again.err.find(": 0 done, 4 skipped, 0 failed, 3 bad"), std::string::npos)
        << again.err;
    for (const char* trap : {"PWNED", "PWNED2", "PWNED3"}) {
        EXPECT_FALSE(Exists(Path(trap))) << trap;
        EXPECT_FALSE(Exists(base + "/" + trap)) << trap;
    }

    // Outside an array job the script refuses to guess its task.
    const ProgramRun outside =
        RunProgram("/usr/bin/env",
                   {"-u", "SLURM_ARRAY_TASK_ID", "PATH=" + path, "/bin/bash", Path("job.sbatch")});
    EXPECT_NE(outside.status, 0);
    EXPECT_NE(outside.err.find("SLURM_ARRAY_TASK_ID: is not set"), std::string::npos)
        << outside.err;
}

TEST_F(BatchTest, SubmittingWithoutSbatchIsAClearError) {
    WriteFile(Path("list.csv"), "name,x,y,z\nA,4000000,1000000,4800000\n");
    const ProgramRun run = Batch(
        {Path("list.csv"), "-o", Path("out"), "--program", kProgram, "--slurm", "2", "--submit"},
        {"PATH=" + PathWithoutSbatch(Path("tools"))});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("sbatch not found"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

// Whether a Slurm cluster answers here (CI starts one in .ci/steps).
bool SlurmUp() {
    if (!Have("sbatch") || !Have("sinfo")) return false;
    const ProgramRun run = Shell("sinfo -h -o %a 2>/dev/null", 30);
    return run.exited && run.status == 0 && run.out.find("up") != std::string::npos;
}

TEST_F(BatchTest, ARealSlurmClusterRunsTheArrayJob) {
    if (!SlurmUp())
        GTEST_SKIP() << "no Slurm cluster answers here (sbatch and sinfo); .ci/steps/40-slurm.sh "
                        "starts one";
    WriteFile(Path("list.csv"), ListText("name,lat,lon,h", kGeodetic));
    const std::string local = Path("local"), slurm = Path("slurm out");
    std::vector<std::string> args = {Path("list.csv"), "-o", local, "--program", kProgram, "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    ASSERT_TRUE(Batch(args).exited);

    std::string command = "cd " + Quote(dir_) + " && " + Quote(kRunner) + " " +
                          Quote(Path("list.csv")) + " -o " + Quote(slurm) + " --program " +
                          Quote(kProgram) + " --slurm 3 --submit --";
    for (const std::string& o : kSpan) command += " " + Quote(o);
    const ProgramRun submit = Shell(command);
    ASSERT_TRUE(submit.exited);
    ASSERT_EQ(submit.status, 0) << submit.err;
    // sbatch answers "Submitted batch job ID".
    const std::string said = "Submitted batch job ";
    const std::size_t at = submit.out.find(said);
    ASSERT_NE(at, std::string::npos) << submit.out;
    const std::size_t from = at + said.size();
    const std::string job =
        submit.out.substr(from, submit.out.find_first_not_of("0123456789", from) - from);
    ASSERT_FALSE(job.empty()) << submit.out;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const ProgramRun queue = Shell("squeue -h -j " + job + " -o %i 2>/dev/null", 30);
        if (queue.exited && queue.status == 0 && queue.out.empty()) break;
        ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(240))
            << "the job did not finish: " << queue.out;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    const std::set<std::string> names = Names(local);
    EXPECT_EQ(names.size(), 12u);
    EXPECT_EQ(Names(slurm), names);
    for (const std::string& n : names)
        EXPECT_EQ(ReadFile(slurm + "/" + n), ReadFile(local + "/" + n)) << n;
    // The three tasks' logs, in the folder the job was submitted from.
    int logs = 0;
    for (const std::string& n : Names(dir_))
        if (n.rfind("slurm-" + job + "_", 0) == 0) {
            ++logs;
            EXPECT_NE(ReadFile(Path(n)).find("havorkastilo-batch: shard "), std::string::npos) << n;
        }
    EXPECT_EQ(logs, 3);
}

// ---------------------------------------------------------------------------
// Executors

TEST_F(BatchTest, HostsOfAnSshLoginFileRunTheStations) {
    WriteFile(Path("list.csv"), ListText("name,lat,lon,h", kGeodetic));
    const std::string local = Path("local");
    std::vector<std::string> args = {Path("list.csv"), "-o",     local, "--jobs", "1",
                                     "--program",      kProgram, "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    // An option the program warns about and skips, which the shells on the
    // way to the hosts must leave alone.
    const std::string odd = "-x {} '$(touch PWNED)'";
    args.push_back(odd);
    ASSERT_TRUE(Batch(args).exited);
    ASSERT_EQ(Names(local).size(), 12u);

    // ":" is GNU Parallel's name for this machine without ssh.  A login
    // through ssh is HAVORKASTILO_TEST_SSHLOGIN (an sshlogin of GNU Parallel,
    // such as "ssh -p 2222 -i KEY root@127.0.0.1", which
    // .ci/steps/45-sshlogin.sh sets up), else "localhost" where ssh reaches
    // it without a password.
    std::vector<std::string> logins = {"2/:"};
    std::string why;
    if (const char* login = std::getenv("HAVORKASTILO_TEST_SSHLOGIN"); login && *login) {
        logins.push_back(std::string("2/") + login);
    } else {
        const ProgramRun ssh =
            Shell("ssh -o BatchMode=yes -o ConnectTimeout=5 localhost true 2>&1", 30);
        if (ssh.exited && ssh.status == 0)
            logins.push_back("2/localhost");
        else
            why = ssh.out;
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
    }
    for (std::size_t i = 0; i < logins.size(); ++i) {
        const std::string& login = logins[i];
        WriteFile(Path("hosts"), login + "\n");
        const std::string out = Path("out " + std::to_string(i) + " $(touch PWNED) 'q'");
        std::vector<std::string> a = {Path("list.csv"), "-o",        out,      "--sshloginfile",
                                      Path("hosts"),    "--program", kProgram, "--"};
        a.insert(a.end(), kSpan.begin(), kSpan.end());
        a.push_back(odd);
        const ProgramRun run = Batch(a);
        ASSERT_TRUE(run.exited) << login;
        EXPECT_EQ(run.status, 1) << login << "\n" << run.err;
        EXPECT_NE(run.err.find("12 done, 0 skipped, 0 failed, 9 bad"), std::string::npos)
            << login << "\n"
            << run.err;
        EXPECT_EQ(Names(out), Names(local)) << login;
        for (const std::string& n : Names(local))
            EXPECT_EQ(ReadFile(out + "/" + n), ReadFile(local + "/" + n)) << login << " " << n;
    }
    EXPECT_FALSE(Exists(Path("PWNED")));
    if (logins.size() == 1)
        GTEST_SKIP() << "checked with \":\" only: no ssh login to localhost here (" << why << ")";
}

TEST_F(BatchTest, WithoutGnuParallelOnlyOneStationAtATimeRuns) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\nB,47,16,0\n");
    const std::string path = "PATH=" + ToolDir(Path("tools"), kBasicTools);
    std::vector<std::string> args = {Path("list.csv"), "-o",     Path("out"), "--jobs", "2",
                                     "--program",      kProgram, "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    const ProgramRun refused = Batch(args, {path});
    ASSERT_TRUE(refused.exited);
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.err.find("GNU Parallel not found (apt-get install parallel); or run one "
                               "station at a time with --jobs 1"),
              std::string::npos)
        << refused.err;
    EXPECT_TRUE(Names(Path("out")).empty());
    args[4] = "1";
    const ProgramRun serial = Batch(args, {path});
    EXPECT_EQ(serial.status, 0) << serial.err;
    EXPECT_EQ(ReadFile(Path("out/B.txt")), Direct("-pc47,16,0", kSpan));
}

// ---------------------------------------------------------------------------
// What each run gets: a stand-in program that writes its arguments, one a line

TEST_F(BatchTest, EachRunGetsThePositionTheOptionsAndOneThreadWhenRunsShareTheMachine) {
    const std::string stub = Path("args.sh");
    WriteFile(stub, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done\n");
    chmod(stub.c_str(), 0755);
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,-46.5,+15,0.25\n");
    WriteFile(Path("xyz.csv"), "name,x,y,z\nX,1,-2,+3\n");
    const std::string hostile = "a b 'c' \"d\" $(touch PWNED) `x` {} {1} \\ *";
    const struct {
        std::string what, list;
        std::vector<std::string> runner, options;
        std::string file, args;
    } cases[] = {
        {"several at once: -j1 added",
         "list.csv",
         {"--jobs", "2"},
         {"-e12019-01-17/00:00:00", hostile},
         "A.txt",
         "-pc-46.5,15,0.25\n-e12019-01-17/00:00:00\n" + hostile + "\n-j1\n"},
        {"one at a time: nothing added",
         "list.csv",
         {"--jobs", "1"},
         {hostile},
         "A.txt",
         "-pc-46.5,15,0.25\n" + hostile + "\n"},
        {"threads of one's own are kept",
         "list.csv",
         {"--jobs", "2"},
         {"-J3"},
         "A.txt",
         "-pc-46.5,15,0.25\n-J3\n"},
        {"Cartesian", "xyz.csv", {"--jobs", "1"}, {}, "X.txt", "-px1,-2,3\n"},
        {"CSV output", "list.csv", {"--jobs", "1"}, {"-oc"}, "A.csv", "-pc-46.5,15,0.25\n-oc\n"},
        {"CSV, then the table: the later wins",
         "list.csv",
         {"--jobs", "1"},
         {"-OC", "-ot"},
         "A.txt",
         "-pc-46.5,15,0.25\n-OC\n-ot\n"},
        {"the table, then CSV",
         "list.csv",
         {"--jobs", "1"},
         {"-oT", "-Oc"},
         "A.csv",
         "-pc-46.5,15,0.25\n-oT\n-Oc\n"},
        {"no threads for a sshlogin of this machine? one each",
         "list.csv",
         {"--sshloginfile", Path("hosts")},
         {},
         "A.txt",
         "-pc-46.5,15,0.25\n-j1\n"},
    };
    WriteFile(Path("hosts"), "1/:\n");
    int i = 0;
    for (const auto& c : cases) {
        const std::string out = Path("out" + std::to_string(i++));
        std::vector<std::string> args = {Path(c.list), "-o", out, "--program", stub};
        args.insert(args.end(), c.runner.begin(), c.runner.end());
        args.push_back("--");
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ProgramRun run = Batch(args);
        ASSERT_TRUE(run.exited) << c.what;
        EXPECT_EQ(run.status, 0) << c.what << "\n" << run.err;
        EXPECT_EQ(Names(out), std::set<std::string>{c.file}) << c.what;
        EXPECT_EQ(ReadFile(out + "/" + c.file), c.args) << c.what;
    }
    EXPECT_FALSE(Exists(Path("PWNED")));
}

TEST_F(BatchTest, TheProgramIsFoundBesideTheRunnerOrNamed) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\n");
    const std::string expected = Direct("-pc46,15,0", kSpan);
    const std::string path = "PATH=" + ToolDir(Path("tools"), kBasicTools);
    // The installed layout: the program beside the runner.
    mkdir(Path("bin").c_str(), 0755);
    ASSERT_EQ(Shell("cp " + Quote(kRunner) + " " + Quote(Path("bin/havorkastilo-batch"))).status,
              0);
    ASSERT_EQ(symlink(kProgram.c_str(), Path("bin/Havorkastilo").c_str()), 0);
    mkdir(Path("lone").c_str(), 0755);
    ASSERT_EQ(Shell("cp " + Quote(kRunner) + " " + Quote(Path("lone/havorkastilo-batch"))).status,
              0);

    auto run = [&](const std::string& runner, const std::vector<std::string>& env,
                   const std::vector<std::string>& extra, const std::string& out) {
        std::vector<std::string> all = {"-u", "HAVORKASTILO", path};
        all.insert(all.end(), env.begin(), env.end());
        all.insert(all.end(), {runner, Path("list.csv"), "-o", Path(out), "--jobs", "1"});
        all.insert(all.end(), extra.begin(), extra.end());
        all.push_back("--");
        all.insert(all.end(), kSpan.begin(), kSpan.end());
        return RunProgram("/usr/bin/env", all);
    };
    ProgramRun r = run(Path("bin/havorkastilo-batch"), {}, {}, "beside");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(Path("beside/A.txt")), expected);
    r = run(Path("lone/havorkastilo-batch"), {"HAVORKASTILO=" + kProgram}, {}, "env");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(Path("env/A.txt")), expected);
    r = run(Path("lone/havorkastilo-batch"), {"HAVORKASTILO=" + Path("none")},
            {"--program", kProgram}, "named");
    EXPECT_EQ(r.status, 0) << "--program comes first\n" << r.err;
    EXPECT_EQ(ReadFile(Path("named/A.txt")), expected);

    r = run(Path("lone/havorkastilo-batch"), {}, {}, "x1");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("the program \"Havorkastilo\" (the PATH) is not on the PATH; name it with "
                         "--program PATH"),
              std::string::npos)
        << r.err;
    r = run(Path("lone/havorkastilo-batch"), {"HAVORKASTILO=" + Path("none")}, {}, "x2");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("(HAVORKASTILO) is not an executable file"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(Path("x1/A.txt")));
}

// ---------------------------------------------------------------------------
// Hostile input

// Runs a command under GNU time, which gives the largest resident set [KiB]
// that the command or any of its descendants reached.  (A child forked from
// this test would count the test's own pages, which it held until its exec.)
struct MeasuredRun {
    int status = -1;
    long maxKiB = -1;  // -1: not measured
    std::string err;
};

const char* const kGnuTime = "/usr/bin/time";

MeasuredRun Measure(const std::vector<std::string>& argv, const std::string& errFile) {
    std::vector<std::string> timed = argv;
    const std::string rss = errFile + ".rss";
    const bool measured = access(kGnuTime, X_OK) == 0;
    if (measured) timed.insert(timed.begin(), {kGnuTime, "-f", "%M", "-o", rss});
    const pid_t pid = Spawn(timed, "/dev/null", errFile);
    int status = 0;
    waitpid(pid, &status, 0);
    MeasuredRun m;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // GNU time writes "Command exited with non-zero status N" before the figure.
    if (measured) {
        const std::vector<std::string> lines = SplitLines(ReadFile(rss));
        if (!lines.empty()) m.maxKiB = std::atol(lines.back().c_str());
    }
    m.err = ReadFile(errFile);
    return m;
}

TEST_F(BatchTest, AHundredThousandLineListIsStreamedAndLongLinesAreReportedShortly) {
    // 100,000 lines of about 100 MB: every other line a 2,000-character
    // comment, and 50,000 station lines, one of them a bad line of a million
    // characters.  Line i + 1 holds S<i> for odd i, "S1,-88.5,-178.5,1" first.
    const std::string list = Path("big.csv");
    {
        std::ofstream f(list, std::ios::binary);
        f << "name,lat,lon,h\n";
        const std::string comment = "# " + std::string(1998, 'c') + "\n";
        for (int i = 1; i < 100000; ++i) {
            if (i == 50003) {
                f << std::string(1000000, 'L') << ",1,2,3\n";
            } else if (i % 2 == 0) {
                f << comment;
            } else {
                f << "S" << i << "," << (i % 180) - 89.5 << "," << (i % 360) - 179.5 << ","
                  << i % 1000 << "\n";
            }
        }
    }
    struct stat st;
    ASSERT_EQ(stat(list.c_str(), &st), 0);
    ASSERT_GT(st.st_size, 100000000);

    // Checking alone: every line read, the long one reported with its number
    // and a short quote.
    const MeasuredRun check =
        Measure({"/usr/bin/env", kRunner, list, "--check"}, Path("check.err"));
    EXPECT_EQ(check.status, 1) << check.err;
    EXPECT_NE(check.err.find(": line 50004: the name \"" + std::string(37, 'L') +
                             "...\" is longer than 64 characters\n"),
              std::string::npos)
        << check.err.substr(0, 500);
    EXPECT_LT(check.err.size(), 400u);
    EXPECT_NE(check.err.find(": 50000 station lines, 1 bad\n"), std::string::npos) << check.err;
    EXPECT_LT(check.maxKiB, 64 * 1024) << "the list was held in memory";
    EXPECT_NE(check.maxKiB, 0);

    // A real run over the whole list: shard 0 of 5,000 runs 10 stations.
    const MeasuredRun run = Measure(
        {"/usr/bin/env", kRunner, list, "-o", Path("out"), "--shard", "0/5000", "--jobs", "2",
         "--program", kProgram, "--", "-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"},
        Path("run.err"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "havorkastilo-batch: shard 0/5000: 10 station lines: 10 done, 0 skipped, 0 failed, 0 "
              "bad\n");
    EXPECT_EQ(Names(Path("out")).size(), 10u);
    // Station line k = 0 is line 2, k = 5000 is line 10,002: S10001.
    EXPECT_EQ(ReadFile(Path("out/S10001.txt")),
              Direct("-pc11.5,101.5,1", {"-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"}));
    EXPECT_LT(run.maxKiB, 64 * 1024) << "the list was held in memory";

    // Again: the ten are skipped, found by their files.
    const ProgramRun again =
        Batch({list, "-o", Path("out"), "--shard", "0/5000", "--program", kProgram, "--",
               "-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("0 done, 10 skipped"), std::string::npos) << again.err;

    if (check.maxKiB < 0)
        GTEST_SKIP() << "peak memory not measured: " << kGnuTime
                     << " (Debian package time) is missing";
    std::printf(
        "[ measured ] peak resident set on a %lld-byte list of 100,000 lines: "
        "%ld KiB checking, %ld KiB running\n",
        static_cast<long long>(st.st_size), check.maxKiB, run.maxKiB);
}

TEST_F(BatchTest, AnOutputFolderThatCannotBeWrittenIsRefusedBeforeAnyRun) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\n");
    WriteFile(Path("file"), "a regular file\n");
    auto batch = [&](const std::string& out) {
        return Batch(
            {Path("list.csv"), "-o", out, "--program", kProgram, "--", "-e12019-01-17/00:00:00"});
    };
    // Under a regular file: no folder can be made there, not even by root.
    ProgramRun run = batch(Path("file/out"));
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("havorkastilo-batch: error: cannot make the output folder \"" +
                           Path("file/out") + "\": "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Not a directory"), std::string::npos) << run.err;

    // A folder where a station's table would go.
    const std::string clash = Path("clash");
    mkdir(clash.c_str(), 0755);
    mkdir((clash + "/A.txt").c_str(), 0755);
    run = batch(clash);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("the output folder holds a folder where a table would go: \"" + clash +
                           "/A.txt\""),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Names(clash + "/A.txt"), std::set<std::string>{});

    // A folder where nothing can be made: read-only for its owner, or, for
    // root, whom permission bits do not stop, immutable.
    const std::string locked = Path("locked");
    mkdir(locked.c_str(), 0755);
    if (geteuid() != 0) {
        chmod(locked.c_str(), 0555);
    } else if (Shell("chattr +i " + Quote(locked) + " 2>/dev/null").status == 0) {
        immutable_.push_back(locked);
    } else {
        GTEST_SKIP() << "as root, and chattr +i does not work on " << dir_
                     << ": no folder here that root cannot write";
    }
    run = batch(locked);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("havorkastilo-batch: error: cannot write in the output folder \"" +
                           locked + "\""),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(Names(locked).empty());
}

// A tmpfs mounted on a folder for one test, unmounted on every way out.
class Tmpfs {
  public:
    Tmpfs(const std::string& dir, const std::string& size) : dir_(dir) {
        mkdir(dir.c_str(), 0755);
        const ProgramRun run =
            Shell("mount -t tmpfs -o size=" + size + " tmpfs " + Quote(dir) + " 2>&1", 30);
        mounted_ = run.exited && run.status == 0;
        why_ = run.out;
    }
    ~Tmpfs() {
        if (mounted_) Shell("umount " + Quote(dir_), 30);
    }
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;
    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }

  private:
    std::string dir_, why_;
    bool mounted_ = false;
};

// The fault: on a full output file system the logs were empty or cut short,
// because they were written while the failed table still filled the disk.
TEST_F(BatchTest, OnAFullDiskEachFailedStationLeavesAWholeLogOrSaysWhyItCannot) {
    const std::string disk = Path("disk");
    const Tmpfs tmpfs(disk, "2m");
    if (!tmpfs.Mounted())
        GTEST_SKIP() << "cannot mount a 2 MiB tmpfs (needs root or CAP_SYS_ADMIN): " << tmpfs.Why();
    const std::vector<std::string> span = {"-e12019-01-17/00:00:00", "-e22019-01-17/23:59:30",
                                           "-ed00:00:30"};
    std::string list = "name,lat,lon,h\n";
    std::map<std::string, std::string> tables, positions;
    for (int i = 0; i < 10; ++i) {
        const std::string name = "F" + std::to_string(i);
        positions[name] = "-pc46,15," + std::to_string(10 * i);
        tables[name] = Direct(positions[name], span);
        list += name + ",46,15," + std::to_string(10 * i) + "\n";
    }
    WriteFile(Path("list.csv"), list);
    ASSERT_GT(10 * tables["F0"].size(), 2u << 20) << "the disk would hold every table";
    // What the program says when its output cannot be written: its manual's
    // report "REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD", status 1.
    std::string direct = Quote(kProgram) + " " + Quote(positions["F0"]);
    for (const std::string& o : span) direct += " " + Quote(o);
    const ProgramRun full = Shell(direct + " >/dev/full");
    ASSERT_EQ(full.status, 1);
    ASSERT_NE(full.err.find("REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD"), std::string::npos)
        << full.err;

    // One station at a time: each failed station's table fills the disk,
    // and its log still has room once that table is gone.
    const std::string out = disk + "/out";
    std::vector<std::string> args = {Path("list.csv"), "-o",     out, "--jobs", "1",
                                     "--program",      kProgram, "--"};
    args.insert(args.end(), span.begin(), span.end());
    const ProgramRun run = Batch(args, {"LC_ALL=C"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 1);
    int done = 0, failed = 0;
    std::set<std::string> files;
    for (const auto& [name, table] : tables) {
        if (Exists(out + "/" + name + ".txt")) {
            ++done;
            files.insert(name + ".txt");
            EXPECT_EQ(ReadFile(out + "/" + name + ".txt"), table) << name;
            continue;
        }
        ++failed;
        files.insert(name + ".err");
        const std::string log = ReadFile(out + "/" + name + ".err");
        std::string command =
            "havorkastilo-batch: " + Quote(kProgram) + " " + Quote(positions[name]);
        for (const std::string& o : span) command += " " + Quote(o);
        command += " ended with status 1\n";
        EXPECT_EQ(log.rfind(full.err, 0), 0u) << name << ": the program's report first\n" << log;
        EXPECT_NE(log.find("\nhavorkastilo-batch: the last lines of its standard output:\n"),
                  std::string::npos)
            << name << "\n"
            << log;
        EXPECT_TRUE(log.size() >= command.size() &&
                    log.compare(log.size() - command.size(), command.size(), command) == 0)
            << name << ": the command last\n"
            << log;
        EXPECT_NE(run.err.find("havorkastilo-batch: station " + name +
                               " failed with status 1; see " + out + "/" + name + ".err\n"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_GE(done, 1);
    EXPECT_GE(failed, 1);
    EXPECT_EQ(Names(out), files) << "a temporary file is left";
    EXPECT_NE(run.err.find("havorkastilo-batch: 10 station lines: " + std::to_string(done) +
                           " done, 0 skipped, " + std::to_string(failed) + " failed, 0 bad\n"),
              std::string::npos)
        << run.err;

    // No room even for a log: the disk filled to its last byte.
    const std::string none = disk + "/none";
    ASSERT_EQ(mkdir(none.c_str(), 0755), 0);
    {
        const int fd = open((disk + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        while (write(fd, "f", 1) > 0) {
        }
        const int why = errno;
        close(fd);
        ASSERT_EQ(why, ENOSPC);
    }
    WriteFile(Path("two.csv"), "name,lat,lon,h\nG0,46,15,0\nG1,47,15,0\n");
    args[0] = Path("two.csv");
    args[2] = none;
    const ProgramRun nothing = Batch(args, {"LC_ALL=C"});
    ASSERT_TRUE(nothing.exited);
    EXPECT_EQ(nothing.status, 1);
    const std::string reason = std::strerror(ENOSPC);
    EXPECT_EQ(nothing.err, "havorkastilo-batch: station G0 failed with status 1, and " + none +
                               "/G0.err cannot be written: " + reason +
                               "\nhavorkastilo-batch: station G1 failed with status 1, and " +
                               none + "/G1.err cannot be written: " + reason +
                               "\nhavorkastilo-batch: 2 station lines: 0 done, 0 skipped, 2 "
                               "failed, 0 bad\n");
    EXPECT_TRUE(Names(none).empty()) << "no log, no temporary file, no lock file";
}

// ---------------------------------------------------------------------------
// Progress on a terminal

// Runs a command with its standard error on a new terminal and gives back
// what the terminal received.
std::string OnTerminal(const std::vector<std::string>& argv) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "(no terminal)";
    const std::string slave = ptsname(master);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        const int s = open(slave.c_str(), O_RDWR);
        const int in = open("/dev/null", O_RDWR);
        dup2(in, 0);
        dup2(in, 1);
        dup2(s, 2);
        close(master);
        execv(args[0], args.data());
        _exit(127);
    }
    std::string text;
    char buf[4096];
    for (;;) {
        pollfd p = {master, POLLIN, 0};
        if (poll(&p, 1, 60000) <= 0) break;
        const ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;  // EIO once the terminal's last user is gone
        text.append(buf, static_cast<std::size_t>(n));
    }
    close(master);
    waitpid(pid, nullptr, 0);
    return text;
}

TEST_F(BatchTest, ProgressIsShownOnATerminalOnly) {
    WriteFile(Path("list.csv"), "name,lat,lon,h\nA,46,15,0\nB,47,16,0\nC,99,16,0\nD,45,14,0\n");
    std::vector<std::string> args = {"/usr/bin/env", kRunner,     Path("list.csv"), "-o",
                                     Path("tty"),    "--program", kProgram,         "--"};
    args.insert(args.end(), kSpan.begin(), kSpan.end());
    const std::string screen = OnTerminal(args);
    // The bad line first, then the count rising to the three good stations.
    const std::size_t bad = screen.find("line 4: the latitude 99 is beyond 90 degrees");
    const std::size_t start = screen.find("\rhavorkastilo-batch: 0/3 stations");
    const std::size_t end = screen.find("\rhavorkastilo-batch: 3/3 stations");
    EXPECT_NE(bad, std::string::npos) << screen;
    EXPECT_NE(start, std::string::npos) << screen;
    EXPECT_NE(end, std::string::npos) << screen;
    EXPECT_LT(bad, start);
    EXPECT_LT(start, end);
    EXPECT_NE(screen.find("4 station lines: 3 done, 0 skipped, 0 failed, 1 bad"), std::string::npos)
        << screen;

    // The same with standard error in a file: no progress at all.
    std::vector<std::string> again(args.begin() + 1, args.end());
    again[3] = Path("file");
    const ProgramRun run = RunProgram("/usr/bin/env", again);
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("/3 stations"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("4 station lines: 3 done, 0 skipped, 0 failed, 1 bad"),
              std::string::npos);
}

// The fault: "-" and pipes were refused as "no such readable file", though
// the list is read as a stream.
TEST_F(BatchTest, AListFromStandardInputOrAPipeIsReadOnce) {
    const std::string list = Path("list.csv");
    WriteFile(list, "name,lat,lon,h\nA,46,15,0\nB,91,15,0\nC,47,16,0\n");
    const std::string bad = ": line 3: the latitude 91 is beyond 90 degrees\n";
    const std::string runner = Quote(kRunner) + " ";
    auto tail = [&](const std::string& out) {
        std::string t = " -o " + Quote(out) + " --program " + Quote(kProgram) + " --";
        for (const std::string& o : kSpan) t += " " + Quote(o);
        return t;
    };
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
    const struct {
        std::string what, command, name;
    } cases[] = {
        {"standard input from a file", runner + "-" + tail(Path("o0")) + " <" + Quote(list),
         "standard input"},
        {"standard input from a pipe",
         "cat " + Quote(list) + " | " + runner + "-" + tail(Path("o1")), "standard input"},
        {"a process substitution",
         "bash -c " + Quote(runner + "<(cat " + Quote(list) + ")" + tail(Path("o2"))), "/dev/fd/"},
        {"a named FIFO",
         "cat " + Quote(list) + " >" + Quote(Path("fifo")) + " & " + runner + Quote(Path("fifo")) +
             tail(Path("o3")),
         Path("fifo")},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string out = Path("o" + std::to_string(i++));
        const ProgramRun run = Shell(c.command, 120);
        ASSERT_TRUE(run.exited) << c.what;
        EXPECT_EQ(run.status, 1) << c.what << ": a bad line\n" << run.err;
        const std::size_t at = run.err.find(bad);
        ASSERT_NE(at, std::string::npos) << c.what << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("havorkastilo-batch: " + c.name, 0), 0u) << c.what << "\n"
                                                                         << run.err;
        EXPECT_NE(run.err.find(
                      "havorkastilo-batch: 3 station lines: 2 done, 0 skipped, 0 failed, 1 bad\n"),
                  std::string::npos)
            << c.what << "\n"
            << run.err;
        EXPECT_EQ(Names(out), (std::set<std::string>{"A.txt", "C.txt"})) << c.what;
        EXPECT_EQ(ReadFile(out + "/A.txt"), Direct("-pc46,15,0", kSpan)) << c.what;
        EXPECT_EQ(ReadFile(out + "/C.txt"), Direct("-pc47,16,0", kSpan)) << c.what;
    }

    // Checking standard input.
    const ProgramRun check = Shell(runner + "- --check <" + Quote(list));
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.err, "havorkastilo-batch: standard input" + bad +
                             "havorkastilo-batch: standard input: 3 station lines, 1 bad\n");

    // On a terminal the stream is read twice, to count the stations first:
    // the progress shows the total.
    const std::string screen =
        OnTerminal({"/bin/bash", "-c", runner + "<(cat " + Quote(list) + ")" + tail(Path("tty"))});
    const std::size_t badAt = screen.find(bad.substr(0, bad.size() - 1));
    const std::size_t start = screen.find("\rhavorkastilo-batch: 0/2 stations");
    const std::size_t end = screen.find("\rhavorkastilo-batch: 2/2 stations");
    EXPECT_NE(badAt, std::string::npos) << screen;
    EXPECT_NE(start, std::string::npos) << screen;
    EXPECT_NE(end, std::string::npos) << screen;
    EXPECT_LT(badAt, start) << screen;
    EXPECT_LT(start, end) << screen;
    EXPECT_EQ(Names(Path("tty")), (std::set<std::string>{"A.txt", "C.txt"}));

    // A Slurm job's tasks read the list when they start: a stream is refused.
    ProgramRun slurm = Shell(runner + "- -o " + Quote(Path("s")) + " --slurm 2 <" + Quote(list));
    EXPECT_EQ(slurm.status, 2);
    EXPECT_EQ(slurm.out, "");
    EXPECT_EQ(slurm.err,
              "havorkastilo-batch: error: --slurm needs the station list in a file, which its "
              "tasks read when they start, not standard input\n");
    slurm = Shell("bash -c " + Quote(runner + "<(cat " + Quote(list) + ") -o " + Quote(Path("s")) +
                                     " --slurm 2"));
    EXPECT_EQ(slurm.status, 2);
    EXPECT_NE(slurm.err.find("a file, which its tasks read when they start, not /dev/fd/"),
              std::string::npos)
        << slurm.err;
    EXPECT_FALSE(Exists(Path("s")));

    // A folder is no list.
    const ProgramRun folder = Batch({Path("o0"), "-o", Path("f"), "--program", kProgram});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "havorkastilo-batch: error: " + Path("o0") + ": no such readable file\n");
}

// ---------------------------------------------------------------------------
// The README

// The first shell block of the README's section "Many stations" (the local
// example), run as written in an empty folder, with the runner and the
// program on the PATH as an installation puts them.
TEST_F(BatchTest, TheReadmesLocalExampleWorksAsWritten) {
    const std::string readme = ReadFile(kReadme);
    const std::size_t section = readme.find("\n## Many stations\n");
    ASSERT_NE(section, std::string::npos);
    const std::size_t open = readme.find("```sh\n", section);
    ASSERT_NE(open, std::string::npos);
    const std::size_t close = readme.find("```\n", open + 6);
    const std::string example = readme.substr(open + 6, close - open - 6);
    ASSERT_NE(example.find("havorkastilo-batch stations.csv -o tides"), std::string::npos)
        << example;

    mkdir(Path("bin").c_str(), 0755);
    ASSERT_EQ(symlink(kRunner.c_str(), Path("bin/havorkastilo-batch").c_str()), 0);
    ASSERT_EQ(symlink(kProgram.c_str(), Path("bin/Havorkastilo").c_str()), 0);
    mkdir(Path("work").c_str(), 0755);
    const char* path = std::getenv("PATH");
    const ProgramRun run =
        Shell("cd " + Quote(Path("work")) + " && PATH=" + Quote(Path("bin")) + ":" +
              Quote(path ? path : "/usr/bin:/bin") + " && export PATH && " + example);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::set<std::string> tables = Names(Path("work/tides"));
    EXPECT_GE(tables.size(), 3u);
    for (const std::string& n : tables) {
        const std::string text = ReadFile(Path("work/tides/" + n));
        EXPECT_EQ(text.rfind("#   EPOHA[MJD]", 0), 0u) << n;
        EXPECT_GT(SplitLines(text).size(), 1000u) << n;
    }
    EXPECT_NE(run.err.find(std::to_string(tables.size()) + " done, 0 skipped, 0 failed, 0 bad"),
              std::string::npos)
        << run.err;
}

}  // namespace

// The program writing into a pipe whose reader stops early, as in
// `Havorkastilo ... | head -1`.
//
// A filter whose reader has gone is ended by SIGPIPE at its next write,
// silently: a shell reports status 141 (128 + 13) for it.  The program keeps
// that convention, whatever the layout or the number of threads.  Where
// SIGPIPE is ignored (a caller may have set it so), the write fails instead,
// and the program reports that it cannot write its results, with status 1.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// A day at one-second steps: 86,400 rows, some 10 MB, far more than a pipe
// holds, so the program is still writing when the reader leaves.
const std::vector<std::string> kLongRun = {"-ed00:00:01", "-e22019-01-17/23:59:59"};

struct PipeRun {
    bool signaled = false;
    int signal = 0;
    bool exited = false;
    int status = -1;
    std::string firstLine;  // what the reader read, its line end included
    std::string err;        // standard error, to its end
};

// Runs argv with SIGPIPE at its default or ignored, standard output a pipe
// whose reader reads one line and closes it, and standard error collected
// until the process ends.  Every wait is for an event: a line, the end of
// standard error, the end of the process.
PipeRun RunIntoClosingReader(const std::vector<std::string>& argv, bool ignoreSigpipe) {
    PipeRun run;
    int out[2], err[2];
    if (pipe(out) != 0) return run;
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        return run;
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // The disposition is inherited across exec: set it, whatever the
        // test runner's own is.
        ::signal(SIGPIPE, ignoreSigpipe ? SIG_IGN : SIG_DFL);
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(out[1]);
        close(err[0]);
        close(err[1]);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    char c;
    while (read(out[0], &c, 1) == 1) {
        run.firstLine += c;
        if (c == '\n') break;
    }
    close(out[0]);  // the reader leaves
    char buf[4096];
    ssize_t n;
    while ((n = read(err[0], buf, sizeof buf)) > 0) run.err.append(buf, static_cast<size_t>(n));
    close(err[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    if (WIFSIGNALED(wstatus)) {
        run.signaled = true;
        run.signal = WTERMSIG(wstatus);
    } else if (WIFEXITED(wstatus)) {
        run.exited = true;
        run.status = WEXITSTATUS(wstatus);
    }
    return run;
}

std::vector<std::string> Program(std::vector<std::string> extra) {
    std::vector<std::string> argv = {HAVORKASTILO_EXE};
    argv.insert(argv.end(), kLongRun.begin(), kLongRun.end());
    argv.insert(argv.end(), extra.begin(), extra.end());
    return argv;
}

const char* const kTableHeading =
    "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
    "LAm[deg]    FIm[deg]        Rm[km]\n";
const char* const kCsvHeading =
    "utc,mjd,sod,dn_m,de_m,du_m,dx_m,dy_m,dz_m,sun_lon_deg,sun_lat_deg,sun_dist_km,moon_lon_deg,"
    "moon_lat_deg,moon_dist_km\n";

}  // namespace

TEST(ClosedPipe, TheProgramEndsBySigpipeWithoutAMessage) {
    // Fault guarded: a program that caught or ignored SIGPIPE would go on
    // computing for nobody, or report a failure where a filter is expected
    // to end quietly.
    const struct {
        std::vector<std::string> extra;
        const char* heading;
    } runs[] = {{{}, kTableHeading},
                {{"-oc"}, kCsvHeading},
                {{"-j1"}, kTableHeading},
                {{"-j4"}, kTableHeading}};
    for (const auto& r : runs) {
        const std::string what = r.extra.empty() ? "default" : r.extra[0];
        const PipeRun run = RunIntoClosingReader(Program(r.extra), false);
        EXPECT_EQ(run.firstLine, r.heading) << what;
        ASSERT_TRUE(run.signaled) << what << ": exited with status " << run.status;
        EXPECT_EQ(run.signal, SIGPIPE) << what;
        EXPECT_EQ(run.err, "") << what;
    }
}

TEST(ClosedPipe, AShellReportsStatus141) {
    // bash's PIPESTATUS holds the status of each part of the pipeline:
    // 128 + SIGPIPE (13) for the program, 0 for head.
    std::string command = "'" + std::string(HAVORKASTILO_EXE) + "'";
    for (const std::string& a : kLongRun) command += " " + a;
    command += " | head -n 1 >/dev/null; echo \"${PIPESTATUS[*]}\"";
    if (access("/bin/bash", X_OK) != 0) GTEST_SKIP() << "/bin/bash is not installed";
    // The shell's reader of the echo is this test, which reads to the end.
    const PipeRun run = RunIntoClosingReader({"/bin/bash", "-c", command}, false);
    EXPECT_EQ(run.firstLine, "141 0\n");
    EXPECT_TRUE(run.exited && run.status == 0) << "bash: signal " << run.signal;
    EXPECT_EQ(run.err, "");
}

TEST(ClosedPipe, WithSigpipeIgnoredTheFailedWriteIsReportedWithStatus1) {
    // The other side: no signal, so the write fails with EPIPE, which the
    // program reports as output it cannot write.
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, std::vector<std::string>{"-oc"},
          std::vector<std::string>{"-j4"}}) {
        const std::string what = extra.empty() ? "default" : extra[0];
        const PipeRun run = RunIntoClosingReader(Program(extra), true);
        ASSERT_TRUE(run.exited) << what << ": signal " << run.signal;
        EXPECT_EQ(run.status, 1) << what;
        EXPECT_EQ(run.err,
                  "\n**** Havorkastilo: Error -> REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD "
                  "****\n     Exiting Havorkastilo ... \n\n")
            << what;
    }
}

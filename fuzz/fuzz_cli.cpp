// libFuzzer target: the whole command-line path of the program, in process.
//
// The input bytes are the argument vector: split at every NUL byte, so that an
// argument may hold any other byte (an empty input is a run without
// arguments).  argv[0] is a fixed program path.  Each input runs as main runs
// the program: the settings record, ParseArguments and, when the run flag
// stays set, CheckArguments, ProcData and EndProg.  The table is cut to at
// most kMaxRows rows by moving the end epoch, so that every input runs
// quickly; nothing else of the run is changed.
//
// Process-ending reports leave through ProgramExit; here its handler throws,
// and the run ends where the process would have ended.  The standard streams
// are captured and checked against the program's promises (outcome_check.h);
// a run that breaks one aborts with the reason, which libFuzzer reports as a
// crash.  Every piece of process-wide state that a run changes (the print
// settings of the value classes, the format of the standard streams, the run
// timer) is put back before the next input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/GPSws.h"
#include "GNSS/flh.h"
#include "GNSS/flht.h"
#include "GNSS/mjd.h"
#include "GNSS/neu.h"
#include "GNSS/neut.h"
#include "GNSS/xyz.h"
#include "GNSS/xyzt.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ProgramExit.h"
#include "PROGINC/ProgramUtil.h"
#include "fuzz/outcome_check.h"
#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fHelp.h"
#include "src/fParseArgs.h"
#include "src/fProcData.h"

namespace {

const char* const kProgramPath = "/usr/local/bin/Havorkastilo";

// Rows of the table a run may write; the end epoch is moved to the last of them.
constexpr int kMaxRows = 5;

struct ExitSignal {
    int status;
};

[[noreturn]] void ThrowOnExit(std::ostream& out, const std::string& report, int status) {
    out << report;
    out.flush();
    throw ExitSignal{status};
}

// The print settings of every value class with stream output, as static
// initialisation left them.
struct PrintSettings {
    std::uint16_t flh[5], flht[8], mjd[2], neu[6], neut[7], xyz[4], xyzt[5], ymdhms[3], gpsws[2];
    std::int16_t neuOrder;
    long double xyzUnit, xyzUnitT, xyztUnit, xyztUnitT;

    void Save() { CopyAll(true); }
    void Restore() { CopyAll(false); }

  private:
    // save: globals into this record; otherwise the other way.
    void CopyAll(bool save) {
        auto c = [save](std::uint16_t& mine, std::uint16_t& global) {
            if (save)
                mine = global;
            else
                global = mine;
        };
        c(flh[0], flhns::NDecFL);
        c(flh[1], flhns::NDecH);
        c(flh[2], flhns::WidthFL);
        c(flh[3], flhns::WidthH);
        c(flh[4], flhns::Unit);
        c(flht[0], flhtns::NDecFL);
        c(flht[1], flhtns::NDecH);
        c(flht[2], flhtns::WidthFL);
        c(flht[3], flhtns::WidthH);
        c(flht[4], flhtns::NDecT);
        c(flht[5], flhtns::WidthT);
        c(flht[6], flhtns::UnitT);
        c(flht[7], flhtns::Unit);
        c(mjd[0], mjdns::PrintFormat);
        c(mjd[1], mjdns::NDecSecond);
        c(neu[0], neuns::NDecNE);
        c(neu[1], neuns::NDecU);
        c(neu[2], neuns::WidthNE);
        c(neu[3], neuns::WidthU);
        c(neu[4], neuns::Unit);
        c(neu[5], neuns::PrintType);
        c(neut[0], neutns::NDecNE);
        c(neut[1], neutns::NDecU);
        c(neut[2], neutns::NDecT);
        c(neut[3], neutns::WidthNE);
        c(neut[4], neutns::WidthU);
        c(neut[5], neutns::WidthT);
        c(neut[6], neutns::UnitT);
        c(xyz[0], xyzns::NDec);
        c(xyz[1], xyzns::Width);
        c(xyz[2], xyzns::NDecT);
        c(xyz[3], xyzns::WidthT);
        c(xyzt[0], xyztns::NDec);
        c(xyzt[1], xyztns::NDecT);
        c(xyzt[2], xyztns::Width);
        c(xyzt[3], xyztns::WidthT);
        c(xyzt[4], xyztns::PrintTime);
        c(ymdhms[0], ymdhmsns::PrintType);
        c(ymdhms[1], ymdhmsns::PrintFormat);
        c(ymdhms[2], ymdhmsns::NDecSecond);
        c(gpsws[0], gpswsns::PrintFormat);
        c(gpsws[1], gpswsns::NDecSecond);
        auto l = [save](long double& mine, long double& global) {
            if (save)
                mine = global;
            else
                global = mine;
        };
        l(xyzUnit, xyzns::Unit);
        l(xyzUnitT, xyzns::UnitT);
        l(xyztUnit, xyztns::Unit);
        l(xyztUnitT, xyztns::UnitT);
        if (save)
            neuOrder = neuns::Order;
        else
            neuns::Order = neuOrder;
    }
};

PrintSettings initialSettings;
std::ios initialOut(nullptr), initialErr(nullptr);
std::string helpText;

// Redirects std::cout and std::cerr into strings for the lifetime of the
// object; afterwards the streams write where they wrote before, in the format
// they had at start-up.
class Captured {
  public:
    Captured() : out_(std::cout.rdbuf(outText_.rdbuf())), err_(std::cerr.rdbuf(errText_.rdbuf())) {}
    ~Captured() {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(err_);
        std::cout.copyfmt(initialOut);
        std::cerr.copyfmt(initialErr);
        std::cout.clear();
        std::cerr.clear();
    }
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;
    std::string Out() const { return outText_.str(); }
    std::string Err() const { return errText_.str(); }

  private:
    std::ostringstream outText_, errText_;
    std::streambuf* out_;
    std::streambuf* err_;
};

// Moves the end epoch to the start epoch plus (kMaxRows - 1) steps, when it
// is later, stepping as the epoch loop steps.
void BoundTable(Havorkastilo& settings) {
    mjd last = settings.stE;
    for (int k = 1; k < kMaxRows; ++k) last += settings.dt;
    if (last < settings.enE) settings.enE = last;
}

// One run of main on the arguments; its exit status (0 when main returns).
int RunMain(const std::vector<const char*>& argv) {
    try {
        Havorkastilo settings;
        ParseArguments(settings, static_cast<int>(argv.size()),
                       const_cast<const char**>(argv.data()));
        if (settings.GetRProgram()) {
            CheckArguments(settings);
            BoundTable(settings);
            ProcData(settings);
            EndProg(settings.GetVerbose(), false);
        }
    } catch (const ExitSignal& e) {
        return e.status;
    }
    return 0;
}

[[noreturn]] void Broken(const std::vector<std::string>& args, const std::string& why,
                         const std::string& out, const std::string& err) {
    std::fprintf(stderr, "\n*** broken promise: %s\n*** %zu arguments:\n", why.c_str(),
                 args.size());
    for (const std::string& a : args) std::fprintf(stderr, "    [%s]\n", a.c_str());
    std::fprintf(stderr, "*** standard output (%zu bytes):\n%.4000s\n", out.size(), out.c_str());
    std::fprintf(stderr, "*** standard error (%zu bytes):\n%.4000s\n", err.size(), err.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prgexit::SetHandler(ThrowOnExit);
    initialSettings.Save();
    initialOut.copyfmt(std::cout);
    initialErr.copyfmt(std::cerr);
    Captured c;
    pHelp();
    helpText = c.Out();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    if (size > 0) {
        const char* p = reinterpret_cast<const char*>(data);
        std::size_t start = 0;
        for (std::size_t i = 0; i <= size; ++i) {
            if (i == size || p[i] == '\0') {
                args.emplace_back(p + start, i - start);
                start = i + 1;
            }
        }
    }
    std::vector<const char*> argv{kProgramPath};
    for (const std::string& a : args) argv.push_back(a.c_str());

    int status;
    std::string out, err;
    {
        Captured c;
        status = RunMain(argv);
        out = c.Out();
        err = c.Err();
    }
    initialSettings.Restore();
    prgutil::ctm = CppCas();

    const std::string why =
        outcomecheck::CheckOutcome(kProgramPath, args, helpText, status, out, err);
    if (!why.empty()) Broken(args, why, out, err);
    return 0;
}

// Cost of one row of results, computed and written into memory, for the
// layouts, ephemerides, steps and geometry modes of the program: the
// per-row figures behind the throughput of a whole run, without start-up,
// threads or the output device.
//
// Each benchmark reads its settings from a command line as the program does
// and then computes consecutive epochs from the start epoch, stepping by the
// step, as the epoch loop does (starting over after a year).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fEpochRow.h"
#include "src/fParseArgs.h"

namespace {

Havorkastilo Settings(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"Havorkastilo"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    Havorkastilo s;
    ParseArguments(s, static_cast<int>(argv.size()), argv.data());
    CheckArguments(s);
    return s;
}

void Rows(benchmark::State& state, std::vector<std::string> args) {
    args.insert(args.begin(), "-pd46.03,14.30,300");
    const Havorkastilo s = Settings(args);
    EpochRow row(s);
    std::unique_ptr<char[]> line(new char[EpochRow::kMaxText]);
    mjd e = s.stE;
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes += row.Write(e, line.get());
        benchmark::DoNotOptimize(line.get());
        e += s.dt;
        if (e.GetMJDay() > s.stE.GetMJDay() + 365) e = s.stE;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

const std::string kYear = "-e12019-01-01/00:00:00";
const std::string kMinute = "-ed00:01:00";
const std::string kSecond = "-ed00:00:01";

}  // namespace

// The layouts, at one-minute and one-second steps.
BENCHMARK_CAPTURE(Rows, table_60s, {kYear, kMinute});
BENCHMARK_CAPTURE(Rows, csv_60s, {"-oc", kYear, kMinute});
BENCHMARK_CAPTURE(Rows, table_1s, {kYear, kSecond});
BENCHMARK_CAPTURE(Rows, csv_1s, {"-oc", kYear, kSecond});
// The geometry modes.
BENCHMARK_CAPTURE(Rows, table_60s_gk, {"-gk", kYear, kMinute});
BENCHMARK_CAPTURE(Rows, table_60s_goS, {"-goS", kYear, kMinute});
BENCHMARK_CAPTURE(Rows, table_60s_goL, {"-goL", kYear, kMinute});
BENCHMARK_CAPTURE(Rows, table_60s_goN, {"-goN", kYear, kMinute});
// The two ephemerides at steps from a second to a day.
BENCHMARK_CAPTURE(Rows, series_1s, {"-ms", kYear, kSecond});
BENCHMARK_CAPTURE(Rows, precise_1s, {"-mp", kYear, kSecond});
BENCHMARK_CAPTURE(Rows, series_60s, {"-ms", kYear, kMinute});
BENCHMARK_CAPTURE(Rows, precise_60s, {"-mp", kYear, kMinute});
BENCHMARK_CAPTURE(Rows, series_30min, {"-ms", kYear, "-ed00:30:00"});
BENCHMARK_CAPTURE(Rows, precise_30min, {"-mp", kYear, "-ed00:30:00"});
BENCHMARK_CAPTURE(Rows, series_1h, {"-ms", kYear, "-ed01:00:00"});
BENCHMARK_CAPTURE(Rows, precise_1h, {"-mp", kYear, "-ed01:00:00"});
BENCHMARK_CAPTURE(Rows, series_6h, {"-ms", kYear, "-ed06:00:00"});
BENCHMARK_CAPTURE(Rows, precise_6h, {"-mp", kYear, "-ed06:00:00"});
BENCHMARK_CAPTURE(Rows, series_1d, {"-ms", kYear, "-ed24:00:00"});
BENCHMARK_CAPTURE(Rows, precise_1d, {"-mp", kYear, "-ed24:00:00"});

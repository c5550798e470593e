// Cost of writing the result table alone: prints N rows of the table's
// layout (eleven fields, the same widths and decimals) through std::cout
// with the same iostream operations, in the same order, that the table's
// writers use (mjd layout 0, neu in centimetres, the Sun and Moon columns),
// on long double values of the table's magnitudes.  Nothing is computed
// beyond a cheap pseudo-random walk of the values, so the run time of
//   format_only N > /dev/null
// is the floor under the run time of a table of N rows.
//
// Usage: format_only ROWS [--sync]
//   ROWS    number of rows (the two heading lines are written too);
//   --sync  keep the C++ streams synchronised with C stdio (the default of a
//           C++ program); without it the streams are unsynchronised, as the
//           program runs them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>

namespace {

// A linear congruential generator: enough to vary every digit of the values.
struct Walk {
    std::uint64_t state = 88172645463325252ull;
    // Uniform in [0, 1).
    long double Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<long double>(state >> 11) / 9007199254740992.0L;
    }
};

}  // namespace

int main(int argc, char** argv) {
    bool sync = false;
    long long rows = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sync") == 0) {
            sync = true;
        } else {
            rows = std::atoll(argv[i]);
        }
    }
    if (rows < 0) {
        std::cerr << "usage: format_only ROWS [--sync]\n";
        return 2;
    }
    if (!sync) std::ios::sync_with_stdio(false);

    std::ostream& os = std::cout;
    os << "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
          "LAm[deg]    FIm[deg]        Rm[km]"
       << '\n'
       << "#-------------------------------------------------------------------------------------"
          "------------------------------------"
       << '\n';

    Walk w;
    std::uint32_t day = 58484;
    long double second = 0;
    for (long long r = 0; r < rows; ++r) {
        // Displacement in metres, directions in degrees, distances in metres.
        const long double n = (w.Next() - 0.5L) * 0.4L, e = (w.Next() - 0.5L) * 0.4L,
                          u = (w.Next() - 0.5L) * 0.8L;
        const long double las = (w.Next() - 0.5L) * 360, fis = (w.Next() - 0.5L) * 47,
                          rs = 1.47e11L + w.Next() * 5e9L;
        const long double lam = (w.Next() - 0.5L) * 360, fim = (w.Next() - 0.5L) * 57,
                          rm = 3.57e8L + w.Next() * 5e7L;

        // Epoch, as the mjd writer (layout 0, one decimal) puts it.
        os.setf(std::ios::fixed);
        os << std::setw(6) << day << std::setw(8) << std::setprecision(1) << second;
        os.fill(' ');
        // Displacement, as the neu writer puts it (widths 8, one decimal, cm).
        os << std::fixed;
        os << std::setprecision(1) << std::setw(8) << n * 100 << std::setw(8) << e * 100
           << std::setprecision(1) << std::setw(8) << u * 100;
        // The Sun and the Moon.
        os << std::setfill(' ') << std::setw(15) << std::setprecision(5) << las << std::setw(12)
           << fis << std::setw(15) << std::setprecision(1) << rs / 1000;
        os << std::setfill(' ') << std::setw(15) << std::setprecision(5) << lam << std::setw(12)
           << fim << std::setw(15) << std::setprecision(1) << rm / 1000;
        os << '\n';

        second += 60;
        if (second >= 86400) {
            second -= 86400;
            ++day;
        }
    }
    os.flush();
    return 0;
}

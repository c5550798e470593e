#include "funkcije/KotnePretvorbe.h"

#include <cstdarg>
#include <cstdio>

namespace {

// printf into a string of exactly the length the text needs.
__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    return text;
}

// Largest whole degree written as an integer: one below the 32-bit limit, so
// that the next degree of a roll-over still fits.
constexpr long double kMaxIntegerDegrees = 2147483646.0;

}  // namespace

namespace kotne_detail {

std::string DmsText(bool negative, long double d, long double m, double s, int ndec) {
    if (ndec < DmsMinDecimals) ndec = DmsMinDecimals;
    if (ndec > DmsMaxDecimals) ndec = DmsMaxDecimals;
    const int width = ndec + 4;
    if (std::isfinite(d) && d <= kMaxIntegerDegrees && std::isfinite(m)) {
        int degrees = static_cast<int>(d);
        const int minutes = static_cast<int>(m);
        if (negative) degrees = -degrees;
        // Between -1 and 0 degrees the integer degrees are 0 and carry no sign.
        // The test is on the degrees after the roll-over, so that -0.59999...
        // (-0 deg 59' 99.99...") becomes "-1  0  0.0" and not " --1".
        if (negative && degrees == 0) {
            return Printf(" -%1d%3d%*.*f", degrees, minutes, width, ndec, s);
        }
        return Printf("%3d%3d%*.*f", degrees, minutes, width, ndec, s);
    }
    return Printf("%3.0Lf%3.0Lf%*.*f", negative ? -d : d, m, width, ndec, s);
}

}  // namespace kotne_detail

double dms2deg(short d, short m, double s) {
    if (d < 0) return d - m / 60.0 - s / 3600.0;
    return d + m / 60.0 + s / 3600.0;
}

double dms2rad(short d, short m, double s) {
    return numerics::kPi * dms2deg(d, m, s) / 180.0;
}

long double dmsv2deg(int d, int m, double s) {
    const long double degrees = d;
    if (d < 0) return degrees - static_cast<long double>(m / 60.0) - (s / 3600.0);
    return degrees + static_cast<long double>(m / 60.0) + (s / 3600.0);
}

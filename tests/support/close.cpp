#include "support/close.h"

#include <cmath>
#include <cstdio>

namespace testsupport {

testing::AssertionResult Close(const char* got_text, const char* want_text, const char*,
                               long double got, long double want, long double tol) {
    if (std::fabs(got - want) <= tol) return testing::AssertionSuccess();
    char buf[512];
    std::snprintf(buf, sizeof buf, "%s = %.21Lg\n%s = %.21Lg\nmiss %.3Lg, allowed %.3Lg", got_text,
                  got, want_text, want, std::fabs(got - want), tol);
    return testing::AssertionFailure() << buf;
}

testing::AssertionResult VectorClose(const char* what, const xyz& v, long double x, long double y,
                                     long double z, long double tol) {
    const char* names[3] = {"x", "y", "z"};
    const long double got[3] = {v.GetX(), v.GetY(), v.GetZ()}, want[3] = {x, y, z};
    for (int k = 0; k < 3; ++k) {
        const testing::AssertionResult r = Close(names[k], "expected", "", got[k], want[k], tol);
        if (!r) return testing::AssertionFailure() << what << ": " << r.message();
    }
    return testing::AssertionSuccess();
}

}  // namespace testsupport

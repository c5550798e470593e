// Comparison of a computed value with the expected one, reporting both in
// extended precision and the size of the miss (EXPECT_NEAR rounds to double).
#ifndef TESTS_SUPPORT_CLOSE_H
#define TESTS_SUPPORT_CLOSE_H

#include <gtest/gtest.h>

#include "GNSS/xyz.h"

namespace testsupport {

// Predicate formatter: |got - want| <= tol.
testing::AssertionResult Close(const char* got_text, const char* want_text, const char* tol_text,
                               long double got, long double want, long double tol);

// Each component of v within tol of (x, y, z); what names the vector.
testing::AssertionResult VectorClose(const char* what, const xyz& v, long double x, long double y,
                                     long double z, long double tol);

}  // namespace testsupport

#define EXPECT_CLOSE(got, want, tol) EXPECT_PRED_FORMAT3(::testsupport::Close, got, want, tol)
#define EXPECT_VECTOR_CLOSE(what, v, x, y, z, tol) \
    EXPECT_TRUE(::testsupport::VectorClose(what, v, x, y, z, tol))

#endif  // TESTS_SUPPORT_CLOSE_H

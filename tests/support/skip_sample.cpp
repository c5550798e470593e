// Test cases for tests/test_skip_reasons.cpp to run through ctest: one passes,
// three skip (with a reason of one line, of two lines, and with none) and
// one fails.  Not a test of the system: ctest does not list it.
#include <gtest/gtest.h>

#include <cstdio>

TEST(Sample, Passes) {
    std::puts("an output line that ends in: Skipped");
    std::puts("sample.cpp:1: Skipped");
}

TEST(Sample, SkipsWithAReason) {
    GTEST_SKIP() << "no cluster answers here";
}

TEST(Sample, SkipsWithTwoLines) {
    GTEST_SKIP() << "the first line\n  and the second\n";
}

TEST(Sample, SkipsWithoutAReason) {
    GTEST_SKIP();
}

TEST(Sample, Fails) {
    FAIL() << "a failure is no skip";
}

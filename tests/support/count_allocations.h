// Counts every allocation of a test executable, to show that a path
// allocates nothing.  The counting operator new and delete are defined once,
// in count_allocations.cpp, which replaces the global ones of every
// executable it is linked into (tests/CMakeLists.txt: SOURCES
// support/count_allocations.cpp); any number of that executable's files may
// include this header to read the count.
#ifndef TESTS_SUPPORT_COUNT_ALLOCATIONS_H
#define TESTS_SUPPORT_COUNT_ALLOCATIONS_H

#include <atomic>

namespace testsupport {
// Number of calls of operator new and new[] so far, by every thread, and the
// bytes they asked for.
extern std::atomic<long> g_allocations;
extern std::atomic<long long> g_allocatedBytes;
}  // namespace testsupport

#endif  // TESTS_SUPPORT_COUNT_ALLOCATIONS_H

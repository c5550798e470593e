// Counts every allocation of a test executable, to show that a path
// allocates nothing.  Include this header in exactly one source file of an
// executable: it replaces the global operator new and delete there.
#ifndef TESTS_SUPPORT_COUNT_ALLOCATIONS_H
#define TESTS_SUPPORT_COUNT_ALLOCATIONS_H

#include <cstdlib>
#include <new>

namespace testsupport {
// Number of calls of operator new and new[] so far.
inline long g_allocations = 0;
}  // namespace testsupport

void* operator new(std::size_t n) {
    ++testsupport::g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    ++testsupport::g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

#endif  // TESTS_SUPPORT_COUNT_ALLOCATIONS_H

// The replacement of the global operator new and delete that counts
// allocations (see count_allocations.h).  A replacement must be defined
// exactly once in a program, so it lives here and not in the header.
#include "support/count_allocations.h"

#include <cstdlib>
#include <new>

namespace testsupport {
std::atomic<long> g_allocations{0};
std::atomic<long long> g_allocatedBytes{0};
}  // namespace testsupport

void* operator new(std::size_t n) {
    ++testsupport::g_allocations;
    testsupport::g_allocatedBytes += static_cast<long long>(n);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    ++testsupport::g_allocations;
    testsupport::g_allocatedBytes += static_cast<long long>(n);
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

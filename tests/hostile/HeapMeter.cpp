#include "tests/hostile/HeapMeter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PALLOWIN_HEAP_UNMEASURED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PALLOWIN_HEAP_UNMEASURED 1
#endif

namespace pallowin::heapmeter {

#if defined(PALLOWIN_HEAP_UNMEASURED)

bool Measured() { return false; }
void StartPeak() {}
std::size_t PeakAboveStart() { return 0; }

#else

namespace {
std::atomic<std::size_t> inUse{0}, peak{0}, start{0};

void* Take(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) return nullptr;
    const std::size_t now = inUse += malloc_usable_size(p);
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return p;
}
void Give(void* p) {
    if (p == nullptr) return;
    inUse -= malloc_usable_size(p);
    std::free(p);
}
}  // namespace

bool Measured() { return true; }
void StartPeak() {
    start = inUse.load();
    peak = start.load();
}
std::size_t PeakAboveStart() { return peak - start; }

#endif

}  // namespace pallowin::heapmeter

#if !defined(PALLOWIN_HEAP_UNMEASURED)
using pallowin::heapmeter::Give;
using pallowin::heapmeter::Take;

void* operator new(std::size_t size) {
    if (void* p = Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }
#endif

// Time per call and heap allocations per call of a small function, for the
// bench programs of the per-file host calls. Include it in one source file
// of a program only: it replaces the global operator new to count.
#pragma once
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

namespace pallowin::bench {
inline std::size_t allocationCount = 0;
inline double secondsPerCase = 0.3;
}  // namespace pallowin::bench

void* operator new(std::size_t n) {
    ++pallowin::bench::allocationCount;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace pallowin::bench {

// Calls in batches of `batch` until secondsPerCase has gone by, after one
// warm-up call.
inline void Measure(const std::string& label, const std::function<void()>& call, int batch = 16) {
    using Clock = std::chrono::steady_clock;
    call();
    std::size_t calls = 0;
    const std::size_t allocationsBefore = allocationCount;
    const auto start = Clock::now();
    auto now = start;
    do {
        for (int i = 0; i < batch; ++i) call();
        calls += static_cast<std::size_t>(batch);
        now = Clock::now();
    } while (std::chrono::duration<double>(now - start).count() < secondsPerCase);
    const double ns = std::chrono::duration<double, std::nano>(now - start).count() / calls;
    std::printf("%-52s %12.1f ns/call %8.2f allocations/call\n", label.c_str(), ns,
                static_cast<double>(allocationCount - allocationsBefore) / calls);
}

}  // namespace pallowin::bench

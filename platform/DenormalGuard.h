// For the length of a scope, the processor flushes results that would be subnormal to zero and
// reads subnormal inputs as zero; the caller's mode comes back when the scope ends. Subnormals
// arise as filters and envelopes die away and cost a hundred times the time of a plain number
// on many processors; nothing audible lives down there.
#pragma once

#include <cstdint>

#if defined(__SSE__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 1)
#include <xmmintrin.h>
#define MARLET_DENORMALS_SSE 1
#endif

namespace platform {

class DenormalGuard {
public:
    DenormalGuard()
    {
#if defined(MARLET_DENORMALS_SSE)
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
#elif defined(__aarch64__)
        std::uint64_t fpcr;
        __asm__ volatile("mrs %0, fpcr" : "=r"(fpcr));
        saved_ = fpcr;
        __asm__ volatile("msr fpcr, %0" : : "r"(fpcr | kArmFlushToZero));
#endif
    }
    ~DenormalGuard()
    {
#if defined(MARLET_DENORMALS_SSE)
        _mm_setcsr(static_cast<unsigned>(saved_));
#elif defined(__aarch64__)
        __asm__ volatile("msr fpcr, %0" : : "r"(saved_));
#endif
    }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned kFlushToZero = 0x8000;                           // MXCSR FTZ
    static constexpr unsigned kDenormalsAreZero = 0x40;                        // MXCSR DAZ
    static constexpr std::uint64_t kArmFlushToZero = std::uint64_t {1} << 24;  // FPCR FZ
    std::uint64_t saved_ = 0;
};

}  // namespace platform

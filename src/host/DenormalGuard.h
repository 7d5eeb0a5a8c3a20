// Flushes denormals to zero for the scope of one audio callback and restores the caller's mode,
// so filter tails never fall into slow subnormal arithmetic.
#pragma once

#if defined(__SSE__) || defined(_M_X64) || defined(_M_IX86_FP)
#include <xmmintrin.h>
#define VELKOR_HAS_MXCSR 1
#endif

class DenormalGuard {
public:
    DenormalGuard() {
#ifdef VELKOR_HAS_MXCSR
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~DenormalGuard() {
#ifdef VELKOR_HAS_MXCSR
        _mm_setcsr(saved_);
#endif
    }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#ifdef VELKOR_HAS_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_ = 0;
#endif
};

#include "platform/fpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace carinex {

void flushDenormalsToZero() {
#if defined(__x86_64__) || defined(__i386__)
    // flush-to-zero (bit 15) and denormals-are-zero (bit 6) of MXCSR
    _mm_setcsr(_mm_getcsr() | 0x8040u);
#elif defined(__aarch64__)
    unsigned long fpcr = 0;
    __asm__ volatile("mrs %0, fpcr" : "=r"(fpcr));
    __asm__ volatile("msr fpcr, %0" : : "r"(fpcr | (1ul << 24)));
#endif
}

}  // namespace carinex

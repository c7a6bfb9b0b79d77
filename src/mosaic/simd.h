// The one place that knows about vector code: whether the AVX2 kernels are built in, the attributes that
// compile a function for AVX2 while the rest of the program stays portable, and whether this run may use
// them. Each kernel family is chosen once, into a function pointer, from UseAvx2Kernels().
//
// MOZENTA_FORCE_PORTABLE=1 in the environment makes a run take the portable kernels; building with the
// CMake option MOZENTA_DISABLE_SIMD leaves the vector kernels out altogether.
#pragma once

#if defined(__x86_64__) && !defined(MOZENTA_DISABLE_SIMD)
#define MOZENTA_AVX2_BUILT 1
#include <immintrin.h>
// Only the functions so marked use AVX2.
#define MOZENTA_AVX2 __attribute__((target("avx2")))
#define MOZENTA_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline
#else
#define MOZENTA_AVX2_BUILT 0
#endif

namespace mozenta::simd {

// True when the AVX2 kernels are built in and the processor runs them, whatever the environment says.
// Tests that compare kernels ask this before calling an AVX2 kernel directly.
bool Avx2Available();

// True when this run takes the AVX2 kernels: available and not forced portable. Decided once.
bool UseAvx2Kernels();

}  // namespace mozenta::simd

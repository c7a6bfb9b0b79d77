#include "simd.h"

#include <cstdlib>
#include <cstring>

namespace mozenta::simd {

bool Avx2Available() {
#if MOZENTA_AVX2_BUILT
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
#else
  return false;
#endif
}

bool PortableForced() {
  const char* value = std::getenv("MOZENTA_FORCE_PORTABLE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

bool UseAvx2Kernels() {
  static const bool use = Avx2Available() && !PortableForced();
  return use;
}

}  // namespace mozenta::simd

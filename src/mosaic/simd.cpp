#include "simd.h"

#include <cstdlib>
#include <cstring>

namespace mozenta::simd {
namespace {

// True when MOZENTA_FORCE_PORTABLE is set to 1.
bool PortableForced() {
  const char* value = std::getenv("MOZENTA_FORCE_PORTABLE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

bool Avx2Available() {
#if MOZENTA_AVX2_BUILT
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
#else
  return false;
#endif
}

bool UseAvx2Kernels() {
  static const bool use = Avx2Available() && !PortableForced();
  return use;
}

}  // namespace mozenta::simd

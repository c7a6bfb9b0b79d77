// The entry of mozenta-vips.so.
#include <cstring>

#include "program_module.h"
#include "vips_decoder.h"
#include "vips_module.h"
#include "vips_resample.h"

extern "C" __attribute__((visibility("default"))) const mozenta::VipsModule* mozenta_vips_module(
    const char* build) {
  static constexpr mozenta::VipsModule kTable{mozenta::DecodeWithVips, mozenta::ResampleWithVips};
  return std::strcmp(build, mozenta::ModuleBuild()) == 0 ? &kTable : nullptr;
}

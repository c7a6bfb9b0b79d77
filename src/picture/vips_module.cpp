#include "vips_module.h"

#include "module_table.h"

// Defined only where the implementation is linked into the program itself.
extern "C" __attribute__((weak)) const mozenta::VipsModule* mozenta_vips_module(const char* build);

namespace mozenta {

const VipsModule& LoadVipsModule() {
  return ModuleTable<VipsModule>(mozenta_vips_module, "mozenta-vips.so", "mozenta_vips_module");
}

}  // namespace mozenta

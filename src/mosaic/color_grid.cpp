#include "color_grid.h"

#include <sys/mman.h>

namespace mozenta {

// Aligned to huge pages so that the first conversion's touch of the 40 MB grid is cheap: a row of the
// mosaic writes one byte in every column, 20001 bytes apart.
alignas(2 << 20) std::uint8_t ColorGrid[kGridColumns][kGridRows];
std::int32_t MaxX = 0;
std::int32_t MaxY = 0;

namespace {
const bool kGridAdvised = [] {
  madvise(ColorGrid, (sizeof ColorGrid + (2 << 20) - 1) / (2 << 20) * (2 << 20), MADV_HUGEPAGE);
  return true;
}();
}  // namespace

}  // namespace mozenta

#include "cell_runs.h"

namespace mozenta {

bool RunFits(const CellRun& run, std::int32_t columns, std::int32_t rows) {
  return run.entry < kPaletteColors && run.x >= 0 && run.x < columns && run.top >= 0 && run.length >= 1 &&
         run.length <= rows - run.top;
}

void PaintRun(const CellRun& run, const Palette& palette, MosaicGrid& grid, TBitmap& mosaic) {
  const std::uint32_t color = palette.ExpandedColor(run.entry);
  for (std::int32_t y = run.top; y < run.top + run.length; ++y) {
    grid.SetCell(run.x, y, run.entry);
    mosaic.SetPixel(run.x, y, color);
  }
}

}  // namespace mozenta

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

void AppendChangedRuns(std::int32_t x, std::int32_t top, const std::uint8_t* before,
                       const std::uint8_t* after, std::int32_t count, std::vector<CellRun>& runs) {
  std::int32_t y = 0;
  while (y < count) {
    if (before[y] == after[y]) {
      ++y;
      continue;
    }
    const std::int32_t first = y;
    while (y < count && before[y] != after[y] && after[y] == after[first])
      ++y;
    runs.push_back({x, top + first, y - first, after[first]});
  }
}

}  // namespace mozenta

// Hand edits of a mosaic as runs of cells: consecutive cells of one grid column set to one palette entry.
// The mosaic window records its edits this way and the project files keep them.
#pragma once

#include <cstdint>

#include "mosaic_grid.h"
#include "palette.h"
#include "picture/bitmap.h"

namespace mozenta {

struct CellRun {
  std::int32_t x = 0;       // the column
  std::int32_t top = 0;     // the first row
  std::int32_t length = 0;  // cells down from `top`, at least 1
  std::uint8_t entry = 0;   // palette entry 0..7
  friend bool operator==(const CellRun&, const CellRun&) = default;
};

// Whether the run lies inside a mosaic of `columns` × `rows` cells and names one of the eight entries.
bool RunFits(const CellRun& run, std::int32_t columns, std::int32_t rows);

// Sets the run's cells in the grid and paints them in `mosaic` with the entry's colour, as the conversion
// does. The run must fit the grid's limits and the bitmap.
void PaintRun(const CellRun& run, const Palette& palette, MosaicGrid& grid, TBitmap& mosaic);

}  // namespace mozenta

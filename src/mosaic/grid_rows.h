// The grid's cells as rows: a band of rows of palette indices turned out of the column-ordered grid, one
// row of indices painted as mosaic pixels, and a whole mosaic bitmap painted from the grid. A bitmap painted
// by the conversion and the one painted here from its grid and palette hold the same bytes.
#pragma once

#include <cstdint>

#include "mosaic_grid.h"
#include "palette.h"
#include "picture/bitmap.h"

namespace mozenta {

// Grid rows are turned this many at a time: each of the grid's columns is then read 64 cells in one go.
inline constexpr int kGridBandRows = 64;

// Rows top..top + count − 1 of the grid's columns 0..width − 1 into `rows` (row r at r × width).
void GridRows(const MosaicGrid& grid, int top, int count, int width, std::uint8_t* rows);

// One row of `width` palette indices as pixels of `bitsPerPixel` (16, 24 or 32) into `out`; `pixels` holds
// the mosaic pixel of each of the kPaletteSlots entries.
void PaintRow(const std::uint8_t* indices, int width, int bitsPerPixel, const std::uint32_t* pixels,
              std::uint8_t* out);

// Sizes `mosaic` (at its own depth) to the grid's limits and paints every cell in `palette`'s colours.
void PaintMosaic(const MosaicGrid& grid, const Palette& palette, TBitmap& mosaic);

}  // namespace mozenta

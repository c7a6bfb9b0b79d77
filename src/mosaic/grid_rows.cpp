#include "grid_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "byte_transpose.h"

namespace mozenta {
namespace {

// One row of palette indices as pixels of kBytes bytes.
template <int kBytes>
void PaintRow(const std::uint8_t* indices, int width, const std::uint32_t* pixels, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    const std::uint32_t pixel = pixels[indices[x] & (kPaletteSlots - 1)];
    std::memcpy(out + kBytes * x, &pixel, kBytes);
  }
}

}  // namespace

// Rows top..top + count − 1 of the grid's columns 0..width − 1 into `rows` (row r at r × width), eight
// columns at a time: squares of 8 × 8 cells, read eight cells of a column at once, turned. The band's cells
// of those columns are read together, before the next columns are asked for ahead, since the columns lie
// 20001 bytes apart, a stride no hardware prefetcher follows.
void GridRows(const MosaicGrid& grid, int top, int count, int width, std::uint8_t* rows) {
  const std::uint8_t* const first = grid.Cells() + top;
  const auto column = [&](int x) { return first + MosaicGrid::Offset(x, 0); };
  const int wholeSquares = count / 8 * 8;
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    for (int i = 0; i < 8 && x + 8 + i < width; ++i) {
      __builtin_prefetch(column(x + 8 + i));
      __builtin_prefetch(column(x + 8 + i) + count - 1);
    }
    for (int r = 0; r < wholeSquares; r += 8) {
      std::uint64_t square[8];
      for (int i = 0; i < 8; ++i)
        std::memcpy(&square[i], column(x + i) + r, 8);
      Transpose8x8(square);
      for (int i = 0; i < 8; ++i)
        std::memcpy(rows + static_cast<std::size_t>(r + i) * width + x, &square[i], 8);
    }
    for (int r = wholeSquares; r < count; ++r) {
      for (int i = 0; i < 8; ++i)
        rows[static_cast<std::size_t>(r) * width + x + i] = column(x + i)[r];
    }
  }
  for (; x < width; ++x) {
    for (int r = 0; r < count; ++r)
      rows[static_cast<std::size_t>(r) * width + x] = column(x)[r];
  }
}

// Paints one row of palette indices as pixels into `out`.
void PaintRow(const std::uint8_t* indices, int width, int bitsPerPixel, const std::uint32_t* pixels,
              std::uint8_t* out) {
  switch (bitsPerPixel) {
    case 16:
      PaintRow<2>(indices, width, pixels, out);
      break;
    case 24:
      PaintRow<3>(indices, width, pixels, out);
      break;
    default:
      PaintRow<4>(indices, width, pixels, out);
      break;
  }
}

void PaintMosaic(const MosaicGrid& grid, const Palette& palette, TBitmap& mosaic) {
  const int width = grid.MaxX() + 1, height = grid.MaxY() + 1;
  mosaic.SetSize(width, height);
  if (width > 0 && height > 0) {
    std::array<std::uint32_t, kPaletteSlots> pixels;
    for (int i = 0; i < kPaletteSlots; ++i)
      pixels[i] = MosaicPixel(palette.Entry(i), mosaic.BitsPerPixel());
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(kGridBandRows) * width);
    for (int top = 0; top < height; top += kGridBandRows) {
      const int count = std::min(kGridBandRows, height - top);
      GridRows(grid, top, count, width, indices.data());
      for (int r = 0; r < count; ++r) {
        PaintRow(indices.data() + static_cast<std::size_t>(r) * width, width, mosaic.BitsPerPixel(),
                 pixels.data(), mosaic.ScanLineForWrite(top + r));
      }
    }
  }
  mosaic.PixelsChanged();
}

}  // namespace mozenta

#include "grid_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>
#include <vector>

#include "byte_transpose.h"

namespace mozenta {
namespace {

// One row of palette indices as pixels of kBytes bytes.
template <int kBytes>
void PaintRowOf(const std::uint8_t* indices, int width, const std::uint32_t* pixels, std::uint8_t* out) {
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
      PaintRowOf<2>(indices, width, pixels, out);
      break;
    case 24:
      PaintRowOf<3>(indices, width, pixels, out);
      break;
    default:
      PaintRowOf<4>(indices, width, pixels, out);
      break;
  }
}

namespace {

// Paints rows first..last − 1 of the mosaic from the grid, a band of kGridBandRows at a time through
// `indices` (room for a band).
void PaintRows(const MosaicGrid& grid, const std::uint32_t* pixels, int first, int last,
               std::uint8_t* indices, TBitmap& mosaic) {
  const int width = grid.MaxX() + 1;
  for (int top = first; top < last; top += kGridBandRows) {
    const int count = std::min(kGridBandRows, last - top);
    GridRows(grid, top, count, width, indices);
    for (int r = 0; r < count; ++r) {
      PaintRow(indices + static_cast<std::size_t>(r) * width, width, mosaic.BitsPerPixel(), pixels,
               mosaic.ScanLineForWrite(top + r));
    }
  }
}

}  // namespace

void PaintMosaic(const MosaicGrid& grid, const Palette& palette, TBitmap& mosaic) {
  const int width = grid.MaxX() + 1, height = grid.MaxY() + 1;
  mosaic.SetSize(width, height);
  if (width > 0 && height > 0) {
    std::array<std::uint32_t, kPaletteSlots> pixels;
    for (int i = 0; i < kPaletteSlots; ++i)
      pixels[i] = MosaicPixel(palette.Entry(i), mosaic.BitsPerPixel());
    mosaic.ScanLineForWrite(0);  // the store is the bitmap's own before two threads write it
    // A large mosaic is painted in two halves at once: the windows paint it while the second core is idle.
    constexpr long long kCellsForTwoThreads = 1 << 20;
    const int half = static_cast<long long>(width) * height >= kCellsForTwoThreads
                         ? (height / 2 + kGridBandRows - 1) / kGridBandRows * kGridBandRows
                         : height;
    const std::size_t band = static_cast<std::size_t>(kGridBandRows) * width;
    std::vector<std::uint8_t> indices(2 * band);
    std::thread lower;
    if (half < height) {
      lower =
          std::thread([&] { PaintRows(grid, pixels.data(), half, height, indices.data() + band, mosaic); });
    }
    PaintRows(grid, pixels.data(), 0, half, indices.data(), mosaic);
    if (lower.joinable()) lower.join();
  }
  mosaic.PixelsChanged();
}

}  // namespace mozenta

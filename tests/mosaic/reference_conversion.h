// The conversion written out step by step, one pixel at a time through GetPixel and SetPixel, as the
// yardstick for the fast path. It has its own nearest-colour search, written from the rule, and records
// what every pixel handed on.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "picture/bitmap.h"

namespace mozenta::testing {

struct ReferenceCell {
  std::array<int, 3> clamped;  // R, G, B after adding the errors and clamping
  int entry;
  std::array<int, 3> handedOn;
};

struct ReferenceResult {
  int maxX = 0, maxY = 0;
  std::vector<std::vector<ReferenceCell>> cells;  // [y][x]
};

// The enabled entry (entry 0 always a candidate) at the least squared distance from the 4-bit colour; of
// several at the same distance, the one with the lowest number.
inline int ReferenceNearest(const Palette& palette, const std::array<int, 3>& colour4) {
  int best = -1;
  long bestDistance = 0;
  for (int i = 0; i < kPaletteSlots; ++i) {
    if (i != 0 && !palette.Enabled(i)) continue;
    const PaletteEntry& e = palette.Entry(i);
    const long dr = colour4[0] - e.R, dg = colour4[1] - e.G, db = colour4[2] - e.B;
    const long distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

inline ReferenceResult ReferenceConvert(const TBitmap& source, const Palette& palette, MosaicGrid& grid,
                                        TBitmap& mosaic) {
  ReferenceResult result;
  int maxX = source.Width() - 1, maxY = source.Height() - 1;
  if (maxX >= 2000) maxX = 1999;
  if (maxY >= 20000) maxY = 19999;
  result.maxX = maxX;
  result.maxY = maxY;
  mosaic.SetSize(maxX + 1, maxY + 1);
  std::vector<std::array<int, 3>> columnError(2000, {0, 0, 0});
  result.cells.resize(maxY + 1 > 0 ? maxY + 1 : 0);
  for (int y = 0; y <= maxY; ++y) {
    std::array<int, 3> carry{0, 0, 0};
    for (int x = 0; x <= maxX; ++x) {
      std::uint8_t rgb[3];
      SplitColor(source.GetPixel(x, y), rgb);
      ReferenceCell cell;
      for (int c = 0; c < 3; ++c) {
        int v = rgb[c] + columnError[x][c] + carry[c];
        if (v > 255) v = 255;
        if (v < 0) v = 0;
        cell.clamped[c] = v;
      }
      cell.entry =
          ReferenceNearest(palette, {cell.clamped[0] >> 4, cell.clamped[1] >> 4, cell.clamped[2] >> 4});
      const PaletteEntry& e = palette.Entry(cell.entry);
      const int expanded[3] = {ExpandNibble(e.R), ExpandNibble(e.G), ExpandNibble(e.B)};
      for (int c = 0; c < 3; ++c) {
        int err = (cell.clamped[c] - expanded[c]) / 3;
        if (err > 85) err = 85;
        if (err < -85) err = -85;
        carry[c] = err;
        columnError[x][c] = err;
        cell.handedOn[c] = err;
      }
      mosaic.SetPixel(x, y, PackColor(expanded[0], expanded[1], expanded[2]));
      grid.SetCell(x, y, static_cast<std::uint8_t>(cell.entry));
      result.cells[y].push_back(cell);
    }
  }
  return result;
}

}  // namespace mozenta::testing

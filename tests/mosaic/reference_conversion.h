// The conversion written out step by step, one pixel at a time through GetPixel and SetPixel, as the
// yardstick for the fast path. It records what every pixel handed on.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "mosaic/color_grid.h"
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

inline ReferenceResult ReferenceConvert(const TBitmap& source, TBitmap& mosaic) {
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
      cell.entry = NearestPaletteIndex(cell.clamped[0] >> 4, cell.clamped[1] >> 4, cell.clamped[2] >> 4);
      const PaletteEntry& e = Palette[cell.entry];
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
      SetGridCell(x, y, static_cast<std::uint8_t>(cell.entry));
      result.cells[y].push_back(cell);
    }
  }
  return result;
}

}  // namespace mozenta::testing

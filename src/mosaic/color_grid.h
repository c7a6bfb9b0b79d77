// The colour-index grid of the current mosaic: one palette index per cell, stored column by column, with
// the largest column and row index of the last conversion. Process-wide; only the conversion writes it.
#pragma once

#include <cstdint>

namespace mozenta {

inline constexpr int kGridColumns = 2001;  // columns 0..2000; the conversion uses at most 0..1999
inline constexpr int kGridRows = 20001;    // rows 0..20000; the conversion uses at most 0..19999
inline constexpr int kMaxMosaicColumns = 2000;
inline constexpr int kMaxMosaicRows = 20000;

// Cell (x, y) is ColorGrid[x][y]. Never cleared: cells outside MaxX and MaxY keep what an earlier, larger
// mosaic left there.
extern std::uint8_t ColorGrid[kGridColumns][kGridRows];
extern std::int32_t MaxX;  // picture width − 1, at most 1999; −1 for a picture without columns
extern std::int32_t MaxY;  // picture height − 1, at most 19999; −1 for a picture without rows

// Stores `index` in cell (x, y). No bounds check: callers keep 0 ≤ x ≤ 2000 and 0 ≤ y ≤ 20000.
inline void SetGridCell(std::int32_t x, std::int32_t y, std::uint8_t index) {
  ColorGrid[x][y] = index;
}

}  // namespace mozenta

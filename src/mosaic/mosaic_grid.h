// The colour-index grid of a mosaic: one palette index per cell, stored column by column, with the largest
// column and row index of the last conversion. Each grid owns its storage; the program keeps one for its
// whole run and mozenta-batch one per job.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mozenta {

inline constexpr int kGridColumns = 2001;  // columns 0..2000; the conversion uses at most 0..1999
inline constexpr int kGridRows = 20001;    // rows 0..20000; the conversion uses at most 0..19999
inline constexpr int kMaxMosaicColumns = 2000;
inline constexpr int kMaxMosaicRows = 20000;

class MosaicGrid {
 public:
  static constexpr std::size_t kCells = static_cast<std::size_t>(kGridColumns) * kGridRows;

  // Every cell 0 and both limits 0, as before the first conversion. The storage is reserved, not touched:
  // pages are mapped as cells are first written.
  MosaicGrid();
  ~MosaicGrid();
  MosaicGrid(const MosaicGrid&) = delete;
  MosaicGrid& operator=(const MosaicGrid&) = delete;

  // Picture width − 1 and height − 1 of the last conversion, at most 1999 and 19999; −1 for a picture
  // without columns or rows.
  std::int32_t MaxX() const { return maxX_; }
  std::int32_t MaxY() const { return maxY_; }
  // Throws std::out_of_range for limits outside −1..2000 and −1..20000. Cells are never cleared: those
  // outside the limits keep what an earlier, larger mosaic left there.
  void SetLimits(std::int32_t maxX, std::int32_t maxY);

  // Cell (x, y), for 0 ≤ x ≤ 2000 and 0 ≤ y ≤ 20000 (not checked).
  std::uint8_t Cell(int x, int y) const { return cells_[Offset(x, y)]; }
  void SetCell(int x, int y, std::uint8_t index) { cells_[Offset(x, y)] = index; }

  // The storage, for the kernels: cell (x, y) at Offset(x, y), kCells bytes in all.
  const std::uint8_t* Cells() const { return cells_; }
  std::uint8_t* Cells() { return cells_; }
  static std::size_t Offset(int x, int y) { return static_cast<std::size_t>(x) * kGridRows + y; }

 private:
  std::uint8_t* cells_;
  std::int32_t maxX_ = 0;
  std::int32_t maxY_ = 0;
};

}  // namespace mozenta

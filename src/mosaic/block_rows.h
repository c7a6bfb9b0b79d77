// Internals of the block walk: the kernels that turn a block's columns into rows of cells and count them,
// portable and AVX2, and the choice between them. Only the walk, its tests and its benchmark include this
// header.
#pragma once

#include <cstddef>

#include "block_walk.h"
#include "simd.h"

namespace mozenta::block_internal {

// Rows handed on at a time, and the columns the vector kernel turns at a time.
inline constexpr int kStripRows = 16;
inline constexpr int kTileColumns = 16;
// Two strips: a kernel may fill one while the visitors read the other.
inline constexpr int kBufferRows = 2 * kStripRows;

// The stride of the row buffer for blocks up to `columns` wide: whole tiles, and room for a visitor's
// 32-byte read past a row's end.
constexpr std::ptrdiff_t RowStride(int columns) {
  return (columns + kTileColumns - 1) / kTileColumns * kTileColumns + 32;
}

// Receives each strip of rows as it is ready: row r at rows + r × the buffer's stride.
class StripSink {
 public:
  virtual void PutStrip(int top, int count, const std::uint8_t* rows) = 0;

 protected:
  ~StripSink() = default;
};

// Writes the cells of `block` (not empty) into the buffer `rows` a strip at a time from the top, as palette
// indices (the low three bits of each cell), hands each strip to `sink`, and returns the block's counts.
// Asks the cache for `next` (possibly empty), the block the walk comes to next: a block's columns lie
// 20001 bytes apart, a stride no hardware prefetcher follows. The buffer holds kBufferRows rows of
// `stride` ≥ RowStride(block.columns) bytes. Up to 15 rows of the grid below the block may be read, never
// at or past storageEnd.
using RowsKernel = CellCounts (*)(const BlockCells& block, const BlockCells& next, std::uint8_t* rows,
                                  std::ptrdiff_t stride, StripSink& sink);

CellCounts BlockRowsPortable(const BlockCells& block, const BlockCells& next, std::uint8_t* rows,
                             std::ptrdiff_t stride, StripSink& sink);
#if MOZENTA_AVX2_BUILT
// Blocks narrower than a tile go to the portable kernel.
CellCounts BlockRowsAvx2(const BlockCells& block, const BlockCells& next, std::uint8_t* rows,
                         std::ptrdiff_t stride, StripSink& sink);
#endif

// The kernel this run takes, chosen once.
RowsKernel ChosenRowsKernel();

}  // namespace mozenta::block_internal

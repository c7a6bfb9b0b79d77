#include "block_walk.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "block_rows.h"
#include "byte_transpose.h"
#include "picture/errors.h"

namespace mozenta {
namespace block_internal {
namespace {

// For two neighbouring cells a and b, read together as the 16-bit number a | b << 8: the word that adds 1 to
// lane a and 1 to lane b of eight 8-bit lanes.
struct PairLaneTable {
  std::array<std::uint64_t, 0x0708> lanes{};
  constexpr PairLaneTable() {
    for (unsigned a = 0; a < 8; ++a)
      for (unsigned b = 0; b < 8; ++b)
        lanes[a | b << 8] = (std::uint64_t{1} << (8 * a)) + (std::uint64_t{1} << (8 * b));
  }
};
constexpr PairLaneTable kPairLanes;

// Cells counted two at a time: the 16 bits of two neighbouring cells (0..7 each) pick a word that adds 1
// to the 8-bit lanes of both cells' entries; two words take turns so the additions do not queue on one
// another, and are emptied before a lane can overflow.
class PairCounts {
 public:
  void Add(std::uint64_t eight) {
    even_ += kPairLanes.lanes[eight & 0xFFFF];
    odd_ += kPairLanes.lanes[(eight >> 16) & 0xFFFF];
    even_ += kPairLanes.lanes[(eight >> 32) & 0xFFFF];
    odd_ += kPairLanes.lanes[eight >> 48];
    if (++pending_ == 63) Empty();  // 4 × 63 ≤ 255 in each lane
  }

  void AddTo(CellCounts& counts) {
    Empty();
    for (int i = 0; i < kPaletteColors; ++i)
      counts[i] += static_cast<std::int32_t>(sums_[i]);
  }

 private:
  void Empty() {
    for (int i = 0; i < kPaletteColors; ++i)
      sums_[i] += ((even_ >> (8 * i)) & 0xFF) + ((odd_ >> (8 * i)) & 0xFF);
    even_ = odd_ = 0;
    pending_ = 0;
  }

  std::uint64_t even_ = 0, odd_ = 0;
  std::int64_t sums_[kPaletteColors] = {};
  int pending_ = 0;
};

// Asks the cache for the cells of `column` that come after the strip from row `top`: the column's next
// strip (down to row nextStripLast) and the same strip of the next block's column. Always inlined: the
// compiler takes a function that only asks the cache for data for one without effects, and drops calls
// to it.
[[gnu::always_inline]] inline void PrefetchAhead(const BlockCells& block, const BlockCells& next, int column,
                                                 int top, int nextStripLast) {
  __builtin_prefetch(block.first + column * block.columnStride + nextStripLast);
  if (column < next.columns && top < next.rows) {
    const std::uint8_t* ahead = next.first + column * next.columnStride;
    if (top == 0) __builtin_prefetch(ahead);
    __builtin_prefetch(ahead + std::min(top + kStripRows, next.rows) - 1);
  }
}

}  // namespace

CellCounts BlockRowsPortable(const BlockCells& block, const BlockCells& next, std::uint8_t* rows,
                             std::ptrdiff_t stride, StripSink& sink) {
  constexpr std::uint64_t kLowThreeBits = 0x0707070707070707;
  CellCounts counts{};
  PairCounts pairs;
  // Each strip is handed on once the next one is stored, so that the visitors' loads find the cells in
  // the cache rather than waiting for the stores to drain.
  std::uint8_t* const halves[2] = {rows, rows + kStripRows * stride};
  int ready = -1, readyCount = 0;
  for (int top = 0; top < block.rows; top += kStripRows) {
    const int count = std::min(kStripRows, block.rows - top);
    std::uint8_t* const out = halves[(top / kStripRows) % 2];
    const int nextStripLast = std::min(top + 2 * kStripRows, block.rows) - 1;
    int c = 0;
    if (count == kStripRows) {
      // Eight columns at a time, as two 8 × 8 squares of cells.
      for (; c + 8 <= block.columns; c += 8) {
        for (int i = 0; i < 8; ++i)
          PrefetchAhead(block, next, c + i, top, nextStripLast);
        for (int half = 0; half < 2; ++half) {
          std::uint64_t square[8];
          for (int i = 0; i < 8; ++i) {
            std::memcpy(&square[i], block.first + (c + i) * block.columnStride + top + 8 * half, 8);
            square[i] &= kLowThreeBits;
            pairs.Add(square[i]);
          }
          Transpose8x8(square);
          for (int r = 0; r < 8; ++r)
            std::memcpy(out + (8 * half + r) * stride + c, &square[r], 8);
        }
      }
    }
    for (; c < block.columns; ++c) {
      PrefetchAhead(block, next, c, top, nextStripLast);
      const std::uint8_t* column = block.first + c * block.columnStride + top;
      for (int r = 0; r < count; ++r) {
        const std::uint8_t cell = column[r] & 7;
        out[r * stride + c] = cell;
        ++counts[cell];
      }
    }
    if (ready >= 0) sink.PutStrip(ready, readyCount, halves[(ready / kStripRows) % 2]);
    ready = top;
    readyCount = count;
  }
  sink.PutStrip(ready, readyCount, halves[(ready / kStripRows) % 2]);
  pairs.AddTo(counts);
  return counts;
}

RowsKernel ChosenRowsKernel() {
#if MOZENTA_AVX2_BUILT
  static const RowsKernel kernel = simd::UseAvx2Kernels() ? BlockRowsAvx2 : BlockRowsPortable;
  return kernel;
#else
  return BlockRowsPortable;
#endif
}

}  // namespace block_internal

namespace {

// The part of block (bx, by) inside the mosaic. Only blocks of the last block column reach past MaxX, and
// there may be no column at all (MaxX = −1); likewise for the rows. A block past the last block column or
// row has no cells.
BlockCells CellsOf(const MosaicGrid& grid, const BlockSettings& size, std::int64_t bx, std::int64_t by) {
  const std::int64_t firstX = bx * size.width, firstY = by * size.height;
  BlockCells cells;
  cells.storageEnd = grid.Cells() + MosaicGrid::kCells;
  cells.columns = static_cast<int>(std::clamp<std::int64_t>(grid.MaxX() + 1 - firstX, 0, size.width));
  cells.rows = static_cast<int>(std::clamp<std::int64_t>(grid.MaxY() + 1 - firstY, 0, size.height));
  cells.first = cells.Empty()
                    ? grid.Cells()
                    : grid.Cells() + MosaicGrid::Offset(static_cast<int>(firstX), static_cast<int>(firstY));
  return cells;
}

// Hands each strip of a block's rows to every visitor.
class VisitorStrips : public block_internal::StripSink {
 public:
  VisitorStrips(std::initializer_list<BlockVisitor*> visitors, const MosaicBlock& block,
                std::ptrdiff_t stride)
      : visitors_(visitors), block_(block), stride_(stride) {}

  void PutStrip(int top, int count, const std::uint8_t* rows) override {
    const CellRows strip{top, count, block_.cells.columns, rows, stride_};
    for (BlockVisitor* visitor : visitors_)
      visitor->PutRows(block_, strip);
  }

 private:
  std::initializer_list<BlockVisitor*> visitors_;
  const MosaicBlock& block_;
  std::ptrdiff_t stride_;
};

}  // namespace

BlockLayout LayOutBlocks(const MosaicGrid& grid, const BlockSettings& size, BlockOrder order) {
  if (size.width == 0 || size.height == 0) throw EDivByZero();
  if (size.width < 0 || size.height < 0) throw Exception(MessageText(MessageId::kNegativeBlockSize));
  BlockLayout layout;
  layout.size = size;
  layout.order = order;
  // Integer division truncates toward zero, so a mosaic without columns (MaxX = −1) still has one block
  // column, and likewise for rows.
  layout.columns = grid.MaxX() / size.width + 1;
  layout.rows = grid.MaxY() / size.height + 1;
  return layout;
}

void ForEachBlock(const MosaicGrid& grid, const BlockLayout& layout,
                  std::initializer_list<BlockVisitor*> visitors, ProgressGauge& gauge,
                  const RowsComing* coming) {
  const block_internal::RowsKernel rowsOf = block_internal::ChosenRowsKernel();
  // No block holds more columns than the grid.
  const std::ptrdiff_t stride = block_internal::RowStride(std::min(layout.size.width, kGridColumns));
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(block_internal::kBufferRows * stride));
  for (BlockVisitor* visitor : visitors)
    visitor->Start(layout);

  const bool byRows = layout.order == BlockOrder::kByRows;
  const std::int64_t outerSteps = byRows ? layout.rows : layout.columns;
  const std::int64_t innerSteps = byRows ? layout.columns : layout.rows;
  const auto blockAt = [&](std::int64_t outer, std::int64_t inner) {
    return byRows ? std::pair{inner, outer} : std::pair{outer, inner};
  };
  CellCounts totals{};
  MosaicBlock block;
  VisitorStrips strips(visitors, block, stride);
  for (std::int64_t outer = 0; outer < outerSteps; ++outer) {
    gauge.SetProgress(static_cast<int>(outer));
    for (std::int64_t inner = 0; inner < innerSteps; ++inner) {
      std::tie(block.column, block.row) = blockAt(outer, inner);
      block.firstX = static_cast<int>(block.column * layout.size.width);
      block.firstY = static_cast<int>(block.row * layout.size.height);
      if (coming != nullptr) {
        coming->ready.WaitFor(std::min(block.firstY + layout.size.height, grid.MaxY() + 1));
        if (coming->stop.stop_requested()) throw EAbort();
      }
      block.cells = CellsOf(grid, layout.size, block.column, block.row);
      const auto [nextColumn, nextRow] =
          inner + 1 < innerSteps ? blockAt(outer, inner + 1) : blockAt(outer + 1, 0);
      block.next = CellsOf(grid, layout.size, nextColumn, nextRow);
      block.counts = CellCounts{};
      for (BlockVisitor* visitor : visitors)
        visitor->StartBlock(block);
      if (!block.cells.Empty()) block.counts = rowsOf(block.cells, block.next, rows.data(), stride, strips);
      for (int i = 0; i < kPaletteColors; ++i)
        totals[i] += block.counts[i];
      for (BlockVisitor* visitor : visitors)
        visitor->FinishBlock(block);
    }
  }
  for (BlockVisitor* visitor : visitors)
    visitor->Finish(totals);
}

}  // namespace mozenta

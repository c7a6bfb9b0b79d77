// The walk over the blocks of a mosaic that every report is written from. The walk knows the blocks'
// order, their place in the grid, their names' numbers and their sheet counts, and it turns the grid's
// columns into rows of cells; the writers it visits only format what it hands them (the chart, the counts
// file), as output modules do: Start, then for each block StartBlock, its rows a strip at a time and
// FinishBlock, and at the end Finish.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stop_token>

#include "block_settings.h"
#include "mosaic_grid.h"
#include "palette.h"
#include "picture/rows_ready.h"
#include "progress_gauge.h"

namespace mozenta {

// Sheets of palette entries 0..7.
using CellCounts = std::array<std::int32_t, kPaletteColors>;

// The cells of one block that lie inside the mosaic, in the grid's column-ordered storage.
struct BlockCells {
  const std::uint8_t* first = nullptr;  // the block's top cell in its first column
  std::ptrdiff_t columnStride = kGridRows;
  const std::uint8_t* storageEnd = nullptr;  // the end of the grid's storage: nothing at or past it is read
  int columns = 0;
  int rows = 0;

  bool Empty() const { return columns == 0 || rows == 0; }
  // Cell (x, y) of the block, for 0 ≤ x < columns and 0 ≤ y < rows, as stored.
  std::uint8_t Cell(int x, int y) const { return first[x * columnStride + y]; }
};

struct MosaicBlock {
  std::int64_t column = 0;  // from 0, left to right; a block's name counts both from 1
  std::int64_t row = 0;     // from 0, top to bottom
  int firstX = 0;           // the mosaic's cell at the block's top left corner
  int firstY = 0;
  // The part inside the mosaic: blocks of the last block column may be narrower, those of the last block
  // row shorter, and a mosaic without columns or rows has one block without cells.
  BlockCells cells;
  // Sheets of each entry, counted by the low three bits of each cell: complete in FinishBlock.
  CellCounts counts{};
  // The cells of the block visited after this one (empty after the last).
  BlockCells next;
};

// Consecutive rows of a block's cells: row r (0 ≤ r < count) is the block's row top + r, `columns`
// palette indices 0..7 from Row(r) on. Up to 32 bytes past a row's end may be read.
struct CellRows {
  int top = 0;
  int count = 0;
  int columns = 0;
  const std::uint8_t* cells = nullptr;
  std::ptrdiff_t stride = 0;

  const std::uint8_t* Row(int r) const { return cells + r * stride; }
};

struct BlockLayout {
  BlockSettings size;
  BlockOrder order = BlockOrder::kByRows;
  std::int64_t columns = 1;  // blocks across the mosaic, at least 1
  std::int64_t rows = 1;     // blocks down the mosaic, at least 1

  // The last step of the walk's outer loop, over block rows or block columns: the gauge's maximum.
  int LastStep() const { return static_cast<int>((order == BlockOrder::kByRows ? rows : columns) - 1); }
};

// The blocks of `grid` cut by `size`, in `order`. A width or height of 0 throws EDivByZero and a negative
// one Exception "ブロックの枚数が負の値です", before anything else happens.
BlockLayout LayOutBlocks(const MosaicGrid& grid, const BlockSettings& size, BlockOrder order);

class BlockVisitor {
 public:
  virtual ~BlockVisitor() = default;
  virtual void Start(const BlockLayout&) {}
  virtual void StartBlock(const MosaicBlock&) {}
  // The block's rows from the top, a strip of up to 16 at a time; none for a block without cells.
  virtual void PutRows(const MosaicBlock&, const CellRows&) {}
  virtual void FinishBlock(const MosaicBlock&) {}
  // `totals` are the counts of the whole mosaic.
  virtual void Finish(const CellCounts&) {}
};

// A grid whose rows a conversion is still making: the walk waits until a block's rows are ready, and ends
// with EAbort once `stop` is requested.
struct RowsComing {
  const RowsReady& ready;
  std::stop_token stop;
};

// Starts every visitor, walks the blocks in the layout's order, handing each step to every visitor in
// turn, and finishes them with the totals. The gauge's progress is set at each step of the outer loop
// (from 0 to layout.LastStep()); showing and hiding it is the caller's. A visitor's error ends the walk.
void ForEachBlock(const MosaicGrid& grid, const BlockLayout& layout,
                  std::initializer_list<BlockVisitor*> visitors, ProgressGauge& gauge,
                  const RowsComing* coming = nullptr);

}  // namespace mozenta

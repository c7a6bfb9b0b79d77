// Internals of the chart's cell lines shared by the report writer and its vector kernel: the labels in the
// form the kernel expands them, a block of the column-ordered grid, and the choice of kernel. Only the
// report writer, its kernel, their tests and benchmarks include this header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "report_file.h"

namespace mozenta::report_internal {

// The vector kernel works on tiles of 16 columns by 16 rows; a block's cell rows must hold at least one
// tile's width.
inline constexpr int kVectorTileColumns = 16;
inline constexpr int kVectorTileRows = 16;

// The eight labels when they all have the same length of one or two bytes: byte k of the label of entry i
// at bytes[k][i]. Entries 8..15 are never looked up.
struct UniformLabels {
  int length = 0;  // 1 or 2
  alignas(16) std::uint8_t bytes[2][16] = {};
};

// The cells of one block inside the mosaic, in a grid stored column by column.
struct GridBlock {
  const std::uint8_t* firstCell;    // the block's top row in its first column
  std::ptrdiff_t columnStride;      // bytes from one column to the next
  const std::uint8_t* readableEnd;  // end of the grid's storage: nothing at or past it is read
  int cells;                        // columns, kVectorTileColumns or more
  int rows;                         // 0 or more
  // The block written after this one, if any, whose top rows are asked for ahead: its top row in its first
  // column (in the same grid) and its number of columns.
  const std::uint8_t* next = nullptr;
  int nextCells = 0;
};

// Bytes of the buffer in which the kernel puts together a strip of 16 rows of `cells` cells.
constexpr std::size_t VectorStagingBytes(int cells, int labelLength) {
  return static_cast<std::size_t>(kVectorTileRows) * (static_cast<std::size_t>(cells) * labelLength + 2);
}

// Writes the block's rows to `chart`, each as the labels of its cells from left to right and CR LF, and
// adds each cell to counts[index]. Cells hold 0..7 (higher bits are ignored). Up to 15 rows of the grid
// below the block may be read, never past readableEnd; they do not count. The rows are put together 16 at
// a time in `staging`, VectorStagingBytes(block.cells, labels.length) bytes, and written from there: the
// chart's buffer then fills to the brim before each write to the file (a write that ends within a page
// costs the file system about twice as much).
void WriteBlockCellsAvx2(ReportFile& chart, char* staging, const GridBlock& block,
                         const UniformLabels& labels, std::array<std::int32_t, 8>& counts);

// True when the AVX2 kernel is built in and the processor runs it.
bool Avx2CellKernelAvailable();

// Which kernel the report writers use for cell lines. kFastest takes the AVX2 kernel where it applies
// (the processor has it, every label is one or two bytes long and all of the same length, a block's cell
// row holds at least one tile); tests force the portable one to compare the two.
enum class CellKernel { kFastest, kPortable };
void UseCellKernel(CellKernel kernel);
CellKernel CellKernelInUse();

}  // namespace mozenta::report_internal

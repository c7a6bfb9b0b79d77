// Where a cell lies among the blocks of the reports, and the mosaic window's status line for it.
#pragma once

#include <cstdint>
#include <string>

#include "block_walk.h"
#include "color_labels.h"

namespace mozenta {

// The block holding a cell and the cell's place inside it, all counted from 0.
struct CellPlace {
  std::int64_t blockColumn = 0;
  std::int64_t blockRow = 0;
  int x = 0;
  int y = 0;
};

CellPlace PlaceOfCell(const BlockSettings& size, int x, int y);

// A block's name as the reports print it, in UTF-8: "2列目-1段目" for column 1, row 0.
std::string BlockName(std::int64_t column, std::int64_t row);

// "2列目-1段目  ブロック内 横3 縦5  全体 横43 縦105  黒": the block, the cell's column and row in the block
// and in the mosaic (from 1) and the label of its entry; with a block width or height of 0, only
// "全体 横43 縦105  黒".
std::string CellStatusText(const BlockSettings& size, const ColorLabels& labels, int x, int y,
                           std::uint8_t entry);

}  // namespace mozenta

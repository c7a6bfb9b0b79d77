#include "cell_status.h"

namespace mozenta {

CellPlace PlaceOfCell(const BlockSettings& size, int x, int y) {
  return {x / size.width, y / size.height, x % size.width, y % size.height};
}

std::string BlockName(std::int64_t column, std::int64_t row) {
  return std::to_string(column + 1) + "列目-" + std::to_string(row + 1) + "段目";
}

std::string CellStatusText(const BlockSettings& size, const ColorLabels& labels, int x, int y,
                           std::uint8_t entry) {
  const std::string whole =
      "全体 横" + std::to_string(x + 1) + " 縦" + std::to_string(y + 1) + "  " + labels[entry & 7];
  // Without blocks (a size of 0) only the place in the whole mosaic.
  if (size.width <= 0 || size.height <= 0) return whole;
  const CellPlace place = PlaceOfCell(size, x, y);
  return BlockName(place.blockColumn, place.blockRow) + "  ブロック内 横" + std::to_string(place.x + 1) +
         " 縦" + std::to_string(place.y + 1) + "  " + whole;
}

}  // namespace mozenta

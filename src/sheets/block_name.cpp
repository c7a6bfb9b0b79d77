#include "block_name.h"

namespace mozenta {

BlockNameShaper::BlockNameShaper(TextShaper& shaper)
    : shaper_(shaper), columnMark_(shaper.Shape("列目-")), rowMark_(shaper.Shape("段目")) {}

ShapedText BlockNameShaper::Name(std::int64_t column, std::int64_t row) const {
  ShapedText name = shaper_.Number(column + 1);
  name.Append(columnMark_);
  name.Append(shaper_.Number(row + 1));
  name.Append(rowMark_);
  return name;
}

}  // namespace mozenta

// A block's name on the sheets, as the chart and the counts file write it: "2列目-1段目" for block column 2
// from the left and block row 1 from the top.
#pragma once

#include <cstdint>
#include <string>

#include "text_shaper.h"

namespace mozenta {

// The name shaped from its pieces, shaped once.
class BlockNameShaper {
 public:
  explicit BlockNameShaper(TextShaper& shaper);
  ShapedText Name(std::int64_t column, std::int64_t row) const;

 private:
  TextShaper& shaper_;
  ShapedText columnMark_, rowMark_;
};

}  // namespace mozenta

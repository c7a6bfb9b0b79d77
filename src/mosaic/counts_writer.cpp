#include "counts_writer.h"

#include <string_view>

namespace mozenta {

using namespace report_text;

void CountsWriter::Start(const BlockLayout&) {
  for (const std::string& label : labels_.counts) {
    counts_.Write(",");
    counts_.Write(label);
  }
  counts_.Write(kLineEnd);
}

void CountsWriter::FinishBlock(const MosaicBlock& block) {
  char line[kBlockNameBytes + kPaletteColors * (1 + kNumberBytes) + kLineEnd.size()];
  char* end = AppendBlockName(line, block.column, block.row);
  for (const std::int32_t count : block.counts)
    end = AppendNumber(Append(end, ","), count);
  end = AppendLineEnd(end);
  counts_.Write(std::string_view(line, static_cast<std::size_t>(end - line)));
}

}  // namespace mozenta

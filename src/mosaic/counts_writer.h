// The counts file (.csv): a heading with the eight labels, then one line per block with its name and its
// sheet count of each colour. Shift_JIS with CR LF line ends.
#pragma once

#include "block_walk.h"
#include "buffered_output.h"
#include "report_text.h"

namespace mozenta {

class CountsWriter : public BlockVisitor {
 public:
  CountsWriter(BufferedOutput& counts, const report_text::ReportLabels& labels)
      : counts_(counts), labels_(labels) {}

  void Start(const BlockLayout& layout) override;
  void FinishBlock(const MosaicBlock& block) override;

 private:
  BufferedOutput& counts_;
  const report_text::ReportLabels& labels_;
};

}  // namespace mozenta

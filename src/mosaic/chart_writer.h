// The chart (.txt): block by block a header line, the label of every cell row by row, and the block's two
// count lines; the totals of the whole mosaic at the end. Shift_JIS with CR LF line ends.
#pragma once

#include <string>

#include "block_walk.h"
#include "buffered_output.h"
#include "chart_labels.h"
#include "report_text.h"

namespace mozenta {

class ChartWriter : public BlockVisitor {
 public:
  // Cell lines go through `vectorKernel` when there is one and the labels are all of one length, 1 or 2
  // bytes; otherwise through portable code that gives the same bytes.
  ChartWriter(BufferedOutput& chart, const report_text::ReportLabels& labels,
              chart_internal::LabelRowsKernel vectorKernel = chart_internal::ChosenLabelRowsKernel());

  void Start(const BlockLayout& layout) override;
  void StartBlock(const MosaicBlock& block) override;
  void PutRows(const MosaicBlock& block, const CellRows& rows) override;
  void FinishBlock(const MosaicBlock& block) override;
  void Finish(const CellCounts& totals) override;

 private:
  std::size_t LabelLines(const CellRows& rows, char* out) const;
  template <std::size_t kLength>
  char* PackedLabels(char* out, const std::uint8_t* cell, int cells) const;
  void WriteCountLines(const CellCounts& counts);

  BufferedOutput& chart_;
  const report_text::ReportLabels& labels_;
  const chart_internal::LabelRowsKernel vectorKernel_;  // nullptr when the labels do not suit it
  int blockHeight_ = 0;
  std::string countLines_;  // room for the two count lines
  // The lines of a strip of rows are put together here and written in one piece, never straight into the
  // chart's buffer: it then fills to the brim before each write to the file.
  std::string staging_;
};

}  // namespace mozenta

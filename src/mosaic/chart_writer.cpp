#include "chart_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "block_rows.h"

namespace mozenta {
namespace chart_internal {

LabelRowsKernel ChosenLabelRowsKernel() {
#if MOZENTA_AVX2_BUILT
  static const LabelRowsKernel kernel = simd::UseAvx2Kernels() ? LabelRowsAvx2 : nullptr;
  return kernel;
#else
  return nullptr;
#endif
}

}  // namespace chart_internal

namespace {

using namespace report_text;

constexpr std::string_view kHeaderStart = "---(";
constexpr std::string_view kHeaderEnd = ")-------------------------";
// Bytes a kernel may write past the lines it puts together: labels stored as whole words, or the vector
// kernel's last piece.
constexpr std::size_t kLabelSlackBytes = std::max(chart_internal::kLabelSlackBytes, sizeof(std::uint64_t));

}  // namespace

ChartWriter::ChartWriter(BufferedOutput& chart, const ReportLabels& labels,
                         chart_internal::LabelRowsKernel vectorKernel)
    : chart_(chart), labels_(labels), vectorKernel_(labels.uniform.length != 0 ? vectorKernel : nullptr) {
  std::size_t bytes = 2 * kLineEnd.size();
  for (const std::string& entry : labels_.countEntries)
    bytes += entry.size() + kNumberBytes;
  countLines_.assign(bytes, '\0');
}

void ChartWriter::Start(const BlockLayout& layout) {
  blockHeight_ = layout.size.height;
  // Room for the lines of a strip of the widest block, labels of up to eight bytes stored as whole words.
  const auto columns = static_cast<std::size_t>(std::min(layout.size.width, kGridColumns));
  const std::size_t line = labels_.packed ? columns * labels_.maxLength + kLineEnd.size() : 0;
  staging_.assign(block_internal::kStripRows * line + kLabelSlackBytes, '\0');
}

void ChartWriter::StartBlock(const MosaicBlock& block) {
  char header[kHeaderStart.size() + kBlockNameBytes + kHeaderEnd.size() + kLineEnd.size()];
  char* end = AppendLineEnd(
      Append(AppendBlockName(Append(header, kHeaderStart), block.column, block.row), kHeaderEnd));
  chart_.Write(std::string_view(header, static_cast<std::size_t>(end - header)));
}

void ChartWriter::PutRows(const MosaicBlock&, const CellRows& rows) {
  if (!labels_.packed) {
    // Labels of more than eight bytes: each written as it is.
    for (int r = 0; r < rows.count; ++r) {
      for (const std::uint8_t* cell = rows.Row(r); cell != rows.Row(r) + rows.columns; ++cell)
        chart_.Write(labels_.chart[*cell]);
      chart_.Write(kLineEnd);
    }
    return;
  }
  // The vector kernel's lines go straight into the chart's buffer while they fit in it (its few wide
  // stores do not mind a buffer larger than the first-level cache; the portable code's many narrow ones
  // do, and put the lines together in the small staging buffer). A piece that would reach past the
  // buffer's end is put together aside and written, so that the buffer fills to the brim before each write.
  const auto lines = [&](char* out) { return LabelLines(rows, out); };
  const std::size_t most =
      static_cast<std::size_t>(rows.count) *
          (static_cast<std::size_t>(rows.columns) * labels_.maxLength + kLineEnd.size()) +
      kLabelSlackBytes;
  if (vectorKernel_ == nullptr || !chart_.WriteInPlace(most, lines)) {
    chart_.Write(std::string_view(staging_.data(), lines(staging_.data())));
  }
}

// The lines of `rows` from `out` on; returns their bytes. Up to kLabelSlackBytes past them may be written.
std::size_t ChartWriter::LabelLines(const CellRows& rows, char* out) const {
  if (vectorKernel_ != nullptr) return vectorKernel_(rows, labels_.uniform, out);
  char* end = out;
  for (int r = 0; r < rows.count; ++r) {
    switch (labels_.sameLength ? labels_.maxLength : 0) {
      case 1:
        end = PackedLabels<1>(end, rows.Row(r), rows.columns);
        break;
      case 2:
        end = PackedLabels<2>(end, rows.Row(r), rows.columns);
        break;
      default:
        end = PackedLabels<0>(end, rows.Row(r), rows.columns);
        break;
    }
    end = AppendLineEnd(end);
  }
  return static_cast<std::size_t>(end - out);
}

void ChartWriter::FinishBlock(const MosaicBlock& block) {
  // Rows of the block below the mosaic are empty lines, and so are all its rows when it has no columns.
  for (int r = block.cells.Empty() ? 0 : block.cells.rows; r < blockHeight_; ++r)
    chart_.Write(kLineEnd);
  WriteCountLines(block.counts);
}

void ChartWriter::Finish(const CellCounts& totals) {
  WriteCountLines(totals);
}

// Stores each cell's label. kLength is the length of every label when it is fixed at one or two bytes
// (the usual labels): cells then go in pairs through the pair table. Otherwise (0) each label is stored as
// a whole word and the output moves on by the label's own length.
template <std::size_t kLength>
char* ChartWriter::PackedLabels(char* out, const std::uint8_t* cell, int cells) const {
  const std::uint64_t* const words = labels_.words.data();
  const std::uint8_t* const lengths = labels_.lengths.data();
  const std::uint32_t* const pairWords = labels_.pairWords.data();
  int c = 0;
  if constexpr (kLength != 0) {
    for (; c + 1 < cells; c += 2, cell += 2) {
      std::memcpy(out, &pairWords[cell[0] | cell[1] << 3], 2 * kLength);
      out += 2 * kLength;
    }
  }
  for (; c < cells; ++c, ++cell) {
    std::memcpy(out, &words[*cell], sizeof(std::uint64_t));
    out += kLength != 0 ? kLength : lengths[*cell];
  }
  return out;
}

// Two lines: entries 0..3, then 4..7, each entry as "   ", its label, "=" and its count.
void ChartWriter::WriteCountLines(const CellCounts& counts) {
  char* const start = countLines_.data();
  char* end = start;
  for (int i = 0; i < kPaletteColors; ++i) {
    end = AppendNumber(Append(end, labels_.countEntries[i]), counts[i]);
    if (i % 4 == 3) end = AppendLineEnd(end);
  }
  chart_.Write(std::string_view(start, static_cast<std::size_t>(end - start)));
}

}  // namespace mozenta

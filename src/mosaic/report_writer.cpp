#include "report_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "color_grid.h"
#include "output_names.h"
#include "palette.h"
#include "picture/errors.h"
#include "report_file.h"
#include "shift_jis.h"

namespace mozenta {
namespace {

// Both files are written out in pieces of up to 64 KiB: one system call per few hundred cell rows. A cell
// row of the widest mosaic with labels of up to eight bytes always fits the buffer whole.
constexpr std::size_t kChartBufferBytes = 64 << 10;
constexpr std::size_t kCountsBufferBytes = 64 << 10;
static_assert(kChartBufferBytes >= kGridColumns * sizeof(std::uint64_t) + 2);
// Cell rows of a block gathered at a time from the column-ordered grid.
constexpr int kStripRows = 32;

// Fixed texts, already in Shift_JIS: "列目" is 97 F1 96 DA and "段目" is 92 69 96 DA.
constexpr std::string_view kColumnMark = "\x97\xF1\x96\xDA-";  // "列目-"
constexpr std::string_view kRowMark = "\x92\x69\x96\xDA";      // "段目"
constexpr std::string_view kHeaderStart = "---(";
constexpr std::string_view kHeaderEnd = ")-------------------------";
constexpr std::string_view kCountIndent = "   ";

using Counts = std::array<std::int32_t, kPaletteColors>;

enum class WalkOrder { kRows, kColumns };

// A label in the counts file: as it is, unless a comma, a double quote or a line break in it would break
// the columns; such a label is quoted, its double quotes doubled.
std::string CountsFileLabel(const std::string& label) {
  if (label.find_first_of(",\"\r\n") == std::string::npos) return label;
  std::string quoted = "\"";
  for (const char c : label) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

// The eight labels in the forms the two files write them, converted once per report.
struct EncodedLabels {
  explicit EncodedLabels(const std::array<std::string, 8>& utf8) {
    for (int i = 0; i < kPaletteColors; ++i) {
      chart[i] = Utf8ToShiftJis(utf8[i]);
      counts[i] = CountsFileLabel(chart[i]);
      maxLength = std::max(maxLength, chart[i].size());
    }
    packed = maxLength <= sizeof(std::uint64_t);
    sameLength =
        std::all_of(chart.begin(), chart.end(), [&](const std::string& l) { return l.size() == maxLength; });
    if (packed) {
      for (int i = 0; i < kPaletteColors; ++i) {
        std::memcpy(&words[i], chart[i].data(), chart[i].size());
        lengths[i] = static_cast<std::uint8_t>(chart[i].size());
        lanes[i] = std::uint64_t{1} << (8 * i);
      }
    }
    if (sameLength && maxLength <= 2) {
      for (unsigned pair = 0; pair < 64; ++pair) {
        const unsigned first = pair & 7, second = pair >> 3;
        const std::string both = chart[first] + chart[second];
        std::memcpy(&pairWords[pair], both.data(), both.size());
        pairLanes[pair] = lanes[first] + lanes[second];
      }
    }
  }

  std::array<std::string, 8> chart;   // Shift_JIS
  std::array<std::string, 8> counts;  // Shift_JIS, quoted where the columns need it
  std::size_t maxLength = 0;
  // Labels of up to eight bytes are also kept as one zero-padded word each: a cell stores the whole word
  // and moves on by the label's length.
  bool packed = false;
  bool sameLength = false;
  std::array<std::uint64_t, 8> words{};
  std::array<std::uint8_t, 8> lengths{};
  // A cell counted in eight 8-bit lanes of a word: entry i adds 1 << 8i.
  std::array<std::uint64_t, 8> lanes{};
  // When every label has the same length of one or two bytes: two neighbouring cells of entries a and b as
  // one piece, pair a + 8b, with their lane increments.
  std::array<std::uint32_t, 64> pairWords{};
  std::array<std::uint64_t, 64> pairLanes{};
};

// Hides the gauge when the report ends, by return or by error.
class ShownGauge {
 public:
  explicit ShownGauge(ProgressGauge& gauge) : gauge_(gauge) { gauge_.Show(); }
  ~ShownGauge() {
    if (shown_) gauge_.Hide();
  }
  ShownGauge(const ShownGauge&) = delete;
  ShownGauge& operator=(const ShownGauge&) = delete;
  void Hide() {
    shown_ = false;
    gauge_.Hide();
  }

 private:
  ProgressGauge& gauge_;
  bool shown_ = true;
};

class BlockWriter {
 public:
  BlockWriter(ReportFile& chart, ReportFile& counts, const EncodedLabels& labels, std::int64_t blockWidth,
              std::int64_t blockHeight)
      : chart_(chart),
        counts_(counts),
        labels_(labels),
        width_(blockWidth),
        height_(blockHeight),
        // No block holds more columns than the grid.
        strip_(static_cast<std::size_t>(std::min<std::int64_t>(blockWidth, kGridColumns)) * kStripRows) {}

  void WriteHeading() {
    for (const std::string& label : labels_.counts) {
      counts_.Write(",");
      counts_.Write(label);
    }
    counts_.WriteLineEnd();
  }

  // Block (bx, by), both counted from 0: its header, its H cell rows, its count lines, its counts line.
  void WriteBlock(std::int64_t bx, std::int64_t by) {
    chart_.Write(kHeaderStart);
    chart_.WriteNumber(bx + 1);
    chart_.Write(kColumnMark);
    chart_.WriteNumber(by + 1);
    chart_.Write(kRowMark);
    chart_.Write(kHeaderEnd);
    chart_.WriteLineEnd();

    // Only blocks of the last block column reach past MaxX, and there may be no column at all (MaxX = −1);
    // likewise for the rows, and the rows below MaxY are empty lines.
    const std::int64_t firstX = bx * width_;
    const std::int64_t firstY = by * height_;
    const std::int64_t cells = std::clamp<std::int64_t>(MaxX + 1 - firstX, 0, width_);
    const std::int64_t rows = std::clamp<std::int64_t>(MaxY + 1 - firstY, 0, height_);
    Counts block{};
    for (std::int64_t r = 0; r < rows; r += kStripRows) {
      const int stripRows = static_cast<int>(std::min<std::int64_t>(kStripRows, rows - r));
      LoadStrip(static_cast<int>(firstX), static_cast<int>(cells), static_cast<int>(firstY + r), stripRows);
      for (int s = 0; s < stripRows; ++s)
        WriteCellRow(static_cast<int>(cells), s, block);
    }
    for (std::int64_t r = rows; r < height_; ++r)
      chart_.WriteLineEnd();
    WriteCountLines(block);

    counts_.WriteNumber(bx + 1);
    counts_.Write(kColumnMark);
    counts_.WriteNumber(by + 1);
    counts_.Write(kRowMark);
    for (int i = 0; i < kPaletteColors; ++i) {
      counts_.Write(",");
      counts_.WriteNumber(block[i]);
      totals_[i] += block[i];
    }
    counts_.WriteLineEnd();
  }

  void WriteTotals() { WriteCountLines(totals_); }

 private:
  // Copies `stripRows` rows from row y0 of `cells` grid columns from firstX into the strip, column by
  // column: the grid is stored by columns, and reading it across a row would touch a new cache line per
  // cell.
  void LoadStrip(int firstX, int cells, int y0, int stripRows) {
    const int nextStripEnd = std::min(y0 + 2 * kStripRows - 1, kGridRows - 1);
    for (int c = 0; c < cells; ++c) {
      const std::uint8_t* column = ColorGrid[firstX + c];
      // Columns lie 20001 bytes apart, a stride no hardware prefetcher follows: ask for the rest of the
      // column's next strip, and for the same rows of the block to the right.
      __builtin_prefetch(column + nextStripEnd);
      if (firstX + c + width_ <= MaxX) __builtin_prefetch(ColorGrid[firstX + c + width_] + y0);
      std::memcpy(&strip_[static_cast<std::size_t>(c) * kStripRows], column + y0,
                  static_cast<std::size_t>(stripRows));
    }
  }

  // The labels of the first `cells` cells of strip row s, and the line end.
  void WriteCellRow(int cells, int s, Counts& block) {
    const std::uint8_t* cell = strip_.data() + s;
    if (labels_.packed) {
      char* out = chart_.Reserve(static_cast<std::size_t>(cells) * labels_.maxLength + 2);
      switch (labels_.sameLength ? labels_.maxLength : 0) {
        case 1:
          out = WritePackedCells<1>(out, cell, cells, block);
          break;
        case 2:
          out = WritePackedCells<2>(out, cell, cells, block);
          break;
        default:
          out = WritePackedCells<0>(out, cell, cells, block);
          break;
      }
      out[0] = '\r';
      out[1] = '\n';
      chart_.Commit(out + 2);
      return;
    }
    for (int c = 0; c < cells; ++c, cell += kStripRows) {
      const unsigned i = *cell & 7u;
      chart_.Write(labels_.chart[i]);
      ++block[i];
    }
    chart_.WriteLineEnd();
  }

  // Stores each cell's label and counts the cells in the eight 8-bit lanes of one word, emptied into the
  // block counts before a lane can overflow, so that equal neighbours do not queue on one counter in memory.
  // kLength is the length of every label when it is fixed at one or two bytes (the usual labels): cells
  // then go in pairs through the pair tables. Otherwise (0) each label is stored as a whole word and the
  // output moves on by the label's own length.
  template <std::size_t kLength>
  char* WritePackedCells(char* out, const std::uint8_t* cell, int cells, Counts& block) const {
    const std::uint64_t* const words = labels_.words.data();
    const std::uint8_t* const lengths = labels_.lengths.data();
    const std::uint64_t* const lanes = labels_.lanes.data();
    const std::uint32_t* const pairWords = labels_.pairWords.data();
    const std::uint64_t* const pairLanes = labels_.pairLanes.data();
    constexpr int kChunk = 254;  // cells per lane word: at most 255 in one lane
    for (int first = 0; first < cells; first += kChunk) {
      const int end = std::min(cells, first + kChunk);
      std::uint64_t counted = 0;
      int c = first;
      if constexpr (kLength != 0) {
        for (; c + 1 < end; c += 2, cell += 2 * kStripRows) {
          const unsigned pair = (cell[0] & 7u) | (cell[kStripRows] & 7u) << 3;
          std::memcpy(out, &pairWords[pair], 2 * kLength);
          out += 2 * kLength;
          counted += pairLanes[pair];
        }
      }
      for (; c < end; ++c, cell += kStripRows) {
        const unsigned i = *cell & 7u;  // the grid holds 0..7; the mask keeps every look-up in bounds
        std::memcpy(out, &words[i], sizeof(std::uint64_t));
        out += kLength != 0 ? kLength : lengths[i];
        counted += lanes[i];
      }
      for (int i = 0; i < kPaletteColors; ++i)
        block[i] += static_cast<std::int32_t>((counted >> (8 * i)) & 0xFF);
    }
    return out;
  }

  // Two lines: entries 0..3, then 4..7, each entry as "   ", its label, "=" and its count.
  void WriteCountLines(const Counts& counts) {
    for (int i = 0; i < kPaletteColors; ++i) {
      chart_.Write(kCountIndent);
      chart_.Write(labels_.chart[i]);
      chart_.Write("=");
      chart_.WriteNumber(counts[i]);
      if (i % 4 == 3) chart_.WriteLineEnd();
    }
  }

  ReportFile& chart_;
  ReportFile& counts_;
  const EncodedLabels& labels_;
  const std::int64_t width_;
  const std::int64_t height_;
  std::vector<std::uint8_t> strip_;  // kStripRows cells of each column of a block, column after column
  Counts totals_{};
};

void WriteReport(const std::string& chartFileName, const ReportSettings& settings, ProgressGauge& gauge,
                 WalkOrder order) {
  const std::int64_t width = settings.blockWidth;
  const std::int64_t height = settings.blockHeight;
  if (width == 0 || height == 0) throw EDivByZero();
  if (width < 0 || height < 0) throw Exception("ブロックの枚数が負の値です");
  if (MaxX < -1 || MaxX >= kGridColumns || MaxY < -1 || MaxY >= kGridRows) {
    throw Exception("モザイクの大きさが色の表の範囲を超えています");
  }
  // Integer division truncates toward zero, so a mosaic without columns (MaxX = −1) still has one block
  // column, and likewise for rows.
  const std::int64_t lastBlockColumn = MaxX / width;
  const std::int64_t lastBlockRow = MaxY / height;
  const EncodedLabels labels(settings.labels);

  gauge.SetMaxValue(static_cast<int>(order == WalkOrder::kRows ? lastBlockRow : lastBlockColumn));
  ShownGauge shown(gauge);
  ReportFile chart(chartFileName, kChartBufferBytes);
  ReportFile counts(ReplaceFileExtension(chartFileName, ".csv"), kCountsBufferBytes);

  BlockWriter writer(chart, counts, labels, width, height);
  writer.WriteHeading();
  if (order == WalkOrder::kRows) {
    for (std::int64_t by = 0; by <= lastBlockRow; ++by) {
      gauge.SetProgress(static_cast<int>(by));
      for (std::int64_t bx = 0; bx <= lastBlockColumn; ++bx)
        writer.WriteBlock(bx, by);
    }
  } else {
    for (std::int64_t bx = 0; bx <= lastBlockColumn; ++bx) {
      gauge.SetProgress(static_cast<int>(bx));
      for (std::int64_t by = 0; by <= lastBlockRow; ++by)
        writer.WriteBlock(bx, by);
    }
  }
  writer.WriteTotals();

  shown.Hide();
  chart.Close();
  counts.Close();
}

}  // namespace

std::array<std::string, 8> DefaultColorLabels() {
  return {"黒", "青", "赤", "紫", "緑", "水", "黄", "白"};
}

void WriteReportByRows(const std::string& chartFileName, const ReportSettings& settings,
                       ProgressGauge& gauge) {
  WriteReport(chartFileName, settings, gauge, WalkOrder::kRows);
}

void WriteReportByColumns(const std::string& chartFileName, const ReportSettings& settings,
                          ProgressGauge& gauge) {
  WriteReport(chartFileName, settings, gauge, WalkOrder::kColumns);
}

}  // namespace mozenta

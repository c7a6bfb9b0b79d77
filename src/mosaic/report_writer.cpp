#include "report_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "color_grid.h"
#include "output_names.h"
#include "palette.h"
#include "picture/errors.h"
#include "report_file.h"
#include "shift_jis.h"

namespace mozenta {
namespace {

// The chart holds one label per cell; the counts file one short line per block.
constexpr std::size_t kChartBufferBytes = 4096;
constexpr std::size_t kCountsBufferBytes = 128;

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
    if (packed) {
      for (int i = 0; i < kPaletteColors; ++i) {
        std::memcpy(&words[i], chart[i].data(), chart[i].size());
        lengths[i] = static_cast<std::uint8_t>(chart[i].size());
      }
    }
  }

  std::array<std::string, 8> chart;   // Shift_JIS
  std::array<std::string, 8> counts;  // Shift_JIS, quoted where the columns need it
  std::size_t maxLength = 0;
  // Labels of up to eight bytes are also kept as one zero-padded word each: a cell stores the whole word
  // and moves on by the label's length.
  bool packed = false;
  std::array<std::uint64_t, 8> words{};
  std::array<std::uint8_t, 8> lengths{};
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
      : chart_(chart), counts_(counts), labels_(labels), width_(blockWidth), height_(blockHeight) {}

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

    // Only blocks of the last block column reach past MaxX, and there may be no column at all (MaxX = −1).
    const std::int64_t firstX = bx * width_;
    const std::int64_t cells = std::max<std::int64_t>(0, std::min<std::int64_t>(width_, MaxX + 1 - firstX));
    Counts block{};
    for (std::int64_t r = 0; r < height_; ++r) {
      const std::int64_t y = by * height_ + r;
      if (y <= MaxY) {
        WriteCellRow(static_cast<int>(firstX), static_cast<int>(cells), static_cast<int>(y), block);
      } else {
        chart_.WriteLineEnd();
      }
    }
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
  // The labels of `cells` cells of row y from column firstX, and the line end.
  void WriteCellRow(int firstX, int cells, int y, Counts& block) {
    if (labels_.packed) {
      const std::size_t bytes = static_cast<std::size_t>(cells) * labels_.maxLength + 2;
      if (char* out = chart_.Reserve(bytes)) {
        for (int x = firstX; x < firstX + cells; ++x) {
          const unsigned i = ColorGrid[x][y] & 7u;  // the grid holds 0..7; the mask keeps reads in bounds
          std::memcpy(out, &labels_.words[i], sizeof(std::uint64_t));
          out += labels_.lengths[i];
          ++block[i];
        }
        out[0] = '\r';
        out[1] = '\n';
        chart_.Commit(out + 2);
        return;
      }
    }
    for (int x = firstX; x < firstX + cells; ++x) {
      const unsigned i = ColorGrid[x][y] & 7u;
      chart_.Write(labels_.chart[i]);
      ++block[i];
    }
    chart_.WriteLineEnd();
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

#include "report_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

#include "color_grid.h"
#include "output_names.h"
#include "palette.h"
#include "picture/errors.h"
#include "report_cells.h"
#include "report_file.h"
#include "shift_jis.h"

namespace mozenta {
namespace report_internal {
namespace {

CellKernel cellKernelInUse = CellKernel::kFastest;

}  // namespace

void UseCellKernel(CellKernel kernel) {
  cellKernelInUse = kernel;
}

CellKernel CellKernelInUse() {
  return cellKernelInUse;
}

}  // namespace report_internal

namespace {

using report_internal::GridBlock;
using report_internal::kVectorTileColumns;
using report_internal::UniformLabels;

// Both files are written out in pieces of 64 KiB: one system call per few hundred cell rows. Everything
// reaches the buffers through ReportFile::Write, which fills them to the brim, so that every write to the
// file but the last covers whole pages.
constexpr std::size_t kChartBufferBytes = 64 << 10;
constexpr std::size_t kCountsBufferBytes = 64 << 10;
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

// Short lines are put together in a local array or a scratch string and written in one piece.
char* Append(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}
constexpr std::size_t kNumberBytes = 20;  // the decimal digits of any 64-bit value, its sign included
char* AppendNumber(char* out, std::int64_t value) {
  return std::to_chars(out, out + kNumberBytes, value).ptr;
}
char* AppendLineEnd(char* out) {
  return Append(out, "\r\n");
}
// A block's name: its column number, "列目-", its row number, "段目".
constexpr std::size_t kBlockNameBytes = 2 * kNumberBytes + kColumnMark.size() + kRowMark.size();
char* AppendBlockName(char* out, std::int64_t column, std::int64_t row) {
  return Append(AppendNumber(Append(AppendNumber(out, column), kColumnMark), row), kRowMark);
}

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
      countEntries[i] = std::string(kCountIndent) + chart[i] + "=";
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
      uniform.length = static_cast<int>(maxLength);
      for (int i = 0; i < kPaletteColors; ++i) {
        for (std::size_t k = 0; k < maxLength; ++k)
          uniform.bytes[k][i] = static_cast<std::uint8_t>(chart[i][k]);
      }
    }
  }

  std::array<std::string, 8> chart;         // Shift_JIS
  std::array<std::string, 8> counts;        // Shift_JIS, quoted where the columns need it
  std::array<std::string, 8> countEntries;  // "   ", the chart form and "=": each count in the chart
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
  // The same labels for the vector kernel; its length stays 0 unless they are of one length, 1 or 2.
  UniformLabels uniform;
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
        strip_(static_cast<std::size_t>(std::min<std::int64_t>(blockWidth, kGridColumns)) * kStripRows),
        vectorCells_(labels.uniform.length != 0 &&
                     report_internal::CellKernelInUse() == report_internal::CellKernel::kFastest &&
                     report_internal::Avx2CellKernelAvailable()),
        countLines_(CountLinesBytes(), '\0'),
        staging_(StagingBytes(), '\0') {}

  void WriteHeading() {
    for (const std::string& label : labels_.counts) {
      counts_.Write(",");
      counts_.Write(label);
    }
    counts_.WriteLineEnd();
  }

  // Block (bx, by), both counted from 0: its header, its H cell rows, its count lines, its counts line.
  // (nextBx, nextBy) is the block written after it, if any: the grid's cells of that one are asked for
  // ahead.
  void WriteBlock(std::int64_t bx, std::int64_t by, std::int64_t nextBx, std::int64_t nextBy) {
    char header[kHeaderStart.size() + kBlockNameBytes + kHeaderEnd.size() + 2];
    char* end =
        AppendLineEnd(Append(AppendBlockName(Append(header, kHeaderStart), bx + 1, by + 1), kHeaderEnd));
    chart_.Write(std::string_view(header, static_cast<std::size_t>(end - header)));

    const BlockCells cells = CellsOf(bx, by);
    Counts block{};
    if (vectorCells_ && cells.columns >= kVectorTileColumns) {
      WriteVectorCellRows(cells, CellsOf(nextBx, nextBy), block);
    } else {
      WritePortableCellRows(cells, block);
    }
    for (std::int64_t r = cells.rows; r < height_; ++r)
      chart_.WriteLineEnd();
    WriteCountLines(block);

    char line[kBlockNameBytes + kPaletteColors * (1 + kNumberBytes) + 2];
    end = AppendBlockName(line, bx + 1, by + 1);
    for (int i = 0; i < kPaletteColors; ++i) {
      end = AppendNumber(Append(end, ","), block[i]);
      totals_[i] += block[i];
    }
    end = AppendLineEnd(end);
    counts_.Write(std::string_view(line, static_cast<std::size_t>(end - line)));
  }

  void WriteTotals() { WriteCountLines(totals_); }

 private:
  // The two count lines of a block or of the totals, put together in a scratch string sized once.
  std::size_t CountLinesBytes() const {
    std::size_t bytes = 2 * 2;
    for (const std::string& entry : labels_.countEntries)
      bytes += entry.size() + kNumberBytes;
    return bytes;
  }

  // Room for a row of the widest block with packed labels, and for a strip of the vector kernel.
  std::size_t StagingBytes() const {
    const int columns = static_cast<int>(std::min<std::int64_t>(width_, kGridColumns));
    std::size_t bytes = 0;
    if (labels_.packed)
      bytes = static_cast<std::size_t>(columns) * labels_.maxLength + 2 + sizeof(std::uint64_t);
    if (vectorCells_)
      bytes = std::max(bytes, report_internal::VectorStagingBytes(columns, labels_.uniform.length));
    return bytes;
  }

  // The part of a block inside the mosaic. Only blocks of the last block column reach past MaxX, and there
  // may be no column at all (MaxX = −1); likewise for the rows. A block past the last block column or row
  // has no cells.
  struct BlockCells {
    int firstX, firstY;
    int columns, rows;
  };
  BlockCells CellsOf(std::int64_t bx, std::int64_t by) const {
    const std::int64_t firstX = bx * width_, firstY = by * height_;
    return {static_cast<int>(std::min<std::int64_t>(firstX, kGridColumns)),
            static_cast<int>(std::min<std::int64_t>(firstY, kGridRows)),
            static_cast<int>(std::clamp<std::int64_t>(MaxX + 1 - firstX, 0, width_)),
            static_cast<int>(std::clamp<std::int64_t>(MaxY + 1 - firstY, 0, height_))};
  }

  // The block's cell rows through the vector kernel.
  void WriteVectorCellRows(const BlockCells& cells, const BlockCells& next, Counts& block) {
    const std::uint8_t* const grid = &ColorGrid[0][0];
    const auto cell = [grid](int x, int y) { return grid + static_cast<std::ptrdiff_t>(x) * kGridRows + y; };
    GridBlock gridBlock{cell(cells.firstX, cells.firstY), kGridRows, grid + sizeof ColorGrid, cells.columns,
                        cells.rows};
    if (next.rows > 0 && next.columns > 0) {
      gridBlock.next = cell(next.firstX, next.firstY);
      gridBlock.nextCells = next.columns;
    }
    report_internal::WriteBlockCellsAvx2(chart_, staging_.data(), gridBlock, labels_.uniform, block);
  }

  // The block's cell rows through the portable code.
  void WritePortableCellRows(const BlockCells& cells, Counts& block) {
    for (int r = 0; r < cells.rows; r += kStripRows) {
      const int stripRows = std::min(kStripRows, cells.rows - r);
      LoadStrip(cells.firstX, cells.columns, cells.firstY + r, stripRows);
      for (int s = 0; s < stripRows; ++s)
        WriteCellRow(cells.columns, s, block);
    }
  }

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
      char* out = staging_.data();
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
      out = AppendLineEnd(out);
      chart_.Write(std::string_view(staging_.data(), static_cast<std::size_t>(out - staging_.data())));
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
    char* const start = countLines_.data();
    char* end = start;
    for (int i = 0; i < kPaletteColors; ++i) {
      end = AppendNumber(Append(end, labels_.countEntries[i]), counts[i]);
      if (i % 4 == 3) end = AppendLineEnd(end);
    }
    chart_.Write(std::string_view(start, static_cast<std::size_t>(end - start)));
  }

  ReportFile& chart_;
  ReportFile& counts_;
  const EncodedLabels& labels_;
  const std::int64_t width_;
  const std::int64_t height_;
  std::vector<std::uint8_t> strip_;  // kStripRows cells of each column of a block, column after column
  const bool vectorCells_;           // cell rows of a tile's width or more go through the vector kernel
  std::string countLines_;           // room for the two count lines
  // Cell rows are put together here and written in one piece each, never straight into the chart's buffer:
  // it then fills to the brim before each write to the file.
  std::string staging_;
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
      for (std::int64_t bx = 0; bx <= lastBlockColumn; ++bx) {
        if (bx < lastBlockColumn) {
          writer.WriteBlock(bx, by, bx + 1, by);
        } else {
          writer.WriteBlock(bx, by, 0, by + 1);
        }
      }
    }
  } else {
    for (std::int64_t bx = 0; bx <= lastBlockColumn; ++bx) {
      gauge.SetProgress(static_cast<int>(bx));
      for (std::int64_t by = 0; by <= lastBlockRow; ++by) {
        if (by < lastBlockRow) {
          writer.WriteBlock(bx, by, bx, by + 1);
        } else {
          writer.WriteBlock(bx, by, bx + 1, 0);
        }
      }
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

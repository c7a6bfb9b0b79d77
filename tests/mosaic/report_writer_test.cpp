#include "mosaic/report_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "mosaic/mosaic_grid.h"
#include "output_test_support.h"
#include "picture/errors.h"

namespace mozenta {
namespace {

using testing::ReadWholeFile;
using testing::RecordingGauge;
using testing::ScratchFolder;
using testing::SetGrid;
using testing::Sjis;
using testing::SjisLines;

ReportSettings Settings(std::int32_t blockWidth, std::int32_t blockHeight,
                        BlockOrder order = BlockOrder::kByRows,
                        const ColorLabels& labels = DefaultColorLabels()) {
  return ReportSettings{{blockWidth, blockHeight}, order, labels};
}

// The 5 × 3 mosaic written with 2 × 2 blocks: six blocks in three block columns and two block rows.
class WorkedExample : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGrid(grid_, {{0, 0, 1, 2, 7}, {0, 4, 1, 2, 7}, {5, 6, 3, 3, 7}});
    settings_.blocks = {2, 2};
  }

  // The chart section and the counts line of each block, by block name.
  static inline const std::map<std::string, std::pair<std::string, std::string>> kBlocks = {
      {"1-1",
       {SjisLines({"---(1列目-1段目)-------------------------", "黒黒", "黒緑",
                   "   黒=3   青=0   赤=0   紫=0", "   緑=1   水=0   黄=0   白=0"}),
        SjisLines({"1列目-1段目,3,0,0,0,1,0,0,0"})}},
      {"2-1",
       {SjisLines({"---(2列目-1段目)-------------------------", "青赤", "青赤",
                   "   黒=0   青=2   赤=2   紫=0", "   緑=0   水=0   黄=0   白=0"}),
        SjisLines({"2列目-1段目,0,2,2,0,0,0,0,0"})}},
      {"3-1",
       {SjisLines({"---(3列目-1段目)-------------------------", "白", "白", "   黒=0   青=0   赤=0   紫=0",
                   "   緑=0   水=0   黄=0   白=2"}),
        SjisLines({"3列目-1段目,0,0,0,0,0,0,0,2"})}},
      {"1-2",
       {SjisLines({"---(1列目-2段目)-------------------------", "水黄", "", "   黒=0   青=0   赤=0   紫=0",
                   "   緑=0   水=1   黄=1   白=0"}),
        SjisLines({"1列目-2段目,0,0,0,0,0,1,1,0"})}},
      {"2-2",
       {SjisLines({"---(2列目-2段目)-------------------------", "紫紫", "", "   黒=0   青=0   赤=0   紫=2",
                   "   緑=0   水=0   黄=0   白=0"}),
        SjisLines({"2列目-2段目,0,0,0,2,0,0,0,0"})}},
      {"3-2",
       {SjisLines({"---(3列目-2段目)-------------------------", "白", "", "   黒=0   青=0   赤=0   紫=0",
                   "   緑=0   水=0   黄=0   白=1"}),
        SjisLines({"3列目-2段目,0,0,0,0,0,0,0,1"})}},
  };

  static std::pair<std::string, std::string> Expected(const std::vector<std::string>& order) {
    std::string chart, counts = SjisLines({",黒,青,赤,紫,緑,水,黄,白"});
    for (const std::string& block : order) {
      chart += kBlocks.at(block).first;
      counts += kBlocks.at(block).second;
    }
    chart += SjisLines({"   黒=3   青=2   赤=2   紫=2", "   緑=1   水=1   黄=1   白=3"});
    return {chart, counts};
  }

  MosaicGrid grid_;
  ScratchFolder folder_;
  ReportSettings settings_;
  RecordingGauge gauge_;
};

TEST_F(WorkedExample, ByRowsWritesTheChartAndCountsByteForByte) {
  WriteReports(folder_ / "pic.txt", grid_, settings_, gauge_);
  const auto [chart, counts] = Expected({"1-1", "2-1", "3-1", "1-2", "2-2", "3-2"});
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.txt"), chart);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.csv"), counts);
  EXPECT_EQ(gauge_.calls, (std::vector<std::string>{"max 1", "show", "progress 0", "progress 1", "hide"}));
}

TEST_F(WorkedExample, ByColumnsWritesTheSameBlocksColumnByColumn) {
  settings_.order = BlockOrder::kByColumns;
  WriteReports(folder_ / "pic.txt", grid_, settings_, gauge_);
  const auto [chart, counts] = Expected({"1-1", "1-2", "2-1", "2-2", "3-1", "3-2"});
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.txt"), chart);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.csv"), counts);
  EXPECT_EQ(gauge_.calls,
            (std::vector<std::string>{"max 2", "show", "progress 0", "progress 1", "progress 2", "hide"}));
}

TEST_F(WorkedExample, ReplacesExistingLongerFiles) {
  testing::WriteWholeFile(folder_ / "pic.txt", std::string(10000, 'x'));
  testing::WriteWholeFile(folder_ / "pic.csv", std::string(10000, 'x'));
  WriteReports(folder_ / "pic.txt", grid_, settings_, gauge_);
  const auto [chart, counts] = Expected({"1-1", "2-1", "3-1", "1-2", "2-2", "3-2"});
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.txt"), chart);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.csv"), counts);
}

// Geometry and labels against a plain model of the two files, with random cells. ASCII labels keep the
// model free of any encoding.
struct GeometryCase {
  const char* name;
  int columns, rows;  // of the mosaic; 0 gives MaxX or MaxY = −1
  std::int32_t blockWidth, blockHeight;
  std::array<std::string, 8> labels = {"a", "b", "c", "d", "e", "f", "g", "h"};
  int uniform = -1;  // every cell this entry, or random cells
};
void PrintTo(const GeometryCase& c, std::ostream* os) {
  *os << c.name;
}

std::string ModelCountLines(const std::array<std::string, 8>& labels, const std::array<long, 8>& counts) {
  std::string out;
  for (int i = 0; i < 8; ++i)
    out += "   " + labels[i] + "=" + std::to_string(counts[i]) + (i % 4 == 3 ? "\r\n" : "");
  return out;
}

std::pair<std::string, std::string> ModelReport(const MosaicGrid& grid, const GeometryCase& c,
                                                BlockOrder walk) {
  const long maxX = grid.MaxX(), maxY = grid.MaxY();
  const long qx = maxX / c.blockWidth, qy = maxY / c.blockHeight;
  std::string chart, counts;
  for (const std::string& label : c.labels)
    counts += "," + label;
  counts += "\r\n";
  std::array<long, 8> totals{};
  const long outer = walk == BlockOrder::kByRows ? qy : qx, inner = walk == BlockOrder::kByRows ? qx : qy;
  for (long o = 0; o <= outer; ++o) {
    for (long n = 0; n <= inner; ++n) {
      const long bx = walk == BlockOrder::kByRows ? n : o, by = walk == BlockOrder::kByRows ? o : n;
      const std::string name = std::to_string(bx + 1) + Sjis("列目-") + std::to_string(by + 1) + Sjis("段目");
      chart += "---(" + name + ")-------------------------\r\n";
      std::array<long, 8> block{};
      for (long y = by * c.blockHeight; y < (by + 1) * c.blockHeight; ++y) {
        for (long x = bx * c.blockWidth; y <= maxY && x < (bx + 1) * c.blockWidth && x <= maxX; ++x) {
          chart += c.labels[grid.Cell(x, y)];
          ++block[grid.Cell(x, y)];
        }
        chart += "\r\n";
      }
      chart += ModelCountLines(c.labels, block);
      counts += name;
      for (int i = 0; i < 8; ++i) {
        counts += ',';
        counts += std::to_string(block[i]);
        totals[i] += block[i];
      }
      counts += "\r\n";
    }
  }
  return {chart + ModelCountLines(c.labels, totals), counts};
}

class ReportGeometry : public ::testing::TestWithParam<GeometryCase> {
 protected:
  MosaicGrid grid_;
  ScratchFolder folder_;
};

TEST_P(ReportGeometry, BothWalksMatchTheModelAndAddUp) {
  const GeometryCase& c = GetParam();
  std::mt19937 random(12345);
  std::vector<std::vector<int>> rows(c.rows, std::vector<int>(c.columns));
  for (auto& row : rows)
    for (int& cell : row)
      cell = c.uniform >= 0 ? c.uniform : static_cast<int>(random() % 8);
  SetGrid(grid_, rows, c.columns);

  std::map<BlockOrder, std::string> charts;
  for (const BlockOrder walk : {BlockOrder::kByRows, BlockOrder::kByColumns}) {
    SCOPED_TRACE(walk == BlockOrder::kByRows ? "by rows" : "by columns");
    testing::RecordingGauge gauge;
    WriteReports(folder_ / "m.txt", grid_, Settings(c.blockWidth, c.blockHeight, walk, c.labels), gauge);
    const auto [chart, counts] = ModelReport(grid_, c, walk);
    charts[walk] = ReadWholeFile(folder_ / "m.txt");
    EXPECT_EQ(charts[walk], chart);
    EXPECT_EQ(ReadWholeFile(folder_ / "m.csv"), counts);
    EXPECT_FALSE(gauge.visible);

    const long qx = grid_.MaxX() / c.blockWidth, qy = grid_.MaxY() / c.blockHeight;
    EXPECT_EQ(std::count(charts[walk].begin(), charts[walk].end(), '\n'),
              (qx + 1) * (qy + 1) * (c.blockHeight + 3) + 2);
  }
  // The totals lines are the same for both walks and add up to the mosaic's cells.
  const std::string& rowsChart = charts[BlockOrder::kByRows];
  const auto totalsStart = rowsChart.rfind("\r\n", rowsChart.rfind("\r\n", rowsChart.size() - 3) - 1);
  EXPECT_EQ(rowsChart.substr(totalsStart), charts[BlockOrder::kByColumns].substr(totalsStart));
  std::array<long, 8> histogram{};
  for (const auto& row : rows)
    for (const int cell : row)
      ++histogram[cell];
  EXPECT_EQ(rowsChart.substr(totalsStart + 2), ModelCountLines(c.labels, histogram));
}

using Labels = std::array<std::string, 8>;
const Labels kLettersTwice = {"aa", "bb", "cc", "dd", "ee", "ff", "gg", "hh"};
const Labels kEmptyAndLong = {"", "b", "ccccccccccccccccccccccccc", "", "e", "f", "g", "h"};
const Labels kOneToEightBytes = {"a", "bb", "ccc", "dddd", "eeeee", "ffffff", "ggggggg", "hhhhhhhh"};

// name, columns, rows, block width, block height[, labels[, one entry for every cell]]
const GeometryCase kGeometryCases[] = {
    {"OneCellOneBlock", 1, 1, 1, 1},
    {"BlockWiderThanTheMosaic", 100, 7, 640, 3},
    {"NarrowLastBlockColumn", 81, 9, 40, 3},
    {"ShortLastBlockRow", 13, 21, 5, 10},
    {"SingleCellBlocks", 7, 6, 1, 1},
    {"NoColumns", 0, 4, 3, 2},
    {"NoRows", 5, 0, 2, 3},
    {"TwoByteLabelsOddWidth", 9, 4, 5, 3, kLettersTwice},
    {"EmptyAndLongLabels", 30, 12, 7, 5, kEmptyAndLong},
    {"LabelsOfOneToEightBytesWidestMosaic", 2000, 3, 640, 2, kOneToEightBytes},
    {"OneColourRowsOfHundredsOfCells", 600, 2, 640, 2, Labels{"a", "b", "c", "d", "e", "f", "g", "h"}, 7},
    {"OneColourTwoByteLabels", 600, 2, 640, 2, kLettersTwice, 6},
};

INSTANTIATE_TEST_SUITE_P(Mosaics, ReportGeometry, ::testing::ValuesIn(kGeometryCases),
                         [](const auto& info) { return info.param.name; });

// Labels reach the chart as they are and the counts file quoted only where its columns need it.
struct LabelCase {
  const char* name;
  std::string label;       // for entry 0, UTF-8
  std::string chartForm;   // Shift_JIS, in the cell line
  std::string countsForm;  // Shift_JIS, in the counts heading
};
void PrintTo(const LabelCase& c, std::ostream* os) {
  *os << c.name;
}

class ReportLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ReportLabels, ChartWritesTheLabelAndCountsQuoteOnlyWhatNeedsIt) {
  const LabelCase& c = GetParam();
  ScratchFolder folder;
  MosaicGrid grid;
  SetGrid(grid, {{0, 1, 0}});
  ReportSettings settings = Settings(1, 1);
  settings.labels[0] = c.label;
  SilentGauge gauge;
  WriteReports(folder / "l.txt", grid, settings, gauge);

  const std::string chart = ReadWholeFile(folder / "l.txt");
  const std::string header = "---(1" + Sjis("列目-") + "1" + Sjis("段目") + ")-------------------------\r\n";
  EXPECT_EQ(chart.substr(0, header.size() + c.chartForm.size() + 2), header + c.chartForm + "\r\n");
  EXPECT_NE(chart.find("   " + c.chartForm + "=1   " + Sjis("青") + "=0"), std::string::npos);
  const std::string heading = "," + c.countsForm + "," + Sjis("青") + "," + Sjis("赤") + ",";
  EXPECT_EQ(ReadWholeFile(folder / "l.csv").substr(0, heading.size()), heading);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, ReportLabels,
    ::testing::Values(LabelCase{"Empty", "", "", ""},
                      LabelCase{"SeveralCharacters", "黒黒黒黒黒", Sjis("黒黒黒黒黒"), Sjis("黒黒黒黒黒")},
                      LabelCase{"Comma", "黒,白", Sjis("黒,白"), Sjis("\"黒,白\"")},
                      LabelCase{"DoubleQuote", "a\"b", "a\"b", "\"a\"\"b\""},
                      LabelCase{"LineBreak", "a\nb", "a\nb", "\"a\nb\""},
                      LabelCase{"NoShiftJisForm", "黒😀", Sjis("黒") + "?", Sjis("黒") + "?"},
                      LabelCase{"HalfWidthKatakana", "ｸﾛ", "\xB8\xDB", "\xB8\xDB"}),
    [](const auto& info) { return info.param.name; });

// A block size of 0 fails as a division before the gauge shows or any file is touched.
struct ZeroBlockCase {
  const char* name;
  BlockOrder walk;
  std::int32_t blockWidth, blockHeight;
};
void PrintTo(const ZeroBlockCase& c, std::ostream* os) {
  *os << c.name;
}

class ZeroBlockSize : public ::testing::TestWithParam<ZeroBlockCase> {};

TEST_P(ZeroBlockSize, FailsWithDivisionByZeroTouchingNothing) {
  const ZeroBlockCase& c = GetParam();
  ScratchFolder folder;
  MosaicGrid grid;
  SetGrid(grid, {{1, 2}, {3, 4}});
  testing::WriteWholeFile(folder / "z.txt", "old chart");
  RecordingGauge gauge;
  try {
    WriteReports(folder / "z.txt", grid, Settings(c.blockWidth, c.blockHeight, c.walk), gauge);
    FAIL() << "no error";
  } catch (const EDivByZero& e) {
    EXPECT_EQ(e.Message(), "ゼロによる除算");
  }
  EXPECT_TRUE(gauge.calls.empty());
  EXPECT_EQ(ReadWholeFile(folder / "z.txt"), "old chart");
  EXPECT_FALSE(std::filesystem::exists(folder / "z.csv"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ZeroBlockSize,
                         ::testing::Values(ZeroBlockCase{"WidthByRows", BlockOrder::kByRows, 0, 100},
                                           ZeroBlockCase{"HeightByRows", BlockOrder::kByRows, 40, 0},
                                           ZeroBlockCase{"WidthByColumns", BlockOrder::kByColumns, 0, 100},
                                           ZeroBlockCase{"BothByColumns", BlockOrder::kByColumns, 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(ReportWriter, NegativeBlockSizeIsRefusedBeforeAnythingIsTouched) {
  ScratchFolder folder;
  MosaicGrid grid;
  SetGrid(grid, {{1}});
  RecordingGauge gauge;
  try {
    WriteReports(folder / "n.txt", grid, Settings(-1, 5), gauge);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "ブロックの枚数が負の値です");
  }
  EXPECT_TRUE(gauge.calls.empty());
  EXPECT_FALSE(std::filesystem::exists(folder / "n.txt"));
}

}  // namespace
}  // namespace mozenta

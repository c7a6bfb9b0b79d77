// The vector kernel of the chart's cell lines against the portable code: whole reports on random mosaics,
// and single blocks at the very end of a grid's storage.
#include "mosaic/report_cells.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "mosaic/color_grid.h"
#include "mosaic/report_writer.h"
#include "output_test_support.h"

namespace mozenta {
namespace {

using report_internal::CellKernel;
using report_internal::GridBlock;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using Labels = std::array<std::string, 8>;

// Where the two kernels' files part, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
    ++at;
  if (at == expected.size() && at == actual.size()) return "";
  return "first difference at byte " + std::to_string(at) + " of " + std::to_string(expected.size()) +
         " (portable) and " + std::to_string(actual.size()) + " (fastest): portable \"" +
         expected.substr(at, 24) + "\", fastest \"" + actual.substr(at, 24) + "\"";
}

class CellKernels : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!report_internal::Avx2CellKernelAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  }
  void TearDown() override { report_internal::UseCellKernel(CellKernel::kFastest); }

  // Both files of one report written with the given kernel.
  std::pair<std::string, std::string> Report(CellKernel kernel, bool byColumns, const ReportSettings& s) {
    report_internal::UseCellKernel(kernel);
    SilentGauge gauge;
    if (byColumns) {
      WriteReportByColumns(folder_ / "k.txt", s, gauge);
    } else {
      WriteReportByRows(folder_ / "k.txt", s, gauge);
    }
    return {ReadWholeFile(folder_ / "k.txt"), ReadWholeFile(folder_ / "k.csv")};
  }

  void ExpectSameReports(const ReportSettings& settings) {
    for (const bool byColumns : {false, true}) {
      SCOPED_TRACE(byColumns ? "by columns" : "by rows");
      const auto portable = Report(CellKernel::kPortable, byColumns, settings);
      const auto fastest = Report(CellKernel::kFastest, byColumns, settings);
      EXPECT_EQ(FirstDifference(portable.first, fastest.first), "") << "chart";
      EXPECT_EQ(FirstDifference(portable.second, fastest.second), "") << "counts";
    }
  }

  ScratchFolder folder_;
};

// A random mosaic of `columns` × `rows` cells (0 gives MaxX or MaxY = −1), with bytes that are no palette
// index in the cells below and to the right of it, which the kernel may read and must not count.
void RandomMosaic(std::mt19937& random, int columns, int rows) {
  MaxX = columns - 1;
  MaxY = rows - 1;
  const int marginColumns = std::min(columns + 20, kGridColumns);
  const int marginRows = std::min(rows + 40, kGridRows);
  for (int x = 0; x < marginColumns; ++x) {
    for (int y = 0; y < marginRows; ++y) {
      const bool inside = x < columns && y < rows;
      SetGridCell(x, y, static_cast<std::uint8_t>(inside ? random() % 8 : 8 + random() % 248));
    }
  }
}

const Labels kLabelSets[] = {
    DefaultColorLabels(),                                             // two bytes each in Shift_JIS
    {"a", "b", "c", "d", "e", "f", "g", "h"},                         // one byte each
    {"ｸ", "ｱ", "ｷ", "ﾑ", "ﾐ", "ｽ", "ｲ", "ｼ"},                         // one byte each, half-width katakana
    {"", "", "", "", "", "", "", ""},                                 // empty
    {"黒", "b", "赤", "紫", "緑", "水", "黄", "白"},                  // mixed: one of one byte
    {"", "青", "赤", "紫", "緑", "水", "黄", "白"},                   // mixed: one empty
    {"aa", "bb", "cc", "dd", "ee", "ff", "gg", "hhh"},                // mixed: one of three bytes
    {"0", "1", "2", "3", "4", "5", "6", "7"},                         // one byte each, digits
    {"黒黒", "青青", "赤赤", "紫紫", "緑緑", "水水", "黄黄", "白白"}  // four bytes each
};

TEST_F(CellKernels, GiveTheSameFilesOnRandomMosaicsBlocksAndLabels) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 90; ++round) {
    const int columns = random() % 10 == 0 ? 0 : 1 + static_cast<int>(random() % 180);
    const int rows = random() % 10 == 0 ? 0 : 1 + static_cast<int>(random() % 90);
    RandomMosaic(random, columns, rows);
    ReportSettings settings{1 + static_cast<std::int32_t>(random() % 70),
                            1 + static_cast<std::int32_t>(random() % 70),
                            kLabelSets[round % std::size(kLabelSets)]};
    SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(columns) + " x " +
                 std::to_string(rows) + " cells, blocks " + std::to_string(settings.blockWidth) + " x " +
                 std::to_string(settings.blockHeight) + ", label " + settings.labels[0]);
    ExpectSameReports(settings);
  }
}

// Mosaics and blocks at the limits: tile-sized and uneven blocks, blocks larger than the mosaic in either
// direction, the grid's every column in one block (the widest rows a strip holds).
struct MosaicCase {
  const char* name;
  int columns, rows;
  std::int32_t blockWidth, blockHeight;
};
void PrintTo(const MosaicCase& c, std::ostream* os) {
  *os << c.name;
}

class CellKernelMosaics : public CellKernels, public ::testing::WithParamInterface<MosaicCase> {};

TEST_P(CellKernelMosaics, GiveTheSameFilesWithOneAndTwoByteLabels) {
  const MosaicCase& c = GetParam();
  std::mt19937 random(99);
  RandomMosaic(random, c.columns, c.rows);
  for (const Labels& labels : {kLabelSets[0], kLabelSets[1]}) {
    SCOPED_TRACE(labels[0]);
    ExpectSameReports(ReportSettings{c.blockWidth, c.blockHeight, labels});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, CellKernelMosaics,
    ::testing::Values(MosaicCase{"OneTileExactly", 16, 16, 16, 16},
                      MosaicCase{"OneColumnOverATile", 17, 33, 17, 17},
                      MosaicCase{"OneColumnUnderATile", 15, 20, 15, 20},
                      MosaicCase{"DefaultBlocksRaggedEdges", 97, 230, 40, 100},
                      MosaicCase{"BlockWiderAndTallerThanTheMosaic", 50, 30, 640, 480},
                      MosaicCase{"EveryColumnOfTheGrid", kGridColumns, 35, 5000, 17},
                      MosaicCase{"WidestMosaicOneRowBlocks", kMaxMosaicColumns, 3, 70, 1},
                      MosaicCase{"NoColumns", 0, 40, 20, 16}, MosaicCase{"NoRows", 40, 0, 20, 16}),
    [](const auto& info) { return info.param.name; });

// One block written by the kernel straight from a grid whose storage is allocated to the byte, so that the
// address sanitizer sees any read past it.
struct EdgeBlockCase {
  const char* name;
  int columns, stride;  // of the grid: `stride` rows per column
  int firstX, top;      // the block's first column and row
  int cells, rows;
  int labelLength;
};
void PrintTo(const EdgeBlockCase& c, std::ostream* os) {
  *os << c.name;
}

class CellKernelAtStorageEnd : public CellKernels, public ::testing::WithParamInterface<EdgeBlockCase> {};

TEST_P(CellKernelAtStorageEnd, ReadsNothingPastItAndWritesTheBlock) {
  const EdgeBlockCase& c = GetParam();
  std::mt19937 random(5);
  std::vector<std::uint8_t> grid(static_cast<std::size_t>(c.columns) * c.stride);
  for (auto& cell : grid)
    cell = static_cast<std::uint8_t>(random() % 8);
  report_internal::UniformLabels labels;
  labels.length = c.labelLength;
  for (int i = 0; i < 8; ++i) {
    labels.bytes[0][i] = static_cast<std::uint8_t>('A' + i);
    labels.bytes[1][i] = static_cast<std::uint8_t>('a' + i);
  }
  const auto cell = [&](int x, int y) { return grid[static_cast<std::size_t>(x) * c.stride + y]; };

  std::array<std::int32_t, 8> counts{}, expectedCounts{};
  {
    ReportFile chart(folder_ / "edge.txt", 64 << 10);
    GridBlock block{grid.data() + static_cast<std::ptrdiff_t>(c.firstX) * c.stride + c.top, c.stride,
                    grid.data() + grid.size(), c.cells, c.rows};
    // A next block at the storage's end as well: asking for it ahead must not read it either.
    block.next = grid.data() + grid.size() - 1;
    block.nextCells = c.cells;
    std::vector<char> staging(report_internal::VectorStagingBytes(c.cells, c.labelLength));
    report_internal::WriteBlockCellsAvx2(chart, staging.data(), block, labels, counts);
    chart.Close();
  }
  std::string expected;
  for (int y = c.top; y < c.top + c.rows; ++y) {
    for (int x = c.firstX; x < c.firstX + c.cells; ++x) {
      expected += static_cast<char>('A' + cell(x, y));
      if (c.labelLength == 2) expected += static_cast<char>('a' + cell(x, y));
      ++expectedCounts[cell(x, y)];
    }
    expected += "\r\n";
  }
  EXPECT_EQ(ReadWholeFile(folder_ / "edge.txt"), expected);
  EXPECT_EQ(counts, expectedCounts);
}

INSTANTIATE_TEST_SUITE_P(Blocks, CellKernelAtStorageEnd,
                         ::testing::Values(EdgeBlockCase{"LastRowsOfTheLastColumns", 20, 37, 3, 30, 17, 7, 2},
                                           EdgeBlockCase{"LastRowOnly", 16, 21, 0, 20, 16, 1, 1},
                                           EdgeBlockCase{"WholeShortColumns", 40, 5, 0, 0, 40, 5, 2},
                                           EdgeBlockCase{"ManyStripsEndingAtTheEnd", 18, 50, 1, 0, 17, 50, 1},
                                           EdgeBlockCase{"NoRows", 16, 16, 0, 16, 16, 0, 2}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta

// The vector kernels of the reports, called directly, against the portable code and a plain model: whole
// charts on random mosaics, the rows and counts of random blocks, and blocks at the very end of a grid's
// storage.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "mosaic/block_rows.h"
#include "mosaic/block_walk.h"
#include "mosaic/chart_labels.h"
#include "mosaic/chart_writer.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/output_set.h"
#include "mosaic/report_writer.h"
#include "output_test_support.h"

namespace mozenta {
namespace {

using block_internal::RowsKernel;
using chart_internal::LabelRowsKernel;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using Labels = ColorLabels;

// Where the two kernels' files part, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
    ++at;
  if (at == expected.size() && at == actual.size()) return "";
  return "first difference at byte " + std::to_string(at) + " of " + std::to_string(expected.size()) +
         " (portable) and " + std::to_string(actual.size()) + " (vector): portable \"" +
         expected.substr(at, 24) + "\", vector \"" + actual.substr(at, 24) + "\"";
}

class VectorKernels : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!simd::Avx2Available()) GTEST_SKIP() << "no AVX2 kernel on this build or processor";
  }

#if MOZENTA_AVX2_BUILT
  static constexpr LabelRowsKernel kVectorLabels = chart_internal::LabelRowsAvx2;
#else
  static constexpr LabelRowsKernel kVectorLabels = nullptr;
#endif

  // The chart of `grid` with its cell lines written by `kernel` (nullptr: the portable code).
  std::string Chart(LabelRowsKernel kernel, const ReportSettings& s) {
    const BlockLayout layout = LayOutBlocks(grid_, s.blocks, s.order);
    const report_text::ReportLabels labels(s.labels);
    OutputSet outputs;
    AtomicFile& file = outputs.Add();
    EXPECT_EQ(file.Create(folder_ / "k.txt"), 0);
    BufferedOutput chart(file, 64 << 10, [](int) { throw std::runtime_error("write failed"); });
    ChartWriter writer(chart, labels, kernel);
    SilentGauge gauge;
    ForEachBlock(grid_, layout, {&writer}, gauge);
    chart.Close();
    EXPECT_EQ(outputs.Commit().file, nullptr);
    return ReadWholeFile(folder_ / "k.txt");
  }

  void ExpectSameCharts(const ReportSettings& settings) {
    for (const BlockOrder order : {BlockOrder::kByRows, BlockOrder::kByColumns}) {
      SCOPED_TRACE(order == BlockOrder::kByColumns ? "by columns" : "by rows");
      ReportSettings s = settings;
      s.order = order;
      EXPECT_EQ(FirstDifference(Chart(nullptr, s), Chart(kVectorLabels, s)), "");
    }
  }

  // A random mosaic of `columns` × `rows` cells (0 gives MaxX or MaxY = −1), with bytes that are no palette
  // index in the cells below and to the right of it, which the kernels may read and must not count.
  void RandomMosaic(std::mt19937& random, int columns, int rows) {
    grid_.SetLimits(columns - 1, rows - 1);
    const int marginColumns = std::min(columns + 20, kGridColumns);
    const int marginRows = std::min(rows + 40, kGridRows);
    for (int x = 0; x < marginColumns; ++x) {
      for (int y = 0; y < marginRows; ++y) {
        const bool inside = x < columns && y < rows;
        grid_.SetCell(x, y, static_cast<std::uint8_t>(inside ? random() % 8 : 8 + random() % 248));
      }
    }
  }

  MosaicGrid grid_;
  ScratchFolder folder_;
};

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

TEST_F(VectorKernels, CellLinesGiveTheSameChartsOnRandomMosaicsBlocksAndLabels) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 90; ++round) {
    const int columns = random() % 10 == 0 ? 0 : 1 + static_cast<int>(random() % 180);
    const int rows = random() % 10 == 0 ? 0 : 1 + static_cast<int>(random() % 90);
    RandomMosaic(random, columns, rows);
    ReportSettings settings{
        {1 + static_cast<std::int32_t>(random() % 70), 1 + static_cast<std::int32_t>(random() % 70)},
        BlockOrder::kByRows,
        kLabelSets[round % std::size(kLabelSets)]};
    SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(columns) + " x " +
                 std::to_string(rows) + " cells, blocks " + std::to_string(settings.blocks.width) + " x " +
                 std::to_string(settings.blocks.height) + ", label " + settings.labels[0]);
    ExpectSameCharts(settings);
  }
}

// What a rows kernel hands on: the block's rows in order, and its counts.
struct BlockRows {
  std::vector<std::vector<std::uint8_t>> rows;
  CellCounts counts{};
  friend bool operator==(const BlockRows&, const BlockRows&) = default;
};

class RecordedStrips : public block_internal::StripSink {
 public:
  RecordedStrips(BlockRows& out, std::ptrdiff_t stride, int columns)
      : out_(out), stride_(stride), columns_(columns) {}
  void PutStrip(int top, int count, const std::uint8_t* rows) override {
    EXPECT_EQ(top, static_cast<int>(out_.rows.size()));
    for (int r = 0; r < count; ++r)
      out_.rows.emplace_back(rows + r * stride_, rows + r * stride_ + columns_);
  }

 private:
  BlockRows& out_;
  std::ptrdiff_t stride_;
  int columns_;
};

BlockRows RowsOf(RowsKernel kernel, const BlockCells& block, const BlockCells& next) {
  BlockRows result;
  const std::ptrdiff_t stride = block_internal::RowStride(block.columns);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(block_internal::kBufferRows * stride));
  RecordedStrips strips(result, stride, block.columns);
  result.counts = kernel(block, next, buffer.data(), stride, strips);
  return result;
}

// The rows and counts of a block as a plain reading of its cells' low three bits gives them.
BlockRows PlainRowsOf(const BlockCells& block) {
  BlockRows result;
  for (int y = 0; y < block.rows; ++y) {
    result.rows.emplace_back();
    for (int x = 0; x < block.columns; ++x) {
      result.rows.back().push_back(block.Cell(x, y) & 7);
      ++result.counts[block.Cell(x, y) & 7];
    }
  }
  return result;
}

// Blocks anywhere in a grid of random bytes, of any size a block may have.
// The rows kernels: the portable one always, the vector one where it runs.
RowsKernel VectorRowsKernel() {
#if MOZENTA_AVX2_BUILT
  if (simd::Avx2Available()) return block_internal::BlockRowsAvx2;
#endif
  return nullptr;
}

TEST(RowsKernels, GiveThePlainRowsAndCountsOfRandomBlocks) {
  MosaicGrid grid_;
  std::mt19937 random(31);
  grid_.SetLimits(699, 699);
  for (int x = 0; x < 700; ++x)
    for (int y = 0; y < 700; ++y)
      grid_.SetCell(x, y, static_cast<std::uint8_t>(random()));  // the high bits do not count
  for (int round = 0; round < 300; ++round) {
    BlockCells block;
    block.storageEnd = grid_.Cells() + MosaicGrid::kCells;
    block.columns = 1 + static_cast<int>(random() % (round % 5 == 0 ? 640 : 70));
    block.rows = 1 + static_cast<int>(random() % (round % 4 == 0 ? 480 : 70));
    const int firstX = static_cast<int>(random() % (701 - block.columns));
    const int firstY = static_cast<int>(random() % (701 - block.rows));
    block.first = grid_.Cells() + MosaicGrid::Offset(firstX, firstY);
    SCOPED_TRACE(::testing::Message()
                 << block.columns << " x " << block.rows << " at " << firstX << "," << firstY);
    const BlockRows expected = PlainRowsOf(block);
    EXPECT_TRUE(RowsOf(block_internal::BlockRowsPortable, block, block) == expected) << "portable";
    if (VectorRowsKernel() != nullptr) {
      EXPECT_TRUE(RowsOf(VectorRowsKernel(), block, block) == expected) << "vector";
    }
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

class VectorKernelMosaics : public VectorKernels, public ::testing::WithParamInterface<MosaicCase> {};

TEST_P(VectorKernelMosaics, CellLinesGiveTheSameChartsWithOneAndTwoByteLabels) {
  const MosaicCase& c = GetParam();
  std::mt19937 random(99);
  RandomMosaic(random, c.columns, c.rows);
  for (const Labels& labels : {kLabelSets[0], kLabelSets[1]}) {
    SCOPED_TRACE(labels[0]);
    ExpectSameCharts(ReportSettings{{c.blockWidth, c.blockHeight}, BlockOrder::kByRows, labels});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, VectorKernelMosaics,
    ::testing::Values(MosaicCase{"OneTileExactly", 16, 16, 16, 16},
                      MosaicCase{"OneColumnOverATile", 17, 33, 17, 17},
                      MosaicCase{"OneColumnUnderATile", 15, 20, 15, 20},
                      MosaicCase{"DefaultBlocksRaggedEdges", 97, 230, 40, 100},
                      MosaicCase{"BlockWiderAndTallerThanTheMosaic", 50, 30, 640, 480},
                      MosaicCase{"EveryColumnOfTheGrid", kGridColumns, 35, 5000, 17},
                      MosaicCase{"WidestMosaicOneRowBlocks", kMaxMosaicColumns, 3, 70, 1},
                      MosaicCase{"NoColumns", 0, 40, 20, 16}, MosaicCase{"NoRows", 40, 0, 20, 16}),
    [](const auto& info) { return info.param.name; });

// One block turned into rows and counted by the kernels straight from a grid whose storage is allocated to
// the byte, so that the address sanitizer sees any read past it.
struct EdgeBlockCase {
  const char* name;
  int columns, stride;  // of the grid: `stride` rows per column
  int firstX, top;      // the block's first column and row
  int cells, rows;
};
void PrintTo(const EdgeBlockCase& c, std::ostream* os) {
  *os << c.name;
}

class RowsKernelsAtStorageEnd : public ::testing::TestWithParam<EdgeBlockCase> {};

TEST_P(RowsKernelsAtStorageEnd, ReadNothingPastItAndGiveThePlainRowsAndCounts) {
  const EdgeBlockCase& c = GetParam();
  std::mt19937 random(5);
  std::vector<std::uint8_t> grid(static_cast<std::size_t>(c.columns) * c.stride);
  for (auto& cell : grid)
    cell = static_cast<std::uint8_t>(random());
  const BlockCells block{grid.data() + static_cast<std::ptrdiff_t>(c.firstX) * c.stride + c.top, c.stride,
                         grid.data() + grid.size(), c.cells, c.rows};
  // A next block at the storage's end as well: asking for it ahead must not read it either.
  const BlockCells next{grid.data() + grid.size() - 1, c.stride, grid.data() + grid.size(), c.cells, 1};
  const BlockRows expected = PlainRowsOf(block);
  if (VectorRowsKernel() != nullptr) {
    EXPECT_TRUE(RowsOf(VectorRowsKernel(), block, next) == expected) << "vector";
  }
  EXPECT_TRUE(RowsOf(block_internal::BlockRowsPortable, block, next) == expected) << "portable";
}

INSTANTIATE_TEST_SUITE_P(Blocks, RowsKernelsAtStorageEnd,
                         ::testing::Values(EdgeBlockCase{"LastRowsOfTheLastColumns", 20, 37, 3, 30, 17, 7},
                                           EdgeBlockCase{"LastRowOnly", 16, 21, 0, 20, 16, 1},
                                           EdgeBlockCase{"WholeShortColumns", 40, 5, 0, 0, 40, 5},
                                           EdgeBlockCase{"ManyStripsEndingAtTheEnd", 18, 50, 1, 0, 17, 50},
                                           EdgeBlockCase{"NarrowerThanATile", 9, 30, 0, 10, 9, 20}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta

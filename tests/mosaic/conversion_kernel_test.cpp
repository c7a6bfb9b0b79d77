// The conversion kernels, called directly, against the step-by-step conversion on random pictures and
// palettes: the classic ones (portable and AVX2), and the kernel of every other diffusion, walk and match;
// and the conversion itself with palettes only the portable kernel computes.
#include "mosaic/conversion_kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "mosaic/conversion.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "mosaic/perceptual_match_cache.h"
#include "picture/errors.h"
#include "reference_conversion.h"

namespace mozenta {
namespace {

using conversion_internal::ConversionKernel;

constexpr std::uint8_t kUntouched = 0xEE;

// Cells the conversion must overwrite or leave alone: the picture's cells and a margin below and to the
// right.
int MarginColumns(int width) {
  return std::min(width + 16, kGridColumns);
}
int MarginRows(int height) {
  return std::min(height + 40, kGridRows);
}

Palette RandomPalette(std::mt19937& random) {
  Palette palette;
  const bool onlyBlack = random() % 8 == 0;
  for (int i = 1; i < kPaletteColors; ++i) {
    palette.SetEntry(i, {static_cast<std::uint8_t>(random() % 16), static_cast<std::uint8_t>(random() % 16),
                         static_cast<std::uint8_t>(random() % 16)});
    palette.SetEnabled(i, !onlyBlack && random() % 4 != 0);
  }
  palette.SetEnabled(0, random() % 2);
  return palette;
}

// A picture of random bytes in one of the layouts the kernels read: 24 or 32 bits in place, 16 bits with
// the default masks or 8 bits with a colour table widened first; bottom-up or top-down.
std::unique_ptr<TBitmap> RandomPicture(std::mt19937& random, int width, int height) {
  const int depths[] = {24, 32, 16, 8};
  DibFormat format;
  format.width = width;
  format.height = random() % 2 ? -height : height;
  format.bitsPerPixel = static_cast<std::uint16_t>(depths[random() % 4]);
  if (format.bitsPerPixel == 8) {
    for (int i = 0; i < 256; ++i) {
      format.colorTable.push_back({static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                                   static_cast<std::uint8_t>(random()), 0});
    }
  }
  auto picture = std::make_unique<TBitmap>();
  picture->CreateDib(format);
  for (auto& byte : picture->StoredBytesForWrite())
    byte = static_cast<std::uint8_t>(random());
  return picture;
}

std::vector<std::uint8_t> GridCells(const MosaicGrid& grid, int columns, int rows) {
  std::vector<std::uint8_t> cells;
  for (int x = 0; x < columns; ++x)
    cells.insert(cells.end(), grid.Cells() + MosaicGrid::Offset(x, 0),
                 grid.Cells() + MosaicGrid::Offset(x, rows));
  return cells;
}

std::vector<std::uint8_t> Bytes(const TBitmap& bitmap) {
  const auto bytes = bitmap.StoredBytes();
  return {bytes.begin(), bytes.end()};
}

struct KernelCase {
  const char* name;
  ConversionKernel kernel;  // nullptr where it is not built in
  bool needsAvx2;
};
void PrintTo(const KernelCase& c, std::ostream* os) {
  *os << c.name;
}

class ConvertKernels : public ::testing::TestWithParam<KernelCase> {
 protected:
  void SetUp() override {
    if (GetParam().needsAvx2 && !simd::Avx2Available())
      GTEST_SKIP() << "no AVX2 kernel on this build or processor";
  }

  // Converts a random picture of this size with the kernel under test, twice into the same grid (the second
  // time without a mosaic), and compares grid and mosaic bytes with the step-by-step conversion; cells
  // outside the picture stay as they were.
  void ExpectStepByStepResult(std::mt19937& random, int width, int height) {
    SCOPED_TRACE(::testing::Message() << width << " x " << height);
    const Palette palette = RandomPalette(random);
    const auto sourceHolder = RandomPicture(random, width, height);
    const TBitmap& source = *sourceHolder;
    const int depths[] = {32, 24, 16};
    const int mosaicDepth = depths[random() % 3];
    const int columns = std::min(width, kMaxMosaicColumns), rows = std::min(height, kMaxMosaicRows);

    TBitmap expectedMosaic, mosaic;
    expectedMosaic.SetPixelFormat(mosaicDepth);
    mosaic.SetPixelFormat(mosaicDepth);
    testing::ReferenceConvert(source, palette, grid_, expectedMosaic);
    const std::vector<std::uint8_t> expected = GridCells(grid_, columns, rows);
    mosaic.SetSize(columns, rows);
    const auto tables = conversion_internal::BuildTables(palette, mosaicDepth);
    ASSERT_TRUE(tables.eightEntriesOfFourBits);

    for (int repeat = 0; repeat < 2; ++repeat) {
      for (int x = 0; x < MarginColumns(columns); ++x)
        std::fill_n(grid_.Cells() + MosaicGrid::Offset(x, 0), MarginRows(rows), kUntouched);
      GetParam().kernel({source, palette, tables, grid_, repeat == 0 ? &mosaic : nullptr, columns, rows});
      ASSERT_EQ(GridCells(grid_, columns, rows), expected) << "source depth " << source.BitsPerPixel();
      for (int x = 0; x < MarginColumns(columns); ++x) {
        for (int y = 0; y < MarginRows(rows); ++y) {
          if (x >= columns || y >= rows) {
            ASSERT_EQ(grid_.Cell(x, y), kUntouched) << x << "," << y;
          }
        }
      }
      ASSERT_TRUE(Bytes(mosaic) == Bytes(expectedMosaic))
          << "source depth " << source.BitsPerPixel() << ", mosaic depth " << mosaicDepth;
    }
  }

  MosaicGrid grid_;
};

// Sizes around the vector kernel's bands (32 rows of two 16-row vectors), its blocks of 16 columns and the
// 32- and 8-pixel pieces in which it splits and writes rows.
TEST_P(ConvertKernels, MatchStepByStepAroundBandAndBlockSizes) {
  std::mt19937 random(20261208);
  for (int width : {1, 2, 7, 8, 9, 15, 16, 17, 31, 32, 33, 48, 63, 64, 65, 97}) {
    for (int height : {1, 2, 15, 16, 17, 31, 32, 33, 47, 63, 64, 65})
      ExpectStepByStepResult(random, width, height);
  }
}

// The full width, pictures cut to 2000 columns or 20000 rows, and a height just past a whole band.
TEST_P(ConvertKernels, MatchStepByStepAtTheLimits) {
  std::mt19937 random(7);
  for (const auto& [width, height] : {std::pair{2000, 33}, {2001, 17}, {1, 20001}, {3, 20000}, {1999, 2}})
    ExpectStepByStepResult(random, width, height);
}

#if MOZENTA_AVX2_BUILT
constexpr ConversionKernel kVectorKernel = conversion_internal::ConvertAvx2;
#else
constexpr ConversionKernel kVectorKernel = nullptr;
#endif

INSTANTIATE_TEST_SUITE_P(Kernels, ConvertKernels,
                         ::testing::Values(KernelCase{"Portable", conversion_internal::ConvertPortable,
                                                      false},
                                           KernelCase{"Avx2", kVectorKernel, true}),
                         [](const ::testing::TestParamInfo<KernelCase>& info) { return info.param.name; });

// Palettes outside what the vector kernel computes (an entry beyond 7 nearest, a channel beyond 4 bits)
// still convert to the step-by-step result.
TEST(ConvertToMosaic, UnusualPalettesGiveTheStepByStepResult) {
  std::mt19937 random(12);
  const auto sourceHolder = RandomPicture(random, 21, 35);
  const TBitmap& source = *sourceHolder;
  Palette nearestBeyondSeven;
  nearestBeyondSeven.SetEntry(9, {15, 15, 15});
  nearestBeyondSeven.SetEnabled(9, true);
  nearestBeyondSeven.SetEnabled(7, false);
  Palette wideChannel;
  wideChannel.SetEntry(5, {200, 3, 3});
  for (const Palette& palette : {nearestBeyondSeven, wideChannel}) {
    MosaicGrid expectedGrid, grid;
    TBitmap expectedMosaic, mosaic;
    testing::ReferenceConvert(source, palette, expectedGrid, expectedMosaic);
    ConvertToMosaic(source, palette, grid, mosaic);
    EXPECT_EQ(GridCells(grid, 21, 35), GridCells(expectedGrid, 21, 35));
    EXPECT_TRUE(Bytes(mosaic) == Bytes(expectedMosaic));
  }
}

struct OptionsCase {
  const char* name;
  ConversionOptions options;
};
void PrintTo(const OptionsCase& c, std::ostream* os) {
  *os << c.name;
}

class ConvertDiffusing : public ::testing::TestWithParam<OptionsCase> {};

// Every diffusion, walk and match against the cell-at-a-time conversion, on random pictures (every source
// layout) and palettes, at sizes around what the kernel does in pieces: rows in bands of two or four, walked
// with the shares' lag, gathered 16 at a time for the grid; shares falling off every edge and corner.
TEST_P(ConvertDiffusing, MatchesTheCellAtATimeConversion) {
  const ConversionOptions& options = GetParam().options;
  const bool perceptual = options.match == ColorMatch::kPerceptual;
  std::mt19937 random(99);
  MosaicGrid grid, expectedGrid, gridOnly;
  const std::pair<int, int> sizes[] = {{1, 1},  {1, 9},   {9, 1},  {2, 2},   {3, 5},    {4, 17},
                                       {17, 4}, {33, 31}, {2, 33}, {64, 18}, {1999, 3}, {5, 49}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(::testing::Message() << width << " x " << height);
    const Palette palette = RandomPalette(random);
    const auto source = RandomPicture(random, width, height);
    const int depths[] = {32, 24, 16};
    TBitmap expectedMosaic, mosaic;
    expectedMosaic.SetPixelFormat(depths[random() % 3]);
    mosaic.SetPixelFormat(expectedMosaic.BitsPerPixel());
    testing::ReferenceConvertWith(*source, palette, options, expectedGrid, expectedMosaic);
    if (options == ConversionOptions{}) {
      // The shares written out give the classic conversion.
      MosaicGrid classicGrid;
      TBitmap classicMosaic;
      classicMosaic.SetPixelFormat(mosaic.BitsPerPixel());
      testing::ReferenceConvert(*source, palette, classicGrid, classicMosaic);
      ASSERT_EQ(GridCells(classicGrid, width, height), GridCells(expectedGrid, width, height));
    }
    mosaic.SetSize(width, height);
    for (int x = 0; x < MarginColumns(width); ++x)
      std::fill_n(grid.Cells() + MosaicGrid::Offset(x, 0), MarginRows(height), kUntouched);
    const auto tables = conversion_internal::BuildTables(palette, mosaic.BitsPerPixel());
    conversion_internal::ConvertDiffusing({*source, palette, tables, grid, &mosaic, width, height}, options);
    ASSERT_EQ(GridCells(grid, width, height), GridCells(expectedGrid, width, height));
    ASSERT_TRUE(Bytes(mosaic) == Bytes(expectedMosaic));
    // Without a mosaic bitmap (mozenta-batch), the grid alone.
    conversion_internal::ConvertDiffusing({*source, palette, tables, gridOnly, nullptr, width, height},
                                          options);
    ASSERT_EQ(GridCells(gridOnly, width, height), GridCells(expectedGrid, width, height));
    for (int x = 0; x < MarginColumns(width); ++x) {
      for (int y = 0; y < MarginRows(height); ++y) {
        if (x >= width || y >= height) {
          ASSERT_EQ(grid.Cell(x, y), kUntouched) << x << "," << y;
        }
      }
    }
    if (perceptual && width * height > 2000) continue;
    // The public conversion takes the same kernel for these options.
    MosaicGrid publicGrid;
    TBitmap publicMosaic;
    publicMosaic.SetPixelFormat(mosaic.BitsPerPixel());
    ConvertToMosaic(*source, palette, publicGrid, publicMosaic, nullptr, options);
    ASSERT_EQ(GridCells(publicGrid, width, height), GridCells(expectedGrid, width, height));
  }
}

constexpr ConversionOptions Options(Diffusion diffusion, bool serpentine = false,
                                    ColorMatch match = ColorMatch::kClassic) {
  return {match, diffusion, serpentine};
}

// A picture large enough for the second thread that settles perceptual answers ahead of the walk, with a
// palette met for the first time: whichever thread settles an answer, the mosaic is the cell-at-a-time one.
TEST(ConvertDiffusing, PerceptualMatchSettledOnTwoThreads) {
  std::mt19937 random(7);
  constexpr int kSide = 512;
  DibFormat format;
  format.width = kSide;
  format.height = kSide;
  format.bitsPerPixel = 24;
  TBitmap source;
  source.CreateDib(format);
  for (int y = 0; y < kSide; ++y) {
    std::uint8_t* row = source.ScanLineForWrite(y);
    for (int x = 0; x < 3 * kSide; ++x)
      row[x] = static_cast<std::uint8_t>(std::clamp((x % 3 == 0   ? x / 12
                                                     : x % 3 == 1 ? y / 4
                                                                  : (x + y) / 16) +
                                                        static_cast<int>(random() % 17) - 8,
                                                    0, 255));
  }
  Palette palette;
  palette.SetEntry(9, {3, 9, 12});
  palette.SetEnabled(9, true);
  PerceptualMatchCache::Shared().Clear();
  const ConversionOptions options = Options(Diffusion::kFloydSteinberg, false, ColorMatch::kPerceptual);
  MosaicGrid grid, expectedGrid;
  TBitmap expectedMosaic;
  testing::ReferenceConvertWith(source, palette, options, expectedGrid, expectedMosaic);
  const auto tables = conversion_internal::BuildTables(palette, 32);
  conversion_internal::ConvertDiffusing({source, palette, tables, grid, nullptr, kSide, kSide}, options);
  ASSERT_EQ(GridCells(grid, kSide, kSide), GridCells(expectedGrid, kSide, kSide));
}

INSTANTIATE_TEST_SUITE_P(
    Options, ConvertDiffusing,
    ::testing::Values(OptionsCase{"Classic", Options(Diffusion::kClassic)},
                      OptionsCase{"ClassicSerpentine", Options(Diffusion::kClassic, true)},
                      OptionsCase{"FloydSteinberg", Options(Diffusion::kFloydSteinberg)},
                      OptionsCase{"FloydSteinbergSerpentine", Options(Diffusion::kFloydSteinberg, true)},
                      OptionsCase{"Atkinson", Options(Diffusion::kAtkinson)},
                      OptionsCase{"AtkinsonSerpentine", Options(Diffusion::kAtkinson, true)},
                      OptionsCase{"SierraLite", Options(Diffusion::kSierraLite)},
                      OptionsCase{"SierraLiteSerpentine", Options(Diffusion::kSierraLite, true)},
                      OptionsCase{"None", Options(Diffusion::kNone)},
                      OptionsCase{"NoneSerpentine", Options(Diffusion::kNone, true)},
                      OptionsCase{"Perceptual", Options(Diffusion::kClassic, false, ColorMatch::kPerceptual)},
                      OptionsCase{"PerceptualFloydSteinbergSerpentine",
                                  Options(Diffusion::kFloydSteinberg, true, ColorMatch::kPerceptual)},
                      OptionsCase{"PerceptualAtkinson",
                                  Options(Diffusion::kAtkinson, false, ColorMatch::kPerceptual)}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return info.param.name; });

// A gauge that asks for a stop once it has been moved `stopAfter` times (never for 0).
class StoppingGauge : public ProgressGauge {
 public:
  explicit StoppingGauge(std::size_t stopAfter) : stopAfter_(stopAfter) {}
  void SetMaxValue(int) override {}
  void SetProgress(int progress) override {
    shown.push_back(progress);
    if (shown.size() == stopAfter_) stop.request_stop();
  }
  void Show() override {}
  void Hide() override {}

  std::stop_source stop;
  std::vector<int> shown;

 private:
  std::size_t stopAfter_;
};

struct StopCase {
  const char* name;
  ConversionKernel kernel;  // nullptr: ConvertDiffusing with `options`
  ConversionOptions options;
  bool needsAvx2 = false;
};
void PrintTo(const StopCase& c, std::ostream* os) {
  *os << c.name;
}

class StoppedKernels : public ::testing::TestWithParam<StopCase> {};

// Every kernel reports a strip of rows at a time, and a stop asked for while it runs ends it with EAbort
// at its next strip: the rows past that strip are never written, the picture's first rows are.
TEST_P(StoppedKernels, EndAtTheNextStripOfRows) {
  if (GetParam().needsAvx2 && !simd::Avx2Available())
    GTEST_SKIP() << "no AVX2 kernel on this build or processor";
  std::mt19937 random(15);
  const int width = 37, height = 200;
  const auto source = RandomPicture(random, width, height);
  const Palette palette;
  TBitmap mosaic;
  mosaic.SetSize(width, height);
  const auto tables = conversion_internal::BuildTables(palette, mosaic.BitsPerPixel());
  const auto run = [&](MosaicGrid& grid, StoppingGauge& gauge) {
    for (int x = 0; x < width; ++x)
      std::fill_n(grid.Cells() + MosaicGrid::Offset(x, 0), height, kUntouched);
    const ConversionProgress progress(&gauge, gauge.stop.get_token());
    const conversion_internal::ConversionJob job{*source, palette, tables,  grid,     &mosaic,
                                                 width,   height,  nullptr, &progress};
    if (GetParam().kernel != nullptr) {
      GetParam().kernel(job);
    } else {
      conversion_internal::ConvertDiffusing(job, GetParam().options);
    }
  };

  MosaicGrid whole, stopped;
  StoppingGauge following(0);
  run(whole, following);
  ASSERT_GE(following.shown.size(), static_cast<std::size_t>(height / 32));
  EXPECT_TRUE(std::is_sorted(following.shown.begin(), following.shown.end()));
  EXPECT_LT(following.shown.back(), ConversionProgress::kScale);
  EXPECT_NE(whole.Cell(width - 1, height - 1), kUntouched);

  StoppingGauge stopping(2);
  EXPECT_THROW(run(stopped, stopping), EAbort);
  EXPECT_EQ(stopping.shown.size(), 2u);
  for (int x = 0; x < width; ++x) {
    EXPECT_EQ(stopped.Cell(x, 0), whole.Cell(x, 0)) << x;
    EXPECT_EQ(stopped.Cell(x, 64), kUntouched) << x;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, StoppedKernels,
    ::testing::Values(StopCase{"Portable", conversion_internal::ConvertPortable, {}},
                      StopCase{"Avx2", kVectorKernel, {}, true},
                      StopCase{"FloydSteinberg", nullptr, Options(Diffusion::kFloydSteinberg)},
                      StopCase{"AtkinsonSerpentine", nullptr, Options(Diffusion::kAtkinson, true)},
                      StopCase{"NoneSerpentine", nullptr, Options(Diffusion::kNone, true)},
                      StopCase{"Perceptual", nullptr,
                               Options(Diffusion::kSierraLite, false, ColorMatch::kPerceptual)}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta

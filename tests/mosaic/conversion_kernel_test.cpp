// Both conversion kernels against the step-by-step conversion, on random pictures and palettes.
#include "mosaic/conversion_kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "mosaic/color_grid.h"
#include "mosaic/conversion.h"
#include "mosaic/palette.h"
#include "reference_conversion.h"

namespace mozenta {
namespace {

using conversion_internal::Kernel;

constexpr std::uint8_t kUntouched = 0xEE;

// Cells the conversion must overwrite or leave alone: the picture's cells and a margin below and to the
// right.
int MarginColumns(int width) {
  return std::min(width + 16, kGridColumns);
}
int MarginRows(int height) {
  return std::min(height + 40, kGridRows);
}

void RandomisePalette(std::mt19937& random) {
  const bool onlyBlack = random() % 8 == 0;
  for (int i = 1; i < kPaletteColors; ++i) {
    Palette[i] = {static_cast<std::uint8_t>(random() % 16), static_cast<std::uint8_t>(random() % 16),
                  static_cast<std::uint8_t>(random() % 16)};
    PaletteEnabled[i] = !onlyBlack && random() % 4 != 0;
  }
  PaletteEnabled[0] = random() % 2;
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

std::vector<std::uint8_t> GridCells(int columns, int rows) {
  std::vector<std::uint8_t> cells;
  for (int x = 0; x < columns; ++x)
    cells.insert(cells.end(), &ColorGrid[x][0], &ColorGrid[x][0] + rows);
  return cells;
}

struct KernelCase {
  const char* name;
  Kernel kernel;
};

class ConvertKernels : public ::testing::TestWithParam<KernelCase> {
 protected:
  void SetUp() override {
    ResetPalette();
    conversion_internal::UseKernel(GetParam().kernel);
  }
  void TearDown() override {
    conversion_internal::UseKernel(Kernel::kFastest);
    ResetPalette();
  }

  // Converts a random picture of this size with the kernel under test, twice into the same mosaic, and
  // compares grid and mosaic bytes with the step-by-step conversion; cells outside the picture stay as they
  // were.
  void ExpectStepByStepResult(std::mt19937& random, int width, int height) {
    SCOPED_TRACE(::testing::Message() << width << " x " << height);
    RandomisePalette(random);
    const auto sourceHolder = RandomPicture(random, width, height);
    const TBitmap& source = *sourceHolder;
    const int depths[] = {32, 24, 16};
    const int mosaicDepth = depths[random() % 3];
    const int columns = std::min(width, kMaxMosaicColumns), rows = std::min(height, kMaxMosaicRows);

    TBitmap expectedMosaic, mosaic;
    expectedMosaic.SetPixelFormat(mosaicDepth);
    mosaic.SetPixelFormat(mosaicDepth);
    testing::ReferenceConvert(source, expectedMosaic);
    const std::vector<std::uint8_t> expected = GridCells(columns, rows);

    for (int repeat = 0; repeat < 2; ++repeat) {
      for (int x = 0; x < MarginColumns(columns); ++x)
        std::fill_n(&ColorGrid[x][0], MarginRows(rows), kUntouched);
      ConvertToMosaic(source, mosaic);
      ASSERT_EQ(GridCells(columns, rows), expected) << "source depth " << source.BitsPerPixel();
      for (int x = 0; x < MarginColumns(columns); ++x) {
        for (int y = 0; y < MarginRows(rows); ++y) {
          if (x >= columns || y >= rows) {
            ASSERT_EQ(ColorGrid[x][y], kUntouched) << x << "," << y;
          }
        }
      }
      const auto got = mosaic.StoredBytes(), want = expectedMosaic.StoredBytes();
      ASSERT_TRUE(std::equal(got.begin(), got.end(), want.begin(), want.end()))
          << "source depth " << source.BitsPerPixel() << ", mosaic depth " << mosaicDepth;
    }
  }
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

INSTANTIATE_TEST_SUITE_P(Kernels, ConvertKernels,
                         ::testing::Values(KernelCase{"Fastest", Kernel::kFastest},
                                           KernelCase{"Portable", Kernel::kPortable}),
                         [](const ::testing::TestParamInfo<KernelCase>& info) { return info.param.name; });

class ConvertAvx2 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!conversion_internal::Avx2KernelAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
    ResetPalette();
  }
  void TearDown() override {
    for (int i = kPaletteColors; i < kPaletteSlots; ++i) {
      Palette[i] = {};
      PaletteEnabled[i] = 0;
    }
    ResetPalette();
  }
};

// Every palette the dialog can make runs on the vector kernel, not silently on the portable one.
TEST_F(ConvertAvx2, TakesEveryPaletteOfEntriesZeroToSeven) {
  std::mt19937 random(11);
  const auto source = RandomPicture(random, 40, 40);
  TBitmap mosaic;
  for (int round = 0; round < 20; ++round) {
    RandomisePalette(random);
    mosaic.SetSize(40, 40);
    const auto tables = conversion_internal::BuildTables(mosaic.BitsPerPixel());
    EXPECT_TRUE(conversion_internal::ConvertAvx2(*source, mosaic, 40, 40, tables)) << round;
  }
}

// Palettes outside what the vector kernel computes (an entry beyond 7 nearest, a channel beyond 4 bits)
// leave it to the portable kernel, with the step-by-step result.
TEST_F(ConvertAvx2, LeavesUnusualPalettesToThePortableKernel) {
  std::mt19937 random(12);
  const auto sourceHolder = RandomPicture(random, 21, 35);
  const TBitmap& source = *sourceHolder;
  const auto setUps = {+[] {
                         Palette[9] = {15, 15, 15};
                         PaletteEnabled[9] = 1;
                         PaletteEnabled[7] = 0;
                       },
                       +[] {
                         Palette[5] = {200, 3, 3};
                       }};
  for (auto setUp : setUps) {
    ResetPalette();
    setUp();
    TBitmap expectedMosaic, mosaic;
    testing::ReferenceConvert(source, expectedMosaic);
    const std::vector<std::uint8_t> expected = GridCells(21, 35);
    const auto tables = conversion_internal::BuildTables(mosaic.BitsPerPixel());
    mosaic.SetSize(21, 35);
    EXPECT_FALSE(conversion_internal::ConvertAvx2(source, mosaic, 21, 35, tables));
    ConvertToMosaic(source, mosaic);
    EXPECT_EQ(GridCells(21, 35), expected);
    const auto got = mosaic.StoredBytes(), want = expectedMosaic.StoredBytes();
    EXPECT_TRUE(std::equal(got.begin(), got.end(), want.begin(), want.end()));
  }
}

}  // namespace
}  // namespace mozenta

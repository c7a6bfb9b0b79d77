#include "mosaic/conversion.h"
#include "mosaic/fitted_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "mosaic/grid_rows.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "picture/errors.h"
#include "reference_conversion.h"

namespace mozenta {
namespace {

using Rgb = std::array<int, 3>;

std::unique_ptr<TBitmap> MakeSource(int width, int height, int bitsPerPixel = 24) {
  DibFormat format;
  format.width = width;
  format.height = height;
  format.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->CreateDib(format);
  return bitmap;
}

std::unique_ptr<TBitmap> MakeSource(const std::vector<std::vector<Rgb>>& rows) {
  auto bitmap = MakeSource(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      const Rgb& c = rows[y][x];
      bitmap->SetPixel(static_cast<int>(x), static_cast<int>(y), PackColor(c[0], c[1], c[2]));
    }
  }
  return bitmap;
}

class ConvertToMosaicTest : public ::testing::Test {
 protected:
  void Convert(const TBitmap& source) {
    ConvertToMosaic(source, palette_, grid_, mosaic_, [this](const std::string& w, const std::string& h) {
      widthCaption_ = w;
      heightCaption_ = h;
    });
  }

  Palette palette_;
  MosaicGrid grid_;
  TBitmap mosaic_;
  std::string widthCaption_, heightCaption_;
};

// The 3 × 2 worked example: every clamped sum, chosen entry, handed-on error, mosaic colour and grid cell.
TEST_F(ConvertToMosaicTest, WorkedExampleGivesExactGridAndErrors) {
  const auto sourceHolder = MakeSource(
      {{{200, 100, 50}, {200, 100, 50}, {128, 128, 128}}, {{30, 200, 240}, {255, 255, 255}, {90, 90, 90}}});
  const TBitmap& source = *sourceHolder;
  struct Expected {
    Rgb clamped;
    int entry;
    Rgb handedOn;
    Rgb colour;
  };
  const Expected expected[2][3] = {
      {{{200, 100, 50}, 2, {-18, 33, 16}, {255, 0, 0}},
       {{182, 133, 66}, 6, {-24, -40, 22}, {255, 255, 0}},
       {{104, 88, 150}, 5, {34, -16, -35}, {0, 136, 255}}},
      {{{12, 233, 255}, 5, {4, 32, 0}, {0, 136, 255}},
       {{235, 247, 255}, 7, {-6, -2, 0}, {255, 255, 255}},
       {{118, 72, 55}, 0, {39, 24, 18}, {0, 0, 0}}},
  };

  TBitmap referenceMosaic;
  MosaicGrid referenceGrid;
  const auto reference = testing::ReferenceConvert(source, palette_, referenceGrid, referenceMosaic);
  Convert(source);

  EXPECT_EQ(grid_.MaxX(), 2);
  EXPECT_EQ(grid_.MaxY(), 1);
  EXPECT_EQ(widthCaption_, "2");
  EXPECT_EQ(heightCaption_, "1");
  ASSERT_EQ(mosaic_.Width(), 3);
  ASSERT_EQ(mosaic_.Height(), 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const Expected& e = expected[y][x];
      const auto& cell = reference.cells[y][x];
      EXPECT_EQ(cell.clamped, e.clamped) << x << "," << y;
      EXPECT_EQ(cell.entry, e.entry) << x << "," << y;
      EXPECT_EQ(cell.handedOn, e.handedOn) << x << "," << y;
      EXPECT_EQ(grid_.Cell(x, y), e.entry) << x << "," << y;
      EXPECT_EQ(mosaic_.GetPixel(x, y), PackColor(e.colour[0], e.colour[1], e.colour[2])) << x << "," << y;
    }
  }
}

struct SizeCase {
  const char* name;
  int width, height;
  int maxX, maxY;
  const char* widthCaption;
  const char* heightCaption;
};
void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.name;
}

class ConvertSizes : public ConvertToMosaicTest, public ::testing::WithParamInterface<SizeCase> {};

// Pictures are cut to 2000 columns and 20000 rows; the captions show the size before the cut.
TEST_P(ConvertSizes, CutsToTheGridAndCaptionsTheUncutSize) {
  const SizeCase& c = GetParam();
  Convert(*MakeSource(c.width, c.height, 32));
  EXPECT_EQ(grid_.MaxX(), c.maxX);
  EXPECT_EQ(grid_.MaxY(), c.maxY);
  EXPECT_EQ(widthCaption_, c.widthCaption);
  EXPECT_EQ(heightCaption_, c.heightCaption);
  EXPECT_EQ(mosaic_.Width(), c.maxX + 1);
  EXPECT_EQ(mosaic_.Height(), c.maxY + 1);
}

INSTANTIATE_TEST_SUITE_P(Limits, ConvertSizes,
                         ::testing::Values(SizeCase{"OnePixel", 1, 1, 0, 0, "0", "0"},
                                           SizeCase{"Exactly2000Columns", 2000, 2, 1999, 1, "1999", "1"},
                                           SizeCase{"Columns2001", 2001, 2, 1999, 1, "2000", "1"},
                                           SizeCase{"Columns3000", 3000, 100, 1999, 99, "2999", "99"},
                                           SizeCase{"Exactly20000Rows", 2, 20000, 1, 19999, "1", "19999"},
                                           SizeCase{"Rows20001", 2, 20001, 1, 19999, "1", "20000"},
                                           SizeCase{"Rows30000", 100, 30000, 99, 19999, "99", "29999"},
                                           SizeCase{"Empty", 0, 0, -1, -1, "-1", "-1"},
                                           SizeCase{"NoColumns", 0, 5, -1, 4, "-1", "4"},
                                           SizeCase{"NoRows", 5, 0, 4, -1, "4", "-1"}),
                         [](const ::testing::TestParamInfo<SizeCase>& info) { return info.param.name; });

TEST_F(ConvertToMosaicTest, EmptyPictureTouchesNoCell) {
  grid_.SetCell(0, 0, 6);
  Convert(*MakeSource(0, 5));
  EXPECT_EQ(grid_.Cell(0, 0), 6);
  Convert(*MakeSource(5, 0));
  EXPECT_EQ(grid_.Cell(0, 0), 6);
}

TEST_F(ConvertToMosaicTest, ExactPaletteColourHandsOnNoError) {
  // White next to black: with no error from white, black stays exactly black.
  Convert(*MakeSource({{{255, 255, 255}, {0, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}}));
  EXPECT_EQ(grid_.Cell(0, 0), 7);
  EXPECT_EQ(grid_.Cell(1, 0), 0);
  EXPECT_EQ(grid_.Cell(0, 1), 0);
}

TEST_F(ConvertToMosaicTest, OnlyBlackWhenEveryOtherEntryIsDisabled) {
  for (int i = 1; i < 8; ++i)
    palette_.SetEnabled(i, false);
  Convert(*MakeSource({{{255, 255, 255}, {255, 0, 0}}, {{0, 0, 255}, {90, 200, 10}}}));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      EXPECT_EQ(grid_.Cell(x, y), 0);
      EXPECT_EQ(mosaic_.GetPixel(x, y), 0u);
    }
  }
}

TEST_F(ConvertToMosaicTest, SmallerPictureLeavesTheLargerOnesCellsOutsideItsLimits) {
  auto whiteHolder = MakeSource(4, 4);
  TBitmap& white = *whiteHolder;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x)
      white.SetPixel(x, y, 0xFFFFFF);
  }
  Convert(white);
  Convert(*MakeSource(2, 2));
  EXPECT_EQ(grid_.MaxX(), 1);
  EXPECT_EQ(grid_.MaxY(), 1);
  EXPECT_EQ(grid_.Cell(0, 0), 0);
  EXPECT_EQ(grid_.Cell(3, 3), 7);
  EXPECT_EQ(grid_.Cell(2, 0), 7);
  // Each grid keeps its own cells.
  MosaicGrid other;
  ConvertToMosaic(white, palette_, other, mosaic_);
  EXPECT_EQ(other.Cell(0, 0), 7);
  EXPECT_EQ(grid_.Cell(0, 0), 0);
  EXPECT_EQ(grid_.MaxX(), 1);
}

TEST_F(ConvertToMosaicTest, MosaicKeepsItsDepth) {
  const std::vector<std::uint8_t> expected[] = {{0x3F, 0x02, 0, 0}, {0xFF, 0x88, 0, 0}, {0xFF, 0x88, 0, 0}};
  const int depths[] = {16, 24, 32};
  for (int i = 0; i < 3; ++i) {
    TBitmap mosaic;
    mosaic.SetPixelFormat(depths[i]);
    ConvertToMosaic(*MakeSource({{{0, 136, 255}}}), palette_, grid_, mosaic);
    EXPECT_EQ(mosaic.BitsPerPixel(), depths[i]);
    const auto bytes = mosaic.StoredBytes();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected[i]) << depths[i];
  }
}

// --- Fitted to a size ---------------------------------------------------------------------------------

FitSettings FitTo(int width, int height, FitMode mode, int marginEntry = 7) {
  FitSettings fit;
  fit.keepSize = false;
  fit.width = width;
  fit.height = height;
  fit.mode = mode;
  fit.marginEntry = marginEntry;
  return fit;
}

// A picture of many colours, so that errors diffuse through it.
std::unique_ptr<TBitmap> Mottled(int width, int height) {
  auto source = MakeSource(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      source->SetPixel(x, y, PackColor(37 * x + 11 * y, 90 + 23 * y, 200 - 17 * x));
  return source;
}

struct MarginCase {
  const char* name;
  int sourceWidth, sourceHeight;
  int left, top;  // where the picture lands in the 8 × 8 mosaic
  int depth;
};
void PrintTo(const MarginCase& c, std::ostream* os) {
  *os << c.name;
}

class ContainMargins : public ConvertToMosaicTest, public ::testing::WithParamInterface<MarginCase> {
 protected:
  // Converts into 8 × 8 with margins of `entry`; the captions and the grid's limits follow the target.
  void ConvertContained(const TBitmap& source, int entry) {
    ConvertFittedPicture(source, FitTo(8, 8, FitMode::kContain, entry), palette_, grid_, mosaic_,
                         [this](const std::string& w, const std::string& h) {
                           widthCaption_ = w;
                           heightCaption_ = h;
                         });
  }
};

// The picture's sides fit the target already, so it is converted as it is: its cells must be exactly the
// classic conversion's of the picture alone, whatever the margin, and every margin cell the margin entry,
// also a disabled one that no diffusion could reach.
TEST_P(ContainMargins, HoldTheEntryAndLeaveThePictureAsItsOwnConversion) {
  const MarginCase& c = GetParam();
  const auto source = Mottled(c.sourceWidth, c.sourceHeight);
  palette_.SetEnabled(1, false);
  MosaicGrid alone;
  TBitmap aloneMosaic;
  aloneMosaic.SetPixelFormat(c.depth);
  ConvertToMosaic(*source, palette_, alone, aloneMosaic);
  grid_.SetCell(8, 0, 5);  // outside the target: stays
  mosaic_.SetPixelFormat(c.depth);
  ConvertContained(*source, 1);

  EXPECT_EQ(widthCaption_, "7");
  EXPECT_EQ(heightCaption_, "7");
  EXPECT_EQ(grid_.MaxX(), 7);
  EXPECT_EQ(grid_.MaxY(), 7);
  ASSERT_EQ(mosaic_.Width(), 8);
  ASSERT_EQ(mosaic_.Height(), 8);
  EXPECT_EQ(mosaic_.BitsPerPixel(), c.depth);
  TBitmap blue;
  blue.SetPixelFormat(c.depth);
  blue.SetSize(1, 1);
  blue.SetPixel(0, 0, palette_.ExpandedColor(1));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inPicture =
          x >= c.left && x < c.left + c.sourceWidth && y >= c.top && y < c.top + c.sourceHeight;
      if (inPicture) {
        EXPECT_EQ(grid_.Cell(x, y), alone.Cell(x - c.left, y - c.top)) << x << "," << y;
        EXPECT_EQ(mosaic_.GetPixel(x, y), aloneMosaic.GetPixel(x - c.left, y - c.top)) << x << "," << y;
      } else {
        EXPECT_EQ(grid_.Cell(x, y), 1) << x << "," << y;
        EXPECT_EQ(mosaic_.GetPixel(x, y), blue.GetPixel(0, 0)) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(grid_.Cell(8, 0), 5);

  // Into the grid alone, the mosaic painted from it afterwards: the same cells and bytes.
  MosaicGrid gridOnly;
  TBitmap painted;
  painted.SetPixelFormat(c.depth);
  ConvertFittedPictureToGrid(*source, FitTo(8, 8, FitMode::kContain, 1), palette_, gridOnly);
  PaintMosaic(gridOnly, palette_, painted);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y)
      EXPECT_EQ(gridOnly.Cell(x, y), grid_.Cell(x, y)) << x << "," << y;
  EXPECT_TRUE(std::ranges::equal(painted.StoredBytes(), mosaic_.StoredBytes()));
}

INSTANTIATE_TEST_SUITE_P(Placements, ContainMargins,
                         ::testing::Values(MarginCase{"WideBetweenTopAndBottom", 8, 3, 0, 2, 32},
                                           MarginCase{"TallBetweenSides", 5, 8, 1, 0, 24},
                                           MarginCase{"SixteenBitMosaic", 8, 4, 0, 2, 16}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConvertToMosaicTest, CoverAndStretchFillEveryCellOfTheSize) {
  // Thirds of red, green and blue side by side.
  auto source = MakeSource(60, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      source->SetPixel(x, y, x < 20 ? 0x0000FF : x < 40 ? 0x00FF00 : 0xFF0000);
  ConvertFittedPicture(*source, FitTo(10, 10, FitMode::kCover), palette_, grid_, mosaic_);
  EXPECT_EQ(mosaic_.Width(), 10);
  EXPECT_EQ(grid_.MaxY(), 9);
  for (const int x : {0, 9})
    EXPECT_EQ(grid_.Cell(x, 5), 4) << "green, the middle third, is all that is kept";
  ConvertFittedPicture(*source, FitTo(30, 5, FitMode::kStretch), palette_, grid_, mosaic_,
                       [this](const std::string& w, const std::string& h) {
                         widthCaption_ = w;
                         heightCaption_ = h;
                       });
  EXPECT_EQ(widthCaption_, "29");
  EXPECT_EQ(heightCaption_, "4");
  EXPECT_EQ(grid_.Cell(2, 2), 2);
  EXPECT_EQ(grid_.Cell(15, 2), 4);
  EXPECT_EQ(grid_.Cell(28, 2), 1);

  // A stop asked for ends the resampling with EAbort.
  std::stop_source stop;
  stop.request_stop();
  EXPECT_THROW(ConvertFittedPictureToGrid(*source, FitTo(30, 6, FitMode::kStretch), palette_, grid_, nullptr,
                                          {}, ConversionProgress(nullptr, stop.get_token())),
               EAbort);
  EXPECT_EQ(grid_.MaxY(), 4);
}

}  // namespace
}  // namespace mozenta

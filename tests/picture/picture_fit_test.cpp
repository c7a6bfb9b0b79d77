// Fitting a picture to a size in cells: the plan of each mode (what is kept, its size, where it lies) and
// the resampled pixels.
#include "picture/picture_fit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace mozenta {
namespace {

struct PlanCase {
  const char* name;
  int sourceWidth, sourceHeight;
  FitSettings settings;
  FitPlan expected;
};
void PrintTo(const PlanCase& c, std::ostream* os) {
  *os << c.name;
}

FitSettings Fit(int width, int height, FitMode mode) {
  FitSettings settings;
  settings.keepSize = false;
  settings.width = width;
  settings.height = height;
  settings.mode = mode;
  return settings;
}

// crop left, top, width, height; picture width, height; its left, top; target width, height.
FitPlan Plan(int cl, int ct, int cw, int ch, int pw, int ph, int l, int t, int w, int h) {
  FitPlan plan;
  plan.cropLeft = cl, plan.cropTop = ct, plan.cropWidth = cw, plan.cropHeight = ch;
  plan.pictureWidth = pw, plan.pictureHeight = ph, plan.left = l, plan.top = t;
  plan.width = w, plan.height = h;
  return plan;
}

class PlanFitTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanFitTest, KeepsCropsAndPlacesAsTheModeSays) {
  const PlanCase& c = GetParam();
  const FitPlan plan = PlanFit(c.sourceWidth, c.sourceHeight, c.settings);
  const FitPlan& e = c.expected;
  EXPECT_EQ((std::array{plan.cropLeft, plan.cropTop, plan.cropWidth, plan.cropHeight}),
            (std::array{e.cropLeft, e.cropTop, e.cropWidth, e.cropHeight}));
  EXPECT_EQ((std::array{plan.pictureWidth, plan.pictureHeight, plan.left, plan.top}),
            (std::array{e.pictureWidth, e.pictureHeight, e.left, e.top}));
  EXPECT_EQ((std::array{plan.width, plan.height}), (std::array{e.width, e.height}));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PlanFitTest,
    ::testing::Values(PlanCase{"KeepSize", 600, 400, FitSettings{},
                               Plan(0, 0, 600, 400, 600, 400, 0, 0, 600, 400)},
                      PlanCase{"Stretch", 600, 400, Fit(30, 40, FitMode::kStretch),
                               Plan(0, 0, 600, 400, 30, 40, 0, 0, 30, 40)},
                      PlanCase{"CoverCutsTheSides", 600, 400, Fit(30, 30, FitMode::kCover),
                               Plan(100, 0, 400, 400, 30, 30, 0, 0, 30, 30)},
                      PlanCase{"CoverCutsTopAndBottom", 400, 600, Fit(40, 30, FitMode::kCover),
                               Plan(0, 150, 400, 300, 40, 30, 0, 0, 40, 30)},
                      PlanCase{"CoverOddExcessGoesRight", 601, 400, Fit(30, 30, FitMode::kCover),
                               Plan(100, 0, 400, 400, 30, 30, 0, 0, 30, 30)},
                      PlanCase{"CoverSameAspectKeepsAll", 800, 600, Fit(400, 300, FitMode::kCover),
                               Plan(0, 0, 800, 600, 400, 300, 0, 0, 400, 300)},
                      PlanCase{"ContainWideBetweenTopAndBottom", 600, 400, Fit(30, 30, FitMode::kContain),
                               Plan(0, 0, 600, 400, 30, 20, 0, 5, 30, 30)},
                      PlanCase{"ContainTallBetweenSides", 400, 600, Fit(30, 30, FitMode::kContain),
                               Plan(0, 0, 400, 600, 20, 30, 5, 0, 30, 30)},
                      PlanCase{"ContainKeepsAtLeastOneRow", 2000, 1, Fit(10, 10, FitMode::kContain),
                               Plan(0, 0, 2000, 1, 10, 1, 0, 4, 10, 10)},
                      PlanCase{"SizeClampedToTheGrid", 10, 10, Fit(5000, 0, FitMode::kStretch),
                               Plan(0, 0, 10, 10, 2000, 1, 0, 0, 2000, 1)},
                      PlanCase{"EmptySourceIsKept", 0, 0, Fit(30, 30, FitMode::kCover),
                               Plan(0, 0, 0, 0, 0, 0, 0, 0, 0, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

// A 24-bit picture whose pixel (x, y) is colour(x, y), packed 0x00BBGGRR.
void Paint(TBitmap& bitmap, int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  DibFormat format;
  format.width = width;
  format.height = height;
  format.bitsPerPixel = 24;
  bitmap.CreateDib(format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, colour(x, y));
}

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// Each channel of `actual` within `tolerance` of `expected`'s: the filter's ringing next to an edge.
::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance = 2) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF),
              e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance)
      return ::testing::AssertionFailure() << std::hex << actual << " for " << expected;
  }
  return ::testing::AssertionSuccess();
}

TEST(FitPicture, CoverKeepsTheMiddleAndContainTheWhole) {
  // Thirds of red, green and blue side by side.
  TBitmap source;
  Paint(source, 60, 20, [](int x, int) { return x < 20 ? kRed : x < 40 ? kGreen : kBlue; });
  TBitmap fitted;
  FitPicture(source, PlanFit(60, 20, Fit(10, 10, FitMode::kCover)), fitted);
  ASSERT_EQ(fitted.Width(), 10);
  ASSERT_EQ(fitted.Height(), 10);
  for (const int x : {0, 9})
    EXPECT_EQ(fitted.GetPixel(x, 5), kGreen) << "only the middle third is kept";

  const FitPlan contain = PlanFit(60, 20, Fit(12, 12, FitMode::kContain));
  FitPicture(source, contain, fitted);
  ASSERT_EQ(fitted.Width(), 12);
  ASSERT_EQ(fitted.Height(), 4);
  EXPECT_TRUE(Near(fitted.GetPixel(0, 1), kRed));
  EXPECT_TRUE(Near(fitted.GetPixel(6, 1), kGreen));
  EXPECT_TRUE(Near(fitted.GetPixel(11, 1), kBlue));
}

TEST(FitPicture, ShrinkingAveragesEverySourcePixel) {
  // Single-pixel black and white checks: any filter that picks pixels would give black or white.
  TBitmap source;
  Paint(source, 64, 48, [](int x, int y) { return (x + y) % 2 == 0 ? 0xFFFFFFu : 0u; });
  TBitmap fitted;
  FitPicture(source, PlanFit(64, 48, Fit(8, 6, FitMode::kStretch)), fitted);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint32_t grey = fitted.GetPixel(x, y);
      EXPECT_NEAR(static_cast<int>(grey & 0xFF), 128, 2) << x << "," << y;
      EXPECT_EQ(grey, (grey & 0xFF) * 0x010101u);
    }
  }
}

TEST(FitPicture, ReadsIndexedPicturesAndSharesAPictureThatFitsAlready) {
  TBitmap indexed;
  DibFormat format;
  format.width = 40;
  format.height = 4;
  format.bitsPerPixel = 8;
  format.colorTable = {RgbQuad{0, 0, 255, 0}, RgbQuad{255, 0, 0, 0}};  // red, blue
  indexed.CreateDib(format);
  for (int y = 0; y < 4; ++y)
    for (int x = 20; x < 40; ++x)
      indexed.ScanLineForWrite(y)[x] = 1;
  TBitmap fitted;
  FitPicture(indexed, PlanFit(40, 4, Fit(4, 2, FitMode::kStretch)), fitted);
  EXPECT_EQ(fitted.BitsPerPixel(), 24);
  EXPECT_TRUE(Near(fitted.GetPixel(0, 0), kRed));
  EXPECT_TRUE(Near(fitted.GetPixel(3, 1), kBlue));

  FitPicture(indexed, PlanFit(40, 4, Fit(40, 4, FitMode::kCover)), fitted);
  EXPECT_EQ(fitted.StoredBytes().data(), indexed.StoredBytes().data()) << "nothing to resample";
}

}  // namespace
}  // namespace mozenta
